// SPDX-License-Identifier: MIT
#include "app/command_input.h"

#include "calendar/path_text.h"

#include "calendar/text_units.h"

namespace nerin {

std::string JoinArguments(const std::vector<std::string>& arguments) {
  std::string joined;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) {
      joined += '\n';
    }
    joined += arguments[i];
  }
  return joined;
}

std::string FirstDroppedPath(const std::vector<std::string>& paths) {
  return paths.empty() ? std::string() : paths.front();
}

bool IsPlanFileName(std::string_view path) {
  const std::string_view name = PathNamePart(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    return false;
  }
  const std::string extension = ToLowerAscii(name.substr(dot + 1));
  return extension == "xml" || extension == "mpp";
}

}  // namespace nerin
