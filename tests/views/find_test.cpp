// SPDX-License-Identifier: MIT
// Find: which record each step finds, where it starts, and texts that must not stall it.
#include "views/find.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace nerin {
namespace {

// The platform's lower case stands in for two letters beyond ASCII: É, and İ, which becomes
// two characters. Find hands it nothing else.
std::string Lower(std::string_view text) {
  EXPECT_TRUE(
      std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
  std::string lowered(text);
  for (const auto& [upper, lower] : {std::pair<std::string, std::string>{"\xC3\x89", "\xC3\xA9"},
                                     std::pair<std::string, std::string>{"\xC4\xB0", "i\xCC\x87"}}) {
    for (std::size_t at = lowered.find(upper); at != std::string::npos; at = lowered.find(upper, at)) {
      lowered.replace(at, upper.size(), lower);
    }
  }
  return lowered;
}

constexpr FindView kGantt = FindView::Gantt;
constexpr FindView kTasks = FindView::Tasks;
constexpr FindView kResources = FindView::Resources;
constexpr std::int64_t kNoMatch = -2;  // the step shows the no-match feedback
constexpr std::int64_t kNothing = -1;  // the step does nothing at all

struct Step {
  FindView view;
  std::string text;
  std::int64_t selected;  // the selected list row; the Gantt view starts after the last find
  std::int64_t found;     // the record, kNoMatch or kNothing
};

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddTask(1, "Design", "Drawing set 012.");
    AddTask(2, "Build", "Waits for the DESIGN review.");
    AddTask(12, "Test", "");
    AddTask(4, "Level 12 handover", "");
    AddTask(5, "Caf\xC3\xA9 fit-out", "");
    AddTask(6, "\xC4\xB0ZM\xC4\xB0R", "");
    for (const char* name : {"Crane", "Design office", "Crane hire"}) {
      Resource& resource = plan_->Resources.emplace_back();
      resource.ID = plan_->ResourceCount();
      resource.Name = name;
    }
    plan_->ProjectLoaded = true;
    FillTaskListRows(list_, *plan_, false);
  }

  void AddTask(std::int64_t id, const std::string& name, const std::string& note) {
    Task& task = plan_->Tasks.emplace_back();
    task.ID = id;
    task.Name = name;
    task.Notes = note;
  }

  void Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      FindRequest request{step.view, step.text, step.selected, highlight_};
      const FindResult result = FindNextRecord(*plan_, list_, texts_, last_, request, Lower);
      const std::int64_t found = result.Outcome == FindOutcome::Found     ? result.Record
                                 : result.Outcome == FindOutcome::NoMatch ? kNoMatch
                                                                          : kNothing;
      EXPECT_EQ(found, step.found) << "'" << step.text << "' from " << step.selected << ", " << highlight_;
      if (found >= 0 && step.view != kResources) highlight_ = found;
    }
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  TaskListRows list_;
  FindTexts texts_;
  std::string last_;
  std::int64_t highlight_ = -1;
};

TEST_F(FindTest, GanttStepsThroughIdsNamesAndNotes) {
  Run({
      {kGantt, "design", -1, 0},
      {kGantt, "design", -1, 1},  // through the note
      {kGantt, "design", -1, 0},  // wrapped
      {kGantt, "DESIGN", -1, 0},  // a new text starts at the first task
      {kGantt, "12", -1, 0},
      {kGantt, "12", -1, 2},  // "set 012", then ID 12
      {kGantt, "12", -1, 3},
      {kGantt, "12", -1, 0},  // "Level 12", wrapped
      {kGantt, "012", -1, 0},
      {kGantt, "012", -1, 0},  // no ID; the only match stays
      {kGantt, "+12", -1, kNoMatch},
      {kGantt, "1 2", -1, kNoMatch},
      {kGantt, "5", -1, 4},
      {kGantt, "  build  ", -1, 1},
      {kGantt, "     ", -1, kNothing},
      {kGantt, "", -1, kNothing},
      {kGantt, "\tbuild", -1, kNoMatch},  // only spaces are trimmed
      {kGantt, "test", -1, 2},
      {kGantt, "d", -1, 0},  // not "Level 12 handover" after Test
      {kGantt, "CAF\xC3\x89", -1, 4},
      {kGantt, "i\xCC\x87zmi\xCC\x87r", -1, 5},
      {kGantt, "\xC4\xB0zM\xC4\xB0r", -1, 5},
      {kGantt, "izmir", -1, kNoMatch},
  });
}

// A plan's WBS codes are found as names are, prefix and all; a plan read without its terms
// (fewer of them than tasks) finds none for the tasks they miss.
TEST_F(FindTest, WbsCodesAreFound) {
  plan_->Terms.Tasks.resize(3);
  plan_->Terms.Tasks[0].WBS = "P1 - 1.1";
  plan_->Terms.Tasks[2].WBS = "P1-QA.7";
  Run({
      {kGantt, "p1", -1, 0},
      {kGantt, "p1", -1, 2},
      {kGantt, "qa.7", -1, 2},
      {kGantt, "- 1.1", -1, 0},
      {kTasks, "p1-qa", 0, 2},
      {kGantt, "1.1.1", -1, kNoMatch},
  });
}

TEST_F(FindTest, ListsStartAfterTheSelectedRow) {
  Run({
      {kTasks, "o", -1, 1},
      {kTasks, "o", 1, 3},
      {kTasks, "o", 3, 4},
      {kTasks, "o", 4, 1},
      {kTasks, "o", 99, 1},                  // a row the list does not have counts as none
      {kResources, "review", -1, kNoMatch},  // task notes are not searched here
      {kResources, "crane", -1, 0},
      {kResources, "crane", 0, 2},
      {kResources, "crane", 2, 0},
      {kResources, "3", 0, 2},
      {kResources, "design", 5000, 1},
  });
  EXPECT_EQ(highlight_, 1);  // a resource is no highlight
  plan_->Tasks[3].Critical = 1;
  FillTaskListRows(list_, *plan_, true);  // the list holds task 3 only, on row 0
  Run({{kTasks, "o", -1, 1}, {kTasks, "o", 0, 4}});
}

TEST_F(FindTest, NothingToSearchGivesNoMessage) {
  plan_->Resources.clear();
  Run({{kResources, "crane", -1, kNothing}});
  EXPECT_EQ(last_, "crane");
  plan_->ProjectLoaded = false;
  Run({{kGantt, "other", -1, kNothing}});
  EXPECT_EQ(last_, "crane");  // without a plan the text is not even taken
}

TEST_F(FindTest, LowerCaseTextsBelongToThePlanTheyWereMadeFor) {
  Run({{kGantt, "design", -1, 0}});
  plan_->Tasks[2].Name = "Design check";
  Run({{kGantt, "check", -1, kNoMatch}});
  DropFindTexts(texts_);  // as every load does
  Run({{kGantt, "check", -1, 2}});
  AddTask(7, "Check again", "");  // a plan of another size is never searched with old texts
  Run({{kGantt, "check", -1, 6}});
}

TEST_F(FindTest, LongAndRepetitiveTextsAreSearchedWhole) {
  plan_->Tasks[2].Notes = std::string(4000, 'a');
  plan_->Tasks[3].Notes = std::string(3990, 'a') + "b" + std::string(9, 'a');
  Run({
      {kGantt, std::string(100, 'a') + "b", -1, 3},
      {kGantt, std::string(100, 'a') + "c", -1, kNoMatch},
      {kGantt, "b" + std::string(9, 'a'), -1, 3},
      {kGantt, std::string(17, 'a'), -1, 2},
      {kGantt, std::string(17, 'a'), -1, 3},
      {kGantt, std::string(10000, 'x'), -1, kNoMatch},
      {kGantt, "Waits for the design review.", -1, 1},
  });
  EXPECT_EQ(NoMatchMessage("xyz"), "No match for 'xyz'.");
}

// Names and notes are lowered eight bytes at a time while they are ASCII: every letter at
// every place in a block is lowered, the characters next to A and Z are not, and runs beyond
// ASCII that start or end inside a block come out whole.
TEST_F(FindTest, LowerCaseHoldsAcrossBlocksOfEightBytes) {
  AddTask(20, "ABCDEFGHIJKLMNOPQRSTUVWXYZ@[`{", "xxxxxxx\xC3\x89T\xC3\x89xxxxxxxx\xC4\xB0ZM\xC4\xB0R!");
  const std::int64_t task = plan_->TaskCount() - 1;
  Run({{kGantt, "abcdefghijklmnopqrstuvwxyz@[`{", -1, task},
       {kGantt, "QRSTUVWX", -1, task},
       {kGantt, "z`", -1, kNoMatch},
       {kGantt, "z@[`{", -1, task},
       {kGantt, "x\xC3\xA9t\xC3\xA9x", -1, task},
       {kGantt, "i\xCC\x87zmi\xCC\x87r!", -1, task}});
}

}  // namespace
}  // namespace nerin
