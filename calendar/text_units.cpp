// SPDX-License-Identifier: MIT
#include "calendar/text_units.h"

namespace nerin {

namespace {

struct CharSpan {
  std::size_t bytes;
  std::size_t units;
};

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The extent of the character that starts at `pos`. A malformed or cut-off sequence counts as one
// byte and one unit, the way the loader's replacement character would.
CharSpan NextChar(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  std::size_t units = 1;
  if (lead >= 0xC0 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF7) {
    length = 4;
    units = 2;
  }
  if (length == 1) return {1, 1};
  if (text.size() - pos < length) return {1, 1};
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return {1, 1};
  }
  return {length, units};
}

}  // namespace

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const CharSpan span = NextChar(utf8, pos);
    pos += span.bytes;
    units += span.units;
  }
  return units;
}

std::string_view Utf16Prefix(std::string_view utf8, std::size_t units) {
  std::size_t used = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const CharSpan span = NextChar(utf8, pos);
    if (span.units > units - used) break;
    used += span.units;
    pos += span.bytes;
  }
  return utf8.substr(0, pos);
}

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return text.substr(0, 0);
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

std::string ToUpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

}  // namespace nerin
