// SPDX-License-Identifier: MIT
// The viewer's decisions without a window: the state of the chart, the lists, Find, the hover
// box and the feedback, and what each event of the window does to it. The window turns its
// toolkit's events into SessionEvents and the returned SessionEffects into widget calls; it
// decides nothing itself. Time comes in with the events, so no rule here reads a clock.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/plan.h"
#include "views/change_texts.h"
#include "views/chart_view.h"
#include "views/find.h"
#include "views/hover_summary.h"
#include "views/list_csv.h"
#include "views/list_navigation.h"
#include "views/list_sort.h"
#include "views/row_model.h"
#include "views/view_keeping.h"

namespace nerin {

// A burst of scroll or zoom events draws at most once in this many milliseconds; the redraw
// timer catches up 16 ms later.
inline constexpr std::int64_t REDRAW_THRESHOLD_MS = 15;
inline constexpr int REDRAW_TIMER_MS = 16;
inline constexpr int FEEDBACK_TIMER_MS = 350;
// Ticks of the feedback timer that a feedback message stays in the status line.
inline constexpr std::int64_t FEEDBACK_MESSAGE_TICKS = 17;

// The keyboard's and the toolbar's commands.
enum class Command {
  OpenFile,      // Ctrl+O, Open button
  OpenAddress,   // Ctrl+U
  FitOrRefresh,  // F5
  FitButton,
  FindNext,      // F3, Enter in the search field, Find button
  ZoomIn,        // keypad +, Zoom in button
  ZoomOut,       // keypad -, Zoom out button
  ModelDump,     // Ctrl+D, Ctrl+Shift+D
  Today,
  Critical,
  CollapseAll,
  ExpandAll,
  Export,
  Help,
  About,
  Messages,
  Print,          // Ctrl+P
  PrintPreview,   // Ctrl+Shift+P
  Compare,        // Ctrl+K, Compare button
  CompareAddress, // Ctrl+Shift+K
  StopComparing,  // Esc while comparing
  Reload,         // Ctrl+R: the shown plan's source read again
  Copy,           // Ctrl+C, list context menu: Rows are the selected list rows
  ExportList,     // list context menu "Export list…"
};

// The toolbar buttons that give feedback, named by their normal icon.
enum class FeedbackButton : std::int64_t { None = -1, Find = 4, Today = 5, Export = 9 };

enum class EventKind {
  Command,
  NavigationKey,      // with Key; only while the navigation keys are window shortcuts
  Resize,             // the chart canvas and the lists have a new size
  PointerMove,        // over the chart canvas, X and Y in drawing pixels, LeftHeld
  Press,              // left button on the canvas
  Release,
  DoubleClick,
  Wheel,              // Notches, Shift, X (-1 unknown)
  Leave,              // the pointer left the canvas; LeftHeld
  TabChanged,         // View
  ScrollBar,          // Horizontal, Position
  ListSelected,       // View names the list, Row the selected row (-1 none)
  ListDoubleClick,    // the Tasks list
  SearchFocus,        // Focused
  FollowLink,         // a link of the details window: Row is the task
  FileChanged,        // the shown plan's file settled after a change on disk
  HeaderClicked,      // View names the list, Row the column whose header was clicked
  HoverTimer,
  FeedbackTimer,
  RedrawTimer,
  // Comparing with a reference version: the reference was read (Reference, ReferenceName), or
  // it did not load.
  CompareLoaded,
  CompareFailed,
};

struct SessionEvent {
  EventKind Kind = EventKind::Command;
  // Elapsed milliseconds of the window's clock and the local date, as the event arrived.
  std::int64_t Now = 0;
  DayOrdinal Today = 0;
  Command Cmd = Command::FindNext;
  NavigationKey Key = NavigationKey::Up;
  ViewKind View = ViewKind::Gantt;
  std::int64_t X = 0;
  std::int64_t Y = 0;
  bool LeftHeld = false;
  bool Shift = false;
  std::int64_t Notches = 0;
  bool Horizontal = false;
  std::int64_t Position = 0;
  std::int64_t Row = -1;
  bool Focused = false;
  // Resize: the canvas in drawing pixels, and the height of the lists in the window's units.
  std::int64_t Width = 1;
  std::int64_t Height = 1;
  std::int64_t ListHeight = 0;
  // FindNext: the search field as it stands.
  std::string SearchText;
  // Copy: the selected rows of the list shown, in any order.
  std::vector<std::int64_t> Rows;
  // CompareLoaded: the reference plan, read for this event only, and the name it is shown by.
  const Plan* Reference = nullptr;
  std::string ReferenceName;
};

enum class TimerAction { Keep, Start, Stop };

// A dialog or window that the toolkit shows; the session has decided that it is due.
enum class WindowAction {
  None,
  OpenFileDialog,
  OpenAddressDialog,
  SaveModelDump,
  ExportChart,
  Help,
  About,
  MessagesWindow,
  Print,
  PrintPreview,
  Compare,
  CompareAddress,
  StopComparing,
  ExportList,  // the save dialog for the list shown as CSV
};

struct MessageBoxRequest {
  std::string Title;
  std::string Text;
  bool Error = false;  // else the information icon
};

// A list row to select (the lists are in the window).
struct ListSelection {
  ViewKind List = ViewKind::Tasks;
  std::int64_t Row = -1;
  bool Focus = false;
  bool AtTop = false;       // scroll the row to the list's top, else just into view
  bool KeepTopRow = false;  // a refill: the rows that were in view stay in view
};

// The header of a list shows its sort: the column and the direction, none in plan order.
struct SortIndicator {
  ViewKind List = ViewKind::Tasks;
  ListSort Sort;
};

struct ButtonIcon {
  std::int64_t Button = -1;
  std::int64_t Icon = -1;
  friend bool operator==(const ButtonIcon&, const ButtonIcon&) = default;
};

// What the window does after an event, in this order: refill lists, show the scroll bars,
// set the toggle button, draw, select, timers, feedback, then open what is due.
struct SessionEffects {
  bool FillTaskList = false;
  bool FillResourceList = false;
  bool EmptyLists = false;
  bool ShowScrollBars = false;
  std::optional<bool> CriticalChecked;
  std::optional<ViewKind> ShowTab;  // the tab panel shows this view (without a new event)
  // Draw the Gantt tab now (the chart, or the placeholder without a plan).
  bool Draw = false;
  // Lay the window out again; it then reports the new sizes with a Resize event.
  bool Relayout = false;
  std::optional<ListSelection> Select;
  std::optional<bool> ResizePointer;
  std::optional<bool> NavigationKeys;  // register the navigation keys (true) or Enter (false)
  TimerAction HoverTimer = TimerAction::Keep;
  TimerAction RedrawTimer = TimerAction::Keep;
  TimerAction FeedbackTimer = TimerAction::Keep;
  // Toolbar buttons to show an icon, in order: each button by its normal icon, the icon.
  std::vector<ButtonIcon> ButtonIcons;
  // A feedback message for the status line, or the status text back after one.
  std::optional<std::string> FeedbackMessage;
  bool RestoreStatus = false;
  std::int64_t OpenDetails = -1;  // the task whose details window opens, -1 none
  std::optional<MessageBoxRequest> Box;
  WindowAction Open = WindowAction::None;
  // Read the shown plan's source again (file or address); the window then reports the outcome
  // with ReloadFinished.
  bool ReloadSource = false;
  // Text for the clipboard.
  std::optional<std::string> Clipboard;
  std::vector<SortIndicator> SortIndicators;

  // Comparing, shown where the toggle buttons are set, in this order: Esc registered to stop
  // comparing (true) or unregistered (false); the Compare button checked while comparing, with
  // its tooltip; the Tasks list's change column set anew from the comparison; the status line
  // composed again, with the count of changes while comparing.
  std::optional<bool> StopComparingKey;
  std::optional<bool> CompareChecked;
  bool ShowChanges = false;
  bool UpdateStatus = false;
};

struct FeedbackState {
  std::int64_t Button = -1;  // normal icon of the flashing button, -1 none
  std::int64_t Icon = -1;
  std::int64_t FlashTicks = 0;
  std::int64_t MessageTicks = 0;
  bool ShowsMessage = false;
};

struct ViewerSession {
  explicit ViewerSession(const Plan& plan, LowerCaseFunction lower = {});

  const nerin::Plan& PlanShown;
  // The platform's lower case for Find; ASCII alone when not given.
  LowerCaseFunction Lower;

  ViewKind CurrentView = ViewKind::Gantt;
  // The Gantt chart: its rows, its view (scale, offsets, task column, scroll bars, splitter
  // drag) and the hover box. The scale and the task column survive loads.
  RowModel Rows;
  ChartView View;
  HoverState Hover;
  // The task under the pointer over the chart, -1 none: what Copy takes there (a key press
  // puts the hover box away, this stays).
  std::int64_t PointerTask = -1;
  // The Tasks list's rows as last filled, whether each list is filled, and their selections.
  TaskListRows ListRows;
  bool TaskListFilled = false;
  bool ResourceListFilled = false;
  // Whether the critical filter was on when the Tasks list was filled: a list filled under the
  // other setting is refilled when it is next shown.
  bool TaskListCritical = false;
  std::int64_t TaskListSelection = -1;
  std::int64_t ResourceListSelection = -1;
  std::int64_t ListPageRows = 1;
  // The lists' sorts, held until the next load (a reload keeps them), and the Resources list's
  // resources in the order shown. Texts compare with Collate (bytes when not given).
  ListSort TaskSort;
  ListSort ResourceSort;
  std::vector<std::int64_t> ResourceOrder;
  TextCollation Collate;
  // What a reload asked for keeps of the view until the window reports its outcome.
  std::optional<KeptView> Kept;
  bool KeptFindHighlight = false;
  // Find: the task found last, the previous search text and the plan's texts in lower case.
  std::int64_t FindHighlight = -1;
  std::string LastFindText;
  FindTexts FindCache;
  // On while the search field does not have the keyboard focus.
  bool NavigationKeysMode = false;
  // Redraw throttle and the deferred relayout.
  std::int64_t LastDrawTime = 0;
  bool RedrawTimerArmed = false;
  bool RelayoutPending = false;
  FeedbackState Feedback;

  // Compare with…: what changed since the reference version while the plan is compared;
  // Comparison.Changes points into Changes then, else both are empty.
  std::shared_ptr<const PlanChanges> Changes;
  ChartComparison Comparison;
};

// One event, and what the window must do about it.
SessionEffects Apply(ViewerSession& session, const SessionEvent& event);

// After a load that succeeded: the new plan starts at its first row and first day, every
// summary unfolded, the critical filter off, no Find highlight, both lists to be filled, and
// the current view shown again; the window is laid out again soon.
SessionEffects StartNewPlan(ViewerSession& session, const SessionEvent& now);
// After a reload: the outcome of the source read again. Loaded, the new plan comes back with
// the kept view (day width, task column, scroll, folded summaries, critical filter, the
// selected task by UID) and the lists in their sorts; else the shown plan stays as it is.
SessionEffects ReloadFinished(ViewerSession& session, bool loaded, const SessionEvent& now);
// What an open or a reload leaves behind besides the plan: the recent plans and the watch on
// the shown plan's file follow what is shown.
struct OpenOutcome {
  bool Loaded = false;
  bool Reload = false;
  bool FromRecent = false;   // opened from the recent-plans menu
  bool PlanShown = false;    // a plan is shown after the open
  bool ShownIsAddress = false;  // the shown plan, once this open is taken, came from the web
  bool Watching = false;     // a file is watched already
};
enum class RecentChange { Keep, Remember, Forget };
enum class WatchChange { Keep, Stop, Follow };
struct AfterOpen {
  // A new plan loaded: its source becomes the shown one and heads the recent plans.
  bool TakeSource = false;
  // No plan shown: there is no shown source any more.
  bool DropSource = false;
  RecentChange Recent = RecentChange::Keep;
  WatchChange Watch = WatchChange::Keep;
};
// A recent plan that fails to open leaves the list; a plan from the web has no file to watch;
// a reload keeps a watch already there.
AfterOpen DecideAfterOpen(const OpenOutcome& outcome);
// After a load that failed and left no plan: no rows, both lists empty.
SessionEffects PlanEmptied(ViewerSession& session, const SessionEvent& now);
// A flash of a toolbar button and, when the message is not empty, the message held in the
// status line for a while (used for the outcome of a dialog the window ran, too).
SessionEffects ShowFeedback(ViewerSession& session, FeedbackButton button, std::int64_t feedbackIcon,
                            std::int64_t flashes, const std::string& message);
// The hover box put away, as every event but a pointer move over the chart does.
SessionEffects PutHoverAway(ViewerSession& session);
// A redraw of the chart within the next 16 ms, at most one per 15 ms.
SessionEffects RedrawSoon(ViewerSession& session, std::int64_t now);
// A relayout on the next tick of the redraw timer (after start-up, when the window is shown).
SessionEffects RelayoutSoon(ViewerSession& session);

// The records a list shows, in its shown order: task indexes for the Tasks list, resource
// indexes for the Resources list; none for the Gantt view or a list not filled.
std::vector<std::int64_t> ListRecords(const ViewerSession& session, ViewKind list);
// The list row of a record (task or resource index), -1 when the list does not show it.
std::int64_t ListRowOfRecord(const ViewerSession& session, ViewKind list, std::int64_t record);
// Whether the plan shown is compared with a reference version.
bool Comparing(const ViewerSession& session);
// The status line: what the load reported, after the comparison's summary while comparing
// (the load's own facts are in the messages and the tooltip too).
std::string StatusLineText(const ViewerSession& session, const std::string& loadText);
// Another plan, or none: the comparison was with the plan that is gone, and ends.
SessionEffects EndComparison(ViewerSession& session, const SessionEvent& now);

// The report of a chart saved as an image or a document: one line goes to the status line with
// the Export button flashing (twice when saved, three times else); a longer one needs a box of
// its own with the title, an error box unless saved (always, when longIsError).
SessionEffects ReportChartSaved(ViewerSession& session, const std::string& title, const std::string& report,
                                bool saved, bool longIsError);

// A tab index as a view; anything else is the Gantt view.
ViewKind ViewKindOf(std::int64_t index);

// The Gantt view with a plan loaded: where the chart's commands act.
bool GanttWithPlan(const ViewerSession& session);

// Events as the window makes them.
SessionEvent CommandEvent(Command command, std::int64_t now = 0, DayOrdinal today = 0);
SessionEvent KeyEvent(NavigationKey key, std::int64_t now = 0);
SessionEvent PointerEvent(EventKind kind, std::int64_t x, std::int64_t y, bool leftHeld = false,
                          std::int64_t now = 0);
SessionEvent WheelEvent(std::int64_t notches, bool shift, std::int64_t x, std::int64_t now = 0);
SessionEvent ResizeEvent(std::int64_t width, std::int64_t height, std::int64_t listHeight, std::int64_t now = 0);
SessionEvent TimerEvent(EventKind timer, std::int64_t now = 0);

}  // namespace nerin
