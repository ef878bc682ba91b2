#include <gtest/gtest.h>

#include "platform/rtl/text.h"
#include "platform/ui/comctrls.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

enum class EditMode { Accept, Refuse, Change, Raise };

class ListViewTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    form->SetBounds(100, 50, 400, 300);
    lv = Add<TListView>(form, "lstCondition");
    lv->SetViewStyle(vsReport);
    form->Show();
  }
  TListItem* AddItem(const char* caption, std::initializer_list<const char*> subs = {}) {
    TListItem* item = lv->Items()->Add();
    item->SetCaption(caption);
    for (const char* s : subs)
      item->SubItems()->Add(s);
    return item;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (int i = 0; i < lv->Items()->Count(); ++i)
      out.push_back(lv->Items()->Items(i)->Caption());
    return out;
  }

 public:
  EditMode mode = EditMode::Accept;
  void Edited(TObject*, TListItem* item, std::string& s) {
    log.push_back("edited " + item->Caption() + " -> " + s);
    switch (mode) {
      case EditMode::Accept:
        break;
      case EditMode::Refuse:
        s = item->Caption();
        break;
      case EditMode::Change:
        s = Trim(s);
        break;
      case EditMode::Raise:
        throw Exception("rename failed");
    }
  }
  void Selected(TObject*, TListItem* item, bool selected) {
    log.push_back((selected ? "select " : "unselect ") + item->Caption());
  }
  bool allow_state = true;
  void Changing(TObject*, TListItem*, TItemChange change, bool& allow) {
    if (change == ctState) allow = allow_state;
  }
  void ColumnClicked(TObject*, TListColumn* column) {
    log.push_back("column " + column->Caption());
  }

  TForm* form = nullptr;
  TListView* lv = nullptr;
};

TEST_F(ListViewTest, CaptionEditIsAcceptedChangedOrRefusedByTheEditedHandler) {
  struct Case {
    EditMode mode;
    const char* typed;
    const char* caption;
  } cases[] = {
      {EditMode::Accept, "Plan B", "Plan B"},
      {EditMode::Refuse, "Plan B", "Plan A"},
      {EditMode::Change, "  Plan C  ", "Plan C"},
      {EditMode::Raise, "Plan D", "Plan A"},
  };
  lv->OnEdited = Bind<&ListViewTest::Edited>(this);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    lv->Items()->Clear();
    TListItem* item = AddItem("Plan A");
    mode = c.mode;
    ASSERT_TRUE(item->EditCaption());
    EXPECT_TRUE(lv->IsEditing());
    if (c.mode == EditMode::Raise)
      EXPECT_THROW(lv->EndEdit(c.typed), Exception);
    else
      lv->EndEdit(c.typed);
    EXPECT_EQ(item->Caption(), c.caption);
    EXPECT_FALSE(lv->IsEditing());
  }
}

TEST_F(ListViewTest, EditingIsRefusedWhenReadOnlyOrByTheEditingHandler) {
  TListItem* item = AddItem("Plan A");
  lv->SetReadOnly(true);
  EXPECT_FALSE(item->EditCaption());
  lv->SetReadOnly(false);
  struct Refuser {
    void Editing(TObject*, TListItem*, bool& allow) { allow = false; }
  } refuser;
  lv->OnEditing = Bind<&Refuser::Editing>(&refuser);
  EXPECT_FALSE(item->EditCaption());
  lv->OnEditing = nullptr;
  // F2 on the selected item starts the edit; a cancelled edit keeps it all.
  lv->SetSelected(item);
  lv->SetFocus();
  SendKey(VK_F2);
  EXPECT_EQ(lv->EditingItem(), item);
  lv->CancelEdit();
  lv->EndEdit("ignored");
  EXPECT_EQ(item->Caption(), "Plan A");
  // While editing, Esc and Enter end the edit instead of reaching the form.
  auto* cancel = Add<TButton>(form, "cancel");
  cancel->SetCancel(true);
  cancel->OnClick = Bind<&UiTest::Clicked>(this);
  lv->SetFocus();
  SendKey(VK_F2);
  SendKey(VK_ESCAPE);
  EXPECT_FALSE(lv->IsEditing());
  EXPECT_TRUE(log.empty());
  SendKey(VK_ESCAPE);
  EXPECT_THAT(log, ElementsAre("click cancel"));
}

TEST_F(ListViewTest, ColumnsFitHeaderAndContentAndItemsCarrySubItems) {
  TListColumn* name = lv->Columns()->Add();
  name->SetCaption("Name");
  name->SetWidth(ColumnHeaderWidth);
  name->SetAlignment(taRightJustify);
  TListColumn* date = lv->Columns()->Add();
  date->SetCaption("Created");
  date->SetWidth(ColumnTextWidth);
  TListColumn* fixed = lv->Columns()->Add();
  fixed->SetWidth(80);

  const TFont& f = *lv->Font();
  EXPECT_EQ(name->Width(), TextWidth(f, "Name") + 14);  // header wider than no content
  AddItem("Quarterly count", {"2026/12/01"});
  AddItem("X", {"2026/12/02", "extra"});
  EXPECT_EQ(name->Width(), TextWidth(f, "Quarterly count") + 14);
  // Text width ignores the header.
  EXPECT_EQ(date->Width(), TextWidth(f, "2026/12/01") + 14);
  EXPECT_EQ(fixed->Width(), 80);
  EXPECT_EQ(name->Alignment(), taRightJustify);

  TListItem* second = lv->Items()->Items(1);
  EXPECT_EQ(second->SubItems()->Count(), 2);
  EXPECT_EQ(second->SubItems()->Get(1), "extra");
  int payload = 7;
  second->SetData(&payload);
  second->SetImageIndex(3);
  EXPECT_EQ(second->Data(), &payload);
  EXPECT_EQ(second->ImageIndex(), 3);
  EXPECT_EQ(second->Index(), 1);
  EXPECT_EQ(lv->FindCaption("X"), second);
  EXPECT_EQ(lv->FindCaption("x"), nullptr);  // captions compare exactly
}

TEST_F(ListViewTest, SelectionEventsFollowSingleAndMultiSelect) {
  TListItem* a = AddItem("A");
  TListItem* b = AddItem("B");
  TListItem* c = AddItem("C");
  lv->OnSelectItem = Bind<&ListViewTest::Selected>(this);

  a->SetSelected(true);
  b->SetSelected(true);  // single select: A goes
  EXPECT_THAT(log, ElementsAre("select A", "unselect A", "select B"));
  EXPECT_EQ(lv->Selected(), b);
  EXPECT_EQ(lv->SelCount(), 1);

  lv->SetMultiSelect(true);
  c->SetSelected(true);
  a->SetSelected(true);
  EXPECT_EQ(lv->SelCount(), 3);
  EXPECT_EQ(lv->NextSelected(a), b);
  lv->SetMultiSelect(false);  // keeps the first
  EXPECT_EQ(lv->SelCount(), 1);
  EXPECT_EQ(lv->Selected(), a);

  // A changing handler can refuse a state change.
  lv->OnChanging = Bind<&ListViewTest::Changing>(this);
  allow_state = false;
  log.clear();
  c->SetSelected(true);
  EXPECT_FALSE(c->Selected());
  EXPECT_TRUE(log.empty());
  allow_state = true;

  // Keys move the selection.
  lv->SetItemIndex(0);
  lv->SetFocus();
  SendKey(VK_DOWN);
  SendKey(VK_DOWN);
  SendKey(VK_DOWN);
  EXPECT_EQ(lv->ItemIndex(), 2);
  SendKey(VK_HOME);
  EXPECT_EQ(lv->ItemIndex(), 0);

  lv->SetMultiSelect(true);
  lv->SelectAll();
  a->SetSelected(false);
  lv->DeleteSelected();
  EXPECT_THAT(Captions(), ElementsAre("A"));
}

TEST_F(ListViewTest, SortedListKeepsCaptionOrderAndSortsOnceAfterAnUpdate) {
  lv->SetSortType(stText);
  int sorts = 0;
  struct Counter {
    int* n;
    void Compare(TObject*, TListItem* x, TListItem* y, int, int& r) {
      ++*n;
      r = CompareText(x->Caption(), y->Caption());
    }
  } counter{&sorts};
  AddItem("delta");
  AddItem("Alpha");
  AddItem("charlie");
  EXPECT_THAT(Captions(), ElementsAre("Alpha", "charlie", "delta"));

  lv->OnCompare = Bind<&Counter::Compare>(&counter);
  lv->Items()->BeginUpdate();
  AddItem("bravo");
  AddItem("echo");
  EXPECT_EQ(sorts, 0);
  lv->Items()->EndUpdate();
  EXPECT_GT(sorts, 0);
  EXPECT_THAT(Captions(), ElementsAre("Alpha", "bravo", "charlie", "delta", "echo"));

  // A renamed item moves to its place.
  lv->OnEdited = Bind<&ListViewTest::Edited>(this);
  ASSERT_TRUE(lv->Items()->Items(0)->EditCaption());
  lv->EndEdit("zulu");
  EXPECT_THAT(Captions(), ElementsAre("bravo", "charlie", "delta", "echo", "zulu"));

  // The view style changes without touching the items.
  lv->SetViewStyle(vsList);
  EXPECT_EQ(lv->ViewStyle(), vsList);
  EXPECT_EQ(lv->Items()->Count(), 5);
}

TEST_F(ListViewTest, ColumnClickOnlyInReportViewWhenEnabled) {
  lv->Columns()->Add()->SetCaption("Name");
  lv->OnColumnClick = Bind<&ListViewTest::ColumnClicked>(this);
  lv->ClickColumn(0);
  lv->ClickColumn(5);  // no such column
  lv->SetColumnClick(false);
  lv->ClickColumn(0);
  lv->SetColumnClick(true);
  lv->SetViewStyle(vsIcon);
  lv->ClickColumn(0);
  EXPECT_THAT(log, ElementsAre("column Name"));
}

TEST_F(ListViewTest, ContextMenuPopsUpAtTheScreenPointAndForgetsAFreedMenu) {
  auto* menu = new TPopupMenu(form);
  menu->SetName("muOperation");
  lv->SetPopupMenu(menu);
  lv->SetBounds(10, 20, 200, 100);
  lv->ContextPopup({5, 6});
  ASSERT_EQ(Headless().Popups().size(), 1u);
  EXPECT_EQ(Headless().Popups()[0].MenuName, "muOperation");
  EXPECT_EQ(Headless().Popups()[0].At, (TPoint{100 + 10 + 5, 50 + 20 + 6}));
  EXPECT_EQ(menu->PopupComponent(), lv);
  menu->Free();
  EXPECT_EQ(lv->PopupMenu(), nullptr);
  lv->ContextPopup({0, 0});
  EXPECT_EQ(Headless().Popups().size(), 1u);
}

TEST_F(ListViewTest, DeletingTheEditedItemEndsTheEdit) {
  TListItem* item = AddItem("A");
  std::vector<std::string> deleted;
  struct Watcher {
    std::vector<std::string>* out;
    void Deleted(TObject*, TListItem* i) { out->push_back(i->Caption()); }
  } watcher{&deleted};
  lv->OnDeletion = Bind<&Watcher::Deleted>(&watcher);
  ASSERT_TRUE(item->EditCaption());
  item->Delete();
  EXPECT_FALSE(lv->IsEditing());
  lv->EndEdit("B");  // nothing left to edit
  EXPECT_THAT(deleted, ElementsAre("A"));
  EXPECT_EQ(lv->Items()->Count(), 0);
}

}  // namespace
}  // namespace vx::testing
