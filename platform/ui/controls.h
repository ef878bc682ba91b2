#pragma once
// Controls: TControl (bounds, visibility, enabled state, text, font and
// colour with parent inheritance, alignment, clicks, messages), TWinControl
// (children in z-order, tab order, focus, key events, handle) and
// TGraphicControl (a control without a window of its own).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/classes.h"
#include "platform/ui/graphics.h"
#include "platform/ui/messages.h"
#include "platform/ui/widgetset.h"

namespace vx {

VX_DECLARE_EXCEPTION(EInvalidOperation, Exception);

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;

class TWinControl;
class TCustomForm;

class TControl : public TComponent {
  VX_CLASS(TControl, TComponent)
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }
  void SetClientWidth(int v);
  void SetClientHeight(int v);
  TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show();
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to the form visible too.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  // Caption and Text are one value, as in a window's text.
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);
  const std::string& Caption() const { return text_; }
  void SetCaption(std::string_view text) { SetText(text); }
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view hint);
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parent_show_hint_; }
  void SetParentShowHint(bool v);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* font) { font_->Assign(font); }
  // A control with ParentFont takes its parent's font and follows its
  // changes; changing its own font clears ParentFont.
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c) { cursor_ = c; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  // The user's mouse click (see input.h) ends here; Click raises OnClick.
  virtual void Click();
  virtual void DblClick();
  // Whether a mouse click moves the focus to the control (buttons and edits
  // do; panels and labels do not).
  virtual bool TakesFocusOnClick() const { return false; }

  // Synchronous message: through WindowProc when assigned, else WndProc.
  LRESULT Perform(unsigned msg, WPARAM wparam = 0, LPARAM lparam = 0);
  // The same with the whole message, so that a handler's changes to its
  // parameters (a key replaced) reach the sender.
  void Deliver(TMessage& msg);
  virtual void WndProc(TMessage& msg);
  TWndMethod WindowProc;

  void BringToFront();
  void SendToBack();
  void Invalidate();
  IControlPeer* Peer() const { return peer_.get(); }
  // The control's drawing surface (made on first use) and its painting:
  // Repaint starts a fresh record on the canvas and runs Paint, so that
  // what a control draws can be inspected headless.
  TCanvas* Canvas();
  void Repaint();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

 protected:
  friend class TWinControl;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void TextChanged() {}
  virtual void VisibleChanged();
  virtual void EnabledChanged();
  virtual void FontChanged();
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  virtual void ParentShowHintChanged();
  // Peers: created when the parent has one (windowed controls also on
  // demand); DestroyPeers removes this control's and its children's.
  virtual void CreatePeers();
  virtual void DestroyPeers();
  // Draws the control on Canvas(); controls that paint themselves override.
  virtual void Paint() {}
  void RequestAlign();
  // After the bounds changed: windowed controls realign their children and
  // receive WM_MOVE / WM_SIZE.
  virtual void BoundsChanged(bool moved, bool sized);
  // Stores the visibility without the effects of SetVisible (forms start
  // hidden).
  void StoreVisible(bool v) { visible_ = v; }
  std::unique_ptr<IControlPeer> peer_;

 private:
  void FontOnChange(TObject*);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  std::string hint_;
  bool show_hint_ = false;
  bool parent_show_hint_ = true;
  TColor color_ = clBtnFace;
  bool parent_color_ = false;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TCanvas> canvas_;
  bool parent_font_ = true;
  bool updating_font_ = false;
  TCursor cursor_ = crDefault;
  TAlign align_ = alNone;
};

class TWinControl : public TControl {
  VX_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  const std::vector<TControl*>& ControlList() const { return controls_; }
  // This control or one of its descendants.
  bool ContainsControl(const TControl* control) const;

  // Dense per parent: 0..n-1 among the windowed siblings; -1 without parent.
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool v) { tab_stop_ = v; }
  virtual bool CanFocus() const;
  // Raises EInvalidOperation ("Cannot focus a disabled or invisible window")
  // when the control cannot take the focus.
  virtual void SetFocus();
  bool Focused() const;

  // The handle: created with the control's peer on first request, parents
  // first; 0 only while no widget set peer exists.
  HWND Handle();
  bool HandleAllocated() const;
  void HandleNeeded();

  // Windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* current, bool go_forward, bool check_tab_stop,
                               bool check_parent) const;
  void SelectFirst();
  void SelectNext(TWinControl* current, bool go_forward, bool check_tab_stop);
  // Lays the aligned children out in the client area.
  void AlignControls();

  // Keys the control handles itself, so that the form does not treat them
  // as dialog keys (a memo keeps Enter, a grid Tab).
  virtual bool WantsKey(Word key, TShiftState shift) const;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

 protected:
  friend class TControl;
  friend class TCustomForm;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void BoundsChanged(bool moved, bool sized) override;
  void CreatePeers() override;
  void DestroyPeers() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ParentColorChanged() override;
  void ParentShowHintChanged() override;

  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }
  // Key handling: the form's preview first, then the control's event; true
  // when the key was consumed (set to 0).
  bool DoKeyDown(Word& key, TShiftState shift);
  bool DoKeyPress(TKeyChar& key);
  bool DoKeyUp(Word& key, TShiftState shift);
  virtual void KeyDown(Word& key, TShiftState shift) { OnKeyDown(this, key, shift); }
  virtual void KeyPress(TKeyChar& key) { OnKeyPress(this, key); }
  virtual void KeyUp(Word& key, TShiftState shift) { OnKeyUp(this, key, shift); }
  // What the control itself does with a key nobody consumed (an edit moves
  // its caret, inserts a character).
  virtual void DefaultKeyDown(Word&, TShiftState) {}
  virtual void DefaultKeyPress(TKeyChar&) {}

  void WMKeyDown(TMessage& msg);
  void WMKeyUp(TMessage& msg);
  void WMChar(TMessage& msg);
  void CMEnter(TMessage& msg);
  void CMExit(TMessage& msg);
  void WMSize(TMessage& msg);
  // OnResize of forms and panels.
  virtual void Resize() {}

 private:
  void RemoveFocus(bool removing);
  void DestroyChildren();
  template <class Key, class Step>
  bool WithPreview(Key& key, Step step);

  std::vector<TControl*> controls_;     // z-order, bottom first
  std::vector<TWinControl*> tab_list_;  // tab order
  bool tab_stop_ = false;
  int pending_tab_order_ = -1;
  bool aligning_ = false;
  HWND handle_ = 0;
};

class TGraphicControl : public TControl {
  VX_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* owner);
};

// The form a control stands on; nullptr when none.
TCustomForm* GetParentForm(const TControl* control);
// The control whose peer has this handle; nullptr when none (or freed).
TWinControl* FindControl(HWND handle);

// The shift state as key messages carry it.
inline LPARAM ShiftToLParam(TShiftState s) {
  return static_cast<LPARAM>(s.Bits());
}
inline TShiftState LParamToShift(LPARAM l) {
  return TShiftState::FromBits(static_cast<std::uint32_t>(l));
}

}  // namespace vx
