#pragma once
// The portal user picker: the users the company portal lists, one chosen.
#include <string>
#include <utility>
#include <vector>

#include "framework/vxdialogcf.h"
#include "platform/automation/variant.h"
#include "platform/ui/buttons.h"
#include "platform/ui/grids.h"

namespace vx {

using TPortalUser = std::pair<std::string, std::string>;  // identifier, name

class TfrmPortalUser : public TfrmVXDialog {
  VX_CLASS(TfrmPortalUser, TfrmVXDialog)
  explicit TfrmPortalUser(TComponent* owner);

  TStringGrid* grUser;
  TBitBtn* btnOk;
  TBitBtn* btnCancel;

  // [identifier, name, empty] of the current row, set when the dialog closes.
  Variant Selection;

  // Published handler.
  void FormCloseQuery(TObject* sender, bool& can_close);
};

// Shows the picker with the users; true and the chosen user when confirmed.
// With no user listed there is nothing to choose: false, without a dialog.
bool PickPortalUser(TComponent* owner, const std::vector<TPortalUser>& users, TPortalUser& chosen);

}  // namespace vx
