// SPDX-License-Identifier: MIT
// The fixed-size windows on whatever screen the tests run on (ctest runs them on 1024 x 600 and
// 800 x 600 as well): the whole window and every button on it lie on the screen, and a window
// keeps the size it asks for where the screen has room for it.
#include <QAbstractButton>
#include <QInputDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <functional>

#include "main_window_fixture.h"

namespace nerin {
namespace {

struct WindowCase {
  const char* name;
  QSize requested;  // empty: sized by its own layout
  std::function<void(MainWindow&)> open;
};

struct Seen {
  QRect area;
  QRect frame;
  QSize size;
  std::vector<std::pair<std::string, QRect>> buttons;  // on the screen
};

Seen Inspect(QWidget* window) {
  Seen seen;
  seen.area = window->screen()->availableGeometry();
  seen.frame = window->frameGeometry();
  seen.size = window->size();
  for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (button->isVisibleTo(window) && qobject_cast<const QToolButton*>(button) == nullptr) {
      seen.buttons.emplace_back(button->text().toStdString(),
                                QRect(button->mapToGlobal(QPoint(0, 0)), button->size()));
    }
  }
  return seen;
}

class SmallScreenTest : public test::MainWindowTest {};

TEST_F(SmallScreenTest, EveryButtonOfEveryFixedWindowIsOnTheScreen) {
  const WindowCase cases[] = {
      {"task details", QSize(760, 620), [](MainWindow& w) { w.Send(PointerEvent{PointerAction::DoubleClick, 500, 88 + 5, true}); }},
      {"help", QSize(800, 760), [](MainWindow& w) { w.Controls().HelpButton->click(); }},
      {"about", QSize(640, 380), [](MainWindow& w) { w.Controls().AboutButton->click(); }},
      {"messages", QSize(), [](MainWindow& w) { w.RunCommand(Command::Messages); }},
      {"address", QSize(), [](MainWindow& w) { w.RunCommand(Command::OpenAddress); }},
  };
  Start({std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml"});
  ASSERT_TRUE(ShownPlan().ProjectLoaded);
  Window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  const QRect area = Window().screen()->availableGeometry();
  const QMargins margins(Window().geometry().left() - Window().frameGeometry().left(),
                         Window().geometry().top() - Window().frameGeometry().top(),
                         Window().frameGeometry().right() - Window().geometry().right(),
                         Window().frameGeometry().bottom() - Window().geometry().bottom());
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " on " + std::to_string(area.width()) + " x " +
                 std::to_string(area.height()));
    std::vector<Seen> seen;
    test::ModalWatcher watcher([&](QWidget* window) {
      seen.push_back(Inspect(window));
      qobject_cast<QDialog*>(window)->reject();
    });
    c.open(Window());
    ASSERT_TRUE(test::WaitUntil([&] { return !seen.empty(); }));
    ASSERT_EQ(seen.size(), 1u);
    const Seen& s = seen[0];
    EXPECT_TRUE(area.contains(s.frame)) << s.frame.x() << "," << s.frame.y() << " " << s.frame.width() << "x"
                                        << s.frame.height();
    for (const auto& [text, rect] : s.buttons) {
      EXPECT_TRUE(area.contains(rect)) << text;
      EXPECT_TRUE(s.frame.contains(rect)) << text;
    }
    const bool room = area.width() >= c.requested.width() + margins.left() + margins.right() &&
                      area.height() >= c.requested.height() + margins.top() + margins.bottom();
    if (!c.requested.isEmpty() && room) {
      // The details window grows with the text of the task it shows, where the screen has room.
      EXPECT_EQ(s.size.width(), c.requested.width());
      EXPECT_GE(s.size.height(), c.requested.height());
    }
  }
}

// On a screen too short for the task details, the part above the buttons scrolls, so that
// the lists of linked tasks can still be reached.
TEST_F(SmallScreenTest, TaskDetailsScrollWhereTheScreenIsShort) {
  Start({std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml"});
  ASSERT_TRUE(ShownPlan().ProjectLoaded);
  int height = 0;
  int scrollRange = -1;
  int widthLeftOver = -1;  // of the visible width, beside the controls
  test::ModalWatcher watcher([&](QWidget* window) {
    height = window->height();
    if (auto* content = window->findChild<QScrollArea*>(QStringLiteral("content"))) {
      scrollRange = content->verticalScrollBar()->maximum();
      widthLeftOver = content->viewport()->width() - content->widget()->width();
    }
    qobject_cast<QDialog*>(window)->reject();
  });
  Window().Send(PointerEvent{PointerAction::DoubleClick, 500, 88 + 5, true});
  ASSERT_TRUE(test::WaitUntil([&] { return height > 0; }));
  // What the window lacks of its full height, the controls above the buttons scroll by.
  EXPECT_EQ(scrollRange > 0, height < 620);
  EXPECT_GE(scrollRange, 620 - height);
  // Nothing to scroll across: the controls take the width beside the scroll bar.
  EXPECT_EQ(widthLeftOver, 0);
}

}  // namespace
}  // namespace nerin
