// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "export_test_support.h"
#include "views/qt/chart_image.h"
#include "views/row_model.h"

namespace nerin {
namespace {

using test::DEMO_PLAN;
using test::LONG_PLAN;
using test::ProcessResult;

const std::string CLI = NERIN_BIN_DIR "/nerin-cli";

ProcessResult Cli(const std::vector<std::string>& arguments, const test::TempDir& scratch) {
  return test::RunProgram(CLI, arguments, scratch);
}

// What follows every usage error.
const std::string TRY = "Try 'nerin-cli --help'.\n";

TEST(CliPng, UsageErrorsAndExitStatus) {
  test::TempDir dir;
  const std::string out = dir.File("out.png");
  struct Row {
    std::vector<std::string> arguments;
    int status;
    std::string onStderr;  // empty: nothing at all
  };
  const std::vector<Row> rows = {
      {{"png", LONG_PLAN, "-o", out, "--today", "2026-10-01", "--scroll", "-5,99"}, 0, ""},
      {{"png", LONG_PLAN, "-o", out, "--critical"}, 0, "This plan has no task flagged as critical.\n"},
      {{"png", dir.File("missing.xml"), "-o", out}, 1, "ERROR: File does not exist or cannot be read."},
      {{"png", LONG_PLAN, "-o", dir.File("no/such/dir/out.png")}, 1, "could not be written to"},
      {{"png", LONG_PLAN}, 2, "nerin-cli: png needs -o FILE.\n"},
      {{"png", LONG_PLAN, "-o", out, "--size"}, 2, "nerin-cli: option '--size' requires an argument\n"},
      {{"png", LONG_PLAN, "-o", out, "--collapse=yes"}, 2, "nerin-cli: option '--collapse' doesn't allow an argument\n"},
      {{"png", LONG_PLAN, "-o", out, "--today", "2026-10-01", "--today", "2026-10-02"}, 2,
       "nerin-cli: --today is given more than once.\n"},
      {{"png", LONG_PLAN, "-o", out, "--size=640x300", "--collapse", "--collapse"}, 0, ""},
  };
  for (const Row& row : rows) {
    const ProcessResult result = Cli(row.arguments, dir);
    EXPECT_EQ(result.status, row.status) << row.arguments[1] << "\n" << result.err;
    EXPECT_NE(result.err.find(row.onStderr), std::string::npos) << result.err;
    EXPECT_EQ(result.err.empty(), row.onStderr.empty()) << result.err;
    EXPECT_EQ(result.err.ends_with(TRY), row.status == 2) << result.err;
  }
  const std::vector<std::pair<std::string, std::string>> badValues = {
      {"--day-width", "0.9"},   {"--day-width", "20.5"},  {"--day-width", "nan"},
      {"--task-column", "259"}, {"--task-column", "651"}, {"--size", "30001x10"},
      {"--size", "640"},        {"--scroll", "5"},        {"--today", "2026-13-01"}};
  for (const auto& [option, value] : badValues) {
    const ProcessResult result = Cli({"png", LONG_PLAN, "-o", out, option, value}, dir);
    EXPECT_EQ(result.status, 2) << option << " " << value;
    EXPECT_NE(result.err.find("nerin-cli: " + option + " needs"), std::string::npos) << result.err;
    EXPECT_TRUE(result.err.ends_with(TRY)) << result.err;
  }
}

TEST(CliPng, SizesOfTheImage) {
  test::TempDir dir;
  struct Row {
    std::vector<std::string> options;
    int width, height;
    bool cutOff;
  };
  const std::vector<Row> rows = {
      {{LONG_PLAN, "--size", "640x300"}, 640, 300, false},
      {{LONG_PLAN, "--day-width", "1", "--task-column", "300"}, 300 + 1838, 112 + 2 * 22, false},
      {{LONG_PLAN, "--day-width", "20"}, 30000, 112 + 2 * 22, true},
      // Eight top-level tasks keep their rows; the size follows the folding.
      {{DEMO_PLAN, "--collapse"}, 1550, 112 + 8 * 22, false},
  };
  for (const Row& row : rows) {
    std::vector<std::string> arguments = {"png", "-o", dir.File("size.png")};
    arguments.insert(arguments.end(), row.options.begin(), row.options.end());
    const ProcessResult result = Cli(arguments, dir);
    EXPECT_EQ(result.status, 0) << row.options[1] << result.err;
    EXPECT_EQ(result.err.find("was cut off.\nCollapse branches") != std::string::npos, row.cutOff);
    const RgbaImage image = test::ReadPng(dir.File("size.png"));
    EXPECT_EQ(image.width, row.width) << row.options[1];
    EXPECT_EQ(image.height, row.height) << row.options[1];
  }
}

// "-o -" writes the same image to standard output, and a reader that has gone away ends the
// tool with status 3 rather than a signal.
TEST(CliPng, ImageToStandardOutput) {
  test::TempDir dir;
  const std::string file = dir.File("file.png");
  const std::vector<std::string> options = {"--size", "640x300", "--today", "2026-10-01"};
  std::vector<std::string> toFile = {"png", DEMO_PLAN, "-o", file};
  toFile.insert(toFile.end(), options.begin(), options.end());
  ASSERT_EQ(Cli(toFile, dir).status, 0);
  std::vector<std::string> toOutput = {"png", DEMO_PLAN, "-o", "-"};
  toOutput.insert(toOutput.end(), options.begin(), options.end());
  const ProcessResult result = Cli(toOutput, dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.starts_with("\x89PNG\r\n"));
  EXPECT_EQ(result.out, test::ReadWholeFile(file));

  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(ends[1], 1);
    ::dup2(null, 2);
    std::vector<char*> argv = {const_cast<char*>(CLI.c_str())};
    for (const std::string& argument : toOutput) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(CLI.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(ends[1]);
  EXPECT_EQ(test::WaitForChild(pid, std::chrono::seconds(60)), 3);
}

// Glyphs may come out slightly differently on another machine: up to 1 % of the pixels may
// differ. NERIN_UPDATE_GOLDEN=1 rewrites the expected image.
TEST(CliPng, DemoPlanViewMatchesTheExpectedImage) {
  test::TempDir dir;
  const std::string expectedPath = NERIN_EXPORT_DATA_DIR "/demo-plan-view.png";
  const std::string actualPath = expectedPath + ".actual";
  const ProcessResult result = Cli({"png", DEMO_PLAN, "-o", actualPath, "--size", "1000x600", "--today",
                                    "2026-11-02", "--day-width", "9", "--scroll", "120,66"},
                                   dir);
  ASSERT_EQ(result.status, 0) << result.err;
  if (const char* update = std::getenv("NERIN_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    std::filesystem::rename(actualPath, expectedPath);
    return;
  }
  const RgbaImage expected = test::ReadPng(expectedPath);
  const RgbaImage actual = test::ReadPng(actualPath);
  ASSERT_EQ(actual.width, 1000);
  ASSERT_EQ(actual.height, 600);
  ASSERT_EQ(expected.pixels.size(), actual.pixels.size()) << expectedPath;
  std::int64_t differing = 0;
  for (std::size_t at = 0; at < actual.pixels.size(); at += 4) {
    const auto pixel = actual.pixels.begin() + static_cast<std::ptrdiff_t>(at);
    if (!std::equal(pixel, pixel + 3, expected.pixels.begin() + static_cast<std::ptrdiff_t>(at))) ++differing;
  }
  EXPECT_LE(differing, 1000 * 600 / 100) << "the actual image is kept as " << actualPath;
  if (differing <= 1000 * 600 / 100) std::filesystem::remove(actualPath);
}

enum class ErrorOutput { Pipe, Terminal };

struct Captured {
  int status = -1;
  std::string err;
};

// The write end for the child's stderr and the read end for us: a pipe, or a pseudo-terminal
// in raw mode, so that what the program writes arrives unchanged. -1 when it cannot be made.
std::pair<int, int> ErrorChannel(ErrorOutput kind) {
  if (kind == ErrorOutput::Pipe) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return {-1, -1};
    return {ends[1], ends[0]};
  }
  const int controller = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (controller < 0 || ::grantpt(controller) != 0 || ::unlockpt(controller) != 0) return {-1, controller};
  const int terminal = ::open(::ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios mode{};
  if (terminal >= 0 && ::tcgetattr(terminal, &mode) == 0) {
    ::cfmakeraw(&mode);
    ::tcsetattr(terminal, TCSANOW, &mode);
  }
  return {terminal, controller};
}

// Runs nerin-cli with its stderr on a pipe or a terminal, and collects what it writes there.
Captured RunWithErrorOutput(const std::vector<std::string>& arguments, ErrorOutput kind) {
  const auto [writeEnd, readEnd] = ErrorChannel(kind);
  Captured captured;
  if (writeEnd < 0) {
    if (readEnd >= 0) ::close(readEnd);
    ADD_FAILURE() << "no pipe or terminal for stderr";
    return captured;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(writeEnd, 2);
    std::vector<char*> argv = {const_cast<char*>(CLI.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(CLI.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(writeEnd);
  // Until the child's end is closed: the end of a pipe, an error on a terminal.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{readEnd, POLLIN, 0};
    if (::poll(&ready, 1, 200) <= 0) continue;
    char buffer[256];
    const ssize_t got = ::read(readEnd, buffer, sizeof buffer);
    if (got <= 0) break;
    captured.err.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(readEnd);
  captured.status = test::WaitForChild(pid, std::chrono::seconds(10));
  return captured;
}

TEST(CliPng, ProgressOnlyOnATerminalAndOnlyForAChartOfSeveralBands) {
  test::TempDir dir;
  const std::string out = dir.File("progress.png");
  struct Row {
    ErrorOutput kind;
    std::vector<std::string> arguments;
    int status;
    std::string err;  // the whole stderr text, or its start when it ends in "..."
  };
  // 20000 pixels wide: bands of 419 rows (32 MiB of 4-byte pixels), 3 bands for 900 rows.
  const std::vector<Row> rows = {
      {ErrorOutput::Terminal,
       {"png", LONG_PLAN, "-o", out, "--size", "20000x900"},
       0,
       "\rWriting chart: 46 %\rWriting chart: 93 %\rWriting chart: 100 %\n"},
      {ErrorOutput::Pipe, {"png", LONG_PLAN, "-o", out, "--size", "20000x900"}, 0, ""},
      {ErrorOutput::Terminal, {"png", LONG_PLAN, "-o", out, "--size", "640x300"}, 0, ""},
      // A note written before the drawing keeps its own line.
      {ErrorOutput::Terminal,
       {"png", LONG_PLAN, "-o", out, "--size", "20000x900", "--critical"},
       0,
       "This plan has no task flagged as critical.\n\rWriting chart: 46 %\rWriting chart: 93 %"
       "\rWriting chart: 100 %\n"},
      {ErrorOutput::Terminal, {"png", LONG_PLAN, "-o", dir.File("no/such/dir/p.png")}, 1, "nerin-cli: ..."},
  };
  for (const Row& row : rows) {
    std::string shown = row.kind == ErrorOutput::Pipe ? "to a pipe:" : "to a terminal:";
    for (const std::string& argument : row.arguments) shown += " " + argument;
    const Captured result = RunWithErrorOutput(row.arguments, row.kind);
    EXPECT_EQ(result.status, row.status) << shown << "\n" << result.err;
    if (row.err.ends_with("...")) {
      EXPECT_TRUE(result.err.starts_with(row.err.substr(0, row.err.size() - 3))) << shown << result.err;
      EXPECT_EQ(result.err.find("Writing chart"), std::string::npos) << shown << result.err;
    } else {
      EXPECT_EQ(result.err, row.err) << shown;
    }
  }
}

TEST(CliPng, ChartImageReportsEachBandWithGrowingCounts) {
  test::TempDir dir;
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  ASSERT_TRUE(ReadFileSource(*plan, log, DEMO_PLAN));
  RowModel rows;
  ResetFolding(rows, *plan);
  RebuildRows(rows, *plan);
  const ChartView view;
  const ChartFonts fonts = LoadChartFonts();
  const ChartFrame screen{*plan, rows, view, 800, 400, 0, -1, nullptr};
  const std::int64_t wholeHeight = WholeChartSize(*plan, rows, view).Height;
  ASSERT_GT(wholeHeight, 3 * 37);
  std::vector<std::int64_t> wholeBands;
  for (std::int64_t done = 37; done < wholeHeight; done += 37) wholeBands.push_back(done);
  wholeBands.push_back(wholeHeight);
  struct Row {
    bool whole;
    std::string path;
    ChartImageOptions options;
    std::vector<std::int64_t> done;  // one entry per call
    std::int64_t total;
  };
  const std::string good = dir.File("bands.png");
  const std::vector<Row> table = {
      {false, good, {30000, 128}, {128, 256, 384, 400}, 400},
      // A cut-off image counts the rows that are written.
      {false, good, {300, 100}, {100, 200, 300}, 300},
      {false, good, {30000, 0}, {400}, 400},
      {true, good, {30000, 37}, wholeBands, wholeHeight},
      {false, dir.File("missing/bands.png"), {30000, 128}, {}, 0},
  };
  for (Row row : table) {
    std::vector<std::int64_t> done;
    row.options.Progress = [&](std::int64_t rowsDone, std::int64_t total) {
      done.push_back(rowsDone);
      EXPECT_EQ(total, row.total);
    };
    const ExportResult result = row.whole ? ExportWholeChart(screen, fonts, row.path, row.options)
                                          : ExportChartFrame(screen, fonts, row.path, row.options);
    EXPECT_EQ(result.Status == ExportStatus::Saved, !row.done.empty()) << row.path;
    EXPECT_EQ(done, row.done) << row.options.BandHeight;
  }
}

}  // namespace
}  // namespace nerin
