// SPDX-License-Identifier: MIT
// Comparing with a reference version as the session decides it: starting, the reference read or
// not, stopping every way, and a new plan ending it. Esc is registered exactly while comparing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/load_plan.h"
#include "model/message_log.h"
#include "views/viewer_session.h"

namespace nerin {
namespace {

// Three tasks; the finish of task 2 is given, so that a reference can move it.
std::string PlanXml(const std::string& secondFinish) {
  std::string tasks;
  for (int i = 1; i <= 3; ++i) {
    const std::string finish = i == 2 ? secondFinish : "2026-03-1" + std::to_string(i) + "T17:00:00";
    tasks += "<Task><UID>" + std::to_string(i) + "</UID><ID>" + std::to_string(i) + "</ID><Name>Task " +
             std::to_string(i) + "</Name><OutlineLevel>1</OutlineLevel><Start>2026-03-0" + std::to_string(i + 1) +
             "T08:00:00</Start><Finish>" + finish + "</Finish></Task>";
  }
  return "<Project xmlns=\"http://schemas.microsoft.com/project\"><Name>T</Name><StartDate>2026-03-02T08:00:00"
         "</StartDate><FinishDate>2026-03-31T17:00:00</FinishDate><Tasks>" +
         tasks + "</Tasks></Project>";
}

class CompareSessionTest : public ::testing::Test {
 protected:
  void LoadSubject() {
    ASSERT_TRUE(LoadPlan(*plan_, log_, "now.xml", PlanXml("2026-03-20T17:00:00"))) << MessageListText(log_);
    Apply(*session_, ResizeEvent(1000, 500, 400));
    StartNewPlan(*session_, SessionEvent{});
  }
  // The reference finishes task 2 five days earlier than the plan shown.
  SessionEffects Loaded(const std::string& name, std::int64_t now = 5000) {
    Plan reference;
    MessageLog log;
    EXPECT_TRUE(LoadPlan(reference, log, name, PlanXml("2026-03-15T17:00:00")));
    SessionEvent event;
    event.Kind = EventKind::CompareLoaded;
    event.Now = now;
    event.Reference = &reference;
    event.ReferenceName = name;
    return Apply(*session_, event);
  }
  SessionEffects Failed() {
    SessionEvent event;
    event.Kind = EventKind::CompareFailed;
    event.Now = 9000;
    return Apply(*session_, event);
  }
  static bool Redraws(const SessionEffects& effects) {
    return effects.Draw || effects.RedrawTimer == TimerAction::Start;
  }

  // A new session on a plan not yet loaded.
  void Reset() {
    session_.reset();
    plan_ = std::make_unique<Plan>();
    session_ = std::make_unique<ViewerSession>(*plan_);
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  MessageLog log_;
  std::unique_ptr<ViewerSession> session_ = std::make_unique<ViewerSession>(*plan_);
};

TEST_F(CompareSessionTest, StartingAsksForTheReferenceOnlyWithAPlan) {
  struct Case {
    const char* name;
    bool plan;
    Command command;
    WindowAction open;
  };
  const Case cases[] = {
      {"button, no plan", false, Command::Compare, WindowAction::None},
      {"address, no plan", false, Command::CompareAddress, WindowAction::None},
      {"button", true, Command::Compare, WindowAction::Compare},
      {"address", true, Command::CompareAddress, WindowAction::CompareAddress},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.plan && !plan_->ProjectLoaded) LoadSubject();
    const SessionEffects effects = Apply(*session_, CommandEvent(c.command, 1000));
    EXPECT_EQ(effects.Open, c.open);
    // The toggle went down with the click; it stays up until a comparison is there.
    EXPECT_EQ(effects.CompareChecked, std::optional<bool>(false));
    EXPECT_EQ(effects.Box.has_value(), !c.plan);
    if (effects.Box) {
      EXPECT_EQ(effects.Box->Title, "Compare with");
      EXPECT_FALSE(effects.Box->Error);
    }
    EXPECT_EQ(effects.UpdateStatus, c.plan);
    EXPECT_FALSE(effects.StopComparingKey.has_value());
    EXPECT_FALSE(Comparing(*session_));
  }
}

TEST_F(CompareSessionTest, ALoadedReferenceShowsItsChangesAndRegistersEscOnce) {
  LoadSubject();
  SessionEffects effects = Loaded("week-48.xml");
  ASSERT_TRUE(Comparing(*session_));
  ASSERT_NE(session_->Changes, nullptr);
  EXPECT_EQ(session_->Comparison.Changes, session_->Changes.get());
  EXPECT_EQ(session_->Comparison.ReferenceName, "week-48.xml");
  EXPECT_EQ(session_->Changes->MovedCount, 1);
  ASSERT_NE(session_->Changes->ChangeOf(1), nullptr);
  EXPECT_EQ(session_->Changes->ChangeOf(1)->FinishShiftDays, 5);
  EXPECT_EQ(ComparisonStatusText(session_->Comparison).rfind("Compared with week-48.xml: ", 0), 0u);
  EXPECT_EQ(effects.StopComparingKey, std::optional<bool>(true));
  EXPECT_EQ(effects.CompareChecked, std::optional<bool>(true));
  EXPECT_TRUE(effects.ShowChanges);
  EXPECT_TRUE(effects.UpdateStatus);
  EXPECT_TRUE(Redraws(effects));

  // Another reference while comparing replaces the first; Esc is already there.
  effects = Loaded("week-49.xml", 9000);
  EXPECT_EQ(session_->Comparison.ReferenceName, "week-49.xml");
  EXPECT_FALSE(effects.StopComparingKey.has_value());
  EXPECT_EQ(effects.CompareChecked, std::optional<bool>(true));

  // A reference that fails to load leaves the comparison as it was.
  effects = Failed();
  EXPECT_TRUE(Comparing(*session_));
  EXPECT_EQ(session_->Comparison.ReferenceName, "week-49.xml");
  EXPECT_FALSE(effects.StopComparingKey.has_value());
  EXPECT_EQ(effects.CompareChecked, std::optional<bool>(true));
}

TEST_F(CompareSessionTest, EveryWayOfStoppingEndsTheComparisonAndTakesEscAway) {
  struct Case {
    const char* name;
    std::function<SessionEffects(ViewerSession&)> stop;
  };
  const Case cases[] = {
      {"button", [](ViewerSession& s) { return Apply(s, CommandEvent(Command::Compare, 20000)); }},
      {"Esc", [](ViewerSession& s) { return Apply(s, CommandEvent(Command::StopComparing, 20000)); }},
      {"new plan", [](ViewerSession& s) { return EndComparison(s, SessionEvent{}); }},
  };
  LoadSubject();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Loaded("week-48.xml");
    ASSERT_TRUE(Comparing(*session_));
    const SessionEffects effects = c.stop(*session_);
    EXPECT_FALSE(Comparing(*session_));
    EXPECT_EQ(session_->Changes, nullptr);
    EXPECT_TRUE(session_->Comparison.ReferenceName.empty());
    EXPECT_EQ(effects.StopComparingKey, std::optional<bool>(false));
    EXPECT_EQ(effects.CompareChecked, std::optional<bool>(false));
    EXPECT_TRUE(effects.ShowChanges);
    EXPECT_EQ(effects.Open, WindowAction::None);
  }
  // Stopping when nothing is compared changes nothing that shows.
  const SessionEffects effects = EndComparison(*session_, SessionEvent{});
  EXPECT_FALSE(effects.CompareChecked.has_value());
  EXPECT_FALSE(effects.UpdateStatus);
}

TEST_F(CompareSessionTest, WhatIsShownFollowsThePlanAndTheTab) {
  struct Case {
    const char* name;
    bool plan;
    ViewKind tab;
    bool comparing;
    bool status;
    bool redraw;
  };
  const Case cases[] = {
      // A reference that arrives after the plan went away has nothing to be compared with.
      {"no plan", false, ViewKind::Gantt, false, false, false},
      {"Gantt", true, ViewKind::Gantt, true, true, true},
      {"Tasks", true, ViewKind::Tasks, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    if (c.plan) LoadSubject();
    SessionEvent tab;
    tab.Kind = EventKind::TabChanged;
    tab.View = c.tab;
    Apply(*session_, tab);
    const SessionEffects effects = Loaded("week-48.xml", 30000);
    EXPECT_EQ(Comparing(*session_), c.comparing);
    EXPECT_EQ(effects.CompareChecked, std::optional<bool>(c.comparing));
    EXPECT_EQ(effects.StopComparingKey.has_value(), c.comparing);
    EXPECT_TRUE(effects.ShowChanges);
    EXPECT_EQ(effects.UpdateStatus, c.status);
    EXPECT_EQ(Redraws(effects), c.redraw);
  }
}

}  // namespace
}  // namespace nerin
