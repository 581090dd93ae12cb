// SPDX-License-Identifier: MIT
#include "calendar/value_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace nerin {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(FieldValues, Integer) {
  struct Row {
    const char* text;
    std::int64_t value;
  };
  const Row rows[] = {{"02", 2},
                      {" 7", 7},
                      {"\t 7", 7},
                      {"1x", 1},
                      {"x", 0},
                      {"", 0},
                      {"-12", -12},
                      {"+12", 12},
                      {"- 1", 0},
                      {"\n5", 0},
                      {"9223372036854775807", kMax},
                      {"9223372036854775808", kMax},
                      {"99999999999999999999999", kMax},
                      {"-9223372036854775808", kMin},
                      {"-9223372036854775809", kMin},
                      {"-99999999999999999999999", kMin}};
  for (const Row& row : rows) EXPECT_EQ(IntegerFieldValue(row.text), row.value) << "'" << row.text << "'";
}

// The special words count only as the whole text; with white space around them they read as 0.
TEST(FieldValues, Decimal) {
  struct Row {
    const char* text;
    float value;
  };
  const Row rows[] = {{"1.5", 1.5f},        {" -2.25", -2.25f}, {"+3", 3.0f},         {"\n4e2", 400.0f},
                      {".5", 0.5f},         {"5.", 5.0f},       {"1.5x", 1.5f},       {"2e", 2.0f},
                      {"2e+", 2.0f},        {"1E-1", 0.1f},     {"1,5", 1.0f},        {"x", 0.0f},
                      {"", 0.0f},           {".", 0.0f},        {"-", 0.0f},          {"1e999", kInf},
                      {"-1e999", -kInf},    {"1e-999", 0.0f},   {"1e40", kInf},       {"+Infinity", kInf},
                      {"-infinity", -kInf}, {"INFINITY", 0.0f}, {"inf", 0.0f},        {"0.1", 0.1f},
                      {" NaN", 0.0f},       {"NaN\n", 0.0f},    {" +Infinity", 0.0f}, {"-Infinity ", 0.0f}};
  for (const Row& row : rows) EXPECT_EQ(DecimalFieldValue(row.text), row.value) << "'" << row.text << "'";
  EXPECT_TRUE(std::isnan(DecimalFieldValue("NaN")));
  EXPECT_TRUE(std::isnan(DecimalFieldValue("nan")));
}

TEST(FieldValues, DecimalIgnoresTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  bool commaLocale = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      commaLocale = true;
      break;
    }
  }
  if (!commaLocale) GTEST_SKIP() << "no locale with a decimal comma installed";
  const float value = DecimalFieldValue("2.5");
  const std::string text = DecimalText(2.5f, 2);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(value, 2.5f);
  EXPECT_EQ(text, "2.50");
}

TEST(IsoDates, Accepted) {
  struct Row {
    const char* text;
    DayOrdinal ordinal;
  };
  const DayOrdinal leapDay = OrdinalFromDate(2024, 2, 29);
  const Row rows[] = {{"2024-02-29", leapDay},
                      {"2024-02-29T08:00:00", leapDay},
                      {"  2024-02-29T17:00:00  ", leapDay},
                      {"1601-01-01", ORDINAL_EPOCH},
                      {"9999-12-31", OrdinalFromDate(9999, 12, 31)},
                      // Fields are read as integers, so a sign or padding inside a field passes.
                      {"2024-+2-09", OrdinalFromDate(2024, 2, 9)},
                      {"2024- 2-09", OrdinalFromDate(2024, 2, 9)},
                      {"2024-02-9T", OrdinalFromDate(2024, 2, 9)},
                      {"2024-02-2\xC3\xA9", OrdinalFromDate(2024, 2, 2)}};
  for (const Row& row : rows) {
    DayOrdinal ordinal = 0;
    EXPECT_TRUE(ParseIsoDate(row.text, ordinal)) << row.text;
    EXPECT_EQ(ordinal, row.ordinal) << row.text;
  }
}

TEST(IsoDates, Rejected) {
  const char* rows[] = {"", "2024-2-9", "2024/02/29", "29-02-2024", "2024-02-30", "2024-13-01", "not a date",
                        "2024-00-10", "2024-01-00", "2024-01-32", "2024-04-31", "1900-02-29", "1600-12-31",
                        "0999-01-01", "\t2024-02-29", "2024-02-2",
                        // A surrogate pair does not fit whole into the tenth place.
                        "2024-02-2\xF0\x9F\x98\x80", " 2024-02-1\xF0\x9F\x98\x80 x",
                        // A surrogate pair in the ninth and tenth places is no day.
                        "2024-02-\xF0\x9F\x98\x80",
                        "2024\xE2\x80\x90"
                        "02-29"};
  for (const char* text : rows) {
    DayOrdinal ordinal = 42;
    EXPECT_FALSE(ParseIsoDate(text, ordinal)) << text;
    EXPECT_EQ(ordinal, 42) << text;
  }
}

TEST(Durations, Accepted) {
  struct Row {
    const char* text;
    float hours;
  };
  const Row rows[] = {{"PT8H0M0S", 8.0f},    {"PT4H30M0S", 4.5f},   {"PT0H0M0S", 0.0f}, {"PT0H30M0S", 0.5f},
                      {"P1DT8H0M0S", 32.0f}, {"P3D", 72.0f},        {"PT30M", 0.5f},    {"pt8h0m0s", 8.0f},
                      {" PT8H ", 8.0f},      {"P", 0.0f},           {"PT", 0.0f},       {"PTH", 0.0f},
                      {"PT36S", 0.01f},      {"P0.5DT1.5H", 13.5f}, {"PT-2H", -2.0f},   {"PT1H2", 1.0f}};
  for (const Row& row : rows) {
    float hours = -1.0f;
    EXPECT_TRUE(ParseDurationHours(row.text, hours)) << row.text;
    EXPECT_FLOAT_EQ(hours, row.hours) << row.text;
  }
}

TEST(Durations, Rejected) {
  const char* rows[] = {"P1M2DT3H", "P2W", "P1Y", "", "   ", "8H", "xyz", "\tPT8H", "p1y"};
  for (const char* text : rows) {
    float hours = 42.0f;
    EXPECT_FALSE(ParseDurationHours(text, hours)) << text;
    EXPECT_EQ(hours, 42.0f) << text;
  }
}

TEST(ValueNames, LinkAndResourceTypes) {
  struct Row {
    std::int64_t code;
    bool valid;
    const char* name;
    const char* longName;
  };
  const Row rows[] = {{0, true, "FF", "finish to finish"}, {1, true, "FS", "finish to start"},
                      {2, true, "SF", "start to finish"},  {3, true, "SS", "start to start"},
                      {-1, false, "SS", "start to start"}, {4, false, "SS", "start to start"},
                      {99, false, "SS", "start to start"}};
  for (const Row& row : rows) {
    EXPECT_EQ(IsValidLinkType(row.code), row.valid) << row.code;
    EXPECT_EQ(LinkTypeName(row.code), row.name) << row.code;
    EXPECT_EQ(LinkTypeLongName(row.code), row.longName) << row.code;
  }
  struct TypeRow {
    std::int64_t type, cost;
    const char* name;
  };
  const TypeRow types[] = {{0, 0, "Material"}, {1, 0, "Work"},    {1, 1, "Cost"},
                           {9, 0, "Unknown"},  {2, 0, "Unknown"}, {0, -1, "Cost"}};
  for (const TypeRow& row : types) EXPECT_EQ(ResourceTypeName(row.type, row.cost), row.name);
}

TEST(ValueText, FormatMilliseconds) {
  struct Row {
    std::int64_t ms;
    const char* text;
  };
  const Row rows[] = {{0, "0 ms"},
                      {999, "999 ms"},
                      {1000, "1.00 s"},
                      {1500, "1.50 s"},
                      {-5, "-5 ms"},
                      {123456, "123.46 s"},
                      {kMin, "-9223372036854775808 ms"}};
  for (const Row& row : rows) EXPECT_EQ(FormatMilliseconds(row.ms), row.text) << row.ms;
}

TEST(ValueText, DecimalText) {
  struct Row {
    float value;
    std::int64_t decimals;
    const char* text;
  };
  const Row rows[] = {{1.5f, 2, "1.50"},      {2.5f, 0, "2"},          {3.5f, 0, "4"},
                      {0.25f, 1, "0.2"},      {0.375f, 2, "0.38"},     {0.1f, 9, "0.100000001"},
                      {-1.25f, 1, "-1.2"},    {-0.0f, 2, "0.00"},      {-0.0f, 0, "0"},
                      {-0.001f, 2, "-0.00"},  {7.0f, -3, "7"},         {1e10f, 0, "10000000000"},
                      {kInf, 2, "+Infinity"}, {-kInf, 2, "-Infinity"}, {123.0f, 1, "123.0"}};
  for (const Row& row : rows) EXPECT_EQ(DecimalText(row.value, row.decimals), row.text) << row.value;
  EXPECT_EQ(DecimalText(std::numeric_limits<float>::quiet_NaN(), 2), "NaN");
  EXPECT_EQ(DecimalText(1.0f, 600), "1." + std::string(512, '0'));
  EXPECT_EQ(DecimalText(-std::numeric_limits<float>::max(), 512).size(), 40u + 1u + 512u);
}

TEST(ValueText, IntegerText) {
  struct Row {
    std::int64_t value;
    const char* text;
  };
  const Row rows[] = {{0, "0"},
                      {-42, "-42"},
                      {1234567, "1234567"},
                      {kMax, "9223372036854775807"},
                      {kMin, "-9223372036854775808"}};
  for (const Row& row : rows) EXPECT_EQ(IntegerText(row.value), row.text);
}

}  // namespace
}  // namespace nerin
