// SPDX-License-Identifier: MIT
// The pure text side of plan sources: source kinds, command lines, display names.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sources/plan_source.h"
#include "calendar/path_text.h"
#include "calendar/text_units.h"

namespace nerin {

SourceKind ClassifySource(std::string_view text) {
  const std::string s = ToLowerAscii(TrimSpaces(text));
  if (s.empty()) return SourceKind::Nothing;
  if (s.starts_with("http://") || s.starts_with("https://")) return SourceKind::Address;
  return SourceKind::Path;
}

std::string CommandLineSource(std::string_view joinedArguments) {
  std::vector<std::string_view> arguments;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = joinedArguments.find('\n', start);
    arguments.push_back(TrimSpaces(joinedArguments.substr(start, end - start)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  // A desktop hands a file over as a file: URI; a URI that names no local file is left as it
  // is and then reported like any path that cannot be read.
  const auto Resolved = [](std::string_view source) {
    if (IsFileUri(source)) {
      if (std::optional<std::string> path = FileUriPath(source)) return std::move(*path);
    }
    return std::string(source);
  };
  // Empty arguments are stepped over, so an empty `found` means none yet.
  std::string_view found;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument.empty()) continue;
    if (ToLowerAscii(argument) == "/o") {
      if (i + 1 < arguments.size()) return Resolved(arguments[i + 1]);
      continue;
    }
    if (found.empty()) found = argument;
  }
  return Resolved(found);
}

bool IsFileUri(std::string_view text) {
  return text.size() >= 5 && ToLowerAscii(text.substr(0, 5)) == "file:";
}

std::optional<std::string> FileUriPath(std::string_view text) {
  if (!IsFileUri(text)) return std::nullopt;
  std::string_view rest = text.substr(5);
  rest = rest.substr(0, rest.find_first_of("?#"));
  if (rest.starts_with("//")) {
    // The authority: empty or "localhost" is this machine; any other host is not a local file.
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string host = ToLowerAscii(rest.substr(0, slash));
    if (!host.empty() && host != "localhost") return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (!rest.starts_with('/')) return std::nullopt;
  const auto HexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string path;
  path.reserve(rest.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      path += rest[i];
      continue;
    }
    if (i + 2 >= rest.size()) return std::nullopt;
    const int high = HexValue(rest[i + 1]);
    const int low = HexValue(rest[i + 2]);
    // A zero byte would cut the path short when it reaches the file system.
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

std::string AddressDisplayName(std::string_view address) {
  std::string_view rest = address.substr(0, address.find('?'));
  rest = rest.substr(0, rest.find('#'));
  const std::size_t slash = rest.rfind('/');
  if (slash != std::string_view::npos) rest = rest.substr(slash + 1);
  if (rest.empty()) return std::string(address);
  return std::string(rest);
}

std::string PathFileName(std::string_view path) {
  return std::string(PathNamePart(path));
}

}  // namespace nerin
