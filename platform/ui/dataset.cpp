#include "platform/ui/dataset.h"

#include <algorithm>
#include <climits>

#include "platform/rtl/text.h"

namespace vx {

namespace {

// A value stored into a field becomes the field's type.
Variant ConvertTo(TFieldType type, const Variant& v) {
  if (v.IsEmpty() || v.IsNull()) return Variant::Null();
  switch (type) {
    case ftString:
    case ftMemo:
      return Variant(v.ToText());
    case ftWideString:
      return Variant(v.ToWide());
    case ftSmallint: {
      std::int32_t i = v.ToInt();
      if (i < INT16_MIN || i > INT16_MAX)
        throw EVariantOverflowError(Format("%d is not a valid Smallint value", i));
      return Variant(static_cast<std::int16_t>(i));
    }
    case ftInteger:
      return Variant(v.ToInt());
    case ftLargeint:
      return Variant(v.ToInt64());
    case ftBoolean:
      return Variant(v.ToBool());
    case ftFloat:
      return Variant(v.ToDouble());
    case ftDateTime:
      return Variant(v.ToDate());
    case ftUnknown:
      break;
  }
  return v;
}

bool HoldsText(TFieldType type) {
  return type == ftString || type == ftWideString || type == ftMemo || type == ftUnknown;
}

template <class T>
void EraseValue(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

// ---- TField
// ---------------------------------------------------------------------------------------

const TClassInfo& TField::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TField>("TField", [](auto& r) {
    RegisterEnumType("TFieldType",
                     {"ftUnknown", "ftString", "ftWideString", "ftMemo", "ftSmallint", "ftInteger",
                      "ftLargeint", "ftBoolean", "ftFloat", "ftDateTime"});
    r.template Str<&TField::FieldName, &TField::SetFieldName>("FieldName");
    r.template Str<&TField::DisplayLabel, &TField::SetDisplayLabel>("DisplayLabel");
    r.template Ord<&TField::DataType>("DataType", "TFieldType");
    r.template Event<&TField::OnGetText>("OnGetText", "TFieldGetTextEvent");
    r.template Event<&TField::OnSetText>("OnSetText", "TFieldSetTextEvent");
  });
  return info;
}

TField::TField(TComponent* owner) : TComponent(owner) {}

int TField::Index() const {
  if (!data_set_) return -1;
  const auto& list = data_set_->FieldList();
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

Variant TField::Value() const {
  if (!data_set_) throw EDatabaseError(Format("Field '%s' has no dataset", field_name_));
  return data_set_->FieldValue(*this);
}

void TField::SetValue(const Variant& value) {
  if (!data_set_) throw EDatabaseError(Format("Field '%s' has no dataset", field_name_));
  data_set_->SetFieldValue(*this, ConvertTo(data_type_, value));
}

std::string TField::AsString() const {
  return VarToStr(Value());
}

void TField::SetAsString(std::string_view text) {
  if (text.empty() && !HoldsText(data_type_))
    SetValue(Variant::Null());
  else
    SetValue(Variant(text));
}

int TField::AsInteger() const {
  Variant v = Value();
  return v.IsNull() ? 0 : v.ToInt();
}

TDateTime TField::AsDateTime() const {
  Variant v = Value();
  return v.IsNull() ? TDateTime(0) : v.ToDate();
}

std::string TField::GetText(bool display) const {
  std::string text;
  if (OnGetText.Assigned()) {
    OnGetText(const_cast<TField*>(this), text, display);
    return text;
  }
  return AsString();
}

void TField::SetText(std::string_view text) {
  if (OnSetText.Assigned())
    OnSetText(this, std::string(text));
  else
    SetAsString(text);
}

// ---- TDataLink
// ------------------------------------------------------------------------------------

TDataLink::~TDataLink() {
  if (source_) EraseValue(source_->links_, this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_) EraseValue(source_->links_, this);
  source_ = source;
  if (source_) source_->links_.push_back(this);
  DataSetChanged();
}

TDataSet* TDataLink::DataSet() const {
  return source_ ? source_->DataSet() : nullptr;
}

bool TDataLink::Active() const {
  TDataSet* d = DataSet();
  return d && d->Active();
}

bool TDataLink::Editing() const {
  TDataSet* d = DataSet();
  return d && d->State() == dsEdit;
}

// ---- TDataSet
// -------------------------------------------------------------------------------------

const TClassInfo& TDataSet::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TDataSet>("TDataSet", [](auto& r) {
    r.template Bool<&TDataSet::Active, &TDataSet::SetActive>("Active");
  });
  return info;
}

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  for (TDataSource* s : std::vector<TDataSource*>(sources_))
    s->SetDataSet(nullptr);
  FreeFields(true);
}

void TDataSet::BeforeDestruction() {
  state_ = dsInactive;  // no descendant work while going away
  for (TDataSource* s : std::vector<TDataSource*>(sources_))
    s->SetDataSet(nullptr);
  FreeFields(true);
  TComponent::BeforeDestruction();
}

void TDataSet::FreeFields(bool all) {
  std::vector<TField*> kept;
  for (TField* f : fields_)
    if (f->persistent_ && !all)
      kept.push_back(f);
    else
      f->Free();
  fields_ = std::move(kept);
}

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount())
    throw EDatabaseError(Format("Field index out of range: %d", index));
  return fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const {
  for (TField* f : fields_)
    if (SameText(f->FieldName(), name)) return f;
  return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) throw EDatabaseError(Format("Field '%s' not found", std::string(name)));
  return f;
}

TField* TDataSet::AddField(std::string_view name, TFieldType type) {
  if (Active()) throw EDatabaseError("Cannot add fields to an open dataset");
  if (FindField(name)) throw EDatabaseError(Format("Duplicate field name '%s'", std::string(name)));
  auto* f = new TField(nullptr);
  f->SetFieldName(name);
  f->SetDataType(type);
  f->data_set_ = this;
  f->persistent_ = true;
  fields_.push_back(f);
  return f;
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::Open() {
  if (Active()) return;
  std::vector<TColumn> columns;
  std::vector<TRecordValues> records;
  InternalOpen(columns, records);
  for (std::size_t i = 0; i < records.size(); ++i)
    if (records[i].size() != columns.size())
      throw EDatabaseError(Format("Record %d has %d values where %d fields are defined",
                                  static_cast<int>(i + 1), static_cast<int>(records[i].size()),
                                  static_cast<int>(columns.size())));
  auto column_of = [&](std::string_view name) -> std::size_t {
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (SameText(columns[c].Name, name)) return c;
    throw EDatabaseError(Format("Field '%s' not found", std::string(name)));
  };
  if (!fields_.empty()) {
    std::vector<std::size_t> bound;
    for (TField* f : fields_)
      bound.push_back(column_of(f->FieldName()));
    for (std::size_t i = 0; i < fields_.size(); ++i)
      fields_[i]->column_ = bound[i];
  } else {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      auto* f = new TField(nullptr);
      f->SetFieldName(columns[c].Name);
      f->SetDataType(columns[c].Type);
      f->data_set_ = this;
      f->column_ = c;
      fields_.push_back(f);
    }
  }
  records_ = std::move(records);
  current_ = 0;
  bof_ = true;
  eof_ = records_.empty();
  state_ = dsBrowse;
  RecordsChanged(current_);
  current_ = 0;
  DataSetChanged();
}

void TDataSet::Close() {
  if (!Active()) return;
  edit_buffer_.clear();
  InternalClose();
  records_.clear();
  FreeFields(false);
  state_ = dsInactive;
  bof_ = eof_ = true;
  current_ = 0;
  DataSetChanged();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == dsEdit) Post();
}

void TDataSet::First() {
  CheckBrowseMode();
  current_ = 0;
  bof_ = true;
  eof_ = records_.empty();
  DataSetChanged();
}

void TDataSet::Next() {
  MoveBy(1);
}

void TDataSet::Prior() {
  MoveBy(-1);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  int target = std::clamp<long long>(static_cast<long long>(current_) + distance, 0,
                                     std::max(RecordCount() - 1, 0));
  int moved = target - current_;
  current_ = target;
  // Asked to go beyond the last (first) record: at the end (beginning).
  eof_ = records_.empty() || (distance > 0 && moved < distance);
  bof_ = records_.empty() || (distance < 0 && moved > distance);
  DataSetChanged();
  return moved;
}

void TDataSet::Last() {
  CheckBrowseMode();
  current_ = records_.empty() ? 0 : RecordCount() - 1;
  eof_ = true;
  bof_ = records_.empty();
  DataSetChanged();
}

void TDataSet::SetCurrentIndex(int index) {
  CheckBrowseMode();
  if (index < 0 || index >= RecordCount())
    throw EDatabaseError(Format("Record index out of range: %d", index));
  current_ = index;
  bof_ = eof_ = false;
  DataSetChanged();
}

void TDataSet::Edit() {
  CheckActive();
  if (state_ == dsEdit) return;
  if (records_.empty()) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  edit_buffer_ = records_[static_cast<std::size_t>(current_)];
  state_ = dsEdit;
  DataSetChanged();
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != dsEdit) return;
  for (TDataSource* s : std::vector<TDataSource*>(sources_))
    s->UpdateData();
  auto& record = records_[static_cast<std::size_t>(current_)];
  if (edit_buffer_ != record) InternalPost(record, edit_buffer_);
  record = std::move(edit_buffer_);
  edit_buffer_.clear();
  state_ = dsBrowse;
  RecordsChanged(current_);
  DataSetChanged();
}

void TDataSet::Cancel() {
  if (state_ != dsEdit) return;
  edit_buffer_.clear();
  state_ = dsBrowse;
  DataSetChanged();
}

void TDataSet::InternalPost(const TRecordValues&, const TRecordValues&) {}

std::string TDataSet::FieldDisplayLabel(std::string_view field_name) const {
  return FieldByName(field_name)->DisplayLabel();
}

const Variant& TDataSet::FieldValue(const TField& field) const {
  static const Variant null = Variant::Null();
  CheckActive();
  if (records_.empty()) return null;
  const TRecordValues& record =
      state_ == dsEdit ? edit_buffer_ : records_[static_cast<std::size_t>(current_)];
  return field.column_ < record.size() ? record[field.column_] : null;
}

void TDataSet::SetFieldValue(TField& field, Variant value) {
  CheckActive();
  if (state_ != dsEdit) throw EDatabaseError("Dataset not in edit or insert mode");
  edit_buffer_.at(field.column_) = std::move(value);
  for (TDataSource* s : std::vector<TDataSource*>(sources_))
    s->Tell(&field);
}

void TDataSet::DataSetChanged() {
  for (TDataSource* s : std::vector<TDataSource*>(sources_))
    s->Tell(nullptr);
}

void TDataSet::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove)
    std::erase_if(sources_, [&](TDataSource* s) { return s == component; });
}

// ---- TDataSource
// ----------------------------------------------------------------------------------

const TClassInfo& TDataSource::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TDataSource>("TDataSource", [](auto& r) {
    r.template Obj<&TDataSource::DataSet, &TDataSource::SetDataSet>("DataSet", "TDataSet");
  });
  return info;
}

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  Detach();
}

void TDataSource::BeforeDestruction() {
  Detach();
  TComponent::BeforeDestruction();
}

void TDataSource::Detach() {
  // The controls are told nothing: they may be going away themselves.
  for (TDataLink* l : links_)
    l->source_ = nullptr;
  links_.clear();
  if (data_set_) {
    EraseValue(data_set_->sources_, this);
    data_set_->RemoveFreeNotification(this);
    data_set_ = nullptr;
  }
}

void TDataSource::SetDataSet(TDataSet* data_set) {
  if (data_set == data_set_) return;
  if (data_set_) {
    EraseValue(data_set_->sources_, this);
    data_set_->RemoveFreeNotification(this);
  }
  data_set_ = data_set;
  if (data_set_) {
    data_set_->sources_.push_back(this);
    data_set_->FreeNotification(this);
  }
  Tell(nullptr);
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == data_set_) SetDataSet(nullptr);
}

void TDataSource::UpdateData() {
  for (TDataLink* l : std::vector<TDataLink*>(links_))
    if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->UpdateData();
}

void TDataSource::Tell(TField* field) {
  for (TDataLink* l : std::vector<TDataLink*>(links_)) {
    // A link removed by an earlier one's handler is not told.
    if (std::find(links_.begin(), links_.end(), l) == links_.end()) continue;
    if (field)
      l->FieldChanged(field);
    else
      l->DataSetChanged();
  }
}

}  // namespace vx
