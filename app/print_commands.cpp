// SPDX-License-Identifier: MIT
// The Gantt chart on paper and as PDF: Print (Ctrl+P), Print preview (Ctrl+Shift+P) and the
// PDF choice of the Export button. All three lay the chart out with the same pages, on the
// paper and orientation last chosen and at the same scale.
#include <QPrinter>

#include "app/main_window.h"
#include "app/modal_windows.h"
#include "app/print_dialogs.h"
#include "calendar/local_today.h"
#include "views/chart_export.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_pdf.h"
#include "views/qt/qt_text.h"

namespace nerin {

ChartFrame MainWindow::ShownFrame() const {
  const SessionState& s = session_.State();
  return ShownChartFrame(*s.Shown, s.Rows, s.View, LocalToday(), session_.Comparing() ? &s.Comparison : nullptr,
                         s.FindHighlight, &s.Hover);
}

QPrinter& MainWindow::Printer() {
  if (!printer_) {
    printer_ = MakeChartPrinter();
  }
  return *printer_;
}

// The session opens these only on the Gantt chart of a plan, with the hover box put away.
void MainWindow::ExportChartPdfFile(const std::string& path) {
  QPrinter& printer = Printer();
  const ChartFrame frame = ShownFrame();
  // The paper, orientation, margins and scale are shown before anything is written.
  const std::optional<PdfPageSettings> chosen = AskPdfPageSettings(this, frame, {printer.pageLayout(), printScale_});
  if (!chosen) {
    return;
  }
  // What was chosen for the PDF is the print settings from now on: one set for the session.
  printer.setPageLayout(chosen->PageLayout);
  printScale_ = chosen->Scale;
  const QPageLayout& pageLayout = chosen->PageLayout;
  const PageLayout layout = LayOutChart(frame, SheetOf(pageLayout), printScale_.Percent, printScale_.FitWidth);
  PdfResult result;
  {
    const BusyPointer busy;
    PageProgressWindow progress(this, QStringLiteral("Writing the PDF document..."), layout.PageCount);
    result = ExportChartPdf(frame, fonts_, path, layout, pageLayout, progress.Function());
  }
  Send(FileWrittenEvent{std::string(EXPORT_DIALOG_TITLE), PdfReportText(result), result.Status == PdfStatus::Saved,
                        true});
}

void MainWindow::PrintChart() {
  QPrinter& printer = Printer();
  printer.setDocName(ToQString(session_.ShownPlan().ProjectName));
  const std::optional<PrintScale> chosen = AskPrintOptions(this, printer, printScale_);
  if (!chosen) {
    return;
  }
  printScale_ = *chosen;
  const ChartFrame frame = ShownFrame();
  const PageLayout layout =
      LayOutChart(frame, SheetOf(printer.pageLayout()), printScale_.Percent, printScale_.FitWidth);
  if (!layout.Printable()) {
    Send(FileWrittenEvent{std::string(PRINT_DIALOG_TITLE), RefusalText(layout), false, true, true});
    return;
  }
  const PrintOutcome outcome = PrintChartPages(this, printer, frame, fonts_, layout);
  // Two flashes are the printer's "sent"; any other count a print that did not go out whole.
  Send(FileWrittenEvent{std::string(PRINT_DIALOG_TITLE), outcome.Text, !outcome.Failed && outcome.Flashes == 2,
                        outcome.Failed, outcome.Failed});
}

void MainWindow::PrintPreviewChart() {
  QPrinter& printer = Printer();
  printer.setDocName(ToQString(session_.ShownPlan().ProjectName));
  const ChartFrame frame = ShownFrame();
  RunPrintPreview(this, printer, printScale_, frame, fonts_);
}

}  // namespace nerin
