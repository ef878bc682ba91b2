#pragma once
// TfrmBaseOpt: the base form of every module that hands a job to the
// application server. It adds how and when the job runs: the run-mode group
// on the system page (now, queued, at a date and time), the switch to a
// periodic job with its own page (cycle, range, and the rules that move the
// module's date parameters from run to run), the people to notify, the run
// button with its close-after-run menu, and the submission through Request.
// It also loads the user's rights, builds the list of controls a scheme
// keeps, merges the option pages' required fields with the module's and
// fills the environment entries 9 to 12.
//
// The period page lives in baseopt_period.cpp; the rest in baseopt.cpp.
#include <string>
#include <string_view>
#include <vector>

#include "controls/btchkbox.h"
#include "controls/f2button.h"
#include "controls/vxradiobutton.h"
#include "controls/vxspin.h"
#include "framework/basegene.h"
#include "platform/ui/spin.h"

namespace vx {

// The default receivers: the current user as a portal user, told by a
// message in the suite only.
std::string DefaultReceiversXml(const std::string& user_id);

class TfrmBaseOpt : public TfrmBaseGene {
  VX_CLASS(TfrmBaseOpt, TfrmBaseGene)
  explicit TfrmBaseOpt(TComponent* owner);
  ~TfrmBaseOpt() override;

  // ---- system page -----------------------------------------------------------------
  TGroupBox* grpGenTime;
  TVxRadioButton* rdoRealTime;
  TVxRadioButton* rdoQueue;
  TVxRadioButton* rdoExceptTime;
  TPanel* pnlTime;
  TMaskEdit* edDate;
  TF2Button* btnDate;
  TVxSpinEdit* edHour;
  TVxSpinEdit* edMin;
  TVxSpinEdit* edSec;
  TLabel* lblHour;
  TLabel* lblMin;
  TLabel* lblSec;
  TBitCheckBox* chkNotify;  // current edition
  TF2Button* btnNotify;     // current edition
  // The earlier edition's notification group instead of the receivers.
  TGroupBox* grpAlarm;
  TBitCheckBox* chkShowMsg;
  TBitCheckBox* chkBBCall;

  // ---- bottom panel ------------------------------------------------------------------
  TSpeedButton* btnPeriod;
  TSpeedButton* btnSpd;
  TPopupMenu* pmOKExit;
  TMenuItem* miOKExit;
  TMenuItem* miOKNoExit;
  TBitBtn* btnOK01;
  TBitBtn* btnOK02;

  // ---- period page -------------------------------------------------------------------
  TTabSheet* tsPeriodOption;
  TLabel* lblPeriodTime;
  TVxSpinEdit* sePeriodHour;
  TVxSpinEdit* sePeriodMin;
  TGroupBox* gbCycleStyle;
  TVxRadioButton* rdoEveryday;
  TVxRadioButton* rdoEveryWeek;
  TVxRadioButton* rdoEveryMonth;
  TVxRadioButton* rbEveryHour;  // current edition
  TPanel* pnDay;
  TVxSpinEdit* meDay;
  TPanel* pnWeek;
  TVxSpinEdit* meWeek;
  TComboBox* cboDayofWeek;
  TPanel* pnMonth;
  TVxRadioButton* rdomonth_1;
  TVxRadioButton* rdomonth_2;
  TVxSpinEdit* meMonth_M1;
  TVxSpinEdit* meMonth_D;
  TVxSpinEdit* meMonth_M2;
  TComboBox* cbo1Month_M2;
  TComboBox* cbo2Month_M2;
  TPanel* pnEveryHour;  // current edition
  TEdit* edEveryHour;   // current edition
  TGroupBox* gbCycleRang;
  TLabel* lblStartDate;
  TMaskEdit* meStartDate;
  TF2Button* btnStartDate;
  TVxRadioButton* rbCycleRang_1;
  TVxRadioButton* rbCycleRang_2;
  TVxRadioButton* rbCycleRang_3;
  TVxSpinEdit* meCycleRang_2;
  TMaskEdit* meEndDate;
  TF2Button* btnEndDate;
  TGroupBox* gbDynamicFields;
  TComboBox* cbocondition;
  TPanel* pnSp;
  TBitCheckBox* spChangeDate_B;
  TVxSpinEdit* seDay_B1;
  TComboBox* cboDay_B1;
  TComboBox* cboDay_B2;
  TVxSpinEdit* seDay_B2;
  TBitCheckBox* spChangeDate_E;
  TVxSpinEdit* seDay_E1;
  TComboBox* cboDay_E1;
  TComboBox* cboDay_E2;
  TVxSpinEdit* seDay_E2;
  TPanel* pnEdit;
  TBitCheckBox* edChangeDate;
  TVxSpinEdit* seDay1;
  TComboBox* cboDay1;
  TComboBox* cboDay2;
  TVxSpinEdit* seDay2;

  // ---- fields ------------------------------------------------------------------------
  int SQLType = 0;
  std::vector<std::string> DateShiftEntries;
  std::string ModuleRequired;
  std::string TimedRequired;
  std::string CycleRequired;
  std::string RangeRequired;
  Variant CycleArray;
  bool ShiftEditing = false;
  bool OptionRequiredMode = false;
  bool PeriodPageReset = false;
  std::string FirstRunDate;
  bool ShowRunMenu = true;
  bool CloseAfterRun = true;
  std::string ReceiversXml;
  std::string PortalFlag;
  std::string PortalAddress;

  // ---- template operations overridden --------------------------------------------------
  void InitSystemPage() override;
  bool CollectParams() override;
  void SetupProgram() override;
  void SetRequiredFields(std::string_view list) override;
  bool RunLocal(const std::string& job_id, const std::string& program_id, const std::string& p3,
                const std::string& company_id, const std::string& user_id,
                const std::string& server_class, const std::string& program_kind,
                const std::string& system_db, const Variant& values, int p10,
                const std::string& sub_id) override;
  bool InitModule(const Variant& startup) override;
  bool FillEnvSettings(Variant& row, int env_count) override;
  void RightsLoaded() override;
  void SetupConnection(TSocketConnection* connection) override;
  void HandleF2(TWinControl* control) override;

  // ---- virtual operations of this level, in this order ------------------------------------
  virtual void LoadUserRights();
  virtual void InitPeriodPage();
  virtual void CollectCycle();
  virtual void StoreDateShift();
  virtual void CollectSchemeFields();

  // The computer's name (at most 15 characters); "Unknown" when unknown.
  static std::string GetClientComputerName();
  // Declares the option pages' requirements (see SetRequiredFields).
  void DeclareOptionRequirements();

  // ---- published handlers --------------------------------------------------------------
  void btnOkClick(TObject* sender);
  void btnSpdClick(TObject* sender);
  void miOKExitClick(TObject* sender);
  void miOKNoExitClick(TObject* sender);
  void rdoQueueClick(TObject* sender);
  void rdoExceptTimeClick(TObject* sender);
  void edDateEnter(TObject*) {}
  void edDateExit(TObject*) {}
  void btnInsertClick(TObject* sender) override;
  void chkNotifyClick(TObject* sender);
  void btnNotifyClick(TObject* sender);
  // Period page (baseopt_period.cpp).
  virtual void btnPeriodClick(TObject* sender);
  void tsPeriodOptionShow(TObject* sender);
  void rdoEverydayClick(TObject* sender);
  void rdoEveryWeekClick(TObject* sender);
  void rdoEveryMonthClick(TObject* sender);
  void rdomonth_1Click(TObject* sender);
  void rdomonth_2Click(TObject* sender);
  void rbEveryHourClick(TObject* sender);
  void rbCycleRang_1Click(TObject* sender);
  void rbCycleRang_2Click(TObject* sender);
  void rbCycleRang_3Click(TObject* sender);
  void meCycleRang_2Change(TObject* sender);
  void meEndDateChange(TObject* sender);
  void meEndDateExit(TObject* sender);
  void cboconditionChange(TObject* sender);
  void edChangeDateClick(TObject* sender);
  void spChangeDate_BClick(TObject* sender);
  void spChangeDate_EClick(TObject* sender);
  void cboDay2Change(TObject* sender);
  void cboDay_B2Change(TObject* sender);
  void cboDay_E2Change(TObject* sender);
  void seDay1Change(TObject* sender);
  void seDay_B1Change(TObject* sender);
  void seDay1Enter(TObject* sender);
  void seDay_B1Enter(TObject* sender);
  void seDay_B1Exit(TObject* sender);
  void meDayExit(TObject* sender);
  void meMonth_DExit(TObject* sender);
  void sePeriodHourExit(TObject* sender);
  void edEveryHourExit(TObject* sender);
  void edEveryHourKeyPress(TObject* sender, TKeyChar& key);

 protected:
  void FormCreate(TObject* sender) override;
  void FormShow(TObject* sender) override;
  void FormDestroy(TObject* sender) override;
  void pgOptionChangeOpt(TObject* sender);

 private:
  void BuildSystemPage();
  void BuildBottomPanel();
  void BuildPeriodPage();  // baseopt_period.cpp
  // The schedule element (ParamArray element 3) of the current page.
  Variant ScheduleElement();  // baseopt_period.cpp
  // The rows' enabling rules (baseopt_period.cpp).
  void ChangeBoxRule(TBitCheckBox* box, bool by_user);
  void ModeRule(TComboBox* mode);
  // Puts the picture of a hidden button on the run button.
  void TakeRunPicture(TBitBtn* source);
};

}  // namespace vx
