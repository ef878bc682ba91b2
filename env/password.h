#pragma once
// The password unit: reversible scrambling of the database passwords kept in
// the server configuration file, and the generator alert log it reports to.
//
// A scrambled password is a string of lowercase hexadecimal digit pairs, one
// pair per byte of the plain text in code page 936 (the byte at 1-based
// position i rotated right by i mod 8 bits). Our texts are UTF-8, so the
// plain text is converted to code page 936 before scrambling and back after
// unscrambling; values scrambled by existing installations therefore decode
// to the same text.
#include <exception>
#include <string>
#include <string_view>

namespace vx {

// Scrambled in place of an empty password; decodes back to an empty text.
inline constexpr std::string_view kEmptyPasswordMarker = "VX_Say_NoPassWord_ThePassWordIsEmpty";
// What DecodePassword gives for a text that is not a valid scrambled password.
inline constexpr std::string_view kPasswordErrorMarker = "VX_Say_Password_Error";

// The scrambling itself, byte for byte.
std::string ScramblePasswordBytes(std::string_view bytes);
// Reverses ScramblePasswordBytes; a trailing single digit is ignored. False
// when a pair is not hexadecimal (bad_pair then receives it).
bool UnscramblePasswordBytes(std::string_view scrambled, std::string& bytes,
                             std::string* bad_pair = nullptr);

// Scrambles plain (UTF-8); an empty plain text scrambles the empty-password
// marker. Raises EConvertError when plain holds a character that code page
// 936 cannot represent: such a password could not be stored.
std::string EncodePassword(std::string_view plain);
// Plain text (UTF-8) of a scrambled password; empty for an empty text or the
// empty-password marker. A pair that is not hexadecimal, or bytes that are
// not valid code page 936 text, give kPasswordErrorMarker and a block in the
// generator alert log. Never raises.
std::string DecodePassword(std::string_view scrambled);

// Folder under which the generator log lives: the install folder, else the
// temporary folder, else "/tmp".
std::string GetLogBaseFolder();
// Appends "[<short date> <long time>] " + text to
// <log base folder>/Log/Alert_PlexoGenerator_<YYYYMMDD>.log. True when
// written; never raises.
bool WriteGeneratorAlert(std::string_view text);
// Writes an exception as a block of generator alert lines: a separator with
// the context, the exception's entries and their count, the programmer's
// message. e may be null. Never raises.
void LogException(const std::exception* e, std::string_view context,
                  std::string_view programmer_message);

}  // namespace vx
