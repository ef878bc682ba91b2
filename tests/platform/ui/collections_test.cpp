#include "platform/ui/collections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

class TTestItem : public TCollectionItem {
  VX_CLASS(TTestItem, TCollectionItem)
  explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view v) {
    caption_ = std::string(v);
    Changed(false);
  }
  void Assign(const TPersistent* source) override {
    if (auto* other = dynamic_cast<const TTestItem*>(source)) {
      SetCaption(other->caption_);
      return;
    }
    TCollectionItem::Assign(source);
  }

 private:
  std::string caption_;
};

const TClassInfo& TTestItem::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTestItem>("TTestItem", [](auto& r) {
    r.template Str<&TTestItem::Caption, &TTestItem::SetCaption>("Caption", "TCaption");
  });
  return info;
}

// Records what an owner would be told.
class TTestItems : public TCollection {
  VX_CLASS(TTestItems, TCollection)
  TTestItems() : TCollection(ItemsOf<TTestItem>()) {}
  std::vector<std::string> log;
  std::string Captions() const {
    std::string out;
    for (int i = 0; i < Count(); ++i)
      out += ItemAs<TTestItem>(i)->Caption() + ";";
    return out;
  }

 protected:
  void Update(TCollectionItem* item) override {
    log.push_back(item ? "update " + static_cast<TTestItem*>(item)->Caption() : "update all");
  }
  void Notify(TCollectionItem* item, TCollectionNotification n) override {
    log.push_back(n == cnAdded ? "added" : n == cnDeleting ? "deleting" : "extracting");
    (void)item;
  }
};

const TClassInfo& TTestItems::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTestItems>("TTestItems", [](auto&) {});
  return info;
}

TTestItem* AddItem(TTestItems& c, const char* caption) {
  auto* item = static_cast<TTestItem*>(c.Add());
  item->SetCaption(caption);
  return item;
}

TEST(Collection, ItemsAreOwnedOrderedAndFoundById) {
  TTestItems c;
  AddItem(c, "a");
  TTestItem* b = AddItem(c, "b");
  static_cast<TTestItem*>(c.Insert(0))->SetCaption("z");
  EXPECT_EQ(c.Captions(), "z;a;b;");
  EXPECT_EQ(b->Index(), 2);
  EXPECT_EQ(c.FindItemID(b->ID()), b);
  b->SetIndex(0);
  EXPECT_EQ(c.Captions(), "b;z;a;");
  b->SetIndex(99);
  EXPECT_EQ(c.Captions(), "z;a;b;");

  c.Delete(0);
  EXPECT_EQ(c.Captions(), "a;b;");
  // Freeing an item takes it out; IDs are never reused.
  b->Free();
  EXPECT_EQ(c.Captions(), "a;");
  EXPECT_EQ(c.Add()->ID(), 3);
  EXPECT_THROW(c.Items(2), EListError);
  EXPECT_THROW(c.Items(-1), EListError);
  EXPECT_THROW(c.Insert(5), EListError);
}

TEST(Collection, OwnerHearsOfChangesOnceInsideAnUpdate) {
  TTestItems c;
  AddItem(c, "a");
  EXPECT_EQ(c.log, (std::vector<std::string>{"added", "update all", "update a"}));
  c.log.clear();
  c.BeginUpdate();
  AddItem(c, "b");
  c.Delete(0);
  EXPECT_EQ(c.log, (std::vector<std::string>{"added", "deleting", "extracting"}));
  c.EndUpdate();
  EXPECT_EQ(c.log.back(), "update all");
  EXPECT_EQ(c.log.size(), 4u);
}

TEST(Collection, AssignCopiesItemsAndMovingChangesCollection) {
  TTestItems a, b;
  AddItem(a, "x");
  TTestItem* y = AddItem(a, "y");
  AddItem(b, "old");
  b.Assign(&a);
  EXPECT_EQ(b.Captions(), "x;y;");
  y->SetCollection(&b);
  EXPECT_EQ(a.Captions(), "x;");
  EXPECT_EQ(b.Captions(), "x;y;y;");
  EXPECT_EQ(y->Collection(), &b);
  // Published properties of items are reachable by name.
  EXPECT_NE(GetPropInfo(y, "caption"), nullptr);
  TStringList strings;
  EXPECT_THROW(b.Assign(&strings), EConvertError);
}

}  // namespace
}  // namespace vx
