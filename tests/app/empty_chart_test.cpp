// SPDX-License-Identifier: MIT
// The placeholder of the Gantt tab, drawn through a recording painter.
#include <gtest/gtest.h>

#include "support/recording_painter.h"
#include "views/empty_chart.h"

namespace nerin {
namespace {

using test::RecordingPainter;

const std::string kBand = "16,42,67";
const std::string kWhite = "255,255,255";

struct EmptyChartCase {
  const char* name;
  std::int64_t w;
  std::int64_t h;
  std::vector<std::string> calls;
};

// ctest lists each case by this name.
void PrintTo(const EmptyChartCase& c, std::ostream* out) {
  *out << c.name;
}

class EmptyChartTest : public ::testing::TestWithParam<EmptyChartCase> {};

TEST_P(EmptyChartTest, DrawsFrameFooterAndHintByHeight) {
  const EmptyChartCase& c = GetParam();
  RecordingPainter painter;
  DrawEmptyChart(painter, c.w, c.h);
  EXPECT_EQ(painter.calls, c.calls);
}

// The hint is 58 characters: 406 pixels wide at 7 pixels each, 15 high.
INSTANTIATE_TEST_SUITE_P(
    Heights, EmptyChartTest,
    ::testing::Values(
        EmptyChartCase{"NoFooterAt78",
                       500,
                       78,
                       {"fill 0 0 500 78 238,243,247", "fill 0 0 500 54 " + kBand,
                        "text 8 6 bold " + kWhite + " transparent Nerin Plan Viewer",
                        "text 8 27 text " + kWhite + " transparent No project loaded"}},
        EmptyChartCase{
            "FooterAt79",
            500,
            79,
            {"fill 0 0 500 79 238,243,247", "fill 0 0 500 54 " + kBand, "fill 0 55 500 24 " + kBand,
             "text 8 6 bold " + kWhite + " transparent Nerin Plan Viewer",
             "text 8 27 text " + kWhite + " transparent No project loaded",
             "text 8 60 small " + kWhite + " transparent Ctrl+O / Open | read-only"}},
        EmptyChartCase{
            "FooterButNoHintAt102",
            500,
            102,
            {"fill 0 0 500 102 238,243,247", "fill 0 0 500 54 " + kBand, "fill 0 78 500 24 " + kBand,
             "text 8 6 bold " + kWhite + " transparent Nerin Plan Viewer",
             "text 8 27 text " + kWhite + " transparent No project loaded",
             "text 8 83 small " + kWhite + " transparent Ctrl+O / Open | read-only"}},
        EmptyChartCase{
            "HintCentredAt103",
            500,
            103,
            {"fill 0 0 500 103 238,243,247", "fill 0 0 500 54 " + kBand, "fill 0 79 500 24 " + kBand,
             "text 8 6 bold " + kWhite + " transparent Nerin Plan Viewer",
             "text 8 27 text " + kWhite + " transparent No project loaded",
             "text 8 84 small " + kWhite + " transparent Ctrl+O / Open | read-only",
             "text 8 59 text 16,42,67 transparent Use Open, or drag an MS Project plan (.xml or .mpp) onto this "
             "window."}},
        EmptyChartCase{
            "HintInLargeCanvas",
            1000,
            600,
            {"fill 0 0 1000 600 238,243,247", "fill 0 0 1000 54 " + kBand, "fill 0 576 1000 24 " + kBand,
             "text 8 6 bold " + kWhite + " transparent Nerin Plan Viewer",
             "text 8 27 text " + kWhite + " transparent No project loaded",
             "text 8 581 small " + kWhite + " transparent Ctrl+O / Open | read-only",
             "text 258 308 text 16,42,67 transparent Use Open, or drag an MS Project plan (.xml or .mpp) onto this "
             "window."}},
        // A hint wider than the canvas starts left of it rather than being cut on one side.
        EmptyChartCase{
            "HintWiderThanCanvas",
            200,
            300,
            {"fill 0 0 200 300 238,243,247", "fill 0 0 200 54 " + kBand, "fill 0 276 200 24 " + kBand,
             "text 8 6 bold " + kWhite + " transparent Nerin Plan Viewer",
             "text 8 27 text " + kWhite + " transparent No project loaded",
             "text 8 281 small " + kWhite + " transparent Ctrl+O / Open | read-only",
             "text -141 158 text 16,42,67 transparent Use Open, or drag an MS Project plan (.xml or .mpp) onto this "
             "window."}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nerin
