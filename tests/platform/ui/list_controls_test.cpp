#include <gtest/gtest.h>

#include "lib/props.h"
#include "platform/rtl/text.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/grids.h"
#include "platform/ui/tabs.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

class ListControlsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    form->Show();
  }
  TForm* form = nullptr;
};

std::vector<std::string> FlatTexts(const TTreeNodes& nodes) {
  std::vector<std::string> out;
  for (int i = 0; i < nodes.Count(); ++i)
    out.push_back(std::string(nodes.Item(i)->Level(), '-') + nodes.Item(i)->Text());
  return out;
}

TEST_F(ListControlsTest, TreeNodesKeepTheFlatOrder) {
  auto* tv = Add<TTreeView>(form, "tv");
  TTreeNodes& nodes = *tv->Items();
  TTreeNode* a = nodes.Add(nullptr, "A");
  TTreeNode* b = nodes.Add(a, "B");
  TTreeNode* a1 = nodes.AddChild(a, "A1");
  nodes.AddChild(a1, "A1x");
  nodes.AddChild(a, "A2");
  nodes.AddChild(b, "B1");
  nodes.Insert(b, "Before B");
  EXPECT_THAT(FlatTexts(nodes), ElementsAre("A", "-A1", "--A1x", "-A2", "Before B", "B", "-B1"));
  EXPECT_EQ(a->Count(), 2);
  EXPECT_EQ(a->Item(1)->Text(), "A2");
  EXPECT_EQ(nodes.Item(2)->Parent(), a1);
  EXPECT_EQ(b->Parent(), nullptr);
  EXPECT_THROW(a->Item(2), EListError);

  // Keys walk the nodes a user sees.
  tv->SetSelected(a);
  tv->SetFocus();
  SendKey(VK_DOWN);
  EXPECT_EQ(tv->Selected()->Text(), "Before B");  // A is collapsed
  tv->SetSelected(a);
  SendKey(VK_RIGHT);  // expand
  SendKey(VK_DOWN);
  EXPECT_EQ(tv->Selected(), a1);
  SendKey(VK_LEFT);  // to the parent
  EXPECT_EQ(tv->Selected(), a);

  // Deleting a node takes its subtree and the selection.
  std::vector<std::string> deleted;
  struct Watcher {
    std::vector<std::string>* out;
    void Deleted(TObject*, TTreeNode* n) { out->push_back(n->Text()); }
  } watcher{&deleted};
  tv->OnDeletion = Bind<&Watcher::Deleted>(&watcher);
  a->Delete();
  EXPECT_THAT(deleted, ElementsAre("A2", "A1x", "A1", "A"));
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_THAT(FlatTexts(nodes), ElementsAre("Before B", "B", "-B1"));

  // The user's edit of a node's text, through the edited handler.
  struct Upper {
    void Edited(TObject*, TTreeNode*, std::string& s) { s = UpperCase(s); }
  } upper;
  tv->OnEdited = Bind<&Upper::Edited>(&upper);
  tv->EditText(b, "bee");
  EXPECT_EQ(b->Text(), "BEE");
  tv->SetReadOnly(true);
  tv->EditText(b, "no");
  EXPECT_EQ(b->Text(), "BEE");

  // A copy keeps the shape.
  auto* copy = Add<TTreeView>(form, "copy");
  copy->SetItems(tv->Items());
  EXPECT_THAT(FlatTexts(*copy->Items()), ElementsAre("Before B", "BEE", "-B1"));
}

TEST_F(ListControlsTest, TabSetKeepsItsIndexWhenAllTextsAreReplaced) {
  auto* tabs = Add<TTabSet>(form, "tabs");
  tabs->Tabs()->SetText("One\r\nTwo\r\nThree\r\n");
  tabs->SetTabIndex(1);
  tabs->Tabs()->SetText("Uno\r\nDos\r\nTres\r\n");
  EXPECT_EQ(tabs->TabIndex(), 1);
  tabs->SetTabIndex(7);  // out of range: ignored
  EXPECT_EQ(tabs->TabIndex(), 1);
  struct Refuser {
    void Change(TObject*, int new_tab, bool& allow) { allow = new_tab != 2; }
  } refuser;
  tabs->OnChange = Bind<&Refuser::Change>(&refuser);
  tabs->ClickTab(2);
  EXPECT_EQ(tabs->TabIndex(), 1);
  tabs->ClickTab(0);
  EXPECT_EQ(tabs->TabIndex(), 0);
  tabs->Tabs()->Clear();
  EXPECT_EQ(tabs->TabIndex(), -1);
}

TEST_F(ListControlsTest, StatusPanelsAndNavigatorHints) {
  auto* sb = Add<TStatusBar>(form, "sb");
  sb->Panels()->Add()->SetText("Ready");
  sb->Panels()->Add()->SetWidth(120);
  EXPECT_EQ(sb->Panels()->Count(), 2);
  EXPECT_EQ(sb->Panels()->Items(0)->Text(), "Ready");
  EXPECT_EQ(sb->Align(), alBottom);

  auto* nav = Add<TDBNavigator>(form, "nav");
  EXPECT_EQ(nav->ButtonHint(nbNext), "Next record");
  nav->Hints()->SetText("First\r\n\r\nNext\r\n");
  EXPECT_EQ(nav->ButtonHint(nbFirst), "First");
  EXPECT_EQ(nav->ButtonHint(nbPrior), "Prior record");  // empty line: built-in
  EXPECT_EQ(nav->ButtonHint(nbNext), "Next");
}

TEST_F(ListControlsTest, ImageListSplitsPicturesAndKeepsTheirTransparency) {
  auto* il = new TImageList(form);
  il->SetWidth(2);
  il->SetHeight(2);
  TBitmap strip(4, 2, clRed);
  strip.SetPixel(3, 1, clFuchsia);
  EXPECT_EQ(il->AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(il->Count(), 2);
  TBitmap second;
  ASSERT_TRUE(il->GetBitmap(1, &second));
  EXPECT_EQ(second.Width(), 2);
  EXPECT_EQ(second.Pixel(1, 1), clFuchsia);
  EXPECT_TRUE(second.Transparent());
  EXPECT_EQ(second.TransparentColor(), clFuchsia);
  EXPECT_FALSE(il->GetBitmap(2, &second));

  // A mask marks transparent pixels with a colour the picture does not use.
  TBitmap picture(2, 2, clFuchsia);
  TBitmap mask(2, 2, clBlack);
  mask.SetPixel(0, 0, clWhite);
  EXPECT_EQ(il->Add(&picture, &mask), 2);
  TBitmap masked;
  il->GetBitmap(2, &masked);
  EXPECT_NE(masked.TransparentColor(), clFuchsia);
  EXPECT_EQ(masked.Pixel(0, 0), masked.TransparentColor());
  EXPECT_EQ(masked.Pixel(1, 1), clFuchsia);

  TBitmap tall(2, 3);
  EXPECT_THROW(il->Add(&tall), EInvalidOperation);
  EXPECT_THROW(il->Add(nullptr), EInvalidOperation);
  EXPECT_EQ(il->Count(), 3);
  il->SetWidth(18);  // the pictures no longer fit
  EXPECT_EQ(il->Count(), 0);
}

// One form with one of each class: the published properties are reached by
// name and path as language files and the form conversion reach them.
TEST_F(ListControlsTest, PublishedPropertiesByNameAndPath) {
  auto* lv = Add<TListView>(form, "lv");
  auto* tv = Add<TTreeView>(form, "tv");
  auto* sb = Add<TStatusBar>(form, "sb");
  auto* bar = Add<TToolBar>(form, "bar");
  auto* button = Add<TToolButton>(bar, "btn");
  auto* grid = Add<TStringGrid>(form, "grid");
  auto* agrid = Add<TStringAlignGrid>(form, "agrid");
  auto* tabs = Add<TTabSet>(form, "tabs");
  auto* nav = Add<TDBNavigator>(form, "nav");
  auto* menu = new TMainMenu(form);
  menu->SetName("menu");
  auto* popup = new TPopupMenu(form);
  popup->SetName("popup");
  auto* item = new TMenuItem(form);
  item->SetName("mi");
  popup->Items()->Add(item);
  auto* images = new TImageList(form);
  images->SetName("images");

  struct Case {
    TComponent* target;
    const char* path;
    Variant value;
    const char* read_back;  // on the object the path ends at
  } cases[] = {
      {lv, "Hint", Variant("方案"), "方案"},
      {lv, "Font.Name", Variant("SimSun"), "SimSun"},
      {lv, "Font.Charset", Variant("GB2312_CHARSET"), "134"},
      {lv, "ViewStyle", Variant(" vsReport "), "vsReport"},
      {lv, "SortType", Variant("stText"), "stText"},
      {lv, "MultiSelect", Variant(true), "True"},
      {lv, "RowSelect", Variant("True"), "True"},
      {lv, "ReadOnly", Variant(true), "True"},
      {tv, "ReadOnly", Variant(true), "True"},
      {tv, "Font.Size", Variant(12), "12"},
      {sb, "SimpleText", Variant("Ready"), "Ready"},
      {sb, "Hint", Variant("status"), "status"},
      {bar, "Flat", Variant(true), "True"},
      {bar, "ButtonWidth", Variant(25), "25"},
      {button, "Caption", Variant("保存(&S)"), "保存(&S)"},
      {button, "Hint", Variant("保存"), "保存"},
      {button, "ImageIndex", Variant(1), "1"},
      {button, "Style", Variant("tbsDropDown"), "tbsDropDown"},
      {button, "Tag", Variant(3), "3"},
      {grid, "Options", Variant("[goEditing, goAlwaysShowEditor]"),
       "[goEditing,goAlwaysShowEditor]"},
      {grid, "ColCount", Variant(8), "8"},
      {grid, "DefaultRowHeight", Variant(18), "18"},
      {agrid, "FixedCols", Variant(0), "0"},
      {agrid, "Font.Name", Variant("宋体"), "宋体"},
      {tabs, "TabIndex", Variant(-1), "-1"},
      {nav, "Hint", Variant("nav"), "nav"},
      {menu, "OwnerDraw", Variant(true), "True"},
      {popup, "OwnerDraw", Variant(true), "True"},
      {item, "Caption", Variant("开启(&O)"), "开启(&O)"},
      {item, "Checked", Variant(true), "True"},
      {item, "RadioItem", Variant(true), "True"},
      {item, "GroupIndex", Variant(2), "2"},
      {item, "ImageIndex", Variant(2), "2"},
      {images, "Width", Variant(24), "24"},
      {images, "BkColor", Variant("clRed"), "255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target->Name() + "." + c.path);
    SetPropertyByPath(c.target, c.path, c.value);
    TObject* at = c.target;
    std::string path = c.path;
    if (auto dot = path.find('.'); dot != std::string::npos) {
      at = GetObjectProperty(at, path.substr(0, dot));
      path = path.substr(dot + 1);
    }
    EXPECT_EQ(GetStrProperty(at, Trim(path)), c.read_back);
  }

  // The properties generic code looks for by type.
  EXPECT_TRUE(HasPropertyOfType(sb, "Panels", "TStatusPanels"));
  EXPECT_TRUE(HasPropertyOfType(tabs, "Tabs", "TStrings"));
  EXPECT_TRUE(HasPropertyOfType(nav, "Hints", "TStrings"));
  EXPECT_TRUE(HasPropertyOfType(lv, "Font", "TFont"));
  EXPECT_FALSE(HasProperty(lv, "Text"));
  EXPECT_FALSE(HasProperty(grid, "Caption"));
  EXPECT_EQ(GetMethodProperty(agrid, "OnShowHintCell"), TMethod{});
  EXPECT_TRUE(HasProperty(agrid, "OnEditButtonClick"));
  EXPECT_TRUE(HasProperty(lv, "OnEdited"));

  // Collections: element N of a list view's Columns and Items, of the tree's
  // nodes in flat order, of the status panels; each element publishes its
  // own properties.
  lv->Columns()->Add();
  lv->Items()->Add()->SubItems()->Add("sub");
  tv->Items()->AddChild(tv->Items()->Add(nullptr, "root"), "child");
  sb->Panels()->Add();
  struct Element {
    TObject* owner;
    const char* collection;
    int index;
    const char* prop;
    const char* value;
  } elements[] = {
      {lv, "Columns", 0, "Caption", "方案名称"},
      {lv, "Columns", 0, "Width", "77"},
      {lv, "Columns", 0, "Alignment", "taRightJustify"},
      {lv, "Items", 0, "Caption", "Plan"},
      {lv, "Items", 0, "ImageIndex", "0"},
      {tv, "Items", 1, "Text", "子"},
      {sb, "Panels", 0, "Text", "就绪"},
  };
  for (const Element& e : elements) {
    SCOPED_TRACE(std::string(e.collection) + "." + e.prop);
    auto* coll = dynamic_cast<TCollection*>(GetObjectProperty(e.owner, e.collection));
    ASSERT_NE(coll, nullptr);
    TCollectionItem* element = coll->Items(e.index);
    SetPropertyByPath(element, e.prop, Variant(e.value));
    EXPECT_EQ(GetStrProperty(element, e.prop), e.value);
  }
  EXPECT_EQ(lv->Column(0)->Caption(), "方案名称");
  EXPECT_EQ(tv->Items()->Item(1)->Text(), "子");
  auto* sub_items = dynamic_cast<TStrings*>(GetObjectProperty(lv->Items()->Items(0), "SubItems"));
  ASSERT_NE(sub_items, nullptr);
  EXPECT_EQ(sub_items->Get(0), "sub");

  // Every class is found by name.
  for (const char* name : {"TListView", "TTreeView", "TStatusBar", "TToolBar", "TToolButton",
                           "TStringGrid", "TStringAlignGrid", "TTabSet", "TDBNavigator",
                           "TMainMenu", "TPopupMenu", "TMenuItem", "TImageList"})
    EXPECT_NE(FindClassInfo(name), nullptr) << name;
}

}  // namespace
}  // namespace vx::testing
