#pragma once
// The standard controls: edit, memo, button, label, check box, radio button,
// group box, combo box and list box. They take keys and clicks through the
// model's paths (see input.h) like every other control.
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/forms.h"

namespace vx {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;
// Input-method modes; the model keeps them for the widget sets.
enum class TImeMode {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel
};
using enum TImeMode;

// The code page whose bytes an edit's MaxLength counts, as the interface's
// ANSI edits do: under 936 and 950 a Chinese character counts two; other
// code pages count characters. Defaults to the system code page.
int EditCodePage();
void SetEditCodePage(int code_page);
// Length of a text as MaxLength counts it.
int EditTextLength(std::string_view text);

class TCustomEdit : public TWinControl {
  VX_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* owner);

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  // Counted as EditTextLength does; 0 is unlimited. Limits typing, not texts
  // set by code.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v);
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase c);
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool v) { auto_select_ = v; }
  // The input method forced on the edit ("" for none).
  const std::string& ImeName() const { return ime_name_; }
  void SetImeName(std::string_view name) { ime_name_ = std::string(name); }
  TImeMode ImeMode() const { return ime_mode_; }
  void SetImeMode(TImeMode m) { ime_mode_ = m; }
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  // The caret and selection, in characters.
  int SelStart() const { return sel_start_; }
  void SetSelStart(int v);
  int SelLength() const { return sel_length_; }
  void SetSelLength(int v);
  std::string SelText() const;
  // Replaces the selection as typing would (no read-only check).
  void SetSelText(std::string_view text);
  void SelectAll();
  void Clear() { SetText(""); }
  bool TakesFocusOnClick() const override { return true; }

  TNotifyEvent OnChange;

 protected:
  void TextChanged() override;
  void DoEnter() override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;
  virtual void Change() { OnChange(this); }
  void PushSelection();
  // Whether typed text may replace the selection under MaxLength.
  bool FitsMaxLength(std::string_view typed) const;

 private:
  bool read_only_ = false;
  int max_length_ = 0;
  TEditCharCase char_case_ = ecNormal;
  bool auto_select_ = true;
  std::string ime_name_;
  TImeMode ime_mode_ = imDontCare;
  bool modified_ = false;
  int sel_start_ = 0;
  int sel_length_ = 0;
};

class TEdit : public TCustomEdit {
  VX_CLASS(TEdit, TCustomEdit)
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TButton : public TWinControl {
  VX_CLASS(TButton, TWinControl)
  explicit TButton(TComponent* owner);

  // Enter clicks the default button unless another button has the focus;
  // Esc clicks the cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  // Clicking sets the form's modal result to this value first.
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult r) { modal_result_ = r; }
  void Click() override;
  bool TakesFocusOnClick() const override { return true; }

 protected:
  void DefaultKeyPress(TKeyChar& key) override;
  void CMDialogKey(TMessage& msg);

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modal_result_ = mrNone;
};

class TLabel : public TGraphicControl {
  VX_CLASS(TLabel, TGraphicControl)
  explicit TLabel(TComponent* owner);

  // The control that gets the focus for the label's accelerator; cleared
  // when that control is freed.
  TWinControl* FocusControl() const { return focus_control_; }
  void SetFocusControl(TWinControl* control);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a; }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void TextChanged() override;
  void FontChanged() override;
  void Loaded() override;

 private:
  void AdjustBounds();
  TWinControl* focus_control_ = nullptr;
  bool auto_size_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool word_wrap_ = false;
  bool transparent_ = false;
};

// ---- memo ------------------------------------------------------------------------

class TCustomMemo : public TCustomEdit {
  VX_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  // The text as lines; changing either changes the other.
  TStrings* Lines() const;
  void SetLines(TStrings* lines);
  // The caret as (column, line), from SelStart.
  TPoint CaretPos() const;
  void SetCaretPos(TPoint pos);
  bool WantReturns() const { return want_returns_; }
  void SetWantReturns(bool v) { want_returns_ = v; }
  bool WantTabs() const { return want_tabs_; }
  void SetWantTabs(bool v) { want_tabs_ = v; }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v) { word_wrap_ = v; }
  bool WantsKey(Word key, TShiftState shift) const override;

 protected:
  void TextChanged() override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;

 private:
  void LinesChanged(TObject*);
  std::unique_ptr<TStringList> lines_;
  bool syncing_ = false;
  bool want_returns_ = true;
  bool want_tabs_ = false;
  bool word_wrap_ = true;
};

class TMemo : public TCustomMemo {
  VX_CLASS(TMemo, TCustomMemo)
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// ---- check box and radio button ------------------------------------------------------

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

class TButtonControl : public TWinControl {
  VX_CLASS(TButtonControl, TWinControl)
  explicit TButtonControl(TComponent* owner);
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool v) = 0;
  // Right: box left, caption right (the default).
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a; }
  bool TakesFocusOnClick() const override { return true; }

 protected:
  void DefaultKeyPress(TKeyChar& key) override;

 private:
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TButtonControl {
  VX_CLASS(TCheckBox, TButtonControl)
  explicit TCheckBox(TComponent* owner);
  bool Checked() const override { return state_ == cbChecked; }
  void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  // A change of state runs the click event, from code as from the user.
  void SetState(TCheckBoxState s);
  bool AllowGrayed() const { return allow_grayed_; }
  void SetAllowGrayed(bool v) { allow_grayed_ = v; }
  // The user's click: unchecked -> grayed (when allowed) or checked ->
  // unchecked; grayed -> checked.
  void Click() override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allow_grayed_ = false;
  bool clicking_ = false;
};

class TRadioButton : public TButtonControl {
  VX_CLASS(TRadioButton, TButtonControl)
  explicit TRadioButton(TComponent* owner);
  bool Checked() const override { return checked_; }
  // Checking unchecks the other radio buttons of the same parent and runs
  // the click event; a checked button is the group's tab stop.
  void SetChecked(bool v) override;
  void Click() override;

 private:
  bool checked_ = false;
};

// Unchecks the other buttons of class R under self's parent, as checking a
// radio button does.
template <class R>
void UncheckRadioSiblings(R* self) {
  TWinControl* parent = self->Parent();
  if (!parent) return;
  // A copy: a click handler may add or remove controls.
  std::vector<TControl*> siblings = parent->ControlList();
  for (TControl* c : siblings)
    if (auto* rb = dynamic_cast<R*>(c); rb && rb != self) rb->SetChecked(false);
}

class TGroupBox : public TWinControl {
  VX_CLASS(TGroupBox, TWinControl)
  explicit TGroupBox(TComponent* owner);
};

// ---- item lists --------------------------------------------------------------------------

// The items of a list control: a string list that tells its control what
// changed, so that the selection follows inserts and deletes.
class TItemStrings : public TStringList {
  VX_CLASS(TItemStrings, TStringList)
  enum class Change { Inserted, Deleting, Replaced, Cleared, Exchanged };
  using Hook = std::function<void(Change, int, int)>;
  TItemStrings() = default;
  void SetHook(Hook hook) { hook_ = std::move(hook); }

  void Put(int index, std::string_view s) override;
  // Insert goes through InsertObject.
  void InsertObject(int index, std::string_view s, TObject* obj) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(std::string_view s) override;
  void Exchange(int a, int b) override;

 private:
  void Tell(Change c, int a, int b = -1) {
    if (hook_) hook_(c, a, b);
  }
  Hook hook_;
};

enum class TComboBoxStyle {
  csDropDown,
  csSimple,
  csDropDownList,
  csOwnerDrawFixed,
  csOwnerDrawVariable
};
using enum TComboBoxStyle;

class TCustomComboBox : public TWinControl {
  VX_CLASS(TCustomComboBox, TWinControl)
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  // Changing the style keeps the items, the selection and the text.
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle s);
  TStrings* Items() const;
  void SetItems(TStrings* items);
  // -1 for none; kept within -1 and the last item. The selected item stays
  // selected when items are inserted or deleted before it; deleting it or
  // clearing (rewriting) the list leaves none selected.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  // A list-only style (drop-down list, owner-draw) shows the selected item;
  // setting its text selects the item of that text or none.
  bool ListOnly() const { return style_ != csDropDown && style_ != csSimple; }
  int DropDownCount() const { return drop_down_count_; }
  void SetDropDownCount(int n) { drop_down_count_ = n; }
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int h) { item_height_ = h; }
  bool Sorted() const;
  void SetSorted(bool v);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v) { max_length_ = v < 0 ? 0 : v; }
  const std::string& ImeName() const { return ime_name_; }
  void SetImeName(std::string_view name) { ime_name_ = std::string(name); }
  bool TakesFocusOnClick() const override { return true; }
  // The user picks an item from the list: the selection changes, then the
  // change event runs.
  void UserSelect(int index);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;

 protected:
  void TextChanged() override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;

 private:
  void ItemsChanged(TItemStrings::Change c, int a, int b);
  std::unique_ptr<TItemStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  int item_index_ = -1;
  int drop_down_count_ = 8;
  int item_height_ = 13;
  int max_length_ = 0;
  std::string ime_name_;
  bool selecting_ = false;
};

class TComboBox : public TCustomComboBox {
  VX_CLASS(TComboBox, TCustomComboBox)
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

enum class TListBoxStyle {
  lbStandard,
  lbOwnerDrawFixed,
  lbOwnerDrawVariable,
  lbVirtual,
  lbVirtualOwnerDraw
};
using enum TListBoxStyle;

class TCustomListBox : public TWinControl {
  VX_CLASS(TCustomListBox, TWinControl)
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle s) { style_ = s; }
  TStrings* Items() const;
  void SetItems(TStrings* items);
  // The focused item; in a single-selection list also the selected one.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  bool MultiSelect() const { return multi_select_; }
  // Switching to single selection keeps only the focused item selected.
  void SetMultiSelect(bool v);
  bool Selected(int index) const;
  void SetSelected(int index, bool v);
  int SelCount() const;
  void ClearSelection();
  bool Sorted() const;
  void SetSorted(bool v);
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int h) { item_height_ = h; }
  const std::string& ImeName() const { return ime_name_; }
  void SetImeName(std::string_view name) { ime_name_ = std::string(name); }
  bool TakesFocusOnClick() const override { return true; }
  // The user clicks item index (with Ctrl it toggles in a multi-selection
  // list): the selection changes, then the click event runs.
  void UserClickItem(int index, TShiftState shift = {});

 protected:
  void DefaultKeyDown(Word& key, TShiftState shift) override;

 private:
  void ItemsChanged(TItemStrings::Change c, int a, int b);
  std::unique_ptr<TItemStrings> items_;
  std::vector<bool> selected_;
  TListBoxStyle style_ = lbStandard;
  int item_index_ = -1;
  bool multi_select_ = false;
  int item_height_ = 13;
  std::string ime_name_;
};

class TListBox : public TCustomListBox {
  VX_CLASS(TListBox, TCustomListBox)
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

}  // namespace vx
