// SPDX-License-Identifier: MIT
// Compare with… in the window: starting, showing, stopping and a reference that does not load.
#include <functional>

#include <QAbstractItemModel>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "sources/plan_source.h"
#include "views/list_text.h"
#include "main_window_fixture.h"

namespace nerin {
namespace {

std::string CompareData(const std::string& name) {
  return std::string(NERIN_SOURCE_DIR) + "/tests/compare/data/" + name;
}

class CompareWindowTest : public test::MainWindowTest {
 protected:
  void StartOnSubject() {
    Start();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    test::ModalWatcher watcher;
    test::OpenAndWait(Window(), CompareData("subject.xml"));
    ASSERT_TRUE(ShownPlan().ProjectLoaded);
  }

  std::vector<test::ModalWatcher::Seen> CompareWith(const std::string& path) {
    test::ModalWatcher watcher;
    test::OpenAndWait(Window(), path, OpenOrigin::Reference);
    return watcher.seen;
  }

  int TaskColumns() { return C().TaskList->model()->columnCount(); }
  std::string LastColumnTitle() {
    QAbstractItemModel* model = C().TaskList->model();
    return model->headerData(model->columnCount() - 1, Qt::Horizontal).toString().toStdString();
  }
};

TEST_F(CompareWindowTest, AComparisonShowsAndEachWayOfStoppingEndsIt) {
  const struct {
    const char* how;
    std::function<void()> stop;
  } ways[] = {
      {"Esc", [this] { QTest::keyClick(&Window(), Qt::Key_Escape); }},
      {"button", [this] { C().CompareButton->click(); }},
      {"Ctrl+K", [this] { Window().RunCommand(Command::Compare); }},
      {"another plan",
       [this] {
         test::ModalWatcher watcher;
         test::OpenAndWait(Window(), CompareData("reference.xml"));
       }},
  };
  StartOnSubject();
  const std::string plainStatus = StatusText();
  for (const auto& way : ways) {
    EXPECT_TRUE(CompareWith(CompareData("reference.xml")).empty()) << way.how;
    ASSERT_TRUE(Window().Session().Comparing()) << way.how;
    EXPECT_TRUE(C().CompareButton->isChecked());
    EXPECT_EQ(StatusText().rfind("Compared with reference.xml: 4 tasks moved, 1 added, 1 removed", 0), 0u)
        << StatusText();
    EXPECT_EQ(TaskColumns(), std::ssize(TASK_LIST_COLUMNS) + 1);
    EXPECT_EQ(LastColumnTitle(), "Change");
    way.stop();
    Settle();
    EXPECT_FALSE(Window().Session().Comparing()) << way.how;
    EXPECT_FALSE(C().CompareButton->isChecked()) << way.how;
    EXPECT_EQ(TaskColumns(), std::ssize(TASK_LIST_COLUMNS)) << way.how;
    EXPECT_EQ(StatusText().find("Compared with"), std::string::npos) << way.how;
    if (std::string(way.how) == "another plan") break;
    EXPECT_EQ(StatusText(), plainStatus) << way.how;
  }
}

TEST_F(CompareWindowTest, AReferenceThatDoesNotLoadLeavesThePlanAndItsMessages) {
  StartOnSubject();
  const std::string status = StatusText();
  const std::int64_t tasks = ShownPlan().TaskCount();
  const std::size_t messages = ShownLog().messages.size();
  for (const std::string& path :
       {CompareData("missing.xml"), std::string(NERIN_SOURCE_DIR "/tests/data/rejected.xml")}) {
    const auto seen = CompareWith(path);
    ASSERT_EQ(seen.size(), 1u) << path;
    EXPECT_EQ(seen[0].title, PathFileName(path) + " not loaded") << path;
    EXPECT_FALSE(Window().Session().Comparing());
    EXPECT_FALSE(C().CompareButton->isChecked());
    EXPECT_EQ(ShownPlan().TaskCount(), tasks);
    EXPECT_EQ(ShownLog().messages.size(), messages);
    EXPECT_EQ(StatusText(), status);
  }
}

TEST_F(CompareWindowTest, WithoutAPlanThereIsNothingToCompare) {
  Start();
  test::ModalWatcher watcher;
  Window().RunCommand(Command::Compare);
  ASSERT_TRUE(test::WaitUntil([&] { return !watcher.seen.empty(); }));
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "Compare with");
  EXPECT_FALSE(Window().Session().Comparing());
  EXPECT_FALSE(C().CompareButton->isChecked());
}

}  // namespace
}  // namespace nerin
