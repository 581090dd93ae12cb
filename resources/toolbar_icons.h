// SPDX-License-Identifier: MIT
// The toolbar pictures and the program icon, embedded in the program as PNG data.
#pragma once

#include <cstddef>

#include "resources/png_codec.h"

namespace nerin {

// The toolbar's pictures by role, numbered as they are embedded. The feedback pictures flash on
// the button of the same role without "Feedback".
enum class ToolbarIcon : int {
  Open = 0,
  ZoomOut = 1,
  ZoomIn = 2,
  Fit = 3,
  Find = 4,
  Today = 5,
  Critical = 6,
  Collapse = 7,
  Expand = 8,
  Export = 9,
  Help = 10,
  About = 11,
  FindFeedback = 12,
  TodayFeedback = 13,
  ExportFeedback = 14,
  Compare = 15,
};
inline constexpr int TOOLBAR_ICON_COUNT = 16;
constexpr int IconIndex(ToolbarIcon icon) { return static_cast<int>(icon); }
inline constexpr int TOOLBAR_ICON_SMALL = 24;
inline constexpr int TOOLBAR_ICON_LARGE = 40;

struct PngData {
  const unsigned char* bytes = nullptr;
  std::size_t size = 0;
};

// large = the 40-pixel set; {} for a bad index.
PngData ToolbarIconPng(int index, bool large);

inline constexpr int PROGRAM_ICON_SIZE_COUNT = 6;
inline constexpr int PROGRAM_ICON_SIZES[PROGRAM_ICON_SIZE_COUNT] = {16, 32, 48, 64, 128, 256};

// The program icon at 16, 32, 48, 64, 128 or 256 pixels; {} for any other size.
PngData ProgramIconPng(int size);

}  // namespace nerin
