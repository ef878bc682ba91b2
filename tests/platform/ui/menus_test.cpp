#include <gtest/gtest.h>

#include "platform/ui/comctrls.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

class MenuTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    form->SetBounds(200, 100, 400, 300);
    mnList = new TPopupMenu(form);
    mnList->SetName("mnList");
    for (const char* name : {"N7", "N8", "N9", "N10"}) {
      auto* item = new TMenuItem(form);
      item->SetName(name);
      item->SetRadioItem(true);
      item->OnClick = Bind<&UiTest::Clicked>(this);
      mnList->Items()->Add(item);
    }
    N7()->SetCaption("大型图标(&G)");
    N7()->SetChecked(true);
    form->Show();
  }
  TMenuItem* N7() const { return mnList->Items()->Items(0); }
  TMenuItem* Item(int i) const { return mnList->Items()->Items(i); }
  std::vector<bool> Checks() const {
    std::vector<bool> out;
    for (int i = 0; i < mnList->Items()->Count(); ++i)
      out.push_back(Item(i)->Checked());
    return out;
  }

  TForm* form = nullptr;
  TPopupMenu* mnList = nullptr;
};

TEST_F(MenuTest, RadioItemsOfOneGroupCheckOneAtATime) {
  struct Case {
    const char* name;
    int item;
    bool check;
    std::vector<bool> checks;
  } cases[] = {
      {"checking N8 unchecks N7", 1, true, {false, true, false, false}},
      {"checking N10 unchecks N8", 3, true, {false, false, false, true}},
      {"unchecking leaves the others alone", 3, false, {false, false, false, false}},
      {"checking N7 again", 0, true, {true, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Item(c.item)->SetChecked(c.check);
    EXPECT_EQ(Checks(), c.checks);
  }
  // Another group, and a plain item, keep their marks.
  Item(3)->SetGroupIndex(1);
  Item(3)->SetChecked(true);
  auto* plain = new TMenuItem(form);
  plain->SetChecked(true);
  mnList->Items()->Add(plain);
  Item(1)->SetChecked(true);
  EXPECT_EQ(Checks(), (std::vector<bool>{false, true, false, true, true}));
  // A checked item joining the group takes the mark from the others.
  Item(3)->SetGroupIndex(0);
  EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, true, true}));
}

TEST_F(MenuTest, ClicksAutoCheckAndSkipDisabledItems) {
  Item(2)->SetAutoCheck(true);
  Item(2)->Click();
  EXPECT_EQ(Checks(), (std::vector<bool>{false, false, true, false}));
  Item(2)->Click();  // a radio item stays checked
  EXPECT_TRUE(Item(2)->Checked());
  Item(1)->SetEnabled(false);
  Item(1)->Click();
  EXPECT_THAT(log, ElementsAre("click N9", "click N9"));
}

TEST_F(MenuTest, CaptionsWithAccelerators) {
  EXPECT_EQ(GetHotkey("大型图标(&G)"), U'G');
  EXPECT_EQ(GetHotkey("&open"), U'O');
  EXPECT_EQ(GetHotkey("Fish && chips"), 0U);
  EXPECT_EQ(StripHotkey("删除(&D)"), "删除(D)");
  EXPECT_EQ(StripHotkey("Fish && &chips"), "Fish & chips");
  EXPECT_EQ(mnList->Items()->FindByHotkey(U'g'), N7());
  N7()->SetVisible(false);
  EXPECT_EQ(mnList->Items()->FindByHotkey(U'G'), nullptr);
  EXPECT_EQ(mnList->FindItem("n9"), Item(2));
  EXPECT_EQ(Item(2)->GetParentMenu(), mnList);
  auto* separator = new TMenuItem(form);
  separator->SetCaption("-");
  EXPECT_TRUE(separator->IsLine());
  separator->Free();
}

TEST_F(MenuTest, FreeingItemsAndMenusInAnyOrder) {
  auto* sub = new TMenuItem(form);
  sub->SetName("sub");
  Item(1)->Add(sub);
  EXPECT_THROW(sub->Add(Item(1)), EInvalidOperation);  // no cycles
  EXPECT_THROW(Item(0)->Add(sub), EInvalidOperation);  // one parent
  Item(1)->Free();                                     // takes its sub-item along
  EXPECT_EQ(form->FindComponent("sub"), nullptr);
  EXPECT_EQ(mnList->Items()->Count(), 3);
  mnList->Free();  // its items go too
  EXPECT_EQ(form->FindComponent("N7"), nullptr);
}

TEST_F(MenuTest, DropDownToolButtonShowsItsMenuBelowItself) {
  auto* bar = Add<TToolBar>(form, "ToolBar1");
  bar->SetFlat(true);
  bar->SetButtonWidth(25);
  bar->SetButtonHeight(24);
  auto* insert = Add<TToolButton>(bar, "btnInsert");
  auto* view = Add<TToolButton>(bar, "ToolButton1");
  view->SetStyle(tbsDropDown);
  view->SetImageIndex(4);
  view->SetDropdownMenu(mnList);
  struct Cycler {
    TToolButton* b;
    void Click(TObject*) { b->SetTag((b->Tag() + 1) % 4); }
  } cycler{view};
  view->OnClick = Bind<&Cycler::Click>(&cycler);
  int popups = 0;
  struct Counter {
    int* n;
    void Popup(TObject*) { ++*n; }
  } counter{&popups};
  mnList->OnPopup = Bind<&Counter::Popup>(&counter);

  EXPECT_EQ(insert->BoundsRect(), (TRect{0, 0, 25, 24}));
  EXPECT_EQ(view->Left(), 25);
  EXPECT_GT(view->Width(), 25);  // room for the arrow

  // The button part runs the handler; the arrow shows the menu.
  ClickControl(view);
  ClickControl(view);
  EXPECT_EQ(view->Tag(), 2);
  EXPECT_TRUE(Headless().Popups().empty());
  ASSERT_TRUE(view->CheckMenuDropdown());
  ASSERT_EQ(Headless().Popups().size(), 1u);
  TPoint below = ClientToScreen(*view, {0, view->Height()});
  EXPECT_EQ(Headless().Popups()[0].At, below);
  EXPECT_EQ(below, (TPoint{200 + bar->Left() + 25, 100 + bar->Top() + 24}));
  EXPECT_EQ(mnList->PopupPoint(), below);
  EXPECT_EQ(mnList->PopupComponent(), view);
  EXPECT_EQ(popups, 1);

  // A plain button with a menu and no handler shows the menu when clicked.
  insert->SetDropdownMenu(mnList);
  ClickControl(insert);
  EXPECT_EQ(Headless().Popups().size(), 2u);

  mnList->Free();
  EXPECT_EQ(view->DropdownMenu(), nullptr);
  EXPECT_FALSE(view->CheckMenuDropdown());
}

TEST_F(MenuTest, GroupedCheckButtonsKeepOneDown) {
  auto* bar = Add<TToolBar>(form, "bar");
  TToolButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = Add<TToolButton>(bar, ("b" + std::to_string(i)).c_str());
    b[i]->SetStyle(tbsCheck);
    b[i]->SetGrouped(true);
  }
  b[0]->Click();
  b[2]->Click();
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[2]->Down());
  b[2]->Click();  // stays down without AllowAllUp
  EXPECT_TRUE(b[2]->Down());
  b[2]->SetAllowAllUp(true);
  b[2]->Click();
  EXPECT_FALSE(b[2]->Down());
  EXPECT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(b[1]->Index(), 1);
}

TEST_F(MenuTest, ToolButtonTiedToAMenuItemClicksIt) {
  auto* bar = Add<TToolBar>(form, "bar");
  auto* button = Add<TToolButton>(bar, "btn");
  Item(1)->SetCaption("小型图标(&M)");
  Item(1)->SetImageIndex(5);
  button->SetMenuItem(Item(1));
  EXPECT_EQ(button->Caption(), "小型图标(&M)");
  EXPECT_EQ(button->ImageIndex(), 5);
  ClickControl(button);
  EXPECT_THAT(log, ElementsAre("click N8"));
}

}  // namespace
}  // namespace vx::testing
