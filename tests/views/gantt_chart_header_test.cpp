// SPDX-License-Identifier: MIT
// Where the timeline header's labels stand: apart from each other at every zoom, the month the
// view begins in named at the edge, weeks beside the months where days are lettered, and
// "Today" wherever it covers no other label.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calendar/day_ordinal.h"
#include "views/gantt_chart_header.h"

namespace nerin {
namespace {

constexpr std::int64_t kCharWidth = 5;  // every character; a space too
constexpr std::int64_t kGap = 10;       // two spaces
constexpr std::int64_t K = 390;

std::int64_t Width(const std::string& text) {
  return static_cast<std::int64_t>(text.size()) * kCharWidth;
}

TimelineScale Scale(DayOrdinal start, float dayWidth, std::int64_t scrollX, std::int64_t width = 1400) {
  TimelineScale scale;
  scale.Start = start;
  scale.Days = 400;
  scale.DayWidth = dayWidth;
  scale.TaskColumnWidth = K;
  scale.ScrollX = scrollX;
  scale.Width = width;
  return scale;
}

HeaderLabels Place(const TimelineScale& scale, std::optional<std::int64_t> today = std::nullopt) {
  return PlaceHeaderLabels(scale, scale.Ticks(scale.VisibleDays()), today, Width);
}

struct Shown {
  std::string text;
  std::int64_t left, y;
};

std::vector<Shown> ShownLabels(const HeaderLabels& labels) {
  std::vector<Shown> shown;
  for (const HeaderLabel& label : labels.Ticks) {
    if (label.Shown) shown.push_back({label.Text, label.Left, label.Y});
  }
  if (labels.Today.Shown) shown.push_back({labels.Today.Text, labels.Today.Left, labels.Today.Y});
  std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) { return a.left < b.left; });
  return shown;
}

bool HasLabel(const HeaderLabels& labels, const std::string& text, std::int64_t left, std::int64_t y) {
  const auto shown = ShownLabels(labels);
  return std::any_of(shown.begin(), shown.end(),
                     [&](const Shown& s) { return s.text == text && s.left == left && s.y == y; });
}

// The fault seen at about 1.5 px a day ("09.2026" and "10.2026" 4 px apart) and 3 to 5 px a
// day ("W50W51"): no two labels on a line come closer than two spaces, at any zoom or scroll,
// "Today" included, and it always stands somewhere. Day letters only never touch.
TEST(GanttChartHeader, LabelsKeepTwoSpacesApartAtEveryZoom) {
  const DayOrdinal start = OrdinalFromDate(2026, 8, 29);
  const float widths[] = {1.0f, 1.3f, 1.5f, 1.7f, 2.0f, 2.9f, 3.0f,  3.2f,
                          4.0f, 5.0f, 5.5f, 7.9f, 8.0f, 9.5f, 13.0f, 20.0f};
  const std::int64_t scrolls[] = {0, 5, 37, 200, 611};
  for (const float dayWidth : widths) {
    for (const std::int64_t scroll : scrolls) {
      for (const std::int64_t todayOffset : {-1, 0, 30, 41}) {
        SCOPED_TRACE(testing::Message()
                     << dayWidth << " px/day, scrolled " << scroll << ", today " << todayOffset);
        const TimelineScale scale = Scale(start, dayWidth, scroll);
        const std::optional<std::int64_t> today =
            todayOffset < 0 ? std::nullopt : std::optional<std::int64_t>(scale.DayX(start + todayOffset));
        const HeaderLabels labels = Place(scale, today);
        const bool todayInView = today && scale.InTimeline(*today);
        EXPECT_EQ(labels.Today.Shown, todayInView);
        for (const std::int64_t y : {HEADER_MONTH_LINE_Y, HEADER_MARK_LINE_Y}) {
          std::vector<Shown> line;
          for (const Shown& s : ShownLabels(labels)) {
            if (s.y == y) line.push_back(s);
          }
          for (std::size_t i = 0; i + 1 < line.size(); ++i) {
            // Day letters, one to a day, only never touch.
            const bool letters = line[i].text.size() == 1 && line[i + 1].text.size() == 1;
            EXPECT_LE(line[i].left + Width(line[i].text) + (letters ? 0 : kGap), line[i + 1].left)
                << line[i].text << " then " << line[i + 1].text << " on line " << y;
          }
          for (const Shown& s : line) EXPECT_GE(s.left, K) << s.text;
        }
      }
    }
  }
}

TEST(GanttChartHeader, WhereEachLabelStands) {
  // 29 August 2026 is a Saturday; 31 August a Monday (week 36), 1 September a Tuesday.
  const DayOrdinal start = OrdinalFromDate(2026, 8, 29);
  struct Case {
    const char* name;
    float dayWidth;
    std::int64_t scroll;
    std::string text;
    std::int64_t left, y;
    bool shown;
  };
  const Case cases[] = {
      // The month the view begins in: named at the edge when the next month leaves room.
      {"first partial month at the edge", 4.0f, 20 * 4, "09.2026", K + 3, HEADER_MONTH_LINE_Y, true},
      {"partial month crowded by the next", 4.0f, 28 * 4, "09.2026", K + 3, HEADER_MONTH_LINE_Y, false},
      {"the next then stands whole", 4.0f, 28 * 4, "10.2026", K + 23, HEADER_MONTH_LINE_Y, true},
      // Weeks below the months from 3 px a day on, where there is room.
      {"week at 4 px", 4.0f, 0, "W36", K + 2 * 4 + 3, HEADER_MARK_LINE_Y, true},
      {"next week at 3 px: no room", 3.0f, 0, "W37", K + 9 * 3 + 3, HEADER_MARK_LINE_Y, false},
      {"the week after at 3 px", 3.0f, 0, "W38", K + 16 * 3 + 3, HEADER_MARK_LINE_Y, true},
      // From 8 px a day the days are lettered below and the weeks stand beside the months.
      {"day letter at 8 px", 8.0f, 0, "M", K + 2 * 8 + 2, HEADER_MARK_LINE_Y, true},
      {"week beside the months at 8 px", 8.0f, 0, "W37", K + 9 * 8 + 3, HEADER_MARK_LINE_Y - 16, true},
      {"a week crowding a month gives way", 20.0f, 0, "W36", K + 2 * 20 + 3, HEADER_MONTH_LINE_Y, false},
  };
  for (const Case& c : cases) {
    const HeaderLabels labels = Place(Scale(start, c.dayWidth, c.scroll));
    EXPECT_EQ(HasLabel(labels, c.text, c.left, c.y), c.shown) << c.name;
  }
}

// "Today" stands right of its line on the month line, else left of it, else on the lower line;
// only when no place is free do the weeks below give way.
TEST(GanttChartHeader, TodayCoversNoOtherLabel) {
  const DayOrdinal start = OrdinalFromDate(2026, 3, 1);  // "03.2026" at K + 3, 35 px wide
  struct Case {
    const char* name;
    float dayWidth;
    std::int64_t todayX;
    std::int64_t left, y;
  };
  const Case cases[] = {
      {"free right of the line", 4.0f, K + 60, K + 62, HEADER_MONTH_LINE_Y},
      {"a month to the right: left of the line", 4.0f, K + 110, K + 83, HEADER_MONTH_LINE_Y},
      {"on a month, no weeks below: below it", 2.0f, K + 1, K + 3, HEADER_MARK_LINE_Y},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HeaderLabels labels = Place(Scale(start, c.dayWidth, 0), c.todayX);
    ASSERT_TRUE(labels.Today.Shown);
    EXPECT_EQ(labels.Today.Left, c.left);
    EXPECT_EQ(labels.Today.Y, c.y);
    EXPECT_TRUE(HasLabel(labels, "03.2026", K + 3, HEADER_MONTH_LINE_Y));
  }
  // Weeks below and months above all around it: the weeks give way, never a month.
  const HeaderLabels crowded = Place(Scale(OrdinalFromDate(2026, 2, 28), 4.0f, 0), K + 4);
  EXPECT_EQ(crowded.Today.Left, K + 6);
  EXPECT_EQ(crowded.Today.Y, HEADER_MARK_LINE_Y);
  EXPECT_TRUE(HasLabel(crowded, "03.2026", K + 4 + 3, HEADER_MONTH_LINE_Y));
  EXPECT_FALSE(HasLabel(crowded, "W10", K + 8 + 3, HEADER_MARK_LINE_Y));
}

}  // namespace
}  // namespace nerin
