#include "lib/schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/text.h"

namespace vx {
namespace {

// Cycle arrays as the option form builds them.
Variant Daily(const char* days) {
  return VarArrayOf({0, days});
}
Variant Weekly(const char* weeks, int weekday) {
  return VarArrayOf({1, VarArrayOf({weeks, weekday})});
}
Variant MonthDay(const char* months, const char* day) {
  return VarArrayOf({2, VarArrayOf({0, months, day})});
}
Variant MonthWeekday(const char* months, int occurrence, int weekday) {
  return VarArrayOf({2, VarArrayOf({1, months, occurrence, weekday})});
}
Variant Hourly(double hours) {
  return VarArrayOf({3, hours});
}
constexpr int kSun = 0, kMon = 1, kTue = 2, kThu = 4, kFri = 5;

TEST(ComputeFirstRunDate, EveryCycleKind) {
  struct Case {
    const char* start;
    Variant cycle;
    const char* first;
  } cases[] = {
      {"20240103", Daily("3"), "20240103"},
      // Weeks: the chosen weekday of the start's week unless earlier, then
      // of the next; a longer interval adds whole weeks.
      {"20240103", Weekly("1", kFri), "20240105"},
      {"20240103", Weekly("1", kMon), "20240108"},
      {"20240103", Weekly("2", kFri), "20240112"},
      {"20241228", Weekly("1", kSun), "20241229"},  // Saturday start, into the new year
      // Months on a day: lowered to the month's end when shorter.
      {"20240115", MonthDay("1", "20"), "20240120"},
      {"20240115", MonthDay("1", "10"), "20240210"},
      {"20240210", MonthDay("1", "31"), "20240229"},
      {"20230210", MonthDay("1", "31"), "20230228"},
      {"20240410", MonthDay("1", "31"), "20240430"},
      {"20241220", MonthDay("1", "15"), "20250115"},
      {"20230310", MonthDay("12", "29"), "20240229"},
      {"20241201", MonthDay("2", "31"), "20250131"},
      // Months on a weekday.
      {"20240115", MonthWeekday("1", 1, kTue), "20240213"},
      {"20240115", MonthWeekday("1", 4, kFri), "20240126"},
      {"20241215", MonthWeekday("1", 0, kMon), "20250106"},
      {"20240201", MonthWeekday("1", 4, kThu), "20240229"},
      {"20240115", MonthWeekday("2", 1, kTue), "20240213"},
      // Hours: no date of its own.
      {"20240115", Hourly(2), ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComputeFirstRunDate(c.start, c.cycle), c.first) << c.start;
}

TEST(ComputeFirstRunDate, BadInputGivesEmpty) {
  Variant bad_cycles[] = {
      Variant("x"),
      VarArrayOf({0}),
      VarArrayOf({4, "1"}),
      Daily("0"),
      Daily("-1"),
      Daily("abc"),
      Daily("99999999999999999999"),
      Weekly("1", 7),
      Weekly("", 1),
      Weekly("500000", kMon),  // beyond the year 9999, without overflow
      MonthDay("1", "32"),
      MonthDay("1", "0"),
      MonthDay("0", "5"),
      MonthWeekday("1", 5, kMon),
      VarArrayOf({2, VarArrayOf({3, "1", "5"})}),
      Hourly(0),
      Hourly(-2),
      VarArrayOf({3, "1,5"}),
  };
  for (const Variant& cycle : bad_cycles)
    EXPECT_EQ(ComputeFirstRunDate("20240115", cycle), "");
  for (const char* start : {"", "2024011", "20240230", "2024011a", "00000000"})
    EXPECT_EQ(ComputeFirstRunDate(start, Daily("1")), "") << start;
}

// Date-shift entries (fields separated by ETX) and value rows.
std::string Entry(std::initializer_list<std::string> fields) {
  std::string out;
  for (const std::string& f : fields)
    out += (out.empty() ? "" : "\x03") + f;
  return out;
}
Variant ShiftList(std::initializer_list<std::string> entries) {
  Variant list = VarArrayCreate(0, static_cast<int>(entries.size()));
  list[0] = static_cast<int>(entries.size());
  int i = 1;
  for (const std::string& e : entries)
    list[i++] = e;
  return list;
}
// Value row: 1 a range field's [begin, end], 2 a date, 3 a year-month.
Variant ValueRow() {
  Variant range = VarArrayCreate(0, 2);
  range[0] = "RANGE";
  range[1] = "20000101";
  range[2] = "20001231";
  Variant row = VarArrayCreate(1, 3);
  row[1] = range;
  row[2] = "20000101";
  row[3] = "200001";
  return row;
}
Variant Shifted(const Variant& list, const char* run_date = "20240315") {
  Variant args = VarArrayCreate(1, 3);
  args[1] = ValueRow();
  args[2] = VarArrayOf({"Y", "08:00", Daily("1"), VarArrayOf({"20240315", 0})});
  args[3] = list;
  return ApplyDateShifts(args, run_date);
}

TEST(ApplyDateShifts, SingleAndRangeEntries) {
  struct Case {
    std::string entry;
    int position;
    int index;  // within a range value, else 0
    const char* value;
  } cases[] = {
      // count 0, add/subtract, days 0: the run date itself
      {Entry({"1", "edA", "Y", "0", "0", "0", "0", "D", "2"}), 2, 0, "20240315"},
      {Entry({"1", "edA", "Y", "1", "1", "2", "0", "D", "2"}), 2, 0, "20240430"},
      {Entry({"1", "edA", "Y", "-1", "1", "1", "0", "D", "2"}), 2, 0, "20240201"},
      {Entry({"1", "edA", "Y", "0", "0", "0", "-1", "D", "2"}), 2, 0, "20240314"},
      {Entry({"1", "edA", "Y", "1", "0", "2", "0", "D", "2"}), 2, 0, "20240323"},
      {Entry({"1", "edA", "N", "1", "1", "2", "0", "D", "2"}), 2, 0, "20000101"},
      {Entry({"1", "edA", "Y", "-1", "1", "0", "0", "M", "3"}), 3, 0, "202402"},
      // Only the first appended position counts.
      {Entry({"1", "edA", "Y", "0", "0", "0", "0", "D", "2", "3"}), 2, 0, "20240315"},
      // Range: begin to the week's Sunday, end to the last month's first day.
      {Entry({"0", "spA", "Y", "0", "0", "1", "0", "N", "-1", "1", "1", "0", "D", "1"}), 1, 1,
       "20240310"},
      {Entry({"0", "spA", "Y", "0", "0", "1", "0", "N", "-1", "1", "1", "0", "D", "1"}), 1, 2,
       "20001231"},
      {Entry({"0", "spA", "N", "0", "0", "1", "0", "Y", "-1", "1", "1", "0", "D", "1"}), 1, 2,
       "20240201"},
      {Entry({"0", "spA", "Y", "0", "0", "0", "0", "Y", "0", "0", "0", "0", "D", "1"}), 1, 1,
       "20240315"},
  };
  for (const Case& c : cases) {
    Variant row = Shifted(ShiftList({c.entry}));
    ASSERT_TRUE(row.IsArray()) << c.entry;
    const Variant& v = c.index ? row[c.position][c.index] : row[c.position];
    EXPECT_EQ(VarToStr(v), c.value) << c.entry;
  }
  // Without dynamic fields the row comes back as it was.
  EXPECT_EQ(Shifted(ShiftList({})), ValueRow());
  // Two entries apply one after the other; the leap day of a year-month base.
  Variant row = Shifted(ShiftList({Entry({"1", "edA", "Y", "0", "1", "2", "0", "D", "2"}),
                                   Entry({"1", "edB", "Y", "1", "1", "0", "0", "M", "3"})}),
                        "20240131");
  EXPECT_EQ(VarToStr(row[2]), "20240131");
  EXPECT_EQ(VarToStr(row[3]), "202402");
}

TEST(ApplyDateShifts, UnreadableInputGivesEmptyText) {
  std::string good = Entry({"1", "edA", "Y", "1", "1", "2", "0", "D", "2"});
  Variant lists[] = {
      ShiftList({Entry({"1", "edA", "Y", "x", "1", "2", "0", "D", "2"})}),  // count
      ShiftList({Entry({"1", "edA", "Y", "1", "7", "2", "0", "D", "2"})}),  // unit
      ShiftList({Entry({"1", "edA", "Y", "1", "1", "2", "0", "Q", "2"})}),  // unit letter
      ShiftList({Entry({"1", "edA", "Y", "1", "1", "2", "0", "D", "9"})}),  // position
      ShiftList({Entry({"1", "edA", "Y", "1", "1", "2", "0", "D"})}),       // no position
      ShiftList({Entry({"1", "edA", "Y", "99999999", "1", "2", "0", "D", "2"})}),
      ShiftList({Entry({"0", "spA", "Y", "0", "0", "1", "0", "N", "0", "0", "0", "0", "D", "2"})}),
      VarArrayOf({3, good}),  // a count beyond the list
      VarArrayOf({"x", good}),
      Variant("not a list"),
  };
  for (const Variant& list : lists) {
    Variant out = Shifted(list);
    EXPECT_TRUE(out.IsString() && VarToStr(out).empty());
  }
  for (const char* run_date : {"", "20240230", "202403"})
    EXPECT_EQ(Shifted(ShiftList({good}), run_date), Variant(std::string())) << run_date;
  EXPECT_EQ(ApplyDateShifts(VarArrayOf({ValueRow(), ShiftList({good})}), "20240315"),
            Variant(std::string()));
}

// The runs of a schedule element as "YYYYMMDD hh:nn:ss", up to max.
std::vector<std::string> Runs(const Variant& element, TCivilDateTime submitted = {},
                              std::size_t max = 8) {
  std::vector<std::string> out;
  auto schedule = ParseSchedule(element);
  if (!schedule) return {"malformed"};
  auto run = FirstRun(*schedule, submitted);
  while (run && out.size() < max) {
    EXPECT_EQ(run->Number, static_cast<std::int64_t>(out.size()) + 1);
    out.push_back(CivilDate8(run->At) +
                  Format(" %.2d:%.2d:%.2d", run->At.Hour, run->At.Minute, run->At.Second));
    run = NextRun(*schedule, *run);
  }
  return out;
}
Variant Element(const char* time, const Variant& cycle, const Variant& range) {
  return VarArrayOf({"Y", time, cycle, range});
}
Variant Endless(const char* start) {
  return VarArrayOf({start, 0});
}
Variant Times(const char* start, const char* count) {
  return VarArrayOf({start, 1, count});
}
Variant Until(const char* start, const char* end) {
  return VarArrayOf({start, 2, end});
}
using Strings = std::vector<std::string>;

TEST(ScheduleRuns, EveryCycleKindAndRange) {
  EXPECT_EQ(Runs(Element("08:30", Daily("2"), Times("20240227", "4"))),
            (Strings{"20240227 08:30:00", "20240229 08:30:00", "20240302 08:30:00",
                     "20240304 08:30:00"}));
  // The end date is inclusive.
  EXPECT_EQ(Runs(Element("23:59", Weekly("2", kMon), Until("20241225", "20250203"))),
            (Strings{"20250106 23:59:00", "20250120 23:59:00", "20250203 23:59:00"}));
  EXPECT_EQ(Runs(Element("00:00", Weekly("1", kSun), Times("20241228", "2"))),
            (Strings{"20241229 00:00:00", "20250105 00:00:00"}));
  // The 31st comes back after short months.
  EXPECT_EQ(Runs(Element("07:05", MonthDay("1", "31"), Times("20240115", "5"))),
            (Strings{"20240131 07:05:00", "20240229 07:05:00", "20240331 07:05:00",
                     "20240430 07:05:00", "20240531 07:05:00"}));
  // Leap days: the 29th of February only in leap years.
  EXPECT_EQ(Runs(Element("12:00", MonthDay("12", "29"), Times("20230310", "5"))),
            (Strings{"20240229 12:00:00", "20250228 12:00:00", "20260228 12:00:00",
                     "20270228 12:00:00", "20280229 12:00:00"}));
  EXPECT_EQ(Runs(Element("06:00", MonthWeekday("1", 4, kFri), Times("20241201", "3"))),
            (Strings{"20241227 06:00:00", "20250131 06:00:00", "20250228 06:00:00"}));
  EXPECT_EQ(Runs(Element("06:00", MonthWeekday("2", 1, kTue), Endless("20240115")), {}, 3),
            (Strings{"20240213 06:00:00", "20240409 06:00:00", "20240611 06:00:00"}));
  EXPECT_EQ(Runs(Element("06:00", MonthWeekday("1", 3, kSun), Times("20240101", "2"))),
            (Strings{"20240128 06:00:00", "20240225 06:00:00"}));
  // Runs stop at the last day of the year 9999.
  EXPECT_EQ(Runs(Element("10:00", Daily("1"), Endless("99991230"))),
            (Strings{"99991230 10:00:00", "99991231 10:00:00"}));
  // An end date before the first run: no run at all.
  EXPECT_EQ(Runs(Element("10:00", MonthDay("1", "20"), Until("20240125", "20240210"))), Strings{});
}

TEST(ScheduleRuns, HourlyFromTheSubmission) {
  TCivilDateTime submitted{2024, 12, 31, 22, 0, 10};
  EXPECT_EQ(Runs(Element("08:00", Hourly(1.5), Times("20241231", "3")), submitted),
            (Strings{"20241231 22:00:10", "20241231 23:30:10", "20250101 01:00:10"}));
  // Ends with the end date's last hour.
  EXPECT_EQ(Runs(Element("08:00", VarArrayOf({3, "1"}), Until("20241231", "20241231")), submitted),
            (Strings{"20241231 22:00:10", "20241231 23:00:10"}));
  // A start date after the submission is kept.
  EXPECT_EQ(Runs(Element("08:00", Hourly(12), Times("20250102", "2")), submitted),
            (Strings{"20250102 00:00:00", "20250102 12:00:00"}));
  EXPECT_EQ(Runs(Element("08:00", Hourly(1), Endless("20241231")), TCivilDateTime{2024, 2, 30}),
            Strings{});
}

TEST(ScheduleRuns, MalformedElements) {
  Variant cycle = Daily("1");
  Variant range = Endless("20240101");
  Variant bad[] = {
      Variant(),
      VarArrayOf({"Y", "08:00", cycle}),
      VarArrayOf({"N", "08:00", cycle, range}),
      Element("24:00", cycle, range),
      Element("08:60", cycle, range),
      Element("8", cycle, range),
      Element("ab:cd", cycle, range),
      Element("08:00", Daily("0"), range),
      Element("08:00", cycle, VarArrayOf({"20240101", 3})),
      Element("08:00", cycle, Times("20240101", "0")),
      Element("08:00", cycle, Times("20240101", "x")),
      Element("08:00", cycle, VarArrayOf({"20240101", 1})),
      Element("08:00", cycle, Until("20240101", "20240230")),
      Element("08:00", cycle, Endless("2024")),
  };
  for (const Variant& element : bad)
    EXPECT_EQ(Runs(element), Strings{"malformed"});
  auto schedule = ParseSchedule(Element("08:00", cycle, range));
  ASSERT_TRUE(schedule);
  EXPECT_FALSE(NextRun(*schedule, TScheduledRun{{2024, 1, 1, 8, 0, 0}, 0}));
  EXPECT_FALSE(NextRun(*schedule, TScheduledRun{{2024, 13, 1, 8, 0, 0}, 1}));
  EXPECT_FALSE(NextRun(*schedule, TScheduledRun{{2024, 1, 1, 8, 0, 0}, INT64_MAX}));
  // A schedule put together by hand is checked as well.
  TSchedule by_hand = *schedule;
  by_hand.Cycle.Interval = 0;
  EXPECT_FALSE(FirstRun(by_hand, {2024, 1, 1, 0, 0, 0}));
}

TEST(ScheduleRuns, NextRunAfterSkipsMissedRuns) {
  struct Case {
    Variant element;
    TScheduledRun previous;
    TCivilDateTime moment;
    std::optional<TScheduledRun> next;
  } cases[] = {
      {Element("08:30", Daily("1"), Endless("20240101")),
       {{2024, 1, 1, 8, 30, 0}, 1},
       {2024, 1, 10, 9, 0, 0},
       TScheduledRun{{2024, 1, 11, 8, 30, 0}, 11}},
      {Element("08:30", Daily("1"), Endless("20240101")),
       {{2024, 1, 1, 8, 30, 0}, 1},
       {2024, 1, 10, 8, 30, 0},
       TScheduledRun{{2024, 1, 11, 8, 30, 0}, 11}},
      {Element("08:30", Weekly("1", kMon), Endless("20240101")),
       {{2024, 1, 1, 8, 30, 0}, 1},
       {2024, 1, 3, 0, 0, 0},
       TScheduledRun{{2024, 1, 8, 8, 30, 0}, 2}},
      {Element("00:00", Hourly(0.5), Endless("20240101")),
       {{2024, 1, 1, 0, 0, 0}, 1},
       {2024, 1, 2, 0, 10, 0},
       TScheduledRun{{2024, 1, 2, 0, 30, 0}, 50}},
      {Element("09:00", MonthDay("1", "31"), Endless("20240101")),
       {{2024, 1, 31, 9, 0, 0}, 1},
       {2024, 6, 15, 0, 0, 0},
       TScheduledRun{{2024, 6, 30, 9, 0, 0}, 6}},
      // The range ends among the missed runs.
      {Element("08:30", Daily("1"), Times("20240101", "5")),
       {{2024, 1, 1, 8, 30, 0}, 1},
       {2024, 1, 10, 0, 0, 0},
       std::nullopt},
      {Element("09:00", MonthDay("1", "31"), Until("20240101", "20240531")),
       {{2024, 1, 31, 9, 0, 0}, 1},
       {2024, 6, 15, 0, 0, 0},
       std::nullopt},
      {Element("08:30", Daily("1"), Endless("20240101")),
       {{2024, 1, 1, 8, 30, 0}, 1},
       {2024, 2, 30, 0, 0, 0},
       std::nullopt},
      // Far into the future: no run in range, and no endless search.
      {Element("00:00", Hourly(0.0003), Endless("20240101")),
       {{2024, 1, 1, 0, 0, 0}, 1},
       {9999, 12, 31, 23, 59, 59},
       std::nullopt},
      {Element("09:00", MonthDay("1", "1"), Endless("20240101")),
       {{2024, 1, 1, 9, 0, 0}, 1},
       {9999, 12, 31, 23, 59, 59},
       std::nullopt},
  };
  for (const Case& c : cases) {
    auto schedule = ParseSchedule(c.element);
    ASSERT_TRUE(schedule);
    EXPECT_EQ(NextRunAfter(*schedule, c.previous, c.moment), c.next)
        << CivilDate8(c.previous.At) << " -> " << CivilDate8(c.moment);
  }
}

}  // namespace
}  // namespace vx
