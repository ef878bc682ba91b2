#pragma once
// Collections: an ordered list of owned items of one class (list-view
// columns and items, status panels, tree nodes). Generic code reaches the
// elements by index ("Items_3", "Columns_0") through TCollection alone; each
// item publishes its own properties.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/classes.h"

namespace vx {

class TCollection;

class TCollectionItem : public TPersistent {
  VX_CLASS(TCollectionItem, TPersistent)
  // Items are created by their collection (Add, Insert).
  explicit TCollectionItem(TCollection* collection) : collection_(collection) {}

  TCollection* Collection() const { return collection_; }
  // Position in the collection; -1 when detached.
  int Index() const;
  // Moves the item within its collection.
  void SetIndex(int index);

 protected:
  // Tells the collection that this item (all=false) or the layout of every
  // item (all=true) changed.
  void Changed(bool all = false);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

enum class TCollectionNotification { cnAdded, cnDeleting };
using enum TCollectionNotification;

class TCollection : public TPersistent {
  VX_CLASS(TCollection, TPersistent)
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  explicit TCollection(ItemFactory factory);
  ~TCollection() override;

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError for an index out of range.
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add() { return Insert(Count()); }
  TCollectionItem* Insert(int index);
  // Subclasses with linked items (tree nodes) delete what hangs below.
  virtual void Delete(int index);
  void Clear();
  // Position of the item; -1 when it is not one of this collection's.
  int IndexOf(const TCollectionItem* item) const;
  void Move(int from, int to);

  // Changes inside an update are reported once, by EndUpdate.
  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

  // The same number of items, each assigned from the source's item.
  void Assign(const TPersistent* source) override;

 protected:
  friend class TCollectionItem;
  // An item (nullptr: the whole collection) changed; not called inside an
  // update.
  virtual void Update(TCollectionItem*) {}
  virtual void Notify(TCollectionItem*, TCollectionNotification) {}
  void Changed(TCollectionItem* item);
  // Reorders the items; less(a, b) as for std::stable_sort.
  void SortItems(const std::function<bool(TCollectionItem*, TCollectionItem*)>& less);
  [[noreturn]] void IndexError(int index) const;

 private:
  ItemFactory factory_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
  int update_count_ = 0;
  bool pending_ = false;
};

}  // namespace vx
