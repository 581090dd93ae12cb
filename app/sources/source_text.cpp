// SPDX-License-Identifier: MIT
// The pure text side of plan sources: UTF-8 decoding, source kinds, display names.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/sources/plan_source.h"
#include "calendar/path_text.h"
#include "calendar/text_units.h"

namespace nerin {

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";  // U+FFFD

struct LeadRule {
  int length;               // 0: the byte cannot start a sequence
  unsigned char secondLow;  // allowed range of the second byte
  unsigned char secondHigh;
};

// The ranges of well-formed UTF-8: they shut out overlong forms, surrogates and code points
// above U+10FFFF already at the second byte, so a bad sequence is known as early as possible.
LeadRule RuleFor(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0};
  if (lead < 0xC2) return {0, 0, 0};
  if (lead < 0xE0) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead < 0xF0) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead < 0xF4) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Length of the well-formed sequence at `pos`, or 0 when it is ill-formed. `taken` receives
// the number of bytes that form the maximal subpart (at least 1) to replace by one U+FFFD.
// A zero byte never belongs to a sequence.
std::size_t SequenceAt(std::string_view bytes, std::size_t pos, std::size_t& taken) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  const LeadRule rule = RuleFor(lead);
  taken = 1;
  if (rule.length == 1) return 1;
  if (rule.length == 0) return 0;
  for (int k = 1; k < rule.length; ++k) {
    if (pos + k >= bytes.size()) return 0;
    const auto next = static_cast<unsigned char>(bytes[pos + k]);
    const unsigned char low = k == 1 ? rule.secondLow : 0x80;
    const unsigned char high = k == 1 ? rule.secondHigh : 0xBF;
    if (next < low || next > high) return 0;
    taken = static_cast<std::size_t>(k) + 1;
  }
  return static_cast<std::size_t>(rule.length);
}

}  // namespace

std::size_t ValidUtf8Length(std::string_view bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (byte == 0) break;
    if (byte < 0x80) {
      ++pos;
      continue;
    }
    std::size_t taken = 0;
    const std::size_t length = SequenceAt(bytes, pos, taken);
    if (length == 0) break;
    pos += length;
  }
  return pos;
}

std::string DecodeUtf8(std::string_view bytes) {
  std::size_t pos = ValidUtf8Length(bytes);
  std::string text(bytes.substr(0, pos));
  while (pos < bytes.size() && bytes[pos] != '\0') {
    std::size_t taken = 0;
    const std::size_t length = SequenceAt(bytes, pos, taken);
    if (length == 0) {
      text += REPLACEMENT;
      pos += taken;
    } else {
      text.append(bytes.substr(pos, length));
      pos += length;
    }
  }
  return text;
}

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
