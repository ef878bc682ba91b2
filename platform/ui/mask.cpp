#include "platform/ui/mask.h"

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"
#include "platform/ui/chars.h"

namespace vx {

namespace {

std::string ToUtf8(const std::u32string& s) {
  std::string out;
  for (char32_t c : s)
    out += CodePointToUtf8(c);
  return out;
}

bool IsDigit(char32_t c) {
  return c >= U'0' && c <= U'9';
}

// Letters: ASCII ones and every character beyond ASCII that is not a
// full-width digit or punctuation (Chinese characters count as letters, as
// the platform's character classes have it).
bool IsLetter(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) return true;
  if (c < 0x80) return false;
  if (c >= 0xFF10 && c <= 0xFF19) return false;
  if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20))
    return false;
  return true;
}

char32_t ToUpper(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  return c;
}
char32_t ToLower(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  return c;
}

}  // namespace

TEditMask ParseEditMask(std::string_view text) {
  TEditMask m;
  std::u32string s = CodePoints(text);
  using K = TEditMask::Kind;
  int case_mode = 0;
  std::size_t i = 0;
  auto literal = [&](char32_t c) {
    TEditMask::Position p;
    p.Literal = c;
    m.Positions.push_back(p);
  };
  auto input = [&](K kind, bool required) {
    TEditMask::Position p;
    p.Type = kind;
    p.Required = required;
    p.Case = case_mode;
    m.Positions.push_back(p);
  };
  for (; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c == U';') break;
    switch (c) {
      case U'\\':
        if (i + 1 < s.size()) literal(s[++i]);
        break;
      case U'!':
        m.Reverse = true;
        break;
      case U'>':
        if (i + 1 < s.size() && s[i + 1] == U'<') {
          case_mode = 0;
          ++i;
        } else {
          case_mode = 1;
        }
        break;
      case U'<':
        if (i + 1 < s.size() && s[i + 1] == U'>') {
          case_mode = 0;
          ++i;
        } else {
          case_mode = -1;
        }
        break;
      case U'0':
        input(K::Digit, true);
        break;
      case U'9':
        input(K::Digit, false);
        break;
      case U'#':
        input(K::DigitSign, false);
        break;
      case U'L':
        input(K::Letter, true);
        break;
      case U'l':
        input(K::Letter, false);
        break;
      case U'A':
        input(K::AlphaNum, true);
        break;
      case U'a':
        input(K::AlphaNum, false);
        break;
      case U'C':
        input(K::Any, true);
        break;
      case U'c':
        input(K::Any, false);
        break;
      case U'_':
        literal(U' ');
        break;
      case U'/':
        literal(static_cast<char32_t>(FormatSettings().DateSeparator));
        break;
      case U':':
        literal(static_cast<char32_t>(FormatSettings().TimeSeparator));
        break;
      default:
        literal(c);
        break;
    }
  }
  // ";save-literals;blank"
  if (i < s.size()) {
    ++i;
    std::size_t end = s.find(U';', i);
    std::u32string save = s.substr(i, end == std::u32string::npos ? std::u32string::npos : end - i);
    m.SaveLiterals = save.empty() || save[0] != U'0';
    if (end != std::u32string::npos && end + 1 < s.size()) m.Blank = s[end + 1];
  }
  // A mask of literals alone takes no input: it is no mask.
  if (std::none_of(m.Positions.begin(), m.Positions.end(),
                   [](const TEditMask::Position& p) { return p.Type != K::Literal; }))
    m.Positions.clear();
  return m;
}

bool TEditMask::Accepts(std::size_t i, char32_t c) const {
  if (i >= Positions.size()) return false;
  switch (Positions[i].Type) {
    case Kind::Literal:
      return false;
    case Kind::Digit:
      return IsDigit(c);
    case Kind::DigitSign:
      return IsDigit(c) || c == U'+' || c == U'-';
    case Kind::Letter:
      return IsLetter(c);
    case Kind::AlphaNum:
      return IsLetter(c) || IsDigit(c);
    case Kind::Any:
      return c >= 32;
  }
  return false;
}

char32_t TEditMask::Cased(std::size_t i, char32_t c) const {
  if (i >= Positions.size()) return c;
  if (Positions[i].Case > 0) return ToUpper(c);
  if (Positions[i].Case < 0) return ToLower(c);
  return c;
}

std::u32string TEditMask::RemoveFormat(const std::u32string& edit_text) const {
  std::u32string out;
  for (std::size_t i = 0; i < Positions.size() && i < edit_text.size(); ++i)
    if (Positions[i].Type != Kind::Literal) out += edit_text[i];
  if (Reverse) {
    std::size_t n = 0;
    while (n < out.size() && out[n] == Blank)
      ++n;
    out.erase(0, n);
  } else {
    while (!out.empty() && out.back() == Blank)
      out.pop_back();
  }
  for (char32_t& c : out)
    if (c == Blank) c = U' ';
  return out;
}

std::u32string TEditMask::AddFormat(const std::u32string& chars, bool active) const {
  std::u32string out(Positions.size(), U' ');
  char32_t fill = active ? Blank : U' ';
  if (Reverse) {
    std::size_t k = chars.size();
    for (std::size_t i = Positions.size(); i-- > 0;) {
      if (Positions[i].Type == Kind::Literal)
        out[i] = Positions[i].Literal;
      else
        out[i] = k > 0 ? chars[--k] : fill;
    }
    return out;
  }
  std::size_t k = 0;
  for (std::size_t i = 0; i < Positions.size(); ++i) {
    if (Positions[i].Type == Kind::Literal)
      out[i] = Positions[i].Literal;
    else
      out[i] = k < chars.size() ? chars[k++] : fill;
  }
  return out;
}

std::u32string TEditMask::PadLiterals(const std::u32string& text) const {
  std::u32string out(Positions.size(), Blank);
  std::size_t src = 0;  // next character of text
  std::size_t i = 0;
  while (i < Positions.size()) {
    if (Positions[i].Type == Kind::Literal) {
      out[i] = Positions[i].Literal;
      if (src < text.size() && text[src] == Positions[i].Literal) ++src;
      ++i;
      continue;
    }
    // A field: the run of input positions up to the next literal takes the
    // text up to that literal's character (or the rest of the text).
    std::size_t end = i;
    while (end < Positions.size() && Positions[end].Type != Kind::Literal)
      ++end;
    std::size_t stop = text.size();
    if (end < Positions.size()) {
      std::size_t found = text.find(Positions[end].Literal, src);
      if (found != std::u32string::npos) stop = found;
    }
    std::u32string field = text.substr(src, stop - src);
    // A field longer than its positions gives its surplus to the next one
    // only when no literal bounded it.
    std::size_t take = std::min(field.size(), end - i);
    for (std::size_t k = 0; k < take; ++k)
      out[i + k] = field[k];
    src = (end < Positions.size() && stop < text.size()) ? stop : src + take;
    i = end;
  }
  return out;
}

std::string FormatMaskText(std::string_view mask, std::string_view text) {
  TEditMask m = ParseEditMask(mask);
  if (m.Empty()) return std::string(text);
  std::u32string value = CodePoints(text);
  std::u32string shown = m.SaveLiterals ? m.PadLiterals(value) : m.AddFormat(value, true);
  std::u32string chars = m.RemoveFormat(shown);
  return ToUtf8(m.SaveLiterals ? m.AddFormat(chars, false) : chars);
}

// ---- TCustomMaskEdit ------------------------------------------------------------------------

const TClassInfo& TCustomMaskEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomMaskEdit>("TCustomMaskEdit", [](auto& r) {
    r.Published(false);
    r.template Str<&TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask>("EditMask",
                                                                              "TEditMask");
    r.template Str<&TCustomMaskEdit::Text, &TCustomMaskEdit::SetText>("Text", "TMaskedText");
    r.template Str<&TCustomMaskEdit::EditText, &TCustomMaskEdit::SetEditText>("EditText",
                                                                              "TMaskedText");
  });
  return info;
}

const TClassInfo& TMaskEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMaskEdit>("TMaskEdit", [](auto& r) {
    for (const char* name :
         {"AutoSelect", "CharCase", "Color",      "EditMask",    "Enabled",    "Font",
          "ImeMode",    "ImeName",  "MaxLength",  "ParentColor", "ParentFont", "ParentShowHint",
          "ReadOnly",   "ShowHint", "TabOrder",   "TabStop",     "Text",       "Visible",
          "OnChange",   "OnClick",  "OnDblClick", "OnEnter",     "OnExit",     "OnKeyDown",
          "OnKeyPress", "OnKeyUp"})
      r.Publish(name);
  });
  return info;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(std::string_view mask) {
  if (mask == edit_mask_) return;
  // The entered characters under the old mask, laid into the new one.
  std::u32string shown = CodePoints(EditText());
  std::u32string chars = mask_.Empty() ? shown : mask_.RemoveFormat(shown);
  if (mask_.Empty()) {
    while (!chars.empty() && chars.back() == U' ')
      chars.pop_back();
  }
  edit_mask_ = std::string(mask);
  mask_ = ParseEditMask(mask);
  if (mask_.Empty()) {
    StoreEditText(chars);
    return;
  }
  StoreEditText(mask_.AddFormat(chars, true));
}

void TCustomMaskEdit::StoreEditText(std::u32string text) {
  if (!mask_.Empty()) {
    text.resize(mask_.Positions.size(), mask_.Blank);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const TEditMask::Position& p = mask_.Positions[i];
      if (p.Type == TEditMask::Kind::Literal)
        text[i] = p.Literal;
      else if (text[i] == U' ' || text[i] < 32)
        text[i] = mask_.Blank;
      else
        text[i] = mask_.Cased(i, text[i]);
    }
  }
  formatting_ = true;
  try {
    TControl::SetText(ToUtf8(text));
  } catch (...) {
    formatting_ = false;
    throw;
  }
  formatting_ = false;
}

void TCustomMaskEdit::TextChanged() {
  // A text that reached the window by another path (the backend, a
  // TControl caller) is fitted between the literals as the mask shows it.
  if (!formatting_ && !mask_.Empty()) {
    StoreEditText(mask_.PadLiterals(CodePoints(EditText())));
    return;
  }
  TCustomEdit::TextChanged();
}

void TCustomMaskEdit::SetEditText(std::string_view text) {
  StoreEditText(CodePoints(text));
}

std::string TCustomMaskEdit::Text() const {
  if (mask_.Empty()) return EditText();
  std::u32string chars = mask_.RemoveFormat(CodePoints(EditText()));
  return ToUtf8(mask_.SaveLiterals ? mask_.AddFormat(chars, false) : chars);
}

void TCustomMaskEdit::SetText(std::string_view text) {
  if (mask_.Empty()) {
    TControl::SetText(text);
    return;
  }
  std::u32string value = CodePoints(text);
  StoreEditText(mask_.SaveLiterals ? mask_.PadLiterals(value) : mask_.AddFormat(value, true));
}

void TCustomMaskEdit::DoEnter() {
  // Coming back after a refused exit keeps what Esc returns to.
  if (!refocusing_) text_on_enter_ = EditText();
  TCustomEdit::DoEnter();
}

void TCustomMaskEdit::DoExit() {
  if (!mask_.Empty() && Modified() && CanFocus()) {
    try {
      ValidateEdit();
    } catch (const EDBEditError&) {
      // The focus goes back before the error is reported, so that the
      // move that left the edit ends here.
      int caret = SelStart();
      refocusing_ = true;
      try {
        SetFocus();
      } catch (...) {
        refocusing_ = false;
        throw;
      }
      refocusing_ = false;
      SetSelStart(caret);
      throw;
    }
  }
  TCustomEdit::DoExit();
}

void TCustomMaskEdit::ValidateEdit() {
  if (mask_.Empty()) return;
  std::u32string shown = CodePoints(EditText());
  for (std::size_t i = 0; i < mask_.Positions.size(); ++i) {
    const TEditMask::Position& p = mask_.Positions[i];
    bool filled = i < shown.size() && shown[i] != mask_.Blank;
    if (p.Type != TEditMask::Kind::Literal && p.Required && !filled) {
      SetSelStart(static_cast<int>(i));
      throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
    }
  }
}

int TCustomMaskEdit::NextInput(int pos) const {
  int n = static_cast<int>(mask_.Positions.size());
  while (pos < n && mask_.Positions[pos].Type == TEditMask::Kind::Literal)
    ++pos;
  return pos;
}

void TCustomMaskEdit::BlankRange(std::u32string& text, int from, int to) const {
  for (int i = std::max(from, 0); i < to && i < static_cast<int>(text.size()); ++i)
    if (mask_.Positions[i].Type != TEditMask::Kind::Literal) text[i] = mask_.Blank;
}

void TCustomMaskEdit::DefaultKeyDown(Word& key, TShiftState shift) {
  if (!mask_.Empty() && key == VK_ESCAPE && Modified()) {
    // Esc abandons the changes and is used up.
    StoreEditText(CodePoints(text_on_enter_));
    SetModified(false);
    SelectAll();
    key = 0;
    return;
  }
  if (mask_.Empty() || key != VK_DELETE) {
    TCustomEdit::DefaultKeyDown(key, shift);
    return;
  }
  // Deleting blanks positions; the literals and the length stay.
  if (ReadOnly()) return;
  std::u32string text = CodePoints(EditText());
  int start = SelStart();
  int end = SelLength() ? start + SelLength() : start + 1;
  BlankRange(text, start, end);
  StoreEditText(text);
  SetSelStart(start);
  SetModified(true);
}

void TCustomMaskEdit::DefaultKeyPress(TKeyChar& key) {
  if (mask_.Empty()) {
    TCustomEdit::DefaultKeyPress(key);
    return;
  }
  if (ReadOnly()) return;
  std::u32string text = CodePoints(EditText());
  int n = static_cast<int>(text.size());
  int start = SelStart();
  if (key == 8) {
    if (SelLength()) {
      BlankRange(text, start, start + SelLength());
    } else {
      int p = start - 1;
      while (p >= 0 && mask_.Positions[p].Type == TEditMask::Kind::Literal)
        --p;
      if (p < 0) return;
      BlankRange(text, p, p + 1);
      start = p;
    }
    StoreEditText(text);
    SetSelStart(start);
    SetModified(true);
    return;
  }
  if (key < 32) return;
  char32_t c = static_cast<char32_t>(key);
  // Typing the literal that stands at the caret steps over it.
  if (start < n && mask_.Positions[start].Type == TEditMask::Kind::Literal &&
      mask_.Positions[start].Literal == c) {
    SetSelStart(start + 1);
    return;
  }
  int p = NextInput(start);
  if (p >= n || !mask_.Accepts(p, c)) return;  // refused, as the platform beeps
  if (SelLength()) BlankRange(text, start, start + SelLength());
  text[p] = mask_.Cased(p, c);
  StoreEditText(text);
  SetSelStart(NextInput(p + 1) < n ? NextInput(p + 1) : p + 1);
  SetModified(true);
}

}  // namespace vx
