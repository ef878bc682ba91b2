#pragma once
// Data sets as the forms bind them: fields with display labels and text
// handlers, a current record, browse and edit states; data sources that
// data-aware controls link to. Where the records come from is a descendant's
// business (the client data set fetches them from a provider of the
// application server).
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/ui/classes.h"

namespace vx {

VX_DECLARE_EXCEPTION(EDatabaseError, Exception);

// What a data set offers a bound label: the display label of one of its
// fields (raising when it has no such field).
class IFieldDisplayLabels {
 public:
  virtual ~IFieldDisplayLabels() = default;
  virtual std::string FieldDisplayLabel(std::string_view field_name) const = 0;
};

enum class TFieldType {
  ftUnknown,
  ftString,
  ftWideString,
  ftMemo,
  ftSmallint,
  ftInteger,
  ftLargeint,
  ftBoolean,
  ftFloat,
  ftDateTime
};
using enum TFieldType;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit };
using enum TDataSetState;

class TDataSet;
class TDataSource;
class TField;

// (field, text, display_text): fills text; display_text is false when the
// text is wanted for editing.
using TFieldGetTextEvent = TEvent<TField*, std::string&, bool>;
using TFieldSetTextEvent = TEvent<TField*, const std::string&>;

using TRecordValues = std::vector<Variant>;

class TField : public TComponent {
  VX_CLASS(TField, TComponent)
  explicit TField(TComponent* owner);

  TDataSet* DataSet() const { return data_set_; }
  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(std::string_view name) { field_name_ = std::string(name); }
  // The field name unless set.
  const std::string& DisplayLabel() const {
    return display_label_.empty() ? field_name_ : display_label_;
  }
  void SetDisplayLabel(std::string_view label) { display_label_ = std::string(label); }
  TFieldType DataType() const { return data_type_; }
  void SetDataType(TFieldType type) { data_type_ = type; }
  // Position among the data set's fields, from 0.
  int Index() const;

  // The current record's value; Null when the data set has no record. Raises
  // EDatabaseError when the data set is closed. Setting it needs the edit
  // state and converts to the field's type (raising the variant's cast
  // error when the value does not fit).
  Variant Value() const;
  void SetValue(const Variant& value);
  bool IsNull() const { return Value().IsNull(); }
  // Null reads as "", 0 and date 0. An empty text stored into a field that
  // does not hold texts stores Null.
  std::string AsString() const;
  void SetAsString(std::string_view text);
  int AsInteger() const;
  void SetAsInteger(int value) { SetValue(Variant(value)); }
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime value) { SetValue(Variant(value)); }

  // Through OnGetText when assigned, else AsString.
  std::string Text() const { return GetText(false); }
  std::string DisplayText() const { return GetText(true); }
  // Through OnSetText when assigned, else SetAsString.
  void SetText(std::string_view text);

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

 private:
  friend class TDataSet;
  std::string GetText(bool display) const;
  TDataSet* data_set_ = nullptr;
  std::size_t column_ = 0;  // position of its value in a record
  std::string field_name_;
  std::string display_label_;
  TFieldType data_type_ = ftUnknown;
  bool persistent_ = false;
};

// A link of a data-aware control to a data source.
class TDataLink {
 public:
  TDataLink() = default;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;
  virtual ~TDataLink();

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  bool Active() const;   // the data set is open
  bool Editing() const;  // the data set is in edit state

 protected:
  friend class TDataSource;
  // Opened, closed, moved, state changed, source or data set changed.
  virtual void DataSetChanged() {}
  // One field of the current record changed.
  virtual void FieldChanged(TField* /*field*/) { DataSetChanged(); }
  // Before a post: the control stores what it holds, raising when the
  // field refuses it.
  virtual void UpdateData() {}

 private:
  TDataSource* source_ = nullptr;
};

class TDataSet : public TComponent, public IFieldDisplayLabels {
  VX_CLASS(TDataSet, TComponent)
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField* Fields(int index) const;
  const std::vector<TField*>& FieldList() const { return fields_; }
  // By name, ignoring case; nullptr when none.
  TField* FindField(std::string_view name) const;
  // Raises EDatabaseError "Field 'X' not found".
  TField* FieldByName(std::string_view name) const;
  // A field declared before opening (persistent): it keeps its display
  // label and handlers over Close and Open, and Open binds it to the column
  // of the same name. Without declared fields, Open makes one per column.
  TField* AddField(std::string_view name, TFieldType type);

  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool active) { active ? Open() : Close(); }
  void Open();
  // Cancels a pending edit.
  void Close();

  // Moving posts a pending edit first.
  void First();
  void Next();
  void Prior();
  void Last();
  // Moves that many records on (back when negative), stopping at either
  // end and setting Eof or Bof when it had to; the distance moved.
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  int RecordCount() const { return static_cast<int>(records_.size()); }
  // Current record from 1; 0 without records.
  int RecNo() const { return records_.empty() ? 0 : current_ + 1; }

  TDataSetState State() const { return state_; }
  // Raises on a closed or empty data set.
  void Edit();
  // Hands the changed record to InternalPost; when that raises, the data
  // set stays in edit state with the changes. Does nothing in browse state.
  void Post();
  void Cancel();

  std::string FieldDisplayLabel(std::string_view field_name) const override;

 protected:
  struct TColumn {
    std::string Name;
    TFieldType Type = ftUnknown;
  };
  // Delivers the columns and records of a fresh open.
  virtual void InternalOpen(std::vector<TColumn>& columns, std::vector<TRecordValues>& records) = 0;
  // Stores the changed record; raises to refuse it.
  virtual void InternalPost(const TRecordValues& original, const TRecordValues& changed);
  virtual void InternalClose() {}
  // After open and after a post: descendants may order the records, moving
  // current_index along with its record.
  virtual void RecordsChanged(int& /*current_index*/) {}

  std::vector<TRecordValues>& Records() { return records_; }
  const std::vector<TRecordValues>& Records() const { return records_; }
  // Index into Records() of the current record; -1 without records.
  int CurrentIndex() const { return records_.empty() ? -1 : current_; }
  // Position of a field's value in the records.
  static std::size_t FieldColumn(const TField& field) { return field.column_; }
  // Makes a record current (browse state), telling the links.
  void SetCurrentIndex(int index);
  void CheckActive() const;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TField;
  friend class TDataSource;
  const Variant& FieldValue(const TField& field) const;
  void SetFieldValue(TField& field, Variant value);
  void CheckBrowseMode();
  void DataSetChanged();
  void FreeFields(bool all);

  std::vector<TField*> fields_;
  std::vector<TRecordValues> records_;
  TRecordValues edit_buffer_;
  int current_ = 0;
  bool bof_ = true;
  bool eof_ = true;
  TDataSetState state_ = dsInactive;
  std::vector<TDataSource*> sources_;
};

class TDataSource : public TComponent {
  VX_CLASS(TDataSource, TComponent)
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;
  void BeforeDestruction() override;

  TDataSet* DataSet() const { return data_set_; }
  void SetDataSet(TDataSet* data_set);
  TDataSetState State() const { return data_set_ ? data_set_->State() : dsInactive; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void Tell(TField* field);  // nullptr: the whole data set changed
  void UpdateData();
  void Detach();
  TDataSet* data_set_ = nullptr;
  std::vector<TDataLink*> links_;
};

}  // namespace vx
