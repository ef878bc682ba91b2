#pragma once
// Edits that carry their own label ("EditLabel", placed beside the edit by
// LabelPosition and LabelSpacing) and, for TVxBtnDBEdit, their own query
// button ("F2Button"). They exist only in the current edition: creating one
// in the earlier edition raises EClassNotFound ("Class TVxEdit not found"),
// as reading a form with a class the module does not have would.
//
// TVxDBEdit is data-aware: bound to a data source, it shows the current
// record's DataField and, while the data set is in edit state, stores what
// is typed through the field's SetText. Unbound it is a labelled edit.
#include <string>

#include "controls/gspdbtn.h"
#include "platform/ui/dataset.h"
#include "platform/ui/stdctrls.h"

namespace vx {

VX_DECLARE_EXCEPTION(EClassNotFound, Exception);

enum class TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
using enum TLabelPosition;

// The label of a labelled edit: owned by the edit, focusing it, and telling
// it when its size changes.
class TBoundLabel : public TLabel {
  VX_CLASS(TBoundLabel, TLabel)
  explicit TBoundLabel(TComponent* owner);
  TNotifyEvent OnAdjust;

 protected:
  void TextChanged() override;
  void FontChanged() override;
};

// The label and its placement, shared by the labelled edits.
class TEditLabelLink {
 public:
  void Create(TCustomEdit& edit);
  TBoundLabel* Label() const { return label_.get(); }
  const std::string& Caption() const;
  void SetCaption(std::string_view caption);
  TLabelPosition Position() const { return position_; }
  void SetPosition(TLabelPosition p);
  int Spacing() const { return spacing_; }
  // A negative spacing is ignored.
  void SetSpacing(int spacing);
  // The label follows the edit's place, parent, enabled state, visibility.
  void Place();
  void Follow();

 private:
  TCustomEdit* edit_ = nullptr;
  TWeak<TBoundLabel> label_;
  TLabelPosition position_ = lpLeft;
  int spacing_ = 4;
};

class TVxEdit : public TEdit {
  VX_CLASS(TVxEdit, TEdit)
  explicit TVxEdit(TComponent* owner);

  TBoundLabel* EditLabel() const { return link_.Label(); }
  // The label's text (the edit's own text is Text()).
  const std::string& Caption() const { return link_.Caption(); }
  void SetCaption(std::string_view caption) { link_.SetCaption(caption); }
  TLabelPosition LabelPosition() const { return link_.Position(); }
  void SetLabelPosition(TLabelPosition p) { link_.SetPosition(p); }
  int LabelSpacing() const { return link_.Spacing(); }
  void SetLabelSpacing(int v) { link_.SetSpacing(v); }
  void SetParent(TWinControl* parent) override;

 protected:
  void BoundsChanged(bool moved, bool sized) override;
  void EnabledChanged() override;
  void VisibleChanged() override;

 private:
  void LabelAdjusted(TObject*) { link_.Place(); }
  TEditLabelLink link_;
};

class TVxDBEdit : public TEdit {
  VX_CLASS(TVxDBEdit, TEdit)
  explicit TVxDBEdit(TComponent* owner);

  TBoundLabel* EditLabel() const { return link_.Label(); }
  const std::string& Caption() const { return link_.Caption(); }
  void SetCaption(std::string_view caption) { link_.SetCaption(caption); }
  TLabelPosition LabelPosition() const { return link_.Position(); }
  void SetLabelPosition(TLabelPosition p) { link_.SetPosition(p); }
  int LabelSpacing() const { return link_.Spacing(); }
  void SetLabelSpacing(int v) { link_.SetSpacing(v); }
  const std::string& DataField() const { return data_field_; }
  // While designing, also sets Caption to the field's display label.
  void SetDataField(std::string_view field);
  TDataSource* DataSource() const { return data_link_.DataSource(); }
  void SetDataSource(TDataSource* source) { data_link_.SetDataSource(source); }
  // The bound field of the open data set; nullptr when there is none.
  TField* Field() const;
  void SetParent(TWinControl* parent) override;

 protected:
  TVxDBEdit(TComponent* owner, const char* class_name);
  void BoundsChanged(bool moved, bool sized) override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  void Change() override;
  // The edit moved, changed parent, state or visibility: what it carries
  // follows.
  virtual void Follow() { link_.Follow(); }

 private:
  class TFieldLink : public TDataLink {
   public:
    explicit TFieldLink(TVxDBEdit& edit) : edit_(edit) {}

   protected:
    void DataSetChanged() override { edit_.ShowField(); }
    void FieldChanged(TField* field) override;
    void UpdateData() override { edit_.StoreText(); }

   private:
    TVxDBEdit& edit_;
  };
  class TShowingScope;
  void LabelAdjusted(TObject*) { link_.Place(); }
  // The field's text into the edit (bound edits only).
  void ShowField();
  // The typed text into the field; raises when the field refuses it.
  void StoreText();
  TEditLabelLink link_;
  std::string data_field_;
  TFieldLink data_link_{*this};
  bool showing_ = false;
  bool modified_ = false;  // typed text the field has not taken yet
};

class TVxBtnDBEdit : public TVxDBEdit {
  VX_CLASS(TVxBtnDBEdit, TVxDBEdit)
  // The button: flat, picture 8, square, ButtonSpacing right of the edit.
  explicit TVxBtnDBEdit(TComponent* owner);

  TGSpeedButton* Button() const { return button_.get(); }
  int ButtonSpacing() const { return button_spacing_; }
  void SetButtonSpacing(int v);
  int GlyphIndex() const;
  void SetGlyphIndex(int index);
  std::string ButtonHint() const;
  void SetButtonHint(std::string_view hint);
  // Pressing the button runs OnDialog (the edit as Sender) when assigned,
  // else the F2 request for the edit, as an F2 button does.
  TNotifyEvent OnDialog;

 protected:
  void Follow() override;

 private:
  void ButtonClick(TObject*);
  TWeak<TGSpeedButton> button_;
  int button_spacing_ = 2;
};

}  // namespace vx
