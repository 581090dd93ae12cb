// SPDX-License-Identifier: MIT
#include "model/plan_terms.h"

#include <algorithm>

#include "calendar/value_text.h"
#include "model/plan.h"

namespace nerin {

std::string ConstraintTypeName(ConstraintType type) {
  switch (type) {
    case ConstraintType::AsSoonAsPossible:
      return "As Soon As Possible";
    case ConstraintType::AsLateAsPossible:
      return "As Late As Possible";
    case ConstraintType::MustStartOn:
      return "Must Start On";
    case ConstraintType::MustFinishOn:
      return "Must Finish On";
    case ConstraintType::StartNoEarlierThan:
      return "Start No Earlier Than";
    case ConstraintType::StartNoLaterThan:
      return "Start No Later Than";
    case ConstraintType::FinishNoEarlierThan:
      return "Finish No Earlier Than";
    case ConstraintType::FinishNoLaterThan:
      return "Finish No Later Than";
  }
  return "As Soon As Possible";
}

std::int64_t CalendarIndex(const PlanTerms& terms, std::int64_t uid) {
  for (std::size_t i = 0; i < terms.Calendars.size(); ++i) {
    if (terms.Calendars[i].UID == uid) return static_cast<std::int64_t>(i);
  }
  return -1;
}

const WorkCalendar& ProjectWorkCalendar(const PlanTerms& terms) {
  static const WorkCalendar standard;
  const std::int64_t index = terms.ProjectCalendar;
  if (index < 0 || index >= static_cast<std::int64_t>(terms.Calendars.size())) return standard;
  const auto& calendar = terms.Calendars[static_cast<std::size_t>(index)].Calendar;
  return calendar ? *calendar : standard;
}

namespace {

bool HeldTask(const Plan& plan, std::int64_t task) {
  return task >= 0 && task < std::min<std::int64_t>(plan.TaskCount(), std::ssize(plan.Tasks));
}

// The task's further facts; none for a plan put together without them.
const TaskTerms* TermsOf(const Plan& plan, std::int64_t task) {
  return task >= 0 && task < std::ssize(plan.Terms.Tasks) ? &plan.Terms.Tasks[static_cast<std::size_t>(task)] : nullptr;
}

}  // namespace

bool SelectBaseline(Plan& plan, std::int64_t number) {
  if (number < 0 || number >= BASELINE_COUNT) return false;
  const auto slot = static_cast<std::size_t>(number);
  const std::size_t count = std::min(plan.Tasks.size(), plan.Terms.Tasks.size());
  bool any = false;
  for (std::size_t i = 0; i < count && !any; ++i) any = plan.Terms.Tasks[i].Baselines[slot].Present;
  if (!any) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const TaskBaseline& baseline = plan.Terms.Tasks[i].Baselines[slot];
    plan.Tasks[i].BaselineStart = baseline.Present ? baseline.Start : 0;
    plan.Tasks[i].BaselineFinish = baseline.Present ? baseline.Finish : 0;
  }
  return true;
}

std::string TaskDurationText(const Plan& plan, std::int64_t task) {
  if (!HeldTask(plan, task)) return {};
  DurationStyle style;
  style.Format = plan.Terms.DefaultFormat;
  if (const TaskTerms* terms = TermsOf(plan, task)) {
    if (terms->Format) style.Format = *terms->Format;
    style.Estimated = terms->Estimated != 0;
  }
  const double minutes = static_cast<double>(plan.Tasks[static_cast<std::size_t>(task)].DurationHours) * 60.0;
  return DurationText(minutes, style, plan.Terms.DefaultFormat, plan.Terms.Units);
}

std::string TaskLinkText(const Plan& plan, std::int64_t task, std::int64_t link) {
  if (!HeldTask(plan, task)) return {};
  const Task& t = plan.Tasks[static_cast<std::size_t>(task)];
  if (link < 0 || link >= t.LinkCount()) return {};
  const TaskLink& l = t.Links[static_cast<std::size_t>(link)];
  std::optional<DurationFormat> format;
  if (const TaskTerms* terms = TermsOf(plan, task); terms != nullptr && link < std::ssize(terms->LagFormats)) {
    format = terms->LagFormats[static_cast<std::size_t>(link)];
  }
  // The link holds its lag in hours; the file's tenths of a minute are 600 to the hour.
  return LagText(LinkTypeName(l.Type), static_cast<double>(l.LagHours) * 600.0, format, plan.Terms.DefaultFormat,
                 plan.Terms.Units);
}

}  // namespace nerin
