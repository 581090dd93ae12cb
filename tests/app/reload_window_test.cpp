// SPDX-License-Identifier: MIT
// Reload, the remembered settings and the lists handed on, in the real window: a plan file
// changed on disk in the ways exporters and editors change it, the recent plans, the
// clipboard and the CSV export read back by a standard CSV reader.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/viewer_settings.h"
#include "main_window_fixture.h"
#include "views/list_text.h"

namespace nerin::test {
namespace {

// A plan of three tasks; `names` are their names as XML text.
QByteArray PlanXml(const std::vector<std::string>& names) {
  std::string tasks;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    tasks += "<Task><UID>" + n + "</UID><ID>" + n + "</ID><Name>" + names[i] +
             "</Name><OutlineLevel>1</OutlineLevel><Start>2026-03-0" + n + "T08:00:00</Start><Finish>2026-03-1" + n +
             "T17:00:00</Finish><Duration>PT40H0M0S</Duration></Task>";
  }
  return QByteArray::fromStdString(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Project xmlns=\"http://schemas.microsoft.com/project\">"
      "<Name>Reloaded</Name><StartDate>2026-03-01T08:00:00</StartDate><FinishDate>2026-03-31T17:00:00</FinishDate>"
      "<Tasks>" + tasks + "</Tasks></Project>");
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class ReloadWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    path_ = folder_.filePath(QStringLiteral("plan.xml"));
    ASSERT_TRUE(Write(path_, PlanXml({"Alpha", "Charlie", "Bravo"})));
  }
  std::string TaskName(std::int64_t index) { return ShownPlan().Tasks[static_cast<std::size_t>(index)].Name; }
  void OpenPath() {
    ModalWatcher watcher;
    test::OpenAndWait(Window(), path_.toStdString());
  }
  bool NameIs(const std::string& name) {
    return ShownPlan().ProjectLoaded && ShownPlan().TaskCount() == 3 && TaskName(0) == name;
  }

  QTemporaryDir folder_;
  QString path_;
};

// The file changes on disk while shown: good versions are read by themselves and keep the
// view and the sort; bad ones leave the shown plan and say so in the status line, with no
// window over the plan, and the next good write reloads.
TEST_F(ReloadWindowTest, TheShownFileIsReadAgainWhenItChangesAndKeepsTheView) {
  MainWindow& window = Start();
  OpenPath();
  ASSERT_TRUE(NameIs("Alpha"));
  window.RunCommand(Command::ZoomIn);
  const float dayWidth = State().View.DayWidth;
  C().ViewTabs->setCurrentIndex(1);
  C().TaskList->header()->sectionClicked(2);  // by name
  ASSERT_EQ(State().TaskSort.Direction, SortDirection::Ascending);
  EXPECT_EQ(C().TaskList->header()->sortIndicatorSection(), 2);

  struct Step {
    const char* name;
    std::function<bool()> change;
    std::string expectedName;  // the first task's name after the change settled
    bool failed;  // the status line says the reload failed
  };
  const QString aside = folder_.filePath(QStringLiteral("plan.xml.new"));
  const Step steps[] = {
      {"rewritten in place", [&] { return Write(path_, PlanXml({"Alpha 2", "C", "B"})); }, "Alpha 2", false},
      {"broken", [&] { return Write(path_, "<Project><Tasks><Task>"); }, "Alpha 2", true},
      {"empty", [&] { return Write(path_, ""); }, "Alpha 2", true},
      {"renamed over",
       [&] { return Write(aside, PlanXml({"Alpha 3", "C", "B"})) && QFile::remove(path_) && QFile::rename(aside, path_); },
       "Alpha 3", false},
      // A file deleted is waited for (editors delete and write anew): the plan stays, unreported.
      {"deleted", [&] { return QFile::remove(path_); }, "Alpha 3", false},
      {"recreated", [&] { return Write(path_, PlanXml({"Alpha 4", "C", "B"})); }, "Alpha 4", false},
  };
  for (const Step& step : steps) {
    ModalWatcher watcher;
    ASSERT_TRUE(step.change()) << step.name;
    const auto reported = [&] { return StatusText().find("could not be reloaded") != std::string::npos; };
    EXPECT_TRUE(WaitUntil([&] { return NameIs(step.expectedName) && (!step.failed || reported()); }, 5000))
        << step.name;
    // The watch waits for quiet before it reports; nothing more comes after that (a check that
    // something does not happen: it takes the quiet time and some more).
    Pump(PLAN_QUIET_MILLISECONDS + 400);
    test::WaitUntilSettled(window);
    EXPECT_TRUE(NameIs(step.expectedName)) << step.name;
    EXPECT_TRUE(watcher.seen.empty()) << step.name;
    EXPECT_EQ(reported(), step.failed) << step.name;
    // The messages button offers the failed attempt's messages while the plan stays.
    EXPECT_EQ(C().MessagesButton->isVisible() && C().MessagesButton->text().startsWith("View errors"), step.failed)
        << step.name;
    EXPECT_EQ(State().View.DayWidth, dayWidth) << step.name;
    EXPECT_EQ(State().TaskSort.Direction, SortDirection::Ascending) << step.name;
    EXPECT_EQ(C().TaskList->header()->sortIndicatorSection(), 2) << step.name;
    // The list shows the plan as it is now, in its sort: "Alpha …", "B", "C".
    EXPECT_EQ(C().TaskList->model()->index(0, 2).data().toString().toStdString(), step.expectedName);
    EXPECT_EQ(C().TaskList->model()->index(2, 2).data().toString().toStdString(), "C");
  }
  // Twenty writes in one second give one read of the last.
  {
    ModalWatcher watcher;
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(Write(path_, PlanXml({"Burst " + std::to_string(i), "C", "B"})));
      Pump(50);
    }
    EXPECT_TRUE(WaitUntil([&] { return NameIs("Burst 19"); }, 5000));
    EXPECT_TRUE(watcher.seen.empty());
  }
  // Ctrl+R reads it again too.
  ASSERT_TRUE(QFile::remove(path_));
  ASSERT_TRUE(Write(path_, PlanXml({"By hand", "C", "B"})));
  QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
  EXPECT_TRUE(WaitUntil([&] { return NameIs("By hand"); }));
}

// The settings of a run are those of the next; a recent plan that no longer opens leaves.
TEST_F(ReloadWindowTest, SettingsAndRecentPlansRoundTrip) {
  const QString settingsPath = folder_.filePath(QStringLiteral("config/nerin-viewer.conf"));
  ViewerSettings start;
  start.DayWidth = 9.0f;
  start.TaskColumnWidth = 500;
  const std::string unreachable = "http://127.0.0.1:9/plan.xml";
  start.RecentPlans = {unreachable, "/nowhere/gone.xml"};
  MainWindow& window = Start();
  window.UseSettings(start, settingsPath);
  EXPECT_EQ(State().View.DayWidth, 9.0f);
  ASSERT_EQ(C().OpenButton->menu()->actions().size(), 2);

  OpenPath();
  ViewerSettings saved = LoadViewerSettings(settingsPath);
  ASSERT_EQ(saved.RecentPlans.size(), 3u);
  EXPECT_EQ(saved.RecentPlans[0], QFileInfo(path_).absoluteFilePath().toStdString());

  for (const std::string& gone : {unreachable, std::string("/nowhere/gone.xml")}) {
    ModalWatcher watcher;
    test::OpenAndWait(window, gone, OpenOrigin::Recent);
    ASSERT_EQ(watcher.seen.size(), 1u) << gone;
    EXPECT_NE(watcher.seen[0].title.find(" not loaded"), std::string::npos);
    EXPECT_TRUE(NameIs("Alpha")) << gone;
  }
  saved = LoadViewerSettings(settingsPath);
  EXPECT_EQ(saved.RecentPlans.size(), 1u);
  EXPECT_EQ(C().OpenButton->menu()->actions().size(), 1);
  window.RunCommand(Command::ZoomOut);
  ASSERT_LT(State().View.DayWidth, 9.0f);
  window.close();
  saved = LoadViewerSettings(settingsPath);
  EXPECT_FLOAT_EQ(saved.DayWidth, State().View.DayWidth);
  EXPECT_EQ(saved.TaskColumnWidth, 500);
  EXPECT_EQ(saved.LastFolder, QFileInfo(path_).absolutePath().toStdString());
}

// Ctrl+C and Export list with names that carry commas, quotes, line breaks and tabs.
TEST_F(ReloadWindowTest, CopyAndCsvKeepAwkwardNamesWhole) {
  const std::vector<std::string> names = {"Comma, and \"quotes\"", "Line&#10;break", "Tab&#9;here"};
  ASSERT_TRUE(Write(path_, PlanXml(names)));
  MainWindow& window = Start();
  OpenPath();
  ASSERT_TRUE(ShownPlan().ProjectLoaded);
  C().ViewTabs->setCurrentIndex(1);
  C().TaskList->selectAll();
  QTest::keyClick(C().TaskList, Qt::Key_C, Qt::ControlModifier);
  const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 4);  // the header and one line per task
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("ID\tOutline\tTask")));
  EXPECT_EQ(lines[2].split(QLatin1Char('\t')).value(2), QStringLiteral("Line break"));

  const QString csv = folder_.filePath(QStringLiteral("tasks.csv"));
  ModalWatcher watcher([&](QWidget* dialog) {
    if (auto* files = qobject_cast<QFileDialog*>(dialog)) ChooseInFileDialog(files, csv);
  });
  window.RunCommand(Command::Export);
  ASSERT_TRUE(WaitUntil([&] { return QFile::exists(csv); }));
  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
  if (python.isEmpty()) GTEST_SKIP() << "python3 reads the CSV back";
  QProcess reader;
  reader.start(python, {QStringLiteral("-c"),
                        QStringLiteral("import csv,sys\n"
                                       "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='utf-8')))\n"
                                       "print(len(rows));[print(repr(r[2])) for r in rows[1:]]"),
                        csv});
  ASSERT_TRUE(reader.waitForFinished(10000));
  const QStringList out = QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'));
  ASSERT_GE(out.size(), 4);
  EXPECT_EQ(out[0], QStringLiteral("4"));
  EXPECT_EQ(out[1], QStringLiteral("'Comma, and \"quotes\"'"));
  EXPECT_EQ(out[2], QStringLiteral("'Line\\nbreak'"));
  EXPECT_EQ(out[3], QStringLiteral("'Tab\\there'"));
}

}  // namespace
}  // namespace nerin::test
