#pragma once
// The widget set: the backend that renders the model. The model is
// authoritative: setters store the value and push it to the control's peer
// only when one exists; peers are created lazily, parent first, and read the
// model's whole state when created. What a backend reports upward are raw
// facts only (focus moved, key pressed, clicked, text edited), delivered
// through the functions of input.h; focus order, key preview, default keys,
// posted messages and the modal loop live in the model.
//
// The headless widget set (headless.h) is installed by default.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/graphics.h"
#include "platform/ui/types.h"

namespace vx {

class TControl;
class TCustomForm;

// ---- peers: one interface per control family -----------------------------------
class IControlPeer {
 public:
  virtual ~IControlPeer() = default;
  // 0 for a control without a window of its own.
  virtual HWND Handle() const = 0;
  virtual void SetBounds(const TRect& bounds) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void SetColor(TColor color) = 0;
  virtual void SetFont(const TFont& font) = 0;
  virtual void SetHint(const std::string& hint) = 0;
  virtual void SetFocus() = 0;
  // Stacking among the siblings.
  virtual void SetZOrder(bool top) = 0;
  virtual void Invalidate() = 0;
};

class IEditPeer : public virtual IControlPeer {
 public:
  virtual void SetReadOnly(bool read_only) = 0;
  virtual void SetMaxLength(int max_length) = 0;
  // Positions in characters.
  virtual void SetSelection(int start, int length) = 0;
  virtual void SetPasswordChar(char32_t c) = 0;
};

class IButtonPeer : public virtual IControlPeer {
 public:
  virtual void SetDefault(bool is_default) = 0;
};

class IFormPeer : public virtual IControlPeer {
 public:
  virtual void SetParentWindow(HWND parent) = 0;
  virtual void SetWindowState(int state) = 0;
  virtual void SetBorderIcons(unsigned icons) = 0;
  virtual void BringToFront() = 0;
};

using TPeerFactory = std::function<std::unique_ptr<IControlPeer>(TControl&)>;

// What a user was shown by a modal form: kept by the headless widget set and
// handed to the modal responder.
struct TDialogRecord {
  std::string ClassName;
  std::string FormName;
  std::string Caption;
  bool MessageDialog = false;
  // Message dialogs only.
  std::string Text;
  std::string DlgType;               // "mtWarning", "mtError", ...
  std::vector<std::string> Buttons;  // button names in order: "Yes", "No", ...
  std::string DefaultButton;
  // Filled when the form closes.
  int ModalResult = 0;
  // True when the responder closed it, false when the default answer did.
  bool Answered = false;
};

class TWidgetSet {
 public:
  virtual ~TWidgetSet() = default;
  virtual std::string Name() const = 0;

  // Maps a control class (and its descendants without a factory of their
  // own) to the peers of this widget set.
  void RegisterPeerFactory(const TClassInfo& cls, TPeerFactory factory);
  // nullptr when no factory covers the control's class.
  std::unique_ptr<IControlPeer> CreatePeer(TControl& control);

  // Extent of a text in a font, in pixels.
  virtual TSize TextExtent(const TFont& font, std::string_view text) = 0;
  virtual TSize ScreenSize() = 0;
  virtual HWND DesktopWindow() = 0;
  virtual void SetForegroundWindow(HWND window) = 0;
  // Repaints any window by handle, also one that is not ours.
  virtual void RepaintWindow(HWND window) = 0;
  // Shell execute of a verb ("open", "properties") on a file.
  virtual bool ShellExecute(HWND owner, std::string_view verb, std::string_view file) = 0;

  // The modal loop: ModalStarted when a modal form is up, then
  // WaitModalInput each turn until the form's modal result is set (turn
  // counts from 0), then ModalEnded.
  virtual void ModalStarted(TCustomForm& form, const TDialogRecord& shown) = 0;
  virtual void WaitModalInput(TCustomForm& form, int turn) = 0;
  virtual void ModalEnded(TCustomForm& form, int modal_result) = 0;
  // A message was posted; a backend with its own event loop wakes it.
  virtual void MessagePosted() {}

 private:
  std::map<const TClassInfo*, TPeerFactory> factories_;
};

TWidgetSet& WidgetSet();
// Installs a widget set once at start-up (tests may switch back and forth
// between forms' lifetimes); returns the previous one.
std::unique_ptr<TWidgetSet> SetWidgetSet(std::unique_ptr<TWidgetSet> ws);

int TextWidth(const TFont& font, std::string_view text);
int TextHeight(const TFont& font, std::string_view text);

}  // namespace vx

namespace vx {

// Window services through the installed widget set.
HWND GetDesktopWindow();
void SetForegroundWindow(HWND window);
// Repaints the window: one of ours is invalidated, any other is passed on.
void RepaintWindow(HWND window);
bool ShellExecute(HWND owner, std::string_view verb, std::string_view file);

}  // namespace vx
