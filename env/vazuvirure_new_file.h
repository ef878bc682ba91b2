#pragma once
// Self-update of a job's server library before it runs in the module's own
// process (unit "VAZuviRureNewFileU"): the manager describes the current
// release of the file, the download package "VAZuviRure.dll" compares the
// local copy with it, fetches the release as a zip archive and unpacks it
// over the local copy. Failures go to the update log
// <host program folder>/Log/Alert_VAZuviRureNewFileU_YYYYMMDD.log.
#include <string>
#include <string_view>

#include "platform/os/dynlib.h"

namespace vx {

// The download package, bound by name for one update. Entry points the
// package lacks stay unset.
class TVAZuviRure {
 public:
  // Loads "VAZuviRure.dll", looked for first in folder when one is given.
  explicit TVAZuviRure(std::string_view folder = {});
  TVAZuviRure(const TVAZuviRure&) = delete;
  TVAZuviRure& operator=(const TVAZuviRure&) = delete;

  bool Loaded() const { return lib_.Loaded(); }
  // True when the local file must be replaced by the release of that stamp;
  // raises when the package or its comparison is missing.
  bool CompareFile(std::string_view stamp, std::string_view file_name) const;
  // Fetches the remote archive to the local name; false with the package's
  // error text.
  bool DownLoadFile(std::string_view remote, std::string_view local, std::string& error) const;
  // Unpacks the archive into the folder; false with the package's error text.
  bool UnZipFile(std::string_view archive, std::string_view folder, std::string& error) const;

 private:
  TDynLib lib_;
  void* file_ex_ = nullptr;                         // "VAZuviRureFileEx"
  void* unzip_ = nullptr;                           // "UnZipFilesOrDir"
  void* compare_ = nullptr;                         // "CompareFileToDown"
  [[maybe_unused]] void* compare_ex_ = nullptr;     // "CompareFileToDownEx"
  [[maybe_unused]] void* need_download_ = nullptr;  // "NeedDownLoad"
  [[maybe_unused]] void* unzip_list_ = nullptr;     // "UnZipFilesList"
  [[maybe_unused]] void* unzip_xml_ = nullptr;      // "UnZipFilesXML"
  [[maybe_unused]] void* file_list_ = nullptr;      // "GetFileList"
  std::string text_;                                // passed to the download, always empty
};

// Registry HKLM "Software\QLMT\Halvek", value "GoAhead" trimmed equal to "1".
// A key that cannot be opened is logged.
bool UpgradeAllowed();

// Modification stamp and release folder (up to and including its last
// separator) of a file description, tagged ("<Modify>..</Modify>",
// "<Path>..</Path>") or assigned ("Modify = '..'", "Path = '..'").
std::string FileInfoStamp(std::string_view description);
std::string FileInfoFolder(std::string_view description);

// Brings file_name up to date with the release of that stamp in folder.
// True when nothing needed doing or the update succeeded; false with the
// error text (also logged) otherwise. With ask_on_failure a failed download
// or unpack is offered again through an Abort/Retry dialog. package_folder:
// where to look for the package first (tests); by default beside the program.
bool UpdateFile(std::string_view stamp, std::string_view folder, const std::string& file_name,
                bool ask_on_failure, std::string& error, std::string_view package_folder = {});
// UpdateFile with the stamp and folder of a file description.
bool UpdateFromFileInfo(std::string_view description, const std::string& file_name,
                        bool ask_on_failure, std::string& error,
                        std::string_view package_folder = {});

}  // namespace vx
