#include "views/chart_view.h"

namespace nerin {

std::int64_t ScaledPixels(std::int64_t days, float dayWidth) {
  return TruncateToInteger(static_cast<double>(static_cast<float>(days) * dayWidth));
}

std::int64_t PixelsToDays(std::int64_t pixels, float dayWidth) {
  return TruncateToInteger(static_cast<double>(static_cast<float>(pixels) / dayWidth));
}

}  // namespace nerin
