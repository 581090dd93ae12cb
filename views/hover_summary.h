// The box of a task's facts that the chart shows next to a resting pointer.
#pragma once

#include <cstdint>

#include "model/plan.h"
#include "views/chart_painter.h"

namespace nerin {

inline constexpr int HOVER_DELAY_MS = 450;

struct HoverState {
  std::int64_t HoveredTask = -1;  // task of the row under the pointer
  std::int64_t SummaryTask = -1;  // task the shown box describes
  bool Shown = false;
  bool TimerArmed = false;
  std::int64_t AnchorX = 0;  // pointer position of the last move while the box was hidden
  std::int64_t AnchorY = 0;
};

// Paints the box of hover.SummaryTask over a chart of w x h; nothing when that is no task.
void DrawHoverSummary(ChartPainter& painter, const Plan& plan, const HoverState& hover, std::int64_t w,
                      std::int64_t h);

}  // namespace nerin
