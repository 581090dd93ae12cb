// SPDX-License-Identifier: MIT
// The first pass: everything that rejects a file as a whole is found here, before the model
// is touched.
#include <string>
#include <unordered_set>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_plan.h"
#include "model/load_steps.h"

namespace nerin {

namespace {

struct SkippedRows {
  std::int64_t taskPlaceholders = 0;
  std::int64_t resourcePlaceholders = 0;
  std::int64_t taskSummaryRows = 0;       // with UID 0
  std::int64_t otherTaskSummaryRows = 0;  // at outline level 0 with another UID, or none
  std::int64_t resourceZeroUids = 0;
  std::int64_t tasksWithoutUid = 0;
  std::int64_t resourcesWithoutUid = 0;
};

struct UidCheck {
  std::int64_t isNull = 0;
  std::int64_t uid = 0;
  bool uidPresent = false;
};

enum class Row { Skipped, Usable };

// The rows of resources: an empty placeholder is skipped, and so is one with UID 0 or no
// usable UID, each counted. Task rows follow the same counting (ClassifyTaskRow says which
// rows are no tasks).
Row Classify(const UidCheck& id, std::int64_t& placeholders, std::int64_t& zeroUids, std::int64_t& withoutUid) {
  if (id.isNull == 1) {
    ++placeholders;
    return Row::Skipped;
  }
  if (id.uid >= 1) return Row::Usable;
  ++(id.uidPresent && id.uid == 0 ? zeroUids : withoutUid);
  return Row::Skipped;
}

struct Validator {
  const XmlDocument& document;
  MessageLog& log;
  std::string scratch;
  std::unordered_set<std::int64_t> taskUids;
  std::unordered_set<std::int64_t> resourceUids;
  SkippedRows skipped;

  // Dates reject nothing: a task whose dates cannot be read or derived is shown without a bar.
  void CheckTask(XmlNode element) {
    TaskRowId row;
    bool durationUnreadable = false;
    for (XmlNode child = document.FirstChild(element); child != XML_NONE;
         child = document.NextSibling(child)) {
      const std::string_view name = document.Name(child);
      if (name == "IsNull") {
        row.isNull = FlagFieldValue(document.Text(child, scratch));
      } else if (name == "UID") {
        row.uid = IntegerFieldValue(document.Text(child, scratch));
        row.uidPresent = true;
      } else if (name == "OutlineLevel") {
        const std::string_view text = document.Text(child, scratch);
        row.levelPresent = !IsBlankText(text);
        row.level = IntegerFieldValue(text);
      } else if (name == "Duration") {
        const std::string_view text = document.Text(child, scratch);
        float hours = 0;
        durationUnreadable = !text.empty() && !ParseDurationHours(text, hours);
      }
    }
    const TaskRowKind kind = ClassifyTaskRow(row);
    if (kind == TaskRowKind::Placeholder) {
      ++skipped.taskPlaceholders;
      return;
    }
    if (kind == TaskRowKind::ProjectSummary) {
      ++(row.uidPresent && row.uid == 0 ? skipped.taskSummaryRows : skipped.otherTaskSummaryRows);
      return;
    }
    if (kind == TaskRowKind::WithoutUid) {
      ++skipped.tasksWithoutUid;
      return;
    }
    const std::string uidText = IntegerText(row.uid);
    if (!taskUids.insert(row.uid).second) AddMessage(log, MessageLevel::Error, "Duplicate task UID: " + uidText);
    if (durationUnreadable) {
      AddMessage(log, MessageLevel::Warning,
                 "Task " + uidText + ": cannot completely interpret the formatting of 'duration'.");
    }
  }

  void CheckResource(XmlNode element) {
    UidCheck id;
    for (XmlNode child = document.FirstChild(element); child != XML_NONE;
         child = document.NextSibling(child)) {
      const std::string_view name = document.Name(child);
      if (name == "IsNull") {
        id.isNull = FlagFieldValue(document.Text(child, scratch));
      } else if (name == "UID") {
        id.uid = IntegerFieldValue(document.Text(child, scratch));
        id.uidPresent = true;
      }
    }
    if (Classify(id, skipped.resourcePlaceholders, skipped.resourceZeroUids, skipped.resourcesWithoutUid) ==
        Row::Skipped) {
      return;
    }
    if (!resourceUids.insert(id.uid).second) {
      AddMessage(log, MessageLevel::Error, "Duplicate resource UID: " + IntegerText(id.uid));
    }
  }

  void CountMessage(MessageLevel level, std::int64_t count, const char* text) {
    if (count > 0) AddMessage(log, level, IntegerText(count) + text);
  }
};

}  // namespace

bool ValidatePlan(const XmlDocument& document, MessageLog& log) {
  ClearMessages(log);
  const XmlNode root = document.Root();
  if (root == XML_NONE) {
    AddMessage(log, MessageLevel::Error, "XML has no root element.");
    return false;
  }
  if (ToLowerAscii(document.Name(root)) != "project") {
    AddMessage(log, MessageLevel::Error, "Root element is not Project.");
    return false;
  }
  if (document.ReplacedCharacters() > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(document.ReplacedCharacters()) + " character(s) could not be decoded as " +
                   document.EncodingName() + " and are shown as \"\xEF\xBF\xBD\".");
  }

  Validator check{document, log, {}, {}, {}, {}};
  check.taskUids.reserve(1024);
  check.resourceUids.reserve(256);
  for (XmlNode section = document.FirstChild(root); section != XML_NONE;
       section = document.NextSibling(section)) {
    const std::string_view sectionName = document.Name(section);
    if (sectionName == "Tasks") {
      for (XmlNode element = document.FirstChild(section); element != XML_NONE;
           element = document.NextSibling(element)) {
        if (document.Name(element) == "Task") check.CheckTask(element);
      }
    } else if (sectionName == "Resources") {
      for (XmlNode element = document.FirstChild(section); element != XML_NONE;
           element = document.NextSibling(element)) {
        if (document.Name(element) == "Resource") check.CheckResource(element);
      }
    }
  }

  const SkippedRows& skipped = check.skipped;
  check.CountMessage(MessageLevel::Info, skipped.taskPlaceholders, " empty task row(s) left out.");
  check.CountMessage(MessageLevel::Info, skipped.resourcePlaceholders, " empty resource row(s) left out.");
  check.CountMessage(MessageLevel::Info, skipped.taskSummaryRows,
                     " project summary task(s) left out; the chart shows the tasks of the plan under it.");
  check.CountMessage(MessageLevel::Info, skipped.otherTaskSummaryRows,
                     " more task(s) at the level of the project summary left out.");
  check.CountMessage(MessageLevel::Info, skipped.resourceZeroUids,
                     " resource(s) that MS Project keeps for itself and never shows left out.");
  check.CountMessage(MessageLevel::Warning, skipped.tasksWithoutUid,
                     " task(s) without a usable unique ID left out.");
  check.CountMessage(MessageLevel::Warning, skipped.resourcesWithoutUid,
                     " resource(s) without a usable unique ID left out.");
  return CountMessages(log, MessageLevel::Error) == 0;
}

}  // namespace nerin
