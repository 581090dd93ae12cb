// SPDX-License-Identifier: MIT
// Loads off the window's thread. Each load reads its source into a plan and a message log of
// its own on a thread of its own, so the window keeps drawing and answering meanwhile; the end
// comes back on the window's thread. A load that is stopped, replaced by another or outlived by
// the window is dropped unseen and never waited for.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "model/message_log.h"
#include "model/plan.h"
#include "views/viewer_session_events.h"

namespace nerin {

struct LoadResult {
  std::string Source;
  bool Address = false;
  bool Reference = false;
  std::unique_ptr<Plan> PlanRead;
  MessageLog Log;
  bool Loaded = false;

  // The load got past the checks into its model: loaded, or emptied by a fault found only
  // while reading it. Such a plan takes the shown one's place; otherwise the shown plan stays.
  bool ReachedModel() const;
  // A load that failed before the plan text was read (the source unreadable or empty) says
  // nothing about the shown plan's messages.
  bool TextRead() const;
};

// On the window's thread, the end of a load as the session's event: the plan read goes with it
// when the load reached the model (the session puts it in the shown one's place), the
// attempt's messages always; a reference is handed on whole.
SessionEvent TakeLoadResult(LoadResult& result);

class PlanLoader : public QObject {
 public:
  // `finished` runs on the window's thread at the end of each load not dropped.
  explicit PlanLoader(std::function<void(LoadResult&)> finished, QObject* parent = nullptr);
  ~PlanLoader() override;
  PlanLoader(const PlanLoader&) = delete;
  PlanLoader& operator=(const PlanLoader&) = delete;

  // Starts a load, dropping one under way.
  void Start(const std::string& source, bool address, bool reference);
  // Drops the load under way: its thread ends as soon as it can, and its end is never seen.
  void Stop();
  bool Running() const { return job_ != nullptr; }
  // Bytes read so far by the load under way.
  std::int64_t BytesRead() const;
  // Whether the thread of any load, dropped ones included, has yet to end.
  static bool ThreadsAlive();

 private:
  struct Job;
  void Finish(const std::shared_ptr<Job>& job);

  std::function<void(LoadResult&)> finished_;
  std::shared_ptr<Job> job_;
};

}  // namespace nerin
