// The condition-scheme panel of the module form: the saved schemes of this
// user and program in a list, saved, opened, renamed and deleted through the
// application server's scheme methods and its "pvdConSave" provider.
#include <string>
#include <vector>

#include "controls/selectpnl.h"
#include "framework/basegene.h"
#include "framework/basegeneu.h"
#include "lang/code_converter.h"
#include "lib/date_shift.h"
#include "lib/strs.h"
#include "platform/automation/dispatch.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/typinfo.h"

namespace vx {

namespace {

constexpr char kEtx = '\x03';  // between the parts of a panel value
constexpr char kSoh = '\x01';  // before each sub-item of a panel row
constexpr char kEot = '\x04';  // after each panel row
constexpr int kMaxSchemeName = 20;

// The longest value text a scheme may carry back into the form; a larger one
// is refused rather than walked.
constexpr std::size_t kMaxValueText = 1 << 20;

std::string Upto(std::string& text, std::string_view separator) {
  return CutFirstField(text, separator);
}

// Field n (from 1) of an ETX-separated panel value.
std::string Part(const std::string& value, int n) {
  return ExtractField(value, std::string(1, kEtx), n);
}

// Panel rows: caption, SOH before each sub-item, EOT after the row.
std::string PanelListText(TSelectPanel* panel) {
  std::string out;
  TListItems* items = panel->ListBox()->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TListItem* item = items->Items(i);
    out += item->Caption();
    TStrings* subs = item->SubItems();
    for (int j = 0; j < subs->Count(); ++j)
      out += kSoh + subs->Get(j);
    out += kEot;
  }
  return out;
}

// Refills the panel's list from rows in the form PanelListText writes.
bool RebuildPanelList(TSelectPanel* panel, const std::string& rows) {
  try {
    TListItems* items = panel->ListBox()->Items();
    items->BeginUpdate();
    items->Clear();
    std::size_t start = 0;
    while (start < rows.size()) {
      std::size_t end = rows.find(kEot, start);
      if (end == std::string::npos) end = rows.size();
      std::string row = rows.substr(start, end - start);
      start = end + 1;
      if (row.empty()) continue;
      TListItem* item = items->Add();
      std::size_t at = row.find(kSoh);
      item->SetCaption(row.substr(0, at));
      while (at != std::string::npos) {
        std::size_t next = row.find(kSoh, at + 1);
        item->SubItems()->Add(row.substr(at + 1, next == std::string::npos ? next : next - at - 1));
        at = next;
      }
    }
    items->EndUpdate();
    return true;
  } catch (...) {
    return false;
  }
}

// A stored whole number; anything else ends the load.
std::int64_t StoredNumber(const std::string& value) {
  auto n = TryStrToInt64(value);
  if (!n) throw EConvertError("'" + value + "' is not a valid integer value");
  return *n;
}

// A date moved by the rule in fields first..first+3 of an entry (count,
// unit, mode, days), unless the rule is off or moves nothing.
std::string Shifted(const std::string& entry, const std::string& date, int flag, int first) {
  auto field = [&](int n) { return Part(entry, n); };
  if (field(flag) != "Y" || Trim(date).empty()) return date;
  if (field(first) == "0" && field(first + 2) == "0" && field(first + 3) == "0") return date;
  return ShiftByRule(date, field(first), field(first + 1), field(first + 3), field(first + 2));
}

class TCursorScope {
 public:
  TCursorScope() { Screen()->SetCursor(crHourGlass); }
  ~TCursorScope() { Screen()->SetCursor(crDefault); }
  TCursorScope(const TCursorScope&) = delete;
  TCursorScope& operator=(const TCursorScope&) = delete;
};

}  // namespace

void TfrmBaseGene::WireSchemePanel() {
  btnInsert->OnClick = Bind<&TfrmBaseGene::btnInsertClick>(this);
  btnOpen->OnClick = Bind<&TfrmBaseGene::btnOpenClick>(this);
  N2->OnClick = Bind<&TfrmBaseGene::btnOpenClick>(this);
  lstCondition->OnDblClick = Bind<&TfrmBaseGene::btnOpenClick>(this);
  btnDelete->OnClick = Bind<&TfrmBaseGene::btnDeleteClick>(this);
  N3->OnClick = Bind<&TfrmBaseGene::btnDeleteClick>(this);
  N7->OnClick = Bind<&TfrmBaseGene::ViewIconExecute>(this);
  N8->OnClick = Bind<&TfrmBaseGene::ViewSmallIconExecute>(this);
  N9->OnClick = Bind<&TfrmBaseGene::ViewListExecute>(this);
  N10->OnClick = Bind<&TfrmBaseGene::ViewReportExecute>(this);
  ToolButton1->OnClick = Bind<&TfrmBaseGene::ToolButton1Click>(this);
  lstCondition->OnEdited = Bind<&TfrmBaseGene::lstConditionEdited>(this);
  lstCondition->OnKeyDown = Bind<&TfrmBaseGene::lstConditionKeyDown>(this);
}

bool TfrmBaseGene::IsDateField(const TComponent* component) const {
  // Whole names of the comma list: "me0" is not "me02".
  return !component->Name().empty() &&
         FindText("," + DateFields + ",", "," + component->Name() + ",") != std::string::npos;
}

// ---- view modes ---------------------------------------------------------------------

void TfrmBaseGene::SetViewMode(TViewStyle style, TMenuItem* item) {
  lstCondition->Items()->BeginUpdate();
  lstCondition->SetViewStyle(style);
  lstCondition->Items()->EndUpdate();
  item->SetChecked(true);
}

void TfrmBaseGene::ViewIconExecute(TObject*) {
  SetViewMode(vsIcon, N7);
}
void TfrmBaseGene::ViewSmallIconExecute(TObject*) {
  SetViewMode(vsSmallIcon, N8);
}
void TfrmBaseGene::ViewListExecute(TObject*) {
  SetViewMode(vsList, N9);
}
void TfrmBaseGene::ViewReportExecute(TObject*) {
  SetViewMode(vsReport, N10);
}

void TfrmBaseGene::ToolButton1Click(TObject* sender) {
  static const char* const kModes[] = {"ViewIcon", "ViewSmallIcon", "ViewList", "ViewReport"};
  std::intptr_t tag = ((ToolButton1->Tag() % 4 + 4) % 4 + 1) % 4;
  ToolButton1->SetTag(tag);
  TNotifyEvent(FindMethod(this, std::string(kModes[tag]) + "Execute"))(sender);
}

void TfrmBaseGene::lstConditionKeyDown(TObject*, Word&, TShiftState) {}

// ---- the list ---------------------------------------------------------------------

bool TfrmBaseGene::LoadSchemes() {
  if (!AppServer.IsDispatch()) return false;
  TListItems* items = lstCondition->Items();
  TViewStyle style = lstCondition->ViewStyle();
  items->BeginUpdate();
  TCursorScope cursor;
  try {
    lstCondition->SetViewStyle(vsList);
    items->Clear();
    Call(AppServer, "LoadTable", {VarArrayOf({UserID, ProgramID})});
    ClientDataSet1->Close();
    ClientDataSet1->Open();
    ClientDataSet1->First();
    while (!ClientDataSet1->Eof()) {
      TListItem* item = items->Add();
      item->SetImageIndex(0);
      item->SetCaption(
          VarToStr(VxConverter()->DBToUI(ClientDataSet1->FieldByName("NCONDITION")->AsString())));
      std::string day = Trim(ClientDataSet1->FieldByName("CREATE_DATE")->AsString());
      TDateTime created;
      if (day.size() != 8 ||
          !TryEncodeDate(StrToIntDef(day.substr(0, 4), 0), StrToIntDef(day.substr(4, 2), 0),
                         StrToIntDef(day.substr(6, 2), 0), created))
        created = TDateTime();
      item->SubItems()->Add(DateToStr(created));
      ClientDataSet1->Next();
    }
  } catch (...) {
    lstCondition->SetViewStyle(style);
    items->EndUpdate();
    throw;
  }
  lstCondition->SetViewStyle(style);
  items->EndUpdate();
  return true;
}

bool TfrmBaseGene::FindSchemeRecord(const std::string& name) {
  if (!ClientDataSet1->Active()) return false;
  return ClientDataSet1->FindKey(
      {VxConverter()->UIToDB(Variant(name)), Variant(UserID), Variant(ProgramID)});
}

// ---- save -------------------------------------------------------------------------

void TfrmBaseGene::btnInsertClick(TObject*) {
  if (pnlCondition->Showing() && pnlCondition->CanFocus()) pnlCondition->SetFocus();
}

std::string TfrmBaseGene::GetDateFieldValue(const TStringList& list, TComponent* component) {
  if (!component || list.Count() == 0) return {};
  std::string entry;
  for (int i = 0; i < list.Count(); ++i)
    if (Part(list.Get(i), 2) == component->Name()) {
      entry = list.Get(i);
      break;
    }
  if (entry.empty()) return {};
  if (Part(entry, 1) != "0") {
    auto* control = dynamic_cast<TControl*>(component);
    std::string date = control ? DisplayToDate8(control->Text()) : std::string();
    return Shifted(entry, date, 3, 4);
  }
  auto* panel = dynamic_cast<TSelectPanel*>(component);
  if (!panel) return {};
  std::string begin = Shifted(entry, DisplayToDate8(panel->edBegin()->Text()), 3, 4);
  std::string end = Shifted(entry, DisplayToDate8(panel->edFinal()->Text()), 8, 9);
  return begin + kEtx + end;
}

std::string TfrmBaseGene::SchemeValue(TComponent* component, const std::string& prop_name) {
  const TPropInfo* prop = GetPropInfo(component, prop_name);
  if (!prop) {
    auto* combo = dynamic_cast<TCustomComboBox*>(component);
    return combo ? IntToStr(combo->ItemIndex()) : std::string();
  }
  switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkSet:
    case tkInt64:
      return IntToStr(GetOrdProp(*component, *prop));
    case tkEnumeration: {
      std::string name = GetEnumName(*prop->PropType, GetOrdProp(*component, *prop));
      auto* panel = dynamic_cast<TSelectPanel*>(component);
      if (!panel || !SameText(prop->Name, "Style")) return name;
      switch (panel->Style()) {
        case sp_Range:
          if (IsDateField(panel)) return name + kEtx + GetDateFieldValue(DateEnvList, panel);
          return name + kEtx + panel->edBegin()->Text() + kEtx + panel->edFinal()->Text();
        case sp_Discrete:
          return name + kEtx + PanelListText(panel);
        case sp_UserChoice:
          if (panel->UserChoice())
            return name + kEtx + "True" + kEtx + panel->edBegin()->Text() + kEtx +
                   panel->edFinal()->Text();
          return name + kEtx + "False" + kEtx + PanelListText(panel);
      }
      return name;
    }
    case tkFloat:
      return FloatToStr(GetFloatProp(*component, *prop));
    case tkString:
      if (IsDateField(component)) return GetDateFieldValue(DateEnvList, component);
      return GetStrProp(*component, *prop);
    default:
      return {};
  }
}

bool TfrmBaseGene::SaveScheme(const std::string& field_list, const std::string& name,
                              bool replace) {
  try {
    std::string values;
    std::string rest = field_list;
    while (!rest.empty()) {
      std::string entry = Trim(Upto(rest, ";"));
      if (entry.empty() && rest.empty()) break;
      std::string value;
      std::size_t dot = entry.find('.');
      if (dot != std::string::npos) {
        std::string component_name = Trim(entry.substr(0, dot));
        std::string prop_name = Trim(entry.substr(dot + 1));
        TComponent* component = component_name.empty() ? nullptr : FindComponent(component_name);
        if (component && !prop_name.empty()) value = SchemeValue(component, prop_name);
      }
      values += value + "\r\n";
    }
    Variant args =
        VarArrayOf({VxConverter()->UIToDB(Variant(name)), UserID, FormatDateTime("yyyymmdd", Now()),
                    ProgramID, SchemeFields, VxConverter()->UIToDB(Variant(values)), replace});
    return VarToStr(Call(AppServer, "InsertConTable", {args})).empty();
  } catch (...) {
    return false;
  }
}

// ---- open -------------------------------------------------------------------------

bool TfrmBaseGene::LoadSchemeValue(TComponent* component, const std::string& prop_name,
                                   const std::string& value) {
  BeforeLoadControl(component, value);
  if (auto* panel = dynamic_cast<TSelectPanel*>(component)) {
    std::string style = Part(value, 1);
    if (style == "sp_Range") {
      if (IsDateField(panel)) {
        panel->SetEditMask(DateMaskText());
        panel->edBegin()->SetText(Date8ToDisplay(Part(value, 2), DateStyle(), DateSep()));
        panel->edFinal()->SetText(Date8ToDisplay(Part(value, 3), DateStyle(), DateSep()));
      } else {
        panel->edBegin()->SetText(Part(value, 2));
        panel->edFinal()->SetText(Part(value, 3));
      }
    } else if (style == "sp_Discrete") {
      if (!RebuildPanelList(panel, Part(value, 2))) throw EConvertError("parse spSaveValue error");
    } else if (style == "sp_UserChoice") {
      const TPropInfo* choice = GetPropInfo(panel, "UserChoice");
      int v = choice ? GetEnumValue(*choice->PropType, Part(value, 2)) : -1;
      if (v < 0) throw EConvertError("parse spSaveValue error");
      panel->SetUserChoice(v != 0);
      if (Part(value, 2) != "True") {
        RebuildPanelList(panel, Part(value, 3));
      } else {
        panel->edBegin()->SetText(Part(value, 3));
        panel->edFinal()->SetText(Part(value, 4));
      }
    }
    return true;
  }
  const TPropInfo* prop = GetPropInfo(component, prop_name);
  if (!prop) {
    if (auto* combo = dynamic_cast<TCustomComboBox*>(component))
      combo->SetItemIndex(static_cast<int>(StoredNumber(value)));
  } else {
    switch (prop->Kind()) {
      case tkInteger:
      case tkChar:
      case tkSet:
      case tkInt64:
        SetOrdProp(*component, *prop, StoredNumber(value));
        break;
      case tkEnumeration: {
        int v = GetEnumValue(*prop->PropType, value);
        if (v < 0) throw EConvertError("'" + value + "' is not a value of " + prop->PropType->Name);
        SetOrdProp(*component, *prop, v);
        break;
      }
      case tkFloat: {
        auto number = TryStrToFloat(value);
        if (!number) throw EConvertError("'" + value + "' is not a valid floating point value");
        SetFloatProp(*component, *prop, *number);
        break;
      }
      case tkString:
        if (IsDateField(component)) {
          if (const TPropInfo* mask = GetPropInfo(component, "EditMask"))
            SetStrProp(*component, *mask, DateMaskText());
          SetStrProp(*component, *prop, Date8ToDisplay(value, DateStyle(), DateSep()));
        } else {
          SetStrProp(*component, *prop, value);
        }
        break;
      default:
        // A kind no scheme can carry ends the load.
        return false;
    }
  }
  AfterLoadControl(component, value);
  return true;
}

bool TfrmBaseGene::ApplyScheme(const std::string& field_list, const std::string& values) {
  if (values.size() > kMaxValueText) return false;
  try {
    std::string fields = field_list;
    std::string rest = values;
    while (!fields.empty()) {
      std::string entry = Trim(Upto(fields, ";"));
      std::string value = Upto(rest, "\r\n");
      std::size_t dot = entry.find('.');
      if (dot == std::string::npos) continue;
      std::string component_name = Trim(entry.substr(0, dot));
      std::string prop_name = Trim(entry.substr(dot + 1));
      if (component_name.empty() || prop_name.empty()) continue;
      TComponent* component = FindComponent(component_name);
      if (!component) continue;
      if (!LoadSchemeValue(component, prop_name, value)) break;
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool TfrmBaseGene::SchemeOpened() {
  return true;
}
void TfrmBaseGene::BeforeLoadControl(TComponent*, const std::string&) {}
void TfrmBaseGene::AfterLoadControl(TComponent*, const std::string&) {}

void TfrmBaseGene::btnOpenClick(TObject*) {
  TListItem* item = lstCondition->Selected();
  if (!item || !FindSchemeRecord(item->Caption())) return;
  std::string fields = ClientDataSet1->FieldByName("SCONDITION")->AsString();
  std::string values =
      VarToStr(VxConverter()->DBToUI(ClientDataSet1->FieldByName("VCONDITION")->AsString()));
  TCursorScope cursor;
  if (!ApplyScheme(fields, values)) ShowMessageByCode("R", "200235", {});
  SchemeOpened();
}

// ---- delete and rename ----------------------------------------------------------------

void TfrmBaseGene::btnDeleteClick(TObject*) {
  TListItem* item = lstCondition->Selected();
  if (!item) return;
  std::string name = item->Caption();
  std::string question =
      GetLangText("TfrmBaseGene", "sDeleteProj", true, "确实要删除此方案吗？") + name;
  if (FormMessageBox(question, mtConfirmation, {mbYes, mbNo}) != mrYes) return;
  std::string answer =
      VarToStr(Call(AppServer, "DeleteConTable",
                    {VarArrayOf({VxConverter()->UIToDB(Variant(name)), UserID, ProgramID})}));
  if (!answer.empty()) throw Exception(answer);
  LoadSchemes();
}

void TfrmBaseGene::lstConditionEdited(TObject*, TListItem* item, std::string& new_text) {
  if (!item) return;
  const std::string old_name = item->Caption();
  auto refuse = [&](const char* key, const char* text) {
    FormMessageBox(GetLangText("TfrmBaseGene", key, true, text), mtError, {mbOK});
    new_text = old_name;
  };
  if (Trim(new_text).empty()) return refuse("sProjNameEmpty", "方案名不可空白!");
  if (EditTextLength(new_text) > kMaxSchemeName)
    return refuse("sProjNameError", "方案名长度不可大于20!");
  TListItems* items = lstCondition->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i) != item && items->Items(i)->Caption() == new_text)
      return refuse("sProjNameExist", "此方案名称已经存在！");
  if (new_text == old_name) return;
  std::string answer =
      VarToStr(Call(AppServer, "ChangeConName",
                    {VarArrayOf({VxConverter()->UIToDB(Variant(old_name)), UserID, ProgramID}),
                     VarArrayOf({VxConverter()->UIToDB(Variant(new_text)), UserID, ProgramID})}));
  if (!answer.empty()) {
    refuse("sFailedRename", "更改方案名失败!");
    throw Exception(answer);
  }
  if (FindSchemeRecord(old_name)) {
    ClientDataSet1->Edit();
    ClientDataSet1->FieldByName("NCONDITION")
        ->SetAsString(VarToStr(VxConverter()->UIToDB(Variant(new_text))));
    ClientDataSet1->Post();
  }
}

}  // namespace vx
