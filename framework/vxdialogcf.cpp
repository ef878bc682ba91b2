#include "framework/vxdialogcf.h"

#include "platform/ui/grids.h"
#include "platform/ui/messages.h"

namespace vx {

namespace {
constexpr Word kF3 = VK_F2 + 1;
constexpr Word kF4 = VK_F2 + 2;
constexpr unsigned kMsgF2 = WM_USER + 10;
}  // namespace

const TClassInfo& TfrmVXDialog::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmVXDialog>("TfrmVXDialog", [](auto& r) {
    r.template Message<&TfrmVXDialog::WMUserF2>(kMsgF2);
    r.template Message<&TfrmVXDialog::WMUserF3>(kMsgF2 + 1);
    r.template Message<&TfrmVXDialog::WMUserF4>(kMsgF2 + 2);
  });
  return info;
}

TfrmVXDialog::TfrmVXDialog(TComponent* owner) : TVXForm(owner) {
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetKeyPreview(true);
  Font()->SetName("宋体");
  Font()->SetHeight(-13);
  OnCreate = Bind<&TfrmVXDialog::FormCreate>(this);
  OnShow = Bind<&TfrmVXDialog::FormShow>(this);
  OnKeyDown = Bind<&TfrmVXDialog::FormKeyDown>(this);
  OnKeyPress = Bind<&TfrmVXDialog::FormKeyPress>(this);
}

void TfrmVXDialog::FormCreate(TObject*) {
  ConvertFormTexts();
  if (auto* owner_form = dynamic_cast<TCustomForm*>(Owner())) SetCaption(owner_form->Caption());
}

// The platform has no data-aware combo box, so showing needs nothing beyond
// the root form's steps.
void TfrmVXDialog::FormShow(TObject*) {}

void TfrmVXDialog::FormKeyDown(TObject*, Word& key, TShiftState shift) {
  if (key == VK_RETURN && shift.Empty()) {
    TWinControl* active = ActiveControl();
    if (dynamic_cast<TCustomMemo*>(active) || dynamic_cast<TCustomGrid*>(active)) return;
    key = 0;
    SelectNext(active, true, true);
    return;
  }
  if (key == VK_F2 || key == kF3 || key == kF4) DoKey(key, ActiveControl());
}

void TfrmVXDialog::FormKeyPress(TObject*, TKeyChar& key) {
  // The Enter that moved the focus must not reach the next control.
  if (key == U'\r') {
    TWinControl* active = ActiveControl();
    if (!dynamic_cast<TCustomMemo*>(active) && !dynamic_cast<TCustomGrid*>(active)) key = 0;
  }
}

void TfrmVXDialog::DoKey(Word key, TWinControl* control) {
  if (key == VK_F2)
    DoF2(key, control);
  else if (key == kF3)
    DoF3(key, control);
  else
    DoF4(key, control);
}

// A message's parameter is only trusted when it names a control of this
// dialog; anything else is ignored.
TWinControl* TfrmVXDialog::NamedControl(LPARAM param) const {
  for (int i = 0; i < ComponentCount(); ++i)
    if (reinterpret_cast<LPARAM>(Components(i)) == param)
      return dynamic_cast<TWinControl*>(Components(i));
  return nullptr;
}

void TfrmVXDialog::WMUserF2(TMessage& msg) {
  DoF2(VK_F2, NamedControl(msg.LParam));
}
void TfrmVXDialog::WMUserF3(TMessage& msg) {
  DoF3(kF3, NamedControl(msg.LParam));
}
void TfrmVXDialog::WMUserF4(TMessage& msg) {
  DoF4(kF4, NamedControl(msg.LParam));
}

void TfrmVXDialog::DoF2(Word, TWinControl* control) {
  FocusIfPossible(control);
}
void TfrmVXDialog::DoF3(Word, TWinControl* control) {
  FocusIfPossible(control);
}
void TfrmVXDialog::DoF4(Word, TWinControl* control) {
  FocusIfPossible(control);
}

void TfrmVXDialog::FocusIfPossible(TWinControl* control) {
  if (control && control->CanFocus()) control->SetFocus();
}

}  // namespace vx
