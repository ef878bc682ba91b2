#include "lib/schedule.h"

#include <algorithm>
#include <cmath>

#include "lib/date_shift.h"
#include "lib/strs.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

// Intervals beyond these reach past the year 9999 at once; refusing them
// keeps every product below in range.
constexpr int kMaxDays = 3'700'000;
constexpr int kMaxWeeks = 530'000;
constexpr int kMaxMonths = 120'000;
constexpr double kMaxHours = 88'000'000;
// Shift rows: counts of weeks or months and added days.
constexpr int kMaxShiftCount = 120'000;
constexpr int kMaxShiftDays = 3'700'000;

constexpr std::int64_t kSecondsPerDay = 86'400;
// Run numbers stay far below the 64-bit limit, so counting on never overflows.
constexpr std::int64_t kMaxRunNumber = std::int64_t{1} << 62;
// Serial days of 0001-01-01 and 9999-12-31.
constexpr std::int64_t kFirstSerial = -693'593;
constexpr std::int64_t kLastSerial = 2'958'465;

const char kEtx[] = "\x03";

// Element i (counted from the low bound) of a one-dimensional array.
const Variant* Element(const Variant& array, int i) {
  if (!array.IsArray() || array.DimCount() != 1) return nullptr;
  int lo = array.LowBound();
  if (i < 0 || i > array.HighBound() - lo) return nullptr;
  return &array[lo + i];
}

// A whole number held as text (the form's fields) or as a number.
std::optional<std::int64_t> WholeNumber(const Variant* v) {
  if (v == nullptr) return std::nullopt;
  if (v->IsString()) return TryStrToInt64(Trim(VarToStr(*v)));
  if (!v->IsNumeric()) return std::nullopt;
  double d = v->ToDouble();
  if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9e15) return std::nullopt;
  return static_cast<std::int64_t>(d);
}

std::optional<int> NumberIn(const Variant* v, std::int64_t lo, std::int64_t hi) {
  auto n = WholeNumber(v);
  if (!n || *n < lo || *n > hi) return std::nullopt;
  return static_cast<int>(*n);
}

std::optional<int> TextNumberIn(std::string_view text, int lo, int hi) {
  auto n = TryStrToInt64(text);
  if (!n || *n < lo || *n > hi) return std::nullopt;
  return static_cast<int>(*n);
}

// Serial day of a valid eight-digit date.
std::optional<std::int64_t> Serial8(std::string_view date) {
  if (date.size() != 8 ||
      !std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  TDateTime d = Date8ToDate(date);
  if (d.Value == 0) return std::nullopt;
  return static_cast<std::int64_t>(d.Value);
}

std::string SerialDate8(std::int64_t serial) {
  if (serial < kFirstSerial || serial > kLastSerial) return {};
  return DateToDate8(TDateTime(static_cast<double>(serial)));
}

// 0 Sunday .. 6 Saturday.
int Weekday0(std::int64_t serial) {
  return DayOfWeek(TDateTime(static_cast<double>(serial))) - 1;
}

// The occurrence-th (0..3, 4 the last) weekday (0..6) of a month.
std::int64_t NthWeekday(int year, int month, int occurrence, int weekday) {
  if (occurrence == 4) {
    std::int64_t last =
        static_cast<std::int64_t>(EncodeDate(year, month, DaysInMonth(year, month)));
    int e = Weekday0(last) - weekday;
    return last - (e >= 0 ? e : e + 7);
  }
  std::int64_t first = static_cast<std::int64_t>(EncodeDate(year, month, 1));
  int c = weekday - Weekday0(first);
  return first + (c >= 0 ? c + 7 * occurrence : c + 7 * (occurrence + 1));
}

std::optional<std::int64_t> CivilSeconds(const TCivilDateTime& t) {
  if (!IsValidCivil(t)) return std::nullopt;
  std::int64_t serial = static_cast<std::int64_t>(EncodeDate(t.Year, t.Month, t.Day));
  return serial * kSecondsPerDay + t.Hour * 3600 + t.Minute * 60 + t.Second;
}

std::optional<TCivilDateTime> FromSeconds(std::int64_t s) {
  std::int64_t serial = s >= 0 ? s / kSecondsPerDay : -((-s + kSecondsPerDay - 1) / kSecondsPerDay);
  if (serial < kFirstSerial || serial > kLastSerial) return std::nullopt;
  std::int64_t rest = s - serial * kSecondsPerDay;
  TCivilDateTime t;
  DecodeDate(TDateTime(static_cast<double>(serial)), t.Year, t.Month, t.Day);
  t.Hour = static_cast<int>(rest / 3600);
  t.Minute = static_cast<int>(rest / 60 % 60);
  t.Second = static_cast<int>(rest % 60);
  return t;
}

std::optional<TCivilDateTime> AtRunTime(std::int64_t serial, const TSchedule& s) {
  if (serial < kFirstSerial || serial > kLastSerial) return std::nullopt;
  TCivilDateTime t;
  DecodeDate(TDateTime(static_cast<double>(serial)), t.Year, t.Month, t.Day);
  t.Hour = s.Hour;
  t.Minute = s.Minute;
  return t;
}

bool ValidCycle(const TCycle& c) {
  switch (c.Kind) {
    case TCycleKind::Daily:
      return c.Interval >= 1 && c.Interval <= kMaxDays;
    case TCycleKind::Weekly:
      return c.Interval >= 1 && c.Interval <= kMaxWeeks && c.Weekday >= 0 && c.Weekday <= 6;
    case TCycleKind::Monthly:
      if (c.Interval < 1 || c.Interval > kMaxMonths) return false;
      if (c.ByWeekday)
        return c.Occurrence >= 0 && c.Occurrence <= 4 && c.Weekday >= 0 && c.Weekday <= 6;
      return c.Day >= 1 && c.Day <= 31;
    case TCycleKind::Hourly:
      return c.IntervalSeconds >= 1 &&
             c.IntervalSeconds <= static_cast<std::int64_t>(kMaxHours * 3600);
  }
  return false;
}

bool ValidSchedule(const TSchedule& s) {
  if (s.Hour < 0 || s.Hour > 23 || s.Minute < 0 || s.Minute > 59) return false;
  if (!ValidCycle(s.Cycle) || !Serial8(s.Start)) return false;
  switch (s.Range) {
    case TRangeKind::Endless:
      return true;
    case TRangeKind::Count:
      return s.Count >= 1;
    case TRangeKind::EndDate:
      return Serial8(s.End).has_value();
  }
  return false;
}

// The first run date by the option form's rules; empty when there is none.
std::string FirstRunDate(std::string_view start, const TCycle& c) {
  auto s = Serial8(start);
  if (!s || !ValidCycle(c)) return {};
  switch (c.Kind) {
    case TCycleKind::Daily:
      return std::string(start);
    case TCycleKind::Weekly: {
      // Weekday numbers 1..7 as in the option form's rule.
      int b = Weekday0(*s) + 1, x = c.Weekday + 1;
      int k = x >= b ? c.Interval - 1 : c.Interval;
      return ShiftDate(start, "D", 7 * k + x - b);
    }
    case TCycleKind::Monthly: {
      int day = static_cast<int>(TryStrToInt(start.substr(6, 2)).value_or(0));
      for (int pass = 0; pass < 2; ++pass) {
        int p = c.Interval - 1 + pass;
        if (!c.ByWeekday && pass == 0 && c.Day < day) p = c.Interval;
        std::string t = ShiftDate(start, "M", p);
        if (t.empty()) return {};
        int y = *TryStrToInt(t.substr(0, 4)), m = *TryStrToInt(t.substr(4, 2));
        if (!c.ByWeekday)
          return t.substr(0, 6) + Format("%.2d", std::min(c.Day, DaysInMonth(y, m)));
        std::int64_t run = NthWeekday(y, m, c.Occurrence, c.Weekday);
        // An occurrence before the start moves to the next interval once;
        // the interval is at least one month, so that one always lies later.
        if (run >= *s || pass == 1) return SerialDate8(run);
      }
      return {};
    }
    case TCycleKind::Hourly:
      return {};
  }
  return {};
}

bool InRange(const TSchedule& s, const TScheduledRun& run) {
  if (run.Number < 1) return false;
  if (s.Range == TRangeKind::Count) return run.Number <= s.Count;
  if (s.Range == TRangeKind::EndDate) return CivilDate8(run.At) <= s.End;
  return true;
}

std::optional<TScheduledRun> Checked(const TSchedule& s, std::optional<TCivilDateTime> at,
                                     std::int64_t number) {
  if (!at) return std::nullopt;
  TScheduledRun run{*at, number};
  if (!InRange(s, run)) return std::nullopt;
  return run;
}

// One shift rule of a date-shift row, or an empty text when the row's fields
// are not numbers in range.
std::string ShiftedBase(const std::string& base, const std::string& entry, int first) {
  auto count = TextNumberIn(ExtractField(entry, kEtx, first), -kMaxShiftCount, kMaxShiftCount);
  auto unit = TextNumberIn(ExtractField(entry, kEtx, first + 1), 0, 1);
  auto mode = TextNumberIn(ExtractField(entry, kEtx, first + 2), 0, 2);
  auto days = TextNumberIn(ExtractField(entry, kEtx, first + 3), -kMaxShiftDays, kMaxShiftDays);
  if (!count || !unit || !mode || !days) return {};
  if (*count == 0 && *mode == 0 && *days == 0) return base;
  return ShiftByRule(base, IntToStr(*count), IntToStr(*unit), IntToStr(*days), IntToStr(*mode));
}

// The base of an entry's shifts by its unit letter: the run date, or its
// year and month for a year-month field.
std::string ShiftBase(const std::string& entry, int unit_field, std::string_view run_date) {
  std::string unit = ExtractField(entry, kEtx, unit_field);
  if (unit == "D") return std::string(run_date);
  if (unit == "M") return std::string(run_date.substr(0, 6));
  return {};
}

Variant* Position(Variant& row, const std::string& entry, int field) {
  auto k = TryStrToInt64(ExtractField(entry, kEtx, field));
  if (!k || !row.IsArray() || row.DimCount() != 1 || *k < row.LowBound() || *k > row.HighBound())
    return nullptr;
  return &row[static_cast<int>(*k)];
}

// Applies one entry to the value row; false when the entry cannot be read.
bool ApplyEntry(Variant& row, const std::string& entry, std::string_view run_date) {
  bool single = ExtractField(entry, kEtx, 1) != "0";
  std::string base = ShiftBase(entry, single ? 8 : 13, run_date);
  if (base.empty()) return false;
  if (single) {
    if (ExtractField(entry, kEtx, 3) != "Y") return true;
    Variant* value = Position(row, entry, 9);
    std::string shifted = ShiftedBase(base, entry, 4);
    if (value == nullptr || shifted.empty()) return false;
    *value = shifted;
    return true;
  }
  bool begin = ExtractField(entry, kEtx, 3) == "Y", end = ExtractField(entry, kEtx, 8) == "Y";
  if (!begin && !end) return true;
  Variant* value = Position(row, entry, 14);
  // A range field's value is [.., begin, end] from index 1.
  if (value == nullptr || !value->IsArray() || value->DimCount() != 1 || value->LowBound() > 1 ||
      value->HighBound() < 2)
    return false;
  for (auto [changes, first, index] : {std::tuple{begin, 4, 1}, std::tuple{end, 9, 2}}) {
    if (!changes) continue;
    std::string shifted = ShiftedBase(base, entry, first);
    if (shifted.empty()) return false;
    (*value)[index] = shifted;
  }
  return true;
}

}  // namespace

bool IsValidCivil(const TCivilDateTime& t) {
  TDateTime d;
  return t.Year >= 1 && t.Year <= 9999 && TryEncodeDate(t.Year, t.Month, t.Day, d) && t.Hour >= 0 &&
         t.Hour <= 23 && t.Minute >= 0 && t.Minute <= 59 && t.Second >= 0 && t.Second <= 59;
}

std::string CivilDate8(const TCivilDateTime& t) {
  return Format("%.4d%.2d%.2d", t.Year, t.Month, t.Day);
}

std::optional<TCycle> ParseCycle(const Variant& cycle) {
  try {
    auto kind = NumberIn(Element(cycle, 0), 0, 3);
    const Variant* detail = Element(cycle, 1);
    if (!kind || detail == nullptr) return std::nullopt;
    TCycle c;
    c.Kind = static_cast<TCycleKind>(*kind);
    switch (c.Kind) {
      case TCycleKind::Daily: {
        auto n = NumberIn(detail, 1, kMaxDays);
        if (!n) return std::nullopt;
        c.Interval = *n;
        break;
      }
      case TCycleKind::Weekly: {
        auto n = NumberIn(Element(*detail, 0), 1, kMaxWeeks);
        auto wd = NumberIn(Element(*detail, 1), 0, 6);
        if (!n || !wd) return std::nullopt;
        c.Interval = *n;
        c.Weekday = *wd;
        break;
      }
      case TCycleKind::Monthly: {
        auto variant = NumberIn(Element(*detail, 0), 0, 1);
        auto n = NumberIn(Element(*detail, 1), 1, kMaxMonths);
        if (!variant || !n) return std::nullopt;
        c.Interval = *n;
        c.ByWeekday = *variant == 1;
        if (c.ByWeekday) {
          auto occurrence = NumberIn(Element(*detail, 2), 0, 4);
          auto wd = NumberIn(Element(*detail, 3), 0, 6);
          if (!occurrence || !wd) return std::nullopt;
          c.Occurrence = *occurrence;
          c.Weekday = *wd;
        } else {
          auto day = NumberIn(Element(*detail, 2), 1, 31);
          if (!day) return std::nullopt;
          c.Day = *day;
        }
        break;
      }
      case TCycleKind::Hourly: {
        std::optional<double> hours;
        if (detail->IsString())
          hours = TryStrToFloat(Trim(VarToStr(*detail)));
        else if (detail->IsNumeric())
          hours = detail->ToDouble();
        if (!hours || !std::isfinite(*hours) || *hours <= 0 || *hours > kMaxHours)
          return std::nullopt;
        c.IntervalSeconds = std::llround(*hours * 3600);
        if (c.IntervalSeconds < 1) return std::nullopt;
        break;
      }
    }
    return c;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<TSchedule> ParseSchedule(const Variant& element) {
  try {
    const Variant* mark = Element(element, 0);
    const Variant* time = Element(element, 1);
    const Variant* range = Element(element, 3);
    if (mark == nullptr || VarToStr(*mark) != "Y" || time == nullptr || range == nullptr)
      return std::nullopt;
    TSchedule s;
    std::string hhmm = Trim(VarToStr(*time));
    std::size_t colon = hhmm.find(':');
    if (colon == std::string::npos) return std::nullopt;
    auto hour = TextNumberIn(hhmm.substr(0, colon), 0, 23);
    auto minute = TextNumberIn(hhmm.substr(colon + 1), 0, 59);
    auto cycle = ParseCycle(*Element(element, 2));
    const Variant* start = Element(*range, 0);
    auto code = NumberIn(Element(*range, 1), 0, 2);
    if (!hour || !minute || !cycle || start == nullptr || !code) return std::nullopt;
    s.Hour = *hour;
    s.Minute = *minute;
    s.Cycle = *cycle;
    s.Start = VarToStr(*start);
    s.Range = static_cast<TRangeKind>(*code);
    if (s.Range == TRangeKind::Count) {
      auto n = WholeNumber(Element(*range, 2));
      if (!n) return std::nullopt;
      s.Count = *n;
    } else if (s.Range == TRangeKind::EndDate) {
      const Variant* end = Element(*range, 2);
      if (end == nullptr) return std::nullopt;
      s.End = VarToStr(*end);
    }
    if (!ValidSchedule(s)) return std::nullopt;
    return s;
  } catch (...) {
    return std::nullopt;
  }
}

std::string ComputeFirstRunDate(std::string_view start, const Variant& cycle) {
  auto c = ParseCycle(cycle);
  return c ? FirstRunDate(start, *c) : std::string();
}

Variant ApplyDateShifts(const Variant& args, std::string_view run_date) {
  try {
    if (!args.IsArray() || args.DimCount() != 1 || args.LowBound() > 1 || args.HighBound() < 3 ||
        !Serial8(run_date))
      return Variant(std::string());
    Variant row = args[1];
    const Variant& list = args[3];
    auto n = WholeNumber(Element(list, 0));
    if (!n || *n < 0 || *n > list.HighBound() - list.LowBound()) return Variant(std::string());
    for (int i = 1; i <= *n; ++i)
      if (!ApplyEntry(row, VarToStr(*Element(list, i)), run_date)) return Variant(std::string());
    return row;
  } catch (...) {
    return Variant(std::string());
  }
}

std::optional<TScheduledRun> FirstRun(const TSchedule& schedule, const TCivilDateTime& submitted) {
  if (!ValidSchedule(schedule)) return std::nullopt;
  if (schedule.Cycle.Kind == TCycleKind::Hourly) {
    if (!IsValidCivil(submitted)) return std::nullopt;
    TCivilDateTime start{};
    auto serial = Serial8(schedule.Start);
    DecodeDate(TDateTime(static_cast<double>(*serial)), start.Year, start.Month, start.Day);
    return Checked(schedule, std::max(submitted, start), 1);
  }
  auto serial = Serial8(FirstRunDate(schedule.Start, schedule.Cycle));
  if (!serial) return std::nullopt;
  return Checked(schedule, AtRunTime(*serial, schedule), 1);
}

std::optional<TScheduledRun> NextRun(const TSchedule& schedule, const TScheduledRun& previous) {
  auto seconds = CivilSeconds(previous.At);
  if (!ValidSchedule(schedule) || !seconds || previous.Number < 1 ||
      previous.Number > kMaxRunNumber)
    return std::nullopt;
  const TCycle& c = schedule.Cycle;
  std::int64_t serial = *seconds / kSecondsPerDay - (*seconds % kSecondsPerDay < 0 ? 1 : 0);
  std::int64_t number = previous.Number + 1;
  switch (c.Kind) {
    case TCycleKind::Daily:
      return Checked(schedule, AtRunTime(serial + c.Interval, schedule), number);
    case TCycleKind::Weekly: {
      std::int64_t next = serial + 7LL * c.Interval;
      // Back onto the cycle's weekday should the previous run lie off it.
      next += c.Weekday - Weekday0(next);
      return Checked(schedule, AtRunTime(next, schedule), number);
    }
    case TCycleKind::Monthly: {
      std::int64_t months =
          previous.At.Year * 12LL + (previous.At.Month - 1) + static_cast<std::int64_t>(c.Interval);
      int y = static_cast<int>(months / 12), m = static_cast<int>(months % 12) + 1;
      if (y > 9999) return std::nullopt;
      // The day is taken from the cycle, not from the previous run, so a run
      // lowered to a short month's end returns to the 31st afterwards.
      std::int64_t next =
          c.ByWeekday
              ? NthWeekday(y, m, c.Occurrence, c.Weekday)
              : static_cast<std::int64_t>(EncodeDate(y, m, std::min(c.Day, DaysInMonth(y, m))));
      return Checked(schedule, AtRunTime(next, schedule), number);
    }
    case TCycleKind::Hourly:
      return Checked(schedule, FromSeconds(*seconds + c.IntervalSeconds), number);
  }
  return std::nullopt;
}

std::optional<TScheduledRun> NextRunAfter(const TSchedule& schedule, const TScheduledRun& previous,
                                          const TCivilDateTime& moment) {
  auto limit = CivilSeconds(moment);
  if (!limit) return std::nullopt;
  auto next = NextRun(schedule, previous);
  if (!next || next->At > moment) return next;
  const TCycle& c = schedule.Cycle;
  if (c.Kind == TCycleKind::Monthly) {
    // Each step moves at least a month and none passes the year 9999, so
    // this ends after at most 120000 steps.
    while (next && next->At <= moment)
      next = NextRun(schedule, *next);
    return next;
  }
  // Fixed steps: jump over the missed runs at once.
  std::int64_t step = c.Kind == TCycleKind::Hourly ? c.IntervalSeconds
                      : c.Kind == TCycleKind::Weekly
                          ? 7LL * c.Interval * kSecondsPerDay
                          : static_cast<std::int64_t>(c.Interval) * kSecondsPerDay;
  std::int64_t from = *CivilSeconds(next->At);
  std::int64_t k = (*limit - from) / step + 1;
  if (next->Number > kMaxRunNumber - k) return std::nullopt;
  return Checked(schedule, FromSeconds(from + k * step), next->Number + k);
}

}  // namespace vx
