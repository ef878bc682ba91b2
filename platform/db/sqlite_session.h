#pragma once
// The SQLite engine behind ISession (internal to platform/db).
#include <memory>

#include "platform/db/engine.h"

namespace vx::db {

std::unique_ptr<ISession> OpenSqliteSession(const TConnectionSettings& settings);

}  // namespace vx::db
