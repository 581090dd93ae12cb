// SPDX-License-Identifier: MIT
#include "views/row_model.h"

#include <algorithm>

#include "views/plan_access.h"

namespace nerin {

namespace {

// The tasks that can have rows: none while no plan is loaded.
std::int64_t RowTaskCount(const Plan& plan) {
  return plan.ProjectLoaded ? TaskCountOf(plan) : 0;
}

// Every per-task and per-row array holds at least the plan's tasks.
void FitToPlan(RowModel& rows, const Plan& plan) {
  const std::size_t count = plan.Tasks.size();
  if (rows.TaskHasChildren.size() < count) rows.TaskHasChildren.resize(count, 0);
  if (rows.TaskFolded.size() < count) rows.TaskFolded.resize(count, 0);
  if (rows.TaskRow.size() < count) rows.TaskRow.resize(count, -1);
  if (rows.RowTask.size() < count) rows.RowTask.resize(count, -1);
}

}  // namespace

void ResetFolding(RowModel& rows, const Plan& plan) {
  FitToPlan(rows, plan);
  const std::int64_t count = TaskCountOf(plan);
  std::fill(rows.TaskFolded.begin(), rows.TaskFolded.end(), 0);
  std::fill(rows.TaskHasChildren.begin(), rows.TaskHasChildren.end(), 0);
  for (std::int64_t i = 0; i + 1 < count; ++i) {
    rows.TaskHasChildren[At(i)] = plan.Tasks[At(i + 1)].OutlineLevel > plan.Tasks[At(i)].OutlineLevel ? 1 : 0;
  }
}

namespace {

bool HasDrivingLink(const Task& task) {
  return std::any_of(task.Links.begin(), task.Links.end(),
                     [](const TaskLink& link) { return link.Driving != 0; });
}

}  // namespace

void RebuildRows(RowModel& rows, const Plan& plan) {
  FitToPlan(rows, plan);
  const std::int64_t count = RowTaskCount(plan);
  std::int64_t skipLevel = 0;
  std::int64_t row = 0;
  rows.DrivingRows.clear();
  for (std::int64_t j = 0; j < count; ++j) {
    const Task& task = plan.Tasks[At(j)];
    if (skipLevel > 0 && task.OutlineLevel > skipLevel) {
      rows.TaskRow[At(j)] = -1;
      continue;
    }
    skipLevel = rows.TaskFolded[At(j)] != 0 && rows.TaskHasChildren[At(j)] != 0 ? task.OutlineLevel : 0;
    if (!rows.CriticalFilter || task.Critical != 0) {
      rows.RowTask[At(row)] = j;
      rows.TaskRow[At(j)] = row;
      if (HasDrivingLink(task)) rows.DrivingRows.push_back(row);
      ++row;
    } else {
      rows.TaskRow[At(j)] = -1;
    }
  }
  // Tasks past the count keep no row from an earlier, larger plan.
  std::fill(rows.TaskRow.begin() + count, rows.TaskRow.end(), -1);
  rows.RowCount = row;
}

bool RevealTask(RowModel& rows, const Plan& plan, std::int64_t task) {
  // Without a loaded plan no task can get a row, so giving up the filter would not help.
  if (task < 0 || task >= RowTaskCount(plan)) {
    return false;
  }
  std::int64_t held = plan.Tasks[At(task)].OutlineLevel;
  for (std::int64_t i = task - 1; i >= 0; --i) {
    const std::int64_t level = plan.Tasks[At(i)].OutlineLevel;
    if (level < held) {
      rows.TaskFolded[At(i)] = 0;
      held = level;
      if (held < 2) {
        break;
      }
    }
  }
  RebuildRows(rows, plan);
  if (rows.TaskRow[At(task)] < 0 && rows.CriticalFilter) {
    rows.CriticalFilter = false;
    RebuildRows(rows, plan);
    return true;
  }
  return false;
}

bool RevealAndOpenTask(RowModel& rows, const Plan& plan, std::int64_t task) {
  const bool filterSwitchedOff = RevealTask(rows, plan, task);
  if (task >= 0 && task < RowTaskCount(plan) && plan.Tasks[At(task)].Summary != 0 &&
      rows.TaskFolded[At(task)] != 0) {
    rows.TaskFolded[At(task)] = 0;
    RebuildRows(rows, plan);
  }
  return filterSwitchedOff;
}

std::int64_t CountCriticalTasks(const Plan& plan) {
  const std::int64_t count = TaskCountOf(plan);
  return std::count_if(plan.Tasks.begin(), plan.Tasks.begin() + count,
                       [](const Task& task) { return task.Critical != 0; });
}

}  // namespace nerin
