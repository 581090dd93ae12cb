// SPDX-License-Identifier: MIT
// The Gantt chart on paper: how the whole chart is tiled over pages for PDF, printer and print
// preview alike. Each page is a chart frame of its own (title band, task column, timeline
// header and legend repeated), so that every sheet reads without the others. Page breaks fall
// between rows; page columns split the timeline after the task column. Pages run down first,
// then across. Sizes on paper are in points (1/72 inch); sizes in the chart are drawing units,
// 96 to the inch at a scale of 100 %.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/plan.h"
#include "views/chart_export.h"
#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin {

enum class PaperName { A4, A3, A2, Letter, Legal, Tabloid };

struct PaperInfo {
  PaperName Paper;
  std::string_view Name;  // as the user types it: "A4", "Letter", ...
  double WidthMm;         // upright
  double HeightMm;
};

inline constexpr PaperInfo PAPERS[] = {
    {PaperName::A4, "A4", 210.0, 297.0},          {PaperName::A3, "A3", 297.0, 420.0},
    {PaperName::A2, "A2", 420.0, 594.0},          {PaperName::Letter, "Letter", 215.9, 279.4},
    {PaperName::Legal, "Legal", 215.9, 355.6},    {PaperName::Tabloid, "Tabloid", 279.4, 431.8},
};

const PaperInfo& PaperOf(PaperName paper);
// The paper of a name, letter case ignored.
std::optional<PaperName> PaperFromName(std::string_view name);
// Letter where the locale's paper is Letter (216 x 279 mm), A4 everywhere else.
PaperName DefaultPaperForSize(std::int64_t widthMm, std::int64_t heightMm);
// The paper of the process's LC_PAPER locale (the caller has called setlocale).
PaperName LocalePaper();

inline constexpr double POINTS_PER_MM = 72.0 / 25.4;
// One drawing unit at 100 %: 1/96 inch.
inline constexpr double POINTS_PER_DRAWING_UNIT = 72.0 / 96.0;
// The margin on every side of the paper unless the user sets others, and the widest one
// that can be set.
inline constexpr double PAGE_MARGIN_MM = 10.0;
inline constexpr double MAX_PAGE_MARGIN_MM = 100.0;
// The band under the chart that carries the page footer, and the footer's text size.
inline constexpr double FOOTER_BAND_POINTS = 16.0;
inline constexpr double FOOTER_FONT_POINTS = 7.5;
inline constexpr std::int64_t MIN_SCALE_PERCENT = 10;
inline constexpr std::int64_t MAX_SCALE_PERCENT = 400;
// The narrowest piece of timeline a page shows beside the task column; a scale that leaves
// less is lowered until this much fits.
inline constexpr std::int64_t MIN_PAGE_TIMELINE = 96;

struct PageOptions {
  PaperName Paper = PaperName::A4;
  bool Landscape = true;
  std::int64_t ScalePercent = 100;  // MIN_SCALE_PERCENT .. MAX_SCALE_PERCENT
  bool FitWidth = false;            // the whole timeline in one page column, never enlarged
  double MarginMm = PAGE_MARGIN_MM;  // on every side; 0 .. MAX_PAGE_MARGIN_MM
};

// The margins of a sheet as it lies, in points: the chart and its footer stay inside them.
struct PageMargins {
  double Left = PAGE_MARGIN_MM * POINTS_PER_MM;
  double Top = PAGE_MARGIN_MM * POINTS_PER_MM;
  double Right = PAGE_MARGIN_MM * POINTS_PER_MM;
  double Bottom = PAGE_MARGIN_MM * POINTS_PER_MM;
};

// A sheet in points, as it lies (landscape already turned), with its margins.
struct Sheet {
  double WidthPoints = 0;
  double HeightPoints = 0;
  PageMargins Margins;
};
Sheet SheetOf(const PageOptions& options);

// The chart to be tiled, in drawing units.
struct ChartExtent {
  std::int64_t TaskColumn = 390;
  // The whole timeline's width; -1 (from a caller's own extent) for one beyond any page count.
  std::int64_t Timeline = 0;
  std::int64_t Rows = 0;
  // The part of the timeline that holds the plan's days (TimelineStart .. TimelineFinish): the
  // timeline runs on for two empty weeks after it. -1: the whole timeline.
  std::int64_t PlanDays = -1;
  // Seven days at the chart's scale: the least a page column shows.
  std::int64_t Week = 28;
};
ChartExtent ChartExtentOf(const Plan& plan, const RowModel& rows, const ChartView& view);

struct PageLayout {
  double ScalePercent = 100;  // the scale used: lower than asked when fitting the width or the task column
  double PointsPerUnit = POINTS_PER_DRAWING_UNIT;
  // Where the chart frame's top-left corner lies on the sheet, in points.
  double OriginXPoints = 0;
  double OriginYPoints = 0;
  std::int64_t TaskColumn = 390;
  std::int64_t Timeline = 0;            // the whole timeline's width
  std::int64_t TimelinePerPage = 1;     // of it on each page column
  std::int64_t RowsPerPage = 1;
  std::int64_t Rows = 0;                // the chart's rows (an empty chart still gets one page)
  std::int64_t Week = 28;               // the least timeline the last page column shows
  PageMargins Margins;                  // of the sheet, in points
  std::int64_t PageColumns = 1;
  std::int64_t PageRows = 1;
  // Columns x rows; when that leaves the 64-bit range, the largest value.
  std::int64_t PageCount = 1;
  bool SheetTooSmall = false;  // not even one row and the task column fit at the smallest scale

  bool TooManyPages() const { return PageCount > MAX_PDF_PAGES; }
  bool Printable() const { return !SheetTooSmall && !TooManyPages(); }
};

// A page's four margins in millimetres as the PDF dialog shows them, to a tenth: "10 mm" when
// all four are alike, "25 / 40 mm" (left and right / top and bottom) when the sides pair up,
// else all four, "left 25, top 40, right 30, bottom 40 mm".
std::string MarginsText(double leftMm, double topMm, double rightMm, double bottomMm);

// Page columns cut the timeline into pieces of TimelinePerPage; a column that would hold none
// of the plan's days (only the empty days after them) is not made. A last column that holds
// less than a tenth of a page of them is kept, but shows at least a week of timeline. Where
// the last page column or row would be nearly empty (less than a quarter of a page of days or
// rows), the page columns share the plan's days evenly, and the page rows the rows, at the
// scale asked for: as many pages, none nearly empty.
PageLayout LayOutPages(const Sheet& sheet, std::int64_t scalePercent, bool fitWidth, const ChartExtent& chart);
// The same with every page as full as it holds: nearly empty last pages and all.
PageLayout LayOutPagesAtScale(const Sheet& sheet, std::int64_t scalePercent, bool fitWidth,
                              const ChartExtent& chart);

// One page's chart frame: the view's size and scroll offsets for DrawChart.
struct PageTile {
  std::int64_t Column = 0;
  std::int64_t Row = 0;
  std::int64_t ScrollX = 0;
  std::int64_t ScrollY = 0;
  std::int64_t Width = 1;
  std::int64_t Height = RowGeometry::ChartHeight(1);
  std::int64_t FirstRow = 0;  // the chart rows on the page: FirstRow .. FirstRow + RowCount - 1
  std::int64_t RowCount = 0;
};
// Page 0 .. PageCount - 1, down first, then across.
PageTile TileOf(const PageLayout& layout, std::int64_t page);
// The part of the chart a page shows (see OutputFrame); never the hover box.
OutputArea TileArea(const PageTile& tile);

// How the chart falls on paper, for the user to see before anything is written: "6 pages, 2
// across and 3 down, at 100 %", "1 page at 31.5 %".
std::string PageCountText(const PageLayout& layout);

// "<project name> · page N of M · <dd.mm.yyyy>"; page counted from 1.
std::string PageFooterText(std::string_view projectName, std::int64_t page, std::int64_t pageCount,
                           DayOrdinal printed);

}  // namespace nerin
