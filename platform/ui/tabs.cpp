#include "platform/ui/tabs.h"

#include "platform/ui/navigation.h"

namespace vx {

const TClassInfo& TTabSet::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTabSet>("TTabSet", [](auto& r) {
    for (const char* name :
         {"Align", "Enabled", "Font", "Hint", "ParentFont", "ParentShowHint", "ShowHint",
          "TabOrder", "TabStop", "Visible", "OnClick", "OnEnter", "OnExit"})
      r.Publish(name);
    r.template Obj<&TTabSet::Tabs, &TTabSet::SetTabs>("Tabs", "TStrings");
    r.template Ord<&TTabSet::TabIndex, &TTabSet::SetTabIndex>("TabIndex", "Integer");
    r.template Event<&TTabSet::OnChange>("OnChange", "TTabChangeEvent");
  });
  return info;
}

TTabSet::TTabSet(TComponent* owner) : TWinControl(owner), tabs_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 21);
  SetTabStop(true);
  tabs_->OnChange = Bind<&TTabSet::TabsChanged>(this);
}

TTabSet::~TTabSet() {
  tabs_->OnChange = nullptr;
}

void TTabSet::TabsChanged(TObject*) {
  if (tab_index_ >= tabs_->Count()) tab_index_ = tabs_->Count() ? tabs_->Count() - 1 : -1;
  Invalidate();
}

void TTabSet::SetTabIndex(int index) {
  if (index == tab_index_ || index < -1 || index >= tabs_->Count()) return;
  bool allow = true;
  OnChange(this, index, allow);
  if (!allow) return;
  tab_index_ = index;
  Invalidate();
}

void TTabSet::ClickTab(int index) {
  if (!Enabled() || index < 0 || index >= tabs_->Count()) return;
  SetTabIndex(index);
  Click();
}

bool TTabSet::WantsKey(Word key, TShiftState shift) const {
  return IsNavigationKey(key) || TWinControl::WantsKey(key, shift);
}

void TTabSet::DefaultKeyDown(Word& key, TShiftState) {
  if (tabs_->Count() == 0) return;
  if (key == VK_RIGHT) SetTabIndex(std::min(tab_index_ + 1, tabs_->Count() - 1));
  if (key == VK_LEFT && tab_index_ > 0) SetTabIndex(tab_index_ - 1);
}

}  // namespace vx
