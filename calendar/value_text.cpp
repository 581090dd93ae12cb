// SPDX-License-Identifier: MIT
#include "calendar/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "calendar/text_units.h"

namespace nerin {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
  return text.size() == word.size() && ToLowerAscii(text) == ToLowerAscii(word);
}

// The value of a decimal number scanned from plan text. The scan is done here rather than by the
// C library so that the process locale (which may use "," as the point) has no say.
double ScanDecimal(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsWhiteSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t integerStart = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  const std::string_view integerDigits = text.substr(integerStart, pos - integerStart);
  std::string_view fractionDigits;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fractionStart = pos + 1;
    std::size_t end = fractionStart;
    while (end < text.size() && IsDigit(text[end])) ++end;
    fractionDigits = text.substr(fractionStart, end - fractionStart);
    if (!integerDigits.empty() || !fractionDigits.empty()) pos = end;
  }
  if (integerDigits.empty() && fractionDigits.empty()) return 0.0;
  std::int64_t exponent = 0;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t end = pos + 1;
    bool negativeExponent = false;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
      negativeExponent = text[end] == '-';
      ++end;
    }
    const std::size_t digitsStart = end;
    while (end < text.size() && IsDigit(text[end])) {
      // Far beyond any double exponent; the value is then infinite or zero anyway.
      if (exponent < 1000000000) exponent = exponent * 10 + (text[end] - '0');
      ++end;
    }
    if (end > digitsStart) {
      if (negativeExponent) exponent = -exponent;
      pos = end;
    }
  }
  const std::string_view number = text.substr(integerStart, pos - integerStart);
  double value = 0.0;
  const auto result =
      std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Out of range is either overflow or underflow: decide by the position of the leading digit.
    std::int64_t magnitude = exponent;
    const std::size_t firstInteger = integerDigits.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
      magnitude += static_cast<std::int64_t>(integerDigits.size() - firstInteger);
    } else {
      const std::size_t firstFraction = fractionDigits.find_first_not_of('0');
      if (firstFraction != std::string_view::npos) magnitude -= static_cast<std::int64_t>(firstFraction);
    }
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

std::int64_t IntegerFieldValue(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Accumulated as a negative number so that the most negative value needs no special case.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool saturated = false;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    const int digit = text[pos] - '0';
    if (saturated) continue;
    if (value < (kMin + digit) / 10) {
      saturated = true;
      value = kMin;
      continue;
    }
    value = value * 10 - digit;
  }
  if (negative) return value;
  if (value == kMin) return std::numeric_limits<std::int64_t>::max();
  return -value;
}

std::uint8_t FlagFieldValue(std::string_view text) {
  if (IntegerFieldValue(text) == 1) return 1;
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsWhiteSpace(text[first])) ++first;
  while (end > first && IsWhiteSpace(text[end - 1])) --end;
  return EqualsIgnoringCase(text.substr(first, end - first), "true") ? 1 : 0;
}

float DecimalFieldValue(std::string_view text) {
  // The special words stand for themselves only as the whole text; with anything around them
  // the text is read as a number, which gives 0.
  if (EqualsIgnoringCase(text, "+Infinity")) return std::numeric_limits<float>::infinity();
  if (EqualsIgnoringCase(text, "-Infinity")) return -std::numeric_limits<float>::infinity();
  if (EqualsIgnoringCase(text, "NaN")) return std::numeric_limits<float>::quiet_NaN();
  return static_cast<float>(ScanDecimal(text));
}

bool ParseIsoDate(std::string_view text, DayOrdinal& ordinal) {
  const std::string_view trimmed = TrimSpaces(text);
  // Every date of a plan file is plain ASCII, where a byte is a character: the common case
  // takes no character counting at all.
  if (trimmed.size() >= 10 && std::all_of(trimmed.begin(), trimmed.begin() + 10,
                                          [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    if (trimmed[4] != '-' || trimmed[7] != '-') return false;
    const DayOrdinal result =
        OrdinalFromDate(IntegerFieldValue(trimmed.substr(0, 4)), IntegerFieldValue(trimmed.substr(5, 2)),
                        IntegerFieldValue(trimmed.substr(8, 2)));
    if (result == -1) return false;
    ordinal = result;
    return true;
  }
  const std::string_view head = Utf16Prefix(trimmed, 10);
  // A cut never splits a surrogate pair, so a pair across the tenth place leaves nine: no date.
  if (Utf16Length(head) != 10) return false;
  // Positions count UTF-16 units. A position inside a surrogate pair holds neither "-" nor a
  // digit, so taking whole characters from the units below gives the same field values.
  const auto byteAt = [head](std::size_t units) { return Utf16Prefix(head, units).size(); };
  const auto isDash = [head, &byteAt](std::size_t unit) {
    const std::size_t offset = byteAt(unit);
    return Utf16Length(head.substr(0, offset)) == unit && offset < head.size() && head[offset] == '-';
  };
  const auto field = [head, &byteAt](std::size_t from, std::size_t to) {
    const std::size_t begin = byteAt(from);
    return IntegerFieldValue(head.substr(begin, byteAt(to) - begin));
  };
  if (!isDash(4) || !isDash(7)) return false;
  const DayOrdinal result = OrdinalFromDate(field(0, 4), field(5, 7), field(8, 10));
  if (result == -1) return false;
  ordinal = result;
  return true;
}

bool ParseDurationHours(std::string_view text, float& hours) {
  const std::string s = ToUpperAscii(TrimSpaces(text));
  if (s.empty() || s[0] != 'P') return false;
  // All designators are ASCII, so byte positions serve as well as character positions.
  const std::size_t t = s.find('T', 1);
  const std::string_view whole(s);
  const std::string_view datePart = t == std::string::npos ? whole.substr(1) : whole.substr(1, t - 1);
  if (datePart.find_first_of("YMW") != std::string_view::npos) return false;
  float days = 0.0f;
  const std::size_t d = datePart.find('D');
  if (d != std::string_view::npos) days = DecimalFieldValue(datePart.substr(0, d));
  std::size_t p = t == std::string::npos ? s.size() + 1 : t + 1;
  const auto part = [whole, &p](char designator) {
    if (p > whole.size()) return 0.0f;
    const std::size_t at = whole.find(designator, p);
    if (at == std::string_view::npos) return 0.0f;
    const float value = DecimalFieldValue(whole.substr(p, at - p));
    p = at + 1;
    return value;
  };
  const float h = part('H');
  const float minutes = part('M');
  const float seconds = part('S');
  hours = static_cast<float>(static_cast<double>(days) * 24.0 + static_cast<double>(h) +
                             static_cast<double>(minutes) / 60.0 + static_cast<double>(seconds) / 3600.0);
  return true;
}

bool IsValidLinkType(std::int64_t code) {
  return code >= 0 && code <= 3;
}

std::string LinkTypeName(std::int64_t code) {
  switch (code) {
    case 0:
      return "FF";
    case 1:
      return "FS";
    case 2:
      return "SF";
    default:
      return "SS";
  }
}

std::string LinkTypeLongName(std::int64_t code) {
  switch (code) {
    case 0:
      return "finish to finish";
    case 1:
      return "finish to start";
    case 2:
      return "start to finish";
    default:
      return "start to start";
  }
}

std::string ResourceTypeName(std::int64_t type, std::int64_t costFlag) {
  if (costFlag != 0) return "Cost";
  if (type == 0) return "Material";
  if (type == 1) return "Work";
  return "Unknown";
}

std::string FormatMilliseconds(std::int64_t milliseconds) {
  if (milliseconds <= 999) return IntegerText(milliseconds) + " ms";
  const auto seconds = static_cast<float>(static_cast<double>(milliseconds) / 1000.0);
  return DecimalText(seconds, 2) + " s";
}

std::string DecimalText(float value, std::int64_t decimals) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
  if (decimals < 0) decimals = 0;
  if (decimals > 512) decimals = 512;
  if (value == 0.0f) value = 0.0f;  // -0 would print as "-0.00"
  // Widest case: 39 integer digits of the largest float, sign, point and 512 decimals.
  char buffer[600];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                    std::chars_format::fixed, static_cast<int>(decimals));
  if (result.ec != std::errc()) return "NaN";
  return std::string(buffer, result.ptr);
}

std::string IntegerText(std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace nerin
