// SPDX-License-Identifier: MIT
// What a reload keeps of the view: the plan is read anew, and the user finds the chart and the
// lists as they left them wherever the new plan still has what they looked at. Tasks are
// matched by UID, never by index or row, since a new export may add, drop or move tasks.
#pragma once

#include <cstdint>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/plan.h"
#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin {

// The view of the shown plan, in terms that outlive it.
struct KeptView {
  float DayWidth = 4.0f;
  std::int64_t TaskColumnWidth = 390;
  // The timeline's left edge as a day and the pixels into it, so that the same dates stay in
  // view when the new plan starts earlier or later.
  DayOrdinal LeftDay = 0;
  std::int64_t LeftDayPixels = 0;
  std::int64_t ScrollX = 0;  // used as it is when the old plan had no timeline start
  std::int64_t ScrollY = 0;
  std::int64_t TopTaskUID = 0;           // the task on the chart's top row; 0 none
  std::int64_t TopRowPixels = 0;         // how far that row is scrolled off the top
  std::vector<std::int64_t> FoldedUIDs;  // folded summaries, in plan order
  std::int64_t SelectedUID = 0;          // the selected task; 0 none
  bool CriticalFilter = false;
};

// Takes the view of the plan shown now. `selectedTask` is a task index or -1.
KeptView KeepView(const Plan& plan, const ChartView& view, const RowModel& rows, std::int64_t selectedTask);

// Sets the view and the rows for the newly loaded plan from what was kept: the day width and
// the task column (within their ranges), the folded summaries that the new plan still has as
// summaries, the critical filter while the new plan has critical tasks, the same top task (or
// the same offsets) and the same first day on the timeline. The scroll offsets end within the
// new content. Returns the task index to select, -1 when the new plan lacks that task.
std::int64_t RestoreView(const KeptView& kept, const Plan& plan, ChartView& view, RowModel& rows);

}  // namespace nerin
