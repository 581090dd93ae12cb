// SPDX-License-Identifier: MIT
// What the Gantt tab shows while there is no chart to draw.
#pragma once

#include <cstdint>
#include <string>

#include "views/chart_painter.h"

namespace nerin {

// The placeholder of a canvas w x h without a project: title band, "No project loaded", the
// footer when there is room for it and the hint to open a file when there is room for that.
void DrawEmptyChart(ChartPainter& painter, std::int64_t w, std::int64_t h);

}  // namespace nerin
