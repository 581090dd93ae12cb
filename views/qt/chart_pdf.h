// SPDX-License-Identifier: MIT
// The Gantt chart on pages: a PDF document, a printer or the print preview. Every page is drawn
// by DrawChart as a chart frame of its own, through a painter that keeps everything vector:
// fills as rectangles, texts as real text in embedded fonts. A page's tile of the chart comes
// from the painter's translation, scale and clip, never from an image. The PDF is written
// under a temporary name beside the target and renamed only once it is complete.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QTextLayout>

#include "views/chart_painter.h"
#include "views/gantt_chart.h"
#include "views/page_layout.h"
#include "views/qt/qt_chart_painter.h"

class QPagedPaintDevice;

namespace nerin {

// Texts laid out once and kept for the pages of one document: the same dates, names and labels
// come back page after page, and laying out a text costs more than drawing it. Each entry keeps
// the characters with the glyphs, so the document's text stays searchable.
class PdfTextCache {
 public:
  struct Entry {
    std::unique_ptr<QTextLayout> layout;
    int width = 0;
    qreal ascent = 0;
  };
  const Entry& Find(const std::string& text, ChartFont font, const QFont& face, QPaintDevice* device);

 private:
  std::array<std::unordered_map<std::string, Entry>, 3> fonts_;
};

// ChartPainter on a QPainter whose world transform maps drawing units to the device, for
// vector devices: nothing is rasterised. The chart's clip is applied by cutting fills to it
// and by clipping the painter only for texts that cross it.
class VectorChartPainter : public ChartPainter {
 public:
  // fonts: the chart fonts as the screen has them; w x h: the frame in drawing units.
  VectorChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t h,
                     PdfTextCache* cache = nullptr);
  ~VectorChartPainter() override;
  VectorChartPainter(const VectorChartPainter&) = delete;
  VectorChartPainter& operator=(const VectorChartPainter&) = delete;

  void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) override;
  void Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
            std::optional<Rgb> background) override;
  std::int64_t TextWidth(const std::string& text, ChartFont font) override;
  std::int64_t TextHeight(ChartFont font) override;
  void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) override;
  void ClearClip() override;

 private:
  const QFont& FontOf(ChartFont font) const;
  const QFontMetrics& MetricsOf(ChartFont font) const;
  // Draws the fills held back so far.
  void FlushFills();

  QPainter& painter_;
  std::unique_ptr<PdfTextCache> ownCache_;
  PdfTextCache* cache_;
  // The screen's fonts at the size they have on a 96-dpi screen, in drawing units.
  QFont text_;
  QFont bold_;
  QFont small_;
  QFontMetrics textMetrics_;
  QFontMetrics boldMetrics_;
  QFontMetrics smallMetrics_;
  QRect frame_;
  QRect clip_;     // what the chart asked for, within the frame
  QRect painted_;  // the painter's own clip; empty when it clips nothing
  QRgb currentColour_ = 0;
  bool colourSet_ = false;
  // Fills in one colour that follow each other go into the document as one path: a chart
  // draws thousands of small rectangles (link lines, diamonds), and each fill of its own
  // costs the document a state change and a paint operation.
  QList<QRect> fills_;
  QRgb fillColour_ = 0;
};

// The page layout of the chart a frame shows (every row of its row model, the whole timeline)
// on a sheet.
PageLayout LayOutChart(const ChartFrame& screen, const Sheet& sheet, std::int64_t scalePercent, bool fitWidth);
// The sheet of a device's page layout: the whole paper, as it lies, with the layout's margins.
Sheet SheetOf(const QPageLayout& pageLayout);
// The toolkit's page size of a paper.
QPageSize PageSizeOf(PaperName paper);
// The paper, orientation and margins (in millimetres) as a page layout in full-page mode: the
// painter covers the whole paper and the chart keeps to the margins itself.
QPageLayout PageLayoutOf(const PageOptions& options);

// The frame page (0 .. layout.PageCount - 1) draws: its tile of the shown chart, comparison
// and Find highlight included, without the hover box.
ChartFrame PageFrame(const ChartFrame& screen, const PageLayout& layout, std::int64_t page);

// One page (0 .. layout.PageCount - 1) onto a painter that is active on a paged device whose
// coordinates cover the whole paper (a printer set to full page): the chart tile and the
// footer with the project's name, the page number and frame.Today. The hover summary is never
// drawn; the painter's state is left as it was.
// A cache, when given, serves every page of one document.
void PaintChartPage(QPainter& painter, const ChartFrame& screen, const ChartFonts& fonts, const PageLayout& layout,
                    std::int64_t page, PdfTextCache* cache = nullptr);

// Called after each page with the pages done and the pages to do; false stops the work.
using PageProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Pages first .. last (within the layout's pages) onto a printer or preview, a new page before
// each but the first. False when progress stopped it.
bool PaintChartPages(QPainter& painter, QPagedPaintDevice& device, const ChartFrame& screen, const ChartFonts& fonts,
                     const PageLayout& layout, std::int64_t first, std::int64_t last,
                     const PageProgress& progress = {});

enum class PdfStatus {
  Saved,
  TooManyPages,   // more than MAX_PDF_PAGES; nothing was written
  SheetTooSmall,  // nothing was written
  NotWritten,     // the file could not be written; nothing was left at the path
  Cancelled,      // stopped by the progress function; nothing was left at the path
};

struct PdfResult {
  PdfStatus Status = PdfStatus::NotWritten;
  std::string Path;
  std::int64_t PageCount = 0;
  double ScalePercent = 100;
};

// What the user is told after a PDF export.
std::string PdfReportText(const PdfResult& result);

// The whole chart as a PDF at path, exactly as given: pages first .. last of the layout (within
// its pages), numbered as in the whole document. screen.Width, screen.Height and screen.Hover
// are not read; the caller's view, rows and plan are left as they are.
PdfResult ExportChartPdf(const ChartFrame& screen, const ChartFonts& fonts, const std::string& path,
                         const PageLayout& layout, const QPageLayout& pageLayout, const PageProgress& progress = {},
                         std::int64_t first = 0, std::int64_t last = MAX_PDF_PAGES);
PdfResult ExportChartPdf(const ChartFrame& screen, const ChartFonts& fonts, const std::string& path,
                         const PageOptions& options, const PageProgress& progress = {});

}  // namespace nerin
