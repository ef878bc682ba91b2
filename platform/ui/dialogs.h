#pragma once
// The standard message dialog: a real form with a message label named
// "Message" and one button per requested kind, named "Yes", "No", "OK",
// "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll",
// "Help". Its caption, font and buttons can be changed before it is shown.
#include <string>
#include <string_view>

#include "platform/ui/stdctrls.h"

namespace vx {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;
enum class TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};
using enum TMsgDlgBtn;
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// "Yes", "No", "OK", ... as the buttons are named.
const char* MsgDlgButtonName(TMsgDlgBtn button);
// mrYes 6, mrNo 7, mrOk 1, ...; 0 for Help.
TModalResult MsgDlgButtonResult(TMsgDlgBtn button);
// "mtWarning", "mtError", ...
const char* MsgDlgTypeName(TMsgDlgType type);

class TMessageForm : public TForm {
  VX_CLASS(TMessageForm, TForm)
  explicit TMessageForm(TComponent* owner);

  std::string MessageText() const;
  TMsgDlgType DlgType() const { return dlg_type_; }
  TMsgDlgButtons Buttons() const { return buttons_; }
  // The button of that kind; nullptr when the dialog has none.
  TButton* Button(TMsgDlgBtn kind) const;
  // The button Enter presses: OK, else Yes, else Retry when present.
  TButton* DefaultButton() const;
  // Unanswered, the dialog gives its default button's result, else that of
  // its cancel button (Cancel, No or OK), else its first button's.
  TModalResult DefaultModalResult() const override;
  void DescribeModal(TDialogRecord& record) const override;

 private:
  friend TMessageForm* CreateMessageDialog(std::string_view, TMsgDlgType, TMsgDlgButtons);
  TMsgDlgType dlg_type_ = mtCustom;
  TMsgDlgButtons buttons_;
};

// The dialog, laid out and ready to show; the caller frees it.
TMessageForm* CreateMessageDialog(std::string_view msg, TMsgDlgType type, TMsgDlgButtons buttons);
// Shows the dialog modally and returns the pressed button's modal result.
TModalResult MessageDlg(std::string_view msg, TMsgDlgType type, TMsgDlgButtons buttons,
                        int help_context = 0);
void ShowMessage(std::string_view msg);

}  // namespace vx
