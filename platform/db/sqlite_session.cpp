#include "platform/db/sqlite_session.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/db/dialect.h"
#include "platform/db/values.h"
#include "platform/rtl/text.h"

namespace vx::db {
namespace {

// Longest piece of a statement quoted in an error message.
constexpr std::size_t kQuotedStatementLength = 200;
// Longest statement text accepted (the engine's own default limit).
constexpr std::size_t kMaxStatementLength = 1000000000;

std::uint16_t ErrorCode(int rc) {
  return static_cast<std::uint16_t>(rc & 0xFFFF);
}

[[noreturn]] void Raise(int rc, const std::string& what, std::string_view engine_message) {
  throw EDBEngineError({{ErrorCode(rc), what + ": " + std::string(engine_message)}});
}

[[noreturn]] void RaiseFrom(sqlite3* db, const std::string& what) {
  Raise(sqlite3_extended_errcode(db), what, sqlite3_errmsg(db));
}

std::string Quoted(std::string_view sql) {
  std::string s = Trim(sql);
  if (s.size() > kQuotedStatementLength) s = s.substr(0, kQuotedStatementLength) + "...";
  return "\"" + s + "\"";
}

// "file:" URI of a path, so that the open mode travels with the name (ATTACH
// would otherwise create a missing file) and no character of the path is
// taken for URI syntax.
std::string FileUri(std::string_view path, bool read_only, bool create) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  uri += read_only ? "?mode=ro" : create ? "?mode=rwc" : "?mode=rw";
  return uri;
}

void RequireFile(std::string_view path, std::string_view role) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec))
    throw EDBEngineError(
        {{ErrorCode(SQLITE_CANTOPEN),
          "The " + std::string(role) + " file \"" + std::string(path) + "\" does not exist"}});
}

// True when only blanks, comments and ";" remain.
bool OnlyTrailer(const char* tail) {
  while (*tail) {
    char c = *tail;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
      ++tail;
    } else if (c == '-' && tail[1] == '-') {
      while (*tail && *tail != '\n')
        ++tail;
    } else if (c == '/' && tail[1] == '*') {
      const char* end = std::strstr(tail + 2, "*/");
      if (!end) return false;
      tail = end + 2;
    } else {
      return false;
    }
  }
  return true;
}

class SqliteStatement final : public IStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql) : db_(db), sql_(sql) {
    if (sql.size() > kMaxStatementLength)
      throw EDBEngineError({{ErrorCode(SQLITE_TOOBIG), "The statement is longer than " +
                                                           IntToStr(kMaxStatementLength) +
                                                           " characters: " + Quoted(sql)}});
    TTranslatedStatement translated = TranslateStatement(sql);
    names_ = std::move(translated.ParamNames);
    const char* tail = nullptr;
    int rc =
        sqlite3_prepare_v3(db_, translated.Sql.c_str(), static_cast<int>(translated.Sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &stmt_, &tail);
    if (rc != SQLITE_OK) RaiseFrom(db_, "Cannot prepare the statement " + Quoted(sql));
    if (!stmt_)
      throw EDBEngineError({{ErrorCode(SQLITE_MISUSE), "The statement is empty: " + Quoted(sql)}});
    if (tail && !OnlyTrailer(tail)) {
      sqlite3_finalize(stmt_);
      stmt_ = nullptr;
      throw EDBEngineError(
          {{ErrorCode(SQLITE_MISUSE), "Only one statement can run at a time: " + Quoted(sql)}});
    }
    const int count = sqlite3_column_count(stmt_);
    columns_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const char* name = sqlite3_column_name(stmt_, i);
      columns_.emplace_back(name ? name : "");
    }
    read_only_ = sqlite3_stmt_readonly(stmt_) != 0;
  }
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }

  const std::string& Sql() const override { return sql_; }
  const std::vector<std::string>& ParamNames() const override { return names_; }

  void Bind(int index, const Variant& value) override {
    if (index < 0 || static_cast<std::size_t>(index) >= names_.size())
      throw EDBEngineError({{ErrorCode(SQLITE_RANGE), "Parameter number " + IntToStr(index + 1) +
                                                          " is out of range for " + Quoted(sql_)}});
    if (running_) Reset();
    const int slot = index + 1;
    int rc = SQLITE_OK;
    switch (value.VarType()) {
      case varEmpty:
      case varNull:
        rc = sqlite3_bind_null(stmt_, slot);
        break;
      case varSmallint:
      case varInteger:
      case varByte:
      case varInt64:
        rc = sqlite3_bind_int64(stmt_, slot, value.ToInt64());
        break;
      case varBoolean:
        rc = sqlite3_bind_int(stmt_, slot, value.ToBool() ? 1 : 0);
        break;
      case varDouble:
        rc = sqlite3_bind_double(stmt_, slot, value.ToDouble());
        break;
      case varDate: {
        std::string text = DateTimeToDbText(value.ToDate());
        rc = sqlite3_bind_text64(stmt_, slot, text.data(), text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
        break;
      }
      case varString: {
        const std::string& text = *value.AnsiPtr();
        rc = sqlite3_bind_text64(stmt_, slot, text.data(), text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
        break;
      }
      case varOleStr: {
        std::string text = value.ToText();
        rc = sqlite3_bind_text64(stmt_, slot, text.data(), text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
        break;
      }
      default:
        throw EDBEngineError({{ErrorCode(SQLITE_MISMATCH),
                               "Parameter " + names_[static_cast<std::size_t>(index)] +
                                   ": a value of type " + value.TypeName() + " cannot be stored"}});
    }
    if (rc != SQLITE_OK)
      RaiseFrom(db_, "Cannot set parameter " + names_[static_cast<std::size_t>(index)]);
  }

  void ClearBindings() override {
    if (running_) Reset();
    sqlite3_clear_bindings(stmt_);
  }

  bool Step() override {
    if (done_) return false;
    running_ = true;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
      done_ = true;
      changes_ = read_only_ ? 0 : sqlite3_changes64(db_);
      return false;
    }
    std::string message = sqlite3_errmsg(db_);
    int code = sqlite3_extended_errcode(db_);
    sqlite3_reset(stmt_);
    running_ = false;
    Raise(code, "The statement " + Quoted(sql_) + " failed", message);
  }

  void Reset() override {
    sqlite3_reset(stmt_);
    running_ = false;
    done_ = false;
  }

  std::int64_t Execute() override {
    Reset();
    changes_ = 0;
    while (Step()) {
    }
    return changes_;
  }

  std::int64_t RowsAffected() const override { return changes_; }

  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  const std::string& ColumnName(int column) const override {
    return columns_.at(static_cast<std::size_t>(column));
  }
  bool ColumnIsNull(int column) const override {
    return sqlite3_column_type(stmt_, Checked(column)) == SQLITE_NULL;
  }
  std::int64_t ColumnInt64(int column) const override {
    return sqlite3_column_int64(stmt_, Checked(column));
  }
  double ColumnDouble(int column) const override {
    return sqlite3_column_double(stmt_, Checked(column));
  }
  std::string_view ColumnText(int column) const override {
    const int c = Checked(column);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
    if (!text) return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c))};
  }
  Variant Column(int column) const override {
    const int c = Checked(column);
    switch (sqlite3_column_type(stmt_, c)) {
      case SQLITE_NULL:
        return Variant::Null();
      case SQLITE_INTEGER: {
        std::int64_t v = sqlite3_column_int64(stmt_, c);
        if (v >= std::numeric_limits<std::int32_t>::min() &&
            v <= std::numeric_limits<std::int32_t>::max())
          return Variant(static_cast<std::int32_t>(v));
        return Variant(v);
      }
      case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(stmt_, c));
      case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, c));
        return Variant(std::string(bytes ? bytes : "",
                                   static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c))));
      }
      default:
        return Variant(ColumnText(c));
    }
  }

 private:
  int Checked(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size()))
      throw EDBEngineError({{ErrorCode(SQLITE_RANGE),
                             "Column number " + IntToStr(column + 1) + " is out of range"}});
    return column;
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string sql_;
  std::vector<std::string> names_;
  std::vector<std::string> columns_;
  bool read_only_ = false;
  bool running_ = false;
  bool done_ = false;
  std::int64_t changes_ = 0;
};

class SqliteSession final : public ISession {
 public:
  explicit SqliteSession(const TConnectionSettings& s) : read_only_(s.ReadOnly) {
    if (!s.Create || s.ReadOnly) RequireFile(s.DataSource, "database");
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX |
                (s.ReadOnly ? SQLITE_OPEN_READONLY
                            : SQLITE_OPEN_READWRITE | (s.Create ? SQLITE_OPEN_CREATE : 0));
    int rc = sqlite3_open_v2(FileUri(s.DataSource, s.ReadOnly, s.Create && !s.ReadOnly).c_str(),
                             &db_, flags, nullptr);
    std::string what = "Cannot open the database \"" + s.DataSource + "\"";
    if (rc != SQLITE_OK) {
      std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      int code = db_ ? sqlite3_extended_errcode(db_) : rc;
      sqlite3_close_v2(db_);
      db_ = nullptr;
      Raise(code, what, message);
    }
    try {
      sqlite3_extended_result_codes(db_, 1);
      SetBusyTimeout(s.BusyTimeoutMs);
      // The engine reads a file lazily; reading the schema now makes a file
      // that is not a database fail here rather than at the first query.
      Exec("PRAGMA schema_version", what);
      for (const TAttachedDatabase& a : s.Attached)
        Attach(a.Name, a.FileName);
    } catch (...) {
      sqlite3_close_v2(db_);
      throw;
    }
  }
  ~SqliteSession() override { sqlite3_close_v2(db_); }

  std::unique_ptr<IStatement> Prepare(std::string_view sql) override {
    return std::make_unique<SqliteStatement>(db_, sql);
  }

  void ExecuteScript(std::string_view script) override {
    TTranslatedStatement translated = TranslateStatement(script);
    if (!translated.ParamNames.empty())
      throw EDBEngineError({{ErrorCode(SQLITE_MISUSE), "A script cannot take parameters (:" +
                                                           translated.ParamNames[0] + ")"}});
    Exec(translated.Sql, "The script " + Quoted(script) + " failed");
  }

  void Begin(TTransactionMode mode) override {
    if (InTransaction())
      throw EDBEngineError({{ErrorCode(SQLITE_MISUSE), "A transaction is already active"}});
    Exec(mode == TTransactionMode::Immediate ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED",
         "Cannot begin a transaction");
  }
  void Commit() override {
    if (!InTransaction())
      throw EDBEngineError({{ErrorCode(SQLITE_MISUSE), "No transaction is active to commit"}});
    Exec("COMMIT", "Cannot commit the transaction");
  }
  void Rollback() override {
    // The engine may already have rolled back after a failed statement.
    if (InTransaction()) Exec("ROLLBACK", "Cannot roll back the transaction");
  }
  bool InTransaction() const override { return sqlite3_get_autocommit(db_) == 0; }

  void Attach(std::string_view name, std::string_view file_name) override {
    if (!IsDatabaseName(name))
      throw EDBEngineError({{ErrorCode(SQLITE_MISUSE),
                             "\"" + std::string(name) + "\" cannot name an attached database"}});
    RequireFile(file_name, "attached database " + std::string(name));
    std::string what = "Cannot attach \"" + std::string(file_name) + "\" as " + std::string(name);
    sqlite3_stmt* stmt = nullptr;
    std::string sql = "ATTACH DATABASE ?1 AS \"" + std::string(name) + "\"";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) RaiseFrom(db_, what);
    std::string uri = FileUri(file_name, read_only_, false);
    sqlite3_bind_text(stmt, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
    int rc = sqlite3_step(stmt);
    std::string message = sqlite3_errmsg(db_);
    int code = sqlite3_extended_errcode(db_);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) Raise(code, what, message);
    // As for the main file: a file that is not a database fails now, and is
    // not left attached.
    try {
      Exec("SELECT count(*) FROM \"" + std::string(name) + "\".sqlite_master", what);
    } catch (...) {
      sqlite3_exec(db_, ("DETACH DATABASE \"" + std::string(name) + "\"").c_str(), nullptr, nullptr,
                   nullptr);
      throw;
    }
  }

  void SetBusyTimeout(int milliseconds) override {
    sqlite3_busy_timeout(db_, milliseconds < 0 ? 0 : milliseconds);
  }
  bool ReadOnly() const override { return read_only_; }
  std::int64_t LastInsertRowId() const override { return sqlite3_last_insert_rowid(db_); }

 private:
  void Exec(const std::string& sql, const std::string& what) {
    char* error = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    if (rc == SQLITE_OK) return;
    std::string message = error ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    Raise(sqlite3_extended_errcode(db_), what, message);
  }

  sqlite3* db_ = nullptr;
  bool read_only_;
};

}  // namespace

std::unique_ptr<ISession> OpenSqliteSession(const TConnectionSettings& settings) {
  return std::make_unique<SqliteSession>(settings);
}

}  // namespace vx::db
