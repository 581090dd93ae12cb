// SPDX-License-Identifier: MIT
// Whole-day dates as a count of days of the proleptic Gregorian calendar.
#pragma once

#include <cstdint>
#include <string>

namespace nerin {

// Day 1 is 1 January of the year 1; the calendar itself starts at 1 January 1601.
// 0 and negative values mean "no date".
using DayOrdinal = std::int64_t;

inline constexpr DayOrdinal ORDINAL_EPOCH = 584389;  // 1 January 1601, a Monday

bool IsLeapYear(std::int64_t year);
// month 1..12
std::int64_t DaysInMonth(std::int64_t year, std::int64_t month);
// The ordinal of 31 December of the year before.
std::int64_t DaysBeforeYear(std::int64_t year);
// The ordinal, or -1 for an invalid date (year 1600 or earlier, bad month or day).
DayOrdinal OrdinalFromDate(std::int64_t year, std::int64_t month, std::int64_t day);
// For an ordinal <= 0 all three are 0.
void DateFromOrdinal(DayOrdinal ordinal, std::int64_t& year, std::int64_t& month, std::int64_t& day);
// 0 Sunday .. 6 Saturday; -1 for no date.
std::int64_t WeekDayFromOrdinal(DayOrdinal ordinal);
// ISO 8601 week number 1..53; 0 for no date.
std::int64_t IsoWeekFromOrdinal(DayOrdinal ordinal);
// 1..12; 0 for no date.
std::int64_t OrdinalMonth(DayOrdinal ordinal);
// "dd.mm.yyyy"; empty for no date.
std::string OrdinalLabel(DayOrdinal ordinal);
// "yyyy-mm-dd", the form files and spreadsheets read; empty for no date.
std::string IsoDateText(DayOrdinal ordinal);
// "mm.yyyy"; empty for no date.
std::string OrdinalMonthLabel(DayOrdinal ordinal);

// The one rule by which a computed floating-point value becomes an integer: cut toward zero.
// +inf, -inf and the all-ones NaN give 0; any other NaN or a value beyond the 64-bit range
// gives the most negative 64-bit integer.
std::int64_t TruncateToInteger(double value);

}  // namespace nerin
