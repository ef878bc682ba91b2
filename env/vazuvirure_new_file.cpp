#include "env/vazuvirure_new_file.h"

#include "lib/alert_log.h"
#include "platform/os/paths.h"
#include "platform/os/registry.h"
#include "platform/os/system.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"
#include "platform/ui/dialogs.h"

namespace vx {

namespace {

// The package's entry points: texts in, a caller's buffer of 256 bytes for
// the error text.
constexpr int kErrorSize = 256;
using CompareFileToDownFn = int (*)(const char* stamp, const char* local_file);
using FileExFn = int (*)(int mode, const char* text, const char* user, const char* timeout_seconds,
                         const char* remote, const char* local, int* status, char* error,
                         int* bytes, int flag);
using UnZipFn = int (*)(const char* archive, const char* folder, char* error, int* count);

// A dialog nobody answers gives its default button, Retry: past this many
// attempts the update gives up rather than retry for ever.
constexpr int kMaxAttempts = 100;

void WriteUpdateLog(std::string_view text) {
  WriteAlertLogIn(GetHostExeFolder(), "VAZuviRureNewFileU", text, "D");
}

// The text between open and the next close after it; empty when missing.
std::string Between(std::string_view text, std::string_view open, std::string_view close) {
  std::size_t from = text.find(open);
  if (from == std::string_view::npos) return {};
  from += open.size();
  std::size_t to = text.find(close, from);
  if (to == std::string_view::npos) return {};
  return std::string(text.substr(from, to - from));
}

std::string FileInfoPart(std::string_view description, std::string_view name) {
  std::string tagged =
      Between(description, "<" + std::string(name) + ">", "</" + std::string(name) + ">");
  if (!tagged.empty()) return tagged;
  return Between(description, std::string(name) + " = '", "'");
}

// A file on another computer ("\\server\x", in host form "//server/x").
bool IsNetworkPath(std::string_view file) {
  return file.find("\\\\") != std::string_view::npos || file.starts_with("//");
}

bool IsHttpAddress(std::string_view s) {
  return StartsText("http://", s) || StartsText("https://", s);
}

// "<release folder><lower-case name>.zip"; a folder without its closing
// separator gets the one it is written with.
std::string RemoteArchiveName(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && !IsPathDelimiter(out.back()))
    out += !IsHttpAddress(out) && out.find('\\') != std::string::npos ? '\\' : '/';
  return out + LowerCase(name) + ".zip";
}

// Runs a step of the update; a failure is offered again while the user
// chooses Retry, else raised with the message of pattern.
template <class Step>
void Attempt(const Step& step, const char* pattern, const std::string& file, bool ask) {
  for (int attempt = 1;; ++attempt) {
    std::string error;
    if (step(error)) return;
    std::string message = Format(pattern, file, error);
    if (!ask || attempt >= kMaxAttempts ||
        MessageDlg(message, mtError, TMsgDlgButtons{mbAbort, mbRetry}) != mrRetry)
      throw Exception(message);
  }
}

// Calls an entry point that reports a failure in the caller's buffer; an
// entry point the package lacks fails with missing_text.
template <class Call>
bool CallReporting(const void* entry, const char* missing_text, const Call& call,
                   std::string& error) {
  if (entry == nullptr) {
    error = missing_text;
    return false;
  }
  char buffer[kErrorSize] = {};
  bool ok = call(buffer) != 0;
  buffer[kErrorSize - 1] = '\0';  // whatever the package wrote
  error = ok ? std::string() : std::string(buffer);
  return ok;
}

}  // namespace

TVAZuviRure::TVAZuviRure(std::string_view folder) {
  if (!lib_.Load("VAZuviRure.dll", folder)) return;
  file_ex_ = lib_.Symbol("VAZuviRureFileEx");
  unzip_ = lib_.Symbol("UnZipFilesOrDir");
  compare_ = lib_.Symbol("CompareFileToDown");
  compare_ex_ = lib_.Symbol("CompareFileToDownEx");
  need_download_ = lib_.Symbol("NeedDownLoad");
  unzip_list_ = lib_.Symbol("UnZipFilesList");
  unzip_xml_ = lib_.Symbol("UnZipFilesXML");
  file_list_ = lib_.Symbol("GetFileList");
}

bool TVAZuviRure::CompareFile(std::string_view stamp, std::string_view file_name) const {
  if (compare_ == nullptr) throw Exception("function VaZuviRure.CompareFileToDown not found!");
  return reinterpret_cast<CompareFileToDownFn>(compare_)(std::string(stamp).c_str(),
                                                         std::string(file_name).c_str()) != 0;
}

bool TVAZuviRure::DownLoadFile(std::string_view remote, std::string_view local,
                               std::string& error) const {
  return CallReporting(
      file_ex_, "function VaZuviRure.VAZuviRureFile not found!",
      [&](char* buffer) {
        int status = 0, bytes = 0;
        return reinterpret_cast<FileExFn>(file_ex_)(
            0, text_.c_str(), "QLMT", "60", std::string(remote).c_str(), std::string(local).c_str(),
            &status, buffer, &bytes, 0);
      },
      error);
}

bool TVAZuviRure::UnZipFile(std::string_view archive, std::string_view folder,
                            std::string& error) const {
  return CallReporting(
      unzip_, "function VaZuviRure.UnZipFilesOrDir not found!",
      [&](char* buffer) {
        int count = 0;
        return reinterpret_cast<UnZipFn>(unzip_)(std::string(archive).c_str(),
                                                 std::string(folder).c_str(), buffer, &count);
      },
      error);
}

bool UpgradeAllowed() {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly("Software\\QLMT\\Halvek")) {
    WriteUpdateLog("Read Upgrader Registry Error: No UPGRADER_REGISTRY_PATH");
    return false;
  }
  return Trim(reg.ReadString("GoAhead")) == "1";
}

std::string FileInfoStamp(std::string_view description) {
  return FileInfoPart(description, "Modify");
}

std::string FileInfoFolder(std::string_view description) {
  std::string path = FileInfoPart(description, "Path");
  std::size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

bool UpdateFile(std::string_view stamp, std::string_view folder, const std::string& file_name,
                bool ask_on_failure, std::string& error, std::string_view package_folder) {
  error.clear();
  if (!UpgradeAllowed()) return true;
  TVAZuviRure package(package_folder);
  try {
    if (!package.CompareFile(stamp, file_name)) return true;
    if (IsNetworkPath(file_name)) throw Exception(Format("Net File can't update![%s]", file_name));
    std::string name = ExtractFileName(file_name);
    std::string remote = RemoteArchiveName(folder, name);
    std::string temp = GetLongTempFolder();
    if (temp.empty())
      throw Exception("The temporary folder " + GetTempFolder() + " does not exist");
    std::string local = IncludeTrailingPathDelimiter(temp) + name + ".zip";
    Attempt([&](std::string& e) { return package.DownLoadFile(remote, local, e); },
            "DownLoad new file[%s] failed. %s", file_name, ask_on_failure);
    std::string target = ExtractFilePath(file_name);
    Attempt([&](std::string& e) { return package.UnZipFile(local, target, e); },
            "Unzip new file[%s] failed. %s", file_name, ask_on_failure);
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    WriteUpdateLog(error);
    return false;
  }
}

bool UpdateFromFileInfo(std::string_view description, const std::string& file_name,
                        bool ask_on_failure, std::string& error, std::string_view package_folder) {
  return UpdateFile(FileInfoStamp(description), FileInfoFolder(description), file_name,
                    ask_on_failure, error, package_folder);
}

}  // namespace vx
