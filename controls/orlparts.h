#pragma once
// The three small parts of the selection panel: its list of chosen values
// (TOrlListView), its two range edits (TOrlMaskEdit) and its type check box
// (TOrlCheckBox).
#include <string>
#include <vector>

#include "controls/btchkbox.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/mask.h"

namespace vx {

// A report-style list of rows whose columns grow as rows with more texts
// arrive. Clicking a column header sorts by that column (again: the other
// way round); the same order keeps a list that sorts itself sorted.
class TOrlListView : public TListView {
  VX_CLASS(TOrlListView, TListView)
  explicit TOrlListView(TComponent* owner);

  // Column widths follow the content after each added row.
  bool ColumnsAutoSize() const { return columns_auto_size_; }
  void SetColumnsAutoSize(bool v) { columns_auto_size_ = v; }

  // Adds a row: texts[0] is the caption, the rest its sub-items. Missing
  // columns are added ("Data2", "Data3", ...), every row is padded to the
  // widest one, duplicates are removed as the owning panel asks. False for
  // no texts or any error; rows added before stay.
  bool AddRow(const std::vector<std::string>& texts);
  void ClearRows();

  // The sort column (0 = the caption) and direction of the header clicks.
  int SortColumn() const { return sort_column_; }
  bool SortDescending() const { return sort_descending_; }
  // The rows' order: the sort column's texts ignoring case, then the
  // captions ignoring case and exactly, then the second column; negated
  // when descending.
  int CompareRows(TListItem* a, TListItem* b) const;
  // Sizes every column to the widest of its caption and texts, counted in
  // interface bytes times the width of "W".
  void FitColumns();
  // The width a column of that many interface bytes gets.
  int ByteWidth(int bytes) const;

 private:
  void ColumnClicked(TObject* sender, TListColumn* column);
  void CompareItems(TObject* sender, TListItem* a, TListItem* b, int data, int& result);

  bool columns_auto_size_ = true;
  int sort_column_ = 0;
  bool sort_descending_ = false;
};

// A masked edit whose change events can be held back while code rewrites
// its text.
class TOrlMaskEdit : public TMaskEdit {
  VX_CLASS(TOrlMaskEdit, TMaskEdit)
  explicit TOrlMaskEdit(TComponent* owner) : TMaskEdit(owner) {}

  bool NoChangeEvents() const { return no_change_events_; }
  void SetNoChangeEvents(bool v) { no_change_events_ = v; }

 protected:
  void Change() override;

 private:
  bool no_change_events_ = false;
};

// The panel's type check box: a bitmap check box without behaviour of its
// own.
class TOrlCheckBox : public TBitCheckBox {
  VX_CLASS(TOrlCheckBox, TBitCheckBox)
  explicit TOrlCheckBox(TComponent* owner) : TBitCheckBox(owner) {}
};

// Text order as the interface's locale sees it, ignoring letter case:
// compared in the bytes of the interface code page.
int CompareLocaleText(std::string_view a, std::string_view b);
// Byte order of two texts in the interface code page.
int CompareInterfaceBytes(std::string_view a, std::string_view b);

}  // namespace vx
