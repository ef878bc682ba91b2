#include "platform/os/dynlib.h"

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/os/paths.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

thread_local std::string t_last_error;

std::string DlError(std::string_view fallback) {
  const char* e = ::dlerror();
  return e ? std::string(e) : std::string(fallback);
}

// dir/<name in any letter case>, when there is exactly such a file.
std::string FindFileIgnoringCase(const std::string& dir, const std::string& name) {
  std::string found;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (struct dirent* entry = ::readdir(d)) {
      if (SameText(entry->d_name, name) && FileExists(JoinPath(dir, entry->d_name))) {
        found = JoinPath(dir, entry->d_name);
        break;
      }
    }
    ::closedir(d);
  }
  return found;
}

HMODULE LoadFor(std::string_view name, std::string_view folder, std::string& error) {
  std::string normalized = NormalizePath(name);
  if (Trim(normalized).empty()) {
    error = "empty library name";
    return nullptr;
  }
  // A folder inside the name is the only place to look.
  std::string own_folder = ExtractFilePath(normalized);
  std::vector<std::string> files = LibraryFileCandidates(ExtractFileName(normalized));
  std::vector<std::string> folders;
  if (!own_folder.empty()) {
    folders.push_back(own_folder);
  } else {
    if (!folder.empty()) folders.push_back(NormalizePath(folder));
    // As on Windows, the program's own folder comes next: the libraries a
    // module loads by name stand beside the program that hosts it.
    std::string program_folder = GetHostExeFolder();
    if (!program_folder.empty()) folders.push_back(program_folder);
  }
  for (const std::string& dir : folders) {
    for (const std::string& file : files) {
      std::string path = JoinPath(dir, file);
      // Windows names are case-insensitive; the host's file names are not.
      if (!FileExists(path)) path = FindFileIgnoringCase(dir, file);
      if (path.empty()) continue;
      if (HMODULE h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
      // The file exists but cannot be loaded: that is the error to report.
      error = DlError("cannot load " + path);
      return nullptr;
    }
  }
  // Last the loader's own search path. A Windows name is looked for only in
  // the folders the user configured for it (LD_LIBRARY_PATH, as PATH on
  // Windows): a bare dlopen would also search the run paths of the library
  // that calls it, which depend on how the program was built.
  std::string tried;
  bool windows_name = files.size() > 1;
  if (own_folder.empty() && windows_name) {
    const char* env = std::getenv("LD_LIBRARY_PATH");
    std::string rest = env ? env : "";
    while (!rest.empty()) {
      std::size_t colon = rest.find(':');
      std::string dir = rest.substr(0, colon);
      rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
      if (dir.empty()) continue;
      for (const std::string& file : files) {
        std::string path = JoinPath(dir, file);
        if (!FileExists(path)) continue;
        if (HMODULE h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
        error = DlError("cannot load " + path);
        return nullptr;
      }
    }
    tried = "not beside the program nor on LD_LIBRARY_PATH";
  } else if (own_folder.empty()) {
    for (const std::string& file : files) {
      if (HMODULE h = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
      if (!tried.empty()) tried += "; ";
      tried += DlError(file);
    }
  } else {
    tried = "not in " + own_folder;
  }
  error = Format("library '%s' not found (%s)", std::string(name), tried);
  return nullptr;
}

}  // namespace

std::vector<std::string> LibraryFileCandidates(std::string_view name) {
  std::string n = NormalizePath(name);
  std::string folder = ExtractFilePath(n);
  std::string file = ExtractFileName(n);
  if (file.size() > 4 && SameText(std::string_view(file).substr(file.size() - 4), ".dll")) {
    std::string stem = file.substr(0, file.size() - 4);
    return {folder + stem + ".so", folder + "lib" + stem + ".so"};
  }
  return {n};
}

__attribute__((noinline)) HMODULE LoadLibrary(std::string_view name, std::string_view folder) {
  std::string error;
  HMODULE h = LoadFor(name, folder, error);
  if (!h) t_last_error = error;
  return h;
}

void* GetProcAddress(HMODULE module, std::string_view symbol) {
  if (!module) {
    t_last_error = "no library";
    return nullptr;
  }
  ::dlerror();
  void* p = ::dlsym(module, std::string(symbol).c_str());
  if (!p) t_last_error = DlError("symbol not found: " + std::string(symbol));
  return p;
}

bool FreeLibrary(HMODULE module) {
  if (!module) {
    t_last_error = "no library";
    return false;
  }
  if (::dlclose(module) != 0) {
    t_last_error = DlError("cannot unload library");
    return false;
  }
  return true;
}

std::string GetLastLibraryError() {
  return t_last_error;
}

std::string GetModuleFileName(const void* address_in_module) {
  Dl_info info{};
  if (!address_in_module || ::dladdr(address_in_module, &info) == 0 || !info.dli_fname) return {};
  std::string name = info.dli_fname;
  // For the main program the loader reports the name it was started with.
  if (name.empty() || name == program_invocation_name) {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
    name = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : name;
  }
  if (name.empty()) return {};
  if (char* real = ::realpath(name.c_str(), nullptr)) {
    name = real;
    std::free(real);
  }
  return name;
}

__attribute__((noinline)) std::string GetCallingModuleFileName() {
  return GetModuleFileName(__builtin_return_address(0));
}

TDynLib::TDynLib(std::string_view name, std::string_view folder) {
  handle_ = LoadFor(name, folder, error_);
}

TDynLib::~TDynLib() {
  Unload();
}

TDynLib::TDynLib(TDynLib&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

TDynLib& TDynLib::operator=(TDynLib&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

__attribute__((noinline)) bool TDynLib::Load(std::string_view name, std::string_view folder) {
  Unload();
  error_.clear();
  handle_ = LoadFor(name, folder, error_);
  return handle_ != nullptr;
}

void TDynLib::Unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

std::string TDynLib::FileName() const {
  struct link_map* map = nullptr;
  if (!handle_ || ::dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
  return map->l_name;
}

}  // namespace vx
