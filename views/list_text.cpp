// SPDX-License-Identifier: MIT
#include "views/list_text.h"

#include <algorithm>

#include "calendar/text_units.h"
#include "calendar/value_text.h"

namespace nerin {

namespace {

constexpr std::string_view kCutMark = "\xE2\x80\xA6";  // …

// Bytes of a character that ends a line where a list cell must not: U+0085 (next line),
// U+2028 (line separator), U+2029 (paragraph separator).
std::size_t LineBreakLength(std::string_view text, std::size_t pos) {
  const auto byte = [text](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  switch (byte(pos)) {
    case '\r':
      return byte(pos + 1) == '\n' ? 2 : 1;
    case '\n':
    case '\t':
    case '\v':
    case '\f':
      return 1;
    case 0xC2:
      return byte(pos + 1) == 0x85 ? 2 : 0;
    case 0xE2:
      return byte(pos + 1) == 0x80 && (byte(pos + 2) == 0xA8 || byte(pos + 2) == 0xA9) ? 3 : 0;
    default:
      return 0;
  }
}

bool InPlan(std::int64_t index, std::int64_t count, std::size_t capacity) {
  return index >= 0 && index < count && static_cast<std::size_t>(index) < capacity;
}

}  // namespace

std::string FixedNumberText(float value, std::int64_t decimals) {
  std::string text = DecimalText(value, decimals);
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

std::string DurationText(float hours) {
  return FixedNumberText(hours, 1) + "h";
}

std::string SlackText(float hours) {
  return FixedNumberText(hours / 8.0f, 1);
}

std::string PercentText(std::int64_t percent) {
  return IntegerText(percent) + "%";
}

std::string CriticalText(std::uint8_t critical) {
  return critical != 0 ? "yes" : "";
}

std::string TaskWbs(const Plan& plan, std::int64_t task) {
  return task >= 0 && task < std::ssize(plan.Terms.Tasks) ? plan.Terms.Tasks[static_cast<std::size_t>(task)].WBS
                                                          : std::string();
}

std::string ActualDateText(DayOrdinal day) {
  return day > 0 ? OrdinalLabel(day) : std::string();
}

std::string MaxUnitsText(float maxUnits) {
  return FixedNumberText(maxUnits * 100.0f, 0) + "%";
}

std::string ListCellLine(std::string_view text) {
  const std::string_view shown = Utf16Prefix(text, MAX_LIST_CELL_UNITS);
  std::string line = WholeCellLine(shown);
  if (shown.size() < text.size()) {
    line += kCutMark;
  }
  return line;
}

std::string WholeCellLine(std::string_view shown) {
  std::string line;
  line.reserve(shown.size() + kCutMark.size());
  for (std::size_t pos = 0; pos < shown.size();) {
    const std::size_t breakLength = LineBreakLength(shown, pos);
    if (breakLength > 0) {
      line += ' ';
      pos += breakLength;
    } else {
      line += shown[pos];
      ++pos;
    }
  }
  return line;
}

std::string TaskListCell(const Plan& plan, std::int64_t task, std::int64_t column, CellForm form) {
  const auto line = form == CellForm::Whole ? WholeCellLine : ListCellLine;
  if (!InPlan(task, plan.TaskCount(), plan.Tasks.size())) {
    return {};
  }
  const Task& t = plan.Tasks[static_cast<std::size_t>(task)];
  switch (column) {
    case 0:
      return IntegerText(t.ID);
    case 1:
      return line(t.OutlineNumber);
    case 2:
      return line(t.Name);
    case 3:
      return t.StartLabel;
    case 4:
      return t.FinishLabel;
    case 5:
      return TaskDurationText(plan, task);
    case 6:
      return PercentText(t.PercentComplete);
    case 7:
      return SlackText(t.TotalSlackHours);
    case 8:
      return CriticalText(t.Critical);
    case 9:
      return line(t.ResourceLabel);
    default:
      break;
  }
  if (task >= std::ssize(plan.Terms.Tasks)) {
    return {};
  }
  const TaskTerms& terms = plan.Terms.Tasks[static_cast<std::size_t>(task)];
  switch (column) {
    case 10:
      return line(terms.WBS);
    case 11:
      return ActualDateText(terms.ActualStart);
    case 12:
      return ActualDateText(terms.ActualFinish);
    case 13:
      return PercentText(terms.PercentWorkComplete);
    default:
      return {};
  }
}

std::string ResourceListCell(const Plan& plan, std::int64_t resource, std::int64_t column, CellForm form) {
  const auto line = form == CellForm::Whole ? WholeCellLine : ListCellLine;
  if (!InPlan(resource, plan.ResourceCount(), plan.Resources.size())) {
    return {};
  }
  const Resource& r = plan.Resources[static_cast<std::size_t>(resource)];
  switch (column) {
    case 0:
      return line(r.Name);
    case 1:
      return ResourceTypeName(r.Type, r.IsCostResource);
    case 2:
      return line(r.Initials);
    case 3:
      return line(r.EmailAddress);
    case 4:
      return MaxUnitsText(r.MaxUnits);
    case 5:
      return line(r.AssignedTaskNames);
    default:
      return {};
  }
}

std::int64_t FittedColumnWidth(std::int64_t contentsWidth, std::int64_t visibleWidth) {
  if (visibleWidth > 0) contentsWidth = std::min(contentsWidth, visibleWidth);
  return std::max<std::int64_t>(contentsWidth, 1);
}

}  // namespace nerin
