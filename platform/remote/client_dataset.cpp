#include "platform/remote/client_dataset.h"

#include <algorithm>
#include <numeric>

#include "platform/remote/provider.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

bool Numeric(const Variant& v) {
  std::uint16_t t = v.VarType();
  return v.IsNumeric() || t == varDate || t == varBoolean;
}

// Order of two values of an index field.
int CompareValues(const Variant& a, const Variant& b) {
  bool a_null = a.IsNull() || a.IsEmpty();
  bool b_null = b.IsNull() || b.IsEmpty();
  if (a_null || b_null) return a_null == b_null ? 0 : (a_null ? -1 : 1);
  if (Numeric(a) && Numeric(b)) {
    double x = a.ToDouble(), y = b.ToDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  int c = VarToStr(a).compare(VarToStr(b));
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

[[noreturn]] void BadPacket(const std::string& provider) {
  throw EDatabaseError(Format("Provider '%s' delivered malformed records", provider));
}

const Variant& Item(const Variant& array, int offset) {
  return array[array.LowBound() + offset];
}

bool IsList(const Variant& v) {
  return v.IsArray() && v.DimCount() == 1;
}

}  // namespace

const TClassInfo& TClientDataSet::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TClientDataSet>("TClientDataSet", [](auto& r) {
    r.template Obj<&TClientDataSet::RemoteServer, &TClientDataSet::SetRemoteServer>(
        "RemoteServer", "TSocketConnection");
    r.template Str<&TClientDataSet::ProviderName, &TClientDataSet::SetProviderName>("ProviderName");
    r.template Str<&TClientDataSet::IndexName, &TClientDataSet::SetIndexName>("IndexName");
  });
  return info;
}

TClientDataSet::TClientDataSet(TComponent* owner) : TDataSet(owner) {}

void TClientDataSet::SetRemoteServer(TSocketConnection* connection) {
  if (remote_server_) remote_server_->RemoveFreeNotification(this);
  remote_server_ = connection;
  if (remote_server_) remote_server_->FreeNotification(this);
}

void TClientDataSet::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == opRemove && component == remote_server_) remote_server_ = nullptr;
}

void TClientDataSet::AddIndex(std::string_view name, std::string_view fields) {
  TIndex index{std::string(name), {}};
  std::size_t start = 0;
  while (start <= fields.size()) {
    std::size_t end = std::min(fields.find(';', start), fields.size());
    std::string field = Trim(fields.substr(start, end - start));
    if (!field.empty()) index.Fields.push_back(field);
    start = end + 1;
  }
  if (index.Fields.empty()) throw EDatabaseError(Format("Index '%s' has no fields", index.Name));
  auto same = [&](const TIndex& i) { return SameText(i.Name, name); };
  std::erase_if(indexes_, same);
  indexes_.push_back(std::move(index));
}

void TClientDataSet::SetIndexName(std::string_view name) {
  if (!name.empty() && std::none_of(indexes_.begin(), indexes_.end(),
                                    [&](const TIndex& i) { return SameText(i.Name, name); }))
    throw EDatabaseError(Format("Index '%s' not found", std::string(name)));
  if (State() == dsEdit) Post();
  index_name_ = std::string(name);
  if (Active()) {
    int current = CurrentIndex();
    RecordsChanged(current);
    if (current >= 0) SetCurrentIndex(current);
  }
}

const TClientDataSet::TIndex* TClientDataSet::ActiveIndex() const {
  for (const TIndex& i : indexes_)
    if (!index_name_.empty() && SameText(i.Name, index_name_)) return &i;
  return nullptr;
}

void TClientDataSet::RecordsChanged(int& current_index) {
  std::vector<std::size_t> columns;
  if (const TIndex* index = ActiveIndex())
    for (const std::string& f : index->Fields)
      columns.push_back(FieldColumn(*FieldByName(f)));
  auto& records = Records();
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), 0);
  // Equal keys, and every record without an index, keep the provider's order.
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    for (std::size_t c : columns) {
      int cmp = CompareValues(records[a][c], records[b][c]);
      if (cmp != 0) return cmp < 0;
    }
    return arrival_[a] < arrival_[b];
  });
  std::vector<TRecordValues> sorted;
  std::vector<std::size_t> arrival;
  sorted.reserve(records.size());
  arrival.reserve(records.size());
  int moved = current_index;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int>(order[i]) == current_index) moved = static_cast<int>(i);
    sorted.push_back(std::move(records[order[i]]));
    arrival.push_back(arrival_[order[i]]);
  }
  records = std::move(sorted);
  arrival_ = std::move(arrival);
  current_index = moved;
}

bool TClientDataSet::FindKey(const std::vector<Variant>& keys) {
  CheckActive();
  const TIndex* index = ActiveIndex();
  if (!index) throw EDatabaseError("No index currently active");
  if (keys.size() > index->Fields.size())
    throw EDatabaseError(Format("Index '%s' has %d fields, %d keys given", index->Name,
                                static_cast<int>(index->Fields.size()),
                                static_cast<int>(keys.size())));
  if (State() == dsEdit) Post();
  std::vector<std::size_t> columns;
  for (std::size_t k = 0; k < keys.size(); ++k)
    columns.push_back(FieldColumn(*FieldByName(index->Fields[k])));
  const auto& records = Records();
  for (std::size_t r = 0; r < records.size(); ++r) {
    bool match = true;
    for (std::size_t k = 0; k < keys.size() && match; ++k)
      match = CompareValues(records[r][columns[k]], keys[k]) == 0;
    if (match) {
      SetCurrentIndex(static_cast<int>(r));
      return true;
    }
  }
  return false;
}

Variant TClientDataSet::Server() {
  if (!remote_server_) throw EDatabaseError(Format("%s: missing remote server", Name()));
  if (provider_name_.empty()) throw EDatabaseError(Format("%s: missing provider name", Name()));
  if (!remote_server_->Connected()) remote_server_->Open();
  Variant server = remote_server_->AppServer();
  if (!server.IsDispatch()) throw EDatabaseError(Format("%s: remote server not connected", Name()));
  return server;
}

void TClientDataSet::InternalOpen(std::vector<TColumn>& columns,
                                  std::vector<TRecordValues>& records) {
  Variant packet = Call(Server(), kGetRecordsMethod, {Arg(provider_name_)});
  if (!IsList(packet) || packet.Bounds()[0].Count() != 2) BadPacket(provider_name_);
  const Variant& descriptors = Item(packet, 0);
  const Variant& rows = Item(packet, 1);
  if (!IsList(descriptors) || !IsList(rows)) BadPacket(provider_name_);
  for (int i = descriptors.LowBound(); i <= descriptors.HighBound(); ++i) {
    const Variant& d = descriptors[i];
    if (!IsList(d) || d.Bounds()[0].Count() != 2 || !Item(d, 0).IsString() ||
        !Item(d, 1).IsString())
      BadPacket(provider_name_);
    columns.push_back({VarToStr(Item(d, 0)), FieldTypeOfLetter(VarToStr(Item(d, 1)))});
  }
  for (int i = rows.LowBound(); i <= rows.HighBound(); ++i) {
    const Variant& row = rows[i];
    if (!IsList(row) || static_cast<std::size_t>(row.Bounds()[0].Count()) != columns.size())
      BadPacket(provider_name_);
    TRecordValues values;
    for (int c = row.LowBound(); c <= row.HighBound(); ++c)
      values.push_back(row[c]);
    records.push_back(std::move(values));
  }
  arrival_.resize(records.size());
  std::iota(arrival_.begin(), arrival_.end(), 0);
}

void TClientDataSet::InternalPost(const TRecordValues& original, const TRecordValues& changed) {
  Variant changes =
      VarArrayOf({VarArrayOf({Variant("U"), RecordToArray(original), RecordToArray(changed)})});
  Variant answer = Call(Server(), kApplyUpdatesMethod, {Arg(provider_name_), Arg(changes)});
  std::string reason = VarToStr(answer);
  if (!reason.empty()) throw EDatabaseError(reason);
}

}  // namespace vx
