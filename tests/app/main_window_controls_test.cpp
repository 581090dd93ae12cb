// SPDX-License-Identifier: MIT
// The main window's controls as their builder makes them, and its key tables.
#include <algorithm>
#include <set>

#include <QKeyEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/main_window_controls.h"
#include "app/list_models.h"
#include "model/plan.h"

namespace nerin {
namespace {

struct KeypadCase {
  const char* name;
  int key;
  Qt::KeyboardModifiers modifiers;
  bool navigationKeys;
  std::optional<Command> expected;
};

class KeypadCommandTest : public ::testing::TestWithParam<KeypadCase> {};

TEST_P(KeypadCommandTest, OnlyBareKeypadKeysRunCommands) {
  const KeypadCase& c = GetParam();
  const QKeyEvent key(QEvent::KeyPress, c.key, c.modifiers);
  EXPECT_EQ(KeypadCommand(key, c.navigationKeys), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeypadCommandTest,
    ::testing::Values(
        KeypadCase{"PlusZooms", Qt::Key_Plus, Qt::KeypadModifier, true, Command::ZoomIn},
        KeypadCase{"MinusZooms", Qt::Key_Minus, Qt::KeypadModifier, false, Command::ZoomOut},
        KeypadCase{"EnterFindsInSearchField", Qt::Key_Enter, Qt::KeypadModifier, false, Command::FindNext},
        KeypadCase{"EnterIdleOnChart", Qt::Key_Enter, Qt::KeypadModifier, true, std::nullopt},
        KeypadCase{"MainPlusTypes", Qt::Key_Plus, Qt::NoModifier, true, std::nullopt},
        KeypadCase{"CtrlKeypadPlusIgnored", Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier, true,
                   std::nullopt},
        KeypadCase{"KeypadDigitIgnored", Qt::Key_5, Qt::KeypadModifier, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandKeysTest, EachKeyRunsOneCommandAndLeavesCopyAndNavigationToTheControls) {
  std::set<int> seen;
  for (const CommandKey& command : CommandKeys()) {
    ASSERT_EQ(command.Key.count(), 1);
    EXPECT_TRUE(seen.insert(command.Key[0].toCombined()).second) << command.Key.toString().toStdString();
  }
  // The search field keeps Ctrl+C for its text; the navigation keys move in the views.
  EXPECT_FALSE(seen.contains(QKeyCombination(Qt::CTRL | Qt::Key_C).toCombined()));
  for (const NavigationBinding& binding : NavigationBindings()) {
    EXPECT_FALSE(seen.contains(binding.Key));
  }
  EXPECT_EQ(NavigationBindings().size(), 8u);
}

TEST(BuildControlsTest, MakesEveryControlWithTheGanttPageCurrent) {
  QWidget window;
  window.resize(1100, 700);
  ToolbarIconSet icons;
  Plan plan;
  TaskListRows rows;
  std::vector<std::int64_t> order;
  TaskListModel tasks(plan, rows, &window);
  ResourceListModel resources(plan, &order, &window);
  const ChartFonts fonts;
  const MainWindowControls c = BuildControls(&window, icons, fonts, &tasks, &resources);

  ASSERT_NE(c.ViewTabs, nullptr);
  EXPECT_EQ(c.ViewTabs->count(), 3);
  EXPECT_EQ(c.ViewTabs->currentIndex(), 0);
  EXPECT_EQ(ListOf(c, ViewKind::Tasks)->model(), &tasks);
  EXPECT_EQ(ListOf(c, ViewKind::Resources)->model(), &resources);
  EXPECT_EQ(c.OpenButton->menu(), c.RecentMenu);
  // The flashing buttons are found by their icon; no icon beyond the toolbar's finds one.
  EXPECT_EQ(ButtonOfIcon(c, ToolbarIcon::Open), c.OpenButton);
  EXPECT_EQ(ButtonOfIcon(c, ToolbarIcon::Export), c.ExportButton);
  EXPECT_EQ(ButtonOfIcon(c, ToolbarIcon::About), c.AboutButton);
  EXPECT_EQ(ButtonOfIcon(c, ToolbarIcon::FindFeedback), nullptr);
  const auto buttons = ButtonCommands(c);
  EXPECT_TRUE(std::none_of(buttons.begin(), buttons.end(), [](const auto& b) { return b.first == nullptr; }));
}

}  // namespace
}  // namespace nerin
