// SPDX-License-Identifier: MIT
// A generated plan of 20,000 tasks, the size of a large owner's programme: it loads whole
// from its file, the chart draws its first and last rows, and the lists and the dump are
// written in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "model/model_dump.h"
#include "sources/plan_source.h"
#include "support/recording_painter.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/list_csv.h"
#include "views/row_model.h"

namespace nerin {
namespace {

std::int64_t Lines(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

bool Drew(const std::vector<std::string>& calls, const std::string& text) {
  return std::any_of(calls.begin(), calls.end(), [&](const std::string& call) {
    return call.rfind("text ", 0) == 0 && call.find(text) != std::string::npos;
  });
}

TEST(LargePlan, TwentyThousandTasksLoadDrawAndExport) {
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(ReadFileSource(plan, log, NERIN_LARGE_PLAN)) << MessageListText(log);
  // 20,000 Task elements, the project's own summary row among them.
  ASSERT_EQ(plan.TaskCount(), 19999);
  EXPECT_EQ(plan.ResourceCount(), 1666);
  EXPECT_GT(TotalLinkCount(plan), 19999);
  EXPECT_GT(plan.AssignmentCount(), 19999);
  EXPECT_EQ(CountMessages(log, MessageLevel::Error), 0);
  EXPECT_LE(plan.Tasks.capacity(), plan.Tasks.size() + 1);  // the summary row's place

  RowModel rows;
  ResetFolding(rows, plan);
  RebuildRows(rows, plan);
  ASSERT_EQ(rows.RowCount, 19999);
  ChartView view;
  view.Width = 1200;
  view.Height = 800;
  UpdateScrollMetrics(view, plan, rows);
  const Task& first = plan.Tasks.front();
  const Task& last = plan.Tasks.back();
  test::RecordingPainter top;
  DrawChart(top, ShownChartFrame(plan, rows, view, 0));
  EXPECT_TRUE(Drew(top.calls, first.Name));
  view.ScrollY = view.MaxScrollY;
  test::RecordingPainter bottom;
  DrawChart(bottom, ShownChartFrame(plan, rows, view, 0));
  EXPECT_TRUE(Drew(bottom.calls, last.Name)) << last.Name;

  std::vector<std::int64_t> taskRows(static_cast<std::size_t>(plan.TaskCount()));
  std::iota(taskRows.begin(), taskRows.end(), 0);
  EXPECT_EQ(Lines(ListCsv(plan, PlanList::Tasks, taskRows)), 1 + plan.TaskCount());
  std::vector<std::int64_t> resourceRows(static_cast<std::size_t>(plan.ResourceCount()));
  std::iota(resourceRows.begin(), resourceRows.end(), 0);
  EXPECT_EQ(Lines(ListCsv(plan, PlanList::Resources, resourceRows)), 1 + plan.ResourceCount());
  const std::string dump = ModelDumpText(plan, log, true);
  // The plan's own terms (units, calendars, each task's further facts) come on lines of their own.
  std::int64_t termLines = 0;
  for (const std::string_view kind : {"\nTERMS ", "\nCAL ", "\nCALEX ", "\nTT "}) {
    for (std::size_t at = dump.find(kind); at != std::string::npos; at = dump.find(kind, at + 1)) ++termLines;
  }
  EXPECT_EQ(Lines(dump), 5 + plan.TaskCount() + plan.ResourceCount() + std::ssize(log.messages) + termLines);
}

}  // namespace
}  // namespace nerin
