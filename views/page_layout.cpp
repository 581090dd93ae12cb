// SPDX-License-Identifier: MIT
#include "views/page_layout.h"

#include <langinfo.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "calendar/day_ordinal.h"
#include "calendar/value_text.h"

namespace nerin {

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return a / b + (a % b != 0 ? 1 : 0);
}

// a x b, or the largest value when the product does not fit.
std::int64_t SaturatingProduct(std::int64_t a, std::int64_t b) {
  std::int64_t product = 0;
  return __builtin_mul_overflow(a, b, &product) ? kLargest : product;
}

// Drawing units that fit in a length of points at a scale; the small allowance keeps a length
// that is exactly a whole number of units from losing one to rounding.
std::int64_t UnitsIn(double points, double pointsPerUnit) {
  const double units = std::floor(points / pointsPerUnit + 1e-9);
  return units < 0 ? 0 : static_cast<std::int64_t>(std::min(units, 1e15));
}

}  // namespace

const PaperInfo& PaperOf(PaperName paper) {
  for (const PaperInfo& info : PAPERS) {
    if (info.Paper == paper) {
      return info;
    }
  }
  return PAPERS[0];
}

std::optional<PaperName> PaperFromName(std::string_view name) {
  for (const PaperInfo& info : PAPERS) {
    if (SameLetters(info.Name, name)) {
      return info.Paper;
    }
  }
  return std::nullopt;
}

PaperName DefaultPaperForSize(std::int64_t widthMm, std::int64_t heightMm) {
  // The C library rounds Letter's 215.9 x 279.4 mm to whole millimetres, one way or the other.
  const bool letter = (widthMm == 215 || widthMm == 216) && (heightMm == 279 || heightMm == 280);
  return letter ? PaperName::Letter : PaperName::A4;
}

PaperName LocalePaper() {
  // glibc's LC_PAPER answers with the number in the pointer's place.
  const auto width = reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH));
  const auto height = reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_HEIGHT));
  return DefaultPaperForSize(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height));
}

Sheet SheetOf(const PageOptions& options) {
  const PaperInfo& paper = PaperOf(options.Paper);
  const double shortSide = paper.WidthMm * POINTS_PER_MM;
  const double longSide = paper.HeightMm * POINTS_PER_MM;
  Sheet sheet;
  sheet.WidthPoints = options.Landscape ? longSide : shortSide;
  sheet.HeightPoints = options.Landscape ? shortSide : longSide;
  const double margin = std::clamp(options.MarginMm, 0.0, MAX_PAGE_MARGIN_MM) * POINTS_PER_MM;
  sheet.Margins = PageMargins{margin, margin, margin, margin};
  return sheet;
}

ChartExtent ChartExtentOf(const Plan& plan, const RowModel& rows, const ChartView& view) {
  ChartExtent extent;
  extent.TaskColumn = std::clamp(view.TaskColumnWidth, MIN_TASK_COLUMN_WIDTH, MAX_TASK_COLUMN_WIDTH);
  const TimelineScale scale = TimelineScale::Of(view, plan, 0);
  extent.Timeline = scale.Length(std::max<std::int64_t>(plan.TimelineDays, 0));
  extent.Rows = std::max<std::int64_t>(rows.RowCount, 0);
  if (plan.TimelineStart > 0 && plan.TimelineFinish >= plan.TimelineStart) {
    extent.PlanDays = std::min(scale.Offset(plan.TimelineFinish + 1), extent.Timeline);
  }
  extent.Week = scale.Length(7);
  return extent;
}

namespace {

PageLayout LayOutPagesAt(const Sheet& sheet, double scalePercent, bool fitWidth, const ChartExtent& chart);

}  // namespace

PageLayout LayOutPagesAtScale(const Sheet& sheet, std::int64_t scalePercent, bool fitWidth,
                              const ChartExtent& chart) {
  return LayOutPagesAt(sheet, static_cast<double>(scalePercent), fitWidth, chart);
}

namespace {

PageLayout LayOutPagesAt(const Sheet& sheet, double scalePercent, bool fitWidth, const ChartExtent& chart) {
  PageLayout layout;
  layout.TaskColumn = std::max<std::int64_t>(chart.TaskColumn, 0);
  layout.Timeline = chart.Timeline;
  layout.Rows = std::max<std::int64_t>(chart.Rows, 0);

  PageMargins& margins = layout.Margins;
  margins = PageMargins{std::max(sheet.Margins.Left, 0.0), std::max(sheet.Margins.Top, 0.0),
                        std::max(sheet.Margins.Right, 0.0), std::max(sheet.Margins.Bottom, 0.0)};
  layout.Week = std::max<std::int64_t>(chart.Week, 1);
  const double areaWidth = sheet.WidthPoints - margins.Left - margins.Right;
  const double areaHeight = sheet.HeightPoints - margins.Top - margins.Bottom - FOOTER_BAND_POINTS;

  double scale = std::clamp(scalePercent, static_cast<double>(MIN_SCALE_PERCENT),
                            static_cast<double>(MAX_SCALE_PERCENT));
  if (fitWidth && chart.Timeline >= 0) {
    // Two units spare: the chart's start on a whole unit and the page's cut to whole units
    // each take at most one.
    const double wholeWidth = static_cast<double>(layout.TaskColumn) + static_cast<double>(chart.Timeline) + 2.0;
    const double fitting = 100.0 * areaWidth / (POINTS_PER_DRAWING_UNIT * std::max(wholeWidth, 1.0));
    scale = std::min(100.0, fitting);
  }
  // The task column, a piece of timeline and one row with its headers must fit a page (with
  // the two spare units again).
  const double widest = 100.0 * areaWidth /
                        (POINTS_PER_DRAWING_UNIT * static_cast<double>(layout.TaskColumn + MIN_PAGE_TIMELINE + 2));
  const double tallest =
      100.0 * areaHeight / (POINTS_PER_DRAWING_UNIT * static_cast<double>(RowGeometry::ChartHeight(1)));
  scale = std::min({scale, widest, tallest});
  if (!(scale >= static_cast<double>(MIN_SCALE_PERCENT))) {
    // Fit width asks for less than the smallest scale: the timeline then takes several page
    // columns at the smallest scale. A sheet that cannot hold a row even so is refused.
    scale = static_cast<double>(MIN_SCALE_PERCENT);
    if (widest < scale || tallest < scale) {
      layout.SheetTooSmall = true;
    }
  }
  layout.ScalePercent = scale;
  layout.PointsPerUnit = POINTS_PER_DRAWING_UNIT * scale / 100.0;

  // The chart starts on a whole drawing unit: at 100 % its edges then meet the pixels of a
  // 96-dpi rendering exactly, as on screen.
  const auto onWholeUnit = [&layout](double points) {
    return std::ceil(points / layout.PointsPerUnit - 1e-9) * layout.PointsPerUnit;
  };
  layout.OriginXPoints = onWholeUnit(margins.Left);
  layout.OriginYPoints = onWholeUnit(margins.Top);
  const double usableWidth = sheet.WidthPoints - layout.OriginXPoints - margins.Right;
  const double usableHeight = sheet.HeightPoints - layout.OriginYPoints - margins.Bottom - FOOTER_BAND_POINTS;
  const std::int64_t pageWidth = UnitsIn(usableWidth, layout.PointsPerUnit);
  const std::int64_t pageHeight = UnitsIn(usableHeight, layout.PointsPerUnit);

  layout.TimelinePerPage = std::max<std::int64_t>(pageWidth - layout.TaskColumn, 1);
  layout.RowsPerPage = std::max<std::int64_t>(RowGeometry::RowsIn(pageHeight - CHART_FRAME_HEIGHT), 1);
  if (chart.Timeline < 0) {
    layout.PageColumns = kLargest;
  } else {
    // The empty days after the plan's last day need no column of their own.
    const std::int64_t planDays = chart.PlanDays < 0 ? chart.Timeline : std::min(chart.PlanDays, chart.Timeline);
    layout.PageColumns = std::max<std::int64_t>(CeilDiv(planDays, layout.TimelinePerPage), 1);
  }
  layout.PageRows = std::max<std::int64_t>(CeilDiv(std::max<std::int64_t>(layout.Rows, 1), layout.RowsPerPage), 1);
  layout.PageCount = SaturatingProduct(layout.PageColumns, layout.PageRows);
  return layout;
}

// The last page column holds less than a quarter of a page of the plan's days, or the last
// page row less than a quarter of a page of rows: pages nearly empty.
bool EndsNearlyEmpty(const PageLayout& layout, const ChartExtent& chart) {
  const std::int64_t planDays =
      chart.PlanDays < 0 ? chart.Timeline : std::min(chart.PlanDays, chart.Timeline);
  const std::int64_t lastColumn = planDays - (layout.PageColumns - 1) * layout.TimelinePerPage;
  const std::int64_t lastRow = layout.Rows - (layout.PageRows - 1) * layout.RowsPerPage;
  return (layout.PageColumns > 1 && lastColumn * 4 < layout.TimelinePerPage) ||
         (layout.PageRows > 1 && lastRow * 4 < layout.RowsPerPage);
}

}  // namespace

PageLayout LayOutPages(const Sheet& sheet, std::int64_t scalePercent, bool fitWidth,
                       const ChartExtent& chart) {
  PageLayout layout = LayOutPagesAt(sheet, static_cast<double>(scalePercent), fitWidth, chart);
  if (!layout.Printable() || chart.Timeline < 0 || !EndsNearlyEmpty(layout, chart)) return layout;
  // The same pages share the days or the rows evenly, at the scale asked for: no last page
  // column of a few days, no last page row of a few rows.
  const std::int64_t planDays = chart.PlanDays < 0 ? chart.Timeline : std::min(chart.PlanDays, chart.Timeline);
  if (layout.PageColumns > 1) {
    layout.TimelinePerPage = std::max<std::int64_t>(CeilDiv(planDays, layout.PageColumns), 1);
    layout.PageColumns = std::max<std::int64_t>(CeilDiv(planDays, layout.TimelinePerPage), 1);
  }
  if (layout.PageRows > 1) {
    layout.RowsPerPage = std::max<std::int64_t>(CeilDiv(layout.Rows, layout.PageRows), 1);
    layout.PageRows = std::max<std::int64_t>(CeilDiv(layout.Rows, layout.RowsPerPage), 1);
  }
  layout.PageCount = SaturatingProduct(layout.PageColumns, layout.PageRows);
  return layout;
}

PageTile TileOf(const PageLayout& layout, std::int64_t page) {
  PageTile tile;
  const std::int64_t last = std::max<std::int64_t>(layout.PageCount, 1) - 1;
  page = std::clamp<std::int64_t>(page, 0, last);
  const std::int64_t pageRows = std::max<std::int64_t>(layout.PageRows, 1);
  tile.Column = page / pageRows;
  tile.Row = page % pageRows;
  tile.ScrollX = SaturatingProduct(tile.Column, layout.TimelinePerPage);
  std::int64_t timelineLeft = std::max<std::int64_t>(layout.Timeline - tile.ScrollX, 0);
  if (tile.Column == layout.PageColumns - 1) {
    // The last column: the rest of the timeline, but never a sliver of less than a week.
    timelineLeft = std::max(timelineLeft, layout.Week);
  }
  tile.Width = std::max<std::int64_t>(layout.TaskColumn + std::min(layout.TimelinePerPage, timelineLeft), 1);
  tile.FirstRow = tile.Row * layout.RowsPerPage;
  tile.RowCount = std::clamp<std::int64_t>(layout.Rows - tile.FirstRow, 0, layout.RowsPerPage);
  tile.ScrollY = RowGeometry::Offset(tile.FirstRow);
  // A page without rows keeps the height of one, as the image of an empty chart does: below
  // that the chart draws nothing at all.
  tile.Height = RowGeometry::ChartHeight(std::max<std::int64_t>(tile.RowCount, 1));
  return tile;
}

OutputArea TileArea(const PageTile& tile) {
  return OutputArea{tile.ScrollX, tile.ScrollY, tile.Width, tile.Height, false};
}

std::string MarginsText(double leftMm, double topMm, double rightMm, double bottomMm) {
  const auto tenths = [](double mm) {
    return static_cast<std::int64_t>(std::llround(std::max(mm, 0.0) * 10.0));
  };
  const auto text = [](std::int64_t tenth) {
    return std::to_string(tenth / 10) + (tenth % 10 != 0 ? "." + std::to_string(tenth % 10) : std::string());
  };
  const std::int64_t left = tenths(leftMm), top = tenths(topMm), right = tenths(rightMm),
                     bottom = tenths(bottomMm);
  if (left == right && top == bottom) {
    return left == top ? text(left) + " mm" : text(left) + " / " + text(top) + " mm";
  }
  return "left " + text(left) + ", top " + text(top) + ", right " + text(right) + ", bottom " + text(bottom) +
         " mm";
}

std::string PageCountText(const PageLayout& layout) {
  // The scale with a decimal only where it has one.
  const double tenths = std::round(layout.ScalePercent * 10.0);
  const std::string scale = std::fmod(tenths, 10.0) == 0.0
                                ? std::to_string(static_cast<std::int64_t>(tenths / 10.0))
                                : DecimalText(static_cast<float>(tenths / 10.0), 1);
  if (layout.PageCount == 1) {
    return "1 page at " + scale + " %";
  }
  return std::to_string(layout.PageCount) + " pages, " + std::to_string(layout.PageColumns) + " across and " +
         std::to_string(layout.PageRows) + " down, at " + scale + " %";
}

std::string PageFooterText(std::string_view projectName, std::int64_t page, std::int64_t pageCount,
                           DayOrdinal printed) {
  std::string text(projectName);
  if (!text.empty()) {
    text += " \u00B7 ";
  }
  text += "page " + std::to_string(page) + " of " + std::to_string(pageCount);
  if (printed > 0) {
    text += " \u00B7 " + OrdinalLabel(printed);
  }
  return text;
}

}  // namespace nerin
