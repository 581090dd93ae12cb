// SPDX-License-Identifier: MIT
// Toolbar tooltips that change with the tab shown. The session carries them to the window in
// its toolbar effects whenever the tab changes.
#pragma once

#include <string>

#include "views/find.h"

namespace nerin {

// The Export button's tooltip while `view` is shown.
std::string ExportButtonTooltip(ViewKind view);

}  // namespace nerin
