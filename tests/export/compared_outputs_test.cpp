// SPDX-License-Identifier: MIT
// What the window shows is what is saved and printed: the frame of each output (the PNG of the
// whole chart, a PNG of the view, every page of a PDF or a print) comes from the shown frame,
// and a comparison reaches all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "compare/plan_changes.h"
#include "export_test_support.h"
#include "support/recording_painter.h"
#include "views/change_texts.h"
#include "views/chart_colours.h"
#include "views/qt/chart_image.h"
#include "views/qt/chart_pdf.h"

namespace nerin {
namespace {

std::string CompareData(const std::string& name) {
  return std::string(NERIN_SOURCE_DIR) + "/tests/compare/data/" + name;
}

std::string Colour(Rgb c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// The painter calls that fill in a colour.
std::int64_t Fills(const std::vector<std::string>& calls, Rgb colour) {
  const std::string suffix = " " + Colour(colour);
  return std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
    return call.rfind("fill ", 0) == 0 && call.size() > suffix.size() &&
           call.compare(call.size() - suffix.size(), suffix.size(), suffix) == 0;
  });
}

std::vector<std::string> Calls(const ChartFrame& frame) {
  test::RecordingPainter painter;
  DrawChart(painter, frame);
  return painter.calls;
}

// The subject plan compared with its reference version (4 tasks moved, 1 added, 1 removed),
// shown in a window 900 x 400 scrolled away from the corner, the hover box up.
class ComparedOutputs : public ::testing::Test {
 protected:
  ComparedOutputs() : chart_(CompareData("subject.xml")) {
    MessageLog log;
    EXPECT_TRUE(ReadFileSource(*reference_, log, CompareData("reference.xml")));
    changes_ = ComparePlans(*reference_, *chart_.plan);
    comparison_.Changes = &changes_;
    comparison_.ReferenceName = "reference.xml";
    chart_.view.Width = 900;
    chart_.view.Height = 400;
    chart_.view.ScrollX = 0;
    chart_.view.ScrollY = 0;
    hover_.Shown = true;
    hover_.SummaryTask = 0;
    hover_.AnchorX = 500;
    hover_.AnchorY = 200;
  }

  ChartFrame Shown(bool comparing) const {
    return ShownChartFrame(*chart_.plan, chart_.rows, chart_.view, OrdinalFromDate(2026, 3, 10),
                           comparing ? &comparison_ : nullptr, -1, &hover_);
  }

  test::LoadedChart chart_;
  std::unique_ptr<Plan> reference_ = std::make_unique<Plan>();
  PlanChanges changes_;
  ChartComparison comparison_;
  HoverState hover_;
};

// Fills and marks of the reference in each output's frame, and none once the comparison ends;
// only the window's own view keeps the hover box.
TEST_F(ComparedOutputs, EveryOutputFrameDrawsTheReference) {
  ASSERT_FALSE(changes_.Tasks.empty());
  const ExportSize whole = WholeChartSize(*chart_.plan, chart_.rows, chart_.view);
  const PageLayout pages = LayOutChart(Shown(true), SheetOf(PageLayoutOf(PageOptions{})), 100, false);
  ASSERT_EQ(pages.PageCount, 1);
  struct Output {
    const char* name;
    OutputArea area;
    bool hover;
  };
  const Output outputs[] = {
      {"PNG of the whole chart", WholeChartArea(whole), false},
      {"PNG of the view (nerin-cli --size)", ViewArea(chart_.view, 640, 300), true},
      {"PDF and print page", TileArea(TileOf(pages, 0)), false},
  };
  const Rgb marks[] = {AddedMarkColour, LaterMarkColour, EarlierMarkColour, OtherChangeMarkColour};
  for (const Output& output : outputs) {
    SCOPED_TRACE(output.name);
    const ChartFrame compared = OutputFrame(Shown(true), output.area);
    EXPECT_EQ(compared.Comparison, &comparison_);
    EXPECT_EQ(compared.Width, output.area.Width);
    EXPECT_EQ(compared.view.ScrollY, output.area.ScrollY);
    EXPECT_EQ(compared.Hover != nullptr, output.hover);
    const auto calls = Calls(compared);
    EXPECT_GT(Fills(calls, ReferenceBarColour), 0);
    std::int64_t markFills = 0;
    for (const Rgb mark : marks) markFills += Fills(calls, mark);
    EXPECT_GT(markFills, 0);
    const auto plain = Calls(OutputFrame(Shown(false), output.area));
    EXPECT_EQ(Fills(plain, ReferenceBarColour), 0);
  }
  // Each page of the PDF and of a print is drawn from PageFrame.
  const ChartFrame page = PageFrame(Shown(true), pages, 0);
  EXPECT_EQ(page.Comparison, &comparison_);
  EXPECT_EQ(page.Hover, nullptr);
  // On paper, its legend leaves out the window's keys.
  EXPECT_TRUE(page.Paper);
  ChartFrame onPaper = OutputFrame(Shown(true), TileArea(TileOf(pages, 0)));
  onPaper.Paper = true;
  EXPECT_EQ(Calls(page), Calls(onPaper));
  for (const std::string& call : Calls(page)) EXPECT_EQ(call.find("Ctrl+O"), std::string::npos) << call;
}

// The files themselves: the PNG and the PDF (read back at 96 dots per inch) hold the
// reference bar's colour, which nothing else in the chart uses.
TEST_F(ComparedOutputs, FilesShowTheReferenceBars) {
  test::TempDir dir;
  const auto referencePixels = [](const RgbaImage& image) {
    std::int64_t count = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) count += test::PixelAt(image, x, y) == ReferenceBarColour ? 1 : 0;
    }
    return count;
  };
  ASSERT_EQ(ExportWholeChart(Shown(true), chart_.fonts, dir.File("chart.png")).Status, ExportStatus::Saved);
  EXPECT_GT(referencePixels(test::ReadPng(dir.File("chart.png"))), 0);
  ASSERT_EQ(ExportWholeChart(Shown(false), chart_.fonts, dir.File("plain.png")).Status, ExportStatus::Saved);
  EXPECT_EQ(referencePixels(test::ReadPng(dir.File("plain.png"))), 0);

  const std::string pdftoppm = "/usr/bin/pdftoppm";
  if (!std::filesystem::exists(pdftoppm)) GTEST_SKIP() << "poppler-utils not installed";
  ASSERT_EQ(ExportChartPdf(Shown(true), chart_.fonts, dir.File("chart.pdf"), PageOptions{}).Status,
            PdfStatus::Saved);
  ASSERT_EQ(
      test::RunProgram(pdftoppm, {"-r", "96", "-png", dir.File("chart.pdf"), dir.File("page")}, dir).status,
      0);
  EXPECT_GT(referencePixels(test::ReadPng(dir.File("page-1.png"))), 0);
}

}  // namespace
}  // namespace nerin
