#include "lib/strs.h"

#include <cmath>

#include "platform/rtl/text.h"

namespace vx {

std::string ExtractField(std::string_view text, std::string_view separator, int index) {
  // Walks the text by position rather than cutting fields off its front, so
  // one call costs one pass.
  std::string_view rest = text, field;
  int counter = 1;
  bool found = !rest.empty();
  while (counter <= index && found) {
    std::size_t p = separator.empty() ? std::string_view::npos : rest.find(separator);
    if (p != std::string_view::npos) {
      field = rest.substr(0, p);
      rest.remove_prefix(p + separator.size());
      ++counter;
    } else {
      field = rest;
      found = false;
    }
  }
  return index <= counter ? std::string(field) : std::string();
}

int FieldCount(std::string_view text, char separator) {
  if (text.empty()) return 0;
  int n = 1;
  for (char c : text)
    if (c == separator) ++n;
  return n;
}

std::string CutFirstField(std::string& text, std::string_view separator) {
  std::size_t p = separator.empty() ? std::string::npos : text.find(separator);
  std::string field;
  if (p == std::string::npos) {
    field.swap(text);
  } else {
    field = text.substr(0, p);
    text.erase(0, p + separator.size());
  }
  return field;
}

namespace {

bool DateParts(int kind, TDateTime date, int& y, int& m, int& d) {
  if (date.Value == 0 || kind < dt_YYYYMMDD || kind > dt_YYYMMDD) return false;
  DecodeDate(date, y, m, d);
  return true;
}

std::string Sep(std::string_view separator) {
  return separator.empty() ? std::string() : std::string(1, separator[0]);
}

}  // namespace

std::string FormatDateByKind(int kind, std::string_view separator, TDateTime date) {
  int y, m, d;
  if (!DateParts(kind, date, y, m, d)) return {};
  std::string s = Sep(separator);
  switch (kind) {
    case dt_YYYYMMDD:
      return Format("%.4d%s%.2d%s%.2d", y, s, m, s, d);
    case dt_MMDDYYYY:
      return Format("%.2d%s%.2d%s%.4d", m, s, d, s, y);
    case dt_DDMMYYYY:
      return Format("%.2d%s%.2d%s%.4d", d, s, m, s, y);
    case dt_YYMMDD:
      return Format("%.2d%s%.2d%s%.2d", y - 1911, s, m, s, d);
    default:
      return Format("%.3d%s%.2d%s%.2d", y - 1911, s, m, s, d);
  }
}

std::string FormatYearMonthByKind(int kind, std::string_view separator, TDateTime date) {
  int y, m, d;
  if (!DateParts(kind, date, y, m, d)) return {};
  std::string s = Sep(separator);
  switch (kind) {
    case dt_YYYYMMDD:
      return Format("%.4d%s%.2d", y, s, m);
    case dt_MMDDYYYY:
    case dt_DDMMYYYY:
      return Format("%.2d%s%.4d", m, s, y);
    case dt_YYMMDD:
      return Format("%.2d%s%.2d", y - 1911, s, m);
    default:
      return Format("%.3d%s%.2d", y - 1911, s, m);
  }
}

TDateTime ParseDateByKind(std::string_view text, int kind, std::string_view separator) {
  std::string rest(text);
  if (Trim(rest).empty()) return TDateTime(0);
  int f[3];
  for (int& field : f) {
    // Fields are 16-bit values; a number that does not fit is no field at all
    // rather than a wrapped-around one.
    auto v = TryStrToInt(Trim(CutFirstField(rest, separator)));
    field = (v && *v <= 32767 && *v >= -32768) ? *v : -1;
  }
  if (kind < dt_YYYYMMDD || kind > dt_YYYMMDD) return TDateTime(0);
  int year, month, day;
  switch (kind) {
    case dt_YYYYMMDD:
      year = f[0], month = f[1], day = f[2];
      break;
    case dt_MMDDYYYY:
      year = f[2], month = f[0], day = f[1];
      break;
    case dt_DDMMYYYY:
      year = f[2], month = f[1], day = f[0];
      break;
    default:
      year = f[0], month = f[1], day = f[2];
  }
  // Day 0 is the last day of the month before, as the day counts on from the
  // first; a day that is no number is no date.
  if (year <= 0 || month <= 0 || day < 0) return TDateTime(0);
  if (kind > dt_DDMMYYYY) year += 1911;
  TDateTime first;
  if (!TryEncodeDate(year, month, 1, first)) return TDateTime(0);
  // Running on past 31 December 9999 leaves the calendar: no date.
  TDateTime last;
  TryEncodeDate(9999, 12, 31, last);
  if (first.Value + day - 1 > last.Value) return TDateTime(0);
  return TDateTime(first.Value + day - 1);
}

TDateTime Date8ToDate(std::string_view text) {
  if (text.size() != 8) return TDateTime(0);
  int y = StrToIntDef(text.substr(0, 4), 0);
  int m = StrToIntDef(text.substr(4, 2), 0);
  int d = StrToIntDef(text.substr(6, 2), 0);
  TDateTime r;
  if (y == 0 || m == 0 || d == 0 || !TryEncodeDate(y, m, d, r)) return TDateTime(0);
  return r;
}

bool IsValidDate8(std::string_view text) {
  if (text.empty()) return true;
  // Only a text of exactly eight characters is a date of this form; a longer
  // one would otherwise pass the range comparison on its first eight.
  if (text.size() != 8 || Date8ToDate(text).Value == 0) return false;
  return text >= "17530101" && text <= "99991231";
}

std::string DateToDate8(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return Format("%.4d%.2d%.2d", y, m, d);
}

Variant IfThenVar(bool condition, const Variant& when_true, const Variant& when_false) {
  return condition ? when_true : when_false;
}

std::string ReplaceText(std::string_view text, std::string_view old_text, std::string_view new_text,
                        bool trim) {
  std::string s(text);
  if (!old_text.empty() && !SameText(old_text, new_text)) {
    // When the replacement contains what it replaces, searching again from
    // the start would never end: go on after the inserted text instead.
    bool resume_after = new_text.find(old_text) != std::string_view::npos;
    std::size_t from = 0;
    for (;;) {
      std::size_t p = s.find(old_text, from);
      if (p == std::string::npos) break;
      s.replace(p, old_text.size(), new_text);
      from = resume_after ? p + new_text.size() : 0;
    }
  }
  return trim ? Trim(s) : s;
}

std::u16string JoinVarArrayW(std::u16string_view prefix, const Variant& values) {
  const char16_t etx = 3;
  std::u16string r(prefix);
  r += etx;
  if (!values.IsArray() || values.DimCount() != 1 || values.LowBound() > 0 ||
      values.HighBound() < 0) {
    r += etx;
    return r;
  }
  const Variant& count = values[0];
  r += VarToWideStr(count);
  r += etx;
  int n = 0;
  try {
    n = count.ToInt();
  } catch (const EVariantError&) {
    n = 0;
  }
  for (int i = 1; i <= n && i <= values.HighBound(); ++i) {
    r += VarToWideStr(values[i]);
    r += etx;
  }
  return r;
}

std::string LocalizeButtonCaption(std::string_view button_name) {
  static const struct {
    const char* name;
    const char* caption;
  } kCaptions[] = {
      {"Yes", "是(&Y)"},        {"No", "否(&N)"},      {"OK", "确定"},
      {"Cancel", "取消"},       {"Abort", "中断(&A)"}, {"Retry", "重试(&R)"},
      {"Ignore", "忽略(&I)"},   {"All", "全部(&A)"},   {"NoToAll", "全否(&o)"},
      {"YesToAll", "全是(&A)"}, {"Help", "帮助(&H)"},
  };
  for (const auto& c : kCaptions)
    if (button_name == c.name) return c.caption;
  return std::string(button_name);
}

double StrToFloatDefault(std::string_view text, double def) {
  auto v = TryStrToFloat(text, '.');
  return v && std::isfinite(*v) ? *v : def;
}

}  // namespace vx
