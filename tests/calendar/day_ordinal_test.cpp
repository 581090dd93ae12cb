// SPDX-License-Identifier: MIT
#include "calendar/day_ordinal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace nerin {
namespace {

DayOrdinal Day(std::int64_t year, std::int64_t month, std::int64_t day) {
  return OrdinalFromDate(year, month, day);
}

TEST(DayOrdinal, KnownOrdinals) {
  struct Row {
    std::int64_t year, month, day;
    DayOrdinal ordinal;
  };
  const Row rows[] = {
      {1601, 1, 1, 584389}, {1601, 1, 2, 584390}, {2001, 1, 1, 730486},
      {2024, 1, 1, 738886}, {2024, 3, 1, 738946},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Day(row.year, row.month, row.day), row.ordinal)
        << row.year << "-" << row.month << "-" << row.day;
  }
  EXPECT_EQ(DaysBeforeYear(1601), 584388);
  EXPECT_EQ(Day(2024, 3, 1) - Day(2024, 2, 29), 1);
}

TEST(DayOrdinal, YearLengthsAndLeapYears) {
  struct Row {
    std::int64_t year;
    bool leap;
  };
  const Row rows[] = {{1600, true},  {1700, false}, {1800, false}, {1900, false}, {2000, true},
                      {2023, false}, {2024, true},  {2100, false}, {2400, true}};
  for (const Row& row : rows) {
    EXPECT_EQ(IsLeapYear(row.year), row.leap) << row.year;
    EXPECT_EQ(DaysInMonth(row.year, 2), row.leap ? 29 : 28) << row.year;
    if (row.year > 1600) {
      EXPECT_EQ(Day(row.year + 1, 1, 1) - Day(row.year, 1, 1), row.leap ? 366 : 365) << row.year;
    }
  }
  const std::int64_t months2023[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (std::int64_t m = 1; m <= 12; ++m) EXPECT_EQ(DaysInMonth(2023, m), months2023[m - 1]) << m;
}

TEST(DayOrdinal, InvalidDatesGiveMinusOne) {
  struct Row {
    std::int64_t year, month, day;
  };
  const Row rows[] = {{1600, 12, 31}, {2024, 0, 1},  {2024, 13, 1}, {2024, 1, 0}, {2024, 1, 32},
                      {2024, 4, 31},  {1900, 2, 29}, {2023, 2, 29}, {-5, 1, 1},   {2024, -1, 1}};
  for (const Row& row : rows) {
    EXPECT_EQ(Day(row.year, row.month, row.day), -1) << row.year << "-" << row.month << "-" << row.day;
  }
  // A year too far out for a 64-bit day count is refused rather than wrapped.
  EXPECT_EQ(Day(std::numeric_limits<std::int64_t>::max(), 1, 1), -1);
}

TEST(DayOrdinal, NoDateResults) {
  for (const DayOrdinal ordinal : {DayOrdinal{0}, DayOrdinal{-5}, std::numeric_limits<DayOrdinal>::min()}) {
    std::int64_t y = 9, m = 9, d = 9;
    DateFromOrdinal(ordinal, y, m, d);
    EXPECT_EQ(y + m + d, 0);
    EXPECT_EQ(WeekDayFromOrdinal(ordinal), -1);
    EXPECT_EQ(IsoWeekFromOrdinal(ordinal), 0);
    EXPECT_EQ(OrdinalMonth(ordinal), 0);
    EXPECT_EQ(OrdinalLabel(ordinal), "");
    EXPECT_EQ(OrdinalMonthLabel(ordinal), "");
  }
}

TEST(DayOrdinal, RoundTripOverEveryDayOf1601To2400AndFarYears) {
  for (DayOrdinal a = ORDINAL_EPOCH; a < Day(2401, 1, 1); ++a) {
    std::int64_t y = 0, m = 0, d = 0;
    DateFromOrdinal(a, y, m, d);
    ASSERT_EQ(Day(y, m, d), a) << a;
  }
  for (const std::int64_t year : {2999, 9999, 10000, 123456, 99999999}) {
    const DayOrdinal a = Day(year, 12, 31);
    std::int64_t y = 0, m = 0, d = 0;
    DateFromOrdinal(a, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, year * 10000 + 1231);
  }
  // Must end without overflow at the top of the range.
  std::int64_t y = 0, m = 0, d = 0;
  DateFromOrdinal(std::numeric_limits<DayOrdinal>::max(), y, m, d);
  EXPECT_GT(y, 1601);
  EXPECT_GT(IsoWeekFromOrdinal(std::numeric_limits<DayOrdinal>::max()), 0);
}

TEST(DayOrdinal, WeekDays) {
  struct Row {
    DayOrdinal ordinal;
    std::int64_t weekday;
  };
  const Row rows[] = {{ORDINAL_EPOCH, 1},
                      {Day(2024, 1, 1), 1},
                      {Day(2024, 1, 6), 6},
                      {Day(2024, 1, 7), 0},
                      {Day(2026, 8, 19), 3}};
  for (const Row& row : rows) EXPECT_EQ(WeekDayFromOrdinal(row.ordinal), row.weekday) << row.ordinal;
  for (DayOrdinal a = Day(2019, 1, 1); a <= Day(2031, 12, 31); ++a) {
    ASSERT_EQ(WeekDayFromOrdinal(a), (WeekDayFromOrdinal(a - 1) + 1) % 7) << a;
  }
}

TEST(DayOrdinal, IsoWeeks) {
  struct Row {
    DayOrdinal ordinal;
    std::int64_t week;
  };
  const Row rows[] = {{Day(2026, 1, 1), 1},    {Day(2024, 12, 30), 1}, {Day(2021, 1, 1), 53},
                      {Day(2021, 1, 3), 53},   {Day(2021, 1, 4), 1},   {Day(2020, 12, 31), 53},
                      {Day(2024, 12, 29), 52}, {Day(2027, 1, 1), 53}};
  for (const Row& row : rows)
    EXPECT_EQ(IsoWeekFromOrdinal(row.ordinal), row.week) << OrdinalLabel(row.ordinal);
  for (DayOrdinal a = Day(2019, 1, 1); a <= Day(2031, 12, 31); ++a) {
    const std::int64_t week = IsoWeekFromOrdinal(a);
    ASSERT_TRUE(week >= 1 && week <= 53) << OrdinalLabel(a);
    if (WeekDayFromOrdinal(a) != 1) {
      ASSERT_EQ(week, IsoWeekFromOrdinal(a - 1)) << OrdinalLabel(a);
    }
  }
  for (std::int64_t year = 1601; year <= 2400; ++year) {
    const std::int64_t week = IsoWeekFromOrdinal(Day(year, 12, 28));
    ASSERT_TRUE(week == 52 || week == 53) << year;
  }
}

TEST(DayOrdinal, Labels) {
  struct Row {
    DayOrdinal ordinal;
    const char* label;
    const char* monthLabel;
  };
  const Row rows[] = {{584389, "01.01.1601", "01.1601"},
                      {Day(2024, 2, 29), "29.02.2024", "02.2024"},
                      {Day(2026, 12, 31), "31.12.2026", "12.2026"},
                      {Day(2026, 8, 21), "21.08.2026", "08.2026"},
                      {Day(12345, 6, 7), "07.06.12345", "06.12345"}};
  for (const Row& row : rows) {
    EXPECT_EQ(OrdinalLabel(row.ordinal), row.label);
    EXPECT_EQ(OrdinalMonthLabel(row.ordinal), row.monthLabel);
  }
  for (std::int64_t year = 1601; year <= 2400; ++year) {
    const std::string y = std::to_string(year);
    ASSERT_EQ(OrdinalLabel(Day(year, 1, 1)), "01.01." + y);
    ASSERT_EQ(OrdinalLabel(Day(year, 12, 31)), "31.12." + y);
    ASSERT_EQ(OrdinalLabel(Day(year, 2, 28)), "28.02." + y);
  }
  for (DayOrdinal a = Day(2019, 1, 1); a <= Day(2031, 12, 31); ++a) {
    const std::string label = OrdinalLabel(a);
    ASSERT_EQ(label.size(), 10u);
    const std::int64_t d = std::stoi(label.substr(0, 2)), m = std::stoi(label.substr(3, 2));
    ASSERT_EQ(Day(std::stoi(label.substr(6)), m, d), a) << label;
    ASSERT_EQ(OrdinalMonth(a), m) << label;
    ASSERT_EQ(OrdinalMonthLabel(a), label.substr(3)) << label;
  }
}

TEST(DayOrdinal, TruncateToInteger) {
  const double nanPayload = std::bit_cast<double>(std::uint64_t{0x7FF8000000000001ULL});
  const double allOnes = std::bit_cast<double>(~std::uint64_t{0});
  const std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  struct Row {
    double value;
    std::int64_t expected;
  };
  const Row rows[] = {{2.9, 2},
                      {-2.9, -2},
                      {0.999, 0},
                      {-0.0, 0},
                      {1e15 + 0.5, 1000000000000000},
                      {std::numeric_limits<double>::infinity(), 0},
                      {-std::numeric_limits<double>::infinity(), 0},
                      {allOnes, 0},
                      {nanPayload, lowest},
                      {std::numeric_limits<double>::quiet_NaN(), lowest},
                      {9223372036854775808.0, lowest},
                      {-9223372036854775808.0, lowest},
                      {-1e19, lowest},
                      {9223372036854774784.0, 9223372036854774784}};
  for (const Row& row : rows) EXPECT_EQ(TruncateToInteger(row.value), row.expected) << row.value;
}

}  // namespace
}  // namespace nerin
