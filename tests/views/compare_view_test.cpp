// SPDX-License-Identifier: MIT
// The chart, the hover box and the texts while the plan is compared with a reference version.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/recording_painter.h"
#include "views/change_texts.h"
#include "views/chart_colours.h"
#include "views/gantt_chart.h"

namespace nerin {
namespace {

using test::RecordingPainter;

DayOrdinal Day(std::int64_t offset) {
  return OrdinalFromDate(2026, 3, 2) + offset;
}

std::string Colour(Rgb c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Four tasks of the plan shown, each changed another way since the reference, and one unchanged.
class CompareViewTest : public ::testing::Test {
 protected:
  CompareViewTest() {
    plan_->ProjectLoaded = true;
    plan_->TimelineStart = Day(0);
    plan_->TimelineDays = 90;
    for (std::int64_t i = 0; i < 5; ++i) {
      Task& task = plan_->Tasks.emplace_back();
      task.UID = i + 1;
      task.Name = "Task " + std::to_string(i + 1);
      task.Start = Day(10);
      task.Finish = Day(14);
    }
    ResetFolding(rows_, *plan_);
    RebuildRows(rows_, *plan_);
    changes_.ChangeOfSubjectTask = {0, 1, 2, 3, -1};
    changes_.ReferenceDatesOfSubjectTask = {
        {Day(5), Day(9)}, {Day(10), Day(20)}, {0, 0}, {Day(10), Day(14)}, {Day(10), Day(14)}};
    changes_.Tasks.resize(4);
    changes_.Tasks[0].FinishShiftDays = 5;
    changes_.Tasks[0].StartShiftDays = 5;
    changes_.Tasks[0].Fields = {{TaskField::Start, "", "", Day(5), Day(10)},
                                {TaskField::Finish, "", "", Day(9), Day(14)}};
    changes_.Tasks[1].FinishShiftDays = -6;
    changes_.Tasks[1].Fields = {{TaskField::Finish, "", "", Day(20), Day(14)},
                                {TaskField::Duration, "80", "40", 0, 0}};
    changes_.Tasks[2].Kind = ChangeKind::Added;
    changes_.Tasks[3].Fields = {{TaskField::Name, "Old", "Task 4", 0, 0},
                                {TaskField::PercentComplete, "0", "50", 0, 0}};
    comparison_.Changes = &changes_;
    comparison_.ReferenceName = "week-48.xml";
  }

  std::vector<std::string> Draw(const ChartComparison* comparison, const HoverState* hover = nullptr) {
    RecordingPainter painter;
    ChartFrame frame{*plan_, rows_, view_, 900, 400, 0, -1, hover};
    frame.Comparison = comparison;
    DrawChart(painter, frame);
    return painter.calls;
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  RowModel rows_;
  ChartView view_;
  PlanChanges changes_;
  ChartComparison comparison_;
};

TEST_F(CompareViewTest, ReferenceBarsAndRowMarks) {
  const std::vector<std::string> calls = Draw(&comparison_);
  const std::string reference = Colour(ReferenceBarColour);
  // Row r starts at 88 + 22 r; day d of the timeline at 390 + 4 d.
  const std::vector<std::string> expected = {
      "fill 410 89 20 2 " + reference,  // five days, five days earlier than now
      "fill 430 111 44 2 " + reference,
      "fill 430 155 20 2 " + reference,
      "fill 430 177 20 2 " + reference,  // an unchanged task keeps its reference bar
      "fill 0 89 4 20 " + Colour(LaterMarkColour),
      "fill 0 111 4 20 " + Colour(EarlierMarkColour),
      "fill 0 133 4 20 " + Colour(AddedMarkColour),
      "fill 0 155 4 20 " + Colour(OtherChangeMarkColour),
  };
  for (const std::string& call : expected) {
    EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
  }
  // No reference bar for the added task, no mark for the unchanged one.
  EXPECT_EQ(
      std::count_if(calls.begin(), calls.end(),
                    [&](const std::string& c) { return c.find(" 2 " + reference) != std::string::npos; }),
      4);
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& c) {
                            return c.rfind("fill 0 ", 0) == 0 && c.find(" 4 20 ") != std::string::npos;
                          }),
            4);
  // Without a comparison nothing of it is drawn; with one, the rest of the chart is unchanged.
  const std::vector<std::string> plain = Draw(nullptr);
  for (const std::string& call : plain) EXPECT_EQ(call.find(reference), std::string::npos) << call;
  for (const std::string& call : plain) {
    EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
  }
}

TEST_F(CompareViewTest, AComparisonOfAnotherPlanSizeDrawsNoStrangers) {
  changes_.ChangeOfSubjectTask.resize(2);
  changes_.ReferenceDatesOfSubjectTask.resize(2);
  const std::vector<std::string> calls = Draw(&comparison_);
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& c) {
                            return c.rfind("fill 0 ", 0) == 0 && c.find(" 4 20 ") != std::string::npos;
                          }),
            2);
}

TEST_F(CompareViewTest, HoverBoxNamesTheChange) {
  const HoverState hover{0, 0, true, false, 100, 100};
  const std::vector<std::string> calls = Draw(&comparison_, &hover);
  const std::string line =
      "bold " + Colour(ReferenceBarColour) + " transparent Start +5 days, Finish +5 days since week-48.xml";
  EXPECT_NE(std::find_if(calls.begin(), calls.end(),
                         [&](const std::string& c) { return c.find(line) != std::string::npos; }),
            calls.end());
  // The unchanged task's box is the plain one.
  const HoverState plain{4, 4, true, false, 100, 100};
  const std::vector<std::string> unchanged = Draw(&comparison_, &plain);
  EXPECT_EQ(std::find_if(unchanged.begin(), unchanged.end(),
                         [](const std::string& c) { return c.find(" since ") != std::string::npos; }),
            unchanged.end());
}

TEST_F(CompareViewTest, TextsOfAChange) {
  const struct {
    std::int64_t task;
    std::string sentence, cell;
  } rows[] = {
      {0, "Start +5 days, Finish +5 days since week-48.xml", "Start +5 days, Finish +5 days"},
      {1, "Finish -6 days; Duration changed since week-48.xml", "Finish -6 days; Duration"},
      {2, "Added since week-48.xml", "Added"},
      {3, "Name, % complete changed since week-48.xml", "Name, % complete"},
      {4, "", ""},
      {-1, "", ""},
      {99, "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ChangeSentence(comparison_, row.task), row.sentence) << row.task;
    EXPECT_EQ(ChangeCell(&changes_, row.task), row.cell) << row.task;
  }
  EXPECT_EQ(ChangeCell(nullptr, 0), "");
  EXPECT_EQ(ChangeSentence(ChartComparison{}, 0), "");
  EXPECT_EQ(ChangeDetailsText(comparison_, 1),
            "Changes since week-48.xml:\r\n  Finish 22.03.2026 \u2192 16.03.2026 (-6 days)\r\n  Duration 80 "
            "\u2192 40 h\r\n");
  EXPECT_EQ(ChangeDetailsText(comparison_, 2), "Changes since week-48.xml:\r\n  added\r\n");
  EXPECT_EQ(ChangeDetailsText(comparison_, 4), "");
}

}  // namespace
}  // namespace nerin
