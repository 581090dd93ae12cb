// SPDX-License-Identifier: MIT
#include "views/row_geometry.h"

#include <algorithm>

#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin {

namespace {

// Deeper levels come from the file unbounded; past this they all stand at one indent.
constexpr std::int64_t kMaxIndentLevel = std::int64_t{1} << 20;
// The hot zone runs from 2 pixels right of the indent to 17 pixels right of it: the unfolded
// triangle covers indent + 4 .. indent + 12, the folded one indent + 6 .. indent + 11.
constexpr std::int64_t kZoneStart = 2;
constexpr std::int64_t kZoneEnd = 17;

}  // namespace

RowGeometry RowGeometry::Of(const ChartView& view, const RowModel& rows, std::int64_t height) {
  RowGeometry geometry;
  geometry.ScrollY = BoundedCoordinate(view.ScrollY);
  geometry.Height = std::clamp<std::int64_t>(height, 0, GEOMETRY_LIMIT);
  geometry.RowCount = std::clamp<std::int64_t>(rows.RowCount, 0, static_cast<std::int64_t>(rows.RowTask.size()));
  return geometry;
}

std::int64_t RowGeometry::RowAreaHeight() const {
  return Height < CHART_FRAME_HEIGHT + 1 ? 1 : Height - CHART_FRAME_HEIGHT;
}

std::int64_t RowGeometry::RowAt(std::int64_t y) const {
  if (y < CHART_TOP || y >= Height - LEGEND_HEIGHT) return -1;
  const std::int64_t offset = BoundedCoordinate(y) + ScrollY - CHART_TOP;
  if (offset < 0) return -1;
  const std::int64_t row = RowAtOffset(offset);
  return row < RowCount ? row : -1;
}

RowRange RowGeometry::VisibleRows() const {
  RowRange rows;
  rows.First = std::max<std::int64_t>(RowAtOffset(ScrollY) - 1, 0);
  rows.Last = std::min(RowAtOffset(RowArea() + ScrollY) + 1, RowCount - 1);
  return rows;
}

bool RowGeometry::RowShown(std::int64_t row) const {
  const std::int64_t top = RowTop(row);
  return top > CHART_TOP - ROW_HEIGHT - 1 && top <= RowArea() + CHART_TOP;
}

std::int64_t RowGeometry::TopRow() const {
  if (RowCount <= 0) return -1;
  return std::clamp<std::int64_t>(RowAtOffset(ScrollY), 0, RowCount - 1);
}

std::int64_t RowGeometry::PageRows() const {
  return std::max<std::int64_t>(RowsIn(RowAreaHeight()), 1);
}

std::int64_t RowGeometry::ScrollCentring(std::int64_t row) const {
  return Offset(BoundedCoordinate(row)) - RowAreaHeight() / 2 + ROW_MIDDLE;
}

PixelRect RowGeometry::BarRect(const Task& task, const TimelineScale& scale, std::int64_t rowTop) {
  PixelRect bar{scale.TaskColumnWidth - scale.ScrollX, rowTop + 4, 0, 14};
  if (HasBarDates(task)) {
    bar.X = scale.DayX(task.Start);
    bar.W = scale.Length(BoundedCoordinate(task.Finish) - BoundedCoordinate(task.Start) + 1);
  }
  if (bar.W <= 1) bar.W = 2;
  return bar;
}

std::int64_t RowGeometry::Indent(std::int64_t outlineLevel) {
  return OUTLINE_INDENT * (std::clamp<std::int64_t>(outlineLevel, 1, kMaxIndentLevel) - 1);
}

FoldZone RowGeometry::FoldZoneOf(std::int64_t outlineLevel) {
  const std::int64_t indent = Indent(outlineLevel);
  return {indent + kZoneStart, indent + kZoneEnd};
}

bool HasBarDates(const Task& task) {
  return task.Start >= 1 && task.Finish > 0;
}

}  // namespace nerin
