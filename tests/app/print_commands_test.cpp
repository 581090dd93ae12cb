// SPDX-License-Identifier: MIT
// Print, print preview and the PDF choice of the Export button, driven as a user drives them.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>

#include "app/print_dialogs.h"
#include "main_window_fixture.h"
#include "views/chart_colours.h"
#include "views/qt/chart_pdf.h"

namespace nerin {
namespace {

using test::ModalWatcher;
using test::WaitUntil;

class PrintCommandsTest : public test::MainWindowTest {
 protected:
  void StartActive() {
    Start();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    // A closed dialog may leave no window active, and the shortcuts act on the active one.
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), key, modifiers);
    Settle();
  }
};

TEST_F(PrintCommandsTest, KeysOpenTheirDialogsOnlyOnTheGanttWithAPlan) {
  struct Row {
    const char* what;
    Qt::KeyboardModifiers modifiers;
    std::string title;
  };
  const Row rows[] = {
      {"Ctrl+P", Qt::ControlModifier, "Print Gantt chart"},
      {"Ctrl+Shift+P", Qt::ControlModifier | Qt::ShiftModifier, "Print preview - Gantt chart"},
  };
  StartActive();
  for (const Row& row : rows) {
    ModalWatcher watcher;
    Key(Qt::Key_P, row.modifiers);
    EXPECT_TRUE(watcher.seen.empty()) << row.what;
    EXPECT_EQ(StatusText(), "Open a plan before printing the chart.") << row.what;
  }
  Open("bridge.xml");
  C().ViewTabs->setCurrentIndex(1);
  for (const Row& row : rows) {
    ModalWatcher watcher;
    Key(Qt::Key_P, row.modifiers);
    EXPECT_TRUE(watcher.seen.empty()) << row.what;
    EXPECT_EQ(StatusText(), "Printing draws the Gantt chart; switch to the Gantt tab first.") << row.what;
  }
  C().ViewTabs->setCurrentIndex(0);
  const std::int64_t scrollY = State().View.ScrollY;
  for (const Row& row : rows) {
    // Closed unprinted: nothing reaches a printer or a file.
    ModalWatcher watcher;
    Key(Qt::Key_P, row.modifiers);
    ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); })) << row.what;
    EXPECT_EQ(watcher.seen[0].title, row.title) << row.what;
  }
  EXPECT_EQ(State().View.ScrollY, scrollY);
}

TEST_F(PrintCommandsTest, ExportOffersPdfAndFollowsTheChosenType) {
  StartActive();
  Open("bridge.xml");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Row {
    const char* what;
    QString typed;
    bool pdfFilter;
    QString written;
    QByteArray starts;
  };
  const Row rows[] = {
      {"PDF by its name", dir.filePath("typed.pdf"), false, dir.filePath("typed.pdf"), "%PDF-"},
      {"PDF by the filter", dir.filePath("filtered"), true, dir.filePath("filtered.pdf"), "%PDF-"},
      {"PNG by its name under the PDF filter", dir.filePath("picture.png"), true, dir.filePath("picture.png"),
       "\x89PNG"},
  };
  for (const Row& row : rows) {
    QStringList filters;
    ModalWatcher watcher([&](QWidget* window) {
      if (auto* files = qobject_cast<QFileDialog*>(window)) {
        filters = files->nameFilters();
        if (row.pdfFilter) {
          files->selectNameFilter(filters.value(1));
        }
        test::ChooseInFileDialog(files, row.typed);
      } else if (window->objectName() == "pdfSettings") {
        static_cast<QDialog*>(window)->accept();
      } else {
        static_cast<QDialog*>(window)->reject();
      }
    });
    C().ExportButton->click();
    ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); })) << row.what;
    EXPECT_EQ(filters, QStringList({"PNG image (*.png)", "PDF document (*.pdf)"})) << row.what;
    QFile file(row.written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << row.what;
    EXPECT_TRUE(file.read(8).startsWith(row.starts)) << row.what;
    EXPECT_EQ(StatusText(), "Gantt chart saved as " + row.written.toStdString()) << row.what;
  }
}

// What the PDF dialog shows of its page settings, and sets there.
struct PdfDialogFields {
  QString paper;
  QString orientation;
  double margin = -1;
  int scale = -1;
  bool fitWidth = false;
  QString pages;
};

PdfDialogFields ReadPdfDialog(QWidget* dialog) {
  PdfDialogFields fields;
  if (auto* paper = dialog->findChild<QComboBox*>(QStringLiteral("paper"))) fields.paper = paper->currentText();
  if (auto* orientation = dialog->findChild<QComboBox*>(QStringLiteral("orientation"))) {
    fields.orientation = orientation->currentText();
  }
  if (auto* margin = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("margin"))) fields.margin = margin->value();
  if (auto* scale = dialog->findChild<QSpinBox*>()) fields.scale = scale->value();
  if (auto* fit = dialog->findChild<QCheckBox*>()) fields.fitWidth = fit->isChecked();
  if (auto* pages = dialog->findChild<QLabel*>(QStringLiteral("pages"))) fields.pages = pages->text();
  return fields;
}

// Export -> PDF shows the paper, orientation, margins and scale it will use, and the pages they
// make, before anything is written; they start from the print settings and stay with them.
TEST_F(PrintCommandsTest, PdfExportShowsItsPageSettingsFirst) {
  StartActive();
  Open("bridge.xml");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto exportPdf = [&](const QString& name, const std::function<void(QDialog*)>& settings) {
    ModalWatcher watcher([&](QWidget* window) {
      if (auto* files = qobject_cast<QFileDialog*>(window)) {
        test::ChooseInFileDialog(files, dir.filePath(name));
      } else if (window->objectName() == "pdfSettings") {
        settings(static_cast<QDialog*>(window));
      } else {
        static_cast<QDialog*>(window)->reject();
      }
    });
    C().ExportButton->click();
    EXPECT_TRUE(WaitUntil([&] { return watcher.seen.size() >= 2; }));
    test::Pump(20);
  };

  PdfDialogFields first;
  exportPdf("cancelled.pdf", [&](QDialog* dialog) {
    first = ReadPdfDialog(dialog);
    dialog->reject();
  });
  EXPECT_EQ(first.orientation, "Landscape");
  EXPECT_DOUBLE_EQ(first.margin, 10.0);
  EXPECT_EQ(first.scale, 100);
  EXPECT_FALSE(first.fitWidth);
  EXPECT_EQ(first.pages, "1 page at 100 %");
  EXPECT_FALSE(QFile::exists(dir.filePath("cancelled.pdf")));

  // A3 upright at 50 % with 30 mm margins: the page count follows each change.
  PdfDialogFields changed;
  exportPdf("a3.pdf", [&](QDialog* dialog) {
    auto* paper = dialog->findChild<QComboBox*>(QStringLiteral("paper"));
    paper->setCurrentIndex(paper->findText(QStringLiteral("A3")));
    dialog->findChild<QComboBox*>(QStringLiteral("orientation"))->setCurrentIndex(1);
    dialog->findChild<QDoubleSpinBox*>(QStringLiteral("margin"))->setValue(30.0);
    dialog->findChild<QSpinBox*>()->setValue(50);
    changed = ReadPdfDialog(dialog);
    dialog->accept();
  });
  EXPECT_EQ(changed.pages, "1 page at 50 %");
  ASSERT_TRUE(QFile::exists(dir.filePath("a3.pdf")));
  EXPECT_EQ(StatusText(), "Gantt chart saved as " + dir.filePath("a3.pdf").toStdString());

  PdfDialogFields kept;
  exportPdf("again.pdf", [&](QDialog* dialog) {
    kept = ReadPdfDialog(dialog);
    dialog->reject();
  });
  EXPECT_EQ(kept.paper, "A3");
  EXPECT_EQ(kept.orientation, "Portrait");
  EXPECT_DOUBLE_EQ(kept.margin, 30.0);
  EXPECT_EQ(kept.scale, 50);

  // The print preview shows the same.
  int previewScale = -1;
  QString previewPaper;
  ModalWatcher watcher([&](QWidget* window) {
    if (auto* preview = qobject_cast<QPrintPreviewDialog*>(window)) {
      if (auto* bar = preview->findChild<QToolBar*>(QStringLiteral("chartBar"))) {
        previewScale = bar->findChild<QSpinBox*>()->value();
      }
      previewPaper = preview->printer()->pageLayout().pageSize().name();
    }
    static_cast<QDialog*>(window)->reject();
  });
  Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  EXPECT_EQ(previewScale, 50);
  EXPECT_EQ(previewPaper, "A3");
}

// The printer starts with the chart's 10 mm margins, and the pages keep to whatever margins
// Page Setup leaves in it.
TEST(PrintMargins, ThePrintersMarginsAreThePages) {
  const std::shared_ptr<QPrinter> printer = MakeChartPrinter();
  const QMarginsF margins = printer->pageLayout().margins(QPageLayout::Millimeter);
  EXPECT_NEAR(margins.left(), 10.0, 0.01);
  EXPECT_NEAR(margins.top(), 10.0, 0.01);
  EXPECT_NEAR(margins.right(), 10.0, 0.01);
  EXPECT_NEAR(margins.bottom(), 10.0, 0.01);
  EXPECT_TRUE(printer->fullPage());
  EXPECT_NEAR(SheetOf(printer->pageLayout()).Margins.Left, 10.0 * POINTS_PER_MM, 0.01);
  printer->setPageMargins(QMarginsF(30, 20, 30, 20), QPageLayout::Millimeter);
  const Sheet sheet = SheetOf(printer->pageLayout());
  EXPECT_NEAR(sheet.Margins.Left, 30.0 * POINTS_PER_MM, 0.01);
  EXPECT_NEAR(sheet.Margins.Top, 20.0 * POINTS_PER_MM, 0.01);
  EXPECT_NEAR(sheet.Margins.Bottom, 20.0 * POINTS_PER_MM, 0.01);
}

// The PNG of a compared chart shows the reference's bars, as the window does.
TEST_F(PrintCommandsTest, ExportOfAComparedChartShowsTheReference) {
  StartActive();
  const std::string data = std::string(NERIN_SOURCE_DIR) + "/tests/compare/data/";
  {
    ModalWatcher watcher;
    test::OpenAndWait(Window(), data + "subject.xml");
  }
  {
    ModalWatcher watcher;
    test::OpenAndWait(Window(), data + "reference.xml", OpenOrigin::Reference);
  }
  ASSERT_TRUE(Window().Session().Comparing());
  EXPECT_NE(Window().ShownFrame().Comparison, nullptr);
  QTemporaryDir dir;
  ModalWatcher watcher([&](QWidget* window) {
    if (auto* files = qobject_cast<QFileDialog*>(window)) {
      test::ChooseInFileDialog(files, dir.filePath("compared.png"));
    } else {
      static_cast<QDialog*>(window)->reject();
    }
  });
  C().ExportButton->click();
  ASSERT_TRUE(WaitUntil([&] { return QFile::exists(dir.filePath("compared.png")); }));
  QImage image(dir.filePath("compared.png"));
  ASSERT_FALSE(image.isNull());
  const QRgb reference = qRgb(ReferenceBarColour.r, ReferenceBarColour.g, ReferenceBarColour.b);
  bool found = false;
  for (int y = 0; y < image.height() && !found; ++y) {
    for (int x = 0; x < image.width() && !found; ++x) found = (image.pixel(x, y) & 0xFFFFFF) == (reference & 0xFFFFFF);
  }
  EXPECT_TRUE(found);
}

// On any screen (ctest also runs this on 1024 x 600 and 800 x 600) the print preview lies on
// the screen whole, with the chart's Scale and Fit width in view.
TEST_F(PrintCommandsTest, PreviewFitsTheScreenWithItsScaleInView) {
  StartActive();
  Open("bridge.xml");
  QRect area;
  QRect frame;
  std::vector<std::pair<std::string, QRect>> controls;
  ModalWatcher watcher([&](QWidget* window) {
    area = window->screen()->availableGeometry();
    frame = window->frameGeometry();
    if (auto* bar = window->findChild<QToolBar*>(QStringLiteral("chartBar"))) {
      for (QWidget* control : {static_cast<QWidget*>(bar->findChild<QSpinBox*>()),
                               static_cast<QWidget*>(bar->findChild<QCheckBox*>())}) {
        if (control != nullptr && control->isVisible()) {
          controls.emplace_back(control->metaObject()->className(),
                                QRect(control->mapToGlobal(QPoint(0, 0)), control->size()));
        }
      }
    }
    static_cast<QDialog*>(window)->reject();
  });
  Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  SCOPED_TRACE(std::to_string(area.width()) + " x " + std::to_string(area.height()));
  EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  ASSERT_EQ(controls.size(), 2u);
  for (const auto& [name, rect] : controls) {
    EXPECT_TRUE(area.contains(rect)) << name;
    EXPECT_TRUE(frame.contains(rect)) << name;
  }
}

}  // namespace
}  // namespace nerin
