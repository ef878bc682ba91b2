#pragma once
// The application server's database (SQLite in write-ahead-log mode): jobs
// with their parameter arrays, periodic schedules, runs, saved schemes, user
// rights and the notification outbox. Every change is one short transaction
// committed before the caller is answered, so the daemon and the objects
// created in client processes may share one file.
//
// Threads: a store holds one session; give each thread its own store.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/db/engine.h"
#include "suite/appserver/job_request.h"
#include "suite/appserver/zone_time.h"

namespace vx::appserver {

// Job states as stored.
inline constexpr const char* kQueued = "queued";    // waits for its run time
inline constexpr const char* kRunning = "running";  // claimed by a scheduler
inline constexpr const char* kOnClient = "client";  // a direct run on the client
inline constexpr const char* kDone = "done";
inline constexpr const char* kFailed = "failed";
inline constexpr const char* kCancelled = "cancelled";

struct TJob {
  std::string JobID, ProgramID, Kind, CompanyID, UserID, SystemDB, ServerClass, Client;
  bool Periodic = false;
  int RunMode = 0;
  Variant Params;  // the array exactly as it was accepted
  std::string Status, StatusText, Receivers, Zone;
  TInstant Submitted = 0, RunAt = 0, Started = 0, Ended = 0;
  int Attempts = 0;
  // Periodic jobs: the run due next (civil time in Zone) and its number.
  std::string NextCivil;
  std::int64_t NextNumber = 0;
};

struct TRunRecord {
  std::string JobID;
  std::int64_t Number = 0;
  std::string RunDate, Status, Messages;
  TInstant Started = 0, Ended = 0;
  int Attempt = 0;
};

struct TSchemeRecord {
  std::string Name, Creator, Programme, CreateDate, Fields, Values;
};

struct TRights {
  std::string Tokens = ",Y,Y,YYYYYYYY,,";
  std::string Text2, Text3, LimitText;
  std::vector<std::string> LimitValues;
};

struct TNotification {
  std::string JobID, Channel, Receiver, Name, Address, Text;
};

class TJobStore {
 public:
  // Opens (creating when missing) the database file and its tables.
  explicit TJobStore(const std::string& file_name, int busy_timeout_ms = 10000);
  ~TJobStore();
  TJobStore(const TJobStore&) = delete;
  TJobStore& operator=(const TJobStore&) = delete;
  const std::string& FileName() const { return file_name_; }

  // Stores an accepted job and answers its identifier: the local day
  // "YYYYMMDD" of now followed by the day's sequence number (six digits,
  // more when a day has more jobs). status is kQueued or kOnClient.
  std::string AddJob(const TJobRequest& request, const Variant& params, const std::string& client,
                     const char* status, TInstant now, const std::string& zone);
  // Several jobs in one transaction (one write to the disk for all): each
  // gets its identifier, or the reason it cannot be stored in error.
  struct TNewJob {
    const TJobRequest* Request;
    const Variant* Params;
    std::string Client;
    const char* Status;
    std::string JobID, Error;
  };
  void AddJobs(std::vector<TNewJob>& jobs, TInstant now, const std::string& zone);
  std::optional<TJob> FindJob(const std::string& job_id);
  // Jobs by submission, newest last; all states unless only_open.
  std::vector<TJob> ListJobs(bool only_open, int limit = 1000);

  // Claims the job due first (queued and due, or running with an expired
  // lease) for owner until lease_until; no value when none is due.
  std::optional<TJob> ClaimDue(TInstant now, const std::string& owner, TInstant lease_until);
  // Keeps the claim alive; false when the job is no longer this owner's.
  bool RenewLease(const std::string& job_id, const std::string& owner, TInstant lease_until);
  // Records the end of run number run of a claimed job and, in the same
  // transaction, either queues its next run (next_civil/next_at) or ends
  // the job, writing its notifications. False (nothing changed) when the
  // job is no longer this owner's.
  bool FinishRun(const TJob& job, const std::string& owner, const TRunRecord& run,
                 const std::optional<std::pair<std::string, TInstant>>& next,
                 const std::vector<TNotification>& notices);
  // The direct run: its record (status text of the run) while the job stays
  // on the client.
  void RecordClientRun(const TRunRecord& run);
  // Ends a job that ran on the client with its status text; false for an
  // unknown job or one that is not a direct run still open.
  bool EndClientJob(const std::string& job_id, const std::string& status_text, TInstant when,
                    const std::vector<TNotification>& notices);
  // Cancels a job that has not started (or a periodic job between runs);
  // the reason when refused, else empty.
  std::string CancelJob(const std::string& job_id, TInstant when);
  std::vector<TRunRecord> Runs(const std::string& job_id);

  // Schemes of the scheme dialog, keyed by name, creator and program.
  std::vector<TSchemeRecord> Schemes(const std::string& creator, const std::string& programme);
  std::optional<TSchemeRecord> FindScheme(const std::string& name, const std::string& creator,
                                          const std::string& programme);
  // Empty on success, else the reason.
  std::string SaveScheme(const TSchemeRecord& scheme, bool replace);
  std::string DeleteScheme(const std::string& name, const std::string& creator,
                           const std::string& programme);
  std::string RenameScheme(const std::string& old_name, const std::string& new_name,
                           const std::string& creator, const std::string& programme);
  // Replaces a scheme's record (key from original) with changed.
  std::string UpdateScheme(const TSchemeRecord& original, const TSchemeRecord& changed);

  // The rights of a user for a program ("*" rows apply to every program);
  // full rights when none are stored.
  TRights Rights(const std::string& system_db, const std::string& user, const std::string& program);
  void SetRights(const std::string& system_db, const std::string& user, const std::string& program,
                 const TRights& rights);

  std::vector<TNotification> Notifications(const std::string& job_id);

 private:
  void WriteNotices(const std::vector<TNotification>& notices, TInstant when);
  TJob ReadJob(db::IStatement& q);
  std::string file_name_;
  std::unique_ptr<db::ISession> db_;
};

// The parameter array as stored: MessagePack, written as hexadecimal text.
std::string EncodeParams(const Variant& params);
Variant DecodeParams(const std::string& text);

}  // namespace vx::appserver
