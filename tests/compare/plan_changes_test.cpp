// SPDX-License-Identifier: MIT
// The comparison against plans changed on purpose: it reports exactly the changes made.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "compare/plan_changes.h"
#include "compare_test_support.h"

namespace nerin {
namespace {

using test::LoadedPlan;
using test::Reloaded;
using test::Reported;

const std::string& DemoText() {
  static const std::string text = test::ReadWholeFile(test::DEMO_PLAN_PATH);
  return text;
}

TEST(ComparePlans, AnUneditedPlanWrittenAndReadAgainHasNoDifferences) {
  for (const std::string& path : {test::DEMO_PLAN_PATH, std::string(NERIN_TEST_DATA_DIR "/typical.xml"),
                                  test::CompareData("reference.xml")}) {
    const auto original = LoadedPlan(test::ReadWholeFile(path), path);
    const auto again = Reloaded(*original);
    const PlanChanges changes = ComparePlans(*original, *again);
    EXPECT_TRUE(changes.Empty()) << path << "\n" << test::Describe(Reported(changes));
  }
}

TEST(ComparePlans, EachKindOfEditIsReportedExactly) {
  struct Row {
    PlanEdit edit;
    std::vector<std::int64_t> fromIndexes;  // where in the demo plan the edit is tried
  };
  const Row rows[] = {
      {PlanEdit::Shift, {0, 5, 40}}, {PlanEdit::Stretch, {3, 60}},  {PlanEdit::Rename, {1, 77}},
      {PlanEdit::Move, {2, 30, 90}}, {PlanEdit::Remove, {4, 50}},   {PlanEdit::Add, {0, 20, 100}},
      {PlanEdit::Relink, {1, 33}},   {PlanEdit::Progress, {8, 64}}, {PlanEdit::Reassign, {6, 70}},
  };
  for (const Row& row : rows) {
    for (const std::int64_t from : row.fromIndexes) {
      const auto reference = LoadedPlan(DemoText());
      const auto edited = LoadedPlan(DemoText());
      ExpectedChanges expected;
      const std::int64_t at = ApplyEdit(*edited, row.edit, from, expected);
      ASSERT_GE(at, 0) << static_cast<int>(row.edit) << " from " << from;
      const auto subject = Reloaded(*edited);
      const PlanChanges changes = ComparePlans(*reference, *subject);
      const ExpectedChanges reported = Reported(changes);
      EXPECT_EQ(reported, expected) << "edit " << static_cast<int>(row.edit) << " at " << at
                                    << "\nexpected:\n"
                                    << test::Describe(expected) << "reported:\n"
                                    << test::Describe(reported);
      EXPECT_TRUE(changes.Resources.empty());
      EXPECT_FALSE(changes.StartMoved() || changes.FinishMoved());
    }
  }
}

TEST(ComparePlans, ManyEditsTogetherAreReportedExactlyAndCounted) {
  const auto reference = LoadedPlan(DemoText());
  const auto edited = LoadedPlan(DemoText());
  const ExpectedChanges expected = ApplySpreadEdits(*edited, 4);
  ASSERT_GT(expected.size(), 20u);
  const auto subject = Reloaded(*edited);
  const PlanChanges changes = ComparePlans(*reference, *subject);
  EXPECT_EQ(Reported(changes), expected) << test::Describe(expected) << "reported:\n"
                                         << test::Describe(Reported(changes));
  std::int64_t added = 0, removed = 0, moved = 0, renamed = 0, other = 0;
  for (const auto& [uid, change] : expected) {
    const auto has = [&](TaskField f) {
      return std::find(change.Fields.begin(), change.Fields.end(), f) != change.Fields.end();
    };
    if (change.Kind == ChangeKind::Added) ++added;
    if (change.Kind == ChangeKind::Removed) ++removed;
    if (change.Kind != ChangeKind::Changed) continue;
    const bool move = has(TaskField::Start) || has(TaskField::Finish);
    moved += move;
    renamed += has(TaskField::Name);
    other += !move && !has(TaskField::Name);
  }
  EXPECT_EQ(changes.AddedCount, added);
  EXPECT_EQ(changes.RemovedCount, removed);
  EXPECT_EQ(changes.MovedCount, moved);
  EXPECT_EQ(changes.RenamedCount, renamed);
  EXPECT_EQ(changes.OtherCount, other);
  // Changed and added tasks come in the subject's order, then the removed ones.
  std::int64_t lastSubject = -1;
  bool removedSeen = false;
  for (const TaskChange& change : changes.Tasks) {
    if (change.Kind == ChangeKind::Removed) {
      removedSeen = true;
      continue;
    }
    EXPECT_FALSE(removedSeen) << change.UID;
    EXPECT_GT(change.SubjectIndex, lastSubject);
    lastSubject = change.SubjectIndex;
    EXPECT_EQ(changes.ChangeOf(change.SubjectIndex), &change);
  }
}

TEST(ComparePlans, MovesAreInCalendarDaysAndMarkTheirRows) {
  const auto reference = LoadedPlan(DemoText());
  const auto edited = LoadedPlan(DemoText());
  Task& later = edited->Tasks[10];
  later.Start += 7;
  later.Finish += 7;
  Task& earlier = edited->Tasks[11];
  earlier.Finish -= 2;
  Task& renamed = edited->Tasks[12];
  renamed.Name = "Another name";
  const auto subject = Reloaded(*edited);
  const PlanChanges changes = ComparePlans(*reference, *subject);
  const struct {
    std::int64_t index, startShift, finishShift;
    RowMark mark;
  } rows[] = {{10, 7, 7, RowMark::Later}, {11, 0, -2, RowMark::Earlier}, {12, 0, 0, RowMark::Other}};
  for (const auto& row : rows) {
    const TaskChange* change = changes.ChangeOf(row.index);
    ASSERT_NE(change, nullptr) << row.index;
    EXPECT_EQ(change->StartShiftDays, row.startShift) << row.index;
    EXPECT_EQ(change->FinishShiftDays, row.finishShift) << row.index;
    EXPECT_EQ(MarkOf(*change), row.mark) << row.index;
    const auto index = static_cast<std::size_t>(row.index);
    EXPECT_EQ(changes.ReferenceDatesOfSubjectTask[index].Start, reference->Tasks[index].Start);
    EXPECT_EQ(changes.ReferenceDatesOfSubjectTask[index].Finish, reference->Tasks[index].Finish);
  }
  EXPECT_EQ(changes.ChangeOf(13), nullptr);
  EXPECT_EQ(changes.ChangeOf(-1), nullptr);
  EXPECT_EQ(changes.ChangeOf(1000000), nullptr);
}

// Plans that have little or nothing in common still compare without merging anything.
TEST(ComparePlans, BadPairsOfPlans) {
  const auto demo = LoadedPlan(DemoText());
  const std::int64_t count = demo->TaskCount();

  // Every UID moved far away: a plan sharing no task with the demo plan.
  const auto renumbered = LoadedPlan(DemoText());
  for (std::int64_t i = 0; i < count; ++i) {
    Task& task = renumbered->Tasks[static_cast<std::size_t>(i)];
    task.UID += 100000;
    for (std::int64_t l = 0; l < task.LinkCount(); ++l)
      task.Links[static_cast<std::size_t>(l)].PredecessorUID += 100000;
  }
  const auto unrelated = Reloaded(*renumbered);

  const auto empty = LoadedPlan(
      "<Project><Name>Nothing "
      "yet</Name><StartDate>2026-09-01</StartDate><FinishDate>2026-09-30</FinishDate></Project>");
  ASSERT_EQ(empty->TaskCount(), 0);

  const auto allMoved = LoadedPlan(DemoText());
  for (std::int64_t i = 0; i < count; ++i) allMoved->Tasks[static_cast<std::size_t>(i)].Finish += 1;
  const auto moved = Reloaded(*allMoved);

  const Plan notLoaded;
  const struct {
    const char* what;
    const Plan& reference;
    const Plan& subject;
    std::int64_t added, removed, moved;
  } rows[] = {
      {"unrelated", *demo, *unrelated, count, count, 0},  {"empty against full", *empty, *demo, count, 0, 0},
      {"full against empty", *demo, *empty, 0, count, 0}, {"all moved", *demo, *moved, 0, 0, count},
      {"nothing loaded", notLoaded, *demo, count, 0, 0},
  };
  for (const auto& row : rows) {
    const PlanChanges changes = ComparePlans(row.reference, row.subject);
    EXPECT_EQ(changes.AddedCount, row.added) << row.what;
    EXPECT_EQ(changes.RemovedCount, row.removed) << row.what;
    EXPECT_EQ(changes.MovedCount, row.moved) << row.what;
    EXPECT_EQ(static_cast<std::int64_t>(changes.Tasks.size()), row.added + row.removed + row.moved)
        << row.what;
    EXPECT_FALSE(changes.Empty()) << row.what;
  }
}

TEST(ComparePlans, AReusedUidIsAChangeOfThatTaskAndLinksToVanishedTasksStay) {
  const auto reference = LoadedPlan(DemoText());
  const auto edited = LoadedPlan(DemoText());
  // A task without children is dropped; the task after it points at it, and a task further
  // down now stands for something else under its old UID.
  std::int64_t at = 20;
  while (edited->Tasks[static_cast<std::size_t>(at + 1)].OutlineLevel >
         edited->Tasks[static_cast<std::size_t>(at)].OutlineLevel) {
    ++at;
  }
  const std::int64_t goneUid = edited->Tasks[static_cast<std::size_t>(at)].UID;
  Task& linked = edited->Tasks[static_cast<std::size_t>(at + 1)];
  linked.Links.push_back(TaskLink{goneUid, -1, LinkType::FS, 0, 0.0f});
  edited->Tasks[static_cast<std::size_t>(at + 10)].Name = "Unrelated work under an old number";
  ExpectedChanges expected;
  ASSERT_EQ(ApplyEdit(*edited, PlanEdit::Remove, at, expected), at);
  const auto subject = Reloaded(*edited);
  const PlanChanges changes = ComparePlans(*reference, *subject);
  ASSERT_EQ(changes.RemovedCount, 1);
  const TaskChange* relinked = changes.ChangeOf(at);  // one place up now
  ASSERT_NE(relinked, nullptr);
  ASSERT_NE(relinked->Find(TaskField::Predecessors), nullptr);
  EXPECT_NE(relinked->Find(TaskField::Predecessors)->New.find(std::to_string(goneUid) + "FS"),
            std::string::npos);
  const TaskChange* reused = changes.ChangeOf(at + 9);
  ASSERT_NE(reused, nullptr);
  EXPECT_EQ(reused->Kind, ChangeKind::Changed);
  EXPECT_EQ(reused->Fields.size(), 1u);
  EXPECT_EQ(reused->Name, "Unrelated work under an old number");
}

// A tool may number a real task UID 0: a task moved out from under it has changed its parent.
TEST(ComparePlans, ATaskMovedFromUnderUidZeroChangedItsParent) {
  const auto plan = [](int secondLevel) {
    return "<Project><Name>P</Name><StartDate>2026-03-02T08:00:00</StartDate><Tasks>"
           "<Task><UID>0</UID><ID>1</ID><Name>Phase</Name><OutlineLevel>1</OutlineLevel><Summary>1</Summary>"
           "<Start>2026-03-02T08:00:00</Start><Finish>2026-03-03T17:00:00</Finish></Task>"
           "<Task><UID>5</UID><ID>2</ID><Name>Work</Name><OutlineLevel>" +
           std::to_string(secondLevel) +
           "</OutlineLevel><Start>2026-03-02T08:00:00</Start><Finish>2026-03-03T17:00:00</Finish></Task>"
           "</Tasks></Project>";
  };
  const auto reference = LoadedPlan(plan(2));
  const auto subject = LoadedPlan(plan(1));
  ASSERT_EQ(subject->TaskCount(), 2);
  const PlanChanges changes = ComparePlans(*reference, *subject);
  const auto moved = std::find_if(changes.Tasks.begin(), changes.Tasks.end(),
                                  [&](const TaskChange& c) { return c.UID == 5; });
  ASSERT_NE(moved, changes.Tasks.end());
  ASSERT_EQ(moved->Fields.size(), 1u);
  EXPECT_EQ(moved->Fields[0].Old, "0 (level 2)");
  EXPECT_EQ(moved->Fields[0].New, "- (level 1)");
}

TEST(ComparePlans, LongNotesCompareInFull) {
  const std::string note(4000, 'n');
  std::string changedAtTheEnd = note;
  changedAtTheEnd.back() = 'm';
  const struct {
    std::string reference, subject;
    bool differs;
  } rows[] = {{note, note, false}, {note, changedAtTheEnd, true}, {note, "", true}, {"", note, true}};
  for (const auto& row : rows) {
    const auto a = LoadedPlan(DemoText());
    const auto b = LoadedPlan(DemoText());
    a->Tasks[5].Notes = row.reference;
    b->Tasks[5].Notes = row.subject;
    const auto reference = Reloaded(*a);
    const auto subject = Reloaded(*b);
    const PlanChanges changes = ComparePlans(*reference, *subject);
    EXPECT_EQ(!changes.Empty(), row.differs) << row.subject.size();
    if (row.differs) {
      ASSERT_EQ(changes.Tasks.size(), 1u);
      EXPECT_EQ(changes.Tasks[0].Fields[0].New, row.subject);
    }
  }
}

TEST(ComparePlans, LinksAndAssignmentsCompareAsSets) {
  const auto reference = LoadedPlan(DemoText());
  const auto edited = LoadedPlan(DemoText());
  std::int64_t index = 0;
  while (index < edited->TaskCount() && edited->Tasks[static_cast<std::size_t>(index)].LinkCount() < 2) ++index;
  ASSERT_LT(index, edited->TaskCount());
  Task& task = edited->Tasks[static_cast<std::size_t>(index)];
  std::swap(task.Links[0], task.Links[1]);
  const auto subject = Reloaded(*edited);
  EXPECT_TRUE(ComparePlans(*reference, *subject).Empty());
}

TEST(ValueTexts, HoursDaysAndDates) {
  const std::pair<float, const char*> hours[] = {{8.0f, "8"},     {4.5f, "4.5"},        {0.25f, "0.25"},
                                                 {-0.5f, "-0.5"}, {0.0f, "0"},          {0.004f, "0"},
                                                 {376.0f, "376"}, {1.0f / 3.0f, "0.33"}};
  for (const auto& [value, text] : hours) EXPECT_EQ(HoursText(value), text) << value;
  const std::pair<std::int64_t, const char*> shifts[] = {
      {14, "+14 days"}, {1, "+1 day"}, {-1, "-1 day"}, {-3, "-3 days"}, {0, "0 days"}};
  for (const auto& [days, text] : shifts) EXPECT_EQ(ShiftDaysText(days), text) << days;
  // Values a file can hold that have no hours to speak of must still give a text.
  EXPECT_FALSE(HoursText(std::numeric_limits<float>::infinity()).empty());
  EXPECT_FALSE(HoursText(std::numeric_limits<float>::quiet_NaN()).empty());
  EXPECT_FALSE(HoursText(-std::numeric_limits<float>::max()).empty());
}

}  // namespace
}  // namespace nerin
