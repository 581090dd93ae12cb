// SPDX-License-Identifier: MIT
// The session's Find and hover box.
#include "views/plan_access.h"
#include "views/viewer_session_step.h"

namespace nerin::session {

namespace {

constexpr int FIND_FLASHES = 3;

std::string AsIs(std::string_view text) {
  return std::string(text);
}

}  // namespace

void ApplyHover(Step& step, const HoverActions& actions, bool draw) {
  if (actions.StopTimer) step.out.Timers.Hover = TimerAction::Stop;
  if (actions.DrawChart && draw) DrawChart(step);
  if (actions.StartTimer) step.out.Timers.Hover = TimerAction::Start;
}

void HideHoverSummary(Step& step) {
  ApplyHover(step, HideHover(step.s.Hover), GanttWithPlan(step.s));
}

void HoverTimerTick(Step& step) {
  ApplyHover(step, HoverTimerRanOut(step.s.Hover, *step.s.Shown, GanttWithPlan(step.s)), true);
}

void FindNext(Step& step, const std::string& text) {
  SessionState& s = step.s;
  const ViewKind view = s.CurrentView;
  FindRequest request;
  request.View = view;
  request.FieldText = text;
  request.Highlight = s.FindHighlight;
  // Find walks the records from the selected one, whatever order the list is sorted in.
  if (view == ViewKind::Tasks) request.SelectedRow = Selection(s, view);
  if (view == ViewKind::Resources) request.SelectedRow = RecordAtRow(s, view, Selection(s, view));
  // ASCII is lowered by Find itself; without the platform's rule other letters stay as they are.
  const FindResult result = FindNextRecord(step.plan(), s.ListRows, s.FindCache, s.LastFindText, request,
                                           s.Lower ? s.Lower : LowerCaseFunction(AsIs));
  if (result.Outcome == FindOutcome::NoMatch) {
    ShowFeedback(step, ToolbarIcon::Find, ToolbarIcon::FindFeedback, FIND_FLASHES, NoMatchMessage(result.Text));
    return;
  }
  if (result.Outcome != FindOutcome::Found) return;
  const std::int64_t found = result.Record;
  if (view == ViewKind::Resources) {
    SelectRow(step, ViewKind::Resources, ListRowOfRecord(s, ViewKind::Resources, found), true);
    return;
  }
  s.FindHighlight = found;
  if (view == ViewKind::Tasks) {
    if (TaskListRowOf(s.ListRows, found) < 0) {
      // Only the critical filter keeps a task out of the list.
      s.Rows.CriticalFilter = false;
      RebuildRows(s.Rows, step.plan());
      step.out.Toolbar.CriticalChecked = false;
      FillTaskList(step);
    }
    SelectRow(step, ViewKind::Tasks, TaskListRowOf(s.ListRows, found), true);
    return;
  }
  if (s.Rows.TaskRow[At(found)] < 0 && RevealTask(s.Rows, step.plan(), found)) {
    step.out.Toolbar.CriticalChecked = false;
  }
  HideHoverSummary(step);
  ScrollToTask(s.View, step.plan(), s.Rows, found);
  UpdateMetrics(step);
  DrawChart(step);
}

}  // namespace nerin::session
