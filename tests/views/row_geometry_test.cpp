// SPDX-License-Identifier: MIT
// The chart's geometry values: day <-> x, row <-> y, and the fold triangles the drawing puts
// where the hit test looks for them.
#include "views/row_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/recording_painter.h"
#include "views/chart_colours.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/timeline_scale.h"

namespace nerin {
namespace {

TEST(TimelineScale, DayAndXAgreeBothWays) {
  struct Row {
    float dayWidth;
    std::int64_t scrollX;
    std::int64_t day;
    std::int64_t x;
  };
  // K = 390; the day's left edge, and every pixel of the day maps back to it.
  const Row rows[] = {
      {4.0f, 0, 0, 390}, {4.0f, 0, 10, 430}, {1.4f, 0, 5, 397}, {1.4f, 7, 5, 390},
      {20.0f, 100, 3, 350}, {2.9f, 0, 7, 410},
  };
  for (const Row& row : rows) {
    ChartView view;
    view.DayWidth = row.dayWidth;
    view.ScrollX = row.scrollX;
    const TimelineScale scale = TimelineScale::Of(view, 1000);
    EXPECT_EQ(scale.IndexX(row.day), row.x) << row.dayWidth << " " << row.day;
    for (std::int64_t x = row.x; x < scale.IndexX(row.day + 1); ++x) {
      EXPECT_EQ(scale.IndexAt(x), row.day) << row.dayWidth << " x " << x;
    }
  }
}

TEST(TimelineScale, AbsurdValuesStayFiniteAndOrdered) {
  ChartView view;
  view.DayWidth = 20.0f;
  view.ScrollX = INT64_MIN;
  view.TaskColumnWidth = INT64_MAX;
  const TimelineScale scale = TimelineScale::Of(view, INT64_MAX);
  EXPECT_LT(scale.DayX(INT64_MIN), scale.DayX(0));
  EXPECT_LT(scale.DayX(0), scale.DayX(INT64_MAX));
  const DayRange days = scale.VisibleDays();
  EXPECT_LE(days.Last, scale.Days);
}

TEST(TimelineScale, TicksByZoom) {
  struct Row {
    float dayWidth;
    std::int64_t weeks;
    std::int64_t days;
  };
  // 2 March 2026 is a Monday; 28 days in view hold 4 Mondays and one month start (the first).
  const Row rows[] = {{2.9f, 0, 0}, {3.0f, 4, 0}, {7.9f, 4, 0}, {8.0f, 0, 28}};
  for (const Row& row : rows) {
    ChartView view;
    view.DayWidth = row.dayWidth;
    TimelineScale scale = TimelineScale::Of(view, 2000);
    scale.Start = OrdinalFromDate(2026, 3, 2);
    std::int64_t weeks = 0;
    std::int64_t days = 0;
    std::int64_t months = 0;
    for (const TimelineTick& tick : scale.Ticks({0, 27})) {
      weeks += tick.Kind == TickKind::Week ? 1 : 0;
      days += tick.Kind == TickKind::Day ? 1 : 0;
      months += tick.Kind == TickKind::Month ? 1 : 0;
    }
    EXPECT_EQ(months, 1) << row.dayWidth;
    EXPECT_EQ(weeks, row.weeks) << row.dayWidth;
    EXPECT_EQ(days, row.days) << row.dayWidth;
  }
}

TEST(RowGeometry, RowsUnderPointsAndInView) {
  struct Row {
    std::int64_t scrollY;
    std::int64_t height;
    std::int64_t y;
    std::int64_t row;  // under y
    std::int64_t first;
    std::int64_t last;
  };
  // 100 rows; the legend starts at H - 24.
  const Row rows[] = {
      {0, 300, 88, 0, 0, 9},   {0, 300, 87, -1, 0, 9},    {0, 300, 275, 8, 0, 9},
      {0, 300, 276, -1, 0, 9}, {44, 300, 88, 2, 1, 11},   {2178, 300, 109, 99, 98, 99},
      {2178, 300, 110, -1, 98, 99}, {0, 112, 100, -1, 0, 1},
  };
  for (const Row& row : rows) {
    const RowGeometry geometry{row.scrollY, row.height, 100};
    EXPECT_EQ(geometry.RowAt(row.y), row.row) << row.scrollY << " " << row.y;
    EXPECT_EQ(geometry.VisibleRows().First, row.first) << row.scrollY;
    EXPECT_EQ(geometry.VisibleRows().Last, row.last) << row.scrollY;
  }
}

// Every fill of a fold triangle lies inside the zone that folds it: within the row that the
// hit test finds at its top and bottom, and within the hot zone at its left and right.
TEST(RowGeometry, FoldTrianglesAreDrawnInsideTheirHitZones) {
  auto plan = std::make_unique<Plan>();
  plan->ProjectLoaded = true;
  plan->TimelineStart = OrdinalFromDate(2026, 3, 2);
  plan->TimelineDays = 30;
  const std::int64_t levels[] = {1, 2, 3, 4, 5, 4, 1, 2, 1};
  for (const std::int64_t level : levels) {
    Task& task = plan->Tasks.emplace_back();
    task.UID = plan->TaskCount();
    task.OutlineLevel = level;
    task.Name = "T" + std::to_string(plan->TaskCount());
  }
  for (const bool folded : {false, true}) {
    for (const std::int64_t scrollY : {0, 7}) {
      RowModel rows;
      ResetFolding(rows, *plan);
      if (folded) rows.TaskFolded[3] = rows.TaskFolded[7] = 1;
      RebuildRows(rows, *plan);
      ChartView view;
      view.Width = 900;
      view.Height = 400;
      view.ScrollY = scrollY;
      test::RecordingPainter painter;
      DrawChart(painter, ChartFrame{*plan, rows, view, view.Width, view.Height, 0, -1, nullptr});
      std::int64_t triangles = 0;
      for (const std::string& call : painter.calls) {
        std::istringstream in(call);
        std::string kind;
        std::int64_t x = 0, y = 0, w = 0, h = 0;
        std::string colour;
        in >> kind >> x >> y >> w >> h >> colour;
        // Triangles are the only dark fills left of the name column's end.
        if (kind != "fill" || colour != "16,42,67" || x + w > view.TaskColumnWidth - 187 || y < CHART_TOP) {
          continue;
        }
        ++triangles;
        const std::int64_t task = ChartRowTaskAt(*plan, rows, view, y);
        ASSERT_GE(task, 0) << call;
        EXPECT_EQ(ChartRowTaskAt(*plan, rows, view, y + h - 1), task) << call;
        EXPECT_TRUE(OnFoldTriangle(*plan, rows, task, x)) << call;
        EXPECT_TRUE(OnFoldTriangle(*plan, rows, task, x + w - 1)) << call;
      }
      EXPECT_GT(triangles, 0);
    }
  }
}

}  // namespace
}  // namespace nerin
