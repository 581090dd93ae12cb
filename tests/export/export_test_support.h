// SPDX-License-Identifier: MIT
// Plans loaded from files and PNG files read back, for the export tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sources/plan_source.h"
#include "resources/png_codec.h"
#include "sources/sources_test_support.h"
#include "views/chart_painter.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin::test {

inline const std::string LONG_PLAN = NERIN_EXPORT_DATA_DIR "/long_plan.xml";  // 1838 days, 2 rows
inline const std::string DEMO_PLAN = NERIN_SOURCE_DIR "/samples/demo-plan.xml";

// Decoded, or empty when the file is missing or broken.
inline RgbaImage ReadPng(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  RgbaImage image;
  DecodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image);
  return image;
}

inline Rgb PixelAt(const RgbaImage& image, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + x) * 4;
  return Rgb{image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

// A plan with its rows as after an open, and a screen view scrolled away from the corner: the
// exports start from the chart's corner all the same.
struct LoadedChart {
  std::unique_ptr<Plan> plan = std::make_unique<Plan>();
  RowModel rows;
  ChartView view;
  ChartFonts fonts = LoadChartFonts();

  explicit LoadedChart(const std::string& path) {
    MessageLog log;
    EXPECT_TRUE(ReadFileSource(*plan, log, path)) << path;
    ResetFolding(rows, *plan);
    RebuildRows(rows, *plan);
    view.ScrollX = 40;
    view.ScrollY = 44;
  }
  ChartFrame Screen(DayOrdinal today = 0) const {
    return ChartFrame{*plan, rows, view, 800, 400, today, -1, nullptr};
  }
};

}  // namespace nerin::test
