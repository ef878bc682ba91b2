// The alert-message statements of the direct batch run, executed as written
// against a company database with the system database attached.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/db/ado.h"
#include "tests/platform/db/alert_statements.h"
#include "tests/platform/db/db_fixture.h"

namespace vx {
namespace {

class AlertMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    company_ = folder_.MakeDatabase(
        "C01.db",
        "CREATE TABLE ADMTC (TC001 CHAR(14) PRIMARY KEY, TC002 VARCHAR(20), TC003 TEXT, "
        "  TC004 CHAR(17), TC005 CHAR(1), TC006 VARCHAR(255), TC007 TEXT, TC008 TEXT, "
        "  TC009 CHAR(1), COMPANY VARCHAR(20), CREATOR VARCHAR(20), CREATE_DATE CHAR(17), "
        "  FLAG INT);"
        "CREATE TABLE ADMTD (TD001 CHAR(14) PRIMARY KEY, TD004 CHAR(17));");
    system_ = folder_.MakeDatabase(
        "VXSYS.db",
        "CREATE TABLE TMCMC (MC001 TEXT, MC002 TEXT, MC005 TEXT);"
        "CREATE TABLE TMCMD (MD001 TEXT, MD002 TEXT, MD003 TEXT, MD004 TEXT, MD006 TEXT, "
        "  MD007 TEXT);"
        "INSERT INTO TMCMC VALUES ('A', '1', 'stkb17'), ('B', '1', 'OTHER');"
        "INSERT INTO TMCMD VALUES ('A', '1', '01', '6', 'm', '<MD007/>||body||more'),"
        "  ('A', '1', '02', '6', 'm', NULL), ('A', '1', '03', '5', 'm', 'wrong event'),"
        "  ('B', '1', '01', '6', 'm', 'other program');");
    owner_ = std::make_unique<TComponent>(nullptr);
    ado_ = new TVxADOConnection(owner_.get());
    query2_ = new TVxADOQuery(owner_.get());
    query3_ = new TVxADOQuery(owner_.get());
    query2_->SetConnection(ado_);
    query3_->SetConnection(ado_);
    ado_->SetLoginPrompt(false);
    ado_->SetConnectionString("Provider=SQLite;Data Source=" + company_ +
                              ";Attach VXSYS=" + system_);
    ado_->SetConnected(true);
  }

  std::string NextNumber(const std::string& day) {
    query3_->Close();
    query3_->SQL()->SetText(test::NumberingStatement(day));
    query3_->Open();
    return query3_->FieldByName("SEQX").AsString();
  }

  void Seed(const std::string& sql) { ado_->Session().ExecuteScript(sql); }

  std::int64_t InsertAlert(const std::string& number, const std::string& stamp) {
    query3_->Close();
    query3_->SQL()->SetText(std::string(test::kInsertAlertStatement));
    const std::pair<const char*, Variant> values[] = {
        {"TC001", number},
        {"TC002", "DS"},
        {"TC003", "<?xml version=\"1.0\" encoding=\"GB2312\"?><Root><User ID=\"DS\"/></Root>"},
        {"TC004", stamp},
        {"TC005", "N"},
        {"TC006", "盘点帐面量重计"},
        {"TC007", "more"},
        {"TC008", "body"},
        {"TC009", "4"},
        {"COMPANY", "C01"},
        {"CREATOR", "DS"},
        {"CREATE_DATE", stamp},
        {"FLAG", 1},
    };
    for (const auto& [name, value] : values)
      query3_->ParamByName(name).SetValue(value);
    return query3_->ExecSQL();
  }

  test::DbFolder folder_;
  std::string company_, system_;
  std::unique_ptr<TComponent> owner_;
  TVxADOConnection* ado_ = nullptr;
  TVxADOQuery* query2_ = nullptr;
  TVxADOQuery* query3_ = nullptr;
};

TEST_F(AlertMessagesTest, ConfigurationQueryFindsTheProgramsLinesOfTheEvent) {
  query2_->Close();
  query2_->SQL()->SetText(test::AlertConfigStatement("VXSYS"));
  query2_->ParamByName("MC005").SetValue("STKB17");
  query2_->ParamByName("MD004").SetValue("6");
  query2_->Open();
  query2_->First();
  std::vector<std::string> definitions;
  for (; !query2_->Eof(); query2_->Next())
    definitions.push_back(query2_->FieldByName("MD003").AsString() + ":" +
                          query2_->FieldByName("MD007").AsString());
  std::sort(definitions.begin(), definitions.end());
  EXPECT_EQ(definitions, (std::vector<std::string>{"01:<MD007/>||body||more", "02:"}));
}

TEST_F(AlertMessagesTest, ServerTimeGivesTheStampAndTheDay) {
  query3_->SQL()->SetText(std::string(test::kCurrentTimeStatement));
  query3_->Open();
  TDateTime server = query3_->FieldByName("DATEX").AsDateTime();
  EXPECT_NEAR(server.Value, Now().Value, 5.0 / 86400);
  std::string stamp = FormatDateTime("YYYYMMDDHHNNSSZZZ", server);
  EXPECT_EQ(stamp.size(), 17u);
  EXPECT_EQ(stamp.substr(0, 8), FormatDateTime("yyyymmdd", server));
}

TEST_F(AlertMessagesTest, NumberingStartsTheDayAndFollowsBothTables) {
  EXPECT_EQ(NextNumber("20241211"), "20241211000001");

  Seed(
      "INSERT INTO ADMTC (TC001, TC004) VALUES ('20241211000005', '20241211093000000'),"
      "  ('20241212000099', '20241212093000000');"
      "INSERT INTO ADMTD VALUES ('20241211000009', '20241211100000000'),"
      "  ('20241210000042', '20241210235959999');");
  EXPECT_EQ(NextNumber("20241211"), "20241211000010") << "the larger number is in ADMTD";
  EXPECT_EQ(NextNumber("20241210"), "20241210000043") << "only ADMTD has that day";
  EXPECT_EQ(NextNumber("20241213"), "20241213000001");

  Seed("INSERT INTO ADMTC (TC001, TC004) VALUES ('20241211000017', '20241211120000000')");
  EXPECT_EQ(NextNumber("20241211"), "20241211000018") << "now ADMTC holds the larger";
}

TEST_F(AlertMessagesTest, InsertWithTheThirteenParameters) {
  const std::string stamp = "20241211102030123";
  std::string first = NextNumber(stamp.substr(0, 8));
  EXPECT_EQ(InsertAlert(first, stamp), 1);
  std::string second = NextNumber(stamp.substr(0, 8));
  EXPECT_EQ(second, "20241211000002") << "two alerts of a day get consecutive numbers";
  EXPECT_EQ(InsertAlert(second, stamp), 1);
  EXPECT_THROW(InsertAlert(second, stamp), EDBEngineError) << "a number is used once";

  query3_->Close();
  query3_->SQL()->SetText("SELECT * FROM ADMTC ORDER BY TC001");
  query3_->Open();
  EXPECT_EQ(query3_->RecordCount(), 2);
  EXPECT_EQ(query3_->FieldByName("TC001").AsString(), "20241211000001");
  EXPECT_EQ(query3_->FieldByName("TC004").AsString(), stamp);
  EXPECT_EQ(query3_->FieldByName("CREATE_DATE").AsString(), stamp);
  EXPECT_EQ(query3_->FieldByName("TC006").AsString(), "盘点帐面量重计");
  EXPECT_EQ(query3_->FieldByName("TC009").AsString(), "4");
  EXPECT_EQ(query3_->FieldByName("FLAG").AsVariant(), Variant(1));
  EXPECT_EQ(FormatDateTime("yyyymmddhhnnsszzz", query3_->FieldByName("TC004").AsDateTime()), stamp);
}

}  // namespace
}  // namespace vx
