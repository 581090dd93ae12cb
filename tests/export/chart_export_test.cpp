// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "views/chart_export.h"

namespace nerin {
namespace {

TEST(ChartExport, WholeChartSizeCoversEveryRowAndDayUpToTheCap) {
  struct Row {
    std::int64_t timelineDays;
    float dayWidth;
    std::int64_t taskColumn, rowCount, maxSide;
    ExportSize expected;
  };
  const std::vector<Row> rows = {
      {100, 4.0f, 390, 10, 30000, {790, 332, false}},
      // Whole days times a fractional scale are cut, as on screen: 7 * 1.4 is 9.8.
      {7, 1.4f, 260, 1, 30000, {269, 134, false}},
      // No rows: one empty row, so that the headers and the legend are drawn.
      {14, 1.0f, 390, 0, 30000, {404, 134, false}},
      {1000, 20.0f, 650, 1358, 30000, {20650, 29988, false}},
      {1000, 20.0f, 650, 1359, 30000, {20650, 30000, true}},
      {100000000, 20.0f, 390, 10000, 30000, {30000, 30000, true}},
      {100, 4.0f, 390, 10, 500, {500, 332, true}},
  };
  for (const Row& row : rows) {
    auto plan = std::make_unique<Plan>();
    plan->TimelineDays = row.timelineDays;
    RowModel model;
    model.RowCount = row.rowCount;
    ChartView view;
    view.DayWidth = row.dayWidth;
    view.TaskColumnWidth = row.taskColumn;
    const ExportSize size = WholeChartSize(*plan, model, view, row.maxSide);
    const std::string shown = std::to_string(row.timelineDays) + " days, " + std::to_string(row.rowCount);
    EXPECT_EQ(size.Width, row.expected.Width) << shown;
    EXPECT_EQ(size.Height, row.expected.Height) << shown;
    EXPECT_EQ(size.CutOff, row.expected.CutOff) << shown;
  }
}

TEST(ChartExport, NameWithoutExtensionGetsPng) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"chart", "chart.png"},       {"/home/ann/my.plans/chart", "/home/ann/my.plans/chart.png"},
      {"chart.PNG", "chart.PNG"},   {"chart.v2", "chart.v2"},
      {"chart.", "chart.png"},      {".chart", ".chart.png"},
      {"/home/ann/", "/home/ann/"}, {"..", ".."},
  };
  for (const auto& [typed, written] : rows) EXPECT_EQ(WithPngExtension(typed), written) << typed;
}

}  // namespace
}  // namespace nerin
