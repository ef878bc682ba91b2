#pragma once
// Shared pieces of the fuzz targets: the input as text, split into fields,
// and a private file for the readers that take a file name.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vx::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at the first few NUL bytes: separate arguments of one call.
inline std::vector<std::string_view> Fields(std::string_view text, std::size_t count) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < count) {
    std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) break;
    out.push_back(text.substr(0, nul));
    text.remove_prefix(nul + 1);
  }
  out.push_back(text);
  while (out.size() < count)
    out.emplace_back();
  return out;
}

// A file of this process, rewritten with each input: in memory where the
// machine has a memory file system, as a million inputs are written.
class ScratchFile {
 public:
  explicit ScratchFile(const char* suffix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp && *tmp ? tmp : "/tmp";
    path_ = folder + "/vx_fuzz_" + std::to_string(::getpid()) + suffix;
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  const std::string& Write(std::string_view bytes) {
    if (std::FILE* f = std::fopen(path_.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path_;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vx::fuzz
