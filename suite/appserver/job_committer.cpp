#include "suite/appserver/job_committer.h"

namespace vx::appserver {

namespace {
// Most jobs stored in one transaction.
constexpr std::size_t kMaxBatch = 512;
}  // namespace

TJobCommitter::TJobCommitter(TAppServerConfig config)
    : config_(std::move(config)), thread_([this] { Writer(); }) {}

TJobCommitter::~TJobCommitter() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  work_.notify_all();
  thread_.join();
}

std::string TJobCommitter::Add(const TJobRequest& request, const Variant& params,
                               const std::string& client, const char* status) {
  Item item{{&request, &params, client, status, {}, {}}};
  std::unique_lock lock(mutex_);
  if (stop_) throw EConvertError("The application server is stopping");
  pending_.push_back(&item);
  work_.notify_one();
  done_.wait(lock, [&] { return item.Done; });
  if (!item.Job.Error.empty()) throw EConvertError(item.Job.Error);
  return item.Job.JobID;
}

void TJobCommitter::Writer() {
  std::unique_ptr<TJobStore> store;
  std::unique_lock lock(mutex_);
  for (;;) {
    work_.wait(lock, [&] { return stop_ || !pending_.empty(); });
    if (pending_.empty()) return;  // stopping with nothing left
    std::vector<Item*> batch;
    while (!pending_.empty() && batch.size() < kMaxBatch) {
      batch.push_back(pending_.front());
      pending_.pop_front();
    }
    lock.unlock();
    std::vector<TJobStore::TNewJob> jobs;
    for (Item* item : batch)
      jobs.push_back(item->Job);
    try {
      if (!store) store = std::make_unique<TJobStore>(config_.DatabaseFile);
      store->AddJobs(jobs, config_.Clock(), config_.Zone);
    } catch (const std::exception& e) {
      store.reset();
      for (TJobStore::TNewJob& job : jobs) {
        job.JobID.clear();
        job.Error = std::string("The job cannot be stored: ") + e.what();
      }
    }
    lock.lock();
    for (std::size_t i = 0; i < batch.size(); ++i) {
      batch[i]->Job = jobs[i];
      batch[i]->Done = true;
    }
    done_.notify_all();
    if (OnCommitted) OnCommitted();
  }
}

}  // namespace vx::appserver
