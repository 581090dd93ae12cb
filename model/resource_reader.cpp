// SPDX-License-Identifier: MIT
// Resources and assignments, and the two texts built from them. Nothing here fails a load:
// what is wrong is skipped or corrected and reported.
#include <algorithm>
#include <string>
#include <utility>

#include "calendar/value_text.h"
#include "model/load_steps.h"

namespace nerin {

void ReadResources(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch) {
  std::int64_t pastLimit = 0;
  plan.Resources.reserve(static_cast<std::size_t>(CountInSections(document, "Resources", "Resource")));
  ForEachInSections(document, "Resources", "Resource", [&](XmlNode element) {
    if (plan.ResourceCount() >= MAX_RESOURCES) {
      ++pastLimit;
      return;
    }
    Resource resource;
    std::int64_t isNull = 0;
    std::int64_t uid = 0;
    std::int64_t id = 0;
    std::int64_t type = 0;
    std::int64_t costFlag = 0;
    float maxUnits = 0;
    for (XmlNode child = document.FirstChild(element); child != XML_NONE;
         child = document.NextSibling(child)) {
      const std::string_view name = document.Name(child);
      if (name == "UID") {
        uid = IntegerFieldValue(document.Text(child, scratch));
      } else if (name == "ID") {
        id = IntegerFieldValue(document.Text(child, scratch));
      } else if (name == "Name") {
        resource.Name.assign(document.Text(child, scratch));
      } else if (name == "Type") {
        type = IntegerFieldValue(document.Text(child, scratch));
      } else if (name == "IsNull") {
        isNull = FlagFieldValue(document.Text(child, scratch));
      } else if (name == "Initials") {
        resource.Initials.assign(document.Text(child, scratch));
      } else if (name == "EmailAddress") {
        resource.EmailAddress.assign(document.Text(child, scratch));
      } else if (name == "IsCostResource") {
        costFlag = FlagFieldValue(document.Text(child, scratch));
      } else if (name == "MaxUnits") {
        maxUnits = DecimalFieldValue(document.Text(child, scratch));
      }
    }
    if (isNull == 1 || uid < 1) return;  // counted by the validation pass

    resource.UID = uid;
    resource.ID = id;
    resource.Type = type;
    resource.IsCostResource = costFlag == 1 ? 1 : 0;
    if (resource.Type < 0 || resource.Type > 1) {
      AddMessage(log, MessageLevel::Warning, "Resource " + IntegerText(uid) + ": unknown type; displayed as work.");
      resource.Type = 1;
    }
    // Written this way round so that NaN also falls back to full time.
    resource.MaxUnits = maxUnits > 0 ? maxUnits : 1.0f;
    plan.ResourceUidMap.emplace(uid, plan.ResourceCount());
    plan.Resources.push_back(std::move(resource));
  });
  if (pastLimit > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(pastLimit) + " resource(s) past the limit of " + IntegerText(MAX_RESOURCES) +
                   " were skipped; their assignments show no name.");
  }
}

void ReadAssignments(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch) {
  std::int64_t beyondLimit = 0;
  std::int64_t withoutResource = 0;
  plan.Assignments.reserve(static_cast<std::size_t>(
      std::min(CountInSections(document, "Assignments", "Assignment"), MAX_ASSIGNMENTS)));
  ForEachInSections(document, "Assignments", "Assignment", [&](XmlNode element) {
    if (plan.AssignmentCount() >= MAX_ASSIGNMENTS) {
      ++beyondLimit;
      return;
    }
    Assignment record;
    for (XmlNode child = document.FirstChild(element); child != XML_NONE;
         child = document.NextSibling(child)) {
      const std::string_view name = document.Name(child);
      if (name == "UID") {
        record.UID = IntegerFieldValue(document.Text(child, scratch));
      } else if (name == "TaskUID") {
        record.TaskUID = IntegerFieldValue(document.Text(child, scratch));
      } else if (name == "ResourceUID") {
        record.ResourceUID = IntegerFieldValue(document.Text(child, scratch));
      } else if (name == "Units") {
        record.Units = DecimalFieldValue(document.Text(child, scratch));
      }
    }
    // NaN is no usable amount either; it is corrected like a negative value.
    if (!(record.Units >= 0)) {
      AddMessage(log, MessageLevel::Warning, "Assignment " + IntegerText(record.UID) + ": negative Units, using 0.");
      record.Units = 0;
    }
    const std::int64_t taskIndex = TaskIndex(plan, record.TaskUID);
    if (taskIndex < 0) {
      AddMessage(log, MessageLevel::Warning,
                 "Assignment " + IntegerText(record.UID) + ": task UID " + IntegerText(record.TaskUID) +
                     " not found.");
      return;
    }
    if (record.ResourceUID < 1) {
      ++withoutResource;
      return;
    }
    if (ResourceIndex(plan, record.ResourceUID) < 0) {
      AddMessage(log, MessageLevel::Warning,
                 "Assignment " + IntegerText(record.UID) + ": resource UID " +
                     IntegerText(record.ResourceUID) + " not found.");
      return;
    }
    Task& task = plan.Tasks[static_cast<std::size_t>(taskIndex)];
    if (task.AssignedCount() >= MAX_ASSIGNMENTS_PER_TASK) {
      AddMessage(log, MessageLevel::Warning,
                 "Task " + IntegerText(task.UID) + ": more than " + IntegerText(MAX_ASSIGNMENTS_PER_TASK) +
                     " assignments; the rest were skipped.");
      return;
    }
    task.Assigned.push_back({record.ResourceUID, record.Units});
    plan.Assignments.push_back(record);
  });
  if (beyondLimit > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(beyondLimit) + " assignment(s) beyond the limit of " +
                   IntegerText(MAX_ASSIGNMENTS) + " were not loaded; resource labels may be incomplete.");
  }
  if (withoutResource > 0) {
    AddMessage(log, MessageLevel::Info,
               IntegerText(withoutResource) +
                   " assignment(s) carry no resource reference; no resource labels were built from them.");
  }
}

void BuildResourceTexts(Plan& plan) {
  for (Task& task : plan.Tasks) {
    std::string& label = task.ResourceLabel;
    label.clear();
    for (const TaskAssignment& assigned : task.Assigned) {
      const std::int64_t r = ResourceIndex(plan, assigned.ResourceUID);
      if (r < 0) continue;
      if (!label.empty()) label += ", ";
      label += plan.Resources[static_cast<std::size_t>(r)].Name;
      const float units = assigned.Units;
      if (units != 1.0f) {
        label += " [";
        label += DecimalText(units * 100.0f, 0);
        label += "%]";
      }
    }
  }
  for (const Assignment& assignment : plan.Assignments) {
    const std::int64_t r = ResourceIndex(plan, assignment.ResourceUID);
    const std::int64_t t = TaskIndex(plan, assignment.TaskUID);
    if (r < 0 || t < 0) continue;
    std::string& names = plan.Resources[static_cast<std::size_t>(r)].AssignedTaskNames;
    if (!names.empty()) names += "; ";
    names += plan.Tasks[static_cast<std::size_t>(t)].Name;
  }
}

}  // namespace nerin
