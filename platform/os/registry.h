#pragma once
// The registry, read-only and HKEY_LOCAL_MACHINE only, kept in a text file in
// the registry-export format and found through VX_REGISTRY_FILE:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\VRX\Sorvenda]
//   "ClientPath"="C:\\Sorvenda\\Client"
//   "ProfileType"="0"
//
// The file is UTF-8 or UTF-16 with a byte-order mark (text without a mark
// that is not UTF-8 is read in the system code page). Key and value names
// are case-insensitive; a later definition of a value overrides an earlier
// one, as an import would. No file, an unreadable file, a file that is not a
// registry export or a missing key all behave as a key that cannot be
// opened; malformed lines are skipped and reported once per file version
// through the alert log.
#include <map>
#include <string>
#include <string_view>

namespace vx {

class TRegistry {
 public:
  struct Value {
    bool text = false;  // a text value; other kinds only count as present
    std::string data;
  };

  // Opens HKEY_LOCAL_MACHINE\key ("Software\VRX\Sorvenda") for reading;
  // false when it cannot be opened. Parent keys of listed keys exist. A key
  // below "Software" that is missing is looked for below
  // "Software\Wow6432Node", where a 64-bit system keeps it for 32-bit programs.
  bool OpenKeyReadOnly(std::string_view key);
  void CloseKey();
  bool KeyOpen() const { return open_; }

  bool ValueExists(std::string_view name) const;
  // Text value ("@" or "" for the default value); empty when the key is not
  // open, the value is missing or it is not text.
  std::string ReadString(std::string_view name) const;

 private:
  bool open_ = false;
  std::map<std::string, Value> values_;  // by upper-case name
};

// One text value of an HKEY_LOCAL_MACHINE key; empty when the key or value
// is missing.
std::string ReadMachineRegistryString(std::string_view key, std::string_view name);

}  // namespace vx
