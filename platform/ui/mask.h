#pragma once
// Masked edits. An edit mask is "mask;save-literals;blank-character":
//   0 digit (required)        9 digit or blank          # digit, sign or blank
//   L letter (required)       l letter or blank
//   A letter or digit (req.)  a letter, digit or blank
//   C any character (req.)    c any character or blank
//   > upper case from here    < lower case from here    <> no case conversion
//   ! blanks lead the text instead of trailing it
//   \x the character x itself; _ a blank; / and : the date and time
//   separators of the format settings; any other character stands as it is.
// The second field "0" leaves the literals out of Text (any other value keeps
// them); the third is the character shown for an unfilled position ("_"
// when missing). EditText is what the edit shows; Text is what a program
// reads: the entered characters with blanks as spaces, and the literals
// when they are saved. So "9999/99/99;1; " reads "    /  /  " untouched and
// ";0" reads "".
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/stdctrls.h"

namespace vx {

VX_DECLARE_EXCEPTION(EDBEditError, Exception);

// A parsed edit mask.
struct TEditMask {
  enum class Kind { Literal, Digit, DigitSign, Letter, AlphaNum, Any };
  struct Position {
    Kind Type = Kind::Literal;
    bool Required = false;
    char32_t Literal = 0;  // Literal positions
    int Case = 0;          // 1 upper, -1 lower, 0 as typed
  };
  std::vector<Position> Positions;
  bool SaveLiterals = true;
  char32_t Blank = U'_';
  bool Reverse = false;

  bool Empty() const { return Positions.empty(); }
  // Whether c may stand at position i (a literal position takes nothing).
  bool Accepts(std::size_t i, char32_t c) const;
  // c in the case position i asks for.
  char32_t Cased(std::size_t i, char32_t c) const;

  // The entered characters of an edit text: literals removed, blanks at the
  // end (at the start with "!") dropped, other blanks as spaces.
  std::u32string RemoveFormat(const std::u32string& edit_text) const;
  // Characters laid into the mask positions, literals inserted; positions
  // without a character get the blank (active) or a space.
  std::u32string AddFormat(const std::u32string& chars, bool active) const;
  // A text that carries its literals, fitted field by field between the
  // literals of the mask.
  std::u32string PadLiterals(const std::u32string& text) const;
};

TEditMask ParseEditMask(std::string_view mask);
// The text a control with this mask shows when empty, and what a program
// then reads from it.
std::string FormatMaskText(std::string_view mask, std::string_view text);

class TCustomMaskEdit : public TCustomEdit {
  VX_CLASS(TCustomMaskEdit, TCustomEdit)
  explicit TCustomMaskEdit(TComponent* owner);

  const std::string& EditMask() const { return edit_mask_; }
  // Keeps the entered characters and lays them into the new mask.
  void SetEditMask(std::string_view mask);
  bool IsMasked() const { return !mask_.Empty(); }
  // What the edit shows (the window text).
  const std::string& EditText() const { return TControl::Text(); }
  void SetEditText(std::string_view text);
  // What a program reads and writes (see the header comment). Through a
  // TControl the text is the edit text, as the window's text is.
  std::string Text() const;
  void SetText(std::string_view text);
  // Raises EDBEditError when a required position is unfilled; the caret
  // goes to that position. Leaving a modified edit validates it: the focus
  // stays and the error is shown. Esc takes back the changes made since the
  // edit was entered.
  void ValidateEdit();

 protected:
  void DoEnter() override;
  void DoExit() override;
  void TextChanged() override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void DefaultKeyPress(TKeyChar& key) override;

 private:
  // Stores a display text for the current mask (case applied, blanks shown
  // as the blank character, padded or cut to the mask's length).
  void StoreEditText(std::u32string text);
  // Blanks the positions [from, to) that are not literals.
  void BlankRange(std::u32string& text, int from, int to) const;
  int NextInput(int pos) const;
  std::string edit_mask_;
  TEditMask mask_;
  bool formatting_ = false;
  std::string text_on_enter_;
  bool refocusing_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
  VX_CLASS(TMaskEdit, TCustomMaskEdit)
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};

}  // namespace vx
