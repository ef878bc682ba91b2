#pragma once
// Writing one character as UTF-8, for the converters that work character by
// character (UTF-16, the code-page tables).
#include <string>

namespace vx {

// Appends cp (at most U+10FFFF) to out in UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace vx
