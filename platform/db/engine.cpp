#include "platform/db/engine.h"

#include "platform/db/sqlite_session.h"
#include "platform/rtl/text.h"

namespace vx::db {

int IStatement::ParamIndex(std::string_view name) const {
  const auto& names = ParamNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], name)) return static_cast<int>(i);
  return -1;
}

void IStatement::Bind(std::string_view name, const Variant& value) {
  int index = ParamIndex(name);
  if (index < 0)
    throw EDBEngineError({{1, "The statement has no parameter \"" + std::string(name) + "\""}});
  Bind(index, value);
}

std::int64_t ISession::Execute(std::string_view sql,
                               std::initializer_list<std::pair<std::string_view, Variant>> params) {
  auto statement = Prepare(sql);
  for (const auto& [name, value] : params)
    statement->Bind(name, value);
  return statement->Execute();
}

std::unique_ptr<ISession> OpenSession(const TConnectionSettings& settings) {
  if (!SameText(settings.Provider, "SQLite"))
    throw EDBConnectionStringError("The provider \"" + settings.Provider + "\" is not supported");
  return OpenSqliteSession(settings);
}

std::unique_ptr<ISession> OpenSession(std::string_view connection_string) {
  return OpenSession(ParseConnectionString(connection_string));
}

TTransaction::TTransaction(ISession& session, TTransactionMode mode) : session_(session) {
  session_.Begin(mode);
}

TTransaction::~TTransaction() {
  if (!open_) return;
  try {
    session_.Rollback();
  } catch (...) {
    // Nothing can be reported from here; the engine drops the transaction
    // when the session closes.
  }
}

void TTransaction::Commit() {
  if (!open_) throw EDBEngineError({{1, "The transaction has already ended"}});
  session_.Commit();
  open_ = false;
}

void TTransaction::Rollback() {
  if (!open_) return;
  open_ = false;
  session_.Rollback();
}

}  // namespace vx::db
