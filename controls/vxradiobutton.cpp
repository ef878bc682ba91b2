#include "controls/vxradiobutton.h"

#include "controls/btchkbox.h"
#include "platform/ui/menus.h"

namespace vx {

const TClassInfo& TVxRadioButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxRadioButton>("TVxRadioButton", [](auto& r) {
    for (const char* name :
         {"Alignment", "Caption",     "Checked",    "Color",          "Enabled",  "Font",
          "Hint",      "ParentColor", "ParentFont", "ParentShowHint", "ShowHint", "TabOrder",
          "TabStop",   "Visible",     "OnClick",    "OnDblClick",     "OnEnter",  "OnExit",
          "OnKeyDown", "OnKeyPress",  "OnKeyUp"})
      r.Publish(name);
    r.template Message<&TVxRadioButton::CMDialogChar>(CM_DIALOGCHAR);
  });
  return info;
}

TVxRadioButton::TVxRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
  // Only the checked button of a group is a tab stop.
  SetTabStop(false);
}

void TVxRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  SetTabStop(v);
  Invalidate();
  if (!v) return;
  UncheckRadioSiblings(this);
  Changed();
  TButtonControl::Click();
}

void TVxRadioButton::Click() {
  // Checking runs the click event; clicking a checked button changes
  // nothing.
  SetChecked(true);
}

void TVxRadioButton::CMDialogChar(TMessage& msg) {
  if (!IsAccel(static_cast<TKeyChar>(msg.WParam), Caption()) || !CanTakeFocus(this)) return;
  SetFocus();
  msg.Result = 1;
}

int TVxRadioButton::CaptionIndent(int font_size) {
  struct Step {
    int up_to, indent;
  };
  static constexpr Step kSteps[] = {{8, 17},  {15, 19}, {17, 20}, {23, 21}, {29, 23},
                                    {35, 25}, {41, 27}, {43, 29}, {60, 31}, {80, 39}};
  for (const Step& s : kSteps)
    if (font_size <= s.up_to) return s.indent;
  return 44;
}

void TVxRadioButton::PaintTo(TCanvas& canvas) {
  // The system draws the button and its circle; the caption is ours, so
  // that the control's colour and font show.
  canvas.Font()->Assign(Font());
  int left = ClientRect().Left + CaptionIndent(Font()->Size());
  TRect r{left, 0, ClientWidth(), ClientHeight()};
  canvas.Brush = {Color(), bsSolid};
  canvas.FillRect(r);
  std::string text = StripHotkey(Caption());
  int th = canvas.TextHeight(text);
  canvas.Brush.Style = bsClear;
  if (!Enabled()) canvas.Font()->SetColor(clGrayText);
  canvas.TextRect(r, left, r.Top + (r.Height() - th) / 2, text);
}

}  // namespace vx
