#pragma once
// Text helpers of the runtime library. Every std::string holds UTF-8; the
// case-insensitive operations fold ASCII letters only, as the platform's
// SameText and UpperCase do.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vx {

// Removes leading/trailing blanks and control characters (code <= 32).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, ignoring ASCII case.
int CompareText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view s);
// Case-insensitive search; npos when absent.
std::size_t FindText(std::string_view s, std::string_view needle, std::size_t from = 0);

// Strict decimal integer parsing: optional sign, digits, nothing else (after
// trimming blanks). "$FF" hexadecimal is accepted as the platform does.
std::optional<std::int64_t> TryStrToInt64(std::string_view s);
std::optional<int> TryStrToInt(std::string_view s);
int StrToIntDef(std::string_view s, int def);
// Decimal number with the given decimal point; optional exponent.
std::optional<double> TryStrToFloat(std::string_view s, char decimal_point = '.');
std::string IntToStr(std::int64_t v);
// Shortest text of a double with 15 significant digits ("1.5", "1E20").
std::string FloatToStr(double v, char decimal_point = '.');

// UTF-8 <-> UTF-16; malformed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
// Number of characters (code points) of UTF-8 text.
std::size_t Utf8Length(std::string_view s);

namespace detail {
std::string FormatC(const char* fmt, ...);
template <class T>
auto CArg(const T& v) {
  if constexpr (std::is_convertible_v<const T&, std::string_view> &&
                !std::is_same_v<std::decay_t<T>, const char*> &&
                !std::is_same_v<std::decay_t<T>, char*>)
    return std::string(v);
  else
    return v;
}
template <class T>
auto CPass(const T& v) {
  if constexpr (std::is_same_v<T, std::string>)
    return v.c_str();
  else
    return v;
}
}  // namespace detail

// printf-style formatting for the patterns the system's messages use
// ("%s", "%d", "%.2d", "%.2x"); std::string arguments are accepted for %s.
template <class... A>
std::string Format(const char* fmt, const A&... args) {
  return [&](const auto&... converted) {
    return detail::FormatC(fmt, detail::CPass(converted)...);
  }(detail::CArg(args)...);
}

}  // namespace vx
