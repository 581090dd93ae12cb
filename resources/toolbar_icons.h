// SPDX-License-Identifier: MIT
// The toolbar pictures and the program icon, embedded in the program as PNG data.
#pragma once

#include <cstddef>

#include "resources/png_codec.h"

namespace nerin {

// 0 Open, 1 Zoom out, 2 Zoom in, 3 Fit, 4 Find, 5 Today, 6 Critical, 7 Collapse, 8 Expand,
// 9 Export, 10 Help, 11 About, 12 Find feedback, 13 Today feedback, 14 Export feedback,
// 15 Compare.
inline constexpr int TOOLBAR_ICON_COUNT = 16;
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
