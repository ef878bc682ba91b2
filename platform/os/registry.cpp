#include "platform/os/registry.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

#include "platform/os/alert_sink.h"
#include "platform/os/codepage.h"
#include "platform/os/paths.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"

namespace vx {

// Parsed registry file: the HKEY_LOCAL_MACHINE keys with their values.
struct RegistryImage {
  bool usable = false;
  std::map<std::string, std::map<std::string, TRegistry::Value>> keys;  // upper-case
  std::set<std::string> existing;  // listed keys and their parents, upper-case

  static std::string KeyId(std::string_view key) {
    std::string k = UpperCase(Trim(key));
    while (!k.empty() && k.back() == '\\')
      k.pop_back();
    while (!k.empty() && k.front() == '\\')
      k.erase(0, 1);
    return k;
  }
  void AddKey(const std::string& id) {
    for (std::size_t p = 0; p != std::string::npos; p = id.find('\\', p + 1))
      if (p > 0) existing.insert(id.substr(0, p));
    existing.insert(id);
  }
};

namespace {

constexpr std::size_t kMaxFileSize = 16u << 20;
// Skipped lines named in the report; the rest are only counted.
constexpr std::size_t kReportedLines = 10;

// A quoted text starting at s[pos] == '"'; \\ and \" are escapes. Sets pos
// after the closing quote; false when it is not closed.
bool ReadQuoted(std::string_view s, std::size_t& pos, std::string& out) {
  out.clear();
  for (std::size_t i = pos + 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out += s[++i];
    } else if (c == '"') {
      pos = i + 1;
      return true;
    } else {
      out += c;
    }
  }
  return false;
}

bool IsHexList(std::string_view s) {
  // "hex:" / "hex(n):" data: byte pairs separated by commas.
  std::string t = Trim(s);
  if (t.empty()) return true;
  std::size_t i = 0;
  for (;;) {
    std::string_view rest = std::string_view(t).substr(i);
    std::size_t comma = rest.find(',');
    std::string item = Trim(rest.substr(0, comma));
    if (item.empty() || item.size() > 2 ||
        item.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return false;
    if (comma == std::string_view::npos) return true;
    i += comma + 1;
  }
}

// Parses the data after "=" of a value line; false with a reason when bad.
bool ParseData(std::string_view data, TRegistry::Value& value, bool& deleted, std::string& reason) {
  std::string d = Trim(data);
  deleted = false;
  if (d == "-") {
    deleted = true;
    return true;
  }
  if (!d.empty() && d[0] == '"') {
    std::size_t pos = 0;
    if (!ReadQuoted(d, pos, value.data)) {
      reason = "the text value is not closed";
      return false;
    }
    if (!Trim(std::string_view(d).substr(pos)).empty()) {
      reason = "characters after the text value";
      return false;
    }
    value.text = true;
    return true;
  }
  value.text = false;
  value.data.clear();
  if (StartsText("dword:", d)) {
    std::string digits = Trim(std::string_view(d).substr(6));
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      reason = "invalid dword value";
      return false;
    }
    return true;
  }
  if (StartsText("hex", d)) {
    std::size_t colon = d.find(':');
    std::string kind = d.substr(3, colon == std::string::npos ? 0 : colon - 3);
    bool kind_ok = kind.empty() || (kind.size() >= 3 && kind.front() == '(' && kind.back() == ')' &&
                                    kind.size() <= 10);
    if (colon != std::string::npos && kind_ok && IsHexList(std::string_view(d).substr(colon + 1)))
      return true;
    reason = "invalid hex value";
    return false;
  }
  reason = "unknown value type";
  return false;
}

std::shared_ptr<const RegistryImage> Parse(const std::string& path, std::string_view text,
                                           std::vector<std::string>& problems) {
  auto image = std::make_shared<RegistryImage>();
  std::vector<std::string> lines;
  {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t nl = text.find('\n', start);
      std::string_view line =
          text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.emplace_back(line);
      if (nl == std::string_view::npos) break;
      start = nl + 1;
    }
  }
  // Skipped lines go out as one report: a broken file may have any number of
  // them, and every report writes a log line.
  std::size_t skipped = 0;
  std::string first_skipped;
  auto report = [&](std::size_t line_no, const std::string& why) {
    if (++skipped <= kReportedLines)
      first_skipped +=
          Format("%sline %d (%s)", skipped > 1 ? ", " : "", static_cast<int>(line_no), why);
  };
  auto report_skipped = [&] {
    if (skipped == 0) return;
    problems.push_back(Format("Registry file %s: %d line%s skipped: %s%s", path,
                              static_cast<int>(skipped), skipped > 1 ? "s" : "", first_skipped,
                              skipped > kReportedLines ? ", ..." : ""));
  };

  std::size_t i = 0;
  while (i < lines.size() && Trim(lines[i]).empty())
    ++i;
  std::string header = i < lines.size() ? Trim(lines[i]) : std::string();
  if (header != "Windows Registry Editor Version 5.00" && header != "REGEDIT4") {
    problems.push_back(Format("Registry file %s is not a registry export (no header line)", path));
    return image;
  }
  image->usable = true;

  // Values go to the current key only when that key is a valid machine key.
  std::map<std::string, TRegistry::Value>* current = nullptr;
  for (++i; i < lines.size(); ++i) {
    std::size_t line_no = i + 1;
    std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    // Hex data continues over lines ending in "\".
    while (!line.empty() && line.back() == '\\' && line[0] != '[' && i + 1 < lines.size() &&
           line.find("=hex") != std::string::npos) {
      line.pop_back();
      line += Trim(lines[++i]);
    }
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() != ']') {
        report(line_no, "the key name is not closed");
        continue;
      }
      std::string name = line.substr(1, line.size() - 2);
      if (!name.empty() && name[0] == '-') continue;  // a key deletion
      std::string id = RegistryImage::KeyId(name);
      std::size_t slash = id.find('\\');
      std::string root = id.substr(0, slash);
      if (root != "HKEY_LOCAL_MACHINE" && root != "HKLM") continue;  // other roots: not ours
      id = slash == std::string::npos ? std::string() : id.substr(slash + 1);
      if (id.empty()) continue;
      image->AddKey(id);
      current = &image->keys[id];
      continue;
    }
    std::string value_name;
    std::size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      if (!ReadQuoted(line, pos, value_name)) {
        report(line_no, "the value name is not closed");
        continue;
      }
    } else {
      report(line_no, "neither a key nor a value");
      continue;
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
      ++pos;
    if (pos >= line.size() || line[pos] != '=') {
      report(line_no, "no \"=\" after the value name");
      continue;
    }
    TRegistry::Value value;
    bool deleted = false;
    std::string reason;
    if (!ParseData(std::string_view(line).substr(pos + 1), value, deleted, reason)) {
      report(line_no, reason);
      continue;
    }
    if (!current) continue;
    std::string id = UpperCase(value_name);
    if (deleted)
      current->erase(id);
    else
      (*current)[id] = std::move(value);
  }
  report_skipped();
  return image;
}

// The last file parsed, by its path and bytes: a lookup re-reads the (small)
// file, so a changed file is never missed, but parses and reports only when
// the content changed.
struct CacheEntry {
  std::string path;
  std::string bytes;
  std::shared_ptr<const RegistryImage> image;
};

std::mutex g_cache_mutex;
CacheEntry g_cache;
std::set<std::string> g_reported;  // file-level problems already reported

// A missing or unreadable file would otherwise be reported at every lookup.
void ReportOnce(const std::string& text) {
  {
    std::lock_guard lock(g_cache_mutex);
    if (!g_reported.insert(text).second) return;
  }
  ReportOsAlert(text);
}

// The parsed registry file, or null when there is none to be had.
std::shared_ptr<const RegistryImage> LoadImage() {
  const char* env = std::getenv("VX_REGISTRY_FILE");
  if (!env || !*env) return nullptr;
  std::string path = NormalizePath(env);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    ReportOnce(Format("Registry file %s cannot be found", path));
    return nullptr;
  }
  if (static_cast<std::size_t>(st.st_size) > kMaxFileSize) {
    ReportOnce(Format("Registry file %s is too large to be a registry export", path));
    return nullptr;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (!in || (st.st_size > 0 && !(bytes << in.rdbuf()))) {
    ReportOnce(Format("Registry file %s cannot be read", path));
    return nullptr;
  }
  std::string raw = bytes.str();
  {
    std::lock_guard lock(g_cache_mutex);
    if (g_cache.image && g_cache.path == path && g_cache.bytes == raw) return g_cache.image;
  }
  std::string problem;
  std::vector<std::string> problems;
  std::string text = DecodeTextFile(raw, GetSystemCodePage(), &problem);
  if (!problem.empty()) problems.push_back(Format("Registry file %s: %s", path, problem));
  auto image = Parse(path, text, problems);
  {
    std::lock_guard lock(g_cache_mutex);
    g_cache = CacheEntry{path, std::move(raw), image};
  }
  // Reported only now: writing a report looks the registry up again, and
  // must find this file parsed.
  for (const std::string& p : problems)
    ReportOsAlert(p);
  return image;
}

}  // namespace

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
  CloseKey();
  auto image = LoadImage();
  if (!image || !image->usable) return false;
  std::string id = RegistryImage::KeyId(key);
  // An export taken on a 64-bit Windows holds what the suite's 32-bit
  // programs see under "Software\Wow6432Node"; use it when the key itself is
  // not there.
  if (!id.empty() && !image->existing.count(id) && id.rfind("SOFTWARE\\", 0) == 0)
    id.insert(9, "WOW6432NODE\\");
  if (id.empty() || !image->existing.count(id)) return false;
  if (auto it = image->keys.find(id); it != image->keys.end()) values_ = it->second;
  open_ = true;
  return true;
}

void TRegistry::CloseKey() {
  open_ = false;
  values_.clear();
}

bool TRegistry::ValueExists(std::string_view name) const {
  return values_.count(UpperCase(name == "@" ? std::string_view() : name)) > 0;
}

std::string TRegistry::ReadString(std::string_view name) const {
  auto it = values_.find(UpperCase(name == "@" ? std::string_view() : name));
  return it != values_.end() && it->second.text ? it->second.data : std::string();
}

std::string ReadMachineRegistryString(std::string_view key, std::string_view name) {
  TRegistry reg;
  return reg.OpenKeyReadOnly(key) ? reg.ReadString(name) : std::string();
}

}  // namespace vx
