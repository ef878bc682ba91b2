#pragma once
// TF2Button: the query button beside an input field. Pressing it does what
// the F2 key does in the field: it focuses the field and sends user message
// 1034 (WParam 0, LParam the field as TWinControl*) to the window of the
// field's owner, whose F2 handling then runs for that field.
#include "controls/gspdbtn.h"

namespace vx {

inline constexpr unsigned WM_F2QUERY = 1034;
inline constexpr const char* kF2ButtonTwiceError = "不能同时有两个 F2Button 指到同一个 Edit.";

// The one path of every F2 request (the F2 buttons, the labelled edit's
// button, the selection panel's buttons): message WM_F2QUERY with the field
// as LParam, delivered at once to the window of owner (the field's form when
// owner has no window). Works on a hidden or disabled form; no field or no
// window does nothing.
void SendF2Request(TComponent* owner, TWinControl* field);
// The same to the window of the field's own owner.
inline void SendF2Request(TWinControl* field) {
  if (field) SendF2Request(field->Owner(), field);
}

class TF2Button : public TGSpeedButton {
  VX_CLASS(TF2Button, TGSpeedButton)
  // Flat, picture 8.
  explicit TF2Button(TComponent* owner);

  // The field served. Binding a field that another TF2Button beside this one
  // already serves is refused with the error dialog "不能同时有两个
  // F2Button 指到同一个 Edit."; binding the field this button already serves
  // changes nothing. Cleared when the field is freed.
  TWinControl* F2Control() const { return f2_control_; }
  void SetF2Control(TWinControl* control);
  // Whether the button stands beside its field: as high as the field,
  // square, at the field's top and Gap pixels right of it. Placed when
  // F2Control, AutoAlign or Gap is set.
  bool AutoAlign() const { return auto_align_; }
  void SetAutoAlign(bool v);
  int Gap() const { return gap_; }
  void SetGap(int gap);
  // The button's own click, then, when the field is assigned and enabled,
  // the F2 request for it once it has the focus.
  void Click() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Place();
  TWinControl* f2_control_ = nullptr;
  bool auto_align_ = true;
  int gap_ = 2;
};

}  // namespace vx
