#include <gtest/gtest.h>

#include "lib/props.h"
#include "platform/ui/buttons.h"
#include "platform/ui/mask.h"
#include "platform/ui/pages.h"
#include "platform/ui/spin.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

// A small option form as the module's forms are built: a page control with
// two pages of fields, OK and Cancel buttons below.
class OptionForm : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    form->SetName("frmOption");
    form->SetCaption("选项");
    pg = Add<TPageControl>(form, "pgOption");
    pg->SetTabStop(false);
    page1 = new TTabSheet(form);
    page1->SetName("tsOption1");
    page1->SetPageControl(pg);
    page2 = new TTabSheet(form);
    page2->SetName("tsOption2");
    page2->SetPageControl(pg);
    lbl = Add<TLabel>(page1, "lblCode");
    ed01 = Add<TEdit>(page1, "ed01");
    lbl->SetFocusControl(ed01);
    me02 = Add<TMaskEdit>(page1, "me02");
    me02->SetEditMask("9999/99/99;1; ");
    cbo = Add<TComboBox>(page1, "cboKind");
    cbo->SetStyle(csDropDownList);
    cbo->Items()->SetText("甲\n乙");
    chk = Add<TCheckBox>(page1, "chkAll");
    rb1 = Add<TRadioButton>(page1, "rb1");
    rb2 = Add<TRadioButton>(page1, "rb2");
    rb1->SetChecked(true);
    se = Add<TSpinEdit>(page1, "sePeriodH");
    memo = Add<TMemo>(page1, "me04");
    lst = Add<TListBox>(page2, "lstCondition");
    grp = Add<TRadioGroup>(page2, "rgKind");
    grp->Items()->SetText("A\nB");
    gb = Add<TGroupBox>(page2, "gbDynamicFields");
    pnl = Add<TPanel>(form, "pnlButtons");
    spd = Add<TSpeedButton>(pnl, "btnPeriod");
    spl = Add<TSplitter>(form, "Splitter1");
    ok = Add<TBitBtn>(pnl, "btnOk");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel = Add<TBitBtn>(pnl, "btnCancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    ok->OnClick = Bind<&UiTest::Clicked>(static_cast<UiTest*>(this));
    cancel->OnClick = Bind<&UiTest::Clicked>(static_cast<UiTest*>(this));
  }
  // The names of the controls the focus visits from the active one.
  std::vector<std::string> Walk(int steps, TShiftState shift = {}) {
    std::vector<std::string> seen;
    for (int i = 0; i < steps; ++i) {
      SendKey(VK_TAB, shift);
      seen.push_back(form->ActiveControl() ? form->ActiveControl()->Name() : "-");
    }
    return seen;
  }
  TForm* form = nullptr;
  TPageControl* pg = nullptr;
  TTabSheet *page1 = nullptr, *page2 = nullptr;
  TLabel* lbl = nullptr;
  TEdit* ed01 = nullptr;
  TMaskEdit* me02 = nullptr;
  TComboBox* cbo = nullptr;
  TCheckBox* chk = nullptr;
  TRadioButton *rb1 = nullptr, *rb2 = nullptr;
  TSpinEdit* se = nullptr;
  TMemo* memo = nullptr;
  TListBox* lst = nullptr;
  TRadioGroup* grp = nullptr;
  TGroupBox* gb = nullptr;
  TPanel* pnl = nullptr;
  TSpeedButton* spd = nullptr;
  TSplitter* spl = nullptr;
  TBitBtn *ok = nullptr, *cancel = nullptr;
};

TEST_F(OptionForm, TabAndShiftTabVisitTheFieldsInOrder) {
  form->Show();
  EXPECT_EQ(form->ActiveControl(), ed01);
  // The unchecked radio button is no tab stop; the hidden page's fields
  // and the speed button are never visited.
  EXPECT_THAT(Walk(9), ElementsAre("me02", "cboKind", "chkAll", "rb1", "sePeriodH", "me04", "btnOk",
                                   "btnCancel", "ed01"));
  EXPECT_THAT(Walk(3, TShiftState{ssShift}), ElementsAre("btnCancel", "btnOk", "me04"));
  // The memo keeps Tab out of its text and Enter in it.
  SendKey(VK_RETURN);
  EXPECT_EQ(form->ActiveControl(), memo);
  EXPECT_EQ(memo->Text(), "\r\n");
  EXPECT_EQ(memo->CaretPos().Y, 1);
  EXPECT_TRUE(log.empty());
}

TEST_F(OptionForm, EnterClicksTheDefaultAndEscTheCancelButton) {
  Headless().SetModalResponder([](TCustomForm&, const TDialogRecord&) {
    SendText("12");
    SendKey(VK_RETURN);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(ed01->Text(), "12");
  EXPECT_THAT(log, ElementsAre("click btnOk"));
  log.clear();
  Headless().SetModalResponder([](TCustomForm&, const TDialogRecord&) { SendKey(VK_ESCAPE); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_THAT(log, ElementsAre("click btnCancel"));
  EXPECT_TRUE(Headless().Dialogs().back().Answered);
}

TEST_F(OptionForm, FocusedButtonTakesEnterOverTheDefault) {
  form->Show();
  cancel->SetFocus();
  SendKey(VK_RETURN);
  EXPECT_THAT(log, ElementsAre("click btnCancel"));
}

// Every published property of every class is reachable by name and path, as
// language files, the code-page conversion and saved schemes reach them.
TEST_F(OptionForm, PublishedPropertiesReachableByNameAndPath) {
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    SCOPED_TRACE(c->Name());
    std::string cls = c->ClassName();
    EXPECT_NE(FindClassInfo(cls), nullptr);
    if (auto* control = dynamic_cast<TControl*>(c)) {
      SetPropertyByPath(control, "Hint", Variant("提示"));
      EXPECT_EQ(GetStrProperty(control, "Hint"), "提示");
      if (HasProperty(control, "Font")) {
        EXPECT_TRUE(HasPropertyOfType(control, "Font", "TFont"));
        SetPropertyByPath(control, "Font.Name", Variant("Tahoma"));
        SetPropertyByPath(control, "Font.Charset", Variant("GB2312_CHARSET"));
        EXPECT_EQ(control->Font()->Name(), "Tahoma");
        EXPECT_EQ(control->Font()->Charset(), GB2312_CHARSET);
      }
    }
    if (HasProperty(c, "Caption")) {
      SetPropertyByPath(c, "Caption", Variant("标题"));
      EXPECT_EQ(GetStrProperty(c, "Caption"), "标题");
    }
    // Items_1 and Lines_1: line 1 of a string list, the list grown first.
    for (const char* list : {"Items", "Lines"}) {
      if (!HasProperty(c, list)) continue;
      EXPECT_TRUE(HasPropertyOfType(c, list, "TStrings"));
      auto* strings = dynamic_cast<TStrings*>(GetObjectProperty(c, list));
      ASSERT_NE(strings, nullptr);
      while (strings->Count() < 2)
        strings->Add("");
      strings->Put(1, "第二行");
      EXPECT_EQ(dynamic_cast<TStrings*>(GetObjectProperty(c, list))->Get(1), "第二行");
    }
    // Every published property reads without raising.
    for (const TPropInfo* p : GetPropList(*c))
      EXPECT_NO_THROW(GetPropValue(*c, *p)) << p->Name;
  }
  EXPECT_EQ(lbl->Caption(), "标题");
  EXPECT_EQ(grp->Buttons(1)->Caption(), "第二行");
  EXPECT_EQ(memo->Text(), "\r\n第二行");
  // The texts and types the conversion of forms looks for.
  EXPECT_TRUE(HasPropertyOfType(cbo, "Style", "TComboBoxStyle"));
  EXPECT_TRUE(HasPropertyOfType(lst, "Style", "TListBoxStyle"));
  EXPECT_TRUE(HasPropertyOfType(ok, "Glyph", "TBitmap"));
  EXPECT_TRUE(HasProperty(me02, "EditMask"));
  EXPECT_FALSE(HasProperty(ed01, "Caption"));
  for (TObject* o : std::initializer_list<TObject*>{ed01, me02, cbo, memo, se, lst})
    EXPECT_TRUE(HasProperty(o, "ImeName")) << dynamic_cast<TComponent*>(o)->Name();
  SetStrProperty(cbo, "Style", "csOwnerDrawFixed");
  EXPECT_EQ(cbo->Style(), csOwnerDrawFixed);
  EXPECT_EQ(GetObjectProperty(pg, "ActivePage"), page1);
  SetStrProperty(se, "Value", "5");
  EXPECT_EQ(se->Text(), "5");
  SetStrProperty(spd, "GroupIndex", "2");
  SetStrProperty(spd, "AllowAllUp", "True");
  SetStrProperty(spd, "Down", "True");
  EXPECT_TRUE(spd->Down());
  EXPECT_EQ(GetStrProperty(page2, "TabVisible"), "True");
}

}  // namespace
}  // namespace vx::testing
