#pragma once
// The base of the suite's small dialogs: a dialog border, Enter moving to the
// next control, and F2, F3 and F4 (or the user messages 10, 11 and 12 naming
// a control) each running an operation that descendants override.
#include <memory>

#include "framework/vxform.h"

namespace vx {

// A dialog that lives only while it is shown: created, and freed however the
// caller leaves.
struct TFormFree {
  void operator()(TObject* form) const { form->Free(); }
};
template <class T>
using TShownDialog = std::unique_ptr<T, TFormFree>;
template <class T>
TShownDialog<T> CreateDialog(TComponent* owner) {
  return TShownDialog<T>(Create<T>(owner));
}

class TfrmVXDialog : public TVXForm {
  VX_CLASS(TfrmVXDialog, TVXForm)
  explicit TfrmVXDialog(TComponent* owner);

  // Published handlers.
  // Converts the dialog's texts for the interface and takes the owner
  // form's caption.
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormKeyDown(TObject* sender, Word& key, TShiftState shift);
  void FormKeyPress(TObject* sender, TKeyChar& key);

 protected:
  // One per key (F2, F3, F4) with the active control, or the control named
  // by a user message; by default each focuses the control when it can.
  virtual void DoF2(Word key, TWinControl* control);
  virtual void DoF3(Word key, TWinControl* control);
  virtual void DoF4(Word key, TWinControl* control);
  // The user messages 10, 11 and 12: LParam is the control.
  void WMUserF2(TMessage& msg);
  void WMUserF3(TMessage& msg);
  void WMUserF4(TMessage& msg);

 private:
  void DoKey(Word key, TWinControl* control);
  TWinControl* NamedControl(LPARAM param) const;
  static void FocusIfPossible(TWinControl* control);
};

}  // namespace vx
