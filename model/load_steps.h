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

}  // namespace nerin
