// SPDX-License-Identifier: MIT
// The dump's lines for the plan's own terms. Each kind is a line of its own, written only
// when it says more than the defaults, so a plan without these facts dumps as before:
//   TERMS   the plan's units, default duration format, project calendar and status date
//   CAL     one calendar: UID, base, the minutes of its resolved week, name
//   CALEX   one range of days of a calendar's exceptions, with their working minutes
//   TT      one task's further facts (format, progress, marks, baselines 0-10, lag formats, WBS)
#include "model/terms_dump.h"

#include "calendar/day_ordinal.h"
#include <algorithm>

#include "calendar/value_text.h"

namespace nerin {

namespace {

constexpr std::string_view LINE_END = "\r\n";

void AppendDate(std::string& out, DayOrdinal day) {
  out += IntegerText(day);
  if (day > 0) {
    out += '(';
    out += OrdinalLabel(day);
    out += ')';
  }
}

void AppendFormat(std::string& out, const std::optional<DurationFormat>& format) {
  out += format ? IntegerText(static_cast<std::int64_t>(*format)) : std::string("-");
}

bool PlanLineNeeded(const PlanTerms& terms) {
  const PlanUnits standard;
  return terms.Units.MinutesPerDay != standard.MinutesPerDay || terms.Units.MinutesPerWeek != standard.MinutesPerWeek ||
         terms.Units.DaysPerMonth != standard.DaysPerMonth || terms.DefaultFormat != DurationFormat::Days ||
         terms.CalendarUID >= 0 || terms.StatusDate > 0 || !terms.Calendars.empty();
}

bool TaskLineNeeded(const TaskTerms& t) {
  if (t.Format || t.Estimated != 0 || t.ActualStart > 0 || t.ActualFinish > 0 || t.ActualDurationHours != 0 ||
      t.PercentWorkComplete != 0 || !t.WBS.empty() || t.Manual != 0 || t.Active == 0 ||
      t.Constraint != ConstraintType::AsSoonAsPossible || t.ConstraintDate > 0 || t.Deadline > 0 ||
      t.CalendarUID >= 0) {
    return true;
  }
  for (const TaskBaseline& baseline : t.Baselines) {
    if (baseline.Start > 0 || baseline.Finish > 0 || baseline.DurationHours != 0) return true;
  }
  for (const auto& format : t.LagFormats) {
    if (format) return true;
  }
  return false;
}

void AppendCalendarLines(std::string& out, const PlanCalendar& calendar, std::size_t index) {
  out += "CAL ";
  out += IntegerText(static_cast<std::int64_t>(index));
  out += " uid=" + IntegerText(calendar.UID);
  out += " base=" + IntegerText(calendar.BaseUID);
  out += " isbase=" + IntegerText(calendar.IsBase);
  out += " baseignored=" + IntegerText(calendar.BaseIgnored ? 1 : 0);
  out += " week=";
  for (std::int64_t day = 0; day < 7; ++day) {
    if (day > 0) out += ',';
    out += IntegerText(calendar.Calendar ? calendar.Calendar->WeekMinutes(day) : 0);
  }
  const auto ranges = calendar.Calendar ? calendar.Calendar->ExceptionRanges()
                                        : std::vector<WorkCalendar::ExceptionRange>{};
  out += " workweeks=" + IntegerText(calendar.Calendar ? calendar.Calendar->WorkWeekCount() : 0);
  out += " exceptions=" + IntegerText(static_cast<std::int64_t>(ranges.size()));
  out += "|name=";
  out += calendar.Name;
  out += LINE_END;
  for (const WorkCalendar::ExceptionRange& range : ranges) {
    out += "CALEX ";
    out += IntegerText(static_cast<std::int64_t>(index));
    out += ' ';
    AppendDate(out, range.From);
    out += "..";
    AppendDate(out, range.To);
    out += " min=" + IntegerText(range.Minutes);
    out += LINE_END;
  }
}

void AppendTaskLine(std::string& out, const TaskTerms& t, std::int64_t index, std::int64_t uid) {
  out += "TT ";
  out += IntegerText(index);
  out += " uid=" + IntegerText(uid);
  out += " fmt=";
  AppendFormat(out, t.Format);
  out += " est=" + IntegerText(t.Estimated);
  out += " manual=" + IntegerText(t.Manual);
  out += " active=" + IntegerText(t.Active);
  out += " constraint=" + IntegerText(static_cast<std::int64_t>(t.Constraint)) + "@";
  AppendDate(out, t.ConstraintDate);
  out += " deadline=";
  AppendDate(out, t.Deadline);
  out += " cal=" + IntegerText(t.CalendarUID);
  out += " actual=";
  AppendDate(out, t.ActualStart);
  out += "..";
  AppendDate(out, t.ActualFinish);
  out += " actdur=" + DecimalText(t.ActualDurationHours, 2);
  out += " pwc=" + IntegerText(t.PercentWorkComplete);
  out += " lags=[";
  for (std::size_t k = 0; k < t.LagFormats.size(); ++k) {
    if (k > 0) out += ',';
    AppendFormat(out, t.LagFormats[k]);
  }
  out += "] baselines=[";
  bool first = true;
  for (std::size_t number = 0; number < t.Baselines.size(); ++number) {
    const TaskBaseline& b = t.Baselines[number];
    if (b.Start <= 0 && b.Finish <= 0 && b.DurationHours == 0) continue;
    if (!first) out += ',';
    first = false;
    out += IntegerText(static_cast<std::int64_t>(number)) + ':' + IntegerText(b.Start) + ".." +
           IntegerText(b.Finish) + '/' + DecimalText(b.DurationHours, 2);
  }
  out += "]|wbs=";
  out += t.WBS;
  out += LINE_END;
}

}  // namespace

void AppendTermsLines(std::string& out, const Plan& plan) {
  const PlanTerms& terms = plan.Terms;
  if (PlanLineNeeded(terms)) {
    out += "TERMS mpd=" + IntegerText(terms.Units.MinutesPerDay);
    out += " mpw=" + IntegerText(terms.Units.MinutesPerWeek);
    out += " dpm=" + IntegerText(terms.Units.DaysPerMonth);
    out += " fmt=" + IntegerText(static_cast<std::int64_t>(terms.DefaultFormat));
    out += " cal=" + IntegerText(terms.CalendarUID);
    out += " projcal=" + IntegerText(terms.ProjectCalendar);
    out += " status=";
    AppendDate(out, terms.StatusDate);
    out += LINE_END;
  }
  for (std::size_t i = 0; i < terms.Calendars.size(); ++i) AppendCalendarLines(out, terms.Calendars[i], i);
  const std::int64_t count = std::min<std::int64_t>(plan.TaskCount(), static_cast<std::int64_t>(terms.Tasks.size()));
  for (std::int64_t i = 0; i < count; ++i) {
    const TaskTerms& t = terms.Tasks[static_cast<std::size_t>(i)];
    if (TaskLineNeeded(t)) AppendTaskLine(out, t, i, plan.Tasks[static_cast<std::size_t>(i)].UID);
  }
}

}  // namespace nerin
