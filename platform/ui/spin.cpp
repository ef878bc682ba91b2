#include "platform/ui/spin.h"

#include <algorithm>
#include <climits>

#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TSpinEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TSpinEdit>("TSpinEdit", [](auto& r) {
    for (const char* name :
         {"AutoSelect", "Color",       "Enabled",    "Font",           "ImeMode",    "ImeName",
          "MaxLength",  "ParentColor", "ParentFont", "ParentShowHint", "ReadOnly",   "ShowHint",
          "TabOrder",   "TabStop",     "Text",       "Visible",        "OnChange",   "OnClick",
          "OnDblClick", "OnEnter",     "OnExit",     "OnKeyDown",      "OnKeyPress", "OnKeyUp"})
      r.Publish(name);
    r.template Bool<&TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled>("EditorEnabled");
    r.template Ord<&TSpinEdit::Increment, &TSpinEdit::SetIncrement>("Increment", "Integer");
    r.template Ord<&TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue>("MaxValue", "Integer");
    r.template Ord<&TSpinEdit::MinValue, &TSpinEdit::SetMinValue>("MinValue", "Integer");
    r.template Ord<&TSpinEdit::Value, &TSpinEdit::SetValue>("Value", "Integer");
  });
  return info;
}

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
  SetWidth(121);
  SetText("0");
}

int TSpinEdit::CheckValue(long long v) const {
  if (max_value_ != min_value_) v = std::clamp<long long>(v, min_value_, max_value_);
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int TSpinEdit::Value() const {
  auto v = TryStrToInt(Trim(Text()));
  return CheckValue(v ? *v : min_value_);
}

void TSpinEdit::SetValue(int v) {
  SetText(IntToStr(CheckValue(v)));
}

void TSpinEdit::UpClick() {
  if (ReadOnly()) return;
  SetValue(CheckValue(static_cast<long long>(Value()) + increment_));
  SetModified(true);
}

void TSpinEdit::DownClick() {
  if (ReadOnly()) return;
  SetValue(CheckValue(static_cast<long long>(Value()) - increment_));
  SetModified(true);
}

void TSpinEdit::DoExit() {
  // A text outside the range (or no number) is corrected when leaving.
  if (auto v = TryStrToInt(Trim(Text())); !v || CheckValue(*v) != *v) SetValue(Value());
  TCustomEdit::DoExit();
}

void TSpinEdit::DefaultKeyDown(Word& key, TShiftState shift) {
  if (key == VK_UP) {
    UpClick();
    return;
  }
  if (key == VK_DOWN) {
    DownClick();
    return;
  }
  TCustomEdit::DefaultKeyDown(key, shift);
}

void TSpinEdit::DefaultKeyPress(TKeyChar& key) {
  // Digits and signs only; the editor may be locked to the buttons.
  if (!editor_enabled_) return;
  if (key >= 32 && !(key >= '0' && key <= '9') && key != '+' && key != '-') return;
  TCustomEdit::DefaultKeyPress(key);
}

}  // namespace vx
