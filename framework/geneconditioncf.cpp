#include "framework/geneconditioncf.h"

#include <initializer_list>
#include <memory>

#include "controls/selectpnl.h"
#include "framework/basegene.h"
#include "framework/make_component.h"
#include "lang/code_converter.h"
#include "lib/strs.h"
#include "platform/rtl/text.h"
#include "platform/ui/typinfo.h"

namespace vx {

const TClassInfo& TfrmGeneCondition::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmGeneCondition>("TfrmGeneCondition", [](auto& r) {
    using F = TfrmGeneCondition;
    r.template Method<&F::SetDateEnv>("SetDateEnv");
    r.template Method<&F::btnOkClick>("btnOkClick");
    r.template Method<&F::FormKeyPress>("FormKeyPress");
    r.template Method<&F::cbodateconditionChange>("cbodateconditionChange");
    r.template Method<&F::spDate_BClick>("spDate_BClick");
    r.template Method<&F::spDate_EClick>("spDate_EClick");
    r.template Method<&F::edSetDateClick>("edSetDateClick");
    r.template Method<&F::cboSetDay_B2Change>("cboSetDay_B2Change");
    r.template Method<&F::cboSetDay_E2Change>("cboSetDay_E2Change");
    r.template Method<&F::cboSetDay2Change>("cboSetDay2Change");
    r.template Method<&F::cboSetDay1Change>("cboSetDay1Change");
    r.template Method<&F::seSetDay_B1Enter>("seSetDay_B1Enter");
    r.template Method<&F::seSetDay_B1Change>("seSetDay_B1Change");
    r.template Method<&F::seSetDay_B1Exit>("seSetDay_B1Exit");
    r.template Method<&F::seSetDay1Enter>("seSetDay1Enter");
    r.template Method<&F::seSetDay1Change>("seSetDay1Change");
    r.template Method<&F::seSetDay1Exit>("seSetDay1Exit");
  });
  return info;
}

namespace {

constexpr char kEtx = '\x03';
constexpr int kMaxSchemeName = 20;

std::string Field(const std::string& entry, int n) {
  return ExtractField(entry, std::string(1, kEtx), n);
}

template <class T>
T* Put(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width,
       int height) {
  T* c = MakeComponent<T>(owner, parent, name);
  c->SetBounds(left, top, width, height);
  return c;
}

}  // namespace

TfrmGeneCondition::TfrmGeneCondition(TfrmBaseGene* owner, const std::string& date_field_names,
                                     int skip_count)
    : TVXForm(owner), module_(owner) {
  BuildComponents();
  ConvertFormTexts();
  SetCaption(owner->Caption());
  DateFieldNames = date_field_names;
  SkipCount = skip_count;
  SetDateEnv();
  ReplaceScheme = false;
}

void TfrmGeneCondition::BuildComponents() {
  SetName("frmGeneCondition");
  SetBorderIcons({});
  SetKeyPreview(true);
  SetClientWidth(440);
  SetClientHeight(190);

  edConName = Put<TEdit>(this, this, "edConName", 96, 10, 180, 21);
  edConName->SetMaxLength(kMaxSchemeName);
  edConName->SetColor(kRequiredColor);
  lblCondition = Put<TDBLabel>(this, this, "lblCondition", 8, 14, 84, 13);
  lblCondition->SetGap(4);
  lblCondition->SetFocusControl(edConName);
  lblCondition->SetCaption("         方案名");

  gbDateFields = Put<TGroupBox>(this, this, "gbDateFields", 8, 40, 424, 110);
  gbDateFields->SetCaption("日期字段");
  lblPeriod13 = Put<TLabel>(this, gbDateFields, "lblPeriod13", 8, 20, 60, 13);
  lblPeriod13->SetCaption("      条件");
  cbodatecondition = Put<TComboBox>(this, gbDateFields, "cbodatecondition", 72, 16, 200, 21);
  cbodatecondition->SetStyle(csDropDownList);

  auto combo = [&](const char* name, TWinControl* parent, int left, int top, int width,
                   std::initializer_list<const char*> items) {
    auto* c = Put<TComboBox>(this, parent, name, left, top, width, 21);
    c->SetStyle(csDropDownList);
    for (const char* item : items)
      c->Items()->Add(item);
    c->SetItemIndex(0);
    return c;
  };
  auto spin = [&](const char* name, TWinControl* parent, int left, int top, int limit,
                  int length) -> TVxSpinEdit* {
    auto* s = Put<TShiftSpin>(this, parent, name, left, top, 17 + 9 * length, 21);
    s->SetMinValue(-limit);
    s->SetMaxValue(limit);
    s->SetMaxLength(length);
    s->SetText("0");
    return s;
  };
  auto label = [&](const char* name, TWinControl* parent, const char* caption, int left, int top) {
    auto* l = Put<TLabel>(this, parent, name, left, top, 0, 13);
    l->SetAutoSize(true);
    l->SetCaption(caption);
    return l;
  };
  struct Names {
    const char *box, *caption, *lbl, *count, *unit, *mode, *days, *lbl_days, *equals;
  };
  auto row = [&](TWinControl* parent, int top, const Names& n, TBitCheckBox*& box,
                 TLabel*& equals_label, TVxSpinEdit*& count, TComboBox*& unit, TComboBox*& mode,
                 TVxSpinEdit*& days, TLabel*& days_label) {
    box = Put<TBitCheckBox>(this, parent, n.box, 4, top + 2, 76, 17);
    box->SetCaption(n.caption);
    equals_label = label(n.lbl, parent, n.equals, 82, top + 4);
    count = spin(n.count, parent, 160, top, 99, 3);
    unit = combo(n.unit, parent, 208, top, 44, {"周", "月"});
    mode = combo(n.mode, parent, 254, top, 80, {"加/减", "第一天", "最后一天"});
    days = spin(n.days, parent, 336, top, 999, 4);
    days_label = label(n.lbl_days, parent, "天", 394, top + 4);
  };
  auto panel = [&](const char* name, int height) {
    auto* p = Put<TPanel>(this, gbDateFields, name, 4, 42, 416, height);
    p->SetCaption("");
    p->SetBevelOuter(TBevelCut::bvNone);
    return p;
  };
  pnSp = panel("pnSp", 60);
  row(pnSp, 4,
      {"spDate_B", "起始日期", "lblPeriodB", "seSetDay_B1", "cboSetDay_B1", "cboSetDay_B2",
       "seSetDay_B2", "lblPeriodB1", "        =预定运行日"},
      spDate_B, lblPeriodB, seSetDay_B1, cboSetDay_B1, cboSetDay_B2, seSetDay_B2, lblPeriodB1);
  row(pnSp, 32,
      {"spDate_E", "截止日期", "lblPeriodE", "seSetDay_E1", "cboSetDay_E1", "cboSetDay_E2",
       "seSetDay_E2", "lblPeriodE1", "        =预定运行日"},
      spDate_E, lblPeriodE, seSetDay_E1, cboSetDay_E1, cboSetDay_E2, seSetDay_E2, lblPeriodE1);
  pnEdit = panel("pnEdit", 30);
  row(pnEdit, 4,
      {"edSetDate", "变动日期", "lblPeriod15", "seSetDay1", "cboSetDay1", "cboSetDay2", "seSetDay2",
       "lblPeriod16", "=预定运行日"},
      edSetDate, lblPeriod15, seSetDay1, cboSetDay1, cboSetDay2, seSetDay2, lblPeriod16);
  pnEdit->SetVisible(false);
  for (TWinControl* c : std::initializer_list<TWinControl*>{
           seSetDay_B1, cboSetDay_B1, cboSetDay_B2, seSetDay_B2, seSetDay_E1, cboSetDay_E1,
           cboSetDay_E2, seSetDay_E2, seSetDay1, cboSetDay1, cboSetDay2, seSetDay2})
    c->SetEnabled(false);

  btnOk = Put<TButton>(this, this, "btnOk", 272, 158, 75, 25);
  btnOk->SetCaption("确定");
  btnOk->SetHint("确定");
  btnCancel = Put<TButton>(this, this, "btnCancel", 356, 158, 75, 25);
  btnCancel->SetCaption("取消");
  btnCancel->SetHint("取消");
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);

  // Handlers, wired after the defaults so that setting them runs none.
  btnOk->OnClick = Bind<&TfrmGeneCondition::btnOkClick>(this);
  OnKeyPress = Bind<&TfrmGeneCondition::FormKeyPress>(this);
  cbodatecondition->OnChange = Bind<&TfrmGeneCondition::cbodateconditionChange>(this);
  spDate_B->OnClick = Bind<&TfrmGeneCondition::spDate_BClick>(this);
  spDate_E->OnClick = Bind<&TfrmGeneCondition::spDate_EClick>(this);
  edSetDate->OnClick = Bind<&TfrmGeneCondition::edSetDateClick>(this);
  for (TWinControl* c :
       std::initializer_list<TWinControl*>{seSetDay_B1, cboSetDay_B1, cboSetDay_B2, seSetDay_B2,
                                           seSetDay_E1, cboSetDay_E1, cboSetDay_E2, seSetDay_E2})
    c->OnEnter = Bind<&TfrmGeneCondition::seSetDay_B1Enter>(this);
  for (TVxSpinEdit* s : {seSetDay_B1, seSetDay_B2, seSetDay_E1, seSetDay_E2}) {
    s->OnChange = Bind<&TfrmGeneCondition::seSetDay_B1Change>(this);
    s->OnExit = Bind<&TfrmGeneCondition::seSetDay_B1Exit>(this);
  }
  cboSetDay_B1->OnChange = cboSetDay_E1->OnChange =
      Bind<&TfrmGeneCondition::seSetDay_B1Change>(this);
  cboSetDay_B2->OnChange = Bind<&TfrmGeneCondition::cboSetDay_B2Change>(this);
  cboSetDay_E2->OnChange = Bind<&TfrmGeneCondition::cboSetDay_E2Change>(this);
  for (TWinControl* c :
       std::initializer_list<TWinControl*>{seSetDay1, cboSetDay1, cboSetDay2, seSetDay2})
    c->OnEnter = Bind<&TfrmGeneCondition::seSetDay1Enter>(this);
  seSetDay1->OnChange = seSetDay2->OnChange = Bind<&TfrmGeneCondition::seSetDay1Change>(this);
  seSetDay1->OnExit = Bind<&TfrmGeneCondition::seSetDay1Exit>(this);
  cboSetDay1->OnChange = Bind<&TfrmGeneCondition::cboSetDay1Change>(this);
  cboSetDay2->OnChange = Bind<&TfrmGeneCondition::cboSetDay2Change>(this);
}

// ---- the date environment ----------------------------------------------------------

void TfrmGeneCondition::SetDateEnv() {
  UserEditing = false;
  for (TComboBox* c :
       {cboSetDay_B1, cboSetDay_B2, cboSetDay_E1, cboSetDay_E2, cboSetDay1, cboSetDay2})
    c->SetItemIndex(0);
  TStringList& list = module_->DateEnvList;
  list.Clear();
  cbodatecondition->Items()->Clear();
  try {
    const int own_count = module_->OptionCount - module_->FrameworkOptionCount;
    Variant captions = VarArrayCreate(1, std::max(module_->OptionCount, 1));
    for (int i = 1; i <= captions.HighBound(); ++i)
      captions[i] = Variant::Null();
    module_->FillParamCaptions(captions, own_count);
    const int n = FieldCount(DateFieldNames, ',') - SkipCount;
    for (int k = 1; k <= n; ++k) {
      std::string name = Trim(ExtractField(module_->DateFields, ",", k));
      TComponent* c = name.empty() ? nullptr : module_->FindComponent(name);
      if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
        cbodatecondition->Items()->Add(panel->Caption());
        list.Add(ShiftRangeEntry(panel->Name(), BeginRow(), EndRow(), "D"));
      } else if (auto* edit = dynamic_cast<TCustomEdit*>(c)) {
        std::vector<std::string> found;
        for (int i = 1; i <= own_count && i <= captions.HighBound(); ++i) {
          const Variant& entry = captions[i];
          if (entry.IsArray() && entry.DimCount() == 1 &&
              entry.HighBound() - entry.LowBound() >= 1 &&
              VarToStr(entry[entry.LowBound() + 1]) == edit->Name())
            found.push_back(VarToStr(entry[entry.LowBound()]));
        }
        if (found.empty()) {
          if (const TPropInfo* caption = GetPropInfo(edit, "Caption");
              caption && caption->Kind() == tkString) {
            found.push_back(GetStrProp(*edit, *caption));
          } else {
            std::string text = edit->Name();
            for (TComponent* other : module_->ComponentList())
              if (auto* l = dynamic_cast<TDBLabel*>(other); l && l->FocusControl() == edit) {
                text = l->Caption();
                break;
              }
            found.push_back(text);
          }
        }
        for (const std::string& caption : found) {
          cbodatecondition->Items()->Add(caption);
          list.Add(ShiftSingleEntry(edit->Name(), SingleRow(), "D"));
        }
      }
    }
  } catch (...) {
    // What was gathered before the failure is offered.
  }
  if (cbodatecondition->Items()->Count() == 0) {
    gbDateFields->SetEnabled(false);
  } else {
    cbodatecondition->SetItemIndex(0);
    cbodateconditionChange(cbodatecondition);
    gbDateFields->SetEnabled(true);
  }
}

void TfrmGeneCondition::cbodateconditionChange(TObject*) {
  UserEditing = false;
  try {
    int i = cbodatecondition->ItemIndex();
    const TStringList& list = module_->DateEnvList;
    if (i < 0 || i >= list.Count()) return;
    const std::string entry = list.Get(i);
    calling_ = true;
    if (Field(entry, 1) != "0") {
      pnSp->SetVisible(false);
      LoadShiftRow(SingleRow(), entry, 3);
      edSetDateClick(edSetDate);
      cboSetDay2Change(cboSetDay2);
    } else {
      pnSp->SetVisible(true);
      LoadShiftRow(BeginRow(), entry, 3);
      spDate_BClick(spDate_B);
      cboSetDay_B2Change(cboSetDay_B2);
      LoadShiftRow(EndRow(), entry, 8);
      spDate_EClick(spDate_E);
      cboSetDay_E2Change(cboSetDay_E2);
    }
    calling_ = false;
    pnEdit->SetVisible(!pnSp->Visible());
    StoreDateEnv();
  } catch (...) {
    calling_ = false;
  }
}

void TfrmGeneCondition::StoreDateEnv() {
  int i = cbodatecondition->ItemIndex();
  TStringList& list = module_->DateEnvList;
  if (i < 0 || i >= list.Count()) return;
  const std::string entry = list.Get(i);
  if (Field(entry, 1) != "0") {
    pnSp->SetVisible(false);
    list.Put(i, ShiftSingleEntry(Field(entry, 2), SingleRow(), Field(entry, 8)));
  } else {
    pnSp->SetVisible(true);
    list.Put(i, ShiftRangeEntry(Field(entry, 2), BeginRow(), EndRow(), Field(entry, 13)));
  }
  pnEdit->SetVisible(!pnSp->Visible());
}

// ---- the editors ---------------------------------------------------------------------

TShiftRow TfrmGeneCondition::BeginRow() const {
  return {spDate_B, seSetDay_B1, cboSetDay_B1, cboSetDay_B2, seSetDay_B2};
}
TShiftRow TfrmGeneCondition::EndRow() const {
  return {spDate_E, seSetDay_E1, cboSetDay_E1, cboSetDay_E2, seSetDay_E2};
}
TShiftRow TfrmGeneCondition::SingleRow() const {
  return {edSetDate, seSetDay1, cboSetDay1, cboSetDay2, seSetDay2};
}

void TfrmGeneCondition::BoxClicked(const TShiftRow& row, bool by_user) {
  bool on = row.Box->Checked();
  for (TWinControl* c :
       std::initializer_list<TWinControl*>{row.Count, row.Unit, row.Mode, row.Days})
    c->SetEnabled(on);
  if (by_user) StoreDateEnv();
}

void TfrmGeneCondition::spDate_BClick(TObject*) {
  BoxClicked(BeginRow(), !calling_);
}
void TfrmGeneCondition::spDate_EClick(TObject*) {
  BoxClicked(EndRow(), !calling_);
}
void TfrmGeneCondition::edSetDateClick(TObject*) {
  BoxClicked(SingleRow(), !calling_);
}

void TfrmGeneCondition::ModeChanged(TComboBox* mode, TVxSpinEdit* days) {
  days->SetEnabled(mode->ItemIndex() == 0);
  if (UserEditing) StoreDateEnv();
}

void TfrmGeneCondition::cboSetDay_B2Change(TObject*) {
  ModeChanged(cboSetDay_B2, seSetDay_B2);
}
void TfrmGeneCondition::cboSetDay_E2Change(TObject*) {
  ModeChanged(cboSetDay_E2, seSetDay_E2);
}
void TfrmGeneCondition::cboSetDay2Change(TObject*) {
  ModeChanged(cboSetDay2, seSetDay2);
}

void TfrmGeneCondition::seSetDay_B1Enter(TObject*) {
  UserEditing = true;
}
void TfrmGeneCondition::seSetDay1Enter(TObject*) {
  UserEditing = true;
}
void TfrmGeneCondition::seSetDay_B1Change(TObject*) {
  if (UserEditing) StoreDateEnv();
}
void TfrmGeneCondition::seSetDay1Change(TObject*) {
  if (UserEditing) StoreDateEnv();
}
void TfrmGeneCondition::cboSetDay1Change(TObject*) {
  if (UserEditing) StoreDateEnv();
}

void TfrmGeneCondition::seSetDay_B1Exit(TObject* sender) {
  // A cleared or unreadable count counts as no move.
  if (auto* spin = dynamic_cast<TVxSpinEdit*>(static_cast<TComponent*>(sender))) {
    auto v = TryStrToInt(Trim(spin->Text()));
    if (!v || *v == 0) spin->SetText("0");
  }
}
void TfrmGeneCondition::seSetDay1Exit(TObject* sender) {
  seSetDay_B1Exit(sender);
}

void TfrmGeneCondition::FormKeyPress(TObject*, TKeyChar& key) {
  if (key != U'\r') return;
  key = 0;
  SelectNext(ActiveControl(), true, true);
}

// ---- the name ----------------------------------------------------------------------------

void TfrmGeneCondition::btnOkClick(TObject*) {
  std::string name = edConName->Text();
  if (Trim(name).empty()) {
    VxConverter()->ShowMessageDialog(
        GetLangText("TfrmGeneCondition", "sEmptyProjName", true, "方案名不可空白!"), mtError,
        {mbOK});
    edConName->SetFocus();
    return;
  }
  Variant found;
  if (module_->ServerCheck("GENES", "01", false, found,
                           VarArrayOf({name, module_->UserID, module_->ProgramID}))) {
    TModalResult answer = VxConverter()->ShowMessageDialog(
        GetLangText("TfrmGeneCondition", "sReplaceProj", true,
                    "此方案名已存在！是否将原来的方案替换为此方案?"),
        mtConfirmation, {mbOK, mbCancel});
    if (answer != mrOk) {
      edConName->SetFocus();
      return;
    }
    ReplaceScheme = true;
  }
  SetModalResult(mrOk);
}

Variant AskSchemeName(const std::string& date_fields, TfrmBaseGene* owner, int skip_count) {
  std::unique_ptr<TfrmGeneCondition> dialog(new TfrmGeneCondition(owner, date_fields, skip_count));
  if (dialog->ShowModal() != mrOk) return VarArrayOf({"", "", ""});
  return VarArrayOf({dialog->edConName->Text(), dialog->DateFieldNames, dialog->ReplaceScheme});
}

}  // namespace vx
