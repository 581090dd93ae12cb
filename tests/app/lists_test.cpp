// SPDX-License-Identifier: MIT
// The Tasks and Resources lists and Find in the window, driven as a user drives them.
#include <QScrollBar>
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/list_models.h"
#include "main_window_fixture.h"
#include "model/plan_text.h"
#include "views/list_text.h"

namespace nerin {
namespace {

using test::Element;

// A summary (task 0) over tasks 1 to 5, then single tasks; every third task is critical. Task
// i has UID and ID i + 1 and the name "Task" and its UID.
std::string ListPlanXml(int tasks, int resources) {
  std::string body;
  for (int i = 0; i < tasks; ++i) {
    body += test::TaskXml(i + 1, Element("OutlineLevel", i >= 1 && i <= 5 ? "2" : "1") +
                                     (i == 0 ? Element("Summary", "1") : "") +
                                     (i % 3 == 0 ? Element("Critical", "1") : ""));
  }
  std::string resourceBody;
  for (int r = 0; r < resources; ++r) resourceBody += test::ResourceXml(r + 1);
  return test::ProjectXml(Element("Tasks", body) + Element("Resources", resourceBody));
}

class ListsTest : public test::MainWindowTest {
 protected:
  void StartWith(const std::string& xml, ViewKind view = ViewKind::Gantt) {
    Start();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Load(xml);
    Window().Send(TabEvent{view});
  }

  void Load(const std::string& xml) {
    ASSERT_TRUE(folder_.isValid());
    const std::string path = folder_.filePath(QStringLiteral("lists.xml")).toStdString();
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray::fromStdString(xml));
    file.close();
    test::OpenAndWait(Window(), path);
    ASSERT_TRUE(ShownPlan().ProjectLoaded);
  }
  QTemporaryDir folder_;

  void Key(Qt::Key key, QWidget* target = nullptr) {
    QTest::keyClick(target != nullptr ? target : &Window(), key);
    Settle();
  }

  void Find(const QString& text) {
    C().SearchField->setText(text);
    Window().RunCommand(Command::FindNext);
  }

  std::int64_t TaskRow() { return SelectedRow(C().TaskList); }
  int TopRow(QTreeView* list) { return list->indexAt(QPoint(4, 2)).row(); }
};

TEST_F(ListsTest, EnterInTheSearchFieldFindsWhileUpStaysInTheField) {
  StartWith(ListPlanXml(40, 3), ViewKind::Tasks);
  const std::int64_t before = TaskRow();
  C().SearchField->setFocus();
  ASSERT_TRUE(test::WaitUntil([&] { return QApplication::focusWidget() == C().SearchField; }));
  QTest::keyClicks(C().SearchField, "task 12");
  Key(Qt::Key_Up, C().SearchField);
  EXPECT_EQ(TaskRow(), before);
  Key(Qt::Key_Return, C().SearchField);
  EXPECT_EQ(TaskRow(), 11);
  EXPECT_EQ(State().FindHighlight, 11);
  // Find hands the keyboard to the list, where Up moves the selection again.
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(C().TaskList));
  Key(Qt::Key_Up);
  EXPECT_EQ(TaskRow(), 10);
}

// The keys reach the session through the shortcuts, and its selection reaches the list, with the
// page the list's height gives (every key's move: viewer_session_test).
TEST_F(ListsTest, NavigationKeysMoveTheListSelection) {
  StartWith(ListPlanXml(100, 3), ViewKind::Tasks);
  const std::int64_t page = ListPageRows(C().TaskList->height());
  ASSERT_GT(page, 1);
  const std::pair<Qt::Key, std::int64_t> steps[] = {{Qt::Key_Down, 1}, {Qt::Key_PageDown, 1 + page}, {Qt::Key_End, 99}};
  for (const auto& [key, row] : steps) {
    Key(key);
    EXPECT_EQ(TaskRow(), row) << "key " << key;
  }
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(C().TaskList));
}

TEST_F(ListsTest, F5RefillsAndKeepsTheSelectedRowAndTheRowsInView) {
  StartWith(ListPlanXml(100, 12), ViewKind::Resources);
  ASSERT_TRUE(SelectListRow(C().ResourceList, 7));
  QSignalSpy refilled(C().ResourceList->model(), &QAbstractItemModel::modelReset);
  Key(Qt::Key_F5);
  EXPECT_EQ(refilled.count(), 1);
  EXPECT_EQ(SelectedRow(C().ResourceList), 7);
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(C().ResourceList));
  Window().Send(TabEvent{ViewKind::Tasks});
  ASSERT_TRUE(SelectListRow(C().TaskList, 60, QAbstractItemView::PositionAtTop));
  Key(Qt::Key_F5);
  EXPECT_EQ(TaskRow(), 60);
  EXPECT_EQ(TopRow(C().TaskList), 60);
}

TEST_F(ListsTest, FindingATaskHiddenByTheFilterSwitchesTheFilterOff) {
  StartWith(ListPlanXml(30, 3), ViewKind::Tasks);
  C().CriticalButton->click();
  ASSERT_TRUE(C().CriticalButton->isChecked());
  ASSERT_EQ(C().TaskList->model()->rowCount(), 10);
  Find("Task 8");  // task 7, not critical
  EXPECT_FALSE(State().Rows.CriticalFilter);
  EXPECT_FALSE(C().CriticalButton->isChecked());
  EXPECT_EQ(C().TaskList->model()->rowCount(), 30);
  EXPECT_EQ(State().Rows.RowCount, 30);
  EXPECT_EQ(TaskRow(), 7);
  EXPECT_EQ(State().FindHighlight, 7);
}

// The search field's text reaches the session, and its answer the status line (what Find finds
// and reveals: viewer_session_test).
TEST_F(ListsTest, FindInTheGanttViewRevealsTheTaskOrSaysThereIsNone) {
  StartWith(ListPlanXml(60, 3));
  Find("  task 5 ");
  EXPECT_EQ(State().FindHighlight, 4);
  Window().RunCommand(Command::FindNext);
  EXPECT_EQ(State().FindHighlight, 49);  // "Task 50"
  Find("xyz");
  EXPECT_EQ(StatusText(), "No match for 'xyz'.");
  EXPECT_EQ(State().Feedback.Button, ToolbarIcon::Find);
  EXPECT_EQ(State().FindHighlight, 49);
}

// The tab panel's switch reaches the session; the list shows its selection at the top, and the
// list's selection comes back as the chart's top row (folded and filtered rows:
// viewer_session_test).
TEST_F(ListsTest, SwitchingKeepsTheListAndTheChartOnTheSameTask) {
  StartWith(ListPlanXml(200, 3));
  C().ChartVScroll->setValue(30 * ROW_HEIGHT);  // task 30 on the chart's top row
  ASSERT_EQ(State().View.ScrollY, 30 * ROW_HEIGHT);
  C().ViewTabs->setCurrentIndex(static_cast<int>(ViewKind::Tasks));
  EXPECT_EQ(TaskRow(), 30);
  EXPECT_EQ(TopRow(C().TaskList), 30);
  ASSERT_TRUE(SelectListRow(C().TaskList, 3));
  C().ViewTabs->setCurrentIndex(static_cast<int>(ViewKind::Gantt));
  EXPECT_EQ(State().View.ScrollY, 3 * ROW_HEIGHT);
}

// The Tasks list shows what the Critical button says, whichever view the filter was changed in.
TEST_F(ListsTest, TasksListFollowsAFilterChangedInTheChart) {
  StartWith(ListPlanXml(30, 3), ViewKind::Tasks);  // filled with every task
  ASSERT_EQ(C().TaskList->model()->rowCount(), 30);
  struct Step {
    bool pressInChart;
    int rows;
  };
  const Step steps[] = {{true, 10}, {false, 10}, {true, 30}};
  for (const Step& step : steps) {
    C().ViewTabs->setCurrentIndex(static_cast<int>(ViewKind::Gantt));
    if (step.pressInChart) {
      C().CriticalButton->click();
    }
    C().ViewTabs->setCurrentIndex(static_cast<int>(ViewKind::Tasks));
    EXPECT_EQ(C().TaskList->model()->rowCount(), step.rows);
    EXPECT_EQ(C().CriticalButton->isChecked(), step.rows == 10);
  }
}

TEST_F(ListsTest, ModelsKeepTheItemModelRules) {
  StartWith(ListPlanXml(12, 4));
  TaskListRows rows;
  TaskListModel tasks(ShownPlan(), rows, nullptr);
  ResourceListModel resources(ShownPlan(), nullptr);
  QAbstractItemModelTester taskTester(&tasks, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QAbstractItemModelTester resourceTester(&resources, QAbstractItemModelTester::FailureReportingMode::Fatal);
  FillTaskListRows(rows, ShownPlan(), true);
  tasks.ShowRows();
  resources.Fill();
  EXPECT_EQ(tasks.rowCount(), 4);
  EXPECT_EQ(tasks.index(1, 2).data().toString(), "Task 4");
  EXPECT_EQ(resources.rowCount(), 4);
  EXPECT_EQ(resources.index(3, 4).data().toString(), "100%");
  // A cell's tooltip holds its whole text, also where the list cuts a very long one.
  EXPECT_EQ(tasks.index(1, 2).data(Qt::ToolTipRole).toString(), "Task 4");
  Load(test::ProjectXml(
      Element("Tasks", test::TaskXml(1, Element("Name", std::string(MAX_LIST_CELL_UNITS + 50, 'n'))))));
  tasks.SetPlan(ShownPlan());
  FillTaskListRows(rows, ShownPlan(), false);
  tasks.ShowRows();
  EXPECT_LT(tasks.index(0, 2).data().toString().size(), static_cast<qsizetype>(MAX_LIST_CELL_UNITS + 50));
  EXPECT_EQ(tasks.index(0, 2).data(Qt::ToolTipRole).toString().size(),
            static_cast<qsizetype>(MAX_LIST_CELL_UNITS + 50));
  Load(ListPlanXml(3, 0));
  // The plan before is gone: the models read the one shown now.
  tasks.SetPlan(ShownPlan());
  resources.SetPlan(ShownPlan());
  FillTaskListRows(rows, ShownPlan(), false);
  tasks.ShowRows();
  resources.Fill();
  EXPECT_EQ(tasks.rowCount(), 3);
  EXPECT_EQ(resources.rowCount(), 0);
  ClearTaskListRows(rows);
  tasks.Clear();
  EXPECT_EQ(tasks.rowCount(), 0);
}

// The right edge of a list's last column, in its viewport.
int LastColumnRight(const QTreeView* list) {
  const QHeaderView* header = list->header();
  const int last = header->count() - 1;
  return header->sectionViewportPosition(last) + header->sectionSize(last);
}

void DoubleClickHandle(QTreeView* list, int column) {
  QHeaderView* header = list->header();
  const QPoint edge(header->sectionViewportPosition(column) + header->sectionSize(column) - 1, header->height() / 2);
  QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, edge);
}

// No room stays empty while the last column cuts its texts; a double-click on a header's edge
// fits the column to what it holds, but never wider than the list.
TEST_F(ListsTest, TheLastColumnFillsTheListAndAnEdgeDoubleClickFitsAColumn) {
  const std::string email = "someone.with.a.long.name@a-rather-long-company-domain.example";
  const std::string resources = test::ResourceXml(1, Element("EmailAddress", email)) + test::ResourceXml(2);
  const std::string tasks =
      test::TaskXml(1, Element("Name", std::string(900, 'w'))) + test::TaskXml(2, Element("Name", "Short"));
  StartWith(test::ProjectXml(Element("Tasks", tasks) + Element("Resources", resources)), ViewKind::Resources);
  Window().resize(1400, 700);
  QTreeView* list = C().ResourceList;
  EXPECT_TRUE(test::WaitUntil([&] { return LastColumnRight(list) == list->viewport()->width(); }))
      << LastColumnRight(list) << " of " << list->viewport()->width();

  const int emailWidth = list->fontMetrics().horizontalAdvance(QString::fromStdString(email));
  ASSERT_LT(list->columnWidth(3), emailWidth);
  DoubleClickHandle(list, 3);
  EXPECT_GE(list->columnWidth(3), emailWidth);
  EXPECT_LT(list->columnWidth(3), emailWidth + 40);
  EXPECT_EQ(LastColumnRight(list), list->viewport()->width()) << "the last column gives way";
  EXPECT_TRUE(list->header()->sortIndicatorSection() < 0 ||
              list->header()->sortIndicatorSection() >= list->header()->count())
      << "fitting a column does not sort by it";

  // A name far wider than the list: the column takes the list's width, no more.
  Window().Send(TabEvent{ViewKind::Tasks});
  DoubleClickHandle(C().TaskList, 2);
  EXPECT_EQ(C().TaskList->columnWidth(2), C().TaskList->viewport()->width());
}

TEST_F(ListsTest, ExportTooltipSaysWhatTheTabShownSaves) {
  StartWith(ListPlanXml(5, 2));
  const std::pair<ViewKind, const char*> tabs[] = {
      {ViewKind::Tasks, "Save the Tasks list as a CSV file"},
      {ViewKind::Resources, "Save the Resources list as a CSV file"},
      {ViewKind::Gantt, "Save the chart as a PNG image or PDF document"},
  };
  for (const auto& [view, tooltip] : tabs) {
    C().ViewTabs->setCurrentIndex(static_cast<int>(view));
    EXPECT_EQ(C().ExportButton->toolTip().toStdString(), tooltip);
  }
}

// Long names and notes with line breaks, tabs, wide and right-to-left letters, combining
// marks and emoji: 38 UTF-16 units a time.
std::string WildText(int times) {
  std::string text;
  for (int i = 0; i < times; ++i) {
    text +=
        "Line\n\tbreak \xE6\xBC\xA2\xE5\xAD\x97 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D "
        "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8"
        "\xD8\xA7 e\xCC\x81\xCC\xA7 \xF0\x9F\x98\x80\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x94\xA7 ";
  }
  return text;
}

TEST_F(ListsTest, WildTextsAndEmptyPlansNeitherCrashNorHang) {
  std::string body;
  for (int i = 0; i < 20; ++i)
    body += test::TaskXml(i + 1, Element("Name", WildText(105)) + Element("Notes", WildText(105)));
  StartWith(test::ProjectXml(Element("Tasks", body) +
                             Element("Resources", test::ResourceXml(1, Element("Name", WildText(105))))));
  for (const ViewKind view : {ViewKind::Tasks, ViewKind::Resources, ViewKind::Gantt}) {
    Window().Send(TabEvent{view});
    EXPECT_FALSE(Window().grab().isNull());
    Find(QString::fromUtf8("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D E\xCC\x81"));
    Find(QString(10000, QLatin1Char('q')));
  }
  Window().Send(TabEvent{ViewKind::Tasks});
  Find(QStringLiteral("break"));
  for (int i = 1; i < 5000; ++i) Window().RunCommand(Command::FindNext);
  EXPECT_EQ(State().FindHighlight, 4999 % 20);
  // No resources, then no tasks.
  for (const std::string& xml :
       {ListPlanXml(5, 0), test::ProjectXml(Element("Resources", test::ResourceXml(1)))}) {
    Load(xml);
    for (const ViewKind view : {ViewKind::Tasks, ViewKind::Resources, ViewKind::Gantt}) {
      Window().Send(TabEvent{view});
      Find(QStringLiteral("Resource"));
      Key(Qt::Key_End);
      Key(Qt::Key_F5);
    }
  }
  EXPECT_EQ(C().TaskList->model()->rowCount(), 0);
  EXPECT_EQ(SelectedRow(C().ResourceList), 0);
  EXPECT_FALSE(Window().grab().isNull());
}

}  // namespace
}  // namespace nerin
