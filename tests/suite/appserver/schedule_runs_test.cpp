// The scheduler over a simulated clock: queued, timed and periodic jobs, the
// later runs of each cycle kind with month ends, leap days and
// daylight-saving changes, and the shifted date of every run.
#include <gmock/gmock.h>

#include "suite/appserver/scheduler.h"
#include "tests/suite/appserver/appserver_fixture.h"

namespace vx::appserver::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TCivilDateTime Civil(int y, int mo, int d, int h = 0, int mi = 0) {
  return {y, mo, d, h, mi, 0};
}

// The civil times of runs 1..n of a schedule, each computed from the one
// before as the scheduler does when every run ends right after its time.
std::vector<std::string> Runs(const Variant& element, const TCivilDateTime& submitted,
                              const std::string& zone, int n, std::vector<TInstant>* at = nullptr) {
  auto schedule = ParseSchedule(element);
  EXPECT_TRUE(schedule);
  std::vector<std::string> list;
  if (!schedule) return list;
  auto first = FirstRun(*schedule, submitted);
  if (!first) return list;
  std::optional<TPeriodicRun> run =
      TPeriodicRun{first->At, CivilToInstant(first->At, zone), first->Number};
  while (run && static_cast<int>(list.size()) < n) {
    list.push_back(CivilText(run->Civil).substr(0, 12));
    if (at) at->push_back(run->At);
    run = NextPeriodicRun(*schedule, *run, run->At + 60, zone);
  }
  return list;
}

Variant Schedule(Variant cycle, std::string time, Variant range) {
  return VarArrayOf({"Y", time, cycle, range});
}

TEST(PeriodicRunTest, EachCycleKindGivesItsRuns) {
  Variant endless = VarArrayOf({"20280125", std::int32_t{0}});
  auto zone = "Europe/Berlin";
  // Every 2 days, until the end date (inclusive).
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{0}, "2"}), "06:00",
                            VarArrayOf({"20280226", std::int32_t{2}, "20280301"})),
                   Civil(2028, 2, 1), zone, 9),
              ElementsAre("202802260600", "202802280600", "202803010600"));
  // Every week on Tuesday, four runs in all.
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{1}, VarArrayOf({"1", std::int32_t{2}})}),
                            "07:15", VarArrayOf({"20280125", std::int32_t{1}, "4"})),
                   Civil(2028, 1, 1), zone, 9),
              ElementsAre("202801250715", "202802010715", "202802080715", "202802150715"));
  // Day 31 of every month: the short months' last days, the leap day, and
  // back to the 31st.
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{2}, VarArrayOf({std::int32_t{0}, "1", "31"})}),
                            "23:00", endless),
                   Civil(2028, 1, 1), zone, 4),
              ElementsAre("202801312300", "202802292300", "202803312300", "202804302300"));
  // Day 29 in a common year: February's end.
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{2}, VarArrayOf({std::int32_t{0}, "1", "29"})}),
                            "08:00", VarArrayOf({"20290115", std::int32_t{0}})),
                   Civil(2029, 1, 1), zone, 3),
              ElementsAre("202901290800", "202902280800", "202903290800"));
  // The last Friday of every month.
  EXPECT_THAT(
      Runs(Schedule(VarArrayOf({std::int32_t{2}, VarArrayOf({std::int32_t{1}, "1", std::int32_t{4},
                                                             std::int32_t{5}})}),
                    "18:00", endless),
           Civil(2028, 1, 1), zone, 3),
      ElementsAre("202801281800", "202802251800", "202803311800"));
}

TEST(PeriodicRunTest, DaylightSavingChangesNeitherSkipNorDoubleARun) {
  // Daily at 02:30 in Berlin over the spring change (2026-03-29, 02:00 ->
  // 03:00): the missing 02:30 runs at 03:30 summer time, once.
  std::vector<TInstant> at;
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{0}, "1"}), "02:30",
                            VarArrayOf({"20260328", std::int32_t{0}})),
                   Civil(2026, 3, 27), "Europe/Berlin", 3, &at),
              ElementsAre("202603280230", "202603290230", "202603300230"));
  EXPECT_EQ(at[1] - at[0], 24 * 3600);
  EXPECT_EQ(at[2] - at[1], 23 * 3600);
  EXPECT_EQ(InstantToCivil(at[1], "Europe/Berlin").Hour, 3);
  // Daily at 01:30 in New York over the autumn change (2026-11-01, 01:00-
  // 02:00 twice): one run, at the first 01:30.
  at.clear();
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{0}, "1"}), "01:30",
                            VarArrayOf({"20261031", std::int32_t{0}})),
                   Civil(2026, 10, 30), "America/New_York", 3, &at),
              ElementsAre("202610310130", "202611010130", "202611020130"));
  EXPECT_EQ(at[1] - at[0], 24 * 3600);
  EXPECT_EQ(at[2] - at[1], 25 * 3600);
  // Every hour over both changes: one run per elapsed hour, the local clock
  // showing the repeated or the missing hour.
  at.clear();
  std::vector<std::string> autumn = Runs(Schedule(VarArrayOf({std::int32_t{3}, 1.0}), "00:00",
                                                  VarArrayOf({"20261101", std::int32_t{0}})),
                                         Civil(2026, 11, 1, 0, 0), "America/New_York", 4, &at);
  EXPECT_THAT(autumn, ElementsAre("202611010000", "202611010100", "202611010100", "202611010200"));
  for (std::size_t i = 1; i < at.size(); ++i)
    EXPECT_EQ(at[i] - at[i - 1], 3600);
  EXPECT_THAT(Runs(Schedule(VarArrayOf({std::int32_t{3}, 1.0}), "00:00",
                            VarArrayOf({"20260329", std::int32_t{0}})),
                   Civil(2026, 3, 29, 1, 0), "Europe/Berlin", 3),
              ElementsAre("202603290100", "202603290300", "202603290400"));
}

TEST(PeriodicRunTest, RunsMissedWhileTheServerWasDownCountAsDone) {
  auto schedule = ParseSchedule(Schedule(VarArrayOf({std::int32_t{0}, "1"}), "06:00",
                                         VarArrayOf({"20260301", std::int32_t{0}})));
  ASSERT_TRUE(schedule);
  TPeriodicRun run{Civil(2026, 3, 1, 6), CivilToInstant(Civil(2026, 3, 1, 6), "UTC"), 1};
  auto next = NextPeriodicRun(*schedule, run, CivilToInstant(Civil(2026, 3, 5, 12), "UTC"), "UTC");
  ASSERT_TRUE(next);
  EXPECT_EQ(CivilText(next->Civil), "20260306060000");
  EXPECT_EQ(next->Number, 6);
}

class SchedulerTest : public AppServerTest {
 protected:
  TScheduler scheduler{config};
  std::shared_ptr<TReportCounter> server = NewServer();
  std::string Submit(const Variant& params) {
    std::string id = VarToStr(CallServer(*server, "Request", {VarAnsiToWideCP(params, 936)}));
    EXPECT_NE(id, "ERROR") << VarToStr(CallServer(*server, "ErrorDescript"));
    return id;
  }
};

TEST_F(SchedulerTest, QueuedJobsRunAtOnceAndTimedJobsAtTheirTime) {
  std::string queued = Submit(BatchParams());
  std::string timed = Submit(BatchParams("ok", 2, Variant(TDateTime(46108.75))));  // 18:00
  std::string failing = Submit(BatchParams("raise", 1));
  EXPECT_EQ(scheduler.RunDue(), 2);
  TJobStore store(config.DatabaseFile);
  EXPECT_EQ(store.FindJob(queued)->Status, kDone);
  EXPECT_EQ(store.FindJob(queued)->StatusText, "已重计 20260301");
  EXPECT_EQ(store.FindJob(failing)->Status, kFailed);
  EXPECT_EQ(store.FindJob(timed)->Status, kQueued);
  now = kFriday + 5 * 3600 - 1;  // 17:59:59 in Berlin
  EXPECT_EQ(scheduler.RunDue(), 0);
  now = kFriday + 5 * 3600;
  EXPECT_EQ(scheduler.RunDue(), 1);
  EXPECT_EQ(store.FindJob(timed)->Status, kDone);
  EXPECT_EQ(scheduler.RunDue(), 0);  // nothing runs twice
  EXPECT_EQ(JobLog().size(), 5u);    // three starts, two ends
  // A cancelled job never runs.
  std::string later = Submit(BatchParams("ok", 2, Variant(TDateTime(46109.0))));
  EXPECT_EQ(store.CancelJob(later, now), "");
  EXPECT_NE(store.CancelJob(queued, now), "");
  now = kFriday + 86400;
  EXPECT_EQ(scheduler.RunDue(), 0);
  EXPECT_EQ(store.FindJob(later)->Status, kCancelled);
}

TEST_F(SchedulerTest, APeriodicJobRunsOnEachDayWithItsDateShiftedAndEndsAfterItsCount) {
  // Daily at 02:30 from Saturday, three runs, over the spring change.
  Variant params = PeriodicParams(VarArrayOf({std::int32_t{0}, "1"}), "02:30",
                                  VarArrayOf({"20260328", std::int32_t{1}, "3"}));
  params[0][12] =
      R"(<?xml version="1.0" encoding="GB2312"?><Root><R1 ID="U01" Name="" Type="5" Msg="YNN"/></Root>)";
  std::string id = Submit(params);
  TJobStore store(config.DatabaseFile);
  EXPECT_EQ(store.FindJob(id)->NextCivil, "20260328023000");
  EXPECT_EQ(scheduler.RunDue(), 0);
  for (TInstant t = kFriday; t < kFriday + 5 * 86400; t += 900) {
    now = t;
    scheduler.RunDue();
  }
  auto runs = store.Runs(id);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].RunDate, "20260328");
  EXPECT_EQ(runs[1].RunDate, "20260329");
  EXPECT_EQ(runs[2].RunDate, "20260330");
  // Started when due: 02:30 CET, 03:30 CEST (the missing hour), 02:30 CEST.
  EXPECT_EQ(runs[0].Started, kFriday + 13 * 3600 + 1800);
  EXPECT_EQ(runs[1].Started, kFriday + 86400 + 13 * 3600 + 1800);
  EXPECT_EQ(runs[2].Started, kFriday + 2 * 86400 + 12 * 3600 + 1800);
  EXPECT_THAT(
      JobLog(),
      ElementsAreArray(
          {"start " + id + " 202603270001 ok 20260328 N 20260327", "end " + id + " 202603270001",
           "start " + id + " 202603270002 ok 20260329 N 20260327", "end " + id + " 202603270002",
           "start " + id + " 202603270003 ok 20260330 N 20260327", "end " + id + " 202603270003"}));
  EXPECT_EQ(store.FindJob(id)->Status, kDone);
  // The receiver is told after each run.
  auto notices = store.Notifications(id);
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[2].Channel, "MSG");
  EXPECT_EQ(notices[2].Receiver, "U01");
}

}  // namespace
}  // namespace vx::appserver::test
