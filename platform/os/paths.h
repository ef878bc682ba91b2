#pragma once
// Paths on the host. Configuration values are often written Windows-style
// ("C:\App\", "\\server\share\x"); NormalizePath turns them into host form so
// that the rest of the system handles one style. The predicates below accept
// both separators, so rules written for Windows paths hold for either style.
#include <string>
#include <string_view>

namespace vx {

inline constexpr char kPathDelim = '/';

// "/" or "\".
constexpr bool IsPathDelimiter(char c) {
  return c == '/' || c == '\\';
}

// "\" becomes "/"; a leading "\\server" share becomes "//server" and so stays
// recognisable as a network path. Nothing else changes.
std::string NormalizePath(std::string_view path);

// True when the path names a drive ("C:...") or a network share ("\\x" or
// "//x"): such a path is complete in itself. On the host "//opt/lib" is the
// folder "/opt/lib", which is how a host-absolute folder is written where a
// leading separator would mean "relative to the base".
bool HasDriveOrShare(std::string_view path);

// Appends the host separator unless the path already ends with a separator
// (either style). An empty path stays empty.
std::string IncludeTrailingPathDelimiter(std::string_view path);
// Removes one trailing separator (either style), except from a lone "/".
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// Folder part including the last separator; empty when there is none.
std::string ExtractFilePath(std::string_view file_name);
// Name after the last separator.
std::string ExtractFileName(std::string_view file_name);
// Folder and name joined with exactly one separator.
std::string JoinPath(std::string_view folder, std::string_view name);

bool FileExists(const std::string& path);  // a regular file (or link to one)
bool DirectoryExists(const std::string& path);
// Creates the folder with all missing parents. On failure returns false and,
// when error is given, the reason.
bool ForceDirectories(const std::string& path, std::string* error = nullptr);

}  // namespace vx
