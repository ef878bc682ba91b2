#include "lib/date_shift.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(DateShift, ShiftByRule) {
  struct Case {
    const char* date;
    const char* count;
    const char* unit;
    const char* days;
    const char* mode;
    const char* expected;
  } cases[] = {
      {"20240315", "1", "1", "0", "2", "20240430"},   // one month, last day
      {"20240315", "-1", "1", "0", "1", "20240201"},  // minus one month, first day
      {"20240315", "1", "1", "3", "0", "20240418"},   // one month plus three days
      {"20240131", "1", "1", "0", "0", "20240229"},   // day lowered to February's end
      {"20240315", "0", "0", "0", "1", "20240310"},   // zero weeks, Sunday
      {"20240315", "1", "0", "0", "2", "20240323"},   // one week, Saturday
      {"20240315", "0", "0", "-1", "0", "20240314"},  // zero weeks, minus one day
      {"20240315", "2", "0", "1", "0", "20240330"},   // two weeks and a day
      {"202403", "-1", "1", "0", "0", "202402"},      // year-month
      {"202401", "-1", "0", "5", "2", "202312"},
      {"", "1", "1", "0", "0", ""},
      {"20240230", "1", "1", "0", "0", ""},
      {"2024031x", "1", "0", "0", "0", ""},
      // Stored entries may hold any number: a date outside the calendar is bad input.
      {"20240315", "400000000", "0", "0", "0", ""},
      {"20240315", "0", "0", "2147483647", "0", ""},
      {"20240315", "-2147483648", "0", "-2147483648", "0", ""},
      {"20240315", "9223372036854775807", "0", "9223372036854775807", "0", ""},
      {"20240315", "99999999999999999999", "1", "0", "0", ""},
      {"20240315", "400000000", "1", "0", "2", ""},
      {"20240315", "1", "1", "2147483647", "0", ""},
      {"20240315", "400000000", "0", "0", "1", ""},
      {"202403", "-2147483648", "1", "0", "0", ""},
      {"20240315", "417", "0", "-29", "0", "20320212"},  // far, but inside the calendar
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShiftByRule(c.date, c.count, c.unit, c.days, c.mode), c.expected)
        << c.date << " " << c.count << " " << c.unit << " " << c.days << " " << c.mode;
}

TEST(DateShift, ShiftDate) {
  EXPECT_EQ(ShiftDate("20240131", "M", 1), "20240229");
  EXPECT_EQ(ShiftDate("20240131", "M", -2), "20231130");
  EXPECT_EQ(ShiftDate("20240115", "M", -1), "20231215");
  EXPECT_EQ(ShiftDate("20241231", "D", 1), "20250101");
  EXPECT_EQ(ShiftDate("20240301", "D", -1), "20240229");
  EXPECT_EQ(ShiftDate("2024031", "D", 1), "");
  EXPECT_EQ(ShiftDate("20240230", "D", 1), "");
  EXPECT_EQ(ShiftDate("+2024030", "D", 1), "");
  EXPECT_EQ(ShiftDate("99991230", "D", 1), "99991231");  // the last valid date
  EXPECT_EQ(ShiftDate("99991231", "D", 1), "");          // past the last representable day
  EXPECT_EQ(ShiftDate("99991231", "M", 1), "");
}

TEST(DateShift, WeekEdgeAndDaysInMonth) {
  EXPECT_EQ(WeekEdge("20240310", 0, false), "20240310");  // a Sunday is its own first edge
  EXPECT_EQ(WeekEdge("20240316", 0, true), "20240316");
  EXPECT_EQ(WeekEdge("20240315", -1, false), "20240303");
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2024, 4), 30);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);
  EXPECT_EQ(DaysInMonth(2024, 0), 0);
}

}  // namespace
}  // namespace vx
