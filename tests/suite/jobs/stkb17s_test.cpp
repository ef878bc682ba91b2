// The recount server library through its export, as the batch run calls it:
// balances against an independent aggregation, the date boundary,
// idempotence, the log, and nothing changed when the run fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/svrctrl.h"
#include "platform/db/engine.h"
#include "platform/os/dynlib.h"
#include "platform/os/paths.h"
#include "platform/rtl/text.h"
#include "suite/demodb/demodb.h"
#include "tests/support/temp_folder.h"

namespace vx::jobs {
namespace {

using test::ScopedEnv;
using test::TempFolder;

// Worksheet lines of every sheet, in a fixed order, as text.
std::vector<std::string> Lines(db::ISession& s) {
  std::vector<std::string> out;
  auto q = s.Prepare("SELECT TF001, TF002, TF003, TF004, TF005 FROM INVTF ORDER BY TF001, TF002");
  while (q->Step())
    out.push_back(std::string(q->ColumnText(0)) + "|" + std::string(q->ColumnText(1)) + "|" +
                  std::string(q->ColumnText(2)) + "|" + std::string(q->ColumnText(3)) + "|" +
                  std::string(q->ColumnText(4)));
  return out;
}

Variant Values(const std::string& sheet, const std::string& date, const std::string& log = "N") {
  Variant v = VarArrayCreate(1, 4);
  v[1] = sheet;
  v[2] = date;
  v[3] = log;
  v[4] = "20250105";
  return v;
}

Variant BatchArgs(const Variant& values, const std::string& job = "20250105000001",
                  const std::string& company = "DEMO", const std::string& system = "VXSYS") {
  return VarArrayOf({job, company, "DS", values, system, "200501050001", std::int32_t{3}});
}

class Stkb17sTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    seed_ = new TempFolder;
    demo::CreateDemoDatabases(seed_->Path());
  }
  static void TearDownTestSuite() {
    delete seed_;
    seed_ = nullptr;
  }

  void SetUp() override {
    // Every test works on its own copy of the seeded databases.
    for (const char* f : {demo::kCompanyFileName, demo::kSystemFileName})
      std::filesystem::copy_file(seed_->Path(f), dir_.Path(f));
    lib_ = std::make_unique<TDynLib>(VX_STKB17S_LIBRARY);
    ASSERT_TRUE(lib_->Loaded()) << lib_->Error();
    auto get = lib_->Function<TGetSvrControllerFunc>("GetSvrController");
    ASSERT_NE(get, nullptr);
    controller_.reset(get());
    ASSERT_NE(controller_, nullptr);
    s_ = db::OpenSession(demo::DemoConnectionString(dir_.Path()));
  }
  void TearDown() override {
    controller_.reset();
    lib_.reset();
  }

  // Runs the job; the messages it gives back (empty on success).
  std::string Run(const Variant& args, bool expect_ok = true) {
    controller_->Run(args);
    std::u16string text = u"stale";
    controller_->GetMessages(text);
    EXPECT_EQ(text.empty(), expect_ok) << Utf16ToUtf8(text);
    return Utf16ToUtf8(text);
  }

  // The balance by a plain aggregation of the ledger.
  std::string Balance(const std::string& item, const std::string& wh, const std::string& date) {
    auto q = s_->Prepare(
        "SELECT TOTAL(LA011) FROM INVLA WHERE LA001 = :I AND LA009 = :W AND LA004 <= :D");
    q->Bind("I", item);
    q->Bind("W", wh);
    q->Bind("D", date);
    EXPECT_TRUE(q->Step());
    return FloatToStr(q->ColumnDouble(0));
  }

  // Every line of the sheet against the aggregation; the number that matched.
  int ExpectBalances(const std::string& sheet, const std::string& date) {
    auto q = s_->Prepare("SELECT TF003, TF004, TF005 FROM INVTF WHERE TF001 = :S ORDER BY TF002");
    q->Bind("S", sheet);
    int n = 0;
    while (q->Step()) {
      std::string item(q->ColumnText(0)), wh(q->ColumnText(1));
      EXPECT_EQ(FloatToStr(q->ColumnDouble(2)), Balance(item, wh, date)) << item << " " << wh;
      ++n;
    }
    return n;
  }

  static TempFolder* seed_;
  TempFolder dir_;
  ScopedEnv connect_{"VX_JOB_CONNECT", demo::DemoConnectionString(dir_.Path())};
  ScopedEnv log_dir_{"VX_JOB_LOG_DIR", dir_.Path("Log")};
  std::unique_ptr<TDynLib> lib_;
  std::unique_ptr<TSvrController> controller_;
  std::unique_ptr<db::ISession> s_;
};
TempFolder* Stkb17sTest::seed_ = nullptr;

TEST_F(Stkb17sTest, NoMessagesBeforeTheFirstRun) {
  std::u16string text = u"x";
  controller_->GetMessages(text);
  EXPECT_TRUE(text.empty());
}

TEST_F(Stkb17sTest, BookQuantitiesBecomeTheLedgerBalanceOnTheWorksheetDate) {
  const std::vector<std::string> before = Lines(*s_);
  EXPECT_EQ(Run(BatchArgs(Values("W24001", ""))), "");
  // Only the sheet's lines change, each to the plain aggregation's balance.
  EXPECT_EQ(ExpectBalances("W24001", "20241231"), 30);
  const std::vector<std::string> after = Lines(*s_);
  ASSERT_EQ(after.size(), before.size());
  int changed = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    EXPECT_TRUE(StartsText("W24001|", after[i])) << after[i];
    ++changed;
  }
  EXPECT_GT(changed, 20);
  // A line whose item never moved in its warehouse counts 0.
  EXPECT_EQ(Run(BatchArgs(Values("W25009", ""))), "");
  EXPECT_EQ(ExpectBalances("W25009", "20250930"), 13);
}

TEST_F(Stkb17sTest, GivenDateReplacesTheWorksheetsOwn) {
  EXPECT_EQ(Run(BatchArgs(Values("W25006", "20231231"))), "");
  EXPECT_EQ(ExpectBalances("W25006", "20231231"), 40);
}

// An entry on the stocktaking date counts; one on the day after does not.
TEST_F(Stkb17sTest, EntriesOnTheDateCountAndLaterOnesDoNot) {
  s_->Execute(
      "INSERT INTO INVLA VALUES ('B2003', '20241231', 1, '3401', 'T1', 1, 'WH02', 7.25), "
      "('B2003', '20250101', 1, '3401', 'T2', 1, 'WH02', 1000), "
      "('B2003', '20241230', -1, '2301', 'T3', 1, 'WH02', -0.5)");
  s_->Execute("INSERT INTO INVTF VALUES ('W24001', 31, 'B2003', 'WH02', 0, 0)");
  const std::string on_day_before = Balance("B2003", "WH02", "20241230");
  EXPECT_EQ(Run(BatchArgs(Values("W24001", "20241231"))), "");
  auto q = s_->Prepare("SELECT TF005 FROM INVTF WHERE TF001 = 'W24001' AND TF002 = 31");
  ASSERT_TRUE(q->Step());
  EXPECT_EQ(FloatToStr(q->ColumnDouble(0)), FloatToStr(*TryStrToFloat(on_day_before) + 7.25));
  EXPECT_EQ(ExpectBalances("W24001", "20241231"), 31);
}

TEST_F(Stkb17sTest, SecondRunChangesNothingAndLogsNoChange) {
  EXPECT_EQ(Run(BatchArgs(Values("W24001", "", "Y"), "J1")), "");
  const std::vector<std::string> once = Lines(*s_);
  EXPECT_EQ(Run(BatchArgs(Values("W24001", "", "y"), "J2")), "");
  EXPECT_EQ(Lines(*s_), once);
  const std::string log = dir_.Read("Log/STKB17S_J2.log");
  EXPECT_NE(log.find("共 30 行, 变更 0 行"), std::string::npos) << log;
}

TEST_F(Stkb17sTest, LogListsEveryChangedLineWithOldAndNewQuantity) {
  const std::vector<std::string> before = Lines(*s_);
  EXPECT_EQ(Run(BatchArgs(Values("W24001", "", "Y"), "20250105000007")), "");
  const std::vector<std::string> after = Lines(*s_);
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    // "W24001|line|item|wh|qty" -> "line\titem\twh\told\tnew"
    std::vector<std::string> b, a;
    for (auto* parts : {&b, &a}) {
      const std::string& text = parts == &b ? before[i] : after[i];
      std::size_t start = 0;
      for (std::size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
        parts->push_back(text.substr(start, bar - start));
      parts->push_back(text.substr(start));
    }
    expected.push_back(b[1] + "\t" + b[2] + "\t" + b[3] + "\t" + FloatToStr(*TryStrToFloat(b[4])) +
                       "\t" + FloatToStr(*TryStrToFloat(a[4])));
  }
  ASSERT_FALSE(expected.empty());
  const std::string log = dir_.Read("Log/STKB17S_20250105000007.log");
  std::vector<std::string> logged;
  std::size_t start = 0;
  for (std::size_t nl; (nl = log.find('\n', start)) != std::string::npos; start = nl + 1)
    logged.push_back(log.substr(start, nl - start));
  ASSERT_EQ(logged.size(), expected.size() + 4) << log;
  EXPECT_NE(logged[1].find("盘点底稿 W24001  盘点日期 20241231"), std::string::npos) << logged[1];
  EXPECT_EQ(std::vector<std::string>(logged.begin() + 3, logged.end() - 1), expected);
  EXPECT_EQ(logged.back(), "共 30 行, 变更 " + std::to_string(expected.size()) + " 行");
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("Log/STKB17S_20250105000007.log.tmp")));
  // Without "Y" no log is written.
  EXPECT_EQ(Run(BatchArgs(Values("W25006", ""), "J9")), "");
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("Log/STKB17S_J9.log")));
}

// Every failure leaves every line as it was and says why.
TEST_F(Stkb17sTest, FailuresChangeNothingAndGiveTheReason) {
  Variant twelve = VarArrayCreate(0, 11);
  Variant short_values = VarArrayCreate(1, 2);
  short_values[1] = "W24001";
  Variant six = VarArrayOf({"J", "DEMO", "DS", Values("W24001", ""), "VXSYS", "S"});
  Variant nested = BatchArgs(Values("W24001", ""));
  nested[0] = VarArrayOf({"J"});
  struct Case {
    const char* Name;
    Variant Args;
    const char* Reason;
  } cases[] = {
      {"unknown worksheet", BatchArgs(Values("W99999", "")), "盘点底稿 W99999 不存在"},
      {"empty worksheet", BatchArgs(Values("", "")), "盘点底稿编号不可空白"},
      {"not an array", Variant("W24001"), "参数不是一维阵列"},
      {"twelve elements", twelve, "12 个元素"},
      {"six elements", six, "应有 7 个元素, 收到 6 个"},
      {"values not an array", BatchArgs(Variant("W24001")), "选择条件信息不是一维阵列"},
      {"values too short", BatchArgs(short_values), "至少应有 3 项"},
      {"no such day", BatchArgs(Values("W24001", "20240230")), "不是 YYYYMMDD 格式的有效日期"},
      {"date style", BatchArgs(Values("W24001", "2024/12/31")), "不是 YYYYMMDD"},
      {"log flag", BatchArgs(Values("W24001", "", "YES")), "生成Log文档应为 Y 或 N"},
      {"job id as a path", BatchArgs(Values("W24001", "", "Y"), "../../x"), "含有不允许的字符"},
      {"job id an array", nested, "作业编号不是文字"},
      {"company as a path", BatchArgs(Values("W24001", ""), "J", "../DEMO"),
       "不是有效的数据库名称"},
      {"worksheet too long", BatchArgs(Values(std::string(65, 'W'), "")), "超过 64 个字节"},
  };
  const std::vector<std::string> before = Lines(*s_);
  for (const Case& c : cases) {
    const std::string text = Run(c.Args, false);
    EXPECT_TRUE(StartsText("盘点帐面量重计失败: ", text)) << c.Name << ": " << text;
    EXPECT_NE(text.find(c.Reason), std::string::npos) << c.Name << ": " << text;
  }
  EXPECT_EQ(Lines(*s_), before);
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("Log")));
  // A later good run clears the messages.
  EXPECT_EQ(Run(BatchArgs(Values("W24001", ""))), "");
}

TEST_F(Stkb17sTest, LockedDatabaseFailsAfterItsBusyTimeout) {
  ScopedEnv connect("VX_JOB_CONNECT", demo::DemoConnectionString(dir_.Path()) + ";Busy Timeout=50");
  const std::vector<std::string> before = Lines(*s_);
  {
    auto other = db::OpenSession(demo::DemoConnectionString(dir_.Path()));
    db::TTransaction hold(*other, db::TTransactionMode::Immediate);
    const std::string text = Run(BatchArgs(Values("W24001", "", "Y")), false);
    EXPECT_NE(text.find("数据库正被其他作业使用"), std::string::npos) << text;
  }
  EXPECT_EQ(Lines(*s_), before);
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("Log")));
}

// The log is part of the job: when it cannot be written the recount is undone.
TEST_F(Stkb17sTest, LogThatCannotBeWrittenUndoesTheRecount) {
  ScopedEnv log_dir("VX_JOB_LOG_DIR", dir_.Write("not-a-folder", "x"));
  const std::vector<std::string> before = Lines(*s_);
  const std::string text = Run(BatchArgs(Values("W24001", "", "Y")), false);
  EXPECT_NE(text.find("无法建立 Log 文件夹"), std::string::npos) << text;
  EXPECT_EQ(Lines(*s_), before);
}

// The connection comes from the environment, else from STKB17S.ini beside
// the library; the job's company and system database fill its placeholders.
TEST_F(Stkb17sTest, ConnectionStringFromTheEnvironmentWithPlaceholders) {
  {
    ScopedEnv connect("VX_JOB_CONNECT", "Provider=SQLite;Data Source=" + dir_.Path() +
                                            "/%CompanyID%.db;Attach %SystemDB%=" + dir_.Path() +
                                            "/VXSYS.db");
    EXPECT_EQ(Run(BatchArgs(Values("W24001", ""))), "");
    const std::string text = Run(BatchArgs(Values("W24001", ""), "J", "OTHER"), false);
    EXPECT_NE(text.find("无法连接公司 OTHER 的数据库"), std::string::npos) << text;
  }
  ExpectBalances("W24001", "20241231");
  ScopedEnv none("VX_JOB_CONNECT", std::nullopt);
  // No STKB17S.ini stands beside the test build's library.
  ASSERT_FALSE(std::filesystem::exists(ExtractFilePath(lib_->FileName()) + "STKB17S.ini"));
  const std::string text = Run(BatchArgs(Values("W24001", "")), false);
  EXPECT_NE(text.find("没有数据库连接设定"), std::string::npos) << text;
}

// Without the environment, the settings come from STKB17S.ini beside the
// library (here a copy of it in a folder of its own).
TEST_F(Stkb17sTest, SettingsFromTheFileBesideTheLibrary) {
  const std::string folder = dir_.MakeFolder("S_PKG");
  std::filesystem::copy_file(VX_STKB17S_LIBRARY, folder + "/STKB17S.so");
  dir_.Write("S_PKG/STKB17S.ini", "[Job]\nConnectString=\"" +
                                      demo::DemoConnectionString(dir_.Path()) +
                                      "\"\nLogFolder=" + dir_.Path("logs") + "\n");
  ScopedEnv no_connect("VX_JOB_CONNECT", std::nullopt);
  ScopedEnv no_log("VX_JOB_LOG_DIR", std::nullopt);
  TDynLib copy(folder + "/STKB17S.so");
  ASSERT_TRUE(copy.Loaded()) << copy.Error();
  std::unique_ptr<TSvrController> c(copy.Function<TGetSvrControllerFunc>("GetSvrController")());
  c->Run(BatchArgs(Values("W24001", "", "Y"), "INI1"));
  std::u16string text = u"x";
  c->GetMessages(text);
  EXPECT_EQ(Utf16ToUtf8(text), "");
  ExpectBalances("W24001", "20241231");
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("logs/STKB17S_INI1.log")));
}

}  // namespace
}  // namespace vx::jobs
