#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/register.h"
#include "controls/selectpnl.h"
#include "platform/os/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

// Pictures 1 to 50, square 23 x 23 strips; picture 4 holds two images.
class FakeGlyphs : public IGlyphLibrary {
 public:
  int GetMaxBmpID() override { return 50; }
  bool LoadBmp(TBitmap& bitmap, int id) override {
    bitmap.SetSize(id == 4 ? 46 : 23, 23);
    return true;
  }
};

struct Bounds {
  int Left, Top, Width, Height;
  bool operator==(const Bounds&) const = default;
};
Bounds BoundsOf(const TControl* c) {
  return {c->Left(), c->Top(), c->Width(), c->Height()};
}
void PrintTo(const Bounds& b, std::ostream* os) {
  *os << "(" << b.Left << ", " << b.Top << ", " << b.Width << ", " << b.Height << ")";
}

class SelectPanelTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    previous_ = SetGlyphLibrary(std::make_unique<FakeGlyphs>());
    form = Create<TForm>(nullptr);
    form->SetName("frmTest");
    form->SetBounds(100, 50, 600, 400);
    panel = Add<TSelectPanel>(form, "spCond");
    other = Add<TEdit>(form, "edOther");
    other->SetTop(300);
    form->Show();
  }
  void TearDown() override {
    UiTest::TearDown();
    SetGlyphLibrary(std::move(previous_));
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> out;
    TListItems* items = panel->ListBox()->Items();
    for (int i = 0; i < items->Count(); ++i) {
      std::string row = items->Items(i)->Caption();
      for (int s = 0; s < items->Items(i)->SubItems()->Count(); ++s)
        row += "|" + items->Items(i)->SubItems()->Get(s);
      out.push_back(row);
    }
    return out;
  }
  std::vector<std::string> ColumnCaptions() const {
    std::vector<std::string> out;
    for (int i = 0; i < panel->Columns()->Count(); ++i)
      out.push_back(panel->Columns()->Items(i)->Caption());
    return out;
  }

  TForm* form = nullptr;
  TSelectPanel* panel = nullptr;
  TEdit* other = nullptr;

 public:
  // Event handlers writing to log.
  bool veto = false;
  TSelectStyle redirect_to = sp_Range;
  bool redirect = false;
  void StyleChanging(TObject*, TSelectStyle now, TSelectStyle& next, bool& accept) {
    log.push_back("changing " + GetEnumName(*FindTypeInfo("TSelectStyle"), int(now)) + " " +
                  GetEnumName(*FindTypeInfo("TSelectStyle"), int(next)));
    if (redirect) next = redirect_to;
    accept = !veto;
  }
  void StyleChange(TObject*, TSelectStyle old_style, TSelectStyle new_style) {
    log.push_back("change " + std::to_string(int(old_style)) + " " +
                  std::to_string(int(new_style)) + " style " + std::to_string(int(panel->Style())));
  }
  void TypeClick(TObject* sender) { log.push_back("type " + Named(sender)); }
  void OpenWin(TSelectPanel* parent, TWinControl* sender) {
    log.push_back("openwin " + Named(parent) + " " + Named(sender));
  }
  void DeleteClick(TObject* sender, bool& accept) {
    log.push_back("delete " + Named(sender));
    accept = !veto;
  }
  void ClearClick(TObject* sender) { log.push_back("clear " + Named(sender)); }
  void PanelExit(TObject* sender) {
    log.push_back("exit " + Named(sender) + " " + panel->edBegin()->Text() + ".." +
                  panel->edFinal()->Text());
  }
  void KeyDown(TObject* sender, Word& key, TShiftState) {
    log.push_back("keydown " + Named(sender) + " " + std::to_string(key));
  }
  void ItemSelect(TObject* sender, TListItem* item, int index, bool selected) {
    log.push_back("select " + Named(sender) + " " + item->Caption() + " " + std::to_string(index) +
                  (selected ? " on" : " off"));
  }
  void PanelClick(TObject* sender) { log.push_back("click " + Named(sender)); }
  void ItemChanging(TObject* sender, TListItem* item, TItemChange, bool& allow) {
    log.push_back("changing " + Named(sender) + " " + item->Caption());
    allow = !veto;
  }
  void ItemChange(TObject* sender, TListItem* item, TItemChange) {
    log.push_back("changed " + Named(sender) + " " + item->Caption());
  }
  void EditChange(TObject* sender) { log.push_back("edit change " + Named(sender)); }

  // The owner form's window procedure: records message 1034.
  std::vector<std::pair<WPARAM, LPARAM>> f2_messages;
  void FormWndProc(TMessage& msg) {
    if (msg.Msg == 1034) f2_messages.emplace_back(msg.WParam, msg.LParam);
    form->WndProc(msg);
  }

 private:
  std::unique_ptr<IGlyphLibrary> previous_;
};

// ---- construction, properties ------------------------------------------------------------

TEST_F(SelectPanelTest, PublishesEveryPropertyWithItsDefault) {
  struct Case {
    const char* name;
    Variant value;
  };
  const Case cases[] = {
      {"Style", "sp_Range"},
      {"UserChoice", true},
      {"HintWord", "区间选择"},
      {"UseVertical", false},
      {"OtherWidth", 200},
      {"OtherHeight", 105},
      {"EditMask", ""},
      {"ValueType", "vt_String"},
      {"DateType", "dt_NoneCare"},
      {"DateSign", "/"},
      {"AutoChangeDateSite", true},
      {"Discard", ""},
      {"UseDiscard", false},
      {"CanOpenWin", true},
      {"GlyphIndex", 8},
      {"CheckDuplicate", "cd_None"},
      {"SortListBox", false},
      {"ShowColumnHeader", false},
      {"HideSelection", false},
      {"ColumnsAutoSize", true},
      {"Width", 353},
      {"Height", 45},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPropInfo* prop = GetPropInfo(panel, c.name);
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(VarToStr(GetPropValue(*panel, *prop)), VarToStr(c.value));
  }
  for (const char* name :
       {"BeginWords",      "FinalWords",     "ChildHints",   "Items",         "Columns",
        "ColumnCaptions",  "OnOpenWinClick", "OnClearClick", "OnDeleteClick", "OnTypeClick",
        "OnStyleChanging", "OnStyleChange",  "OnExit",       "OnItemSelect",  "OnItemChange",
        "OnItemChanging",  "OnKeyDown",      "OnKeyUp",      "OnKeyPress",    "Caption"})
    EXPECT_NE(GetPropInfo(panel, name), nullptr) << name;
  EXPECT_EQ(panel->BeginWords()->CommaText(), "起,起");
  EXPECT_EQ(panel->FinalWords()->CommaText(), "止,止");
  EXPECT_EQ(ColumnCaptions(), std::vector<std::string>{"Data"});
  RegisterFrameworkControls();
  for (const char* cls : {"TSelectPanel", "TOrlListView", "TOrlMaskEdit", "TOrlCheckBox"})
    EXPECT_NE(FindClassInfo(cls), nullptr) << cls;
  EXPECT_TRUE(panel->TypeCheckBox()->InheritsFrom("TBitCheckBox"));
  EXPECT_NE(GetPropInfo(panel->ListBox(), "ColumnsAutoSize"), nullptr);

  // Setting by name goes through the setters.
  SetPropValue(*panel, *GetPropInfo(panel, "Style"), Variant("sp_Discrete"));
  EXPECT_EQ(panel->Style(), sp_Discrete);
  EXPECT_EQ(BoundsOf(panel).Width, 200);
}

TEST_F(SelectPanelTest, PartsAreCreatedWithTheirSettingsAndHints) {
  EXPECT_FALSE(panel->TypeCheckBox()->Checked());
  EXPECT_EQ(panel->TypeCheckBox()->Caption(), "区间选择");
  EXPECT_FALSE(panel->TypeCheckBox()->Visible());
  EXPECT_EQ(panel->RangePanel()->BevelOuter(), bvNone);
  EXPECT_EQ(panel->RangePanel()->Caption(), " ");
  EXPECT_EQ(panel->edBegin()->Height(), 24);
  EXPECT_EQ(panel->edFinal()->Height(), 24);
  for (TGSpeedButton* b : {static_cast<TGSpeedButton*>(panel->BeginF2Button()),
                           static_cast<TGSpeedButton*>(panel->FinalF2Button()),
                           static_cast<TGSpeedButton*>(panel->ListF2Button())}) {
    EXPECT_TRUE(b->Flat());
    EXPECT_EQ(b->GlyphIndex(), 8);
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(b->Width(), 23);
  }
  EXPECT_EQ(panel->DeleteButton()->GlyphIndex(), 47);
  EXPECT_EQ(panel->DeleteButton()->NumGlyphs(), 1);
  EXPECT_EQ(panel->ClearButton()->GlyphIndex(), 4);
  EXPECT_EQ(panel->ClearButton()->NumGlyphs(), 2);
  TOrlListView* list = panel->ListBox();
  EXPECT_EQ(list->ViewStyle(), vsReport);
  EXPECT_TRUE(list->MultiSelect());
  EXPECT_TRUE(list->RowSelect());
  EXPECT_TRUE(list->ReadOnly());
  EXPECT_FALSE(list->ShowColumnHeaders());
  EXPECT_EQ(list->SortType(), stNone);
  EXPECT_FALSE(list->HideSelection());
  EXPECT_EQ(list->Cursor(), crHandPoint);

  const std::pair<TControl*, const char*> hints[] = {
      {panel->TypeCheckBox(), "用户自定输入方式"},
      {panel->edBegin(), "区间选择-起始信息"},
      {panel->BeginF2Button(), "区间选择-起始信息开窗"},
      {panel->edFinal(), "区间选择-截止信息"},
      {panel->FinalF2Button(), "区间选择-截止信息开窗"},
      {panel->ListBox(), "多选-己选择的信息"},
      {panel->ListF2Button(), "多选-信息开窗"},
      {panel->DeleteButton(), "多选-删除一笔信息"},
      {panel->ClearButton(), "多选-删除己选信息"},
  };
  for (auto [part, hint] : hints)
    EXPECT_EQ(part->Hint(), hint) << Named(part);

  // New hints replace the entries given; the others stay.
  TStringList hints2;
  hints2.SetCommaText("a,b,c");
  panel->SetChildHints(&hints2);
  EXPECT_EQ(panel->TypeCheckBox()->Hint(), "a");
  EXPECT_EQ(panel->edBegin()->Hint(), "b");
  EXPECT_EQ(panel->BeginF2Button()->Hint(), "c");
  EXPECT_EQ(panel->edFinal()->Hint(), "区间选择-截止信息");
  panel->ChildHints()->Put(2, "d");
  EXPECT_EQ(panel->BeginF2Button()->Hint(), "d");
}

// ---- layouts and size swaps ------------------------------------------------------------------

TEST_F(SelectPanelTest, NewPanelIsHorizontalRangeAndSwapsSizeWithTheList) {
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 353, 45}));
  EXPECT_TRUE(panel->IsRangeInput());
  EXPECT_TRUE(panel->RangePanel()->Visible());
  EXPECT_FALSE(panel->ListPanel()->Visible());
  // Caption text 13 high, bevel 1: the range panel fills the rest.
  EXPECT_EQ(BoundsOf(panel->RangePanel()), (Bounds{2, 16, 348, 26}));
  EXPECT_EQ(BoundsOf(panel->ListPanel()), (Bounds{2, 16, 348, 26}));
  EXPECT_EQ(panel->BeginLabel()->Caption(), "起");
  EXPECT_EQ(panel->FinalLabel()->Caption(), "止");
  EXPECT_EQ(BoundsOf(panel->BeginLabel()), (Bounds{2, 1, 11, 13}));
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{14, 1, 134, 24}));
  EXPECT_EQ(BoundsOf(panel->BeginF2Button()), (Bounds{150, 1, 23, 23}));
  EXPECT_EQ(BoundsOf(panel->FinalLabel()), (Bounds{175, 1, 11, 13}));
  EXPECT_EQ(BoundsOf(panel->edFinal()), (Bounds{188, 1, 134, 24}));
  EXPECT_EQ(BoundsOf(panel->FinalF2Button()), (Bounds{324, 1, 23, 23}));

  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 200, 105}));
  EXPECT_EQ(panel->OtherWidth(), 353);
  EXPECT_EQ(panel->OtherHeight(), 45);
  EXPECT_FALSE(panel->IsRangeInput());
  EXPECT_FALSE(panel->RangePanel()->Visible());
  EXPECT_TRUE(panel->ListPanel()->Visible());
  EXPECT_EQ(BoundsOf(panel->ListPanel()), (Bounds{2, 16, 195, 86}));
  EXPECT_EQ(BoundsOf(panel->ListBox()), (Bounds{0, 0, 169, 86}));
  EXPECT_EQ(BoundsOf(panel->ListF2Button()), (Bounds{171, 0, 23, 23}));
  EXPECT_EQ(BoundsOf(panel->DeleteButton()), (Bounds{171, 23, 23, 23}));
  EXPECT_EQ(BoundsOf(panel->ClearButton()), (Bounds{171, 46, 23, 23}));

  // Between the two non-range styles the size stays.
  panel->SetStyle(sp_UserChoice);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 200, 105}));
  panel->SetStyle(sp_Range);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 353, 45}));
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{14, 1, 134, 24}));
}

TEST_F(SelectPanelTest, LoadedUserChoiceShowsTheRangeInTwoRowsAndTheBoxSwitchesToTheList) {
  panel->SetBounds(0, 0, 200, 105);
  panel->OnTypeClick = Bind<&SelectPanelTest::TypeClick>(this);
  panel->BeginLoading();
  panel->SetStyle(sp_UserChoice);
  panel->SetUserChoice(true);
  panel->EndLoading();
  // No size swap while loading.
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 200, 105}));
  EXPECT_TRUE(panel->TypeCheckBox()->Visible());
  EXPECT_TRUE(panel->TypeCheckBox()->Checked());
  EXPECT_TRUE(panel->IsRangeInput());
  EXPECT_TRUE(panel->RangePanel()->Visible());
  EXPECT_FALSE(panel->ListPanel()->Visible());
  // Box sized to its caption (4 wide characters) + 24 by text height + 2.
  EXPECT_EQ(BoundsOf(panel->TypeCheckBox()), (Bounds{16, 14, 68, 15}));
  EXPECT_EQ(BoundsOf(panel->RangePanel()), (Bounds{2, 29, 196, 74}));
  // Two rows: G = (74 - 24 - 24) / 3 = 8.
  EXPECT_EQ(BoundsOf(panel->BeginLabel()), (Bounds{2, 8, 11, 13}));
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{15, 8, 156, 24}));
  EXPECT_EQ(BoundsOf(panel->BeginF2Button()), (Bounds{172, 8, 23, 23}));
  EXPECT_EQ(BoundsOf(panel->FinalLabel()), (Bounds{2, 40, 11, 13}));
  EXPECT_EQ(BoundsOf(panel->edFinal()), (Bounds{15, 40, 156, 24}));
  EXPECT_EQ(BoundsOf(panel->FinalF2Button()), (Bounds{172, 40, 23, 23}));
  EXPECT_TRUE(log.empty());

  ASSERT_TRUE(ClickControl(panel->TypeCheckBox()));
  EXPECT_FALSE(panel->UserChoice());
  EXPECT_FALSE(panel->IsRangeInput());
  EXPECT_FALSE(panel->RangePanel()->Visible());
  EXPECT_TRUE(panel->ListPanel()->Visible());
  EXPECT_EQ(BoundsOf(panel->ListPanel()), (Bounds{2, 29, 196, 74}));
  EXPECT_THAT(log, ElementsAre("type spCond"));

  // UserChoice in code checks the box again, without a click.
  panel->SetUserChoice(true);
  EXPECT_TRUE(panel->TypeCheckBox()->Checked());
  EXPECT_TRUE(panel->RangePanel()->Visible());
  EXPECT_EQ(BoundsOf(panel->RangePanel()), (Bounds{2, 29, 196, 74}));
  EXPECT_THAT(log, ElementsAre("type spCond"));
}

TEST_F(SelectPanelTest, UserChoiceAgreesWithTheBoxWhenTheStyleIsChosen) {
  // UserChoice starts true: a panel switched to user choice shows the range.
  panel->SetStyle(sp_UserChoice);
  EXPECT_TRUE(panel->TypeCheckBox()->Checked());
  EXPECT_TRUE(panel->IsRangeInput());
  panel->SetStyle(sp_Range);
  panel->SetUserChoice(false);
  panel->SetStyle(sp_UserChoice);
  EXPECT_FALSE(panel->TypeCheckBox()->Checked());
  EXPECT_FALSE(panel->IsRangeInput());
  EXPECT_TRUE(panel->ListPanel()->Visible());
}

TEST_F(SelectPanelTest, StyleChangingHandlerVetoesOrRedirects) {
  panel->OnStyleChanging = Bind<&SelectPanelTest::StyleChanging>(this);
  panel->OnStyleChange = Bind<&SelectPanelTest::StyleChange>(this);
  veto = true;
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(panel->Style(), sp_Range);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 353, 45}));
  EXPECT_TRUE(panel->RangePanel()->Visible());
  EXPECT_FALSE(panel->ListPanel()->Visible());
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{14, 1, 134, 24}));
  EXPECT_THAT(log, ElementsAre("changing sp_Range sp_Discrete"));

  log.clear();
  veto = false;
  redirect = true;
  redirect_to = sp_UserChoice;
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(panel->Style(), sp_UserChoice);
  EXPECT_TRUE(panel->TypeCheckBox()->Visible());
  // OnStyleChange runs before Style takes the new value.
  EXPECT_THAT(log, ElementsAre("changing sp_Range sp_Discrete", "change 0 2 style 0"));
}

TEST_F(SelectPanelTest, VerticalRangeOnlyInRangeStyleWithASizeSwap) {
  panel->SetUseVertical(true);
  EXPECT_TRUE(panel->UseVertical());
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 200, 105}));
  EXPECT_EQ(BoundsOf(panel->RangePanel()), (Bounds{2, 16, 195, 86}));
  // G = (86 - 48) / 3 = 12.
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{15, 12, 155, 24}));
  EXPECT_EQ(BoundsOf(panel->BeginF2Button()), (Bounds{171, 12, 23, 23}));
  EXPECT_EQ(BoundsOf(panel->edFinal()), (Bounds{15, 48, 155, 24}));
  // A vertical range leaves for the list without another swap.
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 200, 105}));
  panel->SetUseVertical(false);
  EXPECT_TRUE(panel->UseVertical());
  panel->SetStyle(sp_Range);
  panel->SetUseVertical(false);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, 0, 353, 45}));
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{14, 1, 134, 24}));
}

TEST_F(SelectPanelTest, WithoutF2ButtonsTheEditsWiden) {
  panel->SetCanOpenWin(false);
  for (TControl* b : {static_cast<TControl*>(panel->BeginF2Button()),
                      static_cast<TControl*>(panel->FinalF2Button()),
                      static_cast<TControl*>(panel->ListF2Button())})
    EXPECT_FALSE(b->Visible());
  // (348 - 2 - 11 - 11 - 4) / 2 - 1 = 159.
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{14, 1, 159, 24}));
  EXPECT_EQ(panel->FinalLabel()->Left(), 14 + 159 + 4);
  EXPECT_EQ(BoundsOf(panel->edFinal()), (Bounds{190, 1, 159, 24}));
  panel->SetCanOpenWin(true);
  EXPECT_TRUE(panel->BeginF2Button()->Visible());
  EXPECT_EQ(BoundsOf(panel->edBegin()), (Bounds{14, 1, 134, 24}));
}

TEST_F(SelectPanelTest, ResizeAndFontChangeLayTheRangeOutAgain) {
  panel->SetWidth(453);
  // (448 - 2 - 11 - 23 - 11 - 23 - 8) / 2 - 1 = 184.
  EXPECT_EQ(panel->edBegin()->Width(), 184);
  panel->Font()->SetSize(12);  // 16 pixels: labels 16 wide, caption 18 high
  EXPECT_EQ(panel->RangePanel()->Top(), 21);
  EXPECT_EQ(panel->BeginLabel()->Width(), 16);
  EXPECT_EQ(panel->edBegin()->Left(), 19);
}

// ---- word lists --------------------------------------------------------------------------------

TEST_F(SelectPanelTest, WordListsTakeTheirFirstTwoEntries) {
  TStringList words;
  words.SetCommaText("From,\"Begin at\",ignored");
  panel->SetBeginWords(&words);
  EXPECT_EQ(panel->BeginWords()->CommaText(), "From,\"Begin at\"");
  EXPECT_EQ(panel->BeginLabel()->Caption(), "From");
  EXPECT_EQ(panel->BeginLabel()->Width(), 24);
  // The layout follows the longer label.
  EXPECT_EQ(panel->edBegin()->Left(), 2 + 24 + 1);

  // An empty list changes nothing.
  TStringList none;
  panel->SetFinalWords(&none);
  EXPECT_EQ(panel->FinalWords()->CommaText(), "止,止");

  // One entry serves both layouts.
  TStringList one;
  one.Add("To");
  panel->SetFinalWords(&one);
  EXPECT_EQ(panel->FinalWords()->Count(), 1);
  EXPECT_EQ(panel->FinalLabel()->Caption(), "To");
  panel->SetUseVertical(true);
  EXPECT_EQ(panel->BeginLabel()->Caption(), "Begin at");
  EXPECT_EQ(panel->FinalLabel()->Caption(), "To");

  // A change inside a two-entry list lays the panel out again.
  panel->BeginWords()->Put(1, "自");
  EXPECT_EQ(panel->BeginLabel()->Caption(), "自");
  EXPECT_EQ(panel->edBegin()->Left(), 2 + 11 + 2);
}

TEST_F(SelectPanelTest, WordsInUserChoiceUseTheSecondEntry) {
  panel->SetStyle(sp_UserChoice);
  TStringList words;
  words.SetCommaText("B1,B2");
  panel->SetBeginWords(&words);
  EXPECT_EQ(panel->BeginLabel()->Caption(), "B2");
}

// ---- edit mask ---------------------------------------------------------------------------------

TEST_F(SelectPanelTest, EditMaskGivesBothEditsTheMaskAndKeepsTheBeginText) {
  panel->edBegin()->SetText("2024/01/05");
  panel->edBegin()->OnChange = Bind<&SelectPanelTest::EditChange>(this);
  panel->SetEditMask("9999/99/99;1;_");
  EXPECT_EQ(panel->EditMask(), "9999/99/99;1;_");
  EXPECT_EQ(panel->edBegin()->EditMask(), "9999/99/99;1;_");
  EXPECT_EQ(panel->edFinal()->EditMask(), "9999/99/99;1;_");
  EXPECT_EQ(panel->BlankText(), "    /  /  ");
  EXPECT_EQ(panel->edBegin()->Text(), "2024/01/05");
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(panel->edBegin()->NoChangeEvents());
  // Change events come back afterwards.
  panel->edBegin()->SetText("2024/02/05");
  EXPECT_THAT(log, ElementsAre("edit change edBegin"));
}

// ---- range order on exit
// --------------------------------------------------------------------------

struct OrderCase {
  TValueType type;
  TDateType date_type;
  const char* begin;
  const char* end;
  bool swapped;
};

class RangeOrderTest : public SelectPanelTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(RangeOrderTest, PutsTheRangeInOrder) {
  const OrderCase& c = GetParam();
  panel->SetValueType(c.type);
  panel->SetDateType(c.date_type);
  panel->edBegin()->SetText(c.begin);
  panel->edFinal()->SetText(c.end);
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), c.swapped ? c.end : c.begin);
  EXPECT_EQ(panel->edFinal()->Text(), c.swapped ? c.begin : c.end);
}

INSTANTIATE_TEST_SUITE_P(
    ValueTypes, RangeOrderTest,
    ::testing::Values(OrderCase{vt_Number, dt_NoneCare, "20", "3", true},
                      OrderCase{vt_Number, dt_NoneCare, "3", "20", false},
                      OrderCase{vt_Number, dt_NoneCare, "20", "abc", true},
                      OrderCase{vt_Number, dt_NoneCare, "-5", "-7", true},
                      OrderCase{vt_Number, dt_NoneCare, "20241231002", "20241231001", true},
                      OrderCase{vt_String, dt_NoneCare, "b", "a", true},
                      OrderCase{vt_String, dt_NoneCare, "a", "b", false},
                      OrderCase{vt_String, dt_NoneCare, "20", "3", false},  // texts, not numbers
                      OrderCase{vt_String, dt_NoneCare, "", "a", false},
                      OrderCase{vt_Time, dt_NoneCare, "12:30", "08:00", true},
                      OrderCase{vt_Date, dt_NoneCare, "2024/05/01", "2024/04/30", true},
                      OrderCase{vt_Date, dt_YYYYMMDD, "2024/05/01", "2024/04", true},
                      OrderCase{vt_Date, dt_YYYYMMDD, "2024/05/01", "2024/13/01", true},
                      OrderCase{vt_Date, dt_YYYYMMDD, "2024/04", "2024/04/15", false},
                      OrderCase{vt_Date, dt_YYYYMMDD, "2024/4/9", "2024/10/01",
                                false},  // not bytes
                      OrderCase{vt_Date, dt_MMDDYYYY, "05/2024", "04/15/2024", true},
                      OrderCase{vt_Date, dt_DDMMYYYY, "15/04/2024", "01/05/2024", false},
                      OrderCase{vt_Date, dt_DDMMYYYY, "01/05/2024", "15/04/2024", true},
                      OrderCase{vt_Date, dt_YYMMDD, "113/05/01", "113/04/30", true},
                      OrderCase{vt_Date, dt_YYYMMDD, "099/12/31", "100/01/01", false},
                      OrderCase{vt_Float, dt_NoneCare, "10.5", "9.75", true},
                      OrderCase{vt_Float, dt_NoneCare, "2.50", "10", false},
                      OrderCase{vt_Float, dt_NoneCare, "-1.5", "-2", true},
                      OrderCase{vt_OtherMask, dt_NoneCare, "b", "a", false}));

TEST_F(SelectPanelTest, DatesAreOrderedOnlyWhenAutoChangeDateSite) {
  panel->SetValueType(vt_Date);
  panel->SetAutoChangeDateSite(false);
  panel->edBegin()->SetText("2024/05/01");
  panel->edFinal()->SetText("2024/04/01");
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), "2024/05/01");
}

TEST_F(SelectPanelTest, DiscardAndBlankTextsLeaveTheRangeAlone) {
  panel->SetValueType(vt_String);
  panel->SetDiscard(" zz ");
  panel->edBegin()->SetText("zz");
  panel->edFinal()->SetText("a");
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), "a");  // without UseDiscard: exchanged
  panel->edBegin()->SetText("zz");
  panel->edFinal()->SetText("a");
  panel->SetUseDiscard(true);
  for (TValueType t : {vt_String, vt_Time, vt_Date}) {
    panel->SetValueType(t);
    panel->PutRangeInOrder();
    EXPECT_EQ(panel->edBegin()->Text(), "zz");
  }

  // An empty date edit under a mask reads as the blank text: no exchange.
  panel->SetUseDiscard(false);
  panel->SetEditMask("9999/99/99;1;_");
  panel->SetValueType(vt_String);
  panel->edBegin()->SetText("2024/05/01");
  panel->edFinal()->SetText("");
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), "2024/05/01");
  EXPECT_EQ(panel->edFinal()->Text(), "    /  /  ");
  panel->SetValueType(vt_Date);
  panel->SetDateType(dt_YYYYMMDD);
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), "2024/05/01");
}

TEST_F(SelectPanelTest, TextsAreTrimmedUnlessTheMaskLeadsWithBlanks) {
  panel->edBegin()->SetText("  b ");
  panel->edFinal()->SetText(" a");
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), "a");
  EXPECT_EQ(panel->edFinal()->Text(), "b");

  panel->SetEditMask("!cccc;0;_");
  panel->edBegin()->SetText("x  ");
  panel->edFinal()->SetText("z");
  std::string before = panel->edBegin()->Text();
  EXPECT_EQ(before, "x  ");
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), before) << "[" << before << "]";
}

TEST_F(SelectPanelTest, LeavingThePanelOrdersTheRangeThenRaisesOnExit) {
  panel->OnExit = Bind<&SelectPanelTest::PanelExit>(this);
  panel->SetValueType(vt_Number);
  panel->edBegin()->SetFocus();
  panel->edBegin()->SetText("20");
  panel->edFinal()->SetText("3");
  // Moving between the panel's own edits is no exit.
  panel->edFinal()->SetFocus();
  EXPECT_TRUE(log.empty());
  other->SetFocus();
  EXPECT_THAT(log, ElementsAre("exit spCond 3..20"));
}

TEST(RangeDateTest, ReadsTheDateLayouts) {
  struct Case {
    TDateType type;
    const char* sign;
    const char* text;
    int y, m, d;  // 0: no date
  };
  const Case cases[] = {
      {dt_YYYYMMDD, "/", "2024/05/01", 2024, 5, 1},
      {dt_YYYYMMDD, "/", " 2024 / 4 ", 2024, 4, 1},
      {dt_YYYYMMDD, "/", "2024/13/01", 0, 0, 0},
      {dt_YYYYMMDD, "/", "2024/02/30", 0, 0, 0},
      {dt_YYYYMMDD, "/", "2024/02/x", 0, 0, 0},
      {dt_YYYYMMDD, "/", "2024", 0, 0, 0},
      {dt_YYYYMMDD, "/", "2024/01/02/03", 0, 0, 0},
      {dt_YYYYMMDD, "-", "2024-03-04", 2024, 3, 4},
      {dt_YYYYMMDD, "-", "2024/03/04", 0, 0, 0},
      {dt_MMDDYYYY, "/", "03/04/2024", 2024, 3, 4},
      {dt_MMDDYYYY, "/", "03/2024", 2024, 3, 1},
      {dt_DDMMYYYY, ".", "04.03.2024", 2024, 3, 4},
      {dt_DDMMYYYY, ".", "03.2024", 2024, 3, 1},
      {dt_YYMMDD, "/", "113/03/04", 2024, 3, 4},
      {dt_YYYMMDD, "/", "99/12", 2010, 12, 1},
      {dt_NoneCare, "/", "2024/03/04", 0, 0, 0},
      {dt_YYYYMMDD, "/", "", 0, 0, 0},
      {dt_YYYYMMDD, "/", "    /  /  ", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TRangeRule rule;
    rule.DateType = c.type;
    rule.DateSign = c.sign;
    rule.BlankText = "    /  /  ";
    double expected = c.y ? double(EncodeDate(c.y, c.m, c.d)) : 0.0;
    EXPECT_EQ(double(RangeDate(rule, c.text)), expected);
  }
}

// ---- rows
// -----------------------------------------------------------------------------------------

TEST_F(SelectPanelTest, AddRowAddsColumnsAndPadsRows) {
  TOrlListView* list = panel->ListBox();
  EXPECT_FALSE(list->AddRow({}));
  ASSERT_TRUE(list->AddRow({"A", "B", "C"}));
  EXPECT_EQ(ColumnCaptions(), (std::vector<std::string>{"Data", "Data2", "Data3"}));
  ASSERT_TRUE(list->AddRow({"D"}));
  EXPECT_THAT(Rows(), ElementsAre("A|B|C", "D||"));
  ASSERT_TRUE(list->AddRow({"E", "F", "G", "H"}));
  EXPECT_EQ(ColumnCaptions().back(), "Data4");
  EXPECT_THAT(Rows(), ElementsAre("A|B|C|", "D|||", "E|F|G|H"));
  // Widths: "W" is 6 pixels, times the longest of caption and texts.
  EXPECT_EQ(panel->Columns()->Items(0)->Width(), 6 * 4);
  EXPECT_EQ(panel->Columns()->Items(1)->Width(), 6 * 5);
  list->AddRow({"x", "中文字"});  // three wide characters: 6 bytes under GBK, else 3
  int chinese = EditTextLength("中文字");
  EXPECT_EQ(panel->Columns()->Items(1)->Width(), 6 * std::max(5, chinese));

  panel->SetColumnsAutoSize(false);
  list->AddRow({"a much longer caption"});
  EXPECT_EQ(panel->Columns()->Items(0)->Width(), 6 * 4);

  list->ClearRows();
  EXPECT_TRUE(Rows().empty());
}

TEST_F(SelectPanelTest, ColumnCaptionsRebuildTheColumns) {
  TStringList captions;
  captions.SetCommaText("Code,Name");
  panel->SetColumnCaptions(&captions);
  EXPECT_EQ(ColumnCaptions(), (std::vector<std::string>{"Code", "Name"}));
  EXPECT_EQ(panel->Columns()->Items(0)->Width(), 24);
  panel->ListBox()->AddRow({"1", "One", "Extra"});
  EXPECT_EQ(ColumnCaptions(), (std::vector<std::string>{"Code", "Name", "Data3"}));
}

TEST_F(SelectPanelTest, DuplicatesAreRemovedByCase) {
  TOrlListView* list = panel->ListBox();
  panel->SetCheckDuplicate(cd_CheckCase);
  EXPECT_TRUE(panel->SortListBox());
  EXPECT_EQ(list->SortType(), stText);
  list->AddRow({"ABC"});
  list->AddRow({"abc"});
  list->AddRow({"ABC", "second"});
  EXPECT_THAT(Rows(), ElementsAre("ABC|", "abc|"));

  list->ClearRows();
  panel->SetCheckDuplicate(cd_CaseInsensitive);
  list->AddRow({"ABC"});
  list->AddRow({"abc"});
  EXPECT_THAT(Rows(), ElementsAre("ABC"));

  // Rows gathered without a check lose their duplicates when the check is
  // set in list input.
  panel->SetCheckDuplicate(cd_None);
  panel->SetSortListBox(false);
  list->AddRow({"b"});
  list->AddRow({"B"});
  EXPECT_THAT(Rows(), ElementsAre("ABC", "b", "B"));
  panel->SetCheckDuplicate(cd_CaseInsensitive);
  EXPECT_THAT(Rows(), ElementsAre("ABC", "B", "b"));  // range input: sorted, kept
  panel->SetStyle(sp_Discrete);
  panel->SetCheckDuplicate(cd_CaseInsensitive);
  EXPECT_THAT(Rows(), ElementsAre("ABC", "B"));
}

TEST_F(SelectPanelTest, HeaderClicksSortByColumn) {
  TOrlListView* list = panel->ListBox();
  panel->SetStyle(sp_Discrete);
  panel->SetShowColumnHeader(true);
  list->AddRow({"b", "2"});
  list->AddRow({"A", "3"});
  list->AddRow({"c", "1"});
  list->AddRow({"a", "3"});
  panel->SetSortListBox(true);
  EXPECT_THAT(Rows(), ElementsAre("A|3", "a|3", "b|2", "c|1"));
  list->ClickColumn(1);
  EXPECT_THAT(Rows(), ElementsAre("c|1", "b|2", "A|3", "a|3"));
  // Descending reverses the whole order, captions differing in case too.
  list->ClickColumn(1);
  EXPECT_THAT(Rows(), ElementsAre("a|3", "A|3", "b|2", "c|1"));
  EXPECT_TRUE(list->SortDescending());
  list->ClickColumn(0);
  EXPECT_EQ(list->SortColumn(), 0);
  EXPECT_FALSE(list->SortDescending());
  EXPECT_THAT(Rows(), ElementsAre("A|3", "a|3", "b|2", "c|1"));
  // A sorted list keeps the chosen order for new rows.
  list->ClickColumn(0);
  list->AddRow({"B", "0"});
  EXPECT_THAT(Rows(), ElementsAre("c|1", "b|2", "B|0", "a|3", "A|3"));
}

TEST_F(SelectPanelTest, ChineseRowsSortAndSizeByTheInterfaceCodePage) {
  if (!CodePageSupported(936)) GTEST_SKIP() << "no GBK conversion on this host";
  struct Restore {
    int saved = EditCodePage();
    ~Restore() { SetEditCodePage(saved); }
  } restore;
  SetEditCodePage(936);
  TOrlListView* list = panel->ListBox();
  panel->SetSortListBox(true);
  list->AddRow({"上海"});
  list->AddRow({"北京"});
  // GBK order (by reading) puts 北 (B1B1) before 上 (C9CF); UTF-8 would not.
  EXPECT_THAT(Rows(), ElementsAre("北京", "上海"));
  // Widths count GBK bytes: two per character.
  EXPECT_EQ(panel->Columns()->Items(0)->Width(), 6 * 4);
  // Range order compares the GBK bytes too.
  panel->edBegin()->SetText("上海");
  panel->edFinal()->SetText("北京");
  panel->PutRangeInOrder();
  EXPECT_EQ(panel->edBegin()->Text(), "北京");
}

TEST_F(SelectPanelTest, ListEventsReachThePanel) {
  panel->SetStyle(sp_Discrete);
  panel->OnItemSelect = Bind<&SelectPanelTest::ItemSelect>(this);
  panel->ListBox()->AddRow({"x"});
  panel->ListBox()->AddRow({"y"});
  panel->ListBox()->Items()->Items(1)->SetSelected(true);
  EXPECT_THAT(log, ElementsAre("select ListBox y 1 on"));

  log.clear();
  panel->OnItemChanging = Bind<&SelectPanelTest::ItemChanging>(this);
  panel->OnItemChange = Bind<&SelectPanelTest::ItemChange>(this);
  veto = true;
  panel->ListBox()->Items()->Items(0)->SetCaption("refused");
  EXPECT_THAT(Rows(), ElementsAre("x", "y"));
  veto = false;
  panel->ListBox()->Items()->Items(0)->SetCaption("z");
  EXPECT_THAT(log, ElementsAre("changing ListBox x", "changing ListBox x", "changed ListBox z"));
}

// ---- buttons
// ----------------------------------------------------------------------------------------

TEST_F(SelectPanelTest, F2ButtonsFocusTheirPartAndAskTheOwnerForm) {
  form->WindowProc = Bind<&SelectPanelTest::FormWndProc>(this);
  panel->OnOpenWinClick = Bind<&SelectPanelTest::OpenWin>(this);
  struct Case {
    TF2Button* button;
    TWinControl* part;
    TSelectStyle style;
  };
  const Case cases[] = {{panel->BeginF2Button(), panel->edBegin(), sp_Range},
                        {panel->FinalF2Button(), panel->edFinal(), sp_Range},
                        {panel->ListF2Button(), panel->ListBox(), sp_Discrete}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Named(c.button));
    panel->SetStyle(c.style);
    other->SetFocus();
    log.clear();
    f2_messages.clear();
    ASSERT_TRUE(ClickControl(c.button));
    EXPECT_TRUE(c.part->Focused());
    ASSERT_EQ(f2_messages.size(), 1u);
    EXPECT_EQ(f2_messages[0].first, 0u);
    EXPECT_EQ(f2_messages[0].second, reinterpret_cast<LPARAM>(c.part));
    EXPECT_EQ(log.back(), "openwin spCond " + Named(c.part));
  }
}

TEST_F(SelectPanelTest, DeleteButtonAsksThenDeletesTheSelectedRows) {
  panel->SetStyle(sp_Discrete);
  panel->OnDeleteClick = Bind<&SelectPanelTest::DeleteClick>(this);
  TOrlListView* list = panel->ListBox();
  for (const char* s : {"a", "b", "c"})
    list->AddRow({s});
  list->Items()->Items(0)->SetSelected(true);
  list->Items()->Items(2)->SetSelected(true);
  veto = true;
  ASSERT_TRUE(ClickControl(panel->DeleteButton()));
  EXPECT_THAT(Rows(), ElementsAre("a", "b", "c"));
  veto = false;
  ASSERT_TRUE(ClickControl(panel->DeleteButton()));
  EXPECT_THAT(Rows(), ElementsAre("b"));
  EXPECT_THAT(log, ElementsAre("delete spCond", "delete spCond"));
}

TEST_F(SelectPanelTest, ClearButtonEmptiesTheListAndFocusesIt) {
  panel->SetStyle(sp_Discrete);
  panel->OnClearClick = Bind<&SelectPanelTest::ClearClick>(this);
  panel->ListBox()->AddRow({"a"});
  other->SetFocus();
  ASSERT_TRUE(ClickControl(panel->ClearButton()));
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(panel->ListBox()->Focused());
  EXPECT_THAT(log, ElementsAre("clear spCond"));
}

TEST_F(SelectPanelTest, GlyphIndexThatCannotBeShownLeavesPictureZero) {
  panel->SetGlyphIndex(9);
  EXPECT_EQ(panel->GlyphIndex(), 9);
  EXPECT_EQ(panel->ListF2Button()->GlyphIndex(), 9);
  EXPECT_FALSE(panel->ListF2Button()->Glyph()->Empty());
  panel->SetGlyphIndex(51);  // past the library's last picture
  EXPECT_EQ(panel->GlyphIndex(), 9);
  for (TF2Button* b : {panel->BeginF2Button(), panel->FinalF2Button(), panel->ListF2Button()}) {
    EXPECT_EQ(b->GlyphIndex(), 0);
    EXPECT_EQ(b->Caption(), "0");
  }
}

// ---- focus, enabled state, forwarded events
// ---------------------------------------------------------

TEST_F(SelectPanelTest, SetFocusGoesToTheListInListInput) {
  panel->SetFocus();
  EXPECT_FALSE(panel->ListBox()->Focused());
  panel->SetStyle(sp_Discrete);
  other->SetFocus();
  panel->SetFocus();
  EXPECT_TRUE(panel->ListBox()->Focused());
}

TEST_F(SelectPanelTest, EnabledReachesEveryPart) {
  panel->SetEnabled(false);
  for (TComponent* c : panel->ComponentList())
    EXPECT_FALSE(static_cast<TControl*>(c)->Enabled()) << c->Name();
  // Parts disabled one by one follow the panel again.
  panel->SetEnabled(true);
  panel->edBegin()->SetEnabled(false);
  panel->SetEnabled(true);
  EXPECT_TRUE(panel->edBegin()->Enabled());
}

TEST_F(SelectPanelTest, KeysAndClicksOfThePartsReachThePanel) {
  panel->OnKeyDown = Bind<&SelectPanelTest::KeyDown>(this);
  panel->OnClick = Bind<&SelectPanelTest::PanelClick>(this);
  panel->edFinal()->SetFocus();
  SendKey(VK_F2);
  EXPECT_THAT(log, ElementsAre("keydown edFinal 113"));
  log.clear();
  ClickControl(panel->edBegin());
  ClickControl(panel->BeginLabel());
  ClickControl(panel->BeginF2Button());  // the button's own click
  EXPECT_THAT(log, ElementsAre("click edBegin", "click spCond"));
  log.clear();
  panel->OnDblClick = Bind<&SelectPanelTest::PanelClick>(this);
  panel->ListBox()->DblClick();
  panel->DeleteButton()->DblClick();
  EXPECT_THAT(log, ElementsAre("click ListBox", "click spCond"));
}

}  // namespace
}  // namespace vx::testing
