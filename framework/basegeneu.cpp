#include "framework/basegeneu.h"

#include <cstdint>

#include "lib/strs.h"
#include "platform/rtl/text.h"

namespace vx {

int DateStyleOf(std::string_view sys001) {
  return TryStrToInt(sys001).value_or(1);
}

std::string DateSepOf(std::string_view sys002) {
  return sys002.empty() ? std::string("/") : std::string(sys002);
}

namespace {

const char* YearDigits(int style) {
  switch (style) {
    case 1:
    case 2:
    case 3:
      return "9999";
    case 4:
      return "99";
    case 5:
      return "999";
    default:
      return "";
  }
}

const char* YearBlanks(int style) {
  switch (style) {
    case 1:
    case 2:
    case 3:
      return "    ";
    case 4:
      return "  ";
    case 5:
      return "   ";
    default:
      return "";
  }
}

bool YearLast(int style) {
  return style == 2 || style == 3;
}

std::string Assemble(int style, std::string_view sep, std::string_view year, std::string_view two) {
  std::string s(sep);
  std::string t(two);
  if (YearLast(style)) return t + s + t + s + std::string(year);
  return std::string(year) + s + t + s + t;
}

}  // namespace

std::string DateMask(int style, std::string_view sep) {
  return Assemble(style, sep, YearDigits(style), "99") + ";1; ";
}

std::string BlankDateText(int style, std::string_view sep) {
  return Assemble(style, sep, YearBlanks(style), "  ");
}

std::string DisplayToDate8(std::string_view text, int style, std::string_view sep) {
  std::string t = Trim(text);
  if (t.empty() || t == Trim(BlankDateText(style, sep))) return {};
  std::string rest = t;
  std::int64_t p[3];
  for (auto& part : p) {
    auto n = TryStrToInt(Trim(CutFirstField(rest, sep)));
    part = n && *n != -1 ? *n : -1;
    if (part == -1) return t;
  }
  std::int64_t y, m, d;
  switch (style) {
    case 1:
      y = p[0], m = p[1], d = p[2];
      break;
    case 2:
      y = p[2], m = p[0], d = p[1];
      break;
    case 3:
      y = p[2], m = p[1], d = p[0];
      break;
    case 4:
    case 5:
      y = p[0] + 1911, m = p[1], d = p[2];
      break;
    default:
      return {};
  }
  return Format("%lld%.2lld%.2lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
}

std::string Date8ToDisplay(std::string_view date8, int style, std::string_view sep) {
  return DateToDisplay(Date8ToDate(date8), style, sep);
}

std::string DateToDisplay(TDateTime date, int style, std::string_view sep) {
  return FormatDateByKind(style, sep, date);
}

}  // namespace vx
