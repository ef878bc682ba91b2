#include "lib/codepage.h"

#include "lib/alert_log.h"
#include "platform/os/codepage.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

// The text limited to the characters the code page can encode, falling back
// to the system code page as the platform falls back to its default
// conversion when the one asked for reports nothing.
std::string Limit(std::string_view utf8, int code_page) {
  int cp = code_page;
  if (cp <= 0 || !CodePageSupported(cp)) {
    cp = GetSystemCodePage();
    if (!CodePageSupported(cp))
      throw ECodePageError(
          Format("Code page %d cannot be converted, nor the system code page %d", code_page, cp));
  }
  if (cp == 65001) return IsValidUtf8(utf8) ? std::string(utf8) : Utf16ToUtf8(Utf8ToUtf16(utf8));
  bool ascii = true;
  for (char c : utf8)
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii && cp != 1200 && cp != 1201) return std::string(utf8);
  // Malformed UTF-8 becomes U+FFFD first, which no legacy code page holds.
  std::string clean = IsValidUtf8(utf8) ? std::string(utf8) : Utf16ToUtf8(Utf8ToUtf16(utf8));
  return CodePageToUtf8(Utf8ToCodePage(clean, cp), cp);
}

enum class Target { Ansi, Wide };

Variant ConvertText(const Variant& v, Target target, int code_page) {
  std::string text = v.IsWideString() ? Utf16ToUtf8(*v.WidePtr()) : *v.AnsiPtr();
  if (target == Target::Ansi) return Variant(WideToAnsiCP(Utf8ToUtf16(text), code_page));
  return Variant(AnsiToWideCP(text, code_page));
}

void ConvertArray(Variant& a, Target target, int code_page) {
  int dims = a.DimCount();
  if (dims == 1) {
    for (int i = a.LowBound(1); i <= a.HighBound(1); ++i) {
      Variant& e = a[i];
      if (e.IsArray())
        ConvertArray(e, target, code_page);
      else if (e.IsWideString())
        e = ConvertText(e, target, code_page);
    }
  } else if (dims == 2) {
    for (int i = a.LowBound(1); i <= a.HighBound(1); ++i)
      for (int j = a.LowBound(2); j <= a.HighBound(2); ++j) {
        Variant& e = a.At({i, j});
        if (e.IsWideString()) e = ConvertText(e, target, code_page);
      }
  }
}

Variant ConvertValue(const Variant& value, Target target, int code_page, const char* line) {
  Variant result = value;
  try {
    if (result.IsArray())
      ConvertArray(result, target, code_page);
    else if (result.IsString())
      result = ConvertText(result, target, code_page);
  } catch (const std::exception& e) {
    WriteAlertLog("libstrs", std::string(line) + ExceptionText(e), "D");
    return value;
  }
  return result;
}

}  // namespace

std::string WideToAnsiCP(std::u16string_view wide, int code_page) {
  return Limit(Utf16ToUtf8(wide), code_page);
}

std::u16string AnsiToWideCP(std::string_view text, int code_page) {
  return Utf8ToUtf16(Limit(text, code_page));
}

Variant VarWideToAnsiCP(const Variant& value, int code_page) {
  return ConvertValue(value, Target::Ansi, code_page, "LINE[2735] ");
}

Variant VarAnsiToWideCP(const Variant& value, int code_page) {
  return ConvertValue(value, Target::Wide, code_page, "LINE[115] ");
}

}  // namespace vx
