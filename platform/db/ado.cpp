#include "platform/db/ado.h"

#include <algorithm>
#include <limits>

#include "platform/db/dialect.h"
#include "platform/db/values.h"
#include "platform/rtl/text.h"

namespace vx {

// ---- TVxADOConnection -------------------------------------------------------------

const TClassInfo& TVxADOConnection::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxADOConnection>("TVxADOConnection", [](auto& r) {
    r.template Str<&TVxADOConnection::ConnectionString, &TVxADOConnection::SetConnectionString>(
        "ConnectionString", "WideString");
    r.template Bool<&TVxADOConnection::LoginPrompt, &TVxADOConnection::SetLoginPrompt>(
        "LoginPrompt");
    r.template Bool<&TVxADOConnection::Connected, &TVxADOConnection::SetConnected>("Connected");
  });
  return info;
}

TVxADOConnection::TVxADOConnection(TComponent* owner) : TComponent(owner) {}

TVxADOConnection::~TVxADOConnection() {
  Close();
}

void TVxADOConnection::BeforeDestruction() {
  Close();
  TComponent::BeforeDestruction();
}

void TVxADOConnection::SetConnectionString(const std::string& text) {
  if (text == connection_string_) return;
  if (Connected())
    throw EDatabaseError(Name() + ": the connection string cannot change while connected");
  connection_string_ = text;
}

void TVxADOConnection::SetConnected(bool connected) {
  if (IsLoading()) {
    // A form resource connects once it is completely read.
    streamed_connected_ = connected;
    return;
  }
  if (connected)
    Open();
  else
    Close();
}

void TVxADOConnection::Loaded() {
  TComponent::Loaded();
  if (streamed_connected_) Open();
}

void TVxADOConnection::Open() {
  if (session_) return;
  session_ = db::OpenSession(connection_string_);
}

void TVxADOConnection::Close() {
  // Queries hold statements of the session: they go first.
  for (TVxADOQuery* q : std::vector<TVxADOQuery*>(queries_)) {
    q->Close();
    q->ReleaseStatement();
  }
  session_.reset();
}

db::ISession& TVxADOConnection::Session() {
  if (!session_) throw EDatabaseError(Name() + ": the connection is not open");
  return *session_;
}

void TVxADOConnection::AddQuery(TVxADOQuery* query) {
  if (std::find(queries_.begin(), queries_.end(), query) == queries_.end())
    queries_.push_back(query);
  FreeNotification(query);
}

void TVxADOConnection::RemoveQuery(TVxADOQuery* query) {
  std::erase(queries_, query);
  RemoveFreeNotification(query);
}

void TVxADOConnection::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove)
    std::erase_if(queries_,
                  [&](TVxADOQuery* q) { return static_cast<TComponent*>(q) == component; });
}

// ---- TParameters ------------------------------------------------------------------

std::string TParameters::OwnerName() const {
  return owner_ && !owner_->Name().empty() ? owner_->Name() : std::string("query");
}

TParameter& TParameters::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EDatabaseError(OwnerName() + ": parameter index " + IntToStr(index) + " out of range");
  return *items_[static_cast<std::size_t>(index)];
}

TParameter* TParameters::FindParam(std::string_view name) const {
  for (const auto& p : items_)
    if (SameText(p->Name(), name)) return p.get();
  return nullptr;
}

TParameter& TParameters::ParamByName(std::string_view name) const {
  if (TParameter* p = FindParam(name)) return *p;
  throw EDatabaseError(OwnerName() + ": parameter '" + std::string(name) + "' not found");
}

// ---- TVxADOField -----------------------------------------------------------------------

const Variant& TVxADOField::AsVariant() const {
  return query_->Value(index_);
}

void TVxADOField::ConvertError(const char* target) const {
  throw EConvertError("Field '" + name_ + "': '" + VarToStr(AsVariant()) + "' is not a valid " +
                      target);
}

std::string TVxADOField::AsString() const {
  return VarToStr(AsVariant());
}

std::int32_t TVxADOField::AsInteger() const {
  std::int64_t v = AsLargeInt();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    ConvertError("integer");
  return static_cast<std::int32_t>(v);
}

std::int64_t TVxADOField::AsLargeInt() const {
  const Variant& v = AsVariant();
  if (v.IsNull()) return 0;
  try {
    return v.ToInt64();
  } catch (const EVariantError&) {
    ConvertError("integer");
  }
}

double TVxADOField::AsFloat() const {
  const Variant& v = AsVariant();
  if (v.IsNull()) return 0;
  try {
    return v.ToDouble();
  } catch (const EVariantError&) {
    ConvertError("floating point value");
  }
}

TDateTime TVxADOField::AsDateTime() const {
  const Variant& v = AsVariant();
  if (v.IsNull()) return TDateTime(0);
  if (const std::string* text = v.AnsiPtr()) {
    TDateTime out;
    if (!db::TryDbTextToDateTime(*text, out)) ConvertError("date and time");
    return out;
  }
  try {
    return TDateTime(v.ToDouble());
  } catch (const EVariantError&) {
    ConvertError("date and time");
  }
}

// ---- TVxADOQuery ------------------------------------------------------------------

const TClassInfo& TVxADOQuery::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxADOQuery>("TVxADOQuery", [](auto& r) {
    r.template Obj<&TVxADOQuery::Connection, &TVxADOQuery::SetConnection>("Connection",
                                                                          "TVxADOConnection");
    r.template Obj<&TVxADOQuery::SQL, &TVxADOQuery::SetSQL>("SQL", "TStrings");
    r.template Bool<&TVxADOQuery::Active, &TVxADOQuery::SetActive>("Active");
  });
  return info;
}

TVxADOQuery::TVxADOQuery(TComponent* owner)
    : TComponent(owner), sql_(std::make_unique<TStringList>()) {
  sql_->OnChange = Bind<&TVxADOQuery::SQLChanged>(this);
  parameters_.owner_ = this;
}

TVxADOQuery::~TVxADOQuery() {
  SetConnection(nullptr);
}

void TVxADOQuery::BeforeDestruction() {
  SetConnection(nullptr);
  TComponent::BeforeDestruction();
}

std::string TVxADOQuery::DisplayName() const {
  return parameters_.OwnerName();
}

void TVxADOQuery::ClosedError(std::string_view operation) const {
  throw EDatabaseError(DisplayName() + ": cannot " + std::string(operation) +
                       " while the query is closed");
}

void TVxADOQuery::SetConnection(TVxADOConnection* connection) {
  if (connection == connection_) return;
  Close();
  ReleaseStatement();
  if (connection_) connection_->RemoveQuery(this);
  connection_ = connection;
  if (connection_) connection_->AddQuery(this);
}

void TVxADOQuery::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == connection_) {
    Close();
    ReleaseStatement();
    connection_ = nullptr;
  }
}

void TVxADOQuery::SQLChanged(TObject*) {
  Close();
  ReleaseStatement();
  parameters_.items_.clear();
  std::vector<std::string> names;
  try {
    names = db::StatementParamNames(sql_->Text());
  } catch (const EDBEngineError&) {
    // A statement still being written line by line may be incomplete; the
    // error is raised when it runs.
  }
  for (std::string& name : names)
    parameters_.items_.push_back(std::make_unique<TParameter>(std::move(name)));
}

void TVxADOQuery::ReleaseStatement() {
  statement_.reset();
}

db::IStatement& TVxADOQuery::PreparedStatement() {
  if (!connection_) throw EDatabaseError(DisplayName() + ": missing connection");
  connection_->Open();
  if (!statement_) statement_ = connection_->Session().Prepare(sql_->Text());
  return *statement_;
}

void TVxADOQuery::BindParameters(db::IStatement& statement) const {
  const auto& names = statement.ParamNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const TParameter* p = parameters_.FindParam(names[i]);
    // A value never set would silently become NULL.
    if (!p || p->Value().IsEmpty())
      throw EDatabaseError(DisplayName() + ": parameter '" + names[i] + "' has no value");
    statement.Bind(static_cast<int>(i), p->Value());
  }
}

void TVxADOQuery::Open() {
  if (active_) return;
  db::IStatement& st = PreparedStatement();
  const int columns = st.ColumnCount();
  if (columns == 0)
    throw EDatabaseError(DisplayName() + ": the statement returns no rows; run it with ExecSQL");
  BindParameters(st);
  st.Reset();
  std::vector<Variant> rows;
  int count = 0;
  try {
    while (st.Step()) {
      if (count == std::numeric_limits<int>::max())
        throw EDatabaseError(DisplayName() + ": too many rows");
      for (int c = 0; c < columns; ++c)
        rows.push_back(st.Column(c));
      ++count;
    }
  } catch (...) {
    st.Reset();
    throw;
  }
  // Ends the statement's read, so no lock outlives Open.
  st.Reset();
  fields_.clear();
  fields_.reserve(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c)
    fields_.emplace_back(*this, c, st.ColumnName(c));
  rows_ = std::move(rows);
  row_count_ = count;
  current_ = 0;
  active_ = true;
  bof_ = true;
  eof_ = row_count_ == 0;
}

void TVxADOQuery::Close() {
  active_ = false;
  fields_.clear();
  rows_.clear();
  row_count_ = 0;
  current_ = 0;
  eof_ = bof_ = true;
}

void TVxADOQuery::SetActive(bool active) {
  if (active)
    Open();
  else
    Close();
}

void TVxADOQuery::First() {
  if (!active_) ClosedError("go to the first row");
  current_ = 0;
  bof_ = true;
  eof_ = row_count_ == 0;
}

void TVxADOQuery::Next() {
  if (!active_) ClosedError("go to the next row");
  if (eof_) return;
  // At the last row the query stays there and reports the end.
  if (current_ + 1 < row_count_)
    ++current_;
  else
    eof_ = true;
  bof_ = false;
}

int TVxADOQuery::RecordCount() const {
  if (!active_) ClosedError("count the rows");
  return row_count_;
}

int TVxADOQuery::RecNo() const {
  return active_ && row_count_ > 0 ? current_ + 1 : 0;
}

std::int64_t TVxADOQuery::ExecSQL() {
  Close();
  db::IStatement& st = PreparedStatement();
  BindParameters(st);
  return st.Execute();
}

const TVxADOField& TVxADOQuery::Fields(int index) const {
  if (!active_) ClosedError("read fields");
  if (index < 0 || index >= FieldCount())
    throw EDatabaseError(DisplayName() + ": field index " + IntToStr(index) + " out of range");
  return fields_[static_cast<std::size_t>(index)];
}

const TVxADOField* TVxADOQuery::FindField(std::string_view name) const {
  for (const TVxADOField& f : fields_)
    if (SameText(f.FieldName(), name)) return &f;
  return nullptr;
}

const TVxADOField& TVxADOQuery::FieldByName(std::string_view name) const {
  if (!active_) ClosedError("read the field '" + std::string(name) + "'");
  if (const TVxADOField* f = FindField(name)) return *f;
  throw EDatabaseError(DisplayName() + ": field '" + std::string(name) + "' not found");
}

const Variant& TVxADOQuery::Value(int column) const {
  static const Variant kNull = Variant::Null();
  if (!active_) ClosedError("read fields");
  if (row_count_ == 0) return kNull;
  return rows_[static_cast<std::size_t>(current_) * fields_.size() +
               static_cast<std::size_t>(column)];
}

}  // namespace vx
