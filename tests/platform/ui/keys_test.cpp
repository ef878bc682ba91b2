#include <gtest/gtest.h>

#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

// A form that previews keys: F2 is consumed on key-down, "x" is swallowed
// on key-press, Enter in e1 is turned into a move to the next control.
class PreviewForm : public TForm {
 public:
  explicit PreviewForm(TComponent* owner) : TForm(owner) {
    SetKeyPreview(true);
    OnKeyDown = Bind<&PreviewForm::FormKeyDown>(this);
    OnKeyPress = Bind<&PreviewForm::FormKeyPress>(this);
  }
  std::vector<std::string> seen;
  void FormKeyDown(TObject*, Word& key, TShiftState) {
    seen.push_back("form down " + std::to_string(key));
    if (key == VK_F2) key = 0;
  }
  void FormKeyPress(TObject*, TKeyChar& key) {
    seen.push_back("form press " + std::to_string(static_cast<int>(key)));
    if (key == 'x') key = 0;
  }
};

class KeyTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<PreviewForm>(nullptr);
    e1 = Add<TEdit>(form, "e1");
    e2 = Add<TEdit>(form, "e2");
    ok = Add<TButton>(form, "ok");
    cancel = Add<TButton>(form, "cancel");
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->OnClick = Bind<&UiTest::Clicked>(this);
    cancel->OnClick = Bind<&UiTest::Clicked>(this);
    e1->OnKeyDown = Bind<&KeyTest::EditKeyDown>(this);
    e1->OnKeyPress = Bind<&KeyTest::EditKeyPress>(this);
    form->Show();
  }
  void EditKeyDown(TObject*, Word& key, TShiftState) {
    form->seen.push_back("edit down " + std::to_string(key));
  }
  void EditKeyPress(TObject*, TKeyChar& key) {
    form->seen.push_back("edit press " + std::to_string(static_cast<int>(key)));
  }
  PreviewForm* form = nullptr;
  TEdit *e1 = nullptr, *e2 = nullptr;
  TButton *ok = nullptr, *cancel = nullptr;
};

TEST_F(KeyTest, PreviewSeesKeysFirstAndMayConsumeThem) {
  SendKey('A');
  EXPECT_THAT(form->seen,
              ElementsAre("form down 65", "edit down 65", "form press 97", "edit press 97"));
  EXPECT_EQ(e1->Text(), "a");
  form->seen.clear();
  SendKey(VK_F2);
  EXPECT_THAT(form->seen, ElementsAre("form down 113"));
  form->seen.clear();
  SendKey('X');
  EXPECT_THAT(form->seen, ElementsAre("form down 88", "edit down 88", "form press 120"));
  EXPECT_EQ(e1->Text(), "a");
  form->SetKeyPreview(false);
  form->seen.clear();
  SendKey('X');
  EXPECT_THAT(form->seen, ElementsAre("edit down 88", "edit press 120"));
  EXPECT_EQ(e1->Text(), "ax");
}

TEST_F(KeyTest, EnterClicksDefaultEscClicksCancel) {
  SendKey(VK_RETURN);
  EXPECT_THAT(log, ElementsAre("click ok"));
  // Enter produced no character: the dialog key used it.
  EXPECT_THAT(form->seen, ElementsAre("form down 13", "edit down 13"));
  log.clear();
  SendKey(VK_ESCAPE);
  EXPECT_THAT(log, ElementsAre("click cancel"));
  // With Shift the edit keeps both keys: no button is pressed.
  log.clear();
  SendKey(VK_RETURN, TShiftState{ssShift});
  SendKey(VK_ESCAPE, TShiftState{ssShift});
  EXPECT_TRUE(log.empty());
  // A focused button takes Enter itself.
  log.clear();
  cancel->SetFocus();
  SendKey(VK_RETURN);
  EXPECT_THAT(log, ElementsAre("click cancel"));
  // Without default and cancel buttons the keys reach the key-press events.
  ok->SetDefault(false);
  cancel->SetCancel(false);
  e1->SetFocus();
  log.clear();
  form->seen.clear();
  SendKey(VK_RETURN);
  SendKey(VK_ESCAPE);
  EXPECT_TRUE(log.empty());
  EXPECT_THAT(form->seen,
              ElementsAre("form down 13", "edit down 13", "form press 13", "edit press 13",
                          "form down 27", "edit down 27", "form press 27", "edit press 27"));
}

TEST_F(KeyTest, DisabledDefaultButtonIsNotClicked) {
  ok->SetEnabled(false);
  SendKey(VK_RETURN);
  EXPECT_TRUE(log.empty());
}

TEST_F(KeyTest, TypingEditsAtTheCaret) {
  SendText("abc");
  EXPECT_EQ(e1->Text(), "abc");
  SendKey(VK_LEFT);
  SendKey(VK_BACK);
  EXPECT_EQ(e1->Text(), "ac");
  SendText("中文");
  EXPECT_EQ(e1->Text(), "a中文c");
  SendKey(VK_HOME);
  SendKey(VK_DELETE);
  EXPECT_EQ(e1->Text(), "中文c");
  e1->SetMaxLength(3);
  SendText("z");
  EXPECT_EQ(e1->Text(), "中文c");
  e1->SetReadOnly(true);
  SendKey(VK_DELETE);
  EXPECT_EQ(e1->Text(), "中文c");
  EXPECT_TRUE(e1->Modified());
  // Entering an edit selects its text, so typing replaces it.
  e2->SetText("old");
  e2->SetFocus();
  SendText("new");
  EXPECT_EQ(e2->Text(), "new");
}

TEST_F(KeyTest, ClickFocusesFirstAndIsLostWhenFocusIsRefused) {
  ClickControl(ok);
  EXPECT_THAT(log, ElementsAre("click ok"));
  EXPECT_TRUE(ok->Focused());
  // e1 refuses to be left: its exit handler takes the focus back, and the
  // click on the button never happens.
  struct Keeper {
    TEdit* e;
    void OnExit(TObject*) { e->SetFocus(); }
  } keeper{e1};
  e1->SetFocus();
  e1->OnExit = Bind<&Keeper::OnExit>(&keeper);
  log.clear();
  EXPECT_FALSE(ClickControl(cancel));
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(e1->Focused());
  e1->OnExit = nullptr;
  // Invisible or disabled controls cannot be clicked.
  cancel->Hide();
  EXPECT_FALSE(ClickControl(cancel));
}

TEST_F(KeyTest, HandlerExceptionIsShownAsErrorDialog) {
  struct Thrower {
    void OnClick(TObject*) { throw EConvertError("'abc' is not a valid integer value"); }
  } thrower;
  ok->OnClick = Bind<&Thrower::OnClick>(&thrower);
  ClickControl(ok);
  ASSERT_EQ(Headless().Dialogs().size(), 1u);
  const TDialogRecord& r = Headless().Dialogs()[0];
  EXPECT_TRUE(r.MessageDialog);
  EXPECT_EQ(r.DlgType, "mtError");
  EXPECT_EQ(r.Text, "'abc' is not a valid integer value.");
  EXPECT_THAT(r.Buttons, ElementsAre("OK"));
}

}  // namespace
}  // namespace vx::testing
