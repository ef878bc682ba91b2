#pragma once
// Forms, the application object and the screen object.
//
// Focus: each form has an active control. Moving the focus first sets the
// new active control, then runs the exit events of the control losing the
// focus and of every container that no longer contains it (innermost
// first), then the enter events of the containers newly containing it
// (outermost first) and of the control; a handler that moves the focus again
// ends the sequence. Forms are top-level windows.
//
// Messages: PostMessage queues a message for a window handle; the queue is
// drained in order by Application()->ProcessMessages(). WM_CLOSE closes a
// form, CM_RELEASE (posted by Release) frees it.
#include <deque>
#include <string>
#include <vector>

#include "platform/ui/controls.h"

namespace vx {

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter
};
using enum TPosition;
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;
enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
using TBorderIcons = TSet<TBorderIcon>;
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;

class TCustomForm : public TWinControl {
  VX_CLASS(TCustomForm, TWinControl)
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool v) { key_preview_ = v; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition p) { position_ = p; }
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons);
  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle s) { border_style_ = s; }
  TWindowState WindowState() const { return window_state_; }
  void SetWindowState(TWindowState s);
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult r) { modal_result_ = r; }
  // The window the form's window belongs to: 0 (none) or the desktop.
  HWND ParentWindowHandle() const { return parent_window_; }
  void SetParentWindowHandle(HWND parent);

  TWinControl* ActiveControl() const { return active_control_; }
  // Raises EInvalidOperation when the control cannot take the focus.
  void SetActiveControl(TWinControl* control);
  bool Active() const { return active_; }
  bool IsModal() const { return modal_; }

  void Show();
  void Hide() { SetVisible(false); }
  // Close query, then the close action: hide (default), free (through
  // Release), minimise or nothing. A modal form only gets mrCancel.
  void Close();
  // Frees the form once the current call has returned to the message loop.
  void Release();
  // Shows the form and runs the modal loop until ModalResult is set and the
  // close is allowed; raises EInvalidOperation for a visible form.
  TModalResult ShowModal();
  bool CloseQuery();

  bool CanFocus() const override;
  void SetFocus() override;
  // Makes control the active control and gives it the focus.
  void FocusControl(TWinControl* control);
  // The focus arrived at control (or the form itself): runs the exit and
  // enter events. False when a handler moved the focus elsewhere meanwhile.
  bool SetFocusedControl(TWinControl* control);
  // A control that contains the focus is hidden, disabled or removed.
  void DefocusControl(TWinControl* control, bool removing);
  // Default key handling after the key events: Tab, Shift+Tab, Enter, Esc.
  // True when the key was used.
  bool DialogKey(Word key, TShiftState shift, TWinControl* source);

  // The answer of a modal form nobody answers (headless without responder).
  virtual TModalResult DefaultModalResult() const { return mrCancel; }
  // What the user sees of the form when it is shown modally.
  virtual void DescribeModal(TDialogRecord& record) const;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnResize;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  friend class TScreen;
  friend class TWinControl;
  void SetVisible(bool visible) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Resize() override { OnResize(this); }
  virtual void DoCreate() { OnCreate(this); }
  virtual void DoDestroy() { OnDestroy(this); }
  virtual void DoShow() { OnShow(this); }
  virtual void DoHide() { OnHide(this); }
  virtual void DoClose(TCloseAction& action) { OnClose(this, action); }
  virtual void Activate() { OnActivate(this); }
  virtual void Deactivate() { OnDeactivate(this); }
  void WMClose(TMessage& msg);
  void CMRelease(TMessage& msg);

 private:
  void Activated();
  void Deactivated();
  void SetWindowFocus();
  void CloseModal();
  void ApplyPosition();

  bool key_preview_ = false;
  TPosition position_ = poDesigned;
  TBorderIcons border_icons_{biSystemMenu, biMinimize, biMaximize};
  TFormBorderStyle border_style_ = bsSizeable;
  TWindowState window_state_ = wsNormal;
  TModalResult modal_result_ = mrNone;
  HWND parent_window_ = 0;
  TWinControl* active_control_ = nullptr;
  TWinControl* focused_control_ = nullptr;
  bool active_ = false;
  bool modal_ = false;
  int modal_disabled_ = 0;
};

class TForm : public TCustomForm {
  VX_CLASS(TForm, TCustomForm)
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

class TScreen : public TComponent {
  VX_CLASS(TScreen, TComponent)
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // The form with the focus, and its focused control.
  TCustomForm* ActiveForm() const { return active_form_; }
  TWinControl* ActiveControl() const { return active_control_; }
  // Every existing form, the most recently active first.
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<std::size_t>(index)); }
  const std::vector<TCustomForm*>& FormList() const { return forms_; }
  TFont* HintFont() const { return hint_font_.get(); }
  TFont* IconFont() const { return icon_font_.get(); }
  TFont* MenuFont() const { return menu_font_.get(); }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c) { cursor_ = c; }
  int Width() const;
  int Height() const;
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view hint) { hint_ = std::string(hint); }

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void BringToTop(TCustomForm* form);

  std::vector<TCustomForm*> forms_;
  TCustomForm* active_form_ = nullptr;
  TWinControl* active_control_ = nullptr;
  std::unique_ptr<TFont> hint_font_, icon_font_, menu_font_;
  TCursor cursor_ = crDefault;
  std::string hint_;
};

using TExceptionEvent = TEvent<TObject*, const std::exception&>;

class TApplication : public TComponent {
  VX_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view t) { title_ = std::string(t); }
  TCustomForm* MainForm() const { return main_form_; }
  void SetMainForm(TCustomForm* form) { main_form_ = form; }
  // Milliseconds a hint stays up; 2500 by default.
  int HintHidePause() const { return hint_hide_pause_; }
  void SetHintHidePause(int ms) { hint_hide_pause_ = ms; }
  int HintPause() const { return hint_pause_; }
  void SetHintPause(int ms) { hint_pause_ = ms; }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool v) { show_hint_ = v; }
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view h) { hint_ = std::string(h); }

  // Creates a form owned by the application; the first becomes MainForm.
  template <class T>
  T* CreateForm() {
    T* form = Create<T>(this);
    if (!main_form_) main_form_ = form;
    return form;
  }

  // Dispatches every queued message in order, including those posted
  // meanwhile; a failing handler goes to HandleException.
  void ProcessMessages();
  // Dispatches one message; false when the queue was empty.
  bool HandleMessage();
  int PendingMessages() const { return static_cast<int>(queue_.size()); }
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Runs until terminated or no form is visible (headless: until the queue
  // is empty).
  void Run();

  // OnException when assigned, else ShowException.
  void HandleException(const std::exception& e);
  // The default display: an error message dialog with the message.
  void ShowException(const std::exception& e);
  // Runs fn; an exception goes to HandleException, as in the message loop.
  template <class Fn>
  void Guard(Fn&& fn) {
    try {
      fn();
    } catch (const std::exception& e) {
      HandleException(e);
    }
  }
  int ModalLevel() const { return modal_level_; }

  TExceptionEvent OnException;

 private:
  friend bool PostMessage(HWND, unsigned, WPARAM, LPARAM);
  friend void FreeAllForms();
  friend class TCustomForm;
  void Notification(TComponent* component, TOperation operation) override;

  std::string title_ = "Application";
  TCustomForm* main_form_ = nullptr;
  int hint_hide_pause_ = 2500;
  int hint_pause_ = 500;
  bool show_hint_ = true;
  std::string hint_;
  bool terminated_ = false;
  int modal_level_ = 0;
  std::deque<std::pair<HWND, TMessage>> queue_;
};

TApplication* Application();
TScreen* Screen();

// Queues a message for the window; false when no such window exists.
bool PostMessage(HWND window, unsigned msg, WPARAM wparam = 0, LPARAM lparam = 0);
bool PostMessage(TWinControl* control, unsigned msg, WPARAM wparam = 0, LPARAM lparam = 0);
// Delivers at once; 0 when no such window exists.
LRESULT SendMessage(HWND window, unsigned msg, WPARAM wparam = 0, LPARAM lparam = 0);
// Frees every form and empties the queue (the end of a session, and
// between tests).
void FreeAllForms();

}  // namespace vx
