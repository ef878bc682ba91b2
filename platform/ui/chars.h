#pragma once
// Characters as code points: typed characters and text metrics work on code
// points, texts are UTF-8.
#include <string>
#include <string_view>

#include "platform/rtl/text.h"

namespace vx {

inline std::u32string CodePoints(std::string_view utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  std::u32string out;
  out.reserve(w.size());
  for (std::size_t i = 0; i < w.size(); ++i) {
    char32_t c = w[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
    out += c;
  }
  return out;
}

inline std::string CodePointToUtf8(char32_t c) {
  std::u16string w;
  if (c >= 0x10000 && c <= 0x10FFFF) {
    c -= 0x10000;
    w += static_cast<char16_t>(0xD800 + (c >> 10));
    w += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  } else {
    w += static_cast<char16_t>(c <= 0xFFFF ? c : 0xFFFD);
  }
  return Utf16ToUtf8(w);
}

}  // namespace vx
