// SPDX-License-Identifier: MIT
// What an open or a reload does to the recent plans, the shown source and the file watch.
#include <gtest/gtest.h>

#include <string>

#include "views/viewer_session.h"

namespace nerin {
namespace {

struct OpenCase {
  const char* name;
  OpenOutcome outcome;
  AfterOpen expected;
};

class DecideAfterOpenTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(DecideAfterOpenTest, RecentPlansAndWatchFollowThePlanShown) {
  const OpenCase& c = GetParam();
  const AfterOpen after = DecideAfterOpen(c.outcome);
  EXPECT_EQ(after.TakeSource, c.expected.TakeSource);
  EXPECT_EQ(after.DropSource, c.expected.DropSource);
  EXPECT_EQ(after.Recent, c.expected.Recent);
  EXPECT_EQ(after.Watch, c.expected.Watch);
}

// Outcome fields: Loaded, Reload, FromRecent, PlanShown, ShownIsAddress, Watching.
INSTANTIATE_TEST_SUITE_P(
    Opens, DecideAfterOpenTest,
    ::testing::Values(
        OpenCase{"NewFileIsRememberedAndWatched", {true, false, false, true, false, false},
                 {true, false, RecentChange::Remember, WatchChange::Follow}},
        OpenCase{"NewFileMovesAnExistingWatch", {true, false, false, true, false, true},
                 {true, false, RecentChange::Remember, WatchChange::Follow}},
        OpenCase{"AddressIsRememberedButNotWatched", {true, false, false, true, true, true},
                 {true, false, RecentChange::Remember, WatchChange::Stop}},
        OpenCase{"RecentThatLoadsIsRememberedAgain", {true, false, true, true, false, false},
                 {true, false, RecentChange::Remember, WatchChange::Follow}},
        OpenCase{"FailedRecentLeavesTheListAndThePlanShownStays", {false, false, true, true, false, true},
                 {false, false, RecentChange::Forget, WatchChange::Keep}},
        OpenCase{"FailedRecentWithNoPlanLeftStopsTheWatch", {false, false, true, false, false, true},
                 {false, true, RecentChange::Forget, WatchChange::Stop}},
        OpenCase{"FailedDialogOpenKeepsTheRecentPlans", {false, false, false, true, false, true},
                 {false, false, RecentChange::Keep, WatchChange::Keep}},
        OpenCase{"ReloadKeepsTheWatchAndTheRecentOrder", {true, true, false, true, false, true},
                 {false, false, RecentChange::Keep, WatchChange::Keep}},
        OpenCase{"ReloadWatchesAgainWhenTheWatchWasLost", {true, true, false, true, false, false},
                 {false, false, RecentChange::Keep, WatchChange::Follow}},
        OpenCase{"ReloadOfAnAddressWatchesNothing", {true, true, false, true, true, false},
                 {false, false, RecentChange::Keep, WatchChange::Stop}},
        OpenCase{"FailedReloadKeepsEverything", {false, true, false, true, false, true},
                 {false, false, RecentChange::Keep, WatchChange::Keep}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nerin
