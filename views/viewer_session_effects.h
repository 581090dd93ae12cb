// SPDX-License-Identifier: MIT
// What the window does after an event, grouped by the part of the window it concerns, and at
// most one request: a dialog, a read, a box, a window, the clipboard.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "resources/toolbar_icons.h"
#include "views/list_sort.h"
#include "views/find.h"

namespace nerin {

enum class TimerAction { Keep, Start, Stop };

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

// A toolbar button, named by its normal picture, to show a picture.
struct ButtonIcon {
  ToolbarIcon Button = ToolbarIcon::Open;
  ToolbarIcon Icon = ToolbarIcon::Open;
  friend bool operator==(const ButtonIcon&, const ButtonIcon&) = default;
};

// The chart's tab: drawn now (the chart, or the placeholder without a plan), laid out again
// (the window then reports the new sizes with a ResizeEvent), its scroll bars, its pointer.
struct ChartEffects {
  bool Draw = false;
  bool Relayout = false;
  bool ShowScrollBars = false;
  std::optional<bool> ResizePointer;
  std::optional<ViewKind> ShowTab;  // the tab panel shows this view (without a new event)
};

struct ListEffects {
  bool Empty = false;
  bool FillTasks = false;
  bool FillResources = false;
  std::vector<SortIndicator> SortIndicators;
  std::optional<ListSelection> Select;
  bool ShowChanges = false;  // the Tasks list's change column set anew from the comparison
};

struct ToolbarEffects {
  std::optional<bool> CriticalChecked;
  std::optional<bool> CompareChecked;  // with its tooltip: stop comparing while checked
  // Buttons to show a picture, in order.
  std::vector<ButtonIcon> Icons;
  std::optional<bool> NavigationKeys;  // the navigation keys as shortcuts (true) or Enter (false)
  std::optional<bool> EscapeKey;       // Esc registered: while a load runs or a plan is compared
  std::optional<bool> StopButton;      // shown while a load runs
  // The Export button's tooltip for the tab now shown.
  std::optional<std::string> ExportTooltip;
};

struct StatusEffects {
  // A feedback message held for a while (the warning colours), or a load under way, or a note
  // that stays until the status line is next composed (the ready colours).
  std::optional<std::string> Feedback;
  // The feedback reports a success (a file saved, pages sent): the ready colours, not the
  // warning ones.
  bool FeedbackSucceeded = false;
  std::optional<std::string> Progress;
  std::optional<std::string> Note;
  // The status line and the messages button composed again from the plan, its messages and the
  // comparison; and the window's title.
  bool Compose = false;
  bool Title = false;
};

struct TimerEffects {
  TimerAction Hover = TimerAction::Keep;
  TimerAction Redraw = TimerAction::Keep;
  TimerAction Feedback = TimerAction::Keep;
  TimerAction Progress = TimerAction::Keep;  // the load's progress, asked for while it runs
};

// The recent plans and the watch on the shown plan's file, and the load under way.
struct SourceEffects {
  std::optional<std::string> Watch;     // follow this file; empty: follow none
  std::optional<std::string> Remember;  // heads the recent plans
  std::optional<std::string> Forget;    // leaves the recent plans
  bool StopLoad = false;                // the load under way is dropped, its result unseen
};

// A dialog or window that the toolkit shows; the session has decided that it is due.
enum class WindowAction {
  None,  // no dialog (a request of another kind, or none)
  OpenFileDialog,
  OpenAddressDialog,
  SaveModelDump,
  ExportChart,
  Help,
  About,
  MessagesWindow,  // the shown plan's messages
  Print,
  PrintPreview,
  Compare,
  CompareAddress,
  ExportList,  // the save dialog for the list shown as CSV
};
// File dialogs start in `Folder`; the address dialogs offer `LastAddress`.
struct DialogRequest {
  WindowAction Dialog = WindowAction::Help;
  std::string Folder;
  std::string LastAddress;
};
// Read this source into a plan of its own, off the window's thread; the window reports the end
// with OpenFinishedEvent (or CompareFinishedEvent for a reference) and the bytes read meanwhile
// with LoadProgressEvent.
struct ReadRequest {
  std::string Source;
  bool Address = false;
  bool Reference = false;
};
struct MessageBoxRequest {
  std::string Title;
  std::string Text;
  bool Error = false;  // else the information icon
};
// The messages of an open that failed, in a window of their own.
struct MessagesWindowRequest {
  std::string Title;
  std::string Body;
};
struct ClipboardRequest {
  std::string Text;
};
struct DetailsRequest {
  std::int64_t Task = -1;
};
using SessionRequest = std::variant<std::monostate, DialogRequest, ReadRequest, MessageBoxRequest,
                                    MessagesWindowRequest, ClipboardRequest, DetailsRequest>;

// In the order the window shows them: sources, lists, chart, toolbar, status, timers, then the
// request.
struct SessionEffects {
  SourceEffects Sources;
  ListEffects Lists;
  ChartEffects Chart;
  ToolbarEffects Toolbar;
  StatusEffects Status;
  TimerEffects Timers;
  SessionRequest Request;
};

// The request as a given kind, or null.
template <typename T>
const T* RequestOf(const SessionEffects& effects) {
  return std::get_if<T>(&effects.Request);
}

}  // namespace nerin
