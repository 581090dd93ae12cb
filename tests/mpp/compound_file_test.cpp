// SPDX-License-Identifier: MIT
// The compound-file container: what it reads from sound files, and the sentence it ends with
// on damaged ones, made in memory.
#include "mpp/compound_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "mpp_test_support.h"

namespace nerin::mpp {
namespace {

using mpp_test::MadeEntry;
using mpp_test::MadeFile;
using mpp_test::MakeCompoundFile;
using mpp_test::PutU32;

std::string Pattern(std::size_t size, char seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(seed + i * 7 + i / 251);
  return data;
}

std::vector<MadeEntry> SomeEntries() {
  return {
      {"   114", true, ""},
      {"   114/Props", false, Pattern(5000, 'a')},
      {"   114/TBkndTask", true, ""},
      {"   114/TBkndTask/FixedMeta", false, Pattern(100, 'b')},
      {"   114/TBkndTask/FixedData", false, Pattern(4095, 'c')},
      {"   114/TBkndTask/VarMeta", false, Pattern(4096, 'd')},
      {"\x01" "CompObj", false, Pattern(64, 'e')},
      {"Empty", false, ""},
  };
}

// Opens the file and reads every stream of the made entries; the first error, or "".
std::string FirstError(const std::string& bytes, const std::vector<MadeEntry>& entries) {
  CompoundFile file;
  std::string error;
  if (!file.Open(bytes, error)) return error;
  for (const MadeEntry& entry : entries) {
    if (entry.storage) continue;
    std::string data;
    if (!file.ReadStream(file.Find(entry.path), data, error)) return error;
  }
  return "";
}

TEST(CompoundFile, ReadsEveryStreamOfBothVersions) {
  for (const std::uint32_t version : {3u, 4u}) {
    SCOPED_TRACE(version);
    const std::vector<MadeEntry> entries = SomeEntries();
    const MadeFile made = MakeCompoundFile(entries, version);
    CompoundFile file;
    std::string error;
    ASSERT_TRUE(file.Open(made.bytes, error)) << error;
    for (const MadeEntry& entry : entries) {
      const EntryId id = file.Find(entry.path);
      ASSERT_NE(id, NO_ENTRY) << entry.path;
      EXPECT_EQ(file.IsStorage(id), entry.storage) << entry.path;
      if (entry.storage) continue;
      std::string data;
      ASSERT_TRUE(file.ReadStream(id, data, error)) << entry.path << ": " << error;
      EXPECT_EQ(data, entry.data) << entry.path;
    }
  }
}

TEST(CompoundFile, ReadsAllocationSectorsListedInDifatSectors) {
  // 110 allocation sectors: the 110th is named by a DIFAT sector, not by the header.
  const std::vector<MadeEntry> entries = {{"Big", false, Pattern(110 * 128 * 512 - 20 * 512, 'x')},
                                          {"Small", false, Pattern(300, 'y')}};
  const MadeFile made = MakeCompoundFile(entries);
  ASSERT_GT(mpp_test::GetU32(made.bytes, 44), 109u);
  EXPECT_EQ(FirstError(made.bytes, entries), "");
  CompoundFile file;
  std::string error;
  std::string data;
  ASSERT_TRUE(file.Open(made.bytes, error)) << error;
  ASSERT_TRUE(file.ReadStream(file.Find("Big"), data, error)) << error;
  EXPECT_EQ(data, entries[0].data);
}

TEST(CompoundFile, FindsNamesWithoutRegardToLetterCase) {
  const MadeFile made = MakeCompoundFile(SomeEntries());
  CompoundFile file;
  std::string error;
  ASSERT_TRUE(file.Open(made.bytes, error)) << error;
  EXPECT_EQ(file.Find("   114/tbkndtask/FIXEDDATA"), file.Find("   114/TBkndTask/FixedData"));
  EXPECT_NE(file.Find("   114/TBkndTask/FixedData"), NO_ENTRY);
  EXPECT_EQ(file.Find("   114/TBkndTask/Missing"), NO_ENTRY);
  EXPECT_EQ(file.Find("   114/Props/Below"), NO_ENTRY);  // a stream has no children
  EXPECT_EQ(file.Find("   112"), NO_ENTRY);
}

TEST(CompoundFile, DamagedFilesEndInOneSentence) {
  using Edit = std::function<void(MadeFile&)>;
  const auto Entry = [](const MadeFile& made, const std::string& path) { return made.EntryOffset(made.entryId.at(path)); };
  struct Case {
    const char* name;
    Edit edit;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"a directory cycle",
       [&](MadeFile& m) { PutU32(m.bytes, Entry(m, "   114/TBkndTask/VarMeta") + 72, m.entryId.at("   114/TBkndTask/FixedMeta")); },
       "the directory's links run in a loop"},
      {"a storage that is its own child",
       [&](MadeFile& m) { PutU32(m.bytes, Entry(m, "   114/TBkndTask") + 76, m.entryId.at("   114/TBkndTask")); },
       "the directory's links run in a loop"},
      {"a directory link past the entries",
       [&](MadeFile& m) { PutU32(m.bytes, Entry(m, "   114") + 72, 100000); },
       "the directory refers to an entry that does not exist"},
      {"a FAT cycle",
       [&](MadeFile& m) {
         const std::uint32_t first = m.firstSector.at("   114/Props");
         PutU32(m.bytes, m.FatEntryOffset(first + 1), first);
       },
       "a chain of sectors runs in a loop"},
      {"a sector index past the end",
       [&](MadeFile& m) { PutU32(m.bytes, m.FatEntryOffset(m.firstSector.at("   114/Props")), 0x00FFFFFF); },
       "a sector number points past the end of the file"},
      {"a stream size of 2^32 - 1",
       [&](MadeFile& m) { PutU32(m.bytes, Entry(m, "   114/Props") + 120, 0xFFFFFFFFu); },
       "a stream is larger than the file"},
      {"a chain shorter than its stream",
       [&](MadeFile& m) { PutU32(m.bytes, m.FatEntryOffset(m.firstSector.at("   114/Props")), mpp_test::END_OF_CHAIN); },
       "a stream is shorter than its declared size"},
      {"a mini stream larger than the file",
       [&](MadeFile& m) { PutU32(m.bytes, m.EntryOffset(0) + 120, static_cast<std::uint32_t>(m.bytes.size() + 64)); },
       "the mini stream lies beyond the end of the file"},
      {"a mini stream that starts past the end",
       [&](MadeFile& m) { PutU32(m.bytes, m.EntryOffset(0) + 116, 0x00FFFFFF); },
       "a sector number points past the end of the file"},
      {"a small stream past the mini stream",
       [&](MadeFile& m) { PutU32(m.bytes, Entry(m, "   114/TBkndTask/FixedMeta") + 116, 5000); },
       "a sector number points past the end of the file"},
      {"a file cut short",
       [](MadeFile& m) { m.bytes.resize(m.bytes.size() - 512); },
       "the file ends before its last sector"},
      {"a header with the wrong byte order",
       [](MadeFile& m) { mpp_test::PutU16(m.bytes, 28, 0xFEFF); },
       "header is invalid (byte order)"},
      {"version 3 with 4096-byte sectors",
       [](MadeFile& m) { mpp_test::PutU16(m.bytes, 30, 12); },
       "header is invalid (version 3 with sector shift 12)"},
      {"a mini stream cutoff of 0",
       [](MadeFile& m) { PutU32(m.bytes, 56, 0); },
       "header is invalid (mini stream cutoff)"},
      {"more allocation sectors than the file has",
       [](MadeFile& m) { PutU32(m.bytes, 44, 100000); },
       "its allocation table is larger than the file"},
      {"a damaged entry name", [&](MadeFile& m) { mpp_test::PutU16(m.bytes, Entry(m, "Empty") + 64, 65); },
       "a directory entry's name is damaged"},
      {"only the header", [](MadeFile& m) { m.bytes.resize(300); }, "too short to be a compound file"},
      {"not a compound file", [](MadeFile& m) { m.bytes[0] = '<'; }, "not a compound file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<MadeEntry> entries = SomeEntries();
    MadeFile made = MakeCompoundFile(entries);
    ASSERT_EQ(FirstError(made.bytes, entries), "");
    c.edit(made);
    const std::string error = FirstError(made.bytes, entries);
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    EXPECT_EQ(error.back(), '.') << error;
  }
}

TEST(CompoundFile, DifatChainThatLoopsIsRefused) {
  // More allocation sectors than the header's 109 places: the rest are listed in DIFAT
  // sectors, here one that names itself as the next.
  std::vector<MadeEntry> entries = {{"Big", false, std::string(240 * 512, '\0')}};
  MadeFile made = MakeCompoundFile(entries);
  const std::uint32_t difat = made.firstSector.at("Big");
  PutU32(made.bytes, 44, 240);
  PutU32(made.bytes, 68, difat);
  PutU32(made.bytes, 72, 2);
  PutU32(made.bytes, made.SectorOffset(difat) + 508, difat);
  const std::string error = FirstError(made.bytes, entries);
  EXPECT_NE(error.find("a chain of sectors runs in a loop"), std::string::npos) << error;
}

TEST(CompoundFile, SignatureDecidesAlone) {
  EXPECT_TRUE(HasCompoundFileSignature(COMPOUND_FILE_SIGNATURE));
  EXPECT_TRUE(HasCompoundFileSignature(std::string(COMPOUND_FILE_SIGNATURE) + "rest"));
  EXPECT_FALSE(HasCompoundFileSignature(COMPOUND_FILE_SIGNATURE.substr(0, 7)));
  EXPECT_FALSE(HasCompoundFileSignature("<?xml version=\"1.0\"?>"));
  EXPECT_FALSE(HasCompoundFileSignature(""));
}

}  // namespace
}  // namespace nerin::mpp
