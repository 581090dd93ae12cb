// SPDX-License-Identifier: MIT
// The second pass over the Task elements: each usable element becomes the Task record at
// index TaskCount, read straight into that slot so the walk allocates nothing but texts.
#include <string>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_steps.h"

namespace nerin {

namespace {

std::uint8_t FlagValue(std::string_view text) {
  return IntegerFieldValue(text) == 1 ? 1 : 0;
}

DayOrdinal DateValue(std::string_view text) {
  DayOrdinal day = 0;
  ParseIsoDate(text, day);
  return day;
}

// The values of one Task element that are not read straight into the record.
struct TaskElement {
  std::int64_t isNull = 0;
  std::int64_t uid = 0;
  std::int64_t id = 0;
  std::int64_t outlineLevel = 0;
  std::int64_t percentComplete = 0;
  std::uint8_t summary = 0;
  std::uint8_t milestone = 0;
  std::uint8_t critical = 0;
  DayOrdinal start = 0;
  DayOrdinal finish = 0;
  float durationHours = 0;
  float totalSlack = 0;
  DayOrdinal baselineStart = 0;
  DayOrdinal baselineFinish = 0;
  bool noteShortened = false;
  std::int64_t unknownLinkTypes = 0;
  std::int64_t linksPastLimit = 0;
};

class TaskReader {
 public:
  TaskReader(const XmlDocument& document, Plan& plan, MessageLog& log, TaskWalkState& state,
             std::string& scratch)
      : document_(document), plan_(plan), log_(log), state_(state), scratch_(scratch) {}

  void Read(XmlNode element) {
    const std::int64_t index = plan_.TaskCount;
    Task& task = plan_.Tasks[static_cast<std::size_t>(index)];
    task.Name.clear();
    task.Notes.clear();
    task.OutlineNumber.clear();
    task.LinkCount = 0;
    task.AssignedCount = 0;

    TaskElement e;
    for (XmlNode child = document_.FirstChild(element); child != XML_NONE;
         child = document_.NextSibling(child)) {
      ReadChild(child, task, e);
    }
    if (e.isNull == 1 || e.uid < 1) return;  // counted by the validation pass
    Store(index, task, e);
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
        if (name == "Critical") e.critical = FlagValue(Text(child));
        break;
      case 'D':
        if (name == "Duration") {
          float hours = 0;
          e.durationHours = ParseDurationHours(Text(child), hours) ? hours : 0.0f;
        }
        break;
      case 'F':
        if (name == "Finish") e.finish = DateValue(Text(child));
        break;
      case 'I':
        if (name == "ID") {
          e.id = IntegerFieldValue(Text(child));
        } else if (name == "IsNull") {
          e.isNull = IntegerFieldValue(Text(child));
        }
        break;
      case 'M':
        if (name == "Milestone") e.milestone = FlagValue(Text(child));
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
          e.outlineLevel = IntegerFieldValue(Text(child));
        } else if (name == "OutlineNumber") {
          task.OutlineNumber.assign(Text(child));
        }
        break;
      case 'P':
        if (name == "PredecessorLink") {
          ReadLink(child, task, e);
        } else if (name == "PercentComplete") {
          e.percentComplete = IntegerFieldValue(Text(child));
        }
        break;
      case 'S':
        if (name == "Start") {
          e.start = DateValue(Text(child));
        } else if (name == "Summary") {
          e.summary = FlagValue(Text(child));
        }
        break;
      case 'T':
        if (name == "TotalSlack") e.totalSlack = DecimalFieldValue(Text(child));
        break;
      case 'U':
        if (name == "UID") e.uid = IntegerFieldValue(Text(child));
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

  void ReadLink(XmlNode linkElement, Task& task, TaskElement& e) {
    if (task.LinkCount >= MAX_LINKS_PER_TASK) {
      ++e.linksPastLimit;
      return;
    }
    TaskLink& link = task.Links[static_cast<std::size_t>(task.LinkCount)];
    link = TaskLink{};
    for (XmlNode child = document_.FirstChild(linkElement); child != XML_NONE;
         child = document_.NextSibling(child)) {
      const std::string_view name = document_.Name(child);
      if (name == "PredecessorUID") {
        link.PredecessorUID = IntegerFieldValue(Text(child));
      } else if (name == "Type") {
        link.Type = IntegerFieldValue(Text(child));
      } else if (name == "LinkLag") {
        // The file counts lag in tenths of a minute.
        link.LagHours = DecimalFieldValue(Text(child)) / 600.0f;
      }
    }
    if (!IsValidLinkType(link.Type)) {
      ++e.unknownLinkTypes;
      link.Type = 1;
    }
    ++task.LinkCount;
  }

  void Store(std::int64_t index, Task& task, const TaskElement& e) {
    task.UID = e.uid;
    task.ID = e.id;
    task.OutlineLevel = e.outlineLevel < 1 ? 1 : e.outlineLevel;
    task.Summary = e.summary;
    task.Milestone = e.milestone;
    task.Critical = e.critical;

    task.Start = e.start;
    task.StartLabel = OrdinalLabel(task.Start);
    if (state_.earliestStart == 0 || state_.earliestStart > task.Start) state_.earliestStart = task.Start;
    task.Finish = e.finish;
    task.FinishLabel = OrdinalLabel(task.Finish);
    if (state_.latestFinish < task.Finish) state_.latestFinish = task.Finish;

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

    // Links of a dropped element go with it; only a stored task's overflow is reported.
    state_.linksPastLimit += e.linksPastLimit;
    if (e.unknownLinkTypes > 0) {
      AddMessage(log_, LEVEL_WARNING,
                 "Task " + IntegerText(task.UID) + ": " + IntegerText(e.unknownLinkTypes) +
                     " dependency link(s) with an unknown type, using FS.");
    }

    plan_.TaskUidMap.emplace(task.UID, index);
    ++plan_.TaskCount;
  }

  const XmlDocument& document_;
  Plan& plan_;
  MessageLog& log_;
  TaskWalkState& state_;
  std::string& scratch_;
};

}  // namespace

void ReadTasks(const XmlDocument& document, Plan& plan, MessageLog& log, TaskWalkState& state,
               std::string& scratch) {
  TaskReader reader(document, plan, log, state, scratch);
  ForEachInSections(document, "Tasks", "Task", [&](XmlNode element) {
    // Validation rejects a plan with more tasks than fit; this keeps the array safe anyway.
    if (plan.TaskCount < MAX_TASKS) reader.Read(element);
  });
}

}  // namespace nerin
