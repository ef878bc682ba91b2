// The period page of the run options: placeholder bodies until the page lands.
#include "framework/baseopt.h"

namespace vx {

void TfrmBaseOpt::BuildPeriodPage() {
  tsPeriodOption = new TTabSheet(this);
  tsPeriodOption->SetName("tsPeriodOption");
  tsPeriodOption->SetPageControl(pgOption);
  tsPeriodOption->SetCaption("周期性设置");
  auto mask = [&](const char* name) {
    auto* m = new TMaskEdit(this);
    m->SetName(name);
    m->SetParent(tsPeriodOption);
    return m;
  };
  meStartDate = mask("meStartDate");
  meEndDate = mask("meEndDate");
  auto spin = [&](const char* name) {
    auto* s = new TVxSpinEdit(this);
    s->SetName(name);
    s->SetParent(tsPeriodOption);
    s->SetText("0");
    return s;
  };
  sePeriodHour = spin("sePeriodHour");
  sePeriodMin = spin("sePeriodMin");
}

Variant TfrmBaseOpt::ScheduleElement() {
  return Variant();
}
void TfrmBaseOpt::ChangeBoxRule(TBitCheckBox*, bool) {}
void TfrmBaseOpt::ModeRule(TComboBox*) {}
void TfrmBaseOpt::btnPeriodClick(TObject*) {}
void TfrmBaseOpt::InitPeriodPage() {}
void TfrmBaseOpt::CollectCycle() {}
void TfrmBaseOpt::StoreDateShift() {}
bool TfrmBaseOpt::CollectParams() {
  return TfrmBaseGene::CollectParams();
}
void TfrmBaseOpt::edEveryHourKeyPress(TObject*, TKeyChar&) {}
void TfrmBaseOpt::tsPeriodOptionShow(TObject*) {}
void TfrmBaseOpt::rdoEverydayClick(TObject*) {}
void TfrmBaseOpt::rdoEveryWeekClick(TObject*) {}
void TfrmBaseOpt::rdoEveryMonthClick(TObject*) {}
void TfrmBaseOpt::rdomonth_1Click(TObject*) {}
void TfrmBaseOpt::rdomonth_2Click(TObject*) {}
void TfrmBaseOpt::rbEveryHourClick(TObject*) {}
void TfrmBaseOpt::rbCycleRang_1Click(TObject*) {}
void TfrmBaseOpt::rbCycleRang_2Click(TObject*) {}
void TfrmBaseOpt::rbCycleRang_3Click(TObject*) {}
void TfrmBaseOpt::meCycleRang_2Change(TObject*) {}
void TfrmBaseOpt::meEndDateChange(TObject*) {}
void TfrmBaseOpt::meEndDateExit(TObject*) {}
void TfrmBaseOpt::cboconditionChange(TObject*) {}
void TfrmBaseOpt::edChangeDateClick(TObject*) {}
void TfrmBaseOpt::spChangeDate_BClick(TObject*) {}
void TfrmBaseOpt::spChangeDate_EClick(TObject*) {}
void TfrmBaseOpt::cboDay2Change(TObject*) {}
void TfrmBaseOpt::cboDay_B2Change(TObject*) {}
void TfrmBaseOpt::cboDay_E2Change(TObject*) {}
void TfrmBaseOpt::seDay1Change(TObject*) {}
void TfrmBaseOpt::seDay_B1Change(TObject*) {}
void TfrmBaseOpt::seDay1Enter(TObject*) {}
void TfrmBaseOpt::seDay_B1Enter(TObject*) {}
void TfrmBaseOpt::seDay_B1Exit(TObject*) {}
void TfrmBaseOpt::meDayExit(TObject*) {}
void TfrmBaseOpt::meMonth_DExit(TObject*) {}
void TfrmBaseOpt::sePeriodHourExit(TObject*) {}
void TfrmBaseOpt::edEveryHourExit(TObject*) {}

}  // namespace vx
