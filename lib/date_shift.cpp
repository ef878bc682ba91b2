#include "lib/date_shift.h"

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

int Number(std::string_view text) {
  auto v = TryStrToInt(text);
  return v ? *v : 0;
}

}  // namespace

int DaysInMonth(int year, int month) {
  return DaysInAMonth(year, month);
}

std::string ShiftDate(std::string_view date, std::string_view unit, int n) {
  TDateTime d = Parse8(date);
  if (d.Value == 0) return {};
  if (unit == "D") return Write8(d.Value + n);
  if (unit != "M") return {};
  int y, m, day;
  DecodeDate(d, y, m, day);
  long long total = static_cast<long long>(y) * 12 + (m - 1) + n;
  if (total < 12 || total > 9999LL * 12 + 11) return {};
  int ny = static_cast<int>(total / 12), nm = static_cast<int>(total % 12) + 1;
  int nd = std::min(day, DaysInMonth(ny, nm));
  return Format("%.4d%.2d%.2d", ny, nm, nd);
}

std::string WeekEdge(std::string_view date, int n, bool last) {
  TDateTime d = Parse8(date);
  if (d.Value == 0) return {};
  double w = d.Value + 7.0 * n;
  int weekday = DayOfWeek(TDateTime(w));
  return Write8(w + (last ? 7 - weekday : 1 - weekday));
}

std::string ShiftByRule(std::string_view date, std::string_view count, std::string_view unit,
                        std::string_view days, std::string_view mode) {
  int n = Number(count);
  if (date.size() < 7) return ShiftDate(std::string(date) + "01", "M", n).substr(0, 6);
  if (unit != "0") {
    std::string m = ShiftDate(date, "M", n);
    if (m.empty()) return {};
    if (mode == "0") return ShiftDate(m, "D", Number(days));
    if (mode == "1") return m.substr(0, 6) + "01";
    if (mode == "2")
      return m.substr(0, 6) +
             Format("%.2d", DaysInMonth(Number(m.substr(0, 4)), Number(m.substr(4, 2))));
    return m;
  }
  if (mode == "0") return ShiftDate(date, "D", 7 * n + Number(days));
  return WeekEdge(date, n, mode != "1");
}

}  // namespace vx
