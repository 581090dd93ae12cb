// SPDX-License-Identifier: MIT
// The lists as CSV for a file and as tab-separated lines for the clipboard.
#include "views/list_csv.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/plan_text.h"
#include "views/change_texts.h"

namespace nerin {
namespace {

using test::Element;

TEST(ListCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
  struct Row {
    std::string text;
    std::string field;
  };
  const Row rows[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\rlf", "\"cr\rlf\""},
      {" padded", "\" padded\""},
      {"tab\tinside", "tab\tinside"},  // a tab is no separator in CSV
      {"Sørensen – Q4", "Sørensen – Q4"},
  };
  for (const Row& row : rows) EXPECT_EQ(CsvField(row.text), row.field) << row.text;
}

TEST(ListCsv, IsoDates) {
  EXPECT_EQ(IsoDateText(OrdinalFromDate(2026, 3, 2)), "2026-03-02");
  EXPECT_EQ(IsoDateText(OrdinalFromDate(1601, 1, 1)), "1601-01-01");
  EXPECT_EQ(IsoDateText(OrdinalFromDate(9999, 12, 31)), "9999-12-31");
  EXPECT_EQ(IsoDateText(0), "");
  EXPECT_EQ(IsoDateText(-5), "");
}

std::unique_ptr<Plan> AwkwardPlan() {
  const std::string tasks =
      test::TaskXml(1, Element("Name", "Pour, cure &amp; strip") + Element("OutlineNumber", "1") +
                           Element("Duration", "PT40H0M0S") + Element("PercentComplete", "75") +
                           Element("Critical", "1")) +
      // The XML reader makes the CR LF one line feed.
      test::TaskXml(2, Element("Name", "Say \"go\"\r\nthen\twait") + Element("OutlineNumber", "1.1")) +
      test::TaskXml(3, Element("Name", "=HYPERLINK(\"x\")"));
  const std::string resources =
      test::ResourceXml(1, Element("MaxUnits", "1.5") + Element("EmailAddress", "a@b.example")) +
      test::ResourceXml(2, Element("Name", "@team, \"core\""));
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  EXPECT_TRUE(
      test::Load(*plan, log, test::ProjectXml(Element("Tasks", tasks) + Element("Resources", resources))));
  return plan;
}

TEST(ListCsv, TasksInTheGivenOrderWithHeader) {
  const auto plan = AwkwardPlan();
  const std::vector<std::int64_t> order = {2, 0, 1, 17, -1};  // the last two are no tasks
  EXPECT_EQ(ListCsv(*plan, PlanList::Tasks, order),
            "ID,Outline,Task,Start,Finish,Duration,Duration (h),% Complete,Slack (d),Critical,Resources,WBS,"
            "Actual Start,Actual Finish,% Work Complete\r\n"
            "3,,\"'=HYPERLINK(\"\"x\"\")\",2026-03-02,2026-03-06,0 days,0.0,0,0.0,,,,,,0\r\n"
            "1,1,\"Pour, cure & strip\",2026-03-02,2026-03-06,5 days,40.0,75,0.0,yes,,,,,0\r\n"
            "2,1.1,\"Say \"\"go\"\"\nthen\twait\",2026-03-02,2026-03-06,0 days,0.0,0,0.0,,,,,,0\r\n");
}

// While comparing, the file holds the "Change" column the list shows, after the others.
TEST(ListCsv, TheChangeColumnWhileComparing) {
  const auto plan = AwkwardPlan();
  auto reference = AwkwardPlan();
  reference->Tasks[0].Finish -= 2;
  const PlanChanges changes = ComparePlans(*reference, *plan);
  ASSERT_FALSE(ChangeCell(&changes, 0).empty());
  const std::vector<std::int64_t> order = {0, 1};
  EXPECT_EQ(ListCsv(*plan, PlanList::Tasks, order, &changes),
            "ID,Outline,Task,Start,Finish,Duration,Duration (h),% Complete,Slack (d),Critical,Resources,WBS,"
            "Actual Start,Actual Finish,% Work Complete,Change\r\n"
            "1,1,\"Pour, cure & strip\",2026-03-02,2026-03-06,5 days,40.0,75,0.0,yes,,,,,0," +
                CsvField(ChangeCell(&changes, 0)) +
                "\r\n"
                "2,1.1,\"Say \"\"go\"\"\nthen\twait\",2026-03-02,2026-03-06,0 days,0.0,0,0.0,,,,,,0,\r\n");
  // Without a comparison, and in the Resources list, there is no such column.
  EXPECT_EQ(ListCsv(*plan, PlanList::Tasks, order).find("Change"), std::string::npos);
  EXPECT_EQ(ListCsv(*plan, PlanList::Resources, std::vector<std::int64_t>{0}, &changes).find("Change"),
            std::string::npos);
}

TEST(ListCsv, Resources) {
  const auto plan = AwkwardPlan();
  EXPECT_EQ(ListCsv(*plan, PlanList::Resources, std::vector<std::int64_t>{0, 1}),
            "Name,Type,Initials,Email,Max. Units (%),Tasks\r\n"
            "Resource 1,Material,,a@b.example,150,\r\n"
            "\"'@team, \"\"core\"\"\",Material,,,100,\r\n");
}

// A pasted row stays one row of cells: tabs and line breaks inside a cell become spaces.
TEST(ListTabText, OneLinePerRowAsTheListShowsIt) {
  const auto plan = AwkwardPlan();
  EXPECT_EQ(ListTabText(*plan, PlanList::Tasks, std::vector<std::int64_t>{1, 0}),
            "ID\tOutline\tTask\tStart\tFinish\tDuration\t%\tSlack (d)\tCritical\tResources\tWBS\tActual Start\t"
            "Actual Finish\t% Work\n"
            "2\t1.1\tSay \"go\" then wait\t02.03.2026\t06.03.2026\t0 days\t0%\t0.0\t\t\t\t\t\t0%\n"
            "1\t1\tPour, cure & strip\t02.03.2026\t06.03.2026\t5 days\t75%\t0.0\tyes\t\t\t\t\t0%\n");
  EXPECT_EQ(ListTabText(*plan, PlanList::Resources, std::vector<std::int64_t>{1}),
            "Name\tType\tInitials\tEmail\tMax. Units\tTasks\n"
            "@team, \"core\"\tMaterial\t\t\t100%\t\n");
}

TEST(ListTabText, LongTextIsCopiedWhole) {
  const std::string name(3000, 'x');
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  ASSERT_TRUE(
      test::Load(*plan, log, test::ProjectXml(Element("Tasks", test::TaskXml(1, Element("Name", name))))));
  const std::string text = ListTabText(*plan, PlanList::Tasks, std::vector<std::int64_t>{0});
  EXPECT_NE(text.find("\t" + name + "\t"), std::string::npos);
}

}  // namespace
}  // namespace nerin
