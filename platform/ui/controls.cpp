#include "platform/ui/controls.h"

#include <algorithm>
#include <unordered_map>

#include "platform/rtl/text.h"
#include "platform/ui/forms.h"

namespace vx {

namespace {

// Never destroyed: controls freed at the end of the process still unregister.
std::unordered_map<HWND, TWinControl*>& Handles() {
  static auto* handles = new std::unordered_map<HWND, TWinControl*>();
  return *handles;
}

// Handles for controls whose widget set gives none; far from the widget
// sets' own ranges.
HWND NewModelHandle() {
  static HWND next = HWND{0x7F000000};
  return next++;
}

void RegisterControlTypes() {
  RegisterGraphicsTypes();
  RegisterEnumType("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
}

}  // namespace

TWinControl* FindControl(HWND handle) {
  if (!handle) return nullptr;
  auto& h = Handles();
  auto it = h.find(handle);
  return it == h.end() ? nullptr : it->second;
}

TCustomForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  const TControl* c = control;
  while (c->Parent())
    c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ---- TControl -----------------------------------------------------------------------

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TControl>("TControl", [](auto& r) {
    RegisterControlTypes();
    r.template Ord<&TControl::Left, &TControl::SetLeft>("Left", "Integer");
    r.template Ord<&TControl::Top, &TControl::SetTop>("Top", "Integer");
    r.template Ord<&TControl::Width, &TControl::SetWidth>("Width", "Integer");
    r.template Ord<&TControl::Height, &TControl::SetHeight>("Height", "Integer");
    r.template Ord<&TControl::Cursor, &TControl::SetCursor>("Cursor", "TCursor");
    r.template Str<&TControl::Hint, &TControl::SetHint>("Hint");
    // Declared here, published by the descendants that show them.
    r.Published(false);
    r.template Ord<&TControl::Align, &TControl::SetAlign>("Align", "TAlign");
    r.template Str<&TControl::Caption, &TControl::SetCaption>("Caption", "TCaption");
    r.template Str<&TControl::Text, &TControl::SetText>("Text", "TCaption");
    r.template Ord<&TControl::Color, &TControl::SetColor>("Color", "TColor");
    r.template Obj<&TControl::Font, &TControl::SetFont>("Font", "TFont");
    r.template Bool<&TControl::Enabled, &TControl::SetEnabled>("Enabled");
    r.template Bool<&TControl::Visible, &TControl::SetVisible>("Visible");
    r.template Bool<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor");
    r.template Bool<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont");
    r.template Bool<&TControl::ParentShowHint, &TControl::SetParentShowHint>("ParentShowHint");
    r.template Bool<&TControl::ShowHint, &TControl::SetShowHint>("ShowHint");
    r.template Ord<&TControl::ClientWidth, &TControl::SetClientWidth>("ClientWidth", "Integer");
    r.template Ord<&TControl::ClientHeight, &TControl::SetClientHeight>("ClientHeight", "Integer");
    r.template Event<&TControl::OnClick>("OnClick");
    r.template Event<&TControl::OnDblClick>("OnDblClick");
  });
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  color_ = clWindow;
  parent_color_ = true;
  font_->OnChange = Bind<&TControl::FontOnChange>(this);
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  Destroying();
  if (parent_) parent_->RemoveControl(this);
  TComponent::BeforeDestruction();
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (auto* self = dynamic_cast<TWinControl*>(this); self && self->ContainsControl(parent))
    throw EInvalidOperation("A control cannot have one of its children as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  bool moved = left != left_ || top != top_;
  bool sized = width != width_ || height != height_;
  if (!moved && !sized) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (peer_) peer_->SetBounds(BoundsRect());
  RequestAlign();
  BoundsChanged(moved, sized);
}

void TControl::BoundsChanged(bool, bool) {}

void TControl::SetClientWidth(int v) {
  SetWidth(v + (Width() - ClientWidth()));
}
void TControl::SetClientHeight(int v) {
  SetHeight(v + (Height() - ClientHeight()));
}

void TControl::RequestAlign() {
  if (align_ != alNone && parent_) parent_->AlignControls();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  RequestAlign();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
}

void TControl::Show() {
  // Showing a control also shows the parents it needs.
  for (TControl* c = this; c; c = c->parent_)
    c->SetVisible(true);
}

void TControl::VisibleChanged() {
  if (peer_) peer_->SetVisible(visible_);
  if (parent_) parent_->AlignControls();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TControl::EnabledChanged() {
  if (peer_) peer_->SetEnabled(enabled_);
}

void TControl::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = std::string(text);
  if (peer_) peer_->SetText(text_);
  TextChanged();
}

void TControl::SetHint(std::string_view hint) {
  hint_ = std::string(hint);
  if (peer_) peer_->SetHint(hint_);
}

void TControl::SetShowHint(bool v) {
  parent_show_hint_ = false;
  if (v == show_hint_) return;
  show_hint_ = v;
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->ParentShowHintChanged();
}

void TControl::SetParentShowHint(bool v) {
  parent_show_hint_ = v;
  if (v) ParentShowHintChanged();
}

void TControl::ParentShowHintChanged() {
  if (parent_show_hint_ && parent_) show_hint_ = parent_->show_hint_;
}

void TControl::SetColor(TColor color) {
  parent_color_ = false;
  if (color == color_) return;
  color_ = color;
  if (peer_) peer_->SetColor(color_);
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->controls_)
      c->ParentColorChanged();
}

void TControl::SetParentColor(bool v) {
  parent_color_ = v;
  if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parent_color_ || !parent_ || parent_->color_ == color_) return;
  color_ = parent_->color_;
  if (peer_) peer_->SetColor(color_);
}

void TControl::SetParentFont(bool v) {
  parent_font_ = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parent_font_ || !parent_) return;
  updating_font_ = true;
  font_->Assign(parent_->font_.get());
  updating_font_ = false;
}

void TControl::FontOnChange(TObject*) {
  if (!updating_font_) parent_font_ = false;
  FontChanged();
}

void TControl::FontChanged() {
  if (peer_) peer_->SetFont(*font_);
}

void TControl::Click() {
  OnClick(this);
}
void TControl::DblClick() {
  OnDblClick(this);
}

LRESULT TControl::Perform(unsigned msg, WPARAM wparam, LPARAM lparam) {
  TMessage m{msg, wparam, lparam, 0};
  Deliver(m);
  return m.Result;
}

void TControl::Deliver(TMessage& msg) {
  if (WindowProc.Assigned())
    WindowProc(msg);
  else
    WndProc(msg);
}

void TControl::WndProc(TMessage& msg) {
  Dispatch(msg);
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  std::erase(list, this);
  list.push_back(this);
  if (peer_) peer_->SetZOrder(true);
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  std::erase(list, this);
  list.insert(list.begin(), this);
  if (peer_) peer_->SetZOrder(false);
}

void TControl::Invalidate() {
  if (peer_) peer_->Invalidate();
}

TCanvas* TControl::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return canvas_.get();
}

void TControl::Repaint() {
  TCanvas* c = Canvas();
  c->ClearLog();
  c->Font()->Assign(font_.get());
  c->Brush = {color_, bsSolid};
  Paint();
}

void TControl::CreatePeers() {
  if (!peer_ && parent_ && parent_->peer_) peer_ = WidgetSet().CreatePeer(*this);
}

void TControl::DestroyPeers() {
  peer_.reset();
}

// ---- TWinControl ---------------------------------------------------------------------

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TWinControl>("TWinControl", [](auto& r) {
    r.Published(false);
    r.template Ord<&TWinControl::TabOrder, &TWinControl::SetTabOrder>("TabOrder", "TTabOrder");
    r.template Bool<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop");
    r.template Event<&TWinControl::OnEnter>("OnEnter");
    r.template Event<&TWinControl::OnExit>("OnExit");
    r.template Event<&TWinControl::OnKeyDown>("OnKeyDown", "TKeyEvent");
    r.template Event<&TWinControl::OnKeyPress>("OnKeyPress", "TKeyPressEvent");
    r.template Event<&TWinControl::OnKeyUp>("OnKeyUp", "TKeyEvent");
    r.template Message<&TWinControl::WMKeyDown>(WM_KEYDOWN);
    r.template Message<&TWinControl::WMKeyUp>(WM_KEYUP);
    r.template Message<&TWinControl::WMChar>(WM_CHAR);
    r.template Message<&TWinControl::CMEnter>(CM_ENTER);
    r.template Message<&TWinControl::CMExit>(CM_EXIT);
    r.template Message<&TWinControl::WMSize>(WM_SIZE);
  });
  return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  DestroyChildren();
  if (parent_) parent_->RemoveControl(this);
  DestroyPeers();
}

void TWinControl::BeforeDestruction() {
  Destroying();
  if (parent_) parent_->RemoveControl(this);
  DestroyChildren();
  DestroyPeers();
  TControl::BeforeDestruction();
}

void TWinControl::DestroyChildren() {
  // Children go with their parent, whoever owns them.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    c->Free();
  }
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return controls_[static_cast<std::size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* control) {
  control->parent_ = this;
  controls_.push_back(control);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    int pos = w->pending_tab_order_;
    w->pending_tab_order_ = -1;
    if (pos >= 0 && pos < static_cast<int>(tab_list_.size()))
      tab_list_.insert(tab_list_.begin() + pos, w);
    else
      tab_list_.push_back(w);
  }
  control->ParentFontChanged();
  control->ParentColorChanged();
  control->ParentShowHintChanged();
  if (peer_) control->CreatePeers();
  if (control->Align() != alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control->parent_ != this) return;
  // Children go last first as a parent is freed: look from the end.
  auto erase_last = [](auto& list, auto* item) {
    auto it = std::find(list.rbegin(), list.rend(), item);
    if (it != list.rend()) list.erase(std::next(it).base());
  };
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    w->RemoveFocus(true);
    erase_last(tab_list_, w);
  }
  control->DestroyPeers();
  erase_last(controls_, control);
  control->parent_ = nullptr;
  if (control->Align() != alNone && !IsDestroying()) AlignControls();
}

void TWinControl::RemoveFocus(bool removing) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && !form->IsDestroying()) form->DefocusControl(this, removing);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return pending_tab_order_ >= 0 ? pending_tab_order_ : -1;
  auto& list = Parent()->tab_list_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) {
    pending_tab_order_ = order;
    return;
  }
  auto& list = Parent()->tab_list_;
  int count = static_cast<int>(list.size());
  int current = TabOrder();
  if (current < 0) return;
  if (order < 0) order = 0;
  if (order >= count) order = count - 1;
  if (order == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + order, this);
}

bool TWinControl::CanFocus() const {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (const TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) throw EInvalidOperation(Format("Control '%s' has no parent window", Name()));
  form->FocusControl(this);
}

bool TWinControl::Focused() const {
  return Screen()->ActiveControl() == this;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

bool TWinControl::HandleAllocated() const {
  return handle_ != 0;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) {
    Parent()->HandleNeeded();
    if (handle_) return;
  }
  CreatePeers();
}

void TWinControl::CreatePeers() {
  if (!handle_) {
    if (Parent() && !Parent()->handle_) return;
    peer_ = WidgetSet().CreatePeer(*this);
    handle_ = peer_ ? peer_->Handle() : 0;
    if (!handle_) handle_ = NewModelHandle();
    Handles()[handle_] = this;
  }
  for (TControl* c : std::vector<TControl*>(controls_))
    c->CreatePeers();
}

void TWinControl::DestroyPeers() {
  for (TControl* c : controls_)
    c->DestroyPeers();
  if (handle_) Handles().erase(handle_);
  handle_ = 0;
  peer_.reset();
}

void TWinControl::BoundsChanged(bool moved, bool sized) {
  if (sized) AlignControls();
  if (moved) Perform(WM_MOVE);
  if (sized) Perform(WM_SIZE);
}

void TWinControl::WMSize(TMessage&) {
  Resize();
}

void TWinControl::VisibleChanged() {
  TControl::VisibleChanged();
  if (!Visible()) RemoveFocus(false);
}

void TWinControl::EnabledChanged() {
  TControl::EnabledChanged();
  if (!Enabled()) RemoveFocus(false);
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : controls_)
    c->ParentFontChanged();
}

void TWinControl::ParentColorChanged() {
  TColor before = Color();
  TControl::ParentColorChanged();
  if (Color() != before)
    for (TControl* c : controls_)
      c->ParentColorChanged();
}

void TWinControl::ParentShowHintChanged() {
  TControl::ParentShowHintChanged();
  for (TControl* c : controls_)
    c->ParentShowHintChanged();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* w : tab_list_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool go_forward,
                                          bool check_tab_stop, bool check_parent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int count = static_cast<int>(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? (go_forward ? count - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  do {
    i = go_forward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c->CanFocus() && (!check_tab_stop || c->TabStop()) &&
        (!check_parent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectFirst() {
  if (TWinControl* c = FindNextControl(nullptr, true, true, false)) c->SetFocus();
}

void TWinControl::SelectNext(TWinControl* current, bool go_forward, bool check_tab_stop) {
  if (TWinControl* c = FindNextControl(current, go_forward, check_tab_stop, !check_tab_stop))
    c->SetFocus();
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  TRect r = ClientRect();
  auto place = [&](TAlign which) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
      if (c->Align() != which || !c->Visible()) continue;
      switch (which) {
        case alTop:
          c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
          r.Right -= c->Width();
          break;
        case alClient:
          c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
          break;
        case alNone:
          break;
      }
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
    place(a);
  aligning_ = false;
}

bool TWinControl::WantsKey(Word, TShiftState) const {
  return false;
}

// The form's preview first, then the control itself; the key is consumed
// when a step sets it to 0 or frees the control.
template <class Key, class Step>
bool TWinControl::WithPreview(Key& key, Step step) {
  TWeak<TWinControl> self(this);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    step(*form);
    if (key == 0 || !self) return true;
  }
  step(*this);
  return key == 0 || !self;
}

bool TWinControl::DoKeyDown(Word& key, TShiftState shift) {
  return WithPreview(key, [&](TWinControl& c) { c.KeyDown(key, shift); });
}

bool TWinControl::DoKeyPress(TKeyChar& key) {
  return WithPreview(key, [&](TWinControl& c) { c.KeyPress(key); });
}

bool TWinControl::DoKeyUp(Word& key, TShiftState shift) {
  return WithPreview(key, [&](TWinControl& c) { c.KeyUp(key, shift); });
}

void TWinControl::WMKeyDown(TMessage& msg) {
  Word key = static_cast<Word>(msg.WParam);
  TShiftState shift = LParamToShift(msg.LParam);
  TWeak<TWinControl> self(this);
  if (!DoKeyDown(key, shift) && self) DefaultKeyDown(key, shift);
  msg.WParam = key;
  msg.Result = key == 0 ? 1 : 0;
}

void TWinControl::WMKeyUp(TMessage& msg) {
  Word key = static_cast<Word>(msg.WParam);
  DoKeyUp(key, LParamToShift(msg.LParam));
  msg.WParam = key;
  msg.Result = key == 0 ? 1 : 0;
}

void TWinControl::WMChar(TMessage& msg) {
  TKeyChar key = static_cast<TKeyChar>(msg.WParam);
  TWeak<TWinControl> self(this);
  if (!DoKeyPress(key) && self) DefaultKeyPress(key);
  msg.WParam = key;
  msg.Result = key == 0 ? 1 : 0;
}

void TWinControl::CMEnter(TMessage&) {
  DoEnter();
}
void TWinControl::CMExit(TMessage&) {
  DoExit();
}

// ---- TGraphicControl -----------------------------------------------------------------

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TGraphicControl>("TGraphicControl", [](auto&) {});
  return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

}  // namespace vx
