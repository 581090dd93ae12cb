// SPDX-License-Identifier: MIT
// The Gantt chart in a real window, driven as a user drives it on the demo plan: the keys
// reach the session through the shortcuts, the scroll bars show its offsets, and the export
// writes its file. What each event does is checked without a window in viewer_session_test.
#include <QFile>
#include <QFileDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app/chart_canvas.h"
#include "main_window_fixture.h"

namespace nerin {
namespace {

using test::ModalWatcher;
using test::WaitUntil;

std::string DemoPlan() {
  return std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml";
}

class ChartWindowTest : public test::MainWindowTest {
 protected:
  void StartOnDemo() {
    Start({DemoPlan()});
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    ASSERT_TRUE(State().plan.ProjectLoaded);
    test::Pump(40);
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&Window(), key, modifiers);
    test::Pump(30);
  }

  std::int64_t MaxScrollY() {
    return State().session.Rows.RowCount * ROW_HEIGHT - RowAreaHeight(State().session.View);
  }
};

TEST_F(ChartWindowTest, NavigationKeysScrollTheChart) {
  StartOnDemo();
  ASSERT_GT(MaxScrollY(), 200) << "the demo plan must be taller than the test window";
  Key(Qt::Key_Down);
  EXPECT_EQ(State().session.View.ScrollY, 66);
  Key(Qt::Key_Up);
  EXPECT_EQ(State().session.View.ScrollY, 0);
  Key(Qt::Key_Up);
  EXPECT_EQ(State().session.View.ScrollY, 0);
  Key(Qt::Key_End);
  EXPECT_EQ(State().session.View.ScrollY, MaxScrollY());
  EXPECT_EQ(C().ChartVScroll->value(), C().ChartVScroll->maximum());
  EXPECT_GT(State().session.View.ScrollX, 0);
  Key(Qt::Key_Home);
  EXPECT_EQ(State().session.View.ScrollY, 0);
  EXPECT_EQ(State().session.View.ScrollX, 0);
  EXPECT_EQ(C().ChartVScroll->value(), 0);
  Key(Qt::Key_Right);
  EXPECT_EQ(State().session.View.ScrollX, 20);
}

TEST_F(ChartWindowTest, ZoomButtonsAndKeypadKeysActOnlyOnTheGantt) {
  StartOnDemo();
  C().ZoomInButton->click();
  EXPECT_FLOAT_EQ(State().session.View.DayWidth, 5.0f);
  C().ZoomOutButton->click();
  EXPECT_FLOAT_EQ(State().session.View.DayWidth, 4.0f);
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_FLOAT_EQ(State().session.View.DayWidth, 5.0f);
  C().ViewTabs->setCurrentIndex(1);
  test::Pump(30);
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  C().ZoomInButton->click();
  EXPECT_FLOAT_EQ(State().session.View.DayWidth, 5.0f);
}

TEST_F(ChartWindowTest, ExportSavesTheWholeChartWithThePngExtension) {
  StartOnDemo();
  Key(Qt::Key_Down);
  QTemporaryDir dir;
  const QString typed = dir.filePath(QStringLiteral("harbour"));
  ModalWatcher watcher([&](QWidget* window) {
    if (auto* files = qobject_cast<QFileDialog*>(window)) {
      test::ChooseInFileDialog(files, typed);
    } else {
      static_cast<QDialog*>(window)->reject();
    }
  });
  C().ExportButton->click();
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  EXPECT_EQ(watcher.seen[0].title, "Export Gantt chart");
  const std::string saved = (typed + QStringLiteral(".png")).toStdString();
  ASSERT_TRUE(QFile::exists(typed + QStringLiteral(".png")));
  EXPECT_EQ(StatusText(), "Gantt chart saved as " + saved);
  // The image starts at the chart's top-left corner; the view on screen stays where it was.
  EXPECT_EQ(State().session.View.ScrollY, 66);
}

}  // namespace
}  // namespace nerin
