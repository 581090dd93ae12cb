// SPDX-License-Identifier: MIT
#include "app/command_input.h"

#include <filesystem>
#include <system_error>

#include "sources/plan_source.h"
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

OpenSourceEvent OpenSourceFor(const std::string& source, OpenOrigin origin) {
  OpenSourceEvent event;
  event.Origin = origin;
  event.Address = ClassifySource(source) == SourceKind::Address;
  event.Supported = origin != OpenOrigin::Drop || IsPlanFileName(source);
  if (event.Address) {
    event.Source = source;
    event.Name = AddressDisplayName(source);
  } else if (!source.empty()) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(source, error);
    if (error) path = source;
    path = path.lexically_normal();
    event.Source = path.string();
    event.Name = PathFileName(source);
    event.Folder = path.parent_path().string();
  }
  return event;
}

}  // namespace nerin
