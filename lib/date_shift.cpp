#include "lib/date_shift.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "lib/strs.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// A valid eight-digit date, or 0.
TDateTime Parse8(std::string_view date) {
  if (date.size() != 8 || !AllDigits(date)) return TDateTime(0);
  return Date8ToDate(date);
}

std::string Write8(double value) {
  TDateTime date(value);
  // Outside the years 1..9999 there is no date to write.
  if (value < -693593 || value > 2958465) return {};
  return DateToDate8(date);
}

// A count or a number of days from a stored entry: a text that is no number
// counts as 0; a number beyond 64 bits cannot name a date.
std::optional<std::int64_t> Number(std::string_view text) {
  if (auto v = TryStrToInt64(text)) return *v;
  std::string trimmed = Trim(text);
  std::string_view t = trimmed;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  if (!t.empty() && AllDigits(t)) return std::nullopt;
  return 0;
}

// Every shift of a date that can be written moves it by less than this many
// days (or months); beyond it the result lies outside the calendar, and the
// arithmetic below stays far from the limits of 64 bits.
constexpr std::int64_t kNoDate = 12 * 10000 * 31;

std::string AddDays(std::string_view date, std::int64_t n) {
  TDateTime d = Parse8(date);
  if (d.Value == 0 || n <= -kNoDate || n >= kNoDate) return {};
  return Write8(d.Value + static_cast<double>(n));
}

std::string AddMonths(std::string_view date, std::int64_t n) {
  TDateTime d = Parse8(date);
  if (d.Value == 0 || n <= -kNoDate || n >= kNoDate) return {};
  int y, m, day;
  DecodeDate(d, y, m, day);
  std::int64_t total = static_cast<std::int64_t>(y) * 12 + (m - 1) + n;
  if (total < 12 || total > 9999LL * 12 + 11) return {};
  int ny = static_cast<int>(total / 12), nm = static_cast<int>(total % 12) + 1;
  int nd = std::min(day, DaysInMonth(ny, nm));
  return Format("%.4d%.2d%.2d", ny, nm, nd);
}

std::string Edge(std::string_view date, std::int64_t n, bool last) {
  TDateTime d = Parse8(date);
  if (d.Value == 0 || n <= -kNoDate || n >= kNoDate) return {};
  double w = d.Value + 7.0 * static_cast<double>(n);
  if (w < -693593 || w > 2958465) return {};
  int weekday = DayOfWeek(TDateTime(w));
  return Write8(w + (last ? 7 - weekday : 1 - weekday));
}

}  // namespace

int DaysInMonth(int year, int month) {
  return DaysInAMonth(year, month);
}

std::string ShiftDate(std::string_view date, std::string_view unit, int n) {
  if (unit == "D") return AddDays(date, n);
  if (unit == "M") return AddMonths(date, n);
  return {};
}

std::string WeekEdge(std::string_view date, int n, bool last) {
  return Edge(date, n, last);
}

std::string ShiftByRule(std::string_view date, std::string_view count, std::string_view unit,
                        std::string_view days, std::string_view mode) {
  std::optional<std::int64_t> n = Number(count);
  if (!n) return {};
  if (date.size() < 7) return AddMonths(std::string(date) + "01", *n).substr(0, 6);
  std::optional<std::int64_t> add = Number(days);
  if (unit != "0") {
    std::string m = AddMonths(date, *n);
    if (m.empty()) return {};
    if (mode == "0") return add ? AddDays(m, *add) : std::string();
    if (mode == "1") return m.substr(0, 6) + "01";
    if (mode == "2")
      return m.substr(0, 6) +
             Format("%.2d", DaysInMonth(std::stoi(m.substr(0, 4)), std::stoi(m.substr(4, 2))));
    return m;
  }
  if (mode == "0") {
    // Either part alone beyond any date leaves the calendar; within that the
    // sum cannot overflow.
    if (!add || *n <= -kNoDate || *n >= kNoDate || *add <= -kNoDate || *add >= kNoDate) return {};
    return AddDays(date, 7 * *n + *add);
  }
  return Edge(date, *n, mode != "1");
}

}  // namespace vx
