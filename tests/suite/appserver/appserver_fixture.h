#pragma once
// A server database in a temporary folder, the fake job library as the
// program "STKB17", a simulated clock and parameter arrays as the batch
// form builds them.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <vector>

#include "lib/codepage.h"
#include "suite/appserver/report_counter.h"
#include "tests/support/temp_folder.h"

namespace vx::appserver::test {

// 2026-03-27 12:00:00 UTC.
inline constexpr TInstant kFriday = 1774612800;

inline Variant Row(std::vector<Variant> items) {
  Variant row = VarArrayCreate(1, static_cast<int>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i)
    row[static_cast<int>(i) + 1] = items[i];
  return row;
}

// A queued batch job of STKB17 whose value row is [what, date, log flag,
// print date].
inline Variant BatchParams(std::string what = "ok", int run_mode = 0,
                           Variant run_at = Variant(TDateTime(46108.5)),
                           std::string receivers = "") {
  Variant env = Row({"STKB17", std::int32_t{12}, std::int32_t{4}, "C01", "U01", "VXSYS",
                     Variant(TDateTime(46108.5)), "STKB17S.Class1", "B", std::int32_t{run_mode},
                     run_at, receivers});
  Variant captions =
      Row({VarArrayOf({"盘点单号", "ed01"}), VarArrayOf({"盘点日期", "me02"}),
           VarArrayOf({"生成Log文档", "chkLog"}), VarArrayOf({"作业日期", "edPrintDate"})});
  Variant values = Row({what, "20260301", "N", "20260327"});
  return VarArrayOf({env, captions, values});
}

// The same job made periodic with the schedule element and one dynamic
// date field (me02, position 2) that takes the run date.
inline Variant PeriodicParams(const Variant& cycle, std::string time, Variant range,
                              std::string what = "ok") {
  Variant p = BatchParams(what, 2);
  p[0][9] = "b";
  Variant all = VarArrayCreate(0, 4);
  for (int i = 0; i <= 2; ++i)
    all[i] = p[i];
  all[3] = VarArrayOf({"Y", time, cycle, range});
  std::string etx = "\x03";
  all[4] = VarArrayOf({std::int32_t{1}, "1" + etx + "me02" + etx + "Y" + etx + "0" + etx + "0" +
                                            etx + "0" + etx + "0" + etx + "D" + etx + "2"});
  return all;
}

class AppServerTest : public ::testing::Test {
 protected:
  AppServerTest() {
    setenv("VX_FAKE_JOB_LOG", folder.Path("job.log").c_str(), 1);
    config.DatabaseFile = folder.Path("Data/AppServer.db");
    config.LibraryFolders = {folder.Path("none") + "/", VX_FAKE_JOB_FOLDER "/"};
    config.JobHost = VX_JOB_HOST;
    config.Zone = "Europe/Berlin";
    config.InstallFolder = folder.Path() + "/";
    config.RunLimit = std::chrono::seconds(20);
    config.Clock = [this] { return now.load(); };
  }
  ~AppServerTest() override { unsetenv("VX_FAKE_JOB_LOG"); }

  std::shared_ptr<TReportCounter> NewServer() { return std::make_shared<TReportCounter>(config); }
  Variant CallServer(TReportCounter& s, std::string_view name, Args args = {}) {
    return s.Invoke(name, DispatchKind::Method, args);
  }
  std::vector<std::string> JobLog() const {
    std::ifstream in(folder.Path("job.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }

  vx::test::TempFolder folder;
  std::atomic<TInstant> now{kFriday};
  TAppServerConfig config;
};

}  // namespace vx::appserver::test
