#pragma once
// The headless widget set: the default, and what every test uses.
//
// Text metrics (deterministic, so that layouts computed from text widths are
// reproducible): P = the font's pixel height, Size * 96 / 72 rounded
// (8 pt -> 11, 9 pt -> 12). A text is P + 2 pixels high. Each character is
// P pixels wide when it is an East Asian wide or full-width character
// (CJK ideographs, kana, hangul, full-width forms), else (P + 1) / 2; a
// bold font adds one pixel per character. The screen is 1024 x 768.
//
// Modal forms: when one is shown, a record of what the user sees (class,
// caption; for a message dialog its text, type and buttons) is added to
// Dialogs() and the modal responder, when set, is called with the form: it
// answers by acting on the form (typing, clicking, setting ModalResult).
// Without a responder, or when the responder leaves the form open, the form
// gets its DefaultModalResult (Cancel; a message dialog's default button).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/menus.h"
#include "platform/ui/widgetset.h"

namespace vx {

using TModalResponder = std::function<void(TCustomForm& form, const TDialogRecord& shown)>;

// State pushed down to a headless peer, for tests of the model/peer split.
struct THeadlessPeerState {
  TRect Bounds;
  bool Visible = false;
  bool Enabled = false;
  std::string Text;
  TColor Color = 0;
  std::string FontName;
  int FontSize = 0;
  std::string Hint;
  int FocusRequests = 0;
  int Invalidations = 0;
  bool ReadOnly = false;
  int MaxLength = 0;
  bool IsDefault = false;
  HWND ParentWindow = 0;
};

// A pop-up menu the user was shown: the menu's name and the screen position.
struct TPopupRecord {
  std::string MenuName;
  TPoint At;
};

class THeadlessWidgetSet : public TWidgetSet, public IPopupMenuHost {
 public:
  static constexpr HWND kDesktopWindow = 0x10010;

  THeadlessWidgetSet();
  std::string Name() const override { return "headless"; }
  TSize TextExtent(const TFont& font, std::string_view text) override;
  TSize ScreenSize() override { return {1024, 768}; }
  HWND DesktopWindow() override { return kDesktopWindow; }
  void SetForegroundWindow(HWND window) override { foreground_.push_back(window); }
  void RepaintWindow(HWND window) override { ++repaints_[window]; }
  bool ShellExecute(HWND owner, std::string_view verb, std::string_view file) override;
  void ModalStarted(TCustomForm& form, const TDialogRecord& shown) override;
  void WaitModalInput(TCustomForm& form, int turn) override;
  void ModalEnded(TCustomForm& form, int modal_result) override;
  void ShowPopupMenu(TPopupMenu& menu, int x, int y) override;
  // Every pop-up menu shown, oldest first.
  const std::vector<TPopupRecord>& Popups() const { return popups_; }

  void SetModalResponder(TModalResponder responder) { responder_ = std::move(responder); }
  // Every modal form shown, oldest first.
  const std::vector<TDialogRecord>& Dialogs() const { return dialogs_; }
  int RepaintCount(HWND window) const;
  const std::vector<HWND>& ForegroundLog() const { return foreground_; }
  // (verb, file) of every shell execute.
  const std::vector<std::pair<std::string, std::string>>& ShellExecutes() const {
    return shell_executes_;
  }
  // Forgets the records and the responder.
  void Reset();

 private:
  struct Modal {
    std::size_t Record;
    bool Responded = false;
    bool Defaulted = false;
  };
  TModalResponder responder_;
  std::vector<TDialogRecord> dialogs_;
  std::vector<Modal> modal_stack_;
  std::map<HWND, int> repaints_;
  std::vector<HWND> foreground_;
  std::vector<std::pair<std::string, std::string>> shell_executes_;
  std::vector<TPopupRecord> popups_;
};

std::unique_ptr<TWidgetSet> CreateHeadlessWidgetSet();
// The installed widget set when it is the headless one, else nullptr.
THeadlessWidgetSet* HeadlessWidgetSet();
// The state of a control's headless peer; nullptr without one.
const THeadlessPeerState* HeadlessPeerState(const TControl& control);

}  // namespace vx
