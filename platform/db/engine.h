#pragma once
// The database engine interface: a session (one open connection with its
// attached databases) and prepared statements over it. The suite's services
// use it directly; the ADO-style components (ado.h) sit on top of it.
//
// Statements are written in the suite's SQL-Server dialect (dialect.h) and
// take named parameters ":NAME". Every engine failure raises EDBEngineError
// whose entries carry the engine's error code and a message naming what
// failed.
//
// Threads: a session and its statements belong to one thread at a time; use
// one session per thread. A statement must not outlive its session.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/db/connection_string.h"
#include "platform/rtl/exception.h"

namespace vx::db {

// A compiled statement. Parameters are numbered from 0 in order of first
// appearance; columns from 0.
class IStatement {
 public:
  virtual ~IStatement() = default;

  // The statement as written (before the dialect rewrite).
  virtual const std::string& Sql() const = 0;

  virtual const std::vector<std::string>& ParamNames() const = 0;
  // Index of a parameter by name (ignoring case, without ":"); -1 when none.
  int ParamIndex(std::string_view name) const;
  // Empty and Null bind SQL NULL; integers, booleans (as 1/0), doubles,
  // date-times (as "YYYY-MM-DD HH:MM:SS.mmm"), texts. Other kinds raise.
  // A running statement is reset first.
  virtual void Bind(int index, const Variant& value) = 0;
  // Raises EDBEngineError naming the parameter when the statement has none
  // of that name.
  void Bind(std::string_view name, const Variant& value);
  virtual void ClearBindings() = 0;

  // Advances to the next row: true while there is one. The first call after
  // Reset (or after binding) runs the statement.
  virtual bool Step() = 0;
  // Back to the start, keeping the bound values.
  virtual void Reset() = 0;
  // Runs the statement to its end; the number of rows it changed.
  virtual std::int64_t Execute() = 0;
  // Rows changed by the last INSERT, UPDATE or DELETE run here.
  virtual std::int64_t RowsAffected() const = 0;

  // Result columns; available before the first Step.
  virtual int ColumnCount() const = 0;
  virtual const std::string& ColumnName(int column) const = 0;
  // Values of the current row. Text stays valid until the next Step or Reset.
  virtual bool ColumnIsNull(int column) const = 0;
  virtual std::int64_t ColumnInt64(int column) const = 0;
  virtual double ColumnDouble(int column) const = 0;
  virtual std::string_view ColumnText(int column) const = 0;
  // The value as a variant: Null, Integer (Int64 beyond 32 bits), Double or
  // String (texts and blobs).
  virtual Variant Column(int column) const = 0;
};

enum class TTransactionMode {
  // Locks are taken when the first statement needs them.
  Deferred,
  // The write lock is taken at once, so a writer waits (busy time-out) at
  // the start rather than failing half-way.
  Immediate,
};

class ISession {
 public:
  virtual ~ISession() = default;

  virtual std::unique_ptr<IStatement> Prepare(std::string_view sql) = 0;
  // Runs a statement once with parameters by name; the rows it changed.
  std::int64_t Execute(std::string_view sql,
                       std::initializer_list<std::pair<std::string_view, Variant>> params = {});
  // Runs statements separated by ";" (no parameters), e.g. a schema.
  virtual void ExecuteScript(std::string_view script) = 0;

  virtual void Begin(TTransactionMode mode = TTransactionMode::Deferred) = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual bool InTransaction() const = 0;

  // Further database file reachable as name..table; raises when the file
  // does not exist.
  virtual void Attach(std::string_view name, std::string_view file_name) = 0;
  virtual void SetBusyTimeout(int milliseconds) = 0;
  virtual bool ReadOnly() const = 0;
  virtual std::int64_t LastInsertRowId() const = 0;
};

// Opens a session as the settings say; raises EDBEngineError when a file is
// missing (unless Create for the company database) or cannot be opened.
std::unique_ptr<ISession> OpenSession(const TConnectionSettings& settings);
// Parses the connection string first (EDBConnectionStringError).
std::unique_ptr<ISession> OpenSession(std::string_view connection_string);

// A transaction rolled back unless committed; commit once.
class TTransaction {
 public:
  explicit TTransaction(ISession& session, TTransactionMode mode = TTransactionMode::Deferred);
  ~TTransaction();
  TTransaction(const TTransaction&) = delete;
  TTransaction& operator=(const TTransaction&) = delete;
  void Commit();
  void Rollback();

 private:
  ISession& session_;
  bool open_ = true;
};

}  // namespace vx::db
