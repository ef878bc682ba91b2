#pragma once
// Conversions between our UTF-8 text and the byte encodings of the Windows
// code pages (936 GBK, 950 Big5, 437, ...), in place of the system's
// multibyte/wide conversion services.
#include <string>
#include <string_view>

namespace vx {

// The converter's name of a Windows code page: 936 -> "CP936", 65001 ->
// "UTF-8", 1200 -> "UTF-16LE", any other n -> "CP<n>".
std::string CodePageCharset(int code_page);
// Whether the host can convert from and to that code page at all.
bool CodePageSupported(int code_page);

// Exact conversions: false when a character cannot be represented, the bytes
// are not valid in the code page, or the code page is unknown.
bool TryUtf8ToCodePage(std::string_view utf8, int code_page, std::string& bytes);
bool TryCodePageToUtf8(std::string_view bytes, int code_page, std::string& utf8);

// Lossy conversions as the system services do them: what cannot be converted
// becomes "?" (to bytes) or U+FFFD (to UTF-8); lossless tells whether that
// happened.
std::string Utf8ToCodePage(std::string_view utf8, int code_page, bool* lossless = nullptr);
std::string CodePageToUtf8(std::string_view bytes, int code_page, bool* lossless = nullptr);

bool IsValidUtf8(std::string_view s);

// Text of a configuration file: a UTF-8 or UTF-16 byte-order mark decides;
// without one, valid UTF-8 is taken as it stands and anything else is read
// in fallback_code_page. problem receives a description when bytes had to be
// replaced (an odd UTF-16 length, invalid sequences), else stays untouched.
std::string DecodeTextFile(std::string_view bytes, int fallback_code_page, std::string* problem);

}  // namespace vx
