// SPDX-License-Identifier: MIT
// What changed between two versions of a plan: the reference (the older export) and the
// subject (the newer one, the plan on screen). Tasks and resources are matched by UID.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/plan.h"

namespace nerin {

enum class ChangeKind : std::uint8_t { Added, Removed, Changed };

// In the order every output lists them.
enum class TaskField : std::uint8_t {
  Name,
  Parent,  // parent UID and outline level
  Start,
  Finish,
  Duration,
  PercentComplete,
  Milestone,
  Critical,
  BaselineStart,
  BaselineFinish,
  Predecessors,
  Assignments,
  Note,
};
inline constexpr std::size_t TASK_FIELD_COUNT = 13;

// The key a field has in the tab-separated output ("percent_complete").
std::string_view TaskFieldKey(TaskField field);
// The label a field has in the text output and the window ("% complete").
std::string_view TaskFieldLabel(TaskField field);

// One differing field. The texts are the values as the tab-separated output writes them
// (dates YYYY-MM-DD, durations in hours, lists sorted and joined with ";"); for the four
// date fields the numbers hold the day ordinals (0 for no date), else they are 0.
struct FieldChange {
  TaskField Field = TaskField::Name;
  std::string Old;
  std::string New;
  DayOrdinal OldDay = 0;
  DayOrdinal NewDay = 0;
  // A duration as each plan writes it ("3 days", "1 wk"), for the report read by people;
  // empty for the other fields.
  std::string OldShown = {};
  std::string NewShown = {};
};

struct TaskChange {
  ChangeKind Kind = ChangeKind::Changed;
  std::int64_t UID = 0;
  std::int64_t ID = 0;  // the subject's; the reference's for a removed task
  std::string Name;     // likewise
  std::int64_t ReferenceIndex = -1;
  std::int64_t SubjectIndex = -1;
  std::vector<FieldChange> Fields;  // a changed task's differing fields, in TaskField order
  // Subject date minus reference date in calendar days, 0 unless both dates are there.
  std::int64_t StartShiftDays = 0;
  std::int64_t FinishShiftDays = 0;

  bool Has(TaskField field) const;
  const FieldChange* Find(TaskField field) const;
  bool Moved() const { return Has(TaskField::Start) || Has(TaskField::Finish); }
};

// How a changed row is marked in the chart.
enum class RowMark : std::uint8_t { None, Added, Later, Earlier, Other };
// Added for an added task; Later or Earlier by the finish's move (the start's when the finish
// stayed); Other for any other change.
RowMark MarkOf(const TaskChange& change);

struct ResourceChange {
  ChangeKind Kind = ChangeKind::Changed;  // Changed means renamed
  std::int64_t UID = 0;
  std::int64_t ID = 0;
  std::string OldName;
  std::string NewName;
};

// The reference's dates of a matched subject task; both 0 for an added task.
struct ReferenceDates {
  DayOrdinal Start = 0;
  DayOrdinal Finish = 0;
};

struct PlanChanges {
  DayOrdinal ReferenceStart = 0;
  DayOrdinal ReferenceFinish = 0;
  DayOrdinal SubjectStart = 0;
  DayOrdinal SubjectFinish = 0;

  // Changed and added tasks in the subject's order, then removed tasks in the reference's.
  std::vector<TaskChange> Tasks;
  // Renamed and added resources in the subject's order, then removed ones in the reference's.
  std::vector<ResourceChange> Resources;

  // By subject task index (TaskCount entries): the entry of Tasks, or -1 when unchanged.
  std::vector<std::int64_t> ChangeOfSubjectTask;
  // By subject task index: the reference's dates of the same task.
  std::vector<ReferenceDates> ReferenceDatesOfSubjectTask;

  std::int64_t MovedCount = 0;
  std::int64_t AddedCount = 0;
  std::int64_t RemovedCount = 0;
  std::int64_t RenamedCount = 0;
  std::int64_t OtherCount = 0;  // changed, but neither moved nor renamed
  std::int64_t ResourcesAdded = 0;
  std::int64_t ResourcesRemoved = 0;
  std::int64_t ResourcesRenamed = 0;

  bool StartMoved() const { return ReferenceStart != SubjectStart; }
  bool FinishMoved() const { return ReferenceFinish != SubjectFinish; }
  bool Empty() const { return Tasks.empty() && Resources.empty() && !StartMoved() && !FinishMoved(); }
  // The change of a subject task, or nullptr.
  const TaskChange* ChangeOf(std::int64_t subjectIndex) const;
};

// Compares two loaded plans. Either may be empty (not loaded or without tasks).
PlanChanges ComparePlans(const Plan& reference, const Plan& subject);

// Value texts shared by the outputs.
std::string HoursText(float hours);            // "8", "4.5", "0.25"
std::string ShiftDaysText(std::int64_t days);  // "+14 days", "-1 day"

}  // namespace nerin
