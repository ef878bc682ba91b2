#include "platform/ui/dialogs.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"

namespace vx {

namespace {

constexpr TMsgDlgBtn kAllButtons[] = {mbYes,    mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                      mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};

const char* ButtonCaption(TMsgDlgBtn b) {
  static const char* const captions[] = {"&Yes",       "&No",         "OK",      "Cancel",
                                         "&Abort",     "&Retry",      "&Ignore", "&All",
                                         "N&o to All", "Yes to &All", "&Help"};
  return captions[static_cast<int>(b)];
}

const char* TypeCaption(TMsgDlgType t) {
  switch (t) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirm";
    case mtCustom:
      break;
  }
  return "";
}

// Layout, in pixels of the dialog's font.
constexpr int kMargin = 8;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonSpacing = 4;

}  // namespace

const char* MsgDlgButtonName(TMsgDlgBtn b) {
  static const char* const names[] = {"Yes",    "No",  "OK",      "Cancel",   "Abort", "Retry",
                                      "Ignore", "All", "NoToAll", "YesToAll", "Help"};
  return names[static_cast<int>(b)];
}

TModalResult MsgDlgButtonResult(TMsgDlgBtn b) {
  static const TModalResult results[] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                                         mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
  return results[static_cast<int>(b)];
}

const char* MsgDlgTypeName(TMsgDlgType t) {
  static const char* const names[] = {"mtWarning", "mtError", "mtInformation", "mtConfirmation",
                                      "mtCustom"};
  return names[static_cast<int>(t)];
}

const TClassInfo& TMessageForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMessageForm>("TMessageForm", [](auto&) {});
  return info;
}

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetBorderIcons({biSystemMenu});
}

std::string TMessageForm::MessageText() const {
  auto* label = dynamic_cast<TLabel*>(FindComponent("Message"));
  return label ? label->Caption() : std::string();
}

TButton* TMessageForm::Button(TMsgDlgBtn kind) const {
  return dynamic_cast<TButton*>(FindComponent(MsgDlgButtonName(kind)));
}

TButton* TMessageForm::DefaultButton() const {
  for (TMsgDlgBtn b : {mbOK, mbYes, mbRetry})
    if (buttons_.Contains(b)) return Button(b);
  return nullptr;
}

TModalResult TMessageForm::DefaultModalResult() const {
  if (TButton* b = DefaultButton()) return b->ModalResult();
  for (TMsgDlgBtn b : {mbCancel, mbNo, mbOK})
    if (buttons_.Contains(b)) return MsgDlgButtonResult(b);
  for (TMsgDlgBtn b : kAllButtons)
    if (buttons_.Contains(b) && MsgDlgButtonResult(b) != mrNone) return MsgDlgButtonResult(b);
  return mrCancel;
}

void TMessageForm::DescribeModal(TDialogRecord& record) const {
  TForm::DescribeModal(record);
  record.MessageDialog = true;
  record.Text = MessageText();
  record.DlgType = MsgDlgTypeName(dlg_type_);
  record.Buttons.clear();
  for (TMsgDlgBtn b : kAllButtons)
    if (buttons_.Contains(b)) record.Buttons.push_back(MsgDlgButtonName(b));
  TButton* def = DefaultButton();
  record.DefaultButton = def ? def->Name() : std::string();
}

TMessageForm* CreateMessageDialog(std::string_view msg, TMsgDlgType type, TMsgDlgButtons buttons) {
  auto* form = Create<TMessageForm>(Application());
  try {
    form->dlg_type_ = type;
    form->buttons_ = buttons;
    form->SetFont(Screen()->MenuFont());
    std::string caption = TypeCaption(type);
    form->SetCaption(caption.empty() ? Application()->Title() : caption);

    // The text wraps at half the screen width, as the platform's dialog does.
    const TFont& font = *form->Font();
    int max_text = WidgetSet().ScreenSize().cx / 2;
    int text_width = std::min(TextWidth(font, msg), max_text);
    int lines = 0;
    std::size_t start = 0;
    std::string text(msg);
    do {
      std::size_t end = text.find('\n', start);
      std::string line = text.substr(start, end == std::string::npos ? end : end - start);
      int w = TextWidth(font, line);
      lines += std::max(1, (w + max_text - 1) / max_text);
      start = end == std::string::npos ? end : end + 1;
    } while (start != std::string::npos);
    int text_height = lines * TextHeight(font, "W");

    int icon = type == mtCustom ? 0 : kIconSize + kMargin;
    auto* label = new TLabel(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetCaption(msg);
    label->SetBounds(kMargin + icon, kMargin, text_width, text_height);

    int count = 0;
    int button_width = kButtonWidth;
    for (TMsgDlgBtn b : kAllButtons)
      if (buttons.Contains(b)) {
        ++count;
        button_width = std::max(button_width, TextWidth(font, ButtonCaption(b)) + 16);
      }
    int buttons_width = count * button_width + std::max(0, count - 1) * kButtonSpacing;
    int client_width = std::max(icon + text_width, buttons_width) + 2 * kMargin;
    int button_top = kMargin + std::max(text_height, icon ? kIconSize : 0) + kMargin;
    form->SetClientWidth(client_width);
    form->SetClientHeight(button_top + kButtonHeight + kMargin);

    TMsgDlgBtn cancel_kind = buttons.Contains(mbCancel) ? mbCancel
                             : buttons.Contains(mbNo)   ? mbNo
                                                        : mbOK;
    int x = (client_width - buttons_width) / 2;
    for (TMsgDlgBtn b : kAllButtons) {
      if (!buttons.Contains(b)) continue;
      auto* button = new TButton(form);
      button->SetName(MsgDlgButtonName(b));
      button->SetParent(form);
      button->SetCaption(ButtonCaption(b));
      button->SetModalResult(MsgDlgButtonResult(b));
      button->SetCancel(b == cancel_kind);
      button->SetBounds(x, button_top, button_width, kButtonHeight);
      x += button_width + kButtonSpacing;
    }
    if (TButton* def = form->DefaultButton()) {
      def->SetDefault(true);
      form->SetActiveControl(def);
    }
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

TModalResult MessageDlg(std::string_view msg, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  TMessageForm* dlg = CreateMessageDialog(msg, type, buttons);
  TWeak<TMessageForm> alive(dlg);
  TModalResult result = mrNone;
  try {
    result = dlg->ShowModal();
  } catch (...) {
    if (TMessageForm* d = alive.get()) d->Free();
    throw;
  }
  if (TMessageForm* d = alive.get()) d->Free();
  return result;
}

void ShowMessage(std::string_view msg) {
  MessageDlg(msg, mtCustom, {mbOK});
}

void RegisterStandardClasses() {
  for (const TClassInfo* c :
       {&TObject::StaticClassInfo(),         &TPersistent::StaticClassInfo(),
        &TComponent::StaticClassInfo(),      &TStrings::StaticClassInfo(),
        &TStringList::StaticClassInfo(),     &TFont::StaticClassInfo(),
        &TControl::StaticClassInfo(),        &TWinControl::StaticClassInfo(),
        &TGraphicControl::StaticClassInfo(), &TCustomForm::StaticClassInfo(),
        &TForm::StaticClassInfo(),           &TScreen::StaticClassInfo(),
        &TApplication::StaticClassInfo(),    &TCustomEdit::StaticClassInfo(),
        &TEdit::StaticClassInfo(),           &TButton::StaticClassInfo(),
        &TLabel::StaticClassInfo(),          &TCustomPanel::StaticClassInfo(),
        &TPanel::StaticClassInfo(),          &TMessageForm::StaticClassInfo()})
    (void)c;
  RegisterListControlClasses();
}

}  // namespace vx
