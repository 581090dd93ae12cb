// SPDX-License-Identifier: MIT
// Known changes made to a loaded plan in memory, each with what a comparison of the edited
// plan against the original must report. The tests check the comparison with them and the
// benchmarks derive their second version of a large plan with them.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "compare/plan_changes.h"
#include "model/plan.h"

namespace nerin {

enum class PlanEdit : std::uint8_t {
  Shift,     // start and finish a week later
  Stretch,   // finish three days later, duration 24 hours longer
  Rename,    // " (revised)" appended to the name
  Move,      // indented one level under the task above
  Remove,    // a task without children dropped
  Add,       // a new task after one without children
  Relink,    // a start-to-start link with 8 hours of lag from an earlier task
  Progress,  // % complete changed
  Reassign,  // the first assignment's units halved or doubled, or a first resource assigned
};
inline constexpr std::size_t PLAN_EDIT_COUNT = 9;

struct ExpectedTaskChange {
  ChangeKind Kind = ChangeKind::Changed;
  std::vector<TaskField> Fields;  // in TaskField order, for a changed task
  bool operator==(const ExpectedTaskChange&) const = default;
};
using ExpectedChanges = std::map<std::int64_t, ExpectedTaskChange>;  // by task UID

// Applies `edit` to the first task at or after `fromIndex` that suits it (a task without
// children for Move, Remove and Add; one with an earlier task for Move and Relink) and adds
// what a comparison must report to `expected`. The index edited, or -1 when no task suits.
std::int64_t ApplyEdit(Plan& plan, PlanEdit edit, std::int64_t fromIndex, ExpectedChanges& expected);

// A few hundred edits of every kind spread over the plan, from its end to its start so that
// each edit finds the tasks before it as they were.
ExpectedChanges ApplySpreadEdits(Plan& plan, std::int64_t stride);

}  // namespace nerin
