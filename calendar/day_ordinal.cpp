// SPDX-License-Identifier: MIT
#include "calendar/day_ordinal.h"

#include "calendar/saturating.h"

#include <bit>
#include <cmath>
#include <limits>

namespace nerin {

namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

struct Date {
  std::int64_t year = 0;
  std::int64_t month = 0;
  std::int64_t day = 0;
};

Date DateOf(DayOrdinal ordinal) {
  Date date;
  DateFromOrdinal(ordinal, date.year, date.month, date.day);
  return date;
}

std::string TwoDigits(std::int64_t value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
  return text;
}

}  // namespace

bool IsLeapYear(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return IsLeapYear(year) ? 29 : 28;
    default:
      return 0;
  }
}

std::int64_t DaysBeforeYear(std::int64_t year) {
  // Years far beyond any plan would overflow 64 bits; the count saturates instead.
  const __int128 before = static_cast<__int128>(year) - 1;
  const double previous = static_cast<double>(before);
  const __int128 days = before * 365 + TruncateToInteger(previous / 4.0) -
                        TruncateToInteger(previous / 100.0) + TruncateToInteger(previous / 400.0);
  return Saturate(days);
}

DayOrdinal OrdinalFromDate(std::int64_t year, std::int64_t month, std::int64_t day) {
  if (year <= 1600 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return -1;
  __int128 ordinal = DaysBeforeYear(year);
  for (std::int64_t i = 1; i < month; ++i) ordinal += DaysInMonth(year, i);
  ordinal += day;
  // A date whose day count does not fit in 64 bits cannot be held, so it counts as invalid.
  if (ordinal >= kInt64Max) return -1;
  return static_cast<DayOrdinal>(ordinal);
}

void DateFromOrdinal(DayOrdinal ordinal, std::int64_t& year, std::int64_t& month, std::int64_t& day) {
  if (ordinal <= 0) {
    year = month = day = 0;
    return;
  }
  std::int64_t y = 1601;
  if (ordinal > ORDINAL_EPOCH) {
    // (ordinal - epoch) * 400 / 146097, split so the product cannot overflow.
    const std::int64_t since = ordinal - ORDINAL_EPOCH;
    y = since / 146097 * 400 + since % 146097 * 400 / 146097 + 1601;
  }
  while (y > 1601 && ordinal <= DaysBeforeYear(y)) --y;
  while (ordinal > DaysBeforeYear(y + 1)) ++y;
  std::int64_t rest = ordinal - DaysBeforeYear(y);
  std::int64_t m = 1;
  for (; m < 12; ++m) {
    const std::int64_t length = DaysInMonth(y, m);
    if (length >= rest) break;
    rest -= length;
  }
  year = y;
  month = m;
  day = rest;
}

std::int64_t WeekDayFromOrdinal(DayOrdinal ordinal) {
  if (ordinal <= 0) return -1;
  // Day 584388, 31 December 1600, was a Sunday.
  std::int64_t weekday = (ordinal - (ORDINAL_EPOCH - 1)) % 7;
  if (weekday < 0) weekday += 7;
  return weekday;
}

std::int64_t IsoWeekFromOrdinal(DayOrdinal ordinal) {
  if (ordinal <= 0) return 0;
  std::int64_t weekday = WeekDayFromOrdinal(ordinal);
  if (weekday == 0) weekday = 7;
  const std::int64_t thursday = Saturate(static_cast<__int128>(ordinal) + 4 - weekday);
  const DayOrdinal newYear = OrdinalFromDate(DateOf(thursday).year, 1, 1);
  const __int128 sinceNewYear = static_cast<__int128>(thursday) - newYear;
  return Saturate(sinceNewYear / 7 + 1);
}

std::int64_t OrdinalMonth(DayOrdinal ordinal) {
  return DateOf(ordinal).month;
}

std::string OrdinalLabel(DayOrdinal ordinal) {
  if (ordinal <= 0) return {};
  const Date date = DateOf(ordinal);
  return TwoDigits(date.day) + "." + TwoDigits(date.month) + "." + std::to_string(date.year);
}

std::string IsoDateText(DayOrdinal ordinal) {
  if (ordinal <= 0) return {};
  const Date date = DateOf(ordinal);
  std::string year = std::to_string(date.year);
  if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
  return year + "-" + TwoDigits(date.month) + "-" + TwoDigits(date.day);
}

std::string OrdinalMonthLabel(DayOrdinal ordinal) {
  if (ordinal <= 0) return {};
  const Date date = DateOf(ordinal);
  return TwoDigits(date.month) + "." + std::to_string(date.year);
}

std::int64_t TruncateToInteger(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  if (bits == 0x7FF0000000000000ULL || bits == 0xFFF0000000000000ULL || bits == 0xFFFFFFFFFFFFFFFFULL) {
    return 0;
  }
  // 2^63 is exact in double; the range is [-2^63, 2^63).
  constexpr double kLimit = 9223372036854775808.0;
  if (std::isnan(value) || value >= kLimit || value < -kLimit) return kInt64Min;
  return static_cast<std::int64_t>(value);
}

}  // namespace nerin
