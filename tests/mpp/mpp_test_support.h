// SPDX-License-Identifier: MIT
// Shared by the binary plan tests: the sample pairs (read from the shared folder beside the
// project, never copied into it), small compound files made in memory, and edits of a
// sample's container at known places.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/message_log.h"
#include "model/model_dump.h"
#include "model/plan.h"

namespace nerin::mpp_test {

inline std::filesystem::path PairsDir() {
  return std::filesystem::path(NERIN_SHARED_DIR) / "mpp" / "pairs";
}

inline bool HaveSamples() {
  return std::filesystem::is_regular_file(PairsDir() / "INDEX.tsv");
}

#define NERIN_SKIP_WITHOUT_SAMPLES()                                                                  \
  do {                                                                                                \
    if (!::nerin::mpp_test::HaveSamples()) {                                                          \
      GTEST_SKIP() << "The sample pairs are not there (" << ::nerin::mpp_test::PairsDir().string()     \
                   << "); CI always has them.";                                                       \
    }                                                                                                 \
  } while (false)

inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Sample(std::string_view name) {
  return FileBytes(PairsDir() / std::string(name));
}

inline std::uint32_t GetU32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

inline void PutU16(std::string& bytes, std::size_t offset, std::uint32_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline constexpr std::uint32_t END_OF_CHAIN = 0xFFFFFFFEu;
inline constexpr std::uint32_t FREE = 0xFFFFFFFFu;

// One storage or stream of a compound file made for a test; `path` names its storages with
// '/' ("   114/TBkndTask/FixedMeta").
struct MadeEntry {
  std::string path;
  bool storage = false;
  std::string data;
};

// A compound file laid out plainly: the allocation table first, then the directory (its
// entries in the order given, after the root), the mini table, the mini stream and the large
// streams, each in consecutive sectors.
struct MadeFile {
  std::string bytes;
  std::uint32_t sectorSize = 512;
  std::map<std::string, std::uint32_t> entryId;      // path -> directory entry id
  std::map<std::string, std::uint32_t> firstSector;  // path -> first (mini) sector
  std::uint32_t directorySector = 0;

  std::size_t SectorOffset(std::uint32_t sector) const { return (static_cast<std::size_t>(sector) + 1) * sectorSize; }
  // The allocation table is one run of sectors from sector 0.
  std::size_t FatEntryOffset(std::uint32_t sector) const { return SectorOffset(0) + 4 * std::size_t{sector}; }
  std::size_t EntryOffset(std::uint32_t id) const { return SectorOffset(directorySector) + 128 * std::size_t{id}; }
};

inline MadeFile MakeCompoundFile(const std::vector<MadeEntry>& entries, std::uint32_t majorVersion = 3) {
  MadeFile made;
  const std::uint32_t shift = majorVersion == 4 ? 12 : 9;
  made.sectorSize = 1u << shift;
  const std::uint32_t size = made.sectorSize;
  const std::uint32_t perSector = size / 4;
  const auto SectorsFor = [size](std::size_t bytes) { return static_cast<std::uint32_t>((bytes + size - 1) / size); };

  std::string miniStream;
  std::vector<std::uint32_t> miniFat;
  std::map<std::string, std::uint32_t> miniStart;
  for (const MadeEntry& entry : entries) {
    if (entry.storage || entry.data.empty() || entry.data.size() >= 4096) continue;
    const auto first = static_cast<std::uint32_t>(miniStream.size() / 64);
    const auto count = static_cast<std::uint32_t>((entry.data.size() + 63) / 64);
    for (std::uint32_t i = 0; i < count; ++i) miniFat.push_back(i + 1 < count ? first + i + 1 : END_OF_CHAIN);
    miniStart[entry.path] = first;
    miniStream += entry.data;
    miniStream.resize(static_cast<std::size_t>(first + count) * 64, '\0');
  }
  const std::uint32_t directorySectors = SectorsFor((entries.size() + 1) * 128);
  const std::uint32_t miniFatSectors = SectorsFor(miniFat.size() * 4);
  const std::uint32_t miniStreamSectors = SectorsFor(miniStream.size());
  std::uint32_t largeSectors = 0;
  for (const MadeEntry& entry : entries) {
    if (!entry.storage && entry.data.size() >= 4096) largeSectors += SectorsFor(entry.data.size());
  }
  // Past 109 allocation sectors the header's list goes on in DIFAT sectors.
  const auto DifatFor = [perSector](std::uint32_t fat) { return fat <= 109 ? 0u : (fat - 109 + perSector - 2) / (perSector - 1); };
  std::uint32_t fatSectors = 1;
  while (fatSectors * perSector <
         fatSectors + DifatFor(fatSectors) + directorySectors + miniFatSectors + miniStreamSectors + largeSectors) {
    ++fatSectors;
  }
  const std::uint32_t difatSectors = DifatFor(fatSectors);
  std::vector<std::uint32_t> fat(static_cast<std::size_t>(fatSectors) * perSector, FREE);
  std::uint32_t next = 0;
  const auto Chain = [&fat, &next](std::uint32_t count) {
    const std::uint32_t first = next;
    for (std::uint32_t i = 0; i < count; ++i) fat[first + i] = i + 1 < count ? first + i + 1 : END_OF_CHAIN;
    next += count;
    return first;
  };
  for (std::uint32_t i = 0; i < fatSectors; ++i) fat[next++] = 0xFFFFFFFDu;
  const std::uint32_t firstDifat = next;
  for (std::uint32_t i = 0; i < difatSectors; ++i) fat[next++] = 0xFFFFFFFCu;
  made.directorySector = Chain(directorySectors);
  const std::uint32_t miniFatStart = miniFatSectors > 0 ? Chain(miniFatSectors) : END_OF_CHAIN;
  const std::uint32_t miniStreamStart = miniStreamSectors > 0 ? Chain(miniStreamSectors) : END_OF_CHAIN;
  std::map<std::string, std::uint32_t> largeStart;
  for (const MadeEntry& entry : entries) {
    if (!entry.storage && entry.data.size() >= 4096) largeStart[entry.path] = Chain(SectorsFor(entry.data.size()));
  }
  const std::uint32_t totalSectors = next;

  made.bytes.assign(static_cast<std::size_t>(totalSectors + 1) * size, '\0');
  std::string& out = made.bytes;
  out.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  PutU16(out, 24, 0x003E);
  PutU16(out, 26, majorVersion);
  PutU16(out, 28, 0xFFFE);
  PutU16(out, 30, shift);
  PutU16(out, 32, 6);
  PutU32(out, 40, majorVersion == 4 ? directorySectors : 0);
  PutU32(out, 44, fatSectors);
  PutU32(out, 48, made.directorySector);
  PutU32(out, 56, 4096);
  PutU32(out, 60, miniFatStart);
  PutU32(out, 64, miniFatSectors);
  PutU32(out, 68, difatSectors > 0 ? firstDifat : END_OF_CHAIN);
  PutU32(out, 72, difatSectors);
  for (std::uint32_t i = 0; i < 109; ++i) PutU32(out, 76 + 4 * std::size_t{i}, i < fatSectors ? i : FREE);
  for (std::uint32_t d = 0; d < difatSectors; ++d) {
    const std::size_t at = made.SectorOffset(firstDifat + d);
    for (std::uint32_t i = 0; i + 1 < perSector; ++i) {
      const std::uint32_t fatIndex = 109 + d * (perSector - 1) + i;
      PutU32(out, at + 4 * std::size_t{i}, fatIndex < fatSectors ? fatIndex : FREE);
    }
    PutU32(out, at + 4 * std::size_t{perSector - 1}, d + 1 < difatSectors ? firstDifat + d + 1 : END_OF_CHAIN);
  }
  for (std::size_t i = 0; i < fat.size(); ++i) PutU32(out, made.SectorOffset(0) + 4 * i, fat[i]);
  for (std::size_t i = 0; i < miniFat.size(); ++i) PutU32(out, made.SectorOffset(miniFatStart) + 4 * i, miniFat[i]);
  if (!miniStream.empty()) out.replace(made.SectorOffset(miniStreamStart), miniStream.size(), miniStream);
  for (const auto& [path, first] : largeStart) {
    for (const MadeEntry& entry : entries) {
      if (entry.path == path) out.replace(made.SectorOffset(first), entry.data.size(), entry.data);
    }
  }

  // Directory: the root, then the entries in order; each storage's children chained through
  // their right siblings.
  std::vector<std::uint32_t> lastChild(entries.size() + 1, FREE);
  made.entryId[""] = 0;
  const auto WriteEntry = [&](std::uint32_t id, std::string_view name, std::uint8_t type, std::uint32_t start,
                              std::uint64_t streamSize) {
    const std::size_t at = made.EntryOffset(id);
    for (std::size_t i = 0; i < name.size() && i < 31; ++i) {
      PutU16(out, at + 2 * i, static_cast<unsigned char>(name[i]));
    }
    PutU16(out, at + 64, static_cast<std::uint32_t>(2 * (std::min<std::size_t>(name.size(), 31) + 1)));
    out[at + 66] = static_cast<char>(type);
    PutU32(out, at + 68, FREE);
    PutU32(out, at + 72, FREE);
    PutU32(out, at + 76, FREE);
    PutU32(out, at + 116, start);
    PutU32(out, at + 120, static_cast<std::uint32_t>(streamSize));
  };
  WriteEntry(0, "Root Entry", 5, miniStreamStart, miniStream.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const MadeEntry& entry = entries[i];
    const auto id = static_cast<std::uint32_t>(i + 1);
    const std::size_t slash = entry.path.rfind('/');
    const std::string parent = slash == std::string::npos ? "" : entry.path.substr(0, slash);
    const std::string name = slash == std::string::npos ? entry.path : entry.path.substr(slash + 1);
    std::uint32_t start = END_OF_CHAIN;
    if (!entry.storage && entry.data.size() >= 4096) start = largeStart[entry.path];
    if (!entry.storage && !entry.data.empty() && entry.data.size() < 4096) start = miniStart[entry.path];
    WriteEntry(id, name, entry.storage ? 1 : 2, entry.storage ? 0 : start, entry.storage ? 0 : entry.data.size());
    made.entryId[entry.path] = id;
    made.firstSector[entry.path] = start;
    const std::uint32_t parentId = made.entryId.at(parent);
    if (lastChild[parentId] == FREE) {
      PutU32(out, made.EntryOffset(parentId) + 76, id);
    } else {
      PutU32(out, made.EntryOffset(lastChild[parentId]) + 72, id);
    }
    lastChild[parentId] = id;
  }
  return made;
}

// A \x01CompObj stream naming the program's document kind and format string.
inline std::string CompObjStream(std::string_view userType, std::string_view format) {
  std::string stream("\x01\x00\xFE\xFF\x03\x0A\x00\x00\xFF\xFF\xFF\xFF", 12);
  stream.append(16, '\0');
  const auto Counted = [&stream](std::string_view text) {
    std::string length(4, '\0');
    PutU32(length, 0, static_cast<std::uint32_t>(text.size() + 1));
    stream += length;
    stream += text;
    stream += '\0';
  };
  Counted(userType);
  Counted(format);
  Counted("MSProject.Project.9");
  stream += std::string("\xF4\x39\xB2\x71", 4);
  stream.append(12, '\0');
  return stream;
}

// A sample's container, read just far enough to find and change its structures in place.
class SampleEditor {
 public:
  explicit SampleEditor(std::string bytes) : bytes_(std::move(bytes)) {
    shift_ = static_cast<unsigned char>(bytes_[30]);
    const std::uint32_t fatSectors = GetU32(bytes_, 44);
    for (std::uint32_t i = 0; i < fatSectors && i < 109; ++i) fatSectors_.push_back(GetU32(bytes_, 76 + 4 * i));
    for (std::uint32_t s = GetU32(bytes_, 48); s != END_OF_CHAIN && directory_.size() < 4096; s = Fat(s)) {
      directory_.push_back(s);
    }
  }
  std::string& Bytes() { return bytes_; }
  std::size_t SectorOffset(std::uint32_t sector) const { return (static_cast<std::size_t>(sector) + 1) << shift_; }
  std::size_t FatEntryOffset(std::uint32_t sector) const {
    const std::uint32_t perSector = (1u << shift_) / 4;
    return SectorOffset(fatSectors_.at(sector / perSector)) + 4 * (sector % perSector);
  }
  std::uint32_t Fat(std::uint32_t sector) const { return GetU32(bytes_, FatEntryOffset(sector)); }
  std::size_t EntryOffset(std::uint32_t id) const {
    const std::uint32_t perSector = (1u << shift_) / 128;
    return SectorOffset(directory_.at(id / perSector)) + 128 * (id % perSector);
  }
  std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(directory_.size() * ((1u << shift_) / 128)); }
  // Where byte `position` of the stream `id` lies in the file.
  std::size_t StreamByteOffset(std::uint32_t id, std::size_t position) const {
    const std::size_t at = EntryOffset(id);
    const std::size_t sectorSize = std::size_t{1} << shift_;
    std::uint32_t sector = GetU32(bytes_, at + 116);
    if (GetU32(bytes_, at + 120) >= 4096) {
      for (std::size_t i = 0; i < position / sectorSize; ++i) sector = Fat(sector);
      return SectorOffset(sector) + position % sectorSize;
    }
    // A small stream: follow the mini table, then find the mini sector in the root's chain.
    std::vector<std::uint32_t> miniTable;
    for (std::uint32_t s = GetU32(bytes_, 60); s != END_OF_CHAIN; s = Fat(s)) miniTable.push_back(s);
    const auto MiniNext = [&](std::uint32_t m) {
      return GetU32(bytes_, SectorOffset(miniTable.at(m / (sectorSize / 4))) + 4 * (m % (sectorSize / 4)));
    };
    for (std::size_t i = 0; i < position / 64; ++i) sector = MiniNext(sector);
    const std::size_t inMini = std::size_t{sector} * 64 + position % 64;
    std::uint32_t rootSector = GetU32(bytes_, EntryOffset(0) + 116);
    for (std::size_t i = 0; i < inMini / sectorSize; ++i) rootSector = Fat(rootSector);
    return SectorOffset(rootSector) + inMini % sectorSize;
  }
  // The first entry with this name (Latin-1), or FREE.
  std::uint32_t FindEntry(std::string_view name) const {
    for (std::uint32_t id = 0; id < EntryCount(); ++id) {
      const std::size_t at = EntryOffset(id);
      if (static_cast<unsigned char>(bytes_[at + 64]) != 2 * (name.size() + 1)) continue;
      bool same = true;
      for (std::size_t i = 0; i < name.size() && same; ++i) {
        same = bytes_[at + 2 * i] == name[i] && bytes_[at + 2 * i + 1] == '\0';
      }
      if (same) return id;
    }
    return FREE;
  }

 private:
  std::string bytes_;
  unsigned shift_ = 9;
  std::vector<std::uint32_t> fatSectors_;
  std::vector<std::uint32_t> directory_;
};

inline std::string DumpOf(const Plan& plan, const MessageLog& log) {
  return ModelDumpText(plan, log, plan.ProjectLoaded);
}

}  // namespace nerin::mpp_test

namespace nerin::mpp_test {

// One line of the samples' INDEX.tsv.
struct IndexRow {
  std::string file;
  std::string generation;  // "MPP14", "MPP8", "-"
  std::string savedBy;     // "14.0 (2010)"
  std::string features;
  std::string twin;  // "-" when none
  std::string expected;
  std::string notes;

  bool HasTwin() const { return twin != "-" && !twin.empty(); }
  bool Refused() const { return features.starts_with("NEGATIVE"); }
  // The twin was exported with the other task mode: its Manual (and, where the note says so,
  // Critical) flags describe another state of the plan.
  bool IgnoreManual() const { return notes.find("ignore Manual") != std::string::npos; }
  bool IgnoreCritical() const { return notes.find("ignore Manual and Critical") != std::string::npos; }
};

inline std::vector<IndexRow> ReadIndex() {
  std::vector<IndexRow> rows;
  std::ifstream in(PairsDir() / "INDEX.tsv");
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
      const std::size_t tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    cells.resize(7);
    rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], cells[6]});
  }
  return rows;
}

// The first number before `word` in the expected-counts text ("16 tasks + 0 null rows; ...").
inline std::optional<long> ExpectedCount(std::string_view expected, std::string_view word) {
  const std::size_t at = expected.find(word);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t end = at;
  while (end > 0 && expected[end - 1] == ' ') --end;
  std::size_t begin = end;
  while (begin > 0 && expected[begin - 1] >= '0' && expected[begin - 1] <= '9') --begin;
  if (begin == end) return std::nullopt;
  return std::stol(std::string(expected.substr(begin, end - begin)));
}

}  // namespace nerin::mpp_test
