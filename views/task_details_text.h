// SPDX-License-Identifier: MIT
// What the task details window shows, line by line, and which row a double-click on the chart
// opens. Plain texts and indexes: the window only puts them into its controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/plan.h"
#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin {

// A linked task seen from one task: the task at the other end and the link's type code.
struct LinkedTask {
  std::int64_t Task = -1;
  LinkType Type = LinkType::FF;
  // Where the link is held: its successor's index and its place among the successor's links.
  std::int64_t Successor = -1;
  std::int64_t Slot = -1;
};

// The task's predecessors, in link order; links whose predecessor UID did not resolve are left
// out.
std::vector<LinkedTask> PredecessorsOf(const Plan& plan, std::int64_t task);
// Every link of every task (tasks in plan order, links in order) that comes from the task, as
// its successor; at most `limit` of them. A successor linked twice is listed twice.
std::vector<LinkedTask> SuccessorsOf(const Plan& plan, std::int64_t task, std::size_t limit);
// The link's type and lag as the plan writes them: "FS", "SS+2 days", "FS−75%".
std::string LinkedTaskText(const Plan& plan, const LinkedTask& link);

// "summary  ", "milestone  ", "critical  " for the flags that are set, in this order.
std::string TaskFlagsText(const Task& task);
// ID, dates, duration, baseline, flags and resources; lines end with CR LF. Empty for an
// index that is no task.
std::string TaskDetailsText(const Plan& plan, std::int64_t task);
// The note, or "-" when there is none.
std::string TaskNoteText(const Task& task);

// One row of the predecessor or successor list: the linked task and its cells.
struct LinkRow {
  std::int64_t Task = -1;
  std::string Id;
  std::string Name;
  std::string Type;  // the link type with its lag as the plan writes it: "FS", "FS+2 days"
};
// At most one row a task of the plan each.
std::vector<LinkRow> PredecessorRows(const Plan& plan, std::int64_t task);
std::vector<LinkRow> SuccessorRows(const Plan& plan, std::int64_t task);

// A click in a link list leads somewhere only when it is the user's: not while the window fills
// its lists, not within 400 ms of the window opening or of the last move along a link (the
// clicks of a double-click that opened the window or moved it would otherwise walk on), and
// only on a row of the list.
inline constexpr std::int64_t LINK_CLICK_GUARD_MS = 400;
bool ListClickNavigates(bool filling, std::int64_t now, std::int64_t openedAt, std::int64_t lastNavigation,
                        std::int64_t row, std::int64_t rowCount);
// "Go to predecessor" / "Go to successor": the selected row when it is one, else the first;
// -1 for an empty list.
std::int64_t GoToButtonRow(std::int64_t selectedRow, std::int64_t rowCount);

// The task whose details a left double-click at chart point (x, y) opens, or -1: only on a row,
// not on the task column border, and not on a fold triangle (the first click of the
// double-click has already folded or unfolded that summary). The caller checks for a plan and
// the Gantt view.
std::int64_t DetailsTaskAt(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t x,
                           std::int64_t y);

// The details box (ID, dates, resources and, while comparing, the changes) is this high, 44
// pixels from the top of a window of this height; the note, the link lists and the buttons
// follow below it. Everything above the strip of buttons scrolls when the window is too short.
inline constexpr std::int64_t DETAILS_BOX_HEIGHT = 148;
inline constexpr std::int64_t DETAILS_BOX_TOP = 44;
inline constexpr std::int64_t DETAILS_WINDOW_HEIGHT = 620;
inline constexpr std::int64_t DETAILS_BUTTON_STRIP = 48;

struct DetailsBoxSize {
  std::int64_t Box = DETAILS_BOX_HEIGHT;
  std::int64_t Window = DETAILS_WINDOW_HEIGHT;
};
// The details box grows with its text (`textHeight` pixels, frame included). The window grows
// with it up to the tallest window the screen holds (`tallestWindow`); beyond that the box
// still grows, as the part above the buttons scrolls, until it is as tall as that part can show
// at once; what does not fit then scrolls in the box. While the window is open the box only
// grows (`currentBox`), so that walking along the links does not make the window jump.
DetailsBoxSize DetailsBoxFor(std::int64_t textHeight, std::int64_t currentBox, std::int64_t tallestWindow);

// Between the details box and the buttons, the note box and the two link lists share a fixed
// height: 66 and 252 pixels in the full-size window, plus the note's label above the note and
// the lists' labels between the two.
inline constexpr std::int64_t DETAILS_NOTE_HEIGHT = 66;
inline constexpr std::int64_t DETAILS_LISTS_HEIGHT = 252;
// A list keeps its header and two rows' room whatever it holds.
inline constexpr std::int64_t DETAILS_LISTS_MIN_HEIGHT = 72;

struct DetailsShare {
  std::int64_t Note = DETAILS_NOTE_HEIGHT;
  std::int64_t Lists = DETAILS_LISTS_HEIGHT;
};
// The room goes to what has content: the lists get what their rows ask for (`listsHeight`,
// header and frame included; the longer list decides), at least their least height; the note
// gets what its text asks for (`noteHeight`) of the rest, at least its usual 66 pixels; what
// is left over goes to the lists. A long note beside empty lists takes nearly all of it.
DetailsShare DetailsShareFor(std::int64_t noteHeight, std::int64_t listsHeight);

// The text on one line: line breaks, tabs and the other control characters become spaces. For places
// that show a single line of text (a box line, a title, a list cell).
std::string SingleLineText(std::string_view text);

}  // namespace nerin
