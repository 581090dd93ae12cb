// SPDX-License-Identifier: MIT
// The texts a binary plan file keeps, made UTF-8: UTF-16 names, 8-bit strings in a Windows
// code page, and notes in RTF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nerin::mpp {

// UTF-16LE up to the first zero unit at an even offset (or the end). An unpaired surrogate
// becomes U+FFFD; every other character is kept.
std::string Utf16LeText(std::string_view bytes);

// 8-bit text in a Windows code page (1252, 1251, 932, ...) up to the first zero byte, through the
// C library's converter. Bytes it cannot convert, or every byte above 0x7F when it does not know
// the code page, become U+FFFD.
std::string CodePageText(std::string_view bytes, std::int64_t codePage);

// The plain text of an RTF document: destinations (font and colour tables, pictures,
// embedded objects, any {\* ...} group) skipped, \par and \line as line feeds, \tab as a tab,
// \'hh in the document's code page, \uN as the character N; trimmed.
std::string RtfPlainText(std::string_view rtf);

}  // namespace nerin::mpp
