// SPDX-License-Identifier: MIT
// The fixed capacities: what fits loads, what does not is rejected or skipped, nothing overruns.
#include <gtest/gtest.h>

#include <string>

#include "plan_text.h"

namespace nerin {
namespace {

using test::AssignmentXml;
using test::Element;
using test::ProjectXml;
using test::ResourceXml;
using test::TaskXml;

std::string Many(std::int64_t first, std::int64_t count,
                 std::string (*make)(std::int64_t, std::string_view)) {
  std::string text;
  for (std::int64_t uid = first; uid < first + count; ++uid) text += make(uid, "");
  return text;
}

std::string Tasks(std::int64_t first, std::int64_t count) {
  return Many(first, count, [](std::int64_t uid, std::string_view) { return TaskXml(uid); });
}

TEST(Capacity, TaskAndResourceLimitsRejectTheWholeFile) {
  struct Row {
    std::string body;
    std::int64_t tasks, resources;  // -1: rejected
    std::string messages;           // start of the log
  };
  const std::string tooMany =
      "ERROR: This plan has more than 10000 tasks, which is more than the viewer holds; nothing was "
      "loaded.\n";
  const std::string placeholder = "<Task><IsNull>1</IsNull></Task>";
  const Row rows[] = {
      {Element("Tasks", Tasks(1, 10000)), 10000, 0, "INFO: This export"},
      {Element("Tasks", Tasks(1, 10001)), -1, -1, tooMany},
      // Passing the limit ends the walk of that section only: a later section is walked again
      // and reports it again at its first task.
      {Element("Tasks", Tasks(1, 6000)) + Element("Tasks", Tasks(6001, 4001)) +
           Element("Tasks", placeholder + Tasks(10002, 2)),
       -1, -1, tooMany + tooMany + "INFO: 1 empty placeholder task row(s) skipped.\n"},
      {Element("Tasks", placeholder + Tasks(1, 10000) + placeholder), 10000, 0,
       "INFO: 2 empty placeholder task row(s) skipped.\n"},
      {Element("Tasks", "<Task><UID>0</UID></Task>" + Tasks(1, 10000)), -1, -1, tooMany},
      {Element("Resources", Many(1, 5000, ResourceXml)), 0, 5000, "WARNING: No tasks"},
      {Element("Resources", Many(1, 5001, ResourceXml)), -1, -1, "ERROR: Resource limit exceeded.\n"},
      {Element("Resources", Many(1, 3000, ResourceXml)) +
           Element("Resources", Many(3001, 2001, ResourceXml)) +
           Element("Resources", "<Resource><IsNull>1</IsNull></Resource>" + ResourceXml(6000)),
       -1, -1,
       "ERROR: Resource limit exceeded.\nERROR: Resource limit exceeded.\n"
       "INFO: 1 empty placeholder resource row(s) skipped.\n"},
      {Element("Resources", "<Resource><IsNull>1</IsNull></Resource>" + Many(1, 5000, ResourceXml)), 0, 5000,
       "INFO: 1 empty placeholder resource row(s) skipped.\n"},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", TaskXml(77)))));
    const std::string before = test::ModelText(plan);
    EXPECT_EQ(test::Load(plan, log, ProjectXml(row.body)), row.tasks >= 0);
    EXPECT_EQ(MessageListText(log).rfind(row.messages, 0), 0u) << MessageListText(log).substr(0, 300);
    if (row.tasks >= 0) {
      EXPECT_EQ(plan.TaskCount(), row.tasks);
      EXPECT_EQ(plan.ResourceCount(), row.resources);
      EXPECT_EQ(TaskIndex(plan, row.tasks), row.tasks - 1);
      EXPECT_EQ(ResourceIndex(plan, row.resources), row.resources - 1);
    } else {
      std::int64_t errors = 0;
      for (std::size_t at = row.messages.find("ERROR: "); at != std::string::npos;
           at = row.messages.find("ERROR: ", at + 1)) {
        ++errors;
      }
      EXPECT_EQ(CountMessages(log, MessageLevel::Error), errors);
      EXPECT_EQ(test::ModelText(plan), before);
    }
  }
}

TEST(Capacity, LinksAndAssignmentsPerTaskStopAtSixtyFour) {
  struct Row {
    int links, assignments;
    std::int64_t storedLinks, storedAssignments;
    std::string warnings;
  };
  const std::string overflow = "Task 3: more than 64 assignments; the rest were skipped.|";
  const Row rows[] = {
      {64, 64, 64, 64, ""},
      {65, 64, 64, 64,
       "1 dependency link(s) past the limit of 64 per task were skipped; those links are not drawn.|"},
      {64, 65, 64, 64, overflow},
      {3, 66, 3, 64, overflow + overflow},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    std::string links;
    for (int i = 0; i < row.links; ++i) links += test::LinkXml(1, 1);
    std::string assignments = AssignmentXml(1, 1, 1);
    for (int i = 0; i < row.assignments; ++i) assignments += AssignmentXml(100 + i, 3, 1 + i % 2);
    ASSERT_TRUE(test::Load(plan, log,
                           ProjectXml(Element("Tasks", TaskXml(1) + TaskXml(3, links)) +
                                      Element("Resources", ResourceXml(1) + ResourceXml(2)) +
                                      Element("Assignments", assignments))));
    EXPECT_EQ(plan.Tasks[1].LinkCount(), row.storedLinks);
    EXPECT_EQ(plan.Tasks[1].AssignedCount(), row.storedAssignments);
    EXPECT_EQ(plan.AssignmentCount(), row.storedAssignments + 1);
    EXPECT_EQ(plan.Assignments[plan.AssignmentCount() - 1].UID, 99 + row.storedAssignments);
    std::string warnings;
    for (const Message& message : log.messages) {
      if (message.level == MessageLevel::Warning) warnings += message.text + "|";
    }
    EXPECT_EQ(warnings, row.warnings);
  }
}

TEST(Capacity, AssignmentsBeyondThePlanLimitAreSkipped) {
  const std::int64_t tasks = MAX_ASSIGNMENTS / MAX_ASSIGNMENTS_PER_TASK + 1;
  std::string assignments;
  for (std::int64_t uid = 1; uid <= MAX_ASSIGNMENTS + 2; ++uid) {
    assignments += AssignmentXml(uid, 1 + (uid - 1) / MAX_ASSIGNMENTS_PER_TASK, 1);
  }
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(test::Load(plan, log,
                         ProjectXml(Element("Tasks", Tasks(1, tasks)) + Element("Resources", ResourceXml(1)) +
                                    Element("Assignments", assignments))));
  EXPECT_EQ(plan.AssignmentCount(), MAX_ASSIGNMENTS);
  EXPECT_EQ(plan.Assignments[MAX_ASSIGNMENTS - 1].UID, MAX_ASSIGNMENTS);
  EXPECT_TRUE(
      test::Has(MessageListText(log),
                "WARNING: 2 assignment(s) beyond the limit of 100000 were not loaded; resource labels may be "
                "incomplete.\n"));
}

}  // namespace
}  // namespace nerin
