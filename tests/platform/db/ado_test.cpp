#include "platform/db/ado.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/ui/typinfo.h"
#include "tests/platform/db/db_fixture.h"

namespace vx {
namespace {

class AdoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = folder_.MakeDatabase(
        "C01.db",
        "CREATE TABLE ITEM (ID INTEGER PRIMARY KEY, CODE TEXT, QTY NUMERIC, NOTE TEXT);"
        "INSERT INTO ITEM VALUES (1, 'A01', 5, NULL), (2, 'A02', 2.5, 'x'), (3, 'B01', 7, 'y');");
    owner_ = std::make_unique<TComponent>(nullptr);
    ado_ = new TVxADOConnection(owner_.get());
    ado_->SetName("ADO1");
    ado_->SetLoginPrompt(false);
    ado_->SetConnectionString("Data Source=" + file_);
    query_ = new TVxADOQuery(owner_.get());
    query_->SetName("Query2");
    query_->SetConnection(ado_);
  }
  void TearDown() override { owner_.reset(); }

  // The message of the EDatabaseError f raises.
  template <class F>
  static std::string DatabaseErrorOf(F&& f) {
    try {
      f();
    } catch (const EDatabaseError& e) {
      return e.Message();
    }
    ADD_FAILURE() << "no EDatabaseError";
    return {};
  }

  test::DbFolder folder_;
  std::string file_;
  std::unique_ptr<TComponent> owner_;
  TVxADOConnection* ado_ = nullptr;
  TVxADOQuery* query_ = nullptr;
};

TEST_F(AdoTest, ConnectionConnectsAndCloses) {
  EXPECT_TRUE(ado_->ConnectionString().find(file_) != std::string::npos);
  EXPECT_FALSE(ado_->LoginPrompt());
  EXPECT_FALSE(ado_->Connected());
  ado_->SetConnected(true);
  EXPECT_TRUE(ado_->Connected());
  EXPECT_EQ(DatabaseErrorOf([&] { ado_->SetConnectionString("Data Source=other.db"); }),
            "ADO1: the connection string cannot change while connected");
  ado_->Close();
  EXPECT_FALSE(ado_->Connected());
  EXPECT_EQ(DatabaseErrorOf([&] { ado_->Session(); }), "ADO1: the connection is not open");

  ado_->SetConnectionString("Provider=MSDASQL;Data Source=" + file_);
  EXPECT_THROW(ado_->Open(), db::EDBConnectionStringError);
  ado_->SetConnectionString("Data Source=" + folder_.Path("missing.db"));
  EXPECT_THROW(ado_->SetConnected(true), EDBEngineError);
  EXPECT_FALSE(ado_->Connected());
}

TEST_F(AdoTest, PublishedProperties) {
  for (const char* name : {"ConnectionString", "LoginPrompt", "Connected"})
    EXPECT_NE(GetPropInfo(ado_, name), nullptr) << name;
  for (const char* name : {"Connection", "SQL", "Active"})
    EXPECT_NE(GetPropInfo(query_, name), nullptr) << name;
  SetPropValue(*ado_, *GetPropInfo(ado_, "Connected"), Variant(true));
  EXPECT_TRUE(ado_->Connected());
  EXPECT_EQ(GetObjectProp(*query_, *GetPropInfo(query_, "Connection")), ado_);
  ASSERT_NE(FindClassInfo("TVxADOQuery"), nullptr);
}

TEST_F(AdoTest, ParametersComeFromTheStatement) {
  query_->SQL()->Add("SELECT CODE FROM ITEM");
  query_->SQL()->Add("WHERE CODE LIKE :PREFIX AND QTY > :qty AND ':X' <> :Prefix");
  ASSERT_EQ(query_->Parameters().Count(), 2);
  EXPECT_EQ(query_->Parameters().Items(0).Name(), "PREFIX");
  EXPECT_EQ(query_->Parameters().Items(1).Name(), "qty");
  EXPECT_EQ(&query_->ParamByName("QTY"), &query_->Parameters().Items(1));
  EXPECT_EQ(DatabaseErrorOf([&] { query_->ParamByName("MC005"); }),
            "Query2: parameter 'MC005' not found");
  EXPECT_EQ(query_->Parameters().FindParam("X"), nullptr);

  query_->ParamByName("PREFIX").SetValue("A%");
  EXPECT_EQ(DatabaseErrorOf([&] { query_->Open(); }), "Query2: parameter 'qty' has no value");
  query_->ParamByName("qty").SetValue(3);
  query_->Open();
  EXPECT_EQ(query_->RecordCount(), 1);
  EXPECT_EQ(query_->FieldByName("code").AsString(), "A01");

  // A new statement: new parameters, without the old values.
  query_->SQL()->SetText("SELECT COUNT(*) N FROM ITEM WHERE QTY > :qty");
  EXPECT_FALSE(query_->Active());
  EXPECT_TRUE(query_->ParamByName("qty").Value().IsEmpty());
  query_->ParamByName("qty").SetValue(Variant::Null());
  query_->Open();
  EXPECT_EQ(query_->FieldByName("N").AsInteger(), 0);
}

TEST_F(AdoTest, WalksRowsFirstNextEof) {
  query_->SQL()->SetText("SELECT ID, CODE FROM ITEM WHERE CODE >= :C ORDER BY ID");
  query_->ParamByName("C").SetValue("A02");
  query_->Open();  // connects on the way
  EXPECT_TRUE(ado_->Connected());
  EXPECT_TRUE(query_->Active());
  EXPECT_EQ(query_->RecordCount(), 2);
  EXPECT_EQ(query_->FieldCount(), 2);
  EXPECT_EQ(query_->Fields(1).FieldName(), "CODE");
  std::vector<std::string> seen;
  for (query_->First(); !query_->Eof(); query_->Next())
    seen.push_back(query_->FieldByName("CODE").AsString());
  EXPECT_EQ(seen, (std::vector<std::string>{"A02", "B01"}));
  EXPECT_EQ(query_->FieldByName("ID").AsInteger(), 3) << "past the end it stays on the last row";
  EXPECT_EQ(query_->RecNo(), 2);
  query_->Next();
  EXPECT_TRUE(query_->Eof());
  query_->First();
  EXPECT_FALSE(query_->Eof());
  EXPECT_TRUE(query_->Bof());
  EXPECT_EQ(query_->FieldByName("ID").AsInteger(), 2);

  // Rebinding and reopening reuses the prepared statement.
  query_->Close();
  query_->ParamByName("C").SetValue("Z");
  query_->Open();
  EXPECT_TRUE(query_->Eof());
  EXPECT_EQ(query_->RecordCount(), 0);
  EXPECT_TRUE(query_->FieldByName("CODE").IsNull());
  EXPECT_EQ(query_->FieldByName("CODE").AsString(), "");
  EXPECT_EQ(query_->RecNo(), 0);
}

TEST_F(AdoTest, FieldAccessors) {
  query_->SQL()->SetText(
      "SELECT 'abc' T, 42 I, 2.5 F, NULL N, '2024-12-11 10:20:30.123' D, '20241211102030123' S, "
      "'20241211' Y, 5000000000 B, ' 17 ' TI, 'x' BAD");
  query_->Open();
  const TDateTime day = EncodeDate(2024, 12, 11);
  auto& q = *query_;
  EXPECT_EQ(q.FieldByName("t").AsString(), "abc");
  EXPECT_EQ(q.FieldByName("I").AsInteger(), 42);
  EXPECT_EQ(q.FieldByName("I").AsString(), "42");
  EXPECT_DOUBLE_EQ(q.FieldByName("I").AsFloat(), 42.0);
  EXPECT_EQ(q.FieldByName("I").AsVariant().VarType(), varInteger);
  EXPECT_DOUBLE_EQ(q.FieldByName("F").AsFloat(), 2.5);
  EXPECT_EQ(q.FieldByName("F").AsString(), "2.5");
  EXPECT_TRUE(q.FieldByName("N").IsNull());
  EXPECT_FALSE(q.FieldByName("I").IsNull());
  EXPECT_EQ(q.FieldByName("N").AsString(), "");
  EXPECT_EQ(q.FieldByName("N").AsInteger(), 0);
  EXPECT_EQ(q.FieldByName("N").AsFloat(), 0.0);
  EXPECT_EQ(q.FieldByName("N").AsDateTime().Value, 0.0);
  EXPECT_EQ(FormatDateTime("yyyymmddhhnnsszzz", q.FieldByName("D").AsDateTime()),
            "20241211102030123");
  EXPECT_EQ(FormatDateTime("yyyymmddhhnnsszzz", q.FieldByName("S").AsDateTime()),
            "20241211102030123");
  EXPECT_DOUBLE_EQ(q.FieldByName("Y").AsDateTime().Value, day.Value);
  EXPECT_EQ(q.FieldByName("B").AsLargeInt(), 5000000000);
  EXPECT_EQ(q.FieldByName("B").AsVariant().VarType(), varInt64);
  EXPECT_EQ(q.FieldByName("TI").AsInteger(), 17);

  struct Bad {
    std::function<void()> read;
    std::string message;
  };
  const Bad bad[] = {
      {[&] { q.FieldByName("BAD").AsInteger(); }, "Field 'BAD': 'x' is not a valid integer"},
      {[&] { q.FieldByName("B").AsInteger(); }, "Field 'B': '5000000000' is not a valid integer"},
      {[&] { q.FieldByName("BAD").AsFloat(); },
       "Field 'BAD': 'x' is not a valid floating point value"},
      {[&] { q.FieldByName("T").AsDateTime(); }, "Field 'T': 'abc' is not a valid date and time"},
  };
  for (const Bad& b : bad) {
    try {
      b.read();
      ADD_FAILURE() << b.message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), b.message);
    }
  }
  EXPECT_EQ(DatabaseErrorOf([&] { q.FieldByName("MD007"); }), "Query2: field 'MD007' not found");
  EXPECT_EQ(q.FindField("MD007"), nullptr);
  EXPECT_THROW(q.Fields(10), EDatabaseError);
}

TEST_F(AdoTest, ExecSQLReportsRowsAffected) {
  query_->SQL()->SetText("UPDATE ITEM SET NOTE = :NOTE WHERE CODE LIKE :P");
  query_->ParamByName("NOTE").SetValue("z");
  query_->ParamByName("P").SetValue("A%");
  EXPECT_EQ(query_->ExecSQL(), 2);
  EXPECT_FALSE(query_->Active());
  query_->SQL()->SetText("SELECT COUNT(*) N FROM ITEM WHERE NOTE = 'z'");
  query_->Open();
  EXPECT_EQ(query_->FieldByName("N").AsInteger(), 2);

  // Open refuses a statement without rows rather than running it.
  query_->SQL()->SetText("DELETE FROM ITEM");
  EXPECT_EQ(DatabaseErrorOf([&] { query_->Open(); }),
            "Query2: the statement returns no rows; run it with ExecSQL");
  query_->SQL()->SetText("SELECT COUNT(*) N FROM ITEM");
  query_->Open();
  EXPECT_EQ(query_->FieldByName("N").AsInteger(), 3);
}

TEST_F(AdoTest, MisuseAndFailuresRaiseWithoutCrashing) {
  // A closed query.
  EXPECT_TRUE(query_->Eof());
  EXPECT_FALSE(query_->Active());
  EXPECT_EQ(DatabaseErrorOf([&] { query_->FieldByName("CODE"); }),
            "Query2: cannot read the field 'CODE' while the query is closed");
  EXPECT_EQ(DatabaseErrorOf([&] { query_->Next(); }),
            "Query2: cannot go to the next row while the query is closed");
  EXPECT_THROW(query_->First(), EDatabaseError);
  EXPECT_THROW(query_->RecordCount(), EDatabaseError);
  EXPECT_NO_THROW(query_->Close());

  // Syntax errors and a missing table are engine errors; the query stays
  // usable afterwards.
  query_->SQL()->SetText("SELECT CODE FROM ITEM WHERE");
  EXPECT_THROW(query_->Open(), EDBEngineError);
  query_->SQL()->SetText("SELECT 'unterminated");
  EXPECT_EQ(query_->Parameters().Count(), 0);
  EXPECT_THROW(query_->Open(), EDBEngineError);
  query_->SQL()->SetText("INSERT INTO ITEM (ID) VALUES (1)");
  try {
    query_->ExecSQL();
    ADD_FAILURE();
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.Errors(0).ErrorCode, 1555);  // primary key
    EXPECT_NE(e.Message().find("INSERT INTO ITEM"), std::string::npos);
  }
  query_->SQL()->SetText("SELECT 1 X");
  query_->Open();
  EXPECT_EQ(query_->FieldByName("X").AsInteger(), 1);

  // Closing the connection closes its queries; freeing it leaves none.
  ado_->Close();
  EXPECT_FALSE(query_->Active());
  query_->Open();
  EXPECT_TRUE(query_->Active());
  ado_->Free();
  EXPECT_EQ(query_->Connection(), nullptr);
  EXPECT_FALSE(query_->Active());
  EXPECT_EQ(DatabaseErrorOf([&] { query_->Open(); }), "Query2: missing connection");
}

TEST_F(AdoTest, FreeingAQueryUnlinksIt) {
  query_->SQL()->SetText("SELECT 1 X");
  query_->Open();
  query_->Free();
  ado_->Close();
  EXPECT_FALSE(ado_->Connected());
}

}  // namespace
}  // namespace vx
