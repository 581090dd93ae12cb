// SPDX-License-Identifier: MIT
// The one way a 64-bit count or coordinate becomes a toolkit int: held within the given range
// (by default the whole int range), never wrapped.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace nerin {

constexpr int NarrowToInt(std::int64_t value, std::int64_t low = INT_MIN, std::int64_t high = INT_MAX) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::max<std::int64_t>(low, INT_MIN),
                                                   std::min<std::int64_t>(high, INT_MAX)));
}

}  // namespace nerin
