// Messages by code, field checks and lookups through the server, date
// fields and required fields of the generic module form.
#include <algorithm>

#include "controls/selectpnl.h"
#include "controls/vxspin.h"
#include "framework/basegene.h"
#include "framework/basegeneu.h"
#include "lib/edition.h"
#include "lib/props.h"
#include "lib/strs.h"
#include "platform/automation/dispatch.h"
#include "platform/rtl/text.h"
#include "platform/ui/headless.h"

namespace vx {

// ---- message templates -------------------------------------------------------------

std::string FormatMessage(std::string_view pattern, const std::vector<std::string>& args) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= pattern.size()) throw EConvertError("Format '" + std::string(pattern) + "' invalid");
    if (pattern[i] == '%') {
      out += '%';
      continue;
    }
    // [index ":"] ["-"] [width] ["." precision] type
    std::size_t spec_start = i;
    std::size_t index = next;
    std::size_t j = i;
    while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])))
      ++j;
    if (j < pattern.size() && pattern[j] == ':' && j > i) {
      index = static_cast<std::size_t>(std::stoul(std::string(pattern.substr(i, j - i))));
      i = j + 1;
    }
    bool left = false;
    if (i < pattern.size() && pattern[i] == '-') left = true, ++i;
    int width = 0, precision = -1;
    while (i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i])) &&
           width < 1000)
      width = width * 10 + (pattern[i++] - '0');
    if (i < pattern.size() && pattern[i] == '.') {
      precision = 0;
      ++i;
      while (i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i])) &&
             precision < 1000)
        precision = precision * 10 + (pattern[i++] - '0');
    }
    if (i >= pattern.size() || index >= args.size())
      throw EConvertError("Format '" + std::string(pattern) +
                          "' invalid or incompatible with argument");
    char type = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
    const std::string& arg = args[index];
    next = index + 1;
    std::string piece;
    if (type == 's') {
      piece = precision >= 0 && static_cast<std::size_t>(precision) < arg.size()
                  ? arg.substr(0, static_cast<std::size_t>(precision))
                  : arg;
    } else if (type == 'd' || type == 'u' || type == 'x') {
      auto n = TryStrToInt64(arg);
      if (!n)
        throw EConvertError("Format '" + std::string(pattern) +
                            "' invalid or incompatible with argument");
      piece = type == 'x' ? Format("%llx", static_cast<long long>(*n))
                          : Format("%lld", static_cast<long long>(*n));
      if (precision > 0 && piece.size() < static_cast<std::size_t>(precision))
        piece.insert(piece[0] == '-' ? 1 : 0, static_cast<std::size_t>(precision) - piece.size(),
                     '0');
    } else {
      (void)spec_start;
      throw EConvertError("Format '" + std::string(pattern) +
                          "' invalid or incompatible with argument");
    }
    std::size_t len = Utf8Length(piece);
    if (static_cast<std::size_t>(width) > len) {
      std::string pad(static_cast<std::size_t>(width) - len, ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

// ---- messages ---------------------------------------------------------------------

std::string TfrmBaseGene::GetMessageText(const std::string& kind, const std::string& id) {
  std::string text;
  if (Manager.IsEmpty())
    text = Format("Can not Get Message\rType= %s, ID= %s ", kind, id);
  else
    text = VarToStr(Call(Manager, "GetMessage", {kind, id}));
  return VxConverter()->DBToUI(Variant(text)).ToText();
}

TModalResult TfrmBaseGene::ShowMessageText(const std::string& text, TMsgDlgType type,
                                           TMsgDlgButtons buttons) {
  if (QuietMessages && type != mtError) return 0;
  std::unique_ptr<TMessageForm, void (*)(TMessageForm*)> dialog(
      CreateMessageDialog(text, type, buttons), [](TMessageForm* f) { f->Free(); });
  dialog->SetCaption(Caption());
  if (InterfaceCodePage() != "437") {
    for (int b = 0; b <= static_cast<int>(mbHelp); ++b)
      if (TButton* button = dialog->Button(static_cast<TMsgDlgBtn>(b)))
        button->SetCaption(
            VxConverter()->ToUI(Variant(LocalizeButtonCaption(button->Name()))).ToText());
  }
  TCodeConverter::AdjustFont(VxConverter()->UIConvertMode(), dialog->Font());
  TModalResult result = dialog->ShowModal();
  dialog.reset();
  if (TWinControl* active = ActiveControl()) PostMessage(active, WM_LBUTTONUP);
  if (type == mtError && LastFocusedControl && LastFocusedControl != this &&
      CanTakeFocus(LastFocusedControl))
    LastFocusedControl->SetFocus();
  return result;
}

namespace {

TMsgDlgType DialogTypeOf(const std::string& kind) {
  if (kind == "C" || kind == "D" || kind == "W") return mtWarning;
  if (kind == "E") return mtError;
  if (kind == "I") return mtInformation;
  if (kind == "Q") return mtConfirmation;
  return mtCustom;
}

}  // namespace

TModalResult TfrmBaseGene::ShowMessageByCode(const std::string& kind, const std::string& id,
                                             const std::vector<std::string>& args,
                                             TMsgDlgButtons buttons) {
  std::string text = FormatMessage(GetMessageText(kind, id), args);
  TMsgDlgButtons defaults{mbOK};
  if (kind == "C" || kind == "Q" || kind == "W")
    defaults = mbOKCancel;
  else if (kind == "D")
    defaults = mbYesNoCancel;
  return ShowMessageText(text, DialogTypeOf(kind), buttons.Empty() ? defaults : buttons);
}

void TfrmBaseGene::AddMessage(const std::string& code_text) {
  if (ActiveControl() == btnCancel) return;
  if (code_text.empty()) {
    MessageCodes.clear();
    MessageTexts.clear();
    return;
  }
  MessageCodes += code_text + "; ";
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t semi = code_text.find(';', start);
    fields.push_back(
        code_text.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  std::string kind = fields[0];
  std::string id = fields.size() > 1 ? fields[1] : std::string();
  // Ten arguments as the catalogue's templates take them; more are dropped.
  std::vector<std::string> args(10);
  for (std::size_t i = 2; i < fields.size() && i - 2 < args.size(); ++i)
    args[i - 2] = fields[i];
  auto number = TryStrToInt(id);
  bool show = number && *number > 0;
  if (!show && !id.empty()) id.erase(0, 1);
  std::string text, pattern;
  try {
    pattern = GetMessageText(kind, id);
    text = FormatMessage(pattern, args);
  } catch (...) {
    text = pattern + "\r";
    for (const std::string& a : args)
      text += a + ";";
  }
  if (MessageTexts.find(text) == std::string::npos) MessageTexts += text + "; ";
  if (show) ShowMessageText(text, DialogTypeOf(kind), {mbOK});
}

void TfrmBaseGene::AddErrorText(const std::string& text) {
  if (ActiveControl() == btnCancel) return;
  std::string t = Trim(text);
  if (t.empty()) {
    MessageCodes.clear();
    MessageTexts.clear();
    return;
  }
  MessageCodes += "E;-1; ";
  if (MessageTexts.find(t) == std::string::npos) MessageTexts += t + "; ";
}

// ---- server checks and lookups --------------------------------------------------------

bool TfrmBaseGene::ServerCheck(const std::string& table, const std::string& query, bool by_query,
                               Variant& result, Variant args) {
  bool found = false;
  args = VxConverter()->UIToDB(args);
  if (!Validator.IsEmpty()) {
    try {
      Put(Validator, "ProductID", std::int32_t{ProductID});
    } catch (...) {
    }
    try {
      Put(Validator, "BaseLimited", LimitText);
    } catch (...) {
    }
    try {
      Variant t(table), q(query), db(SystemDB);
      found = Call(Validator, by_query ? "QueryData" : "CheckValue",
                   {Ref(t), Ref(q), Ref(db), Ref(args), Ref(result)})
                  .ToBool();
    } catch (...) {
      found = false;
    }
  }
  if (TextsConverted()) result = VxConverter()->DBToUI(result);
  return found;
}

bool TfrmBaseGene::ValidateField(const std::string& table, const std::string& query,
                                 const std::string& kind, int index, Variant& result,
                                 const Variant& args) {
  if (!IsEarlierEdition() && ActiveControl() == btnCancel) return true;
  bool ok = true;
  Variant answer;
  if (!args.IsEmpty() && !args.IsNull()) {
    ok = ServerCheck(table, query, index == -2, answer, args);
    if (!ok) {
      std::string reason = GetMessageText("I", "000008");
      if (kind == "E") AddMessage("E;000001;" + reason);
      if (kind == "W") AddMessage("W;000004;" + reason);
      return false;
    }
  }
  result = Variant();
  if (answer.IsEmpty() || answer.IsNull()) return ok;
  if (!answer.IsArray() || index < answer.LowBound() || index > answer.HighBound())
    result = answer;
  else
    result = answer[index];
  return ok;
}

void TfrmBaseGene::HandleF2(TWinControl* control) {
  if (!control) return;
  if (CanTakeFocus(control)) control->SetFocus();
  if (control == edPrintDate) edPrintDate->SetText(PickDate(edPrintDate->Text()));
}

void TfrmBaseGene::F2Lookup(const std::string& table, const std::string& query, Variant args,
                            Variant start, bool flag, Variant& result) {
  if (F2Window.IsEmpty() || F2Window.IsNull()) {
    result = Variant();
    return;
  }
  args = VxConverter()->UIToDB(args);
  start = VxConverter()->UIToDB(start);
  Variant request = VarArrayCreate(0, 18);
  request[0] = table;
  request[1] = query;
  request[2] = args;
  request[3] = flag;
  request[4] = start;
  request[5] = CompanyID;
  request[6] = SystemDB;
  request[7] = static_cast<std::int64_t>(Handle());
  request[8] = std::int32_t{1};
  request[9] = false;
  request[10] = std::int32_t{ProductID};
  request[11] = request[12] = request[13] = std::string();
  request[14] = LimitText;
  request[15] = LookupFlag8;
  request[16] = LookupFlag7;
  request[17] = Manager;
  request[18] = UserID;
  result = Call(F2Window, "F2GetData", {request});
  if (TextsConverted()) result = VxConverter()->DBToUI(result);
}

void TfrmBaseGene::PickPhrase(TWinControl* control) {
  if (!control || F2Window.IsEmpty()) return;
  Variant user(UserID), db(SystemDB);
  std::string phrase = VarToStr(
      Call(F2Window, "GetPhrase", {Ref(user), Ref(db), static_cast<std::int64_t>(Handle())}));
  if (phrase.empty()) return;
  if (TextsConverted()) phrase = VxConverter()->DBToUI(Variant(phrase)).ToText();
  control->SetText(phrase);
}

std::string TfrmBaseGene::PickDate(const std::string& text) {
  if (F2Window.IsEmpty()) return {};
  std::string start = Utf8Length(text) == 8 ? text : DateToDate8(Date());
  std::string answer;
  try {
    answer = Trim(
        VarToStr(Call(F2Window, "ShowInputDay", {VarArrayOf({DateStyle() > 3, start, SystemDB})})));
  } catch (...) {
    return text;  // the date window failed: the field keeps its text
  }
  if (answer.empty()) return text;
  return FormatDateByKind(DateStyle(), DateSep(), Date8ToDate(answer));
}

Variant TfrmBaseGene::GetCounterValue(const std::string& name, Variant args) {
  if (IsEarlierEdition() || Counter.IsEmpty()) return Variant();
  Variant value =
      Call(Counter, "GetCounter", {UpperCase(name), Ref(args), VarArrayOf({CompanyID, SystemDB})});
  if (TextsConverted()) value = VxConverter()->DBToUI(value);
  return value;
}

// ---- date fields ------------------------------------------------------------------------

std::string TfrmBaseGene::DisplayToDate8(std::string_view text) {
  return vx::DisplayToDate8(text, DateStyle(), DateSep());
}

std::string TfrmBaseGene::DateMaskText() {
  return DateMask(DateStyle(), DateSep());
}

std::string TfrmBaseGene::BlankDateText() {
  return vx::BlankDateText(DateStyle(), DateSep());
}

bool TfrmBaseGene::CheckDateField(TWinControl* control, bool entering) {
  std::vector<TCustomEdit*> edits;
  if (auto* panel = dynamic_cast<TSelectPanel*>(control)) {
    if (entering) {
      panel->SetEditMask(DateMaskText());
      return true;
    }
    edits = {panel->edBegin(), panel->edFinal()};
  } else if (auto* edit = dynamic_cast<TCustomEdit*>(control);
             edit && !dynamic_cast<TCustomMemo*>(control)) {
    edits = {edit};
  } else {
    ShowMessage(GetLangText("TfrmBaseGene", "sDatePramError", true,
                            "判断日期的函数第一个参数错误, 只能传下列三种物件:") +
                "\rTSelectPanel, TMaskedit, TEdit");
    return false;
  }
  if (entering) {
    if (auto* masked = dynamic_cast<TCustomMaskEdit*>(edits[0]))
      masked->SetEditMask(DateMaskText());
    else if (Trim(edits[0]->Text()).empty())
      // An empty plain edit shows the date's layout; a typed date stays.
      edits[0]->SetText(BlankDateText());
    return true;
  }
  TCustomEdit* first_invalid = nullptr;
  for (TCustomEdit* edit : edits) {
    std::string text = edit->Text();
    if (auto* masked = dynamic_cast<TCustomMaskEdit*>(edit)) text = masked->Text();
    std::string d = DisplayToDate8(text);
    if (!d.empty() && !IsValidDate8(d) && !first_invalid) first_invalid = edit;
  }
  if (!first_invalid) return true;
  AddMessage("E;000005");
  if (CanTakeFocus(first_invalid)) first_invalid->SetFocus();
  return false;
}

TMethod TfrmBaseGene::SavedHandler(const std::vector<std::pair<std::string, void*>>& list,
                                   const std::string& name) const {
  auto find = [&](const std::string& key) -> void* {
    for (const auto& [k, v] : list)
      if (SameText(k, key)) return v;
    return nullptr;
  };
  return TMethod{find(name + ".Code"), find(name + ".Data")};
}

namespace {

void SaveMethod(std::vector<std::pair<std::string, void*>>& list, const std::string& name,
                const TMethod& m) {
  if (m.Code) list.emplace_back(name + ".Code", m.Code);
  if (m.Data) list.emplace_back(name + ".Data", m.Data);
}

std::vector<std::string> ListNames(std::string_view list) {
  std::vector<std::string> names;
  std::string rest(list);
  while (!rest.empty())
    names.push_back(Trim(CutFirstField(rest, ",")));
  return names;
}

}  // namespace

void TfrmBaseGene::HookDateFields(const std::string& list) {
  for (const std::string& name : ListNames(list)) {
    TComponent* c = FindComponent(name);
    if (!c) continue;
    if (HasProperty(c, "OnEnter")) {
      SaveMethod(SavedHandlers, c->Name() + ".OnEnter", GetMethodProperty(c, "OnEnter"));
      SetMethodProperty(c, "OnEnter", OnDateFieldEnter.Method());
    }
    if (HasProperty(c, "OnExit")) {
      SaveMethod(SavedHandlers, c->Name() + ".OnExit", GetMethodProperty(c, "OnExit"));
      SetMethodProperty(c, "OnExit", OnDateFieldExit.Method());
    }
    if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
      panel->SetValueType(vt_Date);
      panel->SetDateSign(DateSep());
      int style = DateStyle();
      panel->SetDateType(style >= 1 && style <= 5 ? static_cast<TDateType>(style) : dt_NoneCare);
    }
  }
}

void TfrmBaseGene::ReleaseDateFields(const std::string& list) {
  for (const std::string& name : ListNames(list)) {
    TComponent* c = FindComponent(name);
    if (!c) continue;
    SetMethodProperty(c, "OnEnter", SavedHandler(SavedHandlers, c->Name() + ".OnEnter"));
    SetMethodProperty(c, "OnExit", SavedHandler(SavedHandlers, c->Name() + ".OnExit"));
  }
}

void TfrmBaseGene::SetDateFields(std::string_view list) {
  std::string l = Trim(list);
  if (l == DateFields) return;
  if (!DateFields.empty()) ReleaseDateFields(DateFields);
  if (l.find("edPrintDate") == std::string::npos && !DateFields.empty()) l += "," + DateFields;
  DateFields = l;
  HookDateFields(DateFields);
}

void TfrmBaseGene::DateFieldEnter(TObject* sender) {
  FieldCheckFailed = false;
  if (auto* w = dynamic_cast<TWinControl*>(sender)) DateFieldEvent(w, "OnEnter");
}

void TfrmBaseGene::DateFieldExit(TObject* sender) {
  if (!IsEarlierEdition() && ActiveControl() == btnCancel) return;
  FieldCheckFailed = false;
  if (auto* w = dynamic_cast<TWinControl*>(sender)) DateFieldEvent(w, "OnExit");
}

void TfrmBaseGene::DateFieldEvent(TWinControl* control, const std::string& event) {
  if (DateFields.find(control->Name()) != std::string::npos)
    FieldCheckFailed = FieldCheckFailed || !CheckDateField(control, event == "OnEnter");
  if (FieldCheckFailed) return;
  TMethod saved = SavedHandler(SavedHandlers, control->Name() + "." + event);
  if (saved.Code) TNotifyEvent{saved}(control);
}

// ---- required fields ---------------------------------------------------------------------

namespace {

struct RequiredEntry {
  std::string Name;
  std::string Mark;
  int Part = 0;
};

std::vector<RequiredEntry> ParseRequired(std::string_view list) {
  std::vector<RequiredEntry> entries;
  for (const std::string& raw : ListNames(list)) {
    RequiredEntry e;
    e.Name = Trim(ExtractField(raw, ";", 1));
    e.Mark = Trim(ExtractField(raw, ";", 2));
    e.Part = TryStrToInt(Trim(ExtractField(raw, ";", 3))).value_or(0);
    entries.push_back(e);
  }
  return entries;
}

// "N", or a whole number other than -1: highlighted, never checked.
bool Unchecked(const RequiredEntry& e) {
  if (SameText(e.Mark, "N")) return true;
  auto n = TryStrToInt(e.Mark);
  return n && *n != -1;
}

const char* const kRunButtons[] = {"btnOk", "btnQuery", "btnDesign", "btnPeriod"};

}  // namespace

void TfrmBaseGene::RecordColours(TWinControl* container) {
  for (TControl* child : container->ControlList()) {
    auto* w = dynamic_cast<TWinControl*>(child);
    if (!w) continue;
    if (auto* panel = dynamic_cast<TSelectPanel*>(w)) {
      SavedColours.Add(panel->Name() + ".edBegin=" + IntToStr(panel->edBegin()->Color()));
      SavedColours.Add(panel->Name() + ".edFinal=" + IntToStr(panel->edFinal()->Color()));
      SavedColours.Add(panel->Name() + ".ListBox=" + IntToStr(panel->ListBox()->Color()));
    } else if (!dynamic_cast<TVxSpinEdit*>(w) && w->ControlCount() > 0) {
      RecordColours(w);
    } else if (HasProperty(w, "Color")) {
      SavedColours.Add(w->Name() + "=" + IntToStr(w->Color()));
    }
  }
}

void TfrmBaseGene::RestoreColours(TWinControl* container) {
  auto restore = [&](TControl* c, const std::string& key) {
    std::string v = Trim(SavedColours.Values(key));
    if (auto n = TryStrToInt64(v)) c->SetColor(static_cast<TColor>(*n));
  };
  for (TControl* child : container->ControlList()) {
    auto* w = dynamic_cast<TWinControl*>(child);
    if (!w) continue;
    if (auto* panel = dynamic_cast<TSelectPanel*>(w)) {
      restore(panel->edBegin(), panel->Name() + ".edBegin");
      restore(panel->edFinal(), panel->Name() + ".edFinal");
      restore(panel->ListBox(), panel->Name() + ".ListBox");
    } else if (!dynamic_cast<TVxSpinEdit*>(w) && w->ControlCount() > 0) {
      RestoreColours(w);
    } else if (HasProperty(w, "Color")) {
      restore(w, w->Name());
    }
  }
}

void TfrmBaseGene::HookRunButtons() {
  for (const char* name : kRunButtons) {
    TComponent* b = FindComponent(name);
    if (!b || !HasProperty(b, "OnClick")) continue;
    SaveMethod(SavedClickHandlers, b->Name() + ".OnClick", GetMethodProperty(b, "OnClick"));
    SetMethodProperty(b, "OnClick", OnRequiredExit.Method());
  }
}

void TfrmBaseGene::ReleaseRunButtons() {
  for (const char* name : kRunButtons)
    if (TComponent* b = FindComponent(name))
      SetMethodProperty(b, "OnClick", SavedHandler(SavedClickHandlers, b->Name() + ".OnClick"));
}

void TfrmBaseGene::SetRequiredFields(std::string_view list) {
  std::string l = Trim(list);
  if (!RequiredFields.empty()) {
    RestoreColours(this);
    ReleaseRunButtons();
  }
  RequiredFields = l;
  bool any = false;
  for (const RequiredEntry& e : ParseRequired(l)) {
    TComponent* c = FindComponent(e.Name);
    if (!c) continue;
    any = true;
    if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
      int part = e.Part >= 0 && e.Part <= 3 ? e.Part : 0;
      if (part == 0 || part == 1) panel->edBegin()->SetColor(kRequiredColor);
      if (part == 0 || part == 2) panel->edFinal()->SetColor(kRequiredColor);
      if (part == 0 || part == 3) panel->ListBox()->SetColor(kRequiredColor);
    } else if (HasProperty(c, "Color")) {
      SetOrdProperty(c, "Color", kRequiredColor);
    }
  }
  if (any) HookRunButtons();
}

bool TfrmBaseGene::RunButtonDown(std::string_view name) const {
  auto* b = dynamic_cast<TSpeedButton*>(FindComponent(name));
  return b && b->Down();
}

void TfrmBaseGene::RequiredExit(TObject* sender) {
  FieldCheckFailed = false;
  auto* control = dynamic_cast<TControl*>(sender);
  if (!control) return;
  const std::string& name = control->Name();
  bool has_period = FindComponent("btnPeriod") != nullptr;
  if (SameText(name, "btnOk") || SameText(name, "btnQuery") || SameText(name, "btnDesign") ||
      (has_period && RunButtonDown("btnPeriod")))
    FieldCheckFailed = CheckRequired(RequiredFields);
  if (!FieldCheckFailed) {
    TMethod saved = SavedHandler(SavedClickHandlers, name + ".OnClick");
    if (saved.Code) TNotifyEvent{saved}(sender);
    return;
  }
  if (has_period && pgOption->PageCount() > 0 &&
      pgOption->ActivePage() != pgOption->Pages(pgOption->PageCount() - 1)) {
    if (auto* period = dynamic_cast<TSpeedButton*>(FindComponent("btnPeriod")))
      period->SetDown(false);
    pgOption->Pages(pgOption->PageCount() - 1)->SetTabVisible(false);
  }
}

bool TfrmBaseGene::IsBlank(TComponent* component) {
  if (!HasProperty(component, "Text")) return false;
  auto* masked = dynamic_cast<TCustomMaskEdit*>(component);
  std::string text = masked ? masked->Text() : GetStrProperty(component, "Text");
  std::string blank;
  if (masked && ExtractField(masked->EditMask(), ";", 2) == "1") {
    // What the control shows when cleared, its own text put back after.
    std::string mask = masked->EditMask();
    std::string shown = masked->EditText();
    std::string cleared = mask;
    std::size_t at = cleared.find(";1");
    if (at != std::string::npos) cleared.replace(at, 2, ";0");
    masked->SetEditMask(cleared);
    masked->SetText("");
    masked->SetEditMask(mask);
    blank = masked->Text();
    masked->SetEditText(shown);
  }
  return Trim(text) == Trim(blank);
}

bool TfrmBaseGene::CheckRequired(std::string_view list) {
  for (const RequiredEntry& e : ParseRequired(list)) {
    if (Unchecked(e)) continue;
    TComponent* c = FindComponent(e.Name);
    if (!c) continue;
    auto* panel = dynamic_cast<TSelectPanel*>(c);
    bool empty;
    if (panel) {
      empty = panel->IsRangeInput() ? IsBlank(panel->edBegin()) || IsBlank(panel->edFinal())
                                    : panel->ListBox()->Items()->Count() == 0;
    } else {
      empty = IsBlank(c);
    }
    if (!empty) continue;
    AddMessage("E;000037");
    auto* control = dynamic_cast<TControl*>(c);
    for (TWinControl* p = control ? control->Parent() : nullptr; p; p = p->Parent()) {
      if (auto* sheet = dynamic_cast<TTabSheet*>(p)) {
        if (sheet->PageControl()) sheet->PageControl()->SetActivePage(sheet);
        break;
      }
      if (dynamic_cast<TCustomForm*>(p)) break;
    }
    TWinControl* target = dynamic_cast<TWinControl*>(c);
    if (panel)
      target = panel->IsRangeInput() ? static_cast<TWinControl*>(panel->edBegin())
                                     : static_cast<TWinControl*>(panel->ListBox());
    if (target && CanTakeFocus(target)) target->SetFocus();
    return true;
  }
  return false;
}

}  // namespace vx
