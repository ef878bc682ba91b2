#include "controls/vxradiogroup.h"

#include <algorithm>

#include "platform/rtl/text.h"

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
    r.template Obj<&TVxRadioGroup::Items, &TVxRadioGroup::SetItems>("Items", "TStrings");
    r.template Ord<&TVxRadioGroup::ItemIndex, &TVxRadioGroup::SetItemIndex>("ItemIndex", "Integer");
    r.template Ord<&TVxRadioGroup::Columns, &TVxRadioGroup::SetColumns>("Columns", "Integer");
    r.template Ord<&TVxRadioGroup::BiDiMode, &TVxRadioGroup::SetBiDiMode>("BiDiMode", "TBiDiMode");
  });
  return info;
}

TVxRadioGroup::TVxRadioGroup(TComponent* owner)
    : TGroupBox(owner), items_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 105);
  items_->OnChange = Bind<&TVxRadioGroup::ItemsChanged>(this);
}

TVxRadioGroup::~TVxRadioGroup() {
  items_->OnChange = nullptr;
}

TStrings* TVxRadioGroup::Items() const {
  return items_.get();
}

void TVxRadioGroup::SetItems(TStrings* items) {
  items_->Assign(items);
}

TVxGroupButton* TVxRadioGroup::Buttons(int index) const {
  if (index < 0 || index >= ButtonCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return buttons_[static_cast<std::size_t>(index)];
}

void TVxRadioGroup::ItemsChanged(TObject*) {
  if (IsDestroying()) return;
  UpdateButtons();
  SetItemIndex(item_index_);
}

void TVxRadioGroup::Notification(TComponent* component, TOperation operation) {
  TGroupBox::Notification(component, operation);
  if (operation == opRemove) std::erase(buttons_, component);
}

void TVxRadioGroup::UpdateButtons() {
  updating_ = true;
  int count = items_->Count();
  while (ButtonCount() > count) {
    TVxGroupButton* b = buttons_.back();
    buttons_.pop_back();
    b->Free();
  }
  while (ButtonCount() < count) {
    auto* b = new TVxGroupButton(this);
    b->OnClick = Bind<&TVxRadioGroup::ButtonClick>(this);
    b->SetEnabled(Enabled());
    b->SetParent(this);
    buttons_.push_back(b);
  }
  for (int i = 0; i < count; ++i) {
    buttons_[i]->SetCaption(items_->Get(i));
    buttons_[i]->SetChecked(i == item_index_);
  }
  updating_ = false;
  ArrangeButtons();
}

void TVxRadioGroup::ArrangeButtons() {
  int count = ButtonCount();
  if (count == 0) return;
  int rows = (count + columns_ - 1) / columns_;
  int text_height = TextHeight(*Font(), "0");
  int width = (Width() - 10) / columns_;
  int h = Height() - text_height - 5;
  int height = std::max(h / rows, 0);
  int top = (h % rows) / 2 + text_height + 1;
  bool mirrored = bidi_mode_ == bdRightToLeft;
  for (int i = 0; i < count; ++i) {
    int col = i / rows, row = i % rows;
    int left = 8 + col * width;
    if (mirrored) left = Width() - left - width;
    buttons_[i]->SetBounds(left, top + row * height, width, height);
  }
}

void TVxRadioGroup::Resize() {
  TGroupBox::Resize();
  ArrangeButtons();
}

void TVxRadioGroup::BoundsChanged(bool moved, bool sized) {
  TGroupBox::BoundsChanged(moved, sized);
  if (sized) ArrangeButtons();
}

void TVxRadioGroup::FontChanged() {
  TGroupBox::FontChanged();
  ArrangeButtons();
}

void TVxRadioGroup::EnabledChanged() {
  TGroupBox::EnabledChanged();
  for (TVxGroupButton* b : buttons_)
    b->SetEnabled(Enabled());
}

void TVxRadioGroup::SetColumns(int n) {
  columns_ = std::clamp(n, 1, 16);
  ArrangeButtons();
}

void TVxRadioGroup::SetBiDiMode(TBiDiMode m) {
  bidi_mode_ = m;
  ArrangeButtons();
}

void TVxRadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, ButtonCount() - 1);
  if (index == item_index_ && (index < 0 || buttons_[index]->Checked())) return;
  int old = item_index_;
  item_index_ = index;
  if (old >= 0 && old < ButtonCount()) buttons_[old]->SetChecked(false);
  // Checking the button runs its click, which reaches ButtonClick.
  if (index >= 0) buttons_[index]->SetChecked(true);
}

void TVxRadioGroup::ButtonClick(TObject* sender) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), sender);
  if (it == buttons_.end()) return;
  item_index_ = static_cast<int>(it - buttons_.begin());
  Click();
}

}  // namespace vx
