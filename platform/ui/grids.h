#pragma once
// Grids: TStringGrid (cells of text with fixed title rows and columns, an
// in-place editor, moving with keys) and TStringAlignGrid, the richer grid
// of the dialogs (per-column editors: edit button, pick list, check cell;
// per-cell hints, fonts and text lists).
//
// The in-place editor is part of the model: while EditorMode is on, typed
// characters change the current cell at once (OnSetEditText), Esc restores
// the text the cell had when the editor opened, and moving to another cell
// closes it (with goAlwaysShowEditor it opens again there).
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/stdctrls.h"

namespace vx {

enum class TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking
};
using enum TGridOption;
using TGridOptions = TSet<TGridOption>;

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

using TSelectCellEvent = TEvent<TObject*, int /*col*/, int /*row*/, bool& /*can_select*/>;
using TSetEditEvent = TEvent<TObject*, int, int, const std::string&>;
using TGetEditEvent = TEvent<TObject*, int, int, std::string&>;

class TCustomGrid : public TWinControl {
  VX_CLASS(TCustomGrid, TWinControl)
  explicit TCustomGrid(TComponent* owner);

  int ColCount() const { return col_count_; }
  void SetColCount(int n);
  int RowCount() const { return row_count_; }
  void SetRowCount(int n);
  // Fixed rows and columns stay on the left and top; there is always one
  // scrollable row and column beyond them.
  int FixedCols() const { return fixed_cols_; }
  void SetFixedCols(int n);
  int FixedRows() const { return fixed_rows_; }
  void SetFixedRows(int n);
  int DefaultColWidth() const { return default_col_width_; }
  void SetDefaultColWidth(int w);
  int DefaultRowHeight() const { return default_row_height_; }
  void SetDefaultRowHeight(int h);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions o);

  // The current cell; setting it asks OnSelectCell like a user's move.
  int Col() const { return col_; }
  void SetCol(int col) { FocusCell(col, row_); }
  int Row() const { return row_; }
  void SetRow(int row) { FocusCell(col_, row); }
  // Moves the current cell; false when out of range, fixed or refused.
  bool FocusCell(int col, int row, bool extend_selection = false);
  TGridRect Selection() const;

  // The in-place editor.
  bool EditorMode() const { return editing_; }
  void SetEditorMode(bool v);
  // The editor's text; empty while it is closed.
  const std::string& EditText() const { return edit_text_; }
  // Raw fact: the user changed the editor's text (opens the editor when the
  // grid allows editing).
  void EditorTextChanged(std::string_view text);
  // Raw fact: the user dragged column col to width (needs goColSizing).
  bool UserSizeColumn(int col, int width);

  // Inserts an empty row before row; deletes row (the row count shrinks,
  // never below the fixed rows plus one).
  void InsertRow(int row);
  void DeleteRow(int row);

  TSelectCellEvent OnSelectCell;
  TSetEditEvent OnSetEditText;
  TGetEditEvent OnGetEditText;

  bool WantsKey(Word key, TShiftState shift) const override;
  bool TakesFocusOnClick() const override { return true; }

 protected:
  // The text the editor starts with and where its changes go.
  virtual std::string GetEditText(int col, int row);
  virtual void SetEditText(int col, int row, const std::string& value);
  // Whether the current cell may show the editor.
  virtual bool CanEditShow() const;
  // Storage hooks of derived grids.
  virtual void SizeChanged(int /*old_cols*/, int /*old_rows*/) {}
  virtual void RowInserted(int) {}
  virtual void RowDeleted(int) {}
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;
  void ShowEditor();
  void HideEditor();
  // Replaces the editor's text as typing would.
  void TypeInEditor(std::string text);

 private:
  void ClampCurrent();
  int col_count_ = 5;
  int row_count_ = 5;
  int fixed_cols_ = 1;
  int fixed_rows_ = 1;
  int default_col_width_ = 64;
  int default_row_height_ = 24;
  std::map<int, int> col_widths_;
  std::map<int, int> row_heights_;
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  int col_ = 1;
  int row_ = 1;
  int anchor_col_ = 1;
  int anchor_row_ = 1;
  bool editing_ = false;
  bool edit_typed_ = false;
  std::string edit_text_;
  std::string edit_original_;
};

class TStringGrid : public TCustomGrid {
  VX_CLASS(TStringGrid, TCustomGrid)
  explicit TStringGrid(TComponent* owner);

  // Cells outside the grid read as empty; writing one raises EListError.
  std::string Cells(int col, int row) const;
  void SetCells(int col, int row, std::string_view text);
  // Every cell of the row (or column) emptied.
  void ClearRow(int row);
  void ClearCol(int col);

 protected:
  std::string GetEditText(int col, int row) override;
  void SetEditText(int col, int row, const std::string& value) override;
  void SizeChanged(int old_cols, int old_rows) override;
  void RowInserted(int row) override;
  void RowDeleted(int row) override;
  // A cell's text changed (the grid repaints it).
  virtual void CellChanged(int, int) { Invalidate(); }

 private:
  std::vector<std::vector<std::string>> cells_;  // [row][col]
};

// ---- aligned grid -----------------------------------------------------------------

enum class TCellEditor { ceEdit, ceEditButton, cePickList, ceCheckBox, ceReadOnly };
using enum TCellEditor;

using TShowHintCellEvent =
    TEvent<TObject*, int /*col*/, int /*row*/, std::string& /*hint*/, bool& /*can_show*/>;

class TStringAlignGrid : public TStringGrid {
  VX_CLASS(TStringAlignGrid, TStringGrid)
  explicit TStringAlignGrid(TComponent* owner);
  ~TStringAlignGrid() override;

  // The editor of a column's cells.
  TCellEditor ColEditor(int col) const;
  void SetColEditor(int col, TCellEditor editor);
  TAlignment ColAlignment(int col) const;
  void SetColAlignment(int col, TAlignment a);
  // The texts a check cell holds when checked and unchecked ("1", "0").
  void SetCheckValues(int col, std::string_view checked, std::string_view unchecked);
  const std::string& CheckedValue(int col) const;
  const std::string& UncheckedValue(int col) const;
  // A check cell counts as checked only with exactly the checked value.
  bool IsChecked(int col, int row) const;

  // Text lists attached to a cell, a column or a row (nullptr: none). A pick
  // list cell offers the first it finds of its cell's, its column's and its
  // row's list. Setting copies the list; nullptr removes it.
  TStrings* CellList(int col, int row) const;
  void SetCellList(int col, int row, const TStrings* list);
  TStrings* ColList(int col) const;
  void SetColList(int col, const TStrings* list);
  TStrings* RowList(int row) const;
  void SetRowList(int row, const TStrings* list);
  TStrings* PickList(int col, int row) const;

  // Per-cell hints, and the cells that carry their own font (nullptr: the
  // grid's font). Setting a font copies it; nullptr removes it.
  const std::string& CellHint(int col, int row) const;
  void SetCellHint(int col, int row, std::string_view hint);
  TFont* CellFont(int col, int row) const;
  void SetCellFont(int col, int row, const TFont* font);
  // The cells that have their own font, as (col, row).
  std::vector<std::pair<int, int>> CellsWithFont() const;

  // What a user sees hovering over a cell: its hint (the grid's when it has
  // none) as OnShowHintCell leaves it; empty when the handler hides it.
  std::string HintForCell(int col, int row);

  // Raw facts: the user pressed the current cell's edit button; clicked a
  // cell; chose entry index of the current cell's pick list.
  void EditButtonClick();
  void ClickCell(int col, int row);
  bool SelectPickItem(int index);

  TNotifyEvent OnEditButtonClick;
  TShowHintCellEvent OnShowHintCell;

 protected:
  bool CanEditShow() const override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;
  void RowInserted(int row) override;
  void RowDeleted(int row) override;

 private:
  struct Column {
    TCellEditor Editor = ceEdit;
    TAlignment Alignment = taLeftJustify;
    std::string Checked = "1";
    std::string Unchecked = "0";
  };
  struct CellExtra {
    std::string Hint;
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TStringList> List;
  };
  const Column& ColumnOf(int col) const;
  CellExtra& Extra(int col, int row);
  const CellExtra* FindExtra(int col, int row) const;
  void ToggleCheck(int col, int row);

  std::map<int, Column> columns_;
  std::map<std::pair<int, int>, CellExtra> cells_;  // (row, col)
  std::map<int, std::unique_ptr<TStringList>> col_lists_;
  std::map<int, std::unique_ptr<TStringList>> row_lists_;
};

}  // namespace vx
