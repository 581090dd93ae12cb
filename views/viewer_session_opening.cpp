// SPDX-License-Identifier: MIT
// The session's opening of plans: a source chosen, the load under way with its progress and
// Stop, its end (a new plan, a reload, a failure, a plan emptied), the reload asked for or
// started by a change of the file, and what an open leaves behind (the shown source, the
// folders, the recent plans, the file watch).
#include <utility>

#include "calendar/value_text.h"
#include "views/viewer_session_step.h"

namespace nerin::session {

namespace {

constexpr std::int64_t BYTES_PER_KB = 1000;
constexpr std::int64_t BYTES_PER_TENTH_MB = 100000;

std::string SizeText(std::int64_t bytes) {
  if (bytes < BYTES_PER_TENTH_MB) return IntegerText((bytes + BYTES_PER_KB - 1) / BYTES_PER_KB) + " KB";
  const std::int64_t tenths = bytes / BYTES_PER_TENTH_MB;
  return IntegerText(tenths / 10) + "." + IntegerText(tenths % 10) + " MB";
}

std::string ReloadFailedText(const std::string& name, const std::string& error) {
  return "FAILED | " + name + " changed but could not be reloaded" + (error.empty() ? "" : ": " + error) +
         " | the previous version is still displayed";
}

// A load replaces any under way: the first is dropped unseen.
void StartLoad(Step& step, LoadUnderWay load) {
  SessionState& s = step.s;
  if (s.Opening.Load) {
    step.out.Sources.StopLoad = true;
    if (s.Opening.Load->Reload && !load.Reload) s.Kept.reset();
  }
  step.out.Request = ReadRequest{load.Source, load.Address, load.Reference()};
  step.out.Status.Progress = LoadingStatusText(load.Name, load.Address, 0);
  step.out.Timers.Progress = TimerAction::Start;
  s.Opening.Load = std::move(load);
  // Without a plan the chart says nothing rather than "No project loaded".
  if (!step.Loaded()) DrawChart(step);
}

// What every plan taken in starts from, whatever road it came by: no list filled or
// selected, no task under the pointer or found, nothing kept of a view.
void ResetForPlan(SessionState& s) {
  s.Kept.reset();
  s.PointerTask = -1;
  s.FindHighlight = -1;
  DropFindTexts(s.FindCache);
  s.TaskListFilled = false;
  s.ResourceListFilled = false;
  s.TaskListSelection = -1;
  s.ResourceListSelection = -1;
}

void PlanEmptied(Step& step) {
  SessionState& s = step.s;
  ResetForPlan(s);
  RebuildRows(s.Rows, *s.Shown);
  ClearTaskListRows(s.ListRows);
  s.ResourceOrder.clear();
  step.out.Lists.Empty = true;
  ShowNoScrolling(step);
  DrawChart(step);
}

// After a reload: the new plan comes back with the kept view (day width, task column, scroll,
// folded summaries, critical filter, the selected task by UID) and the lists in their sorts.
void ReloadFinished(Step& step) {
  SessionState& s = step.s;
  const std::optional<KeptView> kept = std::exchange(s.Kept, std::nullopt);
  if (!kept) {
    StartNewPlan(step);
    return;
  }
  ResetForPlan(s);
  const std::int64_t selected = RestoreView(*kept, *s.Shown, s.View, s.Rows);
  step.out.Toolbar.CriticalChecked = s.Rows.CriticalFilter;
  step.out.Chart.ShowScrollBars = true;
  s.FindHighlight = s.KeptFindHighlight ? selected : -1;
  // The sorts stay; the lists are filled in them again.
  step.out.Lists.SortIndicators = {{ViewKind::Tasks, s.TaskSort}, {ViewKind::Resources, s.ResourceSort}};
  if (s.CurrentView == ViewKind::Gantt) {
    DrawChart(step);
  } else {
    SwitchView(step, s.CurrentView);
    if (s.CurrentView == ViewKind::Tasks && selected >= 0) {
      SelectRow(step, ViewKind::Tasks, TaskListRowOf(s.ListRows, selected), false);
    }
  }
  step.out.Chart.ShowTab = s.CurrentView;
}

// What the open leaves behind besides the plan.
void FollowOpen(Step& step, const LoadUnderWay& load, bool loaded, bool planLeft) {
  OpeningState& o = step.s.Opening;
  const bool takes = loaded && !load.Reload;
  const AfterOpen after = DecideAfterOpen({loaded, load.Reload, load.Origin == OpenOrigin::Recent, planLeft,
                                           takes ? load.Address : o.ShownIsAddress, o.Watching});
  if (after.TakeSource) {
    o.ShownSource = load.Source;
    o.ShownIsAddress = load.Address;
    o.ShownName = load.Name;
    o.PlanFolder = load.Address ? std::string() : load.Folder;
    // A recent plan moves the dialogs to its folder only once it has opened.
    if (!load.Address) o.LastFolder = load.Folder;
  }
  if (after.Recent == RecentChange::Remember) step.out.Sources.Remember = load.Source;
  if (after.Recent == RecentChange::Forget) step.out.Sources.Forget = load.Source;
  if (after.DropSource) {
    o.ShownSource.clear();
    o.ShownName.clear();
    o.PlanFolder.clear();
  }
  if (after.Watch == WatchChange::Stop) {
    step.out.Sources.Watch = std::string();
    o.Watching = false;
  } else if (after.Watch == WatchChange::Follow) {
    step.out.Sources.Watch = o.ShownSource;
    o.Watching = true;
  }
}

}  // namespace

DialogRequest Dialog(const SessionState& s, WindowAction dialog) {
  return DialogRequest{dialog, DialogFolder(s), s.Opening.LastAddress};
}

void OpenSource(Step& step, const OpenSourceEvent& event) {
  SessionState& s = step.s;
  const bool reference = event.Origin == OpenOrigin::Reference;
  if (!event.Supported) {
    step.out.Request = reference ? MessageBoxRequest{"Address not loaded", "Only http and https addresses can be opened.", true}
                                 : MessageBoxRequest{"File not loaded", "Only MS Project plans (.xml or .mpp files) are supported.", true};
    if (reference) ShowComparison(step);
    return;
  }
  if (event.Source.empty()) return;
  if (reference && !step.Loaded()) return;
  if (event.Address && !reference) s.Opening.LastAddress = event.Source;
  // The folder of a file chosen, dropped or named is the one the dialogs start in next; a
  // recent plan's only once it has opened.
  if (!event.Address && event.Origin != OpenOrigin::Recent && !reference) s.Opening.LastFolder = event.Folder;
  StartLoad(step, LoadUnderWay{.Source = event.Source,
                               .Name = event.Name,
                               .Address = event.Address,
                               .Folder = event.Folder,
                               .Origin = event.Origin});
}

namespace {

// The attempt's outcome taken in: its plan in the shown one's place when it brought one, its
// messages in place of the shown ones.
bool TakePlan(SessionState& s, const OpenFinishedEvent& event) {
  if (event.PlanRead) {
    s.Shown = event.PlanRead;
    s.MessagesMatchPlan = event.PlanRead->MessagesMatchPlan;
  } else if (event.TextRead) {
    s.MessagesMatchPlan = false;
  }
  s.Log = event.Log ? event.Log : std::make_shared<const MessageLog>();
  return s.Shown->ProjectLoaded;
}

std::string FirstErrorText(const MessageLog& log) {
  for (const Message& message : log.messages) {
    if (message.level == MessageLevel::Error) return message.text;
  }
  return {};
}

}  // namespace

void OpenFinished(Step& step, const OpenFinishedEvent& event) {
  SessionState& s = step.s;
  if (!s.Opening.Load || s.Opening.Load->Reference() || s.Opening.Load->Source != event.Source) return;
  const LoadUnderWay load = *std::exchange(s.Opening.Load, std::nullopt);
  const bool planLeft = TakePlan(s, event);
  step.out.Timers.Progress = TimerAction::Stop;
  FollowOpen(step, load, event.Loaded, planLeft);
  step.out.Status.Compose = true;
  step.out.Status.Title = true;
  s.Opening.FailedReload.clear();
  // The box describes a task of the plan that is gone: its index means nothing in the new one.
  if (event.Loaded || !planLeft) HideHoverSummary(step);
  if (event.Loaded && load.Reload) {
    ReloadFinished(step);
    // The comparison stays, matched again by UID against the plan read anew.
    if (Comparing(s)) CompareAgain(step);
  } else if (event.Loaded) {
    // Another plan: the comparison was with the plan that is gone.
    StopComparing(step);
    StartNewPlan(step);
    s.Opening.ReloadWaiting = false;
  } else {
    if (load.Reload) s.Kept.reset();
    if (!planLeft) {
      StopComparing(step);
      PlanEmptied(step);
    }
    // A reload the viewer started by itself opens no window: the status line says what
    // failed, and the next good write of the file reloads.
    if (load.Automatic && planLeft) {
      s.Opening.FailedReload = ReloadFailedText(load.Name, FirstErrorText(*s.Log));
    } else if (!load.Automatic) {
      step.out.Request = MessagesWindowRequest{OpenFailedTitle(load.Name), MessageListText(*s.Log)};
    }
  }
  if (!step.Loaded()) DrawChart(step);
  DialogClosed(step);
}

void StartNewPlan(Step& step) {
  SessionState& s = step.s;
  // Another plan: the lists start in plan order again.
  ResetForPlan(s);
  s.TaskSort = {};
  s.ResourceSort = {};
  step.out.Lists.SortIndicators = {{ViewKind::Tasks, {}}, {ViewKind::Resources, {}}};
  s.View.ScrollX = 0;
  s.View.ScrollY = 0;
  ResetFolding(s.Rows, *s.Shown);
  s.Rows.CriticalFilter = false;
  step.out.Toolbar.CriticalChecked = false;
  RebuildRows(s.Rows, *s.Shown);
  SwitchView(step, s.CurrentView);
  RequestRelayout(step);
}

// The view as it is now is kept for the plan read again; the window reads the source.
void Reload(Step& step, bool asked) {
  SessionState& s = step.s;
  if (!step.Loaded() || s.Opening.ShownSource.empty()) {
    if (asked) {
      step.out.Request = MessageBoxRequest{"Reload", "No project is loaded, so there is nothing to reload.", false};
    }
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
  s.Opening.ReloadWaiting = false;
  const OpeningState& o = s.Opening;
  StartLoad(step, LoadUnderWay{.Source = o.ShownSource,
                               .Name = o.ShownName,
                               .Address = o.ShownIsAddress,
                               .Folder = o.PlanFolder,
                               .Reload = true,
                               .Automatic = !asked});
}

void FileChanged(Step& step, const FileChangedEvent& event) {
  SessionState& s = step.s;
  if (!step.Loaded() || s.Opening.ShownSource.empty() || s.Opening.ShownIsAddress) return;
  // Not while a plan is read or a dialog is open: the reload waits until they are done.
  if (event.DialogOpen || Loading(s)) {
    s.Opening.ReloadWaiting = true;
    return;
  }
  Reload(step, false);
}

void DialogClosed(Step& step) {
  SessionState& s = step.s;
  if (!s.Opening.ReloadWaiting || Loading(s) || !std::holds_alternative<std::monostate>(step.out.Request)) return;
  Reload(step, false);
}

void StopLoad(Step& step) {
  SessionState& s = step.s;
  if (!s.Opening.Load) return;
  const LoadUnderWay load = *std::exchange(s.Opening.Load, std::nullopt);
  if (load.Reload) s.Kept.reset();
  s.Opening.ReloadWaiting = false;
  step.out.Sources.StopLoad = true;
  step.out.Timers.Progress = TimerAction::Stop;
  step.out.Status.Compose = true;
  step.out.Status.Note = LoadStoppedText(load.Name);
  if (load.Reference()) step.out.Toolbar.CompareChecked = Comparing(s);
  if (!step.Loaded()) DrawChart(step);
}

void LoadProgress(Step& step, std::int64_t bytes) {
  std::optional<LoadUnderWay>& load = step.s.Opening.Load;
  if (!load || bytes == load->Bytes) return;
  load->Bytes = bytes;
  step.out.Status.Progress = LoadingStatusText(load->Name, load->Address, bytes);
}

}  // namespace nerin::session

namespace nerin {

std::string LoadingStatusText(const std::string& name, bool address, std::int64_t bytes) {
  if (!address) return "Opening " + name + "\u2026";
  return "Downloading " + name + "\u2026" + (bytes > 0 ? " " + session::SizeText(bytes) : std::string());
}

std::string LoadStoppedText(const std::string& name) {
  return "Opening " + name + " was stopped.";
}

std::string OpenFailedTitle(const std::string& name) {
  return name + " not loaded";
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
