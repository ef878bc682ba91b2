#pragma once
// Dynamic libraries by their Windows names. "Dirurevido.dll" or "STKB17S.DLL"
// stands for the host's shared library of the same stem: "<stem>.so", then
// "lib<stem>.so". Without a folder in the name the library is looked for in
// the given folder, then in the folder of the program (as Windows looks in
// the application's folder), then in the folders of LD_LIBRARY_PATH (a host
// file name: on the loader's own search path); a name with a folder is looked for there only.
// In a folder the file name matches in any letter case, as on Windows. A
// name that does not end in ".dll" is taken as a host file name
// ("libm.so.6") and searched the same way.
#include <string>
#include <string_view>
#include <vector>

namespace vx {

using HMODULE = void*;

// Host file names tried for a library name, in order.
std::vector<std::string> LibraryFileCandidates(std::string_view name);

// Loads the library; nullptr on failure (see GetLastLibraryError). Loading a
// library that is already loaded returns the same handle and counts a
// reference, as on Windows.
HMODULE LoadLibrary(std::string_view name, std::string_view folder = {});
// Address of an exported symbol; nullptr when the handle is null or the
// symbol is missing.
void* GetProcAddress(HMODULE module, std::string_view symbol);
// Drops one reference; false for a null handle or a failed unload.
bool FreeLibrary(HMODULE module);
// Why the last LoadLibrary/GetProcAddress/FreeLibrary of this thread failed.
std::string GetLastLibraryError();

// Full file name of the module (executable or shared library) that contains
// the address; empty when the address is in no module.
std::string GetModuleFileName(const void* address_in_module);
// Full file name of the module that calls this function.
std::string GetCallingModuleFileName();

// Owns one reference to a loaded library.
class TDynLib {
 public:
  TDynLib() = default;
  // Loads at once; check Loaded() and Error().
  explicit TDynLib(std::string_view name, std::string_view folder = {});
  ~TDynLib();
  TDynLib(TDynLib&& other) noexcept;
  TDynLib& operator=(TDynLib&& other) noexcept;
  TDynLib(const TDynLib&) = delete;
  TDynLib& operator=(const TDynLib&) = delete;

  // Replaces any library held; false on failure.
  bool Load(std::string_view name, std::string_view folder = {});
  void Unload();
  bool Loaded() const { return handle_ != nullptr; }
  HMODULE Handle() const { return handle_; }
  const std::string& Error() const { return error_; }
  // The file actually loaded.
  std::string FileName() const;

  void* Symbol(std::string_view name) const { return GetProcAddress(handle_, name); }
  // Typed lookup: lib.Function<int (*)(int)>("Name").
  template <class Fn>
  Fn Function(std::string_view name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

 private:
  HMODULE handle_ = nullptr;
  std::string error_;
};

}  // namespace vx
