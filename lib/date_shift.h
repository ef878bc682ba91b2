#pragma once
// Moving "YYYYMMDD" (and "YYYYMM") date texts by day, week and month rules,
// as periodic jobs and saved date rules need. Never raises: a text that is
// not a valid date gives an empty result.
#include <string>
#include <string_view>

namespace vx {

// count/days are numbers as text; unit "0" weeks, anything else months.
// Months: mode "0" adds days, "1" first day, "2" last day of the month.
// Weeks: mode "0" adds count*7+days days, "1" the Sunday, other the Saturday.
std::string ShiftByRule(std::string_view date, std::string_view count, std::string_view unit,
                        std::string_view days, std::string_view mode);
// The Sunday (last = false) or Saturday (last = true) of the week n weeks
// from date.
std::string WeekEdge(std::string_view date, int n, bool last);
// unit "D": n days; "M": n months, the day lowered to the month's end.
std::string ShiftDate(std::string_view date, std::string_view unit, int n);
int DaysInMonth(int year, int month);

}  // namespace vx
