// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

// The version the build gives the program, read from the project's own definition.
std::string ProjectVersion() {
  const std::string lists = test::ReadWholeFile(NERIN_SOURCE_DIR "/CMakeLists.txt");
  const std::string key = "project(NerinPlanViewer VERSION ";
  const std::size_t at = lists.find(key);
  if (at == std::string::npos) return "(no version in CMakeLists.txt)";
  const std::size_t from = at + key.size();
  return lists.substr(from, lists.find_first_of(" )", from) - from);
}

TEST(Cli, HelpAndVersionGoToStandardOutput) {
  TempDir dir;
  const std::string usage = Cli({"--help"}, dir).out;
  for (const std::string form :
       {"\n  nerin-cli dump SOURCE [-o FILE]\n", "\n  nerin-cli report SOURCE\n",
        "\n  nerin-cli textconv FILE\n", "\n  nerin-cli --help\n", "\n  nerin-cli --version\n"}) {
    EXPECT_NE(usage.find(form), std::string::npos) << form;
  }
  struct Row {
    std::vector<std::string> arguments;
    std::string out;
  };
  const std::vector<Row> rows = {
      {{"--help"}, usage},
      {{"-h"}, usage},
      {{"textconv", "--help"}, usage},
      {{"--version"}, "nerin-cli Version " + ProjectVersion() + "\n"},
  };
  for (const Row& row : rows) {
    const ProcessResult result = Cli(row.arguments, dir);
    EXPECT_EQ(result.status, 0) << row.arguments[0];
    EXPECT_EQ(result.out, row.out) << row.arguments[0];
    EXPECT_EQ(result.err, "") << row.arguments[0];
  }
  EXPECT_TRUE(usage.starts_with("Usage:\n")) << usage;
}

// A misused command shows its own form; without a command the whole usage is shown.
TEST(Cli, UsageErrorsNameTheForm) {
  TempDir dir;
  const std::string plan = test::SmallPlanPath();
  const std::string usage = Cli({"--help"}, dir).out;
  const std::string more = "Run \"nerin-cli --help\" for all commands and options.\n";
  const std::string dump = "Usage: nerin-cli dump SOURCE [-o FILE]\n" + more;
  const std::string report = "Usage: nerin-cli report SOURCE\n" + more;
  const std::string textconv = "Usage: nerin-cli textconv FILE\n" + more;
  const std::string whole = "\n" + usage;
  struct Row {
    std::vector<std::string> arguments;
    std::string problem;
    const std::string& form;
  };
  const std::vector<Row> rows = {
      {{}, "a command is missing.", whole},
      {{"print", plan}, "unknown command \"print\".", whole},
      {{"--verbose"}, "unknown option \"--verbose\".", whole},
      {{"-V"}, "unknown option \"-V\".", whole},
      {{"dump"}, "SOURCE is missing.", dump},
      {{"dump", plan, "-o"}, "-o needs a file name.", dump},
      {{"dump", plan, "--version"}, "unknown option \"--version\".", dump},
      {{"report", plan, plan}, "only one SOURCE can be given.", report},
      {{"report", plan, "-o", dir.File("r.txt")}, "unknown option \"-o\".", report},
      {{"textconv"}, "FILE is missing.", textconv},
      {{"textconv", ""}, "FILE is missing.", textconv},
      {{"textconv", plan, plan}, "only one FILE can be given.", textconv},
      // Any other name that starts with "-" is a file.
      {{"textconv", plan, "-o"}, "only one FILE can be given.", textconv},
  };
  for (const Row& row : rows) {
    std::string shown;
    for (const std::string& argument : row.arguments) shown += " [" + argument + "]";
    const ProcessResult result = Cli(row.arguments, dir);
    EXPECT_EQ(result.status, 2) << shown;
    EXPECT_EQ(result.out, "") << shown;
    EXPECT_EQ(result.err, "nerin-cli: " + row.problem + "\n" + row.form) << shown;
  }
}

// What the window would show for a file that does not load: its messages, one per line.
std::string MessagesOf(const std::string& path) {
  test::Loaded loaded;
  EXPECT_FALSE(ReadFileSource(*loaded.plan, loaded.log, path)) << path;
  return MessageListText(loaded.log);
}

TEST(Cli, TextconvIsTheDumpOrTheMessagesAndAlwaysSucceeds) {
  TempDir dir;
  const std::string typical = NERIN_TEST_DATA_DIR "/typical.xml";
  const std::string rejected = NERIN_TEST_DATA_DIR "/rejected.xml";
  const std::string lateFailure = NERIN_TEST_DATA_DIR "/late_failure.xml";
  const std::string missing = dir.File("missing.xml");
  const std::string empty = dir.Write("empty.xml", "");
  const std::string spaced = dir.Write(" spaced.xml", test::SmallPlanBytes());
  struct Row {
    std::string path;
    int dumpStatus;
    std::string out;  // what textconv writes
  };
  const std::vector<Row> rows = {
      {test::SmallPlanPath(), 0, ReferenceDump()},
      {typical, 0, Cli({"dump", typical}, dir).out},
      // The name is used as git gives it, leading space and all.
      {spaced, 0, ReferenceDump()},
      // A file that does not load keeps its own text, so that changes to it still show.
      {rejected, 1, MessagesOf(rejected) + "\n" + test::ReadWholeFile(rejected)},
      {lateFailure, 1, MessagesOf(lateFailure) + "\n" + test::ReadWholeFile(lateFailure)},
      {missing, 1, "ERROR: File does not exist or cannot be read.\n"},
      {empty, 1, "ERROR: The source is empty.\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Cli({"dump", row.path}, dir).status, row.dumpStatus) << row.path;
    const ProcessResult result = Cli({"textconv", row.path}, dir);
    EXPECT_EQ(result.status, 0) << row.path;
    EXPECT_EQ(result.out, row.out) << row.path;
    EXPECT_EQ(result.err, "") << row.path;
  }
  EXPECT_TRUE(ReferenceDump().starts_with("NERIN-VIEWER-DUMP v1\r\nLOADED 1\r\n"));
}

// The program of that name found along PATH, or empty.
std::string ProgramOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path == nullptr ? "" : path;
  for (std::size_t from = 0; from <= folders.size();) {
    const std::size_t to = std::min(folders.find(':', from), folders.size());
    const std::string candidate = folders.substr(from, to - from) + "/" + name;
    if (to > from && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    from = to + 1;
  }
  return {};
}

// The dump's line that holds `piece`, without its line end.
std::string DumpLineWith(const std::string& dump, const std::string& piece) {
  const std::size_t at = dump.find(piece);
  if (at == std::string::npos) return "(no line with " + piece + ")";
  const std::size_t start = dump.rfind('\n', at) + 1;
  return dump.substr(start, dump.find('\r', at) - start);
}

// Set up as the README tells users to: git diff of a plan file shows the changed dump lines.
TEST(Cli, GitDiffShowsTheChangedTaskThroughTextconv) {
  const std::string git = ProgramOnPath("git");
  if (git.empty()) GTEST_SKIP() << "git is not installed";
  // Nothing from the user's or the system's git settings.
  ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
  ::setenv("GIT_CONFIG_GLOBAL", "/dev/null", 1);
  TempDir dir;
  const std::string repo = dir.File("repo");
  std::filesystem::create_directory(repo);
  auto Git = [&](const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {"-C", repo};
    all.insert(all.end(), arguments.begin(), arguments.end());
    const ProcessResult result = test::RunProgram(git, all, dir);
    EXPECT_EQ(result.status, 0) << "git " << arguments[0] << "\n" << result.err;
    return result;
  };
  Git({"init", "-q"});
  Git({"config", "user.name", "Nerin Test"});
  Git({"config", "user.email", "test@example.invalid"});
  Git({"config", "diff.msproject.textconv", "'" + CLI + "' textconv"});
  test::WriteWholeFile(repo + "/.gitattributes", "*.xml diff=msproject\n");
  const std::string before = test::SmallPlanBytes();
  std::string after = before;
  const std::string oldName = "<Name>Abnahme 🏗</Name>";
  ASSERT_NE(after.find(oldName), std::string::npos);
  after.replace(after.find(oldName), oldName.size(), "<Name>Abnahme und Übergabe</Name>");
  // For the working tree's side git hands over the name as it is: one that starts with "-"
  // must still be read as the file.
  const std::string path = repo + "/-plan.xml";
  test::WriteWholeFile(path, before);
  Git({"add", "--", ".gitattributes", "-plan.xml"});
  Git({"commit", "-q", "-m", "First version"});
  test::WriteWholeFile(path, after);
  Git({"commit", "-q", "-a", "-m", "Task renamed"});

  const std::string diff = Git({"--no-pager", "diff", "--no-color", "HEAD~1"}).out;
  const std::string oldLine = DumpLineWith(ReferenceDump(), "|name=Abnahme 🏗|");
  const std::string newLine = DumpLineWith(Cli({"dump", path}, dir).out, "|name=Abnahme und");
  EXPECT_TRUE(oldLine.starts_with("T 2 uid=3 ")) << oldLine;
  EXPECT_EQ(newLine.substr(0, newLine.find("|name=")), oldLine.substr(0, oldLine.find("|name=")));
  EXPECT_NE(diff.find("\n-" + oldLine + "\r\n"), std::string::npos) << diff;
  EXPECT_NE(diff.find("\n+" + newLine + "\r\n"), std::string::npos) << diff;
  // The dumps were compared, not the XML, and only the one task line changed.
  EXPECT_EQ(diff.find("<Name>"), std::string::npos) << diff;
  std::size_t changed = 0;
  for (std::size_t at = diff.find('\n'); at != std::string::npos; at = diff.find('\n', at + 1)) {
    const std::string start = diff.substr(at + 1, 3);
    if (start != "---" && start != "+++" && (start.starts_with("-") || start.starts_with("+"))) ++changed;
  }
  EXPECT_EQ(changed, 2u) << diff;
}

}  // namespace
}  // namespace nerin
