#pragma once
// Conversions between our UTF-8 text and the bytes of a Windows code page
// (936 GBK, 950 Big5, 437, 1252, ...) or of a named character set, over iconv.
// Real legacy bytes exist only at byte-level boundaries; everywhere else a
// "text in code page N" is UTF-8 holding only characters that N can encode.
#include <string>
#include <string_view>

#include "platform/rtl/exception.h"

namespace vx {

// The code page or character set is unknown to the conversion service.
VX_DECLARE_EXCEPTION(ECodePageError, Exception);

// The character every converter puts in place of a character the target code
// page cannot encode, as the platform's default character does ("?"). One
// replacement per character (code point), never per byte.
inline constexpr char kCodePageDefaultChar = '?';

// iconv name of a code page number: 936 -> "CP936", 950 -> "CP950" (Big5
// with the vendor extensions), 65001 -> "UTF-8", others "CP<n>".
std::string CharsetOfCodePage(int code_page);

// True when the code page (or charset name) can be converted.
bool IsCodePageSupported(int code_page);
bool IsCharsetSupported(const std::string& charset);

// UTF-8 text to the bytes of the code page. Characters the code page cannot
// encode, and malformed UTF-8 bytes, become kCodePageDefaultChar; `replaced`
// (when given) receives how many were replaced. Raises ECodePageError for an
// unknown code page.
std::string EncodeToCodePage(std::string_view utf8, int code_page, std::size_t* replaced = nullptr);
std::string EncodeToCharset(std::string_view utf8, const std::string& charset,
                            std::size_t* replaced = nullptr);

// Bytes of the code page to UTF-8. Byte sequences that are not valid in the
// code page become kCodePageDefaultChar. Raises ECodePageError for an unknown
// code page.
std::string DecodeFromCodePage(std::string_view bytes, int code_page,
                               std::size_t* replaced = nullptr);
std::string DecodeFromCharset(std::string_view bytes, const std::string& charset,
                              std::size_t* replaced = nullptr);

// The UTF-8 text limited to the characters the code page can encode: every
// other character becomes kCodePageDefaultChar. ASCII text is returned as is
// without touching iconv.
std::string LimitToCodePage(std::string_view utf8, int code_page, std::size_t* replaced = nullptr);

// Length in bytes of the text once encoded in the code page (byte-length
// limits that count "in bytes of the user-interface text").
std::size_t CodePageByteLength(std::string_view utf8, int code_page);

}  // namespace vx
