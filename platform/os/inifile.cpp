#include "platform/os/inifile.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/os/alert_sink.h"
#include "platform/os/codepage.h"
#include "platform/os/paths.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

constexpr std::size_t kMaxFileSize = 16u << 20;

// A line of text that no editor would write: control characters other than
// the tab, or characters that could not be decoded.
bool LooksBinary(std::string_view line) {
  for (unsigned char c : line)
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
  return line.find("\xEF\xBF\xBD") != std::string_view::npos;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

TIniFile::TIniFile(std::string file_name) : file_name_(NormalizePath(file_name)) {
  struct stat st {};
  if (::stat(file_name_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;  // reads as empty
  if (static_cast<std::size_t>(st.st_size) > kMaxFileSize) {
    ReportOsAlert(Format("INI file %s is too large and was read as empty", file_name_));
    return;
  }
  std::ifstream in(file_name_, std::ios::binary);
  std::ostringstream bytes;
  if (!in || (st.st_size > 0 && !(bytes << in.rdbuf()))) {
    ReportOsAlert(Format("INI file %s cannot be read and was read as empty", file_name_));
    return;
  }
  std::string problem;
  std::string text = DecodeTextFile(bytes.str(), GetSystemCodePage(), &problem);

  Section* current = nullptr;
  int first_skipped = 0;
  std::size_t start = 0;
  for (int line_no = 1; start <= text.size(); ++line_no) {
    std::size_t nl = text.find('\n', start);
    std::string_view raw = std::string_view(text).substr(
        start, nl == std::string::npos ? std::string::npos : nl - start);
    start = nl == std::string::npos ? text.size() + 1 : nl + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    bool bad = LooksBinary(line);
    if (!bad && line[0] == '[') {
      std::size_t close = line.find(']');
      if (close != std::string::npos) {
        std::string name = UpperCase(Trim(std::string_view(line).substr(1, close - 1)));
        // A repeated section adds nothing: the first occurrence wins.
        current = nullptr;
        if (!name.empty()) {
          auto [it, added] = sections_.try_emplace(std::move(name));
          if (added) current = &it->second;
        }
        continue;
      }
      bad = true;
    }
    std::size_t eq = line.find('=');
    if (bad || eq == std::string::npos || eq == 0) {
      if (skipped_++ == 0) first_skipped = line_no;
      continue;
    }
    // Entries before the first section, or of a repeated one, are never read.
    if (!current) continue;
    std::string key = Trim(std::string_view(line).substr(0, eq));
    if (current->index.try_emplace(UpperCase(key), current->entries.size()).second)
      current->entries.emplace_back(key, Unquote(Trim(std::string_view(line).substr(eq + 1))));
  }
  if (!problem.empty()) ReportOsAlert(Format("INI file %s: %s", file_name_, problem));
  if (skipped_ > 0)
    ReportOsAlert(Format("INI file %s: %d malformed line(s) skipped, the first at line %d",
                         file_name_, skipped_, first_skipped));
}

const TIniFile::Section* TIniFile::Find(std::string_view section) const {
  auto it = sections_.find(UpperCase(section));
  return it == sections_.end() ? nullptr : &it->second;
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (!s) return nullptr;
  auto it = s->index.find(UpperCase(Trim(key)));
  return it == s->index.end() ? nullptr : &s->entries[it->second].second;
}

bool TIniFile::SectionExists(std::string_view section) const {
  return Find(Trim(section)) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(Trim(section), key) != nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  const std::string* v = FindValue(Trim(section), key);
  return v ? *v : std::string(def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const std::string* v = FindValue(Trim(section), key);
  if (!v) return def;
  std::string t = *v;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t = "$" + t.substr(2);
  return StrToIntDef(t, def);
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
  std::vector<std::string> lines;
  if (const Section* s = Find(Trim(section)))
    for (const auto& [name, value] : s->entries)
      lines.push_back(name + "=" + value);
  return lines;
}

}  // namespace vx
