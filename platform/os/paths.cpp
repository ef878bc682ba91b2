#include "platform/os/paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace vx {

std::string NormalizePath(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = kPathDelim;
  return out;
}

bool HasDriveOrShare(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    return true;
  return path.size() >= 2 && IsPathDelimiter(path[0]) && IsPathDelimiter(path[1]);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (!out.empty() && !IsPathDelimiter(out.back())) out += kPathDelim;
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  if (path.size() > 1 && IsPathDelimiter(path.back())) path.remove_suffix(1);
  return std::string(path);
}

namespace {
std::size_t LastDelimiter(std::string_view s) {
  return s.find_last_of("/\\");
}
}  // namespace

std::string ExtractFilePath(std::string_view file_name) {
  std::size_t p = LastDelimiter(file_name);
  return p == std::string_view::npos ? std::string() : std::string(file_name.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view file_name) {
  std::size_t p = LastDelimiter(file_name);
  return std::string(p == std::string_view::npos ? file_name : file_name.substr(p + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  while (!name.empty() && IsPathDelimiter(name.front()))
    name.remove_prefix(1);
  if (folder.empty()) return std::string(name);
  return IncludeTrailingPathDelimiter(folder) + std::string(name);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path, std::string* error) {
  std::string p = ExcludeTrailingPathDelimiter(NormalizePath(path));
  if (p.empty()) {
    if (error) *error = "empty folder name";
    return false;
  }
  // Create each level in turn; a level that already exists as a folder is fine.
  for (std::size_t i = 1; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != kPathDelim) continue;
    std::string level = p.substr(0, i);
    if (level.empty() || level.back() == kPathDelim) continue;
    if (::mkdir(level.c_str(), 0777) == 0 || errno == EEXIST) {
      if (DirectoryExists(level)) continue;
      if (error) *error = "'" + level + "' exists and is not a folder";
      return false;
    }
    if (error) *error = "cannot create '" + level + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace vx
