// SPDX-License-Identifier: MIT
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

// Calls `visit` for every `elementName` child of every `sectionName` child of the root, in
// document order.
template <typename Visit>
void ForEachInSections(const XmlDocument& document, std::string_view sectionName,
                       std::string_view elementName, Visit visit) {
  const XmlNode root = document.Root();
  if (root == XML_NONE) return;
  for (XmlNode section = document.FirstChild(root); section != XML_NONE;
       section = document.NextSibling(section)) {
    if (document.Name(section) != sectionName) continue;
    for (XmlNode element = document.FirstChild(section); element != XML_NONE;
         element = document.NextSibling(element)) {
      if (document.Name(element) == elementName) visit(element);
    }
  }
}

// The number of `elementName` children of `sectionName` sections: what a reader reserves.
inline std::int64_t CountInSections(const XmlDocument& document, std::string_view sectionName,
                                    std::string_view elementName) {
  std::int64_t count = 0;
  ForEachInSections(document, sectionName, elementName, [&](XmlNode) { ++count; });
  return count;
}

// What a Task element is. The project's own summary row is the one at outline level 0, or,
// when the file gives no outline level, the one with UID 0; any other row with UID 0 is a
// task like the rest, as some tools number their tasks from 0.
enum class TaskRowKind { Placeholder, ProjectSummary, WithoutUid, Task };

struct TaskRowId {
  std::uint8_t isNull = 0;
  bool uidPresent = false;
  std::int64_t uid = 0;
  bool levelPresent = false;  // an OutlineLevel element with a value
  std::int64_t level = 0;
};

inline TaskRowKind ClassifyTaskRow(const TaskRowId& row) {
  if (row.isNull != 0) return TaskRowKind::Placeholder;
  if (row.levelPresent ? row.level == 0 : (row.uidPresent && row.uid == 0)) return TaskRowKind::ProjectSummary;
  if (!row.uidPresent || row.uid < 0) return TaskRowKind::WithoutUid;
  return TaskRowKind::Task;
}

// True when the text holds nothing but spaces, tabs and line breaks: an element left empty.
inline bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

inline constexpr std::int64_t DEFAULT_MINUTES_PER_DAY = 480;

// What the second pass carries from the header and the task walk to the derived facts.
struct TaskWalkState {
  std::int64_t minutesPerDay = DEFAULT_MINUTES_PER_DAY;  // the project's working day
  bool deriveStart = false;                              // no StartDate: take the earliest task start
  std::int64_t derivedDates = 0;                         // task dates derived from the other and the duration
  std::int64_t tasksWithoutBar = 0;                      // tasks left without a start or finish
  DayOrdinal earliestStart = 0;
  DayOrdinal latestFinish = 0;
  std::int64_t phaseCounter = -1;
  std::int64_t tasksWithNote = 0;
  std::int64_t shortenedNotes = 0;
  std::int64_t tasksWithBaseline = 0;
  std::int64_t linksPastLimit = 0;
};

// Name (or Title, or else the file's name), Author, StartDate, FinishDate and MinutesPerDay of
// the root, with the project date checks.
void ReadProjectHeader(const XmlDocument& document, Plan& plan, MessageLog& log, std::string_view sourceName,
                       TaskWalkState& state, std::string& scratch);
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

}  // namespace nerin
