// SPDX-License-Identifier: MIT
// Toolbar tooltips that change with the tab shown. The session carries them to the window in
// its toolbar effects whenever the tab changes; Help's toolbar rows use the same words.
#pragma once

#include "views/find.h"

namespace nerin {

// The Export button's tooltip while `view` is shown: what Export writes on that tab.
constexpr const char* ExportButtonTooltip(ViewKind view) {
  switch (view) {
    case ViewKind::Tasks:
      return "Save the Tasks list as a CSV file";
    case ViewKind::Resources:
      return "Save the Resources list as a CSV file";
    case ViewKind::Gantt:
    default:
      return "Save the chart as a PNG image or PDF document";
  }
}

}  // namespace nerin
