// The steps of one load, shared by the loader's source files. Not for the views.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/day_ordinal.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "model/xml_document.h"

namespace nerin {

// What the second pass carries from the task walk to the derived facts.
struct TaskWalkState {
  DayOrdinal earliestStart = 0;
  DayOrdinal latestFinish = 0;
  std::int64_t phaseCounter = -1;
  std::int64_t tasksWithNote = 0;
  std::int64_t shortenedNotes = 0;
  std::int64_t tasksWithBaseline = 0;
  std::int64_t linksPastLimit = 0;
};

// Name, Author, StartDate and FinishDate of the root, with the project date checks.
void ReadProjectHeader(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch);
void ReadTasks(const XmlDocument& document, Plan& plan, MessageLog& log, TaskWalkState& state,
               std::string& scratch);
// Link resolution, driving links, the summary messages and the project and timeline dates.
void DeriveTaskFacts(Plan& plan, MessageLog& log, const TaskWalkState& state);
void ReadResources(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch);
void ReadAssignments(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch);
// Each task's ResourceLabel and each resource's AssignedTaskNames.
void BuildResourceTexts(Plan& plan);

// The nine timing points T0..T8 of one load in milliseconds.
using LoadTimes = std::array<std::int64_t, 9>;
std::string LoadReportText(std::string_view sourceName, const Plan& plan, const LoadTimes& times);

// Text cut to at most `units` UTF-16 code units with "..." when it is longer than `limit`.
std::string ShortenedName(std::string_view name, std::size_t limit, std::size_t units);

}  // namespace nerin
