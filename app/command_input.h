// SPDX-License-Identifier: MIT
// How the program's arguments and dropped files become a plan source.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nerin {

// The program's parameters (without the program name) as one text, a line feed between two.
std::string JoinArguments(const std::vector<std::string>& arguments);

// Of the dropped paths only the first is opened; an empty drop gives "".
std::string FirstDroppedPath(const std::vector<std::string>& paths);

// True when the file name part of the path has the extension "xml" or "mpp" in any letter case.
bool IsPlanFileName(std::string_view path);

}  // namespace nerin
