// SPDX-License-Identifier: MIT
// Sample plans against their expected model dumps, and every prefix of a sample plan.
#include <gtest/gtest.h>

#include <string>

#include "plan_text.h"
#include "support/golden.h"

namespace nerin {
namespace {

std::string DataPath(const std::string& name) {
  return std::string(NERIN_TEST_DATA_DIR) + "/" + name;
}

TEST(GoldenPlans, DumpMatchesTheExpectedText) {
  const std::pair<const char*, bool> rows[] = {
      {"typical", true},   {"no_finish", true},     {"outside_dates", true},
      {"rejected", false}, {"late_failure", false}, {"broken_xml", false},
      {"dates_swapped", true},
  };
  for (const auto& [name, loads] : rows) {
    const std::string text = test::ReadWholeFile(DataPath(std::string(name) + ".xml"));
    ASSERT_FALSE(text.empty()) << name;
    Plan plan;
    MessageLog log;
    EXPECT_EQ(LoadPlan(plan, log, std::string(name) + ".xml", text), loads) << name;
    EXPECT_TRUE(test::MatchesGolden(DataPath(std::string(name) + ".dump"),
                                    ModelDumpText(plan, log, plan.ProjectLoaded)));
  }
}

TEST(GoldenPlans, EveryPrefixLoadsOrLeavesThePreviousPlanAlone) {
  const std::string full = test::ReadWholeFile(DataPath("typical.xml"));
  const std::string previousText = test::ReadWholeFile(DataPath("outside_dates.xml"));
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(LoadPlan(plan, log, "outside_dates.xml", previousText));
  const std::string previous = test::ModelText(plan);
  std::size_t loaded = 0;
  for (std::size_t length = 0; length <= full.size(); ++length) {
    if (LoadPlan(plan, log, "prefix.xml", std::string_view(full).substr(0, length))) {
      ++loaded;
      ASSERT_TRUE(LoadPlan(plan, log, "outside_dates.xml", previousText));
      continue;
    }
    // One ERROR; a syntax fault adds where the parser stopped.
    ASSERT_GE(log.messages.size(), 1u) << length;
    ASSERT_EQ(log.messages[0].level, MessageLevel::Error) << length;
    if (log.messages[0].text == "XML is syntactically invalid.") {
      ASSERT_EQ(log.messages.size(), 2u) << length;
      ASSERT_TRUE(log.messages[1].text.starts_with("The XML parser stopped at line ")) << length;
    } else {
      ASSERT_EQ(log.messages.size(), 1u) << length;
    }
    ASSERT_TRUE(plan.ProjectLoaded && !plan.MessagesMatchPlan) << length;
    ASSERT_EQ(test::ModelText(plan), previous) << length;
  }
  // Only the whole text, with or without its final line break, is a complete document.
  EXPECT_EQ(loaded, 2u);
}

}  // namespace
}  // namespace nerin
