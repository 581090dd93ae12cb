// SPDX-License-Identifier: MIT
// Which tasks get rows: folding, the critical filter and revealing a task.
#include "views/row_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace nerin {
namespace {

// Per task: outline level, critical, summary.
void SetTasks(Plan& plan, RowModel& rows, const std::vector<std::array<std::int64_t, 3>>& tasks) {
  plan.Tasks.resize(tasks.size());
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    plan.Tasks[i].OutlineLevel = tasks[i][0];
    plan.Tasks[i].Critical = static_cast<std::uint8_t>(tasks[i][1]);
    plan.Tasks[i].Summary = static_cast<std::uint8_t>(tasks[i][2]);
  }
  plan.ProjectLoaded = true;
  ResetFolding(rows, plan);
}

// The tasks on the rows, top to bottom, once both maps are seen to agree.
std::vector<std::int64_t> RowTasks(const RowModel& rows) {
  for (std::int64_t t = 0; t < std::ssize(rows.TaskRow); ++t) {
    if (rows.TaskRow[t] >= 0) {
      EXPECT_EQ(rows.RowTask[rows.TaskRow[t]], t);
    }
  }
  EXPECT_EQ(std::count_if(rows.TaskRow.begin(), rows.TaskRow.end(), [](auto row) { return row >= 0; }),
            rows.RowCount);
  return {rows.RowTask.begin(), rows.RowTask.begin() + rows.RowCount};
}

TEST(RowModel, FoldFilterAndRevealOnFourTasks) {
  enum Op { kNone, kReveal, kRevealAndOpen };
  struct Row {
    bool foldA, foldB, filter;
    Op op;
    std::int64_t task;
    bool result;
    std::vector<std::int64_t> rows;
    bool filterAfter;
  };
  const Row table[] = {
      {false, false, false, kNone, 0, false, {0, 1, 2, 3}, false},
      {true, false, false, kNone, 0, false, {0, 3}, false},
      {false, true, false, kNone, 0, false, {0, 1, 2, 3}, false},  // B has nothing to fold
      {false, false, true, kNone, 0, false, {0, 1}, true},
      {true, false, true, kNone, 0, false, {0}, true},
      {true, false, false, kReveal, 1, false, {0, 1, 2, 3}, false},
      {false, false, true, kReveal, 1, false, {0, 1}, true},
      {false, false, true, kReveal, 2, true, {0, 1, 2, 3}, false},
      {true, false, true, kReveal, 2, true, {0, 1, 2, 3}, false},
      {true, false, false, kReveal, 0, false, {0, 3}, false},
      {true, false, false, kRevealAndOpen, 0, false, {0, 1, 2, 3}, false},
      {true, false, true, kReveal, -1, false, {0}, true},
      {true, false, true, kRevealAndOpen, 4, false, {0}, true},
  };
  // Phase A (summary, critical), A.1 (critical), A.2, Phase B (summary flag, no subtasks).
  Plan plan;
  RowModel rows;
  SetTasks(plan, rows, {{1, 1, 1}, {2, 1, 0}, {2, 0, 0}, {1, 0, 1}});
  // A.1 and B each have a driving link; A.2 one that is not.
  for (const std::size_t task : {1, 2, 3}) {
    plan.Tasks[task].Links.resize(2);
    plan.Tasks[task].Links[1].Driving = task != 2 ? 1 : 0;
  }
  EXPECT_EQ(std::vector<std::uint8_t>(rows.TaskHasChildren.begin(), rows.TaskHasChildren.begin() + 4),
            (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(CountCriticalTasks(plan), 2);
  for (const Row& row : table) {
    rows.TaskFolded[0] = row.foldA;
    rows.TaskFolded[3] = row.foldB;
    rows.CriticalFilter = row.filter;
    RebuildRows(rows, plan);
    if (row.op != kNone) {
      EXPECT_EQ(
          row.op == kReveal ? RevealTask(rows, plan, row.task) : RevealAndOpenTask(rows, plan, row.task),
          row.result);
    }
    EXPECT_EQ(RowTasks(rows), row.rows) << &row - table;
    EXPECT_EQ(rows.CriticalFilter, row.filterAfter) << &row - table;
    // The rows the chart draws driving links from: those of A.1 and B where they have one.
    std::vector<std::int64_t> driving;
    for (std::int64_t r = 0; r < rows.RowCount; ++r) {
      if (rows.RowTask[r] == 1 || rows.RowTask[r] == 3) driving.push_back(r);
    }
    EXPECT_EQ(rows.DrivingRows, driving) << &row - table;
  }
}

TEST(RowModel, OutlineEdges) {
  Plan plan;
  RowModel rows;
  // X, X.1, P, P.1, P.1.1; P.1 and P.1.1 critical.
  SetTasks(plan, rows, {{1, 0, 1}, {2, 0, 0}, {1, 0, 1}, {2, 1, 1}, {3, 1, 0}});
  // A folded summary without a row under the filter still hides its critical subtasks.
  rows.TaskFolded[2] = 1;
  rows.CriticalFilter = true;
  RebuildRows(rows, plan);
  EXPECT_EQ(RowTasks(rows), std::vector<std::int64_t>{});
  // Revealing P.1.1 unfolds P.1 and P but not the earlier top-level X.
  rows.TaskFolded[0] = rows.TaskFolded[3] = 1;
  rows.CriticalFilter = false;
  EXPECT_FALSE(RevealTask(rows, plan, 4));
  EXPECT_EQ(RowTasks(rows), (std::vector<std::int64_t>{0, 2, 3, 4}));
  // A smaller plan leaves no rows behind, one task has nothing to fold, and no plan no rows.
  SetTasks(plan, rows, {{1, 0, 1}});
  rows.TaskFolded[0] = 1;
  RebuildRows(rows, plan);
  EXPECT_EQ(RowTasks(rows), std::vector<std::int64_t>{0});
  plan.ProjectLoaded = false;
  RebuildRows(rows, plan);
  EXPECT_EQ(RowTasks(rows), std::vector<std::int64_t>{});
}

}  // namespace
}  // namespace nerin
