// SPDX-License-Identifier: MIT
// The timeline's coordinate maths as one value: day <-> x, the days in view and the tick marks
// of the header. Drawing, the hit tests and the scroll commands all take x from here, so that
// they agree to the pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "calendar/day_ordinal.h"
#include "model/plan.h"

namespace nerin {

struct ChartView;

// The one overflow rule of the chart's geometry: every coordinate, offset, date and count is
// brought within +-2^40 before it takes part in a sum or a product. A real plan spans at most
// a few million days and 10000 rows, so nothing real is changed, and no sum of a few such
// values times a scale of at most 20 can leave the 64-bit range.
inline constexpr std::int64_t GEOMETRY_LIMIT = std::int64_t{1} << 40;
std::int64_t BoundedCoordinate(std::int64_t value);

// A float cut toward zero as TruncateToInteger cuts it. Inline, since a frame takes some
// thousand products: within +-2^62 the plain conversion is that cut, and the rest (huge
// values, infinities, not a number) goes to the rule itself.
inline std::int64_t TruncatedFloat(float value) {
  constexpr float kPlain = 4.6e18f;
  if (value > -kPlain && value < kPlain) return static_cast<std::int64_t>(value);
  return TruncateToInteger(static_cast<double>(value));
}

// A whole number of days (or pixels) times the scale, taken in 32-bit float and cut toward
// zero: the one product that screen, image, hit tests and scroll metrics all use (5 days at
// 1.4 px are 7 px, as 5 * 1.4f is exactly 7 in float).
inline std::int64_t ScaledPixels(std::int64_t days, float dayWidth) {
  return TruncatedFloat(static_cast<float>(days) * dayWidth);
}
// The matching quotient: trunc(pixels / dayWidth), in 32-bit float.
inline std::int64_t PixelsToDays(std::int64_t pixels, float dayWidth) {
  return TruncatedFloat(static_cast<float>(pixels) / dayWidth);
}

struct DayRange {
  std::int64_t First = 0;  // day indexes from the timeline's start, both ends included
  std::int64_t Last = -1;
};

enum class TickKind { Month, Week, Day };

// One mark of the timeline header: a grid line down the rows at X and, where X lies in the
// timeline, a label.
struct TimelineTick {
  TickKind Kind = TickKind::Month;
  DayOrdinal Date = 0;
  std::int64_t X = 0;
};

struct TimelineScale {
  DayOrdinal Start = 0;              // the timeline's first day
  std::int64_t Days = 0;             // TimelineDays
  float DayWidth = 4.0f;             // within 1..20, whatever the view held
  std::int64_t TaskColumnWidth = 0;  // K: x where the timeline begins
  std::int64_t ScrollX = 0;
  std::int64_t Width = 0;  // W: the target's width

  // The scale of a chart w pixels wide, every value bounded.
  static TimelineScale Of(const ChartView& view, const Plan& plan, std::int64_t width);
  // The same without a timeline: for what depends only on the scale and the task column.
  static TimelineScale Of(const ChartView& view, std::int64_t width);

  // Pixels from the timeline's start to the left edge of the day (scroll offsets are in these).
  std::int64_t Offset(DayOrdinal day) const { return ScaledPixels(BoundedCoordinate(day) - Start, DayWidth); }
  // Left edge of a day on the target: trunc((d - Start) * DayWidth) + K - ScrollX.
  std::int64_t DayX(DayOrdinal day) const { return Offset(day) + TaskColumnWidth - ScrollX; }
  // Left edge of day index j (the date Start + j).
  std::int64_t IndexX(std::int64_t j) const {
    return ScaledPixels(BoundedCoordinate(j), DayWidth) + TaskColumnWidth - ScrollX;
  }
  // The day index under x (the one whose span holds it), -1 left of the timeline's start.
  std::int64_t IndexAt(std::int64_t x) const;
  // The day index whose span holds a timeline offset (pixels from the timeline's start), -1
  // for a negative offset: the inverse of Length, exact to the pixel.
  std::int64_t IndexAtOffset(std::int64_t pixels) const;
  // A span of whole days, in pixels.
  std::int64_t Length(std::int64_t days) const { return ScaledPixels(BoundedCoordinate(days), DayWidth); }
  // Half a day, for the middle of a milestone's day.
  std::int64_t HalfDay() const;
  // The scroll offset that keeps the timeline position under anchor x where it is when the
  // scale changes to newDayWidth (zooming around the pointer or the middle). In 32-bit float,
  // the precision of the scale itself; never below 0.
  std::int64_t ScrollXAfterZoom(float newDayWidth, std::int64_t anchorX) const;
  // Width of the timeline area (W - K, at least 1) and its middle, the anchor of zoom keys.
  std::int64_t AreaWidth() const;
  std::int64_t Middle() const;
  // K <= x <= W: where header labels and the today line may stand.
  bool InTimeline(std::int64_t x) const;
  // The days in view plus one on each side, within the timeline.
  DayRange VisibleDays() const;
  // The header's marks over the days: every first day of a month (and the first day of the
  // range), then, by zoom, every Monday as a week (3 <= DayWidth), every day besides (8 and
  // more), or none (below 3).
  std::vector<TimelineTick> Ticks(DayRange days) const;
};

}  // namespace nerin
