#include "platform/ui/collections.h"

#include <algorithm>

#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TCollectionItem::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCollectionItem>("TCollectionItem", [](auto&) {});
  return info;
}

const TClassInfo& TCollection::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCollection>("TCollection", [](auto&) {});
  return info;
}

int TCollectionItem::Index() const {
  return collection_ ? collection_->IndexOf(this) : -1;
}

void TCollectionItem::SetIndex(int index) {
  if (collection_) collection_->Move(Index(), index);
}

void TCollectionItem::Changed(bool all) {
  if (collection_) collection_->Changed(all ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {}

TCollection::~TCollection() {
  update_count_ = 1;  // no notifications while the owner is going away
  items_.clear();
}

void TCollection::IndexError(int index) const {
  throw EListError(Format("List index out of bounds (%d)", index));
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)].get();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) IndexError(index);
  std::unique_ptr<TCollectionItem> item(factory_(this));
  item->collection_ = this;
  TCollectionItem* raw = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  Notify(raw, cnAdded);
  Changed(nullptr);
  return raw;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  // The handler may have changed the list; find the item again.
  int at = IndexOf(item);
  if (at < 0) return;
  std::unique_ptr<TCollectionItem> gone = std::move(items_[static_cast<std::size_t>(at)]);
  items_.erase(items_.begin() + at);
  gone->collection_ = nullptr;
  Changed(nullptr);
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  try {
    while (!items_.empty())
      Delete(Count() - 1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::Move(int from, int to) {
  if (from < 0 || from >= Count()) IndexError(from);
  to = std::clamp(to, 0, Count() - 1);
  if (from == to) return;
  auto item = std::move(items_[static_cast<std::size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
  Changed(nullptr);
}

void TCollection::EndUpdate() {
  if (update_count_ > 0) --update_count_;
  if (update_count_ == 0 && pending_) {
    pending_ = false;
    Update(nullptr);
  }
}

void TCollection::Changed(TCollectionItem* item) {
  if (update_count_ > 0) {
    pending_ = true;
    return;
  }
  Update(item);
}

void TCollection::SortItems(const std::function<bool(TCollectionItem*, TCollectionItem*)>& less) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const auto& a, const auto& b) { return less(a.get(), b.get()); });
  Changed(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TCollection*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (const auto& item : other->items_)
      Add()->Assign(item.get());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

}  // namespace vx
