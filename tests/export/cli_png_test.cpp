#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "export_test_support.h"

namespace nerin {
namespace {

using test::DEMO_PLAN;
using test::LONG_PLAN;
using test::ProcessResult;

ProcessResult Cli(const std::vector<std::string>& arguments, const test::TempDir& scratch) {
  return test::RunProgram(NERIN_BIN_DIR "/nerin-cli", arguments, scratch);
}

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
      {{"png", LONG_PLAN}, 2, "png needs -o FILE."},
      {{"png", LONG_PLAN, "-o", out, "--size"}, 2, "--size needs a value."},
  };
  for (const Row& row : rows) {
    const ProcessResult result = Cli(row.arguments, dir);
    EXPECT_EQ(result.status, row.status) << row.arguments[1] << "\n" << result.err;
    EXPECT_NE(result.err.find(row.onStderr), std::string::npos) << result.err;
    EXPECT_EQ(result.err.empty(), row.onStderr.empty()) << result.err;
    EXPECT_EQ(result.err.find("Usage:") != std::string::npos, row.status == 2) << result.err;
  }
  const std::vector<std::pair<std::string, std::string>> badValues = {
      {"--day-width", "0.9"},   {"--day-width", "20.5"},  {"--day-width", "nan"},
      {"--task-column", "259"}, {"--task-column", "651"}, {"--size", "30001x10"},
      {"--size", "640"},        {"--scroll", "5"},        {"--today", "2026-13-01"}};
  for (const auto& [option, value] : badValues) {
    const ProcessResult result = Cli({"png", LONG_PLAN, "-o", out, option, value}, dir);
    EXPECT_EQ(result.status, 2) << option << " " << value;
    EXPECT_NE(result.err.find("nerin-cli: " + option + " needs"), std::string::npos) << result.err;
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

}  // namespace
}  // namespace nerin
