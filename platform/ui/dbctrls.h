#pragma once
// The data-aware navigator as far as the forms use it: its buttons' hints.
#include <memory>

#include "platform/ui/stdctrls.h"

namespace vx {

enum class TNavigateBtn {
  nbFirst,
  nbPrior,
  nbNext,
  nbLast,
  nbInsert,
  nbDelete,
  nbEdit,
  nbPost,
  nbCancel,
  nbRefresh
};
using enum TNavigateBtn;

class TDBNavigator : public TWinControl {
  VX_CLASS(TDBNavigator, TWinControl)
  explicit TDBNavigator(TComponent* owner);

  // One line per button in button order; a missing or empty line leaves the
  // button its built-in hint.
  TStrings* Hints() const { return hints_.get(); }
  void SetHints(TStrings* hints) { hints_->Assign(hints); }
  // The hint a button shows.
  std::string ButtonHint(TNavigateBtn button) const;

 private:
  std::unique_ptr<TStringList> hints_;
};

}  // namespace vx
