// SPDX-License-Identifier: MIT
#include "calendar/text_units.h"

#include <gtest/gtest.h>

#include <string>

namespace nerin {
namespace {

// "a", "é" (2 bytes), "€" (3 bytes), "😀" (4 bytes, a surrogate pair).
const std::string kMixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";

TEST(TextUnits, Utf16Length) {
  struct Row {
    std::string text;
    std::size_t units;
  };
  const Row rows[] = {{"", 0},
                      {"abc", 3},
                      {kMixed, 6},
                      {"\xF0\x9F\x98\x80", 2},
                      // Broken sequences count one unit per stray byte and never read past the end.
                      {"\xF0\x9F", 2},
                      {"\x80\x80", 2},
                      {"\xE2\x82", 2},
                      {"\xFF", 1},
                      {"\xC3z", 2}};
  for (const Row& row : rows) EXPECT_EQ(Utf16Length(row.text), row.units) << row.text;
}

TEST(TextUnits, Utf16PrefixNeverSplitsACharacter) {
  struct Row {
    std::string text;
    std::size_t units;
    std::string prefix;
  };
  const Row rows[] = {{"abc", 0, ""},
                      {"abc", 2, "ab"},
                      {"abc", 10, "abc"},
                      {kMixed, 1, "a"},
                      {kMixed, 2, "a\xC3\xA9"},
                      {kMixed, 3, "a\xC3\xA9\xE2\x82\xAC"},
                      {kMixed, 4, "a\xC3\xA9\xE2\x82\xAC"},
                      {kMixed, 5, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
                      {kMixed, 6, kMixed},
                      {"\xF0\x9F\x98\x80", 1, ""},
                      {"\xF0\x9F", 1, "\xF0"}};
  for (const Row& row : rows) EXPECT_EQ(Utf16Prefix(row.text, row.units), row.prefix) << row.units;
}

TEST(TextUnits, TrimSpacesOnly) {
  struct Row {
    const char* text;
    const char* trimmed;
  };
  const Row rows[] = {{"", ""},           {"   ", ""},    {"  a b  ", "a b"},
                      {"\ta\t", "\ta\t"}, {" \n ", "\n"}, {"x", "x"}};
  for (const Row& row : rows) EXPECT_EQ(TrimSpaces(row.text), row.trimmed) << "'" << row.text << "'";
}

TEST(TextUnits, AsciiCase) {
  const std::string text = "Plan-\xC3\x89t\xC3\xA9 Az@[`{";
  EXPECT_EQ(ToLowerAscii(text), "plan-\xC3\x89t\xC3\xA9 az@[`{");
  EXPECT_EQ(ToUpperAscii(text), "PLAN-\xC3\x89T\xC3\xA9 AZ@[`{");
}

}  // namespace
}  // namespace nerin
