// SPDX-License-Identifier: MIT
// The viewer's decisions without a window: the state of the chart, the lists, Find, the hover
// box, the feedback, the comparison and the opening of plans, and what each event of the
// window does to it. The window turns its toolkit's events into SessionEvents and the returned
// SessionEffects into widget calls; it decides nothing itself. Time comes in beside the events,
// so no rule here reads a clock. The state is the session's own: Apply is the one way to
// change it, the const queries the way to read it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/message_log.h"
#include "model/plan.h"
#include "views/change_texts.h"
#include "views/chart_view.h"
#include "views/find.h"
#include "views/hover_summary.h"
#include "views/list_navigation.h"
#include "views/list_sort.h"
#include "views/row_model.h"
#include "views/view_keeping.h"
#include "views/viewer_session_effects.h"
#include "views/viewer_session_events.h"

namespace nerin {

// A burst of scroll or zoom events draws at most once in this many milliseconds; the redraw
// timer catches up 16 ms later.
inline constexpr std::int64_t REDRAW_THRESHOLD_MS = 15;
inline constexpr int REDRAW_TIMER_MS = 16;
inline constexpr int FEEDBACK_TIMER_MS = 350;
// Ticks of the feedback timer that a feedback message stays in the status line.
inline constexpr std::int64_t FEEDBACK_MESSAGE_TICKS = 17;
// How often the status line asks a load under way how far it has come.
inline constexpr int PROGRESS_TIMER_MS = 100;

struct FeedbackState {
  std::optional<ToolbarIcon> Button;  // the flashing button by its normal picture
  ToolbarIcon Icon = ToolbarIcon::Open;
  std::int64_t FlashTicks = 0;
  std::int64_t MessageTicks = 0;
  bool ShowsMessage = false;
};

// A load the session asked for and has not yet heard the end of.
struct LoadUnderWay {
  std::string Source;
  std::string Name;
  bool Address = false;
  std::string Folder;  // of a file
  OpenOrigin Origin = OpenOrigin::Dialog;
  bool Reload = false;
  bool Automatic = false;  // a reload the viewer started by itself, on a change of the file
  std::int64_t Bytes = 0;

  bool Reference() const { return Origin == OpenOrigin::Reference; }
};

// Where plans come from and what an open leaves behind.
struct OpeningState {
  // The shown plan's source (an absolute path or an address), empty while none is shown.
  std::string ShownSource;
  bool ShownIsAddress = false;
  std::string ShownName;
  // The folder of the shown plan's file, and the folder last used in a file dialog: the
  // dialogs start in the first, else the second.
  std::string PlanFolder;
  std::string LastFolder;
  std::string LastAddress;
  bool Watching = false;
  // A change of the shown plan's file that came while a load ran or a dialog was open.
  bool ReloadWaiting = false;
  std::optional<LoadUnderWay> Load;
  // A reload the viewer started by itself failed: the status line says so, and the messages
  // button offers the attempt's messages while the plan shown stays.
  std::string FailedReload;
};

// Everything the session holds. Only the session's own files write it (through Apply); the
// window and the tests read it through ViewerSession::State.
struct SessionState {
  // The plan shown and the messages of the last attempt to open one, each whole and never
  // changed once made: a dialog that holds them keeps them however the session moves on.
  std::shared_ptr<const nerin::Plan> Shown = std::make_shared<const nerin::Plan>();
  std::shared_ptr<const MessageLog> Log = std::make_shared<const MessageLog>();
  // Whether the messages are the shown plan's own, not those of a later attempt that failed.
  bool MessagesMatchPlan = true;
  // The platform's lower case for Find (ASCII alone when not given) and the lists' collation
  // (bytes when not given), from StartEvent.
  LowerCaseFunction Lower;
  TextCollation Collate;

  ViewKind CurrentView = ViewKind::Gantt;
  // The Gantt chart: its rows, its view (scale, offsets, task column, scroll bars, splitter
  // drag) and the hover box. The scale and the task column survive loads.
  RowModel Rows;
  ChartView View;
  HoverState Hover;
  // The task under the pointer over the chart, -1 none: what Copy takes there.
  std::int64_t PointerTask = -1;
  // The Tasks list's rows as last filled, whether each list is filled, and their selections.
  TaskListRows ListRows;
  bool TaskListFilled = false;
  bool ResourceListFilled = false;
  // Whether the critical filter was on when the Tasks list was filled.
  bool TaskListCritical = false;
  std::int64_t TaskListSelection = -1;
  std::int64_t ResourceListSelection = -1;
  std::int64_t ListPageRows = 1;
  // The lists' sorts, held until the next load (a reload keeps them), and the Resources list's
  // resources in the order shown.
  ListSort TaskSort;
  ListSort ResourceSort;
  std::vector<std::int64_t> ResourceOrder;
  // What a reload keeps of the view until it ends.
  std::optional<KeptView> Kept;
  bool KeptFindHighlight = false;
  // Find: the task found last, the previous search text and the plan's texts in lower case.
  std::int64_t FindHighlight = -1;
  std::string LastFindText;
  FindTexts FindCache;
  // On while the search field does not have the keyboard focus.
  bool NavigationKeysMode = true;
  // Redraw throttle and the deferred relayout.
  std::int64_t LastDrawTime = 0;
  bool RedrawTimerArmed = false;
  bool RelayoutPending = false;
  FeedbackState Feedback;

  // Compare with…: the reference version, kept so that a reload is compared with it again, and
  // what changed since it; Comparison.Changes points into Changes then, else all are empty.
  std::shared_ptr<const Plan> Reference;
  std::shared_ptr<const PlanChanges> Changes;
  ChartComparison Comparison;

  OpeningState Opening;
};

class ViewerSession {
 public:
  // One event at the clock's time, and what the window must do about it.
  SessionEffects Apply(const SessionEvent& event, const SessionClock& clock = {});

  const SessionState& State() const { return state_; }
  // The plan shown (an empty one before the first open), and the same held for as long as a
  // dialog or a window needs it.
  const nerin::Plan& ShownPlan() const { return *state_.Shown; }
  const std::shared_ptr<const nerin::Plan>& HeldPlan() const { return state_.Shown; }
  const MessageLog& ShownLog() const { return *state_.Log; }
  // The records a list shows, in its shown order: task indexes for the Tasks list, resource
  // indexes for the Resources list; none for the Gantt view or a list not filled.
  std::vector<std::int64_t> ListRecords(ViewKind list) const;
  // The list row of a record (task or resource index), -1 when the list does not show it.
  std::int64_t ListRowOfRecord(ViewKind list, std::int64_t record) const;
  // Whether the plan shown is compared with a reference version.
  bool Comparing() const;
  // Whether a load runs.
  bool Loading() const;
  // The status line: what the load reported, after the comparison's summary while comparing,
  // or what a failed automatic reload left.
  std::string StatusLineText(const std::string& loadText) const;
  // Where the file dialogs start: the shown plan's folder, else the one last used.
  std::string DialogFolder() const;
  // The Gantt view with a plan loaded: where the chart's commands act.
  bool GanttWithPlan() const;

 private:
  SessionState state_;
};

// The status line from what the load reported: what a failed automatic reload left instead,
// after the comparison's summary while comparing (`comparison` null: not comparing).
std::string StatusLineText(const std::string& loadText, const std::string& failedReload,
                           const ChartComparison* comparison);

// A tab index as a view; anything else is the Gantt view.
ViewKind ViewKindOf(std::int64_t index);

// What an open or a reload leaves behind besides the plan: the recent plans and the watch on
// the shown plan's file follow what is shown.
struct OpenOutcome {
  bool Loaded = false;
  bool Reload = false;
  bool FromRecent = false;      // opened from the recent-plans menu
  bool PlanShown = false;       // a plan is shown after the open
  bool ShownIsAddress = false;  // the shown plan, once this open is taken, came from the web
  bool Watching = false;        // a file is watched already
};
enum class RecentChange { Keep, Remember, Forget };
enum class WatchChange { Keep, Stop, Follow };
struct AfterOpen {
  bool TakeSource = false;  // a new plan loaded: its source becomes the shown one
  bool DropSource = false;  // no plan shown: there is no shown source any more
  RecentChange Recent = RecentChange::Keep;
  WatchChange Watch = WatchChange::Keep;
};
// A recent plan that fails to open leaves the list; a plan from the web has no file to watch;
// a reload keeps a watch already there.
AfterOpen DecideAfterOpen(const OpenOutcome& outcome);

// The status line while a load runs: "Opening plan.xml…", "Downloading plan.xml… 12.3 MB".
std::string LoadingStatusText(const std::string& name, bool address, std::int64_t bytes);
// "Opening plan.xml was stopped."
std::string LoadStoppedText(const std::string& name);
// The title of the window that shows why an open the user asked for failed.
std::string OpenFailedTitle(const std::string& name);

}  // namespace nerin
