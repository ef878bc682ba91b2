#include "platform/ui/dbctrls.h"

namespace vx {

const TClassInfo& TDBNavigator::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TDBNavigator>("TDBNavigator", [](auto& r) {
    for (const char* name : {"Align", "Enabled", "Hint", "ParentShowHint", "ShowHint", "TabOrder",
                             "TabStop", "Visible", "OnClick", "OnEnter", "OnExit"})
      r.Publish(name);
    r.template Obj<&TDBNavigator::Hints, &TDBNavigator::SetHints>("Hints", "TStrings");
  });
  return info;
}

TDBNavigator::TDBNavigator(TComponent* owner)
    : TWinControl(owner), hints_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 240, 25);
}

std::string TDBNavigator::ButtonHint(TNavigateBtn button) const {
  static const char* const kBuiltIn[] = {
      "First record",  "Prior record", "Next record", "Last record", "Insert record",
      "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};
  int i = static_cast<int>(button);
  if (i < hints_->Count() && !hints_->Get(i).empty()) return hints_->Get(i);
  return kBuiltIn[i];
}

}  // namespace vx
