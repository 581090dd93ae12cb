// SPDX-License-Identifier: MIT
#include "mpp/plan_tables.h"

#include <algorithm>


namespace nerin::mpp {

namespace {

constexpr std::uint32_t TABLE_MAGIC = 0xFADFADBAu;
constexpr std::size_t MAP_ENTRY_SIZE = 28;
constexpr std::uint16_t NOT_FIXED = 0xFFFF;
// Data categories of flag fields: their bits sit in the items, at places the map cannot give.
constexpr std::uint16_t CATEGORY_FLAG = 0x0B;
constexpr std::uint16_t CATEGORY_FLAG_BIT = 0x64;

std::uint64_t VarKey(std::int64_t uid, std::uint16_t key, bool threeByteUids) {
  const std::uint64_t id = threeByteUids ? static_cast<std::uint64_t>(uid) & 0xFFFFFFu
                                         : static_cast<std::uint32_t>(static_cast<std::int32_t>(uid));
  return (id << 16) | key;
}

// One 28-byte entry of a field map.
struct MapEntry {
  std::uint32_t bitMask = 0;
  std::uint16_t offset = 0;
  std::uint8_t oneByteKey = 0;
  std::uint16_t field = 0;
  std::uint16_t fieldClass = 0;
  std::uint16_t category = 0;
  std::uint16_t size = 0;
  std::uint32_t bitNumber = 0;

  static MapEntry Read(ByteCursor in) {
    MapEntry entry;
    entry.bitMask = in.U32();
    entry.offset = in.U16();
    entry.oneByteKey = in.U8();
    in.Skip(5);  // kind, storage class, unknown
    entry.field = in.U16();
    entry.fieldClass = in.U16();
    in.Skip(4);
    entry.category = in.U16();
    entry.size = in.U16();
    entry.bitNumber = in.U32();
    return entry;
  }
};

}  // namespace

void PropertyBlock::Parse(std::string_view bytes) {
  values_.clear();
  ByteCursor in(bytes);
  const std::size_t count = in.Seek(12).U16();
  in.Seek(16);
  for (std::size_t i = 0; i < count && in.Ok() && in.Remaining() >= 12; ++i) {
    const std::int32_t size = in.I32();
    const std::uint32_t key = in.U32();
    in.Skip(4);
    if (size < 1) break;
    const std::string_view value = in.Take(static_cast<std::size_t>(size));
    if (in.Failed()) break;
    values_.emplace_back(key, value);
    if ((size & 1) != 0 && !in.AtEnd()) in.Skip(1);
  }
  std::stable_sort(values_.begin(), values_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::optional<std::string_view> PropertyBlock::Value(std::uint32_t key) const {
  const auto found = std::lower_bound(values_.begin(), values_.end(), key,
                                      [](const auto& entry, std::uint32_t k) { return entry.first < k; });
  if (found == values_.end() || found->first != key) return std::nullopt;
  return found->second;
}

void FieldMap::Parse(std::string_view bytes, bool oneByteKeys) {
  locations_.clear();
  flagBits_.clear();
  largestFixedOffset_ = 0;
  std::uint8_t block = 0;
  bool anyFixed = false;
  std::uint16_t lastOffset = 0;
  ByteCursor in(bytes);
  while (in.Remaining() >= MAP_ENTRY_SIZE) {
    MapEntry entry = MapEntry::Read(in.Child(MAP_ENTRY_SIZE));
    const std::uint16_t offset = entry.offset;
    const std::uint16_t field = entry.field;
    const std::uint16_t category = entry.category;
    if (category == CATEGORY_FLAG || category == CATEGORY_FLAG_BIT) {
      flagBits_.emplace(field, entry.bitNumber);
      continue;
    }
    FieldLocation location;
    if (offset != NOT_FIXED) {
      // The fixed fields are listed in record order; where the offsets start again from a
      // smaller one, the second block (Fixed2Data) begins.
      if (anyFixed && offset < lastOffset && block < 255) ++block;
      anyFixed = true;
      lastOffset = offset;
      location.kind = FieldLocation::Kind::Fixed;
      location.block = block;
      location.offset = offset;
      if (block == 0) largestFixedOffset_ = std::max(largestFixedOffset_, offset);
    } else {
      const std::uint16_t key = oneByteKeys ? entry.oneByteKey : field;
      if (key == 0) continue;
      location.kind = FieldLocation::Kind::Var;
      location.varKey = key;
    }
    locations_.emplace(field, location);  // the first entry of a field counts
  }
}

FieldLocation FieldMap::Find(std::uint16_t field) const {
  const auto found = locations_.find(field);
  return found == locations_.end() ? FieldLocation{} : found->second;
}

namespace {

// The record offsets of a fixed index's items, sorted and each once: a record runs to the
// next larger offset.
std::vector<std::uint32_t> SortedOffsets(const ByteCursor& index, std::size_t itemSize, std::size_t physical) {
  std::vector<std::uint32_t> offsets;
  offsets.reserve(physical);
  for (std::size_t k = 0; k < physical; ++k) {
    if (const auto offset = index.U32At(16 + k * itemSize + 4)) offsets.push_back(*offset);
  }
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
  return offsets;
}

}  // namespace

std::optional<std::uint32_t> FieldMap::FlagBitNumber(std::uint16_t field) const {
  const auto found = flagBits_.find(field);
  if (found == flagBits_.end()) return std::nullopt;
  return found->second;
}

bool EntityTable::Prepare(std::size_t itemSize, const GenerationLayout& layout) {
  itemSize_ = itemSize;
  item2Size_ = 0;
  itemCount_ = 0;
  offsets_.clear();
  offsets2_.clear();
  varIndex_.clear();
  threeByteUids_ = layout.oneByteVarKeys;
  const ByteCursor meta(fixedMeta);
  if (meta.U32At(0) != TABLE_MAGIC || meta.Size() < 16 || itemSize == 0) return false;

  const std::size_t physical = (fixedMeta.size() - 16) / itemSize;
  itemCount_ = std::min<std::size_t>(meta.U32At(8).value_or(0), physical);
  offsets_ = SortedOffsets(meta, itemSize, physical);

  // The second items are as many as the first; their size follows from the stream's length.
  const ByteCursor meta2(fixed2Meta);
  if (physical > 0 && meta2.Size() >= 16 && meta2.U32At(0) == TABLE_MAGIC) {
    item2Size_ = (fixed2Meta.size() - 16) / physical;
    if (item2Size_ < 8) item2Size_ = 0;
    if (item2Size_ > 0) offsets2_ = SortedOffsets(meta2, item2Size_, physical);
  }

  ByteCursor index(varMeta);
  if (index.U32At(0) == TABLE_MAGIC && index.Size() >= 24) {
    const std::size_t entrySize = layout.varEntrySize;
    const std::size_t count = std::min<std::size_t>(index.Seek(8).U32(), (varMeta.size() - 24) / entrySize);
    varIndex_.reserve(count);
    index.Seek(24);
    for (std::size_t i = 0; i < count; ++i) {
      ByteCursor entry = index.Child(entrySize);
      if (threeByteUids_) {
        const std::uint32_t word = entry.U32();
        const std::uint32_t offset = entry.U32();
        varIndex_.emplace_back(VarKey(word & 0xFFFFFFu, static_cast<std::uint16_t>(word >> 24), true), offset);
      } else {
        const std::int32_t uid = entry.I32();
        const std::uint32_t offset = entry.U32();
        const std::uint16_t key = entry.U16();
        varIndex_.emplace_back(VarKey(uid, key, false), offset);
      }
      if (entry.Failed()) break;
    }
    // Stable, so that of two entries for one value the first stays first.
    std::stable_sort(varIndex_.begin(), varIndex_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  return true;
}

ByteCursor EntityTable::Item(std::size_t k) const {
  if (k >= itemCount_) return ByteCursor::Missing();
  return ByteCursor(fixedMeta).Range(16 + k * itemSize_, itemSize_);
}

ByteCursor EntityTable::Item2(std::size_t k) const {
  if (k >= itemCount_ || item2Size_ == 0) return ByteCursor();
  const ByteCursor item = ByteCursor(fixed2Meta).Range(16 + k * item2Size_, item2Size_);
  return item.Ok() ? item : ByteCursor();
}

std::optional<std::uint32_t> EntityTable::RecordOffset(std::size_t k) const {
  return Item(k).U32At(4);
}

std::string_view EntityTable::RecordIn(std::string_view data, const std::vector<std::uint32_t>& offsets,
                                       std::uint32_t offset) const {
  if (offset >= data.size()) return {};
  const auto next = std::upper_bound(offsets.begin(), offsets.end(), offset);
  const std::size_t end = next == offsets.end() ? data.size() : std::min<std::size_t>(*next, data.size());
  return data.substr(offset, end - offset);
}

std::string_view EntityTable::Record(std::size_t k, std::size_t fixedLength) const {
  const auto offset = RecordOffset(k);
  if (!offset) return {};
  if (fixedLength > 0) {
    if (*offset >= fixedData.size()) return {};
    return std::string_view(fixedData).substr(*offset, fixedLength);
  }
  return RecordIn(fixedData, offsets_, *offset);
}

std::string_view EntityTable::Record2(std::size_t k) const {
  const auto offset = Item2(k).U32At(4);
  if (!offset) return {};
  return RecordIn(fixed2Data, offsets2_, *offset);
}

std::optional<std::string_view> EntityTable::Var(std::int64_t uid, std::uint16_t key) const {
  const std::uint64_t wanted = VarKey(uid, key, threeByteUids_);
  const auto found = std::lower_bound(varIndex_.begin(), varIndex_.end(), wanted,
                                      [](const auto& entry, std::uint64_t k) { return entry.first < k; });
  if (found == varIndex_.end() || found->first != wanted) return std::nullopt;
  ByteCursor value(varData);
  const std::int32_t length = value.Seek(found->second).I32();
  if (length < 0) return std::nullopt;
  const std::string_view bytes = value.Take(static_cast<std::size_t>(length));
  if (value.Failed()) return std::nullopt;
  return bytes;
}

}  // namespace nerin::mpp
