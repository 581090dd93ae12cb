// SPDX-License-Identifier: MIT
// Which tasks the Tasks list shows, how its rows and the chart's rows find each other when the
// user switches between them, and where the navigation keys move a list's selection.
#pragma once

#include <cstdint>
#include <vector>

#include "model/plan.h"
#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin {

// Height of a list row, in the window's units; Page Up and Page Down move by the list's
// height in these.
inline constexpr std::int64_t LIST_ROW_HEIGHT = 18;

// The rows of the Tasks list: every task in plan order, only the critical ones while the
// critical filter is on. Folding does not hide tasks here.
struct TaskListRows {

  std::vector<std::int64_t> ListRowTask;  // per list row: the task index; valid below RowCount
  std::vector<std::int64_t> TaskListRow;  // per task index: the list row, -1 for none
  std::int64_t RowCount = 0;
};

void FillTaskListRows(TaskListRows& rows, const Plan& plan, bool criticalFilter);
void ClearTaskListRows(TaskListRows& rows);
// -1 outside the list or the plan.
std::int64_t ListRowTaskAt(const TaskListRows& rows, std::int64_t row);
std::int64_t TaskListRowOf(const TaskListRows& rows, std::int64_t task);

// Rows that one Page Up or Page Down moves in a list of this height.
std::int64_t ListPageRows(std::int64_t listHeight);
// The row a navigation key selects from the current row (-1: none selected, which counts as
// the first row), kept within the list; -1 for an empty list and for Left and Right.
std::int64_t ListNavigationTarget(NavigationKey key, std::int64_t current, std::int64_t rows,
                                  std::int64_t page);

// Leaving the Tasks list for the chart: the task of the selected list row becomes the chart's
// top row, after its folded ancestors are opened and, when that is not enough, the critical
// filter is switched off. True only when the filter was switched off (the caller releases the
// button). The caller updates the scroll metrics, which keep the offset within the content.
bool ShowListTaskAtChartTop(RowModel& chartRows, ChartView& view, const Plan& plan,
                            const TaskListRows& listRows, std::int64_t selectedListRow);
// The task on the chart's top row, -1 when the chart has no rows.
std::int64_t ChartTopTask(const ChartView& view, const RowModel& chartRows);

}  // namespace nerin
