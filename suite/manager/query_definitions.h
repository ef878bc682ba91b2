#pragma once
// Lookups and checks run from the query definitions of the system database
// (table VRXQRY): the statement, its parameters :P1, :P2, ... taken from the
// caller's argument array in order, the lowest product that may use it and
// the column the user's rights limit.
#include <optional>
#include <set>
#include <string>

#include "suite/manager/state.h"

namespace vx::manager {

struct TDefinitionQuery {
  std::string Table;
  std::string Query;
  std::string CompanyID;  // empty: the system database alone
  std::string SystemDB;
  Variant Args;  // an array (:P1 = element at the lower bound), a single value, or empty
  int ProductID = 0;
  std::string Limit;      // the rights' limit text (BaseLimited)
  std::string StartText;  // rows whose first column starts with it; all when empty
  bool List = false;      // all rows (a list) rather than the first (a check)
};

// The rows found; nothing when there is no such definition or the product is
// below its minimum. Refuses a malformed limit text, bad arguments and a
// definition that cannot run, with the reason.
std::optional<TRows> RunDefinition(const TManagerState& state, const TDefinitionQuery& request);

// The values a limit text "prefix ETX n ETX v1 ETX ... vn ETX" lists (ETX
// being character 3); nothing (no limit) when the text is empty or lists no
// value. Refuses a text that does not have that form.
std::optional<std::set<std::string>> ParseLimitText(const std::string& text);

}  // namespace vx::manager
