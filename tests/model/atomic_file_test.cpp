// SPDX-License-Identifier: MIT
// Files written whole or not at all: the target keeps its old content on every failure, no
// temporary file is left behind, and a device is written in place, never replaced.
#include "model/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace nerin {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class AtomicFileTest : public ::testing::Test {
 protected:
  AtomicFileTest() {
    dir_ = fs::temp_directory_path() / ("nerin-atomic-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~AtomicFileTest() override { fs::remove_all(dir_); }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(AtomicFileTest, WritesNewAndReplacesOldFilesWhole) {
  const fs::path path = dir_ / "dump.txt";
  ASSERT_TRUE(WriteFileAtomically(path.string(), "first"));
  EXPECT_EQ(Read(path), "first");
  ::chmod(path.c_str(), 0600);
  ASSERT_TRUE(WriteFileAtomically(path.string(), "second, longer"));
  EXPECT_EQ(Read(path), "second, longer");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "a replaced file keeps its mode";
  EXPECT_EQ(Entries(), 1u) << "no temporary file is left";
}

TEST_F(AtomicFileTest, FailuresLeaveTheTargetAsItWas) {
  const fs::path path = dir_ / "kept.txt";
  ASSERT_TRUE(WriteFileAtomically(path.string(), "old"));
  {
    AtomicFile file(path.string());
    ASSERT_NE(file.Stream(), nullptr);
    std::fputs("half", file.Stream());
    // No Commit: the export failed half way.
  }
  EXPECT_EQ(Read(path), "old");
  EXPECT_EQ(Entries(), 1u);
  const struct {
    std::string path;
  } refused[] = {{(dir_ / "no-such-folder" / "x.txt").string()}, {""}, {dir_.string() + "/"}};
  for (const auto& row : refused) {
    EXPECT_FALSE(WriteFileAtomically(row.path, "x")) << row.path;
  }
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileTest, ThroughALinkTheLinkStays) {
  const fs::path target = dir_ / "real.txt";
  const fs::path link = dir_ / "link.txt";
  ASSERT_TRUE(WriteFileAtomically(target.string(), "old"));
  fs::create_symlink(target, link);
  ASSERT_TRUE(WriteFileAtomically(link.string(), "new"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target), "new");
}

TEST_F(AtomicFileTest, ADeviceIsWrittenInPlaceNeverReplaced) {
  if (!fs::exists("/dev/full") || !fs::exists("/dev/null")) GTEST_SKIP() << "no devices here";
  EXPECT_FALSE(WriteFileAtomically("/dev/full", std::string(100000, 'x'))) << "a full disk is no success";
  EXPECT_TRUE(WriteFileAtomically("/dev/null", "gone"));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

}  // namespace
}  // namespace nerin
