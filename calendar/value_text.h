// SPDX-License-Identifier: MIT
// Reading plan values from text and writing values as the short texts the viewer shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/day_ordinal.h"

namespace nerin {

// Leading spaces and tabs, optional sign, decimal digits up to the first non-digit;
// no digits give 0. Saturates at the signed 64-bit limits.
std::int64_t IntegerFieldValue(std::string_view text);
// A flag of the file: 1 when IntegerFieldValue reads 1 or the text is the word "true" in any
// letter case (white space around it allowed), as the schema's boolean writes it; else 0.
std::uint8_t FlagFieldValue(std::string_view text);
// "+Infinity", "-Infinity", "NaN" (any case), else sign, digits, point, digits, exponent
// up to the first character that does not fit; nothing readable gives 0.
float DecimalFieldValue(std::string_view text);
// ISO date or date-time; the time of day is dropped. `ordinal` is written only on success.
bool ParseIsoDate(std::string_view text, DayOrdinal& ordinal);
// ISO 8601 duration without years, months or weeks, in hours. `hours` written only on success.
bool ParseDurationHours(std::string_view text, float& hours);

bool IsValidLinkType(std::int64_t code);
// "FF" 0, "FS" 1, "SF" 2, "SS" anything else.
std::string LinkTypeName(std::int64_t code);
// "finish to finish" ... for the help text.
std::string LinkTypeLongName(std::int64_t code);
// "Cost", "Material", "Work" or "Unknown": one form, as the Type field names them.
std::string ResourceTypeName(std::int64_t type, std::int64_t costFlag);
// "999 ms" or "1.50 s".
std::string FormatMilliseconds(std::int64_t milliseconds);
// Fixed-point text with `decimals` digits after the point (clamped to 0..512), rounded as
// the C library's %.*f does; "+Infinity", "-Infinity", "NaN" for the special values.
std::string DecimalText(float value, std::int64_t decimals);
std::string IntegerText(std::int64_t value);

}  // namespace nerin
