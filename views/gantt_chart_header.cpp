// SPDX-License-Identifier: MIT
#include "views/gantt_chart_header.h"

#include <algorithm>
#include <array>

#include "calendar/value_text.h"

namespace nerin {

namespace {

// A label's span on its line, [Left, Right).
struct Span {
  std::int64_t Left = 0;
  std::int64_t Right = 0;
};

// The labels shown on one line so far, kept in order of their left edges.
class LineSpans {
 public:
  // Whether the span comes closer than `gap` to a label shown.
  bool Crowds(Span span, std::int64_t gap) const {
    // The first label that ends after this one may begin, less the gap, is the only one
    // that can touch it from the left; every label up to the end of this one may too.
    auto it = std::lower_bound(spans_.begin(), spans_.end(), span.Left - gap,
                               [](const Span& shown, std::int64_t left) { return shown.Right < left; });
    for (; it != spans_.end() && it->Left < span.Right + gap; ++it) {
      if (span.Left < it->Right + gap && span.Right + gap > it->Left) return true;
    }
    return false;
  }
  void Add(Span span) {
    const auto at = std::lower_bound(spans_.begin(), spans_.end(), span.Left,
                                     [](const Span& shown, std::int64_t left) { return shown.Left < left; });
    spans_.insert(at, span);
  }

 private:
  std::vector<Span> spans_;
};

const char* WeekdayLetter(std::int64_t weekday) {
  static constexpr std::array<const char*, 7> kLetters = {"S", "M", "T", "W", "T", "F", "S"};
  return weekday >= 0 && weekday < 7 ? kLetters[static_cast<std::size_t>(weekday)] : "";
}

}  // namespace

std::string TickText(const TimelineTick& tick) {
  switch (tick.Kind) {
    case TickKind::Month:
      return OrdinalMonthLabel(tick.Date);
    case TickKind::Week:
      return "W" + IntegerText(IsoWeekFromOrdinal(tick.Date));
    case TickKind::Day:
      break;
  }
  return WeekdayLetter(WeekDayFromOrdinal(tick.Date));
}

HeaderLabels PlaceHeaderLabels(const TimelineScale& scale, const std::vector<TimelineTick>& ticks,
                               std::optional<std::int64_t> todayX, const HeaderTextWidth& width) {
  HeaderLabels placed;
  placed.Ticks.resize(ticks.size());
  const std::int64_t gap = std::max<std::int64_t>(2 * width(" "), 8);
  const bool lettered = scale.DayWidth >= 8.0f;  // day letters below, weeks beside the months
  LineSpans months;
  LineSpans marks;
  const auto spanOf = [&](const HeaderLabel& label) {
    return Span{label.Left, label.Left + width(label.Text)};
  };
  // Months from the right: the next month label shown, to keep clear of.
  std::int64_t nextMonth = INT64_MAX;
  for (std::size_t i = ticks.size(); i-- > 0;) {
    const TimelineTick& tick = ticks[i];
    if (tick.Kind != TickKind::Month) continue;
    // The month the view begins in is named at the timeline's edge.
    const bool inView = scale.InTimeline(tick.X);
    if (!inView && !(tick.X < scale.TaskColumnWidth && nextMonth > scale.TaskColumnWidth)) continue;
    HeaderLabel& label = placed.Ticks[i];
    label.Text = TickText(tick);
    label.Left = std::max(tick.X, scale.TaskColumnWidth) + 3;
    label.Y = HEADER_MONTH_LINE_Y;
    const Span span = spanOf(label);
    if (span.Right + gap > nextMonth) continue;
    label.Shown = true;
    nextMonth = span.Left;
    months.Add(span);
  }
  // Weeks and days from the left, in the room the months and the labels before them leave.
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const TimelineTick& tick = ticks[i];
    if (tick.Kind == TickKind::Month || !scale.InTimeline(tick.X)) continue;
    HeaderLabel& label = placed.Ticks[i];
    label.Text = TickText(tick);
    label.Left = tick.X + (tick.Kind == TickKind::Day ? 2 : 3);
    const bool besideMonths = tick.Kind == TickKind::Week && lettered;
    label.Y = besideMonths ? HEADER_MONTH_LINE_Y : HEADER_MARK_LINE_Y;
    LineSpans& line = besideMonths ? months : marks;
    const Span span = spanOf(label);
    // A day's letter stands in its own day and reads as one: letters only must not touch.
    if (line.Crowds(span, tick.Kind == TickKind::Day ? 0 : gap)) continue;
    label.Shown = true;
    line.Add(span);
  }
  if (!todayX || !scale.InTimeline(*todayX)) return placed;
  // Today's line is 3 px wide.
  HeaderLabel& today = placed.Today;
  today.Text = TODAY_LABEL;
  today.Shown = true;
  const std::int64_t todayWidth = width(today.Text);
  const std::int64_t rightOfLine = *todayX + 2;
  const std::int64_t leftOfLine = *todayX - 2 - todayWidth;
  for (const auto& [y, left] :
       {std::pair{HEADER_MONTH_LINE_Y, rightOfLine}, std::pair{HEADER_MONTH_LINE_Y, leftOfLine},
        std::pair{HEADER_MARK_LINE_Y, rightOfLine}, std::pair{HEADER_MARK_LINE_Y, leftOfLine}}) {
    if (left < scale.TaskColumnWidth) continue;
    if (!(y == HEADER_MONTH_LINE_Y ? months : marks).Crowds({left, left + todayWidth}, gap)) {
      today.Left = left;
      today.Y = y;
      return placed;
    }
  }
  // Nowhere free: the weeks or days it covers on the lower line give way to it; the months
  // keep their line.
  today.Left = rightOfLine;
  today.Y = HEADER_MARK_LINE_Y;
  for (HeaderLabel& label : placed.Ticks) {
    if (!label.Shown || label.Y != HEADER_MARK_LINE_Y) continue;
    const Span span = spanOf(label);
    if (span.Left < today.Left + todayWidth + gap && span.Right + gap > today.Left) label.Shown = false;
  }
  return placed;
}

}  // namespace nerin
