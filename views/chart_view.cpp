#include "views/chart_view.h"

#include <algorithm>

namespace nerin {

std::int64_t ScaledPixels(std::int64_t days, float dayWidth) {
  return TruncateToInteger(static_cast<double>(static_cast<float>(days) * dayWidth));
}

std::int64_t PixelsToDays(std::int64_t pixels, float dayWidth) {
  return TruncateToInteger(static_cast<double>(static_cast<float>(pixels) / dayWidth));
}

std::int64_t DayX(const ChartView& view, const Plan& plan, DayOrdinal day) {
  return ScaledPixels(day - plan.TimelineStart, view.DayWidth) + view.TaskColumnWidth - view.ScrollX;
}

std::int64_t RowAreaHeight(const ChartView& view) {
  return view.Height < CHART_FRAME_HEIGHT + 1 ? 1 : view.Height - CHART_FRAME_HEIGHT;
}

std::int64_t TimelineAreaWidth(const ChartView& view) {
  return std::max<std::int64_t>(view.Width - view.TaskColumnWidth, 1);
}

std::int64_t TimelineMiddle(const ChartView& view) {
  const std::int64_t width = view.Width - view.TaskColumnWidth;
  return width > 1 ? view.TaskColumnWidth + width / 2 : view.TaskColumnWidth;
}

}  // namespace nerin
