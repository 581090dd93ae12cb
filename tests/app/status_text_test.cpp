// SPDX-License-Identifier: MIT
// The status line, the messages button and the titles for given plans and message logs.
#include <gtest/gtest.h>

#include <memory>

#include "app/status_text.h"

namespace nerin {
namespace {

struct Situation {
  bool loaded = false;
  bool matches = false;
  std::int64_t tasks = 0;
  std::int64_t resources = 0;
  std::int64_t links = 0;  // spread over the tasks
  std::int64_t milliseconds = 0;
  std::int64_t errors = 0;
  std::int64_t warnings = 0;
  std::int64_t infos = 0;
  std::string name;
};

// One plan for the whole suite: it holds 10000 task records.
Plan& SharedPlan() {
  static const std::unique_ptr<Plan> plan = std::make_unique<Plan>();
  return *plan;
}

Plan& PlanFor(const Situation& s, MessageLog& log) {
  Plan& plan = SharedPlan();
  plan.ProjectLoaded = s.loaded;
  plan.MessagesMatchPlan = s.matches;
  plan.Tasks.assign(static_cast<std::size_t>(s.tasks), Task{});
  plan.Resources.assign(static_cast<std::size_t>(s.resources), Resource{});
  plan.LoadMilliseconds = s.milliseconds;
  plan.LoadReport = "plan.xml\r\n3 tasks";
  plan.ProjectName = s.name;
  for (std::int64_t i = 0; i < s.links; ++i) {
    plan.Tasks[static_cast<std::size_t>(i % s.tasks)].Links.emplace_back();
  }
  ClearMessages(log);
  for (std::int64_t i = 0; i < s.infos; ++i) AddMessage(log, MessageLevel::Info, "note");
  for (std::int64_t i = 0; i < s.warnings; ++i) AddMessage(log, MessageLevel::Warning, "careful");
  for (std::int64_t i = 0; i < s.errors; ++i) AddMessage(log, MessageLevel::Error, "broken");
  return plan;
}

struct StatusCase {
  const char* name;
  Situation situation;
  std::string text;
  Rgb background;
  bool tooltip;
  MessagesButtonContent button;
};

// ctest lists each case by this name.
void PrintTo(const StatusCase& c, std::ostream* out) {
  *out << c.name;
}

class StatusFieldTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusFieldTest, TextColourTooltipAndButton) {
  const StatusCase& c = GetParam();
  MessageLog log;
  const Plan& plan = PlanFor(c.situation, log);
  const StatusFieldContent status = ComposeStatusField(plan, c.situation.matches, log);
  EXPECT_EQ(status.text, c.text);
  EXPECT_EQ(status.background, c.background);
  EXPECT_EQ(status.tooltip, c.tooltip ? plan.LoadReport : std::string());
  const MessagesButtonContent button = ComposeMessagesButton(plan, c.situation.matches, log);
  EXPECT_EQ(button.visible, c.button.visible);
  EXPECT_EQ(button.label, c.button.label);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, StatusFieldTest,
    ::testing::Values(
        StatusCase{"Ready", {}, READY_STATUS_TEXT, STATUS_READY_BACKGROUND, false, {}},
        StatusCase{"OkWithMessages",
                   {true, true, 12, 3, 10, 45, 0, 0, 2, ""},
                   "OK | loaded | 12 tasks | 3 resources | 10 dependencies | 2 message(s) | loaded in 45 ms",
                   STATUS_OK_BACKGROUND,
                   true,
                   {true, "View messages (2)"}},
        StatusCase{"OkQuiet",
                   {true, true, 12, 3, 10, 45, 0, 0, 0, ""},
                   "OK | loaded | 12 tasks | 3 resources | 10 dependencies | loaded in 45 ms",
                   STATUS_OK_BACKGROUND,
                   true,
                   {}},
        StatusCase{
            "Warning",
            {true, true, 12, 3, 10, 45, 0, 1, 0, ""},
            "WARNING | loaded | 12 tasks | 3 resources | 10 dependencies | 1 warning(s) | loaded in 45 ms",
            STATUS_WARNING_BACKGROUND,
            true,
            {true, "View warnings (1)"}},
        StatusCase{
            "WarningsAndMessages",
            {true, true, 12, 3, 10, 45, 0, 2, 5, ""},
            "WARNING | loaded | 12 tasks | 3 resources | 10 dependencies | 2 warning(s) | 5 message(s) | "
            "loaded in 45 ms",
            STATUS_WARNING_BACKGROUND,
            true,
            {true, "View warnings (2)"}},
        StatusCase{"SlowLoadInSeconds",
                   {true, true, 12, 3, 10, 1500, 0, 0, 0, ""},
                   "OK | loaded | 12 tasks | 3 resources | 10 dependencies | loaded in 1.50 s",
                   STATUS_OK_BACKGROUND,
                   true,
                   {}},
        // A load still running reports no time.
        StatusCase{"NoTimeYet",
                   {true, true, 1, 0, 0, -1, 0, 0, 0, ""},
                   "OK | loaded | 1 tasks | 0 resources | 0 dependencies",
                   STATUS_OK_BACKGROUND,
                   false,
                   {}},
        StatusCase{"RejectedKeepsPrevious",
                   {true, false, 12, 3, 10, 45, 1, 0, 0, ""},
                   "FAILED | 1 error(s) | previous project is still displayed | loaded in 45 ms",
                   STATUS_FAILED_BACKGROUND,
                   true,
                   {}},
        StatusCase{"RejectedWithWarningsHidesButton",
                   {true, false, 12, 3, 10, 45, 2, 3, 4, ""},
                   "FAILED | 2 error(s) | previous project is still displayed | loaded in 45 ms",
                   STATUS_FAILED_BACKGROUND,
                   true,
                   {}},
        StatusCase{"FailedWithoutProject",
                   {false, false, 0, 0, 0, 45, 1, 0, 3, ""},
                   "FAILED | 1 error(s)",
                   STATUS_FAILED_BACKGROUND,
                   false,
                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TitleCase {
  const char* name;
  bool loaded;
  std::string projectName;
  std::string title;
};

// ctest lists each case by this name.
void PrintTo(const TitleCase& c, std::ostream* out) {
  *out << c.name;
}

class WindowTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(WindowTitleTest, NamesTheShownProject) {
  const TitleCase& c = GetParam();
  MessageLog log;
  Situation s;
  s.loaded = c.loaded;
  s.matches = c.loaded;
  s.name = c.projectName;
  EXPECT_EQ(WindowTitleText(PlanFor(s, log)), c.title);
}

INSTANTIATE_TEST_SUITE_P(Titles, WindowTitleTest,
                         ::testing::Values(TitleCase{"Named", true, "Bridge", "Bridge - Nerin Plan Viewer"},
                                           TitleCase{"Unnamed", true, "", "Nerin Plan Viewer"},
                                           TitleCase{"NotLoaded", false, "Bridge", "Nerin Plan Viewer"},
                                           TitleCase{"Unicode", true, "Brücke Süd",
                                                     "Brücke Süd - Nerin Plan Viewer"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MessagesTitleCase {
  std::int64_t warnings, infos, errors;
  std::string title;
};

// ctest lists each case by this name.
void PrintTo(const MessagesTitleCase& c, std::ostream* out) {
  *out << c.warnings << "_warnings_" << c.infos << "_infos_" << c.errors << "_errors";
}

class MessagesWindowTitleTest : public ::testing::TestWithParam<MessagesTitleCase> {};

TEST_P(MessagesWindowTitleTest, WarningsFirstThenMessages) {
  const MessagesTitleCase& c = GetParam();
  MessageLog log;
  for (std::int64_t i = 0; i < c.infos; ++i) AddMessage(log, MessageLevel::Info, "i");
  for (std::int64_t i = 0; i < c.warnings; ++i) AddMessage(log, MessageLevel::Warning, "w");
  for (std::int64_t i = 0; i < c.errors; ++i) AddMessage(log, MessageLevel::Error, "e");
  EXPECT_EQ(MessagesWindowTitle(log), c.title);
}

INSTANTIATE_TEST_SUITE_P(Logs, MessagesWindowTitleTest,
                         ::testing::Values(MessagesTitleCase{2, 5, 0, "Warnings"},
                                           MessagesTitleCase{0, 1, 0, "Messages"},
                                           MessagesTitleCase{0, 0, 0, ""}, MessagesTitleCase{0, 0, 2, "Errors"},
                                           MessagesTitleCase{1, 0, 1, "Errors"}));

TEST(StatusTextTest, SourceKindTitlesAndLoadingLine) {
  EXPECT_EQ(NotLoadedTitle("File"), "File not loaded");
  EXPECT_EQ(NotLoadedTitle("Address"), "Address not loaded");
}

}  // namespace
}  // namespace nerin
