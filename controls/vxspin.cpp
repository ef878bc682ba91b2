#include "controls/vxspin.h"

#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TVxSpinEdit::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxSpinEdit>("TVxSpinEdit", [](auto&) {});
  return info;
}

void TVxSpinEdit::Change() {
  const std::string& text = Text();
  // A sign after the first character is a stray key: drop the last
  // character, which changes the text again until the sign is gone.
  if (text.size() > 1 && text.find_first_of("+-", 1) != std::string::npos) {
    std::size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
      --end;  // the whole last character, not one byte of it
    SetText(text.substr(0, end));
    return;
  }
  if (!Trim(text).empty()) TSpinEdit::Change();
}

}  // namespace vx
