#pragma once
// The daemon's scheduler: claims the jobs that are due from the database
// and runs them through the job host. Queued jobs run at once, timed jobs
// at their time, periodic jobs at each scheduled run: the schedule rules of
// lib/schedule.h give the civil time of every run, mapped to an instant
// with the job's time zone; each run's date parameters are shifted from
// that run's date.
//
// At least once: a claim is a lease the running scheduler renews; a job
// whose lease ran out (its daemon was killed) is claimed again and run
// again. A run's end, the next run of a periodic job and the notifications
// are committed in one transaction, so a finished run is never repeated.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "suite/appserver/app_config.h"
#include "suite/appserver/job_store.h"

namespace vx::appserver {

// A job reclaimed this many times without finishing is given up.
inline constexpr int kMaxAttempts = 5;

struct TSchedulerOptions {
  std::chrono::seconds Lease{30};
  std::chrono::milliseconds Poll{500};
  int Workers = 2;
};

struct TPeriodicRun {
  TCivilDateTime Civil;  // in the job's zone
  TInstant At = 0;
  std::int64_t Number = 0;
};

// The run after run (which was due) of a periodic job, later than now (runs
// missed meanwhile count as done); no value when its range is over. Hourly
// cycles count elapsed hours, so a daylight-saving change neither adds nor
// drops a run; the others keep their civil time of day in the job's zone.
std::optional<TPeriodicRun> NextPeriodicRun(const TSchedule& schedule, const TPeriodicRun& run,
                                            TInstant now, const std::string& zone);

class TScheduler {
 public:
  TScheduler(TAppServerConfig config, TSchedulerOptions options = {});
  ~TScheduler();  // Stop()

  // Claims and runs, one after the other on this thread, every job due at
  // the clock's now; the number of runs.
  int RunDue();
  void Start();
  void Stop();
  // Wakes the workers (a job was submitted).
  void Wake();
  const std::string& Owner() const { return owner_; }

 private:
  bool RunOne(TJobStore& store);
  void Worker();

  TAppServerConfig config_;
  TSchedulerOptions options_;
  std::string owner_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> stop_{false};
};

}  // namespace vx::appserver
