#pragma once
// Date fields of the module forms: the edit mask and the unfilled text of
// each company date style, and the conversion of a displayed date to the
// "YYYYMMDD" form that is stored and sent (and back). The selection panel and
// the option pages use the same rules.
//
// Date styles ("Sys001"): 1 year/month/day, 2 month/day/year, 3
// day/month/year, 4 and 5 year/month/day with the year counted from 1911 in
// two or three digits. sep is the company's date separator ("Sys002").
#include <string>
#include <string_view>

#include "platform/rtl/datetime.h"

namespace vx {

// The date style as a number: the text read as an integer, 1 when it is not
// one.
int DateStyleOf(std::string_view sys001);
// The separator: "/" when the setting is empty.
std::string DateSepOf(std::string_view sys002);

// "9999/99/99;1; " for style 1 and "/", "99/99/9999;1; " for styles 2 and 3;
// the year part is "99" for style 4, "999" for 5 and empty for any other.
std::string DateMask(int style, std::string_view sep);
// What an unfilled date field shows: blanks for the digits, the separators
// in place ("    /  /  " for style 1 and "/").
std::string BlankDateText(int style, std::string_view sep);
// "YYYYMMDD" of a displayed date: empty for an empty or unfilled text; the
// trimmed text itself when one of its three parts is no number (the caller's
// validity check then rejects it); empty for an unknown style. The year is
// written with as many digits as it has.
std::string DisplayToDate8(std::string_view text, int style, std::string_view sep);
// The displayed form of a "YYYYMMDD" text; empty for an empty or invalid one.
std::string Date8ToDisplay(std::string_view date8, int style, std::string_view sep);
// The displayed form of a date.
std::string DateToDisplay(TDateTime date, int style, std::string_view sep);

}  // namespace vx
