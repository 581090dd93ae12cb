// SPDX-License-Identifier: MIT
// Fields of tasks, resources and assignments that the export writes as one element each,
// straight from one stored value: which field number holds each, and in what form the
// export writes it. Located from the field maps and the twins (docs/mpp-fields.md).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mpp/byte_cursor.h"
#include "mpp/plan_tables.h"

namespace nerin::mpp {

class RowFields;
class TreeWriter;

// How a stored value becomes the export's text.
enum class ValueForm {
  Timestamp,  // 4 bytes: "2016-02-10T08:00:00"
  Duration,   // i32 tenths of a minute: "PT8H0M0S"
  Work,       // f64 thousandths of a minute, to the minute: "PT8H0M0S"
  WorkExact,  // the same to the hundredth of a second, as assignments have it: "PT2H0M5.07S"
  Amount,     // f64 to the cent, as the export writes it (costs, rates): "29908.45"
  Integer16,  // u16
  Integer32,  // i32
  Text,       // UTF-16
};

struct PlainField {
  std::string_view element;
  std::uint16_t field = 0;
  ValueForm form = ValueForm::Integer16;
};

std::span<const PlainField> TaskPlainFields();
std::span<const PlainField> ResourcePlainFields();
std::span<const PlainField> AssignmentPlainFields();

// Work in minutes as the export writes it: to the minute, or (`exact`) to the hundredth of a
// second; negative or past any plan: empty.
std::string WorkText(double minutes, bool exact);
// An amount of money to the cent, written short ("100", "29908.45").
std::string AmountText(double amount);

// The text of one field of a row in the export's form; empty when the row does not hold it.
std::string PlainValueText(const RowFields& fields, FieldLocation location, ValueForm form);

// A stored value's text in the export's form; empty when the bytes are not there.
std::string ValueText(const ByteCursor& bytes, ValueForm form);

// MPP9 keeps fields its map has no place for (Baseline1-10) in one block per row: a length,
// a count, each field's FieldID with the offset of its value in the block, then the values.
// (field, value bytes) of each; `damaged` set when an entry claims more than the block holds.
std::vector<std::pair<std::uint16_t, std::string_view>> ExtraFieldValues(std::string_view block, bool& damaged);

// One baseline's fields (0 the baseline, 1-10 the numbered ones).
struct BaselineFields {
  std::uint16_t start = 0;
  std::uint16_t finish = 0;
  std::uint16_t duration = 0;
  std::uint16_t durationFormat = 0;  // 0: none stored
  std::uint16_t cost = 0;
  std::uint16_t work = 0;
};
std::span<const BaselineFields> TaskBaselines();

// The fields of a table located once per file, in the order the export writes them.
class PlainFieldReader {
 public:
  PlainFieldReader(std::span<const PlainField> fields, const FieldMap& map);
  // (element, text) of each field the row holds.
  void Read(const RowFields& row, std::vector<std::pair<std::string_view, std::string>>& out) const;

 private:
  std::vector<std::pair<const PlainField*, FieldLocation>> located_;
};

}  // namespace nerin::mpp
