// SPDX-License-Identifier: MIT
#include "views/view_keeping.h"

#include <algorithm>
#include <cmath>

#include "views/plan_access.h"

namespace nerin {

namespace {

float LegalDayWidth(float width) {
  return std::isfinite(width) ? std::clamp(width, MIN_DAY_WIDTH, MAX_DAY_WIDTH) : 4.0f;
}

// The timeline's scale at the view's day width (a width that is not a number counts as the
// start value, as a restored view takes it).
TimelineScale ScaleOf(ChartView view, const Plan& plan) {
  view.DayWidth = LegalDayWidth(view.DayWidth);
  view.ScrollX = 0;
  return TimelineScale::Of(view, plan, 0);
}

}  // namespace

KeptView KeepView(const Plan& plan, const ChartView& view, const RowModel& rows, std::int64_t selectedTask) {
  KeptView kept;
  kept.DayWidth = view.DayWidth;
  kept.TaskColumnWidth = view.TaskColumnWidth;
  kept.ScrollX = view.ScrollX;
  kept.ScrollY = view.ScrollY;
  kept.CriticalFilter = rows.CriticalFilter;
  if (plan.TimelineStart > 0) {
    // The day at the left edge as the chart draws it: the same float product as every x.
    const TimelineScale scale = ScaleOf(view, plan);
    const std::int64_t left = std::max<std::int64_t>(view.ScrollX, 0);
    const std::int64_t days = scale.IndexAtOffset(left);
    kept.LeftDay = plan.TimelineStart + days;
    kept.LeftDayPixels = left - scale.Length(days);
  }
  const std::int64_t rowCount = std::clamp<std::int64_t>(rows.RowCount, 0, std::ssize(rows.RowTask));
  const std::int64_t topRow = RowGeometry::RowAtOffset(std::max<std::int64_t>(view.ScrollY, 0));
  if (topRow < rowCount) {
    const std::int64_t task = rows.RowTask[At(topRow)];
    if (IsTask(plan, task)) {
      kept.TopTaskUID = plan.Tasks[At(task)].UID;
      kept.TopRowPixels = std::max<std::int64_t>(view.ScrollY, 0) - RowGeometry::Offset(topRow);
    }
  }
  const std::int64_t tasks = std::min<std::int64_t>(TaskCountOf(plan), std::ssize(rows.TaskFolded));
  for (std::int64_t task = 0; task < tasks; ++task) {
    if (rows.TaskFolded[At(task)] != 0) kept.FoldedUIDs.push_back(plan.Tasks[At(task)].UID);
  }
  if (IsTask(plan, selectedTask)) kept.SelectedUID = plan.Tasks[At(selectedTask)].UID;
  return kept;
}

std::int64_t RestoreView(const KeptView& kept, const Plan& plan, ChartView& view, RowModel& rows) {
  view.DayWidth = LegalDayWidth(kept.DayWidth);
  view.TaskColumnWidth = std::clamp(kept.TaskColumnWidth, MIN_TASK_COLUMN_WIDTH, MAX_TASK_COLUMN_WIDTH);

  ResetFolding(rows, plan);
  for (const std::int64_t uid : kept.FoldedUIDs) {
    const std::int64_t task = TaskIndex(plan, uid);
    // Only a task that still has subtasks can stay folded: a folded leaf would hide nothing
    // but could never be opened again.
    if (IsTask(plan, task) && At(task) < rows.TaskHasChildren.size() && rows.TaskHasChildren[At(task)] != 0) {
      rows.TaskFolded[At(task)] = 1;
    }
  }
  rows.CriticalFilter = kept.CriticalFilter && CountCriticalTasks(plan) > 0;
  RebuildRows(rows, plan);

  if (kept.LeftDay > 0 && plan.TimelineStart > 0) {
    // The kept day's left edge where the chart draws it, then the pixels into it.
    view.ScrollX = std::max<std::int64_t>(0, ScaleOf(view, plan).Offset(kept.LeftDay) + kept.LeftDayPixels);
  } else {
    view.ScrollX = std::max<std::int64_t>(kept.ScrollX, 0);
  }
  const std::int64_t topTask = TaskIndex(plan, kept.TopTaskUID);
  const std::int64_t topRow = IsTask(plan, topTask) ? rows.TaskRow[At(topTask)] : -1;
  view.ScrollY = topRow >= 0 ? RowGeometry::Offset(topRow) +
                                   std::clamp<std::int64_t>(kept.TopRowPixels, 0, RowGeometry::Offset(1) - 1)
                             : std::max<std::int64_t>(kept.ScrollY, 0);
  UpdateScrollMetrics(view, plan, rows);

  const std::int64_t selected = TaskIndex(plan, kept.SelectedUID);
  return IsTask(plan, selected) ? selected : -1;
}

}  // namespace nerin
