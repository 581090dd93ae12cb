// SPDX-License-Identifier: MIT
#include "model/model_dump.h"

#include "calendar/path_text.h"

#include <string_view>

#include "calendar/day_ordinal.h"
#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/plan.h"
#include "model/terms_dump.h"

namespace nerin {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendInteger(std::string& out, std::int64_t value) {
  out += IntegerText(value);
}

void AppendHundredths(std::string& out, float value) {
  out += DecimalText(value, 2);
}

// Keeps a note on its task's line: every line break, in any convention, becomes "\n".
void AppendEscapedNote(std::string& out, std::string_view note) {
  for (std::size_t i = 0; i < note.size(); ++i) {
    const char c = note[i];
    if (c == '\r') {
      if (i + 1 < note.size() && note[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
}

void AppendTaskLine(std::string& out, const Task& task, std::int64_t index) {
  out += "T ";
  AppendInteger(out, index);
  out += " uid=";
  AppendInteger(out, task.UID);
  out += " id=";
  AppendInteger(out, task.ID);
  out += " lvl=";
  AppendInteger(out, task.OutlineLevel);
  out += " sum=";
  AppendInteger(out, task.Summary);
  out += " mile=";
  AppendInteger(out, task.Milestone);
  out += " crit=";
  AppendInteger(out, task.Critical);
  out += " start=";
  AppendInteger(out, task.Start);
  out += '(';
  out += task.StartLabel;
  out += ") finish=";
  AppendInteger(out, task.Finish);
  out += '(';
  out += task.FinishLabel;
  out += ") outline=";
  out += task.OutlineNumber;
  out += " slack=";
  AppendHundredths(out, task.TotalSlackHours);
  out += " base=";
  AppendInteger(out, task.BaselineStart);
  out += "..";
  AppendInteger(out, task.BaselineFinish);
  out += " dur=";
  AppendHundredths(out, task.DurationHours);
  out += " pct=";
  AppendInteger(out, task.PercentComplete);
  out += " phase=";
  AppendInteger(out, task.Phase);
  out += " links=[";
  for (std::int64_t k = 0; k < task.LinkCount(); ++k) {
    const TaskLink& link = task.Links[static_cast<std::size_t>(k)];
    if (k > 0) out += ',';
    AppendInteger(out, link.PredecessorUID);
    out += '>';
    AppendInteger(out, link.PredecessorIndex);
    out += ':';
    AppendInteger(out, LinkTypeCode(link.Type));
    out += ':';
    AppendInteger(out, link.Driving);
  }
  out += "] assign=[";
  for (std::size_t k = 0; k < task.Assigned.size(); ++k) {
    if (k > 0) out += ',';
    AppendInteger(out, task.Assigned[k].ResourceUID);
    out += '*';
    AppendHundredths(out, task.Assigned[k].Units);
  }
  out += "] res=";
  out += task.ResourceLabel;
  out += "|name=";
  out += task.Name;
  out += "|notes=";
  AppendEscapedNote(out, task.Notes);
  out += kLineEnd;
}

void AppendResourceLine(std::string& out, const Resource& resource, std::int64_t index) {
  out += "R ";
  AppendInteger(out, index);
  out += " uid=";
  AppendInteger(out, resource.UID);
  out += " id=";
  AppendInteger(out, resource.ID);
  out += " type=";
  AppendInteger(out, resource.Type);
  out += " cost=";
  AppendInteger(out, resource.IsCostResource);
  out += " maxunits=";
  AppendHundredths(out, resource.MaxUnits);
  out += " initials=";
  out += resource.Initials;
  out += "|email=";
  out += resource.EmailAddress;
  out += "|name=";
  out += resource.Name;
  out += "|tasks=";
  out += resource.AssignedTaskNames;
  out += kLineEnd;
}

}  // namespace

std::string ModelDumpText(const Plan& plan, const MessageLog& log, bool loaded) {
  std::string out;
  out += "NERIN-VIEWER-DUMP v1";
  out += kLineEnd;
  if (loaded) {
    const std::int64_t taskCount = plan.TaskCount();
    const std::int64_t resourceCount = plan.ResourceCount();
    out.reserve(static_cast<std::size_t>(512 + taskCount * 256 + resourceCount * 128));
    out += "LOADED 1";
    out += kLineEnd;
    out += "PROJECT name=";
    out += plan.ProjectName;
    out += "|author=";
    out += plan.ProjectAuthor;
    out += kLineEnd;
    out += "DATES start=";
    AppendInteger(out, plan.ProjectStart);
    out += '(';
    out += OrdinalLabel(plan.ProjectStart);
    out += ") finish=";
    AppendInteger(out, plan.ProjectFinish);
    out += '(';
    out += OrdinalLabel(plan.ProjectFinish);
    out += ") timeline=";
    AppendInteger(out, plan.TimelineStart);
    out += "..";
    AppendInteger(out, plan.TimelineFinish);
    out += " totaldays=";
    AppendInteger(out, plan.TimelineDays);
    out += kLineEnd;
    out += "COUNTS tasks=";
    AppendInteger(out, taskCount);
    out += " resources=";
    AppendInteger(out, resourceCount);
    out += " assignments=";
    AppendInteger(out, plan.AssignmentCount());
    out += " links=";
    AppendInteger(out, TotalLinkCount(plan));
    out += kLineEnd;
    for (std::int64_t i = 0; i < taskCount; ++i)
      AppendTaskLine(out, plan.Tasks[static_cast<std::size_t>(i)], i);
    for (std::int64_t r = 0; r < resourceCount; ++r) {
      AppendResourceLine(out, plan.Resources[static_cast<std::size_t>(r)], r);
    }
    AppendTermsLines(out, plan);
  } else {
    out += "LOADED 0";
    out += kLineEnd;
  }
  for (const Message& message : log.messages) {
    out += "I ";
    AppendInteger(out, static_cast<std::int64_t>(message.level));
    out += ' ';
    out += message.text;
    out += kLineEnd;
  }
  return out;
}

std::string ModelDumpDefaultName(const std::string& projectName) {
  return SafeFileName(projectName, "model") + ".dump.txt";
}

}  // namespace nerin
