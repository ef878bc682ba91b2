#pragma once
// System queries in place of the Windows ones: code page, user and computer
// name, temporary folder, operating-system version, host executable.
#include <string>
#include <string_view>

namespace vx {

// The system ANSI code page: the number in VX_CODEPAGE when that is set to a
// positive number; else from the locale (LC_ALL, LC_CTYPE, LANG, the first one
// set): zh_CN gives 936, zh_TW and zh_HK give 950, anything else 437.
int GetSystemCodePage();

// Login name of the process's effective user; empty when it cannot be had.
std::string GetProcessUserName();

// Host name without its domain, at most 15 characters (the length of a
// Windows computer name); "Unknown" when it cannot be had.
std::string GetLocalComputerName();

// The temporary folder as configured (TMPDIR, else "/tmp") with a trailing
// separator; the folder need not exist.
std::string GetTempFolder();
// Long (fully resolved) form of an existing path, keeping a trailing
// separator when the path has one; empty when the path cannot be resolved.
std::string GetLongPathName(std::string_view path);
// GetTempFolder in its long form with a trailing separator; empty when the
// long form cannot be had (the folder does not exist).
std::string GetLongTempFolder();

// Operating system, release and machine, e.g. "Linux 6.1.0-18-amd64 x86_64".
std::string GetOSVersionText();

// Full file name of the running executable, and its folder with a trailing
// separator; empty when unknown.
std::string GetHostExeFileName();
std::string GetHostExeFolder();

}  // namespace vx
