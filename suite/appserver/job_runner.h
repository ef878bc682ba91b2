#pragma once
// Runs a job's server library ("<ProgramID>S.DLL", export
// "GetSvrController") in a child process of its own, the job host: a time
// limit can then really end a run that hangs, and a library that crashes
// takes only its run with it, never the server.
#include <chrono>
#include <string>
#include <vector>

#include "platform/automation/variant.h"

namespace vx::appserver {

// The job host's exit codes.
enum TJobHostExit : int {
  kHostOk = 0,
  kHostBadInput = 2,
  kHostNoLibrary = 3,
  kHostNoExport = 4,
  kHostRaised = 5,
};

// Most bytes of messages taken from one run.
inline constexpr std::size_t kMaxRunMessages = 1u << 20;

struct TLibraryRun {
  bool Ok = false;
  std::string Messages;  // the library's messages, or why the run failed
};

// The library file for program_id in the first folder that has one; empty
// when none has.
std::string FindServerLibrary(const std::vector<std::string>& folders,
                              const std::string& program_id);

// The job's argument array as the library's controller takes it: batch
// kind "B": [JobID, CompanyID, UserID, Values, SystemDB, SubID, ProductID];
// other kinds the twelve elements of the general contract.
struct TJobCall {
  std::string JobID, ProgramID, P3, CompanyID, UserID, ServerClass, ProgramKind, SystemDB;
  Variant Values;
  int P10 = 1;
  std::string SubID;
  int ProductID = 0;
};
Variant JobArguments(const TJobCall& call);

// Runs the library through the job host executable host; a run longer
// than limit is ended and fails.
TLibraryRun RunServerLibrary(const std::string& host, const std::string& library,
                             const Variant& args, std::chrono::milliseconds limit);

// The job host installed beside this library ("vxjobhost").
std::string DefaultJobHost();

}  // namespace vx::appserver
