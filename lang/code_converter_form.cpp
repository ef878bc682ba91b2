// The form-level side of the code-page converter: converting every text and
// font of a form for the interface, and the message dialog in the interface
// font.
#include <memory>

#include "controls/selectpnl.h"
#include "lang/code_converter.h"
#include "lib/props.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/grids.h"
#include "platform/ui/menus.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/tabs.h"

namespace vx {

void TCodeConverter::AdjustFont(int mode, TFont* font) {
  if (!font) return;
  TFontCharset charset;
  switch (mode) {
    case 0:
    case 1:
    case 4:
      charset = GB2312_CHARSET;
      break;
    case 2:
    case 3:
      charset = CHINESEBIG5_CHARSET;
      break;
    default:
      return;
  }
  font->SetName("SimSun");
  font->SetCharset(charset);
}

std::string TCodeConverter::ConvertString(int direction, const std::string& text) const {
  if (direction == 1) return Big5ToGB(text);
  if (direction == 2) return GBToBig5(text);
  return text;
}

// Entry by entry, so that entries holding line breaks stay whole.
void TCodeConverter::ConvertStrings(int direction, TStrings* strings) const {
  if (!strings) return;
  for (int i = 0; i < strings->Count(); ++i) {
    std::string text = strings->Get(i);
    std::string converted = ConvertString(direction, text);
    if (converted != text) strings->Put(i, converted);
  }
}

namespace {

void ConvertStrProperty(const TCodeConverter& c, int direction, TComponent* component,
                        std::string_view name) {
  if (!HasProperty(component, name)) return;
  std::string text = GetStrProperty(component, name);
  if (text.empty()) return;
  Variant converted = c.Convert(direction, Variant(text));
  if (converted.IsString()) SetStrProperty(component, name, converted.ToText());
}

template <class T>
T* ObjectPropertyOfType(TComponent* component, std::string_view name, std::string_view type) {
  if (!TCodeConverter::HasPropertyOfType(component, name, type)) return nullptr;
  return dynamic_cast<T*>(GetObjectProperty(component, name));
}

}  // namespace

void TCodeConverter::ConvertProperties(TComponent* component) const {
  const int mode = settings_.UIConvertMode;
  AdjustFont(mode, ObjectPropertyOfType<TFont>(component, "Font", "TFont"));
  AdjustFont(mode, ObjectPropertyOfType<TFont>(component, "TitleFont", "TFont"));
  ConvertStrProperty(*this, mode, component, "Caption");
  ConvertStrProperty(*this, mode, component, "Hint");
  ConvertStrProperty(*this, mode, component, "ButtonHint");

  auto* combo = dynamic_cast<TCustomComboBox*>(component);
  // The list is rewritten as one text; a combo box would lose its selection.
  if (auto* items = ObjectPropertyOfType<TStrings>(component, "Items", "TStrings")) {
    std::string text = items->Text();
    if (!text.empty()) {
      int index = combo ? combo->ItemIndex() : -1;
      std::string converted = Convert(mode, Variant(text)).ToText();
      if (converted != text) {
        items->SetText(converted);
        if (combo && items->Count() > 0) combo->SetItemIndex(index);
      }
    }
  }
  if (auto* lines = ObjectPropertyOfType<TStrings>(component, "Lines", "TStrings")) {
    std::string text = lines->Text();
    if (!text.empty()) {
      std::string converted = Convert(mode, Variant(text)).ToText();
      if (converted != text) lines->SetText(converted);
    }
  }
  // Owner-drawn lists paint their items in the interface font.
  if (HasPropertyOfType(component, "Style", "TComboBoxStyle")) {
    int index = combo ? combo->ItemIndex() : -1;
    auto style = static_cast<TComboBoxStyle>(GetOrdProperty(component, "Style"));
    if (style == csDropDown)
      SetOrdProperty(component, "Style", static_cast<int>(csOwnerDrawVariable));
    else if (style == csDropDownList)
      SetOrdProperty(component, "Style", static_cast<int>(csOwnerDrawFixed));
    if (combo && combo->Items()->Count() > 0 && combo->ItemIndex() == -1)
      combo->SetItemIndex(index);
  }
  if (HasPropertyOfType(component, "Style", "TListBoxStyle") &&
      GetOrdProperty(component, "Style") == static_cast<int>(lbStandard))
    SetOrdProperty(component, "Style", static_cast<int>(lbOwnerDrawFixed));
  if (auto* panels = ObjectPropertyOfType<TStatusPanels>(component, "Panels", "TStatusPanels")) {
    for (int i = 0; i < panels->Count(); ++i) {
      TStatusPanel* panel = panels->Items(i);
      if (!panel->Text().empty()) panel->SetText(Convert(mode, Variant(panel->Text())).ToText());
    }
  }
}

void TCodeConverter::ConvertListView(TCustomListView* list_view) const {
  const int direction = settings_.UIConvertMode;
  for (int i = 0; i < list_view->Columns()->Count(); ++i) {
    TListColumn* column = list_view->Columns()->Items(i);
    column->SetCaption(ConvertString(direction, column->Caption()));
  }
  for (int i = 0; i < list_view->Items()->Count(); ++i) {
    TListItem* item = list_view->Items()->Items(i);
    item->SetCaption(ConvertString(direction, item->Caption()));
    ConvertStrings(direction, item->SubItems());
  }
}

void TCodeConverter::ConvertClassTexts(TComponent* component) const {
  const int mode = settings_.UIConvertMode;
  // Menus draw their items in the interface font whenever a mode is set.
  if (auto* menu = dynamic_cast<TMenu*>(component)) {
    if (mode != 0) menu->SetOwnerDraw(true);
    return;
  }
  // Only the converting modes rewrite the texts classes keep.
  if (mode != 1 && mode != 2) return;
  const int direction = mode;

  if (auto* list_view = dynamic_cast<TCustomListView*>(component)) {
    ConvertListView(list_view);
  } else if (auto* tab_set = dynamic_cast<TTabSet*>(component)) {
    int index = tab_set->TabIndex();
    std::string text = tab_set->Tabs()->Text();
    std::string converted = ConvertString(direction, text);
    if (converted != text) tab_set->Tabs()->SetText(converted);
    if (index < tab_set->Tabs()->Count()) tab_set->SetTabIndex(index);
  } else if (auto* panel = dynamic_cast<TSelectPanel*>(component)) {
    ConvertSelectPanel(panel);
  } else if (auto* combo = dynamic_cast<TCustomComboBox*>(component)) {
    if (combo->Style() != csSimple) combo->SetStyle(csOwnerDrawFixed);
    if (combo->ItemIndex() == -1 && combo->Items()->Count() > 0) combo->SetItemIndex(0);
  } else if (auto* navigator = dynamic_cast<TDBNavigator*>(component)) {
    ConvertStrings(direction, navigator->Hints());
  } else if (auto* tree_view = dynamic_cast<TCustomTreeView*>(component)) {
    TTreeNodes* nodes = tree_view->Items();
    for (int i = 0; i < nodes->Count(); ++i)
      nodes->Item(i)->SetText(ConvertString(direction, nodes->Item(i)->Text()));
  } else if (auto* align_grid = dynamic_cast<TStringAlignGrid*>(component)) {
    ConvertAlignGrid(align_grid);
  } else if (auto* grid = dynamic_cast<TStringGrid*>(component)) {
    ConvertGridCells(grid);
  }
}

// The word lists are written back whole so that the panel lays out its
// labels again; its parts belong to the panel and are not met on their own.
void TCodeConverter::ConvertSelectPanel(TSelectPanel* panel) const {
  const int direction = settings_.UIConvertMode;
  auto convert_list = [&](TStrings* source, void (TSelectPanel::*set)(TStrings*)) {
    TStringList list;
    list.Assign(source);
    ConvertStrings(direction, &list);
    (panel->*set)(&list);
  };
  convert_list(panel->ChildHints(), &TSelectPanel::SetChildHints);
  convert_list(panel->BeginWords(), &TSelectPanel::SetBeginWords);
  convert_list(panel->FinalWords(), &TSelectPanel::SetFinalWords);
  panel->SetHintWord(ConvertString(direction, panel->HintWord()));
  ConvertListView(panel->ListBox());
}

void TCodeConverter::ConvertGridCells(TStringGrid* grid) const {
  for (int row = 0; row < grid->RowCount(); ++row)
    for (int col = 0; col < grid->ColCount(); ++col) {
      std::string text = grid->Cells(col, row);
      if (!text.empty()) grid->SetCells(col, row, ConvertString(settings_.UIConvertMode, text));
    }
}

void TCodeConverter::ConvertAlignGrid(TStringAlignGrid* grid) const {
  const int direction = settings_.UIConvertMode;
  ConvertGridCells(grid);
  for (int row = 0; row < grid->RowCount(); ++row)
    for (int col = 0; col < grid->ColCount(); ++col) {
      const std::string& hint = grid->CellHint(col, row);
      if (!hint.empty()) grid->SetCellHint(col, row, ConvertString(direction, hint));
      ConvertStrings(direction, grid->CellList(col, row));
    }
  for (auto [col, row] : grid->CellsWithFont())
    AdjustFont(settings_.UIConvertMode, grid->CellFont(col, row));
  for (int col = 0; col < grid->ColCount(); ++col)
    ConvertStrings(direction, grid->ColList(col));
  for (int row = 0; row < grid->RowCount(); ++row)
    ConvertStrings(direction, grid->RowList(row));
}

void TCodeConverter::ConvertForm(TCustomForm* form) {
  if (!translator_ || !form) return;
  const int mode = settings_.UIConvertMode;
  if (settings_.SysCodePage == "950" && !form->Caption().empty())
    form->SetCaption(GBToBig5(form->Caption()));
  ConvertStrProperty(*this, mode, form, "Hint");
  ConvertStrProperty(*this, mode, form, "ButtonHint");

  AdjustFont(mode, Screen()->IconFont());
  AdjustFont(mode, Screen()->HintFont());
  AdjustFont(mode, Screen()->MenuFont());
  // Toggling makes the hint window take the new hint font.
  Application()->SetShowHint(!Application()->ShowHint());
  Application()->SetShowHint(!Application()->ShowHint());
  if (mode == 0) return;

  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* component = form->Components(i);
    ConvertProperties(component);
    ConvertClassTexts(component);
  }
}

TModalResult TCodeConverter::ShowMessageDialog(std::string_view text, TMsgDlgType dialog_type,
                                               TMsgDlgButtons buttons) {
  if (text.empty()) return mrNone;
  std::string message(text);
  // Room for the wider glyphs of the GBK fonts at the end of the line.
  if (settings_.UICodePage == "936" || settings_.SysCodePage == "936") message += "      ";
  struct FreeForm {
    void operator()(TMessageForm* f) const { f->Free(); }
  };
  std::unique_ptr<TMessageForm, FreeForm> dialog(
      CreateMessageDialog(message, dialog_type, buttons));
  if (auto* owner = dynamic_cast<TCustomForm*>(Owner())) {
    if (owner->WindowState() == wsMinimized) owner->SetWindowState(wsNormal);
    dialog->SetCaption(owner->Caption());
  }
  AdjustFont(settings_.UIConvertMode, dialog->Font());
  return dialog->ShowModal();
}

}  // namespace vx
