// SPDX-License-Identifier: MIT
// The plan's resources and assignments, written as the export writes them. A resource's work
// and cost are the totals of its assignments, as the product shows them (the values a file
// keeps on the resource itself can be stale).
#include <unordered_map>
#include <unordered_set>

#include "mpp/custom_fields.h"
#include "mpp/plain_fields.h"
#include "mpp/plan_reading.h"
#include "mpp/row_fields.h"

namespace nerin::mpp {

namespace {

namespace resource_field {
constexpr std::uint16_t UID = 27;
constexpr std::uint16_t ID = 0;
constexpr std::uint16_t NAME = 1;
constexpr std::uint16_t INITIALS = 2;
constexpr std::uint16_t MAX_UNITS = 4;
constexpr std::uint16_t EMAIL = 35;
constexpr std::uint16_t KIND = 272;  // 0 work, 1 material
constexpr std::uint16_t RATE_FORMAT = 70;
}  // namespace resource_field

// A material resource's rate is per unit of its material.
constexpr std::uint16_t RATE_PER_UNIT = 8;

namespace assignment_field {
constexpr std::uint16_t UID = 0;
constexpr std::uint16_t TASK_UID = 1;
constexpr std::uint16_t RESOURCE_UID = 2;
constexpr std::uint16_t UNITS = 7;
constexpr std::uint16_t WORK = 8;
constexpr std::uint16_t ACTUAL_WORK = 10;
constexpr std::uint16_t REMAINING_WORK = 12;
constexpr std::uint16_t COST = 26;
constexpr std::uint16_t ACTUAL_COST = 28;
}  // namespace assignment_field

constexpr std::size_t FIRST_ROW = 3;
constexpr std::uint32_t ROW_DELETED = 0x02;
constexpr std::uint32_t ROW_BLANK = 0x04;
constexpr std::int32_t NO_RESOURCE = -65535;
constexpr double UNITS_PER_FULL_TIME = 10000.0;
constexpr double STORED_PER_MINUTE = 1000.0;

struct Totals {
  double workMinutes = 0;
  double actualWorkMinutes = 0;
  double cost = 0;
  double actualCost = 0;
};

// MPP14 keeps a cost flag where the row says. The older generations have no flag: a cost
// resource saved into them becomes a material resource whose rate stays one per hour, while a
// true material resource's rate is per unit of its material.
bool IsCostResource(const PlanFile& file, const ByteCursor& item2, bool material,
                    std::optional<std::uint16_t> rateFormat) {
  if (file.layout.costResource) return file.layout.costResource->In(item2);
  return material && rateFormat && *rateFormat != RATE_PER_UNIT;
}

}  // namespace

std::vector<AssignmentRow> ReadAssignmentRows(const PlanFile& file) {
  const CustomFieldReader custom(EntityClass::Assignment, file.assignmentMap, file.layout.assignmentCustomFlagBase,
                                 DefaultDurationFormat(file));
  const PlainFieldReader plain(AssignmentPlainFields(), file.assignmentMap);
  const EntityTable& table = file.assignments;
  const FieldMap& map = file.assignmentMap;
  const FieldLocation uidAt = map.Find(assignment_field::UID);
  const FieldLocation taskAt = map.Find(assignment_field::TASK_UID);
  const FieldLocation resourceAt = map.Find(assignment_field::RESOURCE_UID);
  const FieldLocation unitsAt = map.Find(assignment_field::UNITS);
  const FieldLocation workAt = map.Find(assignment_field::WORK);
  const FieldLocation remainingAt = map.Find(assignment_field::REMAINING_WORK);
  const FieldLocation actualWorkAt = map.Find(assignment_field::ACTUAL_WORK);
  const FieldLocation costAt = map.Find(assignment_field::COST);
  const FieldLocation actualCostAt = map.Find(assignment_field::ACTUAL_COST);
  std::unordered_set<std::uint32_t> usedOffsets;
  std::vector<AssignmentRow> rows;
  for (std::size_t k = 0; k < table.ItemCount(); ++k) {
    const ByteCursor item = table.Item(k);
    const auto offset = item.U32At(4);
    if (item.U8At(0).value_or(1) != 0 || !offset) continue;
    if (!usedOffsets.insert(*offset).second) continue;
    const std::string_view record = table.Record(k, file.layout.assignmentRecordSize);
    if (record.empty()) continue;
    RowFields fields(table, k, record);
    const auto taskUid = fields.I32(taskAt);
    if (!taskUid) continue;
    AssignmentRow row;
    row.uid = fields.I32(uidAt);
    if (row.uid) fields.SetUid(*row.uid);
    row.taskUid = *taskUid;
    row.resourceUid = fields.I32(resourceAt).value_or(NO_RESOURCE);
    row.units = fields.F64(unitsAt);
    row.workMinutes = fields.F64(workAt).value_or(0) / STORED_PER_MINUTE;
    row.actualWorkMinutes = fields.F64(actualWorkAt).value_or(0) / STORED_PER_MINUTE;
    row.plain.emplace_back("Work", WorkText(row.workMinutes, true));
    row.plain.emplace_back("RemainingWork", WorkText(fields.F64(remainingAt).value_or(0) / STORED_PER_MINUTE, true));
    row.cost = fields.F64(costAt).value_or(0);
    row.actualCost = fields.F64(actualCostAt).value_or(0);
    plain.Read(fields, row.plain);
    row.custom = custom.Read(fields, item);
    rows.push_back(std::move(row));
  }
  return rows;
}

void WriteResources(const PlanFile& file, const std::vector<AssignmentRow>& assignments, TreeWriter& out,
                    ReaderNotes& notes) {
  std::unordered_map<std::int32_t, Totals> totals;
  for (const AssignmentRow& row : assignments) {
    Totals& sum = totals[row.resourceUid];
    sum.workMinutes += row.workMinutes;
    sum.actualWorkMinutes += row.actualWorkMinutes;
    sum.cost += row.cost;
    sum.actualCost += row.actualCost;
  }
  const CustomFieldReader custom(EntityClass::Resource, file.resourceMap, file.layout.resourceCustomFlagBase,
                                 DefaultDurationFormat(file));
  const PlainFieldReader plain(ResourcePlainFields(), file.resourceMap);
  std::vector<std::pair<std::string_view, std::string>> plainValues;
  const EntityTable& table = file.resources;
  const FieldMap& map = file.resourceMap;
  const FieldLocation uidAt = map.Find(resource_field::UID);
  const FieldLocation idAt = map.Find(resource_field::ID);
  const FieldLocation nameAt = map.Find(resource_field::NAME);
  const FieldLocation initialsAt = map.Find(resource_field::INITIALS);
  const FieldLocation emailAt = map.Find(resource_field::EMAIL);
  const FieldLocation maxUnitsAt = map.Find(resource_field::MAX_UNITS);
  const FieldLocation kindAt = map.Find(resource_field::KIND);
  const FieldLocation rateFormatAt = map.Find(resource_field::RATE_FORMAT);
  std::unordered_set<std::int32_t> seen;
  out.Open("Resources");
  for (std::size_t k = FIRST_ROW; k < table.ItemCount(); ++k) {
    const std::uint32_t flags = table.Item(k).U32At(0).value_or(ROW_DELETED);
    const std::string_view record = table.Record(k);
    if (record.empty() || (flags & ROW_DELETED) != 0) continue;
    RowFields fields(table, k, record);
    const auto uid = fields.I32(uidAt);
    if (!uid) continue;
    if (!seen.insert(*uid).second) {
      ++notes.repeatedResourceUids;
      continue;
    }
    fields.SetUid(*uid);
    out.Open("Resource");
    out.Integer("UID", *uid);
    if (const auto id = fields.I32(idAt)) out.Integer("ID", *id);
    if ((flags & ROW_BLANK) != 0) {
      out.Flag("IsNull", true);
      out.Close();
      continue;
    }
    out.Text("Name", fields.Text(nameAt));
    const bool material = fields.U16(kindAt).value_or(0) == 1;
    const bool cost = IsCostResource(file, table.Item2(k), material, fields.U16(rateFormatAt));
    out.Integer("Type", material ? 0 : 1);
    out.Flag("IsCostResource", cost);
    out.Text("Initials", fields.Text(initialsAt));
    out.Text("EmailAddress", fields.Text(emailAt));
    // Only work resources have a maximum; the export leaves it out for the others.
    if (const auto units = fields.F64(maxUnitsAt); units && *units > 0 && !material) {
      out.Text("MaxUnits", NumberText(*units / UNITS_PER_FULL_TIME));
    }
    plainValues.clear();
    plain.Read(fields, plainValues);
    for (const auto& [element, text] : plainValues) {
      // A cost resource has no rates; a material one no overtime.
      const bool rate = element == "StandardRate" || element == "OvertimeRate" || element == "CostPerUse";
      if (rate && (cost || (material && element == "OvertimeRate"))) continue;
      out.Text(element, text);
    }
    const Totals sum = totals.count(*uid) != 0 ? totals.at(*uid) : Totals{};
    // A cost resource does no work.
    if (!cost) {
      out.Text("Work", WorkText(sum.workMinutes, false));
      out.Text("ActualWork", WorkText(sum.actualWorkMinutes, false));
    }
    out.Text("Cost", AmountText(sum.cost));
    out.Text("ActualCost", AmountText(sum.actualCost));
    CustomFieldReader::Write(custom.Read(fields, table.Item(k)), out);
    out.Close();
  }
  out.Close();
}

std::unordered_map<std::int32_t, std::string> ResourceNames(const PlanFile& file) {
  std::unordered_map<std::int32_t, std::string> names;
  const EntityTable& table = file.resources;
  const FieldLocation uidAt = file.resourceMap.Find(resource_field::UID);
  const FieldLocation nameAt = file.resourceMap.Find(resource_field::NAME);
  for (std::size_t k = FIRST_ROW; k < table.ItemCount(); ++k) {
    const std::uint32_t flags = table.Item(k).U32At(0).value_or(ROW_DELETED);
    const std::string_view record = table.Record(k);
    if (record.empty() || (flags & (ROW_DELETED | ROW_BLANK)) != 0) continue;
    RowFields fields(table, k, record);
    const auto uid = fields.I32(uidAt);
    if (!uid) continue;
    fields.SetUid(*uid);
    names.emplace(*uid, fields.Text(nameAt));
  }
  return names;
}

void WriteAssignments(const std::vector<AssignmentRow>& assignments, TreeWriter& out) {
  out.Open("Assignments");
  for (const AssignmentRow& row : assignments) {
    out.Open("Assignment");
    if (row.uid) out.Integer("UID", *row.uid);
    out.Integer("TaskUID", row.taskUid);
    out.Integer("ResourceUID", row.resourceUid);
    if (row.units) out.Text("Units", NumberText(*row.units / UNITS_PER_FULL_TIME));
    for (const auto& [element, text] : row.plain) out.Text(element, text);
    CustomFieldReader::Write(row.custom, out);
    out.Close();
  }
  out.Close();
}

}  // namespace nerin::mpp
