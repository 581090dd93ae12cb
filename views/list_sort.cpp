// SPDX-License-Identifier: MIT
#include "views/list_sort.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calendar/value_text.h"
#include "views/plan_access.h"

namespace nerin {

namespace {

enum class KeyKind : std::uint8_t { Number, Text, Outline };

// What one row sorts by: a number (dates as day ordinals) or a text, or nothing at all.
struct SortKey {
  std::int64_t Row = 0;  // the row's task or resource index
  bool Empty = false;
  double Number = 0;
  std::string_view Text;
};

SortKey NumberKey(std::int64_t row, double value) {
  // A value that is not a number has no place in an order: it sorts with the empty cells.
  return SortKey{row, std::isnan(value), std::isnan(value) ? 0.0 : value, {}};
}

SortKey DateKey(std::int64_t row, DayOrdinal date) {
  return SortKey{row, date <= 0, static_cast<double>(date), {}};
}

SortKey TextKey(std::int64_t row, std::string_view text) {
  return SortKey{row, text.empty(), 0, text};
}

// Outline numbers compare part by part as whole numbers, so 1.2 comes before 1.10 and 2.
int CompareOutline(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const bool digitA = a[i] >= '0' && a[i] <= '9';
    const bool digitB = b[j] >= '0' && b[j] <= '9';
    if (digitA && digitB) {
      // Leading zeros do not count; then the longer run of digits is the larger number.
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      std::size_t endA = i;
      std::size_t endB = j;
      while (endA < a.size() && a[endA] >= '0' && a[endA] <= '9') ++endA;
      while (endB < b.size() && b[endB] >= '0' && b[endB] <= '9') ++endB;
      if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
      const int digits = a.substr(i, endA - i).compare(b.substr(j, endB - j));
      if (digits != 0) return digits;
      i = endA;
      j = endB;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::vector<std::int64_t> SortKeys(std::vector<SortKey>& keys, KeyKind kind, SortDirection direction,
                                   const TextCollation& collate) {
  const bool descending = direction == SortDirection::Descending;
  const auto compare = [&](const SortKey& a, const SortKey& b) -> int {
    switch (kind) {
      case KeyKind::Number:
        return a.Number < b.Number ? -1 : (b.Number < a.Number ? 1 : 0);
      case KeyKind::Outline:
        return CompareOutline(a.Text, b.Text);
      case KeyKind::Text:
        return collate ? collate(a.Text, b.Text) : ByteCollation(a.Text, b.Text);
    }
    return 0;
  };
  std::stable_sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
    if (a.Empty || b.Empty) return !a.Empty && b.Empty;
    const int order = compare(a, b);
    return descending ? order > 0 : order < 0;
  });
  std::vector<std::int64_t> order;
  order.reserve(keys.size());
  for (const SortKey& key : keys) order.push_back(key.Row);
  return order;
}

std::vector<std::int64_t> InPlanOrder(std::span<const std::int64_t> rows, std::int64_t count) {
  std::vector<std::int64_t> order;
  order.reserve(rows.size());
  for (const std::int64_t row : rows) {
    if (row >= 0 && row < count) order.push_back(row);
  }
  std::stable_sort(order.begin(), order.end());
  return order;
}

}  // namespace

ListSort NextSort(ListSort current, std::int64_t column, std::int64_t columnCount) {
  if (column < 0 || column >= columnCount) return current;
  if (current.Column != column || current.Direction == SortDirection::PlanOrder) {
    return ListSort{column, SortDirection::Ascending};
  }
  if (current.Direction == SortDirection::Ascending) return ListSort{column, SortDirection::Descending};
  return ListSort{};
}

int ByteCollation(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::vector<std::int64_t> SortedTaskRows(const Plan& plan, std::span<const std::int64_t> tasks, ListSort sort,
                                         const TextCollation& collate) {
  const std::int64_t count = TaskCountOf(plan);
  if (sort.Direction == SortDirection::PlanOrder || sort.Column < 0) return InPlanOrder(tasks, count);
  KeyKind kind = KeyKind::Number;
  std::vector<SortKey> keys;
  keys.reserve(tasks.size());
  for (const std::int64_t index : tasks) {
    if (index < 0 || index >= count) continue;
    const Task& task = plan.Tasks[At(index)];
    switch (sort.Column) {
      case 0:
        keys.push_back(NumberKey(index, static_cast<double>(task.ID)));
        break;
      case 1:
        kind = KeyKind::Outline;
        keys.push_back(TextKey(index, task.OutlineNumber));
        break;
      case 2:
        kind = KeyKind::Text;
        keys.push_back(TextKey(index, task.Name));
        break;
      case 3:
        keys.push_back(DateKey(index, task.Start));
        break;
      case 4:
        keys.push_back(DateKey(index, task.Finish));
        break;
      case 5:
        keys.push_back(NumberKey(index, task.DurationHours));
        break;
      case 6:
        keys.push_back(NumberKey(index, static_cast<double>(task.PercentComplete)));
        break;
      case 7:
        keys.push_back(NumberKey(index, task.TotalSlackHours));
        break;
      case 8:
        // A yes-or-no column: ascending puts the non-critical tasks first, descending the
        // critical ones; neither is an empty cell.
        keys.push_back(NumberKey(index, task.Critical != 0 ? 1.0 : 0.0));
        break;
      case 9:
        kind = KeyKind::Text;
        keys.push_back(TextKey(index, task.ResourceLabel));
        break;
      default:
        return InPlanOrder(tasks, count);
    }
  }
  return SortKeys(keys, kind, sort.Direction, collate);
}

std::vector<std::int64_t> SortedResourceRows(const Plan& plan, std::span<const std::int64_t> resources,
                                             ListSort sort, const TextCollation& collate) {
  const std::int64_t count = std::clamp<std::int64_t>(plan.ResourceCount(), 0, MAX_RESOURCES);
  if (sort.Direction == SortDirection::PlanOrder || sort.Column < 0) return InPlanOrder(resources, count);
  // The type's name is made here, not read from the plan: the keys point into this.
  std::vector<std::string> typeNames;
  typeNames.reserve(resources.size());
  KeyKind kind = KeyKind::Text;
  std::vector<SortKey> keys;
  keys.reserve(resources.size());
  for (const std::int64_t index : resources) {
    if (index < 0 || index >= count) continue;
    const Resource& resource = plan.Resources[At(index)];
    switch (sort.Column) {
      case 0:
        keys.push_back(TextKey(index, resource.Name));
        break;
      case 1:
        typeNames.push_back(ResourceTypeName(resource.Type, resource.IsCostResource));
        keys.push_back(TextKey(index, typeNames.back()));
        break;
      case 2:
        keys.push_back(TextKey(index, resource.Initials));
        break;
      case 3:
        keys.push_back(TextKey(index, resource.EmailAddress));
        break;
      case 4:
        kind = KeyKind::Number;
        keys.push_back(NumberKey(index, resource.MaxUnits));
        break;
      case 5:
        keys.push_back(TextKey(index, resource.AssignedTaskNames));
        break;
      default:
        return InPlanOrder(resources, count);
    }
  }
  return SortKeys(keys, kind, sort.Direction, collate);
}

namespace {

// The rows the list holds, within its arrays.
std::int64_t HeldRows(const TaskListRows& rows) {
  return std::clamp<std::int64_t>(rows.RowCount, 0, std::ssize(rows.ListRowTask));
}

}  // namespace

bool ApplyTaskListOrder(TaskListRows& rows, std::span<const std::int64_t> order) {
  const std::int64_t rowCount = HeldRows(rows);
  if (static_cast<std::int64_t>(order.size()) != rowCount) return false;
  // Every task of the order must hold a row now, and none may come twice.
  std::vector<std::uint8_t> seen(rows.TaskListRow.size(), 0);
  for (const std::int64_t task : order) {
    if (task < 0 || task >= std::ssize(rows.TaskListRow) || rows.TaskListRow[At(task)] < 0 ||
        seen[At(task)] != 0)
      return false;
    seen[At(task)] = 1;
  }
  for (std::int64_t row = 0; row < rowCount; ++row) {
    const std::int64_t task = order[At(row)];
    rows.ListRowTask[At(row)] = task;
    rows.TaskListRow[At(task)] = row;
  }
  return true;
}

void SortTaskList(TaskListRows& rows, const Plan& plan, ListSort sort, const TextCollation& collate) {
  const std::span<const std::int64_t> tasks(rows.ListRowTask.data(), At(HeldRows(rows)));
  ApplyTaskListOrder(rows, SortedTaskRows(plan, tasks, sort, collate));
}

}  // namespace nerin
