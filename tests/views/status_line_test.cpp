// SPDX-License-Identifier: MIT
// The status line's text while a plan is shown alone and while it is compared.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "views/viewer_session.h"

#include "views/session_test_support.h"

namespace nerin {
namespace {

using namespace test;

struct StatusCase {
  const char* name;
  bool comparing;
  const char* reference;
  const char* loadText;
  const char* expected;
};

class StatusLineTextTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusLineTextTest, ComparisonSummaryComesFirst) {
  const StatusCase& c = GetParam();
  const auto changes = std::make_shared<PlanChanges>();
  const ChartComparison comparison{changes.get(), c.reference};
  EXPECT_EQ(StatusLineText(c.loadText, "", c.comparing ? &comparison : nullptr), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StatusLineTextTest,
    ::testing::Values(
        StatusCase{"AloneAsLoaded", false, "", "OK | plan.xml | 12 tasks", "OK | plan.xml | 12 tasks"},
        StatusCase{"AloneEvenWithAReferenceName", false, "week-48.xml", "OK | plan.xml",
                   "OK | plan.xml"},
        StatusCase{"ComparedSummaryThenLoad", true, "week-48.xml", "OK | plan.xml",
                   "Compared with week-48.xml: No differences. | OK | plan.xml"},
        StatusCase{"ComparedWithWarnings", true, "v1.xml", "WARNINGS 2 | plan.xml",
                   "Compared with v1.xml: No differences. | WARNINGS 2 | plan.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nerin
