// SPDX-License-Identifier: MIT
// A read-only compound file: the little file system of sectors, allocation tables and a
// directory of storages and streams that the product's binary plan files are kept in.
// Every sector number, chain, size and directory link is checked against the file before it
// is followed, so a damaged or hostile file ends in a sentence, never in a crash, a hang or
// an allocation larger than a few times the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nerin::mpp {

inline constexpr std::string_view COMPOUND_FILE_SIGNATURE{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8};

// True when the bytes start with the compound-file signature.
bool HasCompoundFileSignature(std::string_view bytes);

using EntryId = std::uint32_t;
inline constexpr EntryId NO_ENTRY = 0xFFFFFFFFu;

class CompoundFile {
 public:
  // Reads the header, the allocation tables and the directory of `bytes`, which must outlive
  // this object. False with `error` set (one sentence, ending in a full stop) when the file is
  // no compound file or its structure is damaged.
  bool Open(std::string_view bytes, std::string& error);

  EntryId Root() const { return entries_.empty() ? NO_ENTRY : 0; }
  // The child of the storage with this name, compared without regard to ASCII letter case;
  // NO_ENTRY when there is none. `name` is Latin-1 (every name the plan files use is).
  EntryId Child(EntryId storage, std::string_view name) const;
  // Follows `path`, names separated by '/', from the root.
  EntryId Find(std::string_view path) const;
  bool IsStream(EntryId entry) const;
  bool IsStorage(EntryId entry) const;
  std::uint64_t StreamSize(EntryId entry) const;

  // Reads the stream whole into `out`. False with `error` set when its chain is damaged.
  // All reads of one file together are held to a budget of a few times the file's size, so
  // streams that share sectors cannot make the reader allocate without end.
  bool ReadStream(EntryId entry, std::string& out, std::string& error);

  std::size_t EntryCount() const { return entries_.size(); }

 private:
  struct Entry {
    std::u16string name;
    std::uint8_t type = 0;  // 0 unused, 1 storage, 2 stream, 5 root
    EntryId left = NO_ENTRY;
    EntryId right = NO_ENTRY;
    EntryId child = NO_ENTRY;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
    // The entry's siblings and itself as found by walking its storage's tree: filled for the
    // storages only, each list holding the ids of their children.
    std::vector<EntryId> children;
  };

  bool ReadHeader(std::string& error);
  bool ReadFat(std::string& error);
  bool ReadDirectory(std::string& error);
  bool LinkChildren(std::string& error);
  bool ReadChain(std::uint32_t start, std::uint64_t size, bool wholeChain, std::string& out,
                 std::string& error) const;
  bool ReadMiniChain(std::uint32_t start, std::uint64_t size, std::string& out, std::string& error) const;
  std::string_view Sector(std::uint32_t sector) const;

  std::string_view bytes_;
  std::uint32_t majorVersion_ = 0;
  std::uint32_t sectorShift_ = 9;
  std::uint32_t sectorSize_ = 512;
  std::uint64_t sectorCount_ = 0;
  std::uint32_t fatSectorCount_ = 0;
  std::uint32_t firstDirectorySector_ = 0;
  std::uint32_t firstMiniFatSector_ = 0;
  std::uint32_t miniFatSectorCount_ = 0;
  std::uint32_t firstDifatSector_ = 0;
  std::uint32_t difatSectorCount_ = 0;
  std::array<std::uint32_t, 109> headerDifat_{};
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> miniFat_;
  std::string miniStream_;
  std::vector<Entry> entries_;
  std::uint64_t budget_ = 0;
};

}  // namespace nerin::mpp
