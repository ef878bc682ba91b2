#include "platform/ui/grids.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/chars.h"
#include "platform/ui/navigation.h"

namespace vx {

namespace {

void RegisterGridTypes() {
  RegisterEnumType("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  const TTypeInfo& option = RegisterEnumType(
      "TGridOption",
      {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
       "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
       "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"});
  RegisterSetType("TGridOptions", option);
}

[[noreturn]] void GridIndexError(int col, int row) {
  throw EListError(Format("Grid index out of range (%d, %d)", col, row));
}

// Shifts the keys of a per-row map: rows from row on move by delta; with
// delta -1 the entry of row itself is dropped.
template <class V>
void ShiftRows(std::map<int, V>& m, int row, int delta) {
  std::map<int, V> out;
  for (auto& [r, v] : m) {
    if (delta < 0 && r == row) continue;
    out.emplace(r >= row + (delta < 0 ? 1 : 0) ? r + delta : r, std::move(v));
  }
  m = std::move(out);
}

std::string DropLastChar(const std::string& s) {
  std::u32string chars = CodePoints(s);
  if (!chars.empty()) chars.pop_back();
  std::string out;
  for (char32_t c : chars)
    out += CodePointToUtf8(c);
  return out;
}

}  // namespace

// ---- TCustomGrid ---------------------------------------------------------------------

const TClassInfo& TCustomGrid::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomGrid>("TCustomGrid", [](auto& r) {
    RegisterGridTypes();
    r.Published(false);
    using G = TCustomGrid;
    r.template Ord<&G::ColCount, &G::SetColCount>("ColCount", "Integer");
    r.template Ord<&G::DefaultColWidth, &G::SetDefaultColWidth>("DefaultColWidth", "Integer");
    r.template Ord<&G::DefaultRowHeight, &G::SetDefaultRowHeight>("DefaultRowHeight", "Integer");
    r.template Ord<&G::FixedCols, &G::SetFixedCols>("FixedCols", "Integer");
    r.template Ord<&G::FixedRows, &G::SetFixedRows>("FixedRows", "Integer");
    r.template Ord<&G::Options, &G::SetOptions>("Options", "TGridOptions");
    r.template Ord<&G::RowCount, &G::SetRowCount>("RowCount", "Integer");
    r.template Event<&G::OnGetEditText>("OnGetEditText", "TGetEditEvent");
    r.template Event<&G::OnSelectCell>("OnSelectCell", "TSelectCellEvent");
    r.template Event<&G::OnSetEditText>("OnSetEditText", "TSetEditEvent");
  });
  return info;
}

TCustomGrid::TCustomGrid(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 320, 120);
  SetColor(clWindow);
  SetTabStop(true);
}

void TCustomGrid::SetColCount(int n) {
  n = std::max(1, n);
  if (n == col_count_) return;
  int old = col_count_;
  col_count_ = n;
  if (fixed_cols_ >= n) fixed_cols_ = n - 1;
  SizeChanged(old, row_count_);
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::SetRowCount(int n) {
  n = std::max(1, n);
  if (n == row_count_) return;
  int old = row_count_;
  row_count_ = n;
  if (fixed_rows_ >= n) fixed_rows_ = n - 1;
  SizeChanged(col_count_, old);
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::SetFixedCols(int n) {
  if (n < 0 || n >= col_count_)
    throw EInvalidOperation("Fixed column count must be less than column count");
  fixed_cols_ = n;
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int n) {
  if (n < 0 || n >= row_count_)
    throw EInvalidOperation("Fixed row count must be less than row count");
  fixed_rows_ = n;
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int w) {
  default_col_width_ = std::max(0, w);
  col_widths_.clear();
  Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int h) {
  default_row_height_ = std::max(0, h);
  row_heights_.clear();
  Invalidate();
}

int TCustomGrid::ColWidths(int col) const {
  auto it = col_widths_.find(col);
  return it == col_widths_.end() ? default_col_width_ : it->second;
}

void TCustomGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= col_count_) GridIndexError(col, 0);
  col_widths_[col] = std::max(0, width);
  Invalidate();
}

int TCustomGrid::RowHeights(int row) const {
  auto it = row_heights_.find(row);
  return it == row_heights_.end() ? default_row_height_ : it->second;
}

void TCustomGrid::SetRowHeights(int row, int height) {
  if (row < 0 || row >= row_count_) GridIndexError(0, row);
  row_heights_[row] = std::max(0, height);
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions o) {
  options_ = o;
  if (editing_ && !CanEditShow()) HideEditor();
  if (!editing_ && o.Contains(goEditing) && o.Contains(goAlwaysShowEditor)) ShowEditor();
  Invalidate();
}

void TCustomGrid::ClampCurrent() {
  int c = std::clamp(col_, fixed_cols_, col_count_ - 1);
  int r = std::clamp(row_, fixed_rows_, row_count_ - 1);
  if (c != col_ || r != row_) HideEditor();
  col_ = c;
  row_ = r;
  anchor_col_ = std::clamp(anchor_col_, fixed_cols_, col_count_ - 1);
  anchor_row_ = std::clamp(anchor_row_, fixed_rows_, row_count_ - 1);
}

bool TCustomGrid::FocusCell(int col, int row, bool extend_selection) {
  if (col < fixed_cols_ || col >= col_count_ || row < fixed_rows_ || row >= row_count_)
    return false;
  bool extend = extend_selection && options_.Contains(goRangeSelect);
  if (col == col_ && row == row_ && !extend) {
    anchor_col_ = col;
    anchor_row_ = row;
    return true;
  }
  bool can_select = true;
  OnSelectCell(this, col, row, can_select);
  if (!can_select) return false;
  HideEditor();
  col_ = col;
  row_ = row;
  if (!extend) {
    anchor_col_ = col;
    anchor_row_ = row;
  }
  if (options_.Contains(goEditing) && options_.Contains(goAlwaysShowEditor)) ShowEditor();
  Invalidate();
  return true;
}

TGridRect TCustomGrid::Selection() const {
  TGridRect r{std::min(anchor_col_, col_), std::min(anchor_row_, row_), std::max(anchor_col_, col_),
              std::max(anchor_row_, row_)};
  if (options_.Contains(goRowSelect)) {
    r.Left = fixed_cols_;
    r.Right = col_count_ - 1;
  }
  return r;
}

bool TCustomGrid::CanEditShow() const {
  return options_.Contains(goEditing) && !options_.Contains(goRowSelect) && Enabled();
}

void TCustomGrid::SetEditorMode(bool v) {
  if (v)
    ShowEditor();
  else
    HideEditor();
}

void TCustomGrid::ShowEditor() {
  if (editing_ || !CanEditShow()) return;
  edit_original_ = GetEditText(col_, row_);
  edit_text_ = edit_original_;
  edit_typed_ = false;
  editing_ = true;
}

void TCustomGrid::HideEditor() {
  editing_ = false;
  edit_typed_ = false;
  edit_text_.clear();
}

void TCustomGrid::TypeInEditor(std::string text) {
  ShowEditor();
  if (!editing_) return;
  edit_text_ = std::move(text);
  edit_typed_ = true;
  SetEditText(col_, row_, edit_text_);
}

void TCustomGrid::EditorTextChanged(std::string_view text) {
  TypeInEditor(std::string(text));
}

bool TCustomGrid::UserSizeColumn(int col, int width) {
  if (!options_.Contains(goColSizing) || col < 0 || col >= col_count_) return false;
  SetColWidths(col, width);
  return true;
}

std::string TCustomGrid::GetEditText(int col, int row) {
  std::string s;
  OnGetEditText(this, col, row, s);
  return s;
}

void TCustomGrid::SetEditText(int col, int row, const std::string& value) {
  OnSetEditText(this, col, row, value);
}

void TCustomGrid::InsertRow(int row) {
  row = std::clamp(row, fixed_rows_, row_count_);
  HideEditor();
  ++row_count_;
  ShiftRows(row_heights_, row, 1);
  RowInserted(row);
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::DeleteRow(int row) {
  if (row < fixed_rows_ || row >= row_count_) GridIndexError(0, row);
  HideEditor();
  ShiftRows(row_heights_, row, -1);
  RowDeleted(row);
  --row_count_;
  if (row_count_ < fixed_rows_ + 1) {
    // The last scrollable row stays, empty.
    ++row_count_;
    RowInserted(row_count_ - 1);
  }
  ClampCurrent();
  Invalidate();
}

bool TCustomGrid::WantsKey(Word key, TShiftState shift) const {
  if (IsNavigationKey(key)) return true;
  switch (key) {
    case VK_F2:
      return true;
    case VK_TAB:
      return options_.Contains(goTabs);
    case VK_RETURN:
    case VK_ESCAPE:
      return editing_;
    default:
      return TWinControl::WantsKey(key, shift);
  }
}

void TCustomGrid::DefaultKeyDown(Word& key, TShiftState shift) {
  bool ctrl = shift.Contains(ssCtrl);
  bool extend = shift.Contains(ssShift) && !editing_;
  // Left, Right, Home and End edit the text once the user typed into the
  // editor; before that they move between cells.
  bool caret_keys = editing_ && edit_typed_;
  bool row_select = options_.Contains(goRowSelect);
  int page = std::max(1, ClientHeight() / std::max(1, default_row_height_ + 1) - fixed_rows_);
  int c = col_, r = row_;
  switch (key) {
    case VK_UP:
      --r;
      break;
    case VK_DOWN:
      ++r;
      break;
    case VK_PRIOR:
      r -= page;
      break;
    case VK_NEXT:
      r += page;
      break;
    case VK_LEFT:
      if (caret_keys || row_select) return;
      --c;
      break;
    case VK_RIGHT:
      if (caret_keys || row_select) return;
      ++c;
      break;
    case VK_HOME:
      if (caret_keys) return;
      (ctrl ? r : c) = ctrl ? fixed_rows_ : fixed_cols_;
      break;
    case VK_END:
      if (caret_keys) return;
      (ctrl ? r : c) = ctrl ? row_count_ - 1 : col_count_ - 1;
      break;
    case VK_TAB:
      if (!options_.Contains(goTabs)) return;
      extend = false;
      if (shift.Contains(ssShift)) {
        if (--c < fixed_cols_) {
          c = col_count_ - 1;
          if (--r < fixed_rows_) return;
        }
      } else if (++c >= col_count_) {
        c = fixed_cols_;
        if (++r >= row_count_) return;
      }
      break;
    case VK_F2:
      ShowEditor();
      return;
    case VK_RETURN:
      // The open editor keeps Enter; without one it is the form's (the
      // default button), and reaches KeyPress only when nobody took it.
      if (!editing_) return;
      if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
      key = 0;
      return;
    case VK_ESCAPE:
      if (!editing_) return;
      if (edit_typed_) SetEditText(col_, row_, edit_original_);
      HideEditor();
      if (options_.Contains(goAlwaysShowEditor)) ShowEditor();
      key = 0;
      return;
    default:
      return;
  }
  c = std::clamp(c, fixed_cols_, col_count_ - 1);
  r = std::clamp(r, fixed_rows_, row_count_ - 1);
  FocusCell(c, r, extend);
}

void TCustomGrid::DefaultKeyPress(TKeyChar& key) {
  if (key == 8) {
    if (editing_) TypeInEditor(edit_typed_ ? DropLastChar(edit_text_) : std::string());
    return;
  }
  if (key == 13 && !options_.Contains(goAlwaysShowEditor)) ShowEditor();
  if (key < 32) return;
  // The first character typed replaces the text the editor opened with.
  std::string base = editing_ && edit_typed_ ? edit_text_ : std::string();
  TypeInEditor(base + CodePointToUtf8(key));
}

// ---- TStringGrid ---------------------------------------------------------------------

const TClassInfo& TStringGrid::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStringGrid>("TStringGrid", [](auto& r) {
    for (const char* name : {"Align",
                             "Color",
                             "ColCount",
                             "DefaultColWidth",
                             "DefaultRowHeight",
                             "Enabled",
                             "FixedCols",
                             "FixedRows",
                             "Font",
                             "Hint",
                             "Options",
                             "ParentColor",
                             "ParentFont",
                             "ParentShowHint",
                             "RowCount",
                             "ShowHint",
                             "TabOrder",
                             "TabStop",
                             "Visible",
                             "OnClick",
                             "OnDblClick",
                             "OnEnter",
                             "OnExit",
                             "OnGetEditText",
                             "OnKeyDown",
                             "OnKeyPress",
                             "OnKeyUp",
                             "OnSelectCell",
                             "OnSetEditText"})
      r.Publish(name);
  });
  return info;
}

TStringGrid::TStringGrid(TComponent* owner) : TCustomGrid(owner) {
  SizeChanged(0, 0);
}

std::string TStringGrid::Cells(int col, int row) const {
  if (row < 0 || col < 0 || row >= static_cast<int>(cells_.size())) return {};
  const auto& r = cells_[static_cast<std::size_t>(row)];
  return col < static_cast<int>(r.size()) ? r[static_cast<std::size_t>(col)] : std::string();
}

void TStringGrid::SetCells(int col, int row, std::string_view text) {
  if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) GridIndexError(col, row);
  std::string& cell = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  if (cell == text) return;
  cell = std::string(text);
  CellChanged(col, row);
}

void TStringGrid::ClearRow(int row) {
  for (int c = 0; c < ColCount(); ++c)
    SetCells(c, row, "");
}

void TStringGrid::ClearCol(int col) {
  for (int r = 0; r < RowCount(); ++r)
    SetCells(col, r, "");
}

std::string TStringGrid::GetEditText(int col, int row) {
  std::string s = Cells(col, row);
  OnGetEditText(this, col, row, s);
  return s;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
  SetCells(col, row, value);
  TCustomGrid::SetEditText(col, row, value);
}

void TStringGrid::SizeChanged(int, int) {
  cells_.resize(static_cast<std::size_t>(RowCount()));
  for (auto& row : cells_)
    row.resize(static_cast<std::size_t>(ColCount()));
}

void TStringGrid::RowInserted(int row) {
  cells_.insert(cells_.begin() + row,
                std::vector<std::string>(static_cast<std::size_t>(ColCount())));
}

void TStringGrid::RowDeleted(int row) {
  cells_.erase(cells_.begin() + row);
}

// ---- TStringAlignGrid ----------------------------------------------------------------

const TClassInfo& TStringAlignGrid::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStringAlignGrid>("TStringAlignGrid", [](auto& r) {
    using G = TStringAlignGrid;
    r.template Event<&G::OnEditButtonClick>("OnEditButtonClick");
    r.template Event<&G::OnShowHintCell>("OnShowHintCell", "TShowHintCellEvent");
  });
  return info;
}

TStringAlignGrid::TStringAlignGrid(TComponent* owner) : TStringGrid(owner) {}
TStringAlignGrid::~TStringAlignGrid() = default;

const TStringAlignGrid::Column& TStringAlignGrid::ColumnOf(int col) const {
  static const Column plain;
  auto it = columns_.find(col);
  return it == columns_.end() ? plain : it->second;
}

TCellEditor TStringAlignGrid::ColEditor(int col) const {
  return ColumnOf(col).Editor;
}

void TStringAlignGrid::SetColEditor(int col, TCellEditor editor) {
  if (col < 0 || col >= ColCount()) GridIndexError(col, 0);
  columns_[col].Editor = editor;
  if (EditorMode() && col == Col() && !CanEditShow()) HideEditor();
}

TAlignment TStringAlignGrid::ColAlignment(int col) const {
  return ColumnOf(col).Alignment;
}

void TStringAlignGrid::SetColAlignment(int col, TAlignment a) {
  if (col < 0 || col >= ColCount()) GridIndexError(col, 0);
  columns_[col].Alignment = a;
  Invalidate();
}

void TStringAlignGrid::SetCheckValues(int col, std::string_view checked,
                                      std::string_view unchecked) {
  if (col < 0 || col >= ColCount()) GridIndexError(col, 0);
  if (checked == unchecked) throw EInvalidOperation("A check cell needs two different values");
  columns_[col].Checked = std::string(checked);
  columns_[col].Unchecked = std::string(unchecked);
}

const std::string& TStringAlignGrid::CheckedValue(int col) const {
  return ColumnOf(col).Checked;
}

const std::string& TStringAlignGrid::UncheckedValue(int col) const {
  return ColumnOf(col).Unchecked;
}

bool TStringAlignGrid::IsChecked(int col, int row) const {
  return Cells(col, row) == ColumnOf(col).Checked;
}

TStringAlignGrid::CellExtra& TStringAlignGrid::Extra(int col, int row) {
  if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) GridIndexError(col, row);
  return cells_[{row, col}];
}

const TStringAlignGrid::CellExtra* TStringAlignGrid::FindExtra(int col, int row) const {
  auto it = cells_.find({row, col});
  return it == cells_.end() ? nullptr : &it->second;
}

namespace {
std::unique_ptr<TStringList> CopyList(const TStrings* list) {
  if (!list) return nullptr;
  auto copy = std::make_unique<TStringList>();
  copy->Assign(list);
  return copy;
}
}  // namespace

TStrings* TStringAlignGrid::CellList(int col, int row) const {
  const CellExtra* e = FindExtra(col, row);
  return e ? e->List.get() : nullptr;
}

void TStringAlignGrid::SetCellList(int col, int row, const TStrings* list) {
  Extra(col, row).List = CopyList(list);
}

TStrings* TStringAlignGrid::ColList(int col) const {
  auto it = col_lists_.find(col);
  return it == col_lists_.end() ? nullptr : it->second.get();
}

void TStringAlignGrid::SetColList(int col, const TStrings* list) {
  if (col < 0 || col >= ColCount()) GridIndexError(col, 0);
  if (list)
    col_lists_[col] = CopyList(list);
  else
    col_lists_.erase(col);
}

TStrings* TStringAlignGrid::RowList(int row) const {
  auto it = row_lists_.find(row);
  return it == row_lists_.end() ? nullptr : it->second.get();
}

void TStringAlignGrid::SetRowList(int row, const TStrings* list) {
  if (row < 0 || row >= RowCount()) GridIndexError(0, row);
  if (list)
    row_lists_[row] = CopyList(list);
  else
    row_lists_.erase(row);
}

TStrings* TStringAlignGrid::PickList(int col, int row) const {
  if (TStrings* l = CellList(col, row)) return l;
  if (TStrings* l = ColList(col)) return l;
  return RowList(row);
}

const std::string& TStringAlignGrid::CellHint(int col, int row) const {
  static const std::string none;
  const CellExtra* e = FindExtra(col, row);
  return e ? e->Hint : none;
}

void TStringAlignGrid::SetCellHint(int col, int row, std::string_view hint) {
  Extra(col, row).Hint = std::string(hint);
}

TFont* TStringAlignGrid::CellFont(int col, int row) const {
  const CellExtra* e = FindExtra(col, row);
  return e ? e->Font.get() : nullptr;
}

void TStringAlignGrid::SetCellFont(int col, int row, const TFont* font) {
  CellExtra& e = Extra(col, row);
  if (!font) {
    e.Font.reset();
  } else {
    if (!e.Font) e.Font = std::make_unique<TFont>();
    e.Font->Assign(font);
  }
  Invalidate();
}

std::vector<std::pair<int, int>> TStringAlignGrid::CellsWithFont() const {
  std::vector<std::pair<int, int>> out;
  for (const auto& [key, e] : cells_)
    if (e.Font) out.emplace_back(key.second, key.first);
  return out;
}

std::string TStringAlignGrid::HintForCell(int col, int row) {
  std::string hint = CellHint(col, row);
  if (hint.empty()) hint = Hint();
  bool can_show = true;
  OnShowHintCell(this, col, row, hint, can_show);
  return can_show ? hint : std::string();
}

bool TStringAlignGrid::CanEditShow() const {
  TCellEditor e = ColumnOf(Col()).Editor;
  return TStringGrid::CanEditShow() && e != ceReadOnly && e != ceCheckBox;
}

void TStringAlignGrid::EditButtonClick() {
  if (ColumnOf(Col()).Editor != ceEditButton || !Options().Contains(goEditing)) return;
  OnEditButtonClick(this);
}

void TStringAlignGrid::ToggleCheck(int col, int row) {
  const Column& c = ColumnOf(col);
  SetEditText(col, row, IsChecked(col, row) ? c.Unchecked : c.Checked);
}

void TStringAlignGrid::ClickCell(int col, int row) {
  if (!FocusCell(col, row)) return;
  if (ColumnOf(col).Editor == ceCheckBox && Options().Contains(goEditing) && Enabled())
    ToggleCheck(col, row);
}

bool TStringAlignGrid::SelectPickItem(int index) {
  TStrings* list = PickList(Col(), Row());
  if (ColumnOf(Col()).Editor != cePickList || !list || index < 0 || index >= list->Count())
    return false;
  ShowEditor();
  if (!EditorMode()) return false;
  TypeInEditor(list->Get(index));
  return true;
}

void TStringAlignGrid::DefaultKeyDown(Word& key, TShiftState shift) {
  if (key == VK_RETURN && shift.Contains(ssCtrl) && ColumnOf(Col()).Editor == ceEditButton) {
    EditButtonClick();
    key = 0;
    return;
  }
  TStringGrid::DefaultKeyDown(key, shift);
}

void TStringAlignGrid::DefaultKeyPress(TKeyChar& key) {
  switch (ColumnOf(Col()).Editor) {
    case ceReadOnly:
      return;
    case ceCheckBox:
      if (key == ' ' && Options().Contains(goEditing)) ToggleCheck(Col(), Row());
      return;
    case cePickList: {
      // A drop-down list: a letter picks the next entry beginning with it.
      TStrings* list = PickList(Col(), Row());
      if (!list || key < 32) return;
      std::string typed = UpperCase(CodePointToUtf8(key));
      int from = list->IndexOf(Cells(Col(), Row()));
      for (int n = 1; n <= list->Count(); ++n) {
        int i = (from + n) % list->Count();
        if (i < 0) i += list->Count();
        if (UpperCase(list->Get(i)).starts_with(typed)) {
          SelectPickItem(i);
          return;
        }
      }
      return;
    }
    default:
      TStringGrid::DefaultKeyPress(key);
  }
}

void TStringAlignGrid::RowInserted(int row) {
  TStringGrid::RowInserted(row);
  std::map<std::pair<int, int>, CellExtra> moved;
  for (auto& [key, e] : cells_)
    moved.emplace(std::make_pair(key.first >= row ? key.first + 1 : key.first, key.second),
                  std::move(e));
  cells_ = std::move(moved);
  ShiftRows(row_lists_, row, 1);
}

void TStringAlignGrid::RowDeleted(int row) {
  TStringGrid::RowDeleted(row);
  std::map<std::pair<int, int>, CellExtra> moved;
  for (auto& [key, e] : cells_)
    if (key.first != row)
      moved.emplace(std::make_pair(key.first > row ? key.first - 1 : key.first, key.second),
                    std::move(e));
  cells_ = std::move(moved);
  ShiftRows(row_lists_, row, -1);
}

}  // namespace vx
