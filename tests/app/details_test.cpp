// SPDX-License-Identifier: MIT
// The task details window and the hover summary in the window: opened from the chart and the
// Tasks list, walked along links, and the box after the pointer rests on a row.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include "main_window_fixture.h"
#include "views/task_details_text.h"

namespace nerin {
namespace {

using test::ModalWatcher;
using test::WaitUntil;

// The window's title and its predecessor rows, "ID Task Type" each.
std::string Look(QWidget* dialog) {
  std::string look = dialog->windowTitle().toStdString();
  const auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("predecessors"));
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list->topLevelItem(i);
    look += " | " + (item->text(0) + " " + item->text(1) + " " + item->text(2)).toStdString();
  }
  return look;
}

void ClickRow(QTreeWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Phase (summary, not critical) over Step (critical); Finish (critical) follows Phase.
class DetailsTest : public test::MainWindowTest {
 protected:
  void StartOnLinkedPlan() {
    Start({test::AppData("linked-phases.xml")});
    ASSERT_EQ(ShownPlan().TaskCount(), 3);
  }

  // The middle of a chart row, in drawing pixels.
  static std::int64_t RowY(std::int64_t row) { return CHART_TOP + row * ROW_HEIGHT + ROW_HEIGHT / 2; }
};

// A double-click of the mouse on the chart reaches the session, which opens the row's task
// (where not on a fold triangle: viewer_session_test).
TEST_F(DetailsTest, DoubleClickOpensTheRowButNotOnAFoldTriangle) {
  StartOnLinkedPlan();
  ModalWatcher watcher;
  QTest::mouseDClick(C().ChartCanvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, static_cast<int>(RowY(1))));
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  EXPECT_EQ(watcher.seen[0].title, "Task details - ID 2");
  EXPECT_EQ(State().Rows.RowCount, 3) << "a double-click neither folds nor unfolds";
}

// Finish's predecessor Phase is folded and, not being critical, hidden by the filter.
TEST_F(DetailsTest, FollowingALinkToAFoldedSummaryUnfoldsItAndLiftsTheFilter) {
  StartOnLinkedPlan();
  Window().Send(PointerEvent{PointerAction::Press, 9, RowY(0), true});
  Window().Send(PointerEvent{PointerAction::Release, 9, RowY(0), false});
  C().CriticalButton->click();
  ASSERT_EQ(State().Rows.RowCount, 1);

  std::vector<std::string> seen;
  ModalWatcher watcher([&](QWidget* dialog) {
    seen.push_back(Look(dialog));
    auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("predecessors"));
    ClickRow(list, 0);  // within 400 ms of opening: stays
    QTest::qWait(50);
    seen.push_back(Look(dialog));
    QTest::qWait(LINK_CLICK_GUARD_MS);
    ClickRow(list, 0);
    WaitUntil([&] { return Look(dialog) != seen.back(); }, 1000);
    seen.push_back(Look(dialog));
    dialog->findChild<QPushButton*>(QStringLiteral("successorsButton"))->click();
    seen.push_back(Look(dialog));
    dialog->findChild<QPushButton*>(QStringLiteral("close"))->click();
  });
  Window().Send(PointerEvent{PointerAction::DoubleClick, 100, RowY(0), true});
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Task details - ID 3 | 1 Phase FS", "Task details - ID 3 | 1 Phase FS",
                                      "Task details - ID 1", "Task details - ID 3 | 1 Phase FS"}));
  EXPECT_FALSE(State().Rows.CriticalFilter);
  EXPECT_FALSE(C().CriticalButton->isChecked());
  EXPECT_EQ(State().Rows.RowCount, 3);
}

TEST_F(DetailsTest, TasksListDoubleClickOpensTheRowsTask) {
  StartOnLinkedPlan();
  C().ViewTabs->setCurrentIndex(1);
  QTreeView* list = C().TaskList;
  ASSERT_EQ(list->model()->rowCount(), 3);
  ModalWatcher watcher;
  const QPoint row = list->visualRect(list->model()->index(2, 1)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "Task details - ID 3");
}

// Compared with an earlier version, "Masts up" has five changed fields: the details box grows
// to show them all, and the window with it.
TEST_F(DetailsTest, TheDetailsBoxGrowsToShowEveryChange) {
  Start();
  {
    ModalWatcher watcher;
    test::OpenAndWait(Window(), std::string(NERIN_SOURCE_DIR) + "/tests/compare/data/subject.xml");
    test::OpenAndWait(Window(), std::string(NERIN_SOURCE_DIR) + "/tests/compare/data/reference.xml",
                      OpenOrigin::Reference);
  }
  ASSERT_TRUE(Window().Session().Comparing());
  std::int64_t task = -1;
  for (std::int64_t i = 0; i < ShownPlan().TaskCount(); ++i) {
    if (ShownPlan().Tasks[static_cast<std::size_t>(i)].Name == "Masts up") task = i;
  }
  ASSERT_GE(task, 0);
  const std::int64_t row = State().Rows.TaskRow[static_cast<std::size_t>(task)];
  ASSERT_GE(row, 0);

  int boxHeight = 0;
  int hiddenLines = -1;
  QSize size;
  std::string text;
  ModalWatcher watcher([&](QWidget* dialog) {
    auto* box = dialog->findChild<QPlainTextEdit*>(QStringLiteral("details"));
    boxHeight = box->height();
    hiddenLines = box->verticalScrollBar()->maximum();
    size = dialog->size();
    text = box->toPlainText().toStdString();
    qobject_cast<QDialog*>(dialog)->reject();
  });
  Window().Send(PointerEvent{PointerAction::DoubleClick, 500, RowY(row), true});
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_NE(text.find("Assignments"), std::string::npos) << text;
  EXPECT_GT(boxHeight, 148);
  EXPECT_EQ(hiddenLines, 0) << "every line in view";
  EXPECT_EQ(size, QSize(760, 620 + boxHeight - 148));
}

}  // namespace
}  // namespace nerin
