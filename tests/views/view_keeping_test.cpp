// SPDX-License-Identifier: MIT
// What a reload keeps of the chart and the lists, matched by UID in the new plan.
#include "views/view_keeping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/plan_text.h"
#include "views/plan_access.h"

namespace nerin {
namespace {

using test::Element;

struct TaskShape {
  std::int64_t uid;
  std::int64_t level;
  bool critical;
};

// Summary 1 over 2..10, summary 11 over 12..20, then 21..30 at the top level; all critical.
std::vector<TaskShape> StandardTasks() {
  std::vector<TaskShape> tasks;
  for (std::int64_t uid = 1; uid <= 30; ++uid) {
    tasks.push_back({uid, uid == 1 || uid == 11 || uid > 20 ? 1 : 2, true});
  }
  return tasks;
}

std::unique_ptr<Plan> MakePlan(const std::vector<TaskShape>& shapes, std::string_view projectStart) {
  std::string tasks;
  for (const TaskShape& shape : shapes) {
    tasks += test::TaskXml(shape.uid, Element("OutlineLevel", std::to_string(shape.level)) +
                                         Element("Critical", shape.critical ? "1" : "0"));
  }
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  EXPECT_TRUE(test::Load(*plan, log, test::ProjectXml(Element("Tasks", tasks), projectStart)))
      << MessageListText(log);
  return plan;
}

std::int64_t UidAt(const Plan& plan, std::int64_t task) {
  return IsTask(plan, task) ? plan.Tasks[At(task)].UID : 0;
}

std::set<std::int64_t> FoldedUids(const Plan& plan, const RowModel& rows) {
  std::set<std::int64_t> uids;
  for (std::int64_t task = 0; task < plan.TaskCount(); ++task) {
    if (rows.TaskFolded[At(task)] != 0) uids.insert(UidAt(plan, task));
  }
  return uids;
}

TEST(ViewKeeping, ReloadKeepsWhatTheNewPlanStillHas) {
  const auto old = MakePlan(StandardTasks(), "2026-03-02T08:00:00");
  // The view before the reload: summary 1 folded, task 21 on the top row 5 pixels up, ten
  // days of timeline scrolled off, task 15 selected, the critical filter on.
  RowModel rows;
  ResetFolding(rows, *old);
  rows.TaskFolded[At(TaskIndex(*old, 1))] = 1;
  rows.CriticalFilter = true;
  RebuildRows(rows, *old);
  ChartView view;
  view.Width = 700;
  view.Height = CHART_FRAME_HEIGHT + 5 * ROW_HEIGHT;
  view.DayWidth = 8.0f;
  view.TaskColumnWidth = 500;
  view.ScrollX = 80;
  view.ScrollY = rows.TaskRow[At(TaskIndex(*old, 21))] * ROW_HEIGHT + 5;
  const KeptView kept = KeepView(*old, view, rows, TaskIndex(*old, 15));

  std::vector<TaskShape> inserted = {{40, 1, true}, {41, 1, true}};
  for (const TaskShape& shape : StandardTasks()) inserted.push_back(shape);
  std::vector<TaskShape> noSubtasks;  // 12..20 dropped: 11 has nothing left to fold
  for (const TaskShape& shape : StandardTasks()) {
    if (shape.uid < 12 || shape.uid > 20) noSubtasks.push_back(shape);
  }
  std::vector<TaskShape> noneCritical = StandardTasks();
  for (TaskShape& shape : noneCritical) shape.critical = false;
  std::vector<TaskShape> topGone;  // 21 dropped: the offsets stay as they were
  for (const TaskShape& shape : StandardTasks()) {
    if (shape.uid != 21) topGone.push_back(shape);
  }

  struct Row {
    const char* name;
    std::vector<TaskShape> tasks;
    std::string_view start;
    std::set<std::int64_t> folded;
    std::int64_t topUid;
    std::int64_t selectedUid;
    bool critical;
  };
  const Row cases[] = {
      {"same plan", StandardTasks(), "2026-03-02T08:00:00", {1}, 21, 15, true},
      {"tasks inserted before", inserted, "2026-03-02T08:00:00", {1}, 21, 15, true},
      {"subtasks and selection gone", noSubtasks, "2026-03-02T08:00:00", {1}, 21, 0, true},
      {"starts a week earlier", StandardTasks(), "2026-02-23T08:00:00", {1}, 21, 15, true},
      {"no critical task left", noneCritical, "2026-03-02T08:00:00", {1}, 21, 15, false},
      {"top task gone", topGone, "2026-03-02T08:00:00", {1}, 22, 15, true},
  };
  for (const Row& c : cases) {
    SCOPED_TRACE(c.name);
    const auto plan = MakePlan(c.tasks, c.start);
    ChartView after = view;  // the window keeps its size across a reload
    RowModel newRows;
    const std::int64_t selected = RestoreView(kept, *plan, after, newRows);
    EXPECT_EQ(UidAt(*plan, selected), c.selectedUid);
    EXPECT_EQ(after.DayWidth, 8.0f);
    EXPECT_EQ(after.TaskColumnWidth, 500);
    EXPECT_EQ(FoldedUids(*plan, newRows), c.folded);
    EXPECT_EQ(newRows.CriticalFilter, c.critical);
    const std::int64_t topRow = after.ScrollY / ROW_HEIGHT;
    ASSERT_LT(topRow, newRows.RowCount);
    EXPECT_EQ(UidAt(*plan, newRows.RowTask[At(topRow)]), c.topUid);
    if (c.topUid == 21) {
      EXPECT_EQ(after.ScrollY % ROW_HEIGHT, 5);
    }
    // The same first day stands at the timeline's left edge.
    EXPECT_EQ(plan->TimelineStart + after.ScrollX / 8, old->TimelineStart + 10);
  }
}

// The day at the timeline's left edge comes back at the pixel where the chart drew it, whatever
// the day width: 5 days at 1.4 px are 7 px on the chart (float), 6.9999... in double.
TEST(ViewKeeping, KeptDayStandsWhereTheChartDrewIt) {
  const auto old = MakePlan(StandardTasks(), "2026-03-02T08:00:00");
  const auto earlier = MakePlan(StandardTasks(), "2026-02-23T08:00:00");
  RowModel rows;
  ResetFolding(rows, *old);
  RebuildRows(rows, *old);
  const float widths[] = {1.4f, 1.1f, 2.3f, 3.7f, 4.9f, 7.3f, 13.1f};
  for (const float width : widths) {
    for (std::int64_t scrollX = 0; scrollX <= 60; ++scrollX) {
      SCOPED_TRACE(testing::Message() << width << " px/day, scrolled " << scrollX);
      ChartView view;
      view.Width = MIN_TASK_COLUMN_WIDTH + 1;
      view.Height = 300;
      view.TaskColumnWidth = MIN_TASK_COLUMN_WIDTH;
      view.DayWidth = width;
      view.ScrollX = scrollX;
      const KeptView kept = KeepView(*old, view, rows, -1);
      const TimelineScale before = TimelineScale::Of(view, *old, view.Width);
      // The kept day begins at or left of the edge, and the pixels into it reach the edge.
      EXPECT_LE(before.DayX(kept.LeftDay), view.TaskColumnWidth);
      EXPECT_GT(before.DayX(kept.LeftDay + 1), view.TaskColumnWidth);
      ChartView after = view;
      RowModel newRows;
      RestoreView(kept, *earlier, after, newRows);
      if (after.ScrollX >= after.MaxScrollX) continue;  // held at the timeline's end
      EXPECT_EQ(TimelineScale::Of(after, *earlier, after.Width).DayX(kept.LeftDay),
                before.DayX(kept.LeftDay));
    }
  }
}

TEST(ViewKeeping, ViewValuesOutsideTheirRangesAreMadeLegal) {
  const auto plan = MakePlan(StandardTasks(), "2026-03-02T08:00:00");
  struct Row {
    float dayWidth;
    std::int64_t taskColumn;
    std::int64_t scrollX;
    std::int64_t scrollY;
    float expectedDayWidth;
    std::int64_t expectedTaskColumn;
  };
  const Row cases[] = {
      {50.0f, 100, -40, -22, MAX_DAY_WIDTH, MIN_TASK_COLUMN_WIDTH},
      {0.0f, 9000, 1 << 30, 1 << 30, MIN_DAY_WIDTH, MAX_TASK_COLUMN_WIDTH},
      {std::numeric_limits<float>::quiet_NaN(), 390, 0, 0, 4.0f, 390},
      {std::numeric_limits<float>::infinity(), 390, 0, 0, 4.0f, 390},
  };
  for (const Row& c : cases) {
    KeptView kept;
    kept.DayWidth = c.dayWidth;
    kept.TaskColumnWidth = c.taskColumn;
    kept.ScrollX = c.scrollX;
    kept.ScrollY = c.scrollY;
    ChartView view;
    view.Width = 800;
    view.Height = 300;
    RowModel rows;
    EXPECT_EQ(RestoreView(kept, *plan, view, rows), -1);
    EXPECT_EQ(view.DayWidth, c.expectedDayWidth);
    EXPECT_EQ(view.TaskColumnWidth, c.expectedTaskColumn);
    EXPECT_GE(view.ScrollX, 0);
    EXPECT_LE(view.ScrollX, view.MaxScrollX);
    EXPECT_GE(view.ScrollY, 0);
    EXPECT_LE(view.ScrollY, view.MaxScrollY);
  }
}

}  // namespace
}  // namespace nerin
