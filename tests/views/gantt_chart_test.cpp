// SPDX-License-Identifier: MIT
// The Gantt chart as a list of drawing calls: bars, milestones, baselines, timeline marks,
// rows, links and the today line, plus whole frames of a small plan against golden lists.
#include "views/gantt_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/golden.h"
#include "support/recording_painter.h"
#include "views/chart_colours.h"

namespace nerin {
namespace {

using test::RecordingPainter;

// Day offset from Monday 2 March 2026 (ISO week 10), where the timeline starts.
DayOrdinal Day(std::int64_t offset) {
  return OrdinalFromDate(2026, 3, 2) + offset;
}

class GanttChartTest : public ::testing::Test {
 protected:
  GanttChartTest() {
    plan_->ProjectLoaded = true;
    plan_->ProjectName = "Quay";
    plan_->TimelineStart = Day(0);
    plan_->TimelineDays = 90;
  }

  // A task over the day offsets first..last; no dates when first is negative.
  Task& Add(const std::string& name, std::int64_t first, std::int64_t last, std::int64_t level = 1) {
    Task& task = plan_->Tasks.emplace_back();
    task.UID = plan_->TaskCount();
    task.Name = name;
    task.OutlineLevel = level;
    if (first >= 0) {
      task.Start = Day(first);
      task.Finish = Day(last);
      task.StartLabel = OrdinalLabel(task.Start);
      task.FinishLabel = OrdinalLabel(task.Finish);
    }
    return task;
  }

  void Link(std::int64_t successor, std::int64_t predecessor, std::int64_t type, bool driving = false) {
    Task& task = plan_->Tasks[static_cast<std::size_t>(successor)];
    task.Links.push_back(
        TaskLink{predecessor + 1, predecessor, *LinkTypeOf(type), static_cast<std::uint8_t>(driving ? 1 : 0)});
  }

  void Rows(const std::vector<std::int64_t>& folded = {}) {
    ResetFolding(rows_, *plan_);
    for (const std::int64_t task : folded) rows_.TaskFolded[static_cast<std::size_t>(task)] = 1;
    RebuildRows(rows_, *plan_);
  }

  std::vector<std::string> Draw() {
    RecordingPainter painter;
    DrawChart(painter, ChartFrame{*plan_, rows_, view_, width_, height_, today_, find_, nullptr});
    return painter.calls;
  }

  std::unique_ptr<Plan> plan_ = std::make_unique<Plan>();
  RowModel rows_;
  ChartView view_;
  std::int64_t width_ = 800;
  std::int64_t height_ = 300;
  DayOrdinal today_ = 0;
  std::int64_t find_ = -1;
};

bool Has(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::int64_t CountEnding(const std::vector<std::string>& calls, const std::string& suffix) {
  return std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
    return call.size() >= suffix.size() &&
           call.compare(call.size() - suffix.size(), suffix.size(), suffix) == 0;
  });
}

TEST(BarChrome, WhiteOnDarkBarsDarkOnLightOnes) {
  for (const Rgb colour : BarPalette) {
    EXPECT_LT(Luma(colour), 150);
    EXPECT_EQ(BarChrome(colour), ChartWhite);
  }
  struct Case {
    Rgb colour;
    std::int64_t luma;
    Rgb chrome;
  };
  const Case cases[] = {
      {{255, 255, 255}, 255, ChartBandColour}, {{0, 0, 0}, 0, ChartWhite},
      {{255, 107, 53}, 145, ChartWhite},       {{183, 149, 11}, 143, ChartWhite},
      {{150, 150, 150}, 150, ChartBandColour}, {{149, 149, 149}, 149, ChartWhite},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Luma(c.colour), c.luma);
    EXPECT_EQ(BarChrome(c.colour), c.chrome);
  }
}

TEST_F(GanttChartTest, BarWidthAndProgress) {
  struct Case {
    float dayWidth;
    std::int64_t days;
    std::int64_t percent;
    std::string bar;
    std::string progress;  // empty: no progress fill
  };
  const Case cases[] = {
      {1.0f, 1, 0, "fill 400 92 2 14 0,184,169", ""},
      {1.4f, 5, 0, "fill 404 92 7 14 0,184,169", ""},
      {1.0f, 3, 100, "fill 400 92 3 14 0,184,169", "fill 401 93 1 12 255,255,255"},
      {1.0f, 2, 100, "fill 400 92 2 14 0,184,169", ""},
      {4.0f, 10, 50, "fill 430 92 40 14 0,184,169", "fill 431 93 18 12 255,255,255"},
  };
  Task& task = Add("Piling", 10, 10);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bar);
    task.Finish = Day(10 + c.days - 1);
    task.PercentComplete = c.percent;
    view_.DayWidth = c.dayWidth;
    Rows();
    const auto calls = Draw();
    EXPECT_TRUE(Has(calls, c.bar));
    EXPECT_EQ(CountEnding(calls, " 12 255,255,255"), c.progress.empty() ? 0 : 1);
    if (!c.progress.empty()) {
      EXPECT_TRUE(Has(calls, c.progress));
    }
  }
}

TEST_F(GanttChartTest, MilestoneDiamondAndBaselineVariance) {
  struct Case {
    bool milestone;
    std::int64_t first, last, baselineFirst, baselineLast;
    std::vector<std::string> marks;
  };
  const Case cases[] = {
      // Same day: a 1-pixel mark and the tick in the middle of the day.
      {true, 10, 10, 10, 10, {"fill 432 107 1 2 70,82,96", "fill 432 104 1 5 70,82,96"}},
      // Moved by three days: from the baseline day's middle to the milestone's.
      {true, 10, 10, 7, 7, {"fill 420 107 13 2 70,82,96", "fill 420 104 1 5 70,82,96"}},
      // A bar two days late: baseline bar, then the line from its end to the bar end.
      {false,
       10,
       14,
       8,
       12,
       {"fill 422 107 20 2 70,82,96", "fill 442 107 9 2 70,82,96", "fill 442 104 1 5 70,82,96"}},
  };
  Task& task = Add("Handover", 0, 0);
  for (const Case& c : cases) {
    task.Milestone = c.milestone ? 1 : 0;
    task.Start = Day(c.first);
    task.Finish = Day(c.last);
    task.BaselineStart = Day(c.baselineFirst);
    task.BaselineFinish = Day(c.baselineLast);
    Rows();
    const auto calls = Draw();
    for (const std::string& mark : c.marks) EXPECT_TRUE(Has(calls, mark)) << mark;
    EXPECT_EQ(CountEnding(calls, " 70,82,96"), static_cast<std::int64_t>(c.marks.size()));
    // The diamond: 13 outline rows around 11 rows of the bar colour, its tip on the day's middle.
    EXPECT_EQ(CountEnding(calls, " 1 36,59,83"), c.milestone ? 13 : 0);
    EXPECT_EQ(Has(calls, "fill 432 93 1 1 36,59,83"), c.milestone);
    EXPECT_EQ(CountEnding(calls, " 1 0,184,169"), c.milestone ? 11 : 0);
  }
}

TEST_F(GanttChartTest, TaskWithoutDatesHasNameAndLabelButNoBar) {
  Task& task = Add("Loose end", -1, -1);
  task.ResourceLabel = "Crew";
  Rows();
  const auto calls = Draw();
  EXPECT_TRUE(Has(calls, "text 18 92 text 16,42,67 transparent Loose end"));
  EXPECT_TRUE(Has(calls, "text 396 93 small 85,85,85 transparent Crew"));  // K - ScrollX + 6
  EXPECT_EQ(CountEnding(calls, " 0,184,169"), 0);
}

// Months are labelled where they begin, weeks from 3 px a day, days from 8 px.
TEST_F(GanttChartTest, TimelineHeaderLabels) {
  struct Case {
    float dayWidth;
    std::int64_t scrollX, months, marks;  // texts at y 57 and at y 73
    std::vector<std::string> texts;       // "x y label" in white small text
  };
  // 410 pixels of a 90-day timeline; 1 April 2026 is day 30, 1 May day 60.
  const Case cases[] = {
      {2.9f, 0, 3, 0, {"393 57 03.2026"}},
      // Weeks two spaces apart: at 3 px a day every other one.
      {3.0f, 0, 3, 7, {"393 73 W10", "435 73 W12"}},
      // Every day lettered; the weeks beside the months where they have room.
      {8.0f, 0, 6, 52, {"392 73 M", "400 73 T", "440 73 S", "505 57 W12"}},
      // The month the view begins in is named at its left edge.
      {4.0f, 40, 3, 6, {"393 57 03.2026", "473 57 04.2026", "593 57 05.2026"}},
  };
  Add("Site", 0, 80);
  Rows();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dayWidth);
    view_.DayWidth = c.dayWidth;
    view_.ScrollX = c.scrollX;
    const auto calls = Draw();
    std::int64_t at57 = 0, at73 = 0;
    for (const std::string& call : calls) {
      std::istringstream in(call);
      std::string kind;
      std::int64_t x = 0, y = 0;
      in >> kind >> x >> y;
      at57 += kind == "text" && y == 57 ? 1 : 0;
      at73 += kind == "text" && y == 73 ? 1 : 0;
    }
    EXPECT_EQ(at57, c.months);
    EXPECT_EQ(at73, c.marks);
    for (const std::string& text : c.texts) {
      const std::size_t label = text.rfind(' ');
      EXPECT_TRUE(
          Has(calls, "text " + text.substr(0, label) + " small 255,255,255 transparent" + text.substr(label)))
          << text;
    }
  }
}

TEST_F(GanttChartTest, NothingBelowHeight113) {
  Add("Site", 0, 5);
  Rows();
  height_ = 112;
  EXPECT_TRUE(Draw().empty());
  height_ = 113;
  const auto calls = Draw();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "fill 0 0 800 113 238,243,247");
}

TEST_F(GanttChartTest, LinkToRowAboveEndsInArrowPointingUp) {
  Add("Deck", 10, 12);
  Add("Piles", 0, 4);
  Link(0, 1, 1);  // FS from the second row to the first
  Rows();
  const auto calls = Draw();
  const std::vector<std::string> expected = {
      "fill 410 121 20 1 97,106,107", "fill 430 99 1 22 97,106,107", "fill 426 103 9 1 97,106,107",
      "fill 427 102 7 1 97,106,107",  "fill 428 101 5 1 97,106,107", "fill 429 100 3 1 97,106,107",
  };
  const auto first = std::find(calls.begin(), calls.end(), expected.front());
  ASSERT_NE(first, calls.end());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), first));
}

TEST_F(GanttChartTest, LinksOfHiddenOrFarRows) {
  struct Case {
    std::string name;
    bool fold;
    std::int64_t successorRow;
    bool driving;
    std::string colour;  // of the link fills, empty when none is drawn
  };
  const Case cases[] = {
      {"both in view", false, 3, false, " 36,113,163"},
      {"predecessor folded away", true, 3, false, ""},
      {"successor off screen", false, 30, false, ""},
      {"driving successor off screen", false, 30, true, " 255,0,0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plan_->Tasks.clear();
    Add("Phase", 0, 4);
    Add("Survey", 0, 4, 2);
    for (std::int64_t r = 2; r <= 31; ++r) Add("Work " + std::to_string(r), 6, 8);
    const std::int64_t successor = c.successorRow + (c.fold ? 1 : 0);
    Link(successor, 1, 3, c.driving);  // SS from the survey
    Rows(c.fold ? std::vector<std::int64_t>{0} : std::vector<std::int64_t>{});
    const auto calls = Draw();
    const std::int64_t links = CountEnding(calls, " 36,113,163") + CountEnding(calls, " 255,0,0");
    EXPECT_EQ(links, c.colour.empty() ? 0 : CountEnding(calls, c.colour));
    EXPECT_EQ(links > 0, !c.colour.empty());
  }
}

TEST_F(GanttChartTest, TodayDottedLineInsideTimelineOnly) {
  Add("Site", 0, 40);
  Rows();
  struct Case {
    std::int64_t offset;
    std::int64_t dots;
  };
  // R = 188: dots at y 88, 93, ... 273.
  const Case cases[] = {{5, 38}, {-5, 0}, {200, 0}};
  for (const Case& c : cases) {
    today_ = Day(c.offset);
    const auto calls = Draw();
    EXPECT_EQ(CountEnding(calls, " 3 3 255,38,61"), c.dots);
    EXPECT_EQ(Has(calls, "text 412 73 small 255,38,61 transparent Today"), c.dots > 0);
    EXPECT_EQ(Has(calls, "fill 410 88 3 3 255,38,61") && Has(calls, "fill 410 273 3 3 255,38,61"),
              c.dots > 0);
  }
}

// "Today" stands where it covers no other label: right of its line or left of it among the
// months, else below them, where the weeks it would cover give way; the month labels and their
// grid lines always stay. Recorded text is 7 px a character, two spaces 14 px.
TEST_F(GanttChartTest, TodayTakesNoMonthLabelsPlace) {
  struct Case {
    std::int64_t today;  // day offset; 1 April 2026 is day 30, at x 510
    std::int64_t x, y;   // of the label
  };
  const Case cases[] = {
      {17, 460, 57},  // between "03.2026" and "04.2026", right of its line
      {26, 457, 57},  // "04.2026" right of it: left of its line
      {0, 392, 73},   // on "03.2026": below, where "W10" gives way
      {31, 516, 73},  // on "04.2026"
  };
  Add("Site", 0, 80);
  Rows();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.today);
    today_ = Day(c.today);
    const auto calls = Draw();
    EXPECT_TRUE(Has(calls, "text 393 57 small 255,255,255 transparent 03.2026"));
    EXPECT_TRUE(Has(calls, "text 513 57 small 255,255,255 transparent 04.2026"));
    EXPECT_TRUE(Has(calls, "fill 390 88 1 188 199,213,224"));
    EXPECT_TRUE(Has(calls, "fill 510 88 1 188 199,213,224"));
    EXPECT_TRUE(Has(calls, "text " + std::to_string(c.x) + " " + std::to_string(c.y) +
                               " small 255,38,61 transparent Today"));
    EXPECT_EQ(Has(calls, "text 393 73 small 255,255,255 transparent W10"), c.today != 0);
  }
}

// The texts on one header line ("text X Y ..." at y), as (x, width) left to right.
std::vector<std::pair<std::int64_t, std::int64_t>> LabelsAt(const std::vector<std::string>& calls,
                                                             std::int64_t line) {
  std::vector<std::pair<std::int64_t, std::int64_t>> labels;
  for (const std::string& call : calls) {
    std::istringstream in(call);
    std::string kind, font, colour, mode, text;
    std::int64_t x = 0, y = 0;
    in >> kind >> x >> y >> font >> colour >> mode;
    std::getline(in, text);
    if (kind != "text" || y != line) continue;
    labels.emplace_back(x, static_cast<std::int64_t>(text.size() - 1) * RecordingPainter::kCharWidth);
  }
  std::sort(labels.begin(), labels.end());
  return labels;
}

// A label that would reach into the next one on its line is left out, at every zoom: the
// earlier gives way, so the one that stands is whole. Its grid line stays.
TEST_F(GanttChartTest, HeaderLabelsNeverRunIntoEachOther) {
  // The timeline starts on 29 August: "08.2026" would stand 24 px before "09.2026" (3 days).
  plan_->TimelineStart = OrdinalFromDate(2026, 8, 29);
  plan_->TimelineDays = 400;
  Task& task = Add("Site", 0, 80);
  task.Start = plan_->TimelineStart + 3;
  task.Finish = plan_->TimelineStart + 200;
  Rows();
  width_ = 1400;
  view_.DayWidth = 8.0f;
  auto calls = Draw();
  EXPECT_FALSE(Has(calls, "text 393 57 small 255,255,255 transparent 08.2026"));
  EXPECT_TRUE(Has(calls, "text 417 57 small 255,255,255 transparent 09.2026"));
  EXPECT_TRUE(Has(calls, "fill 390 88 1 188 199,213,224"));  // the first day's line stays
  EXPECT_TRUE(Has(calls, "fill 414 88 1 188 199,213,224"));

  const float widths[] = {1.0f, 1.3f, 1.7f, 2.0f, 2.9f, 3.0f, 3.2f, 4.0f, 5.5f, 7.9f, 8.0f, 9.5f, 13.0f, 20.0f};
  const std::int64_t scrolls[] = {0, 5, 37, 200};
  for (const float width : widths) {
    for (const std::int64_t scroll : scrolls) {
      SCOPED_TRACE(testing::Message() << width << " px/day, scrolled " << scroll);
      view_.DayWidth = width;
      view_.ScrollX = scroll;
      calls = Draw();
      for (const std::int64_t line : {57, 73}) {
        const auto labels = LabelsAt(calls, line);
        for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
          EXPECT_LE(labels[i].first + labels[i].second, labels[i + 1].first) << "line " << line;
        }
        // Months always have a label in view, and so have weeks and days where they are marked.
        if (line == 57 || width >= 3.0f) {
          EXPECT_FALSE(labels.empty()) << "line " << line;
        }
      }
    }
  }
}

// Whatever the view state, every fill shows within the chart and the clip, and no value wraps.
TEST_F(GanttChartTest, OutlandishViewStatesStayWithinTheTarget) {
  Task& task = Add("Deep", 0, 3, 1LL << 60);
  task.PercentComplete = 1000;
  task.BaselineStart = Day(0);
  task.BaselineFinish = Day(-100);
  Add("Far", 3000000, 3000001);
  Link(0, 1, 0, true);  // from far right back to the first row
  Rows();
  const float nan = std::nanf("");
  struct View {
    float dayWidth;
    std::int64_t scrollX, scrollY, column;
  };
  const View views[] = {
      {nan, INT64_MAX, INT64_MIN, 390},
      {0.0f, INT64_MIN, INT64_MAX, INT64_MAX},
      {1e30f, -5000, 0, INT64_MIN},
      {4.0f, 300, 0, 281},  // a chart narrower than its task column: every clip right of it is empty
  };
  for (const View& view : views) {
    view_.DayWidth = view.dayWidth;
    view_.ScrollX = view.scrollX;
    view_.ScrollY = view.scrollY;
    view_.TaskColumnWidth = view.column;
    width_ = view.column == 281 ? 39 : 800;
    std::int64_t clip[4] = {0, 0, width_, height_};
    for (const std::string& call : Draw()) {
      std::istringstream in(call);
      std::string kind;
      std::int64_t x = 0, y = 0, w = 0, h = 0;
      in >> kind >> x >> y >> w >> h;
      if (kind == "clip" || kind == "noclip") {
        clip[0] = kind == "clip" ? x : 0;
        clip[1] = kind == "clip" ? y : 0;
        clip[2] = kind == "clip" ? x + w : width_;
        clip[3] = kind == "clip" ? y + h : height_;
        EXPECT_TRUE(clip[0] >= 0 && clip[1] >= 0 && clip[2] <= width_ && clip[3] <= height_) << call;
      } else if (kind == "fill") {
        EXPECT_TRUE(x < width_ && y < height_ && x + w > 0 && y + h > 0) << call;
        EXPECT_TRUE(x < clip[2] && y < clip[3] && x + w > clip[0] && y + h > clip[1]) << call;
      }
    }
  }
}

TEST_F(GanttChartTest, SmallPlanFrames) {
  Task& phase = Add("Quay wall", 0, 12);
  phase.Summary = 1;
  Task& piles = Add("Drive piles", 0, 4, 2);
  piles.PercentComplete = 60;
  piles.BaselineStart = Day(0);
  piles.BaselineFinish = Day(3);
  piles.ResourceLabel = "Crane 2";
  piles.Notes = "Check noise limits";
  Task& deck = Add("Pour deck", 7, 12, 2);
  deck.Critical = 1;
  Add("Deck ready", 12, 12, 2).Milestone = 1;
  Task& second = Add("Yard", 13, 20);
  second.Summary = 1;
  second.Phase = 1;
  Add("Paving", 13, 20, 2).Phase = 1;
  Link(2, 1, 1, true);
  Link(3, 2, 0);
  Link(5, 3, 2);
  plan_->ProjectStartLabel = OrdinalLabel(Day(0));
  plan_->ProjectFinishLabel = OrdinalLabel(Day(20));
  plan_->Resources.resize(1);
  today_ = Day(6);
  find_ = 4;
  view_.DayWidth = 8.0f;
  width_ = 640;
  height_ = 260;
  Rows();
  const auto join = [](const std::vector<std::string>& calls) {
    std::string text;
    for (const std::string& call : calls) text += call + "\n";
    return text;
  };
  EXPECT_TRUE(test::MatchesGolden(std::string(NERIN_VIEWS_DATA_DIR) + "/gantt_small.calls", join(Draw())));
  view_.DayWidth = 3.0f;
  view_.ScrollY = 30;
  Rows({0});
  EXPECT_TRUE(test::MatchesGolden(std::string(NERIN_VIEWS_DATA_DIR) + "/gantt_folded.calls", join(Draw())));
}

}  // namespace
}  // namespace nerin

namespace nerin {
namespace {

// The widths of the day-off fills, left to right.
std::vector<std::int64_t> DayOffWidths(const std::vector<std::string>& calls) {
  const std::string colour = " " + std::to_string(WeekendColour.r) + "," + std::to_string(WeekendColour.g) + "," +
                             std::to_string(WeekendColour.b);
  std::vector<std::int64_t> widths;
  for (const std::string& call : calls) {
    if (!call.starts_with("fill ") || !call.ends_with(colour)) continue;
    std::istringstream numbers(call.substr(5));
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t w = 0;
    numbers >> x >> y >> w;
    widths.push_back(w);
  }
  return widths;
}

// Without a calendar Saturday and Sunday are shaded together; the plan's calendar shades its
// holiday (Wednesday 4 March) and leaves its working Saturdays white.
TEST_F(GanttChartTest, ShadingFollowsTheProjectCalendar) {
  Add("Pour", 0, 12);
  Rows();
  view_.DayWidth = 8.0f;
  const std::vector<std::int64_t> standard = DayOffWidths(Draw());
  ASSERT_FALSE(standard.empty());
  EXPECT_EQ(standard.front(), 16);  // Saturday 7 and Sunday 8 March

  CalendarDefinition definition;
  definition.Week[6].Defined = true;
  definition.Week[6].Working = true;
  CalendarException holiday;
  holiday.Name = "Holiday";
  holiday.From = Day(2);
  holiday.To = Day(2);
  holiday.Day.Defined = true;
  definition.Exceptions.push_back(holiday);
  CalendarNotes notes;
  PlanCalendar calendar;
  calendar.UID = 1;
  calendar.Calendar = std::make_shared<const WorkCalendar>(definition, nullptr, notes);
  plan_->Terms.Calendars.push_back(calendar);
  plan_->Terms.ProjectCalendar = 0;
  const std::vector<std::int64_t> own = DayOffWidths(Draw());
  ASSERT_GE(own.size(), 2u);
  EXPECT_EQ(own[0], 8);  // the holiday
  EXPECT_EQ(own[1], 8);  // Sunday alone
  EXPECT_EQ(std::count(own.begin(), own.end(), 16), 0);
}

// The status date is a line of its own beside Today, with its label; a plan without one has none.
TEST_F(GanttChartTest, StatusDateLine) {
  Add("Pour", 0, 12);
  Rows();
  view_.DayWidth = 8.0f;
  today_ = Day(3);
  EXPECT_EQ(CountEnding(Draw(), " Status date"), 0);
  plan_->Terms.StatusDate = Day(5);
  const std::vector<std::string> calls = Draw();
  EXPECT_EQ(CountEnding(calls, " Status date"), 1);
  EXPECT_EQ(CountEnding(calls, " Today"), 1);
}

}  // namespace
}  // namespace nerin
