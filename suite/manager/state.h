#pragma once
// What the manager and its service objects share: the configuration, the
// answering rule, the help requests, and the way to the databases. Inside
// the library only.
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/dispatch.h"
#include "platform/db/engine.h"
#include "suite/manager/answerer.h"
#include "suite/manager/config.h"
#include "suite/manager/manager.h"

namespace vx::manager {

// Bounds on what callers hand in and what goes back.
inline constexpr std::size_t kMaxNameLength = 128;         // ids, table names, query numbers
inline constexpr std::size_t kMaxTextLength = 8 * 1024;    // statements, argument texts
inline constexpr std::size_t kMaxLimitLength = 64 * 1024;  // the rights' limit text
inline constexpr int kMaxArguments = 64;
inline constexpr std::size_t kMaxRows = 10000;
inline constexpr std::size_t kMaxHelpRequests = 100;

using TRows = std::vector<std::vector<Variant>>;

// Raises the automation error every refusal of the manager is.
[[noreturn]] void Refuse(const std::string& reason);

// args[index] as a text of at most max_length bytes; Empty and Null give "".
// A missing argument, an array, an object or a longer text is refused,
// naming what.
std::string TextArg(std::span<Arg> args, std::size_t index, std::string_view what,
                    std::size_t max_length = kMaxNameLength);
// Element index of a one-dimensional array as such a text; "" when the
// array has no such element.
std::string TextElement(const Variant& array, int index, std::string_view what,
                        std::size_t max_length = kMaxNameLength);
// The call must have at least n arguments.
void RequireArgs(std::span<Arg> args, std::size_t n, std::string_view method);

// Reads the rows of a statement, each row all its columns; refuses more than
// max_rows rows.
TRows ReadRows(db::IStatement& statement, std::size_t max_rows = kMaxRows);
// [[c0, c1, ...], ...] with lower bounds 0; Empty when there are no rows.
Variant RowsToVariant(const TRows& rows);

class TManagerState {
 public:
  explicit TManagerState(TManagerConfig config);

  TManagerConfig Config;
  std::shared_ptr<TScriptedAnswerer> Scripted;
  std::shared_ptr<IF2Answerer> Answerer;
  std::deque<THelpRequest> Help;

  // The name the caller gave, or the configured one when empty; refused
  // unless it can name an attached database.
  std::string SystemName(std::string_view system_db) const;
  // Data/<system database>.db; refused when missing.
  std::string SystemFile(std::string_view system_db) const;
  // The company's database file as the system database's company table
  // names it; refused when the company is unknown or its file is missing.
  std::string CompanyFile(std::string_view company, std::string_view system_db) const;
  // The company database with the system database attached under its name.
  std::string ConnectionString(std::string_view company, std::string_view system_db) const;

  // Read-only sessions: the system database alone (reachable also as
  // name..table), or a company's database with the system one attached.
  std::unique_ptr<db::ISession> OpenSystem(std::string_view system_db) const;
  std::unique_ptr<db::ISession> OpenCompany(std::string_view company,
                                            std::string_view system_db) const;
  // The company's session when a company is given, else the system one.
  std::unique_ptr<db::ISession> OpenFor(std::string_view company, std::string_view system_db) const;
};

// The service objects, sharing the manager's state.
DispatchPtr MakeCounter(std::shared_ptr<TManagerState> state);
DispatchPtr MakeValidator(std::shared_ptr<TManagerState> state);
DispatchPtr MakeF2Window(std::shared_ptr<TManagerState> state);

}  // namespace vx::manager
