// SPDX-License-Identifier: MIT
#include "compare/plan_xml_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calendar/value_text.h"
#include "compare/plan_changes.h"

namespace nerin {
namespace {

// Line breaks as character references, or the parser would fold CR LF into LF.
void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\t':
        out += "&#9;";
        break;
      default:
        out += c;
    }
  }
}

void Element(std::string& out, std::string_view name, std::string_view value) {
  out.append("<").append(name).append(">");
  AppendEscaped(out, value);
  out.append("</").append(name).append(">");
}

void Element(std::string& out, std::string_view name, std::int64_t value) {
  Element(out, name, IntegerText(value));
}

void DateElement(std::string& out, std::string_view name, DayOrdinal day, std::string_view time) {
  if (day > 0) Element(out, name, IsoDateText(day) + std::string(time));
}

std::string DurationText(float hours) {
  const double minutes =
      std::isfinite(hours) ? std::max(0.0, std::round(static_cast<double>(hours) * 60.0)) : 0.0;
  const auto whole = static_cast<long long>(std::min(minutes, 1e15));
  char text[64];
  std::snprintf(text, sizeof text, "PT%lldH%lldM0S", whole / 60, whole % 60);
  return text;
}

std::string NumberText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", std::isfinite(value) ? value : 0.0);
  return text;
}

}  // namespace

std::string PlanXmlText(const Plan& plan) {
  const auto tasks = static_cast<std::size_t>(std::clamp<std::int64_t>(plan.TaskCount, 0, MAX_TASKS));
  const auto resources =
      static_cast<std::size_t>(std::clamp<std::int64_t>(plan.ResourceCount, 0, MAX_RESOURCES));
  std::string out;
  out.reserve(tasks * 700 + 4096);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  out += "<Project xmlns=\"http://schemas.microsoft.com/project\">\n";
  Element(out, "Name", plan.ProjectName);
  Element(out, "Author", plan.ProjectAuthor);
  DateElement(out, "StartDate", plan.ProjectStart, "T08:00:00");
  DateElement(out, "FinishDate", plan.ProjectFinish, "T17:00:00");
  out += "\n<Tasks>\n";
  for (std::size_t i = 0; i < tasks; ++i) {
    const Task& task = plan.Tasks[i];
    out += "<Task>";
    Element(out, "UID", task.UID);
    Element(out, "ID", task.ID);
    Element(out, "Name", task.Name);
    Element(out, "OutlineNumber", task.OutlineNumber);
    Element(out, "OutlineLevel", task.OutlineLevel);
    DateElement(out, "Start", task.Start, "T08:00:00");
    DateElement(out, "Finish", task.Finish, "T17:00:00");
    Element(out, "Duration", DurationText(task.DurationHours));
    Element(out, "PercentComplete", task.PercentComplete);
    Element(out, "Summary", task.Summary);
    Element(out, "Milestone", task.Milestone);
    Element(out, "Critical", task.Critical);
    Element(out, "TotalSlack", NumberText(static_cast<double>(task.TotalSlackHours) * 600.0));
    if (!task.Notes.empty()) Element(out, "Notes", task.Notes);
    if (task.BaselineStart > 0 || task.BaselineFinish > 0) {
      out += "<Baseline><Number>0</Number>";
      DateElement(out, "Start", task.BaselineStart, "T08:00:00");
      DateElement(out, "Finish", task.BaselineFinish, "T17:00:00");
      out += "</Baseline>";
    }
    const auto links =
        static_cast<std::size_t>(std::clamp<std::int64_t>(task.LinkCount, 0, MAX_LINKS_PER_TASK));
    for (std::size_t l = 0; l < links; ++l) {
      const TaskLink& link = task.Links[l];
      out += "<PredecessorLink>";
      Element(out, "PredecessorUID", link.PredecessorUID);
      Element(out, "Type", link.Type);
      Element(out, "LinkLag", NumberText(static_cast<double>(link.LagHours) * 600.0));
      out += "</PredecessorLink>";
    }
    out += "</Task>\n";
  }
  out += "</Tasks>\n<Resources>\n";
  for (std::size_t r = 0; r < resources; ++r) {
    const Resource& resource = plan.Resources[r];
    out += "<Resource>";
    Element(out, "UID", resource.UID);
    Element(out, "ID", resource.ID);
    Element(out, "Name", resource.Name);
    Element(out, "Initials", resource.Initials);
    Element(out, "EmailAddress", resource.EmailAddress);
    Element(out, "Type", resource.Type);
    Element(out, "IsCostResource", resource.IsCostResource);
    Element(out, "MaxUnits", NumberText(static_cast<double>(resource.MaxUnits)));
    out += "</Resource>\n";
  }
  // The task's own slots are what the views show; the plan-wide records follow from them.
  out += "</Resources>\n<Assignments>\n";
  std::int64_t uid = 1;
  for (std::size_t i = 0; i < tasks; ++i) {
    const Task& task = plan.Tasks[i];
    const auto slots =
        static_cast<std::size_t>(std::clamp<std::int64_t>(task.AssignedCount, 0, MAX_ASSIGNMENTS_PER_TASK));
    for (std::size_t a = 0; a < slots; ++a) {
      out += "<Assignment>";
      Element(out, "UID", uid++);
      Element(out, "TaskUID", task.UID);
      Element(out, "ResourceUID", task.AssignedResourceUID[a]);
      Element(out, "Units", NumberText(static_cast<double>(task.AssignedUnits[a])));
      out += "</Assignment>\n";
    }
  }
  out += "</Assignments>\n</Project>\n";
  return out;
}

}  // namespace nerin
