// The period page of the run options: the cycle and range of a periodic job,
// the rules that move the module's date parameters from run to run, and the
// two elements a periodic job adds to the parameter array.
#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

#include "controls/selectpnl.h"
#include "framework/baseopt.h"
#include "framework/shift_row.h"
#include "lib/edition.h"
#include "lib/schedule.h"
#include "lib/strs.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

// Fields of a date-shift entry are separated by ETX.
constexpr char kEtx = '\x03';
const std::string_view kEtxText{&kEtx, 1};

std::string Field(std::string_view entry, int index) {
  return ExtractField(entry, kEtxText, index);
}

using ShiftRow = TShiftRow;

std::array<ShiftRow, 3> ShiftRows(const TfrmBaseOpt& f) {
  return {{{f.edChangeDate, f.seDay1, f.cboDay1, f.cboDay2, f.seDay2},
           {f.spChangeDate_B, f.seDay_B1, f.cboDay_B1, f.cboDay_B2, f.seDay_B2},
           {f.spChangeDate_E, f.seDay_E1, f.cboDay_E1, f.cboDay_E2, f.seDay_E2}}};
}

const ShiftRow* RowOf(const std::array<ShiftRow, 3>& rows, const TObject* part) {
  for (const ShiftRow& r : rows)
    if (part == r.Box || part == r.Mode) return &r;
  return nullptr;
}

// The days of a row count only with the row switched on and the mode
// "加/减"; with the box off the whole row rests.
void EnableRow(const ShiftRow& r) {
  bool on = r.Box->Checked();
  r.Count->SetEnabled(on);
  r.Unit->SetEnabled(on);
  r.Mode->SetEnabled(on);
  r.Days->SetEnabled(on && r.Mode->ItemIndex() == 0);
}

// Puts the row fields of entry from field first on into the row's controls.
void LoadRow(const ShiftRow& r, const std::string& entry, int first) {
  LoadShiftRow(r, entry, first);
  EnableRow(r);
}

// Caption and component name of an entry of the caption row; empty texts
// when the entry is no [caption, name] pair.
std::pair<std::string, std::string> CaptionEntry(const Variant& entry) {
  if (!entry.IsArray() || entry.DimCount() != 1 || entry.HighBound() - entry.LowBound() < 1)
    return {};
  return {VarToStr(entry[entry.LowBound()]), VarToStr(entry[entry.LowBound() + 1])};
}

bool IsHourly(const Variant& cycle) {
  return !IsEarlierEdition() && cycle.IsArray() && cycle.HighBound() >= cycle.LowBound() &&
         !cycle[cycle.LowBound()].IsEmpty() && cycle[cycle.LowBound()].ToInt() == 3;
}

}  // namespace

// ---- building the page ----------------------------------------------------------

void TfrmBaseOpt::BuildPeriodPage() {
  tsPeriodOption = new TTabSheet(this);
  tsPeriodOption->SetName("tsPeriodOption");
  tsPeriodOption->SetPageControl(pgOption);
  tsPeriodOption->SetCaption("周期性设置");
  tsPeriodOption->OnShow = Bind<&TfrmBaseOpt::tsPeriodOptionShow>(this);

  auto put = []<class T>(T* c, const char* name, TWinControl* parent, int left, int top, int width,
                         int height) {
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  };
  int label_number = 0;
  auto label = [&](TWinControl* parent, const char* caption, int left, int top) {
    std::string name = "lblPeriod" + IntToStr(++label_number);
    auto* l = put(new TLabel(this), name.c_str(), parent, left, top, 0, 13);
    l->SetAutoSize(true);
    l->SetCaption(caption);
    return l;
  };
  auto panel = [&](const char* name, TWinControl* parent, int left, int top, int width,
                   int height) {
    auto* p = put(new TPanel(this), name, parent, left, top, width, height);
    p->SetCaption("");
    p->SetBevelOuter(TBevelCut::bvNone);
    return p;
  };
  auto group = [&](const char* name, const char* caption, int left, int top, int width,
                   int height) {
    auto* g = put(new TGroupBox(this), name, tsPeriodOption, left, top, width, height);
    g->SetCaption(caption);
    return g;
  };
  auto radio = [&](const char* name, const char* caption, TWinControl* parent, int left, int top) {
    auto* r = put(new TVxRadioButton(this), name, parent, left, top, 0, 17);
    r->SetCaption(caption);
    r->SetWidth(r->Canvas()->TextWidth(caption) + TVxRadioButton::CaptionIndent(9) + 4);
    return r;
  };
  auto spin = [&](TVxSpinEdit* s, const char* name, TWinControl* parent, int left, int top, int lo,
                  int hi, int length, const char* text) {
    put(s, name, parent, left, top, 17 + 9 * length, 21);
    s->SetMinValue(lo);
    s->SetMaxValue(hi);
    s->SetMaxLength(length);
    s->SetText(text);
    return s;
  };
  auto combo = [&](const char* name, TWinControl* parent, int left, int top, int width,
                   std::initializer_list<const char*> items) {
    auto* c = put(new TComboBox(this), name, parent, left, top, width, 21);
    c->SetStyle(csDropDownList);
    for (const char* item : items)
      c->Items()->Add(item);
    c->SetItemIndex(items.size() > 0 ? 0 : -1);
    return c;
  };
  auto date = [&](const char* name, const char* button, TWinControl* parent, int left, int top,
                  TF2Button*& f2) {
    auto* m = put(new TMaskEdit(this), name, parent, left, top, 85, 21);
    f2 = put(new TF2Button(this), button, parent, left + 87, top, 21, 21);
    f2->SetHint("日期快手");
    f2->SetGlyphIndex(9);
    f2->SetF2Control(m);
    return m;
  };
  static const std::initializer_list<const char*> kWeekdays = {
      "星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

  // Run time.
  lblPeriodTime = put(new TLabel(this), "lblPeriodTime", tsPeriodOption, 16, 12, 48, 13);
  lblPeriodTime->SetCaption("运行时间");
  sePeriodHour = spin(new TVxSpinEdit(this), "sePeriodHour", tsPeriodOption, 72, 8, 0, 23, 2, "0");
  sePeriodHour->SetHint("时间: 时");
  label(tsPeriodOption, "时", 112, 12);
  sePeriodMin = spin(new TVxSpinEdit(this), "sePeriodMin", tsPeriodOption, 132, 8, 0, 59, 2, "0");
  sePeriodMin->SetHint("时间: 分");
  label(tsPeriodOption, "分", 172, 12);

  // Cycle kind: one panel of details beside the choices.
  gbCycleStyle = group("gbCycleStyle", "循环模式", 8, 36, 378, 100);
  rdoEveryday = radio("rdoEveryday", "每天", gbCycleStyle, 10, 16);
  rdoEveryWeek = radio("rdoEveryWeek", "每周", gbCycleStyle, 10, 36);
  rdoEveryMonth = radio("rdoEveryMonth", "每月", gbCycleStyle, 10, 56);
  rdoEveryday->SetChecked(true);
  pnDay = panel("pnDay", gbCycleStyle, 110, 13, 260, 56);
  label(pnDay, "每", 4, 6);
  meDay = spin(new TVxSpinEdit(this), "meDay", pnDay, 20, 2, 1, 999, 3, "1");
  label(pnDay, "天", 70, 6);
  pnWeek = panel("pnWeek", gbCycleStyle, 110, 13, 260, 56);
  label(pnWeek, " 重复于每", 4, 6);
  meWeek = spin(new TVxSpinEdit(this), "meWeek", pnWeek, 64, 2, 1, 99, 2, "1");
  label(pnWeek, "周的", 104, 6);
  cboDayofWeek = combo("cboDayofWeek", pnWeek, 132, 2, 72, kWeekdays);
  pnMonth = panel("pnMonth", gbCycleStyle, 110, 13, 260, 56);
  rdomonth_1 = radio("rdomonth_1", "每", pnMonth, 4, 4);
  meMonth_M1 = spin(new TVxSpinEdit(this), "meMonth_M1", pnMonth, 40, 2, 1, 99, 2, "1");
  label(pnMonth, "个月的", 80, 6);
  meMonth_D = spin(new TVxSpinEdit(this), "meMonth_D", pnMonth, 124, 2, 1, 31, 2, "1");
  label(pnMonth, "日", 164, 6);
  rdomonth_2 = radio("rdomonth_2", "每", pnMonth, 4, 30);
  meMonth_M2 = spin(new TVxSpinEdit(this), "meMonth_M2", pnMonth, 40, 28, 1, 99, 2, "1");
  label(pnMonth, "个月的", 80, 32);
  cbo1Month_M2 = combo("cbo1Month_M2", pnMonth, 124, 28, 64,
                       {"第 1 个", "第 2 个", "第 3 个", "第 4 个", "最后"});
  cbo2Month_M2 = combo("cbo2Month_M2", pnMonth, 190, 28, 66, kWeekdays);
  rdomonth_1->SetChecked(true);
  pnWeek->Hide();
  pnMonth->Hide();
  rbEveryHour = nullptr;
  pnEveryHour = nullptr;
  edEveryHour = nullptr;
  if (!IsEarlierEdition()) {
    rbEveryHour = radio("rbEveryHour", "每小时", gbCycleStyle, 10, 76);
    pnEveryHour = panel("pnEveryHour", gbCycleStyle, 103, 70, 260, 26);
    label(pnEveryHour, "每隔", 4, 6);
    edEveryHour = put(new TEdit(this), "edEveryHour", pnEveryHour, 34, 2, 60, 21);
    edEveryHour->SetMaxLength(6);
    label(pnEveryHour, "小时处理一次数据", 98, 6);
    pnEveryHour->Hide();
  }

  // Cycle range.
  gbCycleRang = group("gbCycleRang", "循环范围", 8, 140, 378, 92);
  lblStartDate = put(new TLabel(this), "lblStartDate", gbCycleRang, 10, 20, 48, 13);
  lblStartDate->SetCaption("开始日期");
  meStartDate = date("meStartDate", "btnStartDate", gbCycleRang, 64, 16, btnStartDate);
  rbCycleRang_1 = radio("rbCycleRang_1", "没有退出日期", gbCycleRang, 186, 14);
  rbCycleRang_2 = radio("rbCycleRang_2", "在反复", gbCycleRang, 186, 40);
  meCycleRang_2 =
      spin(new TVxSpinEdit(this), "meCycleRang_2", gbCycleRang, 244, 38, 1, 999, 3, "1");
  label(gbCycleRang, "次后退出", 294, 42);
  rbCycleRang_3 = radio("rbCycleRang_3", "退出日期", gbCycleRang, 186, 66);
  meEndDate = date("meEndDate", "btnEndDate", gbCycleRang, 258, 64, btnEndDate);
  rbCycleRang_1->SetChecked(true);

  // Dynamic fields and their date-shift rows.
  gbDynamicFields = group("gbDynamicFields", "变动字段", 8, 236, 512, 112);
  label(gbDynamicFields, "   条件:", 8, 20);
  cbocondition = combo("cbocondition", gbDynamicFields, 60, 16, 220, {});
  auto row = [&](TWinControl* parent, int top, TBitCheckBox*& box, const char* box_name,
                 const char* caption, const char* names[4], ShiftRow& out) {
    box = put(new TBitCheckBox(this), box_name, parent, 4, top + 2, 100, 17);
    box->SetCaption(caption);
    label(parent, "=预定运行日", 106, top + 4);
    out.Box = box;
    out.Count = spin(new TShiftSpin(this), names[0], parent, 178, top, -99, 99, 3, "0");
    out.Unit = combo(names[1], parent, 226, top, 44, {"周", "月"});
    out.Mode = combo(names[2], parent, 272, top, 80, {"加/减", "第一天", "最后一天"});
    out.Days = spin(new TShiftSpin(this), names[3], parent, 354, top, -999, 999, 4, "0");
    label(parent, "天", 412, top + 4);
  };
  ShiftRow b{}, e{}, s{};
  pnSp = panel("pnSp", gbDynamicFields, 8, 42, 496, 62);
  const char* begin_names[4] = {"seDay_B1", "cboDay_B1", "cboDay_B2", "seDay_B2"};
  const char* end_names[4] = {"seDay_E1", "cboDay_E1", "cboDay_E2", "seDay_E2"};
  const char* single_names[4] = {"seDay1", "cboDay1", "cboDay2", "seDay2"};
  row(pnSp, 4, spChangeDate_B, "spChangeDate_B", "变动起始日期", begin_names, b);
  row(pnSp, 32, spChangeDate_E, "spChangeDate_E", "变动截止日期", end_names, e);
  pnEdit = panel("pnEdit", gbDynamicFields, 8, 42, 496, 32);
  row(pnEdit, 4, edChangeDate, "edChangeDate", "变动日期", single_names, s);
  seDay_B1 = b.Count, cboDay_B1 = b.Unit, cboDay_B2 = b.Mode, seDay_B2 = b.Days;
  seDay_E1 = e.Count, cboDay_E1 = e.Unit, cboDay_E2 = e.Mode, seDay_E2 = e.Days;
  seDay1 = s.Count, cboDay1 = s.Unit, cboDay2 = s.Mode, seDay2 = s.Days;
  for (const ShiftRow& r : ShiftRows(*this))
    EnableRow(r);

  // Handlers, wired after the defaults so that setting them runs none.
  rdoEveryday->OnClick = Bind<&TfrmBaseOpt::rdoEverydayClick>(this);
  rdoEveryWeek->OnClick = Bind<&TfrmBaseOpt::rdoEveryWeekClick>(this);
  rdoEveryMonth->OnClick = Bind<&TfrmBaseOpt::rdoEveryMonthClick>(this);
  rdomonth_1->OnClick = Bind<&TfrmBaseOpt::rdomonth_1Click>(this);
  rdomonth_2->OnClick = Bind<&TfrmBaseOpt::rdomonth_2Click>(this);
  if (rbEveryHour) {
    rbEveryHour->OnClick = Bind<&TfrmBaseOpt::rbEveryHourClick>(this);
    edEveryHour->OnExit = Bind<&TfrmBaseOpt::edEveryHourExit>(this);
    edEveryHour->OnKeyPress = Bind<&TfrmBaseOpt::edEveryHourKeyPress>(this);
  }
  rbCycleRang_1->OnClick = Bind<&TfrmBaseOpt::rbCycleRang_1Click>(this);
  rbCycleRang_2->OnClick = Bind<&TfrmBaseOpt::rbCycleRang_2Click>(this);
  rbCycleRang_3->OnClick = Bind<&TfrmBaseOpt::rbCycleRang_3Click>(this);
  meCycleRang_2->OnChange = Bind<&TfrmBaseOpt::meCycleRang_2Change>(this);
  meEndDate->OnChange = Bind<&TfrmBaseOpt::meEndDateChange>(this);
  meEndDate->OnExit = Bind<&TfrmBaseOpt::meEndDateExit>(this);
  cbocondition->OnChange = Bind<&TfrmBaseOpt::cboconditionChange>(this);
  edChangeDate->OnClick = Bind<&TfrmBaseOpt::edChangeDateClick>(this);
  spChangeDate_B->OnClick = Bind<&TfrmBaseOpt::spChangeDate_BClick>(this);
  spChangeDate_E->OnClick = Bind<&TfrmBaseOpt::spChangeDate_EClick>(this);
  cboDay2->OnChange = Bind<&TfrmBaseOpt::cboDay2Change>(this);
  cboDay_B2->OnChange = Bind<&TfrmBaseOpt::cboDay_B2Change>(this);
  cboDay_E2->OnChange = Bind<&TfrmBaseOpt::cboDay_E2Change>(this);
  for (TWinControl* c : std::initializer_list<TWinControl*>{seDay1, cboDay1, cboDay2, seDay2})
    c->OnEnter = Bind<&TfrmBaseOpt::seDay1Enter>(this);
  for (TWinControl* c : std::initializer_list<TWinControl*>{
           seDay_B1, cboDay_B1, cboDay_B2, seDay_B2, seDay_E1, cboDay_E1, cboDay_E2, seDay_E2})
    c->OnEnter = Bind<&TfrmBaseOpt::seDay_B1Enter>(this);
  seDay1->OnChange = seDay2->OnChange = cboDay1->OnChange = Bind<&TfrmBaseOpt::seDay1Change>(this);
  for (TVxSpinEdit* sp : {seDay_B1, seDay_B2, seDay_E1, seDay_E2})
    sp->OnChange = Bind<&TfrmBaseOpt::seDay_B1Change>(this);
  cboDay_B1->OnChange = cboDay_E1->OnChange = Bind<&TfrmBaseOpt::seDay_B1Change>(this);
  for (TVxSpinEdit* sp : {seDay1, seDay2, seDay_B1, seDay_B2, seDay_E1, seDay_E2})
    sp->OnExit = Bind<&TfrmBaseOpt::seDay_B1Exit>(this);
  for (TVxSpinEdit* sp : {meDay, meWeek, meMonth_M1, meMonth_M2, meCycleRang_2})
    sp->OnExit = Bind<&TfrmBaseOpt::meDayExit>(this);
  meMonth_D->OnExit = Bind<&TfrmBaseOpt::meMonth_DExit>(this);
  sePeriodHour->OnExit = sePeriodMin->OnExit = Bind<&TfrmBaseOpt::sePeriodHourExit>(this);
}

void TfrmBaseOpt::tsPeriodOptionShow(TObject*) {
  if (Width() < 538) SetWidth(538);
  if (Height() < 424) SetHeight(424);
}

// ---- switching the periodic mode -------------------------------------------------------

void TfrmBaseOpt::btnPeriodClick(TObject*) {
  pnEdit->Hide();
  if (CanTakeFocus(Panel1)) Panel1->SetFocus();
  try {
    bool periodic = btnPeriod->Down();
    tsPeriodOption->SetTabVisible(periodic);
    if (periodic) {
      if (PeriodPageReset) {
        ModuleRequired = RequiredFields;
        for (TPanel* p : {pnDay, pnWeek, pnMonth})
          p->SetBounds(110, 13, p->Width(), p->Height());
      }
      InitPeriodPage();
      pgOption->SetActivePage(tsPeriodOption);
      // A periodic job always runs at its own times.
      grpGenTime->SetEnabled(false);
      rdoExceptTime->SetChecked(true);
      CheckDateField(edDate, true);
      edDate->SetText(meStartDate->Text());
      DeclareOptionRequirements();
    } else {
      pgOption->SetActivePage(pgOption->Pages(0));
      grpGenTime->SetEnabled(true);
      // Checking runs the click handler, which declares the requirements of
      // the run mode alone.
      if (rdoQueue->Checked())
        rdoQueueClick(rdoQueue);
      else
        rdoQueue->SetChecked(true);
    }
  } catch (const std::exception&) {
    // The mode stays as far as it got; the run checks the fields anyway.
  }
}

void TfrmBaseOpt::InitPeriodPage() {
  ShiftEditing = false;
  bool reset = PeriodPageReset;
  try {
    int module_count = OptionCount - FrameworkOptionCount;
    Variant captions = VarArrayCreate(1, std::max(OptionCount, 1));
    for (int i = 1; i <= captions.HighBound(); ++i)
      captions[i] = Variant::Null();
    FillParamCaptions(captions, module_count);
    if (reset) {
      for (TComboBox* c : {cboDayofWeek, cbo1Month_M2, cbo2Month_M2, cboDay_B1, cboDay_B2,
                           cboDay_E1, cboDay_E2, cboDay1, cboDay2})
        c->SetItemIndex(0);
      for (TVxSpinEdit* sp : {meDay, meWeek, meMonth_M1, meMonth_D, meMonth_M2})
        sp->SetText("1");
      DateShiftEntries.clear();
      cbocondition->Items()->Clear();
      std::vector<std::string> names;
      std::string rest = DateFields;
      while (!rest.empty())
        names.push_back(Trim(CutFirstField(rest, ",")));
      // The framework's own date fields stand last: edDate, meStartDate,
      // meEndDate and edPrintDate.
      names.resize(names.size() > 4 ? names.size() - 4 : 0);
      auto rows = ShiftRows(*this);
      for (const std::string& name : names) {
        TComponent* c = FindComponent(name);
        if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
          cbocondition->Items()->Add(panel->Caption());
          DateShiftEntries.push_back(ShiftRangeEntry(panel->Name(), rows[1], rows[2], "D"));
        } else if (auto* edit = dynamic_cast<TCustomEdit*>(c)) {
          for (int k = 1; k <= module_count && k <= captions.HighBound(); ++k) {
            auto [caption, owner] = CaptionEntry(captions[k]);
            if (owner != edit->Name()) continue;
            cbocondition->Items()->Add(caption);
            DateShiftEntries.push_back(ShiftSingleEntry(edit->Name(), rows[0], "D"));
          }
        }
      }
      if (cbocondition->Items()->Count() == 0) {
        gbDynamicFields->SetEnabled(false);
      } else {
        cbocondition->SetItemIndex(0);
        cboconditionChange(cbocondition);
        gbDynamicFields->SetEnabled(true);
      }
    }
    // Every switch to the periodic mode starts from today.
    CheckDateField(meStartDate, true);
    meStartDate->SetText(FormatDateByKind(DateStyle(), DateSep(), Date()));
    CycleRequired = "meDay,meStartDate";
    if (!reset) {
      if (cbocondition->Items()->Count() > 0) cboconditionChange(cbocondition);
      if (rdoEveryWeek->Checked())
        rdoEveryWeekClick(rdoEveryWeek);
      else if (rdoEveryMonth->Checked())
        rdoEveryMonthClick(rdoEveryMonth);
      else if (rbEveryHour && rbEveryHour->Checked())
        rbEveryHourClick(rbEveryHour);
      else
        rdoEverydayClick(rdoEveryday);
    }
  } catch (const std::exception&) {
    if (cbocondition->Items()->Count() > 0) cbocondition->SetItemIndex(0);
  }
  PeriodPageReset = false;
}

// ---- cycle kind and range ---------------------------------------------------------------

namespace {

// Shows one panel of cycle details at its place and hides the others.
void ShowCyclePanel(const TfrmBaseOpt& f, TPanel* shown, int left, int top) {
  for (TPanel* p : {f.pnDay, f.pnWeek, f.pnMonth, f.pnEveryHour})
    if (p && p != shown) p->Hide();
  shown->SetBounds(left, top, shown->Width(), shown->Height());
  shown->Show();
}

}  // namespace

void TfrmBaseOpt::rdoEverydayClick(TObject*) {
  ShowCyclePanel(*this, pnDay, 110, 13);
  CycleRequired = "meDay,meStartDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rdoEveryWeekClick(TObject*) {
  ShowCyclePanel(*this, pnWeek, 110, 13);
  CycleRequired = "meWeek,meStartDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rdoEveryMonthClick(TObject*) {
  ShowCyclePanel(*this, pnMonth, 110, 13);
  // The fields required are those of the variant in force.
  if (rdomonth_2->Checked())
    rdomonth_2Click(rdomonth_2);
  else
    rdomonth_1Click(rdomonth_1);
}

void TfrmBaseOpt::rdomonth_1Click(TObject*) {
  CycleRequired = "meMonth_M1,meMonth_D,meStartDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rdomonth_2Click(TObject*) {
  CycleRequired = "meMonth_M2,meStartDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rbEveryHourClick(TObject*) {
  if (!pnEveryHour) return;
  ShowCyclePanel(*this, pnEveryHour, 103, 70);
  CycleRequired = "edEveryHour,meStartDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rbCycleRang_1Click(TObject*) {
  RangeRequired.clear();
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rbCycleRang_2Click(TObject*) {
  RangeRequired = "meCycleRang_2";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rbCycleRang_3Click(TObject*) {
  RangeRequired = "meEndDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::meCycleRang_2Change(TObject*) {
  rbCycleRang_2->SetChecked(true);
}

void TfrmBaseOpt::meEndDateChange(TObject*) {
  // Giving the field its date mask (on entering) changes its text too; only
  // a date being typed or picked chooses the end date.
  if (!DisplayToDate8(meEndDate->Text()).empty()) rbCycleRang_3->SetChecked(true);
}

void TfrmBaseOpt::meEndDateExit(TObject*) {
  FieldCheckFailed = false;
  if (!rbCycleRang_3->Checked()) return;
  // Compared as dates: the shown texts of month-first styles do not sort.
  std::string end = DisplayToDate8(meEndDate->Text());
  std::string start = DisplayToDate8(meStartDate->Text());
  if (end.empty() || start.empty() || !IsValidDate8(end) || !IsValidDate8(start) || end >= start)
    return;
  FieldCheckFailed = true;
  AddMessage("E;100082;" + rbCycleRang_3->Caption() + ";" + lblStartDate->Caption());
  if (CanTakeFocus(meEndDate)) meEndDate->SetFocus();
}

// ---- the date-shift editor ---------------------------------------------------------------

void TfrmBaseOpt::cboconditionChange(TObject*) {
  ShiftEditing = false;
  try {
    int i = cbocondition->ItemIndex();
    if (i < 0 || i >= static_cast<int>(DateShiftEntries.size())) return;
    const std::string entry = DateShiftEntries[static_cast<std::size_t>(i)];
    auto rows = ShiftRows(*this);
    if (Field(entry, 1) == "0") {
      pnSp->Show();
      LoadRow(rows[1], entry, 3);
      LoadRow(rows[2], entry, 8);
    } else {
      pnSp->Hide();
      LoadRow(rows[0], entry, 3);
    }
    pnEdit->SetVisible(!pnSp->Visible());
    StoreDateShift();
  } catch (const std::exception&) {
    // The rows keep what they show; the entry stays as it was.
  }
}

void TfrmBaseOpt::ChangeBoxRule(TBitCheckBox* box, bool by_user) {
  auto rows = ShiftRows(*this);
  if (const ShiftRow* r = RowOf(rows, box)) EnableRow(*r);
  if (by_user) StoreDateShift();
}

void TfrmBaseOpt::ModeRule(TComboBox* mode) {
  auto rows = ShiftRows(*this);
  if (const ShiftRow* r = RowOf(rows, mode)) EnableRow(*r);
  if (ShiftEditing) StoreDateShift();
}

void TfrmBaseOpt::edChangeDateClick(TObject*) {
  ChangeBoxRule(edChangeDate, true);
}
void TfrmBaseOpt::spChangeDate_BClick(TObject*) {
  ChangeBoxRule(spChangeDate_B, true);
}
void TfrmBaseOpt::spChangeDate_EClick(TObject*) {
  ChangeBoxRule(spChangeDate_E, true);
}
void TfrmBaseOpt::cboDay2Change(TObject*) {
  ModeRule(cboDay2);
}
void TfrmBaseOpt::cboDay_B2Change(TObject*) {
  ModeRule(cboDay_B2);
}
void TfrmBaseOpt::cboDay_E2Change(TObject*) {
  ModeRule(cboDay_E2);
}
void TfrmBaseOpt::seDay1Enter(TObject*) {
  ShiftEditing = true;
}
void TfrmBaseOpt::seDay_B1Enter(TObject*) {
  ShiftEditing = true;
}
void TfrmBaseOpt::seDay1Change(TObject*) {
  if (ShiftEditing) StoreDateShift();
}
void TfrmBaseOpt::seDay_B1Change(TObject*) {
  if (ShiftEditing) StoreDateShift();
}

void TfrmBaseOpt::StoreDateShift() {
  int i = cbocondition->ItemIndex();
  if (i < 0 || i >= static_cast<int>(DateShiftEntries.size())) return;
  std::string& entry = DateShiftEntries[static_cast<std::size_t>(i)];
  auto rows = ShiftRows(*this);
  std::string name = Field(entry, 2);
  bool range = Field(entry, 1) == "0";
  entry = range ? ShiftRangeEntry(name, rows[1], rows[2], Field(entry, 13))
                : ShiftSingleEntry(name, rows[0], Field(entry, 8));
  pnSp->SetVisible(range);
  pnEdit->SetVisible(!range);
}

// ---- exit rules of the number fields ------------------------------------------------------

namespace {

// The text of a number field after leaving it: fallback when it is no whole
// number or lies below low; high when it lies above.
void ExitRule(TObject* sender, int low, int high, const char* fallback) {
  auto* edit = dynamic_cast<TCustomEdit*>(sender);
  if (!edit) return;
  auto n = TryStrToInt(Trim(edit->Text()));
  if (!n || *n < low)
    edit->SetText(fallback);
  else if (*n > high)
    edit->SetText(IntToStr(high));
}

constexpr int kAny = 2'147'483'647;

}  // namespace

void TfrmBaseOpt::meDayExit(TObject* sender) {
  ExitRule(sender, 1, kAny, "1");
}

void TfrmBaseOpt::meMonth_DExit(TObject* sender) {
  ExitRule(sender, 1, 31, "1");
}

void TfrmBaseOpt::seDay_B1Exit(TObject* sender) {
  ExitRule(sender, -kAny, kAny, "0");
}

void TfrmBaseOpt::sePeriodHourExit(TObject* sender) {
  ExitRule(sender, -kAny, kAny, "0");
}

void TfrmBaseOpt::edEveryHourExit(TObject*) {
  if (!edEveryHour) return;
  // An interval of no hours, or less, never comes round.
  auto hours = TryStrToFloat(Trim(edEveryHour->Text()));
  if (!hours || !std::isfinite(*hours) || *hours <= 0) edEveryHour->SetText("1");
}

void TfrmBaseOpt::edEveryHourKeyPress(TObject*, TKeyChar& key) {
  if (key >= '0' && key <= '9') return;
  if (key == 8) return;
  if (key == '.' && edEveryHour && !edEveryHour->Text().empty() &&
      edEveryHour->Text().find('.') == std::string::npos)
    return;
  key = 0;
}

// ---- what a periodic job sends -------------------------------------------------------------

void TfrmBaseOpt::CollectCycle() {
  Variant cycle = VarArrayCreate(0, 1);
  try {
    if (rdoEveryWeek->Checked()) {
      cycle[0] = std::int32_t{1};
      cycle[1] = VarArrayOf({meWeek->Text(), std::int32_t{cboDayofWeek->ItemIndex()}});
    } else if (rdoEveryMonth->Checked()) {
      cycle[0] = std::int32_t{2};
      if (rdomonth_2->Checked())
        cycle[1] = VarArrayOf({std::int32_t{1}, meMonth_M2->Text(),
                               std::int32_t{cbo1Month_M2->ItemIndex()},
                               std::int32_t{cbo2Month_M2->ItemIndex()}});
      else
        cycle[1] = VarArrayOf({std::int32_t{0}, meMonth_M1->Text(), meMonth_D->Text()});
    } else if (rbEveryHour && rbEveryHour->Checked()) {
      cycle[0] = std::int32_t{3};
      // A text that is no number leaves the interval unset.
      if (auto hours = TryStrToFloat(Trim(edEveryHour->Text()))) cycle[1] = *hours;
    } else {
      cycle[0] = std::int32_t{0};
      cycle[1] = meDay->Text();
    }
  } catch (const std::exception&) {
    // The interval stays unset; the schedule is refused when it is sent.
  }
  CycleArray = cycle;
}

Variant TfrmBaseOpt::ScheduleElement() {
  std::string start = DisplayToDate8(meStartDate->Text());
  Variant range;
  if (rbCycleRang_2->Checked())
    range = VarArrayOf({start, std::int32_t{1}, meCycleRang_2->Text()});
  else if (rbCycleRang_3->Checked())
    range = VarArrayOf({start, std::int32_t{2}, DisplayToDate8(meEndDate->Text())});
  else
    range = VarArrayOf({start, std::int32_t{0}});
  return VarArrayOf(
      {"Y", Format("%.2d:%.2d", sePeriodHour->Value(), sePeriodMin->Value()), CycleArray, range});
}

bool TfrmBaseOpt::CollectParams() {
  bool r = TfrmBaseGene::CollectParams();
  if (!r || !btnPeriod->Down()) return r;
  try {
    CollectCycle();
    Variant schedule = ScheduleElement();
    const Variant& captions = ParamArray[1];
    int n = static_cast<int>(DateShiftEntries.size());
    Variant shifts = VarArrayCreate(0, n);
    shifts[0] = std::int32_t{n};
    for (int i = 0; i < n; ++i) {
      // The position of the field in the caption row goes with the entry
      // sent; the entry kept by the form stays as the user left it.
      std::string entry = DateShiftEntries[static_cast<std::size_t>(i)];
      for (int k = captions.LowBound(); k <= captions.HighBound(); ++k)
        if (CaptionEntry(captions[k]).second == Field(entry, 2)) entry += kEtx + IntToStr(k);
      shifts[i + 1] = entry;
    }
    // An hourly job has no first run date: its first run is the moment of
    // submission, or the start day when that lies later, and its values are
    // shifted from that day.
    std::string run_date = FirstRunDate;
    if (IsHourly(CycleArray))
      run_date = std::max(DateToDate8(Date()), DisplayToDate8(meStartDate->Text()));
    Variant args = VarArrayCreate(1, 3);
    args[1] = ParamArray[2];
    args[2] = schedule;
    args[3] = shifts;
    Variant values = ApplyDateShifts(args, run_date);
    if (!values.IsArray() || !ParseSchedule(schedule)) {
      // A schedule the server cannot follow, or a shifted date that cannot
      // be computed: the job is not sent.
      AddMessage("E;000005;" + GetMessageText("I", "000009") + GetMessageText("I", "000010"));
      return false;
    }
    Variant array = VarArrayCreate(0, 4);
    array[0] = ParamArray[0];
    array[1] = ParamArray[1];
    array[2] = values;
    array[3] = schedule;
    array[4] = shifts;
    ParamArray = array;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace vx
