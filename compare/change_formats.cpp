// SPDX-License-Identifier: MIT
#include "compare/change_formats.h"

#include "calendar/day_ordinal.h"
#include "calendar/text_units.h"
#include "calendar/value_text.h"

namespace nerin {
namespace {

constexpr std::string_view ARROW = " \u2192 ";

std::string Quoted(std::string_view text) {
  return "\"" + EscapedText(text) + "\"";
}

std::string DayText(DayOrdinal day) {
  return day > 0 ? OrdinalLabel(day) : std::string("(none)");
}

std::string ListText(const std::string& list) {
  if (list.empty()) return "(none)";
  std::string text;
  for (const char c : list) {
    if (c == ';') {
      text += "; ";
    } else {
      text += c;
    }
  }
  return text;
}

std::string YesNo(const std::string& flag) {
  return flag == "1" ? "yes" : "no";
}

std::string DateMove(DayOrdinal old, DayOrdinal now) {
  std::string text = DayText(old) + std::string(ARROW) + DayText(now);
  if (old > 0 && now > 0) text += " (" + ShiftDaysText(now - old) + ")";
  return text;
}

std::string TaskHeading(const TaskChange& change) {
  return "Task " + IntegerText(change.ID) + " (UID " + IntegerText(change.UID) + ") " + Quoted(change.Name);
}

void AppendCount(std::string& text, std::int64_t count, std::string_view what) {
  if (!text.empty()) text += ", ";
  text += IntegerText(count) + " " + std::string(what);
}

std::string TsvLine(std::string_view uid, std::string_view id, std::string_view kind, std::string_view field,
                    std::string_view old, std::string_view now) {
  std::string line;
  line.reserve(uid.size() + id.size() + kind.size() + field.size() + old.size() + now.size() + 6);
  line.append(uid).append("\t").append(id).append("\t").append(kind).append("\t").append(field);
  line.append("\t").append(EscapedText(old)).append("\t").append(EscapedText(now)).append("\n");
  return line;
}

std::string_view KindKey(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::Added:
      return "added";
    case ChangeKind::Removed:
      return "removed";
    case ChangeKind::Changed:
      break;
  }
  return "changed";
}

}  // namespace

std::string EscapedText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string FieldChangeText(const FieldChange& change) {
  const std::string label(TaskFieldLabel(change.Field));
  switch (change.Field) {
    case TaskField::Start:
    case TaskField::Finish:
    case TaskField::BaselineStart:
    case TaskField::BaselineFinish:
      return label + " " + DateMove(change.OldDay, change.NewDay);
    case TaskField::Name:
      return label + " " + Quoted(change.Old) + std::string(ARROW) + Quoted(change.New);
    case TaskField::Duration:
      // In the plans' own units, unless those round both to the same text.
      if (!change.OldShown.empty() && !change.NewShown.empty() && change.OldShown != change.NewShown) {
        return label + " " + change.OldShown + std::string(ARROW) + change.NewShown;
      }
      return label + " " + change.Old + std::string(ARROW) + change.New + " h";
    case TaskField::PercentComplete:
      return label + " " + change.Old + std::string(ARROW) + change.New;
    case TaskField::Milestone:
    case TaskField::Critical:
      return label + " " + YesNo(change.Old) + std::string(ARROW) + YesNo(change.New);
    case TaskField::Predecessors:
    case TaskField::Assignments:
      return label + " " + ListText(change.Old) + std::string(ARROW) + ListText(change.New);
    case TaskField::Note:
      // A note can run to 4,000 characters: its size tells that it changed, the details show it.
      if (change.Old.empty())
        return "Note added (" + IntegerText(static_cast<std::int64_t>(Utf16Length(change.New))) +
               " characters)";
      if (change.New.empty()) return "Note removed";
      return "Note changed (" + IntegerText(static_cast<std::int64_t>(Utf16Length(change.Old))) +
             std::string(ARROW) + IntegerText(static_cast<std::int64_t>(Utf16Length(change.New))) +
             " characters)";
    case TaskField::Parent:
      break;
  }
  return label + " " + change.Old + std::string(ARROW) + change.New;
}

std::string ChangesSummaryLine(const PlanChanges& changes) {
  if (changes.Empty()) return "No differences.";
  std::string text =
      IntegerText(changes.MovedCount) + (changes.MovedCount == 1 ? " task" : " tasks") + " moved";
  AppendCount(text, changes.AddedCount, "added");
  AppendCount(text, changes.RemovedCount, "removed");
  AppendCount(text, changes.RenamedCount, "renamed");
  if (changes.OtherCount > 0) AppendCount(text, changes.OtherCount, "otherwise changed");
  if (changes.StartMoved()) text += "; start " + DateMove(changes.ReferenceStart, changes.SubjectStart);
  if (changes.FinishMoved()) {
    text += "; finish " + DateMove(changes.ReferenceFinish, changes.SubjectFinish);
  } else {
    text += "; finish " + DayText(changes.SubjectFinish) + " unchanged";
  }
  if (!changes.Resources.empty()) {
    std::string resources;
    AppendCount(resources, changes.ResourcesAdded, "added");
    AppendCount(resources, changes.ResourcesRemoved, "removed");
    AppendCount(resources, changes.ResourcesRenamed, "renamed");
    text += "; resources " + resources;
  }
  return text;
}

std::string ChangesText(const PlanChanges& changes) {
  std::string text = ChangesSummaryLine(changes) + "\n";
  for (const TaskChange& change : changes.Tasks) {
    text += "\n" + TaskHeading(change);
    if (change.Kind == ChangeKind::Added) {
      text += ": added\n";
    } else if (change.Kind == ChangeKind::Removed) {
      text += ": removed\n";
    } else {
      text += "\n";
      for (const FieldChange& field : change.Fields) text += "  " + FieldChangeText(field) + "\n";
    }
  }
  if (!changes.Resources.empty()) text += "\n";
  for (const ResourceChange& change : changes.Resources) {
    text += "Resource " + IntegerText(change.ID) + " (UID " + IntegerText(change.UID) + ") ";
    if (change.Kind == ChangeKind::Added) {
      text += Quoted(change.NewName) + ": added\n";
    } else if (change.Kind == ChangeKind::Removed) {
      text += Quoted(change.OldName) + ": removed\n";
    } else {
      text += "renamed " + Quoted(change.OldName) + std::string(ARROW) + Quoted(change.NewName) + "\n";
    }
  }
  return text;
}

std::string ChangesTsv(const PlanChanges& changes) {
  std::string text = "UID\tID\tKIND\tFIELD\tOLD\tNEW\n";
  if (changes.StartMoved()) {
    text += TsvLine("-", "-", "changed", "start", IsoDateText(changes.ReferenceStart),
                    IsoDateText(changes.SubjectStart));
  }
  if (changes.FinishMoved()) {
    text += TsvLine("-", "-", "changed", "finish", IsoDateText(changes.ReferenceFinish),
                    IsoDateText(changes.SubjectFinish));
  }
  for (const TaskChange& change : changes.Tasks) {
    const std::string uid = IntegerText(change.UID);
    const std::string id = IntegerText(change.ID);
    if (change.Kind == ChangeKind::Added) {
      text += TsvLine(uid, id, "added", "name", {}, change.Name);
    } else if (change.Kind == ChangeKind::Removed) {
      text += TsvLine(uid, id, "removed", "name", change.Name, {});
    } else {
      for (const FieldChange& field : change.Fields) {
        text += TsvLine(uid, id, "changed", TaskFieldKey(field.Field), field.Old, field.New);
      }
    }
  }
  for (const ResourceChange& change : changes.Resources) {
    text += TsvLine(IntegerText(change.UID), IntegerText(change.ID), KindKey(change.Kind), "resource",
                    change.OldName, change.NewName);
  }
  return text;
}

}  // namespace nerin
