// SPDX-License-Identifier: MIT
#include "calendar/path_text.h"

#include <algorithm>

namespace nerin {

std::string_view PathNamePart(std::string_view path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string SafeFileName(std::string_view name, std::string_view fallback) {
  std::string safe(name);
  for (char& c : safe) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  if (std::all_of(safe.begin(), safe.end(), [](char c) { return c == ' '; })) {
    return std::string(fallback);
  }
  return safe;
}

}  // namespace nerin
