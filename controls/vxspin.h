#pragma once
// TVxSpinEdit: a spin edit that drops a "+" or "-" typed after the first
// character, and raises its change event only for a text that is not blank.
#include "platform/ui/spin.h"

namespace vx {

class TVxSpinEdit : public TSpinEdit {
  VX_CLASS(TVxSpinEdit, TSpinEdit)
  explicit TVxSpinEdit(TComponent* owner) : TSpinEdit(owner) {}

 protected:
  void Change() override;
};

}  // namespace vx
