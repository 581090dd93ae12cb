// SPDX-License-Identifier: MIT
// What the binary plan reader found in the file before it writes the plan's tree. Shared by
// the reader's source files only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/message_log.h"
#include "model/xml_document.h"
#include "mpp/custom_fields.h"
#include "mpp/generation_layout.h"
#include "mpp/plan_tables.h"

namespace nerin::mpp {

struct PlanFile {
  // What differs by generation and saving version, chosen once when the file is recognised.
  GenerationLayout layout;
  // The product's major version that saved the file (9, 12, 14, 15, 16), from the user type.
  std::int64_t savingVersion = 0;
  // The byte the fixed data of an obfuscated file is XOR-ed with; 0 for none.
  std::uint8_t obfuscation = 0;

  std::string innerPropsStream;
  PropertyBlock props;
  std::string summaryInformation;

  FieldMap taskMap;
  FieldMap resourceMap;
  FieldMap assignmentMap;
  EntityTable tasks;
  EntityTable resources;
  EntityTable assignments;
  EntityTable links;
  EntityTable calendars;  // empty when the file keeps none
};

// Counts of what the reader set right or left out, reported after the load's own messages.
struct ReaderNotes {
  std::int64_t repeatedTaskUids = 0;
  std::int64_t repeatedResourceUids = 0;
  std::int64_t linksToMissingTasks = 0;
  bool customFieldListCut = false;
  bool extraFieldsDamaged = false;
  bool shortCalendarRecords = false;
  bool selfBasedCalendars = false;
  bool damagedExceptionLists = false;
};

// An assignment as read, before it is written: resources total their assignments' work and
// cost.
struct AssignmentRow {
  std::optional<std::int32_t> uid;
  std::int32_t taskUid = 0;
  std::int32_t resourceUid = 0;
  std::optional<double> units;
  double workMinutes = 0;
  double actualWorkMinutes = 0;
  double cost = 0;
  double actualCost = 0;
  std::vector<std::pair<std::string_view, std::string>> plain;
  std::vector<CustomValue> custom;
};

std::vector<AssignmentRow> ReadAssignmentRows(const PlanFile& file);
class TreeWriter;
void WriteResources(const PlanFile& file, const std::vector<AssignmentRow>& assignments, TreeWriter& out,
                    ReaderNotes& notes);
void WriteAssignments(const std::vector<AssignmentRow>& assignments, TreeWriter& out);
// Each resource's name by UID, for the calendars named after their resource.
std::unordered_map<std::int32_t, std::string> ResourceNames(const PlanFile& file);
// The UID of the base calendar with this name, or nothing.
std::optional<std::int32_t> CalendarNamed(const PlanFile& file, std::string_view name);
void WriteCalendars(const PlanFile& file, const std::unordered_map<std::int32_t, std::string>& resourceNames,
                    TreeWriter& out, ReaderNotes& notes);
// The plan's own duration format, for values kept without one.
std::optional<std::uint16_t> DefaultDurationFormat(const PlanFile& file);

// Writes the whole Project element: header, tasks with their links, resources, assignments.
void WritePlanTree(const PlanFile& file, std::string_view sourceName, XmlDocumentBuilder& builder,
                   ReaderNotes& notes);

// Date-times as the export writes them ("2016-02-10T08:00:00"), from the 4 stored bytes at
// `offset`; empty when the value is not set or not there.
std::string TimestampText(std::string_view bytes, std::size_t offset);
// A duration in tenths of a minute as the export writes it ("PT71H1M0S"); negative: empty.
std::string DurationText(std::int64_t tenthsOfMinutes);
// A number written short and exact enough to read back as the same double ("0.25", "1").
std::string NumberText(double value);

}  // namespace nerin::mpp
