#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/grids.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

class GridTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = Create<TForm>(nullptr);
    grid = Add<TStringAlignGrid>(form, "grReceive");
    grid->SetColCount(3);
    grid->SetRowCount(3);
    grid->SetFixedCols(0);
    grid->SetFixedRows(1);
    grid->OnSetEditText = Bind<&GridTest::SetEdit>(this);
    form->Show();
    grid->SetFocus();
  }

 public:
  void SetEdit(TObject*, int col, int row, const std::string& value) {
    log.push_back(IntToStr(col) + "," + IntToStr(row) + "=" + value);
  }
  bool refuse_row_2 = false;
  void SelectCell(TObject*, int, int row, bool& can) { can = !(refuse_row_2 && row == 2); }
  void EditButton(TObject*) { log.push_back("button " + IntToStr(grid->Col())); }
  void ShowHintCell(TObject*, int col, int, std::string& hint, bool& can_show) {
    if (col == 0 && grid->EditorMode())
      hint = "[F2] pick a user";
    else if (col == 2)
      can_show = false;
  }

  TForm* form = nullptr;
  TStringAlignGrid* grid = nullptr;
};

struct Step {
  Word key;
  TShiftState shift;
  TKeyChar ch;
};

TEST_F(GridTest, KeysMoveAndEditCells) {
  struct Case {
    const char* name;
    TGridOptions options;
    std::vector<Step> steps;
    int col, row;
    const char* cell_0_1;
    bool editing;
  } cases[] = {
      {"arrows stop at the edges and skip the fixed row",
       {},
       {{VK_UP, {}, 0}, {VK_RIGHT, {}, 0}, {VK_RIGHT, {}, 0}, {VK_RIGHT, {}, 0}, {VK_DOWN, {}, 0}},
       2,
       2,
       "",
       false},
      {"typing without editing changes nothing", {}, {{'A', {}, 'a'}}, 0, 1, "", false},
      {"typing opens the editor and writes the cell",
       {goEditing},
       {{'A', {}, 'a'}, {'B', {}, 'b'}},
       0,
       1,
       "ab",
       true},
      {"backspace takes the last character",
       {goEditing},
       {{'A', {}, 'a'}, {'B', {}, 'b'}, {VK_BACK, {}, 8}},
       0,
       1,
       "a",
       true},
      {"escape restores the text the editor opened with",
       {goEditing},
       {{'A', {}, 'a'}, {VK_ESCAPE, {}, 0}},
       0,
       1,
       "",
       false},
      {"enter closes the editor",
       {goEditing},
       {{'X', {}, 'x'}, {VK_RETURN, {}, 0}},
       0,
       1,
       "x",
       false},
      {"right moves before typing, not after",
       {goEditing, goAlwaysShowEditor},
       {{VK_RIGHT, {}, 0}, {VK_LEFT, {}, 0}, {'Q', {}, 'q'}, {VK_RIGHT, {}, 0}},
       0,
       1,
       "q",
       true},
      {"down leaves the editor and reopens it with always-show",
       {goEditing, goAlwaysShowEditor},
       {{'Q', {}, 'q'}, {VK_DOWN, {}, 0}},
       0,
       2,
       "q",
       true},
      {"tab wraps to the next row with goTabs",
       {goTabs},
       {{VK_TAB, {}, 0}, {VK_TAB, {}, 0}, {VK_TAB, {}, 0}},
       0,
       2,
       "",
       false},
      {"shift+tab goes back", {goTabs}, {{VK_TAB, {ssShift}, 0}}, 0, 1, "", false},
      {"row select shows no editor", {goEditing, goRowSelect}, {{'A', {}, 'a'}}, 0, 1, "", false},
      {"ctrl+end goes to the last row, home to the first column",
       {},
       {{VK_RIGHT, {}, 0}, {VK_END, {ssCtrl}, 0}, {VK_HOME, {}, 0}},
       0,
       2,
       "",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetEditorMode(false);
    grid->SetOptions(TGridOptions{});
    grid->ClearRow(1);
    grid->FocusCell(0, 1);
    grid->SetOptions(c.options);
    for (const Step& s : c.steps)
      KeyStroke(grid, s.key, s.shift, s.ch);
    EXPECT_EQ(grid->Col(), c.col);
    EXPECT_EQ(grid->Row(), c.row);
    EXPECT_EQ(grid->Cells(0, 1), c.cell_0_1);
    EXPECT_EQ(grid->EditorMode(), c.editing);
  }
}

TEST_F(GridTest, EditsReachTheHandlerAndRefusedCellsAreNotEntered) {
  grid->SetOptions({goEditing});
  grid->SetCells(1, 1, "old");
  grid->FocusCell(1, 1);
  SendKey(VK_F2);
  EXPECT_EQ(grid->EditText(), "old");
  SendText("n");
  EXPECT_THAT(log, ElementsAre("1,1=n"));
  EXPECT_EQ(grid->Cells(1, 1), "n");

  grid->OnSelectCell = Bind<&GridTest::SelectCell>(this);
  refuse_row_2 = true;
  SendKey(VK_DOWN);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_FALSE(grid->FocusCell(1, 0));  // fixed row
  EXPECT_FALSE(grid->FocusCell(3, 1));  // beyond the grid
  EXPECT_THROW(grid->SetCells(3, 0, "x"), EListError);
  EXPECT_EQ(grid->Cells(9, 9), "");
}

TEST_F(GridTest, RangeSelectionColumnSizingAndFixedCounts) {
  grid->SetOptions({goRangeSelect});
  grid->FocusCell(0, 1);
  SendKey(VK_RIGHT, {ssShift});
  SendKey(VK_DOWN, {ssShift});
  EXPECT_EQ(grid->Selection(), (TGridRect{0, 1, 1, 2}));
  SendKey(VK_LEFT);
  EXPECT_EQ(grid->Selection(), (TGridRect{0, 2, 0, 2}));
  grid->SetOptions({goRowSelect});
  EXPECT_EQ(grid->Selection(), (TGridRect{0, 2, 2, 2}));

  grid->SetDefaultRowHeight(18);
  grid->SetColWidths(0, 47);
  EXPECT_EQ(grid->ColWidths(0), 47);
  EXPECT_EQ(grid->ColWidths(1), grid->DefaultColWidth());
  EXPECT_EQ(grid->RowHeights(2), 18);
  EXPECT_FALSE(grid->UserSizeColumn(1, 90));
  grid->SetOptions({goColSizing});
  EXPECT_TRUE(grid->UserSizeColumn(1, 90));
  EXPECT_EQ(grid->ColWidths(1), 90);

  EXPECT_THROW(grid->SetFixedRows(3), EInvalidOperation);
  grid->SetRowCount(1);  // the fixed rows give way
  EXPECT_EQ(grid->FixedRows(), 0);
  EXPECT_EQ(grid->Row(), 0);
}

TEST_F(GridTest, CheckCellsPickListsAndEditButtonsByColumn) {
  grid->SetOptions({goEditing, goAlwaysShowEditor});
  grid->SetColEditor(0, ceEditButton);
  grid->SetColEditor(1, cePickList);
  grid->SetColEditor(2, ceCheckBox);
  grid->SetCheckValues(2, "Y", "N");
  TStringList types;
  types.SetText("1.System user\r\n5.Portal user\r\n");
  grid->SetColList(1, &types);
  grid->OnEditButtonClick = Bind<&GridTest::EditButton>(this);

  // Check cell: space and clicks toggle between the two values.
  grid->FocusCell(2, 1);
  EXPECT_FALSE(grid->EditorMode());
  SendKey(VK_SPACE);
  EXPECT_EQ(grid->Cells(2, 1), "Y");
  grid->ClickCell(2, 1);
  EXPECT_EQ(grid->Cells(2, 1), "N");
  grid->SetCells(2, 2, "maybe");
  EXPECT_FALSE(grid->IsChecked(2, 2));
  grid->ClickCell(2, 2);
  EXPECT_EQ(grid->Cells(2, 2), "Y");
  EXPECT_THROW(grid->SetCheckValues(2, "Y", "Y"), EInvalidOperation);

  // Pick list: a letter picks the next entry starting with it.
  grid->FocusCell(1, 1);
  SendText("5");
  EXPECT_EQ(grid->Cells(1, 1), "5.Portal user");
  SendText("z");
  EXPECT_EQ(grid->Cells(1, 1), "5.Portal user");
  EXPECT_TRUE(grid->SelectPickItem(0));
  EXPECT_EQ(grid->Cells(1, 1), "1.System user");
  EXPECT_FALSE(grid->SelectPickItem(2));
  // A cell's own list comes before its column's.
  TStringList own;
  own.Add("only");
  grid->SetCellList(1, 2, &own);
  EXPECT_EQ(grid->PickList(1, 2)->Get(0), "only");
  EXPECT_EQ(grid->PickList(1, 1), grid->ColList(1));

  // Edit button: by the raw fact or Ctrl+Enter, only in its column.
  grid->EditButtonClick();
  grid->FocusCell(0, 1);
  grid->EditButtonClick();
  SendKey(VK_RETURN, {ssCtrl});
  EXPECT_THAT(log, ::testing::Contains("button 0"));
  EXPECT_EQ(std::count(log.begin(), log.end(), "button 0"), 2);
}

TEST_F(GridTest, HintsFontsAndListsFollowTheirRows) {
  grid->SetOptions({goEditing, goAlwaysShowEditor});
  grid->SetHint("grid hint");
  grid->SetCellHint(1, 1, "cell hint");
  grid->OnShowHintCell = Bind<&GridTest::ShowHintCell>(this);
  grid->FocusCell(0, 1);
  EXPECT_EQ(grid->HintForCell(0, 1), "[F2] pick a user");
  EXPECT_EQ(grid->HintForCell(1, 1), "cell hint");
  EXPECT_EQ(grid->HintForCell(1, 2), "grid hint");
  EXPECT_EQ(grid->HintForCell(2, 1), "");

  TFont font;
  font.SetName("SimSun");
  grid->SetCellFont(1, 2, &font);
  TStringList list;
  list.Add("row list");
  grid->SetRowList(2, &list);
  grid->SetCells(0, 2, "second");
  grid->InsertRow(1);
  EXPECT_EQ(grid->RowCount(), 4);
  EXPECT_EQ(grid->Cells(0, 3), "second");
  EXPECT_EQ(grid->CellHint(1, 2), "cell hint");
  ASSERT_NE(grid->CellFont(1, 3), nullptr);
  EXPECT_EQ(grid->CellFont(1, 3)->Name(), "SimSun");
  EXPECT_THAT(grid->CellsWithFont(), ElementsAre(std::make_pair(1, 3)));
  EXPECT_NE(grid->RowList(3), nullptr);

  grid->DeleteRow(2);  // the row with the hint
  EXPECT_EQ(grid->CellHint(1, 1), "");
  EXPECT_EQ(grid->CellFont(1, 2)->Name(), "SimSun");
  grid->DeleteRow(1);
  grid->DeleteRow(1);  // the last data row stays, emptied
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(grid->Cells(0, 1), "");
  EXPECT_EQ(grid->CellFont(1, 1), nullptr);
  EXPECT_THROW(grid->DeleteRow(0), EListError);
}

}  // namespace
}  // namespace vx::testing

namespace vx::testing {
namespace {

// The grid keeps Enter and Esc while its editor is open, and Tab only with
// goTabs; otherwise the form's default keys work as usual.
TEST_F(GridTest, DialogKeysReachTheFormOnlyWhenTheGridDoesNotKeepThem) {
  auto* ok = Add<TButton>(form, "ok");
  ok->SetDefault(true);
  ok->OnClick = Bind<&UiTest::Clicked>(this);
  auto* cancel = Add<TButton>(form, "cancel");
  cancel->SetCancel(true);
  cancel->OnClick = Bind<&UiTest::Clicked>(this);
  grid->SetOptions({goEditing});
  grid->FocusCell(0, 1);
  grid->SetFocus();

  SendText("x");
  ASSERT_TRUE(grid->EditorMode());
  SendKey(VK_ESCAPE);  // restores the cell
  SendText("y");
  SendKey(VK_RETURN);  // closes the editor
  EXPECT_THAT(log, ElementsAre("0,1=x", "0,1=", "0,1=y"));
  EXPECT_EQ(grid->Cells(0, 1), "y");
  EXPECT_FALSE(grid->EditorMode());

  log.clear();
  SendKey(VK_RETURN);
  SendKey(VK_ESCAPE);
  EXPECT_THAT(log, ElementsAre("click ok", "click cancel"));
  EXPECT_FALSE(grid->EditorMode());
  // Without a default button Enter opens the editor.
  ok->SetDefault(false);
  grid->SetFocus();
  SendKey(VK_RETURN);
  EXPECT_TRUE(grid->EditorMode());

  grid->SetFocus();
  grid->SetOptions({goTabs});
  SendKey(VK_TAB);
  EXPECT_TRUE(grid->Focused());
  grid->SetOptions({});
  SendKey(VK_TAB);
  EXPECT_TRUE(ok->Focused());
}

}  // namespace
}  // namespace vx::testing
