// Durability against a daemon killed with SIGKILL: jobs accepted are there
// afterwards, and a job whose run was cut off runs again after a restart,
// ending exactly once.
#include <gmock/gmock.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/remote/remote_channel.h"
#include "tests/suite/appserver/appserver_fixture.h"

extern char** environ;

namespace vx::appserver::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

// vxappserver in a process of its own on a free port.
class Daemon {
 public:
  Daemon(const std::string& db, std::vector<std::string> extra) {
    std::vector<std::string> args = {VX_APPSERVER_EXE,   "--db",    db,
                                     "--port",           "0",       "--lib-folder",
                                     VX_FAKE_JOB_FOLDER, "--lease", "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    // "vxappserver serving on 127.0.0.1:<port> ..."
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
      line += c;
    ::close(out[0]);
    std::size_t colon = line.find(':');
    port_ = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    EXPECT_GT(port_, 0) << line;
  }
  ~Daemon() { Kill(); }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  DispatchPtr Object() {
    channel_ = TRemoteChannel::Connect("127.0.0.1", port_);
    return channel_->CreateObject(kServerClassID);
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::shared_ptr<TRemoteChannel> channel_;
};

template <class Pred>
bool WaitFor(Pred pred, std::chrono::seconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return pred();
}

TEST_F(AppServerTest, JobsAcceptedBeforeTheDaemonIsKilledAreKept) {
  std::vector<std::string> ids;
  {
    Daemon daemon(config.DatabaseFile, {"--no-scheduler"});
    Variant server(daemon.Object());
    for (int i = 0; i < 20; ++i)
      ids.push_back(VarToStr(Call(server, "Request", {VarAnsiToWideCP(BatchParams(), 936)})));
    daemon.Kill();  // right after the last answer
  }
  TJobStore store(config.DatabaseFile);
  std::vector<std::string> stored;
  for (const TJob& job : store.ListJobs(false)) {
    stored.push_back(job.JobID);
    EXPECT_EQ(job.Status, kQueued);
  }
  EXPECT_EQ(stored, ids);
}

TEST_F(AppServerTest, AJobCutOffByAKilledDaemonRunsAgainAndEndsOnce) {
  std::string id;
  {
    Daemon daemon(config.DatabaseFile, {"--workers", "1"});
    Variant server(daemon.Object());
    id = VarToStr(Call(server, "Request", {BatchParams("sleep:1500")}));
    ASSERT_NE(id, "ERROR");
    ASSERT_TRUE(WaitFor([&] { return JobLog().size() == 1; }, 20s));
    daemon.Kill();  // in the middle of the run: its job host goes with it
  }
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(JobLog().size(), 1u);  // the cut-off run did not finish on its own
  EXPECT_EQ(TJobStore(config.DatabaseFile).FindJob(id)->Status, kRunning);
  {
    Daemon daemon(config.DatabaseFile, {"--workers", "1"});
    ASSERT_TRUE(
        WaitFor([&] { return TJobStore(config.DatabaseFile).FindJob(id)->Status == kDone; }, 30s));
    std::this_thread::sleep_for(1s);  // time for a wrong second run to show
  }
  std::string run = id + " " + id.substr(0, 8) + "0001";
  EXPECT_THAT(JobLog(),
              ElementsAre("start " + run + " sleep:1500 20260301 N 20260327",
                          "start " + run + " sleep:1500 20260301 N 20260327", "end " + run));
  TJobStore store(config.DatabaseFile);
  auto runs = store.Runs(id);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Status, kDone);
  EXPECT_EQ(runs[0].Attempt, 2);
}

// The administration commands work on the database directly.
TEST_F(AppServerTest, TheDaemonListsAndCancelsJobs) {
  std::string queued, done;
  {
    auto server = NewServer();
    queued = VarToStr(
        CallServer(*server, "Request", {BatchParams("ok", 2, Variant(TDateTime(46200.0)))}));
    done = VarToStr(CallServer(*server, "Request1", {BatchParams(), "PC-7"}));
  }
  auto run = [&](const std::string& args, int& code) {
    std::string command =
        std::string(VX_APPSERVER_EXE) + " --db " + config.DatabaseFile + " " + args + " 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
      output += buffer;
    code = pipe ? WEXITSTATUS(::pclose(pipe)) : -1;
    return output;
  };
  int code = 0;
  std::string list = run("--list", code);
  EXPECT_EQ(code, 0);
  EXPECT_THAT(list, ::testing::HasSubstr(queued + "  STKB17  single  queued"));
  EXPECT_THAT(list, ::testing::HasSubstr(done + "  STKB17  single  client"));
  EXPECT_THAT(run("--cancel " + queued, code), ::testing::HasSubstr("cancelled " + queued));
  EXPECT_EQ(code, 0);
  EXPECT_THAT(run("--cancel " + done, code), ::testing::HasSubstr("cannot be cancelled"));
  EXPECT_EQ(code, 1);
  EXPECT_EQ(TJobStore(config.DatabaseFile).FindJob(queued)->Status, kCancelled);
  EXPECT_THAT(run("--frobnicate", code), ::testing::HasSubstr("usage: vxappserver"));
  EXPECT_EQ(code, 2);
}

}  // namespace
}  // namespace vx::appserver::test
