#pragma once
// TVxRadioGroup: a group box with one TVxGroupButton per entry of Items,
// laid out in Columns; clicking a button selects its item and runs the
// group's click event.
#include "controls/vxradiobutton.h"
#include "platform/ui/extctrls.h"

namespace vx {

class TVxRadioGroup;

enum class TBiDiMode {
  bdLeftToRight,
  bdRightToLeft,
  bdRightToLeftNoAlign,
  bdRightToLeftReadingOnly
};
using enum TBiDiMode;

// An item button of a TVxRadioGroup; its keys go to the group's key events
// too.
class TVxGroupButton : public TVxRadioButton {
  VX_CLASS(TVxGroupButton, TVxRadioButton)
  explicit TVxGroupButton(TComponent* owner);
  TVxRadioGroup* Group() const;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(TKeyChar& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
};

// The platform's radio group with TVxGroupButton items.
class TVxRadioGroup : public TCustomRadioGroup {
  VX_CLASS(TVxRadioGroup, TCustomRadioGroup)
  explicit TVxRadioGroup(TComponent* owner);

  // Right-to-left reading mirrors the columns.
  TBiDiMode BiDiMode() const { return bidi_mode_; }
  void SetBiDiMode(TBiDiMode m);
  TVxGroupButton* Buttons(int index) const {
    return static_cast<TVxGroupButton*>(TCustomRadioGroup::Buttons(index));
  }

 protected:
  friend class TVxGroupButton;
  TButtonControl* CreateButton() override;
  bool MirrorColumns() const override { return bidi_mode_ == bdRightToLeft; }
  void BoundsChanged(bool moved, bool sized) override;
  void EnabledChanged() override;

 private:
  TBiDiMode bidi_mode_ = bdLeftToRight;
};

}  // namespace vx
