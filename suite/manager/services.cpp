// The manager's three service objects: the counter (system information,
// connection string, settings queries), the validator (checks and lists from
// the query definitions) and the lookup window (answering by its rule).
#include "lib/strs.h"
#include "platform/rtl/text.h"
#include "suite/manager/query_definitions.h"
#include "suite/manager/sql_guard.h"
#include "suite/manager/state.h"

namespace vx::manager {
namespace {

// Element index of an array, Empty when it has none.
Variant Element(const Variant& array, int index) {
  if (!array.IsArray() || array.DimCount() != 1) return Unassigned;
  if (index < array.LowBound() || index > array.HighBound()) return Unassigned;
  return array[index];
}

// The arguments a caller passes as a list must stay small.
void RequireSmallList(const Variant& v, std::string_view what) {
  if (v.IsArray() && (v.DimCount() != 1 || v.HighBound() - v.LowBound() + 1 > kMaxArguments))
    Refuse(std::string(what) + " must be a list of at most " + IntToStr(kMaxArguments) +
           " elements");
}

// What every service object holds: the manager's shared state.
class TServiceObject : public IDispatch {
 public:
  explicit TServiceObject(std::shared_ptr<TManagerState> state) : state_(std::move(state)) {}

 protected:
  std::shared_ptr<TManagerState> state_;
};

class TCounter : public TServiceObject {
 public:
  using TServiceObject::TServiceObject;

  Variant Invoke(std::string_view name, DispatchKind, std::span<Arg> args) override {
    if (SameText(name, "GetSysInfo")) {
      RequireArgs(args, 1, name);
      return SysInfo(TextArg(args, 0, "The company"));
    }
    if (SameText(name, "GetCounter")) {
      RequireArgs(args, 1, name);
      const std::string counter = UpperCase(TextArg(args, 0, "The counter name"));
      const Variant where = args.size() > 2 ? args[2].get() : Unassigned;
      RequireSmallList(where, "The company and system database");
      const std::string company = TextElement(where, LowOf(where), "The company");
      const std::string system_db = TextElement(where, LowOf(where) + 1, "The system database");
      if (counter == "RESULTCONNECTSTRING")
        return state_->ConnectionString(company.empty() ? state_->Config.CompanyID : company,
                                        system_db);
      if (counter == "SIMPLESQL")
        return SimpleSQL(args.size() > 1 ? args[1].get() : Unassigned, system_db);
      return Unassigned;
    }
    RaiseUnknownName(name);
  }

 private:
  static int LowOf(const Variant& v) { return v.IsArray() ? v.LowBound() : 0; }

  // (0, i) the name, (1, i) the value of each entry of the company.
  Variant SysInfo(const std::string& company) {
    auto session = state_->OpenSystem({});
    TRows rows;
    try {
      auto q =
          session->Prepare("SELECT NAME, VALUE FROM VRXSYS WHERE COMPANY = :COMPANY ORDER BY NAME");
      q->Bind("COMPANY", Trim(company));
      rows = ReadRows(*q);
    } catch (const EOleError&) {
      throw;
    } catch (const Exception& e) {
      Refuse("Cannot read the system information: " + e.Message());
    }
    Variant result = VarArrayCreate({{0, 1}, {0, static_cast<int>(rows.size()) - 1}});
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int col = static_cast<int>(i);
      result.At({0, col}) = VarToStr(rows[i][0]);
      result.At({1, col}) = rows[i][1].IsNull() ? Variant(std::string()) : rows[i][1];
    }
    return result;
  }

  // [statement, column]: the rows of a settings query; with a column named,
  // each row holds that column alone.
  Variant SimpleSQL(const Variant& request, const std::string& system_db) {
    if (!request.IsArray()) Refuse("SimpleSQL needs [statement, column]");
    RequireSmallList(request, "SimpleSQL's arguments");
    const std::string sql =
        TextElement(request, request.LowBound(), "The settings query", kMaxTextLength);
    const std::string column = Trim(TextElement(request, request.LowBound() + 1, "The column"));
    const std::string name = state_->SystemName(system_db);
    CheckSettingsQuery(sql, name);
    auto session = state_->OpenSystem(name);
    try {
      auto q = session->Prepare(sql);
      int wanted = -1;
      if (!column.empty()) {
        for (int c = 0; c < q->ColumnCount() && wanted < 0; ++c)
          if (SameText(q->ColumnName(c), column)) wanted = c;
        if (wanted < 0) Refuse("The settings query gives no column " + column);
      }
      TRows rows = ReadRows(*q);
      if (wanted >= 0)
        for (auto& row : rows)
          row = {row[static_cast<std::size_t>(wanted)]};
      return RowsToVariant(rows);
    } catch (const EOleError&) {
      throw;
    } catch (const Exception& e) {
      Refuse("The settings query failed: " + e.Message());
    }
  }
};

class TValidator : public TServiceObject {
 public:
  explicit TValidator(std::shared_ptr<TManagerState> state)
      : TServiceObject(std::move(state)), product_id_(state_->Config.ProductID) {}

  Variant Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) override {
    if (SameText(name, "ProductID")) {
      if (kind != DispatchKind::PropertyPut) return product_id_;
      RequireArgs(args, 1, name);
      try {
        product_id_ = args.back().get().ToInt();
      } catch (const Exception&) {
        Refuse("ProductID must be a whole number");
      }
      return Unassigned;
    }
    if (SameText(name, "BaseLimited")) {
      if (kind != DispatchKind::PropertyPut) return limit_;
      RequireArgs(args, 1, name);
      limit_ = TextArg(args, args.size() - 1, "BaseLimited", kMaxLimitLength);
      return Unassigned;
    }
    const bool list = SameText(name, "QueryData");
    if (list || SameText(name, "CheckValue")) {
      RequireArgs(args, 5, name);
      TDefinitionQuery request;
      request.Table = TextArg(args, 0, "The table");
      request.Query = TextArg(args, 1, "The query number");
      request.SystemDB = TextArg(args, 2, "The system database");
      request.Args = args[3].get();
      request.CompanyID = state_->Config.CompanyID;
      request.ProductID = product_id_;
      request.Limit = limit_;
      request.List = list;
      std::optional<TRows> rows = RunDefinition(*state_, request);
      Variant& result = args[4].get();
      if (!rows || rows->empty()) {
        result = Unassigned;
        return false;
      }
      if (list) {
        result = RowsToVariant(*rows);
      } else {
        TRows first{rows->front()};
        result = RowsToVariant(first)[0];
      }
      return true;
    }
    RaiseUnknownName(name);
  }

 private:
  int product_id_;
  std::string limit_;
};

// Positions in the lookup request.
enum : int {
  kReqTable = 0,
  kReqQuery = 1,
  kReqArgs = 2,
  kReqStart = 4,
  kReqCompany = 5,
  kReqSystemDB = 6,
  kReqProductID = 10,
  kReqLimit = 14,
  kRequestSize = 19,
};

class TF2Window : public TServiceObject {
 public:
  using TServiceObject::TServiceObject;

  Variant Invoke(std::string_view name, DispatchKind, std::span<Arg> args) override {
    if (SameText(name, "F2GetData")) {
      RequireArgs(args, 1, name);
      return GetData(args[0].get());
    }
    if (SameText(name, "ShowInputDay")) {
      RequireArgs(args, 1, name);
      return InputDay(args[0].get());
    }
    if (SameText(name, "GetPhrase")) {
      RequireArgs(args, 1, name);
      std::string phrase = state_->Answerer->ChoosePhrase(TextArg(args, 0, "The user"));
      return phrase.size() > kMaxTextLength ? std::string() : phrase;
    }
    RaiseUnknownName(name);
  }

 private:
  Variant GetData(const Variant& request) {
    if (!request.IsArray() || request.DimCount() != 1)
      Refuse("F2GetData needs the lookup request array");
    const int low = request.LowBound();
    if (request.HighBound() - low + 1 > kRequestSize * 2)
      Refuse("The lookup request has too many elements");
    auto text = [&](int index, std::string_view what, std::size_t max = kMaxNameLength) {
      return TextElement(request, low + index, what, max);
    };
    TDefinitionQuery q;
    q.Table = text(kReqTable, "The table");
    q.Query = text(kReqQuery, "The query number");
    q.Args = Element(request, low + kReqArgs);
    RequireSmallList(q.Args, "The lookup arguments");
    q.StartText = Trim(text(kReqStart, "The starting text", kMaxTextLength));
    q.CompanyID = text(kReqCompany, "The company");
    if (Trim(q.CompanyID).empty()) q.CompanyID = state_->Config.CompanyID;
    q.SystemDB = text(kReqSystemDB, "The system database");
    q.ProductID = state_->Config.ProductID;
    const Variant product = Element(request, low + kReqProductID);
    if (!VarIsEmptyOrNull(product)) {
      try {
        q.ProductID = product.ToInt();
      } catch (const Exception&) {
        Refuse("The product in the lookup request is not a whole number");
      }
    }
    q.Limit = text(kReqLimit, "The limit text", kMaxLimitLength);
    q.List = true;
    const std::optional<TRows> rows = RunDefinition(*state_, q);
    if (!rows || rows->empty()) return Unassigned;
    const TLookupChoice choice{q.Table, q.Query, q.StartText, &*rows};
    const std::optional<std::size_t> chosen = state_->Answerer->ChooseRow(choice);
    if (!chosen || *chosen >= rows->size()) return Unassigned;
    return RowsToVariant(TRows{(*rows)[*chosen]});
  }

  // [ROC calendar, "YYYYMMDD", SystemDB] -> the chosen date, or the given one.
  Variant InputDay(const Variant& request) {
    if (!request.IsArray() || request.DimCount() != 1)
      Refuse("ShowInputDay needs [calendar, date, system database]");
    RequireSmallList(request, "ShowInputDay's arguments");
    const int low = request.LowBound();
    bool roc = false;
    try {
      roc = Element(request, low).ToBool();
    } catch (const Exception&) {
      roc = false;
    }
    std::string start = Trim(TextElement(request, low + 1, "The date"));
    if (!IsValidDate8(start) || start.size() != 8) start.clear();
    std::string chosen = Trim(state_->Answerer->ChooseDate(roc, start));
    if (chosen.empty()) return std::string();
    if (chosen.size() != 8 || !IsValidDate8(chosen)) return start;
    return chosen;
  }
};

}  // namespace

DispatchPtr MakeCounter(std::shared_ptr<TManagerState> state) {
  return std::make_shared<TCounter>(std::move(state));
}
DispatchPtr MakeValidator(std::shared_ptr<TManagerState> state) {
  return std::make_shared<TValidator>(std::move(state));
}
DispatchPtr MakeF2Window(std::shared_ptr<TManagerState> state) {
  return std::make_shared<TF2Window>(std::move(state));
}

}  // namespace vx::manager
