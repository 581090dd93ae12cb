// SPDX-License-Identifier: MIT
// Today's date on this machine's calendar: the chart's today line, Today and the exports.
#pragma once

#include "calendar/day_ordinal.h"

namespace nerin {

// The local calendar date as a day ordinal; 0 (no date) when the clock cannot be read.
DayOrdinal LocalToday();

}  // namespace nerin
