#include "platform/ui/collections.h"

#include <algorithm>

#include "platform/rtl/text.h"

namespace vx {

// ---- TCollectionItem ----------------------------------------------------------------

const TClassInfo& TCollectionItem::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCollectionItem>("TCollectionItem", [](auto&) {});
  return info;
}

TCollectionItem::TCollectionItem(TCollection* collection) {
  SetCollection(collection);
}

TCollectionItem::~TCollectionItem() {
  SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (collection_) collection_->MoveItem(this, index);
}

void TCollectionItem::Changed(bool all_items) {
  if (!collection_) return;
  if (all_items)
    collection_->Changed();
  else
    collection_->ItemChanged(this);
}

// ---- TCollection --------------------------------------------------------------------

const TClassInfo& TCollection::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCollection>("TCollection", [](auto&) {});
  return info;
}

TCollection::TCollection(ItemFactory item_factory, TPersistent* owner)
    : item_factory_(std::move(item_factory)), owner_(owner) {}

TCollection::~TCollection() {
  // The items go without notifications: the owner is being torn down too.
  update_count_ = 1;
  clearing_ = true;
  while (!items_.empty())
    items_.back()->Free();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  if (!item_factory_) throw EListError(Format("%s cannot make items", ClassName()));
  TCollectionItem* item = item_factory_(this);
  if (item->Collection() != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    item = Add();
    item->SetIndex(index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty())
    Delete(Count() - 1);
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Changed();
}

void TCollection::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TCollection*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* from : other->items_)
      Add()->Assign(from);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::Changed() {
  if (update_count_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = next_id_++;
  // The item may still be under construction: Notify sees only its base.
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  if (!clearing_) Notify(item, cnExtracting);
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
  int from = item->Index();
  index = std::clamp(index, 0, Count() - 1);
  if (from == index) return;
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + index, item);
  Changed();
}

void TCollection::ItemChanged(TCollectionItem* item) {
  if (update_count_ == 0) Update(item);
}

}  // namespace vx
