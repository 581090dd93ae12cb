// SPDX-License-Identifier: MIT
// The author's marks on the chart and in the hover box: manually scheduled bars, inactive
// tasks, constraints and deadlines, and their legend keys only where the plan has them.
#include "views/gantt_chart_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/golden.h"
#include "support/recording_painter.h"
#include "views/gantt_chart.h"
#include "views/hover_summary.h"

namespace nerin {
namespace {

DayOrdinal Day(std::int64_t offset) {
  return OrdinalFromDate(2026, 3, 2) + offset;
}

class ChartMarksTest : public ::testing::Test {
 protected:
  ChartMarksTest() {
    plan_->ProjectLoaded = true;
    plan_->ProjectName = "Marks";
    plan_->TimelineStart = Day(0);
    plan_->TimelineDays = 40;
  }

  TaskTerms& Add(const std::string& name, std::int64_t first, std::int64_t last, std::int64_t level = 1) {
    Task& task = plan_->Tasks.emplace_back();
    task.UID = plan_->TaskCount();
    task.ID = task.UID;
    task.Name = name;
    task.OutlineLevel = level;
    task.Start = Day(first);
    task.Finish = Day(last);
    task.StartLabel = OrdinalLabel(task.Start);
    task.FinishLabel = OrdinalLabel(task.Finish);
    return plan_->Terms.Tasks.emplace_back();
  }

  std::vector<std::string> Draw() {
    ResetFolding(rows_, *plan_);
    RebuildRows(rows_, *plan_);
    view_.DayWidth = 8.0f;
    test::RecordingPainter painter;
    DrawChart(painter, ChartFrame{*plan_, rows_, view_, 1100, 320, 0, -1, nullptr});
    return painter.calls;
  }

  static bool Has(const std::vector<std::string>& calls, const std::string& text) {
    return std::any_of(calls.begin(), calls.end(),
                       [&](const std::string& call) { return call.find(text) != std::string::npos; });
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  RowModel rows_;
  ChartView view_;
};

TEST_F(ChartMarksTest, EachMarkDrawnWithItsLegendKey) {
  TaskTerms& summary = Add("Manual phase", 2, 6);
  summary.Manual = 1;
  plan_->Tasks.back().Summary = 1;
  Add("Child early", 0, 3, 2);
  Add("Child late", 4, 9, 2);
  Add("Dropped", 3, 5).Active = 0;
  TaskTerms& pinned = Add("Pinned", 5, 8);
  pinned.Constraint = ConstraintType::MustStartOn;
  pinned.ConstraintDate = Day(5);
  Add("On time", 2, 4).Deadline = Day(6);
  Add("Late", 2, 9).Deadline = Day(6);
  plan_->Tasks[4].Critical = 1;
  plan_->Tasks[4].Links.push_back(TaskLink{4, 3, LinkType::FS, 1});
  const auto calls = Draw();
  std::string text;
  for (const std::string& call : calls) text += call + "\n";
  EXPECT_TRUE(test::MatchesGolden(std::string(NERIN_VIEWS_DATA_DIR) + "/gantt_marks.calls", text));
  for (const char* key : {"manual", "inactive", "constraint", "deadline, missed"}) {
    EXPECT_TRUE(Has(calls, std::string("transparent ") + key)) << key;
  }
  // An inactive task's link is never drawn as the critical path's.
  EXPECT_FALSE(Has(calls, " 255,0,0"));
}

TEST_F(ChartMarksTest, LegendNamesOnlyTheMarksThePlanHas) {
  struct Case {
    const char* name;
    void (*set)(TaskTerms&);
    const char* key;
  };
  const Case cases[] = {
      {"manual", [](TaskTerms& t) { t.Manual = 1; }, "manual"},
      {"inactive", [](TaskTerms& t) { t.Active = 0; }, "inactive"},
      {"constraint", [](TaskTerms& t) { t.Constraint = ConstraintType::FinishNoLaterThan; }, "constraint"},
      {"deadline", [](TaskTerms& t) { t.Deadline = Day(3); }, "deadline, missed"},
      {"none", [](TaskTerms&) {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plan_ = std::make_unique<Plan>();
    plan_->ProjectLoaded = true;
    plan_->TimelineStart = Day(0);
    plan_->TimelineDays = 40;
    c.set(Add("Task", 1, 4));
    const auto calls = Draw();
    for (const char* key : {"manual", "inactive", "constraint", "deadline, missed"}) {
      EXPECT_EQ(Has(calls, std::string("transparent ") + key), c.key != nullptr && std::string(c.key) == key)
          << key;
    }
  }
}

TEST_F(ChartMarksTest, HoverNamesTheMarks) {
  TaskTerms& t = Add("Late", 2, 9);
  t.Manual = 1;
  t.Active = 0;
  t.Constraint = ConstraintType::StartNoEarlierThan;
  t.ConstraintDate = Day(2);
  t.Deadline = Day(6);
  t.ActualStart = Day(2);
  t.PercentWorkComplete = 72;
  plan_->Tasks.back().Critical = 1;
  const HoverTexts texts = HoverSummaryTexts(*plan_, 0);
  EXPECT_NE(texts[2].find("manually scheduled"), std::string::npos);
  EXPECT_NE(texts[2].find("inactive"), std::string::npos);
  EXPECT_EQ(texts[2].find("critical"), std::string::npos);
  EXPECT_EQ(HoverTermsLine(*plan_, 0),
            "Actual: " + OrdinalLabel(Day(2)) + " - -    Work complete: 72%    Constraint: Start No Earlier Than " +
                OrdinalLabel(Day(2)) + "    Deadline: " + OrdinalLabel(Day(6)) + " (finishes after it)");
  plan_->Terms.Tasks.clear();  // a plan read without its terms
  EXPECT_EQ(HoverTermsLine(*plan_, 0), "");
  EXPECT_EQ(HoverTermsLine(*plan_, 5), "");
}

TEST(ChildrenSpan, FirstStartAndLastFinishOfTheChildren) {
  Plan plan;
  const auto add = [&](std::int64_t level, DayOrdinal start, DayOrdinal finish) {
    Task& task = plan.Tasks.emplace_back();
    task.OutlineLevel = level;
    task.Start = start;
    task.Finish = finish;
  };
  add(1, 10, 12);
  add(2, 8, 9);
  add(3, 20, 30);
  add(2, 0, 0);  // no dates: not counted
  add(1, 1, 50);  // the next top-level task ends the children
  const std::optional<DaySpan> span = ChildrenSpan(plan, 0);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->Start, 8);
  EXPECT_EQ(span->Finish, 30);
  EXPECT_FALSE(ChildrenSpan(plan, 4));
  EXPECT_FALSE(ChildrenSpan(plan, 9));
}

}  // namespace
}  // namespace nerin
