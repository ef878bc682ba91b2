#include <gtest/gtest.h>

#include "controls/btchkbox.h"
#include "controls/dblabel.h"
#include "controls/register.h"
#include "controls/vrxedit.h"
#include "controls/vxradiogroup.h"
#include "controls/vxspin.h"
#include "lib/edition.h"
#include "platform/rtl/text.h"
#include "tests/controls/controls_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string At(const TControl& c) {
  return Format("%d,%d %dx%d", c.Left(), c.Top(), c.Width(), c.Height());
}

// ---- labelled edits ---------------------------------------------------------------------------

class VxEditTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = NewForm();
    panel = Add<TPanel>(form, "panel");
    panel->SetBounds(0, 0, 400, 300);
  }
  ScopedGlyphLibrary library{"FewPictures.dll"};
  F2RecordingForm* form = nullptr;
  TPanel* panel = nullptr;
};

// The label "名称" is 22 x 13; the edit stands at 100, 40, 120 x 21.
TEST_F(VxEditTest, LabelStandsWhereLabelPositionSays) {
  struct Case {
    TLabelPosition position;
    int spacing;
    const char* label_at;
  };
  const Case cases[] = {
      {lpLeft, 4, "74,44 22x13"},   {lpAbove, 4, "100,23 22x13"}, {lpBelow, 4, "100,65 22x13"},
      {lpRight, 4, "224,44 22x13"}, {lpRight, 0, "220,44 22x13"}, {lpRight, -3, "220,44 22x13"},
  };
  auto* ed = Add<TVxEdit>(panel, "ed");
  ed->SetBounds(100, 40, 120, 21);
  ed->SetCaption("名称");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label_at);
    ed->SetLabelPosition(c.position);
    ed->SetLabelSpacing(c.spacing);  // a negative spacing is ignored
    EXPECT_EQ(At(*ed->EditLabel()), c.label_at);
  }
}

TEST_F(VxEditTest, LabelFollowsTheEdit) {
  auto* ed = Add<TVxEdit>(panel, "ed");
  TBoundLabel* label = ed->EditLabel();
  EXPECT_EQ(label->Name(), "EditLabel");
  EXPECT_EQ(label->Owner(), ed);
  EXPECT_EQ(label->FocusControl(), ed);
  EXPECT_EQ(label->Parent(), panel);
  ed->SetBounds(100, 40, 120, 21);
  ed->SetCaption("名称");
  EXPECT_EQ(At(*label), "74,44 22x13");
  ed->SetCaption("仓库名称");  // wider: moves left
  EXPECT_EQ(At(*label), "52,44 44x13");
  ed->SetLeft(200);
  EXPECT_EQ(label->Left(), 152);
  ed->SetEnabled(false);
  EXPECT_FALSE(label->Enabled());
  ed->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  ed->SetParent(form);
  EXPECT_EQ(label->Parent(), form);
  // The edit's own text is not the label's.
  ed->SetText("abc");
  EXPECT_EQ(ed->Caption(), "仓库名称");
  EXPECT_EQ(label->Caption(), "仓库名称");
}

TEST_F(VxEditTest, PublishedPropertiesOfTheLabelledEdits) {
  auto* ed = Add<TVxEdit>(panel, "ed");
  auto* db = Add<TVxDBEdit>(panel, "db");
  auto* btn = Add<TVxBtnDBEdit>(panel, "btn");
  for (TObject* o :
       {static_cast<TObject*>(ed), static_cast<TObject*>(db), static_cast<TObject*>(btn)}) {
    SCOPED_TRACE(o->ClassName());
    EXPECT_EQ(VarToStr(GetPropValue(*o, *GetPropInfo(o, "LabelPosition"))), "lpLeft");
    EXPECT_EQ(VarToStr(GetPropValue(*o, *GetPropInfo(o, "LabelSpacing"))), "4");
    SetPropValue(*o, *GetPropInfo(o, "Caption"), "数量");
    EXPECT_EQ(VarToStr(GetPropValue(*o, *GetPropInfo(o, "Caption"))), "数量");
    ASSERT_NE(GetPropInfo(o, "EditLabel"), nullptr);
    ASSERT_NE(GetPropInfo(o, "Text"), nullptr);
  }
  // The data field is stored and published; there is no data layer to
  // read it yet.
  SetPropValue(*db, *GetPropInfo(db, "DataField"), "QTY");
  EXPECT_EQ(db->DataField(), "QTY");
  EXPECT_EQ(GetPropInfo(ed, "DataField"), nullptr);
  const std::pair<const char*, const char*> props[] = {
      {"ButtonSpacing", "2"}, {"GlyphIndex", "8"}, {"ButtonHint", ""}};
  for (const auto& [name, value] : props)
    EXPECT_EQ(VarToStr(GetPropValue(*btn, *GetPropInfo(btn, name))), value) << name;
  ASSERT_NE(GetPropInfo(btn, "OnDialog"), nullptr);
}

TEST_F(VxEditTest, ButtonEditCarriesASquareQueryButton) {
  auto* ed = Add<TVxBtnDBEdit>(panel, "ed");
  ed->SetBounds(100, 40, 120, 21);
  TGSpeedButton* b = ed->Button();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Name(), "F2Button");
  EXPECT_EQ(b->Owner(), ed);
  EXPECT_TRUE(b->Flat());
  EXPECT_EQ(b->GlyphIndex(), 8);
  EXPECT_EQ(b->Parent(), panel);
  EXPECT_EQ(At(*b), "222,40 21x21");
  ed->SetButtonSpacing(5);
  EXPECT_EQ(b->Left(), 225);
  ed->SetHeight(25);
  EXPECT_EQ(At(*b), "225,40 25x25");
  ed->SetButtonHint("盘点底稿编号查询");
  EXPECT_EQ(b->Hint(), "盘点底稿编号查询");
  ed->SetGlyphIndex(2);
  EXPECT_EQ(b->NumGlyphs(), 2);
  ed->SetEnabled(false);
  EXPECT_FALSE(b->Enabled());
  ed->SetVisible(false);
  EXPECT_FALSE(b->Visible());
}

TEST_F(VxEditTest, ButtonRunsOnDialogOrTheF2RequestOfTheEdit) {
  auto* ed = Add<TVxBtnDBEdit>(panel, "ed");
  auto* other = Add<TEdit>(panel, "other");
  form->Show();
  other->SetFocus();
  ASSERT_TRUE(ClickControl(ed->Button()));
  EXPECT_EQ(form->ActiveControl(), ed);
  ASSERT_EQ(form->requests.size(), 1u);
  EXPECT_EQ(form->requests[0], (std::pair<WPARAM, TControl*>{0, ed}));

  ed->OnDialog = Bind<&UiTest::Clicked>(this);
  other->SetFocus();
  ASSERT_TRUE(ClickControl(ed->Button()));
  EXPECT_THAT(log, ElementsAre("click ed"));  // the edit is the sender
  EXPECT_EQ(form->requests.size(), 1u);
  EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(VxEditTest, TheEarlierEditionHasNoLabelledEdits) {
  struct Case {
    const char* class_name;
    TComponent* (*make)(TComponent*);
  };
  const Case cases[] = {
      {"TVxEdit", [](TComponent* o) -> TComponent* { return Create<TVxEdit>(o); }},
      {"TVxDBEdit", [](TComponent* o) -> TComponent* { return Create<TVxDBEdit>(o); }},
      {"TVxBtnDBEdit", [](TComponent* o) -> TComponent* { return Create<TVxBtnDBEdit>(o); }},
  };
  int components = form->ComponentCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.class_name);
    {
      ScopedEdition earlier(TModuleEdition::Earlier);
      try {
        c.make(form);
        ADD_FAILURE() << "created";
      } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), std::string("Class ") + c.class_name + " not found");
      }
      // By name, as a form is read.
      RegisterFrameworkControls();
      const TClassInfo* cls = FindClassInfo(c.class_name);
      ASSERT_NE(cls, nullptr);
      EXPECT_THROW(cls->Construct(form), EClassNotFound);
      EXPECT_EQ(form->ComponentCount(), components);  // nothing left behind
      // The other framework controls exist in both editions.
      Create<TF2Button>(form)->Free();
      Create<TDBLabel>(form)->Free();
    }
    TComponent* made = c.make(form);
    EXPECT_EQ(made->ClassName(), c.class_name);
    made->Free();
  }
}

// ---- TDBLabel ---------------------------------------------------------------------------------

class DBLabelTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = NewForm();
    ed = Add<TEdit>(form, "ed");
    lbl = Add<TDBLabel>(form, "lbl");
  }
  F2RecordingForm* form = nullptr;
  TEdit* ed = nullptr;
  TDBLabel* lbl = nullptr;
};

TEST_F(DBLabelTest, Defaults) {
  EXPECT_EQ(lbl->Caption(), "挂靠标签");
  const std::pair<const char*, const char*> props[] = {
      {"AutoAlign", "True"}, {"AutoCaption", "True"}, {"Gap", "4"}, {"Pos", "psLeft"}};
  for (const auto& [name, value] : props)
    EXPECT_EQ(VarToStr(GetPropValue(*lbl, *GetPropInfo(lbl, name))), value) << name;
  EXPECT_EQ(GetObjectProp(*lbl, *GetPropInfo(lbl, "FocusControl")), nullptr);
}

// The label "制表日期" is 44 x 13.
TEST_F(DBLabelTest, PlacesItselfBesideItsControl) {
  struct Case {
    TLabelPos pos;
    int gap;
    TRect control;
    const char* label_at;
  };
  const Case cases[] = {
      {psLeft, 4, {60, 40, 160, 53}, "12,40 44x13"},    // equally high: the control's top
      {psLeft, 4, {60, 40, 160, 61}, "12,44 44x13"},    // centred: 40 + 10 - 6
      {psRight, 4, {60, 40, 160, 61}, "164,44 44x13"},  //
      {psTop, 4, {60, 40, 160, 61}, "60,23 44x13"},     //
      {psBottom, 2, {60, 40, 160, 61}, "60,63 44x13"},  //
      {psLeft, 4, {20, 40, 120, 53}, "0,40 44x13"},     // a negative left becomes 0
      {psTop, 4, {20, 5, 120, 26}, "20,0 44x13"},       // a negative top becomes 0
  };
  lbl->SetCaption("制表日期");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label_at);
    lbl->SetFocusControl(nullptr);
    ed->SetBounds(c.control.Left, c.control.Top, c.control.Width(), c.control.Height());
    lbl->SetGap(c.gap);
    lbl->SetPos(c.pos);
    lbl->SetFocusControl(ed);
    EXPECT_EQ(At(*lbl), c.label_at);
  }
  // Without AutoAlign the label stays put; at run time it does not follow
  // its control's moves.
  lbl->SetAutoAlign(false);
  lbl->SetPos(psRight);
  EXPECT_EQ(At(*lbl), "20,0 44x13");
  lbl->SetAutoAlign(true);
  EXPECT_EQ(At(*lbl), "124,9 44x13");
  ed->SetLeft(200);
  EXPECT_EQ(lbl->Left(), 124);
}

TEST_F(DBLabelTest, ASecondLabelForTheSameControlIsRefused) {
  auto* other = Add<TDBLabel>(form, "other");
  other->SetBounds(300, 200, 10, 10);
  lbl->SetFocusControl(ed);
  other->SetFocusControl(ed);
  EXPECT_EQ(other->FocusControl(), nullptr);
  EXPECT_EQ(other->Left(), 300);
  EXPECT_THAT(ShownDialogs(), ElementsAre("mtError: 不能同时有两个 DBLabel 指到同一个 Control."));
  lbl->SetFocusControl(ed);  // its own control again: no dialog
  EXPECT_EQ(ShownDialogs().size(), 1u);
  // Only the labels the label's parent owns count: a label on a panel (owned
  // by the form) and one without a parent may serve the same control.
  auto* panel = Add<TPanel>(form, "panel");
  auto* on_panel = Add<TDBLabel>(panel, "onPanel");
  on_panel->SetFocusControl(ed);
  EXPECT_EQ(on_panel->FocusControl(), ed);
  auto* loose = new TDBLabel(form);
  loose->SetFocusControl(ed);
  EXPECT_EQ(loose->FocusControl(), ed);
  EXPECT_EQ(ShownDialogs().size(), 1u);
  ed->Free();
  EXPECT_EQ(lbl->FocusControl(), nullptr);
  EXPECT_EQ(on_panel->FocusControl(), nullptr);
}

// ---- TVxSpinEdit ------------------------------------------------------------------------------

TEST_F(ControlsTest, SpinEditDropsStraySignsAndBlankChanges) {
  struct Case {
    const char* typed;
    const char* text;
    int changes;
  };
  const Case cases[] = {
      {"12-", "12", 1}, {"12+", "12", 1}, {"1-2", "1", 1}, {"-12", "-12", 1},
      {"", "", 0},      {"  ", "  ", 0},  {"+", "+", 1},   {"3-中", "3", 1},
  };
  auto* se = Add<TVxSpinEdit>(NewForm(), "se");
  int changes = 0;
  struct Counter {
    int* n;
    void Changed(TObject*) { ++*n; }
  } counter{&changes};
  se->OnChange = Bind<&Counter::Changed>(&counter);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    se->SetText("5");
    changes = 0;
    TextEdited(se, c.typed);
    EXPECT_EQ(se->Text(), c.text);
    EXPECT_EQ(changes, c.changes);
  }
}

// ---- TVxRadioButton and TVxRadioGroup ---------------------------------------------------------

TEST_F(ControlsTest, CheckingARadioButtonUnchecksItsSiblings) {
  auto* f = NewForm();
  auto* panel = Add<TPanel>(f, "panel");
  std::vector<TVxRadioButton*> rb;
  for (const char* name : {"rdoRealTime", "rdoQueue", "rdoExceptTime"}) {
    rb.push_back(Add<TVxRadioButton>(panel, name));
    rb.back()->OnClick = Bind<&UiTest::Clicked>(this);
  }
  auto* elsewhere = Add<TVxRadioButton>(f, "elsewhere");
  elsewhere->SetChecked(true);
  EXPECT_EQ(At(*rb[0]), "0,0 113x17");
  EXPECT_EQ(rb[0]->Alignment(), taRightJustify);
  log.clear();
  rb[1]->SetChecked(true);
  f->Show();
  ASSERT_TRUE(ClickControl(rb[2]));
  ClickControl(rb[2]);  // already checked: no second click event
  EXPECT_THAT(log, ElementsAre("click rdoQueue", "click rdoExceptTime"));
  EXPECT_FALSE(rb[0]->Checked());
  EXPECT_FALSE(rb[1]->Checked());
  EXPECT_TRUE(rb[2]->Checked());
  EXPECT_FALSE(rb[1]->TabStop());
  EXPECT_TRUE(rb[2]->TabStop());
  EXPECT_TRUE(elsewhere->Checked());  // another parent
  // The accelerator focuses the button.
  rb[0]->SetCaption("实时(&R)");
  EXPECT_EQ(rb[0]->Perform(CM_DIALOGCHAR, 'r'), 1);
  EXPECT_TRUE(rb[0]->Focused());
  EXPECT_FALSE(rb[0]->Checked());
}

TEST_F(ControlsTest, RadioButtonPaintsItsCaptionAfterAnIndentByFontSize) {
  const std::pair<int, int> indents[] = {{8, 17},  {9, 19},  {15, 19}, {16, 20}, {17, 20}, {18, 21},
                                         {23, 21}, {24, 23}, {30, 25}, {36, 27}, {42, 29}, {44, 31},
                                         {60, 31}, {61, 39}, {80, 39}, {81, 44}};
  for (const auto& [size, indent] : indents)
    EXPECT_EQ(TVxRadioButton::CaptionIndent(size), indent) << size;

  auto* rb = Add<TVxRadioButton>(NewForm(), "rb");
  rb->SetCaption("放入工作队列");
  rb->SetColor(clYellow);
  rb->Font()->SetColor(clNavy);
  rb->Font()->SetSize(9);
  rb->SetHeight(20);
  rb->Repaint();
  const auto& ops = rb->Canvas()->Log();
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].Op, TCanvasOp::coFillRect);
  EXPECT_EQ(ops[0].Rect, (TRect{19, 0, 113, 20}));
  EXPECT_EQ(ops[0].Color, clYellow);
  EXPECT_EQ(ops[1].Op, TCanvasOp::coText);
  EXPECT_EQ(ops[1].Text, "放入工作队列");
  EXPECT_EQ(ops[1].Color, clNavy);
  // 9 pt: 12-pixel characters, text 14 high, centred in 20.
  EXPECT_EQ(ops[1].Rect, (TRect{19, 3, 19 + 72, 17}));
}

TEST_F(ControlsTest, RadioGroupArrangesItsItemButtons) {
  auto* f = NewForm();
  auto* g = Add<TVxRadioGroup>(f, "grp");
  g->SetBounds(10, 10, 185, 105);
  g->OnClick = Bind<&UiTest::Clicked>(this);
  g->Items()->SetText("日\n周\n月\n时\n年");
  g->SetColumns(2);
  ASSERT_EQ(g->ButtonCount(), 5);
  // Rows ceil(5 / 2) = 3; width (185 - 10) / 2 = 87; H = 105 - 13 - 5 = 87;
  // height 29; first top 0 + 13 + 1.
  std::vector<std::string> at;
  for (int i = 0; i < g->ButtonCount(); ++i)
    at.push_back(At(*g->Buttons(i)));
  EXPECT_THAT(at,
              ElementsAre("8,14 87x29", "8,43 87x29", "8,72 87x29", "95,14 87x29", "95,43 87x29"));
  EXPECT_EQ(g->Buttons(0)->ClassName(), "TVxGroupButton");
  g->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(At(*g->Buttons(0)), "90,14 87x29");
  EXPECT_EQ(At(*g->Buttons(3)), "3,14 87x29");

  f->Show();
  ASSERT_TRUE(ClickControl(g->Buttons(3)));
  EXPECT_EQ(g->ItemIndex(), 3);
  EXPECT_THAT(log, ElementsAre("click grp"));
  g->SetItemIndex(10);
  EXPECT_EQ(g->ItemIndex(), 4);
  EXPECT_TRUE(g->Buttons(4)->Checked());
  EXPECT_FALSE(g->Buttons(3)->Checked());
  g->SetItemIndex(-7);
  EXPECT_EQ(g->ItemIndex(), -1);
  g->SetColumns(0);
  EXPECT_EQ(g->Columns(), 1);
  g->SetColumns(17);
  EXPECT_EQ(g->Columns(), 16);
  EXPECT_EQ(VarToStr(GetPropValue(*g, *GetPropInfo(g, "ItemIndex"))), "-1");

  // Keys on an item reach the group's key events.
  std::vector<TKeyChar> keys;
  struct KeyLog {
    std::vector<TKeyChar>* keys;
    void Press(TObject*, TKeyChar& k) { keys->push_back(k); }
  } key_log{&keys};
  g->OnKeyPress = Bind<&KeyLog::Press>(&key_log);
  g->Buttons(1)->SetFocus();
  SendKey('A');
  EXPECT_THAT(keys, ElementsAre(U'a'));
}

}  // namespace
}  // namespace vx::testing

namespace vx::testing {
namespace {

// A data-aware edit bound through a data source to a data set that knows
// its fields' display labels.
class StubDataSet : public TComponent, public IFieldDisplayLabels {
  VX_CLASS(StubDataSet, TComponent)
  explicit StubDataSet(TComponent* owner) : TComponent(owner) {}
  std::string FieldDisplayLabel(std::string_view field) const override {
    if (field == "STKDATE") return "盘点日期";
    throw Exception(Format("Field '%s' not found", std::string(field)));
  }
};
const TClassInfo& StubDataSet::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<StubDataSet>("TStubDataSet", [](auto&) {});
  return info;
}

class StubDataSource : public TComponent {
  VX_CLASS(StubDataSource, TComponent)
  explicit StubDataSource(TComponent* owner) : TComponent(owner) {}
  TComponent* DataSet() const { return data_set; }
  void SetDataSet(TComponent* d) { data_set = d; }
  TComponent* data_set = nullptr;
};
const TClassInfo& StubDataSource::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<StubDataSource>("TStubDataSource", [](auto& r) {
    r.template Obj<&StubDataSource::DataSet, &StubDataSource::SetDataSet>("DataSet", "TDataSet");
  });
  return info;
}

class StubDBEdit : public TEdit {
  VX_CLASS(StubDBEdit, TEdit)
  explicit StubDBEdit(TComponent* owner) : TEdit(owner) {}
  TComponent* DataSource() const { return source; }
  void SetDataSource(TComponent* s) { source = s; }
  const std::string& DataField() const { return field; }
  void SetDataField(std::string_view f) { field = std::string(f); }
  TComponent* source = nullptr;
  std::string field;
};
const TClassInfo& StubDBEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<StubDBEdit>("TStubDBEdit", [](auto& r) {
    r.template Obj<&StubDBEdit::DataSource, &StubDBEdit::SetDataSource>("DataSource",
                                                                        "TDataSource");
    r.template Str<&StubDBEdit::DataField, &StubDBEdit::SetDataField>("DataField");
  });
  return info;
}

TEST_F(ControlsTest, AutoCaptionTakesTheDisplayLabelOfTheDataField) {
  struct Case {
    const char* field;
    bool with_data_set;
    bool auto_caption;
    const char* caption;
  };
  const Case cases[] = {
      {"STKDATE", true, true, "盘点日期"},
      {"STKDATE", true, false, "挂靠标签"},
      {"STKDATE", false, true, "挂靠标签"},  // no data set: the caption stays
      {"NOSUCH", true, true, "挂靠标签"},    // the error is ignored
  };
  auto* f = NewForm();
  auto* data_set = Create<StubDataSet>(f);
  auto* source = Create<StubDataSource>(f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    auto* ed = Add<StubDBEdit>(f, "ed");
    ed->SetDataSource(source);
    ed->SetDataField(c.field);
    source->SetDataSet(c.with_data_set ? data_set : nullptr);
    auto* lbl = Add<TDBLabel>(f, "lbl");
    lbl->SetAutoCaption(c.auto_caption);
    lbl->SetFocusControl(ed);
    EXPECT_EQ(lbl->Caption(), c.caption);
    lbl->Free();
    ed->Free();
  }
}

}  // namespace
}  // namespace vx::testing
