#include "module/dll_func.h"

#include "module/dll_bt_ctrller.h"
#include "platform/rtl/exception.h"

extern "C" __attribute__((visibility("default"))) vx::TDLLBaseController* GetController() {
  if (!vx::DLLControllerClass) throw vx::Exception(vx::kNoControllerClassError);
  return vx::DLLControllerClass();
}

namespace vx {

void RegisterModuleForm(const TClassInfo& form_class) {
  frmBaseBatchClass = &form_class;
}

}  // namespace vx
