#pragma once
// The check a client's free query ("SimpleSQL") must pass before it runs: a
// single SELECT reading only the settings tables, with no parameters and no
// functions beyond plain text, number and aggregate ones. The session it
// runs in is read-only as well; this check gives the reason a query is
// refused and keeps clients away from every other table.
#include <string>
#include <string_view>

namespace vx::manager {

// VRXINTMA (settings), VRXSYS (system information), ADMMB (programs),
// VRXMSG (messages).
bool IsSettingsTable(std::string_view table);

// A table may be named alone, or as system_db..table / system_db.table.
// Raises EOleException with the reason when the statement is refused.
void CheckSettingsQuery(std::string_view sql, std::string_view system_db);

}  // namespace vx::manager
