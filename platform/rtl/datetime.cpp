#include "platform/rtl/datetime.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

const std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);  // relative to 1970

std::int64_t DayNumber(TDateTime dt) {
  return static_cast<std::int64_t>(std::trunc(dt.Value));
}

// Milliseconds since midnight, rounded as the platform rounds.
std::int64_t TimeMs(TDateTime dt) {
  double frac = std::fabs(dt.Value - std::trunc(dt.Value));
  auto ms = static_cast<std::int64_t>(std::llround(frac * 86400000.0));
  return ms >= 86400000 ? 86399999 : ms;
}

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string Pad(int v, int width) {
  return Format("%.*d", width, v);
}

void AppendFormatted(std::string& out, std::string_view p, TDateTime dt, const TFormatSettings& fs,
                     int depth) {
  int year, month, day, hour, min, sec, msec;
  DecodeDate(dt, year, month, day);
  DecodeTime(dt, hour, min, sec, msec);
  bool after_hour = false;  // "m" right after an hour means minutes
  std::size_t i = 0;
  auto count = [&](char c) {
    std::size_t n = 0;
    while (i + n < p.size() && (p[i + n] == c || p[i + n] == c - 32 || p[i + n] == c + 32))
      ++n;
    return n;
  };
  while (i < p.size()) {
    char c = p[i];
    char lc = static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
    if (c == '\'' || c == '"') {
      std::size_t end = p.find(c, i + 1);
      if (end == std::string_view::npos) end = p.size();
      out.append(p.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if (c == '/') {
      out += fs.DateSeparator;
      ++i;
      continue;
    }
    if (c == ':') {
      out += fs.TimeSeparator;
      ++i;
      continue;
    }
    if (StartsText("am/pm", p.substr(i))) {
      out += hour < 12 ? "am" : "pm";
      i += 5;
      continue;
    }
    std::size_t n;
    switch (lc) {
      case 'y':
        n = count('y');
        out += n <= 2 ? Pad(year % 100, 2) : Pad(year, 4);
        i += n;
        break;
      case 'm':
        n = count('m');
        if (after_hour && n <= 2) {
          out += n == 1 ? Pad(min, 1) : Pad(min, 2);
        } else if (n <= 2) {
          out += Pad(month, static_cast<int>(n));
        } else {
          out += n == 3 ? kShortMonths[month - 1] : kLongMonths[month - 1];
        }
        after_hour = false;
        i += n;
        break;
      case 'd':
        n = count('d');
        if (n <= 2)
          out += Pad(day, static_cast<int>(n));
        else if (n == 3)
          out += kShortDays[DayOfWeek(dt) - 1];
        else if (n == 4)
          out += kLongDays[DayOfWeek(dt) - 1];
        else if (depth < 2)
          AppendFormatted(out, fs.ShortDateFormat, dt, fs, depth + 1);
        i += n;
        break;
      case 'h':
        n = count('h');
        out += Pad(hour, n >= 2 ? 2 : 1);
        after_hour = true;
        i += n;
        break;
      case 'n':
        n = count('n');
        out += Pad(min, n >= 2 ? 2 : 1);
        i += n;
        break;
      case 's':
        n = count('s');
        out += Pad(sec, n >= 2 ? 2 : 1);
        i += n;
        break;
      case 'z':
        n = count('z');
        out += Pad(msec, n >= 3 ? 3 : 1);
        i += n;
        break;
      case 't':
        n = count('t');
        if (depth < 2) AppendFormatted(out, fs.LongTimeFormat, dt, fs, depth + 1);
        i += n;
        break;
      case 'c':
        ++i;
        if (depth < 2) {
          AppendFormatted(out, fs.ShortDateFormat, dt, fs, depth + 1);
          if (TimeMs(dt) != 0) {
            out += ' ';
            AppendFormatted(out, fs.LongTimeFormat, dt, fs, depth + 1);
          }
        }
        break;
      default:
        out += c;
        ++i;
    }
  }
}

}  // namespace

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInAMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInAMonth(year, month))
    return false;
  out = TDateTime(static_cast<double>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      kEpochOffset));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime r;
  if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
  return r;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  out = TDateTime((((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / 86400000.0);
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime r;
  if (!TryEncodeTime(hour, min, sec, msec, r))
    throw EConvertError("Invalid argument to time encode");
  return r;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  CivilFromDays(DayNumber(dt) + kEpochOffset, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  std::int64_t ms = TimeMs(dt);
  msec = static_cast<int>(ms % 1000);
  sec = static_cast<int>(ms / 1000 % 60);
  min = static_cast<int>(ms / 60000 % 60);
  hour = static_cast<int>(ms / 3600000);
}

int DayOfWeek(TDateTime dt) {
  // 1899-12-30 was a Saturday (7).
  std::int64_t d = DayNumber(dt);
  int r = static_cast<int>(((d % 7) + 7 + 6) % 7);  // 0 = Sunday
  return r + 1;
}

TDateTime IncMonth(TDateTime dt, int months) {
  int y, m, d;
  DecodeDate(dt, y, m, d);
  int total = y * 12 + (m - 1) + months;
  int ny = total / 12, nm = total % 12 + 1;
  if (total < 0) {
    ny = (total - 11) / 12;
    nm = total - ny * 12 + 1;
  }
  int nd = std::min(d, DaysInAMonth(ny, nm));
  TDateTime date;
  if (!TryEncodeDate(ny, nm, nd, date)) return dt;
  double time = dt.Value - std::trunc(dt.Value);
  return TDateTime(date.Value + (date.Value >= 0 ? std::fabs(time) : -std::fabs(time)));
}

TDateTime Now() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  TDateTime time = EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
  return TDateTime(date.Value + time.Value);
}

TDateTime Date() {
  return TDateTime(std::trunc(Now().Value));
}

std::string FormatDateTime(std::string_view pattern, TDateTime dt, const TFormatSettings& fs) {
  std::string out;
  AppendFormatted(out, pattern.empty() ? std::string_view("c") : pattern, dt, fs, 0);
  return out;
}

std::string FormatDateTime(std::string_view pattern, TDateTime dt) {
  return FormatDateTime(pattern, dt, FormatSettings());
}

std::string DateTimeToStr(TDateTime dt) {
  return FormatDateTime("c", dt);
}
std::string DateToStr(TDateTime dt) {
  return FormatDateTime("ddddd", dt);
}

bool TryStrToDateTime(std::string_view text, TDateTime& out) {
  const TFormatSettings& fs = FormatSettings();
  std::string s = Trim(text);
  std::string date_part = s, time_part;
  auto blank = s.find(' ');
  if (blank != std::string::npos) {
    date_part = s.substr(0, blank);
    time_part = Trim(s.substr(blank + 1));
  } else if (s.find(fs.TimeSeparator) != std::string::npos &&
             s.find(fs.DateSeparator) == std::string::npos) {
    date_part.clear();
    time_part = s;
  }
  auto split = [](const std::string& t, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
      auto p = t.find(sep, start);
      parts.push_back(t.substr(start, p == std::string::npos ? std::string::npos : p - start));
      if (p == std::string::npos) break;
      start = p + 1;
    }
    return parts;
  };
  TDateTime date(0), time(0);
  if (!date_part.empty()) {
    auto parts = split(date_part, fs.DateSeparator);
    if (parts.size() != 3) return false;
    // Order of year, month and day as the short date format gives them.
    std::string order;
    for (char c : LowerCase(fs.ShortDateFormat))
      if ((c == 'y' || c == 'm' || c == 'd') && order.find(c) == std::string::npos) order += c;
    if (order.size() != 3) order = "ymd";
    int y = 0, m = 0, d = 0;
    for (int k = 0; k < 3; ++k) {
      auto v = TryStrToInt(parts[static_cast<std::size_t>(k)]);
      if (!v) return false;
      (order[static_cast<std::size_t>(k)] == 'y'   ? y
       : order[static_cast<std::size_t>(k)] == 'm' ? m
                                                   : d) = *v;
    }
    if (y < 100 && parts[order.find('y')].size() <= 2) y += 2000;
    if (!TryEncodeDate(y, m, d, date)) return false;
  }
  if (!time_part.empty()) {
    std::string tp = time_part;
    int msec = 0;
    auto dot = tp.find('.');
    if (dot != std::string::npos) {
      auto z = TryStrToInt(tp.substr(dot + 1));
      if (!z) return false;
      msec = *z;
      tp.erase(dot);
    }
    auto parts = split(tp, fs.TimeSeparator);
    if (parts.size() < 2 || parts.size() > 3) return false;
    int hms[3] = {0, 0, 0};
    for (std::size_t k = 0; k < parts.size(); ++k) {
      auto v = TryStrToInt(parts[k]);
      if (!v) return false;
      hms[k] = *v;
    }
    if (!TryEncodeTime(hms[0], hms[1], hms[2], msec, time)) return false;
  }
  if (date_part.empty() && time_part.empty()) return false;
  out = TDateTime(date.Value + (date.Value < 0 ? -time.Value : time.Value));
  return true;
}

}  // namespace vx
