#include "env/sorvenda_ini.h"

#include "lib/edition.h"

#include "env/password.h"
#include "lib/alert_log.h"
#include "platform/os/inifile.h"
#include "platform/os/paths.h"
#include "platform/os/registry.h"
#include "platform/os/system.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

constexpr std::string_view kRegistryKey = "Software\\VRX\\Sorvenda";

bool IsFlagSet(const std::string& value) {
  std::string v = UpperCase(value);
  return v == "1" || v == "Y" || v == "YES" || v == "TRUE";
}

// A reader never raises: an unexpected failure is logged and read as false.
template <class Fn>
bool Guarded(const char* reader, Fn&& fn) {
  try {
    return fn();
  } catch (const std::exception& e) {
    WriteAlertLog("SorvendaINI", Format("%s: %s", reader, ExceptionText(e)), "D");
  } catch (...) {
    WriteAlertLog("SorvendaINI", Format("%s: unknown failure", reader), "D");
  }
  return false;
}

}  // namespace

std::string ExpandWorkPath(std::string_view path, std::string_view base_path) {
  if (HasDriveOrShare(path)) return std::string(path);
  if (!path.empty() && IsPathDelimiter(path.front()))
    return std::string(base_path) + std::string(path.substr(1));
  return std::string(base_path) + std::string(path);
}

void TSorvendaIniBase::ResetDefaults() {
  ErrorCode.clear();
  BasePath.clear();
  ProfilePath.clear();
  ProfileType = "0";
  UserName = "Default";
  UICodePage = "936";
  DBCodePage = "936";
  SysCodePage = IntToStr(GetSystemCodePage());
  if (SysCodePage != "936" && SysCodePage != "950") SysCodePage = "437";
  UICodePage = SysCodePage;
  SupportCallBack = false;
  IniFileName.clear();
  ComputeConvertModes();
}

void TSorvendaIniBase::ComputeConvertModes() {
  if (UICodePage == "950")
    UIConvertMode = 2;
  else if (UICodePage == "936" && SysCodePage == "950")
    UIConvertMode = 4;
  else
    UIConvertMode = 0;
  if (UICodePage == "950" && DBCodePage == "936")
    DBConvertMode = 2;
  else if (UICodePage == "936" && DBCodePage == "950")
    DBConvertMode = 1;
  else
    DBConvertMode = 0;
}

bool TSorvendaIniBase::LocateIniFile(std::string_view path_value, std::string_view file_name) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(kRegistryKey)) {
    ErrorCode = "E;000015";
    return false;
  }
  BasePath = NormalizePath(reg.ReadString(path_value));
  ProfileType = reg.ReadString("ProfileType");
  reg.CloseKey();
  if (BasePath.empty()) return false;
  BasePath = IncludeTrailingPathDelimiter(BasePath);
  ProfilePath = BasePath;
  if (!ProfileType.empty() && ProfileType != "0") {
    std::string user = GetProcessUserName();
    // Without a user name there is no profile folder to look in.
    if (!user.empty()) {
      ProfilePath = BasePath + "Profile" + kPathDelim + user + kPathDelim;
      UserName = user;
    }
  }
  IniFileName = ProfilePath + std::string(file_name);
  if (!FileExists(IniFileName)) {
    ProfilePath = BasePath;
    IniFileName = BasePath + std::string(file_name);
  }
  return true;
}

void TSorvendaIniBase::ResolveWorkDLLPaths(std::string_view default_folder) {
  if (WorkDLLPaths.empty()) {
    WorkDLLPaths.push_back(BasePath + std::string(default_folder) + kPathDelim);
    return;
  }
  for (std::string& line : WorkDLLPaths) {
    std::size_t eq = line.find('=');
    std::string value = NormalizePath(eq == std::string::npos ? line : line.substr(eq + 1));
    line = ExpandWorkPath(IncludeTrailingPathDelimiter(value.empty() ? "/" : value), BasePath);
  }
}

TSorvendaIniC::TSorvendaIniC() {
  LoadSettings();
}

bool TSorvendaIniC::LoadSettings() {
  return Guarded("TSorvendaIniC", [this] {
    ResetDefaults();
    ServerHosts = Variant();
    WorkDLLPaths.clear();
    if (!LocateIniFile("ClientPath", "SorvendaC.ini")) return false;
    TIniFile ini(IniFileName);
    LangType = ini.ReadString("Client Components", "LangType", "ENG");
    ProductVersion = ini.ReadString("ProductVersion", "Version", "");
    CreateGifBeforeSendEF = ini.ReadString("UserDefine", "CreateGifBeforeSendEF", "Y");
    UICodePage = ini.ReadString("CodePage", "UICodePage", SysCodePage);
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
    SupportCallBack = IsFlagSet(ini.ReadString("Server Information", "SupportCallBack", "0"));
    std::string hosts = Trim(ini.ReadString("Server Information", "ComputerName", "127.0.0.1"));
    int port = ini.ReadInteger("Server Information", "ServerPort", 211);
    WorkDLLPaths = ini.ReadSectionValues("WorkDLLPath");
    if (!IsEarlierEdition()) {  // the earlier edition has no message centre settings
      AutoCheckNewMsg = ini.ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
      CheckInterval = ini.ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
      PopupMsg = ini.ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
      LoginCheck = ini.ReadString("TaskMessageCenter Setting", "LoginCheck", "0");
    }
    ComputeConvertModes();

    if (!hosts.empty() && hosts.back() == ';') hosts.pop_back();
    if (hosts.empty()) {
      ErrorCode = "E;000016";
      return false;
    }
    // One column per host, every host with the same port. Hosts are not
    // trimmed one by one.
    ServerHosts = VarArrayCreate({{0, 1}, {0, 0}});
    for (int j = 0; !hosts.empty(); ++j) {
      if (j > 0) ServerHosts.Redim(j);
      std::size_t semicolon = hosts.find(';');
      ServerHosts.At({0, j}) = Variant(hosts.substr(0, semicolon));
      ServerHosts.At({1, j}) = Variant(port);
      hosts.erase(0, semicolon == std::string::npos ? hosts.size() : semicolon + 1);
    }
    ResolveWorkDLLPaths("C_PKG");
    return true;
  });
}

TSorvendaIniS::TSorvendaIniS() {
  LoadSettings();
}

bool TSorvendaIniS::LoadSettings() {
  return Guarded("TSorvendaIniS", [this] {
    ResetDefaults();
    DBSettings = Variant();
    WorkDLLPaths.clear();
    if (!LocateIniFile("ServerPath", "SorvendaS.ini")) return false;
    TIniFile ini(IniFileName);
    ProductVersion = ini.ReadString("ProductVersion", "Version", "");
    UICodePage = ini.ReadString("CodePage", "UICodePage", SysCodePage);
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");

    DBSettings = VarArrayCreate({{0, 3}, {0, 7}});
    auto text = [&](int row, int col, const char* section, const char* key, const char* def) {
      DBSettings.At({row, col}) = Variant(ini.ReadString(section, key, def));
    };
    auto number = [&](int row, int col, const char* section, const char* key, int def) {
      DBSettings.At({row, col}) = Variant(ini.ReadInteger(section, key, def));
    };
    auto password = [&](int row, int col, const char* key) {
      DBSettings.At({row, col}) = Variant(DecodePassword(ini.ReadString("DBE Setting", key, "")));
    };
    const char* dbe = "DBE Setting";
    text(0, 1, dbe, "MainUserName", "sa");
    password(0, 2, "XXXXXX");
    text(0, 0, dbe, "MainAlias", "Corvan");
    text(0, 3, dbe, "MainDBType", "MSSQL");
    text(0, 4, dbe, "MainDBName", "");
    text(0, 5, dbe, "MainServerName", "");
    std::string main_server = DBSettings.At({0, 5}).ToText();
    if (!IsEarlierEdition()) {  // the earlier edition has no system-control addresses
      SystemControlAddress = ini.ReadString(dbe, "SystemControlAddress", "");
      if (Trim(SystemControlAddress).empty()) SystemControlAddress = main_server;
      OtherSystemControlAddress = ini.ReadString(dbe, "OtherSystemControlAddress", "");
      if (Trim(OtherSystemControlAddress).empty()) OtherSystemControlAddress = main_server;
    }
    number(0, 6, dbe, "MainConnectionTimeOut", 300);
    number(0, 7, dbe, "MainCommandTimeOut", 3000);
    text(1, 0, dbe, "TempAlias", "CorvanTemp");
    text(1, 1, dbe, "TempUserName", "sa");
    password(1, 2, "TempPassword");
    text(1, 3, dbe, "TempDBType", "PARADOX");
    text(1, 4, dbe, "TempDBName", "");
    text(1, 5, dbe, "TempDriverName", "PostgreSQL");
    number(1, 6, dbe, "TempConnectionTimeOut", 300);
    number(1, 7, dbe, "TempCommandTimeOut", 3000);
    DBSettings.At({2, 0}) = Variant(Trim(ini.ReadString("DBPasswordCtrl", "ComputerName", "")));
    number(2, 1, "DBPasswordCtrl", "ServerPort", 211);
    number(2, 2, "DBPasswordCtrl", "ClientSocketPort", 1024);
    SupportCallBack = IsFlagSet(ini.ReadString("DBPasswordCtrl", "SupportCallBack", "0"));
    text(2, 3, dbe, "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN");
    text(3, 0, dbe, "EctAlias", "EDIDATA");
    text(3, 1, dbe, "EctUserName", "sa");
    text(3, 2, dbe, "EctPassword", "");
    WorkDLLPaths = ini.ReadSectionValues("WorkDLLPath");

    std::string db_type = DBSettings.At({0, 3}).ToText();
    DBKind = SameText(db_type, "ORACLE") ? 1 : SameText(db_type, "DB2") ? 2 : 0;
    ComputeConvertModes();
    ResolveWorkDLLPaths("S_PKG");
    return true;
  });
}

void TSorvendaIniS::GetWorkDLLPaths(std::vector<std::string>& paths) const {
  paths = WorkDLLPaths;
}

}  // namespace vx
