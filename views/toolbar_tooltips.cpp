// SPDX-License-Identifier: MIT
#include "views/toolbar_tooltips.h"

namespace nerin {

std::string ExportButtonTooltip(ViewKind /*view*/) {
  return "Save the Gantt chart as an image file";
}

}  // namespace nerin
