// SPDX-License-Identifier: MIT
// What the window tells the viewer session: one small struct per kind of event, each with only
// its own fields, and the clock beside them. The window makes these from its toolkit's events;
// tests make them by hand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "views/chart_view.h"
#include "views/find.h"
#include "views/list_sort.h"
#include "views/row_model.h"

namespace nerin {

// The keyboard's and the toolbar's commands.
enum class Command {
  OpenFile,      // Ctrl+O, Open button
  OpenAddress,   // Ctrl+U
  FitOrRefresh,  // F5
  FitButton,
  FindNext,      // F3, Enter in the search field, Find button (the window sends FindEvent)
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
  StopComparing,
  Reload,         // Ctrl+R: the shown plan's source read again
  Copy,           // Ctrl+C, list context menu (the window sends CopyEvent)
  ExportList,     // list context menu "Export list…"
  Stop,           // the Stop button: the load under way ends
  Escape,         // Esc: stops a load, else the comparison
};

// When the event arrived: elapsed milliseconds of the window's clock and the local date.
struct SessionClock {
  std::int64_t Now = 0;
  DayOrdinal Today = 0;
};

struct CommandEvent {
  Command Run = Command::FindNext;
};
// Find with the search field's text as it stands.
struct FindEvent {
  std::string Text;
};
// Copy with the selected rows of the list shown, in any order.
struct CopyEvent {
  std::vector<std::int64_t> Rows;
};
// Only while the navigation keys are window shortcuts.
struct KeyEvent {
  NavigationKey Key = NavigationKey::Up;
};

enum class PointerAction { Move, Press, Release, DoubleClick, Leave };
// Over the chart canvas, in drawing pixels.
struct PointerEvent {
  PointerAction Action = PointerAction::Move;
  std::int64_t X = 0;
  std::int64_t Y = 0;
  bool LeftHeld = false;
};
struct WheelEvent {
  std::int64_t Notches = 0;
  bool Shift = false;
  std::int64_t X = -1;  // -1 unknown
};
// The chart canvas in drawing pixels, and the height of the lists in the window's units.
struct ResizeEvent {
  std::int64_t Width = 1;
  std::int64_t Height = 1;
  std::int64_t ListHeight = 0;
};
struct TabEvent {
  ViewKind View = ViewKind::Gantt;
};
struct ScrollBarEvent {
  bool Horizontal = false;
  std::int64_t Position = 0;
};
struct ListSelectEvent {
  ViewKind List = ViewKind::Tasks;
  std::int64_t Row = -1;  // -1 none
};
// A double-click on the Tasks list.
struct ListDoubleClickEvent {};
struct HeaderEvent {
  ViewKind List = ViewKind::Tasks;
  std::int64_t Column = 0;
};
struct SearchFocusEvent {
  bool Focused = false;
};
// A link of the details window.
struct FollowLinkEvent {
  std::int64_t Task = -1;
};

enum class SessionTimer { Hover, Feedback, Redraw, Progress };
struct TimerEvent {
  SessionTimer Timer = SessionTimer::Redraw;
};

// Where a source to open came from.
enum class OpenOrigin {
  Dialog,            // Open, Ctrl+O, and Ctrl+U
  CommandLine,
  Drop,
  Recent,            // the recent-plans menu
  Reference,         // Compare with…: the reference version
};
// A source chosen to open: a path (absolute) or an address, with the name it is shown by and,
// for a file, its folder. A dropped file the viewer cannot read is not Supported.
struct OpenSourceEvent {
  std::string Source;
  std::string Name;
  bool Address = false;
  std::string Folder;
  OpenOrigin Origin = OpenOrigin::Dialog;
  bool Supported = true;
};
// The bytes a load has read so far.
struct LoadProgressEvent {
  std::int64_t Bytes = 0;
};
// A load the session asked for has ended. A load that reached the model (loaded, or emptied
// by a fault found only while reading it) brings its plan, which takes the shown one's place;
// without one the shown plan stays. The attempt's messages take the shown ones' place; once the
// plan text was read, a failed attempt's messages are no longer the shown plan's.
struct OpenFinishedEvent {
  std::string Source;
  bool Loaded = false;
  std::shared_ptr<const Plan> PlanRead;
  std::shared_ptr<const MessageLog> Log;
  bool TextRead = true;
};
// The reference version of Compare with… has been read (a plan of its own) or not.
struct CompareFinishedEvent {
  std::string Source;
  std::shared_ptr<const Plan> Reference;  // null when it did not load
  std::string Messages;
};
// The shown plan's file settled after a change on disk. While a dialog is open the reload
// waits until it closes.
struct FileChangedEvent {
  bool DialogOpen = false;
};
// A dialog or window the session asked for has closed; a file dialog names the folder of the
// file chosen (empty when cancelled), the one the next dialog starts in.
struct DialogClosedEvent {
  std::string Folder;
};
// A file written for the user (an image, a document, a list, the dump): one line goes to the
// status line with the Export button flashing (twice when saved, three times else); a longer
// report needs a box of its own with the title, an error box unless saved (always, when
// LongIsError). Prints and PDF documents report here as files do.
struct FileWrittenEvent {
  std::string Title;
  std::string Report;
  bool Saved = true;
  bool LongIsError = false;
  // A failure that needs a box of its own whatever its length: a file that could not be
  // written, a print refused or failed.
  bool InBox = false;
};
// The hover box put away (a modal window is about to open over the chart).
struct HoverAwayEvent {};
// A redraw within the next 16 ms, at most one per 15 ms.
struct RedrawEvent {};
// A relayout on the next tick of the redraw timer (after start-up, when the window is shown).
struct RelayoutEvent {};
// At start: the platform's lower case and collation, and the remembered settings.
struct StartEvent {
  LowerCaseFunction Lower;
  TextCollation Collate;
  float DayWidth = ChartView{}.DayWidth;
  std::int64_t TaskColumnWidth = ChartView{}.TaskColumnWidth;
  std::string LastFolder;
  std::string LastAddress;
};

using SessionEvent =
    std::variant<CommandEvent, FindEvent, CopyEvent, KeyEvent, PointerEvent, WheelEvent, ResizeEvent, TabEvent,
                 ScrollBarEvent, ListSelectEvent, ListDoubleClickEvent, HeaderEvent, SearchFocusEvent,
                 FollowLinkEvent, TimerEvent, OpenSourceEvent, LoadProgressEvent, OpenFinishedEvent,
                 CompareFinishedEvent, FileChangedEvent, DialogClosedEvent, FileWrittenEvent, HoverAwayEvent,
                 RedrawEvent, RelayoutEvent, StartEvent>;

}  // namespace nerin
