// SPDX-License-Identifier: MIT
// Folding and the critical filter as the chart's user drives them: each keeps the view steady
// around the task that was at the top.
#include <algorithm>

#include "views/chart_view.h"
#include "views/plan_access.h"
#include "views/row_model.h"

namespace nerin {

namespace {

// The task at the top row of the view, or -1 when there are no rows.
std::int64_t TopTask(const RowModel& rows, const ChartView& view) {
  const std::int64_t top = ViewRows(view, rows).TopRow();
  return top >= 0 ? rows.RowTask[At(top)] : -1;
}

// The row of the first task from `from` (inclusive) in the direction `step` that has one, or -1.
std::int64_t NearestRow(const RowModel& rows, const Plan& plan, std::int64_t from, std::int64_t step) {
  for (std::int64_t t = from; t >= 0 && t < TaskCountOf(plan); t += step) {
    if (rows.TaskRow[At(t)] >= 0) return rows.TaskRow[At(t)];
  }
  return -1;
}

// Brings the row the anchor led to to the top; the view starts at the top when none does.
void ScrollToAnchorRow(ChartView& view, std::int64_t row) {
  view.ScrollY = row >= 0 ? RowGeometry::Offset(row) : 0;
}

}  // namespace

std::int64_t ChartRowTaskAt(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t y) {
  const std::int64_t row = ViewRows(view, rows).RowAt(y);
  if (row < 0) return -1;
  const std::int64_t task = rows.RowTask[At(row)];
  return task >= 0 && task < TaskCountOf(plan) ? task : -1;
}

bool OnFoldTriangle(const Plan& plan, const RowModel& rows, std::int64_t task, std::int64_t x) {
  if (task < 0 || task >= TaskCountOf(plan) || rows.TaskHasChildren[At(task)] == 0) return false;
  const FoldZone zone = RowGeometry::FoldZoneOf(plan.Tasks[At(task)].OutlineLevel);
  return x >= zone.Left && x <= zone.Right;
}

bool ToggleFoldAt(RowModel& rows, ChartView& view, const Plan& plan, std::int64_t x, std::int64_t y) {
  const std::int64_t task = ChartRowTaskAt(plan, rows, view, y);
  if (!OnFoldTriangle(plan, rows, task, x)) return false;
  rows.TaskFolded[At(task)] = rows.TaskFolded[At(task)] != 0 ? 0 : 1;
  RebuildRows(rows, plan);
  UpdateScrollMetrics(view, plan, rows);
  return true;
}

ViewUpdate SetAllFolded(RowModel& rows, ChartView& view, const Plan& plan, bool fold) {
  const std::int64_t anchor = TopTask(rows, view);
  for (std::size_t i = 0; i < rows.TaskFolded.size(); ++i) {
    rows.TaskFolded[i] = fold && rows.TaskHasChildren[i] != 0 ? 1 : 0;
  }
  RebuildRows(rows, plan);
  // When folding hides the top task, its nearest visible predecessor (normally the folded
  // ancestor) becomes the top row.
  ScrollToAnchorRow(view, anchor >= 0 ? NearestRow(rows, plan, anchor, -1) : -1);
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::DrawNow;
}

void SetCriticalFilter(RowModel& rows, ChartView& view, const Plan& plan, bool on) {
  const std::int64_t anchor = TopTask(rows, view);
  rows.CriticalFilter = on;
  RebuildRows(rows, plan);
  // When the filter hides the top task, the next critical task after it becomes the top row.
  ScrollToAnchorRow(view, anchor >= 0 ? NearestRow(rows, plan, anchor, 1) : -1);
  UpdateScrollMetrics(view, plan, rows);
}

}  // namespace nerin
