#pragma once
// User input: what a widget set reports as raw facts, and how tests and the
// command-line shell act exactly as a user would. Every path runs the
// model's rules (key preview, default keys, focus order); an exception from
// a handler goes to Application()->HandleException as in the message loop.
#include <string_view>

#include "platform/ui/stdctrls.h"

namespace vx {

// One keystroke on target (nullptr: the focused control, else the active
// form): key down (form preview, then the control), default keys (Tab,
// Enter, Esc) when nobody consumed it, the character ch when not 0, key up.
void KeyStroke(TWinControl* target, Word key, TShiftState shift, TKeyChar ch);
// A key as typed on the keyboard; its character follows from key and shift
// (Enter 13, Esc 27, Tab 9, Backspace 8, letters, digits, space, Ctrl+letter).
void SendKey(Word key, TShiftState shift = {});
void SendKeyTo(TWinControl* target, Word key, TShiftState shift = {});
// Characters typed (for instance through an input method) into the focused
// control.
void SendText(std::string_view utf8);
// A mouse click: a control that takes the focus on a click gets it first;
// when that fails (a handler kept the focus elsewhere) the click is lost, as
// on the platform. False when nothing was clicked (invisible, disabled, or
// focus refused).
bool ClickControl(TControl* control);
// Raw fact: the backend moved the focus to control.
void FocusMovedTo(TWinControl* control);
// Raw fact: the user edited an edit's text in the backend.
void TextEdited(TCustomEdit* edit, std::string_view text);

}  // namespace vx
