// SPDX-License-Identifier: MIT
#include "model/load_plan.h"

#include <chrono>
#include <string>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_steps.h"
#include "model/terms_steps.h"

namespace nerin {

namespace {

constexpr std::int64_t kMinimumTimelineDays = 14;

std::int64_t NowMilliseconds() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  return duration_cast<milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
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

std::string LoadReportText(std::string_view sourceName, const Plan& plan, const LoadTimes& times) {
  static constexpr const char* kLabels[] = {"xml          ", "validate     ", "reset        ",
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

bool LoadPlan(Plan& plan, MessageLog& log, std::string_view sourceName, std::string_view bytes) {
  plan.MessagesMatchPlan = false;
  const std::int64_t started = NowMilliseconds();

  XmlDocument document;
  if (!document.Parse(bytes)) {
    ClearMessages(log);
    AddMessage(log, MessageLevel::Error, "LoadXML could not load the file.");
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
  return LoadPlanDocument(plan, log, sourceName, document, NowMilliseconds() - started);
}

bool LoadPlanDocument(Plan& plan, MessageLog& log, std::string_view sourceName, XmlDocument& document,
                      std::int64_t readMilliseconds) {
  plan.MessagesMatchPlan = false;
  LoadTimes times{};
  times[1] = NowMilliseconds();
  times[0] = times[1] - (readMilliseconds > 0 ? readMilliseconds : 0);

  if (!ValidatePlan(document, log)) return false;

  times[2] = NowMilliseconds();
  // From here on the previous plan is gone: the new one is built from nothing.
  plan = Plan{};
  plan.LoadMilliseconds = -1;
  times[3] = NowMilliseconds();

  std::string scratch;
  TaskWalkState state;
  ReadProjectHeader(document, plan, log, sourceName, state, scratch);
  ReadPlanTermsHeader(document, plan, log, scratch);
  ReadPlanCalendars(document, plan, log, scratch);
  ReadTasks(document, plan, log, state, scratch);
  times[4] = NowMilliseconds();

  DeriveTaskFacts(plan, log, state);
  ReadResources(document, plan, log, scratch);
  times[5] = NowMilliseconds();

  ReadAssignments(document, plan, log, scratch);
  ReadTaskTerms(document, plan, log, scratch);
  times[6] = NowMilliseconds();

  BuildResourceTexts(plan);
  plan.TimelineDays = plan.TimelineFinish - plan.TimelineStart + 14;
  if (plan.TimelineDays < kMinimumTimelineDays) plan.TimelineDays = kMinimumTimelineDays;
  plan.ProjectStartLabel = OrdinalLabel(plan.ProjectStart);
  plan.ProjectFinishLabel = OrdinalLabel(plan.ProjectFinish);
  times[7] = NowMilliseconds();

  document.Free();
  times[8] = NowMilliseconds();
  plan.LoadMilliseconds = times[8] - times[0];
  plan.LoadReport = LoadReportText(sourceName, plan, times);

  if (CountMessages(log, MessageLevel::Error) == 0) {
    plan.ProjectLoaded = true;
    plan.MessagesMatchPlan = true;
    return true;
  }
  plan.ProjectLoaded = false;
  plan.Tasks = {};
  plan.Resources = {};
  plan.Assignments = {};
  plan.TaskUidMap = {};
  plan.ResourceUidMap = {};
  plan.ProjectName.clear();
  plan.ProjectStartLabel.clear();
  plan.ProjectFinishLabel.clear();
  plan.Terms = PlanTerms{};
  AddMessage(
      log, MessageLevel::Info,
      "The file is structurally valid; these errors come from the plan's own date fields. The source plan "
      "in MS Project most likely needs correcting.");
  return false;
}

}  // namespace nerin
