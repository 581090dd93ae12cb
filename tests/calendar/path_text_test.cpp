// SPDX-License-Identifier: MIT
// File names out of paths and out of project names; today's date from the local clock.
#include "calendar/path_text.h"

#include <gtest/gtest.h>

#include <ctime>

#include "calendar/local_today.h"
#include "calendar/narrow.h"

namespace nerin {
namespace {

TEST(PathText, NamePartAndSafeFileName) {
  const struct {
    const char* path;
    const char* name;
  } parts[] = {{"/home/a/plan.xml", "plan.xml"}, {"plan.xml", "plan.xml"}, {"C:\\x\\plan.XML", "plan.XML"},
               {"/home/a/", ""}, {"", ""}};
  for (const auto& row : parts) EXPECT_EQ(PathNamePart(row.path), row.name) << row.path;
  const struct {
    const char* project;
    const char* file;
  } names[] = {{"Bridge Works", "Bridge Works"}, {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
               {"   ", "fallback"}, {"", "fallback"}, {"\tx", "\tx"}};
  for (const auto& row : names) EXPECT_EQ(SafeFileName(row.project, "fallback"), row.file) << row.project;
}

TEST(PathText, NarrowingHoldsWithinTheRange) {
  EXPECT_EQ(NarrowToInt(INT64_MAX), INT32_MAX);
  EXPECT_EQ(NarrowToInt(INT64_MIN), INT32_MIN);
  EXPECT_EQ(NarrowToInt(-5, 0), 0);
  EXPECT_EQ(NarrowToInt(7, 0, 5), 5);
  EXPECT_EQ(NarrowToInt(42), 42);
}

TEST(PathText, LocalTodayIsTheLocalCalendarDate) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ASSERT_NE(localtime_r(&now, &local), nullptr);
  const DayOrdinal expected = OrdinalFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const DayOrdinal today = LocalToday();
  // Around midnight the two readings may straddle a day.
  EXPECT_TRUE(today == expected || today == expected + 1) << today;
}

}  // namespace
}  // namespace nerin
