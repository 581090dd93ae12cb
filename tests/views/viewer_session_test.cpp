// SPDX-License-Identifier: MIT
// The viewer's behaviour without a window: sequences of events on the demo plan in, the
// session's state and the effects the window must show out. Time comes in with the events.
#include "views/viewer_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/load_plan.h"
#include "views/list_text.h"
#include "views/plan_access.h"
#include "model/message_log.h"

namespace nerin {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SessionTest : public ::testing::Test {
 protected:
  // The demo plan on a chart of 1000 x 500 drawing pixels, lists 400 high.
  void LoadDemo() {
    ASSERT_TRUE(LoadPlan(*plan_, log_, "demo-plan.xml",
                         ReadFile(std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml")));
    Apply(session_, ResizeEvent(1000, 500, 400));
    StartNewPlan(session_, SessionEvent{});
  }

  // A plan of the given tasks: levels, and which are critical.
  void LoadTasks(const std::vector<std::int64_t>& levels, const std::vector<bool>& critical) {
    std::string tasks;
    for (std::size_t i = 0; i < levels.size(); ++i) {
      const bool summary = i + 1 < levels.size() && levels[i + 1] > levels[i];
      tasks += "<Task><UID>" + std::to_string(i + 1) + "</UID><ID>" + std::to_string(i + 1) + "</ID><Name>Task " +
               std::to_string(i + 1) + "</Name><OutlineLevel>" + std::to_string(levels[i]) +
               "</OutlineLevel><Start>2026-03-0" + std::to_string(2 + i % 5) +
               "T08:00:00</Start><Finish>2026-03-1" + std::to_string(i % 9) + "T17:00:00</Finish><Summary>" +
               (summary ? "1" : "0") + "</Summary><Critical>" + (critical[i] ? "1" : "0") + "</Critical></Task>";
    }
    const std::string xml =
        "<Project xmlns=\"http://schemas.microsoft.com/project\"><Name>T</Name><StartDate>2026-03-02T08:00:00"
        "</StartDate><FinishDate>2026-03-31T17:00:00</FinishDate><Tasks>" +
        tasks + "</Tasks></Project>";
    ASSERT_TRUE(LoadPlan(*plan_, log_, "t.xml", xml)) << MessageListText(log_);
    Apply(session_, ResizeEvent(1000, 500, 400));
    StartNewPlan(session_, SessionEvent{});
  }

  SessionEffects Do(const SessionEvent& event) { return Apply(session_, event); }
  SessionEffects Header(ViewKind list, std::int64_t column) {
    SessionEvent event;
    event.Kind = EventKind::HeaderClicked;
    event.View = list;
    event.Row = column;
    return Do(event);
  }
  SessionEffects Select(ViewKind list, std::int64_t row) {
    SessionEvent event;
    event.Kind = EventKind::ListSelected;
    event.View = list;
    event.Row = row;
    return Do(event);
  }
  // The texts of a column down the list as shown.
  std::vector<std::string> Column(ViewKind list, std::int64_t column) const {
    std::vector<std::string> cells;
    for (const std::int64_t record : ListRecords(session_, list)) {
      cells.push_back(list == ViewKind::Tasks ? TaskListCell(*plan_, record, column)
                                              : ResourceListCell(*plan_, record, column));
    }
    return cells;
  }
  std::int64_t SelectedTask() const { return ListRowTaskAt(session_.ListRows, session_.TaskListSelection); }
  SessionEffects Do(Command command, std::int64_t now = 1000) { return Do(CommandEvent(command, now)); }
  SessionEffects Tab(ViewKind view) {
    SessionEvent event;
    event.Kind = EventKind::TabChanged;
    event.View = view;
    return Do(event);
  }
  SessionEffects Find(const std::string& text) {
    SessionEvent event = CommandEvent(Command::FindNext);
    event.SearchText = text;
    return Do(event);
  }
  static std::int64_t RowY(std::int64_t row) { return CHART_TOP + row * ROW_HEIGHT + ROW_HEIGHT / 2; }
  std::int64_t MaxScrollY() const {
    return session_.Rows.RowCount * ROW_HEIGHT - RowAreaHeight(session_.View);
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  MessageLog log_;
  ViewerSession session_{*plan_};
};

TEST_F(SessionTest, NavigationKeysAndTheWheelScrollTheChart) {
  LoadDemo();
  ASSERT_GT(MaxScrollY(), 200);
  struct Row {
    SessionEvent event;
    std::int64_t scrollX;
    std::int64_t scrollY;  // -1: the largest offset
    float dayWidth;
  };
  const Row rows[] = {
      {KeyEvent(NavigationKey::Down), 0, 66, 4.0f},
      {KeyEvent(NavigationKey::Up), 0, 0, 4.0f},
      {KeyEvent(NavigationKey::Up), 0, 0, 4.0f},
      {KeyEvent(NavigationKey::End), -1, -1, 4.0f},
      {KeyEvent(NavigationKey::Home), 0, 0, 4.0f},
      {KeyEvent(NavigationKey::Right), 20, 0, 4.0f},
      {KeyEvent(NavigationKey::Left), 0, 0, 4.0f},
      {KeyEvent(NavigationKey::PageDown), 0, 22 * 17, 4.0f},
      {KeyEvent(NavigationKey::PageUp), 0, 0, 4.0f},
      {WheelEvent(-1, false, 500), 0, 66, 4.0f},
      {WheelEvent(1, false, 500), 0, 0, 4.0f},
      {WheelEvent(-1, true, 500), -2, 0, 4.0f * 0.87f},
      {WheelEvent(1, true, 500), -2, 0, 4.0f * 0.87f * 1.15f},
      {WheelEvent(0, true, 500), -2, 0, 4.0f * 0.87f * 1.15f},
  };
  for (const Row& row : rows) {
    const SessionEffects effects = Do(row.event);
    const ChartView& v = session_.View;
    if (row.scrollX == -1) {
      EXPECT_GT(v.ScrollX, 0);
      EXPECT_EQ(v.VBar.Position, v.VBar.Maximum - v.VBar.Page) << "the bar stands at its end";
    } else if (row.scrollX >= 0) {
      EXPECT_EQ(v.ScrollX, row.scrollX);
    }
    EXPECT_EQ(v.ScrollY, row.scrollY < 0 ? MaxScrollY() : row.scrollY) << static_cast<int>(row.event.Key) << " " << row.event.Notches;
    EXPECT_FLOAT_EQ(v.DayWidth, row.dayWidth);
    EXPECT_EQ(effects.ShowScrollBars, row.event.Notches != 0 || row.event.Kind != EventKind::Wheel);
  }
}

TEST_F(SessionTest, ZoomAndFoldCommandsActOnlyOnTheGanttWithAPlan) {
  EXPECT_FALSE(Do(Command::ZoomIn).ShowScrollBars) << "no plan";
  EXPECT_FLOAT_EQ(session_.View.DayWidth, 4.0f);
  LoadDemo();
  const std::int64_t all = session_.Rows.RowCount;
  struct Row {
    std::function<void()> act;
    float dayWidth;
    bool fewerRows;
  };
  const Row rows[] = {
      {[&] { Do(Command::ZoomIn); }, 5.0f, false},
      {[&] { Do(Command::ZoomOut); }, 4.0f, false},
      {[&] { Do(Command::ZoomIn); }, 5.0f, false},
      {[&] { Do(Command::CollapseAll); }, 5.0f, true},
      {[&] { Do(Command::ExpandAll); }, 5.0f, false},
      {[&] { Tab(ViewKind::Tasks); }, 5.0f, false},
      {[&] { Do(Command::ZoomIn); }, 5.0f, false},
      {[&] { Do(Command::CollapseAll); }, 5.0f, false},
      {[&] { Tab(ViewKind::Gantt); }, 5.0f, false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    rows[i].act();
    EXPECT_FLOAT_EQ(session_.View.DayWidth, rows[i].dayWidth) << i;
    EXPECT_EQ(session_.Rows.RowCount < all, rows[i].fewerRows) << i;
  }
}

TEST_F(SessionTest, CriticalFilterFollowsTheButtonOrRefusesAPlanWithoutCriticalTasks) {
  LoadDemo();
  const std::int64_t all = session_.Rows.RowCount;
  SessionEffects on = Do(Command::Critical);
  EXPECT_TRUE(session_.Rows.CriticalFilter);
  EXPECT_EQ(on.CriticalChecked, std::optional<bool>(true));
  EXPECT_EQ(session_.Rows.RowCount, CountCriticalTasks(*plan_));
  EXPECT_TRUE(on.Draw && on.ShowScrollBars);
  EXPECT_EQ(Do(Command::Critical).CriticalChecked, std::optional<bool>(false));
  EXPECT_EQ(session_.Rows.RowCount, all);
  // In the Resources view the button only shows the filter as it is.
  Tab(ViewKind::Resources);
  const SessionEffects refused = Do(Command::Critical);
  EXPECT_EQ(refused.CriticalChecked, std::optional<bool>(false));
  EXPECT_FALSE(session_.Rows.CriticalFilter);

  LoadTasks({1, 2, 2}, {false, false, false});
  Tab(ViewKind::Gantt);
  const SessionEffects none = Do(Command::Critical);
  ASSERT_TRUE(none.Box.has_value());
  EXPECT_EQ(none.Box->Title, "Critical path");
  EXPECT_EQ(none.Box->Text, "This plan has no task flagged as critical.");
  EXPECT_EQ(none.CriticalChecked, std::optional<bool>(false));
  EXPECT_FALSE(session_.Rows.CriticalFilter);
}

TEST_F(SessionTest, DraggingTheColumnBorderStopsAtItsLimits) {
  LoadDemo();
  struct Row {
    SessionEvent event;
    bool drag;
    std::int64_t width;
  };
  const Row rows[] = {
      {PointerEvent(EventKind::Press, 392, 300), true, 390},
      {PointerEvent(EventKind::PointerMove, 100, 300, true), true, 260},
      {PointerEvent(EventKind::PointerMove, 900, 300, true), true, 650},
      {PointerEvent(EventKind::Release, 900, 300), false, 650},
      {PointerEvent(EventKind::Press, 650 - 6, 300), false, 650},  // 6 pixels off: no drag
      {PointerEvent(EventKind::Release, 644, 300), false, 650},
      {PointerEvent(EventKind::Press, 655, 300), true, 650},
      {PointerEvent(EventKind::PointerMove, 500, 300, false), false, 650},  // button let go elsewhere
      {PointerEvent(EventKind::Press, 645, 300), true, 650},
      {PointerEvent(EventKind::Leave, 0, 0, true), true, 650},  // held: the drag goes on
      {PointerEvent(EventKind::Leave, 0, 0, false), false, 650},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const SessionEffects effects = Do(rows[i].event);
    EXPECT_EQ(session_.View.SplitterDrag, rows[i].drag) << i;
    EXPECT_EQ(session_.View.TaskColumnWidth, rows[i].width) << i;
    if (rows[i].event.Kind == EventKind::Release && i == 3) {
      EXPECT_TRUE(effects.Draw);
      EXPECT_EQ(effects.ResizePointer, std::optional<bool>(false));
    }
  }
}

TEST_F(SessionTest, ExportAndDumpRefuseWithoutAPlanOrOffTheGantt) {
  struct Row {
    std::function<void()> before;
    Command command;
    std::string message;
    WindowAction open;
  };
  const Row rows[] = {
      {[] {}, Command::Export, "Open a plan before exporting the chart.", WindowAction::None},
      {[] {}, Command::ModelDump, "", WindowAction::None},
      {[&] { LoadDemo(); }, Command::Export, "", WindowAction::ExportChart},
      // On a list tab the export writes the list.
      {[&] { Tab(ViewKind::Tasks); }, Command::Export, "", WindowAction::ExportList},
      {[] {}, Command::ModelDump, "", WindowAction::SaveModelDump},
      {[] {}, Command::OpenFile, "", WindowAction::OpenFileDialog},
      {[] {}, Command::OpenAddress, "", WindowAction::OpenAddressDialog},
  };
  for (const Row& row : rows) {
    row.before();
    const SessionEffects effects = Do(row.command);
    EXPECT_EQ(effects.FeedbackMessage.value_or(""), row.message);
    EXPECT_EQ(effects.Open, row.open);
  }
  session_.CurrentView = ViewKind::Gantt;
}

TEST_F(SessionTest, DumpWithoutAPlanSaysSo) {
  const SessionEffects effects = Do(Command::ModelDump);
  ASSERT_TRUE(effects.Box.has_value());
  EXPECT_EQ(effects.Box->Title, "Model dump");
  EXPECT_EQ(effects.Open, WindowAction::None);
}

// The two timing rules, with the time given by the events: one draw per 15 ms, and the
// relayout on the next tick of the redraw timer.
TEST_F(SessionTest, RedrawsAreThrottledAndTheRelayoutWaitsForTheTimer) {
  LoadDemo();
  Do(TimerEvent(EventKind::RedrawTimer, 0));  // the relayout of the load
  struct Row {
    SessionEvent event;
    bool draw;
    TimerAction timer;
    std::int64_t lastDraw;
  };
  const Row rows[] = {
      {WheelEvent(-1, false, 0, 100), true, TimerAction::Keep, 100},
      {WheelEvent(-1, false, 0, 110), false, TimerAction::Start, 100},  // within 15 ms: deferred
      {WheelEvent(-1, false, 0, 114), false, TimerAction::Keep, 100},   // already armed
      {TimerEvent(EventKind::RedrawTimer, 126), true, TimerAction::Stop, 126},
      {WheelEvent(-1, false, 0, 141), false, TimerAction::Start, 126},  // exactly 15 ms: still early
      {WheelEvent(-1, false, 0, 142), true, TimerAction::Stop, 142},    // 16 ms: at once, timer off
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const SessionEffects effects = Do(rows[i].event);
    EXPECT_EQ(effects.Draw, rows[i].draw) << i;
    EXPECT_EQ(effects.RedrawTimer, rows[i].timer) << i;
    EXPECT_EQ(session_.LastDrawTime, rows[i].lastDraw) << i;
  }
  // A relayout waits for the timer and then lays out instead of drawing.
  const SessionEffects load = StartNewPlan(session_, SessionEvent{});
  EXPECT_TRUE(session_.RelayoutPending);
  EXPECT_EQ(load.RedrawTimer, TimerAction::Start);
  const SessionEffects tick = Do(TimerEvent(EventKind::RedrawTimer, 500));
  EXPECT_TRUE(tick.Relayout);
  EXPECT_FALSE(tick.Draw);
  EXPECT_FALSE(session_.RelayoutPending);
  EXPECT_FALSE(session_.RedrawTimerArmed);
}

TEST_F(SessionTest, HoverBoxComesAfterTheDelayAndGoesOnEveryOtherEvent) {
  LoadDemo();
  const std::int64_t y = RowY(2);
  struct Row {
    SessionEvent event;
    TimerAction timer;
    bool shown;
    bool draw;
  };
  const Row rows[] = {
      {PointerEvent(EventKind::PointerMove, 100, y), TimerAction::Start, false, false},
      {PointerEvent(EventKind::PointerMove, 120, y), TimerAction::Keep, false, false},  // same row
      {PointerEvent(EventKind::PointerMove, 120, y + ROW_HEIGHT), TimerAction::Start, false, false},
      {TimerEvent(EventKind::HoverTimer), TimerAction::Stop, true, true},
      {PointerEvent(EventKind::PointerMove, 130, y + ROW_HEIGHT), TimerAction::Keep, true, false},
      {PointerEvent(EventKind::Leave, 0, 0), TimerAction::Keep, false, true},
      {PointerEvent(EventKind::PointerMove, 100, y), TimerAction::Start, false, false},
      {TimerEvent(EventKind::HoverTimer), TimerAction::Stop, true, true},
      {KeyEvent(NavigationKey::Down), TimerAction::Keep, false, true},
      {PointerEvent(EventKind::PointerMove, 100, y), TimerAction::Start, false, false},
      {WheelEvent(1, false, 100, 1000), TimerAction::Stop, false, true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const SessionEffects effects = Do(rows[i].event);
    EXPECT_EQ(effects.HoverTimer, rows[i].timer) << i;
    EXPECT_EQ(session_.Hover.Shown, rows[i].shown) << i;
    EXPECT_EQ(effects.Draw, rows[i].draw) << i;
  }
  EXPECT_EQ(session_.Hover.AnchorX, 100);
}

TEST_F(SessionTest, DoubleClickOpensTheRowButNotOnAFoldTriangleOrTheBorder) {
  LoadTasks({1, 2, 2}, {false, true, true});
  struct Row {
    std::int64_t x;
    std::int64_t y;
    std::int64_t opened;
  };
  const Row rows[] = {{200, RowY(1), 1}, {200, RowY(0), 0}, {8, RowY(0), -1},
                      {390, RowY(1), -1}, {200, RowY(3), -1}, {200, 60, -1}};
  for (const Row& row : rows) {
    EXPECT_EQ(Do(PointerEvent(EventKind::DoubleClick, row.x, row.y)).OpenDetails, row.opened) << row.x;
  }
  // The press on the triangle folds the summary; the double-click that follows opens nothing.
  EXPECT_TRUE(Do(PointerEvent(EventKind::Press, 8, RowY(0))).Draw);
  EXPECT_EQ(session_.Rows.RowCount, 1);
}

TEST_F(SessionTest, FollowingALinkToAFoldedSummaryUnfoldsItAndLiftsTheFilter) {
  LoadTasks({1, 2, 1}, {false, true, true});
  Do(Command::CollapseAll);
  Do(Command::Critical);
  ASSERT_EQ(session_.Rows.TaskRow[0], -1);
  SessionEvent follow;
  follow.Kind = EventKind::FollowLink;
  follow.Row = 0;
  const SessionEffects effects = Do(follow);
  EXPECT_EQ(effects.CriticalChecked, std::optional<bool>(false));
  EXPECT_FALSE(session_.Rows.CriticalFilter);
  EXPECT_GE(session_.Rows.TaskRow[1], 0) << "the summary is open";
  EXPECT_TRUE(effects.Draw);
  EXPECT_FALSE(session_.TaskListFilled) << "the Tasks list follows the filter when shown";
}

TEST_F(SessionTest, FindRevealsSelectsOrSaysThereIsNone) {
  LoadTasks({1, 2, 2, 1}, {true, false, true, true});
  Do(Command::CollapseAll);
  // Gantt: a task inside the folded summary is revealed, highlighted and centred.
  SessionEffects found = Find("  task 2 ");
  EXPECT_EQ(session_.FindHighlight, 1);
  EXPECT_GE(session_.Rows.TaskRow[1], 0);
  EXPECT_TRUE(found.Draw);
  // No match: the Find button flashes and the message stands in the status line.
  const SessionEffects none = Find("xyz");
  EXPECT_EQ(none.FeedbackMessage.value_or(""), "No match for 'xyz'.");
  EXPECT_EQ(none.FeedbackTimer, TimerAction::Start);
  EXPECT_EQ(session_.FindHighlight, 1);
  // Tasks list with the filter on: finding a non-critical task switches the filter off.
  Do(Command::Critical);
  Tab(ViewKind::Tasks);
  const SessionEffects listed = Find("task 2");
  EXPECT_FALSE(session_.Rows.CriticalFilter);
  EXPECT_EQ(listed.CriticalChecked, std::optional<bool>(false));
  EXPECT_TRUE(listed.FillTaskList);
  ASSERT_TRUE(listed.Select.has_value());
  EXPECT_EQ(listed.Select->Row, 1);
  EXPECT_TRUE(listed.Select->Focus);
  // A blank text does nothing at all.
  const SessionEffects blank = Find("   ");
  EXPECT_FALSE(blank.Select.has_value());
  EXPECT_FALSE(blank.FeedbackMessage.has_value());
}

TEST_F(SessionTest, ListsAreFilledWhenShownAndKeysMoveTheirSelection) {
  LoadTasks({1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1},
            std::vector<bool>(30, true));
  EXPECT_FALSE(session_.TaskListFilled);
  EXPECT_TRUE(Tab(ViewKind::Tasks).FillTaskList);
  EXPECT_TRUE(session_.TaskListFilled);
  EXPECT_FALSE(Tab(ViewKind::Tasks).FillTaskList) << "filled once";
  // 400 units of list are 22 rows of 18.
  struct Row {
    NavigationKey key;
    std::int64_t row;
  };
  const Row rows[] = {{NavigationKey::Down, 1},     {NavigationKey::Down, 2},  {NavigationKey::Up, 1},
                      {NavigationKey::PageDown, 23}, {NavigationKey::End, 29}, {NavigationKey::Down, 29},
                      {NavigationKey::Home, 0},      {NavigationKey::Up, 0}};
  for (const Row& row : rows) {
    Do(KeyEvent(row.key));
    EXPECT_EQ(session_.TaskListSelection, row.row);
  }
  // F5 refills and keeps the selection.
  const SessionEffects refill = Do(Command::FitOrRefresh);
  EXPECT_TRUE(refill.FillTaskList);
  ASSERT_TRUE(refill.Select.has_value());
  EXPECT_TRUE(refill.Select->KeepTopRow);
  EXPECT_EQ(refill.Select->Row, 0);
  EXPECT_FALSE(session_.ResourceListFilled);
  EXPECT_TRUE(Tab(ViewKind::Resources).FillResourceList);
  // Switching keeps the list and the chart on the same task.
  SessionEvent pick;
  pick.Kind = EventKind::ListSelected;
  pick.View = ViewKind::Tasks;
  pick.Row = 12;
  Tab(ViewKind::Tasks);
  Do(pick);
  Tab(ViewKind::Gantt);
  EXPECT_EQ(ChartTopTask(session_.View, session_.Rows), 12);
  const SessionEffects back = Tab(ViewKind::Tasks);
  ASSERT_TRUE(back.Select.has_value());
  EXPECT_EQ(back.Select->Row, 12);
  EXPECT_TRUE(back.Select->AtTop);
  // A double-click on the list opens the selected row's task.
  SessionEvent twice;
  twice.Kind = EventKind::ListDoubleClick;
  EXPECT_EQ(Do(twice).OpenDetails, 12);
}

TEST_F(SessionTest, SearchFieldFocusSwitchesTheNavigationKeysOnce) {
  session_.NavigationKeysMode = true;  // as the window starts
  SessionEvent focus;
  focus.Kind = EventKind::SearchFocus;
  focus.Focused = true;
  EXPECT_EQ(Do(focus).NavigationKeys, std::optional<bool>(false));
  EXPECT_FALSE(Do(focus).NavigationKeys.has_value());
  focus.Focused = false;
  EXPECT_EQ(Do(focus).NavigationKeys, std::optional<bool>(true));
}

TEST_F(SessionTest, NewPlanStartsAtTheTopLeftWithEverythingReset) {
  LoadDemo();
  Do(KeyEvent(NavigationKey::End));
  Do(Command::CollapseAll);
  Do(Command::Critical);
  Find("quay");
  Tab(ViewKind::Tasks);
  Tab(ViewKind::Resources);
  Tab(ViewKind::Gantt);
  Do(Command::ZoomIn);
  const SessionEffects effects = StartNewPlan(session_, SessionEvent{});
  EXPECT_EQ(session_.View.ScrollX, 0);
  EXPECT_EQ(session_.View.ScrollY, 0);
  EXPECT_FLOAT_EQ(session_.View.DayWidth, 5.0f) << "the scale survives loads";
  EXPECT_FALSE(session_.Rows.CriticalFilter);
  EXPECT_EQ(effects.CriticalChecked, std::optional<bool>(false));
  EXPECT_EQ(session_.Rows.RowCount, plan_->TaskCount);
  EXPECT_EQ(session_.FindHighlight, -1);
  EXPECT_FALSE(session_.TaskListFilled);
  EXPECT_FALSE(session_.ResourceListFilled);
  EXPECT_TRUE(effects.Draw);
}

TEST_F(SessionTest, FeedbackFlashesTheButtonAndHoldsTheMessage) {
  ShowFeedback(session_, FeedbackButton::Today, 13, 3, "");
  // A second feedback gives the first button its icon back.
  const SessionEffects second = ShowFeedback(session_, FeedbackButton::Find, 12, 3, "No match for 'x'.");
  EXPECT_EQ(second.ButtonIcons, (std::vector<ButtonIcon>{{5, 5}, {4, 12}}));
  std::vector<std::int64_t> icons;
  std::int64_t ticks = 0;
  bool restored = false;
  while (session_.Feedback.Button >= 0 && ticks < 100) {
    const SessionEffects tick = Do(TimerEvent(EventKind::FeedbackTimer));
    for (const ButtonIcon& icon : tick.ButtonIcons) icons.push_back(icon.Icon);
    restored = restored || tick.RestoreStatus;
    ++ticks;
  }
  EXPECT_EQ(ticks, FEEDBACK_MESSAGE_TICKS);
  EXPECT_TRUE(restored);
  EXPECT_EQ(icons, (std::vector<std::int64_t>{4, 12, 4, 12, 4, 4, 4}));
}

TEST_F(SessionTest, ScrollBarsMoveTheOffsetsAndTabsOutOfRangeMeanGantt) {
  LoadDemo();
  SessionEvent bar;
  bar.Kind = EventKind::ScrollBar;
  bar.Position = 1;
  bar.Now = 1000;
  EXPECT_TRUE(Do(bar).Draw);
  EXPECT_EQ(session_.View.ScrollY, 1);
  bar.Horizontal = true;
  Do(bar);
  EXPECT_EQ(session_.View.ScrollX, 1);
  EXPECT_EQ(ViewKindOf(7), ViewKind::Gantt);
  EXPECT_EQ(ViewKindOf(-1), ViewKind::Gantt);
  EXPECT_EQ(ViewKindOf(2), ViewKind::Resources);
}

}  // namespace
}  // namespace nerin

namespace nerin {
namespace {

// A header click cycles ascending, descending, plan order; the selected task stays selected
// wherever it moves, and the header is told the sort every time.
TEST_F(SessionTest, HeaderClicksSortTheListsAndTheSelectionFollowsTheTask) {
  LoadDemo();
  struct Row {
    ViewKind list;
    std::int64_t column;
    SortDirection direction;
  };
  const Row rows[] = {
      {ViewKind::Tasks, 2, SortDirection::Ascending},      {ViewKind::Tasks, 2, SortDirection::Descending},
      {ViewKind::Tasks, 2, SortDirection::PlanOrder},      {ViewKind::Tasks, 0, SortDirection::Ascending},
      {ViewKind::Tasks, 2, SortDirection::Ascending},      {ViewKind::Resources, 0, SortDirection::Ascending},
      {ViewKind::Resources, 0, SortDirection::Descending}, {ViewKind::Resources, 0, SortDirection::PlanOrder},
  };
  for (const Row& row : rows) {
    Tab(row.list);
    Select(row.list, 3);
    const std::int64_t record = ListRecords(session_, row.list)[3];
    const SessionEffects effects = Header(row.list, row.column);
    ASSERT_EQ(effects.SortIndicators.size(), 1u);
    EXPECT_EQ(effects.SortIndicators[0].Sort.Direction, row.direction);
    const std::vector<std::string> cells = Column(row.list, row.column);
    const std::vector<std::int64_t> records = ListRecords(session_, row.list);
    if (row.direction == SortDirection::PlanOrder) {
      EXPECT_TRUE(std::is_sorted(records.begin(), records.end()));
    } else if (row.column != 0) {
      // Texts; empty cells last in both directions.
      const auto firstEmpty = std::find(cells.begin(), cells.end(), "");
      EXPECT_TRUE(std::all_of(firstEmpty, cells.end(), [](const std::string& c) { return c.empty(); }));
      if (row.direction == SortDirection::Ascending) {
        EXPECT_TRUE(std::is_sorted(cells.begin(), firstEmpty));
      } else {
        EXPECT_TRUE(std::is_sorted(cells.begin(), firstEmpty, std::greater<>()));
      }
    }
    ASSERT_TRUE(effects.Select.has_value());
    EXPECT_EQ(records[static_cast<std::size_t>(effects.Select->Row)], record);
  }
  // The task IDs by value: 2 before 10.
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 0);
  Header(ViewKind::Tasks, 0);
  Header(ViewKind::Tasks, 0);
  std::vector<std::int64_t> ids;
  for (const std::int64_t task : ListRecords(session_, ViewKind::Tasks)) ids.push_back(plan_->Tasks[At(task)].ID);
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
  EXPECT_EQ(Header(ViewKind::Tasks, 99).SortIndicators.at(0).Sort, session_.TaskSort);
}

// Refills (the critical filter, F5, Find) keep the sort; navigation, F5 and Find go by task.
TEST_F(SessionTest, ASortedListKeepsItsSortThroughRefillsAndFind) {
  LoadDemo();
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 2);
  Header(ViewKind::Tasks, 2);  // names descending
  const auto descending = [&] {
    const std::vector<std::string> names = Column(ViewKind::Tasks, 2);
    return std::is_sorted(names.begin(), names.end(), std::greater<>());
  };
  ASSERT_TRUE(descending());
  Select(ViewKind::Tasks, 5);
  const std::int64_t task = SelectedTask();
  Do(Command::FitOrRefresh);
  EXPECT_TRUE(descending());
  EXPECT_EQ(SelectedTask(), task);

  for (const bool critical : {true, false}) {
    Do(Command::Critical);
    ASSERT_EQ(session_.Rows.CriticalFilter, critical);
    EXPECT_TRUE(descending()) << critical;
    for (const std::int64_t t : ListRecords(session_, ViewKind::Tasks)) {
      EXPECT_TRUE(!critical || plan_->Tasks[At(t)].Critical);
    }
  }
  // Find walks the tasks in plan order whatever the list's order, and selects the one found.
  Select(ViewKind::Tasks, 0);
  std::int64_t previous = -1;
  for (int i = 0; i < 4; ++i) {
    Find("a");
    const std::int64_t found = SelectedTask();
    ASSERT_GE(found, 0);
    EXPECT_EQ(found, session_.FindHighlight);
    EXPECT_NE(found, previous);
    previous = found;
    Header(ViewKind::Tasks, i % 3);  // the sort changes while Find walks
    EXPECT_EQ(SelectedTask(), found);
  }
  // The hand-over to the chart takes the selected task, not its row.
  const std::int64_t selected = SelectedTask();
  Tab(ViewKind::Gantt);
  EXPECT_EQ(ChartTopTask(session_.View, session_.Rows), selected);
}

TEST_F(SessionTest, CopyGivesTheSelectedRowsInShownOrderOrTheTaskUnderThePointer) {
  LoadDemo();
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 2);
  const std::vector<std::int64_t> shown = ListRecords(session_, ViewKind::Tasks);
  struct Row {
    std::vector<std::int64_t> selected;
    std::vector<std::int64_t> expected;  // list rows
  };
  const Row rows[] = {
      {{}, {}},
      {{4, 1, 4}, {1, 4}},
      {{0}, {0}},
      {{-1, 100000}, {}},
  };
  for (const Row& row : rows) {
    SessionEvent event = CommandEvent(Command::Copy);
    event.Rows = row.selected;
    const SessionEffects effects = Do(event);
    if (row.expected.empty()) {
      EXPECT_FALSE(effects.Clipboard.has_value());
      continue;
    }
    std::vector<std::int64_t> records;
    for (const std::int64_t r : row.expected) records.push_back(shown[static_cast<std::size_t>(r)]);
    EXPECT_EQ(effects.Clipboard.value_or(""), ListTabText(*plan_, PlanList::Tasks, records));
  }
  Tab(ViewKind::Gantt);
  EXPECT_FALSE(Do(Command::Copy).Clipboard.has_value());
  Do(PointerEvent(EventKind::PointerMove, 300, RowY(2)));
  const std::int64_t hovered = session_.PointerTask;
  ASSERT_GE(hovered, 0);
  const std::int64_t one[] = {hovered};
  EXPECT_EQ(Do(Command::Copy).Clipboard.value_or(""), ListTabText(*plan_, PlanList::Tasks, one));
}

// A reload keeps the view by UID where the new plan has it; a failed one keeps everything.
TEST_F(SessionTest, AReloadKeepsTheViewAndTheSort) {
  struct Row {
    const char* name;
    ViewKind view;
    bool loaded;
  };
  const Row rows[] = {{"chart", ViewKind::Gantt, true},
                      {"tasks", ViewKind::Tasks, true},
                      {"resources", ViewKind::Resources, true},
                      {"failed", ViewKind::Tasks, false}};
  for (const Row& row : rows) {
    LoadDemo();
    Do(Command::ZoomIn);
    Do(Command::ZoomIn);
    Do(WheelEvent(-3, false, 500));
    Header(ViewKind::Tasks, 3);
    Header(ViewKind::Resources, 0);
    Tab(ViewKind::Resources);
    const std::vector<std::int64_t> resourceOrder = ListRecords(session_, ViewKind::Resources);
    Tab(ViewKind::Tasks);
    if (row.view != ViewKind::Tasks) Tab(row.view);
    Select(ViewKind::Tasks, 7);
    const std::int64_t selectedUID = plan_->Tasks[At(SelectedTask())].UID;
    const ChartView before = session_.View;

    const SessionEffects asked = Do(Command::Reload);
    EXPECT_TRUE(asked.ReloadSource) << row.name;
    if (row.loaded) {
      // The same export read again: a new plan object with the same UIDs.
      ASSERT_TRUE(LoadPlan(*plan_, log_, "demo-plan.xml",
                           ReadFile(std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml")));
    }
    const SessionEffects done = ReloadFinished(session_, row.loaded, SessionEvent{});
    EXPECT_FALSE(session_.Kept.has_value());
    EXPECT_EQ(session_.View.DayWidth, before.DayWidth) << row.name;
    EXPECT_EQ(session_.View.TaskColumnWidth, before.TaskColumnWidth);
    EXPECT_EQ(session_.View.ScrollY, before.ScrollY) << row.name;
    EXPECT_EQ(session_.TaskSort, (ListSort{3, SortDirection::Ascending}));
    EXPECT_EQ(session_.CurrentView, row.view);
    if (!row.loaded) {
      EXPECT_FALSE(done.FillTaskList);
      continue;
    }
    EXPECT_EQ(done.SortIndicators.size(), 2u);
    if (row.view == ViewKind::Tasks) {
      EXPECT_EQ(plan_->Tasks[At(SelectedTask())].UID, selectedUID);
      ASSERT_TRUE(done.Select.has_value());
      EXPECT_EQ(done.Select->Row, session_.TaskListSelection);
    }
    Tab(ViewKind::Resources);
    EXPECT_EQ(ListRecords(session_, ViewKind::Resources), resourceOrder) << row.name;
    Tab(ViewKind::Tasks);
    std::vector<DayOrdinal> starts;
    for (const std::int64_t t : ListRecords(session_, ViewKind::Tasks)) starts.push_back(plan_->Tasks[At(t)].Start);
    EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end())) << row.name;
  }
}

TEST_F(SessionTest, ReloadAndFileChangesWithoutAPlanOrAfterANewPlan) {
  EXPECT_FALSE(Do(Command::Reload).ReloadSource);
  EXPECT_EQ(Do(Command::Reload).Box.value_or(MessageBoxRequest{}).Title, "Reload");
  SessionEvent changed;
  changed.Kind = EventKind::FileChanged;
  const SessionEffects quiet = Do(changed);
  EXPECT_FALSE(quiet.ReloadSource);
  EXPECT_FALSE(quiet.Box.has_value());

  LoadDemo();
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 2);
  // Twenty changes before the read: the session keeps the latest view, the window reads once
  // per request; each ends with its own outcome.
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(Do(changed).ReloadSource);
  ReloadFinished(session_, true, SessionEvent{});
  EXPECT_EQ(session_.TaskSort.Direction, SortDirection::Ascending);
  // A reload whose outcome comes after its view was given up starts the plan afresh.
  EXPECT_FALSE(ReloadFinished(session_, true, SessionEvent{}).SortIndicators.empty());
  EXPECT_EQ(session_.TaskSort.Direction, SortDirection::PlanOrder);
  // Another plan drops the sorts.
  Header(ViewKind::Tasks, 2);
  const SessionEffects fresh = StartNewPlan(session_, SessionEvent{});
  EXPECT_EQ(session_.TaskSort.Direction, SortDirection::PlanOrder);
  EXPECT_EQ(fresh.SortIndicators.size(), 2u);
}

}  // namespace
}  // namespace nerin
