// SPDX-License-Identifier: MIT
#include "app/plan_loader.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

#include "sources/plan_source.h"
#include "model/message_log.h"

namespace nerin {

namespace {

// Counted before a thread starts and when it has let go of everything. Trivially destructible,
// so that the count outlives the end of the program.
std::atomic<int> threadsAlive{0};

struct ThreadEnd {
  ~ThreadEnd() { --threadsAlive; }
};

}  // namespace

// What the thread and the window share. The window lets go of a job when it drops it; the
// thread holds it until it ends, so a dropped job's thread never touches a window that is gone.
struct PlanLoader::Job {
  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> bytes{0};
  std::mutex mutex;
  PlanLoader* owner = nullptr;  // under `mutex`; null once dropped
  LoadResult result;
};

bool LoadResult::ReachedModel() const {
  return Loaded || (PlanRead != nullptr && !PlanRead->LoadReport.empty());
}

bool LoadResult::TextRead() const {
  // The loader marks a plan's messages as not its own before it reads the text.
  return PlanRead == nullptr || !PlanRead->MessagesMatchPlan || Loaded;
}

PlanLoader::PlanLoader(std::function<void(LoadResult&)> finished, QObject* parent)
    : QObject(parent), finished_(std::move(finished)) {}

PlanLoader::~PlanLoader() {
  Stop();
}

void PlanLoader::Start(const std::string& source, bool address, bool reference) {
  Stop();
  auto job = std::make_shared<Job>();
  job->owner = this;
  job->result.Source = source;
  job->result.Address = address;
  job->result.Reference = reference;
  job_ = job;
  ++threadsAlive;
  std::thread([held = std::move(job)]() mutable {
    const ThreadEnd end;
    const std::shared_ptr<Job> job = std::move(held);
    // The plan's records are made at full capacity here too, not on the window's thread.
    auto plan = std::make_unique<Plan>();
    MessageLog log;
    plan->MessagesMatchPlan = true;
    FetchOptions options;
    options.stop = &job->stop;
    options.progress = [&job = *job](std::int64_t bytes) { job.bytes = bytes; };
    const bool loaded = job->stop ? false : ReadPlanSource(*plan, log, job->result.Source, job->result.Address, options);
    const std::lock_guard<std::mutex> lock(job->mutex);
    if (job->owner == nullptr) return;
    job->result.PlanRead = std::move(plan);
    job->result.Log = std::move(log);
    job->result.Loaded = loaded;
    // Delivered on the window's thread; dropped there if the loader is gone by then.
    QMetaObject::invokeMethod(job->owner, [owner = job->owner, job] { owner->Finish(job); }, Qt::QueuedConnection);
  }).detach();
}

void PlanLoader::Stop() {
  if (!job_) return;
  job_->stop = true;
  {
    const std::lock_guard<std::mutex> lock(job_->mutex);
    job_->owner = nullptr;
  }
  job_.reset();
}

bool PlanLoader::ThreadsAlive() {
  return threadsAlive.load() > 0;
}

std::int64_t PlanLoader::BytesRead() const {
  return job_ ? job_->bytes.load() : 0;
}

void PlanLoader::Finish(const std::shared_ptr<Job>& job) {
  if (job != job_) return;
  job_.reset();
  if (finished_) finished_(job->result);
}

SessionEvent TakeLoadResult(LoadResult& result) {
  if (result.Reference) {
    std::shared_ptr<const Plan> reference;
    if (result.Loaded) reference = std::move(result.PlanRead);
    result.PlanRead.reset();
    return CompareFinishedEvent{result.Source, std::move(reference), MessageListText(result.Log)};
  }
  OpenFinishedEvent finished;
  finished.Source = result.Source;
  finished.Loaded = result.Loaded;
  finished.TextRead = result.TextRead();
  if (result.ReachedModel()) finished.PlanRead = std::move(result.PlanRead);
  result.PlanRead.reset();
  finished.Log = std::make_shared<const MessageLog>(std::move(result.Log));
  return finished;
}

}  // namespace nerin
