#pragma once
// Group commit of submissions in the daemon: the objects of all connections
// hand their accepted jobs to one writer, which stores whatever has gathered
// in one transaction, so that one write to the disk answers many clients.
// Each caller still gets its answer only after its job was committed.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "suite/appserver/app_config.h"
#include "suite/appserver/job_store.h"

namespace vx::appserver {

class TJobCommitter {
 public:
  explicit TJobCommitter(TAppServerConfig config);
  ~TJobCommitter();  // stores what was handed over, then stops
  TJobCommitter(const TJobCommitter&) = delete;
  TJobCommitter& operator=(const TJobCommitter&) = delete;

  // Stores the job; its identifier once committed. Raises EConvertError with
  // the reason when it cannot be stored.
  std::string Add(const TJobRequest& request, const Variant& params, const std::string& client,
                  const char* status);
  // Called after each commit (the scheduler wakes up).
  std::function<void()> OnCommitted;

 private:
  struct Item {
    TJobStore::TNewJob Job;
    bool Done = false;
  };
  void Writer();

  TAppServerConfig config_;
  std::mutex mutex_;
  std::condition_variable work_, done_;
  std::deque<Item*> pending_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace vx::appserver
