// SPDX-License-Identifier: MIT
// The Gantt chart, drawn in one pass through a ChartPainter: on screen and into images alike.
#pragma once

#include <cstdint>

#include "calendar/day_ordinal.h"
#include "model/plan.h"
#include "views/change_texts.h"
#include "views/chart_painter.h"
#include "views/chart_view.h"
#include "views/hover_summary.h"
#include "views/row_model.h"

namespace nerin {

// Everything one frame reads. W and H are the target's size in drawing pixels (view.Width and
// view.Height are not read here, so that an export can draw a target of another size). The
// view is a copy: an output's frame is the window's with its own size and offsets.
struct ChartFrame {
  const Plan& plan;
  const RowModel& rows;
  ChartView view;
  std::int64_t Width = 0;
  std::int64_t Height = 0;
  DayOrdinal Today = 0;
  std::int64_t FindHighlight = -1;
  const HoverState* Hover = nullptr;  // drawn last when shown
  // While the plan is compared with a reference version: its dates under each bar, the
  // changed rows marked in the task column, and the change in the hover box.
  const ChartComparison* Comparison = nullptr;
  // A page on paper (PDF, print): its legend leaves out the window's keys.
  bool Paper = false;
};

// The frame of what the window shows, at the view's size: the plan, its rows and view, today's
// date, the Find highlight, the hover box and, while comparing, the reference. The window
// draws it; every output (PNG, PDF, print, nerin-cli) derives its own frame from it with
// OutputFrame, so that what is shown is what is saved and printed.
ChartFrame ShownChartFrame(const Plan& plan, const RowModel& rows, const ChartView& view, DayOrdinal today,
                           const ChartComparison* comparison = nullptr, std::int64_t findHighlight = -1,
                           const HoverState* hover = nullptr);

// The part of the whole chart an output shows: a target Width x Height drawing units large
// whose top-left corner lies ScrollX, ScrollY into the chart.
struct OutputArea {
  std::int64_t ScrollX = 0;
  std::int64_t ScrollY = 0;
  std::int64_t Width = 1;
  std::int64_t Height = 1;
  // The hover box stays only where the output is the window's own view (an image of the
  // view's size at its offsets); the whole chart and the pages never show it.
  bool KeepHover = false;
};
// The view as it stands, on a target of w x h: the window's picture at another size.
OutputArea ViewArea(const ChartView& view, std::int64_t w, std::int64_t h);
// An output's frame: everything the shown frame shows (comparison, Find highlight, today),
// over the output's area.
ChartFrame OutputFrame(const ChartFrame& shown, const OutputArea& area);

// The whole chart, every frame anew, back to front; nothing at all below a height of 113.
// Only what can show reaches the painter: fills and texts wholly outside the target or the
// current clip are left out, and a clip is set only before something is drawn under it. All
// texts are transparent. The painter is left unclipped.
void DrawChart(ChartPainter& painter, const ChartFrame& frame);
// (299 R + 587 G + 114 B) div 1000.
std::int64_t Luma(Rgb colour);
// White on a dark colour (Luma below 150), else the dark chart colour: marks drawn on a bar.
Rgb BarChrome(Rgb colour);

}  // namespace nerin
