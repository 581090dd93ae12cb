// SPDX-License-Identifier: MIT
// The box of a task's facts that the chart shows next to a resting pointer: when it shows and
// hides, what it says and where it stands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/plan.h"
#include "views/chart_painter.h"
#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin {

inline constexpr int HOVER_DELAY_MS = 450;

struct HoverState {
  std::int64_t HoveredTask = -1;  // task of the row under the pointer
  std::int64_t SummaryTask = -1;  // task the shown box describes
  bool Shown = false;
  bool TimerArmed = false;
  std::int64_t AnchorX = 0;  // pointer position of the last move while the box was hidden
  std::int64_t AnchorY = 0;
};

// What the window does after a step of the hover rules.
struct HoverActions {
  bool StopTimer = false;
  bool StartTimer = false;  // HOVER_DELAY_MS from now
  bool DrawChart = false;   // the box came or went
};

// The task of the row under the pointer, -1 for none: a plan, no splitter drag, the point within
// the chart and on a row. The caller checks that the Gantt view is shown.
std::int64_t HoverTaskAt(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t x,
                         std::int64_t y);
// A pointer move over the chart onto `task` (-1 for none). Entering another row hides the box
// and starts the delay again; within the row only the anchor follows the pointer, and only
// while the box is hidden, so a shown box stays put.
HoverActions HoverMoved(HoverState& hover, std::int64_t task, std::int64_t x, std::int64_t y);
// The delay has run out: the box shows the hovered task when `canShow` (the Gantt view with a
// plan) and the hovered task is a task of the plan.
HoverActions HoverTimerRanOut(HoverState& hover, const Plan& plan, bool canShow);
// Every interaction but a pointer move within the chart: nothing hovered, no box. The caller
// draws only when the Gantt view with a plan is shown.
HoverActions HideHover(HoverState& hover);

// The box's seven lines: name; ID and dates; duration, completion and flags; resources;
// predecessors; successors; the note's first line (empty without one). All empty for an index
// that is no task.
inline constexpr std::size_t HOVER_SLOT_COUNT = 7;
using HoverTexts = std::array<std::string, HOVER_SLOT_COUNT>;
HoverTexts HoverSummaryTexts(const Plan& plan, std::int64_t task);
// The plan's own terms of the task on one line, empty when it has none to show: actual start
// and finish with % work complete, a constraint other than as soon as possible with its date,
// the deadline (and whether the task finishes after it).
std::string HoverTermsLine(const Plan& plan, std::int64_t task);
// The note up to its first line break, without the spaces at both ends, cut to 80 characters
// with "..." after a cut.
std::string NoteFirstLine(std::string_view notes);

// The text as it is when it is at most `maxWidth` pixels wide in the font; otherwise its longest
// prefix that fits with "..." after it (just "..." when no character fits).
std::string FitTextToWidth(ChartPainter& painter, const std::string& text, ChartFont font,
                           std::int64_t maxWidth);

struct HoverBox {
  std::int64_t X = 0;
  std::int64_t Y = 0;
  std::int64_t Width = 0;
  std::int64_t Height = 0;
};
// Below right of the anchor; flipped to the other side of it where it would reach the chart's
// right or bottom edge, never closer than 4 pixels to the top-left corner. `widest` is the
// width of the widest line; `withNote` adds the note line.
HoverBox PlaceHoverBox(std::int64_t anchorX, std::int64_t anchorY, std::int64_t widest, bool withNote,
                       std::int64_t w, std::int64_t h, std::int64_t extraLines = 0);

// Paints the box of hover.SummaryTask over a chart of w x h; nothing while it is not shown or
// when that is no task.
// `change`, when not empty, is one more line at the bottom: what changed since the reference
// version the plan is compared with.
void DrawHoverSummary(ChartPainter& painter, const Plan& plan, const HoverState& hover, std::int64_t w,
                      std::int64_t h, std::string_view change = {});

}  // namespace nerin
