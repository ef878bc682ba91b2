#include "suite/appserver/zone_time.h"

#include <unicode/ucal.h>

#include <memory>

#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx::appserver {
namespace {

struct CalendarCloser {
  void operator()(UCalendar* c) const { ucal_close(c); }
};
using Calendar = std::unique_ptr<UCalendar, CalendarCloser>;

Calendar OpenCalendar(std::string_view zone) {
  if (!IsKnownZone(zone)) throw EConvertError("Unknown time zone \"" + std::string(zone) + "\"");
  std::u16string id = Utf8ToUtf16(zone);
  UErrorCode status = U_ZERO_ERROR;
  Calendar cal(ucal_open(reinterpret_cast<const UChar*>(id.data()), static_cast<int32_t>(id.size()),
                         "en_US", UCAL_GREGORIAN, &status));
  if (U_FAILURE(status) || !cal)
    throw EConvertError("Cannot open the time zone " + std::string(zone));
  ucal_setAttribute(cal.get(), UCAL_REPEATED_WALL_TIME, UCAL_WALLTIME_FIRST);
  ucal_setAttribute(cal.get(), UCAL_SKIPPED_WALL_TIME, UCAL_WALLTIME_LAST);
  return cal;
}

}  // namespace

std::string DefaultZone() {
  UChar buffer[128];
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = ucal_getDefaultTimeZone(buffer, 128, &status);
  if (U_FAILURE(status) || n <= 0 || n > 128) return "UTC";
  std::string zone = Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(n)));
  return IsKnownZone(zone) ? zone : "UTC";
}

bool IsKnownZone(std::string_view zone) {
  if (zone.empty() || zone.size() > 64) return false;
  std::u16string id = Utf8ToUtf16(zone);
  UChar canonical[128];
  UBool system = 0;
  UErrorCode status = U_ZERO_ERROR;
  ucal_getCanonicalTimeZoneID(reinterpret_cast<const UChar*>(id.data()),
                              static_cast<int32_t>(id.size()), canonical, 128, &system, &status);
  return U_SUCCESS(status) && system;
}

TInstant CivilToInstant(const TCivilDateTime& t, std::string_view zone) {
  if (!IsValidCivil(t)) throw EConvertError("Invalid date and time " + CivilText(t));
  Calendar cal = OpenCalendar(zone);
  UErrorCode status = U_ZERO_ERROR;
  ucal_clear(cal.get());
  ucal_setDateTime(cal.get(), t.Year, t.Month - 1, t.Day, t.Hour, t.Minute, t.Second, &status);
  UDate ms = ucal_getMillis(cal.get(), &status);
  if (U_FAILURE(status))
    throw EConvertError("Cannot place " + CivilText(t) + " in " + std::string(zone));
  return static_cast<TInstant>(ms / 1000.0 + (ms < 0 ? -0.5 : 0.5));
}

TCivilDateTime InstantToCivil(TInstant instant, std::string_view zone) {
  Calendar cal = OpenCalendar(zone);
  UErrorCode status = U_ZERO_ERROR;
  ucal_setMillis(cal.get(), static_cast<UDate>(instant) * 1000.0, &status);
  TCivilDateTime t;
  t.Year = ucal_get(cal.get(), UCAL_YEAR, &status);
  t.Month = ucal_get(cal.get(), UCAL_MONTH, &status) + 1;
  t.Day = ucal_get(cal.get(), UCAL_DATE, &status);
  t.Hour = ucal_get(cal.get(), UCAL_HOUR_OF_DAY, &status);
  t.Minute = ucal_get(cal.get(), UCAL_MINUTE, &status);
  t.Second = ucal_get(cal.get(), UCAL_SECOND, &status);
  if (U_FAILURE(status) || ucal_get(cal.get(), UCAL_ERA, &status) != 1)
    throw EConvertError("Cannot read the moment " + IntToStr(instant));
  return t;
}

std::string CivilText(const TCivilDateTime& t) {
  return Format("%04d%02d%02d%02d%02d%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
}

bool ParseCivilText(std::string_view text, TCivilDateTime& out) {
  if (text.size() != 14) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  auto num = [&](std::size_t at, std::size_t n) { return *TryStrToInt(text.substr(at, n)); };
  TCivilDateTime t{num(0, 4), num(4, 2), num(6, 2), num(8, 2), num(10, 2), num(12, 2)};
  if (!IsValidCivil(t)) return false;
  out = t;
  return true;
}

}  // namespace vx::appserver
