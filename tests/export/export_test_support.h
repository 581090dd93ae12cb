// SPDX-License-Identifier: MIT
// Plans loaded from files and PNG files read back, for the export tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/sources/plan_source.h"
#include "resources/png_codec.h"
#include "sources/sources_test_support.h"
#include "views/chart_painter.h"

namespace nerin::test {

inline const std::string LONG_PLAN = NERIN_EXPORT_DATA_DIR "/long_plan.xml";  // 1838 days, 2 rows
inline const std::string DEMO_PLAN = NERIN_SOURCE_DIR "/samples/demo-plan.xml";

// Decoded, or empty when the file is missing or broken.
inline RgbaImage ReadPng(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  RgbaImage image;
  DecodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image);
  return image;
}

inline Rgb PixelAt(const RgbaImage& image, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + x) * 4;
  return Rgb{image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

}  // namespace nerin::test
