// SPDX-License-Identifier: MIT
// Text is held as UTF-8; lengths and positions in the plan rules count UTF-16 code units,
// the way the plan's own tools count characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nerin {

// Number of UTF-16 code units of valid UTF-8 text (a 4-byte sequence counts 2).
std::size_t Utf16Length(std::string_view utf8);

// The longest prefix of the text that holds at most `units` UTF-16 code units.
// A cut never splits a character: when the next character would need a surrogate pair
// that does not fit whole, the prefix stops before it.
std::string_view Utf16Prefix(std::string_view utf8, std::size_t units);

// Removes the space character (U+0020) at both ends; tabs and line breaks stay.
std::string_view TrimSpaces(std::string_view text);

// Length of the longest prefix that is whole, valid UTF-8 sequences without a zero byte.
std::size_t ValidUtf8Length(std::string_view bytes);
// Valid UTF-8 from bytes: stops at the first zero byte, and each invalid sequence (its
// maximal subpart) becomes U+FFFD. `replaced`, when given, receives how many did.
std::string DecodeUtf8(std::string_view bytes, std::size_t* replaced = nullptr);

// ASCII lower case; other bytes unchanged.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

}  // namespace nerin
