// Converting a whole form for the interface code page, and the converter's
// message dialog.
#include <gtest/gtest.h>

#include "controls/selectpnl.h"
#include "lang/code_converter.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/grids.h"
#include "platform/ui/menus.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/tabs.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx {
namespace {

TCodePageSettings Pages(const char* sys, const char* ui, std::uint8_t mode) {
  TCodePageSettings s;
  s.SysCodePage = sys;
  s.UICodePage = ui;
  s.UIConvertMode = mode;
  return s;
}

// A form with one of each kind of control ConvertForm knows, authored in
// Simplified characters.
class FormConvert : public testing::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = new TForm(nullptr);
    form->SetCaption("盘点数量");
    form->SetHint("仓库提示");
    label = Add<TLabel>(form, "Label1");
    label->SetCaption("库存");
    label->SetHint("数量");
    edit = Add<TEdit>(form, "Edit1");
    edit->SetText("仓库");
    combo = Add<TComboBox>(form, "Combo1");
    combo->Items()->SetText("仓库\n数量\n单位");
    combo->SetItemIndex(1);
    simple = Add<TComboBox>(form, "Combo2");
    simple->SetStyle(csSimple);
    simple->Items()->SetText("后台\n处理");
    list_box = Add<TListBox>(form, "List1");
    list_box->Items()->SetText("仓库");
    memo = Add<TMemo>(form, "Memo1");
    memo->Lines()->SetText("后台处理\n盘点");
    status = Add<TStatusBar>(form, "Status1");
    status->Panels()->Add()->SetText("盘点");
    list_view = Add<TListView>(form, "LV1");
    list_view->Columns()->Add()->SetCaption("仓库");
    list_view->Columns()->Add()->SetCaption("数量");
    TListItem* item = list_view->Items()->Add();
    item->SetCaption("库存");
    item->SubItems()->Add("单位");
    tabs = Add<TTabSet>(form, "Tabs1");
    tabs->Tabs()->SetText("仓库\n库存\n单位");
    tabs->SetTabIndex(2);
    tree = Add<TTreeView>(form, "Tree1");
    TTreeNode* root = tree->Items()->AddChild(nullptr, "仓库");
    tree->Items()->AddChild(root, "库存");
    navigator = Add<TDBNavigator>(form, "Nav1");
    navigator->Hints()->SetText("第一条\n后台");
    grid = Add<TStringGrid>(form, "Grid1");
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetCells(1, 1, "数量");
    align = Add<TStringAlignGrid>(form, "AGrid1");
    align->SetColCount(2);
    align->SetRowCount(2);
    align->SetCells(0, 1, "仓库");
    align->SetCellHint(1, 1, "单位");
    TFont cell_font;
    align->SetCellFont(1, 0, &cell_font);
    TStringList list;
    list.SetText("库存\n数量");
    align->SetCellList(0, 0, &list);
    align->SetColList(1, &list);
    align->SetRowList(1, &list);
    menu = new TPopupMenu(form);
    panel = Add<TSelectPanel>(form, "Select1");
    TStringList words;
    words.SetText("起始仓库\n起始日期");
    panel->SetBeginWords(&words);
    words.SetText("截止仓库\n截止日期");
    panel->SetFinalWords(&words);
    words.SetText("类型\n开始\n截止");
    panel->SetChildHints(&words);
    panel->SetHintWord("仓库");
    words.SetText("仓库\n数量");
    panel->SetColumnCaptions(&words);
    TListItem* row = panel->Items()->Add();
    row->SetCaption("后台");
    row->SubItems()->Add("单位");
  }

  TForm* form = nullptr;
  TLabel* label = nullptr;
  TEdit* edit = nullptr;
  TComboBox *combo = nullptr, *simple = nullptr;
  TListBox* list_box = nullptr;
  TMemo* memo = nullptr;
  TStatusBar* status = nullptr;
  TListView* list_view = nullptr;
  TTabSet* tabs = nullptr;
  TTreeView* tree = nullptr;
  TDBNavigator* navigator = nullptr;
  TStringGrid* grid = nullptr;
  TStringAlignGrid* align = nullptr;
  TPopupMenu* menu = nullptr;
  TSelectPanel* panel = nullptr;
};

TEST_F(FormConvert, BigFiveInterfaceGetsTraditionalTextsAndFonts) {
  TCodeConverter c(nullptr, Pages("950", "950", 2));
  c.ConvertForm(form);

  EXPECT_EQ(form->Caption(), "盤點數量");
  EXPECT_EQ(form->Hint(), "倉庫提示");
  EXPECT_EQ(label->Caption(), "庫存");
  EXPECT_EQ(label->Hint(), "數量");
  EXPECT_EQ(label->Font()->Name(), "SimSun");
  EXPECT_EQ(label->Font()->Charset(), CHINESEBIG5_CHARSET);
  EXPECT_EQ(Screen()->HintFont()->Charset(), CHINESEBIG5_CHARSET);
  EXPECT_EQ(edit->Text(), "仓库");  // typed texts are the user's

  EXPECT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->Items()->Get(0), "倉庫");
  EXPECT_EQ(combo->Items()->Get(2), "單位");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Style(), csOwnerDrawFixed);
  EXPECT_EQ(simple->Style(), csSimple);
  EXPECT_EQ(simple->ItemIndex(), 0);  // nothing was selected: the first item is
  EXPECT_EQ(simple->Items()->Get(0), "後臺");
  EXPECT_EQ(list_box->Items()->Get(0), "倉庫");
  EXPECT_EQ(list_box->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(memo->Lines()->Get(0), "後臺處理");
  EXPECT_EQ(memo->Lines()->Get(1), "盤點");
  EXPECT_EQ(status->Panels()->Items(0)->Text(), "盤點");

  EXPECT_EQ(list_view->Columns()->Items(0)->Caption(), "倉庫");
  EXPECT_EQ(list_view->Columns()->Items(1)->Caption(), "數量");
  EXPECT_EQ(list_view->Items()->Items(0)->Caption(), "庫存");
  EXPECT_EQ(list_view->Items()->Items(0)->SubItems()->Get(0), "單位");
  EXPECT_EQ(tabs->Tabs()->Get(1), "庫存");
  EXPECT_EQ(tabs->TabIndex(), 2);
  EXPECT_EQ(tree->Items()->Item(0)->Text(), "倉庫");
  EXPECT_EQ(tree->Items()->Item(1)->Text(), "庫存");
  EXPECT_EQ(navigator->Hints()->Get(0), "第一條");
  EXPECT_EQ(navigator->Hints()->Get(1), "後臺");
  EXPECT_EQ(grid->Cells(1, 1), "數量");
  EXPECT_EQ(align->Cells(0, 1), "倉庫");
  EXPECT_EQ(align->CellHint(1, 1), "單位");
  EXPECT_EQ(align->CellFont(1, 0)->Charset(), CHINESEBIG5_CHARSET);
  for (TStrings* attached : {align->CellList(0, 0), align->ColList(1), align->RowList(1)}) {
    ASSERT_NE(attached, nullptr);
    EXPECT_EQ(attached->Get(0), "庫存");
    EXPECT_EQ(attached->Get(1), "數量");
  }
  EXPECT_TRUE(menu->OwnerDraw());

  EXPECT_EQ(panel->BeginWords()->Get(0), "起始倉庫");
  EXPECT_EQ(panel->BeginWords()->Get(1), "起始日期");
  EXPECT_EQ(panel->FinalWords()->Get(0), "截止倉庫");
  EXPECT_EQ(panel->BeginLabel()->Caption(), "起始倉庫");  // the panel shows the new words
  EXPECT_EQ(panel->ChildHints()->Get(0), "類型");
  EXPECT_EQ(panel->ChildHints()->Get(1), "開始");
  EXPECT_EQ(panel->HintWord(), "倉庫");
  EXPECT_EQ(panel->TypeCheckBox()->Caption(), "倉庫");
  EXPECT_EQ(panel->Columns()->Items(0)->Caption(), "倉庫");
  EXPECT_EQ(panel->Columns()->Items(1)->Caption(), "數量");
  EXPECT_EQ(panel->Items()->Items(0)->Caption(), "後臺");
  EXPECT_EQ(panel->Items()->Items(0)->SubItems()->Get(0), "單位");
}

TEST_F(FormConvert, BigFiveInterfaceOnGbkSystemLeavesTheFormCaption) {
  TCodeConverter c(nullptr, Pages("936", "950", 2));
  c.ConvertForm(form);
  EXPECT_EQ(form->Caption(), "盘点数量");
  EXPECT_EQ(label->Caption(), "庫存");
}

// A GBK interface on a Big5 system: only the caption is converted, fonts go
// to GB2312 and lists become owner-drawn.
TEST_F(FormConvert, GbkInterfaceOnBigFiveSystem) {
  TCodeConverter c(nullptr, Pages("950", "936", 4));
  c.ConvertForm(form);
  EXPECT_EQ(form->Caption(), "盤點數量");
  EXPECT_EQ(form->Hint(), "仓库提示");
  EXPECT_EQ(label->Caption(), "库存");
  EXPECT_EQ(label->Font()->Charset(), GB2312_CHARSET);
  EXPECT_EQ(combo->Style(), csOwnerDrawVariable);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Items()->Get(0), "仓库");
  EXPECT_EQ(list_box->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(list_view->Columns()->Items(0)->Caption(), "仓库");
  EXPECT_EQ(grid->Cells(1, 1), "数量");
  EXPECT_TRUE(menu->OwnerDraw());
}

// Mode 1 (never configured, kept for Big5-authored forms) runs the same steps
// from Big5 to GBK.
TEST_F(FormConvert, ModeOneConvertsBackToSimplified) {
  label->SetCaption("盤點");
  list_view->Items()->Items(0)->SubItems()->Put(0, "單位");
  align->SetCellHint(1, 1, "倉庫");
  TCodeConverter c(nullptr, Pages("936", "936", 1));
  c.ConvertForm(form);
  EXPECT_EQ(label->Caption(), "盘点");
  EXPECT_EQ(label->Font()->Charset(), GB2312_CHARSET);
  EXPECT_EQ(list_view->Items()->Items(0)->SubItems()->Get(0), "单位");
  EXPECT_EQ(align->CellHint(1, 1), "仓库");
  EXPECT_EQ(combo->Style(), csOwnerDrawFixed);
}

TEST_F(FormConvert, WithoutTranslatorNothingChanges) {
  TCodeConverter c(nullptr, Pages("950", "950", 0));
  c.ConvertForm(form);
  EXPECT_EQ(form->Caption(), "盘点数量");
  EXPECT_EQ(label->Font()->Name(), TFont().Name());
  EXPECT_EQ(combo->Style(), csDropDown);
  EXPECT_FALSE(menu->OwnerDraw());
}

TEST(CodeConverterFont, RuleByMode) {
  struct Case {
    int mode;
    const char* name;
    TFontCharset charset;
  };
  const TFont untouched;
  for (const Case& k : {Case{0, "SimSun", GB2312_CHARSET}, Case{1, "SimSun", GB2312_CHARSET},
                        Case{4, "SimSun", GB2312_CHARSET}, Case{2, "SimSun", CHINESEBIG5_CHARSET},
                        Case{3, "SimSun", CHINESEBIG5_CHARSET},
                        Case{5, untouched.Name().c_str(), untouched.Charset()}}) {
    TFont font;
    TCodeConverter::AdjustFont(k.mode, &font);
    EXPECT_EQ(font.Name(), k.name) << k.mode;
    EXPECT_EQ(font.Charset(), k.charset) << k.mode;
  }
  TCodeConverter::AdjustFont(2, nullptr);
}

class MessageDialog : public testing::UiTest {};

TEST_F(MessageDialog, PaddingCaptionFontAndOwnerState) {
  struct Case {
    const char* sys;
    const char* ui;
    std::uint8_t mode;
    const char* shown;
    TFontCharset charset;
  };
  for (const Case& k : {Case{"936", "936", 0, "盘点完成      ", GB2312_CHARSET},
                        Case{"936", "950", 2, "盘点完成      ", CHINESEBIG5_CHARSET},
                        Case{"950", "950", 2, "盘点完成", CHINESEBIG5_CHARSET},
                        Case{"437", "437", 0, "盘点完成", GB2312_CHARSET}}) {
    Headless().Reset();
    auto* owner = new TForm(nullptr);
    owner->SetCaption("盘点模块");
    owner->SetWindowState(wsMinimized);
    auto* c = new TCodeConverter(owner, Pages(k.sys, k.ui, k.mode));
    TFontCharset seen = 0;
    TWindowState owner_state = wsMinimized;
    Headless().SetModalResponder([&](TCustomForm& dialog, const TDialogRecord&) {
      seen = dialog.Font()->Charset();
      owner_state = owner->WindowState();
      dialog.SetModalResult(mrYes);
    });
    EXPECT_EQ(c->ShowMessageDialog("盘点完成", mtConfirmation, {mbYes, mbNo}), mrYes);
    ASSERT_EQ(Headless().Dialogs().size(), 1u) << k.sys;
    EXPECT_EQ(Headless().Dialogs()[0].Text, k.shown) << k.sys << k.ui;
    EXPECT_EQ(Headless().Dialogs()[0].Caption, "盘点模块");
    EXPECT_EQ(seen, k.charset) << k.sys << k.ui;
    EXPECT_EQ(owner_state, wsNormal);
    owner->Free();
  }
}

TEST_F(MessageDialog, EmptyTextShowsNothing) {
  TCodeConverter c(nullptr, Pages("936", "936", 0));
  EXPECT_EQ(c.ShowMessageDialog("", mtError, {mbOK}), 0);
  EXPECT_TRUE(Headless().Dialogs().empty());
  // Without an owner form the dialog keeps its own caption.
  EXPECT_EQ(c.ShowMessageDialog("x", mtError, {mbOK}), mrOk);
  EXPECT_EQ(Headless().Dialogs().size(), 1u);
}

}  // namespace
}  // namespace vx
