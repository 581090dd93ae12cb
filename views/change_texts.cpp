// SPDX-License-Identifier: MIT
#include "views/change_texts.h"

#include "calendar/value_text.h"
#include "compare/change_formats.h"

namespace nerin {
namespace {

// The moves in days first, then the other fields by name.
std::string ChangeParts(const TaskChange& change, bool withChanged) {
  std::string moves;
  std::string others;
  for (const FieldChange& field : change.Fields) {
    const bool start = field.Field == TaskField::Start && change.StartShiftDays != 0;
    const bool finish = field.Field == TaskField::Finish && change.FinishShiftDays != 0;
    if (start || finish) {
      if (!moves.empty()) moves += ", ";
      moves += std::string(TaskFieldLabel(field.Field)) + " " +
               ShiftDaysText(start ? change.StartShiftDays : change.FinishShiftDays);
    } else {
      if (!others.empty()) others += ", ";
      others += TaskFieldLabel(field.Field);
    }
  }
  if (others.empty()) return moves;
  if (withChanged) others += " changed";
  return moves.empty() ? others : moves + "; " + others;
}

}  // namespace

std::string ChangeSentence(const ChartComparison& comparison, std::int64_t task) {
  if (comparison.Changes == nullptr) return {};
  const TaskChange* change = comparison.Changes->ChangeOf(task);
  if (change == nullptr) return {};
  const std::string since = " since " + comparison.ReferenceName;
  if (change->Kind == ChangeKind::Added) return "Added" + since;
  return ChangeParts(*change, true) + since;
}

std::string ChangeCell(const PlanChanges* changes, std::int64_t task) {
  const TaskChange* change = changes != nullptr ? changes->ChangeOf(task) : nullptr;
  if (change == nullptr) return {};
  if (change->Kind == ChangeKind::Added) return "Added";
  return ChangeParts(*change, false);
}

std::string ChangeDetailsText(const ChartComparison& comparison, std::int64_t task) {
  if (comparison.Changes == nullptr) return {};
  const TaskChange* change = comparison.Changes->ChangeOf(task);
  if (change == nullptr) return {};
  std::string text = "Changes since " + comparison.ReferenceName + ":\r\n";
  if (change->Kind == ChangeKind::Added) return text + "  added\r\n";
  for (const FieldChange& field : change->Fields) text += "  " + FieldChangeText(field) + "\r\n";
  return text;
}

std::string ComparisonStatusText(const ChartComparison& comparison) {
  if (comparison.Changes == nullptr) return {};
  return "Compared with " + comparison.ReferenceName + ": " + ChangesSummaryLine(*comparison.Changes);
}

}  // namespace nerin
