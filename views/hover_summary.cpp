#include "views/hover_summary.h"

namespace nerin {

void DrawHoverSummary(ChartPainter& /*painter*/, const Plan& /*plan*/, const HoverState& /*hover*/,
                      std::int64_t /*w*/, std::int64_t /*h*/) {}

}  // namespace nerin
