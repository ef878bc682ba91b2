// The demo company: its scripts load, its data is what the suite's services
// and the recount rely on, and the tool builds it from the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "platform/db/engine.h"
#include "platform/rtl/text.h"
#include "platform/xml/xml_document.h"
#include "suite/demodb/demodb.h"
#include "tests/support/temp_folder.h"

namespace vx::demo {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows Query(db::ISession& s, const std::string& sql, const std::vector<std::string>& args = {}) {
  auto q = s.Prepare(sql);
  for (std::size_t i = 0; i < args.size(); ++i)
    q->Bind(static_cast<int>(i), args[i]);
  Rows rows;
  while (q->Step()) {
    rows.emplace_back();
    for (int c = 0; c < q->ColumnCount(); ++c)
      rows.back().emplace_back(q->ColumnText(c));
  }
  return rows;
}

std::string One(db::ISession& s, const std::string& sql) {
  Rows r = Query(s, sql);
  return r.empty() || r[0].empty() ? "" : r[0][0];
}

class DemoDbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    CreateDemoDatabases(folder_->Path());
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  void SetUp() override { s_ = db::OpenSession(DemoConnectionString(folder_->Path())); }

  static test::TempFolder* folder_;
  std::unique_ptr<db::ISession> s_;
};
test::TempFolder* DemoDbTest::folder_ = nullptr;

TEST_F(DemoDbTest, CompanyDataIsCompleteAndConsistent) {
  EXPECT_EQ(One(*s_, "SELECT COUNT(*) FROM INVMB"), "40");
  EXPECT_EQ(One(*s_, "SELECT COUNT(*) FROM CMSMC"), "3");
  EXPECT_EQ(One(*s_, "SELECT TE002 FROM INVTE WHERE TE001 = 'W24001'"), "20241231");
  EXPECT_EQ(One(*s_, "SELECT COUNT(*) FROM INVTF WHERE TF001 = 'W24001'"), "30");
  // Three years of receipts and issues in every warehouse.
  EXPECT_EQ(One(*s_, "SELECT MIN(LA004) >= '20230101' AND MAX(LA004) <= '20251231' FROM INVLA"),
            "1");
  EXPECT_EQ(One(*s_,
                "SELECT COUNT(DISTINCT SUBSTR(LA004, 1, 4)) || COUNT(DISTINCT LA009) || "
                "COUNT(DISTINCT LA005) FROM INVLA"),
            "332");
  EXPECT_GT(std::stoi(One(*s_, "SELECT COUNT(*) FROM INVLA")), 5000);
  // The sign of the quantity follows the direction; no stock ever goes negative.
  EXPECT_EQ(One(*s_, "SELECT COUNT(*) FROM INVLA WHERE LA011 * LA005 <= 0"), "0");
  EXPECT_EQ(One(*s_,
                "SELECT COUNT(*) FROM INVLA a WHERE (SELECT SUM(LA011) FROM INVLA b WHERE "
                "b.LA001 = a.LA001 AND b.LA009 = a.LA009 AND b.LA004 <= a.LA004) < 0"),
            "0");
  // Every line names a known item and warehouse.
  EXPECT_EQ(One(*s_,
                "SELECT COUNT(*) FROM INVTF LEFT JOIN INVMB ON MB001 = TF003 LEFT JOIN "
                "CMSMC ON MC001 = TF004 WHERE MB001 IS NULL OR MC001 IS NULL"),
            "0");
  // The seeded book quantities are stale: most differ from the balance on the date.
  int stale =
      std::stoi(One(*s_,
                    "SELECT COUNT(*) FROM INVTF JOIN INVTE ON TE001 = TF001 WHERE TF005 <> "
                    "COALESCE((SELECT SUM(LA011) FROM INVLA WHERE LA001 = TF003 AND LA009 = TF004 "
                    "AND LA004 <= TE002), 0)"));
  EXPECT_GT(stale, 40);
  // The recount reads the ledger through its covering index.
  Rows plan = Query(*s_,
                    "EXPLAIN QUERY PLAN SELECT SUM(LA011) FROM INVLA WHERE LA001 = 'A1001' AND "
                    "LA009 = 'WH01' AND LA004 <= '20241231'");
  ASSERT_FALSE(plan.empty());
  EXPECT_NE(plan.back().back().find("COVERING INDEX INVLA_BALANCE"), std::string::npos)
      << plan.back().back();
}

TEST_F(DemoDbTest, SystemDataAnswersTheFramework) {
  EXPECT_EQ(
      Query(*s_,
            "SELECT MB002, MB003, MB004, MB005, MB008 FROM VXSYS.ADMMB WHERE MB001 = "
            "'STKB17'"),
      (Rows{{"盘点帐面量重计", "盤點帳面量重計", "B", "N", "Stocktaking Book Quantity Recount"}}));
  EXPECT_EQ(Query(*s_,
                  "SELECT NAME, VALUE FROM VXSYS.VRXSYS WHERE COMPANY = 'DEMO' AND NAME IN "
                  "('VRX002', 'Sys001', 'Sys002') ORDER BY NAME"),
            (Rows{{"Sys001", "1"}, {"Sys002", "/"}, {"VRX002", "示范公司"}}));
  EXPECT_EQ(One(*s_, "SELECT MA003 FROM VXSYS.DSCMA WHERE MA001 = 'DEMO'"), kCompanyFileName);
  EXPECT_EQ(One(*s_, "SELECT MA002 FROM VXSYS.VRXMA WHERE MA001 = 'DS'"), "系统管理员");
  EXPECT_EQ(Query(*s_, "SELECT MA001, MA003 FROM VXSYS.VRXINTMA ORDER BY MA001"),
            (Rows{{"Portal WS", ""}, {"StartupPortal", "N"}}));
}

// Every code the framework reports has all three languages, each taking
// exactly the arguments the framework passes.
TEST_F(DemoDbTest, MessageCatalogueHasEveryCodeWithItsArguments) {
  const std::map<std::string, int> codes = {
      {"E000001", 1}, {"W000004", 1}, {"W000002", 3}, {"W000003", 3}, {"I000003", 1},
      {"W000014", 0}, {"E000005", 1}, {"E000006", 0}, {"E000013", 1}, {"E000030", 1},
      {"I000011", 0}, {"E000036", 0}, {"E000037", 0}, {"E000038", 0}, {"I000004", 1},
      {"I000008", 0}, {"I000009", 0}, {"I000010", 0}, {"E100082", 2}, {"R200235", 0},
      {"E000015", 0}, {"E000016", 0}};
  const std::regex arg("%s");
  for (const auto& [code, args] : codes) {
    Rows r = Query(*s_, "SELECT CHS, CHT, ENG FROM VXSYS.VRXMSG WHERE KIND = :K AND ID = :I",
                   {code.substr(0, 1), code.substr(1)});
    ASSERT_EQ(r.size(), 1u) << code;
    for (const std::string& text : r[0]) {
      EXPECT_FALSE(Trim(text).empty()) << code;
      auto n = std::distance(std::sregex_iterator(text.begin(), text.end(), arg), {});
      EXPECT_EQ(n, args) << code << ": " << text;
      // No other conversion a formatter could trip over.
      EXPECT_EQ(std::count(text.begin(), text.end(), '%'), args) << code << ": " << text;
    }
  }
}

// Every query definition runs against the demo data with its arguments
// bound as :P1, :P2 ... and answers what its caller reads.
TEST_F(DemoDbTest, EveryQueryDefinitionRuns) {
  struct Case {
    std::vector<std::string> Args;
    Rows Expected;  // empty: only the row count is checked
    std::size_t RowCount;
  };
  const std::map<std::string, Case> cases = {
      {"ADMMB 01",
       {{"stkb17"},
        {{"盘点帐面量重计", "盤點帳面量重計", "B", "N", "STK", "按库存交易重算盘点底稿的帐面数量",
          "STKB17", "Stocktaking Book Quantity Recount"}},
        1}},
      {"ADMMB 11", {{"STKB05"}, {{"STKB05", "B", "STK", "Y"}}, 1}},
      {"INVTE 01",
       {{"W25"},
        {{"W25006", "20250630", "2025 年中总仓盘点"},
         {"W25009", "20250930", "2025 第三季门市仓抽盘"}},
        2}},
      {"INVTE 02", {{"W24001"}, {{"20241231"}}, 1}},
      {"VRXMA 04", {{""}, {}, 5}},
      {"GENES 01", {{"DS", "STKB17", "年终盘点"}, {{"年终盘点"}}, 1}},
  };
  Rows defs = Query(*s_, "SELECT TABLE_NAME, QUERY_NO, KIND, SQL_TEXT FROM VXSYS.VRXQRY");
  ASSERT_EQ(defs.size(), cases.size());
  for (const auto& d : defs) {
    const std::string key = d[0] + " " + d[1];
    auto c = cases.find(key);
    ASSERT_NE(c, cases.end()) << "no case for " << key;
    std::string sql = d[3];
    for (std::size_t at; (at = sql.find("$$")) != std::string::npos;)
      sql.replace(at, 2, std::string(kSystemDbName) + "..");
    auto q = s_->Prepare(sql);
    ASSERT_EQ(q->ParamNames().size(), c->second.Args.size()) << key;
    for (std::size_t i = 0; i < c->second.Args.size(); ++i)
      q->Bind("P" + std::to_string(i + 1), c->second.Args[i]);
    Rows rows;
    while (q->Step()) {
      rows.emplace_back();
      for (int col = 0; col < q->ColumnCount(); ++col)
        rows.back().emplace_back(q->ColumnText(col));
    }
    EXPECT_EQ(rows.size(), c->second.RowCount) << key;
    if (!c->second.Expected.empty()) {
      EXPECT_EQ(rows, c->second.Expected) << key;
    }
    if (d[2] == "C") {
      EXPECT_LE(rows.size(), 1u) << key;
    }
  }
}

// The alert configuration of STKB17 as the batch run reads it: two real
// definitions of event 6, one blank one, and one of another event.
TEST_F(DemoDbTest, AlertDefinitionsOfTheDirectRun) {
  Rows r = Query(*s_,
                 " SELECT MD001, MD002, MD003, MD006, ISNULL(MD007, '') MD007  FROM VXSYS..TMCMD "
                 " LEFT JOIN VXSYS..TMCMC ON MC001 = MD001 AND MC002 = MD002  WHERE UPPER(MC005) "
                 "= :MC005  AND MD004 = :MD004 ",
                 {"STKB17", "6"});
  ASSERT_EQ(r.size(), 3u);
  int real = 0;
  for (const auto& row : r) {
    const std::string def = Trim(row[4]);
    if (def.empty()) continue;
    ++real;
    auto first = def.find("||"), second = def.find("||", first + 2);
    ASSERT_NE(second, std::string::npos) << def;
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(def.substr(0, first))) << def;
    EXPECT_FALSE(doc.SelectSingleNode("//MD007/Title/@Value").Text().empty());
    EXPECT_FALSE(doc.SelectNodes("//MD007/Receiver/*").empty());
    EXPECT_NE(def.find("[**********]", first), std::string::npos);
  }
  EXPECT_EQ(real, 2);
  EXPECT_EQ(One(*s_, "SELECT COUNT(*) FROM ADMTC") + One(*s_, "SELECT COUNT(*) FROM ADMTD"), "00");
}

TEST(DemoDbBuild, IsDeterministicAndRecreatesFresh) {
  test::TempFolder a, b;
  CreateDemoDatabases(a.Path());
  CreateDemoDatabases(b.Path());
  const std::string digest =
      "SELECT COUNT(*), TOTAL(LA011), GROUP_CONCAT(LA001 || LA004 || LA011, ',') FROM "
      "(SELECT * FROM INVLA ORDER BY LA006, LA007, LA008)";
  const std::string lines =
      "SELECT GROUP_CONCAT(TF003 || TF004 || TF005 || '/' || TF006) FROM INVTF";
  auto sa = db::OpenSession(DemoConnectionString(a.Path()));
  auto sb = db::OpenSession(DemoConnectionString(b.Path()));
  EXPECT_EQ(Query(*sa, digest), Query(*sb, digest));
  EXPECT_EQ(One(*sa, lines), One(*sb, lines));
  // A second build over the first starts from nothing again.
  sa->Execute("DELETE FROM INVTF");
  sa.reset();
  CreateDemoDatabases(a.Path());
  sa = db::OpenSession(DemoConnectionString(a.Path()));
  EXPECT_EQ(One(*sa, lines), One(*sb, lines));
}

TEST(DemoDbBuild, LargeLedgerSpreadsEntriesOverTheWorksheetsItems) {
  test::TempFolder f;
  CreateDemoDatabases(f.Path());
  auto s = db::OpenSession(DemoConnectionString(f.Path()));
  const int seeded = std::stoi(One(*s, "SELECT COUNT(*) FROM INVLA"));
  std::vector<std::int64_t> progress;
  GenerateLargeLedger(*s, {1000, 10, [&](std::int64_t done, std::int64_t total) {
                             EXPECT_EQ(total, 1000);
                             progress.push_back(done);
                           }});
  EXPECT_EQ(std::stoi(One(*s, "SELECT COUNT(*) FROM INVLA")), seeded + 1000);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 1000);
  EXPECT_EQ(One(*s,
                "SELECT COUNT(*) || '/' || COUNT(DISTINCT TF003 || TF004) FROM INVTF WHERE "
                "TF001 = 'WBENCH'"),
            "10/10");
  // Each line's item and warehouse has entries of its own, and stock stays >= 0.
  EXPECT_EQ(One(*s,
                "SELECT COUNT(*) FROM INVTF WHERE TF001 = 'WBENCH' AND NOT EXISTS (SELECT 1 "
                "FROM INVLA WHERE LA001 = TF003 AND LA009 = TF004)"),
            "0");
  EXPECT_EQ(One(*s,
                "SELECT COUNT(*) FROM (SELECT SUM(LA011) b FROM INVLA WHERE LA006 = 'G001' "
                "GROUP BY LA001, LA009) WHERE b < 0"),
            "0");
  EXPECT_THROW(GenerateLargeLedger(*s, {-1, 0, {}}), Exception);
  EXPECT_THROW(GenerateLargeLedger(*s, {0, kMaxWorksheetLines + 1, {}}), Exception);
}

int RunTool(const std::string& args, const test::TempFolder& f) {
  std::string cmd = std::string(VX_DEMODB_TOOL) + " " + args + " >" + f.Path("out.txt") + " 2>" +
                    f.Path("err.txt");
  int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(DemoDbTool, BuildsTheFolderAndReportsProgressAndBadArguments) {
  test::TempFolder f;
  EXPECT_EQ(RunTool("--ledger 300 --lines 4 " + f.Path("db"), f), 0) << f.Read("err.txt");
  EXPECT_NE(f.Read("err.txt").find("ledger 300 of 300 entries (100%)"), std::string::npos);
  auto s = db::OpenSession(DemoConnectionString(f.Path("db")));
  EXPECT_EQ(One(*s, "SELECT COUNT(*) FROM INVTF WHERE TF001 = 'WBENCH'"), "4");
  for (const char* bad : {"", "--ledger x db", "--ledger -5 db", "--lines 2000000 db", "a b"})
    EXPECT_EQ(RunTool(bad, f), 2) << bad;
  f.Write("file", "x");
  EXPECT_EQ(RunTool(f.Path("file"), f), 1);
  EXPECT_NE(f.Read("err.txt").find("vxdemodb: "), std::string::npos);
}

}  // namespace
}  // namespace vx::demo
