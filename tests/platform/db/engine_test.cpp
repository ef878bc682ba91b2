#include "platform/db/engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/db/values.h"
#include "tests/platform/db/db_fixture.h"

namespace vx::db {
namespace {

constexpr int kSqliteBusy = 5;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADb = 26;
constexpr int kSqliteConstraintUnique = 2067;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    company_ = folder_.MakeDatabase(
        "C01.db",
        "CREATE TABLE ITEM (ID INTEGER PRIMARY KEY, CODE CHAR(10) UNIQUE, QTY NUMERIC, NOTE TEXT);"
        "INSERT INTO ITEM VALUES (1, 'A01', 5, NULL), (2, 'A02', 2.5, 'x');");
    system_ = folder_.MakeDatabase("VXSYS.db",
                                   "CREATE TABLE TMCMC (MC001 TEXT, MC005 TEXT);"
                                   "INSERT INTO TMCMC VALUES ('01', 'STKB17');");
  }
  std::unique_ptr<ISession> Open(std::string extra = "") {
    return OpenSession("Data Source=" + company_ + ";Attach VXSYS=" + system_ + ";" + extra);
  }
  // Runs f and returns the engine error it raised.
  template <class F>
  static EDBEngineError EngineErrorOf(F&& f) {
    try {
      f();
    } catch (const EDBEngineError& e) {
      return e;
    }
    ADD_FAILURE() << "no EDBEngineError";
    return EDBEngineError({});
  }
  static std::int64_t Count(ISession& s, std::string_view sql) {
    auto st = s.Prepare(sql);
    EXPECT_TRUE(st->Step());
    return st->ColumnInt64(0);
  }

  test::DbFolder folder_;
  std::string company_;
  std::string system_;
};

TEST_F(EngineTest, PreparedStatementWithNamedParametersColumnsAndRowsAffected) {
  auto s = Open();
  auto select = s->Prepare("SELECT ID, CODE, QTY, NOTE FROM ITEM WHERE QTY >= :MIN ORDER BY ID");
  ASSERT_EQ(select->ColumnCount(), 4);
  EXPECT_EQ(select->ColumnName(1), "CODE");
  EXPECT_EQ(select->ParamNames(), std::vector<std::string>{"MIN"});
  EXPECT_EQ(select->ParamIndex("min"), 0);

  select->Bind("min", Variant(2));
  ASSERT_TRUE(select->Step());
  EXPECT_EQ(select->ColumnInt64(0), 1);
  EXPECT_EQ(select->ColumnText(1), "A01");
  EXPECT_TRUE(select->ColumnIsNull(3));
  EXPECT_TRUE(select->Column(3).IsNull());
  EXPECT_EQ(select->Column(0).VarType(), varInteger);
  ASSERT_TRUE(select->Step());
  EXPECT_EQ(select->Column(2).VarType(), varDouble);
  EXPECT_DOUBLE_EQ(select->ColumnDouble(2), 2.5);
  EXPECT_EQ(select->Column(3), Variant("x"));
  EXPECT_FALSE(select->Step());
  EXPECT_FALSE(select->Step()) << "a finished statement does not start again by itself";

  // Rebinding restarts the statement with the new value.
  select->Bind("MIN", Variant(3));
  ASSERT_TRUE(select->Step());
  EXPECT_EQ(select->ColumnText(1), "A01");
  EXPECT_FALSE(select->Step());

  EXPECT_EQ(s->Execute("UPDATE ITEM SET NOTE = :N WHERE ID > :ID", {{"N", "y"}, {"ID", 0}}), 2);
  auto update = s->Prepare("UPDATE ITEM SET QTY = QTY + 1 WHERE ID = :ID");
  update->Bind(0, Variant(2));
  EXPECT_EQ(update->Execute(), 1);
  EXPECT_EQ(update->Execute(), 1) << "Execute runs the statement again";
  EXPECT_EQ(Count(*s, "SELECT QTY * 10 FROM ITEM WHERE ID = 2"), 45);
  EXPECT_EQ(select->Execute(), 0) << "a query changes nothing";
}

TEST_F(EngineTest, BindsEveryVariantKindAndReadsItBack) {
  auto s = Open();
  s->ExecuteScript("CREATE TABLE V (X)");
  auto insert = s->Prepare("INSERT INTO V VALUES (:X)");
  auto read = s->Prepare("SELECT X FROM V");
  struct Case {
    Variant in;
    Variant out;
  };
  const Case cases[] = {
      {Variant(std::int32_t{-7}), Variant(std::int32_t{-7})},
      {Variant(std::int64_t{1} << 40), Variant(std::int64_t{1} << 40)},
      {Variant(true), Variant(std::int32_t{1})},
      {Variant(0.25), Variant(0.25)},
      {Variant(TDateTime(EncodeDate(2024, 12, 11) + EncodeTime(10, 20, 30, 123))),
       Variant("2024-12-11 10:20:30.123")},
      {Variant("盘点"), Variant("盘点")},
      {Variant(u"盘点"), Variant("盘点")},
      {Variant::Null(), Variant::Null()},
      {Variant(), Variant::Null()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.TypeName());
    s->Execute("DELETE FROM V");
    insert->Bind("X", c.in);
    EXPECT_EQ(insert->Execute(), 1);
    read->Reset();
    ASSERT_TRUE(read->Step());
    EXPECT_EQ(read->Column(0), c.out);
  }
  auto e = EngineErrorOf([&] { insert->Bind("X", VarArrayOf({1, 2})); });
  EXPECT_NE(e.Message().find("Parameter X: a value of type"), std::string::npos) << e.Message();
  e = EngineErrorOf([&] { insert->Bind("Y", Variant(1)); });
  EXPECT_EQ(e.Message(), "The statement has no parameter \"Y\"");
  e = EngineErrorOf([&] { insert->Bind(1, Variant(1)); });
  EXPECT_NE(e.Message().find("Parameter number 2 is out of range"), std::string::npos);
}

TEST_F(EngineTest, DialectFunctionsGiveTheServersResults) {
  auto s = Open();
  auto st = s->Prepare(
      "SELECT CONVERT(CHAR(3), 12345), CONVERT(CHAR(14), CAST('20241211000001' AS BIGINT) + 1), "
      "ISNULL(NULL, 'x'), CAST('42' AS BIGINT), GETDATE(), MC005 FROM VXSYS..TMCMC");
  ASSERT_TRUE(st->Step());
  EXPECT_EQ(st->Column(0), Variant("123"));
  EXPECT_EQ(st->Column(1), Variant("20241211000002"));
  EXPECT_EQ(st->Column(2), Variant("x"));
  EXPECT_EQ(st->Column(3), Variant(std::int32_t{42}));
  TDateTime now;
  ASSERT_TRUE(TryDbTextToDateTime(st->ColumnText(4), now)) << st->ColumnText(4);
  EXPECT_NEAR(now.Value, Now().Value, 5.0 / 86400);
  EXPECT_EQ(st->ColumnText(5), "STKB17");
}

TEST_F(EngineTest, TransactionsCommitAndRollBack) {
  auto s = Open();
  {
    TTransaction t(*s, TTransactionMode::Immediate);
    EXPECT_TRUE(s->InTransaction());
    s->Execute("INSERT INTO ITEM (CODE) VALUES ('B01')");
    t.Commit();
  }
  EXPECT_FALSE(s->InTransaction());
  {
    TTransaction t(*s);
    s->Execute("INSERT INTO ITEM (CODE) VALUES ('B02')");
    EXPECT_THROW(s->Begin(), EDBEngineError) << "no nested transactions";
  }  // not committed: rolled back
  EXPECT_EQ(Count(*s, "SELECT COUNT(*) FROM ITEM"), 3);

  // A failing statement in the middle: the guard undoes the earlier ones.
  EXPECT_THROW(
      {
        TTransaction t(*s);
        s->Execute("INSERT INTO ITEM (CODE) VALUES ('B03')");
        s->Execute("INSERT INTO ITEM (CODE) VALUES ('A01')");
        t.Commit();
      },
      EDBEngineError);
  EXPECT_FALSE(s->InTransaction());
  EXPECT_EQ(Count(*s, "SELECT COUNT(*) FROM ITEM WHERE CODE = 'B03'"), 0);
  EXPECT_THROW(s->Commit(), EDBEngineError);
  EXPECT_NO_THROW(s->Rollback());
}

TEST_F(EngineTest, EngineFailuresAreEngineErrorsNamingWhatFailed) {
  auto s = Open();
  struct Case {
    std::string sql;
    int code;
    std::string text;
  };
  const Case cases[] = {
      {"SELEC 1", 1, "Cannot prepare the statement \"SELEC 1\": near \"SELEC\": syntax error"},
      {"SELECT * FROM ADMTX", 1, "no such table: ADMTX"},
      {"SELECT * FROM VXSYS..NONE", 1, "no such table: VXSYS.NONE"},
      {"INSERT INTO ITEM (CODE) VALUES ('A01')", kSqliteConstraintUnique,
       "The statement \"INSERT INTO ITEM (CODE) VALUES ('A01')\" failed: UNIQUE constraint"},
      {"SELECT 1; SELECT 2", 21, "Only one statement can run at a time"},
      {"  -- nothing\n", 21, "The statement is empty"},
      {"SELECT 'open", 1, "unterminated string literal"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    auto e = EngineErrorOf([&] { s->Execute(c.sql); });
    ASSERT_EQ(e.ErrorCount(), 1);
    EXPECT_EQ(e.Errors(0).ErrorCode, c.code);
    EXPECT_EQ(e.Errors(0).Message, e.Message());
    EXPECT_NE(e.Message().find(c.text), std::string::npos) << e.Message();
  }
  EXPECT_NO_THROW(s->Execute("SELECT 1;  -- trailing comment\n"));
}

TEST_F(EngineTest, MissingOrForeignFilesFailInsteadOfGivingAnEmptyDatabase) {
  const std::string missing = folder_.Path("NONE.db");
  for (std::string cs : {"Data Source=" + missing, "Data Source=" + missing + ";Read Only=True",
                         "Data Source=" + missing + ";Read Only=True;Create=True",
                         "Data Source=" + company_ + ";Attach VXSYS=" + missing}) {
    SCOPED_TRACE(cs);
    auto e = EngineErrorOf([&] { OpenSession(cs); });
    EXPECT_EQ(e.Errors(0).ErrorCode, kSqliteCantOpen);
    EXPECT_NE(e.Message().find(missing + "\" does not exist"), std::string::npos) << e.Message();
    EXPECT_FALSE(std::filesystem::exists(missing));
  }
  const std::string text = folder_.Write("notes.db", std::string(4096, 'n'));
  auto e = EngineErrorOf([&] { OpenSession("Data Source=" + text); });
  EXPECT_EQ(e.Errors(0).ErrorCode, kSqliteNotADb);
  EXPECT_NE(e.Message().find("Cannot open the database \"" + text + "\""), std::string::npos);
  e = EngineErrorOf([&] { OpenSession("Data Source=" + company_ + ";Attach VXSYS=" + text); });
  EXPECT_EQ(e.Errors(0).ErrorCode, kSqliteNotADb);
  EXPECT_NE(e.Message().find("Cannot attach \"" + text + "\" as VXSYS"), std::string::npos);

  // Created on request, with a path that looks like URI syntax.
  const std::string odd = folder_.Path("new ?#%.db");
  OpenSession("Data Source=\"" + odd + "\";Create=True")->ExecuteScript("CREATE TABLE T (A)");
  EXPECT_TRUE(std::filesystem::exists(odd));
}

TEST_F(EngineTest, ReadOnlySessionsRefuseWrites) {
  auto s = Open("Read Only=True");
  EXPECT_TRUE(s->ReadOnly());
  EXPECT_EQ(Count(*s, "SELECT COUNT(*) FROM VXSYS..TMCMC"), 1);
  for (const char* sql : {"UPDATE ITEM SET QTY = 0", "DELETE FROM VXSYS..TMCMC"}) {
    auto e = EngineErrorOf([&] { s->Execute(sql); });
    EXPECT_EQ(e.Errors(0).ErrorCode & 0xFF, kSqliteReadOnly) << sql;
  }
}

TEST_F(EngineTest, ALockedDatabaseWaitsForTheBusyTimeoutThenFails) {
  auto writer = Open();
  auto other = Open("Busy Timeout=50");
  writer->Begin(TTransactionMode::Immediate);
  writer->Execute("UPDATE ITEM SET QTY = 9");
  auto e = EngineErrorOf([&] { other->Execute("UPDATE ITEM SET QTY = 1"); });
  EXPECT_EQ(e.Errors(0).ErrorCode & 0xFF, kSqliteBusy);
  EXPECT_NE(e.Message().find("database is locked"), std::string::npos) << e.Message();
  writer->Commit();
  EXPECT_EQ(other->Execute("UPDATE ITEM SET QTY = 1"), 2);
}

TEST_F(EngineTest, OneSessionPerThread) {
  constexpr int kRows = 50;
  auto work = [&](std::string prefix) {
    auto s = Open("Busy Timeout=10000");
    auto insert = s->Prepare("INSERT INTO ITEM (CODE) VALUES (:CODE)");
    for (int i = 0; i < kRows; ++i) {
      TTransaction t(*s, TTransactionMode::Immediate);
      insert->Bind("CODE", Variant(prefix + std::to_string(i)));
      insert->Execute();
      t.Commit();
    }
  };
  std::thread a(work, "T"), b(work, "U");
  a.join();
  b.join();
  EXPECT_EQ(Count(*Open(), "SELECT COUNT(*) FROM ITEM"), 2 + 2 * kRows);
}

TEST_F(EngineTest, ScriptsAndAttachingLater) {
  auto s = OpenSession("Data Source=" + company_);
  s->ExecuteScript(
      "CREATE TABLE A (X); /* two */ INSERT INTO A VALUES (1); INSERT INTO A VALUES (2)");
  EXPECT_EQ(Count(*s, "SELECT SUM(X) FROM A"), 3);
  EXPECT_THROW(s->ExecuteScript("INSERT INTO A VALUES (:X)"), EDBEngineError);
  EXPECT_THROW(s->Execute("SELECT * FROM VXSYS..TMCMC"), EDBEngineError);
  s->Attach("VXSYS", system_);
  EXPECT_EQ(Count(*s, "SELECT COUNT(*) FROM VXSYS..TMCMC"), 1);
  EXPECT_THROW(s->Attach("bad name", system_), EDBEngineError);
  // A file that is not a database is not left attached under the name.
  EXPECT_THROW(s->Attach("LATER", folder_.Write("notes.txt", std::string(2048, 'n'))),
               EDBEngineError);
  s->Attach("LATER", system_);
  EXPECT_EQ(Count(*s, "SELECT COUNT(*) FROM LATER..TMCMC"), 1);
  EXPECT_EQ(s->Execute("INSERT INTO A VALUES (5)"), 1);
  EXPECT_EQ(s->LastInsertRowId(), 3);
}

TEST(DbValues, DateTimeTexts) {
  struct Case {
    const char* text;
    TDateTime expected;
  };
  const TDateTime day = EncodeDate(2024, 12, 11);
  const Case good[] = {
      {"2024-12-11 10:20:30.123", TDateTime(day + EncodeTime(10, 20, 30, 123))},
      {"2024-12-11T10:20:30.1239", TDateTime(day + EncodeTime(10, 20, 30, 123))},
      {"2024/12/11 10:20", TDateTime(day + EncodeTime(10, 20, 0, 0))},
      {" 2024-12-11 ", day},
      {"20241211", day},
      {"202412111020", TDateTime(day + EncodeTime(10, 20, 0, 0))},
      {"20241211102030", TDateTime(day + EncodeTime(10, 20, 30, 0))},
      {"20241211102030123", TDateTime(day + EncodeTime(10, 20, 30, 123))},
      {"1899-12-29 06:00:00", TDateTime(-1.25)},
  };
  for (const Case& c : good) {
    TDateTime out;
    ASSERT_TRUE(db::TryDbTextToDateTime(c.text, out)) << c.text;
    EXPECT_NEAR(out.Value, c.expected.Value, 1e-9) << c.text;
  }
  for (const char* bad :
       {"", "2024-13-01", "20240230", "2024121", "2024-12-11 10", "2024-12-11 10:20:30.",
        "2024-12-11 25:00", "x2024-12-11", "202412111020301"}) {
    TDateTime out;
    EXPECT_FALSE(db::TryDbTextToDateTime(bad, out)) << bad;
  }
  const TDateTime stamp(day + EncodeTime(23, 59, 59, 999));
  TDateTime back;
  ASSERT_TRUE(db::TryDbTextToDateTime(db::DateTimeToDbText(stamp), back));
  EXPECT_EQ(FormatDateTime("yyyymmddhhnnsszzz", back), "20241211235959999");
}

}  // namespace
}  // namespace vx::db
