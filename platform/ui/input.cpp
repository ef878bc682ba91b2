#include "platform/ui/input.h"

#include "platform/rtl/text.h"

namespace vx {

namespace {

TWinControl* FocusTarget() {
  if (TWinControl* c = Screen()->ActiveControl()) return c;
  return Screen()->ActiveForm();
}

TKeyChar KeyChar(Word key, TShiftState shift) {
  bool shifted = shift.Contains(ssShift);
  if (shift.Contains(ssAlt)) return 0;
  if (shift.Contains(ssCtrl)) return key >= 'A' && key <= 'Z' ? key - 'A' + 1 : 0;
  switch (key) {
    case VK_RETURN:
      return 13;
    case VK_ESCAPE:
      return 27;
    case VK_TAB:
      return 9;
    case VK_BACK:
      return 8;
    case VK_SPACE:
      return ' ';
    default:
      break;
  }
  if (key >= 'A' && key <= 'Z') return shifted ? key : key - 'A' + 'a';
  if (key >= '0' && key <= '9' && !shifted) return key;
  return 0;
}

}  // namespace

void KeyStroke(TWinControl* target, Word key, TShiftState shift, TKeyChar ch) {
  if (!target) target = FocusTarget();
  if (!target) return;
  Application()->Guard([&] {
    TWeak<TWinControl> t(target);
    TMessage down{WM_KEYDOWN, key, ShiftToLParam(shift), 0};
    target->Deliver(down);
    Word final_key = static_cast<Word>(down.WParam);
    bool consumed = final_key == 0;
    if (!consumed && t) {
      TCustomForm* form = GetParentForm(t.get());
      if (form && form->DialogKey(final_key, shift, t.get())) consumed = true;
    }
    if (!consumed && ch && t) {
      TMessage c{WM_CHAR, ch, ShiftToLParam(shift), 0};
      t->Deliver(c);
    }
    // The key comes up wherever the focus is now.
    TWinControl* up = t ? t.get() : nullptr;
    if (consumed || !up || !up->Focused()) up = FocusTarget();
    if (up && final_key) {
      TMessage u{WM_KEYUP, final_key, ShiftToLParam(shift), 0};
      up->Deliver(u);
    }
  });
}

void SendKey(Word key, TShiftState shift) { KeyStroke(nullptr, key, shift, KeyChar(key, shift)); }

void SendKeyTo(TWinControl* target, Word key, TShiftState shift) {
  KeyStroke(target, key, shift, KeyChar(key, shift));
}

void SendText(std::string_view utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  for (std::size_t i = 0; i < w.size(); ++i) {
    char32_t c = w[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
    TWinControl* target = FocusTarget();
    if (!target) return;
    Application()->Guard([&] {
      TMessage m{WM_CHAR, c, 0, 0};
      target->Deliver(m);
    });
  }
}

bool ClickControl(TControl* control) {
  if (!control || !control->Showing() || !control->Enabled()) return false;
  bool clicked = false;
  Application()->Guard([&] {
    TWeak<TControl> c(control);
    auto* w = dynamic_cast<TWinControl*>(control);
    if (w && w->TakesFocusOnClick()) {
      if (!w->CanFocus()) return;
      if (!w->Focused()) w->SetFocus();
      if (!c || !w->Focused()) return;
    }
    clicked = true;
    control->Click();
  });
  return clicked;
}

void FocusMovedTo(TWinControl* control) {
  if (!control) return;
  Application()->Guard([&] {
    if (TCustomForm* form = GetParentForm(control)) form->SetFocusedControl(control);
  });
}

void TextEdited(TCustomEdit* edit, std::string_view text) {
  if (!edit) return;
  Application()->Guard([&] {
    edit->SetText(text);
    edit->SetModified(true);
  });
}

}  // namespace vx
