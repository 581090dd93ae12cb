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

std::string DecodeUtf8(std::string_view bytes, std::size_t* replaced) {
  std::size_t pos = ValidUtf8Length(bytes);
  std::string text(bytes.substr(0, pos));
  std::size_t replacements = 0;
  while (pos < bytes.size() && bytes[pos] != '\0') {
    std::size_t taken = 0;
    const std::size_t length = SequenceAt(bytes, pos, taken);
    if (length == 0) {
      text += REPLACEMENT;
      ++replacements;
      pos += taken;
    } else {
      text.append(bytes.substr(pos, length));
      pos += length;
    }
  }
  if (replaced != nullptr) *replaced = replacements;
  return text;
}

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
