// SPDX-License-Identifier: MIT
// Which tasks of the plan get a row in the Gantt chart, and in which order: plan order, less
// the subtrees of folded summaries and, with the critical filter on, the non-critical tasks.
#pragma once

#include <cstdint>
#include <vector>

#include "model/plan.h"

namespace nerin {

struct RowModel {
  // Per task index; sized for the plan by ResetFolding and RebuildRows (never smaller than
  // a plan they were given, so an index checked against a plan has an entry).
  std::vector<std::uint8_t> TaskHasChildren;  // the next task in plan order is deeper
  std::vector<std::uint8_t> TaskFolded;       // folded by the user
  std::vector<std::int64_t> TaskRow;          // row of the task, -1 for none
  // Per row: the task index shown there. Valid below RowCount.
  std::vector<std::int64_t> RowTask;
  std::int64_t RowCount = 0;
  bool CriticalFilter = false;
  // The rows whose task has a driving link, in row order. The chart draws the critical path's
  // links from every row, on screen or not: this spares each frame a pass over every task.
  std::vector<std::int64_t> DrivingRows;
};

// Every summary unfolded; TaskHasChildren from the outline levels. After every load.
void ResetFolding(RowModel& rows, const Plan& plan);
void RebuildRows(RowModel& rows, const Plan& plan);
// Unfolds the task's ancestors and, when that is not enough, switches the critical filter
// off; true only when it switched the filter off (the caller then releases the button).
bool RevealTask(RowModel& rows, const Plan& plan, std::int64_t task);
// RevealTask, then unfolds the task itself when it is a folded summary.
bool RevealAndOpenTask(RowModel& rows, const Plan& plan, std::int64_t task);
std::int64_t CountCriticalTasks(const Plan& plan);

}  // namespace nerin
