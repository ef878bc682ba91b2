#pragma once
// The module library's export and start-up.
#include "module/dll_base_ctrller.h"

extern "C" {
// A new controller of the class the library registered; raises
// kNoControllerClassError when none is. The shell owns the object.
vx::TDLLBaseController* GetController();
}

namespace vx {
struct TClassInfo;
// The library's start-up block: the module's form class (a batch form) and
// the edition of this deliverable.
void RegisterModuleForm(const TClassInfo& form_class);
}  // namespace vx
