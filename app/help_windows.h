// SPDX-License-Identifier: MIT
// The Help and About windows, each modal over the window given.
#pragma once

#include <QWidget>

#include "app/toolbar_icon_set.h"

namespace nerin {

void ShowHelpWindow(QWidget* parent, const ToolbarIconSet& icons);
void ShowAboutWindow(QWidget* parent, const ToolbarIconSet& icons);

}  // namespace nerin
