// SPDX-License-Identifier: MIT
// Integer arithmetic that clips instead of overflowing: sums and products taken wide and held
// to the 64-bit range, so that an absurd size or offset from a file or a window never wraps on
// its way to a clamp.
#pragma once

#include <cstdint>
#include <limits>

namespace nerin {

// A wide value clipped to the 64-bit range.
constexpr std::int64_t Saturate(__int128 value) {
  constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
  if (value > largest) return largest;
  if (value < smallest) return smallest;
  return static_cast<std::int64_t>(value);
}

constexpr std::int64_t SaturatingSum(std::int64_t a, std::int64_t b) {
  return Saturate(static_cast<__int128>(a) + b);
}

constexpr std::int64_t SaturatingDifference(std::int64_t a, std::int64_t b) {
  return Saturate(static_cast<__int128>(a) - b);
}

constexpr std::int64_t SaturatingProduct(std::int64_t a, std::int64_t b) {
  return Saturate(static_cast<__int128>(a) * b);
}

}  // namespace nerin
