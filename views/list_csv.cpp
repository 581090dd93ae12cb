// SPDX-License-Identifier: MIT
#include "views/list_csv.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "calendar/day_ordinal.h"
#include "calendar/value_text.h"
#include "views/change_texts.h"
#include "views/list_text.h"

namespace nerin {

namespace {

// The duration twice: as the plan writes it, and in hours for a spreadsheet to add up.
constexpr std::array<std::string_view, 15> kTaskCsvTitles = {
    "ID",           "Outline",    "Task",      "Start",    "Finish",    "Duration",
    "Duration (h)", "% Complete", "Slack (d)", "Critical", "Resources", "WBS",
    "Actual Start", "Actual Finish", "% Work Complete",
};
constexpr std::array<std::string_view, 6> kResourceCsvTitles = {
    "Name", "Type", "Initials", "Email", "Max. Units (%)", "Tasks",
};

// A spreadsheet runs a cell that begins with one of these as a formula.
bool LooksLikeFormula(std::string_view text) {
  return !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                           text[0] == '\t' || text[0] == '\r');
}

// A text of the plan as a CSV field that a spreadsheet shows and never evaluates.
std::string CsvText(std::string_view text) {
  return LooksLikeFormula(text) ? CsvField("'" + std::string(text)) : CsvField(text);
}

template <std::size_t N>
void AppendHeader(std::string& out, const std::array<std::string_view, N>& titles, char separator,
                  std::string_view lineEnd) {
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) out += separator;
    out += titles[i];
  }
  out += lineEnd;
}

void AppendTaskCsv(std::string& out, const Plan& plan, std::int64_t index) {
  const Task& task = plan.Tasks[static_cast<std::size_t>(index)];
  out += IntegerText(task.ID);
  out += ',';
  out += CsvText(task.OutlineNumber);
  out += ',';
  out += CsvText(task.Name);
  out += ',';
  out += IsoDateText(task.Start);
  out += ',';
  out += IsoDateText(task.Finish);
  out += ',';
  out += CsvText(TaskDurationText(plan, index));
  out += ',';
  out += FixedNumberText(task.DurationHours, 1);
  out += ',';
  out += IntegerText(task.PercentComplete);
  out += ',';
  out += SlackText(task.TotalSlackHours);
  out += ',';
  out += CriticalText(task.Critical);
  out += ',';
  out += CsvText(task.ResourceLabel);
  out += ',';
  if (index < std::ssize(plan.Terms.Tasks)) {
    const TaskTerms& terms = plan.Terms.Tasks[static_cast<std::size_t>(index)];
    out += CsvText(terms.WBS);
    out += ',';
    out += IsoDateText(terms.ActualStart);
    out += ',';
    out += IsoDateText(terms.ActualFinish);
    out += ',';
    out += IntegerText(terms.PercentWorkComplete);
  } else {
    out += ",,,";
  }
  out += "\r\n";
}

void AppendResourceCsv(std::string& out, const Resource& resource) {
  out += CsvText(resource.Name);
  out += ',';
  out += CsvField(ResourceTypeName(resource.Type, resource.IsCostResource));
  out += ',';
  out += CsvText(resource.Initials);
  out += ',';
  out += CsvText(resource.EmailAddress);
  out += ',';
  out += FixedNumberText(resource.MaxUnits * 100.0f, 0);
  out += ',';
  out += CsvText(resource.AssignedTaskNames);
  out += "\r\n";
}

std::int64_t TasksHeld(const Plan& plan) {
  return std::clamp<std::int64_t>(plan.TaskCount(), 0, std::ssize(plan.Tasks));
}

std::int64_t ResourcesHeld(const Plan& plan) {
  return std::clamp<std::int64_t>(plan.ResourceCount(), 0, std::ssize(plan.Resources));
}

}  // namespace

std::string CsvField(std::string_view text) {
  const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) return std::string(text);
  std::string field;
  field.reserve(text.size() + 2);
  field += '"';
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::string ListCsv(const Plan& plan, PlanList list, std::span<const std::int64_t> rows,
                    const PlanChanges* changes) {
  std::string out;
  if (list == PlanList::Tasks) {
    AppendHeader(out, kTaskCsvTitles, ',', changes != nullptr ? ",Change\r\n" : "\r\n");
    const std::int64_t count = TasksHeld(plan);
    for (const std::int64_t task : rows) {
      if (task < 0 || task >= count) continue;
      AppendTaskCsv(out, plan, task);
      if (changes != nullptr) {
        // The record's line end moves behind the change.
        out.resize(out.size() - 2);
        out += ',';
        out += CsvText(ChangeCell(changes, task));
        out += "\r\n";
      }
    }
  } else {
    AppendHeader(out, kResourceCsvTitles, ',', "\r\n");
    const std::int64_t count = ResourcesHeld(plan);
    for (const std::int64_t resource : rows) {
      if (resource >= 0 && resource < count) {
        AppendResourceCsv(out, plan.Resources[static_cast<std::size_t>(resource)]);
      }
    }
  }
  return out;
}

std::string ListTabText(const Plan& plan, PlanList list, std::span<const std::int64_t> rows) {
  const bool tasks = list == PlanList::Tasks;
  const std::int64_t count = tasks ? TasksHeld(plan) : ResourcesHeld(plan);
  const std::size_t columns = tasks ? TASK_LIST_COLUMNS.size() : RESOURCE_LIST_COLUMNS.size();
  std::string out;
  for (std::size_t column = 0; column < columns; ++column) {
    if (column > 0) out += '\t';
    out += tasks ? TASK_LIST_COLUMNS[column].Title : RESOURCE_LIST_COLUMNS[column].Title;
  }
  out += '\n';
  for (const std::int64_t index : rows) {
    if (index < 0 || index >= count) continue;
    for (std::size_t column = 0; column < columns; ++column) {
      if (column > 0) out += '\t';
      const auto c = static_cast<std::int64_t>(column);
      if (tasks) {
        const Task& task = plan.Tasks[static_cast<std::size_t>(index)];
        // The texts whole: the list cuts a very long cell, the copy keeps all of it.
        switch (column) {
          case 1:
            out += WholeCellLine(task.OutlineNumber);
            break;
          case 2:
            out += WholeCellLine(task.Name);
            break;
          case 9:
            out += WholeCellLine(task.ResourceLabel);
            break;
          case 10:
            out += WholeCellLine(TaskWbs(plan, index));
            break;
          default:
            out += TaskListCell(plan, index, c);
        }
      } else {
        const Resource& resource = plan.Resources[static_cast<std::size_t>(index)];
        switch (column) {
          case 0:
            out += WholeCellLine(resource.Name);
            break;
          case 2:
            out += WholeCellLine(resource.Initials);
            break;
          case 3:
            out += WholeCellLine(resource.EmailAddress);
            break;
          case 5:
            out += WholeCellLine(resource.AssignedTaskNames);
            break;
          default:
            out += ResourceListCell(plan, index, c);
        }
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace nerin
