#pragma once
// ADO-style data-access components, so that a form can own a connection and
// its queries: TVxADOConnection (connection string, login prompt, connect)
// and TVxADOQuery (statement text with :NAME parameters, open and walk the
// rows, execute, fields by name).
//
//   ADO1->SetLoginPrompt(false);
//   ADO1->SetConnectionString("Data Source=/data/C01.db;Attach VXSYS=/data/VXSYS.db");
//   ADO1->SetConnected(true);
//   Query2->SQL()->SetText("SELECT MD007 FROM VXSYS..TMCMD WHERE MD004 = :MD004");
//   Query2->ParamByName("MD004").SetValue("6");
//   for (Query2->Open(); !Query2->Eof(); Query2->Next())
//     Use(Query2->FieldByName("MD007").AsString());
//
// Statements use the dialect of dialect.h. Opening a query reads all of its
// rows (a client-side cursor), so no lock stays held while the rows are
// walked and RecordCount is known. Engine failures raise EDBEngineError;
// misuse (a closed query, an unknown field or parameter, a parameter without
// a value) raises EDatabaseError naming the component and what is missing.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/db/engine.h"
#include "platform/rtl/exception.h"
#include "platform/ui/classes.h"
#include "platform/ui/dataset.h"

namespace vx {

// EDatabaseError: the data-set error of platform/ui/dataset.h.

class TVxADOQuery;

class TVxADOConnection : public TComponent {
  VX_CLASS(TVxADOConnection, TComponent)
  explicit TVxADOConnection(TComponent* owner);
  ~TVxADOConnection() override;
  void BeforeDestruction() override;

  const std::string& ConnectionString() const { return connection_string_; }
  // Raises EDatabaseError while connected.
  void SetConnectionString(const std::string& text);
  // Whether a login dialog asks for user and password when connecting. The
  // SQLite provider has no login, so the flag is kept for the form only.
  bool LoginPrompt() const { return login_prompt_; }
  void SetLoginPrompt(bool prompt) { login_prompt_ = prompt; }

  bool Connected() const { return session_ != nullptr; }
  void SetConnected(bool connected);
  // Parses the connection string (EDBConnectionStringError) and opens the
  // session (EDBEngineError); does nothing when connected.
  void Open();
  // Closes every query of this connection first.
  void Close();

  // The open session; raises EDatabaseError when not connected.
  db::ISession& Session();

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TVxADOQuery;
  void AddQuery(TVxADOQuery* query);
  void RemoveQuery(TVxADOQuery* query);

  std::string connection_string_;
  bool login_prompt_ = true;
  bool streamed_connected_ = false;
  std::unique_ptr<db::ISession> session_;
  std::vector<TVxADOQuery*> queries_;
};

// One :NAME of a query's statement.
class TParameter {
 public:
  explicit TParameter(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  const Variant& Value() const { return value_; }
  // Texts and integers as the statements use them; also doubles, date-times
  // and Null.
  void SetValue(const Variant& value) { value_ = value; }

 private:
  std::string name_;
  Variant value_;
};

class TParameters {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TParameter& Items(int index) const;
  // By name ignoring case; nullptr when the statement has no such parameter.
  TParameter* FindParam(std::string_view name) const;
  // Raises EDatabaseError when the statement has no such parameter.
  TParameter& ParamByName(std::string_view name) const;

 private:
  friend class TVxADOQuery;
  std::string OwnerName() const;
  const TComponent* owner_ = nullptr;
  std::vector<std::unique_ptr<TParameter>> items_;
};

// A column of an open query, read at the current row. On an empty result
// every field reads as Null. Fields belong to one opening of the query: a
// reference is good until the query closes.
class TVxADOField {
 public:
  TVxADOField(const TVxADOQuery& query, int index, std::string name)
      : query_(&query), index_(index), name_(std::move(name)) {}
  const std::string& FieldName() const { return name_; }
  int Index() const { return index_; }

  bool IsNull() const { return AsVariant().IsNull(); }
  const Variant& AsVariant() const;
  // Null reads as "", 0, 0.0 and 0 (the date-time zero). A value that does
  // not convert raises EConvertError naming the field.
  std::string AsString() const;
  std::int32_t AsInteger() const;
  std::int64_t AsLargeInt() const;
  double AsFloat() const;
  // Texts as "YYYY-MM-DD HH:MM:SS[.mmm]" or "YYYYMMDD[HHNN[SS[ZZZ]]]";
  // numbers as days since 1899-12-30.
  TDateTime AsDateTime() const;

 private:
  [[noreturn]] void ConvertError(const char* target) const;
  const TVxADOQuery* query_;
  int index_;
  std::string name_;
};

class TVxADOQuery : public TComponent {
  VX_CLASS(TVxADOQuery, TComponent)
  explicit TVxADOQuery(TComponent* owner);
  ~TVxADOQuery() override;
  void BeforeDestruction() override;

  TVxADOConnection* Connection() const { return connection_; }
  void SetConnection(TVxADOConnection* connection);
  // The statement, one line per entry. Changing it closes the query and
  // builds Parameters anew (without values) from the statement's :NAMEs.
  TStrings* SQL() const { return sql_.get(); }
  void SetSQL(TStrings* sql) { sql_->Assign(sql); }
  TParameters& Parameters() { return parameters_; }
  TParameter& ParamByName(std::string_view name) { return parameters_.ParamByName(name); }

  // Runs the statement and reads its rows; the query stands on the first.
  // Connects the connection when needed. A statement that returns no rows
  // raises EDatabaseError without running.
  void Open();
  void Close();
  bool Active() const { return active_; }
  void SetActive(bool active);
  void First();
  void Next();
  // True past the last row, for an empty result, and when closed.
  bool Eof() const { return !active_ || eof_; }
  bool Bof() const { return !active_ || bof_; }
  int RecordCount() const;
  // 1-based number of the current row; 0 when there is none.
  int RecNo() const;
  // Runs a statement that returns no rows; the rows it changed.
  std::int64_t ExecSQL();

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  const TVxADOField& Fields(int index) const;
  // By name ignoring case; nullptr when absent.
  const TVxADOField* FindField(std::string_view name) const;
  // Raises EDatabaseError naming the field when absent or the query is closed.
  const TVxADOField& FieldByName(std::string_view name) const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TVxADOField;
  friend class TVxADOConnection;
  const Variant& Value(int column) const;
  void SQLChanged(TObject*);
  void ReleaseStatement();
  db::IStatement& PreparedStatement();
  void BindParameters(db::IStatement& statement) const;
  std::string DisplayName() const;
  [[noreturn]] void ClosedError(std::string_view operation) const;

  TVxADOConnection* connection_ = nullptr;
  std::unique_ptr<TStringList> sql_;
  TParameters parameters_;
  std::unique_ptr<db::IStatement> statement_;
  std::vector<TVxADOField> fields_;
  // Rows one after another, FieldCount values each.
  std::vector<Variant> rows_;
  int row_count_ = 0;
  int current_ = 0;
  bool active_ = false;
  bool eof_ = true;
  bool bof_ = true;
};

}  // namespace vx
