#include <gtest/gtest.h>

#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

// A form with two nested containers on the left and one on the right:
//   form
//   +- outer (panel) +- inner (panel) +- e1, e2
//   |                +- e3
//   +- side (panel)  +- e4
//   +- btn
class FocusTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    form->SetName("form");
    outer = Add<TPanel>(form, "outer");
    inner = Add<TPanel>(outer, "inner");
    e1 = Add<TEdit>(inner, "e1");
    e2 = Add<TEdit>(inner, "e2");
    e3 = Add<TEdit>(outer, "e3");
    side = Add<TPanel>(form, "side");
    e4 = Add<TEdit>(side, "e4");
    btn = Add<TButton>(form, "btn");
    for (TWinControl* c : {static_cast<TWinControl*>(outer), static_cast<TWinControl*>(inner),
                           static_cast<TWinControl*>(e1), static_cast<TWinControl*>(e2),
                           static_cast<TWinControl*>(e3), static_cast<TWinControl*>(side),
                           static_cast<TWinControl*>(e4), static_cast<TWinControl*>(btn)})
      Watch(c);
    form->Show();
    log.clear();
  }
  TForm* form = nullptr;
  TPanel *outer = nullptr, *inner = nullptr, *side = nullptr;
  TEdit *e1 = nullptr, *e2 = nullptr, *e3 = nullptr, *e4 = nullptr;
  TButton* btn = nullptr;
};

TEST_F(FocusTest, ShowingFocusesFirstTabStop) {
  EXPECT_EQ(form->ActiveControl(), e1);
  EXPECT_TRUE(e1->Focused());
  EXPECT_EQ(Screen()->ActiveForm(), form);
}

TEST_F(FocusTest, ExitInnermostFirstThenEnterOutermostFirst) {
  e4->SetFocus();
  EXPECT_THAT(log, ElementsAre("exit e1", "exit inner", "exit outer", "enter side", "enter e4"));
  log.clear();
  e3->SetFocus();
  EXPECT_THAT(log, ElementsAre("exit e4", "exit side", "enter outer", "enter e3"));
  log.clear();
  e2->SetFocus();  // only the innermost container is entered
  EXPECT_THAT(log, ElementsAre("exit e3", "enter inner", "enter e2"));
  log.clear();
  e2->SetFocus();  // no change, no events
  EXPECT_TRUE(log.empty());
}

TEST_F(FocusTest, ActiveControlIsTheNewOneDuringExit) {
  // Exit handlers see where the focus is going (the framework's "leaving by
  // pressing Cancel" rule depends on it).
  TWinControl* seen = nullptr;
  struct Spy {
    TForm* form;
    TWinControl** seen;
    void OnExit(TObject*) { *seen = form->ActiveControl(); }
  } spy{form, &seen};
  e1->OnExit = Bind<&Spy::OnExit>(&spy);
  ClickControl(btn);
  EXPECT_EQ(seen, btn);
}

TEST_F(FocusTest, HandlerMovingTheFocusEndsTheSequence) {
  // e4's enter handler sends the focus back to e1: the outer sequence stops
  // and the nested one runs completely, leaving e4 (whose enter ran).
  struct Bouncer {
    TEdit* back;
    void OnEnter(TObject*) { back->SetFocus(); }
  } bouncer{e1};
  e4->OnEnter = Bind<&Bouncer::OnEnter>(&bouncer);
  e4->SetFocus();
  EXPECT_THAT(log, ElementsAre("exit e1", "exit inner", "exit outer", "enter side", "exit e4",
                               "exit side", "enter outer", "enter inner", "enter e1"));
  EXPECT_EQ(form->ActiveControl(), e1);
  EXPECT_TRUE(e1->Focused());
}

TEST_F(FocusTest, CannotFocusDisabledOrInvisible) {
  e2->SetEnabled(false);
  try {
    e2->SetFocus();
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot focus a disabled or invisible window");
  }
  side->Hide();
  EXPECT_FALSE(e4->CanFocus());
  EXPECT_THROW(e4->SetFocus(), EInvalidOperation);
  EXPECT_TRUE(e1->Focused());
  // A hidden form cannot give the focus either.
  auto* hidden = Create<TForm>(nullptr);
  auto* he = Add<TEdit>(hidden, "he");
  EXPECT_THROW(he->SetFocus(), EInvalidOperation);
  hidden->Free();
}

TEST_F(FocusTest, DisablingTheFocusedControlMovesTheFocusToTheForm) {
  e4->SetFocus();
  log.clear();
  side->SetEnabled(false);
  EXPECT_THAT(log, ElementsAre("exit e4", "exit side"));
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_EQ(Screen()->ActiveControl(), form);
}

TEST_F(FocusTest, FreeingTheFocusedControlRunsNoEventsOnIt) {
  e2->SetFocus();
  log.clear();
  inner->Free();
  // The freed controls get no exit; the focus falls back to the form, which
  // leaves the surviving container.
  EXPECT_THAT(log, ElementsAre("exit outer"));
  EXPECT_EQ(form->ActiveControl(), nullptr);
  log.clear();
  e3->SetFocus();
  EXPECT_THAT(log, ElementsAre("enter outer", "enter e3"));
}

TEST_F(FocusTest, TabOrderIsDensePerParent) {
  EXPECT_EQ(outer->TabOrder(), 0);
  EXPECT_EQ(side->TabOrder(), 1);
  EXPECT_EQ(btn->TabOrder(), 2);
  btn->SetTabOrder(0);
  EXPECT_EQ(btn->TabOrder(), 0);
  EXPECT_EQ(outer->TabOrder(), 1);
  EXPECT_EQ(side->TabOrder(), 2);
  side->SetTabOrder(99);  // clamped to the end
  EXPECT_EQ(side->TabOrder(), 2);
  side->SetTabOrder(-5);
  EXPECT_EQ(side->TabOrder(), 0);
  side->SetParent(outer);
  EXPECT_EQ(btn->TabOrder(), 0);
  EXPECT_EQ(outer->TabOrder(), 1);
  EXPECT_EQ(side->TabOrder(), 2);  // last among outer's children
}

TEST_F(FocusTest, TabWalksNestedPanelsSkippingDisabled) {
  e2->SetEnabled(false);
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i) {
    SendKey(VK_TAB);
    order.push_back(Screen()->ActiveControl()->Name());
  }
  EXPECT_THAT(order, ElementsAre("e3", "e4", "btn", "e1", "e3"));
  order.clear();
  for (int i = 0; i < 3; ++i) {
    SendKey(VK_TAB, {ssShift});
    order.push_back(Screen()->ActiveControl()->Name());
  }
  EXPECT_THAT(order, ElementsAre("e1", "btn", "e4"));
  // Without tab stop a control is skipped by Tab but can still be focused.
  e3->SetTabStop(false);
  e1->SetFocus();
  SendKey(VK_TAB);
  EXPECT_EQ(Screen()->ActiveControl(), e4);
}

TEST_F(FocusTest, SelectNextWithoutTabStopsStaysAmongDirectChildren) {
  // SelectNext(.., false) only considers the container's own children.
  TWinControl* next = outer->FindNextControl(inner, true, false, true);
  EXPECT_EQ(next, e3);
  EXPECT_EQ(form->FindNextControl(btn, true, true, false), e1);
  EXPECT_EQ(form->FindNextControl(e1, false, true, false), btn);
}

TEST_F(FocusTest, SecondFormTakesAndReturnsTheFocus) {
  e3->SetFocus();
  auto* other = Create<TForm>(nullptr);
  auto* oe = Add<TEdit>(other, "oe");
  int deactivated = 0;
  struct Counter {
    int* n;
    void Hit(TObject*) { ++*n; }
  } counter{&deactivated};
  form->OnDeactivate = Bind<&Counter::Hit>(&counter);
  other->Show();
  EXPECT_EQ(Screen()->ActiveForm(), other);
  EXPECT_TRUE(oe->Focused());
  EXPECT_EQ(deactivated, 1);
  EXPECT_EQ(form->ActiveControl(), e3);  // kept while inactive, no exit event
  EXPECT_THAT(log, ElementsAre("exit e1", "exit inner", "enter e3"));
  other->Hide();
  EXPECT_EQ(Screen()->ActiveForm(), form);
  EXPECT_TRUE(e3->Focused());
  other->Free();
}

}  // namespace
}  // namespace vx::testing
