#include "platform/ui/menus.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/chars.h"
#include "platform/ui/forms.h"
#include "platform/ui/imglist.h"

namespace vx {

std::string StripHotkey(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += '&';
      ++i;
      if (i < caption.size() && caption[i] != '&') out += caption[i];
      continue;
    }
    out += caption[i];
  }
  return out;
}

char32_t GetHotkey(std::string_view caption) {
  std::u32string chars = CodePoints(caption);
  for (std::size_t i = 0; i + 1 < chars.size(); ++i) {
    if (chars[i] != U'&') continue;
    if (chars[i + 1] == U'&') {
      ++i;
      continue;
    }
    char32_t c = chars[i + 1];
    return (c >= U'a' && c <= U'z') ? c - 32 : c;
  }
  return 0;
}

// ---- TMenuItem ----------------------------------------------------------------

const TClassInfo& TMenuItem::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMenuItem>("TMenuItem", [](auto& r) {
    r.template Bool<&TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck>("AutoCheck");
    r.template Str<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption", "TCaption");
    r.template Bool<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked");
    r.template Bool<&TMenuItem::Default, &TMenuItem::SetDefault>("Default");
    r.template Bool<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled");
    r.template Ord<&TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex>("GroupIndex", "Byte");
    r.template Str<&TMenuItem::Hint, &TMenuItem::SetHint>("Hint");
    r.template Ord<&TMenuItem::ImageIndex, &TMenuItem::SetImageIndex>("ImageIndex", "TImageIndex");
    r.template Bool<&TMenuItem::RadioItem, &TMenuItem::SetRadioItem>("RadioItem");
    r.template Bool<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible");
    r.template Event<&TMenuItem::OnClick>("OnClick");
  });
  return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

void TMenuItem::BeforeDestruction() {
  // Sub-items go with their parent, whoever owns them.
  while (!items_.empty())
    items_.back()->Free();
  if (parent_) parent_->Remove(this);
  TComponent::BeforeDestruction();
}

TMenuItem::~TMenuItem() {
  // Plain delete: the same clean-up after the fact.
  while (!items_.empty())
    delete items_.back();
  if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) {
  Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item == this || (item->parent_ && item->parent_ != this))
    throw EInvalidOperation("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EInvalidOperation("Menu inserted twice");
  if (item->parent_ == this) Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_)
    root = root->parent_;
  return root->menu_;
}

TMenuItem* TMenuItem::FindByHotkey(char32_t key) const {
  if (key >= U'a' && key <= U'z') key -= 32;
  for (TMenuItem* item : items_)
    if (item->visible_ && item->enabled_ && GetHotkey(item->caption_) == key) return item;
  return nullptr;
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && radio_item_) UncheckGroupSiblings();
}

void TMenuItem::SetRadioItem(bool v) {
  radio_item_ = v;
  if (v && checked_) UncheckGroupSiblings();
}

void TMenuItem::SetGroupIndex(int v) {
  group_index_ = v;
  if (radio_item_ && checked_) UncheckGroupSiblings();
}

void TMenuItem::UncheckGroupSiblings() {
  if (!parent_) return;
  for (TMenuItem* sibling : parent_->items_)
    if (sibling != this && sibling->radio_item_ && sibling->group_index_ == group_index_)
      sibling->checked_ = false;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (auto_check_) SetChecked(radio_item_ ? true : !checked_);
  OnClick(this);
}

// ---- TMenu ----------------------------------------------------------------------

const TClassInfo& TMenu::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMenu>("TMenu", [](auto& r) {
    r.template Obj<&TMenu::Images, &TMenu::SetImages>("Images", "TCustomImageList");
    r.template Bool<&TMenu::OwnerDraw, &TMenu::SetOwnerDraw>("OwnerDraw");
  });
  return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  items_->Free();
}

void TMenu::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

namespace {
TMenuItem* FindIn(const TMenuItem* parent, std::string_view name) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (SameText(item->Name(), name)) return item;
    if (TMenuItem* found = FindIn(item, name)) return found;
  }
  return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItem(std::string_view name) const {
  return name.empty() ? nullptr : FindIn(items_, name);
}

const TClassInfo& TMainMenu::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMainMenu>("TMainMenu", [](auto&) {});
  return info;
}

// ---- TPopupMenu -----------------------------------------------------------------

const TClassInfo& TPopupMenu::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TPopupMenu>("TPopupMenu", [](auto& r) {
    r.template Bool<&TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup");
    r.template Event<&TPopupMenu::OnPopup>("OnPopup");
  });
  return info;
}

void TPopupMenu::Popup(int x, int y) {
  popup_point_ = {x, y};
  OnPopup(this);
  if (auto* host = dynamic_cast<IPopupMenuHost*>(&WidgetSet())) host->ShowPopupMenu(*this, x, y);
}

TPoint ClientToScreen(const TControl& control, TPoint point) {
  for (const TControl* c = &control; c; c = c->Parent()) {
    point.X += c->Left();
    point.Y += c->Top();
    // A form embedded in another window has its position relative to it;
    // the model knows screen positions only for top-level forms.
    if (dynamic_cast<const TCustomForm*>(c)) break;
  }
  return point;
}

}  // namespace vx
