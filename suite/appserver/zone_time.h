#pragma once
// Civil (wall-clock) times of a named time zone and the instants they stand
// for. Schedules keep civil times; the scheduler compares instants. A civil
// time that a daylight-saving change skips is taken with the offset before
// the change (02:30 on the spring day runs at 03:30); one that occurs twice
// is taken at its first occurrence, so such a day has exactly one run.
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/schedule.h"

namespace vx::appserver {

// Seconds since 1970-01-01 00:00:00 UTC.
using TInstant = std::int64_t;

// The zone of the process (TZ or the system's setting), as an identifier
// such as "Europe/Berlin".
std::string DefaultZone();
// Whether the identifier names a zone of the time-zone database.
bool IsKnownZone(std::string_view zone);
// Raise EConvertError for an unknown zone or an invalid civil time.
TInstant CivilToInstant(const TCivilDateTime& civil, std::string_view zone);
TCivilDateTime InstantToCivil(TInstant instant, std::string_view zone);

// "YYYYMMDDHHNNSS" and back (false for a text that is not one).
std::string CivilText(const TCivilDateTime& t);
bool ParseCivilText(std::string_view text, TCivilDateTime& out);

}  // namespace vx::appserver
