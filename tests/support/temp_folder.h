#pragma once
// Fixture helpers for tests that build small file trees: a temporary folder
// removed with everything in it, and an environment variable set for the
// duration of a test.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vx::test {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vx_test_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = tmpl;
  }
  ~TempFolder() {
    std::error_code ec;
    // Give back permissions a test may have taken away, then remove.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Folder path, or a path below it, without a trailing separator.
  std::string Path(std::string_view relative = {}) const {
    return relative.empty() ? path_ : path_ + "/" + std::string(relative);
  }
  // Writes a file (creating its folders) with exactly these bytes.
  std::string Write(std::string_view relative, std::string_view bytes) const {
    std::string p = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  std::string Read(std::string_view relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string MakeFolder(std::string_view relative) const {
    std::filesystem::create_directories(Path(relative));
    return Path(relative);
  }

 private:
  std::string path_;
};

// Sets (or, with nullopt, unsets) an environment variable until destroyed.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& v) {
    if (v)
      ::setenv(name_.c_str(), v->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  std::string name_;
  std::optional<std::string> old_;
};

// UTF-16LE bytes with a byte-order mark, for files written as Windows does.
inline std::string Utf16LeFile(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

}  // namespace vx::test
