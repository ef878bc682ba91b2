#include "platform/ui/stdctrls.h"

#include <algorithm>

#include "platform/os/codepage.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"
#include "platform/ui/chars.h"
#include "platform/ui/extctrls.h"

namespace vx {

namespace {

// Byte offset of character index chars in UTF-8 text (clamped to the end).
std::size_t ByteOffset(std::string_view s, int chars) {
  std::size_t i = 0;
  for (int n = 0; n < chars && i < s.size(); ++n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
      ++i;
  }
  return i;
}

int CharCount(std::string_view s) {
  return static_cast<int>(Utf8Length(s));
}

void RegisterStdTypes() {
  RegisterEnumType("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  RegisterEnumType("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
  RegisterEnumType("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
  RegisterEnumType("TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"});
  RegisterEnumType("TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList",
                                      "csOwnerDrawFixed", "csOwnerDrawVariable"});
  RegisterEnumType("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable",
                                     "lbVirtual", "lbVirtualOwnerDraw"});
  RegisterEnumType("TImeMode",
                   {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                    "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"});
}

// Publishes the inherited properties every visible control shows.
template <class R>
void PublishCommon(R& r, std::initializer_list<const char*> extra) {
  for (const char* name :
       {"Enabled", "Font", "ParentFont", "ParentShowHint", "ShowHint", "Visible", "OnClick"})
    r.Publish(name);
  for (const char* name : extra)
    r.Publish(name);
}

int& EditCodePageSlot() {
  static int code_page = GetSystemCodePage();
  return code_page;
}

}  // namespace

int EditCodePage() {
  return EditCodePageSlot();
}

void SetEditCodePage(int code_page) {
  EditCodePageSlot() = code_page;
}

int EditTextLength(std::string_view text) {
  int cp = EditCodePage();
  if ((cp == 936 || cp == 950) && CodePageSupported(cp))
    return static_cast<int>(Utf8ToCodePage(text, cp).size());
  return CharCount(text);
}

// ---- TForm (published here with the other concrete classes) -------------------------

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TForm>("TForm", [](auto& r) {
    PublishCommon(r, {"ActiveControl", "BorderIcons", "BorderStyle",  "Caption",   "ClientHeight",
                      "ClientWidth",   "Color",       "KeyPreview",   "Position",  "WindowState",
                      "OnActivate",    "OnClose",     "OnCloseQuery", "OnCreate",  "OnDblClick",
                      "OnDeactivate",  "OnDestroy",   "OnHide",       "OnKeyDown", "OnKeyPress",
                      "OnKeyUp",       "OnResize",    "OnShow"});
  });
  return info;
}

// ---- TCustomEdit ------------------------------------------------------------------------

const TClassInfo& TCustomEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomEdit>("TCustomEdit", [](auto& r) {
    RegisterStdTypes();
    r.Published(false);
    r.template Bool<&TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect>("AutoSelect");
    r.template Ord<&TCustomEdit::CharCase, &TCustomEdit::SetCharCase>("CharCase", "TEditCharCase");
    r.template Ord<&TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength>("MaxLength", "Integer");
    r.template Bool<&TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly>("ReadOnly");
    r.template Str<&TCustomEdit::ImeName, &TCustomEdit::SetImeName>("ImeName", "TImeName");
    r.template Ord<&TCustomEdit::ImeMode, &TCustomEdit::SetImeMode>("ImeMode", "TImeMode");
    r.template Event<&TCustomEdit::OnChange>("OnChange");
  });
  return info;
}

const TClassInfo& TEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TEdit>("TEdit", [](auto& r) {
    PublishCommon(r, {"AutoSelect", "CharCase", "Color", "ImeMode", "ImeName", "MaxLength",
                      "ParentColor", "ReadOnly", "TabOrder", "TabStop", "Text", "OnChange",
                      "OnDblClick", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"});
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
  std::string typed = CodePointToUtf8(key);
  if (char_case_ == ecUpperCase) typed = UpperCase(typed);
  if (char_case_ == ecLowerCase) typed = LowerCase(typed);
  if (!FitsMaxLength(typed)) return;
  SetSelText(typed);
  modified_ = true;
}

bool TCustomEdit::FitsMaxLength(std::string_view typed) const {
  if (max_length_ <= 0) return true;
  std::string after = Text();
  std::size_t from = ByteOffset(after, sel_start_);
  std::size_t to = ByteOffset(after, sel_start_ + sel_length_);
  after.replace(from, to - from, typed);
  return EditTextLength(after) <= max_length_;
}

// ---- TButton ---------------------------------------------------------------------------

const TClassInfo& TButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TButton>("TButton", [](auto& r) {
    PublishCommon(r, {"Caption", "TabOrder", "TabStop", "OnEnter", "OnExit", "OnKeyDown",
                      "OnKeyPress", "OnKeyUp"});
    r.template Bool<&TButton::Cancel, &TButton::SetCancel>("Cancel");
    r.template Bool<&TButton::Default, &TButton::SetDefault>("Default");
    r.template Ord<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult", "TModalResult");
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
  bool active = Focused() || (default_ && !(form && dynamic_cast<TButton*>(form->ActiveControl())));
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
    r.template Obj<&TLabel::FocusControl, &TLabel::SetFocusControl>("FocusControl", "TWinControl");
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

void TLabel::TextChanged() {
  AdjustBounds();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

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
    PublishCommon(r, {"Align", "Alignment", "BevelInner", "BevelOuter", "BevelWidth", "BorderWidth",
                      "Caption", "Color", "ParentColor", "TabOrder", "TabStop", "OnDblClick",
                      "OnEnter", "OnExit", "OnResize"});
  });
  return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

// ---- TCustomMemo ------------------------------------------------------------------------

const TClassInfo& TCustomMemo::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomMemo>("TCustomMemo", [](auto& r) {
    r.Published(false);
    r.template Obj<&TCustomMemo::Lines, &TCustomMemo::SetLines>("Lines", "TStrings");
    r.template Bool<&TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns>("WantReturns");
    r.template Bool<&TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs>("WantTabs");
    r.template Bool<&TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap>("WordWrap");
  });
  return info;
}

const TClassInfo& TMemo::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMemo>("TMemo", [](auto& r) {
    PublishCommon(r, {"Align",       "Color",       "ImeMode",   "ImeName",    "Lines",
                      "MaxLength",   "ParentColor", "ReadOnly",  "TabOrder",   "TabStop",
                      "WantReturns", "WantTabs",    "WordWrap",  "OnChange",   "OnDblClick",
                      "OnEnter",     "OnExit",      "OnKeyDown", "OnKeyPress", "OnKeyUp"});
  });
  return info;
}

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
  lines_->OnChange = Bind<&TCustomMemo::LinesChanged>(this);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const {
  return lines_.get();
}

void TCustomMemo::SetLines(TStrings* lines) {
  lines_->Assign(lines);
}

void TCustomMemo::LinesChanged(TObject*) {
  if (syncing_) return;
  // The memo's text has no line break after its last line.
  std::string text = lines_->Text();
  if (text.size() >= 2 && text.ends_with("\r\n")) text.resize(text.size() - 2);
  syncing_ = true;
  try {
    SetText(text);
  } catch (...) {
    syncing_ = false;
    throw;
  }
  syncing_ = false;
}

void TCustomMemo::TextChanged() {
  if (!syncing_) {
    syncing_ = true;
    try {
      lines_->SetText(Text());
    } catch (...) {
      syncing_ = false;
      throw;
    }
    syncing_ = false;
  }
  TCustomEdit::TextChanged();
}

TPoint TCustomMemo::CaretPos() const {
  std::u32string chars = CodePoints(Text());
  int line = 0, column = 0;
  for (int i = 0; i < SelStart() && i < static_cast<int>(chars.size()); ++i) {
    if (chars[i] == U'\n') {
      ++line;
      column = 0;
    } else if (chars[i] != U'\r') {
      ++column;
    }
  }
  return {column, line};
}

void TCustomMemo::SetCaretPos(TPoint pos) {
  std::u32string chars = CodePoints(Text());
  int i = 0, line = 0;
  int n = static_cast<int>(chars.size());
  while (i < n && line < pos.Y) {
    if (chars[i++] == U'\n') ++line;
  }
  for (int c = 0; c < pos.X && i < n && chars[i] != U'\r' && chars[i] != U'\n'; ++c)
    ++i;
  SetSelStart(i);
}

bool TCustomMemo::WantsKey(Word key, TShiftState shift) const {
  if (key == VK_RETURN && want_returns_ && !shift.Contains(ssCtrl)) return true;
  if (key == VK_TAB && want_tabs_ && !shift.Contains(ssCtrl)) return true;
  return TCustomEdit::WantsKey(key, shift);
}

void TCustomMemo::DefaultKeyDown(Word& key, TShiftState shift) {
  TPoint caret = CaretPos();
  if (key == VK_UP && caret.Y > 0) {
    SetCaretPos({caret.X, caret.Y - 1});
    return;
  }
  if (key == VK_DOWN && caret.Y + 1 < lines_->Count()) {
    SetCaretPos({caret.X, caret.Y + 1});
    return;
  }
  TCustomEdit::DefaultKeyDown(key, shift);
}

void TCustomMemo::DefaultKeyPress(TKeyChar& key) {
  if (key == 13 && want_returns_ && !ReadOnly()) {
    if (!FitsMaxLength("\r\n")) return;
    SetSelText("\r\n");
    SetModified(true);
    return;
  }
  if (key == 9 && want_tabs_ && !ReadOnly()) {
    if (!FitsMaxLength("\t")) return;
    SetSelText("\t");
    SetModified(true);
    return;
  }
  TCustomEdit::DefaultKeyPress(key);
}

// ---- check box, radio button, group box -----------------------------------------------

namespace {
constexpr const char* kButtonControlProps[] = {"Caption",    "Color",   "ParentColor", "TabOrder",
                                               "TabStop",    "OnEnter", "OnExit",      "OnKeyDown",
                                               "OnKeyPress", "OnKeyUp", "OnDblClick"};

template <class R>
void PublishButtonControl(R& r) {
  PublishCommon(r, {});
  for (const char* name : kButtonControlProps)
    r.Publish(name);
  r.Publish("Alignment");
}
}  // namespace

const TClassInfo& TButtonControl::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TButtonControl>("TButtonControl", [](auto& r) {
    RegisterStdTypes();
    r.Published(false);
    r.template Ord<&TButtonControl::Alignment, &TButtonControl::SetAlignment>("Alignment",
                                                                              "TAlignment");
    r.template Bool<&TButtonControl::Checked, &TButtonControl::SetChecked>("Checked");
  });
  return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  SetColor(clBtnFace);
  SetTabStop(true);
}

void TButtonControl::DefaultKeyPress(TKeyChar& key) {
  if (key == ' ') Click();
}

const TClassInfo& TCheckBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCheckBox>("TCheckBox", [](auto& r) {
    PublishButtonControl(r);
    r.Publish("Checked");
    r.template Bool<&TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed>("AllowGrayed");
    r.template Ord<&TCheckBox::State, &TCheckBox::SetState>("State", "TCheckBoxState");
  });
  return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
  if (!clicking_) TButtonControl::Click();
}

void TCheckBox::Click() {
  TCheckBoxState next = cbChecked;
  if (state_ == cbUnchecked && allow_grayed_) next = cbGrayed;
  if (state_ == cbChecked) next = cbUnchecked;
  clicking_ = true;
  state_ = next;
  clicking_ = false;
  Invalidate();
  TButtonControl::Click();
}

const TClassInfo& TRadioButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TRadioButton>("TRadioButton", [](auto& r) {
    PublishButtonControl(r);
    r.Publish("Checked");
  });
  return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
  // Only the checked button of a group is a tab stop.
  SetTabStop(false);
}

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  SetTabStop(v);
  Invalidate();
  if (!v) return;
  UncheckRadioSiblings(this);
  TButtonControl::Click();
}

void TRadioButton::Click() {
  // Checking runs the click event; a click on the checked button does
  // nothing, as on the platform.
  SetChecked(true);
}

const TClassInfo& TGroupBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TGroupBox>("TGroupBox", [](auto& r) {
    PublishCommon(r, {"Align", "Caption", "Color", "ParentColor", "TabOrder", "TabStop",
                      "OnDblClick", "OnEnter", "OnExit"});
  });
  return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 185, 105);
  SetColor(clBtnFace);
}

// ---- TItemStrings --------------------------------------------------------------------------

const TClassInfo& TItemStrings::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TItemStrings>("TItemStrings", [](auto&) {});
  return info;
}

void TItemStrings::Put(int index, std::string_view s) {
  TStringList::Put(index, s);
  Tell(Change::Replaced, index);
}

void TItemStrings::InsertObject(int index, std::string_view s, TObject* obj) {
  TStringList::InsertObject(index, s, obj);
  Tell(Change::Inserted, index);
}

void TItemStrings::Delete(int index) {
  if (index >= 0 && index < Count()) Tell(Change::Deleting, index);
  TStringList::Delete(index);
}

void TItemStrings::Clear() {
  TStringList::Clear();
  Tell(Change::Cleared, -1);
}

int TItemStrings::Add(std::string_view s) {
  int before = Count();
  int index = TStringList::Add(s);
  if (Count() != before) Tell(Change::Inserted, index);
  return index;
}

void TItemStrings::Exchange(int a, int b) {
  TStringList::Exchange(a, b);
  Tell(Change::Exchanged, a, b);
}

namespace {

// Where a selected index goes when the list changes.
int FollowIndex(int selected, TItemStrings::Change c, int a, int b) {
  using C = TItemStrings::Change;
  if (selected < 0) return selected;
  switch (c) {
    case C::Inserted:
      return a <= selected ? selected + 1 : selected;
    case C::Deleting:
      return a == selected ? -1 : (a < selected ? selected - 1 : selected);
    case C::Cleared:
      return -1;
    case C::Exchanged:
      return selected == a ? b : (selected == b ? a : selected);
    case C::Replaced:
      return selected;
  }
  return selected;
}

}  // namespace

// ---- TCustomComboBox ------------------------------------------------------------------------

const TClassInfo& TCustomComboBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomComboBox>("TCustomComboBox", [](auto& r) {
    RegisterStdTypes();
    r.Published(false);
    r.template Ord<&TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount>(
        "DropDownCount", "Integer");
    r.template Str<&TCustomComboBox::ImeName, &TCustomComboBox::SetImeName>("ImeName", "TImeName");
    r.template Ord<&TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight>("ItemHeight",
                                                                                  "Integer");
    r.template Ord<&TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex>("ItemIndex",
                                                                                "Integer");
    r.template Obj<&TCustomComboBox::Items, &TCustomComboBox::SetItems>("Items", "TStrings");
    r.template Ord<&TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength>("MaxLength",
                                                                                "Integer");
    r.template Bool<&TCustomComboBox::Sorted, &TCustomComboBox::SetSorted>("Sorted");
    r.template Ord<&TCustomComboBox::Style, &TCustomComboBox::SetStyle>("Style", "TComboBoxStyle");
    r.template Event<&TCustomComboBox::OnChange>("OnChange");
    r.template Event<&TCustomComboBox::OnDropDown>("OnDropDown");
    r.template Event<&TCustomComboBox::OnSelect>("OnSelect");
  });
  return info;
}

const TClassInfo& TComboBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TComboBox>("TComboBox", [](auto& r) {
    PublishCommon(r,
                  {"Color",     "DropDownCount", "ImeName",    "ItemHeight", "ItemIndex", "Items",
                   "MaxLength", "ParentColor",   "Sorted",     "Style",      "TabOrder",  "TabStop",
                   "Text",      "OnChange",      "OnDblClick", "OnDropDown", "OnEnter",   "OnExit",
                   "OnKeyDown", "OnKeyPress",    "OnKeyUp",    "OnSelect"});
  });
  return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TItemStrings>()) {
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
  SetTabStop(true);
  items_->SetHook([this](TItemStrings::Change c, int a, int b) { ItemsChanged(c, a, b); });
}

TCustomComboBox::~TCustomComboBox() {
  items_->SetHook(nullptr);
}

TStrings* TCustomComboBox::Items() const {
  return items_.get();
}

void TCustomComboBox::SetItems(TStrings* items) {
  items_->Assign(items);
}

bool TCustomComboBox::Sorted() const {
  return items_->Sorted();
}

void TCustomComboBox::SetSorted(bool v) {
  std::string selected = item_index_ >= 0 ? items_->Get(item_index_) : std::string();
  items_->SetSorted(v);
  if (item_index_ >= 0) item_index_ = items_->IndexOf(selected);
}

void TCustomComboBox::ItemsChanged(TItemStrings::Change c, int a, int b) {
  int next = FollowIndex(item_index_, c, a, b);
  if (c == TItemStrings::Change::Replaced && a == item_index_) {
    // The selected entry was rewritten: the box shows its new text.
    selecting_ = true;
    SetText(items_->Get(a));
    selecting_ = false;
  }
  if (next != item_index_) {
    item_index_ = next;
    // A list-only box shows nothing once its item is gone; a drop-down box
    // keeps what its edit shows.
    if (next < 0 && ListOnly()) {
      selecting_ = true;
      SetText("");
      selecting_ = false;
    }
  }
}

void TCustomComboBox::SetStyle(TComboBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  // A list-only box shows only its selected item.
  if (ListOnly()) {
    selecting_ = true;
    SetText(item_index_ >= 0 ? items_->Get(item_index_) : std::string());
    selecting_ = false;
  }
  Invalidate();
}

void TCustomComboBox::SetItemIndex(int index) {
  index = std::clamp(index, -1, items_->Count() - 1);
  if (index == item_index_) return;
  item_index_ = index;
  selecting_ = true;
  SetText(index >= 0 ? items_->Get(index) : std::string());
  selecting_ = false;
}

void TCustomComboBox::TextChanged() {
  if (selecting_) return;
  // Text set by code: a list-only box selects the item of that text (or
  // none, showing nothing); a drop-down box selects the item when one
  // matches exactly.
  int index = items_->IndexOf(Text());
  if (index >= 0 && items_->Get(index) != Text() && !ListOnly()) index = -1;
  item_index_ = index;
  if (ListOnly() && index < 0 && !Text().empty()) {
    selecting_ = true;
    SetText("");
    selecting_ = false;
  }
}

void TCustomComboBox::UserSelect(int index) {
  if (index < -1 || index >= items_->Count()) return;
  if (index == item_index_ && (index < 0 || Text() == items_->Get(index))) return;
  item_index_ = -2;  // forces the text to follow
  SetItemIndex(index);
  OnSelect(this);
  OnChange(this);
}

void TCustomComboBox::DefaultKeyDown(Word& key, TShiftState) {
  int count = items_->Count();
  if (count == 0) return;
  switch (key) {
    case VK_DOWN:
      UserSelect(std::min(item_index_ + 1, count - 1));
      break;
    case VK_UP:
      UserSelect(std::max(item_index_ - 1, 0));
      break;
    case VK_HOME:
      if (ListOnly()) UserSelect(0);
      break;
    case VK_END:
      if (ListOnly()) UserSelect(count - 1);
      break;
    default:
      break;
  }
}

void TCustomComboBox::DefaultKeyPress(TKeyChar& key) {
  if (key < 32) return;
  std::string typed = CodePointToUtf8(key);
  if (ListOnly()) {
    // Typing in a list selects the next item starting with the character.
    int count = items_->Count();
    for (int step = 1; step <= count; ++step) {
      int i = (std::max(item_index_, -1) + step) % count;
      if (SameText(items_->Get(i).substr(0, typed.size()), typed)) {
        UserSelect(i);
        return;
      }
    }
    return;
  }
  std::string text = Text() + typed;
  if (max_length_ > 0 && EditTextLength(text) > max_length_) return;
  SetText(text);
  OnChange(this);
}

// ---- TCustomListBox ---------------------------------------------------------------------------

const TClassInfo& TCustomListBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomListBox>("TCustomListBox", [](auto& r) {
    RegisterStdTypes();
    r.Published(false);
    r.template Str<&TCustomListBox::ImeName, &TCustomListBox::SetImeName>("ImeName", "TImeName");
    r.template Ord<&TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight>("ItemHeight",
                                                                                "Integer");
    r.template Ord<&TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex>("ItemIndex",
                                                                              "Integer");
    r.template Obj<&TCustomListBox::Items, &TCustomListBox::SetItems>("Items", "TStrings");
    r.template Bool<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect");
    r.template Bool<&TCustomListBox::Sorted, &TCustomListBox::SetSorted>("Sorted");
    r.template Ord<&TCustomListBox::Style, &TCustomListBox::SetStyle>("Style", "TListBoxStyle");
  });
  return info;
}

const TClassInfo& TListBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TListBox>("TListBox", [](auto& r) {
    PublishCommon(r, {"Align", "Color", "ImeName", "ItemHeight", "ItemIndex", "Items",
                      "MultiSelect", "ParentColor", "Sorted", "Style", "TabOrder", "TabStop",
                      "OnDblClick", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"});
  });
  return info;
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TItemStrings>()) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
  items_->SetHook([this](TItemStrings::Change c, int a, int b) { ItemsChanged(c, a, b); });
}

TCustomListBox::~TCustomListBox() {
  items_->SetHook(nullptr);
}

TStrings* TCustomListBox::Items() const {
  return items_.get();
}

void TCustomListBox::SetItems(TStrings* items) {
  items_->Assign(items);
}

bool TCustomListBox::Sorted() const {
  return items_->Sorted();
}

void TCustomListBox::SetSorted(bool v) {
  std::string focused = item_index_ >= 0 ? items_->Get(item_index_) : std::string();
  std::vector<std::string> chosen;
  for (int i = 0; i < items_->Count(); ++i)
    if (selected_[i]) chosen.push_back(items_->Get(i));
  items_->SetSorted(v);
  selected_.assign(items_->Count(), false);
  for (const std::string& c : chosen)
    if (int i = items_->IndexOf(c); i >= 0) selected_[i] = true;
  if (item_index_ >= 0) item_index_ = items_->IndexOf(focused);
}

void TCustomListBox::ItemsChanged(TItemStrings::Change c, int a, int b) {
  using C = TItemStrings::Change;
  item_index_ = FollowIndex(item_index_, c, a, b);
  switch (c) {
    case C::Inserted:
      selected_.insert(selected_.begin() + a, false);
      break;
    case C::Deleting:
      selected_.erase(selected_.begin() + a);
      break;
    case C::Cleared:
      selected_.clear();
      break;
    case C::Exchanged: {
      bool t = selected_[a];
      selected_[a] = selected_[b];
      selected_[b] = t;
      break;
    }
    case C::Replaced:
      break;
  }
  Invalidate();
}

void TCustomListBox::SetItemIndex(int index) {
  index = std::clamp(index, -1, items_->Count() - 1);
  if (!multi_select_) std::fill(selected_.begin(), selected_.end(), false);
  item_index_ = index;
  if (!multi_select_ && index >= 0) selected_[index] = true;
  Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (v == multi_select_) return;
  multi_select_ = v;
  if (!v) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (item_index_ >= 0) selected_[item_index_] = true;
  }
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= items_->Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return selected_[index];
}

void TCustomListBox::SetSelected(int index, bool v) {
  if (index < 0 || index >= items_->Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  if (!multi_select_) {
    if (v)
      SetItemIndex(index);
    else if (index == item_index_)
      SetItemIndex(-1);
    return;
  }
  selected_[index] = v;
  Invalidate();
}

int TCustomListBox::SelCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
  std::fill(selected_.begin(), selected_.end(), false);
  if (!multi_select_) item_index_ = -1;
  Invalidate();
}

void TCustomListBox::UserClickItem(int index, TShiftState shift) {
  if (index < 0 || index >= items_->Count() || !Enabled()) return;
  if (multi_select_) {
    if (shift.Contains(ssCtrl)) {
      selected_[index] = !selected_[index];
    } else {
      std::fill(selected_.begin(), selected_.end(), false);
      selected_[index] = true;
    }
    item_index_ = index;
    Invalidate();
  } else {
    SetItemIndex(index);
  }
  Click();
}

void TCustomListBox::DefaultKeyDown(Word& key, TShiftState) {
  int count = items_->Count();
  if (count == 0) return;
  int next = item_index_;
  switch (key) {
    case VK_DOWN:
      next = std::min(item_index_ + 1, count - 1);
      break;
    case VK_UP:
      next = std::max(item_index_ - 1, 0);
      break;
    case VK_HOME:
      next = 0;
      break;
    case VK_END:
      next = count - 1;
      break;
    default:
      return;
  }
  if (next != item_index_) UserClickItem(next);
}

}  // namespace vx
