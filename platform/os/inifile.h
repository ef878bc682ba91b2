#pragma once
// Private-profile INI files, read-only, with the semantics the configuration
// readers rely on: section and key names are case-insensitive, the first
// occurrence of a section or key wins, names and values are trimmed (and a
// value enclosed in a pair of quotes loses them), a missing file reads as
// empty. The file is read once, at construction; it is UTF-8 or UTF-16 with
// a byte-order mark, or else in the system code page. Lines that are neither
// a section, a name=value pair nor a comment (";" or "#") are skipped and
// reported once through the alert log.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vx {

class TIniFile {
 public:
  explicit TIniFile(std::string file_name);

  const std::string& FileName() const { return file_name_; }
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // The value as a decimal number (or "0x"-hexadecimal); def when the value
  // is missing or not a number.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // The section as "name=value" lines in file order, one per name.
  std::vector<std::string> ReadSectionValues(std::string_view section) const;
  // Number of lines skipped as malformed.
  int SkippedLines() const { return skipped_; }

 private:
  // Entries in file order, indexed by upper-case name (the first occurrence).
  struct Section {
    std::vector<std::pair<std::string, std::string>> entries;
    std::unordered_map<std::string, std::size_t> index;
  };
  const Section* Find(std::string_view section) const;
  const std::string* FindValue(std::string_view section, std::string_view key) const;

  std::string file_name_;
  std::unordered_map<std::string, Section> sections_;  // by upper-case name
  int skipped_ = 0;
};

}  // namespace vx
