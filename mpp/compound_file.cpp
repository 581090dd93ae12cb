// SPDX-License-Identifier: MIT
#include "mpp/compound_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "mpp/byte_cursor.h"

namespace nerin::mpp {

namespace {

constexpr std::uint32_t END_OF_CHAIN = 0xFFFFFFFEu;
constexpr std::uint32_t FREE_SECTOR = 0xFFFFFFFFu;
constexpr std::uint32_t LAST_REGULAR_SECTOR = 0xFFFFFFF9u;
constexpr std::uint32_t HEADER_DIFAT_ENTRIES = 109;
constexpr std::uint32_t MINI_SECTOR_SIZE = 64;
constexpr std::uint32_t MINI_STREAM_CUTOFF = 4096;

constexpr std::uint8_t TYPE_STORAGE = 1;
constexpr std::uint8_t TYPE_STREAM = 2;
constexpr std::uint8_t TYPE_ROOT = 5;

bool Damaged(std::string& error, std::string_view what) {
  error = "The compound file is damaged: ";
  error += what;
  error += '.';
  return false;
}

bool BadHeader(std::string& error, std::string_view what) {
  error = "The compound file's header is invalid (";
  error += what;
  error += ").";
  return false;
}

constexpr std::string_view PAST_END = "a sector number points past the end of the file";
constexpr std::string_view LOOP = "a chain of sectors runs in a loop";
constexpr std::string_view SHORT_CHAIN = "a stream is shorter than its declared size";

char16_t UpperAscii(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Sets the bit for `index` and tells whether it was set already.
bool SeenBefore(std::vector<std::uint8_t>& bits, std::size_t index) {
  const std::uint8_t mask = static_cast<std::uint8_t>(1u << (index & 7u));
  std::uint8_t& byte = bits[index >> 3];
  const bool seen = (byte & mask) != 0;
  byte = static_cast<std::uint8_t>(byte | mask);
  return seen;
}

// The header at the start of the file, field by field in the order they are stored.
struct CompoundHeader {
  std::uint16_t majorVersion = 0;
  std::uint16_t byteOrder = 0;
  std::uint16_t sectorShift = 0;
  std::uint16_t miniSectorShift = 0;
  std::uint32_t fatSectorCount = 0;
  std::uint32_t firstDirectorySector = 0;
  std::uint32_t miniStreamCutoff = 0;
  std::uint32_t firstMiniFatSector = 0;
  std::uint32_t miniFatSectorCount = 0;
  std::uint32_t firstDifatSector = 0;
  std::uint32_t difatSectorCount = 0;
  std::array<std::uint32_t, HEADER_DIFAT_ENTRIES> difat{};

  static constexpr std::size_t SIZE = 512;
  static CompoundHeader Read(ByteCursor in) {
    CompoundHeader header;
    in.Skip(8 + 16 + 2);  // signature, class id, minor version
    header.majorVersion = in.U16();
    header.byteOrder = in.U16();
    header.sectorShift = in.U16();
    header.miniSectorShift = in.U16();
    in.Skip(6 + 4);  // reserved, directory sector count (not kept by version 3)
    header.fatSectorCount = in.U32();
    header.firstDirectorySector = in.U32();
    in.Skip(4);  // transaction signature
    header.miniStreamCutoff = in.U32();
    header.firstMiniFatSector = in.U32();
    header.miniFatSectorCount = in.U32();
    header.firstDifatSector = in.U32();
    header.difatSectorCount = in.U32();
    for (std::uint32_t& sector : header.difat) sector = in.U32();
    return header;
  }
};

// One 128-byte entry of the directory.
struct DirectoryEntryLayout {
  std::array<char16_t, 32> name{};
  std::uint16_t nameBytes = 0;
  std::uint8_t type = 0;
  std::uint32_t left = 0;
  std::uint32_t right = 0;
  std::uint32_t child = 0;
  std::uint32_t start = 0;
  std::uint32_t sizeLow = 0;
  std::uint32_t sizeHigh = 0;

  static constexpr std::size_t SIZE = 128;
  static DirectoryEntryLayout Read(ByteCursor in) {
    DirectoryEntryLayout entry;
    for (char16_t& unit : entry.name) unit = in.U16();
    entry.nameBytes = in.U16();
    entry.type = in.U8();
    in.Skip(1);  // red/black colour
    entry.left = in.U32();
    entry.right = in.U32();
    entry.child = in.U32();
    in.Skip(16 + 4 + 16);  // class id, state bits, times
    entry.start = in.U32();
    entry.sizeLow = in.U32();
    entry.sizeHigh = in.U32();
    return entry;
  }
};

}  // namespace

bool HasCompoundFileSignature(std::string_view bytes) {
  return bytes.size() >= COMPOUND_FILE_SIGNATURE.size() &&
         std::memcmp(bytes.data(), COMPOUND_FILE_SIGNATURE.data(), COMPOUND_FILE_SIGNATURE.size()) == 0;
}

bool CompoundFile::Open(std::string_view bytes, std::string& error) {
  bytes_ = bytes;
  fat_.clear();
  miniFat_.clear();
  miniStream_.clear();
  entries_.clear();
  // The streams of a sound file never add up to more than the file; a few times that covers
  // every structure read twice and still bounds what a file whose streams share sectors costs.
  budget_ = 4 * static_cast<std::uint64_t>(bytes.size()) + (std::uint64_t{1} << 20);
  return ReadHeader(error) && ReadFat(error) && ReadDirectory(error) && LinkChildren(error);
}

bool CompoundFile::ReadHeader(std::string& error) {
  if (!HasCompoundFileSignature(bytes_)) {
    error = "The file is not a compound file (its first bytes are not the compound-file signature).";
    return false;
  }
  if (bytes_.size() < CompoundHeader::SIZE) {
    error = "The file is too short to be a compound file (" + std::to_string(bytes_.size()) + " bytes).";
    return false;
  }
  const CompoundHeader header = CompoundHeader::Read(ByteCursor(bytes_));
  if (header.byteOrder != 0xFFFE) return BadHeader(error, "byte order");
  majorVersion_ = header.majorVersion;
  sectorShift_ = header.sectorShift;
  if (!((majorVersion_ == 3 && sectorShift_ == 9) || (majorVersion_ == 4 && sectorShift_ == 12))) {
    return BadHeader(error, "version " + std::to_string(majorVersion_) + " with sector shift " +
                                std::to_string(sectorShift_));
  }
  if (header.miniSectorShift != 6) return BadHeader(error, "mini sector size");
  if (header.miniStreamCutoff != MINI_STREAM_CUTOFF) return BadHeader(error, "mini stream cutoff");
  sectorSize_ = 1u << sectorShift_;
  if (bytes_.size() < sectorSize_) {
    error = "The file is too short to be a compound file (" + std::to_string(bytes_.size()) + " bytes).";
    return false;
  }
  // A partial last sector still counts; reading it is clipped to the file.
  sectorCount_ = (bytes_.size() - sectorSize_ + sectorSize_ - 1) / sectorSize_;
  fatSectorCount_ = header.fatSectorCount;
  firstDirectorySector_ = header.firstDirectorySector;
  firstMiniFatSector_ = header.firstMiniFatSector;
  miniFatSectorCount_ = header.miniFatSectorCount;
  firstDifatSector_ = header.firstDifatSector;
  difatSectorCount_ = header.difatSectorCount;
  headerDifat_ = header.difat;
  if (fatSectorCount_ == 0) return Damaged(error, "it has no allocation table");
  if (fatSectorCount_ > sectorCount_) return Damaged(error, "its allocation table is larger than the file");
  return true;
}

std::string_view CompoundFile::Sector(std::uint32_t sector) const {
  const std::uint64_t offset = (static_cast<std::uint64_t>(sector) + 1) << sectorShift_;
  if (offset >= bytes_.size()) return {};
  return bytes_.substr(static_cast<std::size_t>(offset),
                       static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize_, bytes_.size() - offset)));
}

bool CompoundFile::ReadFat(std::string& error) {
  // The sector numbers of the allocation table: the header's 109, then the DIFAT chain.
  std::vector<std::uint32_t> fatSectors;
  fatSectors.reserve(fatSectorCount_);
  for (std::uint32_t i = 0; i < HEADER_DIFAT_ENTRIES && fatSectors.size() < fatSectorCount_; ++i) {
    fatSectors.push_back(headerDifat_[i]);
  }
  std::uint32_t difat = firstDifatSector_;
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(sectorCount_ / 8 + 1), 0);
  const std::uint32_t perSector = sectorSize_ / 4 - 1;
  while (fatSectors.size() < fatSectorCount_) {
    if (difat == END_OF_CHAIN || difat == FREE_SECTOR) return Damaged(error, "its allocation table is incomplete");
    if (difat > LAST_REGULAR_SECTOR || difat >= sectorCount_) return Damaged(error, PAST_END);
    if (SeenBefore(seen, difat)) return Damaged(error, LOOP);
    ByteCursor sector(Sector(difat));
    if (sector.Size() < sectorSize_) return Damaged(error, PAST_END);
    for (std::uint32_t i = 0; i < perSector && fatSectors.size() < fatSectorCount_; ++i) {
      fatSectors.push_back(sector.U32());
    }
    difat = sector.Seek(4 * static_cast<std::size_t>(perSector)).U32();
    if (sector.Failed()) return Damaged(error, PAST_END);
  }

  fat_.reserve(static_cast<std::size_t>(fatSectorCount_) * (sectorSize_ / 4));
  for (const std::uint32_t fatSector : fatSectors) {
    if (fatSector > LAST_REGULAR_SECTOR || fatSector >= sectorCount_) return Damaged(error, PAST_END);
    ByteCursor sector(Sector(fatSector));
    for (std::size_t i = 0; i < sectorSize_ / 4; ++i) {
      // A partial last sector reads as free sectors past the file's end.
      fat_.push_back(sector.Remaining() >= 4 ? sector.U32() : FREE_SECTOR);
    }
  }
  // Sectors the table holds in use past the file's end: the file was cut short.
  for (std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(sectorCount_, fat_.size())); n < fat_.size(); ++n) {
    if (fat_[n] != FREE_SECTOR) return Damaged(error, "the file ends before its last sector (it was cut short)");
  }
  return true;
}

bool CompoundFile::ReadChain(std::uint32_t start, std::uint64_t size, bool wholeChain, std::string& out,
                             std::string& error) const {
  out.clear();
  if (!wholeChain) out.reserve(static_cast<std::size_t>(size));
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(sectorCount_ / 8 + 1), 0);
  std::uint32_t sector = start;
  while (wholeChain || out.size() < size) {
    if (sector == END_OF_CHAIN) {
      if (wholeChain) return true;
      return Damaged(error, SHORT_CHAIN);
    }
    if (sector > LAST_REGULAR_SECTOR || sector >= sectorCount_ || sector >= fat_.size()) {
      return Damaged(error, PAST_END);
    }
    if (SeenBefore(seen, sector)) return Damaged(error, LOOP);
    const std::string_view data = Sector(sector);
    const std::size_t wanted = wholeChain ? data.size() : static_cast<std::size_t>(
                                                              std::min<std::uint64_t>(data.size(), size - out.size()));
    if (data.size() < sectorSize_ && (wholeChain || out.size() + data.size() < size)) {
      return Damaged(error, SHORT_CHAIN);
    }
    out.append(data.substr(0, wanted));
    sector = fat_[sector];
  }
  return true;
}

bool CompoundFile::ReadMiniChain(std::uint32_t start, std::uint64_t size, std::string& out,
                                 std::string& error) const {
  out.clear();
  out.reserve(static_cast<std::size_t>(size));
  const std::size_t miniSectors = miniStream_.size() / MINI_SECTOR_SIZE;
  std::vector<std::uint8_t> seen(miniFat_.size() / 8 + 1, 0);
  std::uint32_t sector = start;
  while (out.size() < size) {
    if (sector == END_OF_CHAIN) return Damaged(error, SHORT_CHAIN);
    if (sector >= miniFat_.size()) return Damaged(error, PAST_END);
    if (sector >= miniSectors) return Damaged(error, "a small stream lies beyond the end of the mini stream");
    if (SeenBefore(seen, sector)) return Damaged(error, LOOP);
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(MINI_SECTOR_SIZE, size - out.size()));
    out.append(miniStream_, static_cast<std::size_t>(sector) * MINI_SECTOR_SIZE, wanted);
    sector = miniFat_[sector];
  }
  return true;
}

bool CompoundFile::ReadDirectory(std::string& error) {
  std::string directory;
  if (!ReadChain(firstDirectorySector_, 0, true, directory, error)) return false;
  ByteCursor in(directory);
  const std::size_t count = directory.size() / DirectoryEntryLayout::SIZE;
  if (count == 0) return Damaged(error, "it has no directory");
  entries_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const DirectoryEntryLayout raw = DirectoryEntryLayout::Read(in.Child(DirectoryEntryLayout::SIZE));
    Entry& entry = entries_[i];
    entry.type = raw.type;
    if (entry.type != TYPE_STORAGE && entry.type != TYPE_STREAM && entry.type != TYPE_ROOT) {
      entry.type = 0;
      continue;
    }
    if (raw.nameBytes > 64 || raw.nameBytes % 2 != 0) return Damaged(error, "a directory entry's name is damaged");
    for (std::size_t k = 0; k < raw.nameBytes / 2u; ++k) {
      if (raw.name[k] == 0) break;
      entry.name.push_back(raw.name[k]);
    }
    entry.left = raw.left;
    entry.right = raw.right;
    entry.child = raw.child;
    entry.start = raw.start;
    // Version 3 files may leave garbage in the size's high half.
    entry.size = majorVersion_ == 3 ? raw.sizeLow : (std::uint64_t{raw.sizeHigh} << 32 | raw.sizeLow);
  }
  if (entries_[0].type != TYPE_ROOT) return Damaged(error, "its directory has no root entry");

  // The mini stream and its allocation table, for the streams below the cutoff.
  const Entry& root = entries_[0];
  if (root.size > bytes_.size()) return Damaged(error, "the mini stream lies beyond the end of the file");
  if (root.size > 0) {
    if (!ReadChain(root.start, root.size, false, miniStream_, error)) return false;
  }
  if (firstMiniFatSector_ != END_OF_CHAIN && miniFatSectorCount_ != 0) {
    std::string table;
    if (!ReadChain(firstMiniFatSector_, 0, true, table, error)) return false;
    ByteCursor entries(table);
    miniFat_.resize(table.size() / 4);
    for (std::uint32_t& next : miniFat_) next = entries.U32();
  }
  return true;
}

bool CompoundFile::LinkChildren(std::string& error) {
  // Every entry belongs to one storage's tree; reaching one twice means the links loop or
  // two trees share a node.
  std::vector<std::uint8_t> seen(entries_.size() / 8 + 1, 0);
  SeenBefore(seen, 0);
  std::vector<EntryId> storages{0};
  std::vector<EntryId> stack;
  while (!storages.empty()) {
    const EntryId storage = storages.back();
    storages.pop_back();
    stack.assign(1, entries_[storage].child);
    while (!stack.empty()) {
      const EntryId id = stack.back();
      stack.pop_back();
      if (id == NO_ENTRY) continue;
      if (id >= entries_.size()) return Damaged(error, "the directory refers to an entry that does not exist");
      if (SeenBefore(seen, id)) return Damaged(error, "the directory's links run in a loop");
      const Entry& entry = entries_[id];
      stack.push_back(entry.left);
      stack.push_back(entry.right);
      if (entry.type == TYPE_STORAGE || entry.type == TYPE_STREAM) entries_[storage].children.push_back(id);
      if (entry.type == TYPE_STORAGE) storages.push_back(id);
    }
  }
  return true;
}

EntryId CompoundFile::Child(EntryId storage, std::string_view name) const {
  if (!IsStorage(storage)) return NO_ENTRY;
  for (const EntryId id : entries_[storage].children) {
    const std::u16string& candidate = entries_[id].name;
    if (candidate.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      same = UpperAscii(candidate[i]) == UpperAscii(static_cast<char16_t>(static_cast<unsigned char>(name[i])));
    }
    if (same) return id;
  }
  return NO_ENTRY;
}

EntryId CompoundFile::Find(std::string_view path) const {
  EntryId entry = Root();
  while (entry != NO_ENTRY && !path.empty()) {
    const std::size_t slash = path.find('/');
    entry = Child(entry, path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return entry;
}

bool CompoundFile::IsStream(EntryId entry) const {
  return entry < entries_.size() && entries_[entry].type == TYPE_STREAM;
}

bool CompoundFile::IsStorage(EntryId entry) const {
  return entry < entries_.size() && (entries_[entry].type == TYPE_STORAGE || entries_[entry].type == TYPE_ROOT);
}

std::uint64_t CompoundFile::StreamSize(EntryId entry) const {
  return IsStream(entry) ? entries_[entry].size : 0;
}

bool CompoundFile::ReadStream(EntryId entry, std::string& out, std::string& error) {
  out.clear();
  if (!IsStream(entry)) return Damaged(error, "a stream the plan needs is missing");
  const Entry& stream = entries_[entry];
  if (stream.size > bytes_.size()) return Damaged(error, "a stream is larger than the file");
  if (stream.size > budget_) return Damaged(error, "its streams claim more data than the file holds");
  budget_ -= stream.size;
  if (stream.size == 0) return true;
  if (stream.size < MINI_STREAM_CUTOFF) {
    if (stream.size > miniStream_.size()) return Damaged(error, "a small stream lies beyond the end of the mini stream");
    return ReadMiniChain(stream.start, stream.size, out, error);
  }
  return ReadChain(stream.start, stream.size, false, out, error);
}

}  // namespace nerin::mpp
