// SPDX-License-Identifier: MIT
#include "views/page_layout.h"

#include <gtest/gtest.h>

#include <charconv>
#include <limits>
#include <map>
#include <optional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "export_test_support.h"
#include "model/message_log.h"
#include "support/recording_painter.h"
#include "views/gantt_chart.h"

namespace nerin {
namespace {

PageOptions Paper(PaperName paper, bool landscape) {
  PageOptions options;
  options.Paper = paper;
  options.Landscape = landscape;
  return options;
}

// The sizes below are worked out by hand from the paper in millimetres, 10 mm margins, the
// chart starting on a whole drawing unit, a 16-point footer band, and 0.75 points per unit at
// 100 %: A3 landscape holds 1511 x 1025 units, A4 landscape 1046 x 696, A4 portrait 717 x 1025.
TEST(PageLayout, PageCountRule) {
  struct Row {
    const char* what;
    PageOptions paper;
    std::int64_t scale;
    bool fitWidth;
    ChartExtent chart;
    std::int64_t timelinePerPage, rowsPerPage, columns, pageRows;
  };
  const Row rows[] = {
      {"10k plan on A3", Paper(PaperName::A3, true), 100, false, {390, 4400, 9999}, 1121, 41, 4, 244},
      {"rows fill the last page exactly", Paper(PaperName::A3, true), 100, false, {390, 1121, 82}, 1121, 41, 1, 2},
      {"one row more", Paper(PaperName::A3, true), 100, false, {390, 1122, 83}, 1121, 41, 2, 3},
      {"one row", Paper(PaperName::A4, true), 100, false, {390, 200, 1}, 656, 26, 1, 1},
      {"no rows still make a page", Paper(PaperName::A4, true), 100, false, {390, 0, 0}, 656, 26, 1, 1},
      {"portrait", Paper(PaperName::A4, false), 100, false, {390, 1000, 100}, 327, 41, 4, 3},
      {"wider task column", Paper(PaperName::A4, true), 100, false, {650, 1000, 26}, 396, 26, 3, 1},
      {"half size", Paper(PaperName::A4, true), 50, false, {390, 3407, 117}, 1703, 58, 3, 3},
  };
  for (const Row& row : rows) {
    const PageLayout layout = LayOutPagesAtScale(SheetOf(row.paper), row.scale, row.fitWidth, row.chart);
    EXPECT_EQ(layout.TimelinePerPage, row.timelinePerPage) << row.what;
    EXPECT_EQ(layout.RowsPerPage, row.rowsPerPage) << row.what;
    EXPECT_EQ(layout.PageColumns, row.columns) << row.what;
    EXPECT_EQ(layout.PageRows, row.pageRows) << row.what;
    EXPECT_EQ(layout.PageCount, row.columns * row.pageRows) << row.what;
    EXPECT_DOUBLE_EQ(layout.ScalePercent, static_cast<double>(row.scale)) << row.what;
    EXPECT_TRUE(layout.Printable()) << row.what;
  }
}

TEST(PageLayout, ScaleIsLoweredOnlyWhereItMustBe) {
  struct Row {
    const char* what;
    PageOptions paper;
    std::int64_t scale;
    bool fitWidth;
    ChartExtent chart;
    double lowest, highest;  // the scale used
    std::int64_t columns;
  };
  const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  const Row rows[] = {
      // 1133.86 points across for 390 + 4400 + 2 units.
      {"fit width shrinks", Paper(PaperName::A3, true), 100, true, {390, 4400, 9999}, 31.5, 31.6, 1},
      {"fit width never enlarges", Paper(PaperName::A3, true), 100, true, {390, 300, 10}, 100, 100, 1},
      {"fit width overrides the scale", Paper(PaperName::A3, true), 400, true, {390, 300, 10}, 100, 100, 1},
      // 555.31 points across must hold 390 + 96 + 2 units.
      {"task column and some timeline on Letter", Paper(PaperName::Letter, false), 200, false, {390, 90, 1},
       151.7, 151.8, 1},
      {"scale below the least is raised", Paper(PaperName::A4, true), 1, false, {390, 100, 1}, 10, 10, 1},
      {"timeline beyond 64 bits", Paper(PaperName::A4, true), 100, false, {390, -1, 1}, 100, 100, largest},
  };
  for (const Row& row : rows) {
    const PageLayout layout = LayOutPages(SheetOf(row.paper), row.scale, row.fitWidth, row.chart);
    EXPECT_GE(layout.ScalePercent, row.lowest) << row.what;
    EXPECT_LE(layout.ScalePercent, row.highest) << row.what;
    EXPECT_EQ(layout.PageColumns, row.columns) << row.what;
    EXPECT_FALSE(layout.SheetTooSmall) << row.what;
  }
}

TEST(PageLayout, PageBound) {
  const Sheet a3 = SheetOf(Paper(PaperName::A3, true));
  struct Row {
    const char* what;
    ChartExtent chart;
    bool fitWidth;
    bool tooMany;
  };
  const Row rows[] = {
      {"2000 pages", {390, 1121 * 40, 41 * 50}, false, false},
      {"2001 pages", {390, 1121 * 2001, 1}, false, true},
      {"thousands of years at 4 px a day", {390, 5000 * 1461, 3}, false, true},
      {"their timeline at fit width", {390, 5000 * 1461, 3}, true, false},
      {"timeline beyond 64 bits", {390, -1, 3}, true, true},
  };
  for (const Row& row : rows) {
    const PageLayout layout = LayOutPages(a3, 100, row.fitWidth, row.chart);
    EXPECT_EQ(layout.TooManyPages(), row.tooMany) << row.what << ": " << layout.PageCount;
    EXPECT_EQ(layout.Printable(), !row.tooMany) << row.what;
  }
  Sheet stamp;
  stamp.WidthPoints = 60;
  stamp.HeightPoints = 60;
  EXPECT_TRUE(LayOutPages(stamp, 100, false, {390, 100, 1}).SheetTooSmall);
  EXPECT_FALSE(LayOutPages(stamp, 100, false, {390, 100, 1}).Printable());
}

// The margins of the sheet, each side its own, are where the chart and its footer stop: the
// chart starts on the first whole unit inside the left and top margins.
TEST(PageLayout, MarginsAreTheSheets) {
  struct Row {
    const char* what;
    PageMargins margins;  // points
    double originX, originY;
    std::int64_t timelinePerPage, rowsPerPage;
  };
  const double mm = POINTS_PER_MM;
  const Row rows[] = {
      {"10 mm", {10 * mm, 10 * mm, 10 * mm, 10 * mm}, 28.5, 28.5, 656, 26},
      {"30 mm", {30 * mm, 30 * mm, 30 * mm, 30 * mm}, 85.5, 85.5, 505, 19},
      {"none", {0, 0, 0, 0}, 0, 0, 732, 30},
      {"each side its own", {0, 30 * mm, 60 * mm, 0}, 0, 85.5, 505, 24},
  };
  for (const Row& row : rows) {
    Sheet sheet = SheetOf(Paper(PaperName::A4, true));
    sheet.Margins = row.margins;
    const PageLayout layout = LayOutPagesAtScale(sheet, 100, false, {390, 3000, 100});
    EXPECT_DOUBLE_EQ(layout.OriginXPoints, row.originX) << row.what;
    EXPECT_DOUBLE_EQ(layout.OriginYPoints, row.originY) << row.what;
    EXPECT_EQ(layout.TimelinePerPage, row.timelinePerPage) << row.what;
    EXPECT_EQ(layout.RowsPerPage, row.rowsPerPage) << row.what;
    EXPECT_DOUBLE_EQ(layout.Margins.Bottom, row.margins.Bottom) << row.what;
  }
  PageOptions options = Paper(PaperName::A4, true);
  options.MarginMm = 30;
  const Sheet sheet = SheetOf(options);
  EXPECT_DOUBLE_EQ(sheet.Margins.Left, 30 * mm);
  EXPECT_DOUBLE_EQ(sheet.Margins.Bottom, 30 * mm);
  options.MarginMm = 500;  // held at the widest margin there is
  EXPECT_DOUBLE_EQ(SheetOf(options).Margins.Top, MAX_PAGE_MARGIN_MM * mm);
}

// No page column holds only the empty days after the plan's last day; a last column with a few
// of the plan's days is kept, a week wide at least. A3 landscape at 100 % has 1121 units of
// timeline a page.
TEST(PageLayout, NoColumnOfEmptyDays) {
  struct Row {
    const char* what;
    ChartExtent chart;  // task column, timeline, rows, the plan's days, a week
    std::int64_t columns;
    std::int64_t lastWidth;  // of the last page column's tiles
  };
  const Row rows[] = {
      {"the plan's days end in the first column", {390, 1160, 50, 1080, 28}, 1, 1511},
      {"they end exactly at its edge", {390, 1160, 50, 1121, 28}, 1, 1511},
      {"a few of them in the second", {390, 1160, 50, 1125, 28}, 2, 390 + 39},
      {"no empty days: a sliver becomes a week", {390, 1125, 50, -1, 28}, 2, 390 + 28},
      {"empty days over two columns at 20 px a day", {390, 2242 + 260, 50, 2242 + 5, 140}, 3, 390 + 260},
      {"a timeline shorter than a week", {390, 14, 50, 10, 28}, 1, 390 + 28},
  };
  for (const Row& row : rows) {
    const PageLayout layout = LayOutPagesAtScale(SheetOf(Paper(PaperName::A3, true)), 100, false, row.chart);
    ASSERT_EQ(layout.TimelinePerPage, 1121) << row.what;
    EXPECT_EQ(layout.PageColumns, row.columns) << row.what;
    EXPECT_EQ(TileOf(layout, layout.PageCount - 1).Width, row.lastWidth) << row.what;
    EXPECT_EQ(TileOf(layout, layout.PageCount - 1).ScrollX, (row.columns - 1) * 1121) << row.what;
  }

  // The demo plan on every paper, either way round, at three scales: each page column shows
  // some of the plan's days.
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(ReadFileSource(plan, log, test::DEMO_PLAN));
  RowModel chartRows;
  ResetFolding(chartRows, plan);
  RebuildRows(chartRows, plan);
  const ChartExtent extent = ChartExtentOf(plan, chartRows, ChartView{});
  ASSERT_LT(extent.PlanDays, extent.Timeline);
  for (const PaperInfo& paper : PAPERS) {
    for (const bool landscape : {true, false}) {
      for (const std::int64_t scale : {50, 100, 200}) {
        const PageLayout layout = LayOutPages(SheetOf(Paper(paper.Paper, landscape)), scale, false, extent);
        const PageTile last = TileOf(layout, layout.PageCount - 1);
        EXPECT_LT(last.ScrollX, extent.PlanDays) << paper.Name << (landscape ? " landscape " : " portrait ") << scale;
      }
    }
  }
}

// A last page column or row that would hold next to nothing does not: the page columns share
// the plan's days evenly, the page rows the rows, at the scale asked for.
TEST(PageLayout, NoNearlyEmptyLastPages) {
  const Sheet a3 = SheetOf(Paper(PaperName::A3, true));  // 1121 units of timeline, 41 rows at 100 %
  struct Row {
    const char* what;
    ChartExtent chart;  // task column, timeline, rows, the plan's days
    std::int64_t timelinePerPage, rowsPerPage, columns, pageRows;
  };
  const Row rows[] = {
      {"four of the plan's days in a second column", {390, 1160, 40, 1125}, 563, 41, 2, 1},
      {"two rows on a second page row", {390, 1000, 43}, 1121, 22, 1, 2},
      {"both", {390, 3400, 84, 3370}, 843, 28, 4, 3},
      {"a quarter of a page of days and more: as full as they hold", {390, 1500, 40, 1121 + 300}, 1121, 41, 2, 1},
      {"a quarter of a page of rows and more", {390, 1000, 52}, 1121, 41, 1, 2},
  };
  for (const Row& row : rows) {
    const PageLayout layout = LayOutPages(a3, 100, false, row.chart);
    EXPECT_EQ(layout.TimelinePerPage, row.timelinePerPage) << row.what;
    EXPECT_EQ(layout.RowsPerPage, row.rowsPerPage) << row.what;
    EXPECT_EQ(layout.PageColumns, row.columns) << row.what;
    EXPECT_EQ(layout.PageRows, row.pageRows) << row.what;
    EXPECT_EQ(layout.PageCount, row.columns * row.pageRows) << row.what;
    EXPECT_DOUBLE_EQ(layout.ScalePercent, 100.0) << row.what;
  }

  // The demo plan at 5 px a day on A4 landscape: the 15th page held two rows and a sliver of
  // days; the same 15 pages now share them, none less than a quarter full.
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(ReadFileSource(plan, log, test::DEMO_PLAN));
  RowModel chartRows;
  ResetFolding(chartRows, plan);
  RebuildRows(chartRows, plan);
  ChartView view;
  view.DayWidth = 5.0f;
  const ChartExtent extent = ChartExtentOf(plan, chartRows, view);
  const Sheet a4 = SheetOf(Paper(PaperName::A4, true));
  const PageLayout layout = LayOutPages(a4, 100, false, extent);
  EXPECT_EQ(LayOutPagesAtScale(a4, 100, false, extent).PageCount, 15);
  EXPECT_EQ(layout.PageCount, 15);
  const PageTile last = TileOf(layout, layout.PageCount - 1);
  EXPECT_GE(last.RowCount * 4, layout.RowsPerPage);
  EXPECT_GE((extent.PlanDays - last.ScrollX) * 4, layout.TimelinePerPage);
}

TEST(PageLayout, MarginsAsTheDialogShowsThem) {
  EXPECT_EQ(MarginsText(10, 10, 10, 10), "10 mm");
  EXPECT_EQ(MarginsText(25, 40, 25, 40), "25 / 40 mm");
  EXPECT_EQ(MarginsText(25.4, 12.7, 25.4, 12.7), "25.4 / 12.7 mm");
  EXPECT_EQ(MarginsText(25, 40, 30, 40), "left 25, top 40, right 30, bottom 40 mm");
  EXPECT_EQ(MarginsText(9.96, 10.04, 10, 10), "10 mm");  // to a tenth
}

TEST(PageLayout, TilesRunDownFirstThenAcross) {
  const PageLayout layout =
      LayOutPagesAtScale(SheetOf(Paper(PaperName::A3, true)), 100, false, ChartExtent{390, 2500, 90});
  ASSERT_EQ(layout.PageColumns, 3);
  ASSERT_EQ(layout.PageRows, 3);
  struct Row {
    std::int64_t page, column, row, scrollX, scrollY, width, height, firstRow, rowCount;
  };
  const Row rows[] = {
      {0, 0, 0, 0, 0, 1511, 112 + 41 * 22, 0, 41},
      {1, 0, 1, 0, 41 * 22, 1511, 112 + 41 * 22, 41, 41},
      {2, 0, 2, 0, 82 * 22, 1511, 112 + 8 * 22, 82, 8},
      {3, 1, 0, 1121, 0, 1511, 112 + 41 * 22, 0, 41},
      {8, 2, 2, 2242, 82 * 22, 390 + 258, 112 + 8 * 22, 82, 8},
      {99, 2, 2, 2242, 82 * 22, 390 + 258, 112 + 8 * 22, 82, 8},  // beyond the last: the last
  };
  for (const Row& row : rows) {
    const PageTile tile = TileOf(layout, row.page);
    EXPECT_EQ(tile.Column, row.column) << row.page;
    EXPECT_EQ(tile.Row, row.row) << row.page;
    EXPECT_EQ(tile.ScrollX, row.scrollX) << row.page;
    EXPECT_EQ(tile.ScrollY, row.scrollY) << row.page;
    EXPECT_EQ(tile.Width, row.width) << row.page;
    EXPECT_EQ(tile.Height, row.height) << row.page;
    EXPECT_EQ(tile.FirstRow, row.firstRow) << row.page;
    EXPECT_EQ(tile.RowCount, row.rowCount) << row.page;
  }
  // A chart without rows draws one empty row, as the image of it does.
  const PageLayout empty =
      LayOutPagesAtScale(SheetOf(Paper(PaperName::A4, true)), 100, false, ChartExtent{390, 100, 0});
  EXPECT_EQ(TileOf(empty, 0).Height, 112 + 22);
  EXPECT_EQ(TileOf(empty, 0).RowCount, 0);
}

// A text call of the recording in the chart text font: where it stands and what it says.
struct NameText {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::string name;
};
std::optional<NameText> ParseNameText(const std::string& call) {
  std::istringstream in(call);
  std::string kind, font, colour, mode;
  NameText text;
  if (!(in >> kind >> text.x >> text.y >> font >> colour >> mode) || kind != "text" || font != "text") {
    return std::nullopt;
  }
  std::getline(in, text.name);
  if (!text.name.empty() && text.name.front() == ' ') text.name.erase(0, 1);
  return text;
}

TEST(PageLayout, EveryRowLandsOnExactlyOnePageRowInEveryColumn) {
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(ReadFileSource(plan, log, test::DEMO_PLAN));
  RowModel rows;
  ResetFolding(rows, plan);
  RebuildRows(rows, plan);
  ChartView view;
  view.DayWidth = 6.0f;
  const PageLayout layout =
      LayOutPages(SheetOf(Paper(PaperName::A4, false)), 100, false, ChartExtentOf(plan, rows, view));
  ASSERT_GT(layout.PageRows, 2);
  ASSERT_GT(layout.PageColumns, 1);
  const std::int64_t k = view.TaskColumnWidth;
  // seen[column][row]: how often the row's name was drawn in that page column.
  std::map<std::int64_t, std::map<std::int64_t, int>> seen;
  for (std::int64_t page = 0; page < layout.PageCount; ++page) {
    const PageTile tile = TileOf(layout, page);
    test::RecordingPainter painter;
    DrawChart(painter, OutputFrame(ShownChartFrame(plan, rows, view, 0), TileArea(tile)));
    for (const std::string& call : painter.calls) {
      const std::optional<NameText> text = ParseNameText(call);
      if (!text || text->y < CHART_TOP || text->x >= k - 187) continue;
      // A name stands 4 units below its row's top edge.
      const std::int64_t top = text->y - 4;
      ASSERT_EQ((top - CHART_TOP) % ROW_HEIGHT, 0) << call;
      const std::int64_t row = (top - CHART_TOP + tile.ScrollY) / ROW_HEIGHT;
      EXPECT_GE(row, tile.FirstRow) << "page " << page;
      EXPECT_LT(row, tile.FirstRow + tile.RowCount) << "page " << page;
      // The whole row lies above the legend: no page break runs through it.
      EXPECT_LE(top + ROW_HEIGHT, tile.Height - LEGEND_HEIGHT) << "page " << page;
      EXPECT_EQ(text->name, plan.Tasks[static_cast<std::size_t>(rows.RowTask[static_cast<std::size_t>(row)])].Name);
      ++seen[tile.Column][row];
    }
  }
  ASSERT_EQ(static_cast<std::int64_t>(seen.size()), layout.PageColumns);
  for (const auto& [column, counts] : seen) {
    EXPECT_EQ(static_cast<std::int64_t>(counts.size()), rows.RowCount) << "column " << column;
    for (const auto& [row, count] : counts) {
      EXPECT_EQ(count, 1) << "column " << column << " row " << row;
    }
  }
}

TEST(PageLayout, PapersFooterAndLocale) {
  const std::pair<const char*, std::optional<PaperName>> names[] = {
      {"A4", PaperName::A4},       {"a3", PaperName::A3},     {"A2", PaperName::A2},
      {"letter", PaperName::Letter}, {"LEGAL", PaperName::Legal}, {"Tabloid", PaperName::Tabloid},
      {"A5", std::nullopt},        {"", std::nullopt},        {"A4 ", std::nullopt}};
  for (const auto& [name, paper] : names) {
    EXPECT_EQ(PaperFromName(name), paper) << name;
  }
  EXPECT_EQ(DefaultPaperForSize(216, 279), PaperName::Letter);
  EXPECT_EQ(DefaultPaperForSize(215, 279), PaperName::Letter);
  EXPECT_EQ(DefaultPaperForSize(210, 297), PaperName::A4);
  EXPECT_EQ(DefaultPaperForSize(0, 0), PaperName::A4);

  const DayOrdinal day = OrdinalFromDate(2026, 12, 7);
  EXPECT_EQ(PageFooterText("Quay", 3, 12, day), "Quay \u00B7 page 3 of 12 \u00B7 07.12.2026");
  EXPECT_EQ(PageFooterText("", 1, 1, day), "page 1 of 1 \u00B7 07.12.2026");
}

TEST(PageLayout, ExportNamesFollowTheChosenType) {
  struct Row {
    const char* path;
    bool pdfChosen;
    bool asPdf;
    const char* pdfName;  // WithPdfExtension
  };
  const Row rows[] = {
      {"/tmp/plan", false, false, "/tmp/plan.pdf"},
      {"/tmp/plan", true, true, "/tmp/plan.pdf"},
      {"/tmp/plan.PDF", false, true, "/tmp/plan.PDF"},
      {"/tmp/plan.png", true, false, "/tmp/plan.png"},
      {"/tmp/plan.v2", true, true, "/tmp/plan.v2"},
      {"/tmp/plan.", true, true, "/tmp/plan.pdf"},
      {"/tmp/.chart", true, true, "/tmp/.chart.pdf"},
      {"/tmp/x.pdf/", true, true, "/tmp/x.pdf/"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ExportAsPdf(row.path, row.pdfChosen), row.asPdf) << row.path;
    EXPECT_EQ(WithPdfExtension(row.path), row.pdfName) << row.path;
  }
}

}  // namespace
}  // namespace nerin
