// SPDX-License-Identifier: MIT
// What a plan says in its own terms beside its dates: its units and calendars, each task's
// duration format, progress, WBS code, baselines and the marks its author set.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/day_ordinal.h"
#include "calendar/duration_text.h"
#include "calendar/work_calendar.h"

namespace nerin {

// A task's constraint, numbered as the file numbers it.
enum class ConstraintType : std::int64_t {
  AsSoonAsPossible = 0,
  AsLateAsPossible = 1,
  MustStartOn = 2,
  MustFinishOn = 3,
  StartNoEarlierThan = 4,
  StartNoLaterThan = 5,
  FinishNoEarlierThan = 6,
  FinishNoLaterThan = 7,
};

// The constraint a file's number names; none outside 0..7.
constexpr std::optional<ConstraintType> ConstraintTypeOf(std::int64_t code) {
  if (code < 0 || code > 7) return std::nullopt;
  return static_cast<ConstraintType>(code);
}
// "As Soon As Possible", "Start No Earlier Than", ... as the product names them.
std::string ConstraintTypeName(ConstraintType type);

// Baseline 0 and Baseline1..Baseline10.
inline constexpr std::int64_t BASELINE_COUNT = 11;

struct TaskBaseline {
  bool Present = false;  // start and finish both given
  DayOrdinal Start = 0;
  DayOrdinal Finish = 0;
  float DurationHours = 0;
};

struct TaskTerms {
  std::optional<DurationFormat> Format;  // none: the plan's default
  std::uint8_t Estimated = 0;
  DayOrdinal ActualStart = 0;
  DayOrdinal ActualFinish = 0;
  float ActualDurationHours = 0;
  std::int64_t PercentWorkComplete = 0;
  std::string WBS;
  std::uint8_t Manual = 0;
  std::uint8_t Active = 1;
  ConstraintType Constraint = ConstraintType::AsSoonAsPossible;
  DayOrdinal ConstraintDate = 0;
  DayOrdinal Deadline = 0;
  std::int64_t CalendarUID = -1;  // -1: the project's calendar
  std::array<TaskBaseline, BASELINE_COUNT> Baselines{};
  // Each predecessor link's LagFormat, in the order of Task::Links; none: the plan's default.
  std::vector<std::optional<DurationFormat>> LagFormats;
};

struct PlanCalendar {
  std::int64_t UID = 0;
  std::string Name;
  std::int64_t BaseUID = -1;       // as the file names it
  std::uint8_t IsBase = 0;
  bool BaseIgnored = false;        // missing, or part of a loop
  std::shared_ptr<const WorkCalendar> Calendar;  // never null once read
};

struct PlanTerms {
  PlanUnits Units;
  DurationFormat DefaultFormat = DurationFormat::Days;
  std::int64_t CalendarUID = -1;  // the project's calendar as the file names it
  DayOrdinal StatusDate = 0;
  std::vector<PlanCalendar> Calendars;  // in file order
  std::int64_t ProjectCalendar = -1;    // index into Calendars; -1: the standard week
  std::vector<TaskTerms> Tasks;         // index by index with Plan::Tasks, TaskCount of them
  std::vector<std::string> MaterialLabels;  // index by index with Plan::Resources
};

struct Plan;
// The task's duration in the unit its plan keeps it in ("3 days", "5 days?"); empty for a
// task outside the plan.
std::string TaskDurationText(const Plan& plan, std::int64_t task);
// The type and lag of the task's predecessor link number `link`, as the plan writes the lag
// ("FS", "FS+2 days", "SS−1 day"); empty outside the plan.
std::string TaskLinkText(const Plan& plan, std::int64_t task, std::int64_t link);

// Compares the chart with Baseline `number` (0 to 10): each task's baseline dates become
// that baseline's. False, and nothing changed, when no task has dates in it.
bool SelectBaseline(Plan& plan, std::int64_t number);

// Index into Calendars of a UID, or -1.
std::int64_t CalendarIndex(const PlanTerms& terms, std::int64_t uid);
// The calendar the chart and derived dates count by: the project's, else the standard week.
const WorkCalendar& ProjectWorkCalendar(const PlanTerms& terms);

}  // namespace nerin
