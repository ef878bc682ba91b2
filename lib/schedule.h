#pragma once
// The rules of periodic jobs, shared by the option form (first run date,
// shifted date parameters) and the application server (the runs after the
// first). Everything here works in local civil time without a time zone: the
// server maps civil times to instants with its own zone. Nothing here raises;
// input that does not describe a schedule gives an empty text or no value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/variant.h"

namespace vx {

// The first run date "YYYYMMDD" of a cycle array ([kind, details], bounds
// 0..1) from the start date "YYYYMMDD"; empty for the hourly cycle and for
// input that does not describe a cycle.
std::string ComputeFirstRunDate(std::string_view start, const Variant& cycle);

// args: [value row, schedule, date-shift list] with bounds 1..3. Returns a
// copy of the value row whose dynamic date fields are shifted from run_date
// ("YYYYMMDD") by their entries; an empty text when an entry, a position or
// the run date cannot be read (never a partly shifted row).
Variant ApplyDateShifts(const Variant& args, std::string_view run_date);

struct TCivilDateTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  auto operator<=>(const TCivilDateTime&) const = default;
};
// An existing date of the years 1..9999 and a time 00:00:00..23:59:59.
bool IsValidCivil(const TCivilDateTime& t);
// "YYYYMMDD" of the date part.
std::string CivilDate8(const TCivilDateTime& t);

enum class TCycleKind { Daily = 0, Weekly = 1, Monthly = 2, Hourly = 3 };

struct TCycle {
  TCycleKind Kind = TCycleKind::Daily;
  int Interval = 1;                  // days, weeks or months
  std::int64_t IntervalSeconds = 0;  // hourly: the interval in whole seconds
  int Weekday = 0;                   // 0 Sunday .. 6 Saturday
  bool ByWeekday = false;            // monthly: the Occurrence-th Weekday, not Day
  int Day = 1;                       // monthly: day of the month 1..31
  int Occurrence = 0;                // 0..3 first to fourth, 4 the last
};
// The cycle array as the option form builds it; no value when malformed.
std::optional<TCycle> ParseCycle(const Variant& cycle);

enum class TRangeKind { Endless = 0, Count = 1, EndDate = 2 };

struct TSchedule {
  int Hour = 0, Minute = 0;  // run time of the daily, weekly and monthly cycles
  TCycle Cycle;
  std::string Start;  // "YYYYMMDD"
  TRangeKind Range = TRangeKind::Endless;
  std::int64_t Count = 0;  // runs in all, for TRangeKind::Count
  std::string End;         // last day "YYYYMMDD", inclusive, for TRangeKind::EndDate
};
// The schedule element ["Y", "HH:MM", cycle array, cycle range]; no value
// when malformed.
std::optional<TSchedule> ParseSchedule(const Variant& element);

struct TScheduledRun {
  TCivilDateTime At;
  std::int64_t Number = 0;  // 1 for the first run
  auto operator<=>(const TScheduledRun&) const = default;
};

// The first run: the first run date at the run time, or for the hourly cycle
// the moment of submission (not before the start date). No value when the
// range ends before it or the input is invalid.
std::optional<TScheduledRun> FirstRun(const TSchedule& schedule, const TCivilDateTime& submitted);
// The run after previous; no value when the range is over.
std::optional<TScheduledRun> NextRun(const TSchedule& schedule, const TScheduledRun& previous);
// The first run after previous that lies later than moment (runs missed in
// between count as done); no value when the range ends first.
std::optional<TScheduledRun> NextRunAfter(const TSchedule& schedule, const TScheduledRun& previous,
                                          const TCivilDateTime& moment);

}  // namespace vx
