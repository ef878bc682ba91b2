#pragma once
// Collections: an ordered list of items of one class that the collection owns
// (list-view columns, status-bar panels, grid columns). Generic code reaches
// any collection through this base: Count, Items(i), Add, Delete.
//
// An item belongs to at most one collection; freeing an item takes it out of
// its collection, freeing the collection frees its items. A collection owned
// by a component is told of every change through Update, so the owner can
// refresh what it shows.
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/classes.h"

namespace vx {

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };
using enum TCollectionNotification;

class TCollectionItem : public TPersistent {
  VX_CLASS(TCollectionItem, TPersistent)
  // Adds the new item at the end of collection (none when nullptr).
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to the end of another collection (or out of any).
  void SetCollection(TCollection* collection);
  // Position in the collection; -1 outside any.
  int Index() const;
  // Moves the item within its collection (clamped to the valid range).
  virtual void SetIndex(int index);
  // Unique within the collection for its life, never reused.
  int ID() const { return id_; }
  // What an editor lists: the class name unless a descendant says more.
  virtual std::string DisplayName() const { return ClassName(); }

 protected:
  // Tells the collection this item (or, with all_items, every item) changed.
  void Changed(bool all_items);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  VX_CLASS(TCollection, TPersistent)
  // Makes a new item of the collection's item class and adds it.
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <class T>
  static ItemFactory ItemsOf() {
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
  }

  // owner: the persistent the collection belongs to (a component), or nullptr.
  explicit TCollection(ItemFactory item_factory, TPersistent* owner = nullptr);
  ~TCollection() override;

  TPersistent* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError outside 0..Count-1.
  TCollectionItem* Items(int index) const;
  template <class T>
  T* ItemAs(int index) const {
    return dynamic_cast<T*>(Items(index));
  }
  TCollectionItem* Add();
  // A new item at index (0..Count).
  TCollectionItem* Insert(int index);
  // Frees the item at index.
  void Delete(int index);
  void Clear();
  // nullptr when no item has that ID.
  TCollectionItem* FindItemID(int id) const;

  // Changes between BeginUpdate and the last EndUpdate are reported once.
  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

  // From another collection: its items are copied one by one through the
  // items' own Assign.
  void Assign(const TPersistent* source) override;

 protected:
  // After a change: item nullptr means the whole collection.
  virtual void Update(TCollectionItem*) {}
  virtual void Notify(TCollectionItem*, TCollectionNotification) {}
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(TCollectionItem* item, int index);
  void ItemChanged(TCollectionItem* item);

  ItemFactory item_factory_;
  TPersistent* owner_ = nullptr;
  std::vector<TCollectionItem*> items_;
  int next_id_ = 0;
  int update_count_ = 0;
  bool clearing_ = false;
};

}  // namespace vx
