// SPDX-License-Identifier: MIT
// Small plan texts built in the tests, and what a load leaves behind.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "model/load_plan.h"
#include "model/model_dump.h"

namespace nerin::test {

inline std::string Element(std::string_view name, std::string_view body) {
  return "<" + std::string(name) + ">" + std::string(body) + "</" + std::string(name) + ">";
}

// A project of March 2026 around `body`; an empty date leaves its element out.
inline std::string ProjectXml(std::string_view body, std::string_view start = "2026-03-02T08:00:00",
                              std::string_view finish = "2026-03-31T17:00:00") {
  std::string text = "<?xml version=\"1.0\"?>\n<Project xmlns=\"http://schemas.microsoft.com/project\">";
  text += Element("Name", "Test plan");
  if (!start.empty()) text += Element("StartDate", start);
  if (!finish.empty()) text += Element("FinishDate", finish);
  return text + std::string(body) + "</Project>";
}

// A task named "Task <uid>" with ID = UID, in the first week of March 2026 unless told otherwise.
inline std::string TaskXml(std::int64_t uid, std::string_view extra = "",
                           std::string_view start = "2026-03-02", std::string_view finish = "2026-03-06") {
  const std::string id = std::to_string(uid);
  return Element("Task", Element("UID", id) + Element("ID", id) + Element("Name", "Task " + id) +
                             Element("Start", start) + Element("Finish", finish) + std::string(extra));
}

inline std::string LinkXml(std::int64_t predecessorUid, std::int64_t type) {
  return Element("PredecessorLink", Element("PredecessorUID", std::to_string(predecessorUid)) +
                                        Element("Type", std::to_string(type)));
}

inline std::string ResourceXml(std::int64_t uid, std::string_view extra = "") {
  return Element("Resource", Element("UID", std::to_string(uid)) +
                                 Element("Name", "Resource " + std::to_string(uid)) + std::string(extra));
}

inline std::string AssignmentXml(std::int64_t uid, std::int64_t taskUid, std::int64_t resourceUid,
                                 std::string_view units = "1") {
  std::string body = Element("UID", std::to_string(uid)) + Element("TaskUID", std::to_string(taskUid)) +
                     Element("ResourceUID", std::to_string(resourceUid));
  return Element("Assignment", units.empty() ? body : body + Element("Units", units));
}

// The message list expected from MessageListText.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) text += std::string(line) + "\n";
  return text;
}

inline bool Load(Plan& plan, MessageLog& log, std::string_view text) {
  return LoadPlan(plan, log, "test.xml", text);
}

// The model part of the dump, without the messages.
inline std::string ModelText(const Plan& plan) {
  return ModelDumpText(plan, MessageLog{}, plan.ProjectLoaded);
}

inline bool Has(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

}  // namespace nerin::test
