// SPDX-License-Identifier: MIT
#include "mpp/plain_fields.h"

#include <algorithm>
#include <array>

#include "mpp/plan_reading.h"
#include "mpp/row_fields.h"
#include "mpp/text_decoding.h"

namespace nerin::mpp {

namespace {

constexpr std::array TASK_FIELDS{
    PlainField{"ActualStart", 41, ValueForm::Timestamp},
    PlainField{"ActualFinish", 42, ValueForm::Timestamp},
    PlainField{"ActualDuration", 28, ValueForm::Duration},
    PlainField{"PercentWorkComplete", 33, ValueForm::Integer16},
    PlainField{"ConstraintType", 17, ValueForm::Integer16},
    PlainField{"ConstraintDate", 18, ValueForm::Timestamp},
    PlainField{"Work", 0, ValueForm::Work},
    PlainField{"ActualWork", 2, ValueForm::Work},
    PlainField{"RemainingWork", 4, ValueForm::Work},
    PlainField{"Cost", 5, ValueForm::Amount},
    PlainField{"ActualCost", 7, ValueForm::Amount},
};

constexpr std::array RESOURCE_FIELDS{
    PlainField{"Group", 3, ValueForm::Text},
    PlainField{"Code", 10, ValueForm::Text},
    PlainField{"CalendarUID", 56, ValueForm::Integer32},
    PlainField{"StandardRate", 6, ValueForm::Amount},
    PlainField{"OvertimeRate", 7, ValueForm::Amount},
    PlainField{"CostPerUse", 18, ValueForm::Amount},
};

constexpr std::array ASSIGNMENT_FIELDS{
    PlainField{"ActualWork", 10, ValueForm::WorkExact},
    PlainField{"Cost", 26, ValueForm::Amount},
    PlainField{"ActualCost", 28, ValueForm::Amount},
};

// Baseline 0, then Baseline1-10: each number keeps its fields in a run of its own.
constexpr std::array<BaselineFields, 11> BASELINES{{
    {43, 44, 27, 179, 6, 1},
    {482, 483, 487, 0, 484, 485},
    {493, 494, 498, 0, 495, 496},
    {504, 505, 509, 0, 506, 507},
    {515, 516, 520, 0, 517, 518},
    {526, 527, 531, 0, 528, 529},
    {544, 545, 549, 0, 546, 547},
    {555, 556, 560, 0, 557, 558},
    {566, 567, 571, 0, 568, 569},
    {577, 578, 582, 0, 579, 580},
    {588, 589, 593, 0, 590, 591},
}};

}  // namespace

std::span<const PlainField> TaskPlainFields() { return TASK_FIELDS; }
std::span<const PlainField> ResourcePlainFields() { return RESOURCE_FIELDS; }
std::span<const PlainField> AssignmentPlainFields() { return ASSIGNMENT_FIELDS; }
std::span<const BaselineFields> TaskBaselines() { return BASELINES; }

std::string WorkText(double minutes, bool exact) {
  if (!(minutes >= 0) || minutes > 1e12) return {};
  if (!exact) {
    const auto whole = static_cast<std::int64_t>(minutes + 0.5);
    return "PT" + IntegerText(whole / 60) + "H" + IntegerText(whole % 60) + "M0S";
  }
  const auto hundredths = static_cast<std::int64_t>(minutes * 6000.0 + 0.5);
  const std::int64_t seconds = hundredths / 100;
  std::string text = "PT" + IntegerText(seconds / 3600) + "H" + IntegerText(seconds / 60 % 60) + "M" +
                     IntegerText(seconds % 60);
  if (const std::int64_t rest = hundredths % 100; rest != 0) {
    text += '.';
    text += static_cast<char>('0' + rest / 10);
    if (rest % 10 != 0) text += static_cast<char>('0' + rest % 10);
  }
  return text + "S";
}

std::string AmountText(double amount) {
  if (!(amount > -1e15 && amount < 1e15)) return {};
  return NumberText(static_cast<double>(static_cast<std::int64_t>(amount * 100.0 + (amount < 0 ? -0.5 : 0.5))) / 100.0);
}

std::string ValueText(const ByteCursor& bytes, ValueForm form) {
  switch (form) {
    case ValueForm::Timestamp:
      return TimestampText(bytes.Bytes(), 0);
    case ValueForm::Duration:
      if (const auto value = bytes.I32At(0)) return DurationText(*value);
      return {};
    case ValueForm::Work:
    case ValueForm::WorkExact:
      if (const auto value = bytes.F64At(0)) return WorkText(*value / 1000.0, form == ValueForm::WorkExact);
      return {};
    case ValueForm::Amount:
      if (const auto value = bytes.F64At(0)) return AmountText(*value);
      return {};
    case ValueForm::Integer16:
      if (const auto value = bytes.U16At(0)) return IntegerText(*value);
      return {};
    case ValueForm::Integer32:
      if (const auto value = bytes.I32At(0)) return IntegerText(*value);
      return {};
    case ValueForm::Text:
      return bytes.Ok() ? Utf16LeText(bytes.Bytes()) : std::string();
  }
  return {};
}

std::string PlainValueText(const RowFields& fields, FieldLocation location, ValueForm form) {
  return ValueText(fields.Bytes(location, 0), form);
}

std::vector<std::pair<std::uint16_t, std::string_view>> ExtraFieldValues(std::string_view block, bool& damaged) {
  std::vector<std::pair<std::uint16_t, std::uint32_t>> entries;
  ByteCursor in(block);
  in.Skip(4);  // the block's length
  const std::uint32_t count = in.U32();
  constexpr std::size_t ENTRY_SIZE = 8;
  if (in.Failed() || count > in.Remaining() / ENTRY_SIZE) damaged = true;
  for (std::uint32_t i = 0; i < count && in.Remaining() >= ENTRY_SIZE; ++i) {
    const std::uint32_t id = in.U32();
    const std::uint32_t offset = in.U32();
    entries.emplace_back(static_cast<std::uint16_t>(id & 0xFFFFu), offset);
  }
  // Each value runs to the next one's start (or the block's end).
  std::vector<std::uint32_t> starts;
  for (const auto& [field, offset] : entries) starts.push_back(offset);
  std::sort(starts.begin(), starts.end());
  std::vector<std::pair<std::uint16_t, std::string_view>> values;
  for (const auto& [field, offset] : entries) {
    const auto next = std::upper_bound(starts.begin(), starts.end(), offset);
    const std::size_t end = next == starts.end() ? block.size() : *next;
    const ByteCursor value = ByteCursor(block).Range(offset, end >= offset ? end - offset : 0);
    if (value.Failed()) {
      damaged = true;
      continue;
    }
    values.emplace_back(field, value.Bytes());
  }
  return values;
}

PlainFieldReader::PlainFieldReader(std::span<const PlainField> fields, const FieldMap& map) {
  for (const PlainField& field : fields) {
    const FieldLocation location = map.Find(field.field);
    if (location.kind != FieldLocation::Kind::None) located_.emplace_back(&field, location);
  }
}

void PlainFieldReader::Read(const RowFields& row, std::vector<std::pair<std::string_view, std::string>>& out) const {
  for (const auto& [field, location] : located_) {
    std::string text = PlainValueText(row, location, field->form);
    if (!text.empty()) out.emplace_back(field->element, std::move(text));
  }
}

}  // namespace nerin::mpp
