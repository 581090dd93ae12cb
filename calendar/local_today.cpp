// SPDX-License-Identifier: MIT
#include "calendar/local_today.h"

#include <ctime>

namespace nerin {

DayOrdinal LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) {
    return 0;
  }
  return OrdinalFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace nerin
