// SPDX-License-Identifier: MIT
// The dialogs and windows of printing and the PDF export: the printer's dialog with the chart's
// own tab, the preview with the scale on its toolbar, the page progress, and the pages of a run
// sent to the printer or to a file. The window only chooses when they run and reports the outcome.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QPageLayout>
#include <QProgressDialog>

#include "views/gantt_chart.h"
#include "views/page_layout.h"
#include "views/qt/chart_pdf.h"
#include "views/qt/qt_chart_painter.h"

class QPrinter;
class QWidget;

namespace nerin {

// The Export button's save dialog, PNG or PDF, starting in `folder` with a name made of the
// project's; what was chosen, nothing when cancelled. When the user picks the other file type,
// the name typed so far takes that type's extension.
struct ChartFileChoice {
  QString File;
  bool PdfChosen = false;  // the PDF file type was the one chosen
};
std::optional<ChartFileChoice> AskForChartFile(QWidget* parent, const QString& folder, const std::string& projectName);

// The scale the chart is printed at, kept for the session: PDF, printer and preview share it.
struct PrintScale {
  std::int64_t Percent = 100;
  bool FitWidth = false;
};

// A printer on the locale's paper, landscape, with the chart's margins of 10 mm; its
// coordinates cover the whole paper and the chart keeps to the margins itself.
std::shared_ptr<QPrinter> MakeChartPrinter();

// A page-by-page progress window with a Cancel button; the PageProgress that feeds it keeps
// the window answering between pages. A short run shows nothing.
class PageProgressWindow {
 public:
  PageProgressWindow(QWidget* parent, const QString& text, std::int64_t pages);
  PageProgress Function();

 private:
  QProgressDialog dialog_;
};

// The page settings of a PDF: the printer's page layout (paper, orientation, margins) and the
// chart's scale.
struct PdfPageSettings {
  QPageLayout PageLayout;
  PrintScale Scale;
};
// The paper, orientation, margins and scale a PDF will be written with, and the pages they give
// the chart, shown before anything is written and open to change; it starts from `current`,
// the print settings the preview and the printer use. What was chosen, nothing when cancelled.
std::optional<PdfPageSettings> AskPdfPageSettings(QWidget* parent, const ChartFrame& frame,
                                                  const PdfPageSettings& current);

// The printer's dialog with a Chart tab for the scale; the scale chosen, nothing when cancelled.
std::optional<PrintScale> AskPrintOptions(QWidget* parent, QPrinter& printer, const PrintScale& scale);

// The preview of the chart's pages, with the scale on its toolbar beside the preview's own paper
// and orientation; `scale` follows the toolbar. Returns when the user has closed it.
void RunPrintPreview(QWidget* parent, QPrinter& printer, PrintScale& scale, const ChartFrame& frame,
                     const ChartFonts& fonts);

// Why a chart's pages cannot be printed: the sheet is too small or there would be too many.
std::string RefusalText(const PageLayout& layout);

// A print run as the status line or a message box reports it.
struct PrintOutcome {
  bool Failed = false;      // a message box, else feedback
  std::int64_t Flashes = 2;
  std::string Text;
};

// Sends the pages the printer's range asks for (all by default) to the printer, or writes them
// as PDF when the printer prints to a file, with the busy pointer and the page progress.
PrintOutcome PrintChartPages(QWidget* parent, QPrinter& printer, const ChartFrame& frame, const ChartFonts& fonts,
                             const PageLayout& layout);

}  // namespace nerin
