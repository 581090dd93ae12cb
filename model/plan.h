// SPDX-License-Identifier: MIT
// The in-memory model of one project plan. Filled only by LoadPlan; everything else reads it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/plan_terms.h"

namespace nerin {

inline constexpr std::int64_t MAX_TASKS = 10000;
inline constexpr std::int64_t MAX_RESOURCES = 5000;
inline constexpr std::int64_t MAX_ASSIGNMENTS = 100000;
inline constexpr std::int64_t MAX_LINKS_PER_TASK = 64;
inline constexpr std::int64_t MAX_ASSIGNMENTS_PER_TASK = 64;
inline constexpr std::int64_t MAX_NOTE_LENGTH = 4000;  // UTF-16 code units
inline constexpr std::int64_t PHASE_COUNT = 10;

// The four dependency types, numbered as the file numbers them.
enum class LinkType : std::int64_t { FF = 0, FS = 1, SF = 2, SS = 3 };

// The type a link's number names; none for a number outside 0..3.
constexpr std::optional<LinkType> LinkTypeOf(std::int64_t code) {
  if (code < 0 || code > 3) return std::nullopt;
  return static_cast<LinkType>(code);
}

// One predecessor link, held inside its successor.
struct TaskLink {
  std::int64_t PredecessorUID = 0;
  std::int64_t PredecessorIndex = -1;  // -1 when no task has that UID
  std::int64_t Type = 0;               // 0 FF, 1 FS, 2 SF, 3 SS
  std::uint8_t Driving = 0;            // drives its critical successor
  float LagHours = 0;                  // LinkLag (tenths of a minute) in hours; shown by comparisons
};

struct Task {
  std::int64_t UID = 0;  // 0 is a task too when it is not the project's summary row
  std::int64_t ID = 0;
  std::string Name;
  std::int64_t OutlineLevel = 1;
  std::uint8_t Summary = 0;
  std::uint8_t Milestone = 0;
  std::uint8_t Critical = 0;
  DayOrdinal Start = 0;
  DayOrdinal Finish = 0;
  std::string StartLabel;
  std::string FinishLabel;
  float DurationHours = 0;
  std::int64_t PercentComplete = 0;
  std::int64_t Phase = 0;
  std::int64_t LinkCount = 0;
  std::array<TaskLink, MAX_LINKS_PER_TASK> Links{};
  std::int64_t AssignedCount = 0;
  std::array<std::int64_t, MAX_ASSIGNMENTS_PER_TASK> AssignedResourceUID{};
  std::array<float, MAX_ASSIGNMENTS_PER_TASK> AssignedUnits{};
  std::string ResourceLabel;
  std::string Notes;
  std::string OutlineNumber;
  float TotalSlackHours = 0;
  DayOrdinal BaselineStart = 0;
  DayOrdinal BaselineFinish = 0;
};

struct Resource {
  std::int64_t UID = 0;
  std::int64_t ID = 0;
  std::string Name;
  std::string Initials;
  std::string EmailAddress;
  std::int64_t Type = 1;  // 0 material, 1 work
  std::uint8_t IsCostResource = 0;
  float MaxUnits = 1.0f;
  std::string AssignedTaskNames;
};

struct Assignment {
  std::int64_t UID = 0;
  std::int64_t TaskUID = 0;
  std::int64_t ResourceUID = 0;
  float Units = 0;
};

// The record arrays are allocated once at their full capacity when the Plan is made and a
// load reuses the same storage; entries at or past the counts are stale and never read.
struct Plan {
  Plan();
  Plan(const Plan&) = delete;
  Plan& operator=(const Plan&) = delete;
  // A plan loaded elsewhere takes the shown one's place whole, storage and all.
  Plan(Plan&&) = default;
  Plan& operator=(Plan&&) = default;

  std::string ProjectName;
  std::string ProjectAuthor;
  DayOrdinal ProjectStart = 0;
  DayOrdinal ProjectFinish = 0;
  std::string ProjectStartLabel;
  std::string ProjectFinishLabel;
  DayOrdinal TimelineStart = 0;
  DayOrdinal TimelineFinish = 0;
  std::int64_t TimelineDays = 14;

  std::int64_t TaskCount = 0;
  std::int64_t ResourceCount = 0;
  std::int64_t AssignmentCount = 0;

  std::int64_t LoadMilliseconds = 0;
  std::string LoadReport;
  bool ProjectLoaded = false;
  bool MessagesMatchPlan = false;

  std::vector<Task> Tasks;              // size MAX_TASKS
  std::vector<Resource> Resources;      // size MAX_RESOURCES
  std::vector<Assignment> Assignments;  // size MAX_ASSIGNMENTS

  // UID -> index; read through TaskIndex and ResourceIndex.
  std::unordered_map<std::int64_t, std::int64_t> TaskUidMap;
  std::unordered_map<std::int64_t, std::int64_t> ResourceUidMap;

  // Units, calendars, status date and each task's further facts (model/plan_terms.h).
  PlanTerms Terms;
};

// Task index of a UID, or -1 (also for negative UIDs; 0 only finds a task that has it).
std::int64_t TaskIndex(const Plan& plan, std::int64_t uid);
std::int64_t ResourceIndex(const Plan& plan, std::int64_t uid);
// Finish - BaselineFinish in days; 0 for a bad index or when either date is missing.
std::int64_t TaskSlip(const Plan& plan, std::int64_t taskIndex);
// Sum of LinkCount over all tasks (resolved or not).
std::int64_t TotalLinkCount(const Plan& plan);

}  // namespace nerin
