#include <gtest/gtest.h>

#include "platform/rtl/text.h"
#include "platform/ui/buttons.h"
#include "platform/ui/pages.h"
#include "platform/ui/spin.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

class ControlsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    form->SetName("form");
  }
  TForm* form = nullptr;

 public:
  void Changing(TObject*, bool& allow) {
    log.push_back("changing");
    allow = allow_change;
  }
  void Changed(TObject* s) { log.push_back("change " + Named(s)); }
  void Shown(TObject* s) { log.push_back("show " + Named(s)); }
  bool allow_change = true;
};

// ---- page control ---------------------------------------------------------------------------

class PagesTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    pg = Add<TPageControl>(form, "pgOption");
    for (const char* name : {"tsOption1", "tsOption2", "tsPeriodOption"}) {
      auto* ts = new TTabSheet(form);
      ts->SetName(name);
      ts->SetPageControl(pg);
      ts->SetCaption(name);
      ts->OnShow = Bind<&ControlsTest::Shown>(static_cast<ControlsTest*>(this));
      sheets.push_back(ts);
      edits.push_back(Add<TEdit>(ts, (std::string("ed") + name).c_str()));
      Watch(edits.back());
    }
    pg->OnChanging = Bind<&ControlsTest::Changing>(static_cast<ControlsTest*>(this));
    pg->OnChange = Bind<&ControlsTest::Changed>(static_cast<ControlsTest*>(this));
    form->Show();
    edits[0]->SetFocus();
    log.clear();
  }
  TPageControl* pg = nullptr;
  std::vector<TTabSheet*> sheets;
  std::vector<TEdit*> edits;
};

TEST_F(PagesTest, FirstPageIsActiveAndOnlyItIsVisible) {
  EXPECT_EQ(pg->ActivePage(), sheets[0]);
  EXPECT_TRUE(sheets[0]->Visible());
  EXPECT_FALSE(sheets[1]->Visible());
  EXPECT_EQ(pg->PageCount(), 3);
  EXPECT_EQ(sheets[2]->PageIndex(), 2);
  EXPECT_EQ(pg->TabIndex(), 0);
}

TEST_F(PagesTest, ChangingHandlerCanRefuseTheNextPage) {
  allow_change = false;
  pg->SelectNextPage(true);
  EXPECT_EQ(pg->ActivePage(), sheets[0]);
  EXPECT_THAT(log, ElementsAre("changing"));
  log.clear();
  allow_change = true;
  pg->SelectNextPage(true);
  EXPECT_EQ(pg->ActivePage(), sheets[1]);
  // The focus leaves the old page and goes to the first control of the new.
  EXPECT_THAT(log, ElementsAre("changing", "exit edtsOption1", "show tsOption2",
                               "enter edtsOption2", "change pgOption"));
  EXPECT_TRUE(edits[1]->Focused());
  EXPECT_FALSE(sheets[0]->Visible());
}

TEST_F(PagesTest, HiddenTabIsSkippedAndNotCounted) {
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(pg->TabCount(), 2);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(pg->TabPage(1), sheets[2]);
  pg->SelectNextPage(true);
  EXPECT_EQ(pg->ActivePage(), sheets[2]);
  pg->SelectNextPage(true);  // wraps around
  EXPECT_EQ(pg->ActivePage(), sheets[0]);
  pg->SelectNextPage(false);
  EXPECT_EQ(pg->ActivePage(), sheets[2]);
  // Without the check the hidden tab's page is reached too.
  pg->SelectNextPage(false, false);
  EXPECT_EQ(pg->ActivePage(), sheets[1]);
  EXPECT_EQ(pg->TabIndex(), -1);
}

TEST_F(PagesTest, HidingTheActiveTabActivatesTheNextOneWithoutEvents) {
  pg->SetActivePage(sheets[2]);
  EXPECT_TRUE(log.empty() || log.front() != "changing");
  log.clear();
  sheets[2]->SetTabVisible(false);
  EXPECT_EQ(pg->ActivePage(), sheets[1]);
  sheets[0]->SetTabVisible(false);
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(pg->ActivePage(), nullptr);
  EXPECT_EQ(pg->TabIndex(), -1);
  sheets[2]->SetTabVisible(true);
  EXPECT_EQ(pg->ActivePage(), sheets[2]);
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("changing")));
}

TEST_F(PagesTest, ExitHandlerKeepingTheFocusKeepsThePage) {
  struct Keeper {
    TEdit* e;
    void Exit(TObject*) { e->SetFocus(); }
  } keeper{edits[0]};
  edits[0]->OnExit = Bind<&Keeper::Exit>(&keeper);
  pg->SelectNextPage(true);
  EXPECT_EQ(pg->ActivePage(), sheets[0]);
  EXPECT_TRUE(edits[0]->Focused());
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("change pgOption")));
}

TEST_F(PagesTest, CtrlTabUserTabsAndPageOrder) {
  SendKey(VK_TAB, TShiftState{ssCtrl});
  EXPECT_EQ(pg->ActivePage(), sheets[1]);
  SendKey(VK_TAB, TShiftState{ssCtrl, ssShift});
  EXPECT_EQ(pg->ActivePage(), sheets[0]);
  pg->UserSelectTab(2);
  EXPECT_EQ(pg->ActivePage(), sheets[2]);
  sheets[2]->SetPageIndex(0);
  EXPECT_EQ(pg->Pages(0), sheets[2]);
  EXPECT_EQ(pg->TabIndex(), 0);
  sheets[1]->Free();
  EXPECT_EQ(pg->PageCount(), 2);
  EXPECT_THROW(pg->Pages(5), EListError);
}

TEST_F(PagesTest, OwnerDrawnTabsGoThroughTheDrawTabEvent) {
  struct Drawer {
    std::vector<std::string> seen;
    void Draw(TObject*, int index, bool active, const TRect& r) {
      seen.push_back(Format("%d %d %s", index, r.Left, active ? "active" : ""));
    }
  } drawer;
  pg->SetOwnerDraw(true);
  pg->OnDrawTab = Bind<&Drawer::Draw>(&drawer);
  sheets[1]->SetTabVisible(false);
  pg->Repaint();
  ASSERT_EQ(drawer.seen.size(), 2u);
  EXPECT_EQ(drawer.seen[0], "0 2 active");
  EXPECT_EQ(drawer.seen[1], Format("1 %d ", pg->TabRect(1).Left));
  pg->SetOwnerDraw(false);
  pg->Repaint();
  const auto& ops = pg->Canvas()->Log();
  EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [](const TCanvasOp& op) {
    return op.Op == TCanvasOp::coText && op.Text == "tsPeriodOption";
  }));
}

// ---- radio buttons, check boxes, radio groups ----------------------------------------------

TEST_F(ControlsTest, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  auto* panel = Add<TPanel>(form, "pnMonth");
  auto* a = Add<TRadioButton>(panel, "rdomonth_1");
  auto* b = Add<TRadioButton>(panel, "rdomonth_2");
  auto* c = Add<TRadioButton>(panel, "rdomonth_3");
  auto* elsewhere = Add<TRadioButton>(form, "rbCycleRang_1");
  for (auto* r : {a, b, c, elsewhere})
    r->OnClick = Bind<&UiTest::Clicked>(static_cast<UiTest*>(this));
  form->Show();
  elsewhere->SetChecked(true);
  a->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(a->TabStop());
  ClickControl(c);
  EXPECT_FALSE(a->Checked());
  EXPECT_FALSE(b->Checked());
  EXPECT_TRUE(c->Checked());
  EXPECT_FALSE(a->TabStop());
  EXPECT_TRUE(elsewhere->Checked());
  ClickControl(c);  // clicking the checked one again does nothing
  EXPECT_THAT(log, ElementsAre("click rbCycleRang_1", "click rdomonth_1", "click rdomonth_3"));
  SetOrdProp(*b, *GetPropInfo(b, "Checked"), 1);
  EXPECT_FALSE(c->Checked());
}

TEST_F(ControlsTest, CheckBoxCyclesThroughGrayedWhenAllowed) {
  auto* chk = Add<TCheckBox>(form, "chkAll");
  chk->OnClick = Bind<&UiTest::Clicked>(static_cast<UiTest*>(this));
  form->Show();
  ClickControl(chk);
  EXPECT_TRUE(chk->Checked());
  chk->SetAllowGrayed(true);
  SendKeyTo(chk, ' ');
  EXPECT_EQ(chk->State(), cbUnchecked);
  ClickControl(chk);
  EXPECT_EQ(chk->State(), cbGrayed);
  chk->SetChecked(true);  // a change by code clicks too
  chk->SetChecked(true);  // no change, no click
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(ControlsTest, RadioGroupItemIndexFollowsButtonsAndItems) {
  auto* grp = Add<TRadioGroup>(form, "rgKind");
  grp->SetBounds(0, 0, 200, 100);
  grp->OnClick = Bind<&UiTest::Clicked>(static_cast<UiTest*>(this));
  grp->Items()->SetText("A\nB\nC");
  form->Show();
  ASSERT_EQ(grp->ButtonCount(), 3);
  EXPECT_EQ(grp->Buttons(1)->Caption(), "B");
  ClickControl(grp->Buttons(2));
  EXPECT_EQ(grp->ItemIndex(), 2);
  EXPECT_THAT(log, ElementsAre("click rgKind"));
  grp->SetItemIndex(7);
  EXPECT_EQ(grp->ItemIndex(), 2);
  grp->SetItemIndex(0);
  EXPECT_TRUE(grp->Buttons(0)->Checked());
  EXPECT_FALSE(grp->Buttons(2)->Checked());
  grp->Items()->Delete(2);
  grp->Items()->Delete(1);
  EXPECT_EQ(grp->ButtonCount(), 1);
  EXPECT_EQ(grp->ItemIndex(), 0);
  grp->SetColumns(40);
  EXPECT_EQ(grp->Columns(), 16);
  grp->SetItemIndex(-5);
  EXPECT_EQ(grp->ItemIndex(), -1);
  EXPECT_FALSE(grp->Buttons(0)->Checked());
}

// ---- combo and list boxes --------------------------------------------------------------------

TEST_F(ControlsTest, ComboStyleAndItemIndexKeptAcrossItemChanges) {
  auto* cbo = Add<TComboBox>(form, "cbo1Month_M2");
  cbo->Items()->SetText("第 1 个\n第 2 个\n第 3 个\n第 4 个\n最后");
  cbo->SetStyle(csDropDownList);
  cbo->SetItemIndex(2);
  EXPECT_EQ(cbo->Text(), "第 3 个");
  struct Step {
    const char* what;
    std::function<void()> act;
    int index;
    const char* text;
  };
  const Step steps[] = {
      {"insert before", [&] { cbo->Items()->Insert(0, "零"); }, 3, "第 3 个"},
      {"append", [&] { cbo->Items()->Add("x"); }, 3, "第 3 个"},
      {"rename selected", [&] { cbo->Items()->Put(3, "third"); }, 3, "third"},
      {"delete before", [&] { cbo->Items()->Delete(0); }, 2, "third"},
      {"owner-draw style", [&] { cbo->SetStyle(csOwnerDrawFixed); }, 2, "third"},
      {"drop-down style", [&] { cbo->SetStyle(csDropDown); }, 2, "third"},
      {"delete selected", [&] { cbo->Items()->Delete(2); }, -1, "third"},
      {"select by text", [&] { cbo->SetText("最后"); }, 3, "最后"},
      {"list style, bad text",
       [&] {
         cbo->SetStyle(csDropDownList);
         cbo->SetText("none");
       },
       -1, ""},
      {"index past the end", [&] { cbo->SetItemIndex(99); }, 4, "x"},
      {"rewrite all", [&] { cbo->Items()->SetText("a\nb"); }, -1, ""},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(cbo->ItemIndex(), s.index) << s.what;
    EXPECT_EQ(cbo->Text(), s.text) << s.what;
  }
  EXPECT_EQ(GetEnumName(*GetPropInfo(cbo, "Style")->PropType, 4), "csOwnerDrawVariable");
  EXPECT_EQ(GetPropInfo(cbo, "Style")->PropType->Name, "TComboBoxStyle");
}

TEST_F(ControlsTest, ComboUserSelectionRaisesChange) {
  auto* cbo = Add<TComboBox>(form, "cboSetDay_B1");
  cbo->SetStyle(csDropDownList);
  cbo->Items()->SetText("周\n月");
  cbo->OnChange = Bind<&ControlsTest::Changed>(static_cast<ControlsTest*>(this));
  form->Show();
  cbo->SetItemIndex(0);  // by code: no event
  EXPECT_TRUE(log.empty());
  cbo->SetFocus();
  SendKey(VK_DOWN);
  EXPECT_EQ(cbo->ItemIndex(), 1);
  SendKey(VK_DOWN);  // already last
  EXPECT_EQ(log.size(), 1u);
  cbo->UserSelect(0);
  EXPECT_EQ(cbo->Text(), "周");
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(ControlsTest, ListBoxSelectionAndMultiSelect) {
  auto* lb = Add<TListBox>(form, "ListBox");
  lb->Items()->SetText("a\nb\nc\nd");
  lb->SetItemIndex(1);
  EXPECT_TRUE(lb->Selected(1));
  lb->Items()->Insert(0, "z");
  EXPECT_EQ(lb->ItemIndex(), 2);
  EXPECT_TRUE(lb->Selected(2));
  lb->SetMultiSelect(true);
  lb->SetSelected(4, true);
  EXPECT_EQ(lb->SelCount(), 2);
  lb->UserClickItem(0, TShiftState{ssCtrl});
  EXPECT_EQ(lb->SelCount(), 3);
  lb->Items()->Delete(4);
  EXPECT_EQ(lb->SelCount(), 2);
  lb->SetMultiSelect(false);
  EXPECT_EQ(lb->SelCount(), 1);
  EXPECT_EQ(lb->ItemIndex(), 0);
  EXPECT_THROW(lb->Selected(9), EListError);
  lb->SetStyle(lbOwnerDrawFixed);
  EXPECT_EQ(GetOrdProp(*lb, *GetPropInfo(lb, "Style")), 1);
}

// ---- spin edit, memo, edits ----------------------------------------------------------------

TEST_F(ControlsTest, SpinEditKeepsItsValueInRange) {
  auto* se = Add<TSpinEdit>(form, "sePeriodH");
  auto* next = Add<TEdit>(form, "edNext");
  se->SetMinValue(1);
  se->SetMaxValue(99);
  se->SetValue(150);
  EXPECT_EQ(se->Text(), "99");
  se->OnChange = Bind<&ControlsTest::Changed>(static_cast<ControlsTest*>(this));
  form->Show();
  se->SetFocus();
  SendKey(VK_UP);  // at the top already: text unchanged, no event
  EXPECT_EQ(se->Value(), 99);
  SendKey(VK_DOWN);
  EXPECT_EQ(se->Text(), "98");
  se->SetIncrement(10);
  se->DownClick();
  EXPECT_EQ(se->Value(), 88);
  se->SelectAll();
  SendText("a5-");  // letters refused, signs taken
  EXPECT_EQ(se->Text(), "5-");
  EXPECT_EQ(se->Value(), 1);  // no number: the minimum
  next->SetFocus();           // leaving corrects the text
  EXPECT_EQ(se->Text(), "1");
  se->SetMaxLength(2);
  se->SetText("");
  se->SetFocus();
  SendText("123");
  EXPECT_EQ(se->Text(), "12");
  EXPECT_GE(log.size(), 4u);
}

TEST_F(ControlsTest, MemoLinesTextAndCaretLine) {
  auto* memo = Add<TMemo>(form, "me04");
  memo->Lines()->SetText("one\ntwo\nthree");
  EXPECT_EQ(memo->Text(), "one\r\ntwo\r\nthree");
  memo->SetText("a\r\nb");
  EXPECT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(memo->Lines()->Get(1), "b");
  form->Show();
  memo->SetFocus();
  SendKey(VK_END);
  EXPECT_EQ(memo->CaretPos().Y, 1);
  SendKey(VK_RETURN);  // the memo keeps Enter
  SendText("c");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->CaretPos().Y, 2);
  EXPECT_EQ(memo->CaretPos().X, 1);
  SendKey(VK_UP);
  EXPECT_EQ(memo->CaretPos().Y, 1);
  memo->Lines()->Put(0, "first");
  EXPECT_EQ(memo->Text(), "first\r\nb\r\nc");
}

TEST_F(ControlsTest, MaxLengthCountsInterfaceBytes) {
  struct Case {
    int code_page;
    const char* before;
    const char* typed;
    const char* after;
  };
  const Case cases[] = {{936, "中文", "x", "中文"},
                        {936, "中", "xy", "中xy"},
                        {950, "中文", "x", "中文"},
                        {437, "中文", "xy", "中文xy"}};
  int saved = EditCodePage();
  auto* ed = Add<TEdit>(form, "ed01");
  form->Show();
  for (const Case& c : cases) {
    SetEditCodePage(c.code_page);
    ed->SetMaxLength(4);
    ed->SetText(c.before);
    ed->SetFocus();
    ed->SetSelStart(100);
    SendText(c.typed);
    EXPECT_EQ(ed->Text(), c.after) << c.code_page;
  }
  SetEditCodePage(saved);
  EXPECT_EQ(EditTextLength("ab"), 2);
}

TEST_F(ControlsTest, LabelSizesItselfAndFollowsItsFocusControl) {
  auto* lbl = Add<TLabel>(form, "lblToday");
  auto* ed = Add<TEdit>(form, "edDate");
  lbl->SetCaption("Date");
  EXPECT_EQ(lbl->Width(), TextWidth(*lbl->Font(), "Date"));
  lbl->SetFocusControl(ed);
  ed->Free();
  EXPECT_EQ(lbl->FocusControl(), nullptr);
}

// ---- buttons ---------------------------------------------------------------------------------

TEST_F(ControlsTest, SpeedButtonGroupsKeepOneDown) {
  auto* period = Add<TSpeedButton>(form, "btnPeriod");
  auto* other = Add<TSpeedButton>(form, "btnOther");
  auto* plain = Add<TSpeedButton>(form, "btnPlain");
  period->SetGroupIndex(2);
  other->SetGroupIndex(2);
  form->Show();
  struct Step {
    TSpeedButton* click;
    bool period_down, other_down;
  };
  const Step without_all_up[] = {
      {period, true, false}, {period, true, false}, {other, false, true}};
  for (const Step& s : without_all_up) {
    ClickControl(s.click);
    EXPECT_EQ(period->Down(), s.period_down);
    EXPECT_EQ(other->Down(), s.other_down);
  }
  other->SetDown(false);  // the group does not allow all up
  EXPECT_TRUE(other->Down());
  period->SetAllowAllUp(true);
  EXPECT_TRUE(other->AllowAllUp());
  ClickControl(other);
  EXPECT_FALSE(other->Down());
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
  SetOrdProp(*period, *GetPropInfo(period, "Down"), 1);
  EXPECT_TRUE(period->Down());
}

TEST_F(ControlsTest, GlyphImagesAndTheDisabledPicture) {
  auto* btn = Add<TSpeedButton>(form, "F2Button");
  TBitmap strip(32, 16, clFuchsia);
  strip.SetPixel(1, 1, clBlack);  // up image
  strip.SetPixel(17, 1, clGray);  // disabled image
  btn->SetGlyph(&strip);
  EXPECT_EQ(btn->NumGlyphs(), 2);
  btn->SetNumGlyphs(9);
  EXPECT_EQ(btn->NumGlyphs(), 4);
  btn->SetNumGlyphs(2);
  btn->SetEnabled(false);
  btn->Repaint();
  const auto& ops = btn->Canvas()->Log();
  auto draw = std::find_if(ops.begin(), ops.end(),
                           [](const TCanvasOp& op) { return op.Op == TCanvasOp::coDraw; });
  ASSERT_NE(draw, ops.end());
  EXPECT_TRUE(draw->Transparent);
  EXPECT_EQ(draw->TransparentColor, clFuchsia);
  EXPECT_EQ(draw->Rect.Width(), 16);
  // A picture drawn into a bitmap shows which image was chosen.
  TBitmap target(16, 16, clWhite);
  TButtonGlyph g(*btn);
  g.SetGlyph(&strip);
  g.Draw(*target.Canvas(), 0, 0, TButtonGlyph::Disabled);
  EXPECT_EQ(target.Pixel(1, 1), clGray);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
  g.Draw(*target.Canvas(), 0, 0, TButtonGlyph::Down);  // no own image: the first
  EXPECT_EQ(target.Pixel(1, 1), clBlack);

  auto* bb = Add<TBitBtn>(form, "BitBtn1");
  TBitmap one(16, 16);
  bb->SetGlyph(&one);
  EXPECT_EQ(bb->NumGlyphs(), 1);
  EXPECT_EQ(GetObjectProp(*bb, *GetPropInfo(bb, "Glyph")), bb->Glyph());
}

TEST_F(ControlsTest, SplitterResizesTheControlBeforeIt) {
  form->SetBounds(0, 0, 400, 300);
  auto* left = Add<TPanel>(form, "pnlLeft");
  left->SetAlign(alLeft);
  left->SetWidth(100);
  auto* sp = Add<TSplitter>(form, "Splitter1");
  sp->SetLeft(150);
  auto* rest = Add<TPanel>(form, "pnlRest");
  rest->SetAlign(alClient);
  ASSERT_EQ(sp->FindControl(), left);
  EXPECT_TRUE(sp->DragBy(40));
  EXPECT_EQ(left->Width(), 140);
  EXPECT_EQ(sp->Left(), 140);
  sp->DragBy(-500);
  EXPECT_EQ(left->Width(), sp->MinSize());
}

}  // namespace
}  // namespace vx::testing
