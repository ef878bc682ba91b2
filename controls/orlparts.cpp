#include "controls/orlparts.h"

#include <algorithm>

#include "controls/selectpnl.h"
#include "platform/os/codepage.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

// The text in the bytes of the interface code page; UTF-8 where that code
// page cannot hold it.
std::string InterfaceBytes(std::string_view text) {
  int cp = EditCodePage();
  std::string bytes;
  if ((cp == 936 || cp == 950) && TryUtf8ToCodePage(text, cp, bytes)) return bytes;
  return std::string(text);
}

int Sign(int v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

std::string ColumnText(TListItem* item, int column) {
  if (column == 0) return item->Caption();
  TStrings* subs = item->SubItems();
  return column - 1 < subs->Count() ? subs->Get(column - 1) : std::string();
}

}  // namespace

int CompareLocaleText(std::string_view a, std::string_view b) {
  return Sign(CompareText(InterfaceBytes(a), InterfaceBytes(b)));
}

int CompareInterfaceBytes(std::string_view a, std::string_view b) {
  return Sign(InterfaceBytes(a).compare(InterfaceBytes(b)));
}

// ---- TOrlListView -----------------------------------------------------------------------

const TClassInfo& TOrlListView::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TOrlListView>("TOrlListView", [](auto& r) {
    r.template Bool<&TOrlListView::ColumnsAutoSize, &TOrlListView::SetColumnsAutoSize>(
        "ColumnsAutoSize");
  });
  return info;
}

TOrlListView::TOrlListView(TComponent* owner) : TListView(owner) {
  OnColumnClick = Bind<&TOrlListView::ColumnClicked>(this);
  OnCompare = Bind<&TOrlListView::CompareItems>(this);
}

int TOrlListView::CompareRows(TListItem* a, TListItem* b) const {
  int result = CompareLocaleText(ColumnText(a, sort_column_), ColumnText(b, sort_column_));
  if (result == 0 && sort_column_ != 0) result = CompareLocaleText(a->Caption(), b->Caption());
  // Captions that differ only in case stay apart, so that equal captions
  // stand next to each other for the duplicate check.
  if (result == 0) result = CompareInterfaceBytes(a->Caption(), b->Caption());
  if (result == 0 && sort_column_ != 1)
    result = CompareLocaleText(ColumnText(a, 1), ColumnText(b, 1));
  return sort_descending_ ? -result : result;
}

void TOrlListView::CompareItems(TObject*, TListItem* a, TListItem* b, int, int& result) {
  result = CompareRows(a, b);
}

void TOrlListView::ColumnClicked(TObject*, TListColumn* column) {
  int index = column->Index();
  if (index == sort_column_) {
    sort_descending_ = !sort_descending_;
  } else {
    sort_column_ = index;
    sort_descending_ = false;
  }
  AlphaSort();
}

int TOrlListView::ByteWidth(int bytes) const {
  return TextWidth(*Font(), "W") * bytes;
}

void TOrlListView::FitColumns() {
  for (int c = 0; c < Columns()->Count(); ++c) {
    TListColumn* column = Columns()->Items(c);
    int longest = EditTextLength(column->Caption());
    for (int i = 0; i < Items()->Count(); ++i) {
      TListItem* item = Items()->Items(i);
      // A sub-item column counts only the rows that have that sub-item.
      if (c == 0 || c - 1 < item->SubItems()->Count())
        longest = std::max(longest, EditTextLength(ColumnText(item, c)));
    }
    column->SetWidth(ByteWidth(longest));
  }
}

bool TOrlListView::AddRow(const std::vector<std::string>& texts) {
  if (texts.empty()) return false;
  try {
    const int needed = static_cast<int>(texts.size());
    while (Columns()->Count() < needed) {
      int number = Columns()->Count() + 1;
      Columns()->Add()->SetCaption("Data" + IntToStr(number));
    }
    Items()->BeginUpdate();
    try {
      TListItem* item = Items()->Add();
      item->SetCaption(texts[0]);
      for (std::size_t i = 1; i < texts.size(); ++i)
        item->SubItems()->Add(texts[i]);
      int widest = 0;
      for (int i = 0; i < Items()->Count(); ++i)
        widest = std::max(widest, Items()->Items(i)->SubItems()->Count());
      for (int i = 0; i < Items()->Count(); ++i) {
        TStrings* subs = Items()->Items(i)->SubItems();
        while (subs->Count() < widest)
          subs->Add("");
      }
    } catch (...) {
      Items()->EndUpdate();
      throw;
    }
    Items()->EndUpdate();
    if (auto* panel = dynamic_cast<TSelectPanel*>(Owner())) panel->RemoveDuplicates();
    if (columns_auto_size_) FitColumns();
    return true;
  } catch (...) {
    return false;
  }
}

void TOrlListView::ClearRows() {
  Items()->Clear();
}

// ---- TOrlMaskEdit -------------------------------------------------------------------------

const TClassInfo& TOrlMaskEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TOrlMaskEdit>("TOrlMaskEdit", [](auto&) {});
  return info;
}

void TOrlMaskEdit::Change() {
  if (!no_change_events_) TMaskEdit::Change();
}

const TClassInfo& TOrlCheckBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TOrlCheckBox>("TOrlCheckBox", [](auto&) {});
  return info;
}

}  // namespace vx
