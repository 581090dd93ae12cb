// SPDX-License-Identifier: MIT
// The Gantt chart on paper and as PDF: Print (Ctrl+P), Print preview (Ctrl+Shift+P) and the
// PDF choice of the Export button. All three lay the chart out with the same pages, on the
// paper and orientation last chosen and at the same scale.
#include "app/print_commands.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QSpinBox>
#include <QToolBar>

#include "app/main_window.h"
#include "app/modal_windows.h"
#include "views/chart_export.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_pdf.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// A long run of pages shows how far it has got and can be cancelled; a short one shows nothing.
constexpr int kProgressDelayMs = 600;

// The busy pointer while pages are drawn; restored however the work ends.
class BusyPointer {
 public:
  BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyPointer() { QApplication::restoreOverrideCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

// The window's chart as it stands, with the hover summary hidden: every page draws from it.
ChartFrame PageFrameOf(const AppState& state) {
  return ChartFrame{state.plan,   state.rows, state.view, state.view.Width, state.view.Height,
                    LocalToday(), state.FindHighlight,    nullptr};
}

// A page-by-page progress window with a Cancel button; the PageProgress that feeds it keeps
// the window answering between pages.
class PageProgressWindow {
 public:
  PageProgressWindow(QWidget* parent, const QString& text, std::int64_t pages)
      : dialog_(text, QStringLiteral("Cancel"), 0, static_cast<int>(std::max<std::int64_t>(pages, 1)), parent) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(kProgressDelayMs);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
  }
  PageProgress Function() {
    return [this](std::int64_t done, std::int64_t /*total*/) {
      dialog_.setValue(static_cast<int>(done));
      QCoreApplication::processEvents();
      return !dialog_.wasCanceled();
    };
  }

 private:
  QProgressDialog dialog_;
};

// The scale and fit width, offered beside the printer's own settings.
struct ScaleControls {
  QSpinBox* scale = nullptr;
  QCheckBox* fitWidth = nullptr;
};

ScaleControls MakeScaleControls(QWidget* parent, std::int64_t scalePercent, bool fitWidth) {
  ScaleControls controls;
  controls.scale = new QSpinBox(parent);
  controls.scale->setRange(static_cast<int>(MIN_SCALE_PERCENT), static_cast<int>(MAX_SCALE_PERCENT));
  controls.scale->setSingleStep(10);
  controls.scale->setSuffix(QStringLiteral(" %"));
  controls.scale->setValue(static_cast<int>(scalePercent));
  controls.scale->setToolTip(QStringLiteral("100 % prints the chart at its size on the screen"));
  controls.scale->setEnabled(!fitWidth);
  controls.fitWidth = new QCheckBox(QStringLiteral("Fit width"), parent);
  controls.fitWidth->setChecked(fitWidth);
  controls.fitWidth->setToolTip(QStringLiteral("The whole timeline in one column of pages, scaled down"));
  QObject::connect(controls.fitWidth, &QCheckBox::toggled, controls.scale,
                   [spin = controls.scale](bool on) { spin->setEnabled(!on); });
  return controls;
}

// What stands on the one preview page of a chart that cannot be printed.
void PaintRefusal(QPainter& painter, QPrinter& printer, const std::string& text) {
  const QRectF page = printer.pageLayout().fullRectPixels(printer.resolution());
  QFont font = painter.font();
  font.setPointSizeF(12);
  painter.setFont(font);
  painter.drawText(page.adjusted(page.width() / 10, page.height() / 10, -page.width() / 10, -page.height() / 10),
                   Qt::AlignCenter | Qt::TextWordWrap, ToQString(text));
}

std::string RefusalText(const PageLayout& layout) {
  return layout.SheetTooSmall ? std::string(PRINT_SHEET_TOO_SMALL_TEXT) : TooManyPagesText(layout.PageCount);
}

}  // namespace

void FollowChosenFileType(QFileDialog& dialog) {
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    // The toolkit's own dialog names its file name field; a native dialog keeps its own.
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr) {
      return;
    }
    const QString wanted = filter.contains(QStringLiteral("*.pdf")) ? QStringLiteral(".pdf") : QStringLiteral(".png");
    QString text = name->text();
    for (const QString& known : {QStringLiteral(".png"), QStringLiteral(".pdf")}) {
      if (text.endsWith(known, Qt::CaseInsensitive)) {
        text.chop(known.size());
        name->setText(text + wanted);
        return;
      }
    }
  });
}

QPrinter& MainWindow::Printer() {
  if (!printer_) {
    printer_ = std::make_shared<QPrinter>(QPrinter::HighResolution);
    PageOptions options;
    options.Paper = LocalePaper();
    const QPageLayout layout = PageLayoutOf(options);
    printer_->setPageSize(layout.pageSize());
    printer_->setPageOrientation(layout.orientation());
    // The chart keeps its own margins; the printer's coordinates cover the whole paper.
    printer_->setFullPage(true);
  }
  return *printer_;
}

bool MainWindow::ReadyToPrint(bool printing) {
  if (!state_.plan.ProjectLoaded || state_.CurrentView != VIEW_GANTT) {
    std::string_view refusal;
    if (printing) {
      refusal = state_.plan.ProjectLoaded ? PRINT_NOT_GANTT_TEXT : PRINT_NO_PLAN_TEXT;
    } else {
      refusal = state_.plan.ProjectLoaded ? EXPORT_NOT_GANTT_TEXT : EXPORT_NO_PLAN_TEXT;
    }
    ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, 3, std::string(refusal));
    return false;
  }
  HideHoverSummary();
  return true;
}

void MainWindow::ExportChartPdfFile(const std::string& path) {
  if (!ReadyToPrint(false)) {
    return;
  }
  QPrinter& printer = Printer();
  const ChartFrame frame = PageFrameOf(state_);
  const QPageLayout pageLayout = printer.pageLayout();
  const PageLayout layout = LayOutChart(frame, SheetOf(pageLayout), printScalePercent_, printFitWidth_);
  PdfResult result;
  {
    const BusyPointer busy;
    PageProgressWindow progress(this, QStringLiteral("Writing the PDF document..."), layout.PageCount);
    result = ExportChartPdf(frame, fonts_, path, layout, pageLayout, progress.Function());
  }
  const std::string report = PdfReportText(result);
  if (report.find('\n') == std::string::npos) {
    ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, result.Status == PdfStatus::Saved ? 2 : 3, report);
  } else {
    ShowMessageBox(this, std::string(EXPORT_DIALOG_TITLE), report, BoxIcon::Error);
  }
}

void MainWindow::PrintChart() {
  if (!ReadyToPrint(true)) {
    return;
  }
  QPrinter& printer = Printer();
  printer.setDocName(ToQString(state_.plan.ProjectName));
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(ToQString(std::string(PRINT_DIALOG_TITLE)));
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setMinMax(1, static_cast<int>(MAX_PDF_PAGES));
  auto* chartTab = new QWidget();
  chartTab->setWindowTitle(QStringLiteral("Chart"));
  const ScaleControls controls = MakeScaleControls(chartTab, printScalePercent_, printFitWidth_);
  auto* form = new QFormLayout(chartTab);
  form->addRow(QStringLiteral("Scale:"), controls.scale);
  form->addRow(QString(), controls.fitWidth);
  dialog.setOptionTabs({chartTab});
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  printScalePercent_ = controls.scale->value();
  printFitWidth_ = controls.fitWidth->isChecked();

  const ChartFrame frame = PageFrameOf(state_);
  const PageLayout layout = LayOutChart(frame, SheetOf(printer.pageLayout()), printScalePercent_, printFitWidth_);
  if (!layout.Printable()) {
    ShowMessageBox(this, std::string(PRINT_DIALOG_TITLE), RefusalText(layout), BoxIcon::Error);
    return;
  }
  std::int64_t first = 0;
  std::int64_t last = layout.PageCount - 1;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = std::min<std::int64_t>(printer.fromPage(), layout.PageCount) - 1;
    last = std::clamp<std::int64_t>(printer.toPage(), first + 1, layout.PageCount) - 1;
  }

  const BusyPointer busy;
  PageProgressWindow progress(this, QStringLiteral("Printing the Gantt chart..."), last - first + 1);
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    // Printing to a file: written beside the target and renamed when complete, as the export
    // does, so that a cancelled or failed run leaves no half-written document.
    const PdfResult result = ExportChartPdf(frame, fonts_, PathFromQString(printer.outputFileName()), layout,
                                            printer.pageLayout(), progress.Function(), first, last);
    ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, result.Status == PdfStatus::Saved ? 2 : 3,
                 result.Status == PdfStatus::Cancelled ? std::string(PRINT_CANCELLED_TEXT)
                                                       : PdfReportText(result));
    return;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    ShowMessageBox(this, std::string(PRINT_DIALOG_TITLE), "The printer could not be started.", BoxIcon::Error);
    return;
  }
  if (!PaintChartPages(painter, printer, frame, fonts_, layout, first, last, progress.Function())) {
    // Nothing reaches the printer: the job is dropped before it is handed over.
    printer.abort();
    painter.end();
    ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, 3, std::string(PRINT_CANCELLED_TEXT));
    return;
  }
  painter.end();
  ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, 2,
               "Gantt chart sent to the printer: " + std::to_string(last - first + 1) + " pages");
}

void MainWindow::PrintPreviewChart() {
  if (!ReadyToPrint(true)) {
    return;
  }
  QPrinter& printer = Printer();
  printer.setDocName(ToQString(state_.plan.ProjectName));
  const ChartFrame frame = PageFrameOf(state_);
  QPrintPreviewDialog preview(&printer, this);
  preview.setWindowTitle(ToQString(std::string(PRINT_PREVIEW_TITLE)));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, &frame](QPrinter* target) {
    const BusyPointer busy;
    target->setFullPage(true);
    const PageLayout layout =
        LayOutChart(frame, SheetOf(target->pageLayout()), printScalePercent_, printFitWidth_);
    QPainter painter(target);
    if (!layout.Printable()) {
      PaintRefusal(painter, *target, RefusalText(layout));
      return;
    }
    PaintChartPages(painter, *target, frame, fonts_, layout, 0, layout.PageCount - 1);
  });
  // Paper and orientation are the preview's own; the scale joins them on its toolbar.
  if (auto* bar = preview.findChild<QToolBar*>()) {
    auto* previewWidget = preview.findChild<QPrintPreviewWidget*>();
    const ScaleControls controls = MakeScaleControls(bar, printScalePercent_, printFitWidth_);
    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral(" Scale "), bar));
    bar->addWidget(controls.scale);
    bar->addWidget(controls.fitWidth);
    const auto changed = [this, controls, previewWidget] {
      printScalePercent_ = controls.scale->value();
      printFitWidth_ = controls.fitWidth->isChecked();
      if (previewWidget != nullptr) {
        previewWidget->updatePreview();
      }
    };
    // Typing "150" passes through 1 and 15: the pages are laid out anew once the typing ends.
    controls.scale->setKeyboardTracking(false);
    QObject::connect(controls.scale, &QSpinBox::valueChanged, &preview, changed);
    QObject::connect(controls.fitWidth, &QCheckBox::toggled, &preview, changed);
  }
  preview.resize(std::max(width() * 4 / 5, 800), std::max(height() * 4 / 5, 600));
  preview.exec();
}

}  // namespace nerin
