#include "suite/appserver/scheduler.h"

#include <unistd.h>

#include "lib/codepage.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"
#include "suite/appserver/job_runner.h"
#include "suite/appserver/notify.h"

namespace vx::appserver {

std::optional<TPeriodicRun> NextPeriodicRun(const TSchedule& schedule, const TPeriodicRun& run,
                                            TInstant now, const std::string& zone) {
  if (schedule.Cycle.Kind != TCycleKind::Hourly) {
    auto next = NextRunAfter(schedule, {run.Civil, run.Number}, InstantToCivil(now, zone));
    if (!next) return std::nullopt;
    return TPeriodicRun{next->At, CivilToInstant(next->At, zone), next->Number};
  }
  // Elapsed hours: the rules step through UTC, where no hour repeats or is
  // missing; the end date is a day of the job's own zone.
  TSchedule utc = schedule;
  if (utc.Range == TRangeKind::EndDate) utc.Range = TRangeKind::Endless;
  auto next =
      NextRunAfter(utc, {InstantToCivil(run.At, "UTC"), run.Number}, InstantToCivil(now, "UTC"));
  if (!next) return std::nullopt;
  TInstant at = CivilToInstant(next->At, "UTC");
  TCivilDateTime local = InstantToCivil(at, zone);
  if (schedule.Range == TRangeKind::EndDate && CivilDate8(local) > schedule.End)
    return std::nullopt;
  return TPeriodicRun{local, at, next->Number};
}

TScheduler::TScheduler(TAppServerConfig config, TSchedulerOptions options)
    : config_(std::move(config)), options_(options) {
  owner_ = GetLocalComputerName() + ":" + IntToStr(::getpid()) + ":" + IntToStr(SystemNow());
}

TScheduler::~TScheduler() {
  Stop();
}

int TScheduler::RunDue() {
  TJobStore store(config_.DatabaseFile);
  int count = 0;
  while (RunOne(store))
    ++count;
  return count;
}

namespace {

// Renews a claim while its run goes on, with a session of its own.
class TLeaseKeeper {
 public:
  TLeaseKeeper(const TAppServerConfig& config, const TJob& job, const std::string& owner,
               std::chrono::seconds lease)
      : thread_([this, &config, job_id = job.JobID, owner, lease] {
          TJobStore store(config.DatabaseFile);
          std::unique_lock lock(mutex_);
          while (!wake_.wait_for(lock, lease / 3, [this] { return done_; }))
            store.RenewLease(job_id, owner, config.Clock() + lease.count());
        }) {}
  ~TLeaseKeeper() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace

bool TScheduler::RunOne(TJobStore& store) {
  TInstant now = config_.Clock();
  auto claimed = store.ClaimDue(now, owner_, now + options_.Lease.count());
  if (!claimed) return false;
  const TJob& job = *claimed;
  TPeriodicRun due{InstantToCivil(job.RunAt, job.Zone), job.RunAt, 1};
  std::optional<TSchedule> schedule;
  if (job.Periodic) {
    schedule = ParseSchedule(job.Params[3]);
    due.Number = job.NextNumber;
    ParseCivilText(job.NextCivil, due.Civil);
  }
  TRunRecord run{job.JobID, due.Number, CivilDate8(due.Civil), kFailed, "", now, 0, job.Attempts};
  TLibraryRun outcome;
  if (job.Attempts > kMaxAttempts) {
    outcome.Messages = Format("Given up after %d attempts", kMaxAttempts);
  } else if (job.Periodic && !schedule) {
    outcome.Messages = "The job's schedule cannot be read";
  } else {
    Variant values =
        job.Periodic ? ApplyDateShifts(ShiftArguments(job.Params), run.RunDate) : job.Params[2];
    std::string library = FindServerLibrary(config_.LibraryFolders, job.ProgramID);
    if (!values.IsArray()) {
      outcome.Messages = "The date parameters cannot be shifted to " + run.RunDate;
    } else if (library.empty()) {
      outcome.Messages = "The job's library " + job.ProgramID + "S.DLL is not installed";
    } else {
      TJobCall call{job.JobID,
                    job.ProgramID,
                    "",
                    job.CompanyID,
                    job.UserID,
                    job.ServerClass,
                    job.Kind,
                    job.SystemDB,
                    VarWideToAnsiCP(values, 936),
                    1,
                    job.JobID.substr(0, 8) + Format("%04lld", static_cast<long long>(due.Number)),
                    0};
      TLeaseKeeper keeper(config_, job, owner_, options_.Lease);
      outcome = RunServerLibrary(config_.JobHost, library, JobArguments(call), config_.RunLimit);
    }
  }
  run.Status = outcome.Ok ? kDone : kFailed;
  run.Messages = outcome.Messages;
  run.Ended = config_.Clock();
  std::optional<std::pair<std::string, TInstant>> next;
  if (schedule && job.Attempts <= kMaxAttempts) {
    try {
      if (auto n = NextPeriodicRun(*schedule, due, run.Ended, job.Zone))
        next = std::make_pair(CivilText(n->Civil), n->At);
    } catch (const std::exception& e) {
      // A job whose next run cannot be placed ends rather than failing forever.
      run.Messages += std::string(run.Messages.empty() ? "" : "\n") + e.what();
    }
  }
  // Every run of a periodic job brings new figures, so each one is told.
  std::vector<TNotification> notices = BuildNotifications(job, run.Status, run.Messages);
  if (!store.FinishRun(job, owner_, run, next, notices))
    LogServer(config_, "Job " + job.JobID + " was taken over by another scheduler during its run");
  else if (!outcome.Ok)
    LogServer(config_,
              "Job " + job.JobID + " run " + IntToStr(due.Number) + ": " + outcome.Messages);
  return true;
}

void TScheduler::Worker() {
  std::unique_ptr<TJobStore> store;
  while (!stop_) {
    bool ran = false;
    try {
      if (!store) store = std::make_unique<TJobStore>(config_.DatabaseFile);
      ran = RunOne(*store);
    } catch (const std::exception& e) {
      LogServer(config_, std::string("Scheduler: ") + e.what());
      store.reset();
    }
    if (ran) continue;
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, options_.Poll, [this] { return stop_.load(); });
  }
}

void TScheduler::Start() {
  stop_ = false;
  for (int i = 0; i < std::max(1, options_.Workers); ++i)
    threads_.emplace_back([this] { Worker(); });
}

void TScheduler::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_)
    t.join();
  threads_.clear();
}

void TScheduler::Wake() {
  wake_.notify_all();
}

}  // namespace vx::appserver
