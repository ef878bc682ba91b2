#include "suite/manager/sql_guard.h"

#include <array>
#include <vector>

#include "platform/db/dialect.h"
#include "platform/rtl/text.h"
#include "suite/manager/state.h"

namespace vx::manager {
namespace {

using db::TSqlToken;
using db::TSqlTokenKind;

// A settings query reads one table, or joins two; more references could
// multiply rows beyond any time bound.
constexpr int kMaxTableReferences = 2;

constexpr std::array kSettingsTables = {"VRXINTMA", "VRXSYS", "ADMMB", "VRXMSG"};

// Words that change data, the schema, the session or the transaction, or
// that open recursion.
constexpr std::array kForbiddenWords = {
    "INSERT",    "UPDATE",  "DELETE",    "REPLACE", "DROP",    "CREATE",   "ALTER",  "ATTACH",
    "DETACH",    "PRAGMA",  "VACUUM",    "REINDEX", "ANALYZE", "BEGIN",    "COMMIT", "ROLLBACK",
    "SAVEPOINT", "RELEASE", "INTO",      "EXEC",    "EXECUTE", "TRUNCATE", "MERGE",  "GRANT",
    "REVOKE",    "WITH",    "RECURSIVE", "VALUES",  "RAISE",   "TRIGGER",  "UPSERT"};

// What may stand before "(": functions that only compute a value, type
// names of CAST and CONVERT, and the keywords that open a sub-expression.
constexpr std::array kCallableWords = {
    "UPPER",   "LOWER",    "TRIM",     "LTRIM",    "RTRIM",   "SUBSTR", "SUBSTRING", "LENGTH",
    "LEN",     "ISNULL",   "IFNULL",   "COALESCE", "NULLIF",  "COUNT",  "MAX",       "MIN",
    "SUM",     "AVG",      "CAST",     "CONVERT",  "ABS",     "ROUND",  "GETDATE",   "CHAR",
    "VARCHAR", "NCHAR",    "NVARCHAR", "INT",      "INTEGER", "BIGINT", "DECIMAL",   "NUMERIC",
    "IN",      "EXISTS",   "AND",      "OR",       "NOT",     "ON",     "WHERE",     "SELECT",
    "FROM",    "JOIN",     "WHEN",     "THEN",     "ELSE",    "CASE",   "HAVING",    "BY",
    "LIKE",    "IS",       "BETWEEN",  "ALL",      "ANY",     "SOME",   "DISTINCT",  "UNION",
    "EXCEPT",  "INTERSECT"};

// Words after a table name that are not its alias.
constexpr std::array kClauseWords = {"WHERE", "GROUP",   "ORDER",     "HAVING", "LIMIT",
                                     "JOIN",  "LEFT",    "RIGHT",     "INNER",  "OUTER",
                                     "CROSS", "NATURAL", "FULL",      "ON",     "USING",
                                     "UNION", "EXCEPT",  "INTERSECT", "OFFSET", "AS"};

template <std::size_t N>
bool InList(const std::array<const char*, N>& list, std::string_view word) {
  for (const char* w : list)
    if (SameText(w, word)) return true;
  return false;
}

bool IsName(const TSqlToken& t) {
  return t.Kind == TSqlTokenKind::Ident || t.Kind == TSqlTokenKind::QuotedIdent;
}

bool IsPunct(const TSqlToken& t, char c) {
  return t.Kind == TSqlTokenKind::Punct && t.Text.size() == 1 && t.Text[0] == c;
}

bool IsWord(const TSqlToken& t, std::string_view word) {
  return t.Kind == TSqlTokenKind::Ident && SameText(t.Text, word);
}

// The name a name token stands for: quotes removed, doubled quotes single.
std::string NameOf(const TSqlToken& t) {
  if (t.Kind != TSqlTokenKind::QuotedIdent || t.Text.size() < 2) return std::string(t.Text);
  const char close = t.Text.back();
  std::string out;
  for (std::size_t i = 1; i + 1 < t.Text.size(); ++i) {
    out += t.Text[i];
    if (t.Text[i] == close && i + 2 < t.Text.size() && t.Text[i + 1] == close) ++i;
  }
  return out;
}

class Checker {
 public:
  Checker(std::vector<TSqlToken> tokens, std::string_view system_db) : system_db_(system_db) {
    for (TSqlToken& t : tokens)
      if (t.Kind != TSqlTokenKind::Space && t.Kind != TSqlTokenKind::Comment) sig_.push_back(t);
  }

  void Run() {
    if (!sig_.empty() && IsPunct(sig_.back(), ';')) sig_.pop_back();
    if (sig_.empty()) Refuse("The settings query is empty");
    if (!IsWord(sig_.front(), "SELECT")) Refuse("Only a SELECT statement may read settings");
    for (i_ = 0; i_ < sig_.size(); ++i_)
      Token(sig_[i_]);
  }

 private:
  const TSqlToken* At(std::size_t j) const { return j < sig_.size() ? &sig_[j] : nullptr; }

  void Token(const TSqlToken& t) {
    switch (t.Kind) {
      case TSqlTokenKind::Param:
        Refuse("A settings query takes no parameters (" + std::string(t.Text) + ")");
      case TSqlTokenKind::Punct:
        if (IsPunct(t, ';')) Refuse("A settings query is a single statement");
        if (IsPunct(t, '?') || IsPunct(t, '$')) Refuse("A settings query takes no parameters");
        return;
      case TSqlTokenKind::Ident:
        Word(t);
        return;
      default:
        return;
    }
  }

  void Word(const TSqlToken& t) {
    const std::string word = UpperCase(t.Text);
    if (word[0] == '@' || word[0] == '#') Refuse("A settings query takes no parameters");
    if (InList(kForbiddenWords, word) || StartsText("SQLITE_", word))
      Refuse("\"" + std::string(t.Text) + "\" is not allowed in a settings query");
    const TSqlToken* next = At(i_ + 1);
    if (next && IsPunct(*next, '(') && !InList(kCallableWords, word))
      Refuse("The function \"" + std::string(t.Text) + "\" is not allowed in a settings query");
    // "x IN table" reads a table without FROM.
    if (word == "IN" && (!next || !IsPunct(*next, '(')))
      Refuse("IN needs a parenthesised list in a settings query");
    if (word == "FROM") TableList(true);
    if (word == "JOIN") TableList(false);
  }

  // The tables after FROM (a list) or JOIN (one).
  void TableList(bool list) {
    for (;;) {
      const TSqlToken* t = At(i_ + 1);
      if (!t) Refuse("A table name is missing after FROM or JOIN");
      if (IsPunct(*t, '(')) {
        // A sub-query is checked as the walk goes on; a parenthesised table
        // list would hide its tables from this walk.
        const TSqlToken* inner = At(i_ + 2);
        if (!inner || !IsWord(*inner, "SELECT"))
          Refuse("A settings query takes a sub-query after FROM or JOIN, not a table list");
        return;
      }
      if (!IsName(*t)) Refuse("A table name is missing after FROM or JOIN");
      ++i_;
      std::string table = NameOf(*t);
      const TSqlToken* sep = At(i_ + 1);
      if (sep && (sep->Kind == TSqlTokenKind::DotDot || IsPunct(*sep, '.'))) {
        const TSqlToken* name = At(i_ + 2);
        if (!name || !IsName(*name)) Refuse("A table name is missing after \"" + table + "\"");
        if (!SameText(table, system_db_) && !SameText(table, "main"))
          Refuse("A settings query reads only the system database, not \"" + table + "\"");
        table = NameOf(*name);
        i_ += 2;
      }
      if (!IsSettingsTable(table)) Refuse("The table \"" + table + "\" is not a settings table");
      if (++tables_ > kMaxTableReferences)
        Refuse("A settings query reads at most " + IntToStr(kMaxTableReferences) + " tables");
      const TSqlToken* after = At(i_ + 1);
      if (after && IsPunct(*after, '(')) Refuse("\"" + table + "\" is not a function");
      // Optional alias, with or without AS.
      if (after && IsWord(*after, "AS")) {
        const TSqlToken* alias = At(i_ + 2);
        if (!alias || !IsName(*alias)) Refuse("An alias is missing after AS");
        i_ += 2;
      } else if (after && IsName(*after) && !InList(kClauseWords, after->Text)) {
        ++i_;
      }
      const TSqlToken* comma = At(i_ + 1);
      if (!list || !comma || !IsPunct(*comma, ',')) return;
      ++i_;
    }
  }

  std::vector<TSqlToken> sig_;
  std::string system_db_;
  std::size_t i_ = 0;
  int tables_ = 0;
};

}  // namespace

bool IsSettingsTable(std::string_view table) {
  return InList(kSettingsTables, table);
}

void CheckSettingsQuery(std::string_view sql, std::string_view system_db) {
  if (sql.size() > kMaxTextLength) Refuse("The settings query is too long");
  std::vector<TSqlToken> tokens;
  try {
    tokens = db::TokenizeStatement(sql);
  } catch (const Exception& e) {
    Refuse("The settings query cannot be read: " + e.Message());
  }
  Checker(std::move(tokens), system_db).Run();
}

}  // namespace vx::manager
