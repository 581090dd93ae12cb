// SPDX-License-Identifier: MIT
// Where the labels of the timeline header stand: the months, the weeks, the days and "Today",
// each on its line only where it runs into no other. Plain placement from the ticks and a
// text measure, so that the chart draws it and the tests read it without a painter.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/timeline_scale.h"

namespace nerin {

// The header's two label lines: months (and, where days are lettered, the weeks between them)
// above, weeks or day letters below.
inline constexpr std::int64_t HEADER_MONTH_LINE_Y = 57;
inline constexpr std::int64_t HEADER_MARK_LINE_Y = 73;
inline constexpr const char* TODAY_LABEL = "Today";

struct HeaderLabel {
  std::string Text;
  std::int64_t Left = 0;
  std::int64_t Y = HEADER_MONTH_LINE_Y;
  bool Shown = false;
};

struct HeaderLabels {
  std::vector<HeaderLabel> Ticks;  // one per tick, in the ticks' order
  HeaderLabel Today;               // shown when today's line is in view
};

// The width of a text in the header's small font.
using HeaderTextWidth = std::function<std::int64_t(const std::string&)>;

// The labels of the ticks over the timeline and of today's line at todayX (none when it is
// not in view). Two labels on a line keep at least two spaces' width (8 px or more) apart, so
// that they never read as one word; day letters, one to a day, only never touch. Months come first: decided from the right, a month label
// that would crowd the next one is left out, so that the later stands whole; the month the
// view begins in is labelled at the timeline's left edge when it fits there. Week labels fill
// the room the months leave on their line; day letters have the lower line to themselves.
// "Today" stands right of its line, else left of it, on the month line, else on the lower one,
// wherever it covers no other label; only when there is no such place do the weeks or days it
// covers on the lower line give way, never a month.
HeaderLabels PlaceHeaderLabels(const TimelineScale& scale, const std::vector<TimelineTick>& ticks,
                               std::optional<std::int64_t> todayX, const HeaderTextWidth& width);

// The text of a tick's label: "MM.YYYY", "W" and the ISO week, or the weekday's letter.
std::string TickText(const TimelineTick& tick);

}  // namespace nerin
