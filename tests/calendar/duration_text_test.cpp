// SPDX-License-Identifier: MIT
#include "calendar/duration_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace nerin {
namespace {

// The product's own save lists one task in each unit (mpp14duration): minutes and the format.
TEST(DurationText, EveryUnit) {
  const PlanUnits units;
  struct Row {
    double minutes;
    std::int64_t code;
    bool estimated;
    const char* text;
  };
  const Row rows[] = {
      {1, 3, false, "1 min"},          {1, 4, false, "1 emin"},        {60, 5, false, "1 hr"},
      {240, 5, false, "4 hrs"},        {60, 6, false, "1 ehr"},        {480, 7, false, "1 day"},
      {1440, 7, false, "3 days"},      {1440, 8, false, "1 eday"},     {2400, 9, false, "1 wk"},
      {4800, 9, false, "2 wks"},       {10080, 10, false, "1 ewk"},    {9600, 11, false, "1 mon"},
      {43200, 12, false, "1 emon"},    {0, 7, false, "0 days"},        {2400, 7, true, "5 days?"},
      {2400, 39, false, "5 days?"},    {720, 7, false, "1.5 days"},    {60, 7, false, "0.13 days"},
      {165120, 7, false, "344 days"},  {1440, 21, false, "3 days"},    {1440, 53, false, "3 days?"},
      {1440, 19, false, "3 days"},
  };
  for (const Row& row : rows) {
    DurationStyle style;
    style.Format = DurationFormatOf(row.code).value_or(DurationFormat::Null);
    style.Estimated = row.estimated;
    EXPECT_EQ(DurationText(row.minutes, style, DurationFormat::Days, units), row.text) << row.code;
  }
}

TEST(DurationText, PlanMeasuresAndDefault) {
  PlanUnits units;
  units.MinutesPerDay = 450;
  units.MinutesPerWeek = 2250;
  units.DaysPerMonth = 21;
  DurationStyle style;
  style.Format = DurationFormat::Null;
  EXPECT_EQ(DurationText(900, style, DurationFormat::Days, units), "2 days");
  EXPECT_EQ(DurationText(900, style, DurationFormat::Hours, units), "15 hrs");
  EXPECT_EQ(DurationText(4500, style, DurationFormat::Weeks, units), "2 wks");
  EXPECT_EQ(DurationText(450 * 21, style, DurationFormat::Months, units), "1 mon");
  // A default without a time unit of its own falls back to days.
  EXPECT_EQ(DurationText(900, style, DurationFormat::Percent, units), "2 days");
}

TEST(DurationFormats, KnownSet) {
  for (std::int64_t code = -1; code < 60; ++code) {
    const bool known = (code >= 3 && code <= 12) || code == 19 || code == 20 || code == 21 ||
                       (code >= 35 && code <= 44) || code == 51 || code == 52 || code == 53;
    EXPECT_EQ(DurationFormatOf(code).has_value(), known) << code;
  }
  EXPECT_TRUE(IsElapsedFormat(DurationFormat::EstimatedElapsedDays));
  EXPECT_FALSE(IsElapsedFormat(DurationFormat::EstimatedDays));
  EXPECT_EQ(DefiniteFormat(DurationFormat::EstimatedWeeks), DurationFormat::Weeks);
}

TEST(LagText, TypesSignsAndUnits) {
  const PlanUnits units;
  struct Row {
    const char* type;
    double tenths;
    std::optional<std::int64_t> code;
    const char* text;
  };
  const Row rows[] = {
      {"FS", 0, 7, "FS"},
      {"FS", 9600, 7, "FS+2 days"},
      {"SS", -4800, 7, "SS\xE2\x88\x92" "1 day"},
      {"FS", -75, 19, "FS\xE2\x88\x92" "75%"},
      {"FF", 50, 20, "FF+50e%"},
      {"FS", 24000, 9, "FS+1 wk"},
      {"SF", 14400, 8, "SF+1 eday"},
      {"FS", 2400, std::nullopt, "FS+0.5 days"},
      {"FS", 2, 7, "FS"},  // a fraction of a minute rounds away
  };
  for (const Row& row : rows) {
    std::optional<DurationFormat> format;
    if (row.code) format = DurationFormatOf(*row.code);
    EXPECT_EQ(LagText(row.type, row.tenths, format, DurationFormat::Days, units), row.text) << row.tenths;
  }
}

TEST(MaterialUnitsText, Labels) {
  EXPECT_EQ(MaterialUnitsText(10, "t"), "10 t");
  EXPECT_EQ(MaterialUnitsText(2.5, "m3"), "2.5 m3");
  EXPECT_EQ(MaterialUnitsText(3, ""), "3");
  EXPECT_EQ(ShortNumberText(0.125), "0.13");
  EXPECT_EQ(ShortNumberText(-0.001), "0");
}

}  // namespace
}  // namespace nerin
