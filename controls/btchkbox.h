#pragma once
// TBitCheckBox: a check box drawn with pictures, one per state, taken from
// the controls' own resources "CHECKED", "UNCHECKED" and "GRAYED" unless
// others are assigned. A picture may hold a second image, shown while the
// box is disabled.
#include <memory>

#include "platform/ui/stdctrls.h"

namespace vx {

// The accelerator message: WParam the character typed with Alt; a control
// whose caption has that accelerator sets Result 1.
inline constexpr unsigned CM_DIALOGCHAR = CM_BASE + 6;

// Whether control can be given the focus now: it can take it and its form
// is showing.
bool CanTakeFocus(const TWinControl* control);
// The accelerator of a caption ("生成Log文档(&L)" -> 'L') matches the
// character typed, ignoring case.
bool IsAccel(TKeyChar ch, std::string_view caption);

class TBitCheckBox : public TWinControl {
  VX_CLASS(TBitCheckBox, TWinControl)
  explicit TBitCheckBox(TComponent* owner);
  ~TBitCheckBox() override;

  // Right-justified (the default): picture left, text right.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  bool AllowGrayed() const { return allow_grayed_; }
  void SetAllowGrayed(bool v);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  // Setting by code runs no click event.
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState s);
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool v);

  // Assigning a picture copies it; nullptr (or an empty picture) brings the
  // default back. The number of images follows the picture when its width
  // is a whole multiple of its height; it is kept within 1 and 2.
  TBitmap* CheckedGlyph() const { return glyph(cbChecked); }
  void SetCheckedGlyph(TBitmap* b) { SetGlyph(cbChecked, b); }
  TBitmap* UncheckedGlyph() const { return glyph(cbUnchecked); }
  void SetUncheckedGlyph(TBitmap* b) { SetGlyph(cbUnchecked, b); }
  TBitmap* GrayedGlyph() const { return glyph(cbGrayed); }
  void SetGrayedGlyph(TBitmap* b) { SetGlyph(cbGrayed, b); }
  int CheckedNumGlyphs() const { return num(cbChecked); }
  void SetCheckedNumGlyphs(int n) { SetNum(cbChecked, n); }
  int UncheckedNumGlyphs() const { return num(cbUnchecked); }
  void SetUncheckedNumGlyphs(int n) { SetNum(cbUnchecked, n); }
  int GrayedNumGlyphs() const { return num(cbGrayed); }
  void SetGrayedNumGlyphs(int n) { SetNum(cbGrayed, n); }

  // The user's click (mouse or space): the state moves on (unchecked ->
  // grayed when allowed, else checked; checked -> unchecked; grayed ->
  // checked), the click event runs, then the box takes the focus.
  void Click() override;
  // Draws the box on any canvas (Paint draws it on the control's own).
  void PaintTo(TCanvas& canvas);

 protected:
  void Paint() override { PaintTo(*Canvas()); }
  void DefaultKeyPress(TKeyChar& key) override;
  void TextChanged() override { Invalidate(); }
  void EnabledChanged() override;
  void DoEnter() override;
  void DoExit() override;
  void CMDialogChar(TMessage& msg);

 private:
  struct Picture;
  TBitmap* glyph(TCheckBoxState s) const;
  int num(TCheckBoxState s) const;
  void SetGlyph(TCheckBoxState s, TBitmap* b);
  void SetNum(TCheckBoxState s, int n);
  void LoadDefault(TCheckBoxState s);
  void Toggle();
  std::unique_ptr<Picture> pictures_[3];
  TAlignment alignment_ = taRightJustify;
  bool allow_grayed_ = false;
  bool ctl3d_ = true;
  TCheckBoxState state_ = cbUnchecked;
};

}  // namespace vx
