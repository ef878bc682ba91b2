#include "platform/rtl/text.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <vector>

#include "platform/rtl/utf8.h"

namespace vx {

namespace {
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
}  // namespace

std::string TrimLeft(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b]))
    ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1]))
    --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b]))
    ++b;
  while (e > b && IsBlank(s[e - 1]))
    --e;
  return std::string(s.substr(b, e - b));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    c = Upper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    c = Lower(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(Upper(a[i]));
    auto cb = static_cast<unsigned char>(Upper(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && SameText(prefix, s.substr(0, prefix.size()));
}

std::size_t FindText(std::string_view s, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= s.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= s.size(); ++i)
    if (SameText(s.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::optional<std::int64_t> TryStrToInt64(std::string_view text) {
  std::string s = Trim(text);
  if (s.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  unsigned long long value = 0;
  for (; i < s.size(); ++i) {
    int digit;
    char c = s[i];
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    if (value > (~0ULL - static_cast<unsigned>(digit)) / static_cast<unsigned>(base))
      return std::nullopt;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
  }
  if (negative) {
    if (value > 9223372036854775808ULL) return std::nullopt;
    return static_cast<std::int64_t>(0 - value);
  }
  if (value > 9223372036854775807ULL) return std::nullopt;
  return static_cast<std::int64_t>(value);
}

std::optional<int> TryStrToInt(std::string_view s) {
  auto v = TryStrToInt64(s);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
  return static_cast<int>(*v);
}

int StrToIntDef(std::string_view s, int def) {
  return TryStrToInt(s).value_or(def);
}

std::optional<double> TryStrToFloat(std::string_view text, char decimal_point) {
  std::string s = Trim(text);
  if (s.empty()) return std::nullopt;
  // Only sign, digits, one decimal point and an exponent are allowed; strtod
  // alone would also take "inf", "nan" and hexadecimal floats.
  std::string c;
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') c += s[i++];
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    char ch = s[i];
    if (ch >= '0' && ch <= '9') {
      digits = true;
      c += ch;
    } else if (ch == decimal_point && !point) {
      point = true;
      c += '.';
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
    bool exp_digits = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      exp_digits = true;
      c += s[i];
    }
    if (!exp_digits) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  errno = 0;
  double v = std::strtod(c.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(v)) return std::nullopt;
  return v;
}

std::string IntToStr(std::int64_t v) {
  return std::to_string(v);
}

std::string FloatToStr(double v, char decimal_point) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string r = buf;
  // "1.5E+20" -> "1.5E20", "1E-05" -> "1E-5": the platform writes bare exponents.
  auto e = r.find('E');
  if (e != std::string::npos) {
    std::string mant = r.substr(0, e), exp = r.substr(e + 1);
    bool neg = !exp.empty() && exp[0] == '-';
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) exp.erase(0, 1);
    while (exp.size() > 1 && exp[0] == '0')
      exp.erase(0, 1);
    r = mant + "E" + (neg ? "-" : "") + exp;
  }
  if (decimal_point != '.')
    for (char& ch : r)
      if (ch == '.') ch = decimal_point;
  return r;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    auto b0 = static_cast<unsigned char>(s[i]);
    char32_t cp;
    std::size_t len;
    if (b0 < 0x80) {
      cp = b0;
      len = 1;
    } else if ((b0 & 0xE0) == 0xC0) {
      cp = b0 & 0x1F;
      len = 2;
    } else if ((b0 & 0xF0) == 0xE0) {
      cp = b0 & 0x0F;
      len = 3;
    } else if ((b0 & 0xF8) == 0xF0) {
      cp = b0 & 0x07;
      len = 4;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = i + len <= s.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::size_t Utf8Length(std::string_view s) {
  std::size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

namespace detail {
std::string FormatC(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    out.assign(buf.data(), static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}
}  // namespace detail

}  // namespace vx
