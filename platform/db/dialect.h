#pragma once
// The SQL-Server dialect the suite's statements are written in, rewritten for
// the engine. Outside string literals, quoted identifiers and comments:
//
//   db..table                  db.table (a table of an attached database)
//   ISNULL(a, b)               IFNULL(a, b)
//   GETDATE()                  the local date and time as text
//                              "YYYY-MM-DD HH:MM:SS.mmm"
//   CONVERT(CHAR(n), e)        the text of e, at most n characters, unpadded
//                              (VARCHAR, NCHAR, NVARCHAR alike; without (n)
//                              at most 30 characters, as the server's default)
//   CONVERT(INT|BIGINT|..., e) integer cast; CONVERT(FLOAT|REAL, e) real cast
//   CAST(e AS BIGINT)          integer cast (INT, SMALLINT, TINYINT alike)
//   N'text'                    'text'
//   :NAME                      a parameter bound by name (names ignore case)
//
// Everything else passes unchanged, spacing and comments included. The walk
// is one pass with an explicit stack of open parentheses, so deep nesting
// costs no recursion.
#include <string>
#include <string_view>
#include <vector>

namespace vx::db {

struct TTranslatedStatement {
  // Engine text; parameter k (from 1) appears as "?k".
  std::string Sql;
  // Parameter names in order of first appearance, as written (without ":");
  // repeated names (ignoring case) share one entry.
  std::vector<std::string> ParamNames;
};

// Raises EDBEngineError (code 1) for an unterminated literal, quoted
// identifier or comment, and for a CONVERT it cannot rewrite.
TTranslatedStatement TranslateStatement(std::string_view sql);

// The parameter names of a statement, as TranslateStatement finds them.
std::vector<std::string> StatementParamNames(std::string_view sql);

// The pieces of a statement as the rewrite sees them, for callers that check
// a statement before running it. Literals, quoted identifiers ("x", [x], `x`)
// and comments are single tokens; ":NAME" is a parameter, ".." joins a
// database and a table name; every other character outside these is a
// punctuation token of its own.
enum class TSqlTokenKind {
  Space,
  Comment,
  String,
  QuotedIdent,
  Ident,
  Number,
  Param,
  DotDot,
  Punct
};

struct TSqlToken {
  TSqlTokenKind Kind;
  std::string_view Text;  // a view into the statement given
  std::size_t Offset;
};

// Raises EDBEngineError (code 1) for an unterminated literal, quoted
// identifier or comment.
std::vector<TSqlToken> TokenizeStatement(std::string_view sql);

}  // namespace vx::db
