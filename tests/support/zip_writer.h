#pragma once
// Writes small zip archives for tests of unpacking: chosen entry names,
// contents, Unix modes (links, devices) and times.
#include <sys/stat.h>
#include <zip.h>

#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

namespace vx::test {

struct ZipEntry {
  std::string name;
  std::string content;
  unsigned mode = S_IFREG | 0644;  // Unix type and permissions
  std::time_t mtime = 0;           // 0: the archive library's default
};

inline void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  int err = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (za == nullptr) throw std::runtime_error("cannot create " + path);
  for (const ZipEntry& e : entries) {
    zip_int64_t i = -1;
    if (!e.name.empty() && e.name.back() == '/') {
      i = zip_dir_add(za, e.name.c_str(), ZIP_FL_ENC_UTF_8);
    } else {
      zip_source_t* src = zip_source_buffer(za, e.content.data(), e.content.size(), 0);
      i = zip_file_add(za, e.name.c_str(), src, ZIP_FL_ENC_UTF_8);
    }
    if (i < 0) throw std::runtime_error("cannot add " + e.name);
    zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_UNIX,
                                     static_cast<zip_uint32_t>(e.mode) << 16);
    // Tiny entries are stored: compressing thousands of them is slow.
    if (e.content.size() < 64)
      zip_set_file_compression(za, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0);
    if (e.mtime != 0) zip_file_set_mtime(za, static_cast<zip_uint64_t>(i), e.mtime, 0);
  }
  if (zip_close(za) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace vx::test
