// SPDX-License-Identifier: MIT
// What the file does not state directly: link targets, the driving links of the critical
// chain, the project finish when missing, the timeline range and the summary messages.
#include <algorithm>
#include <string>
#include <utility>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_steps.h"

namespace nerin {

namespace {

constexpr std::int64_t kImplausibleDays = 365;
constexpr std::size_t kNameLimit = 40;
constexpr std::size_t kNameKept = 37;

Task& TaskAt(Plan& plan, std::int64_t index) {
  return plan.Tasks[static_cast<std::size_t>(index)];
}

// Returns the number of links whose predecessor is not in the plan.
std::int64_t ResolveLinks(Plan& plan) {
  std::int64_t unresolved = 0;
  for (Task& task : plan.Tasks) {
    for (TaskLink& link : task.Links) {
      link.PredecessorIndex = TaskIndex(plan, link.PredecessorUID);
      if (link.PredecessorIndex < 0) ++unresolved;
    }
  }
  return unresolved;
}

// The date a predecessor imposes on its successor through a link of this type; 0 when the
// predecessor lacks the date concerned.
DayOrdinal ImposedDate(const Task& predecessor, LinkType type) {
  switch (type) {
    case LinkType::FF:
      return predecessor.Finish;
    case LinkType::FS:
      return predecessor.Finish > 0 ? predecessor.Finish + 1 : 0;
    case LinkType::SF:
    case LinkType::SS:
      break;
  }
  return predecessor.Start;
}

// Marks, for every critical task, the link from a critical predecessor that imposes the
// latest date; the earlier link wins a tie. Returns the number of driving links.
std::int64_t MarkDrivingLinks(Plan& plan) {
  std::int64_t driving = 0;
  for (Task& task : plan.Tasks) {
    if (!task.Critical) continue;
    std::int64_t best = -1;
    DayOrdinal bestDate = 0;
    for (std::int64_t k = 0; k < task.LinkCount(); ++k) {
      const TaskLink& link = task.Links[static_cast<std::size_t>(k)];
      if (link.PredecessorIndex < 0 || link.PredecessorIndex >= plan.TaskCount()) continue;
      const Task& predecessor = TaskAt(plan, link.PredecessorIndex);
      if (!predecessor.Critical) continue;
      const DayOrdinal date = ImposedDate(predecessor, link.Type);
      if (date > bestDate) {
        bestDate = date;
        best = k;
      }
    }
    if (best >= 0) {
      task.Links[static_cast<std::size_t>(best)].Driving = 1;
      ++driving;
    }
  }
  return driving;
}

void ReportCriticalPath(const Plan& plan, MessageLog& log, std::int64_t criticalTasks,
                        std::int64_t drivingLinks) {
  if (criticalTasks == 0) {
    AddMessage(log, MessageLevel::Info, "No task is flagged as critical; the export contains no critical path.");
  } else if (criticalTasks == plan.TaskCount()) {
    AddMessage(
        log, MessageLevel::Info,
        "All " + IntegerText(plan.TaskCount()) +
            " tasks are flagged critical, so the plan has no float anywhere; the critical chain is not "
            "meaningful here.");
  } else {
    AddMessage(log, MessageLevel::Info,
               IntegerText(criticalTasks) + " task(s) on the critical path, " + IntegerText(drivingLinks) +
                   " driving link(s) highlighted.");
  }
}

// The name cut to its first kNameKept UTF-16 units and "..." when it is longer than kNameLimit.
// A UTF-16 unit never takes less than one byte, so a short name needs no counting.
std::string ShortenedName(std::string_view name) {
  if (name.size() <= kNameLimit || Utf16Length(name) <= kNameLimit) return std::string(name);
  std::string shortened(Utf16Prefix(name, kNameKept));
  shortened += "...";
  return shortened;
}

// Counts the tasks outside the declared project dates and names the farthest one when it is
// so far out that the date is most likely a typing error.
void ReportTasksOutsideProject(const Plan& plan, MessageLog& log) {
  std::int64_t outside = 0;
  std::int64_t farthest = -1;
  std::int64_t farthestDistance = 0;
  bool farthestBefore = false;
  for (std::int64_t i = 0; i < plan.TaskCount(); ++i) {
    const Task& task = plan.Tasks[static_cast<std::size_t>(i)];
    std::int64_t distance = 0;
    bool before = false;
    if (task.Start > 0 && plan.ProjectStart > 0 && task.Start < plan.ProjectStart) {
      distance = plan.ProjectStart - task.Start;
      before = true;
    } else if (task.Finish > 0 && plan.ProjectFinish > 0 && task.Finish > plan.ProjectFinish) {
      distance = task.Finish - plan.ProjectFinish;
    } else {
      continue;
    }
    ++outside;
    if (farthest < 0 || distance > farthestDistance) {
      farthest = i;
      farthestDistance = distance;
      farthestBefore = before;
    }
  }
  if (outside == 0) return;
  AddMessage(log, MessageLevel::Info,
             IntegerText(outside) +
                 " task(s) fall outside the declared project dates; timeline extended to cover them.");
  if (farthestDistance <= kImplausibleDays) return;

  // The span the chart draws: it covers both declared dates and every task, also when the
  // declared start is after the declared finish.
  const Task& task = plan.Tasks[static_cast<std::size_t>(farthest)];
  const std::int64_t years = TruncateToInteger(static_cast<double>(farthestDistance) / 365.0);
  const std::int64_t span =
      TruncateToInteger(static_cast<double>(plan.TimelineFinish - plan.TimelineStart) / 365.0);
  std::string text = "Task " + IntegerText(task.ID) + " \"" + ShortenedName(task.Name) + "\" ";
  if (farthestBefore) {
    text += "starts " + OrdinalLabel(task.Start) + ", " + IntegerText(years) +
            " year(s) before the declared project start. The chart spans ";
  } else {
    text += "finishes " + OrdinalLabel(task.Finish) + ", " + IntegerText(years) +
            " year(s) after the declared project finish. The chart spans ";
  }
  text += IntegerText(span) + " year(s) as a result; check the date in the source plan.";
  AddMessage(log, MessageLevel::Warning, std::move(text));
}

// The first and last day the chart covers: the project's dates, whichever way round the file
// gives them, and every task.
void SettleTimeline(Plan& plan, const TaskWalkState& state) {
  const auto earliest = [](DayOrdinal a, DayOrdinal b) { return a < 1 ? b : (b < 1 ? a : std::min(a, b)); };
  plan.TimelineStart = earliest(earliest(plan.ProjectStart, plan.ProjectFinish), state.earliestStart);
  plan.TimelineFinish = std::max({plan.ProjectStart, plan.ProjectFinish, state.latestFinish});
}

}  // namespace

void DeriveTaskFacts(Plan& plan, MessageLog& log, const TaskWalkState& state) {
  if (state.linksPastLimit > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(state.linksPastLimit) + " dependency link(s) past the limit of " +
                   IntegerText(MAX_LINKS_PER_TASK) + " per task were skipped; those links are not drawn.");
  }
  if (plan.TaskCount() == 0) {
    AddMessage(log, MessageLevel::Warning, "No tasks were loaded. The file contains no usable Task elements.");
  }
  if (state.derivedDates > 0) {
    AddMessage(log, MessageLevel::Info,
               IntegerText(state.derivedDates) +
                   " task date(s) missing or unreadable were derived from the other date and the duration, "
                   "in working days of " +
                   IntegerText(state.minutesPerDay) + " minutes, Monday to Friday.");
  }
  if (state.tasksWithoutBar > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(state.tasksWithoutBar) +
                   " task(s) have no start or finish date that could be read or derived; they are shown "
                   "without a bar.");
  }
  const std::int64_t unresolved = ResolveLinks(plan);
  if (unresolved > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(unresolved) +
                   " dependency link(s) reference a predecessor UID that does not exist; those links are not "
                   "drawn.");
  }
  std::int64_t criticalTasks = 0;
  for (std::int64_t i = 0; i < plan.TaskCount(); ++i) {
    if (TaskAt(plan, i).Critical) ++criticalTasks;
  }
  const std::int64_t drivingLinks = MarkDrivingLinks(plan);

  if (state.tasksWithNote > 0) {
    AddMessage(log, MessageLevel::Info,
               IntegerText(state.tasksWithNote) +
                   " task(s) carry a note from the plan; the details window shows it in full.");
  }
  if (plan.TaskCount() > 0) {
    if (state.tasksWithBaseline == 0) {
      AddMessage(log, MessageLevel::Info, "This export contains no baseline data, so no baseline bars are drawn.");
    } else {
      AddMessage(log, MessageLevel::Info,
                 IntegerText(state.tasksWithBaseline) +
                     " task(s) carry a baseline; the grey bar shows the approved dates.");
    }
  }
  if (state.shortenedNotes > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(state.shortenedNotes) + " note(s) were longer than " +
                   IntegerText(MAX_NOTE_LENGTH) + " characters and were shortened.");
  }
  ReportCriticalPath(plan, log, criticalTasks, drivingLinks);

  const bool startDerived = state.deriveStart;
  if (startDerived) {
    plan.ProjectStart = state.earliestStart;
    if (plan.ProjectStart < 1) {
      AddMessage(log, MessageLevel::Error, "Project start date is missing and could not be derived from tasks.");
    } else {
      AddMessage(log, MessageLevel::Info, "Project start date derived from the earliest task start date.");
    }
  }
  const bool finishDerived = plan.ProjectFinish == 0;
  if (finishDerived) {
    plan.ProjectFinish = state.latestFinish;
    if (plan.ProjectFinish < 1) {
      AddMessage(log, MessageLevel::Error, "Project finish date is missing and could not be derived from tasks.");
    } else {
      AddMessage(log, MessageLevel::Info, "Project finish date derived from the latest task finish date.");
    }
  }
  // The product opens such a plan without a word (the start was moved after the tasks were
  // scheduled); the dates stay as the file gives them and the chart covers both and the tasks.
  if (plan.ProjectStart > 0 && plan.ProjectFinish > 0 && plan.ProjectFinish < plan.ProjectStart) {
    AddMessage(log, MessageLevel::Warning,
               std::string(startDerived ? "The project start date derived from the tasks ("
                                        : "The declared project start date (") +
                   OrdinalLabel(plan.ProjectStart) + ") is after the " +
                   (finishDerived ? "project finish date derived from the tasks (" : "declared project finish date (") +
                   OrdinalLabel(plan.ProjectFinish) + "); the chart follows the tasks.");
  }

  SettleTimeline(plan, state);

  ReportTasksOutsideProject(plan, log);
}

}  // namespace nerin
