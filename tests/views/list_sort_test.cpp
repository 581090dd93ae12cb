// SPDX-License-Identifier: MIT
// Sorting the Tasks and Resources lists by a column header.
#include "views/list_sort.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calendar/text_units.h"
#include "model/plan_text.h"
#include "views/find.h"
#include "views/plan_access.h"

namespace nerin {
namespace {

using test::Element;
using Order = std::vector<std::int64_t>;

// Six tasks with ties and empty names; task 3 (index 2) is not critical.
std::unique_ptr<Plan> SortPlan() {
  const auto task = [](int uid, std::string_view name, std::string_view outline, std::string_view start,
                       std::string_view duration, std::string_view critical, std::string_view extra = "") {
    const std::string id = std::to_string(uid);
    std::string body = Element("UID", id) + Element("ID", std::to_string(70 - uid * 10)) +
                       Element("Name", name) + Element("OutlineNumber", outline) +
                       Element("Duration", duration) + Element("Critical", critical) + std::string(extra);
    body += Element("Start", start) + Element("Finish", "2026-03-20");
    return Element("Task", body);
  };
  const std::string tasks = task(1, "beta", "1", "2026-03-05", "PT16H0M0S", "1") +
                            task(2, "Alpha", "1.10", "2026-03-02", "PT8H0M0S", "1") +
                            task(3, "", "1.2", "2026-03-04", "PT16H0M0S", "0") +
                            task(4, "alpha", "1.2.1", "2026-03-05", "PT4H0M0S", "1") +
                            task(5, "beta", "2", "2026-03-03", "PT16H0M0S", "1") +
                            task(6, "", "10", "2026-03-02", "PT0H0M0S", "1");
  const std::string resources = test::ResourceXml(1, Element("MaxUnits", "1") + Element("Initials", "B")) +
                                test::ResourceXml(2, Element("MaxUnits", "0.5")) +
                                test::ResourceXml(3, Element("MaxUnits", "1") + Element("Initials", "A"));
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  EXPECT_TRUE(
      test::Load(*plan, log, test::ProjectXml(Element("Tasks", tasks) + Element("Resources", resources))))
      << MessageListText(log);
  return plan;
}

TEST(ListSort, HeaderClicksCycleAscendingDescendingPlanOrder) {
  using enum SortDirection;
  struct Row {
    ListSort before;
    std::int64_t column;
    ListSort after;
  };
  const Row rows[] = {
      {{}, 2, {2, Ascending}},
      {{2, Ascending}, 2, {2, Descending}},
      {{2, Descending}, 2, {}},
      {{2, Ascending}, 5, {5, Ascending}},  // another column starts ascending
      {{2, Descending}, 0, {0, Ascending}},
      {{2, Ascending}, -1, {2, Ascending}},  // outside the list: nothing changes
      {{2, Ascending}, 10, {2, Ascending}},
      {{}, 9, {9, Ascending}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NextSort(row.before, row.column, 10), row.after) << "column " << row.column;
  }
}

// Rows are task indexes; plan order is 0..5.
TEST(ListSort, TaskColumnsByValueWithTiesInPlanOrderAndEmptyLast) {
  const auto plan = SortPlan();
  using enum SortDirection;
  struct Row {
    std::int64_t column;
    SortDirection direction;
    Order expected;
  };
  const Row rows[] = {
      {0, Ascending, {5, 4, 3, 2, 1, 0}},  // IDs 10..60 by value, not as text
      {0, Descending, {0, 1, 2, 3, 4, 5}},
      {1, Ascending, {0, 2, 3, 1, 4, 5}},  // 1 < 1.2 < 1.2.1 < 1.10 < 2 < 10
      {1, Descending, {5, 4, 1, 3, 2, 0}},
      {2,
       Ascending,
       {1, 3, 0, 4, 2, 5}},  // bytes: "Alpha" < "alpha" < "beta"; ties and empties keep plan order
      {2, Descending, {0, 4, 3, 1, 2, 5}},  // empty names stay last
      {3, Ascending, {1, 5, 4, 2, 0, 3}},   // dates by value, ties in plan order
      {3, Descending, {0, 3, 2, 4, 1, 5}},
      {5, Ascending, {5, 3, 1, 0, 2, 4}},  // 0h, 4h, 8h, then the three 16h tasks in plan order
      {5, Descending, {0, 2, 4, 1, 3, 5}},
      {8, Ascending, {2, 0, 1, 3, 4, 5}},  // not critical first
      {8, Descending, {0, 1, 3, 4, 5, 2}},
      {2, PlanOrder, {0, 1, 2, 3, 4, 5}},
      {42, Ascending, {0, 1, 2, 3, 4, 5}},  // no such column: plan order
  };
  const Order all = {0, 1, 2, 3, 4, 5};
  for (const Row& row : rows) {
    EXPECT_EQ(SortedTaskRows(*plan, all, {row.column, row.direction}, ByteCollation), row.expected)
        << "column " << row.column << " direction " << static_cast<int>(row.direction);
  }
}

TEST(ListSort, CallersCollationDecidesTextOrder) {
  const auto plan = SortPlan();
  // Letter case ignored, as a locale's collation would: "Alpha" and "alpha" tie and keep plan order.
  const TextCollation caseBlind = [](std::string_view a, std::string_view b) {
    return ByteCollation(ToLowerAscii(a), ToLowerAscii(b));
  };
  const Order all = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(SortedTaskRows(*plan, all, {2, SortDirection::Ascending}, caseBlind), (Order{1, 3, 0, 4, 2, 5}));
  EXPECT_EQ(SortedTaskRows(*plan, all, {2, SortDirection::Descending}, caseBlind), (Order{0, 4, 1, 3, 2, 5}));
}

TEST(ListSort, ResourceColumns) {
  const auto plan = SortPlan();
  const Order all = {0, 1, 2};
  EXPECT_EQ(SortedResourceRows(*plan, all, {4, SortDirection::Ascending}, ByteCollation), (Order{1, 0, 2}));
  EXPECT_EQ(SortedResourceRows(*plan, all, {4, SortDirection::Descending}, ByteCollation), (Order{0, 2, 1}));
  // Initials: resource 2 has none and comes last both ways.
  EXPECT_EQ(SortedResourceRows(*plan, all, {2, SortDirection::Ascending}, ByteCollation), (Order{2, 0, 1}));
  EXPECT_EQ(SortedResourceRows(*plan, all, {2, SortDirection::Descending}, ByteCollation), (Order{0, 2, 1}));
  // Indexes outside the plan are dropped, not read.
  EXPECT_EQ(SortedResourceRows(*plan, Order{2, 7, -1, 0}, {0, SortDirection::Ascending}, ByteCollation),
            (Order{0, 2}));
}

// The sorted list keeps both directions of its mapping, with the critical filter on and off,
// and goes back to plan order without a refill.
TEST(ListSort, SortedTaskListMapsRowsAndTasksBothWays) {
  const auto plan = SortPlan();
  for (const bool critical : {false, true}) {
    TaskListRows rows;
    FillTaskListRows(rows, *plan, critical);
    SortTaskList(rows, *plan, {3, SortDirection::Descending}, ByteCollation);
    const Order expected = critical ? Order{0, 3, 4, 1, 5} : Order{0, 3, 2, 4, 1, 5};
    ASSERT_EQ(rows.RowCount, std::ssize(expected)) << critical;
    for (std::int64_t row = 0; row < rows.RowCount; ++row) {
      EXPECT_EQ(ListRowTaskAt(rows, row), expected[At(row)]) << critical;
      EXPECT_EQ(TaskListRowOf(rows, expected[At(row)]), row) << critical;
    }
    EXPECT_EQ(TaskListRowOf(rows, 2), critical ? -1 : 2);
    SortTaskList(rows, *plan, {}, ByteCollation);
    for (std::int64_t row = 1; row < rows.RowCount; ++row) {
      EXPECT_LT(ListRowTaskAt(rows, row - 1), ListRowTaskAt(rows, row)) << critical;
    }
  }
}

TEST(ListSort, OrderThatIsNoPermutationOfTheListIsRefused) {
  const auto plan = SortPlan();
  TaskListRows rows;
  FillTaskListRows(rows, *plan, true);  // tasks 0, 1, 3, 4, 5
  const Order refused[] = {
      {0, 1, 3, 4}, {0, 1, 3, 4, 4}, {0, 1, 2, 3, 4}, {0, 1, 3, 4, 99999}, {0, 1, 3, 4, -1}};
  for (const Order& order : refused) {
    EXPECT_FALSE(ApplyTaskListOrder(rows, order));
    EXPECT_EQ(ListRowTaskAt(rows, 4), 5);
    EXPECT_EQ(TaskListRowOf(rows, 5), 4);
  }
  EXPECT_TRUE(ApplyTaskListOrder(rows, Order{5, 4, 3, 1, 0}));
  EXPECT_EQ(TaskListRowOf(rows, 5), 0);
}

// Find walks the tasks in plan order from the selected task, whatever the list's order, and
// names the row where the found task stands now.
TEST(ListSort, FindWalksASortedListByTask) {
  const auto plan = SortPlan();
  TaskListRows rows;
  FillTaskListRows(rows, *plan, false);
  FindTexts texts;
  std::string last;
  const LowerCaseFunction lower = [](std::string_view text) { return std::string(text); };
  struct Step {
    ListSort sort;        // applied before the step
    std::int64_t select;  // the task whose row is selected, -1 none
    std::int64_t found;
  };
  const Step steps[] = {
      {{2, SortDirection::Descending}, -1, 0}, {{2, SortDirection::Descending}, 0, 4},
      {{2, SortDirection::Ascending}, 4, 0},  // re-sorted between two steps: it still wraps to task 0
      {{0, SortDirection::Ascending}, 0, 4},   {{}, 4, 0},
  };
  for (const Step& step : steps) {
    SortTaskList(rows, *plan, step.sort, ByteCollation);
    const FindRequest request{FindView::Tasks, "beta",
                              step.select < 0 ? -1 : TaskListRowOf(rows, step.select), -1};
    const FindResult result = FindNextRecord(*plan, rows, texts, last, request, lower);
    ASSERT_EQ(result.Outcome, FindOutcome::Found);
    EXPECT_EQ(result.Record, step.found) << "from task " << step.select;
    EXPECT_EQ(ListRowTaskAt(rows, TaskListRowOf(rows, result.Record)), step.found);
  }
}

// Leaving a sorted list for the chart shows the selected task, and coming back finds the row
// where the chart's top task stands in the sorted list.
TEST(ListSort, HandOverToTheChartFollowsTheTask) {
  const auto plan = SortPlan();
  TaskListRows listRows;
  FillTaskListRows(listRows, *plan, false);
  SortTaskList(listRows, *plan, {5, SortDirection::Ascending}, ByteCollation);  // tasks 5, 3, 1, 0, 2, 4
  RowModel chartRows;
  ResetFolding(chartRows, *plan);
  RebuildRows(chartRows, *plan);
  ChartView view;
  view.Width = 800;
  view.Height = 600;
  for (std::int64_t row = 0; row < listRows.RowCount; ++row) {
    ShowListTaskAtChartTop(chartRows, view, *plan, listRows, row);
    const std::int64_t top = ChartTopTask(view, chartRows);
    EXPECT_EQ(top, ListRowTaskAt(listRows, row));
    EXPECT_EQ(TaskListRowOf(listRows, top), row);
  }
}

}  // namespace
}  // namespace nerin
