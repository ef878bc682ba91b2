#include "lib/alert_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "platform/os/alert_sink.h"
#include "platform/os/paths.h"
#include "platform/os/registry.h"
#include "platform/os/system.h"
#include "platform/rtl/datetime.h"

namespace vx {

std::string GetInstallFolder() {
  try {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly("Software\\VRX\\Sorvenda")) return {};
    std::string folder = reg.ReadString("ClientPath");
    if (folder.empty()) folder = reg.ReadString("ServerPath");
    return NormalizePath(folder);
  } catch (...) {
    return {};
  }
}

bool AppendAlertLine(const std::string& folder, const std::string& file_name,
                     std::string_view line) {
  try {
    if (!ForceDirectories(folder)) return false;
    std::string path = JoinPath(folder, file_name);
    std::string buffer;
    buffer.reserve(line.size() + 1);
    buffer.append(line);
    buffer += '\n';
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ssize_t written;
    do {
      written = ::write(fd, buffer.data(), buffer.size());
    } while (written < 0 && errno == EINTR);
    bool ok = written == static_cast<ssize_t>(buffer.size());
    if (::close(fd) != 0) ok = false;
    return ok;
  } catch (...) {
    return false;
  }
}

bool WriteAlertLog(std::string_view name_part, std::string_view text, std::string_view period) {
  try {
    std::string folder = GetInstallFolder();
    if (folder.empty()) folder = GetHostExeFolder();
    return WriteAlertLogIn(folder, name_part, text, period);
  } catch (...) {
    return false;
  }
}

bool WriteAlertLogIn(const std::string& base_folder, std::string_view name_part,
                     std::string_view text, std::string_view period) {
  try {
    std::string folder = JoinPath(base_folder, "Log");
    TDateTime now = Now();
    const char* date_pattern = period == "M" ? "yyyymm" : period == "Y" ? "yyyy" : "yyyymmdd";
    std::string file = "Alert_" + std::string(name_part) + "_" + FormatDateTime(date_pattern, now);
    if (name_part.find('.') == std::string_view::npos) file += ".log";
    std::string line =
        "[" + FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", now) + "] " + std::string(text);
    return AppendAlertLine(folder, file, line);
  } catch (...) {
    return false;
  }
}

namespace {

// Problems of the operating-system layer go to the alert log. Writing the log
// reads the registry, which may itself report: such nested reports wait until
// the current line is written, and what they cause in turn is dropped.
void OsAlertToLog(std::string_view text) {
  thread_local bool busy = false;
  thread_local std::deque<std::string> pending;
  if (busy) {
    if (pending.size() < 100) pending.emplace_back(text);
    return;
  }
  busy = true;
  WriteAlertLog("os", text, "D");
  std::deque<std::string> queued;
  queued.swap(pending);
  for (const std::string& t : queued)
    WriteAlertLog("os", t, "D");
  pending.clear();
  busy = false;
}

[[maybe_unused]] const bool kOsSinkInstalled = (SetOsAlertSink(&OsAlertToLog), true);

}  // namespace

}  // namespace vx
