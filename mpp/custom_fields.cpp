// SPDX-License-Identifier: MIT
#include "mpp/custom_fields.h"

#include <algorithm>
#include <array>
#include <vector>

#include "mpp/plan_reading.h"
#include "mpp/row_fields.h"

namespace nerin::mpp {

namespace {

// Appends fields numbered from `numbers`, one index each from 1 on.
// Flag1-20 of resources and assignments: Flag10 takes the first slot.
constexpr std::array<std::uint16_t, 20> SLOTS_TEN_FIRST{2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

template <std::size_t N>
void Add(std::vector<CustomFieldSpec>& out, CustomFieldKind kind, const std::array<std::uint16_t, N>& numbers,
         const std::array<std::uint16_t, N>* formats = nullptr) {
  for (std::size_t i = 0; i < N; ++i) {
    out.push_back(
        CustomFieldSpec{numbers[i], kind, static_cast<int>(i + 1), formats ? (*formats)[i] : std::uint16_t{0}, i + 1});
  }
}

void AddFlags(std::vector<CustomFieldSpec>& out, const std::array<std::uint16_t, 20>& numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    out.push_back(CustomFieldSpec{numbers[i], CustomFieldKind::Flag, static_cast<int>(i + 1), 0, SLOTS_TEN_FIRST[i]});
  }
}

// Field numbers as the maps of all three generations give them (located from the maps and
// the export's FieldIDs; see docs/mpp-fields.md).
std::vector<CustomFieldSpec> TaskFields() {
  std::vector<CustomFieldSpec> out;
  Add<30>(out, CustomFieldKind::Text, {51,  54,  57,  60,  63,  66,  67,  68,  69,  70,  317, 318, 319, 320, 321,
                                       322, 323, 324, 325, 326, 327, 328, 329, 330, 331, 332, 333, 334, 335, 336});
  Add<20>(out, CustomFieldKind::Number,
          {87, 88, 89, 90, 91, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314, 315, 316});
  Add<20>(out, CustomFieldKind::Flag,
          {72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 292, 293, 294, 295, 296, 297, 298, 299, 300, 301});
  Add<10>(out, CustomFieldKind::Date, {265, 266, 267, 268, 269, 270, 271, 272, 273, 274});
  static constexpr std::array<std::uint16_t, 10> DURATION_FORMATS{183, 184, 185, 337, 338, 339, 340, 341, 342, 343};
  Add<10>(out, CustomFieldKind::Duration, {103, 104, 105, 275, 276, 277, 278, 279, 280, 281}, &DURATION_FORMATS);
  Add<10>(out, CustomFieldKind::Cost, {106, 107, 108, 258, 259, 260, 261, 262, 263, 264});
  return out;
}

std::vector<CustomFieldSpec> ResourceFields() {
  std::vector<CustomFieldSpec> out;
  Add<30>(out, CustomFieldKind::Text, {8,   9,   30,  31,  32,  97,  98,  99,  100, 101, 225, 226, 227, 228, 229,
                                       230, 231, 232, 233, 234, 235, 236, 237, 238, 239, 240, 241, 242, 243, 244});
  AddFlags(out, {127, 128, 129, 130, 131, 132, 133, 134, 135, 126, 195, 196, 197, 198, 199, 200, 201, 202, 203, 204});
  Add<20>(out, CustomFieldKind::Number,
          {112, 113, 114, 115, 116, 205, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219});
  Add<10>(out, CustomFieldKind::Date, {173, 174, 175, 176, 177, 178, 179, 180, 181, 182});
  Add<10>(out, CustomFieldKind::Start, {102, 103, 104, 105, 106, 220, 221, 222, 223, 224});
  Add<10>(out, CustomFieldKind::Finish, {107, 108, 109, 110, 111, 190, 191, 192, 193, 194});
  Add<10>(out, CustomFieldKind::Duration, {117, 118, 119, 183, 184, 185, 186, 187, 188, 189});
  Add<10>(out, CustomFieldKind::Cost, {123, 124, 125, 166, 167, 168, 169, 170, 171, 172});
  return out;
}

std::vector<CustomFieldSpec> AssignmentFields() {
  std::vector<CustomFieldSpec> out;
  Add<30>(out, CustomFieldKind::Text, {88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  218, 219, 220, 221, 222,
                                       223, 224, 225, 226, 227, 228, 229, 230, 231, 232, 233, 234, 235, 236, 237});
  AddFlags(out, {123, 124, 125, 126, 127, 128, 129, 130, 131, 122, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197});
  return out;
}

}  // namespace

std::span<const CustomFieldSpec> CustomFields(EntityClass entity) {
  static const std::vector<CustomFieldSpec> TASK = TaskFields();
  static const std::vector<CustomFieldSpec> RESOURCE = ResourceFields();
  static const std::vector<CustomFieldSpec> ASSIGNMENT = AssignmentFields();
  switch (entity) {
    case EntityClass::Task:
      return TASK;
    case EntityClass::Resource:
      return RESOURCE;
    case EntityClass::Assignment:
      return ASSIGNMENT;
  }
  return {};
}

std::int64_t ExportFieldId(EntityClass entity, std::uint16_t field) {
  return static_cast<std::int64_t>(static_cast<std::uint32_t>(entity)) << 16 | field;
}

std::string CustomFieldName(const CustomFieldSpec& entry) {
  const char* stem = "Text";
  switch (entry.kind) {
    case CustomFieldKind::Text:
      stem = "Text";
      break;
    case CustomFieldKind::Number:
      stem = "Number";
      break;
    case CustomFieldKind::Flag:
      stem = "Flag";
      break;
    case CustomFieldKind::Date:
      stem = "Date";
      break;
    case CustomFieldKind::Start:
      stem = "Start";
      break;
    case CustomFieldKind::Finish:
      stem = "Finish";
      break;
    case CustomFieldKind::Duration:
      stem = "Duration";
      break;
    case CustomFieldKind::Cost:
      stem = "Cost";
      break;
  }
  return stem + std::to_string(entry.index);
}

CustomFieldReader::CustomFieldReader(EntityClass entity, const FieldMap& map, std::optional<std::size_t> flagBase,
                                     std::optional<std::uint16_t> defaultFormat)
    : entity_(entity), defaultFormat_(defaultFormat) {
  for (const CustomFieldSpec& entry : CustomFields(entity)) {
    Located located;
    located.entry = &entry;
    if (entry.kind == CustomFieldKind::Flag) {
      // The map lists the flag, but its bit number does not always give its place (an
      // assignment's Flag10 says 10 and sits in the first slot).
      if (!flagBase || !map.FlagBitNumber(entry.field)) continue;
      located.flagBit = *flagBase + entry.flagSlot;
    } else {
      located.value = map.Find(entry.field);
      if (located.value.kind == FieldLocation::Kind::None) continue;
      if (entry.formatField != 0) located.format = map.Find(entry.formatField);
    }
    located_.push_back(located);
  }
}

std::vector<CustomValue> CustomFieldReader::Read(const RowFields& fields, const ByteCursor& item) const {
  std::vector<CustomValue> values;
  for (const Located& located : located_) {
    const CustomFieldSpec& entry = *located.entry;
    std::string value;
    std::optional<std::uint16_t> format;
    switch (entry.kind) {
      case CustomFieldKind::Text:
        value = fields.Text(located.value);
        break;
      case CustomFieldKind::Number:
      case CustomFieldKind::Cost:
        if (const auto number = fields.F64(located.value)) value = NumberText(*number);
        break;
      case CustomFieldKind::Flag:
        if (BitAt(item, located.flagBit)) value = "1";
        break;
      case CustomFieldKind::Date:
      case CustomFieldKind::Start:
      case CustomFieldKind::Finish:
        value = fields.Timestamp(located.value);
        break;
      case CustomFieldKind::Duration:
        if (const auto duration = fields.I32(located.value)) {
          value = DurationText(*duration);
          format = fields.U16(located.format);
          if (!format) format = defaultFormat_;
        }
        break;
    }
    if (value.empty()) continue;
    const std::int64_t id = ExportFieldId(entity_, entry.field);
    values.push_back(CustomValue{id, std::move(value), format});
  }
  return values;
}

void CustomFieldReader::Write(const std::vector<CustomValue>& values, TreeWriter& out) {
  for (const CustomValue& value : values) {
    out.Open("ExtendedAttribute");
    out.Integer("FieldID", value.fieldId);
    out.Text("Value", value.value);
    if (value.durationFormat) out.Integer("DurationFormat", *value.durationFormat);
    out.Close();
  }
}

void WriteFieldDefinitions(std::string_view list, TreeWriter& out, bool& cut) {
  ByteCursor in(list);
  in.Skip(4);
  const std::uint32_t count = in.U32();
  if (in.Failed() || count == 0) return;
  constexpr std::size_t ENTRY_SIZE = 8;
  if (count > in.Remaining() / ENTRY_SIZE) cut = true;
  const std::size_t held = std::min<std::size_t>(count, in.Remaining() / ENTRY_SIZE);
  if (held == 0) return;
  out.Open("ExtendedAttributes");
  std::vector<std::uint32_t> written;
  for (std::size_t i = 0; i < held; ++i) {
    const std::uint32_t id = in.U32();
    in.Skip(4);  // the assignment counterpart
    // Some saves repeat one entry through the whole list; a field is defined once.
    if (std::find(written.begin(), written.end(), id) != written.end()) continue;
    written.push_back(id);
    const auto entity = static_cast<EntityClass>(id >> 16);
    out.Open("ExtendedAttribute");
    out.Integer("FieldID", id);
    for (const CustomFieldSpec& entry : CustomFields(entity)) {
      if (entry.field == (id & 0xFFFFu)) out.Text("FieldName", CustomFieldName(entry));
    }
    out.Close();
  }
  out.Close();
}

}  // namespace nerin::mpp
