// SPDX-License-Identifier: MIT
// The second pass over the Task elements: each usable element becomes the next Task record,
// its links held at their exact number.
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_steps.h"

namespace nerin {

namespace {

DayOrdinal DateValue(std::string_view text) {
  DayOrdinal day = 0;
  ParseIsoDate(text, day);
  return day;
}

// A derived date must stay within the calendar's four-digit years.
constexpr std::int64_t MAX_DERIVED_WORKING_DAYS = 2000000;

DayOrdinal LastCalendarDay() {
  static const DayOrdinal last = OrdinalFromDate(9999, 12, 31);
  return last;
}

// Monday to Friday; the calendar begins on a Monday.
bool IsWorkingDay(DayOrdinal day) {
  const std::int64_t fromMonday = ((day - ORDINAL_EPOCH) % 7 + 7) % 7;
  return fromMonday < 5;
}

// The day on which `days` working days end when they begin on `from` (step +1), or begin
// when they end on `from` (step -1), counting the standard working week. A day off is
// stepped over before the count starts; no working days leave the date as it is. 0 when the
// result leaves the calendar.
DayOrdinal WorkingDaysAway(DayOrdinal from, std::int64_t days, std::int64_t step) {
  if (days <= 0) return from;
  DayOrdinal day = from;
  while (!IsWorkingDay(day)) day += step;
  std::int64_t rest = days - 1;
  day += step * (rest / 5) * 7;
  rest %= 5;
  while (rest > 0) {
    day += step;
    if (IsWorkingDay(day)) --rest;
  }
  return day >= ORDINAL_EPOCH && day <= LastCalendarDay() ? day : 0;
}

// Working days a task's duration covers, whole days rounded up: 12 hours of 8-hour days are
// two days. Counted in whole minutes, so that a day of any length takes no rounding of its
// own (PT1H20M of 1-minute days is 80 days, and a part of a 10^12-minute day is one day); the
// hours come as a float, whose last bit is no part of a second. -1 when the duration gives
// no usable count.
std::int64_t DurationWorkingDays(float hours, std::int64_t minutesPerDay) {
  const double seconds = std::round(static_cast<double>(hours) * 3600.0);
  // 10^18 seconds are some 3 * 10^10 years: no plan's task, and within the 64-bit range.
  if (!(seconds >= 0) || seconds > 1e18 || minutesPerDay < 1) return -1;
  if (seconds / 60.0 / static_cast<double>(minutesPerDay) > static_cast<double>(MAX_DERIVED_WORKING_DAYS)) {
    return -1;
  }
  const auto minutes = (static_cast<std::int64_t>(seconds) + 59) / 60;
  return minutes / minutesPerDay + (minutes % minutesPerDay != 0 ? 1 : 0);
}

// The values of one Task element that are not read straight into the record.
struct TaskElement {
  TaskRowId row;
  std::int64_t id = 0;
  std::int64_t percentComplete = 0;
  std::uint8_t summary = 0;
  std::uint8_t milestone = 0;
  std::uint8_t critical = 0;
  DayOrdinal start = 0;
  DayOrdinal finish = 0;
  float durationHours = 0;
  bool durationRead = false;  // a Duration that reads as one
  float totalSlack = 0;
  DayOrdinal baselineStart = 0;
  DayOrdinal baselineFinish = 0;
  bool noteShortened = false;
  std::int64_t unknownLinkTypes = 0;
};

class TaskReader {
 public:
  TaskReader(const XmlDocument& document, Plan& plan, MessageLog& log, TaskWalkState& state,
             std::string& scratch)
      : document_(document), plan_(plan), log_(log), state_(state), scratch_(scratch) {}

  void Read(XmlNode element) {
    Task task;
    links_.clear();
    TaskElement e;
    for (XmlNode child = document_.FirstChild(element); child != XML_NONE;
         child = document_.NextSibling(child)) {
      ReadChild(child, task, e);
    }
    if (ClassifyTaskRow(e.row) != TaskRowKind::Task) return;  // counted by the validation pass
    task.Links.assign(links_.begin(), links_.end());
    Store(task, e);
    plan_.Tasks.push_back(std::move(task));
  }

 private:
  std::string_view Text(XmlNode node) { return document_.Text(node, scratch_); }

  void ReadChild(XmlNode child, Task& task, TaskElement& e) {
    const std::string_view name = document_.Name(child);
    if (name.empty()) return;
    switch (name[0]) {
      case 'B':
        if (name == "Baseline") ReadBaseline(child, e);
        break;
      case 'C':
        if (name == "Critical") e.critical = FlagFieldValue(Text(child));
        break;
      case 'D':
        if (name == "Duration") {
          float hours = 0;
          e.durationRead = ParseDurationHours(Text(child), hours);
          e.durationHours = e.durationRead ? hours : 0.0f;
        }
        break;
      case 'F':
        if (name == "Finish") e.finish = DateValue(Text(child));
        break;
      case 'I':
        if (name == "ID") {
          e.id = IntegerFieldValue(Text(child));
        } else if (name == "IsNull") {
          e.row.isNull = FlagFieldValue(Text(child));
        }
        break;
      case 'M':
        if (name == "Milestone") e.milestone = FlagFieldValue(Text(child));
        break;
      case 'N':
        if (name == "Name") {
          task.Name.assign(Text(child));
        } else if (name == "Notes") {
          ReadNotes(Text(child), task, e);
        }
        break;
      case 'O':
        if (name == "OutlineLevel") {
          const std::string_view text = Text(child);
          e.row.levelPresent = !IsBlankText(text);
          e.row.level = IntegerFieldValue(text);
        } else if (name == "OutlineNumber") {
          task.OutlineNumber.assign(Text(child));
        }
        break;
      case 'P':
        if (name == "PredecessorLink") {
          ReadLink(child, e);
        } else if (name == "PercentComplete") {
          e.percentComplete = IntegerFieldValue(Text(child));
        }
        break;
      case 'S':
        if (name == "Start") {
          e.start = DateValue(Text(child));
        } else if (name == "Summary") {
          e.summary = FlagFieldValue(Text(child));
        }
        break;
      case 'T':
        if (name == "TotalSlack") e.totalSlack = DecimalFieldValue(Text(child));
        break;
      case 'U':
        if (name == "UID") {
          e.row.uid = IntegerFieldValue(Text(child));
          e.row.uidPresent = true;
        }
        break;
      default:
        break;
    }
  }

  void ReadNotes(std::string_view text, Task& task, TaskElement& e) {
    // A UTF-16 unit never takes less than one byte, so a short text needs no counting.
    e.noteShortened = text.size() > static_cast<std::size_t>(MAX_NOTE_LENGTH) &&
                      Utf16Length(text) > static_cast<std::size_t>(MAX_NOTE_LENGTH);
    task.Notes.assign(e.noteShortened ? Utf16Prefix(text, static_cast<std::size_t>(MAX_NOTE_LENGTH)) : text);
  }

  // Only baseline 0 is shown; a Baseline without a Number counts as baseline 0.
  void ReadBaseline(XmlNode baseline, TaskElement& e) {
    std::int64_t number = -1;
    DayOrdinal start = 0;
    DayOrdinal finish = 0;
    for (XmlNode child = document_.FirstChild(baseline); child != XML_NONE;
         child = document_.NextSibling(child)) {
      const std::string_view name = document_.Name(child);
      if (name == "Number") {
        number = IntegerFieldValue(Text(child));
      } else if (name == "Start") {
        start = DateValue(Text(child));
      } else if (name == "Finish") {
        finish = DateValue(Text(child));
      }
    }
    if (number < 1) {
      e.baselineStart = start;
      e.baselineFinish = finish;
    }
  }

  void ReadLink(XmlNode linkElement, TaskElement& e) {
    TaskLink link;
    std::int64_t typeCode = 0;  // a link without a Type is FF
    for (XmlNode child = document_.FirstChild(linkElement); child != XML_NONE;
         child = document_.NextSibling(child)) {
      const std::string_view name = document_.Name(child);
      if (name == "PredecessorUID") {
        link.PredecessorUID = IntegerFieldValue(Text(child));
      } else if (name == "Type") {
        typeCode = IntegerFieldValue(Text(child));
      } else if (name == "LinkLag") {
        // The file counts lag in tenths of a minute.
        link.LagHours = DecimalFieldValue(Text(child)) / 600.0f;
      }
    }
    const std::optional<LinkType> type = LinkTypeOf(typeCode);
    if (!type) ++e.unknownLinkTypes;
    link.Type = type.value_or(LinkType::FS);
    links_.push_back(link);
  }

  // Both dates as the file gives them; one that is missing or unreadable is derived from the
  // other and the duration. A task left with only one date, or none, has no bar.
  void StoreDates(Task& task, const TaskElement& e) {
    task.Start = e.start;
    task.Finish = e.finish;
    if ((task.Start > 0) != (task.Finish > 0) && e.durationRead) {
      const std::int64_t days = DurationWorkingDays(e.durationHours, state_.minutesPerDay);
      // The plan's own calendar decides which days are worked: its holidays are stepped over
      // and its working weekends counted.
      const WorkCalendar& calendar = ProjectWorkCalendar(plan_.Terms);
      const auto away = [&](DayOrdinal from, std::int64_t step) {
        return calendar.IsStandard() ? WorkingDaysAway(from, days, step) : calendar.AddWorkingDays(from, days, step);
      };
      if (days >= 0 && task.Start > 0) {
        task.Finish = away(task.Start, 1);
      } else if (days >= 0) {
        task.Start = away(task.Finish, -1);
      }
      if (task.Start > 0 && task.Finish > 0) ++state_.derivedDates;
    }
    if (task.Start < 1 || task.Finish < 1) ++state_.tasksWithoutBar;
    task.StartLabel = OrdinalLabel(task.Start);
    task.FinishLabel = OrdinalLabel(task.Finish);
    if (task.Start > 0 && (state_.earliestStart == 0 || state_.earliestStart > task.Start)) {
      state_.earliestStart = task.Start;
    }
    if (state_.latestFinish < task.Finish) state_.latestFinish = task.Finish;
  }

  void Store(Task& task, const TaskElement& e) {
    task.UID = e.row.uid;
    task.ID = e.id;
    task.OutlineLevel = e.row.level < 1 ? 1 : e.row.level;
    task.Summary = e.summary;
    task.Milestone = e.milestone;
    task.Critical = e.critical;

    StoreDates(task, e);

    task.DurationHours = e.durationHours;
    task.BaselineStart = e.baselineStart;
    task.BaselineFinish = e.baselineFinish;
    if (task.BaselineStart > 0 && task.BaselineFinish > 0) ++state_.tasksWithBaseline;
    task.TotalSlackHours = e.totalSlack / 600.0f;

    if (e.noteShortened) ++state_.shortenedNotes;
    if (!task.Notes.empty()) ++state_.tasksWithNote;

    task.PercentComplete = e.percentComplete < 0 ? 0 : (e.percentComplete > 100 ? 100 : e.percentComplete);

    if (task.OutlineLevel == 1) ++state_.phaseCounter;
    task.Phase = state_.phaseCounter < 0 ? 0 : state_.phaseCounter % PHASE_COUNT;

    if (e.unknownLinkTypes > 0) {
      AddMessage(log_, MessageLevel::Warning,
                 "Task " + IntegerText(task.UID) + ": " + IntegerText(e.unknownLinkTypes) +
                     " dependency link(s) with an unknown type, using FS.");
    }

    plan_.TaskUidMap.emplace(task.UID, plan_.TaskCount());
  }

  const XmlDocument& document_;
  Plan& plan_;
  MessageLog& log_;
  TaskWalkState& state_;
  std::string& scratch_;
  std::vector<TaskLink> links_;  // the element's links, copied to the task at their number
};

}  // namespace

void ReadTasks(const XmlDocument& document, Plan& plan, MessageLog& log, TaskWalkState& state,
               std::string& scratch) {
  TaskReader reader(document, plan, log, state, scratch);
  plan.Tasks.reserve(static_cast<std::size_t>(CountInSections(document, "Tasks", "Task")));
  ForEachInSections(document, "Tasks", "Task", [&](XmlNode element) { reader.Read(element); });
}

}  // namespace nerin
