#include "framework/baseopt.h"

#include <algorithm>

#include "controls/selectpnl.h"
#include "controls/vxradiogroup.h"
#include "framework/basegeneu.h"
#include "framework/geneconditioncf.h"
#include "framework/make_component.h"
#include "framework/vxnotify.h"
#include "lib/codepage.h"
#include "lib/edition.h"
#include "lib/props.h"
#include "lib/schedule.h"
#include "lib/strs.h"
#include "platform/automation/dispatch.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TfrmBaseOpt::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmBaseOpt>("TfrmBaseOpt", [](auto&) {});
  return info;
}

std::string DefaultReceiversXml(const std::string& user_id) {
  return "<?xml version=\"1.0\" encoding=\"GB2312\"?><Root><R1 ID=\"" + user_id +
         "\" Name=\"\" Type=\"5\" Msg=\"YNN\"/></Root>";
}

namespace {

template <class T>
T* Place(TComponent* owner, TWinControl* parent, const char* name, const char* caption = nullptr) {
  T* c = MakeComponent<T>(owner, parent, name);
  if constexpr (std::is_base_of_v<TControl, T>)
    if (caption) c->SetCaption(caption);
  return c;
}

TVxSpinEdit* Spin(TComponent* owner, TWinControl* parent, const char* name, int lo, int hi,
                  int max_length, const char* hint = nullptr) {
  auto* s = Place<TVxSpinEdit>(owner, parent, name);
  s->SetMinValue(lo);
  s->SetMaxValue(hi);
  s->SetMaxLength(max_length);
  s->SetText("0");
  if (hint) s->SetHint(hint);
  return s;
}

}  // namespace

TfrmBaseOpt::TfrmBaseOpt(TComponent* owner) : TfrmBaseGene(owner) {
  BuildSystemPage();
  BuildBottomPanel();
  BuildPeriodPage();
  pgOption->OnChange = Bind<&TfrmBaseOpt::pgOptionChangeOpt>(this);
}

TfrmBaseOpt::~TfrmBaseOpt() = default;

void TfrmBaseOpt::BuildSystemPage() {
  grpGenTime = Place<TGroupBox>(this, tsOption2, "grpGenTime", "生成时间");
  rdoRealTime = Place<TVxRadioButton>(this, grpGenTime, "rdoRealTime", "实时生成信息");
  rdoRealTime->SetHint("信息需要立即生成");
  rdoQueue = Place<TVxRadioButton>(this, grpGenTime, "rdoQueue", "放入工作队列");
  rdoQueue->SetHint("排入工作队列等候运行");
  rdoExceptTime = Place<TVxRadioButton>(this, grpGenTime, "rdoExceptTime", "在下列时间生成信息");
  rdoExceptTime->SetHint("按设置时间生成报表");
  rdoQueue->SetChecked(true);
  rdoQueue->OnClick = Bind<&TfrmBaseOpt::rdoQueueClick>(this);
  rdoRealTime->OnClick = Bind<&TfrmBaseOpt::rdoQueueClick>(this);
  rdoExceptTime->OnClick = Bind<&TfrmBaseOpt::rdoExceptTimeClick>(this);
  pnlTime = Place<TPanel>(this, grpGenTime, "pnlTime", "");
  pnlTime->SetEnabled(false);
  edDate = Place<TMaskEdit>(this, pnlTime, "edDate");
  edDate->SetHint("[F2]日期快手");
  edDate->SetBounds(1, 1, 85, 21);
  edDate->OnEnter = Bind<&TfrmBaseOpt::edDateEnter>(this);
  edDate->OnExit = Bind<&TfrmBaseOpt::edDateExit>(this);
  btnDate = Place<TF2Button>(this, pnlTime, "btnDate");
  btnDate->SetHint("日期快手");
  btnDate->SetGlyphIndex(9);
  btnDate->SetF2Control(edDate);
  edHour = Spin(this, pnlTime, "edHour", 0, 23, 2, "时间: 时");
  edMin = Spin(this, pnlTime, "edMin", 0, 59, 2, "时间: 分");
  edSec = Spin(this, pnlTime, "edSec", 0, 59, 2, "时间: 秒");
  lblHour = Place<TLabel>(this, pnlTime, "lblHour", "时");
  lblMin = Place<TLabel>(this, pnlTime, "lblMin", "分");
  lblSec = Place<TLabel>(this, pnlTime, "lblSec", "秒");
  chkNotify = nullptr;
  btnNotify = nullptr;
  grpAlarm = nullptr;
  chkShowMsg = chkBBCall = nullptr;
  if (!IsEarlierEdition()) {
    chkNotify = Place<TBitCheckBox>(this, tsOption2, "chkNotify", "完成后通知");
    chkNotify->OnClick = Bind<&TfrmBaseOpt::chkNotifyClick>(this);
    btnNotify = Place<TF2Button>(this, tsOption2, "btnNotify");
    btnNotify->SetGlyphIndex(39);
    btnNotify->SetHint("选择需要通知的用户");
    btnNotify->SetEnabled(false);
    btnNotify->OnClick = Bind<&TfrmBaseOpt::btnNotifyClick>(this);
  } else {
    grpAlarm = Place<TGroupBox>(this, tsOption2, "grpAlarm", "通知方式");
    chkShowMsg = Place<TBitCheckBox>(this, grpAlarm, "chkShowMsg", "显示讯息");
    chkBBCall = Place<TBitCheckBox>(this, grpAlarm, "chkBBCall", "B.B.CALL");
  }
}

void TfrmBaseOpt::BuildBottomPanel() {
  btnPeriod = Place<TSpeedButton>(this, Panel1, "btnPeriod", "周期性");
  btnPeriod->SetHint("周期性工作设置");
  btnPeriod->SetGroupIndex(2);
  btnPeriod->SetAllowAllUp(true);
  btnPeriod->SetBounds(8, 6, 75, 25);
  btnPeriod->OnClick = Bind<&TfrmBaseOpt::btnPeriodClick>(this);
  btnSpd = Place<TSpeedButton>(this, Panel1, "btnSpd");
  btnSpd->SetBounds(225, 6, 13, 25);
  btnSpd->OnClick = Bind<&TfrmBaseOpt::btnSpdClick>(this);
  pmOKExit = Place<TPopupMenu>(this, nullptr, "pmOKExit");
  miOKExit = new TMenuItem(this);
  miOKExit->SetName("miOKExit");
  miOKExit->SetCaption("处理后直接退出作业(&C)");
  miOKExit->OnClick = Bind<&TfrmBaseOpt::miOKExitClick>(this);
  pmOKExit->Items()->Add(miOKExit);
  miOKNoExit = new TMenuItem(this);
  miOKNoExit->SetName("miOKNoExit");
  miOKNoExit->SetCaption("处理后并不退出作业(&B)");
  miOKNoExit->OnClick = Bind<&TfrmBaseOpt::miOKNoExitClick>(this);
  pmOKExit->Items()->Add(miOKNoExit);
  btnOK01 = Place<TBitBtn>(this, Panel1, "btnOK01", "确定");
  btnOK01->Hide();
  btnOK02 = Place<TBitBtn>(this, Panel1, "btnOK02", "确定");
  btnOK02->Hide();
  btnOK02->OnClick = Bind<&TfrmBaseOpt::btnOkClick>(this);
  btnOk->OnClick = Bind<&TfrmBaseOpt::btnOkClick>(this);
}

void TfrmBaseOpt::TakeRunPicture(TBitBtn* source) {
  btnOk->SetGlyph(source->Glyph());
  btnOk->SetNumGlyphs(source->NumGlyphs());
}

// ---- creation and start-up ------------------------------------------------------

void TfrmBaseOpt::FormCreate(TObject* sender) {
  TfrmBaseGene::FormCreate(sender);
  TakeRunPicture(btnOK02);
  edDate->Clear();
  SQLType = 0;
  ShowRunMenu = true;
  CloseAfterRun = true;
  tsPeriodOption->SetTabVisible(false);
}

void TfrmBaseOpt::FormDestroy(TObject* sender) {
  TfrmBaseGene::FormDestroy(sender);
  DateShiftEntries.clear();
}

void TfrmBaseOpt::FormShow(TObject* sender) {
  TfrmBaseGene::FormShow(sender);
  if (ShowRunMenu) {
    btnSpd->SetBounds(btnOk->Left() + btnOk->Width(), btnOk->Top(), btnSpd->Width(),
                      btnOk->Height());
    btnSpd->Show();
  } else {
    btnSpd->Hide();
  }
}

void TfrmBaseOpt::SetupProgram() {
  TfrmBaseGene::SetupProgram();
  SetDateFields("edDate,meStartDate,meEndDate");
  EnvCount = 12;
  ServiceFlags = 4;
}

void TfrmBaseOpt::SetupConnection(TSocketConnection* connection) {
  connection->SetServerName("ReportCounterS.dmReportCounter");
}

bool TfrmBaseOpt::InitModule(const Variant& startup) {
  bool r = TfrmBaseGene::InitModule(startup);
  if (r) {
    edDate->Clear();
    try {
      SQLType = Get(AppServer, "SQLType").ToInt();
    } catch (...) {
      SQLType = 0;
    }
    LoadUserRights();
    if (!IsLibrary()) Show();
    pgOption->Pages(pgOption->PageCount() - 1)->SetTabVisible(btnPeriod->Down());
    PeriodPageReset = true;
  }
  if (!IsEarlierEdition()) ReceiversXml.clear();
  return r;
}

void TfrmBaseOpt::LoadUserRights() {
  Variant answer;
  try {
    answer = Call(AppServer, "GetPower", {VarArrayOf({SystemDB, UserID, ProgramID, ""})});
  } catch (...) {
    answer = Variant();  // no rights answer: the defaults stand
  }
  ApplyUserRights(answer);
}

void TfrmBaseOpt::RightsLoaded() {
  TfrmBaseGene::RightsLoaded();
  CollectSchemeFields();
  if (Trim(SchemeFields).empty()) pnlCondition->Hide();
}

namespace {

// Windowed children in tab order; the parts of a selection panel or a radio
// group are the panel's or the group's own.
void WalkTabOrder(TWinControl* parent, std::vector<TWinControl*>& out) {
  std::vector<TWinControl*> children;
  for (TControl* c : parent->ControlList())
    if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
  std::stable_sort(children.begin(), children.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* w : children) {
    out.push_back(w);
    if (!dynamic_cast<TSelectPanel*>(w) && !dynamic_cast<TVxRadioGroup*>(w)) WalkTabOrder(w, out);
  }
}

}  // namespace

void TfrmBaseOpt::CollectSchemeFields() {
  for (int p = 0; p < pgOption->PageCount(); ++p) {
    TTabSheet* page = pgOption->Pages(p);
    if (page == tsOption2 || page == tsPeriodOption) continue;
    std::vector<TWinControl*> controls;
    WalkTabOrder(page, controls);
    for (TWinControl* c : controls) {
      std::string name = Trim(c->Name());
      if (name.empty()) continue;
      const char* suffix = nullptr;
      if (dynamic_cast<TCustomMemo*>(c))
        suffix = nullptr;
      else if (dynamic_cast<TCustomEdit*>(c))
        suffix = ".text";
      else if (dynamic_cast<TCustomComboBox*>(c))
        suffix = ".itemindex";
      else if (dynamic_cast<TButtonControl*>(c) || dynamic_cast<TBitCheckBox*>(c))
        suffix = ".checked";
      else if (dynamic_cast<TSelectPanel*>(c))
        suffix = ".style";
      else if (dynamic_cast<TVxRadioGroup*>(c))
        suffix = ".itemindex";
      if (suffix) SchemeFields += name + suffix + ";";
    }
  }
}

// ---- run mode and requirements ------------------------------------------------------

void TfrmBaseOpt::rdoQueueClick(TObject*) {
  pnlTime->SetEnabled(false);
  TimedRequired.clear();
  DeclareOptionRequirements();
}

void TfrmBaseOpt::rdoExceptTimeClick(TObject*) {
  pnlTime->SetEnabled(true);
  TimedRequired = "edDate";
  DeclareOptionRequirements();
}

void TfrmBaseOpt::DeclareOptionRequirements() {
  std::string list;
  auto add = [&](const std::string& part) {
    if (part.empty()) return;
    if (!list.empty()) list += ",";
    list += part;
  };
  if (btnPeriod->Down()) {
    add(ModuleRequired);
    add(CycleRequired);
    add(RangeRequired);
  }
  add(TimedRequired);
  OptionRequiredMode = true;
  try {
    SetRequiredFields(list);
  } catch (...) {
    OptionRequiredMode = false;
    throw;
  }
  OptionRequiredMode = false;
}

void TfrmBaseOpt::SetRequiredFields(std::string_view list) {
  std::string kept;
  std::string rest = RequiredFields;
  while (!rest.empty()) {
    std::string entry = CutFirstField(rest, ",");
    std::string name = Trim(ExtractField(entry, ";", 1));
    std::string mark = Trim(ExtractField(entry, ";", 2));
    if (name.empty() || FindText(kept + ",", "," + name + ",") != std::string::npos) continue;
    auto* control = dynamic_cast<TWinControl*>(FindComponent(name));
    if (!control) continue;
    TWinControl* page = PageOf(control);
    bool option_page = page == tsOption2 || page == tsPeriodOption;
    if (OptionRequiredMode) {
      if (option_page) continue;
      kept += "," + name;
      if (!mark.empty()) kept += ";" + mark;
    } else if (option_page) {
      kept += "," + name;
    }
  }
  std::string merged(Trim(list));
  merged += kept;
  if (!merged.empty() && merged[0] == ',') merged.erase(0, 1);
  TfrmBaseGene::SetRequiredFields(merged);
}

// ---- the run ------------------------------------------------------------------------

std::string TfrmBaseOpt::GetClientComputerName() {
  std::string name = GetLocalComputerName();
  return name.empty() ? std::string("Unknown") : name;
}

bool TfrmBaseOpt::FillEnvSettings(Variant& row, int env_count) {
  bool r = TfrmBaseGene::FillEnvSettings(row, env_count);
  FormatSettings().ShortDateFormat = "yyyy/mm/dd";
  bool periodic = btnPeriod->Down();
  if (periodic) row[9] = LowerCase(ProgramKind);
  row[11] = Now();
  if (rdoQueue->Checked()) {
    row[10] = std::int32_t{0};
  } else if (rdoRealTime->Checked()) {
    row[10] = std::int32_t{1};
  } else {
    row[10] = std::int32_t{2};
    try {
      TDateTime day;
      if (periodic) {
        CollectCycle();
        FirstRunDate = ComputeFirstRunDate(DisplayToDate8(meStartDate->Text()), CycleArray);
        day = Date8ToDate(FirstRunDate);
        edHour->SetText(sePeriodHour->Text());
        edMin->SetText(sePeriodMin->Text());
        edSec->SetText("00");
      } else {
        day = ParseDateByKind(edDate->Text(), DateStyle(), DateSep());
      }
      bool hourly = periodic && !IsEarlierEdition() && CycleArray.IsArray() &&
                    !CycleArray[0].IsEmpty() && CycleArray[0].ToInt() == 3;
      if (!hourly) {
        if (day == 0) throw EConvertError("no run date");
        TDateTime at;
        if (!TryEncodeTime(StrToIntDef(Trim(edHour->Text()), -1),
                           StrToIntDef(Trim(edMin->Text()), -1),
                           StrToIntDef(Trim(edSec->Text()), -1), 0, at))
          throw EConvertError("no run time");
        row[11] = TDateTime(day.Value + at.Value);
      }
    } catch (const std::exception&) {
      row[10] = std::int32_t{0};
      AddMessage("E;000005;" + GetMessageText("I", "000009") + GetMessageText("I", "000010"));
      r = false;
    }
  }
  if (IsEarlierEdition()) {
    bool show = chkShowMsg->Checked(), call = chkBBCall->Checked();
    row[12] = std::int32_t{show && call ? 4 : call ? 3 : show ? 2 : 1};
  } else {
    row[12] = chkNotify->Checked() ? ReceiversXml : std::string();
  }
  return r;
}

void TfrmBaseOpt::btnOkClick(TObject*) {
  if (!CollectParams()) return;
  std::string answer;
  try {
    ParamArray = VarAnsiToWideCP(ParamArray, 936);
    answer = VarToStr(Call(AppServer, "Request", {ParamArray}));
  } catch (...) {
    answer = "ERROR";
  }
  if (!SameText(answer, "ERROR")) {
    AddMessage((Interactive ? "I;000004;" : "I;-000004;") + answer);
    ResultCode = 1;
    ResultValue = answer;
    if (CloseAfterRun) Close();
  } else {
    AddMessage("E;000013;" + VarToStr(Call(AppServer, "ErrorDescript")));
  }
}

void TfrmBaseOpt::btnSpdClick(TObject*) {
  TPoint at{btnOk->Left(), btnOk->Top() + btnOk->Height()};
  for (TWinControl* p = btnOk->Parent(); p; p = p->Parent()) {
    at.X += p->Left();
    at.Y += p->Top();
  }
  pmOKExit->Popup(at.X, at.Y);
}

void TfrmBaseOpt::miOKExitClick(TObject*) {
  CloseAfterRun = true;
  TakeRunPicture(btnOK02);
  btnOk->Click();
}

void TfrmBaseOpt::miOKNoExitClick(TObject*) {
  CloseAfterRun = false;
  TakeRunPicture(btnOK01);
  btnOk->Click();
}

void TfrmBaseOpt::pgOptionChangeOpt(TObject* sender) {
  pgOptionChange(sender);
  if (!btnPeriod->Down()) return;
  CollectCycle();
  std::string first = ComputeFirstRunDate(DisplayToDate8(meStartDate->Text()), CycleArray);
  CheckDateField(edDate, true);
  bool hourly = !IsEarlierEdition() && CycleArray.IsArray() && !CycleArray[0].IsEmpty() &&
                CycleArray[0].ToInt() == 3;
  if (!hourly) {
    edDate->SetText(FormatDateByKind(DateStyle(), DateSep(), Date8ToDate(first)));
    edHour->SetText(sePeriodHour->Text());
    edMin->SetText(sePeriodMin->Text());
  } else {
    TDateTime now = Now();
    int h, m, s, ms;
    DecodeTime(now, h, m, s, ms);
    edDate->SetText(FormatDateByKind(DateStyle(), DateSep(), Date()));
    edHour->SetText(Format("%.2d", h));
    edMin->SetText(Format("%.2d", m));
  }
}

void TfrmBaseOpt::InitSystemPage() {
  TfrmBaseGene::InitSystemPage();
  if (Width() < 340) SetWidth(340);
  if (Height() < 275) SetHeight(275);
  edPrintDate->SetTabOrder(0);
  grpGenTime->SetBounds(8, 41, 220, 115);
  grpGenTime->SetTabOrder(1);
  rdoRealTime->SetBounds(5, 12, rdoRealTime->Width(), rdoRealTime->Height());
  rdoQueue->SetBounds(5, 28, rdoQueue->Width(), rdoQueue->Height());
  rdoExceptTime->SetBounds(5, 43, rdoExceptTime->Width(), rdoExceptTime->Height());
  rdoRealTime->SetTabOrder(0);
  rdoQueue->SetTabOrder(1);
  rdoExceptTime->SetTabOrder(2);
  pnlTime->SetBounds(15, 60, 200, 50);
  pnlTime->SetTabOrder(3);
  edDate->SetBounds(1, 1, edDate->Width(), edDate->Height());
  edHour->SetBounds(1, 27, 33, 21);
  edMin->SetBounds(64, 27, 33, 21);
  edSec->SetBounds(130, 27, 33, 21);
  edDate->SetTabOrder(0);
  edHour->SetTabOrder(1);
  edMin->SetTabOrder(2);
  edSec->SetTabOrder(3);
  lblHour->SetBounds(36, 32, lblHour->Width(), lblHour->Height());
  lblMin->SetBounds(100, 32, lblMin->Width(), lblMin->Height());
  lblSec->SetBounds(165, 32, lblSec->Width(), lblSec->Height());
  if (chkNotify) {
    chkNotify->SetBounds(10, 162, chkNotify->Width(), chkNotify->Height());
    chkNotify->SetTabOrder(2);
    btnNotify->SetBounds(VxConverter()->UICodePage() == "437" ? 160 : 108, 156, btnNotify->Width(),
                         btnNotify->Height());
  }
}

void TfrmBaseOpt::HandleF2(TWinControl* control) {
  TfrmBaseGene::HandleF2(control);
  for (TMaskEdit* date : {edDate, meStartDate, meEndDate})
    if (control == date) date->SetText(PickDate(date->Text()));
}

bool TfrmBaseOpt::RunLocal(const std::string& job_id, const std::string& program_id,
                           const std::string& p3, const std::string& company_id,
                           const std::string& user_id, const std::string& server_class,
                           const std::string& program_kind, const std::string& system_db,
                           const Variant& values, int p10, const std::string& sub_id) {
  return TfrmBaseGene::RunLocal(job_id, program_id, p3, company_id, user_id, server_class,
                                program_kind, system_db, values, p10, sub_id);
}

// ---- receivers --------------------------------------------------------------------------

void TfrmBaseOpt::chkNotifyClick(TObject*) {
  if (!chkNotify) return;
  btnNotify->SetEnabled(chkNotify->Checked());
  if (chkNotify->Checked() && ReceiversXml.empty()) ReceiversXml = DefaultReceiversXml(UserID);
}

void TfrmBaseOpt::btnNotifyClick(TObject*) {
  if (!chkNotify) return;  // the earlier edition has no receivers
  auto setting = [&](const char* query, std::string& target) {
    Variant answer = GetCounterValue("SimpleSQL", VarArrayOf({query, "MA003"}));
    if (answer.IsArray() && answer.HighBound() >= answer.LowBound()) {
      const Variant& row = answer[answer.LowBound()];
      target = row.IsArray() && row.HighBound() >= row.LowBound() ? VarToStr(row[row.LowBound()])
                                                                  : VarToStr(row);
    }
  };
  setting("SELECT MA003 FROM VRXINTMA WHERE MA001='StartupPortal' ", PortalFlag);
  setting("SELECT MA003 FROM VRXINTMA WHERE MA001='Portal WS' ", PortalAddress);
  ReceiversXml = EditReceivers(this, ReceiversXml, PortalFlag, PortalAddress);
}

void TfrmBaseOpt::btnInsertClick(TObject* sender) {
  TfrmBaseGene::btnInsertClick(sender);
  if (FieldCheckFailed) return;
  // The framework's four date fields are not offered in the dialog.
  Variant answer = AskSchemeName(DateFields, this, 4);
  std::string name = VarToStr(answer[0]);
  if (name.empty()) return;
  SaveScheme(SchemeFields, name, answer[2].ToBool());
  LoadSchemes();
}

}  // namespace vx
