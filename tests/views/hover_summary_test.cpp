// SPDX-License-Identifier: MIT
// The hover summary: when it shows, its lines, where the box stands and how it is painted.
#include "views/hover_summary.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/recording_painter.h"

namespace nerin {
namespace {

using test::RecordingPainter;

// Counts the measurements, so that the fitting can be held to a halving search.
class CountingPainter : public RecordingPainter {
 public:
  std::int64_t measured = 0;
  std::int64_t TextWidth(const std::string& text, ChartFont font) override {
    ++measured;
    return RecordingPainter::TextWidth(text, font);
  }
};

void AddTask(Plan& plan, std::int64_t id) {
  Task& task = plan.Tasks.emplace_back();
  task.ID = id;
  task.Name = "Task " + std::to_string(id);
  plan.ProjectLoaded = true;
}

void Link(Plan& plan, std::int64_t successor, std::int64_t predecessor, std::int64_t type) {
  Task& task = plan.Tasks[static_cast<std::size_t>(successor)];
  task.Links.push_back(TaskLink{0, predecessor, *LinkTypeOf(type), 0});
}

TEST(HoverSummary, SlotTexts) {
  Plan plan;
  for (std::int64_t id : {10, 20, 30, 40}) AddTask(plan, id);
  Task& task = plan.Tasks[1];
  task.StartLabel = "02.03.2026";
  task.FinishLabel = "06.03.2026";
  task.DurationHours = 12.5f;
  task.PercentComplete = 40;
  task.Critical = task.Milestone = 1;
  task.ResourceLabel = "Ann [50%]";
  task.Notes = "  Check the crane \r\nsecond line";
  Link(plan, 1, 0, 1);
  Link(plan, 1, -1, 2);  // not resolved: not listed
  Link(plan, 1, 2, 0);
  Link(plan, 3, 1, 3);
  Link(plan, 3, 1, 2);  // the same successor twice
  EXPECT_EQ(HoverSummaryTexts(plan, 1),
            (HoverTexts{"Task 20", "ID 20    02.03.2026 - 06.03.2026",
                        "Duration: 1.56 days    Complete: 40%    critical    milestone", "Resources: Ann [50%]",
                        "Predecessors: 10 FS, 30 FF", "Successors: 40 SS, 40 SF", "Note: Check the crane"}));
  EXPECT_EQ(HoverSummaryTexts(plan, 2),
            (HoverTexts{"Task 30", "ID 30     - ", "Duration: 0 days    Complete: 0%", "Resources: -",
                        "Predecessors: -", "Successors: 20 FF", ""}));
  EXPECT_EQ(HoverSummaryTexts(plan, 4), HoverTexts{});
}

TEST(HoverSummary, NoteFirstLine) {
  const std::string n80(80, 'n');
  const std::string emoji = "\xF0\x9F\x98\x80";
  const std::pair<std::string, std::string> cases[] = {
      {"   ", ""},
      {"\r\nsecond", ""},
      {"first\rsecond\nthird", "first"},
      {"  tab\tinside  ", "tab\tinside"},
      {" " + n80 + " ", n80},
      {std::string(100, 'n'), n80 + "..."},
      // The 80th unit would be the first half of a pair: the cut stops before the pair.
      {std::string(79, 'n') + emoji + "tail", std::string(79, 'n') + "..."},
  };
  for (const auto& [notes, line] : cases) {
    EXPECT_EQ(NoteFirstLine(notes), line) << notes;
  }
}

TEST(HoverSummary, FitTextToWidthHalvesTheLength) {
  RecordingPainter painter;  // 7 pixels a character
  const std::pair<std::int64_t, std::string> cases[] = {
      {70, "abcdefghij"}, {69, "abcdef..."}, {62, "abcde..."}, {0, "..."}};
  for (const auto& [width, fitted] : cases) {
    EXPECT_EQ(FitTextToWidth(painter, "abcdefghij", ChartFont::Text, width), fitted) << width;
  }
  // Prefixes count UTF-16 units: "ab" and the pair are four, and no prefix ends inside the pair.
  const std::string emoji = "\xF0\x9F\x98\x80";
  EXPECT_EQ(FitTextToWidth(painter, "ab" + emoji + "cdefgh", ChartFont::Text, 48), "ab" + emoji + "...");
  CountingPainter counting;
  EXPECT_EQ(FitTextToWidth(counting, std::string(4000, 'x'), ChartFont::Bold, 560),
            std::string(77, 'x') + "...");
  EXPECT_LE(counting.measured, 14);
}

TEST(HoverSummary, BoxFlipsAtTheEdges) {
  // anchor x, anchor y, widest line, note line; box x, y, width, height in a chart of 1000 x 600
  const std::int64_t cases[][8] = {
      {100, 100, 200, 0, 116, 120, 220, 118}, {100, 100, 200, 1, 116, 120, 220, 136},
      {761, 100, 200, 0, 533, 120, 220, 118},  // 777 + 220 reaches 997: flipped left
      {760, 458, 200, 0, 776, 478, 220, 118},  // 478 + 118 stays below 597
      {100, 458, 200, 1, 116, 314, 220, 136},  // 478 + 136 reaches 597: flipped up
      {50, 50, 1500, 0, 4, 70, 1520, 118},     // flipped left past the corner: held at 4
  };
  for (const auto& c : cases) {
    const HoverBox box = PlaceHoverBox(c[0], c[1], c[2], c[3] != 0, 1000, 600);
    EXPECT_EQ(std::vector<std::int64_t>({box.X, box.Y, box.Width, box.Height}),
              std::vector<std::int64_t>({c[4], c[5], c[6], c[7]}))
        << c[0] << ", " << c[1];
  }
  const HoverBox extreme = PlaceHoverBox(INT64_MAX, INT64_MIN, INT64_MAX, true, 10, 10);
  EXPECT_TRUE(extreme.X >= 4 && extreme.Y >= 4);
}

TEST(HoverSummary, AnotherRowRestartsTheDelayAndAShownBoxStaysPut) {
  Plan plan;
  AddTask(plan, 1);
  AddTask(plan, 2);
  HoverState hover;
  EXPECT_TRUE(HoverMoved(hover, 0, 10, 100).StartTimer);
  EXPECT_FALSE(HoverMoved(hover, 0, 12, 105).StartTimer);
  const HoverActions next = HoverMoved(hover, 1, 14, 120);
  EXPECT_TRUE(next.StopTimer && next.StartTimer);
  EXPECT_TRUE(HoverTimerRanOut(hover, plan, true).DrawChart);
  EXPECT_TRUE(hover.Shown && hover.SummaryTask == 1 && !hover.TimerArmed);
  HoverMoved(hover, 1, 40, 130);
  EXPECT_EQ(hover.AnchorX, 14);
  const HoverActions hide = HideHover(hover);
  EXPECT_TRUE(hide.DrawChart && !hover.Shown && hover.HoveredTask == -1);
}

TEST(HoverSummary, PaintsTheBoxOverUnrulyTexts) {
  Plan plan;
  AddTask(plan, 5);
  plan.Tasks[0].Phase = 2;
  plan.Tasks[0].Notes = std::string(90, 'n');
  RecordingPainter painter;
  DrawHoverSummary(painter, plan, HoverState{0, 0, true, false, 100, 100}, 1200, 600);
  // The widest line is the note, "Note: ", 80 characters and "...", fitted to 560 pixels.
  ASSERT_EQ(painter.calls.size(), 11u);
  EXPECT_EQ(std::vector<std::string>(painter.calls.begin(), painter.calls.begin() + 5),
            (std::vector<std::string>{"noclip", "fill 116 120 580 136 16,42,67",
                                      "fill 117 121 578 134 255,255,255", "fill 117 121 4 134 108,74,182",
                                      "text 128 125 bold 16,42,67 transparent Task 5"}));
  EXPECT_EQ(painter.calls[10],
            "text 128 233 text 16,42,67 transparent Note: " + std::string(71, 'n') + "...");

  // Line breaks, tabs, right-to-left and wide letters, combining marks and emoji, 800 times.
  const std::string piece =
      "a\r\n\t\xD7\xA9\xE6\xBC\xA2"
      "e\xCC\x81\xF0\x9F\x98\x80";
  for (int i = 0; i < 800; ++i) plan.Tasks[0].Name += piece;
  plan.Tasks[0].Notes = plan.Tasks[0].ResourceLabel = plan.Tasks[0].Name;
  plan.Tasks[0].Phase = 99;  // out of the palette: the strip takes the last colour
  RecordingPainter unruly;
  DrawHoverSummary(unruly, plan, HoverState{0, 0, true, false, 5, 5}, 700, 300);
  ASSERT_EQ(unruly.calls.size(), 11u);
  EXPECT_EQ(unruly.calls[3].substr(unruly.calls[3].size() - 9), "110,47,26");
  for (std::size_t i = 4; i < unruly.calls.size(); ++i) {
    const std::string shown = unruly.calls[i].substr(unruly.calls[i].find("transparent ") + 12);
    EXPECT_EQ(shown.find_first_of("\r\n\t"), std::string::npos);
    EXPECT_LE(unruly.TextWidth(shown, ChartFont::Text), 560);
  }

  RecordingPainter hidden;
  DrawHoverSummary(hidden, plan, HoverState{0, 0, false, false, 100, 100}, 1200, 600);
  DrawHoverSummary(hidden, plan, HoverState{3, 3, true, false, 100, 100}, 1200, 600);
  EXPECT_TRUE(hidden.calls.empty());
}

}  // namespace
}  // namespace nerin
