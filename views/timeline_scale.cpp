// SPDX-License-Identifier: MIT
#include "views/timeline_scale.h"

#include <algorithm>

#include "views/chart_view.h"

namespace nerin {

std::int64_t BoundedCoordinate(std::int64_t value) {
  return std::clamp(value, -GEOMETRY_LIMIT, GEOMETRY_LIMIT);
}

TimelineScale TimelineScale::Of(const ChartView& view, const Plan& plan, std::int64_t width) {
  TimelineScale scale = Of(view, width);
  scale.Start = BoundedCoordinate(plan.TimelineStart);
  scale.Days = BoundedCoordinate(plan.TimelineDays);
  return scale;
}

TimelineScale TimelineScale::Of(const ChartView& view, std::int64_t width) {
  TimelineScale scale;
  // Also catches a scale that is not a number.
  scale.DayWidth = view.DayWidth >= MIN_DAY_WIDTH ? std::min(view.DayWidth, MAX_DAY_WIDTH) : MIN_DAY_WIDTH;
  scale.TaskColumnWidth = BoundedCoordinate(view.TaskColumnWidth);
  scale.ScrollX = BoundedCoordinate(view.ScrollX);
  scale.Width = std::clamp<std::int64_t>(width, 0, GEOMETRY_LIMIT);
  return scale;
}

std::int64_t TimelineScale::IndexAt(std::int64_t x) const {
  return IndexAtOffset(BoundedCoordinate(x) - TaskColumnWidth + ScrollX);
}

std::int64_t TimelineScale::IndexAtOffset(std::int64_t pixels) const {
  pixels = BoundedCoordinate(pixels);
  if (pixels < 0) return -1;
  std::int64_t j = PixelsToDays(pixels, DayWidth);
  // The float quotient may land one day off an edge; the product decides.
  while (j > 0 && ScaledPixels(j, DayWidth) > pixels) --j;
  while (ScaledPixels(j + 1, DayWidth) <= pixels) ++j;
  return j;
}

std::int64_t TimelineScale::ScrollXAfterZoom(float newDayWidth, std::int64_t anchorX) const {
  const float anchorPixels =
      static_cast<float>(std::max<std::int64_t>(BoundedCoordinate(anchorX) - TaskColumnWidth, 0));
  // The position under the anchor, in days of the old scale, at the new scale.
  const float anchorDays = (anchorPixels + static_cast<float>(ScrollX)) / DayWidth;
  return std::max<std::int64_t>(TruncatedFloat(newDayWidth * anchorDays - anchorPixels), 0);
}

std::int64_t TimelineScale::HalfDay() const {
  return TruncateToInteger(static_cast<double>(DayWidth / 2.0f));
}

std::int64_t TimelineScale::AreaWidth() const {
  return std::max<std::int64_t>(Width - TaskColumnWidth, 1);
}

std::int64_t TimelineScale::Middle() const {
  const std::int64_t width = Width - TaskColumnWidth;
  return width > 1 ? TaskColumnWidth + width / 2 : TaskColumnWidth;
}

bool TimelineScale::InTimeline(std::int64_t x) const {
  return x >= TaskColumnWidth && x <= Width;
}

DayRange TimelineScale::VisibleDays() const {
  DayRange days;
  days.First = std::max<std::int64_t>(PixelsToDays(ScrollX, DayWidth) - 1, 0);
  days.Last = std::min(PixelsToDays(Width + ScrollX - TaskColumnWidth, DayWidth) + 1, Days);
  return days;
}

std::vector<TimelineTick> TimelineScale::Ticks(DayRange days) const {
  std::vector<TimelineTick> ticks;
  std::int64_t previousMonth = -1;
  // The first day after the month of the last date looked at: the days before it are in the
  // same month, so the calendar is asked once a month, not once a day.
  DayOrdinal nextMonth = 0;
  for (std::int64_t j = days.First; j <= days.Last; ++j) {
    const DayOrdinal date = Start + j;
    if (date > 0 && date < nextMonth) continue;
    std::int64_t year = 0, month = 0, day = 0;
    DateFromOrdinal(date, year, month, day);
    nextMonth = date > 0 ? date - day + 1 + DaysInMonth(year, month) : 0;
    if (month != previousMonth) {
      previousMonth = month;
      ticks.push_back({TickKind::Month, date, IndexX(j)});
    }
  }
  const bool everyDay = DayWidth >= 8.0f;
  if (!everyDay && DayWidth < 3.0f) return ticks;
  for (std::int64_t j = days.First; j <= days.Last; ++j) {
    const DayOrdinal date = Start + j;
    if (everyDay) ticks.push_back({TickKind::Day, date, IndexX(j)});
    if (WeekDayFromOrdinal(date) == 1) {
      ticks.push_back({TickKind::Week, date, IndexX(j)});
    }
  }
  return ticks;
}

}  // namespace nerin
