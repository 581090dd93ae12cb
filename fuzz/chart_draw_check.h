// SPDX-License-Identifier: MIT
// Draws the chart of a loaded plan at view states taken from fuzz input and stops the process
// when a frame does more than its rows, days and links call for, or paints where it cannot
// show.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/plan.h"

namespace nerin {

// bytes: where the view states come from (read cyclically; nothing happens for none).
void CheckChartDrawing(const Plan& plan, const std::uint8_t* bytes, std::size_t size);

}  // namespace nerin
