// SPDX-License-Identifier: MIT
#include "mpp/plan_tables.h"

#include <algorithm>

#include "mpp/byte_reading.h"

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

}  // namespace

void PropertyBlock::Parse(std::string_view bytes) {
  values_.clear();
  const std::size_t count = U16At(bytes, 12);
  std::size_t position = 16;
  for (std::size_t i = 0; i < count; ++i) {
    if (position > bytes.size() || bytes.size() - position < 12) break;
    const auto size = static_cast<std::int32_t>(U32At(bytes, position));
    const std::uint32_t key = U32At(bytes, position + 4);
    if (size < 1 || static_cast<std::size_t>(size) > bytes.size() - position - 12) break;
    values_.emplace_back(key, bytes.substr(position + 12, static_cast<std::size_t>(size)));
    position += 12 + static_cast<std::size_t>(size) + (static_cast<std::size_t>(size) & 1u);
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
  largestFixedOffset_ = 0;
  std::uint8_t block = 0;
  bool anyFixed = false;
  std::uint16_t lastOffset = 0;
  for (std::size_t at = 0; at + MAP_ENTRY_SIZE <= bytes.size(); at += MAP_ENTRY_SIZE) {
    const std::string_view entry = bytes.substr(at, MAP_ENTRY_SIZE);
    const std::uint16_t offset = U16At(entry, 4);
    const std::uint16_t field = U16At(entry, 12);
    const std::uint16_t category = U16At(entry, 20);
    if (category == CATEGORY_FLAG || category == CATEGORY_FLAG_BIT) continue;
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
      const std::uint16_t key = oneByteKeys ? U8At(entry, 6) : field;
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

bool EntityTable::Prepare(std::size_t itemSize, Generation generation) {
  itemSize_ = itemSize;
  item2Size_ = 0;
  itemCount_ = 0;
  offsets_.clear();
  offsets2_.clear();
  varIndex_.clear();
  threeByteUids_ = generation == Generation::Mpp9;
  if (fixedMeta.size() < 16 || U32At(fixedMeta, 0) != TABLE_MAGIC || itemSize == 0) return false;

  const std::size_t physical = (fixedMeta.size() - 16) / itemSize;
  itemCount_ = std::min<std::size_t>(U32At(fixedMeta, 8), physical);
  offsets_.reserve(physical);
  for (std::size_t k = 0; k < physical; ++k) offsets_.push_back(U32At(fixedMeta, 16 + k * itemSize + 4));
  std::sort(offsets_.begin(), offsets_.end());
  offsets_.erase(std::unique(offsets_.begin(), offsets_.end()), offsets_.end());

  // The second items are as many as the first; their size follows from the stream's length.
  if (physical > 0 && fixed2Meta.size() >= 16 && U32At(fixed2Meta, 0) == TABLE_MAGIC) {
    item2Size_ = (fixed2Meta.size() - 16) / physical;
    if (item2Size_ < 8) item2Size_ = 0;
    for (std::size_t k = 0; item2Size_ > 0 && k < physical; ++k) {
      offsets2_.push_back(U32At(fixed2Meta, 16 + k * item2Size_ + 4));
    }
    std::sort(offsets2_.begin(), offsets2_.end());
    offsets2_.erase(std::unique(offsets2_.begin(), offsets2_.end()), offsets2_.end());
  }

  if (varMeta.size() >= 24 && U32At(varMeta, 0) == TABLE_MAGIC) {
    const std::size_t entrySize = threeByteUids_ ? 8 : 12;
    const std::size_t count = std::min<std::size_t>(U32At(varMeta, 8), (varMeta.size() - 24) / entrySize);
    varIndex_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = 24 + i * entrySize;
      if (threeByteUids_) {
        const std::uint32_t word = U32At(varMeta, at);
        varIndex_.emplace_back(VarKey(word & 0xFFFFFFu, static_cast<std::uint16_t>(word >> 24), true),
                               U32At(varMeta, at + 4));
      } else {
        const auto uid = static_cast<std::int32_t>(U32At(varMeta, at));
        varIndex_.emplace_back(VarKey(uid, U16At(varMeta, at + 8), false), U32At(varMeta, at + 4));
      }
    }
    // Stable, so that of two entries for one value the first stays first.
    std::stable_sort(varIndex_.begin(), varIndex_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  return true;
}

std::string_view EntityTable::Item(std::size_t k) const {
  if (k >= itemCount_) return {};
  return std::string_view(fixedMeta).substr(16 + k * itemSize_, itemSize_);
}

std::string_view EntityTable::Item2(std::size_t k) const {
  if (k >= itemCount_ || item2Size_ == 0) return {};
  const std::size_t at = 16 + k * item2Size_;
  if (at + item2Size_ > fixed2Meta.size()) return {};
  return std::string_view(fixed2Meta).substr(at, item2Size_);
}

std::uint32_t EntityTable::RecordOffset(std::size_t k) const {
  return U32At(Item(k), 4);
}

std::string_view EntityTable::RecordIn(std::string_view data, const std::vector<std::uint32_t>& offsets,
                                       std::uint32_t offset) const {
  if (offset >= data.size()) return {};
  const auto next = std::upper_bound(offsets.begin(), offsets.end(), offset);
  const std::size_t end = next == offsets.end() ? data.size() : std::min<std::size_t>(*next, data.size());
  return data.substr(offset, end - offset);
}

std::string_view EntityTable::Record(std::size_t k, std::size_t fixedLength) const {
  if (k >= itemCount_) return {};
  const std::uint32_t offset = RecordOffset(k);
  if (fixedLength > 0) {
    if (offset >= fixedData.size()) return {};
    return std::string_view(fixedData).substr(offset, fixedLength);
  }
  return RecordIn(fixedData, offsets_, offset);
}

std::string_view EntityTable::Record2(std::size_t k) const {
  const std::string_view item = Item2(k);
  if (item.empty()) return {};
  return RecordIn(fixed2Data, offsets2_, U32At(item, 4));
}

std::optional<std::string_view> EntityTable::Var(std::int64_t uid, std::uint16_t key) const {
  const std::uint64_t wanted = VarKey(uid, key, threeByteUids_);
  const auto found = std::lower_bound(varIndex_.begin(), varIndex_.end(), wanted,
                                      [](const auto& entry, std::uint64_t k) { return entry.first < k; });
  if (found == varIndex_.end() || found->first != wanted) return std::nullopt;
  const std::uint32_t offset = found->second;
  const auto length = I32Field(varData, offset);
  if (!length || *length < 0 || static_cast<std::size_t>(*length) > varData.size() - offset - 4) return std::nullopt;
  return std::string_view(varData).substr(offset + 4, static_cast<std::size_t>(*length));
}

}  // namespace nerin::mpp
