// The manager and its service objects against the demo company's databases,
// driven as the module drives them: late-bound, with by-reference arguments.
#include "suite/manager/manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/strs.h"
#include "platform/automation/class_registry.h"
#include "platform/db/engine.h"
#include "platform/rtl/datetime.h"
#include "suite/demodb/demodb.h"
#include "suite/vazuvirure/release_store.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

using manager::CreateManager;
using manager::TManager;

// What the tests add to the demo's system database.
constexpr const char* kExtraSystemRows = R"(
INSERT INTO DSCMA VALUES ('EVIL', 'outside', '../VXSYS.db');
INSERT INTO DSCMA VALUES ('GONE', 'no file', 'GONE.db');
INSERT INTO VRXMSG VALUES ('I', '900001', '只有简体', '', '');
INSERT INTO VRXQRY VALUES ('BADQ', '01', 'C', 'SELECT MB001 FROM $$ADMMB WHERE MB001 = :X', 0, '', '');
INSERT INTO VRXQRY VALUES ('INVTE', '08', 'L', 'SELECT TE001, TE004 FROM INVTE ORDER BY TE001', 0, 'TE004', '');
)";

std::string LimitText(const std::string& prefix, const std::vector<std::string>& values) {
  std::string text = prefix + '\x03' + std::to_string(values.size()) + '\x03';
  for (const auto& v : values)
    text += v + '\x03';
  return text;
}

// The lookup request as the base form builds it.
Variant LookupRequest(const std::string& table, const std::string& query, Variant args,
                      const std::string& start = "", int product = 2,
                      const std::string& limit = "") {
  Variant r = VarArrayCreate(0, 18);
  r[0] = table;
  r[1] = query;
  r[2] = std::move(args);
  r[3] = false;
  r[4] = start;
  r[5] = "DEMO";
  r[6] = "VXSYS";
  r[7] = 0;
  r[8] = 1;
  r[9] = false;
  r[10] = product;
  r[11] = r[12] = r[13] = "";
  r[14] = limit;
  r[15] = r[16] = false;
  r[18] = "DS";
  return r;
}

// Column 0 of every row of an array of rows.
std::vector<std::string> FirstColumn(const Variant& rows) {
  std::vector<std::string> out;
  if (!rows.IsArray()) return out;
  for (int i = rows.LowBound(); i <= rows.HighBound(); ++i)
    out.push_back(VarToStr(rows[i][0]));
  return out;
}

class ManagerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    demo::CreateDemoDatabases(folder_->Path("Data"));
    db::OpenSession("Data Source=" + folder_->Path("Data/VXSYS.db"))
        ->ExecuteScript(kExtraSystemRows);
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  static manager::TManagerConfig Config(const std::string& code_page = "936") {
    manager::TManagerConfig config = manager::ConfigForInstallation(folder_->Path());
    config.CompanyID = "DEMO";
    config.UICodePage = code_page;
    return config;
  }

  void SetUp() override {
    mgr_ = CreateManager(Config());
    manager_ = DispatchPtr(mgr_);
    counter_ = Get(manager_, "Com_Counter");
    validator_ = Get(manager_, "Com_Validator");
    f2_ = Get(manager_, "Com_F2Window");
  }

  Variant Counter(const std::string& name, Variant args,
                  Variant where = VarArrayOf({"DEMO", "VXSYS"})) {
    return Call(counter_, "GetCounter", {name, Ref(args), where});
  }
  Variant SimpleSQL(const std::string& sql, const std::string& column = "") {
    return Counter("SIMPLESQL", VarArrayOf({sql, column}));
  }
  // CheckValue or QueryData: found, and the result through the reference.
  bool Check(const char* method, std::string table, std::string query, Variant args,
             Variant& result, int product = 2, const std::string& limit = "") {
    Put(validator_, "ProductID", product);
    Put(validator_, "BaseLimited", limit);
    Variant t = table, q = query, sys = "VXSYS";
    return Call(validator_, method, {Ref(t), Ref(q), Ref(sys), Ref(args), Ref(result)}).ToBool();
  }

  static test::TempFolder* folder_;
  std::shared_ptr<TManager> mgr_;
  Variant manager_, counter_, validator_, f2_;
};

test::TempFolder* ManagerTest::folder_ = nullptr;

TEST_F(ManagerTest, AnswersVersionProductAndTheSameServiceObjects) {
  EXPECT_EQ(Call(manager_, "VersionType").ToInt(), 1);
  EXPECT_EQ(Call(manager_, "ProductID").ToInt(), 2);
  EXPECT_TRUE(counter_.IsDispatch());
  EXPECT_EQ(Get(manager_, "Com_Counter").ToDispatch(), counter_.ToDispatch());
  EXPECT_THROW(Call(manager_, "NoSuchMethod"), EOleSysError);
}

TEST_F(ManagerTest, SystemInformationOfTheCompanyAsNameValueColumns) {
  Variant company = "DEMO";
  Variant info = Call(counter_, "GetSysInfo", {Ref(company)});
  ASSERT_EQ(info.DimCount(), 2);
  EXPECT_EQ(info.LowBound(1), 0);
  EXPECT_EQ(info.HighBound(1), 1);
  std::map<std::string, std::string> values;
  for (int i = info.LowBound(2); i <= info.HighBound(2); ++i)
    values[VarToStr(info.At({0, i}))] = VarToStr(info.At({1, i}));
  EXPECT_EQ(values.size(), 7u);
  EXPECT_EQ(values["VRX002"], "示范公司");
  EXPECT_EQ(values["Sys002"], "/");

  Variant unknown = "NOBODY";
  Variant none = Call(counter_, "GetSysInfo", {Ref(unknown)});
  ASSERT_EQ(none.DimCount(), 2);
  EXPECT_EQ(none.HighBound(2) - none.LowBound(2) + 1, 0);
}

TEST_F(ManagerTest, MessageTemplatesInTheInterfaceLanguage) {
  struct Case {
    const char* code_page;
    const char* kind;
    const char* id;
    std::string expected;
  } cases[] = {
      {"936", "E", "000037", "必填栏位不可空白!"},
      {"950", "E", "000037", "必填欄位不可空白!"},
      {"437", "E", "000037", "A required field is empty!"},
      {"437", "I", "-000004", "The job was submitted as %s"},
      // A missing translation falls back to the Simplified text.
      {"437", "I", "900001", "只有简体"},
      {"936", "E", "999999", "Message E;999999 is not in the message catalogue"},
  };
  for (const Case& c : cases) {
    auto m = CreateManager(Config(c.code_page));
    EXPECT_EQ(Call(Variant(DispatchPtr(m)), "GetMessage", {c.kind, c.id}).ToText(), c.expected)
        << c.code_page << " " << c.kind << c.id;
  }
  for (auto [kind, id] :
       {std::pair{"EE", "000001"}, {"E", "12345"}, {"E", "00000x"}, {"%", "000001"}})
    EXPECT_THROW(Call(manager_, "GetMessage", {kind, id}), EOleException) << kind << id;
}

TEST_F(ManagerTest, ConnectionStringOpensTheCompanyWithTheSystemDatabaseAttached) {
  std::string cs = Counter("RESULTCONNECTSTRING", VarArrayOf({""})).ToText();
  auto session = db::OpenSession(cs);
  auto q = session->Prepare(
      "SELECT (SELECT COUNT(*) FROM INVTE), (SELECT MB008 FROM VXSYS..ADMMB WHERE MB001 = "
      "'STKB17')");
  ASSERT_TRUE(q->Step());
  EXPECT_EQ(q->ColumnInt64(0), 3);
  EXPECT_EQ(q->ColumnText(1), "Stocktaking Book Quantity Recount");
  EXPECT_FALSE(session->ReadOnly());  // the batch run writes its alert messages

  struct Case {
    Variant where;
    const char* reason;
  } refusals[] = {
      {VarArrayOf({"NOBODY", "VXSYS"}), "not in the company table"},
      {VarArrayOf({"EVIL", "VXSYS"}), "names no valid database file"},
      {VarArrayOf({"GONE", "VXSYS"}), "does not exist"},
      {VarArrayOf({"DEMO", "VX;SYS"}), "cannot name a system database"},
      {VarArrayOf({"DEMO", "NOSYS"}), "does not exist"},
      {VarArrayOf({VarArrayOf({"DEMO"}), "VXSYS"}), "must be a text"},
  };
  for (Case& c : refusals) {
    try {
      Counter("RESULTCONNECTSTRING", VarArrayOf({""}), c.where);
      ADD_FAILURE() << c.reason;
    } catch (const EOleException& e) {
      EXPECT_NE(e.Message().find(c.reason), std::string::npos) << e.Message();
    }
  }
  EXPECT_TRUE(VarIsEmpty(Counter("NOSUCHCOUNTER", VarArrayOf({""}))));
}

TEST_F(ManagerTest, SimpleSqlReadsTheSettingsTables) {
  Variant portal = SimpleSQL("SELECT MA003 FROM VRXINTMA WHERE MA001='StartupPortal' ", "MA003");
  ASSERT_TRUE(portal.IsArray());
  EXPECT_EQ(VarToStr(portal[0][0]), "N");

  EXPECT_EQ(FirstColumn(SimpleSQL("SELECT i.MA001, s.VALUE FROM VXSYS..VRXINTMA i JOIN VRXSYS s "
                                  "ON s.NAME = 'Sys002' ORDER BY i.MA001")),
            (std::vector<std::string>{"Portal WS", "StartupPortal"}));
  // The named column alone, whatever else the query selects.
  EXPECT_EQ(VarToStr(SimpleSQL("SELECT MA001, MA003 FROM VRXINTMA WHERE MA001 = 'StartupPortal'",
                               "ma003")[0][0]),
            "N");
  EXPECT_EQ(
      FirstColumn(SimpleSQL("SELECT UPPER(a.MA001) FROM VRXINTMA AS a "
                            "WHERE a.MA001 IN (SELECT NAME FROM VRXSYS WHERE COMPANY = 'DEMO') "
                            "OR a.MA001 LIKE 'Start%';")),
      (std::vector<std::string>{"STARTUPPORTAL"}));
  EXPECT_TRUE(VarIsEmpty(SimpleSQL("SELECT MA003 FROM VRXINTMA WHERE MA001 = 'none'")));
}

TEST_F(ManagerTest, SimpleSqlRefusesWritesOtherTablesAndMoreThanOneStatement) {
  const char* refused[] = {
      "UPDATE VRXINTMA SET MA003 = 'Y'",
      "DELETE FROM VRXINTMA",
      "INSERT INTO VRXINTMA VALUES ('a', 'b', 'c')",
      "SELECT MA003 FROM VRXINTMA; DELETE FROM VRXINTMA",
      "SELECT MA003 FROM VRXINTMA; SELECT 1",
      "ATTACH DATABASE 'x.db' AS X",
      "PRAGMA writable_schema = 1",
      "WITH x AS (SELECT 1) SELECT * FROM x",
      "SELECT MA002 FROM VRXMA",
      "SELECT * FROM INVTE",
      "SELECT * FROM \"VRXMA\"",
      "SELECT * FROM [DSCMA]",
      "SELECT * FROM DEMO..INVTE",
      "SELECT * FROM main.sqlite_master",
      "SELECT name FROM sqlite_schema",
      "SELECT * FROM (SELECT * FROM VRXMA)",
      "SELECT * FROM (VRXINTMA, VRXMA)",
      "SELECT * FROM VRXINTMA JOIN (VRXINTMA, VRXMA) ON 1 = 1",
      "SELECT (SELECT MA002 FROM VRXMA) FROM VRXINTMA",
      "SELECT * FROM VRXINTMA JOIN VRXMA ON 1 = 1",
      "SELECT * FROM VRXINTMA WHERE MA001 IN VRXMA",
      "SELECT * FROM VRXINTMA a, VRXINTMA b, VRXINTMA c",
      "SELECT * FROM pragma_table_info('VRXMA')",
      "SELECT load_extension('evil') FROM VRXINTMA",
      "SELECT randomblob(1000000000) FROM VRXINTMA",
      "SELECT MA003 FROM VRXINTMA WHERE MA001 = :P1",
      "SELECT MA003 FROM VRXINTMA WHERE MA001 = ?",
      "SELECT MA003 FROM VRXINTMA WHERE MA001 = 'unterminated",
      "SELECT MA003 FROM VRXINTMA /* open comment",
      "",
      "SELECT MA009 FROM VRXINTMA",
  };
  for (const char* sql : refused)
    EXPECT_THROW(SimpleSQL(sql), EOleException) << sql;
  EXPECT_THROW(SimpleSQL("SELECT MA003 FROM VRXINTMA", "NOSUCH"), EOleException);
  EXPECT_THROW(SimpleSQL(std::string(20000, ' ') + "SELECT MA003 FROM VRXINTMA"), EOleException);
  EXPECT_THROW(Counter("SIMPLESQL", "SELECT MA003 FROM VRXINTMA"), EOleException);
  // Nothing was changed by any of them.
  EXPECT_EQ(VarToStr(SimpleSQL("SELECT COUNT(*) FROM VRXINTMA WHERE MA003 = 'N'")[0][0]), "1");
}

TEST_F(ManagerTest, ValidatorChecksFromTheQueryDefinitions) {
  Variant result;
  ASSERT_TRUE(Check("CheckValue", "ADMMB", "01", VarArrayOf({"stkb17"}), result));
  EXPECT_EQ(VarToStr(result[0]), "盘点帐面量重计");
  EXPECT_EQ(VarToStr(result[7]), "Stocktaking Book Quantity Recount");
  ASSERT_TRUE(Check("CheckValue", "ADMMB", "11", VarArrayOf({"STKB05"}), result));
  EXPECT_EQ(VarToStr(result[3]), "Y");
  // A company table, through the signed-in company's database.
  ASSERT_TRUE(Check("CheckValue", "INVTE", "02", VarArrayOf({"W25006"}), result));
  EXPECT_EQ(VarToStr(result[0]), "20250630");

  EXPECT_FALSE(Check("CheckValue", "ADMMB", "01", VarArrayOf({"NOPROG"}), result));
  EXPECT_TRUE(VarIsEmpty(result));
  EXPECT_FALSE(Check("CheckValue", "NOTABLE", "01", VarArrayOf({"x"}), result));
  EXPECT_FALSE(Check("CheckValue", "ADMMB", "99", VarArrayOf({"x"}), result));

  // The scheme check serves product 2 and above.
  Variant scheme = VarArrayOf({"DS", "STKB17", "年终盘点"});
  EXPECT_FALSE(Check("CheckValue", "GENES", "01", scheme, result, 1));
  EXPECT_TRUE(Check("CheckValue", "GENES", "01", scheme, result, 2));

  // A definition naming other parameters than :P1, :P2 ... is a fault of the
  // definition, reported as such.
  EXPECT_THROW(Check("CheckValue", "BADQ", "01", VarArrayOf({"x"}), result), EOleException);
  EXPECT_THROW(Check("CheckValue", "ADMMB", "01", VarArrayOf({VarArrayOf({"x"})}), result),
               EOleException);
}

TEST_F(ManagerTest, ValidatorListsRestrictedByTheLimitText) {
  struct Case {
    const char* query;
    std::string limit;
    std::vector<std::string> rows;
  } cases[] = {
      {"01", "", {"W24001", "W25006", "W25009"}},
      {"01", LimitText("WH", {}), {"W24001", "W25006", "W25009"}},
      {"01", LimitText("WH", {"WH01"}), {"W25006"}},
      {"01", LimitText("WH", {"WH01", "WH03"}), {"W25006", "W25009"}},
      // The limit column shown in the list or not, the answer is the same.
      {"08", LimitText("WH", {"WH03"}), {"W25009"}},
      {"01", LimitText("WH", {"WH02"}), {}},
  };
  for (const Case& c : cases) {
    Variant result;
    bool found = Check("QueryData", "INVTE", c.query, VarArrayOf({""}), result, 2, c.limit);
    EXPECT_EQ(found, !c.rows.empty()) << c.query << " " << c.rows.size();
    EXPECT_EQ(FirstColumn(result), c.rows);
    // The columns of the definition only, not the limit column read for it.
    if (found) {
      EXPECT_EQ(result[0].HighBound(), std::string(c.query) == "01" ? 2 : 1);
    }
  }
  Variant result;
  for (std::string bad : {std::string("WH\x03"
                                      "2\x03WH01\x03"),
                          std::string("WH\x03x\x03"),
                          std::string("WH\x03"
                                      "1\x03WH01")})
    EXPECT_THROW(Check("QueryData", "INVTE", "01", VarArrayOf({""}), result, 2, bad),
                 EOleException);
}

TEST_F(ManagerTest, LookupWindowAnswersByItsRule) {
  auto chosen = [&](Variant request) { return FirstColumn(Call(f2_, "F2GetData", {request})); };
  Variant all = LookupRequest("INVTE", "01", VarArrayOf({""}));
  EXPECT_EQ(chosen(all), std::vector<std::string>{"W24001"});  // the first row

  mgr_->ScriptedAnswers().Push("invte;01", "W25009");
  mgr_->ScriptedAnswers().Push("INVTE;01", "");
  EXPECT_EQ(chosen(all), std::vector<std::string>{"W25009"});
  EXPECT_TRUE(chosen(all).empty());  // the user chose nothing
  EXPECT_EQ(chosen(all), std::vector<std::string>{"W24001"});

  // The starting text and the limit narrow the rows offered.
  EXPECT_EQ(chosen(LookupRequest("INVTE", "01", VarArrayOf({""}), "w250")),
            std::vector<std::string>{"W25006"});
  EXPECT_EQ(
      chosen(LookupRequest("INVTE", "01", VarArrayOf({""}), "", 2, LimitText("WH", {"WH03"}))),
      std::vector<std::string>{"W25009"});
  EXPECT_TRUE(VarIsEmpty(Call(f2_, "F2GetData", {LookupRequest("NOTABLE", "01", "")})));

  // Standing answers from the environment.
  {
    test::ScopedEnv env("VX_F2_ANSWERS", "VRXMA;04=WANGL | DATE=20250115");
    test::ScopedEnv file(
        "VX_F2_ANSWERS_FILE",
        folder_->Write("answers.txt", "# standing answers\nPHRASE = 盘点\nbroken\n"));
    auto m = CreateManager(Config());
    Variant f2 = Get(Variant(DispatchPtr(m)), "Com_F2Window");
    Variant users = Call(f2, "F2GetData", {LookupRequest("VRXMA", "04", VarArrayOf({""}))});
    ASSERT_TRUE(users.IsArray());
    EXPECT_EQ(VarToStr(users[0][1]), "王丽");
    EXPECT_EQ(Call(f2, "ShowInputDay", {VarArrayOf({false, "20241231", "VXSYS"})}).ToText(),
              "20250115");
    Variant user = "DS", sys = "VXSYS";
    EXPECT_EQ(Call(f2, "GetPhrase", {Ref(user), Ref(sys), 0}).ToText(), "盘点");
  }
  // A window of the desktop's kind in place of the rule.
  struct LastRow : manager::IF2Answerer {
    std::optional<std::size_t> ChooseRow(const manager::TLookupChoice& c) override {
      return c.Rows->size() - 1;
    }
    std::string ChooseDate(bool, const std::string&) override { return {}; }
    std::string ChoosePhrase(const std::string& user) override { return "phrase of " + user; }
  };
  mgr_->SetAnswerer(std::make_shared<LastRow>());
  EXPECT_EQ(chosen(all), std::vector<std::string>{"W25009"});
  Variant user = "DS", sys = "VXSYS";
  EXPECT_EQ(Call(f2_, "GetPhrase", {Ref(user), Ref(sys), 0}).ToText(), "phrase of DS");
}

TEST_F(ManagerTest, DatePickerGivesTheScriptedOrTheOfferedDate) {
  auto pick = [&](Variant date) {
    return Call(f2_, "ShowInputDay", {VarArrayOf({false, std::move(date), "VXSYS"})}).ToText();
  };
  EXPECT_EQ(pick("20241231"), "20241231");
  mgr_->ScriptedAnswers().Push("DATE", "20250301");
  mgr_->ScriptedAnswers().Push("DATE", "20250231");  // no such day: the offered date
  mgr_->ScriptedAnswers().Push("DATE", "");          // cancelled
  EXPECT_EQ(pick("20241231"), "20250301");
  EXPECT_EQ(pick("20241231"), "20241231");
  EXPECT_EQ(pick("20241231"), "");
  EXPECT_EQ(pick("2024123"), "");  // an offered text that is no date is not passed on
  Variant user = "DS", sys = "VXSYS";
  EXPECT_EQ(Call(f2_, "GetPhrase", {Ref(user), Ref(sys), 0}).ToText(), "");
}

TEST_F(ManagerTest, HostileRequestsAreRefusedWithoutHarm) {
  Variant big = VarArrayCreate(0, 1000);
  Variant nested = LookupRequest("INVTE", "01", VarArrayOf({""}));
  nested[0] = VarArrayOf({"INVTE"});
  Variant long_table = LookupRequest(std::string(100000, 'A'), "01", VarArrayOf({""}));
  Variant many_args = LookupRequest("INVTE", "01", VarArrayCreate(0, 100000));
  Variant two_dim = VarArrayCreate({{0, 1}, {0, 1}});
  for (Variant* bad : {&big, &nested, &long_table, &many_args, &two_dim})
    EXPECT_THROW(Call(f2_, "F2GetData", {*bad}), EOleException);
  EXPECT_THROW(Call(f2_, "F2GetData", {"INVTE"}), EOleException);
  EXPECT_THROW(Call(f2_, "F2GetData"), EOleSysError);
  EXPECT_THROW(Call(f2_, "ShowInputDay", {"20241231"}), EOleException);
  EXPECT_THROW(Call(counter_, "GetSysInfo", {VarArrayOf({"DEMO"})}), EOleException);

  // A short request still reads what it has.
  Variant short_request = VarArrayOf({"INVTE", "01", VarArrayOf({""})});
  EXPECT_EQ(FirstColumn(Call(f2_, "F2GetData", {short_request})),
            std::vector<std::string>{"W24001"});
}

TEST_F(ManagerTest, MissingDatabaseGivesAClearAutomationError) {
  manager::TManagerConfig config = Config();
  config.DataFolder = folder_->Path("NoData/");
  Variant m = DispatchPtr(CreateManager(config));
  Variant company = "DEMO";
  try {
    Call(Get(m, "Com_Counter"), "GetSysInfo", {Ref(company)});
    ADD_FAILURE();
  } catch (const EOleException& e) {
    EXPECT_NE(e.Message().find("NoData/VXSYS.db"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(Call(m, "GetMessage", {"E", "000037"}), EOleException);

  // A file that is no database.
  test::TempFolder other;
  other.Write("Data/VXSYS.db", "not a database");
  Variant broken = DispatchPtr(CreateManager(manager::ConfigForInstallation(other.Path())));
  EXPECT_THROW(Call(broken, "GetMessage", {"E", "000037"}), EOleException);
}

TEST_F(ManagerTest, FileListDescribesTheReleaseStore) {
  std::string library = folder_->Write("build/STKB17S.so", "library bytes");
  std::string error;
  ASSERT_TRUE(release::PutRelease(library, folder_->Path("Release"), error)) << error;

  std::string description = Call(manager_, "GetFileList", {VarArrayOf({"stkb17s.so"})}).ToText();
  EXPECT_EQ(description, release::DescribeRelease(folder_->Path("Release/"), "stkb17s.so"));
  EXPECT_EQ(description.rfind("<Modify>", 0), 0u);
  EXPECT_NE(description.find("<Path>"), std::string::npos);

  EXPECT_EQ(Call(manager_, "GetFileList", {VarArrayOf({"other.so"})}).ToText(), "");
  for (const char* bad : {"../Data/VXSYS.db", "", "a/b.so"})
    EXPECT_THROW(Call(manager_, "GetFileList", {VarArrayOf({bad})}), EOleException) << bad;
}

TEST_F(ManagerTest, HelpRequestsAreRecordedAndLogged) {
  Call(manager_, "CallHelp", {VarArrayOf({"STK", "13170000"})});
  Call(manager_, "CallHelp", {VarArrayOf({"STK", "12010000\nforged line"})});
  auto help = mgr_->HelpRequests();
  ASSERT_EQ(help.size(), 2u);
  EXPECT_EQ(help[0].System, "STK");
  EXPECT_EQ(help[0].Topic, "13170000");

  std::string log =
      folder_->Read("Log/Alert_CorvanWorkCenter_" + FormatDateTime("yyyymmdd", Now()) + ".log");
  EXPECT_NE(log.find("CallHelp system STK topic 13170000"), std::string::npos) << log;
  EXPECT_NE(log.find("topic 12010000 forged line"), std::string::npos) << log;
  EXPECT_THROW(Call(manager_, "CallHelp", {VarArrayOf({"STK"})}), EOleException);

  for (int i = 0; i < 150; ++i)
    Call(manager_, "CallHelp", {VarArrayOf({"STK", std::to_string(i)})});
  EXPECT_EQ(mgr_->HelpRequests().size(), 100u);
  EXPECT_EQ(mgr_->HelpRequests().back().Topic, "149");
}

TEST_F(ManagerTest, RegisteredManagerFindsTheInstallationThroughTheRegistry) {
  folder_->Write("SorvendaC.ini", "[CodePage]\r\nUICodePage=950\r\n");
  std::string reg = folder_->Write("installation.reg",
                                   "Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\r\n"
                                   "\"ClientPath\"=\"" +
                                       folder_->Path() +
                                       "/\"\r\n\r\n"
                                       "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda\\Manager]\r\n"
                                       "\"ProductID\"=\"5\"\r\n\"CompanyID\"=\"DEMO\"\r\n");
  test::ScopedEnv env("VX_REGISTRY_FILE", reg);
  Variant m = CreateOleObject(manager::kManagerClassID);
  EXPECT_EQ(Call(m, "ProductID").ToInt(), 5);
  EXPECT_EQ(Get(m, "CompanyID").ToText(), "DEMO");
  EXPECT_EQ(Call(m, "GetMessage", {"E", "000037"}).ToText(), "必填欄位不可空白!");
}

}  // namespace
}  // namespace vx
