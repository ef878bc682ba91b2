#include "platform/db/values.h"

#include "platform/rtl/text.h"

namespace vx::db {
namespace {

// Reads exactly `count` digits at pos; false when they are not all digits.
bool ReadDigits(std::string_view s, std::size_t& pos, std::size_t count, int& value) {
  if (pos + count > s.size()) return false;
  value = 0;
  for (std::size_t k = 0; k < count; ++k) {
    char c = s[pos + k];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return true;
}

bool Compose(int y, int mo, int d, int h, int mi, int sec, int ms, TDateTime& out) {
  TDateTime date, time;
  if (!TryEncodeDate(y, mo, d, date) || !TryEncodeTime(h, mi, sec, ms, time)) return false;
  // Before 1899-12-30 the day counts back while the time still runs forward.
  out = TDateTime(date.Value + (date.Value < 0 ? -time.Value : time.Value));
  return true;
}

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string DateTimeToDbText(TDateTime value) {
  TFormatSettings fs;
  fs.DateSeparator = '-';
  fs.TimeSeparator = ':';
  return FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", value, fs);
}

bool TryDbTextToDateTime(std::string_view text, TDateTime& out) {
  std::string trimmed = Trim(text);
  std::string_view s = trimmed;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
  std::size_t p = 0;
  if (AllDigits(s)) {
    const std::size_t n = s.size();
    if (n != 8 && n != 12 && n != 14 && n != 17) return false;
    ReadDigits(s, p, 4, y);
    ReadDigits(s, p, 2, mo);
    ReadDigits(s, p, 2, d);
    if (n >= 12) ReadDigits(s, p, 2, h), ReadDigits(s, p, 2, mi);
    if (n >= 14) ReadDigits(s, p, 2, sec);
    if (n == 17) ReadDigits(s, p, 3, ms);
    return Compose(y, mo, d, h, mi, sec, ms, out);
  }
  auto separator = [&](char a, char b) {
    if (p < s.size() && (s[p] == a || s[p] == b)) return ++p, true;
    return false;
  };
  if (!ReadDigits(s, p, 4, y) || !separator('-', '/') || !ReadDigits(s, p, 2, mo) ||
      !separator('-', '/') || !ReadDigits(s, p, 2, d))
    return false;
  if (p < s.size()) {
    if (!separator(' ', 'T') || !ReadDigits(s, p, 2, h) || !separator(':', ':') ||
        !ReadDigits(s, p, 2, mi))
      return false;
    if (p < s.size()) {
      if (!separator(':', ':') || !ReadDigits(s, p, 2, sec)) return false;
      if (p < s.size()) {
        if (!separator('.', ',')) return false;
        // Milliseconds from the first three fraction digits; more are cut.
        std::size_t digits = 0;
        int scale = 100;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
          if (digits < 3) ms += (s[p] - '0') * scale, scale /= 10;
          ++digits, ++p;
        }
        if (digits == 0 || p != s.size()) return false;
      }
    }
  }
  return Compose(y, mo, d, h, mi, sec, ms, out);
}

}  // namespace vx::db
