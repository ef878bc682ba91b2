#pragma once
// The alert log: failures that no user is told of are appended, one line per
// entry, to text files in the "Log" folder of the installation.
#include <string>
#include <string_view>

namespace vx {

// Installation folder: registry value "ClientPath" of
// HKEY_LOCAL_MACHINE\Software\VRX\Sorvenda, else "ServerPath", in host form;
// empty when neither is set (or the key cannot be opened).
std::string GetInstallFolder();

// Appends "[YYYY/MM/DD hh:nn:ss:zzz] " + text to
//   <install folder>/Log/Alert_<name_part>_<date part>[.log]
// where the date part is YYYYMMDD, YYYYMM or YYYY for period "D", "M" or "Y"
// (any other period: YYYYMMDD) and ".log" is added only when name_part has
// no ".". Without an install folder the folder of the host executable is
// used. True when the line was written; never raises.
bool WriteAlertLog(std::string_view name_part, std::string_view text,
                   std::string_view period = "D");

// The same line and file below base_folder/Log, whatever the install folder.
bool WriteAlertLogIn(const std::string& base_folder, std::string_view name_part,
                     std::string_view text, std::string_view period = "D");

// Appends line and a line end to folder/file_name, creating the folder with
// its parents. The line goes out in one write to a file opened for
// appending, so lines of concurrent writers (threads or processes) never
// mix. True when the whole line was written; never raises.
bool AppendAlertLine(const std::string& folder, const std::string& file_name,
                     std::string_view line);

}  // namespace vx
