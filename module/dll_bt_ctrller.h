#pragma once
// The controller of batch modules: it creates the module's form from the
// form class the library registered, hooks the form's show, hide and destroy
// events so that the shell hears of them, forwards the shell's requests and
// copies the form's outcome when the form is destroyed.
#include "module/dll_base_ctrller.h"
#include "platform/ui/events.h"

namespace vx {

class TfrmBaseGene;
struct TClassInfo;

// The classes a module library registers while it loads: the controller
// class GetController instantiates (this unit sets TDLLBTCtrller) and the
// form class the controller creates (the library's start-up sets its job
// form; it must derive from the batch form).
using TDLLControllerClass = TDLLBaseController* (*)();
extern TDLLControllerClass DLLControllerClass;
extern const TClassInfo* frmBaseBatchClass;

class TDLLBTCtrller : public TDLLBaseController {
 public:
  static TDLLBaseController* CreateInstance() { return new TDLLBTCtrller(); }

  void GetVersion(std::u16string& version) override;
  OleBool GetVisible() override;
  void SetVisible(std::int16_t value) override;
  HWND GetHandle() override;
  std::int32_t Initialize(const Variant& startup) override;
  std::int32_t SetParameters(const Variant& message) override;
  std::int32_t DoCommand(std::int32_t code, const void* reserved, const Variant& value) override;
  Variant ShowModal() override;
  void FreeForm() override;
  std::int32_t GetInfo(Variant& info) override;
  bool IsFormFreed() override;
  void DoFormShow(TObject* sender) override;
  void DoFormHide(TObject* sender) override;
  void DoFormDestroy(TObject* sender) override;
  ~TDLLBTCtrller() override;

  TfrmBaseGene* Form = nullptr;
  TMethod SavedOnShow;
  TMethod SavedOnHide;
  TMethod SavedOnDestroy;
};

}  // namespace vx
