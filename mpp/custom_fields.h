// SPDX-License-Identifier: MIT
// The plan author's own fields (Text1-30, Number1-20, Flag1-20, Date1-10, Duration1-10,
// Cost1-10): which field numbers of the field maps hold them, for tasks, resources and
// assignments, and how the export names them (its FieldID is the entity class and the field
// number in one value).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <span>
#include <string>
#include <vector>

#include "mpp/plan_tables.h"

namespace nerin::mpp {

enum class CustomFieldKind { Text, Number, Flag, Date, Start, Finish, Duration, Cost };

enum class EntityClass : std::uint32_t { Task = 0x0B40, Resource = 0x0C40, Assignment = 0x0F40 };

struct CustomFieldSpec {
  std::uint16_t field = 0;
  CustomFieldKind kind = CustomFieldKind::Text;
  int index = 0;                  // 1 for Text1
  std::uint16_t formatField = 0;  // durations: the field with the value's display format
  // Flags: the bit's place after the row's flag base. Resources and assignments keep Flag10
  // first, then Flag1-9, then Flag11-20.
  std::size_t flagSlot = 0;
};

std::span<const CustomFieldSpec> CustomFields(EntityClass entity);

// The export's FieldID of a field: 188743731 for task Text1.
std::int64_t ExportFieldId(EntityClass entity, std::uint16_t field);
// The field's name as the product shows it: "Text1", "Cost10".
std::string CustomFieldName(const CustomFieldSpec& entry);

class RowFields;
class TreeWriter;

// One field's value on one row, as the export writes it.
struct CustomValue {
  std::int64_t fieldId = 0;
  std::string value;
  std::optional<std::uint16_t> durationFormat;
};

// The author's fields of one entity as this file keeps them, located once per file.
class CustomFieldReader {
 public:
  // `flagBase`: where the layout puts the flag before Flag1-20's first slot in the row's
  // first index item (nothing: the flags are not read). `defaultFormat`: the plan's duration format, for durations kept
  // without one of their own.
  CustomFieldReader(EntityClass entity, const FieldMap& map, std::optional<std::size_t> flagBase,
                    std::optional<std::uint16_t> defaultFormat);

  // The fields set on the row.
  std::vector<CustomValue> Read(const RowFields& fields, const ByteCursor& item) const;
  // An ExtendedAttribute element for each value.
  static void Write(const std::vector<CustomValue>& values, TreeWriter& out);

 private:
  struct Located {
    const CustomFieldSpec* entry = nullptr;
    FieldLocation value;
    FieldLocation format;
    std::size_t flagBit = 0;
  };
  EntityClass entity_;
  std::optional<std::uint16_t> defaultFormat_;
  std::vector<Located> located_;
};

// The plan's list of defined fields (a property of the plan: a count, then each field's
// FieldID with the FieldID of its assignment counterpart), written as the export's
// ExtendedAttributes. A count the block cannot hold is cut to what it holds and `cut` set.
void WriteFieldDefinitions(std::string_view list, TreeWriter& out, bool& cut);

}  // namespace nerin::mpp
