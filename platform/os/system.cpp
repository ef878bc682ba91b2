#include "platform/os/system.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/os/paths.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}
}  // namespace

int GetSystemCodePage() {
  if (auto cp = TryStrToInt(Env("VX_CODEPAGE")); cp && *cp > 0) return *cp;
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    locale = Env(name);
    if (!locale.empty()) break;
  }
  if (StartsText("zh_CN", locale)) return 936;
  if (StartsText("zh_TW", locale) || StartsText("zh_HK", locale)) return 950;
  return 437;
}

std::string GetProcessUserName() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
  struct passwd pw {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found &&
      found->pw_name && *found->pw_name)
    return found->pw_name;
  for (const char* name : {"USER", "LOGNAME"}) {
    std::string v = Env(name);
    if (!v.empty()) return v;
  }
  return {};
}

std::string GetLocalComputerName() {
  char buf[HOST_NAME_MAX + 1] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0 || buf[0] == '\0') return "Unknown";
  std::string name(buf);
  name = name.substr(0, name.find('.'));
  if (name.size() > 15) name.resize(15);
  return name.empty() ? "Unknown" : name;
}

std::string GetTempFolder() {
  std::string dir = Env("TMPDIR");
  if (dir.empty()) dir = "/tmp";
  return IncludeTrailingPathDelimiter(NormalizePath(dir));
}

std::string GetLongPathName(std::string_view path) {
  if (path.empty()) return {};
  std::string p = NormalizePath(path);
  char* resolved = ::realpath(p.c_str(), nullptr);
  if (!resolved) return {};
  std::string out(resolved);
  std::free(resolved);
  if (IsPathDelimiter(p.back())) out = IncludeTrailingPathDelimiter(out);
  return out;
}

std::string GetLongTempFolder() {
  std::string long_form = GetLongPathName(GetTempFolder());
  return long_form.empty() ? long_form : IncludeTrailingPathDelimiter(long_form);
}

std::string GetOSVersionText() {
  struct utsname u {};
  if (::uname(&u) != 0) return "Unknown";
  return Format("%s %s %s", u.sysname, u.release, u.machine);
}

std::string GetHostExeFileName() {
  std::vector<char> buf(PATH_MAX);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

std::string GetHostExeFolder() {
  return ExtractFilePath(GetHostExeFileName());
}

}  // namespace vx
