#include "controls/vrxedit.h"

#include "controls/btchkbox.h"
#include "controls/f2button.h"
#include "lib/edition.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

// The owner to construct with, once the class is known to exist in the
// running edition.
TComponent* InCurrentEdition(const char* class_name, TComponent* owner) {
  if (IsEarlierEdition()) throw EClassNotFound(Format("Class %s not found", class_name));
  return owner;
}

template <class C, class R>
void PublishLabelledEdit(R& r) {
  RegisterEnumType("TLabelPosition", {"lpAbove", "lpBelow", "lpLeft", "lpRight"});
  r.template Obj<&C::EditLabel>("EditLabel", "TBoundLabel");
  r.template Str<&C::Caption, &C::SetCaption>("Caption", "TCaption");
  r.template Ord<&C::LabelPosition, &C::SetLabelPosition>("LabelPosition", "TLabelPosition");
  r.template Ord<&C::LabelSpacing, &C::SetLabelSpacing>("LabelSpacing", "Integer");
}

}  // namespace

// ---- the label ----------------------------------------------------------------------------------

const TClassInfo& TBoundLabel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TBoundLabel>("TBoundLabel", [](auto&) {});
  return info;
}

TBoundLabel::TBoundLabel(TComponent* owner) : TLabel(owner) {}

void TBoundLabel::TextChanged() {
  TLabel::TextChanged();
  OnAdjust(this);
}

void TBoundLabel::FontChanged() {
  TLabel::FontChanged();
  OnAdjust(this);
}

void TEditLabelLink::Create(TCustomEdit& edit) {
  edit_ = &edit;
  auto* label = new TBoundLabel(&edit);
  label->SetName("EditLabel");
  label->SetFocusControl(&edit);
  label_ = label;
}

const std::string& TEditLabelLink::Caption() const {
  static const std::string none;
  return label_ ? label_->Caption() : none;
}

void TEditLabelLink::SetCaption(std::string_view caption) {
  if (label_) label_->SetCaption(caption);  // the label tells us to place it
}

void TEditLabelLink::SetPosition(TLabelPosition p) {
  position_ = p;
  Place();
}

void TEditLabelLink::SetSpacing(int spacing) {
  if (spacing < 0) return;
  spacing_ = spacing;
  Place();
}

void TEditLabelLink::Place() {
  TBoundLabel* l = label_.get();
  if (!l || !edit_) return;
  const TControl& e = *edit_;
  int centred = e.Top() + (e.Height() - l->Height()) / 2;
  switch (position_) {
    case lpAbove:
      l->SetBounds(e.Left(), e.Top() - l->Height() - spacing_, l->Width(), l->Height());
      break;
    case lpBelow:
      l->SetBounds(e.Left(), e.Top() + e.Height() + spacing_, l->Width(), l->Height());
      break;
    case lpLeft:
      l->SetBounds(e.Left() - l->Width() - spacing_, centred, l->Width(), l->Height());
      break;
    case lpRight:
      l->SetBounds(e.Left() + e.Width() + spacing_, centred, l->Width(), l->Height());
      break;
  }
}

void TEditLabelLink::Follow() {
  TBoundLabel* l = label_.get();
  if (!l || !edit_) return;
  if (l->Parent() != edit_->Parent()) l->SetParent(edit_->Parent());
  l->SetEnabled(edit_->Enabled());
  l->SetVisible(edit_->Visible());
  Place();
}

// ---- TVxEdit ------------------------------------------------------------------------------------

const TClassInfo& TVxEdit::StaticClassInfo() {
  static const TClassInfo& info =
      DefineClass<TVxEdit>("TVxEdit", [](auto& r) { PublishLabelledEdit<TVxEdit>(r); });
  return info;
}

TVxEdit::TVxEdit(TComponent* owner) : TEdit(InCurrentEdition("TVxEdit", owner)) {
  link_.Create(*this);
  EditLabel()->OnAdjust = Bind<&TVxEdit::LabelAdjusted>(this);
  link_.Follow();
}

void TVxEdit::SetParent(TWinControl* parent) {
  TEdit::SetParent(parent);
  link_.Follow();
}

void TVxEdit::BoundsChanged(bool moved, bool sized) {
  TEdit::BoundsChanged(moved, sized);
  link_.Place();
}

void TVxEdit::EnabledChanged() {
  TEdit::EnabledChanged();
  link_.Follow();
}

void TVxEdit::VisibleChanged() {
  TEdit::VisibleChanged();
  link_.Follow();
}

// ---- TVxDBEdit ----------------------------------------------------------------------------------

const TClassInfo& TVxDBEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxDBEdit>("TVxDBEdit", [](auto& r) {
    PublishLabelledEdit<TVxDBEdit>(r);
    r.template Str<&TVxDBEdit::DataField, &TVxDBEdit::SetDataField>("DataField");
    r.template Obj<&TVxDBEdit::DataSource, &TVxDBEdit::SetDataSource>("DataSource", "TDataSource");
  });
  return info;
}

TVxDBEdit::TVxDBEdit(TComponent* owner) : TVxDBEdit(owner, "TVxDBEdit") {}

TVxDBEdit::TVxDBEdit(TComponent* owner, const char* class_name)
    : TEdit(InCurrentEdition(class_name, owner)) {
  link_.Create(*this);
  EditLabel()->OnAdjust = Bind<&TVxDBEdit::LabelAdjusted>(this);
  link_.Follow();
}

void TVxDBEdit::SetParent(TWinControl* parent) {
  TEdit::SetParent(parent);
  Follow();
}

void TVxDBEdit::BoundsChanged(bool moved, bool sized) {
  TEdit::BoundsChanged(moved, sized);
  Follow();
}

void TVxDBEdit::EnabledChanged() {
  TEdit::EnabledChanged();
  Follow();
}

void TVxDBEdit::VisibleChanged() {
  TEdit::VisibleChanged();
  Follow();
}

void TVxDBEdit::SetDataField(std::string_view field) {
  data_field_ = std::string(field);
  // While the form is designed the edit's label names the field.
  if (TField* f = Field(); f && ComponentState().Contains(csDesigning))
    SetCaption(f->DisplayLabel());
  ShowField();
}

TField* TVxDBEdit::Field() const {
  TDataSet* data_set = data_link_.DataSet();
  if (!data_set || !data_set->Active() || data_field_.empty()) return nullptr;
  return data_set->FindField(data_field_);
}

void TVxDBEdit::TFieldLink::FieldChanged(TField* field) {
  if (field == edit_.Field()) edit_.ShowField();
}

// Marks the edit as writing to or from its field for a scope, so that the
// notices this causes do not echo back.
class TVxDBEdit::TShowingScope {
 public:
  explicit TShowingScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TShowingScope() { flag_ = false; }
  TShowingScope(const TShowingScope&) = delete;
  TShowingScope& operator=(const TShowingScope&) = delete;

 private:
  bool& flag_;
};

void TVxDBEdit::ShowField() {
  if (!DataSource() || showing_) return;
  TField* field = Field();
  std::string text;
  if (field) text = data_link_.Editing() ? field->Text() : field->DisplayText();
  {
    TShowingScope scope(showing_);
    SetText(text);
  }
  modified_ = false;
}

void TVxDBEdit::StoreText() {
  TField* field = Field();
  if (!modified_ || !field || !data_link_.Editing()) return;
  {
    TShowingScope scope(showing_);  // the field's notice must not overwrite the typing
    field->SetText(Text());
  }
  modified_ = false;
}

void TVxDBEdit::Change() {
  if (!showing_ && data_link_.Editing() && Field()) {
    modified_ = true;
    // A text the field cannot take yet (half a number) stays typed; posting
    // the record stores it again and reports the refusal.
    try {
      StoreText();
    } catch (const Exception&) {
    }
  }
  TEdit::Change();
}

// ---- TVxBtnDBEdit -------------------------------------------------------------------------------

const TClassInfo& TVxBtnDBEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxBtnDBEdit>("TVxBtnDBEdit", [](auto& r) {
    r.template Ord<&TVxBtnDBEdit::ButtonSpacing, &TVxBtnDBEdit::SetButtonSpacing>("ButtonSpacing",
                                                                                  "Integer");
    r.template Ord<&TVxBtnDBEdit::GlyphIndex, &TVxBtnDBEdit::SetGlyphIndex>("GlyphIndex",
                                                                            "Integer");
    r.template Str<&TVxBtnDBEdit::ButtonHint, &TVxBtnDBEdit::SetButtonHint>("ButtonHint");
    r.template Event<&TVxBtnDBEdit::OnDialog>("OnDialog");
  });
  return info;
}

TVxBtnDBEdit::TVxBtnDBEdit(TComponent* owner) : TVxDBEdit(owner, "TVxBtnDBEdit") {
  auto* b = new TGSpeedButton(this);
  b->SetName("F2Button");
  b->SetFlat(true);
  b->SetGlyphIndex(8);
  b->OnClick = Bind<&TVxBtnDBEdit::ButtonClick>(this);
  button_ = b;
  Follow();
}

void TVxBtnDBEdit::SetButtonSpacing(int v) {
  button_spacing_ = v;
  Follow();
}

int TVxBtnDBEdit::GlyphIndex() const {
  return button_ ? button_->GlyphIndex() : 0;
}

void TVxBtnDBEdit::SetGlyphIndex(int index) {
  if (button_) button_->SetGlyphIndex(index);
}

std::string TVxBtnDBEdit::ButtonHint() const {
  return button_ ? button_->Hint() : std::string();
}

void TVxBtnDBEdit::SetButtonHint(std::string_view hint) {
  if (button_) button_->SetHint(hint);
}

void TVxBtnDBEdit::Follow() {
  TVxDBEdit::Follow();
  TGSpeedButton* b = button_.get();
  if (!b) return;
  if (b->Parent() != Parent()) b->SetParent(Parent());
  b->SetEnabled(Enabled());
  b->SetVisible(Visible());
  b->SetBounds(Left() + Width() + button_spacing_, Top(), Height(), Height());
}

void TVxBtnDBEdit::ButtonClick(TObject*) {
  if (OnDialog) {
    OnDialog(this);
    return;
  }
  if (CanTakeFocus(this)) SetFocus();
  if (Focused()) SendF2Request(this);
}

}  // namespace vx
