#pragma once
// The basic standard controls: edit, button and label. They take keys and
// clicks through the model's paths (see input.h) like every other control.
#include <string>

#include "platform/ui/forms.h"

namespace vx {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;

class TCustomEdit : public TWinControl {
  VX_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* owner);

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  // In characters; 0 is unlimited.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v);
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase c);
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool v) { auto_select_ = v; }
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

 private:
  bool read_only_ = false;
  int max_length_ = 0;
  TEditCharCase char_case_ = ecNormal;
  bool auto_select_ = true;
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

 private:
  void AdjustBounds();
  TWinControl* focus_control_ = nullptr;
  bool auto_size_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool word_wrap_ = false;
  bool transparent_ = false;
};

}  // namespace vx
