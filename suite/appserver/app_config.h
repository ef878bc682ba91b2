#pragma once
// Where the application server keeps its database and finds the jobs'
// libraries, read from the server configuration (registry value
// "ServerPath", "SorvendaS.ini"):
//   database     <ServerPath>/Data/AppServer.db, or VX_APPSERVER_DB
//   libraries    the [WorkDLLPath] folders (default <ServerPath>/S_PKG/)
//   port         [DBPasswordCtrl] ServerPort (211)
//   time zone    the process's zone (TZ), or VX_APPSERVER_ZONE
//   time limit   of one run, VX_APPSERVER_RUN_LIMIT seconds (3600)
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "suite/appserver/zone_time.h"

namespace vx::appserver {

inline constexpr const char* kServerClassID = "ReportCounterS.dmReportCounter";

class TJobCommitter;

// The moment the server takes for "now"; tests put a simulated clock here.
using TClock = std::function<TInstant()>;
TInstant SystemNow();

struct TAppServerConfig {
  std::string DatabaseFile;
  std::vector<std::string> LibraryFolders;
  std::string JobHost;  // the job host executable
  std::string Zone;
  std::chrono::milliseconds RunLimit{std::chrono::hours(1)};
  int Port = 211;
  std::string InstallFolder;  // for the alert log; empty: beside the program
  TClock Clock = SystemNow;
  // In the daemon: the writer that stores submissions in groups; without
  // one each object stores its own.
  std::shared_ptr<TJobCommitter> Committer;
};

TAppServerConfig DefaultConfig();

// Appends a line to the server's alert log ("Alert_AppServer_<day>.log").
void LogServer(const TAppServerConfig& config, const std::string& text);

}  // namespace vx::appserver
