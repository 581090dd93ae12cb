// SPDX-License-Identifier: MIT
// Durations and lags as the plan's own users read them: "3 days", "2 wks", "1 eday", "5 days?",
// "FS+2 days", "FS−75%", in the units the plan keeps them in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nerin {

// The unit a duration is shown in, numbered as the plan file numbers it; each unit has an
// elapsed form (calendar time rather than working time) and an estimated form ("?").
enum class DurationFormat : std::int64_t {
  Minutes = 3,
  ElapsedMinutes = 4,
  Hours = 5,
  ElapsedHours = 6,
  Days = 7,
  ElapsedDays = 8,
  Weeks = 9,
  ElapsedWeeks = 10,
  Months = 11,
  ElapsedMonths = 12,
  Percent = 19,
  ElapsedPercent = 20,
  Null = 21,  // no unit of its own: the plan's default
  EstimatedMinutes = 35,
  EstimatedElapsedMinutes = 36,
  EstimatedHours = 37,
  EstimatedElapsedHours = 38,
  EstimatedDays = 39,
  EstimatedElapsedDays = 40,
  EstimatedWeeks = 41,
  EstimatedElapsedWeeks = 42,
  EstimatedMonths = 43,
  EstimatedElapsedMonths = 44,
  EstimatedPercent = 51,
  EstimatedElapsedPercent = 52,
  EstimatedNull = 53,
};

// The format a file's number names; none for a number outside the set.
std::optional<DurationFormat> DurationFormatOf(std::int64_t code);
// The same format without its estimated mark.
DurationFormat DefiniteFormat(DurationFormat format);
bool IsEstimatedFormat(DurationFormat format);
bool IsElapsedFormat(DurationFormat format);

// The plan's own measures of a day, a week and a month.
struct PlanUnits {
  std::int64_t MinutesPerDay = 480;
  std::int64_t MinutesPerWeek = 2400;
  std::int64_t DaysPerMonth = 20;
};

// How a duration is written: its format (Null and the percent forms fall back to
// `planDefault`, and that to days) and whether it is estimated ("?" behind it).
struct DurationStyle {
  DurationFormat Format = DurationFormat::Days;
  bool Estimated = false;
};

// "3 days", "1 day", "0 days", "2.5 wks", "1 mon", "4 hrs", "30 mins", "1 eday", "5 days?";
// up to two decimals, trailing zeros dropped.
std::string DurationText(double minutes, DurationStyle style, DurationFormat planDefault, const PlanUnits& units);
// The duration in the unit alone, as a number ("2.5" for 20 hours of 8-hour days).
double DurationInUnit(double minutes, DurationFormat format, const PlanUnits& units);

// "FS", "FS+2 days", "SS−1 day", "FS−75%": the link type's short name and, when there is a
// lag, its sign (U+2212 for minus) and amount. `lagTenths` is the file's LinkLag: tenths of
// a minute, or for the percent formats the share of the predecessor's duration in per cent.
std::string LagText(std::string_view typeName, double lagTenths, std::optional<DurationFormat> format,
                    DurationFormat planDefault, const PlanUnits& units);

// A material resource's units in its own measure: "10 t", "2.5 m3"; the number alone
// without a label.
std::string MaterialUnitsText(double units, std::string_view label);

// A number with up to two decimals and no trailing zeros: "3", "2.5", "0.13", "-1".
std::string ShortNumberText(double value);

}  // namespace nerin
