// The recount as a user runs it on the demo company: demo/install.sh lays
// out an installation, vxshell runs STKB17C.so directly with the in-process
// server, and every line of the worksheet must then hold the ledger balance
// of its item in its warehouse as of the stocktaking date, computed here by
// a statement of our own.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/db/engine.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

std::pair<std::string, int> RunCommand(const std::string& command) {
  std::string out;
  std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  char buf[1024];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
    out.append(buf, n);
  int status = ::pclose(p);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(DemoCompany, DirectRunRecountsTheWorksheetToTheLedgerBalances) {
  test::TempFolder tmp;
  std::string source = std::getenv("VX_TEST_SOURCE_DIR");
  std::string inst = tmp.Path("demo");
  auto [laid, laid_status] =
      RunCommand("bash '" + source + "/demo/install.sh' '" + VX_BIN_DIR + "' '" + inst + "'");
  ASSERT_EQ(laid_status, 0) << laid;
  test::ScopedEnv registry("VX_REGISTRY_FILE", inst + "/machine.reg");
  test::ScopedEnv code_page("VX_CODEPAGE", "936");

  // Lines whose book quantity is not the ledger balance as of the date.
  auto stale_lines = [&] {
    auto db = db::OpenSession("Data Source=" + inst + "/Data/DEMO.db");
    auto st = db->Prepare(
        "SELECT COUNT(*) FROM INVTF WHERE TF001 = 'W24001' AND TF005 <> ROUND(COALESCE((SELECT "
        "SUM(LA011) FROM INVLA WHERE LA001 = TF003 AND LA009 = TF004 AND LA004 <= '20241231'), "
        "0), 3)");
    return st->Step() ? st->ColumnInt64(0) : -1;
  };
  EXPECT_GT(stale_lines(), 0);  // the demo's book quantities are out of date

  auto [out, status] = RunCommand(std::string("'") + VX_BIN_DIR +
                                  "/vxshell' --load CorvanWorkCenter.dll --load ReportCounterS.dll "
                                  "--set ed01=W24001 --set chkLog=Y --direct '" +
                                  inst + "/C_PKG/STKB17C.so'");
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("处理完毕!"), std::string::npos) << out;

  EXPECT_EQ(stale_lines(), 0) << out;
  EXPECT_NE(out.find("result 1 "), std::string::npos);
  // The job's log names every changed line with its old and new quantity.
  EXPECT_EQ(out.find("失败"), std::string::npos) << out;
}

}  // namespace
}  // namespace vx
