#pragma once
// TVxRadioGroup: a group box with one TVxGroupButton per entry of Items,
// laid out in Columns; clicking a button selects its item and runs the
// group's click event.
#include <memory>
#include <vector>

#include "controls/vxradiobutton.h"

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

class TVxRadioGroup : public TGroupBox {
  VX_CLASS(TVxRadioGroup, TGroupBox)
  explicit TVxRadioGroup(TComponent* owner);
  ~TVxRadioGroup() override;

  TStrings* Items() const;
  void SetItems(TStrings* items);
  // -1 for none; kept within -1 and the last item.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  // Kept within 1 and 16.
  int Columns() const { return columns_; }
  void SetColumns(int n);
  // Right-to-left reading mirrors the columns.
  TBiDiMode BiDiMode() const { return bidi_mode_; }
  void SetBiDiMode(TBiDiMode m);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TVxGroupButton* Buttons(int index) const;

 protected:
  friend class TVxGroupButton;
  void Resize() override;
  void BoundsChanged(bool moved, bool sized) override;
  void FontChanged() override;
  void EnabledChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ItemsChanged(TObject*);
  void ButtonClick(TObject* sender);
  void UpdateButtons();
  void ArrangeButtons();
  std::unique_ptr<TStringList> items_;
  std::vector<TVxGroupButton*> buttons_;
  int item_index_ = -1;
  int columns_ = 1;
  TBiDiMode bidi_mode_ = bdLeftToRight;
  bool updating_ = false;
};

}  // namespace vx
