#include "platform/remote/provider.h"

#include "platform/rtl/text.h"

namespace vx {

namespace {

struct Letter {
  TFieldType Type;
  const char* Code;
};
constexpr Letter kLetters[] = {
    {ftString, "S"},   {ftWideString, "W"}, {ftMemo, "M"},  {ftSmallint, "H"}, {ftInteger, "I"},
    {ftLargeint, "L"}, {ftBoolean, "B"},    {ftFloat, "F"}, {ftDateTime, "D"},
};

// The values of a one-dimensional array of exactly count elements.
bool FromArray(const Variant& a, std::size_t count, TRecordValues& out) {
  if (!a.IsArray() || a.DimCount() != 1 || static_cast<std::size_t>(a.Bounds()[0].Count()) != count)
    return false;
  out.clear();
  for (int i = a.LowBound(); i <= a.HighBound(); ++i)
    out.push_back(a[i]);
  return true;
}

}  // namespace

Variant RecordToArray(const TRecordValues& values) {
  Variant a = VarArrayCreate(0, static_cast<int>(values.size()) - 1);
  for (std::size_t i = 0; i < values.size(); ++i)
    a[static_cast<int>(i)] = values[i];
  return a;
}

std::string FieldTypeLetter(TFieldType type) {
  for (const Letter& l : kLetters)
    if (l.Type == type) return l.Code;
  return "S";
}

TFieldType FieldTypeOfLetter(std::string_view letter) {
  for (const Letter& l : kLetters)
    if (letter == l.Code) return l.Type;
  throw EDatabaseError(Format("Unknown field type '%s'", std::string(letter)));
}

TTableProvider::TTableProvider(std::vector<TProviderColumn> columns,
                               std::vector<std::string> key_fields)
    : columns_(std::move(columns)) {
  for (const std::string& key : key_fields) {
    std::size_t c = 0;
    while (c < columns_.size() && !SameText(columns_[c].Name, key))
      ++c;
    if (c == columns_.size()) throw EDatabaseError(Format("Field '%s' not found", key));
    key_columns_.push_back(c);
  }
}

void TTableProvider::SetRecords(std::vector<TRecordValues> records) {
  for (const TRecordValues& r : records)
    if (r.size() != columns_.size())
      throw EDatabaseError(Format("A record of %d values for %d fields", static_cast<int>(r.size()),
                                  static_cast<int>(columns_.size())));
  records_ = std::move(records);
}

Variant TTableProvider::GetRecords() const {
  Variant descriptors = VarArrayCreate(0, static_cast<int>(columns_.size()) - 1);
  for (std::size_t c = 0; c < columns_.size(); ++c)
    descriptors[static_cast<int>(c)] =
        VarArrayOf({Variant(columns_[c].Name), Variant(FieldTypeLetter(columns_[c].Type))});
  Variant rows = VarArrayCreate(0, static_cast<int>(records_.size()) - 1);
  for (std::size_t r = 0; r < records_.size(); ++r)
    rows[static_cast<int>(r)] = RecordToArray(records_[r]);
  return VarArrayOf({descriptors, rows});
}

int TTableProvider::Locate(const TRecordValues& original) const {
  for (std::size_t r = 0; r < records_.size(); ++r) {
    bool same = true;
    if (key_columns_.empty())
      same = records_[r] == original;
    else
      for (std::size_t c : key_columns_)
        same = same && records_[r][c] == original[c];
    if (same) return static_cast<int>(r);
  }
  return -1;
}

std::string TTableProvider::ApplyUpdates(const Variant& changes) {
  struct Change {
    TRecordValues Original, Changed;
  };
  std::vector<Change> list;
  if (!changes.IsArray() || changes.DimCount() != 1) return "Malformed change list";
  for (int i = changes.LowBound(); i <= changes.HighBound(); ++i) {
    const Variant& c = changes[i];
    Change change;
    if (!c.IsArray() || c.DimCount() != 1 || c.Bounds()[0].Count() != 3)
      return "Malformed change list";
    int low = c.LowBound();
    if (!c[low].IsString() || VarToStr(c[low]) != "U")
      return "Only changes of existing records are accepted";
    if (!FromArray(c[low + 1], columns_.size(), change.Original) ||
        !FromArray(c[low + 2], columns_.size(), change.Changed))
      return "Malformed change list";
    list.push_back(std::move(change));
  }
  for (Change& change : list) {
    int r = Locate(change.Original);
    if (r < 0) {
      // The server may have made the change itself already (a scheme renamed
      // by ChangeConName before the client posts the new name): nothing to do.
      int same = Locate(change.Changed);
      if (same >= 0 && records_[static_cast<std::size_t>(same)] == change.Changed) continue;
      return "Record not found or changed by another user";
    }
    if (OnUpdate) {
      std::string reason = OnUpdate(change.Original, change.Changed);
      if (!reason.empty()) return reason;
    }
    records_[static_cast<std::size_t>(r)] = std::move(change.Changed);
  }
  return {};
}

TTableProvider& TProviders::Add(std::string_view name, TTableProvider provider) {
  auto [it, inserted] = providers_.insert_or_assign(UpperCase(name), std::move(provider));
  return it->second;
}

TTableProvider* TProviders::Find(std::string_view name) {
  auto it = providers_.find(UpperCase(name));
  return it == providers_.end() ? nullptr : &it->second;
}

bool TProviders::Handles(std::string_view method) {
  return SameText(method, kGetRecordsMethod) || SameText(method, kApplyUpdatesMethod);
}

Variant TProviders::Invoke(std::string_view method, std::span<Arg> args) {
  bool get = SameText(method, kGetRecordsMethod);
  if (!get && !SameText(method, kApplyUpdatesMethod)) RaiseUnknownName(method);
  if (args.size() != (get ? 1u : 2u))
    throw EOleSysError(Format("Wrong number of arguments for %s", std::string(method)),
                       DISP_E_BADPARAMCOUNT);
  std::string name = VarToStr(args[0].get());
  TTableProvider* provider = Find(name);
  if (!provider) throw EOleError(Format("Provider '%s' not found", name));
  if (get) return provider->GetRecords();
  return Variant(provider->ApplyUpdates(args[1].get()));
}

}  // namespace vx
