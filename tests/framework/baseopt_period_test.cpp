// The period page of the run options: what a periodic job sends, the date
// shifts of the dynamic fields, the page's rules and the periodic switch.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/selectpnl.h"
#include "framework/baseopt.h"
#include "lib/edition.h"
#include "lib/strs.h"
#include "platform/rtl/datetime.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"
#include "tests/env/env_fixture.h"
#include "tests/framework/suite_doubles.h"

namespace vx {
namespace test {

// A job's form on the run options: a worksheet number ed01 and a date me02
// on the first page, optionally a date range sp03 before them.
class TfrmTstp01 : public TfrmBaseOpt {
  VX_CLASS(TfrmTstp01, TfrmBaseOpt)
  explicit TfrmTstp01(TComponent* owner) : TfrmBaseOpt(owner) {
    SetName("frmTstp01");
    ed01 = Put<TEdit>("ed01", 88, 20);
    me02 = Put<TMaskEdit>("me02", 88, 50);
    sp03 = Put<TSelectPanel>("sp03", 88, 80);
    sp03->SetCaption("盘点期间");
    ed01->SetText("W0001");
  }

  template <class T>
  T* Put(const char* name, int left, int top) {
    auto* c = new T(this);
    c->SetName(name);
    c->SetParent(tsOption1);
    c->SetBounds(left, top, 90, 21);
    return c;
  }

  void SetupProgram() override {
    TfrmBaseOpt::SetupProgram();
    SetOptionCount(range ? 3 : 2);
    if (date_fields) SetDateFields(range ? "sp03,me02" : "me02");
  }
  bool InitModule(const Variant& startup) override {
    bool r = TfrmBaseOpt::InitModule(startup);
    if (r) {
      me02->SetEditMask(DateMaskText());
      me02->SetText("2023/06/30");
      edPrintDate->SetText("2024/12/11");
    }
    return r;
  }
  bool FillParamCaptions(Variant& row, int module_count) override {
    bool r = TfrmBaseOpt::FillParamCaptions(row, module_count);
    row[1] = VarArrayOf({"盘点底稿编号", "ed01"});
    row[2] = VarArrayOf({"盘点日期", "me02"});
    if (range) row[3] = VarArrayOf({"盘点期间", "sp03"});
    return r;
  }
  bool FillParamValues(Variant& row, int module_count) override {
    bool r = TfrmBaseOpt::FillParamValues(row, module_count);
    row[1] = ed01->Text();
    row[2] = DisplayToDate8(me02->Text());
    if (range)
      row[3] = VarArrayOf({"sp_Range", DisplayToDate8(sp03->edBegin()->Text()),
                           DisplayToDate8(sp03->edFinal()->Text())});
    return r;
  }

  TEdit* ed01;
  TMaskEdit* me02;
  TSelectPanel* sp03;
  bool date_fields = true;
  bool range = false;
};

inline const TClassInfo& TfrmTstp01::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmTstp01>("TfrmTstp01", [](auto&) {});
  return info;
}

}  // namespace test

namespace {

using test::TfrmTstp01;

// A variant as text: arrays in brackets (their low bound when not 0),
// texts quoted with ETX shown as "|", whole numbers bare, reals with "r".
std::string Dump(const Variant& v) {
  if (v.IsArray()) {
    std::string out = "[";
    if (v.LowBound() != 0) out += IntToStr(v.LowBound()) + ":";
    for (int i = v.LowBound(); i <= v.HighBound(); ++i)
      out += (i > v.LowBound() ? "," : "") + Dump(v[i]);
    return out + "]";
  }
  if (v.IsEmpty()) return "empty";
  if (v.IsString()) {
    std::string text = VarToStr(v);
    for (char& c : text)
      if (c == '\x03') c = '|';
    return "'" + text + "'";
  }
  if (v.VarType() == varDouble) return FloatToStr(v.ToDouble()) + "r";
  return IntToStr(v.ToInt64());
}

class PeriodPage : public test::ModuleMachine {
 protected:
  TfrmTstp01* Started(const std::function<void(TfrmTstp01*)>& before = {}) {
    auto* f = Create<TfrmTstp01>(nullptr);
    f->Manager = doubles_.Manager();
    f->SetModuleFileName(tmp_.Path("TSTP01C.so"));
    if (before) before(f);
    EXPECT_TRUE(f->InitModule(VarArrayOf({"DS", "DEMO", "VXSYS", 0, "x"}))) << f->MessageTexts;
    f->CloseAfterRun = false;
    // Receivers chosen, so that every entry of the environment row is filled.
    if (f->chkNotify) f->chkNotify->Click();
    return f;
  }
  // The periodic mode switched on as the user does it, starting on start.
  static void Periodic(TfrmTstp01* f, const std::string& start = {}) {
    f->btnPeriod->Click();
    ASSERT_TRUE(f->btnPeriod->Down());
    if (!start.empty()) f->meStartDate->SetText(start);
  }
  // The run button; the parameter array as the server received it, or
  // empty when nothing was sent.
  Variant Run(TfrmTstp01* f) {
    int before = doubles_.Server().CallCount("Request");
    f->btnOk->Click();
    if (doubles_.Server().CallCount("Request") == before) return Variant();
    return doubles_.Server().LastCall("Request").Args[0];
  }
  std::string LastDialogText() const {
    auto d = HeadlessWidgetSet()->Dialogs();
    return d.empty() ? std::string() : d.back().Text;
  }
};

TEST_F(PeriodPage, ThePageAsBuilt) {
  TfrmTstp01* f = Started();
  EXPECT_EQ(f->pgOption->Pages(f->pgOption->PageCount() - 1), f->tsPeriodOption);
  EXPECT_EQ(f->tsPeriodOption->Caption(), "周期性设置");
  EXPECT_FALSE(f->tsPeriodOption->TabVisible());
  EXPECT_EQ(f->lblPeriodTime->Caption(), "运行时间");
  EXPECT_EQ(f->sePeriodHour->Hint(), "时间: 时");
  EXPECT_EQ(f->sePeriodMin->Hint(), "时间: 分");
  EXPECT_EQ(f->gbCycleStyle->Caption(), "循环模式");
  EXPECT_EQ(f->gbCycleRang->Caption(), "循环范围");
  EXPECT_EQ(f->gbDynamicFields->Caption(), "变动字段");
  EXPECT_EQ(f->rbEveryHour->Caption(), "每小时");
  EXPECT_EQ(f->rbCycleRang_2->Caption(), "在反复");
  EXPECT_EQ(f->spChangeDate_B->Caption(), "变动起始日期");
  EXPECT_EQ(f->edChangeDate->Caption(), "变动日期");
  EXPECT_EQ(f->edEveryHour->MaxLength(), 6);
  EXPECT_TRUE(f->rdoEveryday->Checked());
  EXPECT_TRUE(f->rdomonth_1->Checked());
  EXPECT_TRUE(f->rbCycleRang_1->Checked());
  EXPECT_TRUE(f->pnDay->Visible());
  EXPECT_FALSE(f->pnWeek->Visible());
  EXPECT_FALSE(f->pnEveryHour->Visible());

  struct SpinCase {
    TVxSpinEdit* spin;
    int lo, hi, length;
    const char* text;
  } spins[] = {{f->sePeriodHour, 0, 23, 2, "0"}, {f->sePeriodMin, 0, 59, 2, "0"},
               {f->meDay, 1, 999, 3, "1"},       {f->meWeek, 1, 99, 2, "1"},
               {f->meMonth_M1, 1, 99, 2, "1"},   {f->meMonth_M2, 1, 99, 2, "1"},
               {f->meMonth_D, 1, 31, 2, "1"},    {f->meCycleRang_2, 1, 999, 3, "1"},
               {f->seDay1, -99, 99, 3, "0"},     {f->seDay_B1, -99, 99, 3, "0"},
               {f->seDay_E1, -99, 99, 3, "0"},   {f->seDay2, -999, 999, 4, "0"},
               {f->seDay_B2, -999, 999, 4, "0"}, {f->seDay_E2, -999, 999, 4, "0"}};
  for (const SpinCase& c : spins) {
    SCOPED_TRACE(c.spin->Name());
    EXPECT_EQ(c.spin->MinValue(), c.lo);
    EXPECT_EQ(c.spin->MaxValue(), c.hi);
    EXPECT_EQ(c.spin->MaxLength(), c.length);
    EXPECT_EQ(c.spin->Text(), c.text);
  }
  auto items = [](TComboBox* c) {
    std::string out;
    for (int i = 0; i < c->Items()->Count(); ++i)
      out += c->Items()->Get(i) + ",";
    return out + IntToStr(c->ItemIndex());
  };
  EXPECT_EQ(items(f->cboDayofWeek), "星期日,星期一,星期二,星期三,星期四,星期五,星期六,0");
  EXPECT_EQ(items(f->cbo1Month_M2), "第 1 个,第 2 个,第 3 个,第 4 个,最后,0");
  EXPECT_EQ(items(f->cboDay_E1), "周,月,0");
  EXPECT_EQ(items(f->cboDay2), "加/减,第一天,最后一天,0");
  // The rows rest until their change box is checked.
  for (TWinControl* c : std::initializer_list<TWinControl*>{f->seDay1, f->cboDay1, f->cboDay2,
                                                            f->seDay2, f->seDay_B1, f->seDay_E2})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_FALSE(f->edChangeDate->Checked());

  f->tsPeriodOption->OnShow(f->tsPeriodOption);
  EXPECT_GE(f->Width(), 538);
  EXPECT_GE(f->Height(), 424);
}

TEST_F(PeriodPage, SwitchingThePeriodicModeOnAndOff) {
  TfrmTstp01* f = Started();
  f->edDate->SetText("2024/01/01");
  f->rdoExceptTime->Click();
  EXPECT_EQ(f->RequiredFields, "edDate");
  Periodic(f);
  EXPECT_TRUE(f->tsPeriodOption->TabVisible());
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsPeriodOption);
  EXPECT_FALSE(f->grpGenTime->Enabled());
  EXPECT_TRUE(f->rdoExceptTime->Checked());
  std::string today = FormatDateByKind(1, "/", Date());
  EXPECT_EQ(f->meStartDate->Text(), today);
  EXPECT_EQ(f->edDate->Text(), today);
  EXPECT_EQ(f->edDate->EditMask(), "9999/99/99;1; ");
  EXPECT_EQ(f->ModuleRequired, "edDate");
  EXPECT_EQ(f->RequiredFields, "edDate,meDay,meStartDate,edDate");
  EXPECT_FALSE(f->PeriodPageReset);

  // Each cycle kind and range requires its own fields.
  struct Step {
    TVxRadioButton* choice;
    const char* required;
  } steps[] = {
      {f->rdoEveryWeek, "edDate,meWeek,meStartDate,edDate"},
      {f->rdoEveryMonth, "edDate,meMonth_M1,meMonth_D,meStartDate,edDate"},
      {f->rdomonth_2, "edDate,meMonth_M2,meStartDate,edDate"},
      {f->rbCycleRang_3, "edDate,meMonth_M2,meStartDate,meEndDate,edDate"},
      {f->rbEveryHour, "edDate,edEveryHour,meStartDate,meEndDate,edDate"},
      {f->rbCycleRang_2, "edDate,edEveryHour,meStartDate,meCycleRang_2,edDate"},
      {f->rdoEveryday, "edDate,meDay,meStartDate,meCycleRang_2,edDate"},
      {f->rbCycleRang_1, "edDate,meDay,meStartDate,edDate"},
  };
  for (const Step& s : steps) {
    s.choice->Click();
    EXPECT_EQ(f->RequiredFields, s.required) << s.choice->Name();
  }
  EXPECT_EQ(f->pnMonth->Left(), 110);
  EXPECT_EQ(f->pnMonth->Top(), 13);
  EXPECT_EQ(f->pnEveryHour->Left(), 103);
  EXPECT_EQ(f->pnEveryHour->Top(), 70);
  // Every day after every hour: the day panel alone.
  EXPECT_TRUE(f->pnDay->Visible());
  EXPECT_FALSE(f->pnEveryHour->Visible());
  EXPECT_FALSE(f->pnWeek->Visible());
  EXPECT_FALSE(f->pnMonth->Visible());

  // The month kind with its second variant comes back with that variant.
  f->rdoEveryMonth->Click();
  EXPECT_EQ(f->CycleRequired, "meMonth_M2,meStartDate");
  f->meStartDate->SetText("2030/01/01");
  f->btnPeriod->Click();
  EXPECT_FALSE(f->tsPeriodOption->TabVisible());
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsOption1);
  EXPECT_TRUE(f->grpGenTime->Enabled());
  EXPECT_TRUE(f->rdoQueue->Checked());
  EXPECT_FALSE(f->pnlTime->Enabled());
  EXPECT_EQ(f->RequiredFields, "");

  // Later switches keep the choices and start from today again.
  f->meMonth_M2->SetText("3");
  Periodic(f);
  EXPECT_TRUE(f->rdoEveryMonth->Checked());
  EXPECT_TRUE(f->pnMonth->Visible());
  EXPECT_EQ(f->meMonth_M2->Text(), "3");
  EXPECT_EQ(f->meStartDate->Text(), today);
  EXPECT_EQ(f->RequiredFields, "edDate,meMonth_M2,meStartDate,edDate");
}

TEST_F(PeriodPage, AnEmptyModuleFieldKeepsThePeriodicModeOff) {
  TfrmTstp01* f = Started();
  f->Show();
  f->SetRequiredFields("ed01");
  f->ed01->SetText("");
  f->btnPeriod->Click();
  EXPECT_FALSE(f->btnPeriod->Down());
  EXPECT_FALSE(f->tsPeriodOption->TabVisible());
  EXPECT_EQ(f->MessageCodes, "E;000037; ");
  f->ed01->SetText("W0002");
  Periodic(f);
  EXPECT_EQ(f->ModuleRequired, "ed01");
  // The module's own requirement stays (also once more, as kept).
  EXPECT_EQ(f->RequiredFields, "ed01,meDay,meStartDate,edDate,ed01");
}

// What a periodic job sends for each cycle and range.
TEST_F(PeriodPage, ThePeriodicJobAsTheServerReceivesIt) {
  struct Case {
    const char* name;
    const char* start;
    std::function<void(TfrmTstp01*)> choose;
    const char* schedule;
    const char* first;  // YYYYMMDD
  } cases[] = {
      {"every 3 days, endless", "2024/01/03", [](TfrmTstp01* f) { f->meDay->SetText("3"); },
       "['Y','07:05',[0,'3'],['20240103',0]]", "20240103"},
      {"weekly on Friday, 5 runs", "2024/01/03",
       [](TfrmTstp01* f) {
         f->rdoEveryWeek->Click();
         f->cboDayofWeek->UserSelect(5);
         f->meCycleRang_2->SetText("5");
       },
       "['Y','07:05',[1,['1',5]],['20240103',1,'5']]", "20240105"},
      {"weekly on Monday", "2024/01/03",
       [](TfrmTstp01* f) {
         f->rdoEveryWeek->Click();
         f->cboDayofWeek->UserSelect(1);
       },
       "['Y','07:05',[1,['1',1]],['20240103',0]]", "20240108"},
      {"every second week on Friday", "2024/01/03",
       [](TfrmTstp01* f) {
         f->rdoEveryWeek->Click();
         f->meWeek->SetText("2");
         f->cboDayofWeek->UserSelect(5);
       },
       "['Y','07:05',[1,['2',5]],['20240103',0]]", "20240112"},
      {"monthly on the 20th until the year's end", "2024/01/15",
       [](TfrmTstp01* f) {
         f->rdoEveryMonth->Click();
         f->meMonth_D->SetText("20");
         f->meEndDate->SetText("2024/12/31");
       },
       "['Y','07:05',[2,[0,'1','20']],['20240115',2,'20241231']]", "20240120"},
      {"monthly on the 10th", "2024/01/15",
       [](TfrmTstp01* f) {
         f->rdoEveryMonth->Click();
         f->meMonth_D->SetText("10");
       },
       "['Y','07:05',[2,[0,'1','10']],['20240115',0]]", "20240210"},
      {"monthly on the 31st", "2024/02/10",
       [](TfrmTstp01* f) {
         f->rdoEveryMonth->Click();
         f->meMonth_D->SetText("31");
       },
       "['Y','07:05',[2,[0,'1','31']],['20240210',0]]", "20240229"},
      {"monthly on the second Tuesday", "2024/01/15",
       [](TfrmTstp01* f) {
         f->rdoEveryMonth->Click();
         f->rdomonth_2->Click();
         f->cbo1Month_M2->UserSelect(1);
         f->cbo2Month_M2->UserSelect(2);
       },
       "['Y','07:05',[2,[1,'1',1,2]],['20240115',0]]", "20240213"},
      {"every two months on the last Friday", "2024/01/15",
       [](TfrmTstp01* f) {
         f->rdoEveryMonth->Click();
         f->rdomonth_2->Click();
         f->meMonth_M2->SetText("2");
         f->cbo1Month_M2->UserSelect(4);
         f->cbo2Month_M2->UserSelect(5);
       },
       "['Y','07:05',[2,[1,'2',4,5]],['20240115',0]]", "20240223"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TfrmTstp01* f = Started();
    Periodic(f, c.start);
    f->sePeriodHour->SetText("7");
    f->sePeriodMin->SetText("5");
    c.choose(f);
    Variant p = Run(f);
    ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
    EXPECT_EQ(p.LowBound(), 0);
    EXPECT_EQ(p.HighBound(), 4);
    EXPECT_EQ(Dump(p[3]), c.schedule);
    EXPECT_EQ(Dump(p[4]), "[1,'1|me02|N|0|0|0|0|D|2']");
    EXPECT_EQ(VarToStr(p[0][9]), "r");
    EXPECT_EQ(p[0][10].ToInt(), 2);
    EXPECT_EQ(p[0][11].VarType(), varDate);
    EXPECT_DOUBLE_EQ(p[0][11].ToDate().Value,
                     Date8ToDate(c.first).Value + EncodeTime(7, 5, 0, 0).Value);
    EXPECT_EQ(f->FirstRunDate, c.first);
    EXPECT_EQ(f->edSec->Text(), "00");
    EXPECT_EQ(f->ResultCode, 1);
  }
}

TEST_F(PeriodPage, AnHourlyJobRunsFromTheMomentOfSubmission) {
  TfrmTstp01* f = Started();
  Periodic(f);
  f->rbEveryHour->Click();
  f->edEveryHour->SetText("1.5");
  f->edChangeDate->Click();
  TDateTime before = Now();
  Variant p = Run(f);
  TDateTime after = Now();
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  std::string today = DateToDate8(Date());
  EXPECT_EQ(Dump(p[3]), "['Y','00:00',[3,1.5r],['" + today + "',0]]");
  EXPECT_GE(p[0][11].ToDate().Value, before.Value);
  EXPECT_LE(p[0][11].ToDate().Value, after.Value);
  EXPECT_EQ(f->FirstRunDate, "");
  // No first run date: the dates move from the day of submission.
  EXPECT_EQ(VarToStr(p[2][2]), today);

  // A start day still to come is the first run's day.
  std::string later = DateToDate8(TDateTime(Date().Value + 10));
  f->meStartDate->SetText(FormatDateByKind(1, "/", Date8ToDate(later)));
  p = Run(f);
  ASSERT_TRUE(p.IsArray());
  EXPECT_EQ(VarToStr(p[2][2]), later);
}

TEST_F(PeriodPage, AModuleWithoutDateFieldsHasNoDynamicFields) {
  TfrmTstp01* f = Started([](TfrmTstp01* f) { f->date_fields = false; });
  Periodic(f, "2024/01/03");
  EXPECT_FALSE(f->gbDynamicFields->Enabled());
  EXPECT_EQ(f->cbocondition->Items()->Count(), 0);
  Variant p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(Dump(p[4]), "[0]");
  EXPECT_EQ(VarToStr(p[2][2]), "20230630");
}

TEST_F(PeriodPage, ASingleDateFieldMovesWithTheRunDate) {
  TfrmTstp01* f = Started();
  f->me02->SetText("2023/06/30");
  Periodic(f, "2024/01/15");
  EXPECT_TRUE(f->gbDynamicFields->Enabled());
  EXPECT_EQ(f->cbocondition->Items()->Get(0), "盘点日期");
  EXPECT_TRUE(f->pnEdit->Visible());
  EXPECT_FALSE(f->pnSp->Visible());
  f->rdoEveryMonth->Click();
  f->meMonth_D->SetText("20");

  // Unchanged field: its own date goes.
  Variant p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(VarToStr(p[2][2]), "20230630");

  // Change box on, 0 / "加/减" / 0: the run date itself.
  f->edChangeDate->Click();
  EXPECT_TRUE(f->seDay1->Enabled());
  EXPECT_TRUE(f->seDay2->Enabled());
  EXPECT_EQ(f->DateShiftEntries[0],
            "1\x03me02\x03Y\x03"
            "0\x03"
            "0\x03"
            "0\x03"
            "0\x03"
            "D");
  p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(VarToStr(p[2][2]), "20240120");
  EXPECT_EQ(Dump(p[4]), "[1,'1|me02|Y|0|0|0|0|D|2']");

  // One month on, its last day; the days rest with that mode.
  f->seDay1Enter(f->seDay1);
  f->seDay1->SetText("1");
  f->cboDay1->UserSelect(1);
  f->cboDay2->UserSelect(2);
  EXPECT_FALSE(f->seDay2->Enabled());
  p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(VarToStr(p[2][2]), "20240229");
  // Each run sends one position; the form keeps the entry as edited.
  EXPECT_EQ(Dump(p[4]), "[1,'1|me02|Y|1|1|2|0|D|2']");
  EXPECT_EQ(f->DateShiftEntries[0],
            "1\x03me02\x03Y\x03"
            "1\x03"
            "1\x03"
            "2\x03"
            "0\x03"
            "D");

  // Minus two weeks and three days.
  f->cboDay1->UserSelect(0);
  f->cboDay2->UserSelect(0);
  EXPECT_TRUE(f->seDay2->Enabled());
  f->seDay1->SetText("-2");
  f->seDay2->SetText("-3");
  p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(VarToStr(p[2][2]), "20240103");

  // The box off again: the whole row rests and the field keeps its date.
  f->edChangeDate->Click();
  for (TWinControl* c :
       std::initializer_list<TWinControl*>{f->seDay1, f->cboDay1, f->cboDay2, f->seDay2})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  p = Run(f);
  ASSERT_TRUE(p.IsArray());
  EXPECT_EQ(VarToStr(p[2][2]), "20230630");
}

TEST_F(PeriodPage, ARangeFieldMovesItsBeginAndEnd) {
  TfrmTstp01* f = Started([](TfrmTstp01* f) { f->range = true; });
  f->me02->SetText("2023/06/30");
  f->sp03->edBegin()->SetText("2023/01/01");
  f->sp03->edFinal()->SetText("2023/12/31");
  Periodic(f, "2024/03/15");
  ASSERT_EQ(f->cbocondition->Items()->Count(), 2);
  EXPECT_EQ(f->cbocondition->Items()->Get(0), "盘点期间");
  EXPECT_EQ(f->cbocondition->Items()->Get(1), "盘点日期");
  EXPECT_TRUE(f->pnSp->Visible());
  EXPECT_FALSE(f->pnEdit->Visible());

  // Begin: the first day of last month; end: the Saturday of this week.
  f->spChangeDate_B->Click();
  f->seDay_B1Enter(f->seDay_B1);
  f->seDay_B1->SetText("-1");
  f->cboDay_B1->UserSelect(1);
  f->cboDay_B2->UserSelect(1);
  f->spChangeDate_E->Click();
  f->cboDay_E2->UserSelect(2);
  EXPECT_FALSE(f->seDay_B2->Enabled());
  EXPECT_FALSE(f->seDay_E2->Enabled());
  EXPECT_TRUE(f->seDay_E1->Enabled());

  // The single field's rows show its own entry, and back.
  f->cbocondition->UserSelect(1);
  EXPECT_FALSE(f->pnSp->Visible());
  EXPECT_TRUE(f->pnEdit->Visible());
  EXPECT_FALSE(f->edChangeDate->Checked());
  EXPECT_FALSE(f->ShiftEditing);
  f->cbocondition->UserSelect(0);
  EXPECT_TRUE(f->spChangeDate_B->Checked());
  EXPECT_EQ(f->seDay_B1->Text(), "-1");
  EXPECT_EQ(f->cboDay_B2->ItemIndex(), 1);
  EXPECT_EQ(f->cboDay_E2->ItemIndex(), 2);

  Variant p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(Dump(p[4]), "[2,'0|sp03|Y|-1|1|1|0|Y|0|0|2|0|D|3','1|me02|N|0|0|0|0|D|2']");
  EXPECT_EQ(Dump(p[2][3]), "['sp_Range','20240201','20240316']");
  EXPECT_EQ(VarToStr(p[2][2]), "20230630");
}

TEST_F(PeriodPage, AShiftThatCannotBeComputedIsNotSent) {
  TfrmTstp01* f = Started();
  Periodic(f, "9999/12/01");
  f->edChangeDate->Click();
  f->seDay1Enter(f->seDay1);
  f->cboDay1->UserSelect(1);
  f->seDay1->SetText("2");
  EXPECT_FALSE(Run(f).IsArray());
  EXPECT_NE(f->MessageCodes.find("E;000005;"), std::string::npos);
  EXPECT_EQ(f->ResultCode, 0);
  // Within the calendar it goes.
  f->seDay1->SetText("-2");
  Variant p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(VarToStr(p[2][2]), "99991001");

  // An hour interval that is no number gives no schedule to send.
  f->rbEveryHour->Click();
  f->edEveryHour->SetText("x");
  f->AddMessage("");
  EXPECT_FALSE(Run(f).IsArray());
  EXPECT_EQ(f->MessageCodes.substr(0, 9), "E;000005;");
  f->CollectCycle();
  EXPECT_EQ(Dump(f->CycleArray), "[3,empty]");
}

TEST_F(PeriodPage, NumberFieldsAreCorrectedOnLeaving) {
  TfrmTstp01* f = Started();
  f->Show();
  Periodic(f);
  f->edChangeDate->Click();
  // Left by the focus, through the spins' own correction.
  struct Leave {
    TCustomEdit* field;
    const char* typed;
    const char* after;
  } leaves[] = {{f->seDay1, "", "0"},        {f->seDay2, "-", "0"}, {f->seDay1, "150", "99"},
                {f->meDay, "0", "1"},        {f->meDay, "", "1"},   {f->sePeriodHour, "", "0"},
                {f->sePeriodMin, "75", "59"}};
  for (const Leave& l : leaves) {
    l.field->SetFocus();
    ASSERT_TRUE(l.field->Focused()) << l.field->Name();
    TextEdited(l.field, l.typed);
    f->cbocondition->SetFocus();
    EXPECT_EQ(l.field->Text(), l.after) << l.field->Name() << " '" << l.typed << "'";
  }
  // What was left in the rows is what the entry holds.
  EXPECT_EQ(f->DateShiftEntries[0],
            "1\x03me02\x03Y\x03"
            "99\x03"
            "0\x03"
            "0\x03"
            "0\x03"
            "D");

  // The rules themselves, for texts the spins would not have let through.
  struct Rule {
    TCustomEdit* field;
    void (TfrmBaseOpt::*handler)(TObject*);
    const char* text;
    const char* after;
  } rules[] = {
      {f->meWeek, &TfrmBaseOpt::meDayExit, "abc", "1"},
      {f->meCycleRang_2, &TfrmBaseOpt::meDayExit, "0", "1"},
      {f->meMonth_M2, &TfrmBaseOpt::meDayExit, "7", "7"},
      {f->meMonth_D, &TfrmBaseOpt::meMonth_DExit, "0", "1"},
      {f->meMonth_D, &TfrmBaseOpt::meMonth_DExit, "32", "31"},
      {f->meMonth_D, &TfrmBaseOpt::meMonth_DExit, "x", "1"},
      {f->meMonth_D, &TfrmBaseOpt::meMonth_DExit, "31", "31"},
      {f->seDay_E2, &TfrmBaseOpt::seDay_B1Exit, "x", "0"},
      {f->seDay_E2, &TfrmBaseOpt::seDay_B1Exit, "-12", "-12"},
      {f->sePeriodMin, &TfrmBaseOpt::sePeriodHourExit, "?", "0"},
      {f->edEveryHour, &TfrmBaseOpt::edEveryHourExit, "", "1"},
      {f->edEveryHour, &TfrmBaseOpt::edEveryHourExit, "0", "1"},
      {f->edEveryHour, &TfrmBaseOpt::edEveryHourExit, "0.0", "1"},
      {f->edEveryHour, &TfrmBaseOpt::edEveryHourExit, "-2", "1"},
      {f->edEveryHour, &TfrmBaseOpt::edEveryHourExit, "2.5", "2.5"},
  };
  for (const Rule& r : rules) {
    r.field->SetText(r.text);
    (f->*r.handler)(r.field);
    EXPECT_EQ(r.field->Text(), r.after) << r.field->Name() << " '" << r.text << "'";
  }
}

TEST_F(PeriodPage, TheHourIntervalTakesDigitsAndOnePoint) {
  TfrmTstp01* f = Started();
  f->Show();
  Periodic(f);
  f->rbEveryHour->Click();
  f->edEveryHour->SetFocus();
  ASSERT_TRUE(f->edEveryHour->Focused());
  SendText(".1a.5.-2");
  EXPECT_EQ(f->edEveryHour->Text(), "1.52");
  SendKey(VK_BACK);
  EXPECT_EQ(f->edEveryHour->Text(), "1.5");
}

TEST_F(PeriodPage, AnEndDateBeforeTheStartDateIsRefused) {
  TfrmTstp01* f = Started();
  Periodic(f, "2024/03/15");
  f->meEndDate->SetText("2024/03/14");
  EXPECT_TRUE(f->rbCycleRang_3->Checked());
  EXPECT_EQ(f->RangeRequired, "meEndDate");
  f->meEndDateExit(f->meEndDate);
  EXPECT_TRUE(f->FieldCheckFailed);
  EXPECT_EQ(f->MessageCodes, "E;100082;退出日期;开始日期; ");
  EXPECT_EQ(LastDialogText(), "退出日期 不可早于 开始日期");
  f->meEndDate->SetText("2024/03/15");
  f->meEndDateExit(f->meEndDate);
  EXPECT_FALSE(f->FieldCheckFailed);
  // Only with the end date chosen.
  f->meEndDate->SetText("2024/03/01");
  f->rbCycleRang_1->Click();
  f->meEndDateExit(f->meEndDate);
  EXPECT_FALSE(f->FieldCheckFailed);
}

TEST_F(PeriodPage, EndAndStartDatesCompareAsDatesInEveryStyle) {
  doubles_.Tables().SysInfo = {{"VRX002", "示范公司"}, {"Sys001", "2"}, {"Sys002", "/"}};
  TfrmTstp01* f = Started();
  Periodic(f, "12/15/2024");
  f->rbCycleRang_3->Click();
  f->meEndDate->SetText("01/10/2025");
  f->meEndDateExit(f->meEndDate);
  EXPECT_FALSE(f->FieldCheckFailed);
  f->meEndDate->SetText("12/01/2024");
  f->meEndDateExit(f->meEndDate);
  EXPECT_TRUE(f->FieldCheckFailed);
}

TEST_F(PeriodPage, EnteringTheEmptyEndDateDoesNotChooseIt) {
  TfrmTstp01* f = Started();
  f->Show();
  Periodic(f);
  f->meEndDate->SetFocus();
  EXPECT_EQ(f->meEndDate->EditMask(), "9999/99/99;1; ");
  EXPECT_TRUE(f->rbCycleRang_1->Checked());
  f->meCycleRang_2->SetText("4");
  EXPECT_TRUE(f->rbCycleRang_2->Checked());
}

TEST_F(PeriodPage, TheEarlierEditionHasNoHourlyCycle) {
  ScopedEdition earlier(TModuleEdition::Earlier);
  TfrmTstp01* f = Started();
  EXPECT_EQ(f->rbEveryHour, nullptr);
  EXPECT_EQ(f->pnEveryHour, nullptr);
  EXPECT_EQ(f->edEveryHour, nullptr);
  EXPECT_EQ(f->FindComponent("rbEveryHour"), nullptr);
  Periodic(f, "2024/01/03");
  f->rdoEveryWeek->Click();
  f->rdoEveryday->Click();
  EXPECT_TRUE(f->pnDay->Visible());
  f->btnPeriod->Click();
  Periodic(f, "2024/01/03");
  Variant p = Run(f);
  ASSERT_TRUE(p.IsArray()) << f->MessageTexts;
  EXPECT_EQ(Dump(p[3]), "['Y','00:00',[0,'1'],['20240103',0]]");
  EXPECT_EQ(p[0][12].ToInt(), 1);
}

}  // namespace
}  // namespace vx
