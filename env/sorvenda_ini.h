#pragma once
// Readers of the suite's client and server configuration: the installation
// folders in the registry key HKEY_LOCAL_MACHINE\Software\VRX\Sorvenda and
// the settings in "SorvendaC.ini" / "SorvendaS.ini" there (or in a per-user
// profile folder below). A reader is a snapshot taken at construction: build
// one, copy what is needed, drop it. Nothing here writes the configuration.
//
// Folders are kept in host form: values written Windows-style ("C:\App\")
// are normalised as they are read, and every folder ends in a separator.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/variant.h"

namespace vx {

// Path unchanged when it carries a drive or a network share; else, when it
// begins with a separator, base_path followed by the rest of it; else
// base_path followed by path. Holds for Windows-style and host-style paths.
std::string ExpandWorkPath(std::string_view path, std::string_view base_path);

// Fields and steps both readers share.
class TSorvendaIniBase {
 public:
  std::string BasePath;            // installation folder, ending in a separator
  std::string ProfilePath;         // folder of the INI file actually read
  std::string ProfileType;         // registry "ProfileType"; "0" until read
  std::string UserName;            // "Default", or the user name with per-user profiles
  std::string UICodePage;          // code page of the user interface
  std::string DBCodePage;          // code page of texts stored in the database
  std::string SysCodePage;         // system code page reduced to "936", "950" or "437"
  std::uint8_t UIConvertMode = 0;  // 0, 2 or 4
  std::uint8_t DBConvertMode = 0;  // 0, 1 or 2
  bool SupportCallBack = false;
  std::string IniFileName;                // full name of the INI file read
  std::string ErrorCode;                  // "E;000015" / "E;000016" after a failure, else empty
  std::vector<std::string> WorkDLLPaths;  // library folders, each ending in a separator
  std::string ProductVersion;

 protected:
  TSorvendaIniBase() = default;
  // Code-page defaults and the other initial values.
  void ResetDefaults();
  void ComputeConvertModes();
  // Finds the INI file through the registry; false (ErrorCode "E;000015"
  // when the key cannot be opened) when there is none to read.
  bool LocateIniFile(std::string_view path_value, std::string_view file_name);
  // Turns the raw "WorkDLLPath" lines into folders, default_folder (below
  // BasePath) when there are none.
  void ResolveWorkDLLPaths(std::string_view default_folder);
};

// Client configuration, "SorvendaC.ini" in the folder of registry value
// "ClientPath".
class TSorvendaIniC : public TSorvendaIniBase {
 public:
  // Reads at once; see ErrorCode for the outcome.
  TSorvendaIniC();
  // True when everything was read.
  bool LoadSettings();

  // Application-server hosts: bounds [0..1, 0..n-1], [0,j] the host text,
  // [1,j] the port; unassigned when no host is configured.
  Variant ServerHosts;
  std::string LangType;
  std::string CreateGifBeforeSendEF;
  std::string AutoCheckNewMsg;
  std::string CheckInterval;
  std::string PopupMsg;
  std::string LoginCheck;
};

// Server configuration, "SorvendaS.ini" in the folder of registry value
// "ServerPath".
class TSorvendaIniS : public TSorvendaIniBase {
 public:
  TSorvendaIniS();
  bool LoadSettings();
  // Replaces the contents of paths with a copy of WorkDLLPaths.
  void GetWorkDLLPaths(std::vector<std::string>& paths) const;

  // Database settings: bounds [0..3, 0..7]; rows main, temporary, host and
  // ports, "Ect" database. Passwords of rows 0 and 1 are decoded.
  Variant DBSettings;
  std::uint8_t DBKind = 0;  // 0 other, 1 ORACLE, 2 DB2
  std::string SystemControlAddress;
  std::string OtherSystemControlAddress;
};

}  // namespace vx
