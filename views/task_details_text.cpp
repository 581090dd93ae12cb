// SPDX-License-Identifier: MIT
#include "views/task_details_text.h"

#include <algorithm>

#include "calendar/day_ordinal.h"
#include "calendar/duration_text.h"
#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "views/plan_access.h"

namespace nerin {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kGap = "     ";


std::int64_t LinkCountOf(const Task& task) {
  return task.LinkCount();
}

std::string BaselineLine(const Plan& plan, std::int64_t index) {
  const Task& task = plan.Tasks[At(index)];
  if (task.BaselineStart < 1) {
    return "Baseline: -";
  }
  std::string line =
      "Baseline: " + OrdinalLabel(task.BaselineStart) + " - " + OrdinalLabel(task.BaselineFinish);
  const std::int64_t slip = TaskSlip(plan, index);
  if (slip > 0) {
    line += std::string(kGap) + "slipped by " + IntegerText(slip) + " calendar day(s)";
  } else if (slip < 0) {
    // Both dates are positive day numbers, so the negation cannot overflow.
    line += std::string(kGap) + "ahead by " + IntegerText(-slip) + " calendar day(s)";
  }
  return line;
}

void AppendResourceLines(const Plan& plan, const Task& task, std::string& text) {
  bool any = false;
  for (const TaskAssignment& assigned : task.Assigned) {
    const std::int64_t resource = ResourceIndex(plan, assigned.ResourceUID);
    if (resource < 0 || resource >= plan.ResourceCount()) {
      continue;
    }
    const Resource& r = plan.Resources[At(resource)];
    // A material is counted in its own measure ("10 t"), a work resource in per cent.
    const std::string_view label = resource < std::ssize(plan.Terms.MaterialLabels)
                                       ? std::string_view(plan.Terms.MaterialLabels[At(resource)])
                                       : std::string_view();
    const bool material = r.Type == 0 && r.IsCostResource == 0 && !label.empty();
    text += "  " + r.Name + "  (" +
            (material ? MaterialUnitsText(assigned.Units, label) : DecimalText(assigned.Units * 100.0f, 0) + "%") +
            ")" + kLineEnd;
    any = true;
  }
  if (!any) {
    text += std::string("  -") + kLineEnd;
  }
}

// What the plan's author set beside the dates, one line each, only where there is something
// to say: WBS code, progress as of the status date, constraint, deadline, own calendar, marks.
std::string TermsLines(const Plan& plan, std::int64_t index) {
  if (index >= std::ssize(plan.Terms.Tasks)) return {};
  const TaskTerms& t = plan.Terms.Tasks[At(index)];
  const Task& task = plan.Tasks[At(index)];
  std::string text;
  if (!t.WBS.empty()) text += "WBS: " + t.WBS + kLineEnd;
  if (t.ActualStart > 0 || t.ActualFinish > 0 || t.PercentWorkComplete > 0) {
    const auto date = [](DayOrdinal day) { return day > 0 ? OrdinalLabel(day) : std::string("-"); };
    text += "Actual start: " + date(t.ActualStart) + kGap + "Actual finish: " + date(t.ActualFinish) + kGap +
            "Work complete: " + IntegerText(t.PercentWorkComplete) + "%" + kLineEnd;
  }
  if (t.Constraint != ConstraintType::AsSoonAsPossible) {
    text += "Constraint: " + ConstraintTypeName(t.Constraint);
    if (t.ConstraintDate > 0) text += " " + OrdinalLabel(t.ConstraintDate);
    text += kLineEnd;
  }
  if (t.Deadline > 0) {
    text += "Deadline: " + OrdinalLabel(t.Deadline);
    if (task.Finish > t.Deadline) text += std::string(kGap) + "finishes after its deadline";
    text += kLineEnd;
  }
  if (t.CalendarUID >= 0) {
    const std::int64_t calendar = CalendarIndex(plan.Terms, t.CalendarUID);
    if (calendar >= 0) text += "Calendar: " + plan.Terms.Calendars[At(calendar)].Name + kLineEnd;
  }
  std::string marks;
  if (t.Manual != 0) marks += "manually scheduled  ";
  if (t.Active == 0) marks += "inactive  ";
  if (!marks.empty()) text += "Marks: " + std::string(TrimSpaces(marks)) + kLineEnd;
  return text;
}

std::vector<LinkRow> RowsOf(const Plan& plan, const std::vector<LinkedTask>& links) {
  std::vector<LinkRow> rows;
  rows.reserve(links.size());
  for (const LinkedTask& link : links) {
    const Task& task = plan.Tasks[At(link.Task)];
    rows.push_back({link.Task, IntegerText(task.ID), task.Name, LinkedTaskText(plan, link)});
  }
  return rows;
}

}  // namespace

std::vector<LinkedTask> PredecessorsOf(const Plan& plan, std::int64_t task) {
  std::vector<LinkedTask> links;
  if (!IsTask(plan, task)) {
    return links;
  }
  const Task& successor = plan.Tasks[At(task)];
  for (std::int64_t i = 0; i < LinkCountOf(successor); ++i) {
    const TaskLink& link = successor.Links[At(i)];
    if (IsTask(plan, link.PredecessorIndex)) {
      links.push_back({link.PredecessorIndex, link.Type, task, i});
    }
  }
  return links;
}

std::vector<LinkedTask> SuccessorsOf(const Plan& plan, std::int64_t task, std::size_t limit) {
  std::vector<LinkedTask> links;
  if (!IsTask(plan, task)) {
    return links;
  }
  const std::int64_t count = TaskCountOf(plan);
  for (std::int64_t s = 0; s < count && links.size() < limit; ++s) {
    const Task& successor = plan.Tasks[At(s)];
    for (std::int64_t i = 0; i < LinkCountOf(successor) && links.size() < limit; ++i) {
      if (successor.Links[At(i)].PredecessorIndex == task) {
        links.push_back({s, successor.Links[At(i)].Type, s, i});
      }
    }
  }
  return links;
}

std::string LinkedTaskText(const Plan& plan, const LinkedTask& link) {
  const std::string text = TaskLinkText(plan, link.Successor, link.Slot);
  return text.empty() ? LinkTypeName(link.Type) : text;
}

std::string TaskFlagsText(const Task& task) {
  std::string flags;
  if (task.Summary != 0) flags += "summary  ";
  if (task.Milestone != 0) flags += "milestone  ";
  if (task.Critical != 0) flags += "critical  ";
  return flags;
}

std::string TaskDetailsText(const Plan& plan, std::int64_t index) {
  if (!IsTask(plan, index)) {
    return {};
  }
  const Task& task = plan.Tasks[At(index)];
  std::string text;
  text += "ID: " + IntegerText(task.ID) + kGap + "UID: " + IntegerText(task.UID) + kGap +
          "Outline level: " + IntegerText(task.OutlineLevel) + kLineEnd;
  text += "Start: " + task.StartLabel + kGap + "Finish: " + task.FinishLabel + kLineEnd;
  text += "Duration: " + TaskDurationText(plan, index) + kGap +
          "Complete: " + IntegerText(task.PercentComplete) + "%" + kLineEnd;
  text += BaselineLine(plan, index) + kLineEnd;
  const std::string flags = TaskFlagsText(task);
  if (!flags.empty()) {
    text += "Flags: " + std::string(TrimSpaces(flags)) + kLineEnd;
  }
  text += TermsLines(plan, index);
  text += kLineEnd;
  text += std::string("Resources:") + kLineEnd;
  AppendResourceLines(plan, task, text);
  return text;
}

std::string TaskNoteText(const Task& task) {
  return task.Notes.empty() ? std::string("-") : task.Notes;
}

std::vector<LinkRow> PredecessorRows(const Plan& plan, std::int64_t task) {
  return RowsOf(plan, PredecessorsOf(plan, task));
}

std::vector<LinkRow> SuccessorRows(const Plan& plan, std::int64_t task) {
  return RowsOf(plan, SuccessorsOf(plan, task, plan.Tasks.size()));
}

bool ListClickNavigates(bool filling, std::int64_t now, std::int64_t openedAt, std::int64_t lastNavigation,
                        std::int64_t row, std::int64_t rowCount) {
  // Compared as differences in 128 bits: clock readings are never trusted not to overflow.
  const auto since = [now](std::int64_t then) { return static_cast<__int128>(now) - then; };
  return !filling && since(lastNavigation) > LINK_CLICK_GUARD_MS && since(openedAt) > LINK_CLICK_GUARD_MS &&
         row >= 0 && row < rowCount;
}

std::int64_t GoToButtonRow(std::int64_t selectedRow, std::int64_t rowCount) {
  if (rowCount <= 0) {
    return -1;
  }
  return selectedRow >= 0 && selectedRow < rowCount ? selectedRow : 0;
}

std::int64_t DetailsTaskAt(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t x,
                           std::int64_t y) {
  // A press on the column border starts a drag, not a double-click.
  if (NearSplitter(view, x)) {
    return -1;
  }
  // A double-click on a fold triangle has folded or unfolded it with its first press.
  const std::int64_t task = ChartRowTaskAt(plan, rows, view, y);
  return OnFoldTriangle(plan, rows, task, x) ? -1 : task;
}

std::string SingleLineText(std::string_view text) {
  std::string line(text);
  // Control characters (line breaks, tabs) are single bytes below 0x20 in UTF-8 and never part
  // of a longer character.
  std::replace_if(
      line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
  return line;
}

DetailsBoxSize DetailsBoxFor(std::int64_t textHeight, std::int64_t currentBox, std::int64_t tallestWindow) {
  const std::int64_t windowRoom = std::max<std::int64_t>(tallestWindow - DETAILS_WINDOW_HEIGHT, 0);
  // The box seen whole, with a margin below it, in the part above the buttons.
  constexpr std::int64_t kMarginBelow = 8;
  const std::int64_t inView = tallestWindow - DETAILS_BUTTON_STRIP - DETAILS_BOX_TOP - kMarginBelow;
  const std::int64_t tallestBox = std::max({DETAILS_BOX_HEIGHT + windowRoom, inView, currentBox});
  const std::int64_t box = std::clamp(std::max(textHeight, currentBox), DETAILS_BOX_HEIGHT, tallestBox);
  return {box, DETAILS_WINDOW_HEIGHT + std::min(box - DETAILS_BOX_HEIGHT, windowRoom)};
}

DetailsShare DetailsShareFor(std::int64_t noteHeight, std::int64_t listsHeight) {
  constexpr std::int64_t kRoom = DETAILS_NOTE_HEIGHT + DETAILS_LISTS_HEIGHT;
  const std::int64_t lists = std::clamp(listsHeight, DETAILS_LISTS_MIN_HEIGHT, kRoom - DETAILS_NOTE_HEIGHT);
  const std::int64_t note = std::clamp(noteHeight, DETAILS_NOTE_HEIGHT, kRoom - lists);
  return {note, kRoom - note};
}

}  // namespace nerin
