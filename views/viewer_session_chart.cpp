// SPDX-License-Identifier: MIT
// The session's chart and navigation: drawing and its throttle, the tabs, the keys, the
// pointer and the wheel over the chart, the chart's commands, following a link.
#include <algorithm>

#include "views/plan_access.h"
#include "views/task_details_text.h"
#include "views/toolbar_tooltips.h"
#include "views/viewer_session_step.h"

namespace nerin::session {

namespace {

void EndSplitterDrag(Step& step) {
  Show(step, SplitterEnd(step.s.View, step.plan(), step.s.Rows));
}

void PointerMove(Step& step, const PointerEvent& e) {
  SessionState& s = step.s;
  if (!GanttWithPlan(s)) return;
  step.out.Chart.ResizePointer = NearSplitter(s.View, e.X);
  s.PointerTask = HoverTaskAt(step.plan(), s.Rows, s.View, e.X, e.Y);
  ApplyHover(step, HoverMoved(s.Hover, s.PointerTask, e.X, e.Y), true);
  if (s.View.SplitterDrag && !e.LeftHeld) {
    EndSplitterDrag(step);
  } else if (s.View.SplitterDrag) {
    Show(step, SplitterMove(s.View, step.plan(), s.Rows, e.X));
  }
}

void ToggleCritical(Step& step) {
  SessionState& s = step.s;
  if (!step.Loaded() || s.CurrentView == ViewKind::Resources) {
    step.out.Toolbar.CriticalChecked = s.Rows.CriticalFilter;
    return;
  }
  if (!s.Rows.CriticalFilter && CountCriticalTasks(step.plan()) == 0) {
    step.out.Toolbar.CriticalChecked = false;
    step.out.Request = MessageBoxRequest{"Critical path", "This plan has no task flagged as critical.", false};
    return;
  }
  SetCriticalFilter(s.Rows, s.View, step.plan(), !s.Rows.CriticalFilter);
  step.out.Toolbar.CriticalChecked = s.Rows.CriticalFilter;
  step.out.Chart.ShowScrollBars = true;
  if (s.CurrentView == ViewKind::Gantt) {
    DrawChart(step);
  } else {
    FillTaskList(step);
  }
}

}  // namespace

void DrawChart(Step& step) {
  if (step.s.CurrentView == ViewKind::Gantt) step.out.Chart.Draw = true;
}

void DrawNow(Step& step) {
  if (step.s.CurrentView != ViewKind::Gantt) return;
  step.out.Chart.Draw = true;
  step.s.LastDrawTime = step.Now();
}

namespace {

void StartRedrawTimer(Step& step) {
  if (!step.s.RedrawTimerArmed) {
    step.s.RedrawTimerArmed = true;
    step.out.Timers.Redraw = TimerAction::Start;
  }
}

}  // namespace

void RequestRedraw(Step& step) {
  if (step.Now() - step.s.LastDrawTime > REDRAW_THRESHOLD_MS) {
    if (step.s.RedrawTimerArmed) {
      step.s.RedrawTimerArmed = false;
      step.out.Timers.Redraw = TimerAction::Stop;
    }
    DrawNow(step);
  } else {
    StartRedrawTimer(step);
  }
}

void RequestRelayout(Step& step) {
  step.s.RelayoutPending = true;
  StartRedrawTimer(step);
}

void RedrawTimerTick(Step& step) {
  step.s.RedrawTimerArmed = false;
  step.out.Timers.Redraw = TimerAction::Stop;
  if (step.s.RelayoutPending) {
    step.s.RelayoutPending = false;
    step.out.Chart.Relayout = true;
  } else {
    DrawNow(step);
  }
}

void Show(Step& step, ViewUpdate update) {
  if (update == ViewUpdate::None) return;
  step.out.Chart.ShowScrollBars = true;
  if (update == ViewUpdate::DrawNow) {
    DrawNow(step);
  } else {
    RequestRedraw(step);
  }
}

void ShowNoScrolling(Step& step) {
  // Without a plan there is nothing to scroll: the bars show no thumb.
  step.s.View.HBar = ScrollBarState{0, 0, 0};
  step.s.View.VBar = ScrollBarState{0, 0, 0};
  step.out.Chart.ShowScrollBars = true;
}

void UpdateMetrics(Step& step) {
  UpdateScrollMetrics(step.s.View, step.plan(), step.s.Rows);
  step.out.Chart.ShowScrollBars = true;
}

void SwitchView(Step& step, ViewKind view) {
  SessionState& s = step.s;
  const bool loaded = step.Loaded();
  // Leaving the Tasks list for the chart: the task selected in the list becomes the top row.
  if (loaded && view == ViewKind::Gantt && s.CurrentView == ViewKind::Tasks &&
      ShowListTaskAtChartTop(s.Rows, s.View, step.plan(), s.ListRows, s.TaskListSelection)) {
    step.out.Toolbar.CriticalChecked = false;
  }
  // And the other way: the list shows the chart's top task at its top.
  const std::int64_t chartTopTask = ChartTopTask(s.View, s.Rows);
  if (s.CurrentView != view) step.out.Toolbar.ExportTooltip = ExportButtonTooltip(view);
  s.CurrentView = view;
  step.out.Chart.ShowTab = view;
  if (!loaded) {
    DrawChart(step);
    return;
  }
  if (view == ViewKind::Gantt) {
    UpdateMetrics(step);
    DrawChart(step);
  } else if (view == ViewKind::Tasks) {
    if (!s.TaskListFilled || s.TaskListCritical != s.Rows.CriticalFilter) FillTaskList(step);
    // Looked up in the rows the list shows now: a list filled just above has new rows.
    SelectRow(step, ViewKind::Tasks, TaskListRowOf(s.ListRows, chartTopTask), false, true);
  } else if (!s.ResourceListFilled) {
    FillResourceList(step);
  }
}

bool ChartCommand(Step& step, Command command) {
  SessionState& s = step.s;
  const bool gantt = GanttWithPlan(s);
  switch (command) {
    case Command::FitButton:
      if (gantt) Show(step, FitVisibleBars(s.View, step.plan(), s.Rows));
      return true;
    case Command::ZoomIn:
    case Command::ZoomOut:
      if (gantt) {
        const float factor = command == Command::ZoomIn ? ZOOM_IN_FACTOR : ZOOM_OUT_FACTOR;
        Show(step, ZoomBy(s.View, step.plan(), s.Rows, factor, TimelineMiddle(s.View)));
      }
      return true;
    case Command::Today:
      if (gantt) {
        const TodayResult result = CentreOnToday(s.View, step.plan(), s.Rows, step.clock.Today);
        if (result.OutsideMessage) {
          ShowFeedback(step, ToolbarIcon::Today, ToolbarIcon::TodayFeedback, 3, *result.OutsideMessage);
        } else {
          Show(step, result.Update);
        }
      }
      return true;
    case Command::Critical:
      ToggleCritical(step);
      return true;
    case Command::CollapseAll:
    case Command::ExpandAll:
      if (gantt) Show(step, SetAllFolded(s.Rows, s.View, step.plan(), command == Command::CollapseAll));
      return true;
    default:
      return false;
  }
}

void NavigateByKey(Step& step, NavigationKey key) {
  SessionState& s = step.s;
  if (!step.Loaded()) return;
  if (s.CurrentView == ViewKind::Gantt) {
    Show(step, ScrollByKey(s.View, step.plan(), s.Rows, key));
    return;
  }
  const ViewKind list = s.CurrentView;
  SelectRow(step, list, ListNavigationTarget(key, Selection(s, list), ListRowCount(s, list), s.ListPageRows), true);
}

void Resize(Step& step, const ResizeEvent& event) {
  SessionState& s = step.s;
  s.View.Width = std::max<std::int64_t>(event.Width, 1);
  s.View.Height = std::max<std::int64_t>(event.Height, 1);
  s.ListPageRows = ListPageRows(event.ListHeight);
  if (step.Loaded()) {
    UpdateMetrics(step);
  } else {
    ShowNoScrolling(step);
  }
  DrawChart(step);
}

void Pointer(Step& step, const PointerEvent& e) {
  SessionState& s = step.s;
  switch (e.Action) {
    case PointerAction::Move:
      PointerMove(step, e);
      return;
    case PointerAction::Press:
      if (!GanttWithPlan(s)) return;
      HideHoverSummary(step);
      if (ToggleFoldAt(s.Rows, s.View, step.plan(), e.X, e.Y)) Show(step, ViewUpdate::DrawNow);
      SplitterPress(s.View, e.X);
      return;
    case PointerAction::Release:
      if (s.CurrentView != ViewKind::Gantt || !s.View.SplitterDrag) return;
      EndSplitterDrag(step);
      step.out.Chart.ResizePointer = NearSplitter(s.View, e.X);
      return;
    case PointerAction::DoubleClick:
      if (!GanttWithPlan(s)) return;
      HideHoverSummary(step);
      OpenDetails(step, DetailsTaskAt(step.plan(), s.Rows, s.View, e.X, e.Y));
      return;
    case PointerAction::Leave:
      s.PointerTask = -1;
      HideHoverSummary(step);
      if (s.View.SplitterDrag && !e.LeftHeld) EndSplitterDrag(step);
      return;
  }
}

void Wheel(Step& step, const WheelEvent& e) {
  SessionState& s = step.s;
  if (!GanttWithPlan(s)) return;
  HideHoverSummary(step);
  Show(step, e.Shift ? WheelZoom(s.View, step.plan(), s.Rows, e.Notches, e.X)
                     : WheelScroll(s.View, step.plan(), s.Rows, e.Notches));
}

void FollowLink(Step& step, std::int64_t target) {
  SessionState& s = step.s;
  if (!step.Loaded() || !IsTask(step.plan(), target)) return;
  // Following a link brings the chart to the linked task: its summaries unfolded, the critical
  // filter off when that hid it, its row in the middle.
  if (RevealAndOpenTask(s.Rows, step.plan(), target)) {
    step.out.Toolbar.CriticalChecked = false;
    if (s.CurrentView == ViewKind::Tasks) {
      FillTaskList(step);
    } else {
      // The Tasks list follows the filter when it is next shown.
      s.TaskListFilled = false;
    }
  }
  ScrollToTask(s.View, step.plan(), s.Rows, target);
  // Opened from the Tasks list, the list's selection follows to the task the window shows.
  if (s.CurrentView == ViewKind::Tasks)
    SelectRow(step, ViewKind::Tasks, TaskListRowOf(s.ListRows, target), false);
  UpdateMetrics(step);
  DrawNow(step);
}

}  // namespace nerin::session
