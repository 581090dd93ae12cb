// SPDX-License-Identifier: MIT
// Sorting the Tasks and Resources lists by a column: the order a header click asks for, and
// the rows in that order. A sort only reorders the rows the list already holds (so the
// critical filter stays as it is) and is given as task or resource indexes, so that
// navigation, Find and the hand-over to the chart follow the task, never the row number.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "model/plan.h"
#include "views/list_navigation.h"

namespace nerin {

enum class SortDirection : std::uint8_t { PlanOrder, Ascending, Descending };

// The sort of one list. Column is an index into the list's column array (list_text.h); it is
// -1 exactly when the direction is PlanOrder.
struct ListSort {
  std::int64_t Column = -1;
  SortDirection Direction = SortDirection::PlanOrder;

  friend bool operator==(const ListSort&, const ListSort&) = default;
};

// A click on the header of `column`: a new column sorts ascending, the sorted column turns
// descending, and a descending column goes back to plan order. A column outside the list
// (below 0 or not below columnCount) leaves the sort as it is.
ListSort NextSort(ListSort current, std::int64_t column, std::int64_t columnCount);

// Compares two texts as the user's language orders them: below 0, 0 or above 0, as strcmp.
// The window passes the locale's collation; a plain byte comparison serves the tests.
using TextCollation = std::function<int(std::string_view, std::string_view)>;
int ByteCollation(std::string_view a, std::string_view b);

// The rows (task indexes) in the order of the sort. Dates and numbers compare by value, the
// outline number part by part ("1.2" before "1.10"), texts by the collation. Rows that compare
// equal keep the order they come in (plan order), and empty cells (no text, no date) come
// last in both directions. PlanOrder gives the rows back in plan order. Indexes outside the
// plan are dropped.
std::vector<std::int64_t> SortedTaskRows(const Plan& plan, std::span<const std::int64_t> tasks, ListSort sort,
                                         const TextCollation& collate);
// The same for the Resources list, over resource indexes.
std::vector<std::int64_t> SortedResourceRows(const Plan& plan, std::span<const std::int64_t> resources,
                                             ListSort sort, const TextCollation& collate);

// Rewrites the Tasks list's row mapping to the given order of its own tasks (both directions,
// so TaskListRowOf and ListRowTaskAt agree). False, and the rows unchanged, when the order is
// not a permutation of the tasks the list holds.
bool ApplyTaskListOrder(TaskListRows& rows, std::span<const std::int64_t> order);

// Sorts the Tasks list as it stands (filled with or without the critical filter) in place.
void SortTaskList(TaskListRows& rows, const Plan& plan, ListSort sort, const TextCollation& collate);

}  // namespace nerin
