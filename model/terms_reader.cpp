// SPDX-License-Identifier: MIT
// The plan's units and status date, and each task's further facts: duration format, progress,
// WBS code, constraint, deadline, calendar, Baseline 0 to 10 and the lag formats of its links.
// A pass of its own over the Task elements, matched to the stored tasks by UID.
#include <algorithm>
#include <array>
#include <string>

#include "calendar/value_text.h"
#include "model/load_steps.h"
#include "model/terms_steps.h"

namespace nerin {

namespace {

// A status date this far from the plan's dates is taken for a placeholder, not a date.
constexpr std::int64_t STATUS_DATE_REACH_DAYS = 36525;  // a hundred years

DayOrdinal DateValue(std::string_view text) {
  DayOrdinal day = 0;
  ParseIsoDate(text, day);
  return day;
}

class TaskTermsReader {
 public:
  TaskTermsReader(const XmlDocument& document, std::string& scratch) : document_(document), scratch_(scratch) {}

  // The UID of the element (through `row`) and its facts.
  void Read(XmlNode element, TaskRowId& row, TaskTerms& terms) {
    for (XmlNode child = document_.FirstChild(element); child != XML_NONE; child = document_.NextSibling(child)) {
      ReadChild(child, row, terms);
    }
  }

  std::int64_t unknownFormats = 0;
  std::int64_t firstUnknownFormat = 0;
  std::int64_t unknownConstraints = 0;

 private:
  std::string_view Text(XmlNode node) { return document_.Text(node, scratch_); }

  std::optional<DurationFormat> Format(XmlNode node) {
    const std::string_view text = Text(node);
    if (IsBlankText(text)) return std::nullopt;
    const std::int64_t code = IntegerFieldValue(text);
    const std::optional<DurationFormat> format = DurationFormatOf(code);
    if (!format && unknownFormats++ == 0) firstUnknownFormat = code;
    return format;
  }

  void ReadChild(XmlNode child, TaskRowId& row, TaskTerms& terms) {
    const std::string_view name = document_.Name(child);
    if (name == "UID") {
      row.uid = IntegerFieldValue(Text(child));
      row.uidPresent = true;
    } else if (name == "IsNull") {
      row.isNull = FlagFieldValue(Text(child));
    } else if (name == "OutlineLevel") {
      row.levelPresent = !IsBlankText(Text(child));
      row.level = IntegerFieldValue(Text(child));
    } else if (name == "DurationFormat") {
      terms.Format = Format(child);
    } else if (name == "Estimated") {
      terms.Estimated = FlagFieldValue(Text(child));
    } else if (name == "ActualStart") {
      terms.ActualStart = DateValue(Text(child));
    } else if (name == "ActualFinish") {
      terms.ActualFinish = DateValue(Text(child));
    } else if (name == "ActualDuration") {
      float hours = 0;
      if (ParseDurationHours(Text(child), hours)) terms.ActualDurationHours = hours;
    } else if (name == "PercentWorkComplete") {
      terms.PercentWorkComplete = std::clamp<std::int64_t>(IntegerFieldValue(Text(child)), 0, 100);
    } else if (name == "WBS") {
      terms.WBS.assign(Text(child));
    } else if (name == "Manual") {
      terms.Manual = FlagFieldValue(Text(child));
    } else if (name == "Active") {
      terms.Active = FlagFieldValue(Text(child));
    } else if (name == "ConstraintType") {
      const std::optional<ConstraintType> type = ConstraintTypeOf(IntegerFieldValue(Text(child)));
      if (!type) ++unknownConstraints;
      terms.Constraint = type.value_or(ConstraintType::AsSoonAsPossible);
    } else if (name == "ConstraintDate") {
      terms.ConstraintDate = DateValue(Text(child));
    } else if (name == "Deadline") {
      terms.Deadline = DateValue(Text(child));
    } else if (name == "CalendarUID") {
      terms.CalendarUID = IsBlankText(Text(child)) ? -1 : IntegerFieldValue(Text(child));
    } else if (name == "Baseline") {
      ReadBaseline(child, terms);
    } else if (name == "PredecessorLink") {
      ReadLink(child, terms);
    }
  }

  // A Baseline without a Number is Baseline 0, as the task reader takes it.
  void ReadBaseline(XmlNode baseline, TaskTerms& terms) {
    std::int64_t number = 0;
    TaskBaseline dates;
    for (XmlNode child = document_.FirstChild(baseline); child != XML_NONE; child = document_.NextSibling(child)) {
      const std::string_view name = document_.Name(child);
      if (name == "Number") {
        number = IntegerFieldValue(Text(child));
      } else if (name == "Start") {
        dates.Start = DateValue(Text(child));
      } else if (name == "Finish") {
        dates.Finish = DateValue(Text(child));
      } else if (name == "Duration") {
        float hours = 0;
        if (ParseDurationHours(Text(child), hours)) dates.DurationHours = hours;
      }
    }
    if (number < 0 || number >= BASELINE_COUNT) return;
    dates.Present = dates.Start > 0 && dates.Finish > 0;
    terms.Baselines[static_cast<std::size_t>(number)] = dates;
  }

  // Only the links the task reader keeps, in its order.
  void ReadLink(XmlNode link, TaskTerms& terms) {
    std::optional<DurationFormat> format;
    for (XmlNode child = document_.FirstChild(link); child != XML_NONE; child = document_.NextSibling(child)) {
      if (document_.Name(child) == "LagFormat") format = Format(child);
    }
    terms.LagFormats.push_back(format);
  }

  const XmlDocument& document_;
  std::string& scratch_;
};

void CheckStatusDate(Plan& plan, MessageLog& log) {
  const DayOrdinal status = plan.Terms.StatusDate;
  if (status <= 0) return;
  const DayOrdinal first = plan.TimelineStart > 0 ? plan.TimelineStart : status;
  const DayOrdinal last = plan.TimelineFinish > 0 ? plan.TimelineFinish : status;
  if (status < first - STATUS_DATE_REACH_DAYS || status > last + STATUS_DATE_REACH_DAYS) {
    AddMessage(log, MessageLevel::Info,
               "The status date " + OrdinalLabel(status) +
                   " lies more than a hundred years from the plan's dates; it is ignored.");
    plan.Terms.StatusDate = 0;
  }
}

// A plan without Baseline 0 is compared with its lowest-numbered baseline that has dates;
// the message about the baseline names it.
void ChooseBaseline(Plan& plan, MessageLog& log) {
  std::array<std::int64_t, BASELINE_COUNT> present{};
  for (const TaskTerms& t : plan.Terms.Tasks) {
    for (std::size_t number = 0; number < t.Baselines.size(); ++number) present[number] += t.Baselines[number].Present;
  }
  if (present[0] > 0) return;
  std::size_t chosen = 0;
  for (std::size_t number = 1; number < present.size() && chosen == 0; ++number) {
    if (present[number] > 0) chosen = number;
  }
  if (chosen == 0) return;
  for (std::size_t i = 0; i < plan.Terms.Tasks.size() && i < plan.Tasks.size(); ++i) {
    const TaskBaseline& baseline = plan.Terms.Tasks[i].Baselines[chosen];
    plan.Tasks[i].BaselineStart = baseline.Present ? baseline.Start : 0;
    plan.Tasks[i].BaselineFinish = baseline.Present ? baseline.Finish : 0;
  }
  const std::string text = IntegerText(present[chosen]) + " task(s) carry Baseline " +
                           IntegerText(static_cast<std::int64_t>(chosen)) +
                           "; the grey bar shows its dates (the plan has no Baseline 0).";
  for (Message& message : log.messages) {
    if (message.text == "This export contains no baseline data, so no baseline bars are drawn.") {
      message.text = text;
      return;
    }
  }
  AddMessage(log, MessageLevel::Info, text);
}

void ReadMaterialLabels(const XmlDocument& document, Plan& plan, std::string& scratch) {
  plan.Terms.MaterialLabels.assign(static_cast<std::size_t>(plan.ResourceCount()), std::string());
  ForEachInSections(document, "Resources", "Resource", [&](XmlNode element) {
    std::int64_t uid = -1;
    bool uidPresent = false;
    std::string labelText;
    for (XmlNode child = document.FirstChild(element); child != XML_NONE; child = document.NextSibling(child)) {
      const std::string_view name = document.Name(child);
      if (name == "UID") {
        uid = IntegerFieldValue(document.Text(child, scratch));
        uidPresent = true;
      } else if (name == "MaterialLabel") {
        labelText.assign(document.Text(child, scratch));
      }
    }
    const std::int64_t index = uidPresent ? ResourceIndex(plan, uid) : -1;
    if (index >= 0 && index < plan.ResourceCount()) {
      plan.Terms.MaterialLabels[static_cast<std::size_t>(index)] = std::move(labelText);
    }
  });
}

}  // namespace

void ReadPlanTermsHeader(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch) {
  plan.Terms = PlanTerms{};
  PlanTerms& terms = plan.Terms;
  const XmlNode root = document.Root();
  if (root == XML_NONE) return;
  for (XmlNode child = document.FirstChild(root); child != XML_NONE; child = document.NextSibling(child)) {
    const std::string_view name = document.Name(child);
    if (name == "MinutesPerDay" || name == "MinutesPerWeek" || name == "DaysPerMonth") {
      const std::int64_t value = IntegerFieldValue(document.Text(child, scratch));
      if (value <= 0) continue;  // the product's measure stays
      if (name == "MinutesPerDay") terms.Units.MinutesPerDay = value;
      if (name == "MinutesPerWeek") terms.Units.MinutesPerWeek = value;
      if (name == "DaysPerMonth") terms.Units.DaysPerMonth = value;
    } else if (name == "DurationFormat") {
      const std::string_view text = document.Text(child, scratch);
      if (IsBlankText(text)) continue;
      const std::optional<DurationFormat> format = DurationFormatOf(IntegerFieldValue(text));
      if (format) {
        terms.DefaultFormat = *format;
      } else {
        AddMessage(log, MessageLevel::Warning,
                   "The plan's duration format " + IntegerText(IntegerFieldValue(text)) +
                       " is not one the viewer knows; durations without a format of their own are shown in days.");
      }
    } else if (name == "CalendarUID") {
      const std::string_view text = document.Text(child, scratch);
      terms.CalendarUID = IsBlankText(text) ? -1 : IntegerFieldValue(text);
    } else if (name == "StatusDate") {
      const std::string_view text = document.Text(child, scratch);
      if (IsBlankText(text)) continue;
      if (!ParseIsoDate(text, terms.StatusDate)) {
        AddMessage(log, MessageLevel::Warning,
                   "The status date \"" + std::string(text) + "\" cannot be read; it is ignored.");
      }
    }
  }
}

void ReadTaskTerms(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch) {
  PlanTerms& terms = plan.Terms;
  terms.Tasks.assign(static_cast<std::size_t>(plan.TaskCount()), TaskTerms{});
  std::vector<char> filled(static_cast<std::size_t>(plan.TaskCount()), 0);
  TaskTermsReader reader(document, scratch);
  TaskTerms element;
  ForEachInSections(document, "Tasks", "Task", [&](XmlNode node) {
    TaskRowId row;
    element = TaskTerms{};
    reader.Read(node, row, element);
    if (ClassifyTaskRow(row) != TaskRowKind::Task) return;
    const std::int64_t index = TaskIndex(plan, row.uid);
    if (index < 0 || index >= plan.TaskCount() || filled[static_cast<std::size_t>(index)] != 0) return;
    filled[static_cast<std::size_t>(index)] = 1;
    // The task reader keeps as many links as it stores.
    const auto links = static_cast<std::size_t>(plan.Tasks[static_cast<std::size_t>(index)].LinkCount());
    if (element.LagFormats.size() > links) element.LagFormats.resize(links);
    terms.Tasks[static_cast<std::size_t>(index)] = std::move(element);
  });
  if (reader.unknownFormats > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(reader.unknownFormats) + " duration or lag format(s) not known to the viewer (the first " +
                   IntegerText(reader.firstUnknownFormat) + ") ignored; those are shown in the plan's default unit.");
  }
  if (reader.unknownConstraints > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(reader.unknownConstraints) +
                   " task(s) with a constraint type not known to the viewer; taken as As Soon As Possible.");
  }
  CheckStatusDate(plan, log);
  ChooseBaseline(plan, log);
  ReadMaterialLabels(document, plan, scratch);
}

}  // namespace nerin
