// SPDX-License-Identifier: MIT
// The viewer's behaviour without a window: sequences of events on the demo plan in, the
// session's state and the effects the window must show out. Time comes in with the events.
#include "views/viewer_session.h"

#include "views/session_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/load_plan.h"
#include "views/list_csv.h"
#include "views/list_text.h"
#include "views/plan_access.h"
#include "model/message_log.h"

namespace nerin {
namespace {

using namespace test;

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
    Fire(session_, Rsz(1000, 500, 400));
    OpenPlan(session_, plan_);
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
    Fire(session_, Rsz(1000, 500, 400));
    OpenPlan(session_, plan_);
  }

  SessionEffects Do(const Timed& event) { return Fire(session_, event); }
  SessionEffects Do(const SessionEvent& event, std::int64_t now = 0) { return session_.Apply(event, {now, 0}); }
  SessionEffects Header(ViewKind list, std::int64_t column) { return Do(HeaderEvent{list, column}); }
  SessionEffects Select(ViewKind list, std::int64_t row) { return Do(ListSelectEvent{list, row}); }
  // The texts of a column down the list as shown.
  std::vector<std::string> Column(ViewKind list, std::int64_t column) const {
    std::vector<std::string> cells;
    for (const std::int64_t record : session_.ListRecords(list)) {
      cells.push_back(list == ViewKind::Tasks ? TaskListCell(*plan_, record, column)
                                              : ResourceListCell(*plan_, record, column));
    }
    return cells;
  }
  std::int64_t SelectedTask() const { return ListRowTaskAt(session_.State().ListRows, session_.State().TaskListSelection); }
  SessionEffects Do(Command command, std::int64_t now = 1000) { return Do(Cmd(command, now)); }
  SessionEffects Tab(ViewKind view) { return Do(TabEvent{view}); }
  SessionEffects Find(const std::string& text) { return Do(FindEvent{text}); }
  static std::int64_t RowY(std::int64_t row) { return CHART_TOP + row * ROW_HEIGHT + ROW_HEIGHT / 2; }
  std::int64_t MaxScrollY() const {
    return session_.State().Rows.RowCount * ROW_HEIGHT - RowAreaHeight(session_.State().View);
  }

  std::shared_ptr<Plan> plan_ = std::make_shared<Plan>();
  MessageLog log_;
  ViewerSession session_;
};

TEST_F(SessionTest, NavigationKeysAndTheWheelScrollTheChart) {
  LoadDemo();
  ASSERT_GT(MaxScrollY(), 200);
  struct Row {
    Timed event;
    std::int64_t scrollX;
    std::int64_t scrollY;  // -1: the largest offset
    float dayWidth;
  };
  const Row rows[] = {
      {Key(NavigationKey::Down), 0, 66, 4.0f},
      {Key(NavigationKey::Up), 0, 0, 4.0f},
      {Key(NavigationKey::Up), 0, 0, 4.0f},
      {Key(NavigationKey::End), -1, -1, 4.0f},
      {Key(NavigationKey::Home), 0, 0, 4.0f},
      {Key(NavigationKey::Right), 20, 0, 4.0f},
      {Key(NavigationKey::Left), 0, 0, 4.0f},
      {Key(NavigationKey::PageDown), 0, 22 * 17, 4.0f},
      {Key(NavigationKey::PageUp), 0, 0, 4.0f},
      {Whl(-1, false, 500), 0, 66, 4.0f},
      {Whl(1, false, 500), 0, 0, 4.0f},
      {Whl(-1, true, 500), -2, 0, 4.0f * 0.87f},
      {Whl(1, true, 500), -2, 0, 4.0f * 0.87f * 1.15f},
      {Whl(0, true, 500), -2, 0, 4.0f * 0.87f * 1.15f},
  };
  for (const Row& row : rows) {
    const SessionEffects effects = Do(row.event);
    const ChartView& v = session_.State().View;
    if (row.scrollX == -1) {
      EXPECT_GT(v.ScrollX, 0);
      EXPECT_EQ(v.VBar.Position, v.VBar.Maximum - v.VBar.Page) << "the bar stands at its end";
    } else if (row.scrollX >= 0) {
      EXPECT_EQ(v.ScrollX, row.scrollX);
    }
    const auto* wheel = std::get_if<WheelEvent>(&row.event.Event);
    EXPECT_EQ(v.ScrollY, row.scrollY < 0 ? MaxScrollY() : row.scrollY) << row.event.Event.index();
    EXPECT_FLOAT_EQ(v.DayWidth, row.dayWidth);
    EXPECT_EQ(effects.Chart.ShowScrollBars, wheel == nullptr || wheel->Notches != 0);
  }
}

TEST_F(SessionTest, ZoomAndFoldCommandsActOnlyOnTheGanttWithAPlan) {
  EXPECT_FALSE(Do(Command::ZoomIn).Chart.ShowScrollBars) << "no plan";
  EXPECT_FLOAT_EQ(session_.State().View.DayWidth, 4.0f);
  LoadDemo();
  const std::int64_t all = session_.State().Rows.RowCount;
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
    EXPECT_FLOAT_EQ(session_.State().View.DayWidth, rows[i].dayWidth) << i;
    EXPECT_EQ(session_.State().Rows.RowCount < all, rows[i].fewerRows) << i;
  }
}

TEST_F(SessionTest, CriticalFilterFollowsTheButtonOrRefusesAPlanWithoutCriticalTasks) {
  LoadDemo();
  const std::int64_t all = session_.State().Rows.RowCount;
  SessionEffects on = Do(Command::Critical);
  EXPECT_TRUE(session_.State().Rows.CriticalFilter);
  EXPECT_EQ(on.Toolbar.CriticalChecked, std::optional<bool>(true));
  EXPECT_EQ(session_.State().Rows.RowCount, CountCriticalTasks(*plan_));
  EXPECT_TRUE(on.Chart.Draw && on.Chart.ShowScrollBars);
  EXPECT_EQ(Do(Command::Critical).Toolbar.CriticalChecked, std::optional<bool>(false));
  EXPECT_EQ(session_.State().Rows.RowCount, all);
  // In the Resources view the button only shows the filter as it is.
  Tab(ViewKind::Resources);
  const SessionEffects refused = Do(Command::Critical);
  EXPECT_EQ(refused.Toolbar.CriticalChecked, std::optional<bool>(false));
  EXPECT_FALSE(session_.State().Rows.CriticalFilter);

  LoadTasks({1, 2, 2}, {false, false, false});
  Tab(ViewKind::Gantt);
  const SessionEffects none = Do(Command::Critical);
  ASSERT_TRUE(Box(none).has_value());
  EXPECT_EQ(Box(none)->Title, "Critical path");
  EXPECT_EQ(Box(none)->Text, "This plan has no task flagged as critical.");
  EXPECT_EQ(none.Toolbar.CriticalChecked, std::optional<bool>(false));
  EXPECT_FALSE(session_.State().Rows.CriticalFilter);
}

TEST_F(SessionTest, DraggingTheColumnBorderStopsAtItsLimits) {
  LoadDemo();
  struct Row {
    Timed event;
    bool drag;
    std::int64_t width;
  };
  const Row rows[] = {
      {Ptr(PointerAction::Press, 392, 300), true, 390},
      {Ptr(PointerAction::Move, 100, 300, true), true, 260},
      {Ptr(PointerAction::Move, 900, 300, true), true, 650},
      {Ptr(PointerAction::Release, 900, 300), false, 650},
      {Ptr(PointerAction::Press, 650 - 6, 300), false, 650},  // 6 pixels off: no drag
      {Ptr(PointerAction::Release, 644, 300), false, 650},
      {Ptr(PointerAction::Press, 655, 300), true, 650},
      {Ptr(PointerAction::Move, 500, 300, false), false, 650},  // button let go elsewhere
      {Ptr(PointerAction::Press, 645, 300), true, 650},
      {Ptr(PointerAction::Leave, 0, 0, true), true, 650},  // held: the drag goes on
      {Ptr(PointerAction::Leave, 0, 0, false), false, 650},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const SessionEffects effects = Do(rows[i].event);
    EXPECT_EQ(session_.State().View.SplitterDrag, rows[i].drag) << i;
    EXPECT_EQ(session_.State().View.TaskColumnWidth, rows[i].width) << i;
    if (i == 3) {  // the release
      EXPECT_TRUE(effects.Chart.Draw);
      EXPECT_EQ(effects.Chart.ResizePointer, std::optional<bool>(false));
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
    EXPECT_EQ(effects.Status.Feedback.value_or(""), row.message);
    EXPECT_EQ(Opened(effects), row.open);
  }
}

TEST_F(SessionTest, DumpWithoutAPlanSaysSo) {
  const SessionEffects effects = Do(Command::ModelDump);
  ASSERT_TRUE(Box(effects).has_value());
  EXPECT_EQ(Box(effects)->Title, "Model dump");
  EXPECT_EQ(Opened(effects), WindowAction::None);
}

// The two timing rules, with the time given by the events: one draw per 15 ms, and the
// relayout on the next tick of the redraw timer.
TEST_F(SessionTest, RedrawsAreThrottledAndTheRelayoutWaitsForTheTimer) {
  LoadDemo();
  Do(Tmr(SessionTimer::Redraw, 0));  // the relayout of the load
  struct Row {
    Timed event;
    bool draw;
    TimerAction timer;
    std::int64_t lastDraw;
  };
  const Row rows[] = {
      {Whl(-1, false, 0, 100), true, TimerAction::Keep, 100},
      {Whl(-1, false, 0, 110), false, TimerAction::Start, 100},  // within 15 ms: deferred
      {Whl(-1, false, 0, 114), false, TimerAction::Keep, 100},   // already armed
      {Tmr(SessionTimer::Redraw, 126), true, TimerAction::Stop, 126},
      {Whl(-1, false, 0, 141), false, TimerAction::Start, 126},  // exactly 15 ms: still early
      {Whl(-1, false, 0, 142), true, TimerAction::Stop, 142},    // 16 ms: at once, timer off
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const SessionEffects effects = Do(rows[i].event);
    EXPECT_EQ(effects.Chart.Draw, rows[i].draw) << i;
    EXPECT_EQ(effects.Timers.Redraw, rows[i].timer) << i;
    EXPECT_EQ(session_.State().LastDrawTime, rows[i].lastDraw) << i;
  }
  // A relayout waits for the timer and then lays out instead of drawing.
  const SessionEffects load = OpenPlan(session_, plan_);
  EXPECT_TRUE(session_.State().RelayoutPending);
  EXPECT_EQ(load.Timers.Redraw, TimerAction::Start);
  const SessionEffects tick = Do(Tmr(SessionTimer::Redraw, 500));
  EXPECT_TRUE(tick.Chart.Relayout);
  EXPECT_FALSE(tick.Chart.Draw);
  EXPECT_FALSE(session_.State().RelayoutPending);
  EXPECT_FALSE(session_.State().RedrawTimerArmed);
}

TEST_F(SessionTest, HoverBoxComesAfterTheDelayAndGoesOnEveryOtherEvent) {
  LoadDemo();
  const std::int64_t y = RowY(2);
  struct Row {
    Timed event;
    TimerAction timer;
    bool shown;
    bool draw;
  };
  const Row rows[] = {
      {Ptr(PointerAction::Move, 100, y), TimerAction::Start, false, false},
      {Ptr(PointerAction::Move, 120, y), TimerAction::Keep, false, false},  // same row
      {Ptr(PointerAction::Move, 120, y + ROW_HEIGHT), TimerAction::Start, false, false},
      {Tmr(SessionTimer::Hover), TimerAction::Stop, true, true},
      {Ptr(PointerAction::Move, 130, y + ROW_HEIGHT), TimerAction::Keep, true, false},
      {Ptr(PointerAction::Leave, 0, 0), TimerAction::Keep, false, true},
      {Ptr(PointerAction::Move, 100, y), TimerAction::Start, false, false},
      {Tmr(SessionTimer::Hover), TimerAction::Stop, true, true},
      {Key(NavigationKey::Down), TimerAction::Keep, false, true},
      {Ptr(PointerAction::Move, 100, y), TimerAction::Start, false, false},
      {Whl(1, false, 100, 1000), TimerAction::Stop, false, true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const SessionEffects effects = Do(rows[i].event);
    EXPECT_EQ(effects.Timers.Hover, rows[i].timer) << i;
    EXPECT_EQ(session_.State().Hover.Shown, rows[i].shown) << i;
    EXPECT_EQ(effects.Chart.Draw, rows[i].draw) << i;
  }
  EXPECT_EQ(session_.State().Hover.AnchorX, 100);
}

// A box up when a load ends described a task of the plan that may be gone: a plan read anew
// puts it away; a reload that failed leaves the plan, and the box with it.
TEST_F(SessionTest, HoverBoxGoesWithThePlanItDescribes) {
  const std::pair<bool, bool> rows[] = {{true, false}, {false, true}};
  for (const auto& [loaded, stays] : rows) {
    LoadDemo();
    ASSERT_TRUE(Reads(Do(Command::Reload)));
    // The pointer rests on a row while the plan is read again.
    Do(Ptr(PointerAction::Move, 100, RowY(2)));
    Do(Tmr(SessionTimer::Hover));
    ASSERT_TRUE(session_.State().Hover.Shown);
    FinishLoad(session_, loaded);
    EXPECT_EQ(session_.State().Hover.Shown, stays) << (loaded ? "reloaded" : "failed");
  }
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
    EXPECT_EQ(Details(Do(Ptr(PointerAction::DoubleClick, row.x, row.y))), row.opened) << row.x;
  }
  // The press on the triangle folds the summary; the double-click that follows opens nothing.
  EXPECT_TRUE(Do(Ptr(PointerAction::Press, 8, RowY(0))).Chart.Draw);
  EXPECT_EQ(session_.State().Rows.RowCount, 1);
}

TEST_F(SessionTest, FollowingALinkToAFoldedSummaryUnfoldsItAndLiftsTheFilter) {
  LoadTasks({1, 2, 1}, {false, true, true});
  Do(Command::CollapseAll);
  Do(Command::Critical);
  ASSERT_EQ(session_.State().Rows.TaskRow[0], -1);
  const SessionEffects effects = Do(FollowLinkEvent{0});
  EXPECT_EQ(effects.Toolbar.CriticalChecked, std::optional<bool>(false));
  EXPECT_FALSE(session_.State().Rows.CriticalFilter);
  EXPECT_GE(session_.State().Rows.TaskRow[1], 0) << "the summary is open";
  EXPECT_TRUE(effects.Chart.Draw);
  EXPECT_FALSE(session_.State().TaskListFilled) << "the Tasks list follows the filter when shown";
}

TEST_F(SessionTest, FollowingALinkFromTheTasksListMovesItsSelection) {
  LoadTasks({1, 2, 2, 1}, {true, false, true, true});
  Tab(ViewKind::Tasks);
  const SessionEffects effects = Do(FollowLinkEvent{2});
  ASSERT_TRUE(effects.Lists.Select.has_value());
  EXPECT_EQ(effects.Lists.Select->List, ViewKind::Tasks);
  EXPECT_EQ(effects.Lists.Select->Row, 2);
  EXPECT_FALSE(effects.Lists.Select->Focus) << "the details window keeps the focus";
  EXPECT_EQ(session_.State().TaskListSelection, 2);
  Tab(ViewKind::Gantt);
  EXPECT_FALSE(Do(FollowLinkEvent{1}).Lists.Select.has_value()) << "the chart needs no list selection";
}

TEST_F(SessionTest, FindRevealsSelectsOrSaysThereIsNone) {
  LoadTasks({1, 2, 2, 1}, {true, false, true, true});
  Do(Command::CollapseAll);
  // Gantt: a task inside the folded summary is revealed, highlighted and centred.
  SessionEffects found = Find("  task 2 ");
  EXPECT_EQ(session_.State().FindHighlight, 1);
  EXPECT_GE(session_.State().Rows.TaskRow[1], 0);
  EXPECT_TRUE(found.Chart.Draw);
  // No match: the Find button flashes and the message stands in the status line.
  const SessionEffects none = Find("xyz");
  EXPECT_EQ(none.Status.Feedback.value_or(""), "No match for 'xyz'.");
  EXPECT_EQ(none.Timers.Feedback, TimerAction::Start);
  EXPECT_EQ(session_.State().FindHighlight, 1);
  // Tasks list with the filter on: finding a non-critical task switches the filter off.
  Do(Command::Critical);
  Tab(ViewKind::Tasks);
  const SessionEffects listed = Find("task 2");
  EXPECT_FALSE(session_.State().Rows.CriticalFilter);
  EXPECT_EQ(listed.Toolbar.CriticalChecked, std::optional<bool>(false));
  EXPECT_TRUE(listed.Lists.FillTasks);
  ASSERT_TRUE(listed.Lists.Select.has_value());
  EXPECT_EQ(listed.Lists.Select->Row, 1);
  EXPECT_TRUE(listed.Lists.Select->Focus);
  // A blank text does nothing at all.
  const SessionEffects blank = Find("   ");
  EXPECT_FALSE(blank.Lists.Select.has_value());
  EXPECT_FALSE(blank.Status.Feedback.has_value());
}

TEST_F(SessionTest, ListsAreFilledWhenShownAndKeysMoveTheirSelection) {
  LoadTasks({1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1},
            std::vector<bool>(30, true));
  EXPECT_FALSE(session_.State().TaskListFilled);
  EXPECT_TRUE(Tab(ViewKind::Tasks).Lists.FillTasks);
  EXPECT_TRUE(session_.State().TaskListFilled);
  EXPECT_FALSE(Tab(ViewKind::Tasks).Lists.FillTasks) << "filled once";
  // 400 units of list are 22 rows of 18.
  struct Row {
    NavigationKey key;
    std::int64_t row;
  };
  const Row rows[] = {{NavigationKey::Down, 1},     {NavigationKey::Down, 2},  {NavigationKey::Up, 1},
                      {NavigationKey::PageDown, 23}, {NavigationKey::End, 29}, {NavigationKey::Down, 29},
                      {NavigationKey::Home, 0},      {NavigationKey::Up, 0}};
  for (const Row& row : rows) {
    Do(Key(row.key));
    EXPECT_EQ(session_.State().TaskListSelection, row.row);
  }
  // F5 refills and keeps the selection.
  const SessionEffects refill = Do(Command::FitOrRefresh);
  EXPECT_TRUE(refill.Lists.FillTasks);
  ASSERT_TRUE(refill.Lists.Select.has_value());
  EXPECT_TRUE(refill.Lists.Select->KeepTopRow);
  EXPECT_EQ(refill.Lists.Select->Row, 0);
  EXPECT_FALSE(session_.State().ResourceListFilled);
  EXPECT_TRUE(Tab(ViewKind::Resources).Lists.FillResources);
  // Switching keeps the list and the chart on the same task.
  Tab(ViewKind::Tasks);
  Select(ViewKind::Tasks, 12);
  Tab(ViewKind::Gantt);
  EXPECT_EQ(ChartTopTask(session_.State().View, session_.State().Rows), 12);
  const SessionEffects back = Tab(ViewKind::Tasks);
  ASSERT_TRUE(back.Lists.Select.has_value());
  EXPECT_EQ(back.Lists.Select->Row, 12);
  EXPECT_TRUE(back.Lists.Select->AtTop);
  // A double-click on the list opens the selected row's task.
  EXPECT_EQ(Details(Do(ListDoubleClickEvent{})), 12);
}

TEST_F(SessionTest, SearchFieldFocusSwitchesTheNavigationKeysOnce) {
  ASSERT_TRUE(session_.State().NavigationKeysMode);  // as the window starts
  EXPECT_EQ(Do(SearchFocusEvent{true}).Toolbar.NavigationKeys, std::optional<bool>(false));
  EXPECT_FALSE(Do(SearchFocusEvent{true}).Toolbar.NavigationKeys.has_value());
  EXPECT_EQ(Do(SearchFocusEvent{false}).Toolbar.NavigationKeys, std::optional<bool>(true));
}

TEST_F(SessionTest, NewPlanStartsAtTheTopLeftWithEverythingReset) {
  LoadDemo();
  Do(Key(NavigationKey::End));
  Do(Command::CollapseAll);
  Do(Command::Critical);
  Find("quay");
  Tab(ViewKind::Tasks);
  Tab(ViewKind::Resources);
  Tab(ViewKind::Gantt);
  Do(Command::ZoomIn);
  const SessionEffects effects = OpenPlan(session_, plan_, "other.xml");
  EXPECT_EQ(session_.State().View.ScrollX, 0);
  EXPECT_EQ(session_.State().View.ScrollY, 0);
  EXPECT_FLOAT_EQ(session_.State().View.DayWidth, 5.0f) << "the scale survives loads";
  EXPECT_FALSE(session_.State().Rows.CriticalFilter);
  EXPECT_EQ(effects.Toolbar.CriticalChecked, std::optional<bool>(false));
  EXPECT_EQ(session_.State().Rows.RowCount, plan_->TaskCount());
  EXPECT_EQ(session_.State().FindHighlight, -1);
  EXPECT_FALSE(session_.State().TaskListFilled);
  EXPECT_FALSE(session_.State().ResourceListFilled);
  EXPECT_TRUE(effects.Chart.Draw);
}

TEST_F(SessionTest, FeedbackFlashesTheButtonAndHoldsTheMessage) {
  LoadDemo();
  Do(FileWrittenEvent{"Export", "Gantt chart saved as a.png", true, false});
  // A second feedback gives the first button its icon back.
  const SessionEffects second = Find("zzqx");
  EXPECT_EQ(second.Status.Feedback, std::optional<std::string>("No match for 'zzqx'."));
  EXPECT_EQ(second.Toolbar.Icons, (std::vector<ButtonIcon>{{ToolbarIcon::Export, ToolbarIcon::Export},
                                                           {ToolbarIcon::Find, ToolbarIcon::FindFeedback}}));
  std::vector<int> icons;
  std::int64_t ticks = 0;
  bool restored = false;
  while (session_.State().Feedback.Button.has_value() && ticks < 100) {
    const SessionEffects tick = Do(Tmr(SessionTimer::Feedback));
    for (const ButtonIcon& icon : tick.Toolbar.Icons) icons.push_back(IconIndex(icon.Icon));
    restored = restored || tick.Status.Compose;
    ++ticks;
  }
  EXPECT_EQ(ticks, FEEDBACK_MESSAGE_TICKS);
  EXPECT_TRUE(restored);
  EXPECT_EQ(icons, (std::vector<int>{4, 12, 4, 12, 4, 4, 4}));
}

TEST_F(SessionTest, ScrollBarsMoveTheOffsetsAndTabsOutOfRangeMeanGantt) {
  LoadDemo();
  EXPECT_TRUE(Do(ScrollBarEvent{false, 1}, 1000).Chart.Draw);
  EXPECT_EQ(session_.State().View.ScrollY, 1);
  Do(ScrollBarEvent{true, 1}, 1000);
  EXPECT_EQ(session_.State().View.ScrollX, 1);
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
    const std::int64_t record = session_.ListRecords(row.list)[3];
    const SessionEffects effects = Header(row.list, row.column);
    ASSERT_EQ(effects.Lists.SortIndicators.size(), 1u);
    EXPECT_EQ(effects.Lists.SortIndicators[0].Sort.Direction, row.direction);
    const std::vector<std::string> cells = Column(row.list, row.column);
    const std::vector<std::int64_t> records = session_.ListRecords(row.list);
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
    ASSERT_TRUE(effects.Lists.Select.has_value());
    EXPECT_EQ(records[static_cast<std::size_t>(effects.Lists.Select->Row)], record);
  }
  // The task IDs by value: 2 before 10.
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 0);
  Header(ViewKind::Tasks, 0);
  Header(ViewKind::Tasks, 0);
  std::vector<std::int64_t> ids;
  for (const std::int64_t task : session_.ListRecords(ViewKind::Tasks)) ids.push_back(plan_->Tasks[At(task)].ID);
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
  EXPECT_EQ(Header(ViewKind::Tasks, 99).Lists.SortIndicators.at(0).Sort, session_.State().TaskSort);
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
    ASSERT_EQ(session_.State().Rows.CriticalFilter, critical);
    EXPECT_TRUE(descending()) << critical;
    for (const std::int64_t t : session_.ListRecords(ViewKind::Tasks)) {
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
    EXPECT_EQ(found, session_.State().FindHighlight);
    EXPECT_NE(found, previous);
    previous = found;
    Header(ViewKind::Tasks, i % 3);  // the sort changes while Find walks
    EXPECT_EQ(SelectedTask(), found);
  }
  // The hand-over to the chart takes the selected task, not its row.
  const std::int64_t selected = SelectedTask();
  Tab(ViewKind::Gantt);
  EXPECT_EQ(ChartTopTask(session_.State().View, session_.State().Rows), selected);
}

TEST_F(SessionTest, CopyGivesTheSelectedRowsInShownOrderOrTheTaskUnderThePointer) {
  LoadDemo();
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 2);
  const std::vector<std::int64_t> shown = session_.ListRecords(ViewKind::Tasks);
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
    const SessionEffects effects = Do(CopyEvent{row.selected});
    if (row.expected.empty()) {
      EXPECT_FALSE(Clip(effects).has_value());
      continue;
    }
    std::vector<std::int64_t> records;
    for (const std::int64_t r : row.expected) records.push_back(shown[static_cast<std::size_t>(r)]);
    EXPECT_EQ(Clip(effects).value_or(""), ListTabText(*plan_, PlanList::Tasks, records));
  }
  Tab(ViewKind::Gantt);
  EXPECT_FALSE(Clip(Do(Command::Copy)).has_value());
  Do(Ptr(PointerAction::Move, 300, RowY(2)));
  const std::int64_t hovered = session_.State().PointerTask;
  ASSERT_GE(hovered, 0);
  const std::int64_t one[] = {hovered};
  EXPECT_EQ(Clip(Do(Command::Copy)).value_or(""), ListTabText(*plan_, PlanList::Tasks, one));
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
    Do(Whl(-3, false, 500));
    Header(ViewKind::Tasks, 3);
    Header(ViewKind::Resources, 0);
    Tab(ViewKind::Resources);
    const std::vector<std::int64_t> resourceOrder = session_.ListRecords(ViewKind::Resources);
    Tab(ViewKind::Tasks);
    if (row.view != ViewKind::Tasks) Tab(row.view);
    Select(ViewKind::Tasks, 7);
    const std::int64_t selectedUID = plan_->Tasks[At(SelectedTask())].UID;
    const ChartView before = session_.State().View;

    const SessionEffects asked = Do(Command::Reload);
    EXPECT_TRUE(Reads(asked)) << row.name;
    if (row.loaded) {
      // The same export read again: a new plan object with the same UIDs.
      ASSERT_TRUE(LoadPlan(*plan_, log_, "demo-plan.xml",
                           ReadFile(std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml")));
    }
    const SessionEffects done = FinishLoad(session_, row.loaded);
    EXPECT_FALSE(session_.State().Kept.has_value());
    EXPECT_EQ(session_.State().View.DayWidth, before.DayWidth) << row.name;
    EXPECT_EQ(session_.State().View.TaskColumnWidth, before.TaskColumnWidth);
    EXPECT_EQ(session_.State().View.ScrollY, before.ScrollY) << row.name;
    EXPECT_EQ(session_.State().TaskSort, (ListSort{3, SortDirection::Ascending}));
    EXPECT_EQ(session_.State().CurrentView, row.view);
    if (!row.loaded) {
      EXPECT_FALSE(done.Lists.FillTasks);
      continue;
    }
    EXPECT_EQ(done.Lists.SortIndicators.size(), 2u);
    if (row.view == ViewKind::Tasks) {
      EXPECT_EQ(plan_->Tasks[At(SelectedTask())].UID, selectedUID);
      ASSERT_TRUE(done.Lists.Select.has_value());
      EXPECT_EQ(done.Lists.Select->Row, session_.State().TaskListSelection);
    }
    Tab(ViewKind::Resources);
    EXPECT_EQ(session_.ListRecords(ViewKind::Resources), resourceOrder) << row.name;
    Tab(ViewKind::Tasks);
    std::vector<DayOrdinal> starts;
    for (const std::int64_t t : session_.ListRecords(ViewKind::Tasks)) starts.push_back(plan_->Tasks[At(t)].Start);
    EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end())) << row.name;
  }
}

TEST_F(SessionTest, ReloadAndFileChangesWithoutAPlanOrAfterANewPlan) {
  EXPECT_FALSE(Reads(Do(Command::Reload)));
  EXPECT_EQ(Box(Do(Command::Reload)).value_or(MessageBoxRequest{}).Title, "Reload");
  const SessionEffects quiet = Do(FileChangedEvent{});
  EXPECT_FALSE(Reads(quiet));
  EXPECT_FALSE(Box(quiet).has_value());

  LoadDemo();
  Tab(ViewKind::Tasks);
  Header(ViewKind::Tasks, 2);
  // Twenty changes while the first reload reads: one reload waits for it, the rest add nothing.
  EXPECT_TRUE(Reads(Do(FileChangedEvent{})));
  for (int i = 0; i < 19; ++i) EXPECT_FALSE(Reads(Do(FileChangedEvent{})));
  EXPECT_TRUE(session_.State().Opening.ReloadWaiting);
  EXPECT_TRUE(Reads(FinishLoad(session_, true))) << "the waiting reload follows";
  EXPECT_FALSE(Reads(FinishLoad(session_, true)));
  EXPECT_EQ(session_.State().TaskSort.Direction, SortDirection::Ascending);
  // An end that no load is waiting for changes nothing.
  EXPECT_TRUE(FinishLoad(session_, true).Lists.SortIndicators.empty());
  EXPECT_EQ(session_.State().TaskSort.Direction, SortDirection::Ascending);
  // A change while a dialog is open waits for it to close.
  EXPECT_FALSE(Reads(Do(FileChangedEvent{true})));
  EXPECT_TRUE(Reads(Do(DialogClosedEvent{})));
  FinishLoad(session_, true);
  // Another plan drops the sorts.
  Header(ViewKind::Tasks, 2);
  const SessionEffects fresh = OpenPlan(session_, plan_, "other.xml");
  EXPECT_EQ(session_.State().TaskSort.Direction, SortDirection::PlanOrder);
  EXPECT_EQ(fresh.Lists.SortIndicators.size(), 2u);
}

}  // namespace
}  // namespace nerin

namespace nerin {
namespace {

using namespace test;

class OpeningTest : public SessionTest {};

// A load runs in the background: the status line says so, Stop and Esc end it, commands that
// read the whole plan wait, and a second open replaces the first.
TEST_F(OpeningTest, ALoadUnderWayShowsProgressAndStops) {
  LoadDemo();
  OpenSourceEvent address{"https://example.org/p/big.xml?x=1", "big.xml", true, "", OpenOrigin::Dialog, true};
  SessionEffects effects = Do(address);
  ASSERT_TRUE(Reads(effects));
  EXPECT_TRUE(RequestOf<ReadRequest>(effects)->Address);
  EXPECT_EQ(effects.Status.Progress, std::optional<std::string>("Downloading big.xml\u2026"));
  EXPECT_EQ(effects.Toolbar.StopButton, std::optional<bool>(true));
  EXPECT_EQ(effects.Toolbar.EscapeKey, std::optional<bool>(true));
  EXPECT_EQ(effects.Timers.Progress, TimerAction::Start);
  EXPECT_EQ(session_.State().Opening.LastAddress, address.Source);
  EXPECT_EQ(Do(LoadProgressEvent{12'345'678}).Status.Progress,
            std::optional<std::string>("Downloading big.xml\u2026 12.3 MB"));
  EXPECT_EQ(Do(LoadProgressEvent{2'500}).Status.Progress, std::optional<std::string>("Downloading big.xml\u2026 3 KB"));
  // The chart and the lists answer meanwhile; what reads the whole plan waits.
  EXPECT_TRUE(Do(Key(NavigationKey::Down)).Chart.ShowScrollBars);
  for (const Command command : {Command::Export, Command::Print, Command::ModelDump, Command::Compare}) {
    effects = Do(command);
    EXPECT_EQ(Opened(effects), WindowAction::None);
    EXPECT_EQ(effects.Status.Feedback, std::optional<std::string>("Wait until big.xml has opened, or press Stop (Esc)."));
  }
  EXPECT_TRUE(Find("quay").Status.Feedback.has_value());
  // The details window would show the plan about to go.
  effects = Do(Ptr(PointerAction::DoubleClick, 500, RowY(1)));
  EXPECT_EQ(RequestOf<DetailsRequest>(effects), nullptr);
  EXPECT_EQ(effects.Status.Feedback, std::optional<std::string>("Wait until big.xml has opened, or press Stop (Esc)."));
  // A second open replaces the first, whose end is never taken.
  effects = Do(OpenSourceEvent{"/plans/next.xml", "next.xml", false, "/plans", OpenOrigin::Drop, true});
  EXPECT_TRUE(effects.Sources.StopLoad);
  EXPECT_EQ(effects.Status.Progress, std::optional<std::string>("Opening next.xml\u2026"));
  EXPECT_FALSE(effects.Toolbar.StopButton.has_value());
  EXPECT_TRUE(Do(Finished(address.Source, true, plan_)).Status.Compose == false);
  // Esc stops it: one line says so, nothing else changes.
  const std::int64_t rows = session_.State().Rows.RowCount;
  effects = Do(Command::Escape);
  EXPECT_TRUE(effects.Sources.StopLoad);
  EXPECT_EQ(effects.Status.Note, std::optional<std::string>("Opening next.xml was stopped."));
  EXPECT_EQ(effects.Toolbar.StopButton, std::optional<bool>(false));
  EXPECT_EQ(effects.Toolbar.EscapeKey, std::optional<bool>(false));
  EXPECT_EQ(effects.Timers.Progress, TimerAction::Stop);
  EXPECT_FALSE(session_.Loading());
  EXPECT_EQ(session_.State().Rows.RowCount, rows);
  EXPECT_EQ(session_.State().Opening.ShownName, "plan.xml");
  EXPECT_TRUE(FinishLoad(session_, true).Lists.SortIndicators.empty()) << "a stopped load's end is not taken";
  // Without a load the Stop button does nothing; Esc goes back to ending a comparison.
  EXPECT_FALSE(Do(Command::Stop).Status.Note.has_value());
}

// What an open that fails says: a window for an open the user asked for, titled with the
// file's name; nothing but the status line for a reload the viewer started by itself.
TEST_F(OpeningTest, FailedOpensAndReloadsReportAsTheyWereStarted) {
  LoadDemo();
  SessionEffects effects = OpenPlan(session_, nullptr, "broken.xml", false);
  const auto* window = RequestOf<MessagesWindowRequest>(effects);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Title, "broken.xml not loaded");
  EXPECT_EQ(window->Body, "ERROR: broken\n");
  EXPECT_EQ(session_.State().Opening.ShownName, "plan.xml") << "the plan shown stays, and its source";
  EXPECT_TRUE(session_.State().Opening.FailedReload.empty());

  ASSERT_TRUE(Reads(Do(FileChangedEvent{})));
  effects = FinishLoad(session_, false);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(effects.Request)) << "no window";
  EXPECT_TRUE(effects.Status.Compose);
  EXPECT_EQ(session_.StatusLineText("OK"),
            "FAILED | plan.xml changed but could not be reloaded: broken | the previous version is still displayed");
  // The next good write reloads, and the status line is the plan's again.
  ASSERT_TRUE(Reads(Do(FileChangedEvent{})));
  FinishLoad(session_, true);
  EXPECT_EQ(session_.StatusLineText("OK"), "OK");
  // Ctrl+R is asked for: its failure has its window.
  Do(Command::Reload);
  EXPECT_NE(RequestOf<MessagesWindowRequest>(FinishLoad(session_, false)), nullptr);
}

// The recent plans, the folders and the watch follow what is shown.
TEST_F(OpeningTest, WhatAnOpenLeavesBehind) {
  LoadDemo();
  EXPECT_EQ(session_.DialogFolder(), "/plans");
  EXPECT_EQ(Do(Command::OpenFile).Request.index(), SessionRequest(DialogRequest{}).index());
  EXPECT_EQ(RequestOf<DialogRequest>(Do(Command::Compare))->Folder, "/plans") << "Compare starts there too";
  Do(Command::Compare);  // the toggle back up
  SessionEffects effects = OpenPlan(session_, nullptr, "gone.xml", false, OpenOrigin::Recent);
  EXPECT_EQ(effects.Sources.Forget, std::optional<std::string>("/plans/gone.xml"));
  OpenSourceEvent other{"/elsewhere/b.xml", "b.xml", false, "/elsewhere", OpenOrigin::Dialog, true};
  Do(other);
  effects = Do(Finished(other.Source, true, plan_));
  EXPECT_EQ(effects.Sources.Remember, std::optional<std::string>("/elsewhere/b.xml"));
  EXPECT_EQ(effects.Sources.Watch, std::optional<std::string>("/elsewhere/b.xml"));
  EXPECT_EQ(session_.DialogFolder(), "/elsewhere");
  // A plan from the web has no folder and no file to watch; the dialogs keep the last folder.
  OpenSourceEvent web{"https://example.org/c.xml", "c.xml", true, "", OpenOrigin::Dialog, true};
  Do(web);
  effects = Do(Finished(web.Source, true, plan_));
  EXPECT_EQ(effects.Sources.Watch, std::optional<std::string>(""));
  EXPECT_EQ(session_.DialogFolder(), "/elsewhere");
  // A dropped file the viewer cannot read.
  const auto box = Box(Do(OpenSourceEvent{"/x/notes.txt", "notes.txt", false, "/x", OpenOrigin::Drop, false}));
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->Text, "Only MS Project plans (.xml or .mpp files) are supported.");
  EXPECT_FALSE(session_.Loading());
}

}  // namespace
}  // namespace nerin
