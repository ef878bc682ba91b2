#pragma once
// TVxRadioButton: a radio button that paints its caption itself (in its own
// colour and font, after the system's drawing), so that colours and fonts
// set on the form show. Checking one unchecks the other TVxRadioButtons of
// the same parent.
#include "platform/ui/stdctrls.h"

namespace vx {

class TVxRadioButton : public TButtonControl {
  VX_CLASS(TVxRadioButton, TButtonControl)
  explicit TVxRadioButton(TComponent* owner);

  bool Checked() const override { return checked_; }
  // Checking (by click or code, when not checked) makes the button a tab
  // stop, unchecks its siblings, raises the change and runs the click
  // event; unchecking removes the tab stop.
  void SetChecked(bool v) override;
  void Click() override;
  // Where the caption starts: the client left plus an indent that grows
  // with the font's size in points.
  static int CaptionIndent(int font_size);
  void PaintTo(TCanvas& canvas);

 protected:
  // The button became checked (before its click event runs).
  virtual void Changed() {}
  void Paint() override { PaintTo(*Canvas()); }
  void TextChanged() override { Invalidate(); }
  void CMDialogChar(TMessage& msg);

 private:
  bool checked_ = false;
};

}  // namespace vx
