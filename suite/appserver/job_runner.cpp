#include "suite/appserver/job_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/os/dynlib.h"
#include "platform/remote/variant_codec.h"
#include "platform/rtl/text.h"

extern char** environ;

namespace vx::appserver {
namespace {

// A file removed when it goes out of scope.
struct TempFile {
  std::string Name;
  ~TempFile() {
    if (!Name.empty()) ::unlink(Name.c_str());
  }
};

std::string WriteArguments(const Variant& args, TempFile& file) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vxjob-XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return "Cannot create a file for the job's arguments";
  file.Name = pattern;
  std::string bytes = EncodeVariant(args);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return done == bytes.size() ? std::string() : "Cannot write the job's arguments";
}

}  // namespace

std::string FindServerLibrary(const std::vector<std::string>& folders,
                              const std::string& program_id) {
  std::string name = program_id + "S.DLL";
  for (const std::string& folder : folders) {
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) continue;
    for (const std::string& candidate : LibraryFileCandidates(name))
      for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && SameText(entry.path().filename().string(), candidate))
          return entry.path().string();
  }
  return {};
}

Variant JobArguments(const TJobCall& c) {
  if (SameText(c.ProgramKind, "B"))
    return VarArrayOf(
        {c.JobID, c.CompanyID, c.UserID, c.Values, c.SystemDB, c.SubID, std::int32_t{c.ProductID}});
  return VarArrayOf({c.JobID, c.P3, c.CompanyID, c.UserID, c.SystemDB, c.Values,
                     std::int32_t{c.P10}, UpperCase(c.ProgramKind), c.SubID,
                     std::int32_t{c.ProductID}, std::int32_t{1}, "936"});
}

TLibraryRun RunServerLibrary(const std::string& host, const std::string& library,
                             const Variant& args, std::chrono::milliseconds limit) {
  TLibraryRun run;
  TempFile file;
  if (std::string error = WriteArguments(args, file); !error.empty()) {
    run.Messages = error;
    return run;
  }
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    run.Messages = "Cannot start the job host";
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::string parent = IntToStr(::getpid());
  std::vector<char*> argv = {const_cast<char*>(host.c_str()), const_cast<char*>(library.c_str()),
                             file.Name.data(), parent.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawn(&pid, host.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    run.Messages = "Cannot start the job host " + host;
    return run;
  }
  auto deadline = std::chrono::steady_clock::now() + limit;
  bool timed_out = false;
  char buffer[4096];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      break;
    }
    pollfd p{out[0], POLLIN, 0};
    int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    std::size_t room = kMaxRunMessages - std::min(kMaxRunMessages, run.Messages.size());
    run.Messages.append(buffer, std::min(room, static_cast<std::size_t>(n)));
  }
  ::close(out[0]);
  if (timed_out) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timed_out) {
    run.Messages = Format("The job's library ran longer than %d seconds and was stopped",
                          static_cast<int>(limit.count() / 1000));
  } else if (!WIFEXITED(status)) {
    run.Messages = "The job's library ended abnormally (signal " +
                   IntToStr(WIFSIGNALED(status) ? WTERMSIG(status) : 0) + ")";
  } else {
    switch (WEXITSTATUS(status)) {
      case kHostOk:
        run.Ok = true;
        break;
      case kHostNoLibrary:
        run.Messages = "The job's library cannot be loaded: " + run.Messages;
        break;
      case kHostNoExport:
        run.Messages = "The job's library has no GetSvrController";
        break;
      case kHostRaised:
        break;
      default:
        run.Messages = "The job host failed: " + run.Messages;
    }
  }
  return run;
}

std::string DefaultJobHost() {
  static const int anchor = 0;
  std::filesystem::path self(GetModuleFileName(&anchor));
  return (self.parent_path() / "vxjobhost").string();
}

}  // namespace vx::appserver
