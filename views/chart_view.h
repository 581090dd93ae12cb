// SPDX-License-Identifier: MIT
// The view state of the Gantt chart (scale, scroll offsets, task column, scroll bars) and every
// operation that changes it. No window here: each operation changes the state it is given and
// tells the caller how to show the result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calendar/day_ordinal.h"
#include "model/plan.h"
#include "views/row_geometry.h"
#include "views/row_model.h"
#include "views/timeline_scale.h"

namespace nerin {

inline constexpr float MIN_DAY_WIDTH = 1.0f;
inline constexpr float MAX_DAY_WIDTH = 20.0f;
inline constexpr std::int64_t MIN_TASK_COLUMN_WIDTH = 260;
inline constexpr std::int64_t MAX_TASK_COLUMN_WIDTH = 650;
// Scroll bars never need a range much above this many units.
inline constexpr std::int64_t SCROLL_BAR_UNITS = 9000;

// The zoom buttons and the keypad + and - keys; Shift + wheel.
inline constexpr float ZOOM_IN_FACTOR = 1.25f;
inline constexpr float ZOOM_OUT_FACTOR = 0.8f;
inline constexpr float WHEEL_ZOOM_IN_FACTOR = 1.15f;
inline constexpr float WHEEL_ZOOM_OUT_FACTOR = 0.87f;

struct ScrollBarState {
  std::int64_t Maximum = 1;  // the minimum is always 0
  std::int64_t Page = 1;
  std::int64_t Position = 0;

  friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

struct ChartView {
  float DayWidth = 4.0f;                // pixels per day, 1..20
  std::int64_t ScrollX = 0;             // timeline pixels scrolled off to the left
  std::int64_t ScrollY = 0;             // row pixels scrolled off the top
  std::int64_t TaskColumnWidth = 390;   // x where the timeline begins, 260..650
  float HScrollScale = 1.0f;            // pixels per scroll bar unit
  float VScrollScale = 1.0f;
  ScrollBarState HBar;                  // as UpdateScrollMetrics left them
  ScrollBarState VBar;
  std::int64_t MaxScrollX = 0;          // the largest offsets, as UpdateScrollMetrics left them
  std::int64_t MaxScrollY = 0;
  // W and H: the size of the chart's drawing target in drawing pixels.
  std::int64_t Width = 1;
  std::int64_t Height = 1;
  // Task column border drag.
  bool SplitterDrag = false;
  std::int64_t SplitterPressX = 0;
  std::int64_t SplitterWidthAtPress = 0;
};

// What the caller does after an operation: nothing, RequestRedraw (at most one draw per 15 ms),
// or draw the chart at once.
enum class ViewUpdate { None, Redraw, DrawNow };

// The chart's geometry as the view stands, for its own size.
TimelineScale ViewTimeline(const ChartView& view, const Plan& plan);
RowGeometry ViewRows(const ChartView& view, const RowModel& rows);
// Height of the row area (H - 112, 1 when H is below 113) and width of the timeline area.
std::int64_t RowAreaHeight(const ChartView& view);
std::int64_t TimelineAreaWidth(const ChartView& view);
// The middle of the timeline area: the anchor of the zoom buttons and keys.
std::int64_t TimelineMiddle(const ChartView& view);

// Scroll bar ranges and positions (HBar, VBar, scales) for the plan and rows; offsets clamped.
void UpdateScrollMetrics(ChartView& view, const Plan& plan, const RowModel& rows);

// Each of these ends with UpdateScrollMetrics (where the view moves) and returns how to draw.
ViewUpdate SetDayWidth(ChartView& view, const Plan& plan, const RowModel& rows, float width, std::int64_t anchorX);
ViewUpdate ZoomBy(ChartView& view, const Plan& plan, const RowModel& rows, float factor, std::int64_t anchorX);
// Shift + wheel: 1.15 for a positive delta, 0.87 for a negative one, around the pointer x (the
// middle of the timeline area when it is negative); a delta of 0 does nothing.
ViewUpdate WheelZoom(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t notches, std::int64_t x);
// Wheel without Shift: three rows per notch, a positive delta toward the top.
ViewUpdate WheelScroll(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t notches);
ViewUpdate FitVisibleBars(ChartView& view, const Plan& plan, const RowModel& rows);
struct TodayResult {
  ViewUpdate Update = ViewUpdate::None;
  // Set when today lies outside the plan: the feedback message; the view does not move then.
  std::optional<std::string> OutsideMessage;
};
TodayResult CentreOnToday(ChartView& view, const Plan& plan, const RowModel& rows, DayOrdinal today);
ViewUpdate ScrollToTask(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t task);

enum class NavigationKey { Up, Down, Left, Right, PageUp, PageDown, Home, End };
ViewUpdate ScrollByKey(ChartView& view, const Plan& plan, const RowModel& rows, NavigationKey key);
// A scroll bar moved to a position: the offset becomes trunc(position * scale), kept within
// 0..the largest offset so that the bar's last units cannot scroll past the content.
ViewUpdate ScrollBarMoved(ChartView& view, bool horizontal, std::int64_t position);

// Task column border: within 5 pixels of it, both ends included.
bool NearSplitter(const ChartView& view, std::int64_t x);
// A left press: starts the drag when near the border.
void SplitterPress(ChartView& view, std::int64_t x);
ViewUpdate SplitterMove(ChartView& view, const Plan& plan, const RowModel& rows, std::int64_t x);
ViewUpdate SplitterEnd(ChartView& view, const Plan& plan, const RowModel& rows);

// The task on the chart row at y (drawing pixels), -1 above or below the rows or past the last.
std::int64_t ChartRowTaskAt(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t y);
// Whether x lies on the fold triangle of the task's row: a 16-pixel zone at the row's indent,
// only for a task with children.
bool OnFoldTriangle(const Plan& plan, const RowModel& rows, std::int64_t task, std::int64_t x);

// Row model operations that keep the view steady. The caller checks for a plan and the Gantt
// view. ToggleFoldAt: true when a triangle was hit (the chart is then drawn at once).
bool ToggleFoldAt(RowModel& rows, ChartView& view, const Plan& plan, std::int64_t x, std::int64_t y);
ViewUpdate SetAllFolded(RowModel& rows, ChartView& view, const Plan& plan, bool fold);
void SetCriticalFilter(RowModel& rows, ChartView& view, const Plan& plan, bool on);

}  // namespace nerin
