// SPDX-License-Identifier: MIT
#include "model/load_plan.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string>
#include <utility>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_steps.h"
#include "model/memory_fit.h"
#include "model/terms_steps.h"

namespace nerin {

namespace {

constexpr std::int64_t kMinimumTimelineDays = 14;

std::int64_t NowMilliseconds() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  return duration_cast<milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Whether the model of the document's records fits in the memory the system can still give;
// otherwise the ERROR that names the plan's size.
bool ModelFits(const XmlDocument& document, MessageLog& log) {
  std::int64_t tasks = 0;
  std::int64_t links = 0;
  ForEachInSections(document, "Tasks", "Task", [&](XmlNode task) {
    ++tasks;
    for (XmlNode child = document.FirstChild(task); child != XML_NONE; child = document.NextSibling(child)) {
      if (document.Name(child) == "PredecessorLink") ++links;
    }
  });
  const std::int64_t resources = CountInSections(document, "Resources", "Resource");
  const std::int64_t assignments = CountInSections(document, "Assignments", "Assignment");
  return FitsInMemory(log, "This plan of " + IntegerText(tasks) + " tasks",
                      ModelBytes(tasks, links, resources, assignments));
}

// "plan" for "plan.xml"; a name whose only dot begins it, or an address's last part without
// one, is kept whole.
std::string FileNameWithoutExtension(std::string_view name) {
  const std::size_t part = name.find_last_of("/\\");
  const std::size_t begin = part == std::string_view::npos ? 0 : part + 1;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot <= begin) return std::string(name);
  return std::string(name.substr(0, dot));
}

// Right-aligned in six characters; a longer number is written whole rather than cut, so the
// report never shows a wrong time.
std::string MillisecondsColumn(std::int64_t milliseconds) {
  std::string number = IntegerText(milliseconds);
  if (number.size() < 6) number.insert(0, 6 - number.size(), ' ');
  return number;
}

}  // namespace

void ReadProjectHeader(const XmlDocument& document, Plan& plan, MessageLog& log, std::string_view sourceName,
                       TaskWalkState& state, std::string& scratch) {
  std::string title;
  bool startInvalid = false;
  const XmlNode root = document.Root();
  if (root != XML_NONE) {
    for (XmlNode child = document.FirstChild(root); child != XML_NONE; child = document.NextSibling(child)) {
      const std::string_view name = document.Name(child);
      if (name == "Name") {
        plan.ProjectName.assign(document.Text(child, scratch));
      } else if (name == "Title") {
        title.assign(document.Text(child, scratch));
      } else if (name == "Author") {
        plan.ProjectAuthor.assign(document.Text(child, scratch));
      } else if (name == "StartDate") {
        // An empty element says no more than a missing one.
        const std::string_view text = document.Text(child, scratch);
        DayOrdinal day = 0;
        if (IsBlankText(text)) {
          plan.ProjectStart = 0;
        } else if (ParseIsoDate(text, day)) {
          plan.ProjectStart = day;
        } else {
          AddMessage(log, MessageLevel::Error, "Invalid project start date.");
          startInvalid = true;
        }
      } else if (name == "FinishDate") {
        const std::string_view text = document.Text(child, scratch);
        DayOrdinal day = 0;
        if (IsBlankText(text)) {
          plan.ProjectFinish = 0;
        } else if (ParseIsoDate(text, day)) {
          plan.ProjectFinish = day;
        } else {
          AddMessage(log, MessageLevel::Error, "Invalid project finish date.");
        }
      } else if (name == "MinutesPerDay") {
        const std::int64_t minutes = IntegerFieldValue(document.Text(child, scratch));
        if (minutes > 0) state.minutesPerDay = minutes;
      }
    }
  }
  // The window title, the chart's title band and the page footer name the plan.
  if (TrimSpaces(plan.ProjectName).empty()) {
    if (!TrimSpaces(title).empty()) {
      plan.ProjectName = std::move(title);
    } else if (!sourceName.empty()) {
      plan.ProjectName = FileNameWithoutExtension(sourceName);
      AddMessage(log, MessageLevel::Info, "The plan has no name or title; it is shown under its file name.");
    }
  }
  if (plan.ProjectStart == 0) {
    if (startInvalid) {
      AddMessage(log, MessageLevel::Error, "Project start date is missing.");
    } else {
      AddMessage(log, MessageLevel::Info, "Project start date missing; deriving it from task start dates.");
      state.deriveStart = true;
    }
  }
  if (plan.ProjectFinish == 0) {
    AddMessage(log, MessageLevel::Info, "Project finish date missing; deriving it from task finish dates.");
  }
}

std::string LoadReportText(std::string_view sourceName, const Plan& plan, const LoadTimes& times,
                           PlanFileForm form) {
  // A binary plan is read, not parsed as XML.
  const char* const firstLabel = form == PlanFileForm::Binary ? "read         " : "xml          ";
  const char* const kLabels[] = {firstLabel,      "validate     ", "reset        ",
                                 "tasks        ", "resources    ", "assignments  ",
                                 "derive       ", "free         ", "total        "};
  std::string report(sourceName);
  report += "\r\n";
  report += IntegerText(plan.TaskCount()) + " tasks, " + IntegerText(plan.ResourceCount()) + " resources, " +
            IntegerText(plan.AssignmentCount()) + " assignments\r\n";
  // Progress in the plan is as of this day, not as of today.
  if (plan.Terms.StatusDate > 0) report += "Status date: " + OrdinalLabel(plan.Terms.StatusDate) + "\r\n";
  for (std::size_t phase = 0; phase < 9; ++phase) {
    const std::int64_t elapsed = phase < 8 ? times[phase + 1] - times[phase] : times[8] - times[0];
    report += "\r\n";
    report += kLabels[phase];
    report += MillisecondsColumn(elapsed);
    report += " ms";
  }
  return report;
}

namespace {

// The elements the readers look at; every other element of a plan file (extended attributes,
// timephased data, the many fields the model does not show) is skipped as it is read.
class PlanElementFilter final : public XmlElementFilter {
 public:
  std::uint8_t NameClass(std::string_view name) const override {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (kNames[i] == name) return static_cast<std::uint8_t>(i + 1);
    }
    return 0;
  }

  bool Keep(std::size_t depth, std::uint8_t parent, std::uint8_t element) const override {
    switch (depth) {
      case 1:
        return true;
      case 2:
        return In(element, kRootFields);
      case 3:
        return (parent == Class("Tasks") && element == Class("Task")) ||
               (parent == Class("Resources") && element == Class("Resource")) ||
               (parent == Class("Assignments") && element == Class("Assignment")) ||
               (parent == Class("Calendars") && element == Class("Calendar"));
      case 4:
        if (parent == Class("Task")) return In(element, kTaskFields);
        if (parent == Class("Resource")) return In(element, kResourceFields);
        if (parent == Class("Calendar")) return In(element, kCalendarFields);
        return parent == Class("Assignment") && In(element, kAssignmentFields);
      case 5:
        if (parent == Class("Baseline")) return In(element, kBaselineFields);
        if (parent == Class("PredecessorLink")) return In(element, kLinkFields);
        return InCalendarTree(parent, element);
      default:
        return InCalendarTree(parent, element);
    }
  }

 private:
  static constexpr std::string_view kNames[] = {
      "Name", "Title", "Author", "StartDate", "FinishDate", "MinutesPerDay", "Tasks", "Resources",
      "Assignments", "Task", "Resource", "Assignment", "UID", "ID", "IsNull", "OutlineLevel",
      "OutlineNumber", "Summary", "Milestone", "Critical", "Start", "Finish", "Duration",
      "PercentComplete", "Notes", "TotalSlack", "Baseline", "PredecessorLink", "Number",
      "PredecessorUID", "Type", "LinkLag", "Initials", "EmailAddress", "IsCostResource", "MaxUnits",
      "TaskUID", "ResourceUID", "Units",
      // The plan's own terms: units, formats, progress, marks, calendars.
      "MinutesPerWeek", "DaysPerMonth", "DurationFormat", "CalendarUID", "StatusDate", "Calendars",
      "Calendar", "Estimated", "ActualStart", "ActualFinish", "ActualDuration", "PercentWorkComplete",
      "WBS", "Manual", "Active", "ConstraintType", "ConstraintDate", "Deadline", "LagFormat",
      "MaterialLabel", "IsBaseCalendar", "BaseCalendarUID", "WeekDays", "WeekDay", "DayType",
      "DayWorking", "TimePeriod", "FromDate", "ToDate", "WorkingTimes", "WorkingTime", "FromTime",
      "ToTime", "Exceptions", "Exception", "Occurrences", "Period", "DaysOfWeek", "MonthItem",
      "MonthPosition", "Month", "MonthDay", "WorkWeeks", "WorkWeek"};
  static constexpr std::string_view kRootFields[] = {
      "Name", "Title", "Author", "StartDate", "FinishDate", "MinutesPerDay", "Tasks", "Resources", "Assignments",
      "MinutesPerWeek", "DaysPerMonth", "DurationFormat", "CalendarUID", "StatusDate", "Calendars"};
  static constexpr std::string_view kTaskFields[] = {
      "UID", "ID", "IsNull", "Name", "OutlineLevel", "OutlineNumber", "Summary", "Milestone", "Critical",
      "Start", "Finish", "Duration", "PercentComplete", "Notes", "TotalSlack", "Baseline", "PredecessorLink",
      "DurationFormat", "Estimated", "ActualStart", "ActualFinish", "ActualDuration", "PercentWorkComplete",
      "WBS", "Manual", "Active", "ConstraintType", "ConstraintDate", "Deadline", "CalendarUID"};
  static constexpr std::string_view kResourceFields[] = {"UID", "ID", "IsNull", "Name", "Type", "Initials",
                                                         "EmailAddress", "IsCostResource", "MaxUnits",
                                                         "MaterialLabel", "CalendarUID"};
  static constexpr std::string_view kAssignmentFields[] = {"UID", "TaskUID", "ResourceUID", "Units"};
  static constexpr std::string_view kBaselineFields[] = {"Number", "Start", "Finish", "Duration"};
  static constexpr std::string_view kLinkFields[] = {"PredecessorUID", "Type", "LinkLag", "LagFormat"};
  static constexpr std::string_view kCalendarFields[] = {"UID", "Name", "IsBaseCalendar", "BaseCalendarUID",
                                                         "WeekDays", "Exceptions", "WorkWeeks"};
  // Below a calendar's week days, exceptions and work weeks, everything the calendar reader reads.
  static constexpr std::string_view kCalendarParents[] = {"WeekDays", "WeekDay", "WorkingTimes", "WorkingTime",
                                                          "TimePeriod", "Exceptions", "Exception", "WorkWeeks",
                                                          "WorkWeek"};
  static constexpr std::string_view kCalendarTree[] = {
      "WeekDays", "WeekDay", "DayType", "DayWorking", "TimePeriod", "FromDate", "ToDate", "WorkingTimes",
      "WorkingTime", "FromTime", "ToTime", "Exception", "Occurrences", "Period", "DaysOfWeek", "MonthItem",
      "MonthPosition", "Month", "MonthDay", "WorkWeek", "Name", "Type"};

  static bool InCalendarTree(std::uint8_t parent, std::uint8_t element) {
    return In(parent, kCalendarParents) && In(element, kCalendarTree);
  }

  static constexpr std::uint8_t Class(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (kNames[i] == name) return static_cast<std::uint8_t>(i + 1);
    }
    return 0;
  }
  template <std::size_t N>
  static bool In(std::uint8_t element, const std::string_view (&names)[N]) {
    if (element == 0) return false;
    const std::string_view name = kNames[element - 1];
    for (const std::string_view field : names) {
      if (field == name) return true;
    }
    return false;
  }
};

const PlanElementFilter PLAN_ELEMENTS;

}  // namespace

struct PlanStream::State {
  State(std::string_view name, std::size_t sizeHint, XmlLimits limits)
      : sourceName(name), started(NowMilliseconds()), parser(document, &PLAN_ELEMENTS, limits, sizeHint) {}
  std::string sourceName;
  std::int64_t started;
  XmlDocument document;
  XmlStreamParser parser;
};

PlanStream::PlanStream(std::string_view sourceName, std::size_t sizeHint, XmlLimits limits)
    : state_(std::make_unique<State>(sourceName, sizeHint, limits)) {}

PlanStream::~PlanStream() = default;

bool PlanStream::Feed(std::string_view bytes) {
  return state_->parser.Feed(bytes);
}

std::size_t PlanStream::ChunkSize() const {
  return state_->parser.ChunkSize();
}

bool PlanStream::Finish(Plan& plan, MessageLog& log) {
  plan.MessagesMatchPlan = false;
  XmlDocument& document = state_->document;
  if (!state_->parser.Finish()) {
    ClearMessages(log);
    if (!document.LimitPassed().empty()) {
      AddMessage(log, MessageLevel::Error,
                 "The plan holds " + document.LimitPassed() + ", more than the viewer reads; nothing was loaded.");
    } else {
      AddMessage(log, MessageLevel::Error, "LoadXML could not load the file.");
    }
    return false;
  }
  if (!document.UnreadableEncoding().empty()) {
    ClearMessages(log);
    AddMessage(log, MessageLevel::Error,
               "The XML declaration names the encoding \"" + document.UnreadableEncoding() +
                   "\", which the viewer cannot read.");
    return false;
  }
  if (!document.WellFormed()) {
    ClearMessages(log);
    AddMessage(log, MessageLevel::Error, "XML is syntactically invalid.");
    // Without the place, a user with a large file has no way to find the fault.
    AddMessage(log, MessageLevel::Info,
               "The XML parser stopped at line " + IntegerText(document.ErrorLine()) + ", column " +
                   IntegerText(document.ErrorColumn()) + ": " + document.ErrorReason() + ".");
    return false;
  }
  return LoadPlanDocument(plan, log, state_->sourceName, document, NowMilliseconds() - state_->started);
}

bool LoadPlan(Plan& plan, MessageLog& log, std::string_view sourceName, std::string_view bytes) {
  PlanStream stream(sourceName, bytes.size());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t chunk = std::min(stream.ChunkSize(), bytes.size() - done);
    if (!stream.Feed(bytes.substr(done, chunk))) break;
    done += chunk;
  }
  return stream.Finish(plan, log);
}

bool LoadPlanDocument(Plan& plan, MessageLog& log, std::string_view sourceName, XmlDocument& document,
                      std::int64_t readMilliseconds, PlanFileForm form) {
  plan.MessagesMatchPlan = false;
  LoadTimes times{};
  times[1] = NowMilliseconds();
  times[0] = times[1] - (readMilliseconds > 0 ? readMilliseconds : 0);

  if (!ValidatePlan(document, log)) return false;
  if (!ModelFits(document, log)) return false;

  times[2] = NowMilliseconds();
  // The new plan is built from nothing beside the shown one, which it replaces at the end.
  Plan built;
  built.LoadMilliseconds = -1;
  times[3] = NowMilliseconds();

  std::string scratch;
  TaskWalkState state;
  state.form = form;
  ReadProjectHeader(document, built, log, sourceName, state, scratch);
  ReadPlanTermsHeader(document, built, log, scratch);
  ReadPlanCalendars(document, built, log, scratch);
  ReadTasks(document, built, log, state, scratch);
  times[4] = NowMilliseconds();

  DeriveTaskFacts(built, log, state);
  ReadResources(document, built, log, scratch);
  times[5] = NowMilliseconds();

  ReadAssignments(document, built, log, scratch);
  ReadTaskTerms(document, built, log, scratch);
  times[6] = NowMilliseconds();

  BuildResourceTexts(built);
  built.TimelineDays = built.TimelineFinish - built.TimelineStart + 14;
  if (built.TimelineDays < kMinimumTimelineDays) built.TimelineDays = kMinimumTimelineDays;
  built.ProjectStartLabel = OrdinalLabel(built.ProjectStart);
  built.ProjectFinishLabel = OrdinalLabel(built.ProjectFinish);
  times[7] = NowMilliseconds();

  document.Free();
  times[8] = NowMilliseconds();
  built.LoadMilliseconds = times[8] - times[0];
  built.LoadReport = LoadReportText(sourceName, built, times, form);

  if (CountMessages(log, MessageLevel::Error) == 0) {
    built.ProjectLoaded = true;
    built.MessagesMatchPlan = true;
    plan = std::move(built);
    return true;
  }
  // Only the plan's own dates fail a load this late; the model is emptied.
  built.ProjectLoaded = false;
  built.Tasks = {};
  built.Resources = {};
  built.Assignments = {};
  built.TaskUidMap = {};
  built.ResourceUidMap = {};
  built.ProjectName.clear();
  built.ProjectStartLabel.clear();
  built.ProjectFinishLabel.clear();
  built.Terms = PlanTerms{};
  plan = std::move(built);
  AddMessage(
      log, MessageLevel::Info,
      "The file is structurally valid; these errors come from the plan's own date fields. The source plan "
      "in MS Project most likely needs correcting.");
  return false;
}

}  // namespace nerin
