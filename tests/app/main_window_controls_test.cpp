// SPDX-License-Identifier: MIT
// The main window's controls as their builder makes them, and its key tables.
#include <algorithm>
#include <functional>
#include <set>

#include <QKeyEvent>
#include <QShortcut>
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

int ShortcutsFor(const QWidget& window, const QKeySequence& key) {
  int count = 0;
  for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) count += shortcut->key() == key ? 1 : 0;
  return count;
}

// The navigation keys and Enter take turns, Esc comes and goes, and no key is registered twice
// however often the session repeats itself.
TEST(WindowKeysTest, NavigationKeysGiveWayToEnterAndEscComesAndGoes) {
  QWidget window;
  WindowKeys keys;
  std::vector<Command> run;
  keys.Register(&window, [&](Command command) { run.push_back(command); }, [](NavigationKey) {});
  const QKeySequence up(Qt::Key_Up);
  const QKeySequence enter(Qt::Key_Return);
  const QKeySequence escape(Qt::Key_Escape);
  const struct {
    const char* step;
    std::function<void()> change;
    int up, enter, escape;
  } steps[] = {
      {"registered", [] {}, 1, 0, 0},
      {"navigation on again", [&] { keys.SetNavigation(true); }, 1, 0, 0},
      {"off twice", [&] { keys.SetNavigation(false); keys.SetNavigation(false); }, 0, 1, 0},
      {"on", [&] { keys.SetNavigation(true); }, 1, 0, 0},
      {"Esc twice", [&] { keys.SetEscape(true); keys.SetEscape(true); }, 1, 0, 1},
      {"Esc away", [&] { keys.SetEscape(false); }, 1, 0, 0},
  };
  for (const auto& step : steps) {
    step.change();
    EXPECT_EQ(ShortcutsFor(window, up), step.up) << step.step;
    EXPECT_EQ(ShortcutsFor(window, enter), step.enter) << step.step;
    EXPECT_EQ(ShortcutsFor(window, escape), step.escape) << step.step;
  }
  EXPECT_EQ(ShortcutsFor(window, QKeySequence(Qt::CTRL | Qt::Key_C)), 1);
  EXPECT_TRUE(keys.IsCommandKey(QKeySequence(Qt::CTRL | Qt::Key_D)));
  EXPECT_FALSE(keys.IsCommandKey(QKeySequence(Qt::CTRL | Qt::Key_C)));
  EXPECT_FALSE(keys.IsCommandKey(up));
}

// The whole status line as a paragraph that wraps, the load report in fixed pitch; neither is
// ever read as markup.
TEST(StatusToolTipTest, TheLineWrapsAndTheReportKeepsItsColumns) {
  EXPECT_EQ(StatusToolTip("OK | <b>plan</b> & more", ""), "<p>OK | &lt;b&gt;plan&lt;/b&gt; &amp; more</p>");
  EXPECT_EQ(StatusToolTip("OK", "xml   1 ms\r\ntotal 2 ms"), "<p>OK</p><pre>xml   1 ms\ntotal 2 ms</pre>");
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
