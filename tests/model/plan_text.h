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

// UTF-16 of valid UTF-8 text, in either byte order, with or without a byte-order mark.
inline std::string Utf16(std::string_view utf8, bool bigEndian, bool mark) {
  std::u16string units;
  if (mark) units += u'\xFEFF';
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += static_cast<std::size_t>(length);
    if (code > 0xFFFF) {
      units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(code);
    }
  }
  std::string bytes;
  for (const char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

inline bool Has(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

}  // namespace nerin::test
