#pragma once
// The tab set: a row of tabs with one selected.
#include <memory>

#include "platform/ui/stdctrls.h"

namespace vx {

// NewTab is the index about to be selected; clearing AllowChange refuses.
using TTabChangeEvent = TEvent<TObject*, int /*new_tab*/, bool& /*allow_change*/>;

class TTabSet : public TWinControl {
  VX_CLASS(TTabSet, TWinControl)
  explicit TTabSet(TComponent* owner);
  ~TTabSet() override;

  // Changing the tabs keeps the index while it is still a tab (so that
  // replacing every text at once keeps the selection).
  TStrings* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* tabs) { tabs_->Assign(tabs); }
  // -1: none. A user's or program's change asks OnChange first; an index
  // out of range is ignored.
  int TabIndex() const { return tab_index_; }
  void SetTabIndex(int index);
  // Raw fact: the user clicked tab index.
  void ClickTab(int index);
  bool TakesFocusOnClick() const override { return true; }
  bool WantsKey(Word key, TShiftState shift) const override;

  TTabChangeEvent OnChange;

 protected:
  void DefaultKeyDown(Word& key, TShiftState shift) override;

 private:
  void TabsChanged(TObject*);
  std::unique_ptr<TStringList> tabs_;
  int tab_index_ = -1;
};

}  // namespace vx
