// SPDX-License-Identifier: MIT
#include "views/viewer_session.h"

#include <algorithm>
#include <utility>

#include "views/chart_export.h"
#include "views/list_text.h"
#include "views/plan_access.h"
#include "views/task_details_text.h"

namespace nerin {

namespace {

// Feedback icons of the toolbar (the normal icons are the buttons' FeedbackButton values).
constexpr std::int64_t FIND_FEEDBACK_ICON = 12;
constexpr std::int64_t TODAY_FEEDBACK_ICON = 13;
constexpr std::int64_t EXPORT_FEEDBACK_ICON = 14;
constexpr std::int64_t TOOLBAR_ICON_COUNT_ = 15;

// One event's work: the session, the event and the effects gathered so far.
struct Step {
  ViewerSession& s;
  const SessionEvent& event;
  SessionEffects& out;

  const Plan& plan() const { return s.PlanShown; }
  bool Loaded() const { return s.PlanShown.ProjectLoaded; }
};

void DrawChart(Step& step) {
  if (step.s.CurrentView == ViewKind::Gantt) step.out.Draw = true;
}

void DrawNow(Step& step) {
  if (step.s.CurrentView != ViewKind::Gantt) return;
  step.out.Draw = true;
  step.s.LastDrawTime = step.event.Now;
}

void StartRedrawTimer(Step& step) {
  if (!step.s.RedrawTimerArmed) {
    step.s.RedrawTimerArmed = true;
    step.out.RedrawTimer = TimerAction::Start;
  }
}

void RequestRedraw(Step& step) {
  if (step.event.Now - step.s.LastDrawTime > REDRAW_THRESHOLD_MS) {
    if (step.s.RedrawTimerArmed) {
      step.s.RedrawTimerArmed = false;
      step.out.RedrawTimer = TimerAction::Stop;
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

void Show(Step& step, ViewUpdate update) {
  if (update == ViewUpdate::None) return;
  step.out.ShowScrollBars = true;
  if (update == ViewUpdate::DrawNow) {
    DrawNow(step);
  } else {
    RequestRedraw(step);
  }
}

void UpdateMetrics(Step& step) {
  UpdateScrollMetrics(step.s.View, step.plan(), step.s.Rows);
  step.out.ShowScrollBars = true;
}

void ApplyHover(Step& step, const HoverActions& actions, bool draw) {
  if (actions.StopTimer) step.out.HoverTimer = TimerAction::Stop;
  if (actions.DrawChart && draw) DrawChart(step);
  if (actions.StartTimer) step.out.HoverTimer = TimerAction::Start;
}

void HideHoverSummary(Step& step) {
  ApplyHover(step, HideHover(step.s.Hover), GanttWithPlan(step.s));
}

const TextCollation& Collation(const ViewerSession& s) {
  static const TextCollation bytes = ByteCollation;
  return s.Collate ? s.Collate : bytes;
}

// Every fill of a list takes the list's sort: a refill (F5, the critical filter, Find) never
// drops it.
void FillTaskList(Step& step) {
  FillTaskListRows(step.s.ListRows, step.plan(), step.s.Rows.CriticalFilter);
  if (step.s.TaskSort.Direction != SortDirection::PlanOrder) {
    SortTaskList(step.s.ListRows, step.plan(), step.s.TaskSort, Collation(step.s));
  }
  step.s.TaskListFilled = true;
  step.s.TaskListCritical = step.s.Rows.CriticalFilter;
  step.s.TaskListSelection = -1;
  step.out.FillTaskList = true;
}

void FillResourceList(Step& step) {
  const std::int64_t count =
      step.Loaded() ? std::clamp<std::int64_t>(step.plan().ResourceCount, 0, std::ssize(step.plan().Resources)) : 0;
  std::vector<std::int64_t> all(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) all[static_cast<std::size_t>(i)] = i;
  step.s.ResourceOrder = SortedResourceRows(step.plan(), all, step.s.ResourceSort, Collation(step.s));
  step.s.ResourceListFilled = true;
  step.s.ResourceListSelection = -1;
  step.out.FillResourceList = true;
}

std::int64_t ListRowCount(const ViewerSession& s, ViewKind list) {
  if (list == ViewKind::Tasks) return s.TaskListFilled ? s.ListRows.RowCount : 0;
  if (list == ViewKind::Resources && s.ResourceListFilled && s.PlanShown.ProjectLoaded) {
    return std::ssize(s.ResourceOrder);
  }
  return 0;
}

// The record (task or resource index) on a list row, -1 for none.
std::int64_t RecordAtRow(const ViewerSession& s, ViewKind list, std::int64_t row) {
  if (row < 0 || row >= ListRowCount(s, list)) return -1;
  if (list == ViewKind::Tasks) return ListRowTaskAt(s.ListRows, row);
  return s.ResourceOrder[static_cast<std::size_t>(row)];
}

std::int64_t& Selection(ViewerSession& s, ViewKind list) {
  return list == ViewKind::Resources ? s.ResourceListSelection : s.TaskListSelection;
}

// Selects a row of a list when it is one; false when it is not (the selection stays).
bool SelectRow(Step& step, ViewKind list, std::int64_t row, bool focus, bool atTop = false) {
  if (row < 0 || row >= ListRowCount(step.s, list)) return false;
  Selection(step.s, list) = row;
  step.out.Select = ListSelection{list, row, focus, atTop, false};
  return true;
}

void ShowFeedbackStep(Step& step, FeedbackButton button, std::int64_t icon, std::int64_t flashes,
                      const std::string& message) {
  FeedbackState& f = step.s.Feedback;
  if (f.Button >= 0) {
    step.out.FeedbackTimer = TimerAction::Stop;
    step.out.ButtonIcons.push_back({f.Button, f.Button});
  }
  if (button == FeedbackButton::None || icon < 0 || icon >= TOOLBAR_ICON_COUNT_) {
    f.Button = -1;
    return;
  }
  f.Button = static_cast<std::int64_t>(button);
  f.Icon = icon;
  f.FlashTicks = 2 * std::max<std::int64_t>(flashes, 0);
  step.out.ButtonIcons.push_back({f.Button, icon});
  f.ShowsMessage = !message.empty();
  f.MessageTicks = message.empty() ? 0 : FEEDBACK_MESSAGE_TICKS;
  if (!message.empty()) step.out.FeedbackMessage = message;
  step.out.FeedbackTimer = TimerAction::Start;
}

void FeedbackTick(Step& step) {
  FeedbackState& f = step.s.Feedback;
  if (f.Button < 0) {
    step.out.FeedbackTimer = TimerAction::Stop;
    return;
  }
  if (f.FlashTicks > 0) {
    --f.FlashTicks;
    // The first tick shows the normal icon, the next the feedback icon, and so on; the last
    // flash tick leaves the normal icon.
    const bool flash = f.FlashTicks > 0 && f.FlashTicks % 2 == 0;
    step.out.ButtonIcons.push_back({f.Button, flash ? f.Icon : f.Button});
  }
  if (f.MessageTicks > 0) --f.MessageTicks;
  if (f.FlashTicks == 0 && f.MessageTicks == 0) {
    step.out.FeedbackTimer = TimerAction::Stop;
    step.out.ButtonIcons.push_back({f.Button, f.Button});
    f.Button = -1;
    if (f.ShowsMessage) {
      f.ShowsMessage = false;
      step.out.RestoreStatus = true;
    }
  }
}

void SwitchView(Step& step, ViewKind view) {
  ViewerSession& s = step.s;
  const bool loaded = step.Loaded();
  // Leaving the Tasks list for the chart: the task selected in the list becomes the top row.
  if (loaded && view == ViewKind::Gantt && s.CurrentView == ViewKind::Tasks &&
      ShowListTaskAtChartTop(s.Rows, s.View, step.plan(), s.ListRows, s.TaskListSelection)) {
    step.out.CriticalChecked = false;
  }
  // And the other way: the list shows the chart's top task at its top.
  const std::int64_t chartTopTask = ChartTopTask(s.View, s.Rows);
  s.CurrentView = view;
  step.out.ShowTab = view;
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

void EndSplitterDrag(Step& step) {
  Show(step, SplitterEnd(step.s.View, step.plan(), step.s.Rows));
}

void OpenDetails(Step& step, std::int64_t task) {
  if (step.Loaded() && IsTask(step.plan(), task)) step.out.OpenDetails = task;
}

void ToggleCritical(Step& step) {
  ViewerSession& s = step.s;
  if (!step.Loaded() || s.CurrentView == ViewKind::Resources) {
    step.out.CriticalChecked = s.Rows.CriticalFilter;
    return;
  }
  if (!s.Rows.CriticalFilter && CountCriticalTasks(step.plan()) == 0) {
    step.out.CriticalChecked = false;
    step.out.Box = MessageBoxRequest{"Critical path", "This plan has no task flagged as critical.", false};
    return;
  }
  SetCriticalFilter(s.Rows, s.View, step.plan(), !s.Rows.CriticalFilter);
  step.out.CriticalChecked = s.Rows.CriticalFilter;
  step.out.ShowScrollBars = true;
  if (s.CurrentView == ViewKind::Gantt) {
    DrawChart(step);
  } else {
    FillTaskList(step);
  }
}

void FitOrRefresh(Step& step) {
  ViewerSession& s = step.s;
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
  step.out.Select = ListSelection{list, selected, true, false, true};
}

std::string AsciiLower(std::string_view text) {
  return std::string(text);
}

void FindNext(Step& step) {
  ViewerSession& s = step.s;
  const ViewKind view = s.CurrentView;
  FindRequest request;
  request.View = view;
  request.FieldText = step.event.SearchText;
  request.Highlight = s.FindHighlight;
  // Find walks the records from the selected one, whatever order the list is sorted in.
  if (view == ViewKind::Tasks) request.SelectedRow = Selection(s, view);
  if (view == ViewKind::Resources) request.SelectedRow = RecordAtRow(s, view, Selection(s, view));
  const FindResult result = FindNextRecord(step.plan(), s.ListRows, s.FindCache, s.LastFindText, request,
                                           s.Lower ? s.Lower : LowerCaseFunction(AsciiLower));
  if (result.Outcome == FindOutcome::NoMatch) {
    ShowFeedbackStep(step, FeedbackButton::Find, FIND_FEEDBACK_ICON, 3, NoMatchMessage(result.Text));
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
      step.out.CriticalChecked = false;
      FillTaskList(step);
    }
    SelectRow(step, ViewKind::Tasks, TaskListRowOf(s.ListRows, found), true);
    return;
  }
  if (s.Rows.TaskRow[At(found)] < 0 && RevealTask(s.Rows, step.plan(), found)) {
    step.out.CriticalChecked = false;
  }
  HideHoverSummary(step);
  ScrollToTask(s.View, step.plan(), s.Rows, found);
  UpdateMetrics(step);
  DrawChart(step);
}

// The view as it is now is kept for the plan read again; the window reads the source.
void Reload(Step& step, bool asked) {
  ViewerSession& s = step.s;
  if (!step.Loaded()) {
    if (asked) step.out.Box = MessageBoxRequest{"Reload", "No project is loaded, so there is nothing to reload.", false};
    return;
  }
  // The selected task: the Tasks list's while it is shown, else the one Find marked.
  std::int64_t selected = s.FindHighlight;
  s.KeptFindHighlight = true;
  if (s.CurrentView == ViewKind::Tasks) {
    selected = RecordAtRow(s, ViewKind::Tasks, s.TaskListSelection);
    s.KeptFindHighlight = false;
  }
  s.Kept = KeepView(step.plan(), s.View, s.Rows, selected);
  step.out.ReloadSource = true;
}

void Copy(Step& step) {
  ViewerSession& s = step.s;
  if (!step.Loaded()) return;
  if (s.CurrentView == ViewKind::Gantt) {
    const std::int64_t task = s.PointerTask;
    if (!IsTask(step.plan(), task)) return;
    const std::int64_t one[] = {task};
    step.out.Clipboard = ListTabText(step.plan(), PlanList::Tasks, one);
    return;
  }
  // The rows in the order the list shows them, each once.
  std::vector<std::int64_t> rows = step.event.Rows;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<std::int64_t> records;
  for (const std::int64_t row : rows) {
    const std::int64_t record = RecordAtRow(s, s.CurrentView, row);
    if (record >= 0) records.push_back(record);
  }
  if (records.empty()) return;
  step.out.Clipboard = ListTabText(step.plan(), s.CurrentView == ViewKind::Tasks ? PlanList::Tasks : PlanList::Resources,
                                   records);
}

void HeaderClicked(Step& step) {
  ViewerSession& s = step.s;
  const ViewKind list = step.event.View;
  if (!step.Loaded() || list == ViewKind::Gantt) return;
  const bool tasks = list == ViewKind::Tasks;
  ListSort& sort = tasks ? s.TaskSort : s.ResourceSort;
  const ListSort next = NextSort(sort, step.event.Row, tasks ? std::ssize(TASK_LIST_COLUMNS) : std::ssize(RESOURCE_LIST_COLUMNS));
  // The header shows the sort as it stands, also when the click changed nothing.
  step.out.SortIndicators.push_back({list, next});
  if (next == sort) return;
  sort = next;
  // The selected record stays selected in its new row.
  const std::int64_t record = RecordAtRow(s, list, Selection(s, list));
  if (tasks) {
    if (!s.TaskListFilled) return;
    SortTaskList(s.ListRows, step.plan(), sort, Collation(s));
    step.out.FillTaskList = true;
  } else {
    if (!s.ResourceListFilled) return;
    FillResourceList(step);
  }
  const std::int64_t row = record >= 0 ? ListRowOfRecord(s, list, record) : -1;
  Selection(s, list) = row;
  step.out.Select = ListSelection{list, row, false, false, false};
}

// --- comparing with a reference version ----------------------------------------------------

// The toggle, the Tasks list's change column, the status line and the chart as the comparison
// stands.
void ShowComparison(Step& step) {
  step.out.CompareChecked = Comparing(step.s);
  step.out.ShowChanges = true;
  if (step.Loaded()) step.out.UpdateStatus = true;
  if (GanttWithPlan(step.s)) RequestRedraw(step);
}

void StopComparing(Step& step) {
  const bool was = Comparing(step.s);
  step.s.Comparison = ChartComparison{};
  step.s.Changes.reset();
  step.out.StopComparingKey = false;
  if (was) ShowComparison(step);
}

// The reference is asked for only once a plan is there to compare it with.
void StartComparing(Step& step, WindowAction dialog) {
  ShowComparison(step);  // the button stays unchecked until a comparison is there
  if (!step.Loaded()) {
    step.out.Box = MessageBoxRequest{"Compare with",
                                     "Open a plan first; it is then compared with another version of it.", false};
    return;
  }
  step.out.Open = dialog;
}

void ReferenceLoaded(Step& step) {
  ViewerSession& s = step.s;
  // A reference that arrives without a plan shown has nothing to be compared with.
  if (step.event.Reference == nullptr || !step.Loaded()) {
    ShowComparison(step);
    return;
  }
  if (!Comparing(s)) step.out.StopComparingKey = true;
  s.Changes = std::make_shared<const PlanChanges>(ComparePlans(*step.event.Reference, s.PlanShown));
  s.Comparison.Changes = s.Changes.get();
  s.Comparison.ReferenceName = step.event.ReferenceName;
  ShowComparison(step);
}

void RunCommand(Step& step) {
  ViewerSession& s = step.s;
  const bool gantt = GanttWithPlan(s);
  switch (step.event.Cmd) {
    case Command::OpenFile:
      step.out.Open = WindowAction::OpenFileDialog;
      return;
    case Command::OpenAddress:
      step.out.Open = WindowAction::OpenAddressDialog;
      return;
    case Command::Help:
      step.out.Open = WindowAction::Help;
      return;
    case Command::About:
      step.out.Open = WindowAction::About;
      return;
    case Command::Messages:
      step.out.Open = WindowAction::MessagesWindow;
      return;
    case Command::Print:
    case Command::PrintPreview:
      // Only the Gantt chart of a plan has pages; the refusal flashes the Export button.
      if (!GanttWithPlan(s)) {
        const std::string_view refusal = step.Loaded() ? PRINT_NOT_GANTT_TEXT : PRINT_NO_PLAN_TEXT;
        ShowFeedbackStep(step, FeedbackButton::Export, EXPORT_FEEDBACK_ICON, 3, std::string(refusal));
      } else {
        step.out.Open = step.event.Cmd == Command::Print ? WindowAction::Print : WindowAction::PrintPreview;
      }
      return;
    case Command::Compare:
      // The Compare button is a toggle: while comparing it stops.
      if (Comparing(s)) {
        StopComparing(step);
      } else {
        StartComparing(step, WindowAction::Compare);
      }
      return;
    case Command::CompareAddress:
      StartComparing(step, WindowAction::CompareAddress);
      return;
    case Command::StopComparing:
      StopComparing(step);
      return;
    case Command::Reload:
      Reload(step, true);
      return;
    case Command::Copy:
      Copy(step);
      return;
    case Command::ExportList:
      if (step.Loaded() && s.CurrentView != ViewKind::Gantt) step.out.Open = WindowAction::ExportList;
      return;
    case Command::FitOrRefresh:
      FitOrRefresh(step);
      return;
    case Command::FitButton:
      if (gantt) Show(step, FitVisibleBars(s.View, step.plan(), s.Rows));
      return;
    case Command::FindNext:
      FindNext(step);
      return;
    case Command::ZoomIn:
    case Command::ZoomOut:
      if (gantt) {
        const float factor = step.event.Cmd == Command::ZoomIn ? ZOOM_IN_FACTOR : ZOOM_OUT_FACTOR;
        Show(step, ZoomBy(s.View, step.plan(), s.Rows, factor, TimelineMiddle(s.View)));
      }
      return;
    case Command::ModelDump:
      if (!step.Loaded()) {
        step.out.Box = MessageBoxRequest{"Model dump", "No project is loaded, so there is nothing to dump.", false};
      } else {
        step.out.Open = WindowAction::SaveModelDump;
      }
      return;
    case Command::Today:
      if (gantt) {
        const TodayResult result = CentreOnToday(s.View, step.plan(), s.Rows, step.event.Today);
        if (result.OutsideMessage) {
          ShowFeedbackStep(step, FeedbackButton::Today, TODAY_FEEDBACK_ICON, 3, *result.OutsideMessage);
        } else {
          Show(step, result.Update);
        }
      }
      return;
    case Command::Critical:
      ToggleCritical(step);
      return;
    case Command::CollapseAll:
    case Command::ExpandAll:
      if (gantt) Show(step, SetAllFolded(s.Rows, s.View, step.plan(), step.event.Cmd == Command::CollapseAll));
      return;
    case Command::Export:
      if (step.Loaded() && s.CurrentView != ViewKind::Gantt) {
        // On a list tab the export writes the list.
        step.out.Open = WindowAction::ExportList;
      } else if (!gantt) {
        const std::string_view refusal = step.Loaded() ? EXPORT_NOT_GANTT_TEXT : EXPORT_NO_PLAN_TEXT;
        ShowFeedbackStep(step, FeedbackButton::Export, EXPORT_FEEDBACK_ICON, 3, std::string(refusal));
      } else {
        step.out.Open = WindowAction::ExportChart;
      }
      return;
  }
}

void NavigateByKey(Step& step) {
  ViewerSession& s = step.s;
  if (!step.Loaded()) return;
  if (s.CurrentView == ViewKind::Gantt) {
    Show(step, ScrollByKey(s.View, step.plan(), s.Rows, step.event.Key));
    return;
  }
  const ViewKind list = s.CurrentView;
  const std::int64_t target =
      ListNavigationTarget(step.event.Key, Selection(s, list), ListRowCount(s, list), s.ListPageRows);
  SelectRow(step, list, target, true);
}

void Resize(Step& step) {
  ViewerSession& s = step.s;
  s.View.Width = std::max<std::int64_t>(step.event.Width, 1);
  s.View.Height = std::max<std::int64_t>(step.event.Height, 1);
  s.ListPageRows = ListPageRows(step.event.ListHeight);
  if (step.Loaded()) UpdateMetrics(step);
  DrawChart(step);
}

void PointerMove(Step& step) {
  ViewerSession& s = step.s;
  if (!GanttWithPlan(s)) return;
  const SessionEvent& e = step.event;
  step.out.ResizePointer = NearSplitter(s.View, e.X);
  s.PointerTask = HoverTaskAt(step.plan(), s.Rows, s.View, e.X, e.Y);
  ApplyHover(step, HoverMoved(s.Hover, s.PointerTask, e.X, e.Y), true);
  if (s.View.SplitterDrag && !e.LeftHeld) {
    EndSplitterDrag(step);
  } else if (s.View.SplitterDrag) {
    Show(step, SplitterMove(s.View, step.plan(), s.Rows, e.X));
  }
}

void CanvasEvent(Step& step) {
  ViewerSession& s = step.s;
  const SessionEvent& e = step.event;
  switch (e.Kind) {
    case EventKind::PointerMove:
      PointerMove(step);
      return;
    case EventKind::Press:
      if (!GanttWithPlan(s)) return;
      HideHoverSummary(step);
      if (ToggleFoldAt(s.Rows, s.View, step.plan(), e.X, e.Y)) Show(step, ViewUpdate::DrawNow);
      SplitterPress(s.View, e.X);
      return;
    case EventKind::Release:
      if (s.CurrentView != ViewKind::Gantt || !s.View.SplitterDrag) return;
      EndSplitterDrag(step);
      step.out.ResizePointer = NearSplitter(s.View, e.X);
      return;
    case EventKind::DoubleClick:
      if (!GanttWithPlan(s)) return;
      HideHoverSummary(step);
      OpenDetails(step, DetailsTaskAt(step.plan(), s.Rows, s.View, e.X, e.Y));
      return;
    case EventKind::Wheel:
      if (!GanttWithPlan(s)) return;
      HideHoverSummary(step);
      Show(step, e.Shift ? WheelZoom(s.View, step.plan(), s.Rows, e.Notches, e.X)
                         : WheelScroll(s.View, step.plan(), s.Rows, e.Notches));
      return;
    case EventKind::Leave:
      s.PointerTask = -1;
      HideHoverSummary(step);
      if (s.View.SplitterDrag && !e.LeftHeld) EndSplitterDrag(step);
      return;
    default:
      return;
  }
}

void FollowLink(Step& step, std::int64_t target) {
  ViewerSession& s = step.s;
  if (!step.Loaded() || !IsTask(step.plan(), target)) return;
  // Following a link brings the chart to the linked task: its summaries unfolded, the critical
  // filter off when that hid it, its row in the middle.
  if (RevealAndOpenTask(s.Rows, step.plan(), target)) {
    step.out.CriticalChecked = false;
    if (s.CurrentView == ViewKind::Tasks) {
      FillTaskList(step);
    } else {
      // The Tasks list follows the filter when it is next shown.
      s.TaskListFilled = false;
    }
  }
  ScrollToTask(s.View, step.plan(), s.Rows, target);
  UpdateMetrics(step);
  DrawNow(step);
}

void ControlEvent(Step& step) {
  ViewerSession& s = step.s;
  const SessionEvent& e = step.event;
  HideHoverSummary(step);
  switch (e.Kind) {
    case EventKind::Command:
      RunCommand(step);
      return;
    case EventKind::NavigationKey:
      NavigateByKey(step);
      return;
    case EventKind::TabChanged:
      SwitchView(step, e.View);
      return;
    case EventKind::ScrollBar:
      if (ScrollBarMoved(s.View, e.Horizontal, e.Position) != ViewUpdate::None) RequestRedraw(step);
      return;
    case EventKind::ListSelected:
      if (e.View != ViewKind::Gantt) Selection(s, e.View) = e.Row;
      return;
    case EventKind::ListDoubleClick:
      if (step.Loaded()) OpenDetails(step, ListRowTaskAt(s.ListRows, s.TaskListSelection));
      return;
    case EventKind::SearchFocus:
      // The navigation keys edit the search field's text while it has the focus.
      if (s.NavigationKeysMode != !e.Focused) {
        s.NavigationKeysMode = !e.Focused;
        step.out.NavigationKeys = s.NavigationKeysMode;
      }
      return;
    case EventKind::FollowLink:
      FollowLink(step, e.Row);
      return;
    case EventKind::FileChanged:
      Reload(step, false);
      return;
    case EventKind::HeaderClicked:
      HeaderClicked(step);
      return;
    default:
      return;
  }
}

}  // namespace

ViewerSession::ViewerSession(const nerin::Plan& plan, LowerCaseFunction lower)
    : PlanShown(plan), Lower(std::move(lower)) {}

ViewKind ViewKindOf(std::int64_t index) {
  switch (index) {
    case 1:
      return ViewKind::Tasks;
    case 2:
      return ViewKind::Resources;
    default:
      return ViewKind::Gantt;
  }
}

bool GanttWithPlan(const ViewerSession& session) {
  return session.CurrentView == ViewKind::Gantt && session.PlanShown.ProjectLoaded;
}

SessionEffects Apply(ViewerSession& session, const SessionEvent& event) {
  SessionEffects effects;
  Step step{session, event, effects};
  switch (event.Kind) {
    case EventKind::Resize:
      Resize(step);
      break;
    case EventKind::PointerMove:
    case EventKind::Press:
    case EventKind::Release:
    case EventKind::DoubleClick:
    case EventKind::Wheel:
    case EventKind::Leave:
      CanvasEvent(step);
      break;
    case EventKind::HoverTimer:
      ApplyHover(step, HoverTimerRanOut(session.Hover, session.PlanShown, GanttWithPlan(session)), true);
      break;
    case EventKind::FeedbackTimer:
      FeedbackTick(step);
      break;
    case EventKind::CompareLoaded:
      ReferenceLoaded(step);
      break;
    case EventKind::CompareFailed:
      // The plan shown and its comparison stay as they were.
      ShowComparison(step);
      break;
    case EventKind::RedrawTimer:
      session.RedrawTimerArmed = false;
      effects.RedrawTimer = TimerAction::Stop;
      if (session.RelayoutPending) {
        session.RelayoutPending = false;
        effects.Relayout = true;
      } else {
        DrawNow(step);
      }
      break;
    default:
      ControlEvent(step);
      break;
  }
  return effects;
}

bool Comparing(const ViewerSession& session) {
  return session.Comparison.Changes != nullptr;
}

std::string StatusLineText(const ViewerSession& session, const std::string& loadText) {
  if (!Comparing(session)) return loadText;
  return ComparisonStatusText(session.Comparison) + " | " + loadText;
}

SessionEffects EndComparison(ViewerSession& session, const SessionEvent& now) {
  SessionEffects effects;
  Step step{session, now, effects};
  StopComparing(step);
  return effects;
}

SessionEffects ReportChartSaved(ViewerSession& session, const std::string& title, const std::string& report,
                                bool saved, bool longIsError) {
  SessionEffects effects;
  const SessionEvent none;
  Step step{session, none, effects};
  if (report.find('\n') == std::string::npos) {
    ShowFeedbackStep(step, FeedbackButton::Export, EXPORT_FEEDBACK_ICON, saved ? 2 : 3, report);
  } else {
    effects.Box = MessageBoxRequest{title, report, longIsError || !saved};
  }
  return effects;
}

SessionEffects StartNewPlan(ViewerSession& session, const SessionEvent& now) {
  SessionEffects effects;
  Step step{session, now, effects};
  // Another plan: the lists start in plan order again.
  session.Kept.reset();
  session.PointerTask = -1;
  session.TaskSort = {};
  session.ResourceSort = {};
  effects.SortIndicators = {{ViewKind::Tasks, {}}, {ViewKind::Resources, {}}};
  session.View.ScrollX = 0;
  session.View.ScrollY = 0;
  ResetFolding(session.Rows, session.PlanShown);
  session.Rows.CriticalFilter = false;
  effects.CriticalChecked = false;
  RebuildRows(session.Rows, session.PlanShown);
  session.FindHighlight = -1;
  DropFindTexts(session.FindCache);
  session.TaskListFilled = false;
  session.ResourceListFilled = false;
  session.TaskListSelection = -1;
  session.ResourceListSelection = -1;
  SwitchView(step, session.CurrentView);
  RequestRelayout(step);
  return effects;
}

SessionEffects ReloadFinished(ViewerSession& session, bool loaded, const SessionEvent& now) {
  const std::optional<KeptView> kept = std::exchange(session.Kept, std::nullopt);
  if (!loaded) return {};
  if (!kept || !session.PlanShown.ProjectLoaded) return StartNewPlan(session, now);
  SessionEffects effects;
  Step step{session, now, effects};
  const std::int64_t selected = RestoreView(*kept, session.PlanShown, session.View, session.Rows);
  effects.CriticalChecked = session.Rows.CriticalFilter;
  effects.ShowScrollBars = true;
  session.FindHighlight = session.KeptFindHighlight ? selected : -1;
  DropFindTexts(session.FindCache);
  session.TaskListFilled = false;
  session.ResourceListFilled = false;
  session.TaskListSelection = -1;
  session.ResourceListSelection = -1;
  // The sorts stay; the lists are filled in them again.
  effects.SortIndicators = {{ViewKind::Tasks, session.TaskSort}, {ViewKind::Resources, session.ResourceSort}};
  if (session.CurrentView == ViewKind::Gantt) {
    DrawChart(step);
  } else {
    SwitchView(step, session.CurrentView);
    if (session.CurrentView == ViewKind::Tasks && selected >= 0) {
      SelectRow(step, ViewKind::Tasks, TaskListRowOf(session.ListRows, selected), false);
    }
  }
  effects.ShowTab = session.CurrentView;
  // The other list is filled when it is next shown.
  return effects;
}

std::vector<std::int64_t> ListRecords(const ViewerSession& session, ViewKind list) {
  std::vector<std::int64_t> records;
  const std::int64_t count = ListRowCount(session, list);
  records.reserve(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  for (std::int64_t row = 0; row < count; ++row) records.push_back(RecordAtRow(session, list, row));
  return records;
}

std::int64_t ListRowOfRecord(const ViewerSession& session, ViewKind list, std::int64_t record) {
  if (list == ViewKind::Tasks) return session.TaskListFilled ? TaskListRowOf(session.ListRows, record) : -1;
  if (list != ViewKind::Resources || record < 0) return -1;
  const std::int64_t count = ListRowCount(session, list);
  for (std::int64_t row = 0; row < count; ++row) {
    if (session.ResourceOrder[static_cast<std::size_t>(row)] == record) return row;
  }
  return -1;
}

SessionEffects PlanEmptied(ViewerSession& session, const SessionEvent& now) {
  SessionEffects effects;
  Step step{session, now, effects};
  RebuildRows(session.Rows, session.PlanShown);
  ClearTaskListRows(session.ListRows);
  session.TaskListFilled = false;
  session.ResourceListFilled = false;
  session.TaskListSelection = -1;
  session.ResourceListSelection = -1;
  session.ResourceOrder.clear();
  session.Kept.reset();
  effects.EmptyLists = true;
  DrawChart(step);
  return effects;
}

SessionEffects ShowFeedback(ViewerSession& session, FeedbackButton button, std::int64_t feedbackIcon,
                            std::int64_t flashes, const std::string& message) {
  SessionEffects effects;
  const SessionEvent none;
  Step step{session, none, effects};
  ShowFeedbackStep(step, button, feedbackIcon, flashes, message);
  return effects;
}

SessionEffects PutHoverAway(ViewerSession& session) {
  SessionEffects effects;
  const SessionEvent none;
  Step step{session, none, effects};
  HideHoverSummary(step);
  return effects;
}

SessionEffects RedrawSoon(ViewerSession& session, std::int64_t now) {
  SessionEffects effects;
  SessionEvent event;
  event.Now = now;
  Step step{session, event, effects};
  RequestRedraw(step);
  return effects;
}

SessionEffects RelayoutSoon(ViewerSession& session) {
  SessionEffects effects;
  const SessionEvent none;
  Step step{session, none, effects};
  RequestRelayout(step);
  return effects;
}

SessionEvent CommandEvent(Command command, std::int64_t now, DayOrdinal today) {
  SessionEvent event;
  event.Kind = EventKind::Command;
  event.Cmd = command;
  event.Now = now;
  event.Today = today;
  return event;
}

SessionEvent KeyEvent(NavigationKey key, std::int64_t now) {
  SessionEvent event;
  event.Kind = EventKind::NavigationKey;
  event.Key = key;
  event.Now = now;
  return event;
}

SessionEvent PointerEvent(EventKind kind, std::int64_t x, std::int64_t y, bool leftHeld, std::int64_t now) {
  SessionEvent event;
  event.Kind = kind;
  event.X = x;
  event.Y = y;
  event.LeftHeld = leftHeld;
  event.Now = now;
  return event;
}

SessionEvent WheelEvent(std::int64_t notches, bool shift, std::int64_t x, std::int64_t now) {
  SessionEvent event;
  event.Kind = EventKind::Wheel;
  event.Notches = notches;
  event.Shift = shift;
  event.X = x;
  event.Now = now;
  return event;
}

SessionEvent ResizeEvent(std::int64_t width, std::int64_t height, std::int64_t listHeight, std::int64_t now) {
  SessionEvent event;
  event.Kind = EventKind::Resize;
  event.Width = width;
  event.Height = height;
  event.ListHeight = listHeight;
  event.Now = now;
  return event;
}

SessionEvent TimerEvent(EventKind timer, std::int64_t now) {
  SessionEvent event;
  event.Kind = timer;
  event.Now = now;
  return event;
}

AfterOpen DecideAfterOpen(const OpenOutcome& outcome) {
  AfterOpen after;
  if (outcome.Loaded && !outcome.Reload) {
    after.TakeSource = true;
    after.Recent = RecentChange::Remember;
  } else if (!outcome.Loaded && outcome.FromRecent) {
    after.Recent = RecentChange::Forget;
  }
  if (!outcome.PlanShown) {
    after.DropSource = true;
    after.Watch = WatchChange::Stop;
  } else if (outcome.Loaded) {
    if (outcome.ShownIsAddress) {
      after.Watch = WatchChange::Stop;
    } else if (!outcome.Reload || !outcome.Watching) {
      after.Watch = WatchChange::Follow;
    }
  }
  return after;
}

}  // namespace nerin
