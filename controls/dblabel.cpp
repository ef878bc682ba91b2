#include "controls/dblabel.h"

#include <algorithm>

#include "controls/neighbours.h"
#include "platform/ui/dialogs.h"

namespace vx {

const TClassInfo& TDBLabel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TDBLabel>("TDBLabel", [](auto& r) {
    RegisterEnumType("TLabelPos", {"psTop", "psLeft", "psRight", "psBottom"});
    r.template Obj<&TDBLabel::FocusControl, &TDBLabel::SetFocusControl>("FocusControl",
                                                                        "TWinControl");
    r.template Bool<&TDBLabel::AutoAlign, &TDBLabel::SetAutoAlign>("AutoAlign");
    r.template Bool<&TDBLabel::AutoCaption, &TDBLabel::SetAutoCaption>("AutoCaption");
    r.template Ord<&TDBLabel::Gap, &TDBLabel::SetGap>("Gap", "Integer");
    r.template Ord<&TDBLabel::Pos, &TDBLabel::SetPos>("Pos", "TLabelPos");
  });
  return info;
}

TDBLabel::TDBLabel(TComponent* owner) : TLabel(owner) {
  SetCaption("挂靠标签");
}

void TDBLabel::SetFocusControl(TWinControl* control) {
  if (control)
    for (TDBLabel* l : Neighbours<TDBLabel>(*this)) {
      if (l == this || l->FocusControl() != control) continue;
      MessageDlg(kDBLabelTwiceError, mtError, {mbOK});
      return;
    }
  TLabel::SetFocusControl(control);
  Update();
}

void TDBLabel::SetAutoAlign(bool v) {
  auto_align_ = v;
  Update();
}

void TDBLabel::SetAutoCaption(bool v) {
  auto_caption_ = v;
  Update();
}

void TDBLabel::SetGap(int v) {
  gap_ = v;
  Update();
}

void TDBLabel::SetPos(TLabelPos p) {
  pos_ = p;
  Update();
}

namespace {

// The display label of the control's data field, when the control is bound
// to a data source whose data set is assigned.
bool DataFieldLabel(TWinControl& control, std::string& label) {
  try {
    const TPropInfo* source_prop = GetPropInfo(&control, "DataSource");
    TObject* source = source_prop ? GetObjectProp(control, *source_prop) : nullptr;
    const TPropInfo* set_prop = source ? GetPropInfo(source, "DataSet") : nullptr;
    TObject* data_set = set_prop ? GetObjectProp(*source, *set_prop) : nullptr;
    const TPropInfo* field_prop = GetPropInfo(&control, "DataField");
    auto* labels = dynamic_cast<const IFieldDisplayLabels*>(data_set);
    if (!labels || !field_prop) return false;
    label = labels->FieldDisplayLabel(GetStrProp(control, *field_prop));
    return true;
  } catch (const std::exception&) {
    return false;  // a caption is a convenience: errors leave it as it is
  }
}

}  // namespace

void TDBLabel::Update() {
  TWinControl* control = FocusControl();
  if (!control || !auto_align_) return;
  std::string label;
  if (auto_caption_ && DataFieldLabel(*control, label)) SetCaption(label);
  Place();
}

void TDBLabel::Place() {
  TWinControl* c = FocusControl();
  if (!c || !auto_align_) return;
  int left = c->Left(), top = c->Top();
  // Beside the control: its top when both are equally high, else centred.
  int beside_top = Height() == c->Height() ? c->Top() : c->Top() + c->Height() / 2 - Height() / 2;
  switch (pos_) {
    case psTop:
      top = c->Top() - Height() - gap_;
      break;
    case psBottom:
      top = c->Top() + c->Height() + gap_;
      break;
    case psLeft:
      left = c->Left() - Width() - gap_;
      top = beside_top;
      break;
    case psRight:
      left = c->Left() + c->Width() + gap_;
      top = beside_top;
      break;
  }
  SetBounds(std::max(0, left), std::max(0, top), Width(), Height());
}

}  // namespace vx
