#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

#include "platform/rtl/exception.h"

namespace vx {
namespace {

TEST(DateTime, SerialNumbersCountFrom30December1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30).Value, 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1).Value, 2);
  EXPECT_EQ(EncodeDate(2024, 3, 5).Value, 45356);
  EXPECT_EQ(EncodeDate(1, 1, 1).Value, -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31).Value, 2958465);
  int y, m, d;
  DecodeDate(TDateTime(45356.75), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240305);
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
}

TEST(DateTime, WeekdaysRunFromSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 10)), 1);  // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 16)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);
  EXPECT_EQ(DayOfWeek(EncodeDate(1800, 1, 1)), 4);  // Wednesday
}

TEST(DateTime, IncMonthLowersTheDayToTheMonthsEnd) {
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1).Value, EncodeDate(2024, 2, 29).Value);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 15), -1).Value, EncodeDate(2023, 12, 15).Value);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 31), -13).Value, EncodeDate(2023, 2, 28).Value);
}

TEST(DateTime, TimeOfDayRoundsToMilliseconds) {
  TDateTime t = EncodeTime(13, 5, 9, 7);
  int h, n, s, z;
  DecodeTime(TDateTime(45356 + t.Value), h, n, s, z);
  EXPECT_EQ((std::vector<int>{h, n, s, z}), (std::vector<int>{13, 5, 9, 7}));
}

TEST(DateTime, FormatPatterns) {
  TFormatSettings fs;
  fs.DateSeparator = '-';
  fs.TimeSeparator = '.';
  TDateTime dt(EncodeDate(2024, 3, 5).Value + EncodeTime(9, 7, 3, 45).Value);
  struct Case {
    const char* pattern;
    const char* expected;
  } cases[] = {
      {"YYYY/MM/DD hh:nn:ss:zzz", "2024-03-05 09.07.03.045"},
      {"yyyymmddhhnnsszzz", "20240305090703045"},
      {"yy-m-d h:m", "24-3-5 9.7"},  // "m" after an hour is minutes
      {"ddd dddd mmm mmmm", "Tue Tuesday Mar March"},
      {"'yyyy' \"mm\"", "yyyy mm"},
      {"c", "2024-03-05 09.07.03"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatDateTime(c.pattern, dt, fs), c.expected) << c.pattern;
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), fs), "2024-03-05");
}

TEST(DateTime, StrToDateTimeFollowsTheShortDateOrder) {
  TDateTime r;
  ASSERT_TRUE(TryStrToDateTime("2024/03/05 10:20:30", r));
  EXPECT_EQ(DateTimeToStr(r), "2024/03/05 10:20:30");
  EXPECT_FALSE(TryStrToDateTime("2024/02/30", r));
  EXPECT_FALSE(TryStrToDateTime("hello", r));
  TFormatSettings saved = FormatSettings();
  FormatSettings().ShortDateFormat = "dd/mm/yyyy";
  ASSERT_TRUE(TryStrToDateTime("05/03/2024", r));
  EXPECT_EQ(r.Value, EncodeDate(2024, 3, 5).Value);
  FormatSettings() = saved;
}

}  // namespace
}  // namespace vx
