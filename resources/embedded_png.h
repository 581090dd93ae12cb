// SPDX-License-Identifier: MIT
// The PNG files compiled into the program; the definitions are generated at build time.
#pragma once

#include "resources/toolbar_icons.h"

namespace nerin::embedded {

extern const PngData kToolbarIcons24[TOOLBAR_ICON_COUNT];
extern const PngData kToolbarIcons40[TOOLBAR_ICON_COUNT];
extern const PngData kProgramIcons[PROGRAM_ICON_SIZE_COUNT];

}  // namespace nerin::embedded
