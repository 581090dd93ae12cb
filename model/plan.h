// SPDX-License-Identifier: MIT
// The in-memory model of one project plan. Filled only by LoadPlan; everything else reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/plan_terms.h"

namespace nerin {

inline constexpr std::int64_t MAX_NOTE_LENGTH = 4000;  // UTF-16 code units
inline constexpr std::int64_t PHASE_COUNT = 10;

// The four dependency types, numbered as the file numbers them.
enum class LinkType : std::uint8_t { FF = 0, FS = 1, SF = 2, SS = 3 };

// The type a link's number names; none for a number outside 0..3.
constexpr std::optional<LinkType> LinkTypeOf(std::int64_t code) {
  if (code < 0 || code > 3) return std::nullopt;
  return static_cast<LinkType>(code);
}

// The file's number of a link type, as the dump and the comparisons write it.
constexpr std::int64_t LinkTypeCode(LinkType type) {
  return static_cast<std::int64_t>(type);
}

// "FF", "FS", "SF" or "SS".
inline std::string LinkTypeName(LinkType type) {
  static constexpr const char* NAMES[] = {"FF", "FS", "SF", "SS"};
  return NAMES[static_cast<std::size_t>(type) & 3U];
}

// One predecessor link, held by its successor.
struct TaskLink {
  std::int64_t PredecessorUID = 0;
  std::int64_t PredecessorIndex = -1;  // -1 when no task has that UID
  LinkType Type = LinkType::FF;
  std::uint8_t Driving = 0;  // drives its critical successor
  float LagHours = 0;        // LinkLag (tenths of a minute) in hours; shown by comparisons
};

// One resource on a task, in the order the plan's assignments give them.
struct TaskAssignment {
  std::int64_t ResourceUID = 0;
  float Units = 0;
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
  std::vector<TaskLink> Links;          // predecessor links in file order
  std::vector<TaskAssignment> Assigned;  // resources in assignment order
  std::string ResourceLabel;
  std::string Notes;
  std::string OutlineNumber;
  float TotalSlackHours = 0;
  DayOrdinal BaselineStart = 0;
  DayOrdinal BaselineFinish = 0;

  std::int64_t LinkCount() const { return static_cast<std::int64_t>(Links.size()); }
  std::int64_t AssignedCount() const { return static_cast<std::int64_t>(Assigned.size()); }
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

// Holds exactly what the plan has: a load builds a new Plan from nothing and it takes the
// shown one's place whole, so nothing is kept from an earlier plan.
struct Plan {
  Plan() = default;
  Plan(const Plan&) = delete;
  Plan& operator=(const Plan&) = delete;
  // A plan loaded elsewhere takes the shown one's place whole.
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

  std::int64_t LoadMilliseconds = 0;
  std::string LoadReport;
  bool ProjectLoaded = false;
  bool MessagesMatchPlan = false;

  std::vector<Task> Tasks;  // in file order
  std::vector<Resource> Resources;
  std::vector<Assignment> Assignments;

  // UID -> index; read through TaskIndex and ResourceIndex.
  std::unordered_map<std::int64_t, std::int64_t> TaskUidMap;
  std::unordered_map<std::int64_t, std::int64_t> ResourceUidMap;

  // Units, calendars, status date and each task's further facts (model/plan_terms.h).
  PlanTerms Terms;

  std::int64_t TaskCount() const { return static_cast<std::int64_t>(Tasks.size()); }
  std::int64_t ResourceCount() const { return static_cast<std::int64_t>(Resources.size()); }
  std::int64_t AssignmentCount() const { return static_cast<std::int64_t>(Assignments.size()); }
};

// Task index of a UID, or -1 (also for negative UIDs; 0 only finds a task that has it).
std::int64_t TaskIndex(const Plan& plan, std::int64_t uid);
std::int64_t ResourceIndex(const Plan& plan, std::int64_t uid);
// Finish - BaselineFinish in days; 0 for a bad index or when either date is missing.
std::int64_t TaskSlip(const Plan& plan, std::int64_t taskIndex);
// Sum of LinkCount over all tasks (resolved or not).
std::int64_t TotalLinkCount(const Plan& plan);

}  // namespace nerin
