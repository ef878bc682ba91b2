#include "lib/web_service.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "lib/system_info.h"
#include "platform/os/dynlib.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"
#include "platform/ui/dialogs.h"

namespace vx {

namespace {

using CallWebServiceFx = int (*)(const char* address, const char* method, const char* request,
                                 const char* answer_file);

// The pause as the application shows it: the standard message dialog with
// "OK", modal, so the call waits for the user (headless: answered through
// the modal responder like any dialog).
void ShowTracePause(const std::string& message) {
  ShowMessage(message);
}

std::mutex& HookMutex() {
  static std::mutex m;
  return m;
}
WebServiceTracePause& Hook() {
  static WebServiceTracePause hook = ShowTracePause;
  return hook;
}

// The host's command-line arguments after the program name.
std::vector<std::string> HostArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  if (!args.empty()) args.erase(args.begin());
  return args;
}

// The library, loaded on the first call that finds it and kept loaded.
CallWebServiceFx EntryPoint() {
  static std::mutex m;
  static TDynLib lib;
  std::lock_guard<std::mutex> lock(m);
  if (!lib.Loaded()) lib.Load("CallWebService.dll");
  return lib.Loaded() ? lib.Function<CallWebServiceFx>("CallWebServiceFx") : nullptr;
}

// Names tried for one answer file before giving up: each is the next
// millisecond's, so only someone filling the temporary folder on purpose
// makes a call try more than a few.
constexpr int kAnswerFileAttempts = 10000;

// Creates the empty answer file in the shared temporary folder: exclusively
// and without following a link planted at its name, so that no other process
// can make the library write elsewhere or two calls share one file. A name
// taken already (another call of the same millisecond) gives way to the next
// millisecond's.
std::string CreateAnswerFile() {
  const std::string folder = GetLongTempPath();
  const TDateTime start = Now();
  int error = 0;
  for (int i = 0; i < kAnswerFileAttempts; ++i) {
    TDateTime at(start.Value + i / (24.0 * 60 * 60 * 1000));
    std::string name = folder + "~Taviro_" + FormatDateTime("yyyymmddhhnnsszzz", at) + ".tmp";
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    error = errno;
    if (error != EEXIST) break;
  }
  throw EFOpenError(
      Format("Cannot create file \"%s~Taviro_*.tmp\". %s", folder, std::strerror(error)));
}

// The file's lines, each ended with CR LF; a line ends at CR LF, LF or CR.
std::string ReadLines(const std::string& file_name) {
  int fd = ::open(file_name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", file_name, std::strerror(errno)));
  std::string text;
  char buf[65536];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      throw EFOpenError(Format("Cannot read file \"%s\". %s", file_name, std::strerror(error)));
    }
    text.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  std::string result;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    result.append(text, start, end - start).append("\r\n");
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return result;
}

}  // namespace

void SetWebServiceTracePause(WebServiceTracePause pause) {
  std::lock_guard<std::mutex> lock(HookMutex());
  Hook() = std::move(pause);
}

bool IsWebServiceTraceRequested(const std::vector<std::string>& arguments) {
  return !arguments.empty() && UpperCase(arguments.back()) == "T";
}

std::string CallWebService(const std::string& address, const std::string& method,
                           const std::string& request) {
  CallWebServiceFx call = EntryPoint();

  if (IsWebServiceTraceRequested(HostArguments())) {
    WebServiceTracePause pause;
    {
      std::lock_guard<std::mutex> lock(HookMutex());
      pause = Hook();
    }
    if (pause) pause(kWebServiceTraceMessage);
  }

  if (call == nullptr) return {};
  std::string answer_file = CreateAnswerFile();
  call(address.c_str(), method.c_str(), request.c_str(), answer_file.c_str());
  std::string result = ReadLines(answer_file);
  std::remove(answer_file.c_str());
  return result;
}

}  // namespace vx
