#pragma once
// Code-page conversions of texts and variant values between ANSI and wide
// (UTF-16) text, used around the application-server calls with code page 936.
//
// Our ANSI strings hold UTF-8, so "ANSI text in code page N" means text
// limited to the characters N can encode: in both directions every character
// that N cannot encode becomes "?", one per character, as the platform's
// conversion puts its default character (no best-fit substitutes).
#include <string>
#include <string_view>

#include "platform/automation/variant.h"
#include "platform/rtl/exception.h"

namespace vx {

// Neither the code page asked for nor the system code page can be converted.
VX_DECLARE_EXCEPTION(ECodePageError, Exception);

// Wide text to ANSI text of the code page. When the code page cannot be
// converted, the system code page is used instead; when that cannot be
// either, raises ECodePageError.
std::string WideToAnsiCP(std::u16string_view wide, int code_page);
// ANSI text of the code page to wide text; the same fallback.
std::u16string AnsiToWideCP(std::string_view text, int code_page);

// A copy of the value with its texts converted; never raises. Empty and null
// stay as they are. A scalar string (ANSI or wide) becomes an ANSI string of
// the code page; other scalars stay as they are. Arrays: one-dimensional
// ones recursively (an element that is an array is converted in turn),
// two-dimensional ones element by element, and inside arrays only elements
// held as wide strings are converted; arrays of more dimensions stay as they
// are. A failure is written to the alert log ("libstrs", daily) as
// "LINE[2735] " + the message, and the unchanged copy is returned.
Variant VarWideToAnsiCP(const Variant& value, int code_page);
// The same towards wide text: a scalar string becomes a wide string; inside
// arrays, again, only elements held as wide strings are converted (to wide
// strings limited to the code page), so an array of ANSI strings keeps them
// as ANSI strings. A failure is logged as "LINE[115] " + the message.
Variant VarAnsiToWideCP(const Variant& value, int code_page);

}  // namespace vx
