#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loaded_plan.h"

namespace nerin {
namespace {

using test::ProcessResult;
using test::ReferenceDump;
using test::TempDir;

const std::string CLI = NERIN_BIN_DIR "/nerin-cli";

ProcessResult Cli(const std::vector<std::string>& arguments, const TempDir& scratch) {
  return test::RunProgram(CLI, arguments, scratch);
}

TEST(Cli, ExitStatus) {
  TempDir dir;
  const std::string plan = test::SmallPlanPath();
  const std::string missing = dir.File("missing.xml");
  struct Row {
    std::vector<std::string> arguments;
    int status;
    bool usageOnStderr;
  };
  const std::vector<Row> rows = {
      {{"dump", plan}, 0, false},
      {{"dump", "--", plan}, 0, false},
      {{"report", plan}, 0, false},
      {{"dump", missing}, 1, false},
      {{"report", missing}, 1, false},
      {{"dump", dir.path()}, 1, false},
      {{}, 2, true},
      {{"dump"}, 2, true},
      {{"dump", "   "}, 2, true},
      {{"dump", plan, "-o"}, 2, true},
      {{"dump", plan, plan}, 2, true},
      {{"dump", "--verbose", plan}, 2, true},
      {{"report", plan, "-o", dir.File("r.txt")}, 2, true},
      {{"print", plan}, 2, true},
      {{"--help"}, 0, false},
      {{"-h"}, 0, false},
      {{"dump", "--help"}, 0, false},
  };
  for (const Row& row : rows) {
    std::string shown;
    for (const std::string& argument : row.arguments) shown += " [" + argument + "]";
    const ProcessResult result = Cli(row.arguments, dir);
    EXPECT_EQ(result.status, row.status) << shown << "\n" << result.err;
    EXPECT_EQ(result.err.find("Usage:") != std::string::npos, row.usageOnStderr) << shown;
    if (row.arguments.empty() || row.arguments.back() != "--help") continue;
    EXPECT_NE(result.out.find("nerin-cli dump SOURCE [-o FILE]"), std::string::npos) << shown;
  }
}

TEST(Cli, DumpOfAnUnloadedSourceListsTheMessages) {
  TempDir dir;
  const ProcessResult result = Cli({"dump", dir.File("missing.xml")}, dir);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "NERIN-VIEWER-DUMP v1\r\nLOADED 0\r\nI 3 File does not exist or cannot be read.\r\n");
}

TEST(Cli, DumpToAFileWritesCrLfWithoutMark) {
  TempDir dir;
  const std::string target = dir.File("out.dump.txt");
  test::WriteWholeFile(target, "an older, longer file that must be replaced completely\n");
  const ProcessResult result = Cli({"dump", "-o", target, test::SmallPlanPath()}, dir);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  const std::string bytes = test::ReadWholeFile(target);
  EXPECT_EQ(bytes, ReferenceDump());
  EXPECT_TRUE(bytes.starts_with("NERIN-VIEWER-DUMP v1\r\nLOADED 1\r\n"));
  EXPECT_TRUE(bytes.ends_with("\r\n"));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
    }
  }
}

TEST(Cli, UnwritableOutputIsReported) {
  TempDir dir;
  const ProcessResult result =
      Cli({"dump", test::SmallPlanPath(), "-o", dir.File("no/such/dir/out.txt")}, dir);
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.err.find("could not be written"), std::string::npos);
}

TEST(Cli, ReportShowsTheLoadReportThenTheMessages) {
  TempDir dir;
  test::Loaded loaded;
  ASSERT_TRUE(ReadFileSource(*loaded.plan, loaded.log, test::SmallPlanPath()));
  const ProcessResult result = Cli({"report", test::SmallPlanPath()}, dir);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.out.starts_with("small_plan.xml\n3 tasks, 1 resources, 1 assignments\n\nxml   "))
      << result.out;
  EXPECT_TRUE(result.out.ends_with(" ms\n\n" + MessageListText(loaded.log))) << result.out;
  EXPECT_EQ(result.out.find('\r'), std::string::npos);
}

TEST(Cli, ReportOfAnUnreadableSourceIsTheMessages) {
  TempDir dir;
  const ProcessResult result = Cli({"report", dir.File("missing.xml")}, dir);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "ERROR: File does not exist or cannot be read.\n");
}

TEST(Cli, AddressGivesTheSameDumpAsTheFile) {
  TempDir dir;
  test::PlanServer server;
  ASSERT_NE(server.port(), 0);
  const ProcessResult fromFile = Cli({"dump", test::SmallPlanPath()}, dir);
  const ProcessResult fromAddress = Cli({"dump", server.Url("/gzip/plan.xml?copy=1")}, dir);
  EXPECT_EQ(fromAddress.status, 0) << fromAddress.err;
  EXPECT_EQ(fromAddress.out, fromFile.out);
  const ProcessResult missing = Cli({"dump", server.Url("/missing.xml")}, dir);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "NERIN-VIEWER-DUMP v1\r\nLOADED 0\r\nI 3 Root element is not Project.\r\n");
}

}  // namespace
}  // namespace nerin
