#pragma once
// TfrmBaseGene: the generic module form. It accepts the start-up array from
// the controller, connects to the shell's manager objects and to the
// application server, learns the program's identity, and defines the
// template operations through which every module declares its parameters;
// from them it builds the three-part parameter array sent to the server. It
// also holds the messages by code, the field checks and lookups through the
// server, the date and required fields, and the keyboard and focus rules
// common to all modules.
//
// Every descendant level overrides the template operations it needs and
// calls the inherited body first. Failures inside the form become message
// codes or error texts and a false result; nothing but the two registration
// errors of the module boundary reaches the shell as an exception.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/btchkbox.h"
#include "controls/dblabel.h"
#include "controls/extpage.h"
#include "controls/f2button.h"
#include "framework/vxform.h"
#include "platform/automation/variant.h"
#include "platform/remote/client_dataset.h"
#include "platform/remote/socket_connection.h"
#include "platform/ui/buttons.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/imglist.h"
#include "platform/ui/mask.h"
#include "platform/ui/menus.h"

namespace vx {

class TSelectPanel;

// The light yellow of required fields.
inline constexpr TColor kRequiredColor = static_cast<TColor>(11534335);

// "%s" templates of the message catalogue filled with text arguments; also
// "%d" and "%x" take a text that is a whole number, "%%" is a percent sign,
// "%n:s" takes argument n. Raises EConvertError when the template needs an
// argument it is not given or one of the wrong kind.
std::string FormatMessage(std::string_view pattern, const std::vector<std::string>& args);

class TfrmBaseGene : public TVXForm {
  VX_CLASS(TfrmBaseGene, TVXForm)
  explicit TfrmBaseGene(TComponent* owner);
  ~TfrmBaseGene() override;
  void AfterConstruction() override;

  // ---- components ------------------------------------------------------------
  TExtPageControl* pgOption;
  TTabSheet* tsOption1;
  TTabSheet* tsOption2;
  TDBLabel* lblToday;
  TMaskEdit* edPrintDate;
  TF2Button* btnPrintDate;
  TPanel* Panel1;
  TBitBtn* btnOk;
  TBitBtn* btnCancel;
  TPanel* pnlCondition;
  TSplitter* Splitter1;
  TLabel* lblCondition;
  TToolBar* ToolBar1;
  TToolButton* btnInsert;
  TToolButton* btnOpen;
  TToolButton* btnDelete;
  TToolButton* ToolButton1;
  TListView* lstCondition;
  TPopupMenu* muOperation;
  TMenuItem* N2;
  TMenuItem* N3;
  TPopupMenu* mnList;
  TMenuItem* N7;
  TMenuItem* N8;
  TMenuItem* N9;
  TMenuItem* N10;
  TImageList* ImageList1;
  TImageList* ImageList2;
  TSocketConnection* MainMidas;
  TComponent* ObjBroker;
  TClientDataSet* ClientDataSet1;

  // ---- fields ----------------------------------------------------------------
  Variant Manager;
  Variant Counter;
  Variant Validator;
  Variant F2Window;
  Variant AppServer;
  std::string UserID;
  std::string CompanyID;
  std::string SystemDB;
  HWND ShellWindow = 0;
  Variant StartupExtra;
  std::string VersionTag;
  std::string ModuleFileName;
  std::string ProgramID;
  std::string ServerClass;
  std::string ProgramName;
  std::string ProgramCaption;
  std::string CompanyName;
  std::string ProgramKind;
  int EnvCount = 0;
  int OptionCount = 0;
  int FrameworkOptionCount = 0;
  Variant ParamArray;
  std::uint8_t ServiceFlags = 0;
  int VersionType = 0;
  int ProductID = 0;
  bool LocalServer = false;
  TStringList SysInfoCache;
  Variant ShellParams;
  bool ParamsByName = true;
  bool AutoRun = false;
  bool Interactive = true;
  std::int32_t ResultCode = 0;
  Variant ResultValue;
  std::vector<TWeak<TWinControl>> PageLastControls;
  TWinControl* LastFocusedControl = nullptr;
  bool SystemPageReady = false;
  bool FieldCheckFailed = false;
  // Messages reported since the last reset, each followed by "; ".
  std::string MessageCodes;
  std::string MessageTexts;
  bool QuietMessages = false;
  // Date and required fields.
  std::string DateFields;
  std::string YearMonthFields;
  std::string RequiredFields;
  TStringList SavedColours;
  // From the user rights.
  std::string LimitText;
  bool LookupFlag7 = true;
  bool LookupFlag8 = true;
  std::vector<std::string> RightsTokens;
  std::string RightsText2;
  std::string RightsText3;
  // The controls a scheme keeps ("name.property;" entries).
  std::string SchemeFields;
  TStringList DateEnvList;
  // FillParamCaptions ran.
  bool CaptionsFilled = false;

  // Published handlers attached to the date fields and the run buttons.
  TNotifyEvent OnDateFieldEnter;
  TNotifyEvent OnDateFieldExit;
  TNotifyEvent OnRequiredExit;

  // ---- template operations, in this order ---------------------------------------
  virtual void InitSystemPage();
  virtual bool CollectParams();
  virtual void SetupProgram();
  virtual void PickPhrase(TWinControl* control);
  virtual void SetRequiredFields(std::string_view list);
  virtual bool RunLocal(const std::string& job_id, const std::string& program_id,
                        const std::string& p3, const std::string& company_id,
                        const std::string& user_id, const std::string& server_class,
                        const std::string& program_kind, const std::string& system_db,
                        const Variant& values, int p10, const std::string& sub_id);
  virtual void ConvertDataSets();
  virtual void LoadProgramInfo();
  virtual bool InitModule(const Variant& startup);
  virtual bool FillParamValues(Variant& row, int module_count);
  virtual bool ApplyParamValues(const Variant& values);
  virtual bool FillEnvSettings(Variant& row, int env_count);
  virtual bool FillParamCaptions(Variant& row, int module_count);
  virtual void RightsLoaded();
  virtual void F2Lookup(const std::string& table, const std::string& query, Variant args,
                        Variant start, bool flag, Variant& result);
  virtual void SetupConnection(TSocketConnection* connection);
  virtual bool SaveScheme(const std::string& field_list, const std::string& name, bool replace);
  virtual bool ApplyScheme(const std::string& field_list, const std::string& values);
  virtual bool LoadSchemes();
  virtual bool SchemeOpened();
  virtual bool RunByShell(int mode);
  virtual void BeforeLoadControl(TComponent* control, const std::string& value);
  virtual void AfterLoadControl(TComponent* control, const std::string& value);
  // Dispatched by number in the original; overridable here.
  virtual void HandleF2(TWinControl* control);
  virtual void GetManagerObjects();
  virtual void GetF2Window();

  // ---- identity and start-up ----------------------------------------------------
  // Stores the library's file name; a form that does not run inside a
  // library starts itself at once with a fixed test start-up array.
  void SetModuleFileName(const std::string& file_name);
  // The module file is a library: ".dll", or the host's ".so".
  bool IsLibrary() const;
  std::string ProgramIDFromFile() const;
  void SetOptionCount(int n);
  std::string SysInfo(std::string_view name);
  int DateStyle();
  std::string DateSep();
  bool ServerCheck(const std::string& table, const std::string& query, bool by_query,
                   Variant& result, Variant args);
  void ReceiveShellParams(const Variant& message);
  bool ConfigureConnection(TSocketConnection* connection);
  bool ConnectServer();
  void SetCaptionText(const std::string& caption);
  bool IsPageLastControl(TWinControl* control) const;
  // Reads the user-rights answer, then RightsLoaded.
  void ApplyUserRights(const Variant& answer);
  bool ShowProgramHelp();

  // ---- condition schemes (basegene_schemes.cpp) ------------------------------------
  // The value under which a scheme stores a date field: its date as
  // "YYYYMMDD" moved by the field's entry of list (DateEnvList); a range
  // panel gives begin ETX end. Empty when list has no entry for it.
  std::string GetDateFieldValue(const TStringList& list, TComponent* component);
  // Published handlers of the scheme panel.
  void ViewIconExecute(TObject* sender);
  void ViewSmallIconExecute(TObject* sender);
  void ViewListExecute(TObject* sender);
  void ViewReportExecute(TObject* sender);
  void ToolButton1Click(TObject* sender);
  void btnOpenClick(TObject* sender);
  void btnDeleteClick(TObject* sender);
  void lstConditionEdited(TObject* sender, TListItem* item, std::string& new_text);
  void lstConditionKeyDown(TObject* sender, Word& key, TShiftState shift);
  // The save button: leaves the field being edited so that its checks run;
  // the run-options form completes it with the dialog and the save.
  virtual void btnInsertClick(TObject* sender);

  // ---- messages ---------------------------------------------------------------------
  std::string GetMessageText(const std::string& kind, const std::string& id);
  TModalResult ShowMessageText(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
  TModalResult ShowMessageByCode(const std::string& kind, const std::string& id,
                                 const std::vector<std::string>& args, TMsgDlgButtons buttons = {});
  void AddMessage(const std::string& code_text);
  void AddErrorText(const std::string& text);

  // ---- field checks and lookups --------------------------------------------------
  bool ValidateField(const std::string& table, const std::string& query, const std::string& kind,
                     int index, Variant& result, const Variant& args);
  std::string PickDate(const std::string& text);
  bool CheckDateField(TWinControl* control, bool entering);
  std::string DisplayToDate8(std::string_view text);
  std::string DateMaskText();
  std::string BlankDateText();
  Variant GetCounterValue(const std::string& name, Variant args);
  void SetDateFields(std::string_view list);
  bool CheckRequired(std::string_view list);
  void RecordColours(TWinControl* container);
  void RestoreColours(TWinControl* container);

 protected:
  // Published event handlers of the form.
  virtual void FormCreate(TObject* sender);
  virtual void FormShow(TObject* sender);
  virtual void FormDestroy(TObject* sender);
  void btnCancelClick(TObject* sender);
  void pgOptionChange(TObject* sender);
  void pgOptionChanging(TObject* sender, bool& allow);
  void tsOption2Show(TObject* sender);

  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(TKeyChar& key) override;
  void DoClose(TCloseAction& action) override;
  void BoundsChanged(bool moved, bool sized) override;

  // The first enabled windowed control of the page by tab order.
  void FocusFirstControl(TTabSheet* page);
  // The page holding control, just below the page control (or the form).
  TWinControl* PageOf(TControl* control) const;
  // A handler saved for name + suffix; nil when none.
  TMethod SavedHandler(const std::vector<std::pair<std::string, void*>>& list,
                       const std::string& name) const;
  bool RunButtonDown(std::string_view name) const;

  std::vector<std::pair<std::string, void*>> SavedHandlers;
  std::vector<std::pair<std::string, void*>> SavedClickHandlers;

 private:
  void DateFieldEnter(TObject* sender);
  void DateFieldExit(TObject* sender);
  void RequiredExit(TObject* sender);
  void DateFieldEvent(TWinControl* control, const std::string& event);
  void HookDateFields(const std::string& list);
  void ReleaseDateFields(const std::string& list);
  void HookRunButtons();
  void ReleaseRunButtons();
  bool IsBlank(TComponent* component);
  void WMF2Query(TMessage& msg);
  void CMFocusChanged(TMessage& msg);
  void PostClose();
  bool NameTest(const Variant& values);
  void ApplyNamedValue(TComponent* component, const Variant& value);
  bool CheckRowEntries(const Variant& row, int count, const std::string& label);
  void BuildComponents();
  void WireSchemePanel();
  std::string SchemeValue(TComponent* component, const std::string& prop_name);
  bool LoadSchemeValue(TComponent* component, const std::string& prop_name,
                       const std::string& value);
  bool IsDateField(const TComponent* component) const;
  bool FindSchemeRecord(const std::string& name);
  void SetViewMode(TViewStyle style, TMenuItem* item);

  void FieldGetText(TField* sender, std::string& text, bool display);
  void FieldSetText(TField* sender, const std::string& text);

  bool starting_ = false;
  bool close_pending_ = false;
};

}  // namespace vx
