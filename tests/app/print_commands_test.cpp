// SPDX-License-Identifier: MIT
// Print, print preview and the PDF choice of the Export button, driven as a user drives them.
#include <QFile>
#include <QFileDialog>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "main_window_fixture.h"

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
  const std::int64_t scrollY = State().view.ScrollY;
  for (const Row& row : rows) {
    // Closed unprinted: nothing reaches a printer or a file.
    ModalWatcher watcher;
    Key(Qt::Key_P, row.modifiers);
    ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); })) << row.what;
    EXPECT_EQ(watcher.seen[0].title, row.title) << row.what;
  }
  EXPECT_EQ(State().view.ScrollY, scrollY);
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

}  // namespace
}  // namespace nerin
