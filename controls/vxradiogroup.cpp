#include "controls/vxradiogroup.h"

namespace vx {

// ---- TVxGroupButton ---------------------------------------------------------------------------

const TClassInfo& TVxGroupButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxGroupButton>("TVxGroupButton", [](auto&) {});
  return info;
}

TVxGroupButton::TVxGroupButton(TComponent* owner) : TVxRadioButton(owner) {}

TVxRadioGroup* TVxGroupButton::Group() const {
  return dynamic_cast<TVxRadioGroup*>(Parent());
}

void TVxGroupButton::KeyDown(Word& key, TShiftState shift) {
  TVxRadioButton::KeyDown(key, shift);
  if (TVxRadioGroup* g = Group(); g && key) g->KeyDown(key, shift);
}

void TVxGroupButton::KeyPress(TKeyChar& key) {
  TVxRadioButton::KeyPress(key);
  if (TVxRadioGroup* g = Group(); g && key) g->KeyPress(key);
}

void TVxGroupButton::KeyUp(Word& key, TShiftState shift) {
  TVxRadioButton::KeyUp(key, shift);
  if (TVxRadioGroup* g = Group(); g && key) g->KeyUp(key, shift);
}

// ---- TVxRadioGroup ----------------------------------------------------------------------------

const TClassInfo& TVxRadioGroup::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxRadioGroup>("TVxRadioGroup", [](auto& r) {
    RegisterEnumType("TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                   "bdRightToLeftReadingOnly"});
    for (const char* name : {"Enabled", "Font", "Hint", "ParentFont", "ParentShowHint", "ShowHint",
                             "Visible", "OnClick", "OnKeyDown", "OnKeyPress", "OnKeyUp"})
      r.Publish(name);
    for (const char* name : {"Items", "ItemIndex", "Columns"})
      r.Publish(name);
    r.template Ord<&TVxRadioGroup::BiDiMode, &TVxRadioGroup::SetBiDiMode>("BiDiMode", "TBiDiMode");
  });
  return info;
}

TVxRadioGroup::TVxRadioGroup(TComponent* owner) : TCustomRadioGroup(owner) {
  SetBounds(0, 0, 185, 105);
}

TButtonControl* TVxRadioGroup::CreateButton() {
  auto* b = new TVxGroupButton(this);
  b->SetEnabled(Enabled());
  return b;
}

void TVxRadioGroup::BoundsChanged(bool moved, bool sized) {
  TCustomRadioGroup::BoundsChanged(moved, sized);
  if (sized) ArrangeButtons();
}

void TVxRadioGroup::EnabledChanged() {
  TCustomRadioGroup::EnabledChanged();
  for (TButtonControl* b : ButtonList())
    b->SetEnabled(Enabled());
}

void TVxRadioGroup::SetBiDiMode(TBiDiMode m) {
  bidi_mode_ = m;
  ArrangeButtons();
}

}  // namespace vx
