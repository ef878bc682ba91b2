#pragma once
// Date-times as the database holds them: texts the engine's own date
// functions and the dialect's GETDATE() produce, and the digit texts the
// suite stores ("YYYYMMDD", "YYYYMMDDHHNNSSZZZ").
#include <string>
#include <string_view>

#include "platform/rtl/datetime.h"

namespace vx::db {

// "YYYY-MM-DD HH:MM:SS.mmm".
std::string DateTimeToDbText(TDateTime value);

// Reads "YYYY-MM-DD[( |T)HH:MM[:SS[.fff]]]" ("/" also separates the date)
// and the digit forms YYYYMMDD, YYYYMMDDHHNN, YYYYMMDDHHNNSS and
// YYYYMMDDHHNNSSZZZ. False for anything else or a date that does not exist.
bool TryDbTextToDateTime(std::string_view text, TDateTime& out);

}  // namespace vx::db
