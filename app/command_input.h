// SPDX-License-Identifier: MIT
// How the program's arguments and dropped files become a plan source.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "views/viewer_session_events.h"

namespace nerin {

// The program's parameters (without the program name) as one text, a line feed between two.
std::string JoinArguments(const std::vector<std::string>& arguments);

// Of the dropped paths only the first is opened; an empty drop gives "".
std::string FirstDroppedPath(const std::vector<std::string>& paths);

// True when the file name part of the path has the extension "xml" or "mpp" in any letter case.
bool IsPlanFileName(std::string_view path);

// A path or an address to open, as the given way in hands it over, for the session: an address
// as it is, named by its file part; a path made absolute, named by its file name, with its
// folder. A dropped file that is no plan file is not supported; an empty source opens nothing.
OpenSourceEvent OpenSourceFor(const std::string& source, OpenOrigin origin);

}  // namespace nerin
