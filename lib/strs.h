#pragma once
// The framework's string, date and variant helpers (unit "libstrs"): delimited
// fields, "YYYYMMDD" date texts and the company's display date styles.
#include <string>
#include <string_view>

#include "platform/automation/variant.h"

namespace vx {

// Display date styles of the company; 4 and 5 count years from 1911.
enum TDateType {
  dt_NoneCare = 0,
  dt_YYYYMMDD = 1,
  dt_MMDDYYYY = 2,
  dt_DDMMYYYY = 3,
  dt_YYMMDD = 4,
  dt_YYYMMDD = 5,
};

// Field number index (from 1) of text split at separator (any length).
std::string ExtractField(std::string_view text, std::string_view separator, int index);
// Separator occurrences plus one; 0 for an empty text.
int FieldCount(std::string_view text, char separator);
// Returns the part before the first separator and leaves the rest in text.
std::string CutFirstField(std::string& text, std::string_view separator);

// Empty for date 0, kind 0 or kinds outside 1..5. Only the first character of
// separator is used.
std::string FormatDateByKind(int kind, std::string_view separator, TDateTime date);
std::string FormatYearMonthByKind(int kind, std::string_view separator, TDateTime date);
// 0 when the text is not a date in that style; a day past the month's end
// runs on into the next month.
TDateTime ParseDateByKind(std::string_view text, int kind, std::string_view separator);
// "YYYYMMDD" to a date; 0 when not a date.
TDateTime Date8ToDate(std::string_view text);
// True for an empty text or an existing date from 1753-01-01 to 9999-12-31.
bool IsValidDate8(std::string_view text);
// "YYYYMMDD" of a date (the form dates are stored and sent in).
std::string DateToDate8(TDateTime date);

Variant IfThenVar(bool condition, const Variant& when_true, const Variant& when_false);

// Replaces every occurrence of old_text by new_text (case-sensitive search),
// unless the two differ only in letter case; optionally trims the result.
std::string ReplaceText(std::string_view text, std::string_view old_text, std::string_view new_text,
                        bool trim);

// prefix ETX n ETX v1 ETX ... vn ETX, where values[0] holds n.
std::u16string JoinVarArrayW(std::u16string_view prefix, const Variant& values);

// Caption of a standard message-dialog button by its name ("OK" -> "确定").
std::string LocalizeButtonCaption(std::string_view button_name);

// A number with "." as decimal point, else the default.
double StrToFloatDefault(std::string_view text, double def);

}  // namespace vx
