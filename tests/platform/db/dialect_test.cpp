#include "platform/db/dialect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exception.h"
#include "tests/platform/db/alert_statements.h"

namespace vx::db {
namespace {

using Names = std::vector<std::string>;
constexpr const char* kNow = "strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')";

struct Case {
  std::string input;
  std::string expected;
  Names params;
};

void ExpectTranslations(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    TTranslatedStatement t = TranslateStatement(c.input);
    EXPECT_EQ(t.Sql, c.expected);
    EXPECT_EQ(t.ParamNames, c.params);
  }
}

TEST(Dialect, AlertMessageStatementsAsTheBatchRunWritesThem) {
  ExpectTranslations({
      {test::AlertConfigStatement("VXSYS"),
       "SELECT MD001, MD002, MD003, MD006, IFNULL(MD007, '') MD007  FROM VXSYS.TMCMD  LEFT JOIN "
       "VXSYS.TMCMC ON MC001 = MD001 AND MC002 = MD002  WHERE UPPER(MC005) = ?1  AND MD004 = ?2",
       {"MC005", "MD004"}},
      {std::string(test::kCurrentTimeStatement), std::string(" SELECT ") + kNow + " DATEX ", {}},
      {test::NumberingStatement("20241211"),
       " SELECT (SELECT CASE WHEN MAX(TC001) IS NULL THEN '20241211000001'  ELSE "
       "SUBSTR(CAST( CAST(MAX(TC001) AS INTEGER) + 1 AS TEXT), 1, 14) END  FROM  (SELECT "
       "MAX(TC001) TC001 FROM ADMTC WHERE TC004 LIKE '20241211%'  UNION  SELECT MAX(TD001) TD001 "
       "FROM ADMTD WHERE TD004 LIKE '20241211%') B) SEQX ",
       {}},
      {std::string(test::kInsertAlertStatement),
       " INSERT INTO ADMTC (TC001, TC002, TC003, TC004, TC005, TC006, TC007, TC008, TC009,  "
       "COMPANY, CREATOR, CREATE_DATE, FLAG)  VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9,?10, "
       "?11, ?12, ?13) ",
       {"TC001", "TC002", "TC003", "TC004", "TC005", "TC006", "TC007", "TC008", "TC009", "COMPANY",
        "CREATOR", "CREATE_DATE", "FLAG"}},
  });
}

TEST(Dialect, RewritesOnlyOutsideLiteralsIdentifiersAndComments) {
  ExpectTranslations({
      {"SELECT 'ISNULL(a, b) :X db..t GETDATE() CONVERT(CHAR(2), 1)' FROM T",
       "SELECT 'ISNULL(a, b) :X db..t GETDATE() CONVERT(CHAR(2), 1)' FROM T",
       {}},
      {"SELECT 'it''s :X', :Y", "SELECT 'it''s :X', ?1", {"Y"}},
      {"SELECT 1 -- ISNULL( :X\nFROM T /* :Y db..t */ WHERE A = :Z",
       "SELECT 1 -- ISNULL( :X\nFROM T /* :Y db..t */ WHERE A = ?1",
       {"Z"}},
      {"SELECT \"a..b\", [x :y], \"q\"\"ISNULL(\" FROM T",
       "SELECT \"a..b\", [x :y], \"q\"\"ISNULL(\" FROM T",
       {}},
      {"SELECT N'text', n'x', N FROM T", "SELECT 'text', 'x', N FROM T", {}},
  });
}

TEST(Dialect, FunctionsTypesAndNames) {
  ExpectTranslations({
      {"SELECT isnull (A, 0), A ISNULL FROM db..t", "SELECT IFNULL (A, 0), A ISNULL FROM db.t", {}},
      {"SELECT * FROM [VXSYS]..[TMCMD] JOIN \"S\"..T ON 1=1",
       "SELECT * FROM [VXSYS].[TMCMD] JOIN \"S\".T ON 1=1",
       {}},
      {"SELECT getdate ( ), GETDATE", std::string("SELECT ") + kNow + ", GETDATE", {}},
      {"SELECT CONVERT(VARCHAR, A), CONVERT(NCHAR(3),B), convert(int, '5'), CONVERT(FLOAT, C)",
       "SELECT SUBSTR(CAST( A AS TEXT), 1, 30), SUBSTR(CAST(B AS TEXT), 1, 3), CAST( '5' AS "
       "INTEGER), CAST( C AS REAL)",
       {}},
      {"SELECT CAST(A AS int), CAST(B AS TEXT), CAST((1) as BigInt)",
       "SELECT CAST(A AS INTEGER), CAST(B AS TEXT), CAST((1) as INTEGER)",
       {}},
      {"SELECT CONVERT(CHAR(5), ISNULL((SELECT MAX(A) FROM T WHERE B IN (1, 2)), 'x')) X",
       "SELECT SUBSTR(CAST( IFNULL((SELECT MAX(A) FROM T WHERE B IN (1, 2)), 'x') AS TEXT), 1, 5) "
       "X",
       {}},
      {"SELECT :a + :A + :b2 + 1.5e-3 + :_c$",
       "SELECT ?1 + ?1 + ?2 + 1.5e-3 + ?3",
       {"a", "b2", "_c$"}},
      {"SELECT ':', x : y", "SELECT ':', x : y", {}},
  });
}

TEST(Dialect, DeepNestingNeedsNoRecursion) {
  const std::size_t depth = 200000;
  std::string sql = "SELECT " + std::string(depth, '(') + "CONVERT(CHAR(2), ISNULL(:P, 1))" +
                    std::string(depth, ')');
  TTranslatedStatement t = TranslateStatement(sql);
  EXPECT_EQ(t.Sql, "SELECT " + std::string(depth, '(') +
                       "SUBSTR(CAST( IFNULL(?1, 1) AS TEXT), 1, 2)" + std::string(depth, ')'));
  EXPECT_EQ(t.ParamNames, Names{"P"});
}

TEST(Dialect, MalformedStatementsRaiseEngineErrors) {
  struct Bad {
    std::string sql;
    std::string fault;
  };
  const Bad cases[] = {
      {"SELECT 'abc", "unterminated string literal at position 8"},
      {"SELECT \"abc", "unterminated quoted identifier"},
      {"SELECT [abc", "unterminated bracketed identifier"},
      {"SELECT 1 /* open", "unterminated comment at position 10"},
      {"SELECT CONVERT(CHAR(0), 1)", "invalid length 0 in CONVERT"},
      {"SELECT CONVERT(CHAR(9000), 1)", "invalid length 9000 in CONVERT"},
      {"SELECT CONVERT(CHAR(x), 1)", "CONVERT needs a length for CHAR"},
      {"SELECT CONVERT(XML, A)", "CONVERT to XML is not supported"},
      {"SELECT CONVERT(, A)", "CONVERT needs a type name"},
      {"SELECT CONVERT(CHAR(8) A)", "CONVERT needs \",\" after the type"},
      {"SELECT CONVERT(CHAR(8), D, 112)", "CONVERT with a style argument is not supported"},
      {"SELECT CONVERT(CHAR(3), 1", "unclosed parenthesis of CONVERT at position 8"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.sql);
    try {
      TranslateStatement(c.sql);
      ADD_FAILURE() << "accepted";
    } catch (const EDBEngineError& e) {
      ASSERT_EQ(e.ErrorCount(), 1);
      EXPECT_EQ(e.Errors(0).ErrorCode, 1);
      EXPECT_NE(e.Message().find(c.fault), std::string::npos) << e.Message();
    }
  }
}

}  // namespace
}  // namespace vx::db
