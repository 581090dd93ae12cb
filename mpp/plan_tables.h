// SPDX-License-Identifier: MIT
// The structures inside a binary plan file's data storage: property blocks, the field maps
// that say where each field of an entity lives, and the entity tables (fixed-size items with
// their records, and the index of variable-length values).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "mpp/byte_cursor.h"
#include "mpp/generation_layout.h"

namespace nerin::mpp {


// A property block: key -> value bytes (views into the block's stream, which must outlive it).
class PropertyBlock {
 public:
  void Parse(std::string_view bytes);
  std::optional<std::string_view> Value(std::uint32_t key) const;

 private:
  std::vector<std::pair<std::uint32_t, std::string_view>> values_;
};

// Where a field of an entity's records is kept.
struct FieldLocation {
  enum class Kind : std::uint8_t { None, Fixed, Var };
  Kind kind = Kind::None;
  std::uint8_t block = 0;    // Fixed: 0 the FixedData record, 1 the Fixed2Data record
  std::uint16_t offset = 0;  // Fixed: bytes from the record's start
  std::uint16_t varKey = 0;  // Var: the key of the value in the variable-data index
};

class FieldMap {
 public:
  // `oneByteKeys`: MPP9 files keep the variable-data key in the entry; later ones use the
  // field's number.
  void Parse(std::string_view bytes, bool oneByteKeys);
  bool Empty() const { return locations_.empty(); }
  FieldLocation Find(std::uint16_t field) const;
  // A flag field's bit number as the map gives it (its place in the row follows from the
  // file's layout), or nothing.
  std::optional<std::uint32_t> FlagBitNumber(std::uint16_t field) const;
  // The largest offset of a field in the FixedData record (0 when none).
  std::uint16_t LargestFixedOffset() const { return largestFixedOffset_; }

 private:
  std::unordered_map<std::uint16_t, FieldLocation> locations_;
  std::unordered_map<std::uint16_t, std::uint32_t> flagBits_;
  std::uint16_t largestFixedOffset_ = 0;
};

// One entity storage (TBkndTask, TBkndRsc, TBkndAssn, TBkndCons): its fixed items with the
// records they point to, and its variable-length values by (UID, key).
class EntityTable {
 public:
  // The streams as read from the file; Prepare() indexes them.
  std::string fixedMeta;
  std::string fixedData;
  std::string fixed2Meta;
  std::string fixed2Data;
  std::string varMeta;
  std::string varData;

  // False when the fixed index is not one (wrong magic, shorter than its header).
  bool Prepare(std::size_t itemSize, const GenerationLayout& layout);

  std::size_t ItemCount() const { return itemCount_; }
  ByteCursor Item(std::size_t k) const;
  // The second item of the same row, or an empty cursor when the storage has none.
  ByteCursor Item2(std::size_t k) const;
  // The record item k points to, running to the next larger offset of any item (or the end
  // of the data); empty when the offset lies outside the data. A `fixedLength` above zero
  // takes that many bytes instead (where they are there).
  std::string_view Record(std::size_t k, std::size_t fixedLength = 0) const;
  std::string_view Record2(std::size_t k) const;
  std::optional<std::uint32_t> RecordOffset(std::size_t k) const;
  // The variable-length value stored for (UID, key), or nothing.
  std::optional<std::string_view> Var(std::int64_t uid, std::uint16_t key) const;

 private:
  std::string_view RecordIn(std::string_view data, const std::vector<std::uint32_t>& offsets,
                            std::uint32_t offset) const;

  std::size_t itemSize_ = 0;
  std::size_t item2Size_ = 0;
  std::size_t itemCount_ = 0;
  std::vector<std::uint32_t> offsets_;   // distinct record offsets, sorted
  std::vector<std::uint32_t> offsets2_;
  bool threeByteUids_ = false;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> varIndex_;  // (UID << 16 | key, offset), sorted
};

}  // namespace nerin::mpp
