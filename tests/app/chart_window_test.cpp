// SPDX-License-Identifier: MIT
// The Gantt chart in a real window, driven as a user drives it on the demo plan: the keys
// reach the session through the shortcuts, the scroll bars show its offsets, and the export
// writes its file. What each event does is checked without a window in viewer_session_test;
// here one check a control shows that it is connected.
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
    ASSERT_TRUE(ShownPlan().ProjectLoaded);
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&Window(), key, modifiers);
    Settle();
  }

  std::int64_t MaxScrollY() {
    return State().Rows.RowCount * ROW_HEIGHT - RowAreaHeight(State().View);
  }
};

// The keys reach the session and its offsets reach the scroll bars.
TEST_F(ChartWindowTest, NavigationKeysScrollTheChart) {
  StartOnDemo();
  ASSERT_GT(MaxScrollY(), 200) << "the demo plan must be taller than the test window";
  Key(Qt::Key_Down);
  EXPECT_EQ(State().View.ScrollY, 66);
  Key(Qt::Key_End);
  EXPECT_EQ(State().View.ScrollY, MaxScrollY());
  EXPECT_EQ(C().ChartVScroll->value(), C().ChartVScroll->maximum());
  Key(Qt::Key_Home);
  EXPECT_EQ(C().ChartVScroll->value(), 0);
}

TEST_F(ChartWindowTest, ZoomButtonsZoomTheChart) {
  StartOnDemo();
  C().ZoomInButton->click();
  EXPECT_FLOAT_EQ(State().View.DayWidth, 5.0f);
  C().ZoomOutButton->click();
  EXPECT_FLOAT_EQ(State().View.DayWidth, 4.0f);
}

// On X11 the keypad keys arrive as plain key presses at the focused control, never as shortcuts:
// sent that way here, past the shortcut machinery.
TEST_F(ChartWindowTest, KeypadKeysArrivingAsKeyPressesZoomAndFind) {
  StartOnDemo();
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool inSearchField;
    int zoom;  // 1 in, -1 out, 0 unchanged
    const char* fieldText;
  };
  const Case cases[] = {
      {"keypad + on the chart", Qt::Key_Plus, Qt::KeypadModifier, false, 1, ""},
      {"keypad - on the chart", Qt::Key_Minus, Qt::KeypadModifier, false, -1, ""},
      {"main + on the chart", Qt::Key_Plus, Qt::NoModifier, false, 0, ""},
      {"Ctrl + keypad +", Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier, false, 0, ""},
      {"keypad + typed", Qt::Key_Plus, Qt::KeypadModifier, true, 0, "+"},
      {"keypad - typed", Qt::Key_Minus, Qt::KeypadModifier, true, 0, "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const float before = State().View.DayWidth;
    C().SearchField->clear();
    QWidget* target = c.inSearchField ? static_cast<QWidget*>(C().SearchField) : C().ChartCanvas;
    target->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == target; }));
    const QString text = c.key == Qt::Key_Plus ? QStringLiteral("+") : QStringLiteral("-");
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    Settle();
    const float after = State().View.DayWidth;
    EXPECT_EQ(after > before ? 1 : after < before ? -1 : 0, c.zoom);
    EXPECT_EQ(C().SearchField->text().toStdString(), c.fieldText);
  }
  // The keypad Enter in the search field finds, as Enter does.
  C().SearchField->setText(QStringLiteral("quay wall"));
  C().SearchField->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return !State().NavigationKeysMode; }));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
  QCoreApplication::sendEvent(C().SearchField, &enter);
  EXPECT_GE(State().FindHighlight, 0);
}

TEST_F(ChartWindowTest, CollapseExpandAndCriticalChangeTheRows) {
  StartOnDemo();
  const std::int64_t all = State().Rows.RowCount;
  EXPECT_EQ(all, ShownPlan().TaskCount());
  C().CollapseButton->click();
  EXPECT_LT(State().Rows.RowCount, all);
  C().ExpandButton->click();
  EXPECT_EQ(State().Rows.RowCount, all);
  C().CriticalButton->click();
  EXPECT_TRUE(State().Rows.CriticalFilter);
  EXPECT_TRUE(C().CriticalButton->isChecked());
  EXPECT_EQ(State().Rows.RowCount, CountCriticalTasks(ShownPlan()));
  C().CriticalButton->click();
  EXPECT_FALSE(State().Rows.CriticalFilter);
  EXPECT_FALSE(C().CriticalButton->isChecked());
  EXPECT_EQ(State().Rows.RowCount, all);
}

TEST_F(ChartWindowTest, CriticalButtonRefusesAPlanWithoutCriticalTasks) {
  Start({test::AppData("bridge.xml")});
  ASSERT_TRUE(ShownPlan().ProjectLoaded);
  ASSERT_EQ(CountCriticalTasks(ShownPlan()), 0);
  ModalWatcher watcher;
  C().CriticalButton->click();
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  EXPECT_EQ(watcher.seen[0].title, "Critical path");
  EXPECT_EQ(watcher.seen[0].text, "This plan has no task flagged as critical.");
  EXPECT_FALSE(C().CriticalButton->isChecked());
  EXPECT_FALSE(State().Rows.CriticalFilter);
}

TEST_F(ChartWindowTest, DraggingTheColumnBorderStopsAtItsLimits) {
  StartOnDemo();
  QWidget* canvas = C().ChartCanvas;
  QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(392, 300));
  EXPECT_TRUE(State().View.SplitterDrag);
  QMouseEvent move(QEvent::MouseMove, QPointF(100, 300), canvas->mapToGlobal(QPointF(100, 300)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(canvas, &move);
  EXPECT_EQ(State().View.TaskColumnWidth, 260);
  QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 300));
  EXPECT_FALSE(State().View.SplitterDrag);
  EXPECT_EQ(State().View.TaskColumnWidth, 260);
}

TEST_F(ChartWindowTest, ExportRefusesWithoutAPlanOrOffTheGantt) {
  Start();
  ModalWatcher watcher;
  C().ExportButton->click();
  EXPECT_EQ(StatusText(), "Open a plan before exporting the chart.");
  Open("bridge.xml");
  C().ViewTabs->setCurrentIndex(1);
  C().ExportButton->click();
  // On a list tab the export writes the list: its save dialog offers CSV.
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "Export list");
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
  EXPECT_EQ(State().View.ScrollY, 66);
}

}  // namespace
}  // namespace nerin
