// SPDX-License-Identifier: MIT
// The dialogs and windows of printing and the PDF export.
#include "app/print_dialogs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>

#include "app/modal_windows.h"
#include "app/status_text.h"
#include "calendar/path_text.h"
#include "views/chart_export.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// A long run of pages shows how far it has got and can be cancelled; a short one shows nothing.
constexpr int kProgressDelayMs = 600;

// The scale and fit width, offered beside the printer's own settings.
struct ScaleControls {
  QSpinBox* scale = nullptr;
  QCheckBox* fitWidth = nullptr;
};

ScaleControls MakeScaleControls(QWidget* parent, const PrintScale& chosen) {
  ScaleControls controls;
  controls.scale = new QSpinBox(parent);
  controls.scale->setRange(static_cast<int>(MIN_SCALE_PERCENT), static_cast<int>(MAX_SCALE_PERCENT));
  controls.scale->setSingleStep(10);
  controls.scale->setSuffix(QStringLiteral(" %"));
  controls.scale->setValue(static_cast<int>(chosen.Percent));
  controls.scale->setToolTip(QStringLiteral("100 % prints the chart at its size on the screen"));
  controls.scale->setEnabled(!chosen.FitWidth);
  controls.fitWidth = new QCheckBox(QStringLiteral("Fit width"), parent);
  controls.fitWidth->setChecked(chosen.FitWidth);
  controls.fitWidth->setToolTip(QStringLiteral("The whole timeline in one column of pages, scaled down"));
  QObject::connect(controls.fitWidth, &QCheckBox::toggled, controls.scale,
                   [spin = controls.scale](bool on) { spin->setEnabled(!on); });
  return controls;
}

PrintScale ScaleOf(const ScaleControls& controls) {
  return PrintScale{controls.scale->value(), controls.fitWidth->isChecked()};
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

// When the user picks the other file type, the name typed so far takes that type's extension.
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

}  // namespace

std::optional<ChartFileChoice> AskForChartFile(QWidget* parent, const QString& folder, const std::string& projectName) {
  QFileDialog dialog(parent, ToQString(std::string(EXPORT_DIALOG_TITLE)));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString pngFilter = QStringLiteral("PNG image (*.png)");
  const QString pdfFilter = QStringLiteral("PDF document (*.pdf)");
  dialog.setNameFilters({pngFilter, pdfFilter});
  dialog.setDefaultSuffix(QString());
  dialog.setDirectory(folder);
  dialog.selectFile(ToQString(SafeFileName(projectName, "gantt-chart") + ".png"));
  FollowChosenFileType(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return ChartFileChoice{dialog.selectedFiles().constFirst(), dialog.selectedNameFilter() == pdfFilter};
}

std::shared_ptr<QPrinter> MakeChartPrinter() {
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  PageOptions options;
  options.Paper = LocalePaper();
  printer->setFullPage(true);
  // Paper, orientation and the chart's 10 mm margins, as Page Setup then shows them.
  printer->setPageLayout(PageLayoutOf(options));
  return printer;
}

PageProgressWindow::PageProgressWindow(QWidget* parent, const QString& text, std::int64_t pages)
    : dialog_(text, QStringLiteral("Cancel"), 0, static_cast<int>(std::max<std::int64_t>(pages, 1)), parent) {
  dialog_.setWindowModality(Qt::WindowModal);
  dialog_.setMinimumDuration(kProgressDelayMs);
  dialog_.setAutoClose(false);
  dialog_.setAutoReset(false);
  // Wide enough for the program's name in the title bar of a window manager.
  dialog_.setWindowTitle(QString::fromUtf8(APP_TITLE));
  dialog_.setMinimumWidth(420);
}

PageProgress PageProgressWindow::Function() {
  return [this](std::int64_t done, std::int64_t /*total*/) {
    dialog_.setValue(static_cast<int>(done));
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  };
}

namespace {

// The margin the PDF dialog shows for a page layout: one number for all four sides, the widest
// where they differ, in millimetres to a tenth.
double ShownMargin(const QPageLayout& layout) {
  const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
  return std::round(std::max({margins.left(), margins.top(), margins.right(), margins.bottom()}) * 10.0) / 10.0;
}

// The PDF dialog's paper list: the chart's six papers, and the one chosen for printing first
// when it is another.
std::vector<QPageSize> PdfPapers(const QPageSize& current) {
  std::vector<QPageSize> papers;
  for (const PaperInfo& paper : PAPERS) papers.push_back(PageSizeOf(paper.Paper));
  const bool known = std::any_of(papers.begin(), papers.end(),
                                 [&current](const QPageSize& paper) { return paper.id() == current.id(); });
  if (!known && current.isValid()) papers.insert(papers.begin(), current);
  return papers;
}

}  // namespace

std::optional<PdfPageSettings> AskPdfPageSettings(QWidget* parent, const ChartFrame& frame,
                                                  const PdfPageSettings& current) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("pdfSettings"));
  dialog.setWindowTitle(ToQString(std::string(EXPORT_PDF_SETTINGS_TITLE)));
  auto* form = new QFormLayout(&dialog);
  auto* note = new QLabel(
      QStringLiteral("The page settings of Print and Print preview; a change here applies to them too."));
  note->setWordWrap(true);
  // Wide enough for the page count on one line.
  dialog.setMinimumWidth(460);
  form->addRow(note);

  const std::vector<QPageSize> papers = PdfPapers(current.PageLayout.pageSize());
  auto* paper = new QComboBox;
  paper->setObjectName(QStringLiteral("paper"));
  for (const QPageSize& size : papers) {
    paper->addItem(size.name());
    if (size.id() == current.PageLayout.pageSize().id()) paper->setCurrentIndex(paper->count() - 1);
  }
  form->addRow(QStringLiteral("Paper:"), paper);
  auto* orientation = new QComboBox;
  orientation->setObjectName(QStringLiteral("orientation"));
  orientation->addItems({QStringLiteral("Landscape"), QStringLiteral("Portrait")});
  orientation->setCurrentIndex(current.PageLayout.orientation() == QPageLayout::Landscape ? 0 : 1);
  form->addRow(QStringLiteral("Orientation:"), orientation);
  auto* margin = new QDoubleSpinBox;
  margin->setObjectName(QStringLiteral("margin"));
  margin->setRange(0.0, MAX_PAGE_MARGIN_MM);
  margin->setDecimals(1);
  margin->setSuffix(QStringLiteral(" mm"));
  const double shownMargin = ShownMargin(current.PageLayout);
  margin->setValue(shownMargin);
  margin->setToolTip(QStringLiteral("On every side of the paper; Page Setup sets each side on its own"));
  // Margins that differ side by side are shown as they are, until a number here sets all four.
  const QMarginsF sides = current.PageLayout.margins(QPageLayout::Millimeter);
  auto* sidesText =
      new QLabel(ToQString("now " + MarginsText(sides.left(), sides.top(), sides.right(), sides.bottom()) +
                           ", as Page Setup set them"));
  sidesText->setObjectName(QStringLiteral("marginSides"));
  sidesText->setVisible(
      ShownMargin(current.PageLayout) !=
      std::round(std::min({sides.left(), sides.top(), sides.right(), sides.bottom()}) * 10.0) / 10.0);
  auto* marginRow = new QHBoxLayout;
  marginRow->addWidget(margin);
  marginRow->addWidget(sidesText);
  marginRow->addStretch();
  form->addRow(QStringLiteral("Margins:"), marginRow);
  const ScaleControls scale = MakeScaleControls(&dialog, current.Scale);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(scale.scale);
  scaleRow->addWidget(scale.fitWidth);
  scaleRow->addStretch();
  form->addRow(QStringLiteral("Scale:"), scaleRow);
  auto* pages = new QLabel;
  pages->setObjectName(QStringLiteral("pages"));
  pages->setWordWrap(true);
  form->addRow(QStringLiteral("Pages:"), pages);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  const auto chosen = [&]() {
    PdfPageSettings settings{current.PageLayout, ScaleOf(scale)};
    QPageLayout& layout = settings.PageLayout;
    layout.setMode(QPageLayout::FullPageMode);
    layout.setPageSize(papers[static_cast<std::size_t>(std::max(paper->currentIndex(), 0))]);
    layout.setOrientation(orientation->currentIndex() == 0 ? QPageLayout::Landscape : QPageLayout::Portrait);
    // Margins set side by side in Page Setup stay as they are until the number is changed.
    if (margin->value() != shownMargin) {
      layout.setUnits(QPageLayout::Millimeter);
      const double m = margin->value();
      layout.setMargins(QMarginsF(m, m, m, m));
    }
    return settings;
  };
  const auto update = [&] {
    const PdfPageSettings settings = chosen();
    const PageLayout layout =
        LayOutChart(frame, SheetOf(settings.PageLayout), settings.Scale.Percent, settings.Scale.FitWidth);
    pages->setText(ToQString(layout.Printable() ? PageCountText(layout) : RefusalText(layout)));
    buttons->button(QDialogButtonBox::Save)->setEnabled(layout.Printable());
  };
  update();
  QObject::connect(paper, &QComboBox::currentIndexChanged, &dialog, update);
  QObject::connect(orientation, &QComboBox::currentIndexChanged, &dialog, update);
  QObject::connect(margin, &QDoubleSpinBox::valueChanged, &dialog, update);
  QObject::connect(margin, &QDoubleSpinBox::valueChanged, sidesText, [sidesText] { sidesText->hide(); });
  QObject::connect(scale.scale, &QSpinBox::valueChanged, &dialog, update);
  QObject::connect(scale.fitWidth, &QCheckBox::toggled, &dialog, update);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return chosen();
}

std::optional<PrintScale> AskPrintOptions(QWidget* parent, QPrinter& printer, const PrintScale& scale) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(ToQString(std::string(PRINT_DIALOG_TITLE)));
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setMinMax(1, static_cast<int>(MAX_PDF_PAGES));
  auto* chartTab = new QWidget();
  chartTab->setWindowTitle(QStringLiteral("Chart"));
  const ScaleControls controls = MakeScaleControls(chartTab, scale);
  auto* form = new QFormLayout(chartTab);
  form->addRow(QStringLiteral("Scale:"), controls.scale);
  form->addRow(QString(), controls.fitWidth);
  dialog.setOptionTabs({chartTab});
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return ScaleOf(controls);
}

void RunPrintPreview(QWidget* parent, QPrinter& printer, PrintScale& scale, const ChartFrame& frame,
                     const ChartFonts& fonts) {
  QPrintPreviewDialog preview(&printer, parent);
  preview.setWindowTitle(ToQString(std::string(PRINT_PREVIEW_TITLE)));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&scale, &frame, &fonts](QPrinter* target) {
                     const BusyPointer busy;
                     target->setFullPage(true);
                     const PageLayout layout =
                         LayOutChart(frame, SheetOf(target->pageLayout()), scale.Percent, scale.FitWidth);
                     QPainter painter(target);
                     if (!layout.Printable()) {
                       PaintRefusal(painter, *target, RefusalText(layout));
                       return;
                     }
                     PaintChartPages(painter, *target, frame, fonts, layout, 0, layout.PageCount - 1);
                   });
  // Paper and orientation are the preview's own; the chart's scale has a bar of its own under
  // the preview's toolbar, so that it stays in view when a narrow screen folds that toolbar.
  auto* previewWidget = preview.findChild<QPrintPreviewWidget*>();
  auto* chartBar = new QToolBar(QStringLiteral("Chart"), &preview);
  chartBar->setMovable(false);
  chartBar->setObjectName(QStringLiteral("chartBar"));
  const ScaleControls controls = MakeScaleControls(chartBar, scale);
  chartBar->addWidget(new QLabel(QStringLiteral(" Scale "), chartBar));
  chartBar->addWidget(controls.scale);
  chartBar->addWidget(controls.fitWidth);
  // The preview keeps its toolbar in a main window of its own: the chart's bar goes on a row
  // under it there, else under everything.
  if (auto* previewWindow = preview.findChild<QMainWindow*>()) {
    previewWindow->addToolBarBreak(Qt::TopToolBarArea);
    previewWindow->addToolBar(Qt::TopToolBarArea, chartBar);
  } else if (preview.layout() != nullptr) {
    preview.layout()->addWidget(chartBar);
  }
  const auto changed = [&scale, controls, previewWidget] {
    scale = ScaleOf(controls);
    if (previewWidget != nullptr) {
      previewWidget->updatePreview();
    }
  };
  // Typing "150" passes through 1 and 15: the pages are laid out anew once the typing ends.
  controls.scale->setKeyboardTracking(false);
  QObject::connect(controls.scale, &QSpinBox::valueChanged, &preview, changed);
  QObject::connect(controls.fitWidth, &QCheckBox::toggled, &preview, changed);
  // Four fifths of the window, at least 800 x 600, and never past the screen's edges.
  preview.setGeometry(FittedGeometry(
      parent, QSize(std::max(parent->width() * 4 / 5, 800), std::max(parent->height() * 4 / 5, 600))));
  preview.exec();
}

std::string RefusalText(const PageLayout& layout) {
  return layout.SheetTooSmall ? std::string(PRINT_SHEET_TOO_SMALL_TEXT) : TooManyPagesText(layout.PageCount);
}

PrintOutcome PrintChartPages(QWidget* parent, QPrinter& printer, const ChartFrame& frame, const ChartFonts& fonts,
                             const PageLayout& layout) {
  std::int64_t first = 0;
  std::int64_t last = layout.PageCount - 1;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = std::min<std::int64_t>(printer.fromPage(), layout.PageCount) - 1;
    last = std::clamp<std::int64_t>(printer.toPage(), first + 1, layout.PageCount) - 1;
  }

  const BusyPointer busy;
  PageProgressWindow progress(parent, QStringLiteral("Printing the Gantt chart..."), last - first + 1);
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    // Printing to a file: written beside the target and renamed when complete, as the export
    // does, so that a cancelled or failed run leaves no half-written document.
    const PdfResult result = ExportChartPdf(frame, fonts, PathFromQString(printer.outputFileName()), layout,
                                            printer.pageLayout(), progress.Function(), first, last);
    return PrintOutcome{false, result.Status == PdfStatus::Saved ? 2 : 3,
                        result.Status == PdfStatus::Cancelled ? std::string(PRINT_CANCELLED_TEXT)
                                                              : PdfReportText(result)};
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    return PrintOutcome{true, 3, "The printer could not be started."};
  }
  if (!PaintChartPages(painter, printer, frame, fonts, layout, first, last, progress.Function())) {
    // Nothing reaches the printer: the job is dropped before it is handed over.
    printer.abort();
    painter.end();
    return PrintOutcome{false, 3, std::string(PRINT_CANCELLED_TEXT)};
  }
  painter.end();
  return PrintOutcome{false, 2, "Gantt chart sent to the printer: " + std::to_string(last - first + 1) + " pages"};
}

}  // namespace nerin
