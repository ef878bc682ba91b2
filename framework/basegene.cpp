#include "framework/basegene.h"

#include <algorithm>

#include "controls/selectpnl.h"
#include "controls/vxradiogroup.h"
#include "env/sorvenda_ini.h"
#include "env/vazuvirure_new_file.h"
#include "framework/basegeneu.h"
#include "framework/make_component.h"
#include "framework/svrctrl.h"
#include "lib/edition.h"
#include "lib/props.h"
#include "lib/strs.h"
#include "lib/system_info.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/dispatch.h"
#include "platform/os/dynlib.h"
#include "platform/os/paths.h"
#include "platform/rtl/text.h"
#include "platform/ui/grids.h"
#include "platform/ui/widgetset.h"

namespace vx {

const TClassInfo& TfrmBaseGene::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmBaseGene>("TfrmBaseGene", [](auto& r) {
    r.template Event<&TfrmBaseGene::OnDateFieldEnter>("OnDateFieldEnter");
    r.template Event<&TfrmBaseGene::OnDateFieldExit>("OnDateFieldExit");
    r.template Event<&TfrmBaseGene::OnRequiredExit>("OnRequiredExit");
    r.template Message<&TfrmBaseGene::WMF2Query>(WM_F2QUERY);
    r.template Message<&TfrmBaseGene::CMFocusChanged>(CM_FOCUSCHANGED);
    r.template Method<&TfrmBaseGene::ViewIconExecute>("ViewIconExecute");
    r.template Method<&TfrmBaseGene::ViewSmallIconExecute>("ViewSmallIconExecute");
    r.template Method<&TfrmBaseGene::ViewListExecute>("ViewListExecute");
    r.template Method<&TfrmBaseGene::ViewReportExecute>("ViewReportExecute");
    r.template Method<&TfrmBaseGene::ToolButton1Click>("ToolButton1Click");
    r.template Method<&TfrmBaseGene::btnOpenClick>("btnOpenClick");
    r.template Method<&TfrmBaseGene::btnDeleteClick>("btnDeleteClick");
    r.template Method<&TfrmBaseGene::btnInsertClick>("btnInsertClick");
    r.template Method<&TfrmBaseGene::lstConditionEdited>("lstConditionEdited");
    r.template Method<&TfrmBaseGene::lstConditionKeyDown>("lstConditionKeyDown");
  });
  return info;
}

namespace {

TMenuItem* MenuItem(TComponent* owner, TMenu* menu, const char* name, const char* caption) {
  auto* item = new TMenuItem(owner);
  item->SetName(name);
  item->SetCaption(caption);
  menu->Items()->Add(item);
  return item;
}

// The fixed start-up array of a form that runs as a program of its own.
Variant TestStartup() {
  return VarArrayOf({"DS", "DEMO", "VXSYS"});
}

}  // namespace

TfrmBaseGene::TfrmBaseGene(TComponent* owner) : TVXForm(owner) {
  // A top-level window of its own beside the shell's windows.
  SetParentWindowHandle(0);
  SetClientWidth(315);
  SetClientHeight(260);
  BuildComponents();
  WireSchemePanel();
  OnCreate = Bind<&TfrmBaseGene::FormCreate>(this);
  OnShow = Bind<&TfrmBaseGene::FormShow>(this);
  OnDestroy = Bind<&TfrmBaseGene::FormDestroy>(this);
}

TfrmBaseGene::~TfrmBaseGene() = default;

void TfrmBaseGene::BuildComponents() {
  Panel1 = MakeComponent<TPanel>(this, this, "Panel1");
  Panel1->SetAlign(alBottom);
  Panel1->SetHeight(36);
  Panel1->SetCaption("");
  btnOk = MakeComponent<TBitBtn>(this, Panel1, "btnOk");
  btnOk->SetCaption("确定");
  btnOk->SetBounds(150, 6, 75, 25);
  btnCancel = MakeComponent<TBitBtn>(this, Panel1, "btnCancel");
  btnCancel->SetCaption("取消");
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  btnCancel->SetBounds(232, 6, 75, 25);
  btnCancel->OnClick = Bind<&TfrmBaseGene::btnCancelClick>(this);

  pnlCondition = MakeComponent<TPanel>(this, this, "pnlCondition");
  pnlCondition->SetAlign(alLeft);
  pnlCondition->SetWidth(151);
  pnlCondition->SetCaption("");
  Splitter1 = MakeComponent<TSplitter>(this, this, "Splitter1");
  Splitter1->SetAlign(alLeft);
  Splitter1->SetLeft(151);
  lblCondition = MakeComponent<TLabel>(this, pnlCondition, "lblCondition");
  lblCondition->SetCaption(" 条件方案");
  lblCondition->SetAlign(alTop);
  ImageList1 = MakeComponent<TImageList>(this, nullptr, "ImageList1");
  ImageList1->SetWidth(18);
  ImageList1->SetHeight(18);
  ImageList2 = MakeComponent<TImageList>(this, nullptr, "ImageList2");
  ImageList2->SetWidth(24);
  ImageList2->SetHeight(24);
  ToolBar1 = MakeComponent<TToolBar>(this, pnlCondition, "ToolBar1");
  ToolBar1->SetAlign(alTop);
  ToolBar1->SetFlat(true);
  ToolBar1->SetButtonWidth(25);
  ToolBar1->SetButtonHeight(24);
  ToolBar1->SetImages(ImageList1);
  auto tool = [&](const char* name, const char* caption, const char* hint, int image) {
    auto* b = MakeComponent<TToolButton>(this, ToolBar1, name);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->SetImageIndex(image);
    return b;
  };
  btnInsert = tool("btnInsert", "保存(&S)", "保存", 1);
  btnOpen = tool("btnOpen", "开启(&O)", "开启", 2);
  btnDelete = tool("btnDelete", "删除(&D)", "删除", 3);
  ToolButton1 = tool("ToolButton1", "ViewIcon", "", 4);
  ToolButton1->SetStyle(tbsDropDown);
  muOperation = MakeComponent<TPopupMenu>(this, nullptr, "muOperation");
  N2 = MenuItem(this, muOperation, "N2", "开启(&O)");
  N2->SetImageIndex(2);
  N3 = MenuItem(this, muOperation, "N3", "删除(&D)");
  N3->SetImageIndex(3);
  mnList = MakeComponent<TPopupMenu>(this, nullptr, "mnList");
  N7 = MenuItem(this, mnList, "N7", "大型图标(&G)");
  N8 = MenuItem(this, mnList, "N8", "小型图标(&M)");
  N9 = MenuItem(this, mnList, "N9", "清单(&L)");
  N10 = MenuItem(this, mnList, "N10", "详细信息(&D)");
  for (TMenuItem* item : {N7, N8, N9, N10})
    item->SetRadioItem(true);
  N7->SetChecked(true);
  ToolButton1->SetDropdownMenu(mnList);
  lstCondition = MakeComponent<TListView>(this, pnlCondition, "lstCondition");
  lstCondition->SetAlign(alClient);
  lstCondition->SetSortType(stText);
  lstCondition->SetColumnClick(false);
  lstCondition->SetLargeImages(ImageList2);
  lstCondition->SetSmallImages(ImageList1);
  lstCondition->SetPopupMenu(muOperation);
  lstCondition->SetReadOnly(false);

  pgOption = MakeComponent<TExtPageControl>(this, this, "pgOption");
  pgOption->SetAlign(alClient);
  pgOption->SetHint("请输入选项条件");
  tsOption1 = MakeComponent<TTabSheet>(this, nullptr, "tsOption1");
  tsOption1->SetPageControl(pgOption);
  tsOption1->SetCaption("基本选项");
  tsOption2 = MakeComponent<TTabSheet>(this, nullptr, "tsOption2");
  tsOption2->SetPageControl(pgOption);
  tsOption2->SetCaption("系统选项");
  tsOption2->OnShow = Bind<&TfrmBaseGene::tsOption2Show>(this);
  pgOption->OnChange = Bind<&TfrmBaseGene::pgOptionChange>(this);
  pgOption->OnChanging = Bind<&TfrmBaseGene::pgOptionChanging>(this);
  edPrintDate = MakeComponent<TMaskEdit>(this, tsOption2, "edPrintDate");
  edPrintDate->SetHint("[F2]日期快手");
  edPrintDate->SetBounds(60, 8, 85, 21);
  lblToday = MakeComponent<TDBLabel>(this, tsOption2, "lblToday");
  lblToday->SetCaption("制表日期");
  lblToday->SetFocusControl(edPrintDate);
  btnPrintDate = MakeComponent<TF2Button>(this, tsOption2, "btnPrintDate");
  btnPrintDate->SetGlyphIndex(9);
  btnPrintDate->SetHint("日期快手");
  btnPrintDate->SetF2Control(edPrintDate);

  MainMidas = MakeComponent<TSocketConnection>(this, nullptr, "MainMidas");
  MainMidas->SetSupportCallbacks(false);
  ObjBroker = MakeComponent<TComponent>(this, nullptr, "ObjBroker");
  ClientDataSet1 = MakeComponent<TClientDataSet>(this, nullptr, "ClientDataSet1");
  ClientDataSet1->SetRemoteServer(MainMidas);
  ClientDataSet1->SetProviderName("pvdConSave");
  ClientDataSet1->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
  ClientDataSet1->SetIndexName("Index1");

  // F2 buttons stand flat on every module form.
  for (TComponent* c : ComponentList())
    if (auto* f2 = dynamic_cast<TF2Button*>(c)) f2->SetFlat(true);
}

void TfrmBaseGene::AfterConstruction() {
  // Descendants add their F2 buttons in their constructors: make them flat
  // before the form's creation event runs.
  for (TComponent* c : ComponentList())
    if (auto* f2 = dynamic_cast<TF2Button*>(c)) f2->SetFlat(true);
  TVXForm::AfterConstruction();
}

// ---- creation and release ------------------------------------------------------

void TfrmBaseGene::FormCreate(TObject*) {
  if (SystemCodePage() == "950") FormatSettings().DateSeparator = '/';
  Application()->SetHintHidePause(500000);
  VersionTag = "870401-0.00.00";
  CompanyID.clear();
  ProgramName.clear();
  ProgramID.clear();
  RequiredFields.clear();
  DateFields.clear();
  YearMonthFields.clear();
  OnDateFieldEnter = Bind<&TfrmBaseGene::DateFieldEnter>(this);
  OnDateFieldExit = Bind<&TfrmBaseGene::DateFieldExit>(this);
  OnRequiredExit = Bind<&TfrmBaseGene::RequiredExit>(this);
  FieldCheckFailed = false;
  SystemPageReady = false;
  QuietMessages = false;
  LastFocusedControl = this;
  Interactive = true;
  ConvertDataSets();
  DateEnvList.Clear();
}

void TfrmBaseGene::FormDestroy(TObject*) {
  SysInfoCache.Clear();
  PageLastControls.clear();
  SavedHandlers.clear();
  SavedColours.Clear();
  SavedClickHandlers.clear();
  F2Window = Variant();
  Validator = Variant();
  Counter = Variant();
  if (!LocalServer) MainMidas->Close();
  AppServer = Variant();
  Manager = Variant();
  DateEnvList.Clear();
}

void TfrmBaseGene::DoClose(TCloseAction& action) {
  action = caFree;
  TVXForm::DoClose(action);
  // Closed for good: the shell hears the form going out of sight before it
  // hears it being destroyed.
  if (action == caFree && Visible()) Hide();
}

void TfrmBaseGene::BoundsChanged(bool moved, bool sized) {
  TVXForm::BoundsChanged(moved, sized);
  if (ShellWindow && (moved || sized)) RepaintWindow(ShellWindow);
}

TWinControl* TfrmBaseGene::PageOf(TControl* control) const {
  TWinControl* page = nullptr;
  for (TWinControl* p = control ? control->Parent() : nullptr; p; p = p->Parent()) {
    if (dynamic_cast<const TPageControl*>(p) || p == this) break;
    page = p;
  }
  return page;
}

// The close request is posted when the start-up returns: a message dialog
// shown meanwhile runs the message loop, which must not free the form under
// the start-up's feet.
void TfrmBaseGene::PostClose() {
  if (starting_)
    close_pending_ = true;
  else
    PostMessage(Handle(), WM_CLOSE);
}

void TfrmBaseGene::btnCancelClick(TObject*) {
  Close();
}

// ---- identity ------------------------------------------------------------------

void TfrmBaseGene::SetModuleFileName(const std::string& file_name) {
  ModuleFileName = file_name;
  if (!IsLibrary()) InitModule(TestStartup());
}

bool TfrmBaseGene::IsLibrary() const {
  std::string name = ExtractFileName(ModuleFileName);
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  return SameText(ext, ".Dll") || SameText(ext, ".so");
}

std::string TfrmBaseGene::ProgramIDFromFile() const {
  std::string name = ExtractFileName(ModuleFileName);
  std::size_t dot = name.rfind('.');
  std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  std::size_t cut = IsLibrary() ? 1 : 2;
  std::string id = stem.size() > cut ? stem.substr(0, stem.size() - cut) : std::string();
  if (id.size() < 6) id = stem.substr(0, std::min<std::size_t>(6, stem.size()));
  return id;
}

void TfrmBaseGene::SetOptionCount(int n) {
  OptionCount = n + (FrameworkOptionCount < OptionCount ? 0 : FrameworkOptionCount);
}

std::string TfrmBaseGene::SysInfo(std::string_view name) {
  if (name.empty()) {
    if (Counter.IsEmpty()) return {};
    Variant company(CompanyID);
    Variant answer = Call(Counter, "GetSysInfo", {Ref(company)});
    if (answer.DimCount() == 2) {
      for (int i = answer.LowBound(2); i <= answer.HighBound(2); ++i) {
        std::string key = VarToStr(answer.At({0, i}));
        std::string value = VarToStr(answer.At({1, i}));
        int index = SysInfoCache.IndexOfName(key);
        if (index >= 0)
          SysInfoCache.Put(index, key + "=" + value);
        else
          SysInfoCache.Add(key + "=" + value);
      }
    }
    return {};
  }
  std::string value;
  try {
    value = SysInfoCache.Values(name);
  } catch (...) {
    value.clear();
  }
  if (value.empty() && !IsEarlierEdition()) {
    static const char* const kEnglish[] = {"Inv.Cate.1", "Inv.Cate.2", "Inv.Cate.3", "Inv.Cate.4"};
    static const char* const kChinese[] = {"商品分类方式一", "商品分类方式二", "商品分类方式三",
                                           "商品分类方式四"};
    static const char* const kNames[] = {"SYS007", "SYS008", "SYS009", "SYS010"};
    for (int i = 0; i < 4; ++i)
      if (SameText(name, kNames[i]))
        return InterfaceCodePage() == "437" ? kEnglish[i] : kChinese[i];
  }
  if (TextsConverted()) value = VxConverter()->DBToUI(Variant(value)).ToText();
  return value;
}

int TfrmBaseGene::DateStyle() {
  return DateStyleOf(SysInfo("Sys001"));
}

std::string TfrmBaseGene::DateSep() {
  return DateSepOf(SysInfo("Sys002"));
}

// ---- start-up ----------------------------------------------------------------------

bool TfrmBaseGene::InitModule(const Variant& startup) {
  if (!CompanyID.empty()) return false;
  bool result = true;
  starting_ = true;
  close_pending_ = false;
  struct EndStart {
    TfrmBaseGene* f;
    ~EndStart() {
      f->starting_ = false;
      if (f->close_pending_) f->PostClose();
    }
  } end_start{this};
  try {
    SysInfoCache.Clear();
    PageLastControls.clear();
    SavedHandlers.clear();
    SavedColours.Clear();
    SavedClickHandlers.clear();
    F2Window = Validator = Counter = Variant();
    FrameworkOptionCount = 1;
    AddErrorText("");
    edPrintDate->Clear();
    ShellParams = Variant::Null();
    ParamsByName = true;
    AutoRun = false;
    int high = startup.IsArray() ? startup.HighBound() : -1;
    ShellWindow = high > 2 ? static_cast<HWND>(startup[3].ToInt64()) : 0;
    if (high < 4) {
      AddMessage("E;000038");
      PostClose();
    } else {
      StartupExtra = startup[4];
    }
    Hide();
    std::string* targets[] = {&UserID, &CompanyID, &SystemDB};
    for (int i = 0; i < 3 && i <= high; ++i)
      *targets[i] = VarToStr(startup[i]);
    LoadProgramInfo();
    std::string own = Name().size() > 3 ? Name().substr(3, 3) : std::string();
    if (!SameText(own, ProgramID.substr(0, std::min<std::size_t>(3, ProgramID.size())))) {
      AddMessage("E;000036");
      PostClose();
    } else {
      MainMidas->Close();
      if (ConfigureConnection(MainMidas)) {
        SetupConnection(MainMidas);
        if (!MainMidas->ServerName().empty()) ConnectServer();
      }
      if (!AppServer.IsDispatch()) {
        AddMessage("E;000006");
        PostClose();
        result = false;
      }
    }
  } catch (const std::exception& e) {
    AddErrorText(ExceptionText(e));
    result = false;
  }
  return result;
}

void TfrmBaseGene::LoadProgramInfo() {
  RecordColours(this);
  GetManagerObjects();
  VersionType = Call(Manager, "VersionType").ToInt();
  try {
    ProductID = Call(Manager, "ProductID").ToInt();
  } catch (...) {
    ProductID = 3;
  }
  SetupProgram();
  GetF2Window();
}

void TfrmBaseGene::GetManagerObjects() {
  if (!IsLibrary()) {
    try {
      Manager = CreateOleObject("CorvanWorkCenter.Manager");
    } catch (...) {
      Manager = Variant();
    }
  }
  try {
    Counter = Call(Manager, "Com_Counter");
    SysInfo("");
    CompanyName = SysInfo("VRX002");
  } catch (...) {
    Counter = Variant();
  }
  try {
    Validator = Call(Manager, "Com_Validator");
  } catch (...) {
    Validator = Variant();
  }
}

void TfrmBaseGene::GetF2Window() {
  if (!(ServiceFlags & 4)) return;
  try {
    F2Window = Call(Manager, "Com_F2Window");
  } catch (...) {
    F2Window = Variant();
  }
}

void TfrmBaseGene::SetupProgram() {
  SetDateFields("edPrintDate");
  ProgramKind = "R";
  EnvCount = 9;
  ServiceFlags = 0;
  ProgramID = UpperCase(ProgramIDFromFile());
  ServerClass = ProgramID + "S.Class1";
  std::string name = ProgramID;
  try {
    Variant answer;
    if (ServerCheck("ADMMB", "01", false, answer, VarArrayOf({ProgramID}))) {
      if (answer.IsArray() && answer.HighBound() >= answer.LowBound()) {
        name = VarToStr(answer[answer.LowBound()]);
        if (answer.HighBound() - answer.LowBound() + 1 > 7 && InterfaceCodePage() == "437")
          name = VarToStr(answer[answer.LowBound() + 7]);
      } else if (!answer.IsEmpty() && !answer.IsNull()) {
        name = VarToStr(answer);
      }
    }
  } catch (...) {
    name = ProgramID;
  }
  ProgramName = ProgramCaption = name;
  SetOptionCount(0);
}

bool TfrmBaseGene::ConfigureConnection(TSocketConnection* connection) {
  try {
    connection->Close();
    TSorvendaIniC config;
    if (!MessageCodes.empty()) {
      AddMessage(MessageCodes);
      return false;
    }
    if (config.ServerHosts.DimCount() == 2) {
      connection->SetAddress(VarToStr(config.ServerHosts.At({0, 0})));
      connection->SetObjectBroker(nullptr);
      connection->SetPort(config.ServerHosts.At({1, 0}).ToInt());
    }
    return true;
  } catch (const std::exception& e) {
    AddErrorText(ExceptionText(e));
    return false;
  }
}

bool TfrmBaseGene::ConnectServer() {
  try {
    AppServer = Variant();
    if (MainMidas->Connected()) MainMidas->Close();
    LocalServer = IsLocalHost(MainMidas->Address());
    if (LocalServer) {
      Variant server = CreateOleObject(MainMidas->ServerName());
      MainMidas->SetAppServer(server);
      AppServer = server;
    } else {
      MainMidas->Open();
      if (MainMidas->Connected()) AppServer = MainMidas->AppServer();
    }
    return true;
  } catch (const std::exception& e) {
    AddErrorText(ExceptionText(e));
    return false;
  }
}

void TfrmBaseGene::SetupConnection(TSocketConnection*) {}

void TfrmBaseGene::SetCaptionText(const std::string& caption) {
  ProgramCaption = caption;
  if (!IsLibrary())
    ProgramCaption +=
        GetLangMessage(dtClient, "TfrmBaseGene", "sExeVer", "[您现在运行的是Exe版本!]");
  SetCaption(ProgramCaption + "[" + CompanyName + "]");
}

// ---- the parameter array ---------------------------------------------------------

bool TfrmBaseGene::CheckRowEntries(const Variant& row, int count, const std::string& label) {
  if (row.HighBound() != count) {
    ShowMessageByCode("W", "000002", {label, IntToStr(count), IntToStr(row.HighBound())});
    return false;
  }
  for (int i = 1; i <= count; ++i) {
    const Variant& v = row[i];
    if (v.IsEmpty() || v.IsNull()) {
      ShowMessageByCode("W", "000003", {label, IntToStr(count), IntToStr(i)});
      return false;
    }
  }
  return true;
}

bool TfrmBaseGene::CollectParams() {
  if (EnvCount < 1 || (OptionCount < 1 && !AutoRun)) {
    ShowMessageByCode("I", "000003", {""});
    return false;
  }
  auto fresh = [](int count) {
    Variant row = VarArrayCreate(1, count);
    for (int i = 1; i <= count; ++i)
      row[i] = Variant::Null();
    return row;
  };
  Variant env = fresh(EnvCount), captions = fresh(OptionCount), values = fresh(OptionCount);
  int module_count = OptionCount - FrameworkOptionCount;
  if (!FillParamCaptions(captions, module_count)) return false;
  if (!CheckRowEntries(captions, OptionCount,
                       GetLangText("TfrmBaseGene", "sOption", true, "选择条件文字")))
    return false;
  if (!FillParamValues(values, module_count)) return false;
  if (!CheckRowEntries(values, OptionCount,
                       GetLangText("TfrmBaseGene", "sOptionInf", true, "选择条件信息")))
    return false;
  if (!FillEnvSettings(env, EnvCount)) return false;
  if (!CheckRowEntries(env, EnvCount, GetLangText("TfrmBaseGene", "sEnvSetting", true, "环境设置")))
    return false;
  Variant array = VarArrayCreate(0, 2);
  array[0] = env;
  array[1] = VxConverter()->UIToDB(captions);
  array[2] = VxConverter()->UIToDB(values);
  ParamArray = array;
  return true;
}

bool TfrmBaseGene::FillParamCaptions(Variant& row, int module_count) {
  CaptionsFilled = true;
  try {
    row[module_count + FrameworkOptionCount] = VarArrayOf({lblToday->Caption(), "edPrintDate"});
    return true;
  } catch (...) {
    AddMessage("E;000030;" + GetMessageText("I", "000011"));
    return false;
  }
}

bool TfrmBaseGene::FillParamValues(Variant& row, int module_count) {
  try {
    row[module_count + FrameworkOptionCount] = DisplayToDate8(edPrintDate->Text());
    return true;
  } catch (...) {
    AddMessage("E;000030");
    return false;
  }
}

bool TfrmBaseGene::FillEnvSettings(Variant& row, int) {
  row[1] = UpperCase(ProgramID);
  row[2] = std::int32_t{EnvCount};
  row[3] = std::int32_t{OptionCount};
  row[4] = CompanyID;
  row[5] = UserID;
  row[6] = SystemDB;
  row[7] = Now();
  row[8] = ServerClass;
  row[9] = UpperCase(ProgramKind);
  return true;
}

bool TfrmBaseGene::ApplyParamValues(const Variant&) {
  return false;
}

void TfrmBaseGene::RightsLoaded() {}

bool TfrmBaseGene::RunByShell(int) {
  return true;
}

bool TfrmBaseGene::RunLocal(const std::string& job_id, const std::string& program_id,
                            const std::string& p3, const std::string& company_id,
                            const std::string& user_id, const std::string&,
                            const std::string& program_kind, const std::string& system_db,
                            const Variant& values, int p10, const std::string& sub_id) {
  Application()->ProcessMessages();
  std::vector<std::string> folders;
  TSorvendaIniS().GetWorkDLLPaths(folders);
  std::string library = program_id + "S.DLL";
  // The host file a library name stands for in a folder.
  auto host_file = [&](const std::string& folder) {
    return JoinPath(folder, LibraryFileCandidates(library).front());
  };
  auto bring_up_to_date = [&](const std::string& file) {
    std::string description;
    try {
      description =
          VarToStr(Call(Manager, "GetFileList", {VarArrayOf({LowerCase(ExtractFileName(file))})}));
    } catch (...) {
      description.clear();  // no description: the local file is used as it is
    }
    std::string error;
    return UpdateFromFileInfo(description, file, true, error);
  };
  std::string chosen, s_pkg;
  for (const std::string& folder : folders) {
    if (s_pkg.empty() && FindText(folder, "S_PKG") != std::string::npos) s_pkg = folder;
    std::string file = host_file(folder);
    if (FileExists(file) && bring_up_to_date(file)) {
      chosen = file;
      break;
    }
  }
  if (chosen.empty()) {
    if (folders.empty()) return false;
    std::string file = host_file(s_pkg.empty() ? folders.front() : s_pkg);
    if (!bring_up_to_date(file)) return false;
    chosen = file;
  }
  TDynLib lib(chosen);
  if (!lib.Loaded()) {
    AddErrorText(lib.Error());
    return false;
  }
  auto get = lib.Function<TGetSvrControllerFunc>(kGetSvrControllerExport);
  if (!get) return false;
  bool ok = true;
  std::unique_ptr<TSvrController> controller;
  try {
    controller.reset(get());
    if (!controller) return false;
    Variant args;
    if (SameText(program_kind, "B"))
      args = VarArrayOf(
          {job_id, company_id, user_id, values, system_db, sub_id, std::int32_t{ProductID}});
    else
      args = VarArrayOf({job_id, p3, company_id, user_id, system_db, values, std::int32_t{p10},
                         UpperCase(program_kind), sub_id, std::int32_t{ProductID},
                         std::int32_t{CaptionsFilled ? 1 : 0}, InterfaceCodePage()});
    controller->Run(args);
  } catch (const std::exception& e) {
    AddErrorText(ExceptionText(e));
    ok = false;
  }
  if (controller) {
    std::u16string text;
    try {
      controller->GetMessages(text);
    } catch (...) {
      text.clear();
    }
    AddErrorText(Utf16ToUtf8(text));
    controller.reset();
  }
  lib.Unload();
  Application()->ProcessMessages();
  return ok;
}

// Field labels and texts of the form's data sets follow the interface's
// code page: labels converted once, texts shown and stored through the
// converter unless a field has handlers of its own.
void TfrmBaseGene::ConvertDataSets() {
  for (TComponent* c : ComponentList()) {
    auto* data_set = dynamic_cast<TClientDataSet*>(c);
    if (!data_set) continue;
    for (int i = 0; i < data_set->FieldCount(); ++i) {
      TField* field = data_set->Fields(i);
      field->SetDisplayLabel(VxConverter()->ToUI(Variant(field->DisplayLabel())).ToText());
      TFieldType type = field->DataType();
      if (type != TFieldType::ftString && type != TFieldType::ftWideString &&
          type != TFieldType::ftMemo)
        continue;
      if (!field->OnGetText.Assigned()) field->OnGetText = Bind<&TfrmBaseGene::FieldGetText>(this);
      if (!field->OnSetText.Assigned()) field->OnSetText = Bind<&TfrmBaseGene::FieldSetText>(this);
    }
  }
}

void TfrmBaseGene::FieldGetText(TField* sender, std::string& text, bool) {
  text = VxConverter()->ToUI(Variant(sender->AsString())).ToText();
}

void TfrmBaseGene::FieldSetText(TField* sender, const std::string& text) {
  sender->SetAsString(VxConverter()->FromUI(Variant(text)).ToText());
}

// ---- the shell's parameter messages -------------------------------------------------

bool TfrmBaseGene::NameTest(const Variant& values) {
  // values: [caption row, value row], lower bound 0, entries [caption, name].
  bool ok = false;
  const Variant& captions = values[values.LowBound()];
  const Variant* vals =
      values.HighBound() > values.LowBound() ? &values[values.LowBound() + 1] : nullptr;
  if (!captions.IsArray()) return false;
  for (int i = captions.LowBound(); i <= captions.HighBound(); ++i) {
    const Variant& entry = captions[i];
    std::string name = entry.IsArray() && entry.HighBound() >= entry.LowBound() + 1
                           ? VarToStr(entry[entry.LowBound() + 1])
                           : std::string();
    TComponent* c = name.empty() ? nullptr : FindComponent(name);
    ok = c && (dynamic_cast<TSelectPanel*>(c) || dynamic_cast<TCustomComboBox*>(c) ||
               HasProperty(c, "ItemIndex") || HasProperty(c, "Checked") || HasProperty(c, "Text") ||
               HasProperty(c, "Lines"));
    if (!ok) continue;
    if (vals && vals->IsArray() && i >= vals->LowBound() && i <= vals->HighBound()) {
      ApplyNamedValue(c, (*vals)[i]);
      // As after a scheme's value: the form reacts as to a value typed in
      // (the stocktaking form fills the worksheet's date).
      if (!dynamic_cast<TSelectPanel*>(c)) AfterLoadControl(c, VarToStr((*vals)[i]));
    }
  }
  if (!ok) AddMessage("W;000014");
  return ok;
}

// Values given by name are put into the controls as a user would type or
// choose them: dates in the form's date style, check marks from "Y"/"1"/
// "True", items by index or by text.
void TfrmBaseGene::ApplyNamedValue(TComponent* component, const Variant& value) {
  std::string text = VarToStr(value);
  if (auto* panel = dynamic_cast<TSelectPanel*>(component)) {
    if (value.IsArray() && value.HighBound() >= value.LowBound() + 1) {
      panel->edBegin()->SetText(VarToStr(value[value.LowBound()]));
      panel->edFinal()->SetText(VarToStr(value[value.LowBound() + 1]));
    }
    return;
  }
  if (auto* combo = dynamic_cast<TCustomComboBox*>(component)) {
    auto index = TryStrToInt(text);
    combo->SetItemIndex(index ? *index : combo->Items()->IndexOf(text));
    return;
  }
  if (HasProperty(component, "Checked")) {
    std::string u = UpperCase(Trim(text));
    SetOrdProperty(component, "Checked", u == "Y" || u == "1" || u == "TRUE");
    return;
  }
  if (HasProperty(component, "ItemIndex")) {
    if (auto index = TryStrToInt(text)) SetOrdProperty(component, "ItemIndex", *index);
    return;
  }
  auto* edit = dynamic_cast<TCustomEdit*>(component);
  bool is_date =
      edit && FindText("," + DateFields + ",", "," + component->Name() + ",") != std::string::npos;
  if (is_date && Date8ToDate(text) != 0) {
    if (auto* masked = dynamic_cast<TCustomMaskEdit*>(edit)) {
      masked->SetEditMask(DateMaskText());
      masked->SetText(Date8ToDisplay(text, DateStyle(), DateSep()));
    } else {
      edit->SetText(Date8ToDisplay(text, DateStyle(), DateSep()));
    }
    return;
  }
  if (auto* masked = dynamic_cast<TCustomMaskEdit*>(component)) {
    masked->SetText(text);
    return;
  }
  if (HasProperty(component, "Text"))
    SetStrProperty(component, "Text", text);
  else if (HasProperty(component, "Lines"))
    if (auto* lines = dynamic_cast<TStrings*>(GetObjectProperty(component, "Lines")))
      lines->SetText(text);
}

void TfrmBaseGene::ReceiveShellParams(const Variant& message) {
  Variant m;
  if (message.IsArray() && message.HighBound() >= 1) m = message[1];
  ShellParams = m;
  if (m.IsEmpty() || m.IsNull() || !m.IsArray() || m.HighBound() < m.LowBound()) return;
  int mode = m[m.LowBound()].ToInt();
  Interactive = mode == 0 || mode == 1;
  AutoRun = false;
  bool applied = false;
  if (m.HighBound() >= m.LowBound() + 1) {
    const Variant& named = m[m.LowBound() + 1];
    if (named.IsArray() && named.HighBound() >= named.LowBound() + 1) {
      ParamsByName = named[named.LowBound()].ToBool();
      const Variant& v = named[named.LowBound() + 1];
      if (v.IsArray() && v.HighBound() >= v.LowBound()) {
        applied = ParamsByName ? NameTest(v) : ApplyParamValues(v);
        AutoRun = applied && mode != 0;
      }
    }
  }
  if (!TextsConverted()) {
    ConvertFormTexts();
    if (SystemCodePage() == "950") SetCaptionText(VxConverter()->GBToBig5(ProgramCaption));
  }
  if (mode > 2 && applied)
    RunByShell(mode);
  else if (AutoRun)
    btnOk->Click();
}

// ---- showing, pages and keys ----------------------------------------------------------

void TfrmBaseGene::FormShow(TObject*) {
  std::string caption = ProgramCaption;
  if (ProductID == 5) caption += GetLangMessage(dtClient, "TfrmBaseGene", "sPublicVer", "-普及版");
  SetCaption(caption + "[" + CompanyName + "]");
  if (pgOption->PageCount() > 0) {
    pgOption->SetActivePage(pgOption->Pages(0));
    pgOptionChange(pgOption);
  }
  ConvertFormTexts();
  lstCondition->Columns()->Clear();
  TListColumn* name = lstCondition->Columns()->Add();
  name->SetCaption(GetLangText("TfrmBaseGene", "sProjectName", true, "方案名称"));
  name->SetAutoSize(true);
  name->SetAlignment(taRightJustify);
  TListColumn* created = lstCondition->Columns()->Add();
  created->SetCaption(GetLangText("TfrmBaseGene", "sCreateTime", true, "创建时间"));
  created->SetAutoSize(true);
  created->SetAlignment(taLeftJustify);
  LoadSchemes();
}

void TfrmBaseGene::FocusFirstControl(TTabSheet* page) {
  if (!page) return;
  std::vector<TWinControl*> children;
  for (TControl* c : page->ControlList())
    if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
  for (std::size_t order = 0; order < children.size(); ++order) {
    auto it = std::find_if(children.begin(), children.end(), [&](TWinControl* w) {
      return w->TabOrder() == static_cast<int>(order);
    });
    if (it == children.end()) return;
    TWinControl* target = *it;
    if (!target->Enabled()) continue;
    if (auto* panel = dynamic_cast<TSelectPanel*>(target))
      target = panel->IsRangeInput() ? static_cast<TWinControl*>(panel->edBegin())
                                     : static_cast<TWinControl*>(panel->ListBox());
    if (CanTakeFocus(target)) target->SetFocus();
    return;
  }
}

void TfrmBaseGene::pgOptionChange(TObject*) {
  FocusFirstControl(pgOption->ActivePage());
}

void TfrmBaseGene::pgOptionChanging(TObject*, bool& allow) {
  TWinControl* active = ActiveControl();
  TWinControl* holder = active;
  for (TWinControl* p = active; p; p = p->Parent())
    if (dynamic_cast<TSelectPanel*>(p)) holder = p;
  if (holder && holder->OnExit.Assigned()) {
    QuietMessages = true;
    try {
      holder->OnExit(holder);
    } catch (...) {
      QuietMessages = false;
      throw;
    }
    QuietMessages = false;
  }
  allow = !FieldCheckFailed;
}

void TfrmBaseGene::tsOption2Show(TObject*) {
  if (SystemPageReady) return;
  InitSystemPage();
  SystemPageReady = true;
}

void TfrmBaseGene::InitSystemPage() {
  tsOption2->Font()->Assign(pgOption->Font());
  tsOption2->Font()->SetSize(9);
  if (Width() < 315) SetWidth(315);
  if (Height() < 110) SetHeight(110);
  lblToday->SetAutoSize(true);
  lblToday->SetBounds(8, 12, lblToday->Width(), lblToday->Height());
  edPrintDate->SetBounds(60, 8, 85, edPrintDate->Height());
  btnPrintDate->SetF2Control(nullptr);
  btnPrintDate->SetF2Control(edPrintDate);
}

bool TfrmBaseGene::IsPageLastControl(TWinControl* control) const {
  if (!control) return false;
  auto listed = [&](TWinControl* c) {
    return std::any_of(PageLastControls.begin(), PageLastControls.end(),
                       [&](const TWeak<TWinControl>& w) { return w.get() == c; });
  };
  if (listed(control)) return true;
  for (TWinControl* p = control->Parent(); p; p = p->Parent()) {
    if (auto* panel = dynamic_cast<TSelectPanel*>(p))
      return listed(panel) && (control == panel->edBegin() || control == panel->ListBox());
    if (dynamic_cast<TVxRadioGroup*>(p)) return listed(p);
  }
  return false;
}

namespace {

bool IsLastTab(TPageControl* pages) {
  return pages->TabIndex() >= pages->TabCount() - 1;
}

}  // namespace

void TfrmBaseGene::KeyDown(Word& key, TShiftState shift) {
  bool ctrl = shift.Contains(ssCtrl), alt = shift.Contains(ssAlt), sh = shift.Contains(ssShift);
  if (key == VK_ESCAPE && !ctrl && !alt) {
    key = 0;
    Close();
    return;
  }
  if (key == VK_F1 && !ctrl && !alt) {
    ShowProgramHelp();
  } else if (key == VK_F2 && !ctrl && !alt) {
    key = 0;
    HandleF2(ActiveControl());
    return;
  } else if (key == 'V' && ctrl && alt) {
    ShellExecute(Handle(), "properties", ModuleFileName);
  } else if (ctrl && ((key == VK_TAB && sh) || key == VK_PRIOR)) {
    key = 0;
    pgOption->SelectNextPage(false);
    return;
  } else if (ctrl && (key == VK_TAB || key == VK_NEXT)) {
    key = 0;
    pgOption->SelectNextPage(true);
    return;
  }
  TVXForm::KeyDown(key, shift);
}

void TfrmBaseGene::KeyPress(TKeyChar& key) {
  if (key != 13) {
    TVXForm::KeyPress(key);
    return;
  }
  TWinControl* active = ActiveControl();
  auto next_control = [&] {
    key = 0;
    SelectNext(active, true, true);
  };
  auto next_page = [&] {
    key = 0;
    if (!IsLastTab(pgOption)) pgOption->SelectNextPage(true);
  };
  if (auto* grid = dynamic_cast<TCustomGrid*>(active); grid && !IsPageLastControl(active)) {
    key = 0;
    if (grid->Col() >= grid->ColCount() - 1) {
      if (grid->Row() >= grid->RowCount() - 1) grid->SetRowCount(grid->RowCount() + 1);
      grid->FocusCell(grid->FixedCols(), grid->Row() + 1);
    } else {
      grid->SetCol(grid->Col() + 1);
    }
    return;
  }
  auto* memo = dynamic_cast<TCustomMemo*>(active);
  if (IsPageLastControl(active)) {
    if (memo) {
      if (memo->CaretPos().Y >= 2) next_page();
    } else if (dynamic_cast<TCustomGrid*>(active)) {
      next_control();
    } else {
      next_page();
    }
    return;
  }
  if (memo) {
    if (memo->CaretPos().Y >= 2) next_control();
    return;
  }
  if (active) next_control();
}

void TfrmBaseGene::WMF2Query(TMessage& msg) {
  // Only a control of this form is taken at its word.
  auto* control = reinterpret_cast<TControl*>(msg.LParam);
  if (!control || !ContainsControl(control)) return;
  if (auto* w = dynamic_cast<TWinControl*>(control)) HandleF2(w);
}

void TfrmBaseGene::CMFocusChanged(TMessage& msg) {
  DispatchFrom(TVXForm::StaticClassInfo(), msg);
  auto* control = reinterpret_cast<TControl*>(msg.LParam);
  if (control && (control == this || ContainsControl(control)))
    LastFocusedControl = dynamic_cast<TWinControl*>(control);
}

// ---- rights and help -----------------------------------------------------------------

void TfrmBaseGene::ApplyUserRights(const Variant& answer) {
  try {
    if (answer.IsArray() && answer.HighBound() >= 1) {
      std::string text = VarToStr(answer[1]);
      RightsTokens.clear();
      for (int i = 1; i <= 6; ++i)
        RightsTokens.push_back(ExtractField(text, ",", i));
      const std::string& letters = RightsTokens[3];
      LookupFlag7 = letters.size() < 7 || letters[6] != 'N';
      LookupFlag8 = letters.size() < 8 || letters[7] != 'N';
    }
    if (answer.IsArray() && answer.HighBound() >= 3) {
      RightsText2 = VarToStr(answer[2]);
      RightsText3 = VarToStr(answer[3]);
    }
    if (answer.IsArray() && answer.HighBound() >= 5 && answer[5].IsArray())
      LimitText = Utf16ToUtf8(JoinVarArrayW(Utf8ToUtf16(VarToStr(answer[4])), answer[5]));
  } catch (...) {
    // A malformed answer leaves the rights as they were.
  }
  RightsLoaded();
}

bool TfrmBaseGene::ShowProgramHelp() {
  if (ProgramID.size() < 4) return false;
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(ProgramID[3])));
  std::string prefix = "1";
  char kind = letter;
  if (letter == 'A' || letter == 'M') {
    prefix = letter == 'A' ? "6" : "8";
    if (ProgramID.size() < 5) return false;
    kind = static_cast<char>(std::toupper(static_cast<unsigned char>(ProgramID[4])));
  }
  std::string digit;
  if (kind == 'B')
    digit = "3";
  else if (kind == 'R')
    digit = "2";
  else
    return false;
  std::string topic = prefix + digit + ProgramID.substr(ProgramID.size() - 2) + "0000";
  Call(Manager, "CallHelp", {VarArrayOf({ProgramID.substr(0, 3), topic})});
  return true;
}

}  // namespace vx
