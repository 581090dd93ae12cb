// SPDX-License-Identifier: MIT
#include "views/qt/chart_pdf.h"

#include <algorithm>

#include <QFile>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include "calendar/narrow.h"
#include "model/atomic_file.h"
#include "views/chart_colours.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// Page text copies and searches as the plan spells it: "fi" and "fl" stay two letters each,
// never the single ligature characters U+FB01 and U+FB02 that a copy or a screen reader would
// see. The toolkit forms no ligature in a font whose letter spacing is set; set at 100 %, the
// letters stand exactly where they would without it (a test reads the pages back).
QFont WithoutLigatures(QFont font) {
  font.setLetterSpacing(QFont::PercentageSpacing, 100.0);
  return font;
}

// Screen fonts are sized for 96 dots per inch. A device of another resolution gets the same
// glyphs in drawing units: a point size that makes as many device pixels there as the screen
// font makes on the screen, before the world transform scales them to paper.
QFont InDeviceUnits(QFont font, double deviceDpi, double pixelsPerPoint) {
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
  font.setPointSizeF(points * pixelsPerPoint * 72.0 / deviceDpi);
  // Outlines, not pixels: the size is exact and the text stays searchable and sharp.
  font.setHintingPreference(QFont::PreferNoHinting);
  return WithoutLigatures(font);
}

double DeviceDpi(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  const int dpi = device != nullptr ? device->logicalDpiY() : 96;
  return dpi > 0 ? dpi : 96;
}

// Page coordinates stay far inside the int range, so that sums of a few never overflow.
constexpr std::int64_t kLow = -(std::int64_t{1} << 30);
constexpr std::int64_t kHigh = std::int64_t{1} << 30;

// The part of a rectangle of any size and place within a box.
QRect Within(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const QRect& box) {
  if (w <= 0 || h <= 0 || box.isEmpty()) {
    return {};
  }
  const __int128 left = std::max<__int128>(x, box.left());
  const __int128 top = std::max<__int128>(y, box.top());
  const __int128 right = std::min<__int128>(static_cast<__int128>(x) + w, static_cast<__int128>(box.right()) + 1);
  const __int128 bottom =
      std::min<__int128>(static_cast<__int128>(y) + h, static_cast<__int128>(box.bottom()) + 1);
  if (right <= left || bottom <= top) {
    return {};
  }
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}



void PaintFooter(QPainter& painter, const ChartFrame& screen, const ChartFonts& fonts, const PageLayout& layout,
                 std::int64_t page, double pixelsPerPoint) {
  const QPaintDevice* device = painter.device();
  const double dpi = DeviceDpi(painter);
  const double pageWidth = device != nullptr ? device->width() / pixelsPerPoint : 0;
  const double pageHeight = device != nullptr ? device->height() / pixelsPerPoint : 0;
  painter.resetTransform();
  painter.scale(pixelsPerPoint, pixelsPerPoint);
  painter.setClipping(false);
  // Laid out in points: a point size that makes one device pixel per point.
  QFont font = fonts.small;
  font.setPointSizeF(FOOTER_FONT_POINTS * 72.0 / dpi);
  font.setHintingPreference(QFont::PreferNoHinting);
  font = WithoutLigatures(font);
  painter.setFont(font);
  // Dark grey, like the chart's dates.
  painter.setPen(ToQColor(DateTextColour));
  const QFontMetricsF metrics(font, painter.device());
  // In the band above the bottom margin, from the chart's left edge to the right margin.
  const double left = layout.OriginXPoints;
  const double width = std::max(pageWidth - left - layout.Margins.Right, 1.0);
  const double baseline = pageHeight - layout.Margins.Bottom - (FOOTER_BAND_POINTS - metrics.ascent()) / 2;
  const QString text = ToQString(PageFooterText(screen.plan.ProjectName, page + 1, layout.PageCount, screen.Today));
  // A project name of thousands of characters is cut with an ellipsis; the page number stays.
  painter.drawText(QPointF(left, baseline), metrics.elidedText(text, Qt::ElideMiddle, width));
}

// Entries per font before the cache starts afresh: a document of ten thousand rows keeps its
// names and dates for all its page columns, while memory stays bounded.
constexpr std::size_t kTextCacheEntries = 40000;

}  // namespace

const PdfTextCache::Entry& PdfTextCache::Find(const std::string& text, ChartFont font, const QFont& face,
                                              QPaintDevice* device) {
  auto& entries = fonts_[font == ChartFont::Bold ? 1 : font == ChartFont::Small ? 2 : 0];
  if (const auto found = entries.find(text); found != entries.end()) {
    return found->second;
  }
  if (entries.size() >= kTextCacheEntries) {
    entries.clear();
  }
  Entry entry;
  entry.layout = std::make_unique<QTextLayout>(OneLine(text), face, device);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  // Drawn from its left edge whatever the direction of its script, as a painter draws a text.
  option.setTextDirection(Qt::LeftToRight);
  option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
  entry.layout->setTextOption(option);
  entry.layout->setCacheEnabled(true);
  entry.layout->beginLayout();
  QTextLine line = entry.layout->createLine();
  if (line.isValid()) {
    line.setPosition(QPointF(0, 0));
  }
  entry.layout->endLayout();
  if (line.isValid()) {
    entry.width = qRound(line.naturalTextWidth());
    entry.ascent = line.ascent();
  }
  return entries.emplace(text, std::move(entry)).first->second;
}

VectorChartPainter::VectorChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w,
                                       std::int64_t h, PdfTextCache* cache)
    : painter_(painter),
      ownCache_(cache == nullptr ? std::make_unique<PdfTextCache>() : nullptr),
      cache_(cache == nullptr ? ownCache_.get() : cache),
      text_(InDeviceUnits(fonts.text, DeviceDpi(painter), 96.0 / 72.0)),
      bold_(InDeviceUnits(fonts.bold, DeviceDpi(painter), 96.0 / 72.0)),
      small_(InDeviceUnits(fonts.small, DeviceDpi(painter), 96.0 / 72.0)),
      textMetrics_(text_, painter.device()),
      boldMetrics_(bold_, painter.device()),
      smallMetrics_(small_, painter.device()),
      frame_(0, 0, NarrowToInt(std::max<std::int64_t>(w, 1), kLow, kHigh),
             NarrowToInt(std::max<std::int64_t>(h, 1), kLow, kHigh)),
      clip_(frame_) {
  painter_.setClipping(false);
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(Qt::NoBrush);
}

VectorChartPainter::~VectorChartPainter() {
  FlushFills();
}

void VectorChartPainter::FlushFills() {
  if (fills_.isEmpty()) {
    return;
  }
  // The pen draws the texts; the fills go without one.
  painter_.setPen(Qt::NoPen);
  colourSet_ = false;
  painter_.setBrush(QColor::fromRgb(fillColour_));
  painter_.drawRects(fills_);
  painter_.setBrush(Qt::NoBrush);
  fills_.clear();
}

const QFont& VectorChartPainter::FontOf(ChartFont font) const {
  return ForChartFont(font, text_, bold_, small_);
}

const QFontMetrics& VectorChartPainter::MetricsOf(ChartFont font) const {
  return ForChartFont(font, textMetrics_, boldMetrics_, smallMetrics_);
}

void VectorChartPainter::FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) {
  // Cut here rather than by the painter: a cut rectangle is one plain fill in the document,
  // with no clip path around it.
  const QRect box = Within(x, y, w, h, clip_);
  if (box.isEmpty()) {
    return;
  }
  if (!painted_.isEmpty() && !painted_.contains(box)) {
    FlushFills();
    painter_.setClipping(false);
    painted_ = QRect();
  }
  const QRgb fill = qRgb(colour.r, colour.g, colour.b);
  if (fill != fillColour_) {
    FlushFills();
    fillColour_ = fill;
  }
  fills_.push_back(box);
}

void VectorChartPainter::Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
                              std::optional<Rgb> background) {
  if (text.empty()) {
    return;
  }
  const QFontMetrics& metrics = MetricsOf(font);
  // Texts far outside the clip are left out before they are measured.
  if (y >= clip_.bottom() + 1 || y + metrics.height() <= clip_.top() || x >= clip_.right() + 1) {
    return;
  }
  const PdfTextCache::Entry& laidOut = cache_->Find(text, font, FontOf(font), painter_.device());
  const int width = laidOut.width;
  // Glyphs may reach a little beyond the advance and the line height.
  const int margin = metrics.height() / 4 + 1;
  const QRect inked = Within(x - margin, y - margin, std::int64_t{width} + 2 * margin,
                             std::int64_t{metrics.height()} + 2 * margin, clip_);
  if (inked.isEmpty()) {
    return;
  }
  if (background) {
    FillRect(x, y, width, metrics.height(), *background);
  }
  // What was filled before lies under the text.
  FlushFills();
  const QRect whole(NarrowToInt(x - margin, kLow, kHigh), NarrowToInt(y - margin, kLow, kHigh),
                    width + 2 * margin, metrics.height() + 2 * margin);
  if (inked == whole) {
    // Wholly inside: no clip needed, and one left from before must not cut it.
    if (!painted_.isEmpty() && !painted_.contains(whole)) {
      painter_.setClipping(false);
      painted_ = QRect();
    }
  } else if (painted_ != clip_) {
    painter_.setClipRect(clip_);
    painted_ = clip_;
  }
  const QRgb pen = qRgb(colour.r, colour.g, colour.b);
  if (!colourSet_ || pen != currentColour_) {
    painter_.setPen(QColor::fromRgb(pen));
    currentColour_ = pen;
    colourSet_ = true;
  }
  // The layout's baseline lies on the font's ascent below (x, y), as the screen draws it.
  laidOut.layout->draw(&painter_, QPointF(static_cast<double>(x),
                                          static_cast<double>(y) + metrics.ascent() - laidOut.ascent));
}

std::int64_t VectorChartPainter::TextWidth(const std::string& text, ChartFont font) {
  return text.empty() ? 0 : cache_->Find(text, font, FontOf(font), painter_.device()).width;
}

std::int64_t VectorChartPainter::TextHeight(ChartFont font) {
  return MetricsOf(font).height();
}

void VectorChartPainter::SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  clip_ = Within(x, y, w, h, frame_);
}

void VectorChartPainter::ClearClip() {
  clip_ = frame_;
}

ChartFrame PageFrame(const ChartFrame& screen, const PageLayout& layout, std::int64_t page) {
  ChartFrame frame = OutputFrame(screen, TileArea(TileOf(layout, page)));
  frame.Paper = true;
  return frame;
}

QPageSize PageSizeOf(PaperName paper) {
  switch (paper) {
    case PaperName::A3:
      return QPageSize(QPageSize::A3);
    case PaperName::A2:
      return QPageSize(QPageSize::A2);
    case PaperName::Letter:
      return QPageSize(QPageSize::Letter);
    case PaperName::Legal:
      return QPageSize(QPageSize::Legal);
    case PaperName::Tabloid:
      return QPageSize(QPageSize::Tabloid);
    case PaperName::A4:
      break;
  }
  return QPageSize(QPageSize::A4);
}

PageLayout LayOutChart(const ChartFrame& screen, const Sheet& sheet, std::int64_t scalePercent, bool fitWidth) {
  return LayOutPages(sheet, scalePercent, fitWidth, ChartExtentOf(screen.plan, screen.rows, screen.view));
}

Sheet SheetOf(const QPageLayout& pageLayout) {
  const QRectF paper = pageLayout.fullRectPoints();
  // In millimetres: the toolkit gives margins in points only rounded to whole points.
  const QMarginsF margins = pageLayout.margins(QPageLayout::Millimeter) * POINTS_PER_MM;
  Sheet sheet;
  sheet.WidthPoints = paper.width();
  sheet.HeightPoints = paper.height();
  sheet.Margins = PageMargins{margins.left(), margins.top(), margins.right(), margins.bottom()};
  return sheet;
}

QPageLayout PageLayoutOf(const PageOptions& options) {
  const double margin = std::clamp(options.MarginMm, 0.0, MAX_PAGE_MARGIN_MM);
  QPageLayout layout(PageSizeOf(options.Paper), options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
  // The chart keeps to its margins itself and the page is painted whole: no printer's
  // smallest margin stands in for them.
  layout.setMode(QPageLayout::FullPageMode);
  return layout;
}

void PaintChartPage(QPainter& painter, const ChartFrame& screen, const ChartFonts& fonts, const PageLayout& layout,
                    std::int64_t page, PdfTextCache* cache) {
  const double pixelsPerPoint = DeviceDpi(painter) / 72.0;
  const ChartFrame frame = PageFrame(screen, layout, page);
  painter.save();
  painter.resetTransform();
  painter.translate(layout.OriginXPoints * pixelsPerPoint, layout.OriginYPoints * pixelsPerPoint);
  const double scale = layout.PointsPerUnit * pixelsPerPoint;
  painter.scale(scale, scale);
  {
    VectorChartPainter chart(painter, fonts, frame.Width, frame.Height, cache);
    DrawChart(chart, frame);
  }
  PaintFooter(painter, screen, fonts, layout, page, pixelsPerPoint);
  painter.restore();
}

bool PaintChartPages(QPainter& painter, QPagedPaintDevice& device, const ChartFrame& screen, const ChartFonts& fonts,
                     const PageLayout& layout, std::int64_t first, std::int64_t last, const PageProgress& progress) {
  first = std::clamp<std::int64_t>(first, 0, layout.PageCount - 1);
  last = std::clamp<std::int64_t>(last, first, layout.PageCount - 1);
  PdfTextCache texts;
  for (std::int64_t page = first; page <= last; ++page) {
    if (page > first && !device.newPage()) {
      return false;
    }
    PaintChartPage(painter, screen, fonts, layout, page, &texts);
    if (progress && !progress(page - first + 1, last - first + 1)) {
      return false;
    }
  }
  return true;
}

std::string PdfReportText(const PdfResult& result) {
  switch (result.Status) {
    case PdfStatus::Saved:
      return ExportSavedText(result.Path);
    case PdfStatus::TooManyPages:
      return TooManyPagesText(result.PageCount);
    case PdfStatus::SheetTooSmall:
      return std::string(PRINT_SHEET_TOO_SMALL_TEXT);
    case PdfStatus::Cancelled:
      return "The PDF was not written; the export was cancelled.";
    case PdfStatus::NotWritten:
      break;
  }
  return PdfNotWrittenText(result.Path);
}

PdfResult ExportChartPdf(const ChartFrame& screen, const ChartFonts& fonts, const std::string& path,
                         const PageLayout& layout, const QPageLayout& pageLayout, const PageProgress& progress,
                         std::int64_t first, std::int64_t last) {
  PdfResult result;
  result.Path = path;
  result.PageCount = layout.PageCount;
  result.ScalePercent = layout.ScalePercent;
  if (layout.SheetTooSmall) {
    result.Status = PdfStatus::SheetTooSmall;
    return result;
  }
  if (layout.TooManyPages()) {
    result.Status = PdfStatus::TooManyPages;
    return result;
  }
  // A temporary file beside the target, put in its place only when complete: the target never
  // holds half a document, whether the disk fills up, the work is cancelled or the tool is killed.
  AtomicFile target(path);
  QFile file;
  if (path.empty() || target.Stream() == nullptr ||
      !file.open(target.Stream(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
    result.Status = PdfStatus::NotWritten;
    return result;
  }
  bool begun = false;
  bool complete = false;
  {
    QPdfWriter writer(&file);
    writer.setPageLayout(pageLayout);
    writer.setCreator(QStringLiteral("Nerin Plan Viewer"));
    writer.setTitle(ToQString(screen.plan.ProjectName));
    QPainter painter;
    begun = painter.begin(&writer);
    if (begun) {
      complete = PaintChartPages(painter, writer, screen, fonts, layout, first, last, progress);
      painter.end();
    }
  }
  // QFile's buffer goes into the stream; a full disk shows here or in the commit below.
  const bool flushed = file.flush() && file.error() == QFileDevice::NoError;
  file.close();
  if (!complete) {
    // Without a commit the temporary file goes with `target`. Pages stop early when the user
    // cancels, and also when the device can take no more: only the first is a cancel.
    result.Status = begun && flushed ? PdfStatus::Cancelled : PdfStatus::NotWritten;
    return result;
  }
  result.Status = flushed && target.Commit() ? PdfStatus::Saved : PdfStatus::NotWritten;
  return result;
}

PdfResult ExportChartPdf(const ChartFrame& screen, const ChartFonts& fonts, const std::string& path,
                         const PageOptions& options, const PageProgress& progress) {
  const QPageLayout pageLayout = PageLayoutOf(options);
  const PageLayout layout = LayOutChart(screen, SheetOf(pageLayout), options.ScalePercent, options.FitWidth);
  return ExportChartPdf(screen, fonts, path, layout, pageLayout, progress);
}

}  // namespace nerin
