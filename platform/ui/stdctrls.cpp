#include "platform/ui/stdctrls.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/extctrls.h"

namespace vx {

namespace {

// Byte offset of character index chars in UTF-8 text (clamped to the end).
std::size_t ByteOffset(std::string_view s, int chars) {
  std::size_t i = 0;
  for (int n = 0; n < chars && i < s.size(); ++n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

int CharCount(std::string_view s) { return static_cast<int>(Utf8Length(s)); }

std::string EncodeUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

void RegisterStdTypes() {
  RegisterEnumType("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  RegisterEnumType("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
  RegisterEnumType("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
}

// Publishes the inherited properties every visible control shows.
template <class R>
void PublishCommon(R& r, std::initializer_list<const char*> extra) {
  for (const char* name : {"Enabled", "Font", "ParentFont", "ParentShowHint", "ShowHint",
                           "Visible", "OnClick"})
    r.Publish(name);
  for (const char* name : extra) r.Publish(name);
}

}  // namespace

// ---- TForm (published here with the other concrete classes) -------------------------

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TForm>("TForm", [](auto& r) {
    PublishCommon(r, {"ActiveControl", "BorderIcons", "BorderStyle", "Caption", "ClientHeight",
                      "ClientWidth", "Color", "KeyPreview", "Position", "WindowState",
                      "OnActivate", "OnClose", "OnCloseQuery", "OnCreate", "OnDblClick",
                      "OnDeactivate", "OnDestroy", "OnHide", "OnKeyDown", "OnKeyPress",
                      "OnKeyUp", "OnResize", "OnShow"});
  });
  return info;
}

// ---- TCustomEdit ------------------------------------------------------------------------

const TClassInfo& TCustomEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomEdit>("TCustomEdit", [](auto& r) {
    RegisterStdTypes();
    r.Published(false);
    r.template Bool<&TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect>("AutoSelect");
    r.template Ord<&TCustomEdit::CharCase, &TCustomEdit::SetCharCase>("CharCase",
                                                                       "TEditCharCase");
    r.template Ord<&TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength>("MaxLength", "Integer");
    r.template Bool<&TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly>("ReadOnly");
    r.template Event<&TCustomEdit::OnChange>("OnChange");
  });
  return info;
}

const TClassInfo& TEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TEdit>("TEdit", [](auto& r) {
    PublishCommon(r, {"AutoSelect", "CharCase", "Color", "MaxLength", "ParentColor", "ReadOnly",
                      "TabOrder", "TabStop", "Text", "OnChange", "OnDblClick", "OnEnter",
                      "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"});
  });
  return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

void TCustomEdit::SetReadOnly(bool v) {
  read_only_ = v;
  if (auto* p = dynamic_cast<IEditPeer*>(Peer())) p->SetReadOnly(v);
}

void TCustomEdit::SetMaxLength(int v) {
  max_length_ = std::max(0, v);
  if (auto* p = dynamic_cast<IEditPeer*>(Peer())) p->SetMaxLength(max_length_);
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
  char_case_ = c;
  if (c == ecUpperCase) SetText(UpperCase(Text()));
  if (c == ecLowerCase) SetText(LowerCase(Text()));
}

void TCustomEdit::PushSelection() {
  if (auto* p = dynamic_cast<IEditPeer*>(Peer())) p->SetSelection(sel_start_, sel_length_);
}

void TCustomEdit::SetSelStart(int v) {
  sel_start_ = std::clamp(v, 0, CharCount(Text()));
  sel_length_ = 0;
  PushSelection();
}

void TCustomEdit::SetSelLength(int v) {
  sel_length_ = std::clamp(v, 0, CharCount(Text()) - sel_start_);
  PushSelection();
}

std::string TCustomEdit::SelText() const {
  std::size_t from = ByteOffset(Text(), sel_start_);
  std::size_t to = ByteOffset(Text(), sel_start_ + sel_length_);
  return Text().substr(from, to - from);
}

void TCustomEdit::SetSelText(std::string_view text) {
  std::string t = Text();
  std::size_t from = ByteOffset(t, sel_start_);
  std::size_t to = ByteOffset(t, sel_start_ + sel_length_);
  t.replace(from, to - from, text);
  int caret = sel_start_ + CharCount(text);
  SetText(t);
  sel_start_ = std::min(caret, CharCount(Text()));
  sel_length_ = 0;
  PushSelection();
}

void TCustomEdit::SelectAll() {
  sel_start_ = 0;
  sel_length_ = CharCount(Text());
  PushSelection();
}

void TCustomEdit::TextChanged() {
  int count = CharCount(Text());
  sel_start_ = std::min(sel_start_, count);
  sel_length_ = std::min(sel_length_, count - sel_start_);
  Change();
}

void TCustomEdit::DoEnter() {
  if (auto_select_) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::DefaultKeyDown(Word& key, TShiftState) {
  int count = CharCount(Text());
  switch (key) {
    case VK_LEFT:
      SetSelStart(sel_length_ ? sel_start_ : sel_start_ - 1);
      break;
    case VK_RIGHT:
      SetSelStart(sel_length_ ? sel_start_ + sel_length_ : sel_start_ + 1);
      break;
    case VK_HOME:
      SetSelStart(0);
      break;
    case VK_END:
      SetSelStart(count);
      break;
    case VK_DELETE:
      if (read_only_) break;
      if (sel_length_ == 0 && sel_start_ < count) sel_length_ = 1;
      if (sel_length_) {
        SetSelText("");
        modified_ = true;
      }
      break;
    default:
      break;
  }
}

void TCustomEdit::DefaultKeyPress(TKeyChar& key) {
  if (read_only_) return;
  if (key == 8) {
    if (sel_length_ == 0 && sel_start_ > 0) {
      --sel_start_;
      sel_length_ = 1;
    }
    if (sel_length_) {
      SetSelText("");
      modified_ = true;
    }
    return;
  }
  if (key < 32) return;
  std::string typed = EncodeUtf8(key);
  if (char_case_ == ecUpperCase) typed = UpperCase(typed);
  if (char_case_ == ecLowerCase) typed = LowerCase(typed);
  if (max_length_ > 0 && CharCount(Text()) - sel_length_ + 1 > max_length_) return;
  SetSelText(typed);
  modified_ = true;
}

// ---- TButton ---------------------------------------------------------------------------

const TClassInfo& TButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TButton>("TButton", [](auto& r) {
    PublishCommon(r, {"Caption", "TabOrder", "TabStop", "OnEnter", "OnExit", "OnKeyDown",
                      "OnKeyPress", "OnKeyUp"});
    r.template Bool<&TButton::Cancel, &TButton::SetCancel>("Cancel");
    r.template Bool<&TButton::Default, &TButton::SetDefault>("Default");
    r.template Ord<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult",
                                                                     "TModalResult");
    r.template Message<&TButton::CMDialogKey>(CM_DIALOGKEY);
  });
  return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
  SetTabStop(true);
}

void TButton::SetDefault(bool v) {
  default_ = v;
  if (auto* p = dynamic_cast<IButtonPeer*>(Peer())) p->SetDefault(v);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modal_result_);
  TWinControl::Click();
}

void TButton::DefaultKeyPress(TKeyChar& key) {
  if (key == ' ') Click();
}

void TButton::CMDialogKey(TMessage& msg) {
  Word key = static_cast<Word>(msg.WParam);
  TCustomForm* form = GetParentForm(this);
  bool active = Focused() ||
                (default_ && !(form && dynamic_cast<TButton*>(form->ActiveControl())));
  if (((key == VK_RETURN && active) || (key == VK_ESCAPE && cancel_)) && CanFocus()) {
    msg.Result = 1;
    Click();
  }
}

// ---- TLabel ----------------------------------------------------------------------------

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TLabel>("TLabel", [](auto& r) {
    RegisterStdTypes();
    PublishCommon(r, {"Align", "Caption", "Color", "ParentColor", "OnDblClick"});
    r.template Ord<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", "TAlignment");
    r.template Bool<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize");
    r.template Obj<&TLabel::FocusControl, &TLabel::SetFocusControl>("FocusControl",
                                                                     "TWinControl");
    r.template Bool<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent");
    r.template Bool<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap");
  });
  return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 13);
  AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* control) {
  if (control == focus_control_) return;
  if (focus_control_) focus_control_->RemoveFreeNotification(this);
  focus_control_ = control;
  if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focus_control_) focus_control_ = nullptr;
}

void TLabel::SetAutoSize(bool v) {
  auto_size_ = v;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool v) {
  word_wrap_ = v;
  AdjustBounds();
}

void TLabel::TextChanged() { AdjustBounds(); }

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!auto_size_ || IsLoading()) return;
  int w = TextWidth(*Font(), Caption());
  int h = TextHeight(*Font(), "W");
  if (word_wrap_ && Width() > 0) {
    int lines = std::max(1, (w + Width() - 1) / Width());
    SetBounds(Left(), Top(), Width(), h * lines);
    return;
  }
  SetBounds(Left(), Top(), w, h);
}

// ---- TCustomPanel -----------------------------------------------------------------------

const TClassInfo& TCustomPanel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomPanel>("TCustomPanel", [](auto& r) {
    RegisterStdTypes();
    r.Published(false);
    r.template Ord<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment",
                                                                           "TAlignment");
    r.template Ord<&TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner>("BevelInner",
                                                                             "TBevelCut");
    r.template Ord<&TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter>("BevelOuter",
                                                                             "TBevelCut");
    r.template Ord<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth",
                                                                             "Integer");
    r.template Ord<&TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth>("BorderWidth",
                                                                               "Integer");
    r.template Event<&TCustomPanel::OnResize>("OnResize");
  });
  return info;
}

const TClassInfo& TPanel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TPanel>("TPanel", [](auto& r) {
    PublishCommon(r, {"Align", "Alignment", "BevelInner", "BevelOuter", "BevelWidth",
                      "BorderWidth", "Caption", "Color", "ParentColor", "TabOrder", "TabStop",
                      "OnDblClick", "OnEnter", "OnExit", "OnResize"});
  });
  return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

}  // namespace vx
