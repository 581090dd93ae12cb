// SPDX-License-Identifier: MIT
// The rows of the Tasks list, the hand-over between the list and the chart, and where the
// navigation keys move a list's selection.
#include "views/list_navigation.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace nerin {
namespace {

TEST(ListNavigationTarget, KeysOnTwentyRowsWithAPageOfTen) {
  const struct {
    NavigationKey key;
    std::int64_t current, rows, page, target;
  } cases[] = {
      {NavigationKey::Down, 4, 20, 10, 5},
      {NavigationKey::Up, 4, 20, 10, 3},
      {NavigationKey::Up, 0, 20, 10, 0},
      {NavigationKey::Down, 19, 20, 10, 19},
      {NavigationKey::PageDown, 4, 20, 10, 14},
      {NavigationKey::PageDown, 15, 20, 10, 19},
      {NavigationKey::PageUp, 4, 20, 10, 0},
      {NavigationKey::Home, 12, 20, 10, 0},
      {NavigationKey::End, 3, 20, 10, 19},
      {NavigationKey::Down, 0, 0, 10, -1},  // an empty list
      {NavigationKey::Left, 4, 20, 10, -1},
      {NavigationKey::Right, 4, 20, 10, -1},
      {static_cast<NavigationKey>(99), 4, 20, 10, -1},  // no key at all
      {NavigationKey::PageDown, 4, 20, 0, 5},  // a page of no rows
      {NavigationKey::PageUp, 4, 20, -7, 3},
      {NavigationKey::Down, -1, 20, 10, 1},  // no selection: row 0
      {NavigationKey::Up, -1, 20, 10, 0},
      {NavigationKey::Up, 50, 20, 10, 19},  // a list that shrank
      {NavigationKey::PageDown, 4, 20, INT64_MAX, 19},
      {NavigationKey::PageUp, 4, 20, INT64_MAX, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ListNavigationTarget(c.key, c.current, c.rows, c.page), c.target)
        << static_cast<int>(c.key) << " from " << c.current << " of " << c.rows << " by " << c.page;
  }
  EXPECT_EQ(ListPageRows(180), 10);
  EXPECT_EQ(ListPageRows(179), 9);
}

// Phase A (summary, critical), A.1 (critical), A.2, Phase B (summary flag, no subtasks).
class ListRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::int64_t levels[] = {1, 2, 2, 1};
    plan_->Tasks.resize(4);
    for (std::size_t i = 0; i < 4; ++i) {
      plan_->Tasks[i].OutlineLevel = levels[i];
      plan_->Tasks[i].Critical = i < 2 ? 1 : 0;
    }
    plan_->Tasks[0].Summary = plan_->Tasks[3].Summary = 1;
    plan_->ProjectLoaded = true;
    ResetFolding(rows_, *plan_);
    RebuildRows(rows_, *plan_);
  }

  std::vector<std::int64_t> ListedTasks() const {
    std::vector<std::int64_t> tasks;
    for (std::int64_t row = 0; row < list_.RowCount; ++row) {
      tasks.push_back(ListRowTaskAt(list_, row));
      EXPECT_EQ(TaskListRowOf(list_, tasks.back()), row);
    }
    return tasks;
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  RowModel rows_;
  ChartView view_;
  TaskListRows list_;
};

TEST_F(ListRowsTest, EveryTaskOrOnlyTheCriticalOnesWhateverIsFolded) {
  rows_.TaskFolded[0] = 1;
  RebuildRows(rows_, *plan_);
  FillTaskListRows(list_, *plan_, false);
  EXPECT_EQ(ListedTasks(), (std::vector<std::int64_t>{0, 1, 2, 3}));
  FillTaskListRows(list_, *plan_, true);
  EXPECT_EQ(ListedTasks(), (std::vector<std::int64_t>{0, 1}));
  EXPECT_EQ(TaskListRowOf(list_, 2), -1);
  EXPECT_EQ(ListRowTaskAt(list_, 2), -1);
  EXPECT_EQ(TaskListRowOf(list_, 10000), -1);
  plan_->ProjectLoaded = false;
  FillTaskListRows(list_, *plan_, false);
  EXPECT_EQ(list_.RowCount, 0);
}

// Folded and filtered hand-overs run in the window's tests; here the edges.
TEST_F(ListRowsTest, NoUsableSelectionLeavesTheChartAsItWas) {
  FillTaskListRows(list_, *plan_, true);
  view_.ScrollY = ROW_HEIGHT + 21;
  for (const std::int64_t selected : {-1, 2, 10000}) {
    EXPECT_FALSE(ShowListTaskAtChartTop(rows_, view_, *plan_, list_, selected));
    EXPECT_EQ(view_.ScrollY, ROW_HEIGHT + 21);
  }
  EXPECT_EQ(ChartTopTask(view_, rows_), 1);
  view_.ScrollY = 4 * ROW_HEIGHT;  // past the last row
  EXPECT_EQ(ChartTopTask(view_, rows_), -1);
}

}  // namespace
}  // namespace nerin
