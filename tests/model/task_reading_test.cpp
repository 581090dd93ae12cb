// SPDX-License-Identifier: MIT
// Task elements becoming Task records, seen through the task's dump line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plan_text.h"

namespace nerin {
namespace {

using test::Element;
using test::Has;
using test::ProjectXml;
using test::TaskXml;

TEST(TaskReading, ChildrenBecomeFields) {
  struct Row {
    std::string children;  // extra children of task UID 1
    std::string expected;  // part of the task's dump line
    bool shortened = false;
  };
  const std::string base0 =
      "<Baseline><Number>0</Number><Start>2026-03-09</Start><Finish>2026-03-13</Finish></Baseline>";
  const std::string base1 =
      "<Baseline><Number>1</Number><Start>2026-03-09</Start><Finish>2026-03-31</Finish></Baseline>";
  const std::string unnumbered = "<Baseline><Finish>2026-03-20</Finish><Start>2026-03-16</Start></Baseline>";
  const std::string smile = "\xF0\x9F\x98\x80";  // one character, two UTF-16 units
  std::string eAcutes;                           // 4000 characters, 8000 bytes
  for (int i = 0; i < 4000; ++i) eAcutes += "\xC3\xA9";
  const Row rows[] = {
      {"",
       " lvl=1 sum=0 mile=0 crit=0 start=739677(02.03.2026) finish=739681(06.03.2026) outline= slack=0.00 "
       "base=0..0 dur=0.00 pct=0 phase=0 links=[] assign=[] res=|name=Task 1|notes=\r\n"},
      {"<Summary>1</Summary><Milestone>1</Milestone><Critical>1</Critical>", " sum=1 mile=1 crit=1 "},
      {"<Summary>true</Summary><Milestone>2</Milestone><Critical> 01</Critical>", " sum=1 mile=0 crit=1 "},
      {"<OutlineLevel>-1</OutlineLevel>", " lvl=1 "},
      {"<OutlineLevel>4</OutlineLevel><OutlineNumber>1.2.3</OutlineNumber>", " lvl=4 "},
      {"<PercentComplete>150</PercentComplete>", " pct=100 "},
      {"<PercentComplete>-5</PercentComplete>", " pct=0 "},
      {"<TotalSlack>-9600</TotalSlack>", " slack=-16.00 "},
      {"<Duration>PT4H30M0S</Duration>", " dur=4.50 "},
      {"<Duration>PT8H0M0S</Duration><Duration>8 hours</Duration>", " dur=0.00 "},
      {"<Start>2026-03-03T08:00:00</Start><Finish>2026-03-05T17:00:00</Finish>",
       " start=739678(03.03.2026) finish=739680(05.03.2026) "},
      {base1 + base0, " base=739684..739688 "},
      // Without Baseline 0 the lowest-numbered baseline with dates is drawn.
      {base1, " base=739684..739706 "},
      {base0 + unnumbered, " base=739691..739695 "},
      {"<Name>First</Name><Name>A &amp; B &lt;C&gt; &#xE9;</Name>", "|name=A & B <C> \xC3\xA9|"},
      {"<Notes>first</Notes><Notes>Hello</Notes>", "|notes=Hello\r\n"},
      {Element("Notes", std::string(5000, 'x')), "|notes=" + std::string(4000, 'x') + "\r\n", true},
      {Element("Notes", std::string(3998, 'x') + smile), "|notes=" + std::string(3998, 'x') + smile + "\r\n"},
      // The pair would end one unit past the limit, so it is left out whole.
      {Element("Notes", std::string(3999, 'x') + smile), "|notes=" + std::string(3999, 'x') + "\r\n", true},
      {Element("Notes", eAcutes), "|notes=" + eAcutes + "\r\n"},
      {Element("Notes", eAcutes + "x"), "|notes=" + eAcutes + "\r\n", true},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", TaskXml(1, row.children)))))
        << row.children.substr(0, 200) << MessageListText(log);
    EXPECT_TRUE(Has(test::ModelText(plan), row.expected)) << row.children.substr(0, 200);
    const bool shortened =
        Has(MessageListText(log), "1 note(s) were longer than 4000 characters and were shortened.");
    EXPECT_EQ(shortened, row.shortened) << row.children.size();
  }
}

TEST(TaskReading, EachTopLevelTaskStartsTheNextPhase) {
  struct Row {
    std::vector<int> levels;
    std::vector<std::int64_t> phases;
  };
  const Row rows[] = {
      {{1, 2, 2, 1, 2, 1, 3}, {0, 0, 0, 1, 1, 2, 2}},
      {{2, 3, 1, 2, 1}, {0, 0, 0, 0, 1}},  // before the first top-level task: phase 0
      {{1, -1, 2}, {0, 1, 1}},             // a level below 1 is read as 1
      {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    std::string tasks = "<Task><UID>0</UID><OutlineLevel>0</OutlineLevel></Task>";  // dropped: no phase
    for (std::size_t i = 0; i < row.levels.size(); ++i) {
      tasks +=
          TaskXml(static_cast<std::int64_t>(i + 1), Element("OutlineLevel", std::to_string(row.levels[i])));
    }
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", tasks))));
    std::vector<std::int64_t> phases;
    for (std::int64_t i = 0; i < plan.TaskCount(); ++i) phases.push_back(plan.Tasks[i].Phase);
    EXPECT_EQ(phases, row.phases);
  }
}

TEST(TaskReading, RowsThatAreNoTasksAreSkippedAndCounted) {
  struct Row {
    std::string task;
    std::string message;
  };
  const Row rows[] = {
      {"<Task><UID>5</UID><IsNull>1</IsNull><Start>never</Start></Task>",
       "INFO: 2 empty task row(s) left out.\n"},
      {"<Task><UID>0</UID><Name>Summary</Name></Task>",
       "INFO: 2 project summary task(s) left out; the chart shows the tasks of the plan under it.\n"},
      {"<Task><UID>none</UID></Task>",
       "INFO: 2 project summary task(s) left out; the chart shows the tasks of the plan under it.\n"},
      {"<Task><Name>No UID</Name></Task>", "WARNING: 2 task(s) without a usable unique ID left out.\n"},
      {"<Task><UID>-5</UID></Task>", "WARNING: 2 task(s) without a usable unique ID left out.\n"},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    // Other sections, unknown elements and nested tasks are passed over.
    const std::string text = ProjectXml("<Calendars><Calendar><UID>1</UID></Calendar></Calendars>" +
                                        Element("Tasks", row.task + "<Other/>") +
                                        Element("Tasks", TaskXml(7, "<Task><UID>8</UID></Task>") + row.task) +
                                        Element("Wrapper", Element("Tasks", TaskXml(9))));
    ASSERT_TRUE(test::Load(plan, log, text)) << MessageListText(log);
    EXPECT_EQ(plan.TaskCount(), 1);
    EXPECT_EQ(TaskIndex(plan, 7), 0);
    for (std::int64_t uid : {-5, 0, 5, 8, 9}) EXPECT_EQ(TaskIndex(plan, uid), -1);
    EXPECT_EQ(MessageListText(log).rfind(row.message, 0), 0u) << MessageListText(log);
  }
}

}  // namespace
}  // namespace nerin
