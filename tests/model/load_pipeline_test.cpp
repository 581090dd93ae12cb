// SPDX-License-Identifier: MIT
// Whole loads: what a rejected or failed file leaves behind, and the load report.
#include <gtest/gtest.h>

#include <string>

#include "model/load_steps.h"
#include "plan_text.h"

namespace nerin {
namespace {

using test::Element;
using test::Lines;
using test::ProjectXml;
using test::TaskXml;

const char* const kNoBaseline = "INFO: This export contains no baseline data, so no baseline bars are drawn.";
const char* const kNoCritical = "INFO: No task is flagged as critical; the export contains no critical path.";
const char* const kOwnDates =
    "INFO: The file is structurally valid; these errors come from the plan's own date fields. The source "
    "plan in MS "
    "Project most likely needs correcting.";
const char* const kFinishMissing = "INFO: Project finish date missing; deriving it from task finish dates.";

TEST(LoadPipeline, BrokenPlansLeaveTheModelAsTheStateTableSays) {
  struct Row {
    std::string text;
    bool late;  // passed validation, then failed on the project's own dates
    std::string messages;
  };
  const std::string oneTask = Element("Tasks", TaskXml(1));
  const Row rows[] = {
      {"<Project><Tasks><Task>", false,
       Lines({"ERROR: XML is syntactically invalid.",
              "INFO: The XML parser stopped at line 1, column 23: no element found."})},
      {"", false,
       Lines({"ERROR: XML is syntactically invalid.",
              "INFO: The XML parser stopped at line 1, column 1: no element found."})},
      {"<Project>\n  <Name>Bau</Nam>\n</Project>", false,
       Lines({"ERROR: XML is syntactically invalid.",
              "INFO: The XML parser stopped at line 2, column 14: mismatched tag."})},
      {"<Plan><Tasks/></Plan>", false, Lines({"ERROR: Root element is not Project."})},
      {"<m:Project xmlns:m=\"urn:x\"/>", false, Lines({"ERROR: Root element is not Project."})},
      {ProjectXml(Element("Tasks", TaskXml(1) + TaskXml(2) + TaskXml(1))), false,
       Lines({"ERROR: Duplicate task UID: 1"})},
      // A duplicate's duration is still checked; sections are walked in document order. Dates
      // reject nothing.
      {ProjectXml(Element("Tasks", TaskXml(4)) +
                  Element("Tasks", TaskXml(4, "<Duration>8h</Duration>", "x", ""))),
       false,
       Lines({"ERROR: Duplicate task UID: 4",
              "WARNING: Task 4: cannot completely interpret the formatting of 'duration'."})},
      // UID 0 is a task's like any other once it is not the project summary row.
      {ProjectXml(Element("Tasks", TaskXml(0, "<OutlineLevel>1</OutlineLevel>") +
                                       TaskXml(0, "<OutlineLevel>2</OutlineLevel>"))),
       false, Lines({"ERROR: Duplicate task UID: 0"})},
      {"<?xml version=\"1.0\" encoding=\"x-no-such-encoding\"?><Project/>", false,
       Lines({"ERROR: The XML declaration names the encoding \"x-no-such-encoding\", which the viewer "
              "cannot read."})},
      {ProjectXml(Element("Tasks", "<Task><IsNull>1</IsNull></Task>") +
                  Element("Resources", test::ResourceXml(3) + "<Resource><UID>0</UID></Resource><Resource/>" +
                                           test::ResourceXml(3))),
       false,
       Lines({"ERROR: Duplicate resource UID: 3", "INFO: 1 empty placeholder task row(s) skipped.",
              "INFO: 1 placeholder resource(s) with UID 0 skipped.",
              "WARNING: 1 resource element(s) without a usable UID were skipped."})},
      {ProjectXml("", "", "2026-03-31"), true,
       Lines({"INFO: Project start date missing; deriving it from task start dates.",
              "WARNING: No tasks were loaded. The file contains no usable Task elements.", kNoCritical,
              "ERROR: Project start date is missing and could not be derived from tasks.", kOwnDates})},
      // An empty element is a missing one; a task without dates gives none to derive from.
      {ProjectXml(Element("Tasks", TaskXml(1, "", "", "")), "<![CDATA[ ]]>"), true,
       Lines({"INFO: Project start date missing; deriving it from task start dates.",
              "WARNING: 1 task(s) have no start or finish date that could be read or derived; they are "
              "shown without a bar.",
              kNoBaseline, kNoCritical,
              "ERROR: Project start date is missing and could not be derived from tasks.", kOwnDates})},
      {ProjectXml(oneTask, "2026-02-30"), true,
       Lines({"ERROR: Invalid project start date.", "ERROR: Project start date is missing.", kNoBaseline,
              kNoCritical, kOwnDates})},
      {ProjectXml(oneTask, "2026-03-02", "tomorrow"), true,
       Lines({"ERROR: Invalid project finish date.", kFinishMissing, kNoBaseline, kNoCritical,
              "INFO: Project finish date derived from the latest task finish date.", kOwnDates})},
      {ProjectXml("", "2026-03-02", ""), true,
       Lines({kFinishMissing, "WARNING: No tasks were loaded. The file contains no usable Task elements.",
              kNoCritical, "ERROR: Project finish date is missing and could not be derived from tasks.",
              kOwnDates})},
  };
  Plan plan;
  MessageLog log;
  const std::string previousText =
      ProjectXml(Element("Tasks", TaskXml(1) + TaskXml(2)) + Element("Resources", test::ResourceXml(1)));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    ASSERT_TRUE(LoadPlan(plan, log, "previous.xml", previousText));
    ASSERT_TRUE(plan.ProjectLoaded && plan.MessagesMatchPlan);
    const std::string before = test::ModelText(plan);
    const std::string reportBefore = plan.LoadReport;

    EXPECT_FALSE(LoadPlan(plan, log, "broken.xml", row.text));
    EXPECT_EQ(MessageListText(log), row.messages);
    EXPECT_FALSE(plan.MessagesMatchPlan);
    if (!row.late) {
      EXPECT_TRUE(plan.ProjectLoaded);
      EXPECT_EQ(test::ModelText(plan), before);
      EXPECT_EQ(plan.LoadReport, reportBefore);
      EXPECT_EQ(TaskIndex(plan, 2), 1);
    } else {
      EXPECT_FALSE(plan.ProjectLoaded);
      EXPECT_EQ(plan.TaskCount() + plan.ResourceCount() + plan.AssignmentCount(), 0);
      EXPECT_EQ(TaskIndex(plan, 1), -1);
      EXPECT_EQ(plan.ProjectName + plan.ProjectStartLabel + plan.ProjectFinishLabel, "");
      EXPECT_EQ(plan.LoadReport.rfind("broken.xml\r\n", 0), 0u);
      EXPECT_GE(plan.LoadMilliseconds, 0);
    }
  }
}

TEST(LoadPipeline, RootNameIgnoresLetterCase) {
  Plan plan;
  MessageLog log;
  for (const std::string root : {"project", "PROJECT", "pRoJeCt"}) {
    EXPECT_TRUE(test::Load(
        plan, log,
        "<" + root + "><StartDate>2026-03-02</StartDate>" + Element("Tasks", TaskXml(1)) + "</" + root + ">"))
        << root << MessageListText(log);
  }
}

TEST(LoadPipeline, ReportHasCountsAndNineRightAlignedTimings) {
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(test::Load(plan, log,
                         ProjectXml(Element("Tasks", TaskXml(1) + TaskXml(2) + TaskXml(3)) +
                                    Element("Resources", test::ResourceXml(1)) +
                                    Element("Assignments", test::AssignmentXml(1, 2, 1)))));
  EXPECT_EQ(plan.LoadReport.rfind("test.xml\r\n3 tasks, 1 resources, 1 assignments\r\n\r\nxml          ", 0),
            0u);

  struct Row {
    LoadTimes times;
    std::string expectedTimings;
  };
  const Row rows[] = {
      {{100, 105, 106, 106, 110, 111, 113, 120, 121},
       "xml               5 ms\r\nvalidate          1 ms\r\nreset             0 ms\r\ntasks             4 "
       "ms\r\n"
       "resources         1 ms\r\nassignments       2 ms\r\nderive            7 ms\r\nfree              1 "
       "ms\r\n"
       "total            21 ms"},
      // A number wider than the column is written whole, never cut to a wrong value.
      {{0, 1234567, 1234567, 1234567, 1234567, 1234567, 1234567, 1234567, 1234567},
       "xml          1234567 ms\r\nvalidate          0 ms\r\nreset             0 ms\r\ntasks             0 "
       "ms\r\n"
       "resources         0 ms\r\nassignments       0 ms\r\nderive            0 ms\r\nfree              0 "
       "ms\r\n"
       "total        1234567 ms"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LoadReportText("a.xml", plan, row.times),
              "a.xml\r\n3 tasks, 1 resources, 1 assignments\r\n\r\n" + row.expectedTimings);
  }
}

}  // namespace
}  // namespace nerin
