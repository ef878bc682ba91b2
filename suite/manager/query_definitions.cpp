#include "suite/manager/query_definitions.h"

#include "platform/db/connection_string.h"
#include "platform/db/dialect.h"
#include "platform/rtl/text.h"

namespace vx::manager {
namespace {

constexpr char kETX = '\x03';

// The statement's parameter values: :Pk is the k-th element of the
// arguments.
void BindArguments(db::IStatement& statement, const Variant& args, const std::string& what) {
  std::vector<Variant> values;
  if (args.IsArray()) {
    if (args.DimCount() != 1) Refuse("The arguments of " + what + " must be a list");
    if (args.HighBound() - args.LowBound() + 1 > kMaxArguments)
      Refuse("Too many arguments for " + what);
    for (int i = args.LowBound(); i <= args.HighBound(); ++i)
      values.push_back(args[i]);
  } else if (!VarIsEmpty(args)) {
    values.push_back(args);
  }
  for (const Variant& v : values) {
    if (v.IsArray() || v.IsDispatch()) Refuse("An argument of " + what + " is not a value");
    if (v.IsString() && VarToStr(v).size() > kMaxTextLength)
      Refuse("An argument of " + what + " is too long");
  }
  const auto& names = statement.ParamNames();
  for (std::size_t p = 0; p < names.size(); ++p) {
    const std::string& name = names[p];
    std::optional<int> k;
    if (name.size() > 1 && (name[0] == 'P' || name[0] == 'p')) k = TryStrToInt(name.substr(1));
    if (!k || *k < 1 || *k > kMaxArguments)
      Refuse("The definition of " + what + " has the parameter :" + name +
             ", which is not :P1, :P2, ...");
    const auto index = static_cast<std::size_t>(*k - 1);
    statement.Bind(static_cast<int>(p), index < values.size() ? values[index] : Variant::Null());
  }
}

// "$$" in a definition stands for the system database and "..".
std::string WithSystemDB(std::string_view sql, const std::string& system_db) {
  std::string out;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '$' && i + 1 < sql.size() && sql[i + 1] == '$') {
      out += system_db + "..";
      ++i;
    } else {
      out += sql[i];
    }
  }
  return out;
}

// The statement with column added to its select list (before its first FROM
// outside parentheses), so that rows can be limited by a column the list
// does not show. The statement as it is when it has no such FROM.
std::string WithExtraColumn(const std::string& sql, const std::string& column) {
  int depth = 0;
  for (const db::TSqlToken& t : db::TokenizeStatement(sql)) {
    if (t.Kind == db::TSqlTokenKind::Punct && t.Text == "(") ++depth;
    if (t.Kind == db::TSqlTokenKind::Punct && t.Text == ")") --depth;
    if (depth == 0 && t.Kind == db::TSqlTokenKind::Ident && SameText(t.Text, "FROM"))
      return sql.substr(0, t.Offset) + ", " + column + " " + sql.substr(t.Offset);
  }
  return sql;
}

int ColumnIndex(const db::IStatement& statement, const std::string& column) {
  for (int c = 0; c < statement.ColumnCount(); ++c)
    if (SameText(statement.ColumnName(c), column)) return c;
  return -1;
}

}  // namespace

std::optional<std::set<std::string>> ParseLimitText(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == kETX) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  const bool closed = start == text.size();
  std::optional<int> n = parts.size() >= 2 ? TryStrToInt(Trim(parts[1])) : std::nullopt;
  if (!closed || !n || *n < 0 || static_cast<std::size_t>(*n) != parts.size() - 2)
    Refuse("The limit text (BaseLimited) is not of the form prefix, count and values");
  if (*n == 0) return std::nullopt;
  std::set<std::string> values;
  for (std::size_t i = 2; i < parts.size(); ++i)
    values.insert(Trim(parts[i]));
  return values;
}

std::optional<TRows> RunDefinition(const TManagerState& state, const TDefinitionQuery& request) {
  const std::string what = "lookup " + request.Table + ";" + request.Query;
  const std::optional<std::set<std::string>> limit = ParseLimitText(request.Limit);
  const std::string system_db = state.SystemName(request.SystemDB);
  auto session = state.OpenFor(request.CompanyID, system_db);
  try {
    auto def = session->Prepare("SELECT SQL_TEXT, MIN_PRODUCT, LIMIT_COLUMN FROM " + system_db +
                                "..VRXQRY WHERE UPPER(TABLE_NAME) = UPPER(:T) AND QUERY_NO = :Q"
                                " ORDER BY CASE WHEN UPPER(KIND) = :K THEN 0 ELSE 1 END");
    def->Bind("T", Trim(request.Table));
    def->Bind("Q", Trim(request.Query));
    def->Bind("K", request.List ? "L" : "C");
    if (!def->Step()) return std::nullopt;
    std::string sql = WithSystemDB(Trim(def->ColumnText(0)), system_db);
    if (!def->ColumnIsNull(1) && def->ColumnInt64(1) > request.ProductID) return std::nullopt;
    const std::string limit_column = Trim(def->ColumnText(2));
    if (sql.empty()) Refuse("The definition of " + what + " has no statement");

    if (sql.size() > kMaxTextLength) Refuse("The definition of " + what + " is too long");
    const bool limited = limit && !limit_column.empty();
    if (limited && !db::IsDatabaseName(limit_column))
      Refuse("The definition of " + what + " limits by \"" + limit_column +
             "\", which is no column name");
    auto q = session->Prepare(sql);
    // Columns the caller sees; a limit column added below is not one of them.
    int shown = q->ColumnCount();
    int limit_index = limited ? ColumnIndex(*q, limit_column) : -1;
    if (limited && limit_index < 0) {
      q = session->Prepare(WithExtraColumn(sql, limit_column));
      limit_index = ColumnIndex(*q, limit_column);
      if (limit_index < shown)
        Refuse("The definition of " + what + " cannot be limited by the column " + limit_column);
    }
    BindArguments(*q, request.Args, what);
    TRows rows;
    while (q->Step()) {
      if (limit_index >= 0 && !limit->count(Trim(q->ColumnText(limit_index)))) continue;
      if (!request.StartText.empty() &&
          (shown == 0 || !StartsText(request.StartText, q->ColumnText(0))))
        continue;
      if (rows.size() >= kMaxRows)
        Refuse("The " + what + " gives more than " + IntToStr(static_cast<std::int64_t>(kMaxRows)) +
               " rows");
      std::vector<Variant>& row = rows.emplace_back();
      for (int c = 0; c < shown; ++c)
        row.push_back(q->Column(c));
      if (!request.List) break;
    }
    return rows;
  } catch (const EOleError&) {
    throw;
  } catch (const Exception& e) {
    Refuse("The " + what + " failed: " + e.Message());
  }
}

}  // namespace vx::manager
