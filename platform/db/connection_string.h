#pragma once
// Connection strings in the ADO form: "Name=Value;Name=Value". Names ignore
// case and surrounding blanks; a value may be written in double quotes so that
// it can hold ";" or "=" (a doubled quote inside stands for one quote). Empty
// entries (a trailing ";") are allowed. Every name may appear once, except
// "Attach <NAME>", once per attached name.
//
//   Provider=SQLite           the engine; SQLite is the default and the only
//                             one so far
//   Data Source=<file>        the company database file (required)
//   Attach <NAME>=<file>      a further database reachable as NAME..table,
//                             e.g. "Attach VXSYS=/data/VXSYS.db" for the
//                             system database
//   Busy Timeout=<ms>         how long a statement waits for a lock held by
//                             another connection before it fails (default 5000)
//   Read Only=True|False      open every file read-only (default False)
//   Create=True|False         create a missing company database file instead
//                             of failing (default False; attached files must
//                             always exist)
//   User ID=..., Password=..., Persist Security Info=...
//                             accepted for engines with a login; SQLite has none
//
// Booleans read True/False, Yes/No or 1/0. Anything else raises
// EDBConnectionStringError naming the entry at fault.
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/exception.h"

namespace vx::db {

VX_DECLARE_EXCEPTION(EDBConnectionStringError, Exception);

struct TAttachedDatabase {
  std::string Name;
  std::string FileName;
};

struct TConnectionSettings {
  std::string Provider = "SQLite";
  std::string DataSource;
  std::vector<TAttachedDatabase> Attached;
  int BusyTimeoutMs = 5000;
  bool ReadOnly = false;
  bool Create = false;
  std::string UserID;
  std::string Password;
};

// Longest connection string accepted; longer texts are refused unread.
inline constexpr std::size_t kMaxConnectionStringLength = 64 * 1024;

TConnectionSettings ParseConnectionString(std::string_view text);

// Whether a text can name an attached database: ASCII letters, digits and
// "_", not starting with a digit.
bool IsDatabaseName(std::string_view name);

}  // namespace vx::db
