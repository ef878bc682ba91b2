// Request and Request1: which parameter arrays are accepted, the job that is
// stored, and identifiers under concurrent submissions.
#include <gmock/gmock.h>

#include <set>
#include <thread>

#include "suite/appserver/job_committer.h"
#include "tests/suite/appserver/appserver_fixture.h"

namespace vx::appserver::test {
namespace {

using ::testing::HasSubstr;

struct Malformed {
  const char* Name;
  std::function<void(Variant&)> Break;
  const char* Reason;
};

TEST_F(AppServerTest, MalformedArraysAreRefusedWithTheirReason) {
  const std::vector<Malformed> cases = {
      {"not an array", [](Variant& p) { p = Variant("x"); }, "not a one-dimensional array"},
      {"three bounds 0..3", [](Variant& p) { p.Redim(3); }, "bounds 0..3"},
      {"environment row too short", [](Variant& p) { p[0] = Row({"STKB17"}); },
       "bounds 1..9 or more"},
      {"EnvCount disagrees", [](Variant& p) { p[0][2] = std::int32_t{13}; },
       "bounds 1..12 instead of 1..13"},
      {"EnvCount no number", [](Variant& p) { p[0][2] = "zwölf"; }, "not a whole number"},
      {"OptionCount disagrees", [](Variant& p) { p[0][3] = std::int32_t{5}; },
       "caption row (element 1) has bounds 1..4 instead of 1..5"},
      {"value row short", [](Variant& p) { p[2].Redim(3); }, "value row (element 2)"},
      {"caption no pair", [](Variant& p) { p[1][2] = "x"; }, "Caption entry 2"},
      {"no program", [](Variant& p) { p[0][1] = " "; }, "entry 1 (program) is empty"},
      {"no company", [](Variant& p) { p[0][4] = Variant::Null(); }, "entry 4 (company) is empty"},
      {"no user", [](Variant& p) { p[0][5] = ""; }, "entry 5 (user) is empty"},
      {"no system db", [](Variant& p) { p[0][6] = ""; }, "entry 6 (system database)"},
      {"kind not text", [](Variant& p) { p[0][9] = std::int32_t{1}; }, "entry 9 (program kind)"},
      {"run mode 3", [](Variant& p) { p[0][10] = std::int32_t{3}; }, "is 3, outside 0..2"},
      {"timed without moment",
       [](Variant& p) {
         p[0][10] = std::int32_t{2};
         p[0][11] = "x";
       },
       "entry 11"},
      {"periodic without schedule", [](Variant& p) { p[0][9] = "b"; }, "needs elements 3 and 4"},
      {"huge value", [](Variant& p) { p[2][1] = std::string(1100000, 'x'); }, "larger than"},
  };
  auto server = NewServer();
  for (const Malformed& c : cases) {
    Variant params = BatchParams();
    c.Break(params);
    EXPECT_EQ(VarToStr(CallServer(*server, "Request", {params})), "ERROR") << c.Name;
    EXPECT_THAT(VarToStr(CallServer(*server, "ErrorDescript")), HasSubstr(c.Reason)) << c.Name;
  }
  TJobStore store(config.DatabaseFile);
  EXPECT_TRUE(store.ListJobs(false).empty());
}

TEST_F(AppServerTest, MalformedPeriodicArraysAreRefused) {
  Variant daily = VarArrayOf({std::int32_t{0}, "1"});
  const std::vector<Malformed> cases = {
      {"not mode 2", [](Variant& p) { p[0][10] = std::int32_t{0}; }, "run mode 2"},
      {"bad time", [](Variant& p) { p[3][1] = "25:00"; }, "does not describe a cycle"},
      {"bad cycle",
       [](Variant& p) {
         p[3][2] = VarArrayOf({std::int32_t{7}, "1"});
       },
       "does not describe a cycle"},
      {"count wrong", [](Variant& p) { p[4][0] = std::int32_t{2}; },
       "counts 2 entries but holds 1"},
      {"bad shift entry", [](Variant& p) { p[4][1] = "1\x03me02\x03Y\x03x"; }, "cannot be applied"},
      {"periodic parts on a single job", [](Variant& p) { p[0][9] = "B"; }, "belong to a periodic"},
  };
  auto server = NewServer();
  for (const Malformed& c : cases) {
    Variant params = PeriodicParams(daily, "02:30", VarArrayOf({"20260327", std::int32_t{0}}));
    c.Break(params);
    EXPECT_EQ(VarToStr(CallServer(*server, "Request", {params})), "ERROR") << c.Name;
    EXPECT_THAT(VarToStr(CallServer(*server, "ErrorDescript")), HasSubstr(c.Reason)) << c.Name;
  }
}

TEST_F(AppServerTest, AnAcceptedJobIsStoredWithItsArrayUnchanged) {
  auto server = NewServer();
  Variant params = VarAnsiToWideCP(BatchParams(), 936);  // as the module sends it
  std::string id = VarToStr(CallServer(*server, "Request", {params}));
  EXPECT_EQ(id, "20260327000001");  // the day in Berlin, then the day's sequence
  EXPECT_EQ(VarToStr(CallServer(*server, "ErrorDescript")), "");
  std::string second = VarToStr(CallServer(*server, "Request1", {BatchParams(), "PC-7"}));
  EXPECT_EQ(second, "20260327000002");

  TJobStore store(config.DatabaseFile);
  auto job = store.FindJob(id);
  ASSERT_TRUE(job);
  EXPECT_TRUE(job->Params == params);
  EXPECT_EQ(job->Status, kQueued);
  EXPECT_EQ(job->ProgramID, "STKB17");
  EXPECT_EQ(job->CompanyID, "C01");
  EXPECT_EQ(job->RunAt, kFriday);
  auto direct = store.FindJob(second);
  ASSERT_TRUE(direct);
  EXPECT_EQ(direct->Status, kOnClient);
  EXPECT_EQ(direct->Client, "PC-7");

  // A timed job keeps the civil time it asked for, in the server's zone.
  std::string timed = VarToStr(CallServer(
      *server, "Request", {BatchParams("ok", 2, Variant(TDateTime(46109.0 + 8.0 / 24)))}));
  EXPECT_EQ(store.FindJob(timed)->RunAt, kFriday + 86400 - 5 * 3600);  // 08:00 CET
  // A new day starts a new sequence.
  now = kFriday + 86400;
  EXPECT_EQ(VarToStr(CallServer(*server, "Request", {BatchParams()})), "20260328000001");
}

TEST_F(AppServerTest, IdentifiersStayUniqueUnderConcurrentSubmissions) {
  constexpr int kThreads = 4, kEach = 30;
  std::vector<std::vector<std::string>> ids(kThreads);
  std::vector<std::thread> threads;
  // Half the objects store through the daemon's group commit, half on their
  // own as in-process objects do, all on one file.
  TAppServerConfig grouped = config;
  grouped.Committer = std::make_shared<TJobCommitter>(config);
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      auto server = t % 2 ? NewServer() : std::make_shared<TReportCounter>(grouped);
      for (int i = 0; i < kEach; ++i)
        ids[t].push_back(VarToStr(CallServer(*server, "Request", {BatchParams()})));
    });
  for (auto& t : threads)
    t.join();
  std::set<std::string> all;
  for (const auto& list : ids)
    for (const std::string& id : list) {
      EXPECT_NE(id, "ERROR");
      all.insert(id);
    }
  EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
  EXPECT_EQ(*all.rbegin(), "20260327000120");
  TJobStore store(config.DatabaseFile);
  EXPECT_EQ(store.ListJobs(false).size(), all.size());
}

}  // namespace
}  // namespace vx::appserver::test
