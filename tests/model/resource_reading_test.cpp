// SPDX-License-Identifier: MIT
// Resources, assignments, resource labels and assigned task names.
#include <gtest/gtest.h>

#include <string>

#include "plan_text.h"

namespace nerin {
namespace {

using test::AssignmentXml;
using test::Element;
using test::Has;
using test::ProjectXml;
using test::ResourceXml;
using test::TaskXml;

TEST(ResourceReading, ChildrenBecomeFieldsOrAreSkipped) {
  struct Row {
    std::string resource;
    std::string expected;  // the resource's dump line, or "" when none is stored
    std::string message;   // a message expected in the log, or ""
  };
  const Row rows[] = {
      {"<Resource><UID>12</UID><ID>3</ID><Name>Crane</Name><Initials>CR</Initials><Type>1</Type>"
       "<EmailAddress>c@x.org</EmailAddress><MaxUnits>0.5</MaxUnits></Resource>",
       "R 0 uid=12 id=3 type=1 cost=0 maxunits=0.50 initials=CR|email=c@x.org|name=Crane|tasks=\r\n", ""},
      {ResourceXml(5), "R 0 uid=5 id=0 type=0 cost=0 maxunits=1.00 ", ""},
      {ResourceXml(5, "<MaxUnits>0</MaxUnits>"), " maxunits=1.00 ", ""},
      {ResourceXml(5, "<MaxUnits>NaN</MaxUnits>"), " maxunits=1.00 ", ""},
      {ResourceXml(5, "<Type>2</Type><IsCostResource>true</IsCostResource>"), " type=1 cost=1 ",
       "WARNING: Resource 5: unknown type; displayed as work."},
      {ResourceXml(5, "<Type>-1</Type><IsCostResource>1</IsCostResource>"), " type=1 cost=1 ",
       "WARNING: Resource 5: unknown type; displayed as work."},
      {"<Resource><UID>0</UID><Name>Placeholder</Name></Resource>", "",
       "INFO: 1 placeholder resource(s) with UID 0 skipped."},
      {"<Resource><IsNull>1</IsNull><UID>4</UID></Resource>", "",
       "INFO: 1 empty placeholder resource row(s) skipped."},
      {"<Resource><UID>-3</UID></Resource>", "",
       "WARNING: 1 resource element(s) without a usable UID were skipped."},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Resources", row.resource))));
    const std::string model = test::ModelText(plan);
    EXPECT_EQ(plan.ResourceCount(), row.expected.empty() ? 0 : 1) << row.resource;
    EXPECT_TRUE(Has(model, row.expected)) << model;
    EXPECT_EQ(Has(MessageListText(log), "esource"), !row.message.empty()) << MessageListText(log);
    EXPECT_TRUE(Has(MessageListText(log), row.message)) << MessageListText(log);
  }
}

TEST(AssignmentReading, StoredAssignmentsBuildLabelsAndTaskNames) {
  struct Row {
    std::string assignments;
    std::string task2;     // task UID 2's slots and label, as in its dump line
    std::string names;     // AssignedTaskNames of Crane, then of Welder
    std::string messages;  // after the task summary messages
  };
  const Row rows[] = {
      {AssignmentXml(1, 2, 1, "0.5"), " assign=[1*0.50] res=Crane [50%]|", "Task 2|", ""},
      {AssignmentXml(1, 2, 1, "1.0") + AssignmentXml(2, 2, 2, "0.25"),
       " assign=[1*1.00,2*0.25] res=Crane, Welder [25%]|", "Task 2|Task 2", ""},
      {AssignmentXml(1, 2, 2, "2") + AssignmentXml(2, 1, 2) + AssignmentXml(3, 2, 2),
       " assign=[2*2.00,2*1.00] res=Welder [200%], Welder|", "|Task 2; Task 1; Task 2", ""},
      {AssignmentXml(1, 2, 1, "0.333"), " res=Crane [33%]|", "Task 2|", ""},
      {AssignmentXml(9, 2, 1, "-0.5"), " assign=[1*0.00] res=Crane [0%]|", "Task 2|",
       "WARNING: Assignment 9: negative Units, using 0.\n"},
      {AssignmentXml(5, 2, 1, "NaN"), " assign=[1*0.00] res=Crane [0%]|", "Task 2|",
       "WARNING: Assignment 5: negative Units, using 0.\n"},
      {AssignmentXml(9, 99, 77, "-1"), " assign=[] res=|", "|",
       "WARNING: Assignment 9: negative Units, using 0.\nWARNING: Assignment 9: task UID 99 not found.\n"},
      {AssignmentXml(4, 2, 77), " assign=[] res=|", "|",
       "WARNING: Assignment 4: resource UID 77 not found.\n"},
      {AssignmentXml(3, 2, -65535) + AssignmentXml(4, 1, 0), " assign=[] res=|", "|",
       "INFO: 2 assignment(s) carry no resource reference; no resource labels were built from them.\n"},
  };
  const std::string taskSummary =
      "INFO: This export contains no baseline data, so no baseline bars are drawn.\n"
      "INFO: No task is flagged as critical; the export contains no critical path.\n";
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    // An Assignments section before the tasks is still read after them.
    const std::string text = ProjectXml(Element("Assignments", row.assignments) +
                                        Element("Tasks", TaskXml(1) + TaskXml(2) + TaskXml(3)) +
                                        Element("Resources",
                                                "<Resource><UID>1</UID><Name>Crane</Name></Resource>"
                                                "<Resource><UID>2</UID><Name>Welder</Name></Resource>"));
    ASSERT_TRUE(test::Load(plan, log, text));
    EXPECT_TRUE(Has(test::ModelText(plan), "T 1 uid=2 ")) << row.assignments;
    EXPECT_TRUE(Has(test::ModelText(plan), row.task2)) << test::ModelText(plan);
    EXPECT_EQ(plan.Resources[0].AssignedTaskNames + "|" + plan.Resources[1].AssignedTaskNames, row.names);
    EXPECT_EQ(MessageListText(log), taskSummary + row.messages);
    std::int64_t slots = 0;
    for (std::int64_t i = 0; i < plan.TaskCount(); ++i) slots += plan.Tasks[i].AssignedCount();
    EXPECT_EQ(slots, plan.AssignmentCount());
  }
}

}  // namespace
}  // namespace nerin
