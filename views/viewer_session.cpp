// SPDX-License-Identifier: MIT
// The session's one door: every event through Apply, by kind to the file of its concern.
#include "views/viewer_session.h"

#include <type_traits>
#include <utility>

#include "views/chart_export.h"
#include "views/toolbar_tooltips.h"
#include "views/viewer_session_step.h"

namespace nerin {

using namespace session;

namespace {

void RunCommand(Step& step, Command command) {
  SessionState& s = step.s;
  if (RefusedWhileLoading(step, command)) return;
  if (ChartCommand(step, command)) return;
  switch (command) {
    case Command::OpenFile:
      step.out.Request = Dialog(s, WindowAction::OpenFileDialog);
      return;
    case Command::OpenAddress:
      step.out.Request = Dialog(s, WindowAction::OpenAddressDialog);
      return;
    case Command::Help:
      step.out.Request = Dialog(s, WindowAction::Help);
      return;
    case Command::About:
      step.out.Request = Dialog(s, WindowAction::About);
      return;
    case Command::Messages:
      step.out.Request = Dialog(s, WindowAction::MessagesWindow);
      return;
    case Command::Print:
    case Command::PrintPreview:
      // Only the Gantt chart of a plan has pages; the refusal flashes the Export button.
      if (!GanttWithPlan(s)) {
        const std::string_view refusal = step.Loaded() ? PRINT_NOT_GANTT_TEXT : PRINT_NO_PLAN_TEXT;
        ShowFeedback(step, ToolbarIcon::Export, ToolbarIcon::ExportFeedback, 3, std::string(refusal));
      } else {
        step.out.Request = Dialog(s, command == Command::Print ? WindowAction::Print : WindowAction::PrintPreview);
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
    case Command::Stop:
      StopLoad(step);
      return;
    case Command::Escape:
      if (Loading(s)) {
        StopLoad(step);
      } else {
        StopComparing(step);
      }
      return;
    case Command::Reload:
      Reload(step, true);
      return;
    case Command::Copy:
      Copy(step, {});
      return;
    case Command::FindNext:
      FindNext(step, {});
      return;
    case Command::ExportList:
      if (step.Loaded() && s.CurrentView != ViewKind::Gantt) step.out.Request = Dialog(s, WindowAction::ExportList);
      return;
    case Command::FitOrRefresh:
      FitOrRefresh(step);
      return;
    case Command::ModelDump:
      if (!step.Loaded()) {
        step.out.Request = MessageBoxRequest{"Model dump", "No project is loaded, so there is nothing to dump.", false};
      } else {
        step.out.Request = Dialog(s, WindowAction::SaveModelDump);
      }
      return;
    case Command::Export:
      if (step.Loaded() && s.CurrentView != ViewKind::Gantt) {
        // On a list tab the export writes the list.
        step.out.Request = Dialog(s, WindowAction::ExportList);
      } else if (!GanttWithPlan(s)) {
        const std::string_view refusal = step.Loaded() ? EXPORT_NOT_GANTT_TEXT : EXPORT_NO_PLAN_TEXT;
        ShowFeedback(step, ToolbarIcon::Export, ToolbarIcon::ExportFeedback, 3, std::string(refusal));
      } else {
        step.out.Request = Dialog(s, WindowAction::ExportChart);
      }
      return;
    default:
      return;
  }
}

void Start(Step& step, const StartEvent& event) {
  SessionState& s = step.s;
  s.Lower = event.Lower;
  s.Collate = event.Collate;
  s.View.DayWidth = event.DayWidth;
  s.View.TaskColumnWidth = event.TaskColumnWidth;
  s.Opening.LastFolder = event.LastFolder;
  s.Opening.LastAddress = event.LastAddress;
  step.out.Toolbar.ExportTooltip = ExportButtonTooltip(s.CurrentView);
}

// Events of the window's controls: each first puts the hover box away.
template <typename Event>
void ControlEvent(Step& step, const Event& event) {
  SessionState& s = step.s;
  HideHoverSummary(step);
  if constexpr (std::is_same_v<Event, CommandEvent>) {
    RunCommand(step, event.Run);
  } else if constexpr (std::is_same_v<Event, FindEvent>) {
    if (!RefusedWhileLoading(step, Command::FindNext)) FindNext(step, event.Text);
  } else if constexpr (std::is_same_v<Event, CopyEvent>) {
    Copy(step, event);
  } else if constexpr (std::is_same_v<Event, KeyEvent>) {
    NavigateByKey(step, event.Key);
  } else if constexpr (std::is_same_v<Event, TabEvent>) {
    SwitchView(step, event.View);
  } else if constexpr (std::is_same_v<Event, ScrollBarEvent>) {
    if (ScrollBarMoved(s.View, event.Horizontal, event.Position) != ViewUpdate::None) RequestRedraw(step);
  } else if constexpr (std::is_same_v<Event, ListSelectEvent>) {
    if (event.List != ViewKind::Gantt) Selection(s, event.List) = event.Row;
  } else if constexpr (std::is_same_v<Event, ListDoubleClickEvent>) {
    ListDoubleClick(step);
  } else if constexpr (std::is_same_v<Event, SearchFocusEvent>) {
    // The navigation keys edit the search field's text while it has the focus.
    if (s.NavigationKeysMode != !event.Focused) {
      s.NavigationKeysMode = !event.Focused;
      step.out.Toolbar.NavigationKeys = s.NavigationKeysMode;
    }
  } else if constexpr (std::is_same_v<Event, FollowLinkEvent>) {
    FollowLink(step, event.Task);
  } else if constexpr (std::is_same_v<Event, HeaderEvent>) {
    HeaderClicked(step, event);
  } else if constexpr (std::is_same_v<Event, HoverAwayEvent>) {
    // Put away above.
  }
}

struct Dispatch {
  Step& step;

  void operator()(const ResizeEvent& e) { Resize(step, e); }
  void operator()(const PointerEvent& e) { Pointer(step, e); }
  void operator()(const WheelEvent& e) { Wheel(step, e); }
  void operator()(const TimerEvent& e) {
    switch (e.Timer) {
      case SessionTimer::Hover:
        HoverTimerTick(step);
        return;
      case SessionTimer::Feedback:
        FeedbackTick(step);
        return;
      case SessionTimer::Redraw:
        RedrawTimerTick(step);
        return;
      case SessionTimer::Progress:
        return;  // the window reports the bytes with LoadProgressEvent
    }
  }
  void operator()(const OpenSourceEvent& e) { OpenSource(step, e); }
  void operator()(const LoadProgressEvent& e) { LoadProgress(step, e.Bytes); }
  void operator()(const OpenFinishedEvent& e) { OpenFinished(step, e); }
  void operator()(const CompareFinishedEvent& e) { CompareFinished(step, e); }
  void operator()(const FileChangedEvent& e) { FileChanged(step, e); }
  void operator()(const DialogClosedEvent& e) {
    if (!e.Folder.empty()) step.s.Opening.LastFolder = e.Folder;
    DialogClosed(step);
  }
  void operator()(const FileWrittenEvent& e) { FileWritten(step, e); }
  void operator()(const RedrawEvent&) { RequestRedraw(step); }
  void operator()(const RelayoutEvent&) { RequestRelayout(step); }
  void operator()(const StartEvent& e) { Start(step, e); }
  template <typename Event>
  void operator()(const Event& e) {
    ControlEvent(step, e);
  }
};

}  // namespace

SessionEffects ViewerSession::Apply(const SessionEvent& event, const SessionClock& clock) {
  SessionEffects effects;
  Step step{state_, clock, effects};
  const bool escape = EscapeWanted(state_);
  const bool loading = session::Loading(state_);
  std::visit(Dispatch{step}, event);
  // Esc stops a load, else the comparison; it is a key of the window only while either runs.
  if (EscapeWanted(state_) != escape) effects.Toolbar.EscapeKey = !escape;
  if (session::Loading(state_) != loading) effects.Toolbar.StopButton = !loading;
  return effects;
}

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

bool ViewerSession::GanttWithPlan() const {
  return session::GanttWithPlan(state_);
}

bool ViewerSession::Comparing() const {
  return session::Comparing(state_);
}

bool ViewerSession::Loading() const {
  return session::Loading(state_);
}

std::string ViewerSession::StatusLineText(const std::string& loadText) const {
  return nerin::StatusLineText(loadText, state_.Opening.FailedReload, Comparing() ? &state_.Comparison : nullptr);
}

std::string StatusLineText(const std::string& loadText, const std::string& failedReload,
                           const ChartComparison* comparison) {
  const std::string text = failedReload.empty() ? loadText : failedReload;
  if (comparison == nullptr) return text;
  return ComparisonStatusText(*comparison) + " | " + text;
}

std::string ViewerSession::DialogFolder() const {
  return session::DialogFolder(state_);
}

std::vector<std::int64_t> ViewerSession::ListRecords(ViewKind list) const {
  std::vector<std::int64_t> records;
  const std::int64_t count = ListRowCount(state_, list);
  records.reserve(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  for (std::int64_t row = 0; row < count; ++row) records.push_back(RecordAtRow(state_, list, row));
  return records;
}

std::int64_t ViewerSession::ListRowOfRecord(ViewKind list, std::int64_t record) const {
  return session::ListRowOfRecord(state_, list, record);
}

}  // namespace nerin

namespace nerin::session {

bool GanttWithPlan(const SessionState& s) {
  return s.CurrentView == ViewKind::Gantt && s.Shown->ProjectLoaded;
}

bool Comparing(const SessionState& s) {
  return s.Comparison.Changes != nullptr;
}

bool Loading(const SessionState& s) {
  return s.Opening.Load.has_value();
}

std::string DialogFolder(const SessionState& s) {
  return s.Opening.PlanFolder.empty() ? s.Opening.LastFolder : s.Opening.PlanFolder;
}

std::int64_t ListRowOfRecord(const SessionState& s, ViewKind list, std::int64_t record) {
  if (list == ViewKind::Tasks) return s.TaskListFilled ? TaskListRowOf(s.ListRows, record) : -1;
  if (list != ViewKind::Resources || record < 0) return -1;
  const std::int64_t count = ListRowCount(s, list);
  for (std::int64_t row = 0; row < count; ++row) {
    if (s.ResourceOrder[static_cast<std::size_t>(row)] == record) return row;
  }
  return -1;
}

}  // namespace nerin::session
