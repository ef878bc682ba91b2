#include "platform/ui/forms.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/dialogs.h"

namespace vx {

namespace {

// Counts focus changes; a focus sequence stops when a handler started
// another one.
int focus_count = 0;

struct UISession {
  UISession() {
    WidgetSet();
    screen = new TScreen(nullptr);
    app = new TApplication(nullptr);
  }
  ~UISession() {
    FreeAllForms();
    app->Free();
    screen->Free();
  }
  TApplication* app = nullptr;
  TScreen* screen = nullptr;
};

UISession& Session() {
  static UISession session;
  return session;
}

const char* const kCannotFocus = "Cannot focus a disabled or invisible window";

// CM_DIALOGKEY to every control, depth first, until one takes it.
bool BroadcastDialogKey(TWinControl& parent, TMessage& msg) {
  for (TControl* c : std::vector<TControl*>(parent.ControlList())) {
    if (!c->Visible()) continue;
    c->Deliver(msg);
    if (msg.Result) return true;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && BroadcastDialogKey(*w, msg)) return true;
  }
  return false;
}

}  // namespace

TApplication* Application() {
  return Session().app;
}
TScreen* Screen() {
  return Session().screen;
}

// ---- TCustomForm ---------------------------------------------------------------------

const TClassInfo& TCustomForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomForm>("TCustomForm", [](auto& r) {
    RegisterEnumType("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly",
                                   "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter"});
    RegisterEnumType("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
    RegisterSetType("TBorderIcons", RegisterEnumType("TBorderIcon", {"biSystemMenu", "biMinimize",
                                                                     "biMaximize", "biHelp"}));
    RegisterEnumType("TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog",
                                          "bsToolWindow", "bsSizeToolWin"});
    r.Published(false);
    r.template Bool<&TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview>("KeyPreview");
    r.template Ord<&TCustomForm::Position, &TCustomForm::SetPosition>("Position", "TPosition");
    r.template Ord<&TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons>("BorderIcons",
                                                                            "TBorderIcons");
    r.template Ord<&TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle>("BorderStyle",
                                                                            "TFormBorderStyle");
    r.template Ord<&TCustomForm::WindowState, &TCustomForm::SetWindowState>("WindowState",
                                                                            "TWindowState");
    r.template Obj<&TCustomForm::ActiveControl, &TCustomForm::SetActiveControl>("ActiveControl",
                                                                                "TWinControl");
    r.template Event<&TCustomForm::OnCreate>("OnCreate");
    r.template Event<&TCustomForm::OnDestroy>("OnDestroy");
    r.template Event<&TCustomForm::OnShow>("OnShow");
    r.template Event<&TCustomForm::OnHide>("OnHide");
    r.template Event<&TCustomForm::OnActivate>("OnActivate");
    r.template Event<&TCustomForm::OnDeactivate>("OnDeactivate");
    r.template Event<&TCustomForm::OnResize>("OnResize");
    r.template Event<&TCustomForm::OnClose>("OnClose", "TCloseEvent");
    r.template Event<&TCustomForm::OnCloseQuery>("OnCloseQuery", "TCloseQueryEvent");
    r.template Message<&TCustomForm::WMClose>(WM_CLOSE);
    r.template Message<&TCustomForm::CMRelease>(CM_RELEASE);
  });
  return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  StoreVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
  Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Application()->MainForm() == this) Application()->SetMainForm(nullptr);
  Screen()->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  // A failing create handler is shown, as the message loop would; the form
  // stays usable.
  Application()->Guard([&] { DoCreate(); });
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  Screen()->RemoveForm(this);
  if (Application()->MainForm() == this) Application()->SetMainForm(nullptr);
  Application()->Guard([&] { DoDestroy(); });
  active_control_ = nullptr;
  focused_control_ = nullptr;
  TWinControl::BeforeDestruction();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove) {
    if (component == active_control_) active_control_ = nullptr;
    if (component == focused_control_) focused_control_ = nullptr;
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  border_icons_ = icons;
  if (auto* p = dynamic_cast<IFormPeer*>(Peer())) p->SetBorderIcons(icons.Bits());
}

void TCustomForm::SetWindowState(TWindowState s) {
  window_state_ = s;
  if (auto* p = dynamic_cast<IFormPeer*>(Peer())) p->SetWindowState(static_cast<int>(s));
}

void TCustomForm::SetParentWindowHandle(HWND parent) {
  parent_window_ = parent;
  if (auto* p = dynamic_cast<IFormPeer*>(Peer())) p->SetParentWindow(parent);
}

void TCustomForm::ApplyPosition() {
  if (position_ != poScreenCenter && position_ != poDesktopCenter) return;
  TSize s = WidgetSet().ScreenSize();
  SetBounds((s.cx - Width()) / 2, (s.cy - Height()) / 2, Width(), Height());
}

void TCustomForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  TWeak<TCustomForm> self(this);
  if (visible) {
    StoreVisible(true);
    HandleNeeded();
    ApplyPosition();
    DoShow();
    if (!self || !Visible()) return;
    if (Peer()) Peer()->SetVisible(true);
    Screen()->BringToTop(this);
    if (auto* p = dynamic_cast<IFormPeer*>(Peer())) p->BringToFront();
    if (Enabled() && modal_disabled_ == 0) Activated();
  } else {
    StoreVisible(false);
    DoHide();
    if (!self) return;
    if (Peer()) Peer()->SetVisible(false);
    if (active_) {
      Deactivated();
      // The window manager activates the next window.
      for (TCustomForm* f : Screen()->FormList())
        if (f != this && f->Visible() && f->Enabled() && f->modal_disabled_ == 0) {
          f->Activated();
          break;
        }
    }
  }
}

void TCustomForm::Show() {
  if (Visible()) {
    // Showing a visible form brings it to the front and activates it.
    Screen()->BringToTop(this);
    if (!active_ && CanFocus()) Activated();
    return;
  }
  SetVisible(true);
}

void TCustomForm::Activated() {
  if (!active_control_) active_control_ = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

void TCustomForm::Deactivated() {
  TScreen* s = Screen();
  if (s->active_form_ != this) return;
  s->active_form_ = nullptr;
  s->active_control_ = nullptr;
  active_ = false;
  Perform(CM_DEACTIVATE);
  Deactivate();
}

void TCustomForm::SetWindowFocus() {
  TWinControl* target = active_control_ && active_control_->CanFocus() ? active_control_ : this;
  if (target->Peer()) target->Peer()->SetFocus();
  SetFocusedControl(target);
}

bool TCustomForm::CanFocus() const {
  return Visible() && Enabled() && modal_disabled_ == 0;
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!CanFocus()) throw EInvalidOperation(kCannotFocus);
  SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == active_control_) return;
  if (control &&
      !(control != this && GetParentForm(control) == this && (IsLoading() || control->CanFocus())))
    throw EInvalidOperation(kCannotFocus);
  active_control_ = control;
  if (!IsLoading() && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  bool was_active = active_;
  SetActiveControl(control);
  if (!was_active) SetFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (IsDestroying() || !control || GetParentForm(control) != this) return false;
  int count = ++focus_count;
  TWeak<TCustomForm> self(this);
  TWeak<TWinControl> target(control);
  auto interrupted = [&] { return count != focus_count || !self || !target; };

  active_control_ = control != this ? control : nullptr;
  TScreen* s = Screen();
  s->active_control_ = control;
  s->BringToTop(this);
  if (s->active_form_ != this) {
    if (TCustomForm* old = s->active_form_) {
      old->Deactivated();
      if (interrupted()) return false;
    }
    s->active_form_ = this;
    s->active_control_ = control;
    active_ = true;
    Perform(CM_ACTIVATE);
    Activate();
    if (interrupted()) return false;
  }
  if (!focused_control_) focused_control_ = this;
  if (focused_control_ == control) return true;
  while (focused_control_ && !focused_control_->ContainsControl(control)) {
    TWinControl* leaving = focused_control_;
    focused_control_ = leaving->Parent();
    leaving->Perform(CM_EXIT);
    if (interrupted()) return false;
  }
  while (focused_control_ != control) {
    TWinControl* entering = control;
    while (entering->Parent() != focused_control_)
      entering = entering->Parent();
    focused_control_ = entering;
    entering->Perform(CM_ENTER);
    if (interrupted()) return false;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && focused_control_ && control->ContainsControl(focused_control_)) {
    focused_control_ = control->Parent();
    ++focus_count;
  }
  TScreen* s = Screen();
  if (removing && s->active_control_ && control->ContainsControl(s->active_control_))
    s->active_control_ = nullptr;
  if (active_control_ && control->ContainsControl(active_control_)) SetActiveControl(nullptr);
}

bool TCustomForm::DialogKey(Word key, TShiftState shift, TWinControl* source) {
  if (shift.Contains(ssAlt)) return false;
  if (shift.Contains(ssCtrl)) {
    // Ctrl+Tab is offered to the controls (a page control turns its page).
    if (key != VK_TAB) return false;
    TMessage msg{CM_DIALOGKEY, key, ShiftToLParam(shift), 0};
    return BroadcastDialogKey(*this, msg);
  }
  if (source && source->WantsKey(key, shift)) return false;
  if (key == VK_TAB) {
    SelectNext(active_control_, !shift.Contains(ssShift), true);
    return true;
  }
  if ((key == VK_RETURN || key == VK_ESCAPE) && !shift.Contains(ssShift)) {
    TMessage msg{CM_DIALOGKEY, key, ShiftToLParam(shift), 0};
    return BroadcastDialogKey(*this, msg);
  }
  return false;
}

bool TCustomForm::CloseQuery() {
  bool can_close = true;
  OnCloseQuery(this, can_close);
  return can_close;
}

void TCustomForm::Close() {
  if (modal_) {
    modal_result_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application()->MainForm() == this) {
    Application()->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    case caNone:
      break;
  }
}

void TCustomForm::Release() {
  PostMessage(this, CM_RELEASE);
}

void TCustomForm::WMClose(TMessage&) {
  Close();
}

void TCustomForm::CMRelease(TMessage&) {
  Free();
}

void TCustomForm::DescribeModal(TDialogRecord& record) const {
  record.ClassName = ClassName();
  record.FormName = Name();
  record.Caption = Caption();
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone)
      modal_result_ = mrNone;
    else if (action == caFree)
      Release();
  } catch (const std::exception& e) {
    modal_result_ = mrNone;
    Application()->HandleException(e);
  }
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_)
    throw EInvalidOperation("Cannot make a visible window modal");
  TWeak<TCustomForm> self(this);
  TApplication* app = Application();
  TWeak<TCustomForm> previous(Screen()->ActiveForm());
  // Every other visible form is disabled while this one is up.
  std::vector<TWeak<TCustomForm>> disabled;
  for (TCustomForm* f : Screen()->FormList())
    if (f != this && f->Visible()) {
      ++f->modal_disabled_;
      disabled.emplace_back(f);
    }
  modal_ = true;
  ++app->modal_level_;
  auto restore = [&] {
    --app->modal_level_;
    for (auto& f : disabled)
      if (f) --f->modal_disabled_;
    if (self) modal_ = false;
    if (TCustomForm* p = previous.get(); p && p->Visible() && p->CanFocus()) p->Activated();
  };
  TModalResult result = mrCancel;
  try {
    Show();
    modal_result_ = mrNone;
    TDialogRecord shown;
    DescribeModal(shown);
    WidgetSet().ModalStarted(*this, shown);
    for (int turn = 0;;) {
      app->ProcessMessages();
      if (!self) break;
      if (app->Terminated()) modal_result_ = mrCancel;
      if (modal_result_ != mrNone) {
        CloseModal();
        if (!self) break;
        if (modal_result_ != mrNone) break;
        continue;
      }
      WidgetSet().WaitModalInput(*this, turn++);
      if (!self) break;
    }
    if (self) {
      result = modal_result_ != mrNone ? modal_result_ : mrCancel;
      WidgetSet().ModalEnded(*this, result);
      Hide();
    }
  } catch (...) {
    if (self && Visible()) Hide();
    restore();
    throw;
  }
  restore();
  return result;
}

// ---- TScreen -------------------------------------------------------------------------

const TClassInfo& TScreen::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TScreen>("TScreen", [](auto&) {});
  return info;
}

TScreen::TScreen(TComponent* owner)
    : TComponent(owner),
      hint_font_(std::make_unique<TFont>()),
      icon_font_(std::make_unique<TFont>()),
      menu_font_(std::make_unique<TFont>()) {
  hint_font_->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

int TScreen::Width() const {
  return WidgetSet().ScreenSize().cx;
}
int TScreen::Height() const {
  return WidgetSet().ScreenSize().cy;
}

void TScreen::AddForm(TCustomForm* form) {
  forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(forms_, form);
  if (active_form_ == form) {
    active_form_ = nullptr;
    active_control_ = nullptr;
  }
  if (active_control_ && form->ContainsControl(active_control_)) active_control_ = nullptr;
}

void TScreen::BringToTop(TCustomForm* form) {
  auto it = std::find(forms_.begin(), forms_.end(), form);
  if (it == forms_.end() || it == forms_.begin()) return;
  forms_.erase(it);
  forms_.insert(forms_.begin(), form);
}

// ---- TApplication ------------------------------------------------------------------

const TClassInfo& TApplication::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TApplication>("TApplication", [](auto&) {});
  return info;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}
TApplication::~TApplication() = default;

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == main_form_) main_form_ = nullptr;
}

bool TApplication::HandleMessage() {
  if (queue_.empty()) return false;
  // Plain variables, not a structured binding: the lambda below captures
  // the message, which some compilers do not allow of a binding.
  HWND window = queue_.front().first;
  TMessage msg = queue_.front().second;
  queue_.pop_front();
  // A window freed after the post is simply gone: its messages are dropped.
  if (TWinControl* target = FindControl(window)) Guard([&] { target->Deliver(msg); });
  return true;
}

void TApplication::ProcessMessages() {
  while (HandleMessage()) {
  }
}

void TApplication::Run() {
  ProcessMessages();
}

void TApplication::HandleException(const std::exception& e) {
  if (OnException.Assigned()) {
    OnException(this, e);
    return;
  }
  ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = ExceptionText(e);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  try {
    MessageDlg(text, mtError, {mbOK});
  } catch (...) {
    // Nothing more can be shown; the exception has been reported as far as
    // possible.
  }
}

bool PostMessage(HWND window, unsigned msg, WPARAM wparam, LPARAM lparam) {
  if (!FindControl(window)) return false;
  Application()->queue_.emplace_back(window, TMessage{msg, wparam, lparam, 0});
  WidgetSet().MessagePosted();
  return true;
}

bool PostMessage(TWinControl* control, unsigned msg, WPARAM wparam, LPARAM lparam) {
  return control && PostMessage(control->Handle(), msg, wparam, lparam);
}

LRESULT SendMessage(HWND window, unsigned msg, WPARAM wparam, LPARAM lparam) {
  TWinControl* target = FindControl(window);
  return target ? target->Perform(msg, wparam, lparam) : 0;
}

void FreeAllForms() {
  TApplication* app = Application();
  while (Screen()->FormCount() > 0)
    Screen()->Forms(Screen()->FormCount() - 1)->Free();
  app->DestroyComponents();
  app->queue_.clear();
  app->terminated_ = false;
  app->main_form_ = nullptr;
}

}  // namespace vx
