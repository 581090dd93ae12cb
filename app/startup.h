// SPDX-License-Identifier: MIT
// The start of the program up to the first wait for an event.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace nerin {

// Opens and builds the main window, registers the shortcuts, opens the plan the parameters
// (without the program name) name and shows the first view. Null when the window could not
// be built; the user has then been told why. Needs a running QApplication. The window starts
// with `settings` and writes them back to `settingsPath` (never when it is empty).
std::unique_ptr<MainWindow> StartViewer(const std::vector<std::string>& arguments, const ViewerSettings& settings = {},
                                        const QString& settingsPath = {});

// The whole program: start-up, then the event loop until the window closes. Returns 0.
int RunViewer(int argc, char** argv);

}  // namespace nerin
