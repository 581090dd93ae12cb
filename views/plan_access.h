// SPDX-License-Identifier: MIT
// Reading the plan's record arrays by index, within the count the plan holds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "model/plan.h"

namespace nerin {

// An index already checked against its array, as the arrays' own index type.
inline std::size_t At(std::int64_t index) {
  return static_cast<std::size_t>(index);
}

// The number of tasks the plan holds.
inline std::int64_t TaskCountOf(const Plan& plan) {
  return plan.TaskCount();
}

inline bool IsTask(const Plan& plan, std::int64_t task) {
  return task >= 0 && task < TaskCountOf(plan);
}

}  // namespace nerin
