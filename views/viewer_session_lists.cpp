// SPDX-License-Identifier: MIT
// The session's Tasks and Resources lists: filling them in their sorts, selections, F5, the
// header's sorts, Copy and the details a double-click opens.
#include <algorithm>

#include "views/list_csv.h"
#include "views/list_text.h"
#include "views/plan_access.h"
#include "views/viewer_session_step.h"

namespace nerin::session {

namespace {

const TextCollation& Collation(const SessionState& s) {
  static const TextCollation bytes = ByteCollation;
  return s.Collate ? s.Collate : bytes;
}

}  // namespace

// Every fill of a list takes the list's sort: a refill (F5, the critical filter, Find) never
// drops it.
void FillTaskList(Step& step) {
  SessionState& s = step.s;
  FillTaskListRows(s.ListRows, step.plan(), s.Rows.CriticalFilter);
  if (s.TaskSort.Direction != SortDirection::PlanOrder) SortTaskList(s.ListRows, step.plan(), s.TaskSort, Collation(s));
  s.TaskListFilled = true;
  s.TaskListCritical = s.Rows.CriticalFilter;
  s.TaskListSelection = -1;
  step.out.Lists.FillTasks = true;
}

void FillResourceList(Step& step) {
  SessionState& s = step.s;
  const std::int64_t count =
      step.Loaded() ? std::clamp<std::int64_t>(step.plan().ResourceCount(), 0, std::ssize(step.plan().Resources)) : 0;
  std::vector<std::int64_t> all(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) all[static_cast<std::size_t>(i)] = i;
  s.ResourceOrder = SortedResourceRows(step.plan(), all, s.ResourceSort, Collation(s));
  s.ResourceListFilled = true;
  s.ResourceListSelection = -1;
  step.out.Lists.FillResources = true;
}

std::int64_t ListRowCount(const SessionState& s, ViewKind list) {
  if (list == ViewKind::Tasks) return s.TaskListFilled ? s.ListRows.RowCount : 0;
  if (list == ViewKind::Resources && s.ResourceListFilled && s.Shown->ProjectLoaded) {
    return std::ssize(s.ResourceOrder);
  }
  return 0;
}

// The record (task or resource index) on a list row, -1 for none.
std::int64_t RecordAtRow(const SessionState& s, ViewKind list, std::int64_t row) {
  if (row < 0 || row >= ListRowCount(s, list)) return -1;
  if (list == ViewKind::Tasks) return ListRowTaskAt(s.ListRows, row);
  return s.ResourceOrder[static_cast<std::size_t>(row)];
}

std::int64_t& Selection(SessionState& s, ViewKind list) {
  return list == ViewKind::Resources ? s.ResourceListSelection : s.TaskListSelection;
}

// Selects a row of a list when it is one; false when it is not (the selection stays).
bool SelectRow(Step& step, ViewKind list, std::int64_t row, bool focus, bool atTop) {
  if (row < 0 || row >= ListRowCount(step.s, list)) return false;
  Selection(step.s, list) = row;
  step.out.Lists.Select = ListSelection{list, row, focus, atTop, false};
  return true;
}

void OpenDetails(Step& step, std::int64_t task) {
  if (!step.Loaded() || !IsTask(step.plan(), task)) return;
  // The details window reads the shown plan while it is open; the plan being opened would take
  // its place underneath, and the window's links would lead into the other plan.
  if (Loading(step.s)) {
    RefuseWhileLoading(step, ToolbarIcon::Open, ToolbarIcon::Open, 0);
    return;
  }
  step.out.Request = DetailsRequest{task};
}

void ListDoubleClick(Step& step) {
  if (step.Loaded()) OpenDetails(step, ListRowTaskAt(step.s.ListRows, step.s.TaskListSelection));
}

void FitOrRefresh(Step& step) {
  SessionState& s = step.s;
  if (!step.Loaded()) return;
  if (s.CurrentView == ViewKind::Gantt) {
    Show(step, FitVisibleBars(s.View, step.plan(), s.Rows));
    return;
  }
  const ViewKind list = s.CurrentView;
  const std::int64_t record = RecordAtRow(s, list, Selection(s, list));
  if (list == ViewKind::Tasks) {
    FillTaskList(step);
  } else {
    FillResourceList(step);
  }
  // A refill starts the list at its top; the rows in view and the selected record stay.
  const std::int64_t selected = record >= 0 ? ListRowOfRecord(s, list, record) : -1;
  if (selected >= 0) Selection(s, list) = selected;
  step.out.Lists.Select = ListSelection{list, selected, true, false, true};
}

void Copy(Step& step, const CopyEvent& event) {
  SessionState& s = step.s;
  if (!step.Loaded()) return;
  if (s.CurrentView == ViewKind::Gantt) {
    const std::int64_t task = s.PointerTask;
    if (!IsTask(step.plan(), task)) return;
    const std::int64_t one[] = {task};
    step.out.Request = ClipboardRequest{ListTabText(step.plan(), PlanList::Tasks, one)};
    return;
  }
  // The rows in the order the list shows them, each once.
  std::vector<std::int64_t> rows = event.Rows;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<std::int64_t> records;
  for (const std::int64_t row : rows) {
    const std::int64_t record = RecordAtRow(s, s.CurrentView, row);
    if (record >= 0) records.push_back(record);
  }
  if (records.empty()) return;
  const PlanList list = s.CurrentView == ViewKind::Tasks ? PlanList::Tasks : PlanList::Resources;
  step.out.Request = ClipboardRequest{ListTabText(step.plan(), list, records)};
}

void HeaderClicked(Step& step, const HeaderEvent& event) {
  SessionState& s = step.s;
  const ViewKind list = event.List;
  if (!step.Loaded() || list == ViewKind::Gantt) return;
  const bool tasks = list == ViewKind::Tasks;
  ListSort& sort = tasks ? s.TaskSort : s.ResourceSort;
  const ListSort next =
      NextSort(sort, event.Column, tasks ? std::ssize(TASK_LIST_COLUMNS) : std::ssize(RESOURCE_LIST_COLUMNS));
  // The header shows the sort as it stands, also when the click changed nothing.
  step.out.Lists.SortIndicators.push_back({list, next});
  if (next == sort) return;
  sort = next;
  // The selected record stays selected in its new row.
  const std::int64_t record = RecordAtRow(s, list, Selection(s, list));
  if (tasks) {
    if (!s.TaskListFilled) return;
    SortTaskList(s.ListRows, step.plan(), sort, Collation(s));
    step.out.Lists.FillTasks = true;
  } else {
    if (!s.ResourceListFilled) return;
    FillResourceList(step);
  }
  const std::int64_t row = record >= 0 ? ListRowOfRecord(s, list, record) : -1;
  Selection(s, list) = row;
  step.out.Lists.Select = ListSelection{list, row, false, false, false};
}

}  // namespace nerin::session
