// SPDX-License-Identifier: MIT
// The toolbar pictures and the program icon of the viewer, as vector drawings.
#pragma once

#include "resources/icon_generator/icon_canvas.h"

namespace nerin::icons {

inline constexpr int TOOLBAR_PICTURE_COUNT = 16;
// Toolbar pictures are designed on a 24-unit grid, the program icon on a 64-unit grid.
inline constexpr double TOOLBAR_UNITS = 24.0;
inline constexpr double PROGRAM_UNITS = 64.0;

// The file name without extension, e.g. "00-open"; nullptr for a bad index.
const char* ToolbarPictureName(int index);
void DrawToolbarPicture(int index, IconCanvas& canvas);
void DrawProgramPicture(IconCanvas& canvas);

}  // namespace nerin::icons
