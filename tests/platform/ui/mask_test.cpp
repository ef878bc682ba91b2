#include <gtest/gtest.h>

#include "platform/rtl/text.h"
#include "platform/ui/mask.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

// The date masks of the five date styles as the framework builds them:
// year field Y, separator S, save-literals and blank " ".
struct DateStyle {
  int style;
  const char* year;  // "9999", "99", "999"
  bool year_first;   // styles 1, 4, 5
};
constexpr DateStyle kStyles[] = {
    {1, "9999", true}, {2, "9999", false}, {3, "9999", false}, {4, "99", true}, {5, "999", true}};

std::string DateMask(const DateStyle& d, const std::string& sep, const char* save) {
  std::string y = d.year;
  std::string body = d.year_first ? y + sep + "99" + sep + "99" : "99" + sep + "99" + sep + y;
  return body + ";" + save + "; ";
}

std::string BlankDate(const DateStyle& d, const std::string& sep) {
  std::string b(std::string(d.year).size(), ' ');
  return d.year_first ? b + sep + "  " + sep + "  " : "  " + sep + "  " + sep + b;
}

class MaskTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    me = Add<TMaskEdit>(form, "me02");
    other = Add<TEdit>(form, "ed01");
    form->Show();
    me->SetFocus();
  }
  TForm* form = nullptr;
  TMaskEdit* me = nullptr;
  TEdit* other = nullptr;
};

TEST_F(MaskTest, UntouchedDateFieldReadsAsBlanksAndSeparators) {
  for (const DateStyle& d : kStyles)
    for (std::string sep : {"/", "-", "."}) {
      SCOPED_TRACE(Format("style %d sep %s", d.style, sep));
      me->SetEditMask(DateMask(d, sep, "1"));
      me->SetText("");
      EXPECT_EQ(me->EditText(), BlankDate(d, sep));
      EXPECT_EQ(me->Text(), BlankDate(d, sep));
      // Through the type information, as generic code reads it.
      EXPECT_EQ(GetStrProp(*me, *GetPropInfo(me, "Text")), BlankDate(d, sep));
      me->SetEditMask(DateMask(d, sep, "0"));
      EXPECT_EQ(me->EditText(), BlankDate(d, sep));
      EXPECT_EQ(me->Text(), "");
    }
}

TEST_F(MaskTest, TypedDatesReadWithAndWithoutLiterals) {
  struct Case {
    int style;
    const char* typed;
    const char* shown;    // EditText, and Text when literals are saved
    const char* without;  // Text when they are not
  };
  const Case cases[] = {
      {1, "20240105", "2024/01/05", "20240105"}, {2, "01052024", "01/05/2024", "01052024"},
      {3, "05012024", "05/01/2024", "05012024"}, {4, "130105", "13/01/05", "130105"},
      {5, "1130105", "113/01/05", "1130105"},    {1, "2024", "2024/  /  ", "2024"},
      {3, "0501", "05/01/    ", "0501"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    const DateStyle& d = kStyles[c.style - 1];
    for (const char* save : {"1", "0"}) {
      me->SetEditMask(DateMask(d, "/", save));
      me->SetText("");
      me->SetSelStart(0);
      SendText(c.typed);
      EXPECT_EQ(me->EditText(), c.shown);
      EXPECT_EQ(me->Text(), *save == '1' ? std::string(c.shown) : std::string(c.without));
    }
  }
}

TEST_F(MaskTest, BlankTextFoundBySwitchingTheSaveFlag) {
  // What generic code does to learn a date field's blank text: switch ";1"
  // to ";0", clear, switch back, read; then the own text is put back.
  std::string mask = "9999/99/99;1; ";
  me->SetEditMask(mask);
  me->SetText("2024/03/04");
  std::string own = me->Text();
  me->SetEditMask("9999/99/99;0; ");
  me->SetText("");
  me->SetEditMask(mask);
  EXPECT_EQ(me->Text(), "    /  /  ");
  me->SetText(own);
  EXPECT_EQ(me->Text(), "2024/03/04");
  // Changing the mask keeps the entered characters.
  me->SetEditMask("99-99-9999;1; ");
  EXPECT_EQ(me->Text(), "20-24-0304");
}

TEST_F(MaskTest, TextSetByCodeFitsBetweenTheLiterals) {
  struct Case {
    const char* mask;
    const char* text;
    const char* edit_text;
    const char* read;
  };
  const Case cases[] = {
      {"9999/99/99;1;_", "2024/1/5", "2024/1_/5_", "2024/1 /5 "},
      {"9999/99/99;1;_", "", "____/__/__", "    /  /  "},
      {"9999/99/99;0;_", "2024015", "2024/01/5_", "2024015"},
      {"!999;0;_", "12", "_12", "12"},
      {">LL<ll;0;_", "abCD", "ABcd", "ABcd"},
      {"(000) 000;1;_", "(12) 3", "(12_) 3__", "(12 ) 3  "},
      {"", "free text", "free text", "free text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    me->SetEditMask("");
    me->SetText("");
    me->SetEditMask(c.mask);
    me->SetText(c.text);
    EXPECT_EQ(me->EditText(), c.edit_text);
    EXPECT_EQ(me->Text(), c.read);
  }
}

TEST_F(MaskTest, TypingFollowsThePositionKinds) {
  me->SetEditMask(">L<l0\\-9;1;_");
  me->SetText("");
  me->SetSelStart(0);
  SendText("1a");  // a digit where a letter is asked for is refused
  EXPECT_EQ(me->EditText(), "A__-_");
  SendText("B7-5x");  // lower case from the second letter; the typed "-" steps over
  EXPECT_EQ(me->EditText(), "Ab7-5");
  EXPECT_EQ(me->Text(), "Ab7-5");
  SendKey(VK_BACK);
  SendKey(VK_BACK);  // over the literal
  EXPECT_EQ(me->EditText(), "Ab_-_");
  EXPECT_THROW(me->ValidateEdit(), EDBEditError);
  EXPECT_EQ(me->SelStart(), 2);
  SendText("3");
  EXPECT_NO_THROW(me->ValidateEdit());
  SendKey(VK_HOME);
  SendKey(VK_DELETE);
  EXPECT_EQ(me->EditText(), "_b3-_");
  me->SetReadOnly(true);
  SendText("Z");
  EXPECT_EQ(me->EditText(), "_b3-_");
}

TEST_F(MaskTest, LeavingWithRequiredPositionsUnfilledIsRefused) {
  auto* cancel = Add<TButton>(form, "btnCancel");
  cancel->SetCancel(true);
  cancel->OnClick = Bind<&UiTest::Clicked>(static_cast<UiTest*>(this));
  me->SetEditMask("000;1;_");
  me->SetText("12");
  other->SetFocus();
  me->SetFocus();  // untouched: leaving is fine
  SendKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), other);
  me->SetFocus();
  SendKey(VK_END);
  SendText("4");  // no position left at the end
  SendKey(VK_LEFT);
  SendText("3");
  EXPECT_EQ(me->EditText(), "123");
  SendKey(VK_HOME);
  SendKey(VK_DELETE);
  EXPECT_EQ(me->EditText(), "_23");
  SendKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), me);
  ASSERT_FALSE(Headless().Dialogs().empty());
  EXPECT_THAT(Headless().Dialogs().back().Text, ::testing::HasSubstr("Invalid input value"));
  EXPECT_EQ(me->SelStart(), 0);
  // Esc takes the changes back and does not reach the cancel button.
  SendKey(VK_ESCAPE);
  EXPECT_EQ(me->EditText(), "12_");
  EXPECT_FALSE(me->Modified());
  EXPECT_TRUE(log.empty());
  SendKey(VK_ESCAPE);  // nothing left to abandon: the cancel button
  EXPECT_THAT(log, ::testing::ElementsAre("click btnCancel"));
  SendKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(MaskTest, TextFromTheBackendIsShownThroughTheMask) {
  me->SetEditMask("9999/99/99;1; ");
  TextEdited(me, "20240105");
  EXPECT_EQ(me->EditText(), "2024/01/05");
  EXPECT_EQ(FormatMaskText("9999/99/99;0; ", "20240105"), "20240105");
  EXPECT_EQ(FormatMaskText("9999/99/99;1; ", "2024/01/05"), "2024/01/05");
}

}  // namespace
}  // namespace vx::testing
