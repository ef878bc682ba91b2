#include "platform/ui/headless.h"

#include "platform/rtl/text.h"
#include "platform/ui/chars.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace vx {

namespace {

HWND next_handle = 0x20000;

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// One peer class serves every control family: it keeps what the model
// pushed, which is all a headless widget needs.
class HeadlessPeer final : public IEditPeer, public IButtonPeer, public IFormPeer {
 public:
  explicit HeadlessPeer(TControl& control) {
    if (dynamic_cast<TWinControl*>(&control)) handle_ = next_handle++;
    // A new peer reads the model's whole state.
    s_.Bounds = control.BoundsRect();
    s_.Visible = control.Visible();
    s_.Enabled = control.Enabled();
    s_.Text = control.Text();
    s_.Color = control.Color();
    SetFont(*control.Font());
    s_.Hint = control.Hint();
    if (auto* e = dynamic_cast<TCustomEdit*>(&control)) {
      s_.ReadOnly = e->ReadOnly();
      s_.MaxLength = e->MaxLength();
    }
    if (auto* b = dynamic_cast<TButton*>(&control)) s_.IsDefault = b->Default();
    if (auto* f = dynamic_cast<TCustomForm*>(&control)) s_.ParentWindow = f->ParentWindowHandle();
  }
  HWND Handle() const override { return handle_; }
  void SetBounds(const TRect& bounds) override { s_.Bounds = bounds; }
  void SetVisible(bool visible) override { s_.Visible = visible; }
  void SetEnabled(bool enabled) override { s_.Enabled = enabled; }
  void SetText(const std::string& text) override { s_.Text = text; }
  void SetColor(TColor color) override { s_.Color = color; }
  void SetFont(const TFont& font) override {
    s_.FontName = font.Name();
    s_.FontSize = font.Size();
  }
  void SetHint(const std::string& hint) override { s_.Hint = hint; }
  void SetFocus() override { ++s_.FocusRequests; }
  void SetZOrder(bool) override {}
  void Invalidate() override { ++s_.Invalidations; }
  void SetReadOnly(bool v) override { s_.ReadOnly = v; }
  void SetMaxLength(int v) override { s_.MaxLength = v; }
  void SetSelection(int, int) override {}
  void SetPasswordChar(char32_t) override {}
  void SetDefault(bool v) override { s_.IsDefault = v; }
  void SetParentWindow(HWND parent) override { s_.ParentWindow = parent; }
  void SetWindowState(int) override {}
  void SetBorderIcons(unsigned) override {}
  void BringToFront() override {}

  const THeadlessPeerState& State() const { return s_; }

 private:
  HWND handle_ = 0;
  THeadlessPeerState s_;
};

}  // namespace

THeadlessWidgetSet::THeadlessWidgetSet() {
  RegisterPeerFactory(TControl::StaticClassInfo(), [](TControl& c) {
    return std::unique_ptr<IControlPeer>(new HeadlessPeer(c));
  });
}

std::unique_ptr<TWidgetSet> CreateHeadlessWidgetSet() {
  return std::make_unique<THeadlessWidgetSet>();
}

THeadlessWidgetSet* HeadlessWidgetSet() {
  return dynamic_cast<THeadlessWidgetSet*>(&WidgetSet());
}

const THeadlessPeerState* HeadlessPeerState(const TControl& control) {
  auto* p = dynamic_cast<const HeadlessPeer*>(control.Peer());
  return p ? &p->State() : nullptr;
}

TSize THeadlessWidgetSet::TextExtent(const TFont& font, std::string_view text) {
  int p = font.PixelHeight();
  int narrow = (p + 1) / 2;
  int extra = font.Style().Contains(fsBold) ? 1 : 0;
  int width = 0;
  for (char32_t c : CodePoints(text))
    width += (IsWide(c) ? p : narrow) + extra;
  return {width, p + 2};
}

bool THeadlessWidgetSet::ShellExecute(HWND, std::string_view verb, std::string_view file) {
  shell_executes_.emplace_back(std::string(verb), std::string(file));
  return true;
}

int THeadlessWidgetSet::RepaintCount(HWND window) const {
  auto it = repaints_.find(window);
  return it == repaints_.end() ? 0 : it->second;
}

void THeadlessWidgetSet::ModalStarted(TCustomForm&, const TDialogRecord& shown) {
  dialogs_.push_back(shown);
  modal_stack_.push_back({dialogs_.size() - 1});
}

void THeadlessWidgetSet::WaitModalInput(TCustomForm& form, int turn) {
  if (modal_stack_.empty()) return;
  Modal& m = modal_stack_.back();
  if (turn == 0 && responder_) {
    m.Responded = true;
    // A copy: a nested dialog opened by the responder may grow the list.
    TDialogRecord shown = dialogs_[m.Record];
    responder_(form, shown);
    return;
  }
  // Nobody answers (any more): the form's default answer. A form that keeps
  // refusing to close would hang a headless run; that is an error.
  if (turn > 3)
    throw EInvalidOperation(
        Format("Modal form %s does not close with its default answer", form.ClassName()));
  modal_stack_.back().Defaulted = true;
  form.SetModalResult(form.DefaultModalResult());
}

void THeadlessWidgetSet::ModalEnded(TCustomForm&, int modal_result) {
  if (modal_stack_.empty()) return;
  Modal m = modal_stack_.back();
  modal_stack_.pop_back();
  TDialogRecord& r = dialogs_[m.Record];
  r.ModalResult = modal_result;
  r.Answered = m.Responded && !m.Defaulted;
}

void THeadlessWidgetSet::Reset() {
  responder_ = nullptr;
  dialogs_.clear();
  repaints_.clear();
  foreground_.clear();
  shell_executes_.clear();
  popups_.clear();
}

void THeadlessWidgetSet::ShowPopupMenu(TPopupMenu& menu, int x, int y) {
  popups_.push_back({menu.Name(), {x, y}});
}

}  // namespace vx
