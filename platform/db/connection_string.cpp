#include "platform/db/connection_string.h"

#include <charconv>
#include <climits>

#include "platform/rtl/text.h"

namespace vx::db {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw EDBConnectionStringError("Invalid connection string: " + what);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The name with runs of blanks folded to one, so "Data  Source" reads as
// "Data Source"; case is kept for messages.
std::string FoldBlanks(std::string_view name) {
  std::string out;
  bool blank = false;
  for (char c : Trim(name)) {
    if (IsBlank(c)) {
      blank = true;
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

bool ParseBool(const std::string& name, const std::string& value) {
  if (SameText(value, "True") || SameText(value, "Yes") || value == "1") return true;
  if (SameText(value, "False") || SameText(value, "No") || value == "0") return false;
  Fail("\"" + name + "\" must be True or False, not \"" + value + "\"");
}

int ParseMilliseconds(const std::string& name, const std::string& value) {
  int ms = 0;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), ms);
  if (ec != std::errc() || end != value.data() + value.size() || ms < 0)
    Fail("\"" + name + "\" must be a number of milliseconds from 0 to " + IntToStr(INT_MAX) +
         ", not \"" + value + "\"");
  return ms;
}

struct Entry {
  std::string Name;  // blanks folded
  std::string Value;
};

// Splits the text into entries; quoted values may hold ";".
std::vector<Entry> SplitEntries(std::string_view text) {
  std::vector<Entry> entries;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    std::size_t name_start = i;
    while (i < n && text[i] != '=' && text[i] != ';')
      ++i;
    std::string name = FoldBlanks(text.substr(name_start, i - name_start));
    if (i >= n || text[i] == ';') {
      if (!name.empty()) Fail("the entry \"" + name + "\" has no \"=\" and value");
      ++i;
      continue;
    }
    if (name.empty()) Fail("a value without a name at position " + IntToStr(name_start + 1));
    ++i;  // '='
    while (i < n && IsBlank(text[i]))
      ++i;
    std::string value;
    if (i < n && (text[i] == '"' || text[i] == '\'')) {
      const char quote = text[i++];
      bool closed = false;
      while (i < n) {
        if (text[i] == quote) {
          if (i + 1 < n && text[i + 1] == quote) {
            value += quote;
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        value += text[i++];
      }
      if (!closed) Fail("the quoted value of \"" + name + "\" has no closing quote");
      while (i < n && IsBlank(text[i]))
        ++i;
      if (i < n && text[i] != ';')
        Fail("unexpected text after the quoted value of \"" + name + "\"");
    } else {
      std::size_t value_start = i;
      while (i < n && text[i] != ';')
        ++i;
      value = Trim(text.substr(value_start, i - value_start));
    }
    if (i < n) ++i;  // ';'
    entries.push_back({std::move(name), std::move(value)});
  }
  return entries;
}

}  // namespace

TConnectionSettings ParseConnectionString(std::string_view text) {
  if (text.size() > kMaxConnectionStringLength)
    Fail("longer than " + IntToStr(kMaxConnectionStringLength) + " characters");
  TConnectionSettings s;
  std::vector<std::string> seen;
  for (Entry& e : SplitEntries(text)) {
    std::string key = UpperCase(e.Name);
    bool attach = StartsText("ATTACH ", key);
    std::string attach_name = attach ? Trim(std::string_view(e.Name).substr(7)) : std::string();
    std::string seen_key = attach ? "ATTACH " + UpperCase(attach_name) : key;
    for (const std::string& k : seen)
      if (k == seen_key) Fail("\"" + e.Name + "\" is given more than once");
    seen.push_back(seen_key);

    if (key == "PROVIDER") {
      if (!SameText(e.Value, "SQLite"))
        Fail("the provider \"" + e.Value + "\" is not supported (supported: SQLite)");
      s.Provider = "SQLite";
    } else if (key == "DATA SOURCE") {
      s.DataSource = e.Value;
    } else if (attach) {
      if (!IsDatabaseName(attach_name))
        Fail("\"" + attach_name + "\" is not a valid name for an attached database");
      if (SameText(attach_name, "main") || SameText(attach_name, "temp"))
        Fail("\"" + attach_name + "\" is reserved and cannot name an attached database");
      if (e.Value.empty()) Fail("\"" + e.Name + "\" names no file");
      s.Attached.push_back({attach_name, e.Value});
    } else if (key == "BUSY TIMEOUT") {
      s.BusyTimeoutMs = ParseMilliseconds(e.Name, e.Value);
    } else if (key == "READ ONLY") {
      s.ReadOnly = ParseBool(e.Name, e.Value);
    } else if (key == "CREATE") {
      s.Create = ParseBool(e.Name, e.Value);
    } else if (key == "USER ID") {
      s.UserID = e.Value;
    } else if (key == "PASSWORD") {
      s.Password = e.Value;
    } else if (key == "PERSIST SECURITY INFO") {
      ParseBool(e.Name, e.Value);
    } else {
      Fail("unknown entry \"" + e.Name + "\"");
    }
  }
  if (s.DataSource.empty()) Fail("\"Data Source\" (the database file) is missing");
  return s;
}

bool IsDatabaseName(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    bool ok =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace vx::db
