// SPDX-License-Identifier: MIT
// The chart's rows as one value: row <-> y, the rows in view, a task's bar rectangle and the
// fold triangle's place. Drawing and every hit test (folding, hover, double-click, Fit) use it.
#pragma once

#include <cstdint>

#include "model/plan.h"
#include "views/timeline_scale.h"

namespace nerin {

struct ChartView;
struct RowModel;

inline constexpr std::int64_t ROW_HEIGHT = 22;
// A row's middle line, from its top edge: where links run.
inline constexpr std::int64_t ROW_MIDDLE = ROW_HEIGHT / 2;
inline constexpr std::int64_t CHART_TOP = 88;
inline constexpr std::int64_t LEGEND_HEIGHT = 24;
// Headers above the rows plus the legend below them.
inline constexpr std::int64_t CHART_FRAME_HEIGHT = CHART_TOP + LEGEND_HEIGHT;
// Each outline level moves a name and its fold triangle this far right.
inline constexpr std::int64_t OUTLINE_INDENT = 14;

struct RowRange {
  std::int64_t First = 0;  // both ends included
  std::int64_t Last = -1;
};

// x, y, width and height in drawing pixels.
struct PixelRect {
  std::int64_t X = 0;
  std::int64_t Y = 0;
  std::int64_t W = 0;
  std::int64_t H = 0;
};

// Left and right end (both included) of the fold triangle's hot zone.
struct FoldZone {
  std::int64_t Left = 0;
  std::int64_t Right = -1;
};

struct RowGeometry {
  std::int64_t ScrollY = 0;
  std::int64_t Height = 0;    // H: the target's height
  std::int64_t RowCount = 0;  // rows of the row model

  static RowGeometry Of(const ChartView& view, const RowModel& rows, std::int64_t height);

  // Pixels from the first row's top to a row's top: scroll offsets are in these.
  static constexpr std::int64_t Offset(std::int64_t row) { return ROW_HEIGHT * row; }
  // The row whose span holds an offset (cut toward zero, so a negative offset gives row 0).
  static constexpr std::int64_t RowAtOffset(std::int64_t pixels) { return pixels / ROW_HEIGHT; }
  // Whole rows in a height of row area (cut toward zero).
  static constexpr std::int64_t RowsIn(std::int64_t height) { return height / ROW_HEIGHT; }
  // The height of a chart frame holding this many rows: headers, rows and legend.
  static constexpr std::int64_t ChartHeight(std::int64_t rows) {
    return CHART_FRAME_HEIGHT + ROW_HEIGHT * rows;
  }

  // H - 112 as it is: what the drawing and Fit count rows with.
  std::int64_t RowArea() const { return Height - CHART_FRAME_HEIGHT; }
  // The same, but 1 when H is below 113: what scrolling and paging count with.
  std::int64_t RowAreaHeight() const;
  // Top edge of a row.
  std::int64_t RowTop(std::int64_t row) const { return CHART_TOP + Offset(row) - ScrollY; }
  // The row under y, -1 above or below the row area or past the last row.
  std::int64_t RowAt(std::int64_t y) const;
  // The rows on screen plus one above and one below, within the row model.
  RowRange VisibleRows() const;
  // A row in the visible range is drawn when its top edge lies in 66 .. R + 88.
  bool RowShown(std::int64_t row) const;
  // The row at the top of the view, -1 without rows.
  std::int64_t TopRow() const;
  // All rows one under another: the height the vertical scroll bar covers.
  std::int64_t ContentHeight() const { return Offset(RowCount); }
  // Rows a page key moves: the whole rows in the row area, at least one.
  std::int64_t PageRows() const;
  // The scroll offset that brings a row's middle to the middle of the row area.
  std::int64_t ScrollCentring(std::int64_t row) const;

  // The task's bar on its row: from its start's left edge over its days (at least 2 pixels);
  // a task without dates gets a 2-pixel stub at the timeline's left edge, which is not drawn.
  static PixelRect BarRect(const Task& task, const TimelineScale& scale, std::int64_t rowTop);
  // x of a name's indent for an outline level (level 1: 0).
  static std::int64_t Indent(std::int64_t outlineLevel);
  // The 16-pixel zone around the fold triangle at a level's indent.
  static FoldZone FoldZoneOf(std::int64_t outlineLevel);
};

// Dates a bar is drawn for: a start of 1 or more and a finish above 0.
bool HasBarDates(const Task& task);

}  // namespace nerin
