// SPDX-License-Identifier: MIT
// Predecessor links, driving links and the facts derived after the task walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plan_text.h"

namespace nerin {
namespace {

using test::Element;
using test::Has;
using test::LinkXml;
using test::ProjectXml;
using test::TaskXml;

TEST(Links, AreReadResolvedAndCorrected) {
  struct Row {
    std::string links;     // of task UID 4; tasks 1 to 4 exist
    std::string expected;  // its dump entry
    std::string warning;
  };
  const std::string unresolved =
      "WARNING: 1 dependency link(s) reference a predecessor UID that does not exist; those links are not "
      "drawn.";
  std::string links69;
  std::string stored64;
  for (int i = 0; i < 69; ++i) links69 += LinkXml(1, 1);
  for (int i = 0; i < 64; ++i) stored64 += i ? ",1>0:1:0" : "1>0:1:0";
  const Row rows[] = {
      {LinkXml(1, 0) + LinkXml(2, 1) + LinkXml(3, 3), "[1>0:0:0,2>1:1:0,3>2:3:0]", ""},
      {"<PredecessorLink><PredecessorUID>2</PredecessorUID><LinkLag>4800</LinkLag></PredecessorLink>",
       "[2>1:0:0]", ""},
      {"<PredecessorLink><Type>2</Type></PredecessorLink>", "[0>-1:2:0]", unresolved},
      {LinkXml(99, 1), "[99>-1:1:0]", unresolved},
      {LinkXml(1, 7), "[1>0:1:0]", "WARNING: Task 4: 1 dependency link(s) with an unknown type, using FS."},
      {LinkXml(1, -1) + LinkXml(2, 4), "[1>0:1:0,2>1:1:0]",
       "WARNING: Task 4: 2 dependency link(s) with an unknown type, using FS."},
      {links69, "[" + stored64 + "]",
       "WARNING: 5 dependency link(s) past the limit of 64 per task were skipped; those links are not "
       "drawn."},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    // Links of rows that are dropped go with them and are not reported.
    const std::string dropped = "<Task><UID>0</UID>" + links69 + LinkXml(1, 9) + "</Task>";
    ASSERT_TRUE(test::Load(plan, log,
                           ProjectXml(Element("Tasks", TaskXml(1) + dropped + TaskXml(2) + TaskXml(3) +
                                                           TaskXml(4, row.links)))));
    EXPECT_TRUE(Has(test::ModelText(plan), " links=" + row.expected + " ")) << row.links.substr(0, 300);
    EXPECT_EQ(TotalLinkCount(plan), plan.Tasks[3].LinkCount());
    std::string warnings;
    for (const Message& message : log.messages) {
      if (message.level == MessageLevel::Warning) warnings += "WARNING: " + message.text;
    }
    EXPECT_EQ(warnings, row.warning);
  }
}

struct TaskShape {
  const char* start;
  const char* finish;
  bool critical;
  std::vector<std::pair<int, int>> links;  // predecessor UID, type
};

std::string TasksXml(const std::vector<TaskShape>& tasks) {
  std::string text;
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    std::string extra = tasks[i].critical ? "<Critical>1</Critical>" : "";
    for (const auto& [predecessor, type] : tasks[i].links) extra += LinkXml(predecessor, type);
    text += TaskXml(static_cast<std::int64_t>(i + 1), extra, tasks[i].start, tasks[i].finish);
  }
  return Element("Tasks", text);
}

TEST(DrivingLinks, TheLatestImposedDateDrivesACriticalTask) {
  struct Row {
    std::vector<TaskShape> tasks;
    std::string driving;  // Driving flags of every task's links, "|" before each task
    std::string message;
  };
  const char* a = "2026-03-02";
  const char* b = "2026-03-09";
  const char* c = "2026-03-10";
  const std::string all3 =
      "All 3 tasks are flagged critical, so the plan has no float anywhere; the critical chain is not "
      "meaningful here.";
  const Row rows[] = {
      // "Late pred" imposes 10 March through FS, "Early pred" only 5 March.
      {{{a, "2026-03-04", true, {}}, {a, b, true, {}}, {c, c, true, {{1, 1}, {2, 1}}}}, "|||01", all3},
      {{{a, "2026-03-04", true, {}},
        {a, b, true, {}},
        {c, c, true, {{1, 1}, {2, 1}}},
        {a, b, false, {{3, 1}}}},
       "|||01|0",
       "3 task(s) on the critical path, 1 driving link(s) highlighted."},
      {{{a, b, true, {}}, {a, b, true, {}}, {c, c, true, {{1, 0}, {2, 0}}}},
       "|||10",
       all3},                                                            // tie: earlier link
      {{{a, b, true, {}}, {a, c, true, {{1, 0}, {1, 1}}}},
       "||01",
       "All 2 tasks are flagged critical, so the plan has no float anywhere; the critical chain is not "
       "meaningful here."},  // FS is a day later
      {{{"2026-03-05", b, true, {}}, {a, "2026-03-04", true, {}}, {a, b, true, {{2, 0}, {1, 3}, {1, 2}}}},
       "|||010",
       all3},  // SS and SF: start
      {{{a, b, false, {}}, {a, "2026-03-04", true, {}}, {c, c, true, {{1, 1}, {2, 1}}}},
       "|||01",
       "2 task(s) on the critical path, 1 driving link(s) highlighted."},
      {{{a, b, false, {}}, {a, b, false, {{1, 1}}}},
       "||0",
       "No task is flagged as critical; the export contains no critical path."},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(TasksXml(row.tasks)))) << MessageListText(log);
    std::string driving;
    for (std::int64_t i = 0; i < plan.TaskCount(); ++i) {
      driving += '|';
      for (std::int64_t k = 0; k < plan.Tasks[i].LinkCount(); ++k)
        driving += char('0' + plan.Tasks[i].Links[k].Driving);
    }
    EXPECT_EQ(driving, row.driving) << row.message;
    EXPECT_TRUE(Has(MessageListText(log), "INFO: " + row.message)) << MessageListText(log);
  }
}

TEST(DerivedFacts, TimelineCoversTasksOutsideTheProject) {
  struct Row {
    std::vector<TaskShape> tasks;
    std::string timeline;  // as in the DATES line
    std::string messages;  // what follows the critical-path message
  };
  const std::string outside1 =
      "INFO: 1 task(s) fall outside the declared project dates; timeline extended to cover them.\n";
  const Row rows[] = {
      {{{"2026-03-02", "2026-03-31", false, {}}}, "timeline=739677..739706 ", ""},
      {{{"2026-02-20", "2026-03-06", false, {}}, {"2026-03-09", "2026-04-20", false, {}}},
       "timeline=739667..739726 ",
       "INFO: 2 task(s) fall outside the declared project dates; timeline extended to cover them.\n"},
      {{{"2025-03-02", "2026-03-06", false, {}}}, "timeline=739312..739706 ", outside1},  // exactly 365 days
      {{{"2025-03-01", "2026-03-06", false, {}}},
       "timeline=739311..739706 ",
       outside1 +
           "WARNING: Task 1 \"Task 1\" starts 01.03.2025, 1 year(s) before the declared project start. The "
           "chart spans 1 year(s) as a result; check the date in the source plan.\n"},
      {{{"2026-03-02", "2926-06-23", false, {}}},
       "timeline=739677..1068508 ",
       outside1 + "WARNING: Task 1 \"Task 1\" finishes 23.06.2926, 900 year(s) after the declared project "
                  "finish. The "
                  "chart spans 900 year(s) as a result; check the date in the source plan.\n"},
      // The farthest task is named, the first one on a tie.
      {{{"2024-03-02", "2024-03-06", false, {}},
        {"2026-03-02", "2027-03-31", false, {}},
        {"2024-03-02", "2024-03-06", false, {}}},
       "timeline=738947..740071 ",
       "INFO: 3 task(s) fall outside the declared project dates; timeline extended to cover them.\nWARNING: "
       "Task 1 "
       "\"Task 1\" starts 02.03.2024, 2 year(s) before the declared project start. The chart spans 3 year(s) "
       "as a "
       "result; check the date in the source plan.\n"},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(TasksXml(row.tasks)))) << MessageListText(log);
    EXPECT_TRUE(Has(test::ModelText(plan), row.timeline)) << test::ModelText(plan);
    const std::string text = MessageListText(log);
    const std::string critical =
        "INFO: No task is flagged as critical; the export contains no critical path.\n";
    EXPECT_EQ(text.substr(text.find(critical) + critical.size()), row.messages);
  }
}

TEST(DerivedFacts, ImplausibleDateNamesTheTaskByIdWithAShortenedName) {
  const std::string smile = "\xF0\x9F\x98\x80";
  const std::pair<std::string, std::string> rows[] = {
      {"Typo", "Typo"},
      {std::string(40, 'n'), std::string(40, 'n')},
      {std::string(41, 'n'), std::string(37, 'n') + "..."},
      {"Kick-off with the harbour authority (Hafenbeh\xC3\xB6rde)",
       "Kick-off with the harbour authority (..."},
      {std::string(36, 'n') + smile + "tail", std::string(36, 'n') + "..."},  // a pair is never split
      {std::string(35, 'n') + smile + "tail", std::string(35, 'n') + smile + "..."},
      {std::string(38, 'n') + smile, std::string(38, 'n') + smile},
  };
  Plan plan;
  MessageLog log;
  for (const auto& [name, shown] : rows) {
    const std::string task = "<Task><UID>8</UID><ID>2</ID><Name>" + name +
                             "</Name><Start>1926-06-19</Start><Finish>1926-06-25</Finish></Task>";
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", task))));
    EXPECT_TRUE(
        Has(MessageListText(log), "WARNING: Task 2 \"" + shown + "\" starts 19.06.1926, 99 year(s) before"))
        << MessageListText(log);
  }
}

TEST(DerivedFacts, TaskSlipComparesFinishWithBaselineFinish) {
  struct Row {
    const char* baselineFinish;
    std::int64_t index;
    std::int64_t slip;
  };
  const Row rows[] = {{"2026-03-13", 0, 5}, {"2026-03-18", 0, 0}, {"2026-03-20", 0, -2},
                      {"", 0, 0},           {"2026-03-13", 1, 0}, {"2026-03-13", -1, 0}};
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    const std::string baseline =
        Element("Baseline", Element("Number", "0") + Element("Finish", row.baselineFinish));
    ASSERT_TRUE(test::Load(plan, log,
                           ProjectXml(Element("Tasks", TaskXml(1, baseline, "2026-03-09", "2026-03-18")))));
    EXPECT_EQ(TaskSlip(plan, row.index), row.slip) << row.baselineFinish << " " << row.index;
  }
}

}  // namespace
}  // namespace nerin
