// SPDX-License-Identifier: MIT
// What every fuzz target asks of the model after a load, whatever the file format: the result
// agrees with the messages, a rejected file leaves the previous plan, and every count and index
// stays in its bounds. A failed check stops the process, so the fuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {

inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "load left an inconsistent model: %s\n", what);
    std::abort();
  }
}

inline void CheckModel(const Plan& plan, const MessageLog& log, bool loaded, bool wasLoaded) {
  Require(loaded == (CountMessages(log, MessageLevel::Error) == 0), "result disagrees with the errors");
  // A rejected file leaves the previous plan; one that fails late empties the model.
  Require(loaded ? plan.ProjectLoaded : (!plan.ProjectLoaded || wasLoaded), "ProjectLoaded");
  Require(loaded == plan.MessagesMatchPlan, "MessagesMatchPlan");
  Require(std::ssize(plan.TaskUidMap) == plan.TaskCount(), "one UID a task");
  Require(std::ssize(plan.ResourceUidMap) == plan.ResourceCount(), "one UID a resource");
  for (std::int64_t t = 0; t < plan.TaskCount(); ++t) {
    const Task& task = plan.Tasks[static_cast<std::size_t>(t)];
    Require(TaskIndex(plan, task.UID) == t, "task index");
    Require(task.Phase >= 0 && task.Phase < PHASE_COUNT, "phase");
    Require(task.OutlineLevel >= 1, "outline level");
    for (std::int64_t l = 0; l < task.LinkCount(); ++l) {
      const TaskLink& link = task.Links[static_cast<std::size_t>(l)];
      Require(link.PredecessorIndex >= -1 && link.PredecessorIndex < plan.TaskCount(), "predecessor index");
      Require(LinkTypeCode(link.Type) >= 0 && LinkTypeCode(link.Type) <= 3, "link type");
    }
  }
  for (std::int64_t r = 0; r < plan.ResourceCount(); ++r) {
    Require(ResourceIndex(plan, plan.Resources[static_cast<std::size_t>(r)].UID) == r, "resource index");
  }
}

}  // namespace nerin
