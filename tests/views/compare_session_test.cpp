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

#include "views/session_test_support.h"

namespace nerin {
namespace {

using namespace test;

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
    Fire(*session_, Rsz(1000, 500, 400));
    OpenPlan(*session_, plan_, "now.xml");
  }
  // The reference finishes task 2 five days earlier than the plan shown.
  SessionEffects Loaded(const std::string& name, std::int64_t now = 5000) {
    auto reference = std::make_shared<Plan>();
    MessageLog log;
    EXPECT_TRUE(LoadPlan(*reference, log, name, PlanXml("2026-03-15T17:00:00")));
    Ask(name);
    return session_->Apply(CompareFinishedEvent{"/plans/" + name, reference, ""}, {now, 0});
  }
  SessionEffects Failed() {
    Ask("broken.xml");
    return session_->Apply(CompareFinishedEvent{"/plans/broken.xml", nullptr, "ERROR: broken\n"}, {9000, 0});
  }
  // The reference chosen in the dialog; its load starts.
  SessionEffects Ask(const std::string& name) {
    OpenSourceEvent source{"/plans/" + name, name, false, "/plans", OpenOrigin::Reference, true};
    return session_->Apply(source);
  }
  static bool Redraws(const SessionEffects& effects) {
    return effects.Chart.Draw || effects.Timers.Redraw == TimerAction::Start;
  }

  // A new session on a plan not yet loaded.
  void Reset() {
    session_.reset();
    plan_ = std::make_shared<Plan>();
    session_ = std::make_unique<ViewerSession>();
  }

  std::shared_ptr<Plan> plan_ = std::make_shared<Plan>();
  MessageLog log_;
  std::unique_ptr<ViewerSession> session_ = std::make_unique<ViewerSession>();
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
    const SessionEffects effects = Fire(*session_, Cmd(c.command, 1000));
    EXPECT_EQ(Opened(effects), c.open);
    // The toggle went down with the click; it stays up until a comparison is there.
    EXPECT_EQ(effects.Toolbar.CompareChecked, std::optional<bool>(false));
    EXPECT_EQ(Box(effects).has_value(), !c.plan);
    if (Box(effects)) {
      EXPECT_EQ(Box(effects)->Title, "Compare with");
      EXPECT_FALSE(Box(effects)->Error);
    }
    EXPECT_EQ(effects.Status.Compose, c.plan);
    EXPECT_FALSE(effects.Toolbar.EscapeKey.has_value());
    EXPECT_FALSE(session_->Comparing());
  }
}

TEST_F(CompareSessionTest, ALoadedReferenceShowsItsChangesAndRegistersEscOnce) {
  LoadSubject();
  SessionEffects effects = Loaded("week-48.xml");
  ASSERT_TRUE(session_->Comparing());
  ASSERT_NE(session_->State().Changes, nullptr);
  EXPECT_EQ(session_->State().Comparison.Changes, session_->State().Changes.get());
  EXPECT_EQ(session_->State().Comparison.ReferenceName, "week-48.xml");
  EXPECT_EQ(session_->State().Changes->MovedCount, 1);
  ASSERT_NE(session_->State().Changes->ChangeOf(1), nullptr);
  EXPECT_EQ(session_->State().Changes->ChangeOf(1)->FinishShiftDays, 5);
  EXPECT_EQ(ComparisonStatusText(session_->State().Comparison).rfind("Compared with week-48.xml: ", 0), 0u);
  EXPECT_FALSE(effects.Toolbar.EscapeKey.has_value()) << "registered when the reference's load began";
  EXPECT_EQ(effects.Toolbar.CompareChecked, std::optional<bool>(true));
  EXPECT_TRUE(effects.Lists.ShowChanges);
  EXPECT_TRUE(effects.Status.Compose);
  EXPECT_TRUE(Redraws(effects));

  // Another reference while comparing replaces the first; Esc is already there.
  effects = Loaded("week-49.xml", 9000);
  EXPECT_EQ(session_->State().Comparison.ReferenceName, "week-49.xml");
  EXPECT_FALSE(effects.Toolbar.EscapeKey.has_value());
  EXPECT_EQ(effects.Toolbar.CompareChecked, std::optional<bool>(true));

  // A reference that fails to load leaves the comparison as it was.
  effects = Failed();
  EXPECT_TRUE(session_->Comparing());
  EXPECT_EQ(session_->State().Comparison.ReferenceName, "week-49.xml");
  EXPECT_FALSE(effects.Toolbar.EscapeKey.has_value());
  EXPECT_EQ(effects.Toolbar.CompareChecked, std::optional<bool>(true));
}

TEST_F(CompareSessionTest, EveryWayOfStoppingEndsTheComparisonAndTakesEscAway) {
  struct Case {
    const char* name;
    std::function<SessionEffects(ViewerSession&)> stop;
  };
  const Case cases[] = {
      {"button", [](ViewerSession& s) { return Fire(s, Cmd(Command::Compare, 20000)); }},
      {"Esc", [](ViewerSession& s) { return Fire(s, Cmd(Command::StopComparing, 20000)); }},
      {"new plan", [this](ViewerSession& s) { return OpenPlan(s, plan_, "other.xml"); }},
  };
  LoadSubject();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Loaded("week-48.xml");
    ASSERT_TRUE(session_->Comparing());
    const SessionEffects effects = c.stop(*session_);
    EXPECT_FALSE(session_->Comparing());
    EXPECT_EQ(session_->State().Changes, nullptr);
    EXPECT_TRUE(session_->State().Comparison.ReferenceName.empty());
    EXPECT_EQ(effects.Toolbar.EscapeKey, std::optional<bool>(false));
    EXPECT_EQ(effects.Toolbar.CompareChecked, std::optional<bool>(false));
    EXPECT_TRUE(effects.Lists.ShowChanges);
    EXPECT_EQ(Opened(effects), WindowAction::None);
  }
  // Stopping when nothing is compared changes nothing that shows.
  const SessionEffects effects = Fire(*session_, Cmd(Command::StopComparing));
  EXPECT_FALSE(effects.Toolbar.CompareChecked.has_value());
  EXPECT_FALSE(effects.Status.Compose);
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
    session_->Apply(TabEvent{c.tab});
    const SessionEffects effects = Loaded("week-48.xml", 30000);
    EXPECT_EQ(session_->Comparing(), c.comparing);
    // Without a plan no reference is read at all.
    EXPECT_EQ(effects.Toolbar.CompareChecked, c.plan ? std::optional<bool>(c.comparing) : std::nullopt);
    EXPECT_FALSE(effects.Toolbar.EscapeKey.has_value());
    EXPECT_EQ(effects.Lists.ShowChanges, c.plan);
    EXPECT_EQ(effects.Status.Compose, c.status);
    EXPECT_EQ(Redraws(effects), c.redraw);
  }
}

// A reload keeps the comparison, matched again by UID against the plan read anew; opening
// another plan ends it.
TEST_F(CompareSessionTest, AReloadKeepsTheComparisonAnotherPlanEndsIt) {
  LoadSubject();
  Loaded("week-48.xml");
  ASSERT_EQ(session_->State().Changes->ChangeOf(1)->FinishShiftDays, 5);
  const Plan* before = session_->State().Changes.get() != nullptr ? session_->State().Reference.get() : nullptr;
  EXPECT_TRUE(Reads(Fire(*session_, Cmd(Command::Reload))));
  // The file now moves task 2 two days further out.
  ASSERT_TRUE(LoadPlan(*plan_, log_, "now.xml", PlanXml("2026-03-22T17:00:00")));
  const SessionEffects reloaded = FinishLoad(*session_, true);
  ASSERT_TRUE(session_->Comparing());
  EXPECT_EQ(session_->State().Reference.get(), before);
  EXPECT_EQ(session_->State().Comparison.ReferenceName, "week-48.xml");
  ASSERT_NE(session_->State().Changes->ChangeOf(1), nullptr);
  EXPECT_EQ(session_->State().Changes->ChangeOf(1)->FinishShiftDays, 7);
  EXPECT_EQ(reloaded.Toolbar.CompareChecked, std::optional<bool>(true));
  EXPECT_TRUE(reloaded.Lists.ShowChanges);
  // A reload that fails keeps it as it was.
  Fire(*session_, Cmd(Command::Reload));
  FinishLoad(*session_, false);
  EXPECT_TRUE(session_->Comparing());
  // Another plan ends it.
  const SessionEffects other = OpenPlan(*session_, plan_, "other.xml");
  EXPECT_FALSE(session_->Comparing());
  EXPECT_EQ(session_->State().Reference, nullptr);
  EXPECT_EQ(other.Toolbar.EscapeKey, std::optional<bool>(false));
}

}  // namespace
}  // namespace nerin
