#include "module/dll_bt_ctrller.h"

#include "framework/basegene.h"
#include "platform/os/dynlib.h"
#include "platform/rtl/text.h"
#include "platform/ui/widgetset.h"

namespace vx {

TDLLControllerClass DLLControllerClass = &TDLLBTCtrller::CreateInstance;
const TClassInfo* frmBaseBatchClass = nullptr;

namespace {

// The library's own file name, as the module handle names it.
std::string OwnLibraryFileName() {
  std::string name = GetModuleFileName(reinterpret_cast<const void*>(&OwnLibraryFileName));
  if (name.size() > 260) name.resize(260);
  return name;
}

}  // namespace

TDLLBTCtrller::~TDLLBTCtrller() {
  FreeForm();
}

void TDLLBTCtrller::GetVersion(std::u16string& version) {
  if (Form) version = Utf8ToUtf16(Form->VersionTag);
}

OleBool TDLLBTCtrller::GetVisible() {
  return Form && Form->Visible() ? kOleTrue : kOleFalse;
}

void TDLLBTCtrller::SetVisible(std::int16_t value) {
  if (!Form) return;
  if (value == 0) {
    Form->Hide();
    return;
  }
  Form->Show();
  if (Form->WindowState() == wsMinimized) Form->SetWindowState(wsNormal);
  SetForegroundWindow(Form->Handle());
}

HWND TDLLBTCtrller::GetHandle() {
  return Form ? Form->Handle() : 0;
}

std::int32_t TDLLBTCtrller::Initialize(const Variant& startup) {
  if (!Form) {
    if (!frmBaseBatchClass || !frmBaseBatchClass->Construct) throw Exception(kNoFormClassError);
    TComponent* created = frmBaseBatchClass->Construct(nullptr);
    auto* form = dynamic_cast<TfrmBaseGene*>(created);
    if (!form) {
      if (created) created->Free();
      throw Exception(kNoFormClassError);
    }
    Form = form;
    Form->SetModuleFileName(OwnLibraryFileName());
    Form->Manager = Manager;
    FormCreated();
    // Hooked once per form, so that a handler is never saved over itself.
    SavedOnShow = Form->OnShow.Method();
    Form->OnShow = Bind<&TDLLBTCtrller::DoFormShow>(this);
    SavedOnHide = Form->OnHide.Method();
    Form->OnHide = Bind<&TDLLBTCtrller::DoFormHide>(this);
    SavedOnDestroy = Form->OnDestroy.Method();
    Form->OnDestroy = Bind<&TDLLBTCtrller::DoFormDestroy>(this);
  }
  return Form->InitModule(startup) ? 0 : -1;
}

std::int32_t TDLLBTCtrller::SetParameters(const Variant& message) {
  if (!Form || message.IsNull() || !message.IsArray()) return -1;
  try {
    Form->ReceiveShellParams(message);
    return 0;
  } catch (...) {
    return -1;
  }
}

std::int32_t TDLLBTCtrller::DoCommand(std::int32_t code, const void*, const Variant& value) {
  if (!Form || code != 5) return -1;
  try {
    Form->ReceiveShellParams(VarArrayOf({false, value}));
    return 0;
  } catch (...) {
    return -1;
  }
}

Variant TDLLBTCtrller::ShowModal() {
  if (!Form) return Variant(std::int32_t{mrCancel});
  return Variant(std::int32_t{Form->ShowModal()});
}

void TDLLBTCtrller::FreeForm() {
  if (Form && !Form->IsDestroying()) Form->Free();
}

std::int32_t TDLLBTCtrller::GetInfo(Variant& info) {
  if (!Form) return -1;
  info = VarArrayOf({Form->UserID, Form->CompanyID, Form->ProgramID, Form->ProgramName});
  return 0;
}

bool TDLLBTCtrller::IsFormFreed() {
  return Form == nullptr;
}

void TDLLBTCtrller::DoFormShow(TObject* sender) {
  TNotifyEvent{SavedOnShow}(sender);
  FireEvent(kEventFormShow);
}

void TDLLBTCtrller::DoFormHide(TObject* sender) {
  TNotifyEvent{SavedOnHide}(sender);
  FireEvent(kEventFormHide);
}

void TDLLBTCtrller::DoFormDestroy(TObject* sender) {
  if (Form) {
    ResultCode = Form->ResultCode;
    ResultValue = Form->ResultValue;
    TNotifyEvent{SavedOnDestroy}(sender);
    FireEvent(kEventFormDestroy);
  }
  Form = nullptr;
}

}  // namespace vx
