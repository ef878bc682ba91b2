// vxappserver: the application server daemon. Serves
// "ReportCounterS.dmReportCounter" over the socket connection and runs the
// queued, timed and periodic jobs of its database.
#include <signal.h>

#include <cstdio>
#include <iostream>

#include "platform/automation/class_registry.h"
#include "platform/remote/remote_server.h"
#include "platform/rtl/text.h"
#include "suite/appserver/job_committer.h"
#include "suite/appserver/report_counter.h"
#include "suite/appserver/scheduler.h"

namespace {

using namespace vx;
using namespace vx::appserver;

constexpr const char* kUsage = R"(usage: vxappserver [options]
  --port N       serve on port N (default: SorvendaS.ini [DBPasswordCtrl] ServerPort, 211)
  --bind ADDR    serve on this address (default 127.0.0.1, this computer only)
  --db FILE      the server database (default <ServerPath>/Data/AppServer.db)
  --lib-folder D look for the jobs' libraries in folder D (repeatable; default the
                 [WorkDLLPath] folders of SorvendaS.ini)
  --workers N    jobs run side by side (default 2)
  --lease S      seconds a claimed job stays claimed without renewal (default 30)
  --no-scheduler serve the object only; run no jobs
  --list         print the jobs and exit
  --cancel ID    cancel a job that has not started and exit
  --help         this text
)";

int List(TJobStore& store) {
  for (const TJob& j : store.ListJobs(false)) {
    TCivilDateTime at = InstantToCivil(j.RunAt, j.Zone);
    std::cout << j.JobID << "  " << j.ProgramID << "  " << (j.Periodic ? "periodic" : "single")
              << "  " << j.Status << "  run at " << CivilText(at) << " " << j.Zone << "  "
              << j.UserID << "@" << j.CompanyID;
    if (!j.StatusText.empty()) std::cout << "  " << j.StatusText.substr(0, 200);
    std::cout << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TAppServerConfig config = DefaultConfig();
  TRemoteServerOptions server_options;
  server_options.Port = config.Port;
  TSchedulerOptions scheduler_options;
  bool list = false, scheduler_on = true;
  std::string cancel;
  bool folders_given = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << a << " needs a value\n" << kUsage;
        std::exit(2);
      }
      return argv[++i];
    };
    auto number = [&](int lo, int hi) {
      std::string v = value();
      auto n = TryStrToInt(v);
      if (!n || *n < lo || *n > hi) {
        std::cerr << a << ": " << v << " is not a number in " << lo << ".." << hi << "\n";
        std::exit(2);
      }
      return *n;
    };
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--port") {
      server_options.Port = number(0, 65535);
    } else if (a == "--bind") {
      server_options.BindAddress = value();
    } else if (a == "--db") {
      config.DatabaseFile = value();
    } else if (a == "--lib-folder") {
      if (!folders_given) config.LibraryFolders.clear();
      folders_given = true;
      config.LibraryFolders.push_back(value() + "/");
    } else if (a == "--workers") {
      scheduler_options.Workers = number(1, 64);
    } else if (a == "--lease") {
      scheduler_options.Lease = std::chrono::seconds(number(1, 86400));
    } else if (a == "--no-scheduler") {
      scheduler_on = false;
    } else if (a == "--list") {
      list = true;
    } else if (a == "--cancel") {
      cancel = value();
    } else {
      std::cerr << "unknown option " << a << "\n" << kUsage;
      return 2;
    }
  }
  if (config.DatabaseFile.empty()) {
    std::cerr << "No server database: set ServerPath in the registry file or give --db\n";
    return 2;
  }
  try {
    TJobStore store(config.DatabaseFile);
    if (list) return List(store);
    if (!cancel.empty()) {
      std::string reason = store.CancelJob(cancel, config.Clock());
      if (!reason.empty()) {
        std::cerr << reason << "\n";
        return 1;
      }
      std::cout << "cancelled " << cancel << "\n";
      return 0;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }

  // Signals are taken by sigwait below, never by a worker thread.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  auto committer = std::make_shared<TJobCommitter>(config);
  config.Committer = committer;
  // Objects created for clients use this process's settings.
  ClassRegistry::Instance().Register(kServerClassID,
                                     [config] { return std::make_shared<TReportCounter>(config); });
  server_options.AllowedClasses = {kServerClassID};
  // A direct run answers when its library is done, however long it may take.
  server_options.CallTimeout = config.RunLimit + std::chrono::minutes(1);
  TRemoteServer server(server_options);
  TScheduler scheduler(config, scheduler_options);
  committer->OnCommitted = [&scheduler] { scheduler.Wake(); };
  try {
    server.Start();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    LogServer(config, std::string("Cannot start: ") + e.what());
    return 1;
  }
  if (scheduler_on) scheduler.Start();
  std::string started = "vxappserver serving on " + server_options.BindAddress + ":" +
                        IntToStr(server.Port()) + " with " + config.DatabaseFile + " (" +
                        config.Zone + ")";
  std::cout << started << std::endl;
  LogServer(config, started);
  int sig = 0;
  sigwait(&signals, &sig);
  LogServer(config, "vxappserver stopping (signal " + IntToStr(sig) + ")");
  server.Stop();
  scheduler.Stop();
  return 0;
}
