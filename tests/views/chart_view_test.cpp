// SPDX-License-Identifier: MIT
// The chart's scale, scroll offsets and scroll bars, and the row operations that keep the view
// steady.
#include "views/chart_view.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace nerin {
namespace {

const DayOrdinal kStart = OrdinalFromDate(2024, 1, 1);
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
using enum NavigationKey;
using enum ViewUpdate;

// A plan of tasks without dates (top-level unless given levels), all rows shown, in a W x H chart.
struct Chart {
  Plan plan;
  RowModel rows;
  ChartView view;

  Chart(std::int64_t tasks, std::int64_t days, std::int64_t width, std::int64_t height, float dayWidth = 4,
        const std::vector<std::int64_t>& levels = {}) {
    plan.Tasks.resize(static_cast<std::size_t>(tasks));
    plan.TimelineStart = kStart;
    plan.TimelineDays = days;
    plan.TimelineFinish = kStart + days - 14;
    plan.ProjectLoaded = true;
    for (std::size_t i = 0; i < levels.size(); ++i) plan.Tasks[i].OutlineLevel = levels[i];
    view.DayWidth = dayWidth;
    view.Width = width;
    view.Height = height;
    ResetFolding(rows, plan);
    RebuildRows(rows, plan);
  }
  void Scroll(std::int64_t x, std::int64_t y) {
    view.ScrollX = x;
    view.ScrollY = y;
  }
};

TEST(ChartView, ScrollMetricsClampAndScaleTheBars) {
  EXPECT_EQ(ScaledPixels(5, 1.4f), 7);
  Chart small(3, 14, 1000, 600);  // a plan shorter than the view
  small.Scroll(50, 50);
  UpdateScrollMetrics(small.view, small.plan, small.rows);
  EXPECT_EQ(small.view.ScrollX + small.view.ScrollY + small.view.MaxScrollX + small.view.MaxScrollY, 0);
  EXPECT_EQ(small.view.HBar, (ScrollBarState{610, 610, 0}));
  EXPECT_EQ(small.view.VBar, (ScrollBarState{488, 488, 0}));
  Chart huge(10000, 3000000, 1000, 600, 20);
  huge.Scroll(2147483647, 2147483647);
  UpdateScrollMetrics(huge.view, huge.plan, huge.rows);
  EXPECT_EQ(huge.view.ScrollX, 60000000 - 610);
  EXPECT_EQ(huge.view.ScrollY, 220000 - 488);
  EXPECT_GT(huge.view.HScrollScale, 6000.0f);
  EXPECT_NEAR(huge.view.HBar.Maximum, 9000, 1);
  EXPECT_NEAR(huge.view.HBar.Position, 9000, 1);
  EXPECT_EQ(huge.view.HBar.Page, 1);
  // A bar moved to its last unit stops at the last offset.
  EXPECT_EQ(ScrollBarMoved(huge.view, false, 100), Redraw);
  EXPECT_EQ(huge.view.ScrollY, ScaledPixels(100, huge.view.VScrollScale));
  EXPECT_EQ(ScrollBarMoved(huge.view, false, 100), None);
  EXPECT_EQ(ScrollBarMoved(huge.view, false, huge.view.VBar.Maximum), Redraw);
  EXPECT_EQ(huge.view.ScrollY, huge.view.MaxScrollY);
}

TEST(ChartView, ZoomKeepsTheDayUnderTheAnchor) {
  const float table[][6] = {
      // DayWidth, ScrollX, factor, anchor x, DayWidth and ScrollX after
      {20, 137, 1.25f, 700, 20, 137}, {20, 13931384, 1.25f, 799, 20, 13931384},
      {1, 137, 0.8f, 700, 1, 137},    {4, 0, 1.25f, 490, 5, 25},
      {4, 400, 1.25f, 100, 5, 500},  // left of the timeline
      {4, 0, 0.8f, 490, 3.2f, 0},     {16, 1000, 1.25f, 500, 20, 1277},
  };
  for (const auto& [dayWidth, scrollX, factor, anchor, expectedWidth, expectedScrollX] : table) {
    Chart chart(1, 1000000, 1000, 600, dayWidth);
    chart.Scroll(static_cast<std::int64_t>(scrollX), 0);
    EXPECT_EQ(ZoomBy(chart.view, chart.plan, chart.rows, factor, static_cast<std::int64_t>(anchor)), Redraw);
    EXPECT_FLOAT_EQ(chart.view.DayWidth, expectedWidth) << anchor;
    EXPECT_EQ(chart.view.ScrollX, static_cast<std::int64_t>(expectedScrollX)) << anchor;
  }
  Chart chart(1, 100000, 1000, 600);
  for (int i = 0; i < 12; ++i) ZoomBy(chart.view, chart.plan, chart.rows, ZOOM_IN_FACTOR, 600);
  EXPECT_EQ(chart.view.DayWidth, MAX_DAY_WIDTH);
  // The wheel: no notch does nothing; a negative pointer x zooms around the timeline's middle.
  chart.view.DayWidth = 4;
  chart.Scroll(100, 0);
  EXPECT_EQ(WheelZoom(chart.view, chart.plan, chart.rows, 0, 500), None);
  EXPECT_EQ(WheelZoom(chart.view, chart.plan, chart.rows, 1, -1), Redraw);
  EXPECT_EQ(chart.view.ScrollX, 160);
  WheelZoom(chart.view, chart.plan, chart.rows, -3, 390);
  EXPECT_FLOAT_EQ(chart.view.DayWidth, 4.6f * 0.87f);
}

TEST(ChartView, FitScalesTheBarsInView) {
  struct Row {
    std::int64_t width, scrollY;
    std::vector<std::array<std::int64_t, 3>> dates;  // task, start, finish in days from the start; -1 none
    float dayWidth;
    std::int64_t scrollX;
  };
  const Row table[] = {
      {1000, 0, {{0, 10, -1}, {1, -1, 12}}, 4, 33},  // nothing to fit: not drawn
      {430, 0, {{0, 10, 10}}, 20, 180},
      {420, 0, {{0, 10, 10}}, 15, 135},
      {996, 0, {{0, 5, 50}, {1, 20, 104}}, 6, 24},
      // Row 10 at the top of four: rows 9 to 15 count.
      {450, 220, {{8, 1, 90}, {16, 0, 99}, {9, 10, 10}, {15, 11, 11}}, 20, 180},
  };
  for (const Row& row : table) {
    Chart chart(20, 1000, row.width, 200);
    for (const auto& [task, start, finish] : row.dates) {
      chart.plan.Tasks[task].Start = start < 0 ? 0 : kStart + start;
      chart.plan.Tasks[task].Finish = finish < 0 ? 0 : kStart + finish;
    }
    chart.Scroll(33, row.scrollY);
    EXPECT_EQ(FitVisibleBars(chart.view, chart.plan, chart.rows), row.dayWidth == 4 ? None : DrawNow);
    EXPECT_FLOAT_EQ(chart.view.DayWidth, row.dayWidth) << row.width;
    EXPECT_EQ(chart.view.ScrollX, row.scrollX) << row.width;
  }
}

TEST(ChartView, TodayAndScrollToTask) {
  const std::int64_t today[][3] = {{-1, 12, 1}, {31, 12, 1}, {30, 200, 0}, {0, 0, 0}, {20, 150, 0}};
  for (const auto& [day, scrollX, outside] : today) {
    Chart chart(1, 30, 490, 600, 10);
    chart.Scroll(12, 0);
    const TodayResult result = CentreOnToday(chart.view, chart.plan, chart.rows, kStart + day);
    EXPECT_EQ(chart.view.ScrollX, scrollX) << day;
    EXPECT_EQ(result.Update, outside ? None : DrawNow) << day;
    if (outside) {
      EXPECT_EQ(result.OutsideMessage,
                "Today (" + OrdinalLabel(kStart + day) + ") lies outside this plan: 01.01.2024 - 17.01.2024");
    }
  }
  const std::int64_t toTask[][7] = {
      // task, start, W, ScrollX before, ScrollY after, ScrollX after, drawn
      {50, 10, 1000, 0, 867, 0, 1},   {50, 200, 1000, 0, 867, 760, 1}, {50, 10, 1000, 500, 867, 0, 1},
      {50, 100, 829, 0, 867, 360, 1}, {50, 100, 830, 0, 867, 0, 1},    {50, -1, 1000, 44, 867, 44, 1},
      {0, 10, 1000, 0, 0, 0, 1},      {100, 10, 1000, 7, 9, 7, 0},     {-1, 10, 1000, 7, 9, 7, 0},
  };
  for (const auto& [task, start, width, scrollX, scrollY, expectedX, drawn] : toTask) {
    Chart chart(100, 1000, width, 600);
    if (task >= 0 && task < std::ssize(chart.plan.Tasks)) chart.plan.Tasks[task].Start = start < 0 ? 0 : kStart + start;
    chart.Scroll(scrollX, 9);
    EXPECT_EQ(ScrollToTask(chart.view, chart.plan, chart.rows, task), drawn ? DrawNow : None);
    EXPECT_EQ(chart.view.ScrollY, scrollY) << task << " " << start;
    EXPECT_EQ(chart.view.ScrollX, expectedX) << task << " " << start;
  }
  Chart folded(100, 1000, 1000, 600, 4, {1, 2});
  folded.rows.TaskFolded[0] = 1;
  RebuildRows(folded.rows, folded.plan);
  EXPECT_EQ(ScrollToTask(folded.view, folded.plan, folded.rows, 1), None);
}

TEST(ChartView, KeysAndWheelScroll) {
  struct Row {
    NavigationKey key;
    std::int64_t height, scrollX, scrollY;
  };
  const Row table[] = {
      {Up, 600, 100, 34},        {Down, 600, 100, 166}, {Left, 600, 93, 100},
      {Right, 600, 107, 100},    {PageUp, 600, 100, 0}, {PageDown, 600, 100, 584},
      {PageDown, 120, 100, 122}, {Home, 600, 0, 0},     {End, 600, 790, 1712},
  };
  Chart shortPlan(3, 14, 1000, 600);
  for (const Row& row : table) {
    Chart chart(100, 1000, 1000, row.height, 1.4f);
    chart.Scroll(100, 100);
    EXPECT_EQ(ScrollByKey(chart.view, chart.plan, chart.rows, row.key), row.key >= Home ? Redraw : DrawNow);
    EXPECT_EQ(chart.view.ScrollX, row.scrollX) << static_cast<int>(row.key);
    EXPECT_EQ(chart.view.ScrollY, row.scrollY) << static_cast<int>(row.key);
    ScrollByKey(shortPlan.view, shortPlan.plan, shortPlan.rows, row.key);
    EXPECT_EQ(shortPlan.view.ScrollX + shortPlan.view.ScrollY, 0) << static_cast<int>(row.key);
  }
  const std::int64_t wheel[][2] = {{1, 134}, {-1, 266}, {10, 0}, {kMax, 0}, {-kMax - 1, 1712}};
  for (const auto& [notches, scrollY] : wheel) {
    Chart chart(100, 1000, 1000, 600);
    chart.Scroll(0, 200);
    EXPECT_EQ(WheelScroll(chart.view, chart.plan, chart.rows, notches), Redraw);
    EXPECT_EQ(chart.view.ScrollY, scrollY) << notches;
  }
}

TEST(ChartView, SplitterDragStaysWithinItsLimits) {
  const std::int64_t table[][4] = {{385, 100, 1, 260}, {395, 900, 1, 650}, {384, 100, 0, 390},
                                   {396, 900, 0, 390}, {390, 259, 1, 260}, {390, 261, 1, 261},
                                   {390, 651, 1, 650}, {393, 403, 1, 400}};
  for (const auto& [press, move, drags, width] : table) {
    Chart chart(1, 1000, 1000, 600);
    SplitterPress(chart.view, press);
    EXPECT_EQ(SplitterMove(chart.view, chart.plan, chart.rows, move), drags ? Redraw : None) << press;
    EXPECT_EQ(chart.view.TaskColumnWidth, width) << press << " " << move;
    EXPECT_EQ(chart.view.HBar.Page, drags ? 1000 - width : 1) << press;
    EXPECT_EQ(SplitterEnd(chart.view, chart.plan, chart.rows), drags ? DrawNow : None) << press;
    EXPECT_FALSE(chart.view.SplitterDrag);
  }
}

TEST(ChartView, FoldTriangleHotZone) {
  // A (level 1, zone 2..17), A.1 (level 2, zone 16..31), A.1.1, B: rows 0 to 3.
  const std::int64_t table[][6] = {
      // H, ScrollY, x, y, hit, rows after
      {600, 0, 2, 88, 1, 2},   {600, 0, 1, 88, 0, 4},   {600, 0, 17, 109, 1, 2}, {600, 0, 18, 100, 0, 4},
      {600, 0, 10, 87, 0, 4},  {600, 0, 16, 110, 1, 3}, {600, 0, 15, 110, 0, 4}, {600, 0, 20, 132, 0, 4},
      {600, 0, 10, 154, 0, 4}, {600, 0, 10, 176, 0, 4}, {120, 0, 10, 95, 1, 2},  {120, 0, 10, 96, 0, 4},
      {600, 22, 31, 88, 1, 3}, {600, 22, 32, 88, 0, 4}, {600, 22, 10, 87, 0, 4},
  };
  for (const auto& [height, scrollY, x, y, hit, rowCount] : table) {
    Chart chart(4, 100, 1000, height, 4, {1, 2, 3, 1});
    chart.Scroll(0, scrollY);
    EXPECT_EQ(ToggleFoldAt(chart.rows, chart.view, chart.plan, x, y), hit != 0) << x << "," << y;
    EXPECT_EQ(chart.rows.RowCount, rowCount) << x << "," << y;
    EXPECT_EQ(chart.view.ScrollY, hit ? 0 : scrollY) << x << "," << y;
  }
  // Outline levels from a file are unbounded: the zone of a very deep summary is far right.
  Chart deep(2, 100, 1000, 600, 4, {kMax - 1, kMax});
  EXPECT_FALSE(ToggleFoldAt(deep.rows, deep.view, deep.plan, kMax, 88));
}

TEST(ChartView, FoldingAndFilteringKeepTheTopTask) {
  enum Op { kFold, kExpand, kFilterOn, kFilterOff };
  const std::int64_t table[][4] = {
      // op, ScrollY before (in the state the opposite op leaves), ScrollY after, rows after
      {kFold, 88, 22, 3},     {kFold, 22, 0, 3},      {kFold, 110, 44, 3},
      {kFold, 5000, 44, 3},   {kExpand, 22, 44, 6},   {kFilterOn, 22, 22, 3},
      {kFilterOn, 110, 0, 3}, {kFilterOn, 88, 44, 3}, {kFilterOff, 44, 88, 6},
  };
  for (const auto& [op, before, after, rowCount] : table) {
    // X, X.1, P, P.1, P.1.1, Q; X, P and P.1.1 critical; one row in view.
    Chart chart(6, 100, 1000, 134, 4, {1, 2, 1, 2, 3, 1});
    for (std::int64_t t : {0, 2, 4}) chart.plan.Tasks[t].Critical = 1;
    if (op == kExpand) SetAllFolded(chart.rows, chart.view, chart.plan, true);
    if (op == kFilterOff) SetCriticalFilter(chart.rows, chart.view, chart.plan, true);
    chart.Scroll(0, before);
    if (op == kFold || op == kExpand) {
      EXPECT_EQ(SetAllFolded(chart.rows, chart.view, chart.plan, op == kFold), DrawNow);
    } else {
      SetCriticalFilter(chart.rows, chart.view, chart.plan, op == kFilterOn);
    }
    EXPECT_EQ(chart.view.ScrollY, after) << op << " " << before;
    EXPECT_EQ(chart.rows.RowCount, rowCount) << op << " " << before;
  }
  Chart empty(0, 100, 1000, 134);
  empty.Scroll(0, 50);
  SetAllFolded(empty.rows, empty.view, empty.plan, true);
  SetCriticalFilter(empty.rows, empty.view, empty.plan, true);
  EXPECT_EQ(empty.view.ScrollY, 0);
}

}  // namespace
}  // namespace nerin
