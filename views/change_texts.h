// SPDX-License-Identifier: MIT
// How the chart, the hover box, the details window and the Tasks list name what changed in a
// task since the reference version the plan is compared with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "compare/plan_changes.h"

namespace nerin {

// The comparison the views show, with the reference's display name; nothing while the plan is
// not compared.
struct ChartComparison {
  const PlanChanges* Changes = nullptr;
  std::string ReferenceName;
};

// "Finish +5 days since week-48.xml", "Start +2 days, Finish +5 days; Name, Duration changed
// since ...", "Added since ..."; empty for an unchanged task or without a comparison.
std::string ChangeSentence(const ChartComparison& comparison, std::int64_t task);
// The Tasks list's "Change" cell: "Added", "Finish +5 days", "Start -2 days", or the labels of
// the changed fields ("Name, Duration"); empty for an unchanged task.
std::string ChangeCell(const PlanChanges* changes, std::int64_t task);
// The details window's lines under "Changes since <reference>:", CR LF line ends; empty for an
// unchanged task.
std::string ChangeDetailsText(const ChartComparison& comparison, std::int64_t task);
// "Compared with week-48.xml: 12 tasks moved, 3 added, 1 removed, 5 renamed".
std::string ComparisonStatusText(const ChartComparison& comparison);

}  // namespace nerin
