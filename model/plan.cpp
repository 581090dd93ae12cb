// SPDX-License-Identifier: MIT
#include "model/plan.h"

namespace nerin {

std::int64_t TaskIndex(const Plan& plan, std::int64_t uid) {
  // UID 0 is a task of its own in plans whose tool numbers from 0.
  if (uid < 0) return -1;
  const auto found = plan.TaskUidMap.find(uid);
  return found == plan.TaskUidMap.end() ? -1 : found->second;
}

std::int64_t ResourceIndex(const Plan& plan, std::int64_t uid) {
  if (uid < 1) return -1;
  const auto found = plan.ResourceUidMap.find(uid);
  return found == plan.ResourceUidMap.end() ? -1 : found->second;
}

std::int64_t TaskSlip(const Plan& plan, std::int64_t taskIndex) {
  if (taskIndex < 0 || taskIndex >= plan.TaskCount()) return 0;
  const Task& task = plan.Tasks[static_cast<std::size_t>(taskIndex)];
  if (task.Finish < 1 || task.BaselineFinish < 1) return 0;
  return task.Finish - task.BaselineFinish;
}

std::int64_t TotalLinkCount(const Plan& plan) {
  std::int64_t total = 0;
  for (const Task& task : plan.Tasks) total += task.LinkCount();
  return total;
}

}  // namespace nerin
