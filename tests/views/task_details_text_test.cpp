// SPDX-License-Identifier: MIT
// The details window's texts and lists, its click guards, and the row a double-click opens.
#include "views/task_details_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "calendar/day_ordinal.h"

namespace nerin {
namespace {

void SetTask(Plan& plan, std::int64_t index, std::int64_t id, std::int64_t level = 1) {
  if (plan.TaskCount() <= index) plan.Tasks.resize(static_cast<std::size_t>(index + 1));
  Task& task = plan.Tasks[static_cast<std::size_t>(index)];
  task.UID = id + 100;
  task.ID = id;
  task.Name = "Task " + std::to_string(id);
  task.OutlineLevel = level;
  plan.ProjectLoaded = true;
}

TEST(TaskDetailsText, BaselineFlagsAndResources) {
  const DayOrdinal march2 = OrdinalFromDate(2026, 3, 2);
  const DayOrdinal march6 = OrdinalFromDate(2026, 3, 6);
  const std::string head =
      "ID: 7     UID: 107     Outline level: 2\r\nStart: 02.03.2026     Finish: \r\n"
      "Duration: 5 days     Complete: 25%\r\n";
  struct Case {
    DayOrdinal baselineStart, finish;
    std::uint8_t summary, milestone, critical;
    std::string lines;  // from the baseline line up to the resources
  };
  const Case cases[] = {
      {0, march6, 0, 0, 0, "Baseline: -\r\n"},
      {march2, march6, 0, 0, 0, "Baseline: 02.03.2026 - 06.03.2026\r\n"},
      {march2, march6 + 5, 0, 0, 0, "Baseline: 02.03.2026 - 06.03.2026     slipped by 5 calendar day(s)\r\n"},
      {march2, march6 - 3, 0, 0, 0, "Baseline: 02.03.2026 - 06.03.2026     ahead by 3 calendar day(s)\r\n"},
      {0, march6, 0, 1, 1, "Baseline: -\r\nFlags: milestone  critical\r\n"},
      {0, march6, 1, 1, 1, "Baseline: -\r\nFlags: summary  milestone  critical\r\n"},
  };
  for (const Case& c : cases) {
    Plan plan;
    SetTask(plan, 0, 7, 2);
    Task& task = plan.Tasks[0];
    task.StartLabel = "02.03.2026";
    task.DurationHours = 40.0f;
    task.PercentComplete = 25;
    task.BaselineStart = c.baselineStart;
    task.BaselineFinish = c.baselineStart > 0 ? march6 : 0;
    task.Finish = c.finish;
    task.Summary = c.summary;
    task.Milestone = c.milestone;
    task.Critical = c.critical;
    EXPECT_EQ(TaskDetailsText(plan, 0), head + c.lines + "\r\nResources:\r\n  -\r\n");
  }

  // Assignments of unknown resources are left out; units are shown in whole percent.
  Plan plan;
  SetTask(plan, 0, 1);
  plan.Resources.resize(2);
  plan.Resources[0].Name = "Ann";
  plan.Resources[1].Name = "Bob";
  plan.ResourceUidMap = {{11, 0}, {12, 1}};
  plan.Tasks[0].Assigned = {{12, 0.5f}, {99, 1.0f}, {11, 1.25f}};
  const std::string text = TaskDetailsText(plan, 0);
  EXPECT_EQ(text.substr(text.find("Resources:")), "Resources:\r\n  Bob  (50%)\r\n  Ann  (125%)\r\n");
  EXPECT_EQ(TaskDetailsText(plan, 1), "");
  EXPECT_EQ(TaskNoteText(plan.Tasks[0]), "-");
}

// The order of the links is shared with the hover summary and checked there.
TEST(TaskDetailsText, LinkRowsForEveryLink) {
  Plan plan;
  constexpr std::int64_t TASKS = 300;
  for (std::int64_t i = 0; i < TASKS; ++i) SetTask(plan, i, i + 1);
  // Every link of every task leads to task 5: 100 predecessors each (more than the old 64 a
  // task); the successor list stops at as many rows as the plan has tasks.
  for (Task& task : plan.Tasks) task.Links.assign(100, TaskLink{6, 5, LinkType::SF, 0});
  const std::vector<LinkRow> predecessors = PredecessorRows(plan, 9);
  ASSERT_EQ(predecessors.size(), 100U);
  EXPECT_EQ(predecessors[0].Task, 5);
  EXPECT_EQ(predecessors[0].Id + " " + predecessors[0].Name + " " + predecessors[0].Type, "6 Task 6 SF");
  EXPECT_EQ(SuccessorRows(plan, 5).size(), static_cast<std::size_t>(TASKS));
}

TEST(TaskDetailsText, DoubleClickOpensTheRowButNotTheBorder) {
  Plan plan;
  SetTask(plan, 0, 1, 1);
  SetTask(plan, 1, 2, 2);
  RowModel rows;
  ResetFolding(rows, plan);
  RebuildRows(rows, plan);
  ChartView view;
  view.Height = 500;  // rows from 88 to 476; the task column border at 390
  const std::int64_t cases[][3] = {{100, 87, -1}, {100, 131, 1}, {100, 132, -1},
                                   {385, 95, -1}, {396, 95, 0},  {INT64_MIN, INT64_MAX, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(DetailsTaskAt(plan, rows, view, c[0], c[1]), c[2]) << c[0] << ", " << c[1];
  }
  // A level far beyond any indent neither overflows nor hides the row.
  plan.Tasks[0].OutlineLevel = INT64_MAX;
  EXPECT_EQ(DetailsTaskAt(plan, rows, view, 100, 95), 0);
}

// The box is 148 pixels high in a window of 620; it grows with its text, the window with it as
// far as the tallest window the screen holds, the box further while it can still be seen whole
// above the buttons, and it does not shrink back while the window is open.
TEST(TaskDetailsText, DetailsBoxGrowsWithItsTextUpToTheScreen) {
  const struct {
    const char* name;
    std::int64_t text;
    std::int64_t current;
    std::int64_t tallest;
    DetailsBoxSize size;
  } cases[] = {
      {"short text: the usual box", 90, 148, 1000, {148, 620}},
      {"text that just fits", 148, 148, 1000, {148, 620}},
      {"longer text: a taller box and window", 300, 148, 1000, {300, 772}},
      {"the window as tall as the screen, the box still grows", 850, 148, 1000, {850, 1000}},
      {"as tall as can be seen above the buttons, then it scrolls", 2000, 148, 1000, {900, 1000}},
      // 576 - 48 - 44 - 8: the window stays short and its upper part scrolls.
      {"a screen shorter than the window: only the box grows", 300, 148, 576, {300, 620}},
      {"... as far as it can be seen whole", 600, 148, 576, {476, 620}},
      {"a shorter text after a longer one keeps the box", 90, 300, 1000, {300, 772}},
      {"a longer one still grows it", 400, 300, 1000, {400, 872}},
  };
  for (const auto& c : cases) {
    const DetailsBoxSize size = DetailsBoxFor(c.text, c.current, c.tallest);
    EXPECT_EQ(std::pair(size.Box, size.Window), std::pair(c.size.Box, c.size.Window)) << c.name;
  }
}

TEST(TaskDetailsTextTest, NoteAndLinkListsShareTheirRoomByWhatTheyHold) {
  struct Case {
    const char* name;
    std::int64_t note, lists;
    DetailsShare share;
  };
  const Case cases[] = {
      {"short note, long lists: as always", 30, 900, {66, 252}},
      {"35-line note, empty lists: the note takes the room", 600, 28, {246, 72}},
      {"35-line note, three links each", 600, 90, {228, 90}},
      {"a note of 6 lines, a few links: both whole, the rest to the lists", 110, 100, {110, 208}},
      {"nothing at all: as always", 0, 0, {66, 252}},
      {"a list asks for more than there is: the note keeps its least", 600, 5000, {66, 252}},
  };
  for (const Case& c : cases) {
    const DetailsShare share = DetailsShareFor(c.note, c.lists);
    EXPECT_EQ(std::pair(share.Note, share.Lists), std::pair(c.share.Note, c.share.Lists)) << c.name;
    EXPECT_EQ(share.Note + share.Lists, DETAILS_NOTE_HEIGHT + DETAILS_LISTS_HEIGHT) << c.name;
  }
}

// The author's marks, progress and codes, each on a line of its own after the flags.
TEST(TaskDetailsText, PlanTermsLines) {
  Plan plan;
  SetTask(plan, 0, 7, 1);
  plan.Tasks[0].Finish = OrdinalFromDate(2026, 3, 9);
  const std::string bare = TaskDetailsText(plan, 0);
  TaskTerms terms;
  terms.WBS = "P1 - 1.1.1.1";
  terms.ActualStart = OrdinalFromDate(2026, 3, 2);
  terms.PercentWorkComplete = 72;
  terms.Constraint = ConstraintType::StartNoEarlierThan;
  terms.ConstraintDate = OrdinalFromDate(2026, 3, 3);
  terms.Deadline = OrdinalFromDate(2026, 3, 6);
  terms.Manual = 1;
  terms.Active = 0;
  plan.Terms.Tasks.push_back(terms);
  const std::string text = TaskDetailsText(plan, 0);
  const std::string lines =
      "WBS: P1 - 1.1.1.1\r\n"
      "Actual start: 02.03.2026     Actual finish: -     Work complete: 72%\r\n"
      "Constraint: Start No Earlier Than 03.03.2026\r\n"
      "Deadline: 06.03.2026     finishes after its deadline\r\n"
      "Marks: manually scheduled  inactive\r\n";
  EXPECT_NE(text.find(lines), std::string::npos) << text;
  EXPECT_EQ(bare.find("WBS"), std::string::npos);
}

// A material with a label is counted in it; a work resource in per cent.
TEST(TaskDetailsText, MaterialInItsOwnUnit) {
  Plan plan;
  SetTask(plan, 0, 7, 1);
  plan.Resources.resize(2);
  plan.Resources[0].UID = 11;
  plan.Resources[0].Name = "Gravel";
  plan.Resources[0].Type = 0;
  plan.Resources[1].UID = 12;
  plan.Resources[1].Name = "Crew";
  plan.ResourceUidMap = {{11, 0}, {12, 1}};
  plan.Terms.MaterialLabels = {"t", ""};
  plan.Tasks[0].Assigned = {{11, 10.0f}, {12, 0.5f}};
  const std::string text = TaskDetailsText(plan, 0);
  EXPECT_NE(text.find("  Gravel  (10 t)\r\n  Crew  (50%)\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace nerin
