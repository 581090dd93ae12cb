// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "export_test_support.h"
#include "views/qt/chart_image.h"

namespace nerin {
namespace {

using test::PixelAt;

constexpr Rgb kDark{16, 42, 67};

using Chart = test::LoadedChart;

std::size_t EntryCount(const std::string& folder) {
  const std::filesystem::directory_iterator entries(folder);
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

TEST(ChartImage, WholeChartFromTheTopLeftUpToTheCap) {
  test::TempDir dir;
  Chart chart(test::LONG_PLAN);
  chart.view.DayWidth = 1.0f;
  const int k = 390;
  struct Row {
    std::int64_t maxSide;
    int width;
    bool cutOff;
  };
  for (const Row& row : {Row{30000, k + 1838, false}, Row{1000, 1000, true}}) {
    const ExportResult result =
        ExportWholeChart(chart.Screen(), chart.fonts, dir.File("a.png"), {row.maxSide, 0});
    ASSERT_EQ(result.Status, ExportStatus::Saved);
    EXPECT_EQ(result.CutOff, row.cutOff);
    const RgbaImage image = test::ReadPng(dir.File("a.png"));
    ASSERT_EQ(image.width, row.width);
    ASSERT_EQ(image.height, 112 + 2 * 22);
    // Title band, legend bar, the even row 0 from y 88 and the odd row 1 (scrolled to 0, 0),
    // the splitter line.
    EXPECT_EQ(PixelAt(image, 2, 2), kDark);
    EXPECT_EQ(PixelAt(image, image.width - 3, image.height - 3), kDark);
    EXPECT_EQ(PixelAt(image, k - 3, 92), (Rgb{226, 234, 240}));
    EXPECT_EQ(PixelAt(image, k - 3, 114), (Rgb{238, 243, 247}));
    EXPECT_EQ(PixelAt(image, k + 1, 100), kDark);
  }
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

TEST(ChartImage, BandsJoinIntoTheImageDrawnInOnePiece) {
  test::TempDir dir;
  Chart chart(test::DEMO_PLAN);
  const ExportSize size = WholeChartSize(*chart.plan, chart.rows, chart.view);
  const ChartFrame frame = OutputFrame(chart.Screen(), WholeChartArea(size));
  const QImage piece =
      RenderChartImage(chart.fonts, static_cast<int>(size.Width), static_cast<int>(size.Height),
                       [&](ChartPainter& painter, std::int64_t, std::int64_t) { DrawChart(painter, frame); });
  // 37 rows a band: the band edges cut through texts, bars and links.
  ASSERT_EQ(ExportWholeChart(chart.Screen(), chart.fonts, dir.File("d.png"), {30000, 37}).Status,
            ExportStatus::Saved);
  const RgbaImage bands = test::ReadPng(dir.File("d.png"));
  ASSERT_EQ(bands.width, piece.width());
  ASSERT_EQ(bands.height, piece.height());
  const QImage rgba = piece.convertToFormat(QImage::Format_RGBA8888);
  for (int y = 0; y < bands.height; ++y) {
    const auto* row =
        bands.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(bands.width) * 4;
    ASSERT_TRUE(std::equal(row, row + bands.width * 4, rgba.constScanLine(y))) << "row " << y;
  }
}

TEST(ChartImage, FailedWriteLeavesNothingBehind) {
  test::TempDir dir;
  Chart chart(test::LONG_PLAN);
  const std::string existing = dir.Write("kept.png", "an older image");
  std::filesystem::create_directory(dir.File("folder.png"));
  for (const std::string& path : {dir.File("missing/chart.png"), dir.File("folder.png"), std::string()}) {
    const ExportResult result = ExportWholeChart(chart.Screen(), chart.fonts, path);
    EXPECT_EQ(result.Status, ExportStatus::NotWritten) << path;
    EXPECT_NE(ExportReportText(result).find("written to " + path + ".\r\n"), std::string::npos);
  }
  EXPECT_EQ(EntryCount(dir.File("folder.png")), 0u);
  EXPECT_EQ(test::ReadWholeFile(existing), "an older image");
  // A successful export replaces the older file whole.
  ASSERT_EQ(ExportWholeChart(chart.Screen(), chart.fonts, existing).Status, ExportStatus::Saved);
  EXPECT_GT(test::ReadPng(existing).width, 0);
  EXPECT_EQ(EntryCount(dir.path()), 2u);  // kept.png, folder.png: no temporary file left
}

}  // namespace
}  // namespace nerin
