// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
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

const std::string TRY = "Try 'nerin-cli --help'.\n";
// Stands for any text in an expected output.
const std::string ANY = "\x01(any)";

// Every form of the command line: what it writes where, and how it ends.
TEST(Cli, CommandLineForms) {
  TempDir dir;
  const std::string plan = test::SmallPlanPath();
  const std::string missing = dir.File("missing.xml");
  const std::string out = dir.File("out.txt");
  const std::string broken = NERIN_TEST_DATA_DIR "/broken_xml.xml";
  const std::string usage = Cli({"--help"}, dir).out;
  ASSERT_TRUE(usage.starts_with("Usage:\n")) << usage;
  const std::string dump = ReferenceDump();
  const std::string binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  struct Row {
    std::vector<std::string> arguments;
    std::optional<std::string> input;  // standard input; none: /dev/null
    int status;
    std::string out;
    std::string err;
    std::string written = {};  // what `out` holds afterwards, when the row writes it
  };
  const std::vector<Row> rows = {
      // Help and version, on stdout, also with a command or a plan after them.
      {{"--help"}, {}, 0, usage, ""},
      {{"-h"}, {}, 0, usage, ""},
      {{"dump", "--help"}, {}, 0, usage, ""},
      {{"dump", plan, "--help"}, {}, 0, usage, ""},
      {{"textconv", "--help"}, {}, 0, usage, ""},
      {{"--version"}, {}, 0, "nerin-cli " NERIN_VERSION "\n", ""},
      {{"-V", "dump", plan}, {}, 0, "nerin-cli " NERIN_VERSION "\n", ""},
      // The output named every way GNU tools accept it, before or after the source.
      {{"dump", plan}, {}, 0, dump, ""},
      {{"dump", "--", plan}, {}, 0, dump, ""},
      {{"dump", "-o", "-", plan}, {}, 0, dump, ""},
      {{"dump", plan, "--output=-"}, {}, 0, dump, ""},
      {{"dump", "-o", out, plan}, {}, 0, "", "", dump},
      {{"dump", "-o" + out, plan}, {}, 0, "", "", dump},
      {{"dump", plan, "--output", out}, {}, 0, "", "", dump},
      {{"dump", "--output=" + out, plan}, {}, 0, "", "", dump},
      {{"dump", "--out=" + out, plan}, {}, 0, "", "", dump},
      {{"dump", "-o", dir.File("a=b c.txt"), plan}, {}, 0, "", ""},
      {{"dump", "-o", out, "--", plan}, {}, 0, "", "", dump},
      // Standard input as the source.
      {{"dump", "-"}, test::SmallPlanBytes(), 0, dump, ""},
      {{"report", "-"}, test::SmallPlanBytes(), 0, "stdin\n3 tasks, 1 resources, 1 assignments\n" + ANY, ""},
      {{"dump", "-"}, "", 1, ANY, "nerin-cli: stdin: ERROR: The source is empty.\n"},
      {{"report", "-"}, binary, 1,
       "ERROR: XML is syntactically invalid.\nINFO: The XML parser stopped at line 1, column 1: " + ANY,
       "nerin-cli: stdin: ERROR: XML is syntactically invalid.\nnerin-cli: stdin: INFO: " + ANY},
      // Plans that do not load: the product as usual, the messages also on stderr.
      {{"dump", missing}, {}, 1, "NERIN-VIEWER-DUMP v1\r\nLOADED 0\r\nI 3 File does not exist or cannot be read.\r\n",
       "nerin-cli: " + missing + ": ERROR: File does not exist or cannot be read.\n"},
      {{"report", dir.path()}, {}, 1, "ERROR: File does not exist or cannot be read.\n",
       "nerin-cli: " + dir.path() + ": ERROR: File does not exist or cannot be read.\n"},
      {{"report", broken}, {}, 1,
       "ERROR: XML is syntactically invalid.\n"
       "INFO: The XML parser stopped at line 10, column 23: not well-formed (invalid token).\n",
       ANY},
      // Wrong usage: one line saying what, then where to look.
      {{}, {}, 2, "", "nerin-cli: a command is missing.\n" + TRY},
      {{"--verbose"}, {}, 2, "", "nerin-cli: unrecognized option '--verbose'\n" + TRY},
      {{"-x", "dump", plan}, {}, 2, "", "nerin-cli: invalid option -- 'x'\n" + TRY},
      {{"print", plan}, {}, 2, "", "nerin-cli: unknown command 'print'.\n" + TRY},
      {{"dump"}, {}, 2, "", "nerin-cli: SOURCE is missing.\n" + TRY},
      {{"dump", "   "}, {}, 2, "", "nerin-cli: SOURCE is missing.\n" + TRY},
      {{"dump", "--verbose", plan}, {}, 2, "", "nerin-cli: unrecognized option '--verbose'\n" + TRY},
      {{"dump", plan, "--version"}, {}, 2, "", "nerin-cli: unrecognized option '--version'\n" + TRY},
      {{"dump", plan, "-o"}, {}, 2, "", "nerin-cli: option requires an argument -- 'o'\n" + TRY},
      {{"dump", plan, "--output"}, {}, 2, "", "nerin-cli: option '--output' requires an argument\n" + TRY},
      {{"dump", plan, "-o", ""}, {}, 2, "", "nerin-cli: --output needs a FILE.\n" + TRY},
      {{"dump", plan, "--output="}, {}, 2, "", "nerin-cli: --output needs a FILE.\n" + TRY},
      {{"dump", plan, "-o", out, "-o", out}, {}, 2, "", "nerin-cli: --output is given more than once.\n" + TRY},
      {{"dump", plan, plan}, {}, 2, "", "nerin-cli: unexpected argument '" + plan + "'.\n" + TRY},
      {{"dump", plan, "--", "--verbose"}, {}, 2, "", "nerin-cli: unexpected argument '--verbose'.\n" + TRY},
      {{"report", plan, "-o", out}, {}, 2, "", "nerin-cli: invalid option -- 'o'\n" + TRY},
      {{"textconv"}, {}, 2, "", "nerin-cli: FILE is missing.\n" + TRY},
      {{"textconv", ""}, {}, 2, "", "nerin-cli: FILE is missing.\n" + TRY},
      {{"textconv", plan, plan}, {}, 2, "", "nerin-cli: unexpected argument '" + plan + "'.\n" + TRY},
      // Any other name that starts with "-" is a file to textconv.
      {{"textconv", plan, "-o"}, {}, 2, "", "nerin-cli: unexpected argument '-o'.\n" + TRY},
  };
  const auto Matches = [&](const std::string& actual, const std::string& expected) {
    const std::size_t any = expected.find(ANY);
    if (any == std::string::npos) return actual == expected;
    return actual.starts_with(expected.substr(0, any)) && actual.ends_with(expected.substr(any + ANY.size()));
  };
  for (const Row& row : rows) {
    std::string shown;
    for (const std::string& argument : row.arguments) shown += " [" + argument + "]";
    std::filesystem::remove(out);
    const ProcessResult result = test::RunProgram(CLI, row.arguments, dir, row.input ? &*row.input : nullptr);
    EXPECT_EQ(result.status, row.status) << shown << "\n" << result.err;
    EXPECT_TRUE(Matches(result.out, row.out)) << shown << "\n" << result.out;
    EXPECT_TRUE(Matches(result.err, row.err)) << shown << "\n" << result.err;
    if (!row.written.empty()) {
      EXPECT_EQ(test::ReadWholeFile(out), row.written) << shown;
    }
  }
  EXPECT_EQ(test::ReadWholeFile(dir.File("a=b c.txt")), dump);
}

// The output file is replaced whole; a link named as the output keeps pointing where it did,
// and no temporary file is left beside it.
TEST(Cli, OutputThroughALinkKeepsTheLink) {
  TempDir dir;
  const std::string link = dir.File("link.dump");
  const std::string target = dir.File("target.dump");
  ASSERT_EQ(::symlink("target.dump", link.c_str()), 0);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Cli({"dump", test::SmallPlanPath(), "-o", link}, dir).status, 0) << round;
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << round;
    EXPECT_EQ(test::ReadWholeFile(target), ReferenceDump()) << round;
  }
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"link.dump", "process.err", "process.out", "target.dump"}));
}

// A reader that goes away early ends the tool with status 3 and a message, not a signal.
TEST(Cli, ClosedPipeOnStandardOutput) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  TempDir dir;
  const std::string errPath = dir.File("err.txt");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(ends[1], 1);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(err, 2);
    const std::string plan = test::SmallPlanPath();
    ::execl(CLI.c_str(), CLI.c_str(), "dump", plan.c_str(), "-o", "-", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ends[1]);
  EXPECT_EQ(test::WaitForChild(pid, std::chrono::seconds(30)), 3);
  EXPECT_EQ(test::ReadWholeFile(errPath), "nerin-cli: standard output: could not be written: Broken pipe\n");
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
  EXPECT_EQ(result.err, "nerin-cli: " + dir.File("no/such/dir/out.txt") +
                            ": could not be written: No such file or directory\n");
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
  EXPECT_EQ(missing.out,
            "NERIN-VIEWER-DUMP v1\r\nLOADED 0\r\nI 3 The server answered with HTTP status 404; nothing was "
            "loaded.\r\n");
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

// The dump's line that holds `piece`, without its line end.
std::string DumpLineWith(const std::string& dump, const std::string& piece) {
  const std::size_t at = dump.find(piece);
  if (at == std::string::npos) return "(no line with " + piece + ")";
  const std::size_t start = dump.rfind('\n', at) + 1;
  return dump.substr(start, dump.find('\r', at) - start);
}

// Set up as the README tells users to: git diff of a plan file shows the changed dump lines.
TEST(Cli, GitDiffShowsTheChangedTaskThroughTextconv) {
  const std::string git = test::ProgramOnPath("git");
  if (git.empty()) GTEST_SKIP() << "git is not installed";
  TempDir dir;
  const test::TextconvRepo repository(git, dir, CLI, "*.xml");
  const std::string& repo = repository.Path();
  const auto Git = [&](const std::vector<std::string>& arguments) { return repository.Git(arguments); };
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
