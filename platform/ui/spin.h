#pragma once
// The spin edit: an edit for whole numbers with up and down buttons.
#include "platform/ui/stdctrls.h"

namespace vx {

class TSpinEdit : public TCustomEdit {
  VX_CLASS(TSpinEdit, TCustomEdit)
  explicit TSpinEdit(TComponent* owner);

  // With MinValue equal to MaxValue there is no range.
  int MinValue() const { return min_value_; }
  void SetMinValue(int v) { min_value_ = v; }
  int MaxValue() const { return max_value_; }
  void SetMaxValue(int v) { max_value_ = v; }
  // The text as a number within the range; MinValue when the text is no
  // number. Setting writes the number, brought into the range.
  int Value() const;
  void SetValue(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }
  bool EditorEnabled() const { return editor_enabled_; }
  void SetEditorEnabled(bool v) { editor_enabled_ = v; }
  // The up and down buttons (and the arrow keys): Value +/- Increment.
  void UpClick();
  void DownClick();

 protected:
  void DoExit() override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;

 private:
  int CheckValue(long long v) const;
  int min_value_ = 0;
  int max_value_ = 0;
  int increment_ = 1;
  bool editor_enabled_ = true;
};

}  // namespace vx
