#pragma once
// Date-time values as the automation platform holds them: days since
// 1899-12-30, the fraction the time of day. Negative values count back from
// that day, the time still running forward from midnight.
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

struct TDateTime {
  double Value = 0;
  TDateTime() = default;
  explicit constexpr TDateTime(double v) : Value(v) {}
  constexpr operator double() const { return Value; }
};

// The process's date and time conventions; "/" and ":" in patterns stand for
// DateSeparator and TimeSeparator.
struct TFormatSettings {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char DecimalSeparator = '.';
  std::string ShortDateFormat = "yyyy/mm/dd";
  std::string LongTimeFormat = "hh:nn:ss";
};
TFormatSettings& FormatSettings();

bool IsLeapYear(int year);
// Days of the month; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
// Raises EConvertError for a date that does not exist (years 1..9999).
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);
// Month moved by n, day kept or lowered to the month's last day.
TDateTime IncMonth(TDateTime dt, int months);

TDateTime Now();
TDateTime Date();

// Patterns: yyyy yy m mm mmm mmmm d dd ddd dddd ddddd h hh n nn s ss z zzz
// am/pm c t tt, "/" ":" and quoted literals ('..' or "..").
std::string FormatDateTime(std::string_view pattern, TDateTime dt);
std::string FormatDateTime(std::string_view pattern, TDateTime dt, const TFormatSettings& fs);
// Short date, then the long time unless the time is exactly midnight.
std::string DateTimeToStr(TDateTime dt);
std::string DateToStr(TDateTime dt);
// Reads a date in the short date order (and an optional "h:n[:s[.z]]" time).
bool TryStrToDateTime(std::string_view text, TDateTime& out);

}  // namespace vx
