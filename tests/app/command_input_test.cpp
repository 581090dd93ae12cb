// SPDX-License-Identifier: MIT
// Program parameters, dropped files and the choice of icon set.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "app/command_input.h"
#include "sources/plan_source.h"
#include "app/toolbar_icon_set.h"

namespace nerin {
namespace {

struct JoinCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string joined;
  std::string source;  // what the command line opens
};

// ctest lists each case by this name.
void PrintTo(const JoinCase& c, std::ostream* out) {
  *out << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(CommandLineTest, JoinsWithLineFeedsAndNamesTheSource) {
  const JoinCase& c = GetParam();
  EXPECT_EQ(JoinArguments(c.arguments), c.joined);
  EXPECT_EQ(CommandLineSource(JoinArguments(c.arguments)), c.source);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(
        JoinCase{"NoArguments", {}, "", ""}, JoinCase{"OnePath", {"plan.xml"}, "plan.xml", "plan.xml"},
        JoinCase{"TwoPathsFirstWins", {"first.xml", "second.xml"}, "first.xml\nsecond.xml", "first.xml"},
        JoinCase{"SwitchThenPath", {"/o", "plan.xml"}, "/o\nplan.xml", "plan.xml"},
        JoinCase{"EmptyThenPath", {"", "plan.xml"}, "\nplan.xml", "plan.xml"},
        JoinCase{"PathWithSpaces",
                 {"/home/ana/My Plans/plan.xml"},
                 "/home/ana/My Plans/plan.xml",
                 "/home/ana/My Plans/plan.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DropCase {
  const char* name;
  std::vector<std::string> paths;
  bool opens;
  std::string opened;
};

// ctest lists each case by this name.
void PrintTo(const DropCase& c, std::ostream* out) {
  *out << c.name;
}

class DroppedFilesTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(DroppedFilesTest, OnlyTheFirstXmlFileOpens) {
  const DropCase& c = GetParam();
  const std::string path = FirstDroppedPath(c.paths);
  EXPECT_EQ(IsPlanFileName(path), c.opens) << path;
  if (c.opens) {
    EXPECT_EQ(path, c.opened);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DroppedFilesTest,
    ::testing::Values(DropCase{"Lower", {"/tmp/plan.xml"}, true, "/tmp/plan.xml"},
                      DropCase{"Capitals", {"/tmp/PLAN.XML"}, true, "/tmp/PLAN.XML"},
                      DropCase{"Mixed", {"/tmp/plan.XmL"}, true, "/tmp/plan.XmL"},
                      DropCase{"TwoFilesFirstWins", {"/tmp/a.xml", "/tmp/b.xml"}, true, "/tmp/a.xml"},
                      DropCase{"FirstIsNotXml", {"/tmp/a.txt", "/tmp/b.xml"}, false, ""},
                      DropCase{"Text", {"/tmp/notes.txt"}, false, ""},
                      DropCase{"NoExtension", {"/tmp/xml"}, false, ""},
                      DropCase{"DotInFolderOnly", {"/tmp/plans.xml/readme"}, false, ""},
                      DropCase{"XmlInsideName", {"/tmp/plan.xml.bak"}, false, ""},
                      DropCase{"TrailingDot", {"/tmp/plan."}, false, ""},
                      DropCase{"HiddenXml", {"/home/ana/.xml"}, true, "/home/ana/.xml"},
                      DropCase{"BinaryPlan", {"/tmp/plan.mpp"}, true, "/tmp/plan.mpp"},
                      DropCase{"BinaryPlanCapitals", {"/tmp/PLAN.MPP"}, true, "/tmp/PLAN.MPP"},
                      DropCase{"BinaryPlanInsideName", {"/tmp/plan.mpp.bak"}, false, ""},
                      DropCase{"Empty", {}, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// What each way in hands the session: the source, the name it is shown by, its folder.
TEST(OpenSourceForTest, NamesTheSourceAndRefusesDroppedFilesThatAreNoPlans) {
  const std::string here = std::filesystem::current_path().string();
  const struct {
    const char* source;
    OpenOrigin origin;
    std::string opened, name, folder;
    bool address, supported;
  } rows[] = {
      {"/plans/a/../b/plan.xml", OpenOrigin::Dialog, "/plans/b/plan.xml", "plan.xml", "/plans/b", false, true},
      {"relative.xml", OpenOrigin::CommandLine, here + "/relative.xml", "relative.xml", here, false, true},
      {"/tmp/PLAN.XML", OpenOrigin::Drop, "/tmp/PLAN.XML", "PLAN.XML", "/tmp", false, true},
      {"/tmp/notes.txt", OpenOrigin::Drop, "/tmp/notes.txt", "notes.txt", "/tmp", false, false},
      // Only a drop is judged by its name: a plan saved under another name opens otherwise.
      {"/tmp/plan.export", OpenOrigin::Recent, "/tmp/plan.export", "plan.export", "/tmp", false, true},
      {"https://example.org/p/week%2012.xml?v=2", OpenOrigin::Dialog, "https://example.org/p/week%2012.xml?v=2",
       AddressDisplayName("https://example.org/p/week%2012.xml?v=2"), "", true, true},
      {"https://example.org/ref.xml", OpenOrigin::Reference, "https://example.org/ref.xml", "ref.xml", "", true, true},
      {"", OpenOrigin::Dialog, "", "", "", false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    const OpenSourceEvent e = OpenSourceFor(row.source, row.origin);
    EXPECT_EQ(std::tie(e.Source, e.Name, e.Folder, e.Address, e.Supported, e.Origin),
              std::tie(row.opened, row.name, row.folder, row.address, row.supported, row.origin));
  }
}

TEST(ToolbarIconSetTest, LargePicturesFromScale135) {
  EXPECT_FALSE(UseLargeToolbarIcons(1.0));
  EXPECT_FALSE(UseLargeToolbarIcons(1.34));
  EXPECT_TRUE(UseLargeToolbarIcons(1.35));
  EXPECT_TRUE(UseLargeToolbarIcons(2.0));
}

}  // namespace
}  // namespace nerin
