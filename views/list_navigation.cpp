// SPDX-License-Identifier: MIT
#include "views/list_navigation.h"

#include <algorithm>

#include "views/plan_access.h"

namespace nerin {

void FillTaskListRows(TaskListRows& rows, const Plan& plan, bool criticalFilter) {
  // Never smaller than a plan they were filled for, so an index checked against it has an entry.
  if (rows.ListRowTask.size() < plan.Tasks.size()) rows.ListRowTask.resize(plan.Tasks.size(), -1);
  if (rows.TaskListRow.size() < plan.Tasks.size()) rows.TaskListRow.resize(plan.Tasks.size(), -1);
  const std::int64_t capacity =
      std::min({std::ssize(plan.Tasks), std::ssize(rows.ListRowTask), std::ssize(rows.TaskListRow)});
  const std::int64_t count = plan.ProjectLoaded ? std::clamp<std::int64_t>(plan.TaskCount(), 0, capacity) : 0;
  std::fill(rows.TaskListRow.begin(), rows.TaskListRow.end(), -1);
  rows.RowCount = 0;
  for (std::int64_t task = 0; task < count; ++task) {
    if (criticalFilter && plan.Tasks[At(task)].Critical == 0) {
      continue;
    }
    rows.ListRowTask[At(rows.RowCount)] = task;
    rows.TaskListRow[At(task)] = rows.RowCount;
    ++rows.RowCount;
  }
}

void ClearTaskListRows(TaskListRows& rows) {
  std::fill(rows.TaskListRow.begin(), rows.TaskListRow.end(), -1);
  rows.RowCount = 0;
}

std::int64_t ListRowTaskAt(const TaskListRows& rows, std::int64_t row) {
  if (row < 0 || row >= rows.RowCount || row >= std::ssize(rows.ListRowTask)) {
    return -1;
  }
  return rows.ListRowTask[At(row)];
}

std::int64_t TaskListRowOf(const TaskListRows& rows, std::int64_t task) {
  if (task < 0 || task >= std::ssize(rows.TaskListRow)) {
    return -1;
  }
  return rows.TaskListRow[At(task)];
}

std::int64_t ListPageRows(std::int64_t listHeight) {
  return listHeight / LIST_ROW_HEIGHT;
}

std::int64_t ListNavigationTarget(NavigationKey key, std::int64_t current, std::int64_t rows,
                                  std::int64_t page) {
  if (rows <= 0) {
    return -1;
  }
  page = std::max<std::int64_t>(page, 1);
  // Both are bounded by the list and its height, far from the limits of the sums below.
  current = std::clamp<std::int64_t>(current, 0, rows);
  page = std::min<std::int64_t>(page, rows);
  std::int64_t target = 0;
  switch (key) {
    case NavigationKey::Up:
      target = current - 1;
      break;
    case NavigationKey::Down:
      target = current + 1;
      break;
    case NavigationKey::PageUp:
      target = current - page;
      break;
    case NavigationKey::PageDown:
      target = current + page;
      break;
    case NavigationKey::Home:
      target = 0;
      break;
    case NavigationKey::End:
      target = rows - 1;
      break;
    default:
      return -1;
  }
  return std::clamp<std::int64_t>(target, 0, rows - 1);
}

bool ShowListTaskAtChartTop(RowModel& chartRows, ChartView& view, const Plan& plan,
                            const TaskListRows& listRows, std::int64_t selectedListRow) {
  const std::int64_t task = ListRowTaskAt(listRows, selectedListRow);
  if (task < 0 || task >= plan.TaskCount() || task >= std::ssize(chartRows.TaskRow)) {
    return false;
  }
  bool filterOff = false;
  if (chartRows.TaskRow[At(task)] < 0) {
    filterOff = RevealTask(chartRows, plan, task);
  }
  const std::int64_t row = chartRows.TaskRow[At(task)];
  if (row >= 0) {
    view.ScrollY = RowGeometry::Offset(row);
  }
  return filterOff;
}

std::int64_t ChartTopTask(const ChartView& view, const RowModel& chartRows) {
  const std::int64_t top = RowGeometry::RowAtOffset(view.ScrollY);
  if (top < 0 || top >= chartRows.RowCount || top >= std::ssize(chartRows.RowTask)) {
    return -1;
  }
  return chartRows.RowTask[At(top)];
}

}  // namespace nerin
