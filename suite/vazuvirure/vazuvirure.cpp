#include "suite/vazuvirure/vazuvirure.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/paths.h"
#include "platform/rtl/text.h"
#include "suite/vazuvirure/release_store.h"

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::int64_t kMaxArchive = std::int64_t{512} << 20;
constexpr zip_int64_t kMaxEntries = 10000;
constexpr std::uint64_t kMaxUnpacked = std::uint64_t{1} << 30;
constexpr std::size_t kMaxEntryName = 1024;
constexpr long kDefaultTimeout = 60;
constexpr long kMaxTimeout = 3600;
constexpr long kMaxConnectTimeout = 10;

// The message in the caller's buffer: at most 255 bytes, never cutting a
// UTF-8 character in two.
void SetError(char* buffer, std::size_t size, std::string_view text) {
  if (buffer == nullptr || size == 0) return;
  std::size_t n = std::min(text.size(), size - 1);
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
      --n;
  if (n > 0) std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::string SystemError(const std::string& what, int err) {
  return what + ": " + std::strerror(err);
}

// Closes a descriptor and removes a temporary file unless kept.
class TempFile {
 public:
  // A new file named after target in target's folder.
  bool Create(const std::string& target, std::string& error) {
    std::string folder = vx::ExtractFilePath(target);
    path_ = folder + "." + vx::ExtractFileName(target) + ".vxpart.XXXXXX";
    fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0) {
      error = SystemError("Cannot create a temporary file beside " + target, errno);
      path_.clear();
      return false;
    }
    return true;
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  bool Write(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t n = ::write(fd_, p, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  // Flushes and closes; the file stays until Commit or destruction.
  bool Finish(std::string& error) {
    bool ok = ::fsync(fd_) == 0;
    int err = errno;
    if (::close(fd_) != 0 && ok) {
      ok = false;
      err = errno;
    }
    fd_ = -1;
    if (!ok) error = SystemError("Cannot write " + path_, err);
    return ok;
  }
  bool Commit(const std::string& target, std::string& error) {
    if (::rename(path_.c_str(), target.c_str()) != 0) {
      error = SystemError("Cannot replace " + target, errno);
      return false;
    }
    path_.clear();
    return true;
  }

 private:
  std::string path_;
  int fd_ = -1;
};

bool IsHttpAddress(std::string_view s) {
  return vx::StartsText("http://", s) || vx::StartsText("https://", s);
}

long TimeoutSeconds(const char* text) {
  auto n = text ? vx::TryStrToInt64(text) : std::nullopt;
  return n && *n >= 1 && *n <= kMaxTimeout ? static_cast<long>(*n) : kDefaultTimeout;
}

bool CopyFromFile(const std::string& source, TempFile& out, std::int64_t& bytes,
                  std::string& error) {
  int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = SystemError("Cannot open " + source, errno);
    return false;
  }
  std::unique_ptr<int, void (*)(int*)> guard(&fd, [](int* f) { ::close(*f); });
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = source + " is not a file";
    return false;
  }
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = SystemError("Cannot read " + source, errno);
      return false;
    }
    if (n == 0) return true;
    bytes += n;
    if (bytes > kMaxArchive) {
      error = source + " is larger than 512 MiB";
      return false;
    }
    if (!out.Write(buffer.data(), static_cast<std::size_t>(n))) {
      error = SystemError("Cannot write " + out.path(), errno);
      return false;
    }
  }
}

struct Download {
  TempFile* out;
  std::int64_t bytes = 0;
  bool too_large = false;
  bool write_failed = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* d = static_cast<Download*>(user);
  size_t n = size * count;
  if (d->bytes + static_cast<std::int64_t>(n) > kMaxArchive) {
    d->too_large = true;
    return 0;
  }
  if (!d->out->Write(data, n)) {
    d->write_failed = true;
    return 0;
  }
  d->bytes += static_cast<std::int64_t>(n);
  return n;
}

bool CopyFromHttp(const std::string& address, long timeout, TempFile& out, std::int64_t& bytes,
                  int& status, std::string& error) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    error = "The transfer could not be prepared";
    return false;
  }
  Download body{&out};
  char curl_error[CURL_ERROR_SIZE] = {0};
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, address.c_str());
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, curl_error);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_TIMEOUT, timeout);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, std::min(timeout, kMaxConnectTimeout));
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxArchive));
  curl_easy_setopt(c, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
  CURLcode rc = curl_easy_perform(c);
  long code = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
  status = static_cast<int>(code);
  bytes = body.bytes;
  if (body.too_large || rc == CURLE_FILESIZE_EXCEEDED) {
    error = address + " is larger than 512 MiB";
    return false;
  }
  if (body.write_failed) {
    error = SystemError("Cannot write " + out.path(), errno);
    return false;
  }
  if (rc != CURLE_OK) {
    std::string what = curl_error[0] ? curl_error : curl_easy_strerror(rc);
    error = rc == CURLE_OPERATION_TIMEDOUT
                ? "No answer from " + address + " within " + std::to_string(timeout) + " s"
                : "Cannot fetch " + address + ": " + what;
    return false;
  }
  if (code < 200 || code > 299) {
    error = "HTTP status " + std::to_string(code) + " from " + address;
    return false;
  }
  return true;
}

// One entry of an archive as it will be unpacked.
struct Entry {
  zip_uint64_t index = 0;
  std::vector<std::string> parts;  // relative path, checked
  bool folder = false;
  zip_uint64_t size = 0;
  time_t mtime = 0;
  bool has_mtime = false;
  mode_t mode = 0644;
};

// The relative path of an entry name, or an empty list when the name would
// leave the target folder. Archives made on Windows separate with "\".
std::vector<std::string> SafeParts(std::string_view name) {
  std::vector<std::string> parts;
  if (name.empty() || name.size() > kMaxEntryName || name[0] == '/' || name[0] == '\\') return {};
  std::string part;
  auto flush = [&]() -> bool {
    if (part == "..") return false;
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
    return true;
  };
  for (char c : name) {
    if (c == '/' || c == '\\') {
      if (!flush()) return {};
    } else {
      part += c;
    }
  }
  if (!flush()) return {};
  // A drive name ("C:") makes the path absolute on Windows.
  if (!parts.empty() && parts[0].size() >= 2 && parts[0][1] == ':') return {};
  return parts;
}

std::string JoinParts(const std::string& folder, const std::vector<std::string>& parts,
                      std::size_t count) {
  std::string out = folder;
  for (std::size_t i = 0; i < count; ++i)
    out = vx::JoinPath(out, parts[i]);
  return out;
}

std::string ZipError(zip_t* za) {
  return zip_strerror(za);
}

// Reads and checks every entry; false with the reason for anything refused.
bool ReadEntries(zip_t* za, std::vector<Entry>& entries, std::string& error) {
  zip_int64_t n = zip_get_num_entries(za, 0);
  if (n <= 0) {
    error = "The archive holds no files";
    return false;
  }
  if (n > kMaxEntries) {
    error = "The archive holds more than " + std::to_string(kMaxEntries) + " entries";
    return false;
  }
  std::uint64_t total = 0;
  std::set<std::string> names;
  for (zip_int64_t i = 0; i < n; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) {
      error = "Cannot read entry " + std::to_string(i) + ": " + ZipError(za);
      return false;
    }
    Entry e;
    e.index = static_cast<zip_uint64_t>(i);
    std::string_view name = st.name;
    e.parts = SafeParts(name);
    if (e.parts.empty()) {
      error = "The entry \"" + std::string(name) + "\" would land outside the target folder";
      return false;
    }
    e.folder = name.back() == '/' || name.back() == '\\';
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
      error = "The entry \"" + std::string(name) + "\" is encrypted";
      return false;
    }
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, e.index, 0, &opsys, &attributes) == 0 &&
        opsys == ZIP_OPSYS_UNIX) {
      mode_t mode = static_cast<mode_t>(attributes >> 16);
      mode_t type = mode & S_IFMT;
      if (type != 0 && type != S_IFREG && type != S_IFDIR) {
        error = "The entry \"" + std::string(name) + "\" is a link or device, not a file";
        return false;
      }
      if (type == S_IFDIR) e.folder = true;
      if ((mode & 0777) != 0) e.mode = (mode & 0777) | S_IRUSR | S_IWUSR;
    }
    e.size = st.size;
    e.has_mtime = (st.valid & ZIP_STAT_MTIME) != 0;
    e.mtime = st.mtime;
    if (!e.folder) {
      total += e.size;
      if (total > kMaxUnpacked) {
        error = "The archive unpacks to more than 1 GiB";
        return false;
      }
    }
    std::string key;
    for (const std::string& p : e.parts)
      key += "/" + p;
    if (!e.folder && !names.insert(key).second) {
      error = "The archive holds \"" + std::string(name) + "\" twice";
      return false;
    }
    entries.push_back(std::move(e));
  }
  return true;
}

// What an unpack has created so far, undone unless it completes.
class Unpacking {
 public:
  explicit Unpacking(std::string folder) : folder_(std::move(folder)) {}
  ~Unpacking() {
    files_.clear();  // removes the temporary files
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
      ::rmdir(it->c_str());
  }

  // Makes sure the folders of an entry are real folders below the target,
  // creating the missing ones.
  bool Folders(const Entry& e, std::string& error) {
    std::size_t count = e.folder ? e.parts.size() : e.parts.size() - 1;
    for (std::size_t i = 1; i <= count; ++i) {
      std::string path = JoinParts(folder_, e.parts, i);
      struct stat st;
      if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) {
          error = path + " exists and is not a folder";
          return false;
        }
        continue;
      }
      if (::mkdir(path.c_str(), 0755) != 0) {
        error = SystemError("Cannot create " + path, errno);
        return false;
      }
      created_.push_back(path);
    }
    return true;
  }

  bool File(zip_t* za, const Entry& e, std::string& error) {
    std::string target = JoinParts(folder_, e.parts, e.parts.size());
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      error = target + " exists and is a folder";
      return false;
    }
    auto out = std::make_unique<TempFile>();
    if (!out->Create(target, error)) return false;
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(zip_fopen_index(za, e.index, 0),
                                                          zip_fclose);
    if (!in) {
      error = "Cannot read " + target + " from the archive: " + ZipError(za);
      return false;
    }
    std::vector<char> buffer(1 << 16);
    zip_uint64_t done = 0;
    for (;;) {
      zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
      if (n < 0) {
        error = "The archive is damaged at " + target + ": " + zip_file_strerror(in.get());
        return false;
      }
      if (n == 0) break;
      done += static_cast<zip_uint64_t>(n);
      if (done > e.size) {
        error = "The archive is damaged at " + target + ": more data than declared";
        return false;
      }
      if (!out->Write(buffer.data(), static_cast<std::size_t>(n))) {
        error = SystemError("Cannot write " + out->path(), errno);
        return false;
      }
    }
    if (done != e.size) {
      error = "The archive is damaged at " + target + ": less data than declared";
      return false;
    }
    if (::fchmod(out->fd(), e.mode) != 0) {
      error = SystemError("Cannot set the permissions of " + out->path(), errno);
      return false;
    }
    if (e.has_mtime) {
      struct timespec times[2] = {{e.mtime, 0}, {e.mtime, 0}};
      if (::futimens(out->fd(), times) != 0) {
        error = SystemError("Cannot set the time of " + out->path(), errno);
        return false;
      }
    }
    if (!out->Finish(error)) return false;
    files_.push_back(std::move(out));
    targets_.push_back(target);
    return true;
  }

  // Renames every file into place; the folders created stay.
  bool Commit(std::string& error) {
    for (std::size_t i = 0; i < files_.size(); ++i)
      if (!files_[i]->Commit(targets_[i], error)) return false;
    created_.clear();
    return true;
  }
  int Files() const { return static_cast<int>(targets_.size()); }

 private:
  std::string folder_;
  std::vector<std::string> created_;
  std::vector<std::unique_ptr<TempFile>> files_;
  std::vector<std::string> targets_;
};

bool Unzip(const std::string& archive, const std::string& folder, int& count, std::string& error) {
  if (!vx::DirectoryExists(folder)) {
    error = "The target folder " + folder + " does not exist";
    return false;
  }
  int err = 0;
  std::unique_ptr<zip_t, decltype(&zip_discard)> za(
      zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err), zip_discard);
  if (!za) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, err);
    error = "Cannot open the archive " + archive + ": " + zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return false;
  }
  std::vector<Entry> entries;
  if (!ReadEntries(za.get(), entries, error)) return false;
  Unpacking unpacking(folder);
  for (const Entry& e : entries) {
    if (!unpacking.Folders(e, error)) return false;
    if (!e.folder && !unpacking.File(za.get(), e, error)) return false;
  }
  if (!unpacking.Commit(error)) return false;
  count = unpacking.Files();
  return true;
}

std::string StampOf(time_t t) {
  struct tm local;
  if (::localtime_r(&t, &local) == nullptr) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

bool IsStamp(std::string_view s) {
  return s.size() == 14 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string ArchiveName(const std::string& store_folder, const std::string& name) {
  return vx::JoinPath(vx::NormalizePath(store_folder), vx::LowerCase(name) + ".zip");
}

int Unsupported(char* error, int size) {
  if (size > 0) SetError(error, static_cast<std::size_t>(size), "not supported");
  return 0;
}

}  // namespace

namespace vx::release {

std::string FileStamp(const std::string& file) {
  struct stat st;
  if (file.empty() || ::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return StampOf(st.st_mtime);
}

bool PutRelease(const std::string& file, const std::string& store_folder, std::string& error) {
  struct stat st;
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = file + " is not a file";
    return false;
  }
  std::string folder = vx::NormalizePath(store_folder);
  if (!vx::ForceDirectories(folder, &error)) return false;
  std::string name = vx::ExtractFileName(file);
  int err = 0;
  // The archive library writes a temporary file and renames it on closing,
  // so readers see the old archive or the new one, never a part.
  zip_t* za = zip_open(ArchiveName(folder, name).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (za == nullptr) {
    error = "Cannot create the archive for " + name;
    return false;
  }
  zip_source_t* source = zip_source_file(za, file.c_str(), 0, -1);
  zip_int64_t index = source ? zip_file_add(za, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
  if (index < 0) {
    if (source) zip_source_free(source);
    error = "Cannot add " + file + ": " + ZipError(za);
    zip_discard(za);
    return false;
  }
  zip_uint64_t i = static_cast<zip_uint64_t>(index);
  if (zip_file_set_mtime(za, i, st.st_mtime, 0) != 0 ||
      zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX,
                                       static_cast<zip_uint32_t>(S_IFREG | (st.st_mode & 0777))
                                           << 16) != 0 ||
      zip_close(za) != 0) {
    error = "Cannot write the archive for " + name + ": " + ZipError(za);
    zip_discard(za);
    return false;
  }
  return true;
}

std::string DescribeRelease(const std::string& store_folder, const std::string& name,
                            const std::string& address) {
  int err = 0;
  std::unique_ptr<zip_t, decltype(&zip_discard)> za(
      zip_open(ArchiveName(store_folder, name).c_str(), ZIP_RDONLY, &err), zip_discard);
  if (!za) return {};
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat(za.get(), name.c_str(), ZIP_FL_NOCASE, &st) != 0 || !(st.valid & ZIP_STAT_MTIME))
    return {};
  std::string base = address.empty() ? store_folder : address;
  // A folder written Windows-style goes on with "\\", others with "/".
  bool windows_style = !IsHttpAddress(base) && base.find('\\') != std::string::npos;
  if (!base.empty() && !vx::IsPathDelimiter(base.back())) base += windows_style ? '\\' : '/';
  return "<Modify>" + StampOf(st.mtime) + "</Modify><Path>" + base + name + "</Path>";
}

}  // namespace vx::release

VX_EXPORT int CompareFileToDown(const char* stamp, const char* local_file) {
  try {
    if (stamp == nullptr || local_file == nullptr || !IsStamp(stamp)) return 0;
    return vx::release::FileStamp(vx::NormalizePath(local_file)) != stamp ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

VX_EXPORT int VAZuviRureFileEx(int /*mode*/, const char* /*text*/, const char* /*user*/,
                               const char* timeout_seconds, const char* remote, const char* local,
                               int* status, char* error, int* bytes, int /*flag*/) {
  std::string message;
  std::int64_t written = 0;
  int http_status = 0;
  bool ok = false;
  try {
    if (remote == nullptr || local == nullptr || !*remote || !*local) {
      message = "No archive name was given";
    } else {
      std::string target = vx::NormalizePath(local);
      TempFile out;
      if (out.Create(target, message)) {
        bool fetched = IsHttpAddress(remote)
                           ? CopyFromHttp(remote, TimeoutSeconds(timeout_seconds), out, written,
                                          http_status, message)
                           : CopyFromFile(vx::NormalizePath(remote), out, written, message);
        ok = fetched && out.Finish(message) && out.Commit(target, message);
      }
    }
  } catch (const std::exception& e) {
    message = e.what();
    ok = false;
  }
  if (status) *status = http_status;
  if (bytes) *bytes = static_cast<int>(std::min<std::int64_t>(written, INT32_MAX));
  SetError(error, VAZUVIRURE_ERROR_SIZE, ok ? std::string_view() : message);
  return ok ? 1 : 0;
}

VX_EXPORT int UnZipFilesOrDir(const char* archive, const char* folder, char* error, int* count) {
  std::string message;
  int files = 0;
  bool ok = false;
  try {
    if (archive == nullptr || folder == nullptr || !*archive || !*folder)
      message = "No archive or target folder was given";
    else
      ok = Unzip(vx::NormalizePath(archive), vx::NormalizePath(folder), files, message);
  } catch (const std::exception& e) {
    message = e.what();
    ok = false;
  }
  if (count) *count = ok ? files : 0;
  SetError(error, VAZUVIRURE_ERROR_SIZE, ok ? std::string_view() : message);
  return ok ? 1 : 0;
}

VX_EXPORT int CompareFileToDownEx(char* error, int size) {
  return Unsupported(error, size);
}
VX_EXPORT int NeedDownLoad(char* error, int size) {
  return Unsupported(error, size);
}
VX_EXPORT int UnZipFilesList(char* error, int size) {
  return Unsupported(error, size);
}
VX_EXPORT int UnZipFilesXML(char* error, int size) {
  return Unsupported(error, size);
}
VX_EXPORT int GetFileList(char* error, int size) {
  return Unsupported(error, size);
}
