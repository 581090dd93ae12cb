// SPDX-License-Identifier: MIT
// Print and Print preview as the session decides them: the dialogs open only on the Gantt chart
// of a plan; anywhere else the Export button flashes with the reason.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "model/load_plan.h"
#include "model/message_log.h"
#include "views/viewer_session.h"

#include "views/session_test_support.h"

namespace nerin {
namespace {

using namespace test;

TEST(PrintSessionTest, PagesOpenOnlyOnTheGanttChartOfAPlan) {
  struct Case {
    const char* name;
    bool plan;
    ViewKind tab;
    WindowAction print;  // the window opened, else the refusal below
    const char* refusal;
  };
  const Case cases[] = {
      {"no plan", false, ViewKind::Gantt, WindowAction::None, "Open a plan before printing the chart."},
      {"Tasks", true, ViewKind::Tasks, WindowAction::None,
       "Printing draws the Gantt chart; switch to the Gantt tab first."},
      {"Resources", true, ViewKind::Resources, WindowAction::None,
       "Printing draws the Gantt chart; switch to the Gantt tab first."},
      {"Gantt", true, ViewKind::Gantt, WindowAction::Print, ""},
  };
  std::ifstream in(std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml", std::ios::binary);
  std::ostringstream xml;
  xml << in.rdbuf();
  for (const Case& c : cases) {
    for (const Command command : {Command::Print, Command::PrintPreview}) {
      SCOPED_TRACE(std::string(c.name) + (command == Command::Print ? ", print" : ", preview"));
      auto plan = std::make_shared<Plan>();
      MessageLog log;
      ViewerSession session;
      if (c.plan) {
        ASSERT_TRUE(LoadPlan(*plan, log, "demo-plan.xml", xml.str()));
        Fire(session, Rsz(1000, 500, 400));
        OpenPlan(session, plan);
      }
      session.Apply(TabEvent{c.tab});
      const SessionEffects effects = Fire(session, Cmd(command, 1000));
      if (c.print == WindowAction::None) {
        EXPECT_EQ(Opened(effects), WindowAction::None);
        EXPECT_EQ(effects.Status.Feedback, std::optional<std::string>(c.refusal));
        ASSERT_FALSE(effects.Toolbar.Icons.empty());
        EXPECT_EQ(effects.Toolbar.Icons.front().Button, ToolbarIcon::Export);
      } else {
        EXPECT_EQ(Opened(effects), command == Command::Print ? WindowAction::Print : WindowAction::PrintPreview);
        EXPECT_FALSE(effects.Status.Feedback.has_value());
      }
    }
  }
}

TEST(PrintSessionTest, SavedChartReportsGoToTheStatusLineOrABox) {
  struct Case {
    const char* name;
    const char* report;
    bool saved;
    bool longIsError;
    std::int64_t flashTicks;  // 0: a box instead
    bool errorBox;
    bool inBox = false;
  };
  const Case cases[] = {
      {"saved", "Gantt chart saved as a.png", true, false, 4, false},
      {"refused", "The file could not be written.", false, false, 6, false},
      {"saved, two lines", "Gantt chart saved as a.png\nCut off at 30000 pixels.", true, false, 0, false},
      {"failed, two lines", "Not saved.\nThe disk is full.", false, false, 0, true},
      {"document, two lines", "Not saved.\nThe disk is full.", true, true, 0, true},
      // A file the dialog chose that could not be written, a print refused: a box of their own.
      {"not written", "The file could not be written.", false, true, 0, true, true},
      {"print refused", "The chart does not fit the page.", false, true, 0, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerSession session;
    const SessionEffects effects = session.Apply(FileWrittenEvent{"Export Gantt chart", c.report, c.saved, c.longIsError, c.inBox});
    if (c.flashTicks > 0) {
      EXPECT_FALSE(Box(effects).has_value());
      EXPECT_EQ(effects.Status.Feedback, std::optional<std::string>(c.report));
      EXPECT_EQ(effects.Status.FeedbackSucceeded, c.saved) << "a success is not shown as a warning";
      EXPECT_EQ(session.State().Feedback.FlashTicks, c.flashTicks);
      EXPECT_EQ(session.State().Feedback.Button, std::optional<ToolbarIcon>(ToolbarIcon::Export));
    } else {
      ASSERT_TRUE(Box(effects).has_value());
      EXPECT_EQ(Box(effects)->Title, "Export Gantt chart");
      EXPECT_EQ(Box(effects)->Text, c.report);
      EXPECT_EQ(Box(effects)->Error, c.errorBox);
      EXPECT_FALSE(effects.Status.Feedback.has_value());
    }
  }
}

}  // namespace
}  // namespace nerin
