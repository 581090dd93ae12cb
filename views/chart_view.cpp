// SPDX-License-Identifier: MIT
#include "views/chart_view.h"

#include <algorithm>
#include <limits>

#include "calendar/saturating.h"
#include "views/plan_access.h"

namespace nerin {

namespace {

// The scroll bars hold int positions; nothing handed to them exceeds this.
constexpr std::int64_t kBarLimit = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kEndOffset = 2147483647;
// Up and Down, and one wheel notch: three rows.
constexpr std::int64_t kStepPixels = RowGeometry::Offset(3);
constexpr std::int64_t kSplitterReach = 5;
// ScrollToTask puts the start of the task's bar this far right of the task column.
constexpr std::int64_t kBarLeadPixels = 40;

// Sums of window sizes, pointer positions and offsets are taken wide and saturated, so that an
// End offset or an absurd window size never overflows on its way to a clamp.
std::int64_t Shifted(std::int64_t value, __int128 delta) {
  return Saturate(static_cast<__int128>(value) + delta);
}

std::int64_t Difference(std::int64_t a, std::int64_t b) {
  return SaturatingDifference(a, b);
}

// One axis of UpdateScrollMetrics: content and visible size in pixels, the offset clamped.
ScrollBarState AxisMetrics(std::int64_t content, std::int64_t visible, std::int64_t& offset,
                           std::int64_t& maxOffset, float& scale) {
  content = std::max(content, visible);
  maxOffset = std::max<std::int64_t>(content - visible, 0);
  const float quotient = static_cast<float>(maxOffset) / static_cast<float>(SCROLL_BAR_UNITS);
  scale = maxOffset < 1 || !(quotient >= 1.0f) ? 1.0f : quotient;
  offset = std::clamp<std::int64_t>(offset, 0, maxOffset);
  ScrollBarState bar;
  bar.Page = std::clamp<std::int64_t>(PixelsToDays(visible, scale), 1, kBarLimit);
  bar.Maximum = std::clamp<std::int64_t>(PixelsToDays(content, scale), bar.Page, kBarLimit);
  bar.Position = std::clamp<std::int64_t>(PixelsToDays(offset, scale), 0, bar.Maximum);
  return bar;
}

}  // namespace

TimelineScale ViewTimeline(const ChartView& view, const Plan& plan) {
  return TimelineScale::Of(view, plan, view.Width);
}

RowGeometry ViewRows(const ChartView& view, const RowModel& rows) {
  return RowGeometry::Of(view, rows, view.Height);
}

std::int64_t RowAreaHeight(const ChartView& view) {
  return RowGeometry{0, std::clamp<std::int64_t>(view.Height, 0, GEOMETRY_LIMIT), 0}.RowAreaHeight();
}

std::int64_t TimelineAreaWidth(const ChartView& view) {
  return TimelineScale::Of(view, view.Width).AreaWidth();
}

std::int64_t TimelineMiddle(const ChartView& view) {
  return TimelineScale::Of(view, view.Width).Middle();
}

void UpdateScrollMetrics(ChartView& view, const Plan& plan, const RowModel& rows) {
  const TimelineScale scale = ViewTimeline(view, plan);
  const RowGeometry geometry = ViewRows(view, rows);
  view.HBar = AxisMetrics(scale.Length(plan.TimelineDays), scale.AreaWidth(), view.ScrollX, view.MaxScrollX,
                          view.HScrollScale);
  view.VBar = AxisMetrics(geometry.ContentHeight(), geometry.RowAreaHeight(), view.ScrollY, view.MaxScrollY,
                          view.VScrollScale);
}

ViewUpdate SetDayWidth(ChartView& view, const Plan& plan, const RowModel& rows, float width,
                       std::int64_t anchorX) {
  const TimelineScale before = ViewTimeline(view, plan);
  view.DayWidth = std::min(width >= MIN_DAY_WIDTH ? width : MIN_DAY_WIDTH, MAX_DAY_WIDTH);
  // At a limit the scale stays as it was; recomputing would only let float rounding nudge the
  // view by a pixel.
  if (view.DayWidth != before.DayWidth) view.ScrollX = before.ScrollXAfterZoom(view.DayWidth, anchorX);
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::Redraw;
}

ViewUpdate ZoomBy(ChartView& view, const Plan& plan, const RowModel& rows, float factor,
                  std::int64_t anchorX) {
  return SetDayWidth(view, plan, rows, view.DayWidth * factor, anchorX);
}

ViewUpdate WheelZoom(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t notches,
                     std::int64_t x) {
  if (notches == 0) return ViewUpdate::None;
  const float factor = notches > 0 ? WHEEL_ZOOM_IN_FACTOR : WHEEL_ZOOM_OUT_FACTOR;
  return ZoomBy(view, plan, rows, factor, x < 0 ? TimelineMiddle(view) : x);
}

ViewUpdate WheelScroll(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t notches) {
  view.ScrollY = Shifted(view.ScrollY, -static_cast<__int128>(notches) * kStepPixels);
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::Redraw;
}

ViewUpdate FitVisibleBars(ChartView& view, const Plan& plan, const RowModel& rows) {
  // The rows on screen plus one above and one below.
  const RowRange visible = ViewRows(view, rows).VisibleRows();
  DayOrdinal start = 0;
  DayOrdinal finish = 0;
  for (std::int64_t row = visible.First; row <= visible.Last; ++row) {
    const std::int64_t index = rows.RowTask[At(row)];
    if (index < 0 || index >= plan.TaskCount()) continue;
    const Task& task = plan.Tasks[At(index)];
    if (task.Start <= 0 || task.Finish <= 0) continue;
    start = start == 0 ? task.Start : std::min(start, task.Start);
    finish = std::max(finish, task.Finish);
  }
  if (start == 0) return ViewUpdate::None;
  // One day more than the bars span, so that the view can begin a day before the first start.
  const __int128 span = static_cast<__int128>(finish) - start + 2;
  const std::int64_t days = span > 0 ? Saturate(span) : 1;
  const float width = static_cast<float>(TimelineAreaWidth(view)) / static_cast<float>(days);
  view.DayWidth = std::clamp(width, MIN_DAY_WIDTH, MAX_DAY_WIDTH);
  // The view begins one day before the earliest start.
  view.ScrollX = std::max<std::int64_t>(ViewTimeline(view, plan).Offset(start - 1), 0);
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::DrawNow;
}

TodayResult CentreOnToday(ChartView& view, const Plan& plan, const RowModel& rows, DayOrdinal today) {
  TodayResult result;
  if (today < plan.TimelineStart || today > Shifted(plan.TimelineStart, plan.TimelineDays)) {
    result.OutsideMessage = "Today (" + OrdinalLabel(today) +
                            ") lies outside this plan: " + OrdinalLabel(plan.TimelineStart) + " - " +
                            OrdinalLabel(plan.TimelineFinish);
    return result;
  }
  const std::int64_t halfWidth = Difference(view.Width, view.TaskColumnWidth) / 2;
  view.ScrollX = Difference(ViewTimeline(view, plan).Offset(today), halfWidth);
  UpdateScrollMetrics(view, plan, rows);
  result.Update = ViewUpdate::DrawNow;
  return result;
}

ViewUpdate ScrollToTask(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t task) {
  if (task < 0 || task >= TaskCountOf(plan)) return ViewUpdate::None;
  const std::int64_t row = rows.TaskRow[At(task)];
  if (row < 0) return ViewUpdate::None;
  // The row's middle comes to the middle of the row area.
  view.ScrollY = ViewRows(view, rows).ScrollCentring(row);
  const DayOrdinal start = plan.Tasks[At(task)].Start;
  if (start > 0) {
    const std::int64_t x = ViewTimeline(view, plan).Offset(start);
    const __int128 rightEdge = static_cast<__int128>(view.Width) + view.ScrollX - view.TaskColumnWidth - 39;
    if (x < view.ScrollX || x >= rightEdge) view.ScrollX = Difference(x, kBarLeadPixels);
  }
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::DrawNow;
}

ViewUpdate ScrollByKey(ChartView& view, const Plan& plan, const RowModel& rows, NavigationKey key) {
  // A chart shorter than one row still pages by one row.
  const std::int64_t page = RowGeometry::Offset(ViewRows(view, rows).PageRows());  // in pixels
  const std::int64_t sideways = ViewTimeline(view, plan).Length(5);
  switch (key) {
    case NavigationKey::Up:
      view.ScrollY = Shifted(view.ScrollY, -kStepPixels);
      break;
    case NavigationKey::Down:
      view.ScrollY = Shifted(view.ScrollY, kStepPixels);
      break;
    case NavigationKey::Left:
      view.ScrollX = Difference(view.ScrollX, sideways);
      break;
    case NavigationKey::Right:
      view.ScrollX = Shifted(view.ScrollX, sideways);
      break;
    case NavigationKey::PageUp:
      view.ScrollY = Shifted(view.ScrollY, -static_cast<__int128>(page));
      break;
    case NavigationKey::PageDown:
      view.ScrollY = Shifted(view.ScrollY, page);
      break;
    case NavigationKey::Home:
    case NavigationKey::End: {
      const std::int64_t offset = key == NavigationKey::Home ? 0 : kEndOffset;
      view.ScrollX = offset;
      view.ScrollY = offset;
      UpdateScrollMetrics(view, plan, rows);
      return ViewUpdate::Redraw;
    }
  }
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::DrawNow;
}

ViewUpdate ScrollBarMoved(ChartView& view, bool horizontal, std::int64_t position) {
  const float scale = horizontal ? view.HScrollScale : view.VScrollScale;
  const std::int64_t maxOffset = std::max<std::int64_t>(horizontal ? view.MaxScrollX : view.MaxScrollY, 0);
  const std::int64_t offset = std::clamp<std::int64_t>(ScaledPixels(position, scale), 0, maxOffset);
  std::int64_t& current = horizontal ? view.ScrollX : view.ScrollY;
  if (offset == current) return ViewUpdate::None;
  current = offset;
  return ViewUpdate::Redraw;
}

bool NearSplitter(const ChartView& view, std::int64_t x) {
  return x >= view.TaskColumnWidth - kSplitterReach && x <= view.TaskColumnWidth + kSplitterReach;
}

void SplitterPress(ChartView& view, std::int64_t x) {
  if (!NearSplitter(view, x)) return;
  view.SplitterDrag = true;
  view.SplitterPressX = x;
  view.SplitterWidthAtPress = view.TaskColumnWidth;
}

ViewUpdate SplitterMove(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t x) {
  if (!view.SplitterDrag) return ViewUpdate::None;
  const __int128 width = static_cast<__int128>(x) + view.SplitterWidthAtPress - view.SplitterPressX;
  view.TaskColumnWidth =
      static_cast<std::int64_t>(std::clamp<__int128>(width, MIN_TASK_COLUMN_WIDTH, MAX_TASK_COLUMN_WIDTH));
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::Redraw;
}

ViewUpdate SplitterEnd(ChartView& view, const Plan& plan, const RowModel& rows) {
  if (!view.SplitterDrag) return ViewUpdate::None;
  view.SplitterDrag = false;
  UpdateScrollMetrics(view, plan, rows);
  return ViewUpdate::DrawNow;
}

}  // namespace nerin
