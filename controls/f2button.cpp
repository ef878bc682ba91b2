#include "controls/f2button.h"

#include <algorithm>

#include "controls/btchkbox.h"
#include "controls/neighbours.h"
#include "platform/ui/dialogs.h"

namespace vx {

void SendF2Request(TComponent* owner, TWinControl* field) {
  if (!field) return;
  auto* window = dynamic_cast<TWinControl*>(owner);
  if (!window) window = GetParentForm(field);
  if (!window) return;
  window->Perform(WM_F2QUERY, 0, reinterpret_cast<LPARAM>(field));
}

const TClassInfo& TF2Button::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TF2Button>("TF2Button", [](auto& r) {
    r.template Obj<&TF2Button::F2Control, &TF2Button::SetF2Control>("F2Control", "TWinControl");
    r.template Bool<&TF2Button::AutoAlign, &TF2Button::SetAutoAlign>("AutoAlign");
    r.template Ord<&TF2Button::Gap, &TF2Button::SetGap>("Gap", "Byte");
  });
  return info;
}

TF2Button::TF2Button(TComponent* owner) : TGSpeedButton(owner) {
  SetFlat(true);
  SetGlyphIndex(8);
}

void TF2Button::SetF2Control(TWinControl* control) {
  if (control)
    for (TF2Button* b : Neighbours<TF2Button>(*this)) {
      if (b->f2_control_ != control) continue;
      if (b != this) MessageDlg(kF2ButtonTwiceError, mtError, {mbOK});
      return;
    }
  if (f2_control_) f2_control_->RemoveFreeNotification(this);
  f2_control_ = control;
  if (control) control->FreeNotification(this);
  Place();
}

void TF2Button::SetAutoAlign(bool v) {
  auto_align_ = v;
  Place();
}

void TF2Button::SetGap(int gap) {
  gap_ = std::clamp(gap, 0, 255);
  Place();
}

void TF2Button::Place() {
  if (!f2_control_ || !auto_align_) return;
  const TControl& f = *f2_control_;
  SetBounds(f.Left() + f.Width() + gap_, f.Top(), f.Height(), f.Height());
}

void TF2Button::Click() {
  TGSpeedButton::Click();
  TWinControl* field = f2_control_;
  if (!field || !field->Enabled()) return;
  if (CanTakeFocus(field)) field->SetFocus();
  if (f2_control_ == field && field->Focused()) SendF2Request(field);
}

void TF2Button::Notification(TComponent* component, TOperation operation) {
  TGSpeedButton::Notification(component, operation);
  if (operation == opRemove && component == f2_control_) f2_control_ = nullptr;
}

}  // namespace vx
