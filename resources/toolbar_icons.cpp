// SPDX-License-Identifier: MIT
#include "resources/toolbar_icons.h"

#include "resources/embedded_png.h"

namespace nerin {

PngData ToolbarIconPng(int index, bool large) {
  if (index < 0 || index >= TOOLBAR_ICON_COUNT) return {};
  return large ? embedded::kToolbarIcons40[index] : embedded::kToolbarIcons24[index];
}

PngData ProgramIconPng(int size) {
  for (int i = 0; i < PROGRAM_ICON_SIZE_COUNT; ++i) {
    if (PROGRAM_ICON_SIZES[i] == size) return embedded::kProgramIcons[i];
  }
  return {};
}

}  // namespace nerin
