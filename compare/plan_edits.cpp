// SPDX-License-Identifier: MIT
#include "compare/plan_edits.h"

#include <algorithm>
#include <utility>

namespace nerin {
namespace {

Task& TaskAt(Plan& plan, std::int64_t index) {
  return plan.Tasks[static_cast<std::size_t>(index)];
}

bool HasChildren(const Plan& plan, std::int64_t index) {
  return index + 1 < plan.TaskCount && plan.Tasks[static_cast<std::size_t>(index + 1)].OutlineLevel >
                                           plan.Tasks[static_cast<std::size_t>(index)].OutlineLevel;
}

bool Suits(const Plan& plan, PlanEdit edit, std::int64_t index) {
  const Task& task = plan.Tasks[static_cast<std::size_t>(index)];
  switch (edit) {
    case PlanEdit::Move:
      // Indenting under the task above moves only this task when it has no children and the
      // task above stands at least as deep.
      return index > 0 && !HasChildren(plan, index) &&
             plan.Tasks[static_cast<std::size_t>(index - 1)].OutlineLevel >= task.OutlineLevel;
    case PlanEdit::Remove:
    case PlanEdit::Add:
      return !HasChildren(plan, index);
    case PlanEdit::Relink:
      return index > 0 && task.LinkCount < MAX_LINKS_PER_TASK;
    case PlanEdit::Reassign:
      return task.AssignedCount > 0 ||
             (plan.ResourceCount > 0 && task.AssignedCount < MAX_ASSIGNMENTS_PER_TASK);
    default:
      return true;
  }
}

void RebuildUidMap(Plan& plan) {
  plan.TaskUidMap.clear();
  for (std::int64_t i = 0; i < plan.TaskCount; ++i) plan.TaskUidMap.emplace(TaskAt(plan, i).UID, i);
}

void Expect(ExpectedChanges& expected, std::int64_t uid, std::initializer_list<TaskField> fields) {
  ExpectedTaskChange& entry = expected[uid];
  if (entry.Kind != ChangeKind::Changed) return;  // an added task stays added
  for (const TaskField field : fields) {
    if (std::find(entry.Fields.begin(), entry.Fields.end(), field) == entry.Fields.end())
      entry.Fields.push_back(field);
  }
  std::sort(entry.Fields.begin(), entry.Fields.end());
}

void Relink(Plan& plan, std::int64_t index) {
  Task& task = TaskAt(plan, index);
  // An SS link with lag is rare enough in a plan that it never duplicates one there.
  TaskLink link;
  link.PredecessorUID = TaskAt(plan, index - 1).UID;
  link.PredecessorIndex = index - 1;
  link.Type = 3;
  link.LagHours = 8.0f;
  task.Links[static_cast<std::size_t>(task.LinkCount++)] = link;
}

void Reassign(Plan& plan, std::int64_t index) {
  Task& task = TaskAt(plan, index);
  if (task.AssignedCount > 0) {
    float& units = task.AssignedUnits[0];
    units = units > 0.75f ? units / 2 : (units > 0 ? units * 2 : 1.0f);
    return;
  }
  task.AssignedResourceUID[0] = plan.Resources[0].UID;
  task.AssignedUnits[0] = 1.0f;
  task.AssignedCount = 1;
}

void Add(Plan& plan, std::int64_t index) {
  std::int64_t uid = 0, id = 0;
  for (std::int64_t i = 0; i < plan.TaskCount; ++i) {
    uid = std::max(uid, TaskAt(plan, i).UID);
    id = std::max(id, TaskAt(plan, i).ID);
  }
  // The array holds MAX_TASKS records; the last in use moves one place down each time.
  for (std::int64_t i = plan.TaskCount; i > index + 1; --i) TaskAt(plan, i) = std::move(TaskAt(plan, i - 1));
  const Task& after = TaskAt(plan, index);
  Task added;
  added.UID = uid + 1;
  added.ID = id + 1;
  added.Name = "Added check " + std::to_string(uid + 1);
  added.OutlineLevel = after.OutlineLevel;
  added.Start = after.Finish;
  added.Finish = after.Finish + 2;
  added.DurationHours = 16;
  TaskAt(plan, index + 1) = std::move(added);
  ++plan.TaskCount;
  RebuildUidMap(plan);
}

void Remove(Plan& plan, std::int64_t index) {
  for (std::int64_t i = index; i + 1 < plan.TaskCount; ++i) TaskAt(plan, i) = std::move(TaskAt(plan, i + 1));
  --plan.TaskCount;
  RebuildUidMap(plan);
}

}  // namespace

std::int64_t ApplyEdit(Plan& plan, PlanEdit edit, std::int64_t fromIndex, ExpectedChanges& expected) {
  std::int64_t index = std::max<std::int64_t>(fromIndex, 0);
  while (index < plan.TaskCount && !Suits(plan, edit, index)) ++index;
  if (index >= plan.TaskCount) return -1;
  if (edit == PlanEdit::Add && plan.TaskCount >= MAX_TASKS) return -1;
  Task& task = TaskAt(plan, index);
  const std::int64_t uid = task.UID;
  switch (edit) {
    case PlanEdit::Shift:
      task.Start += 7;
      task.Finish += 7;
      Expect(expected, uid, {TaskField::Start, TaskField::Finish});
      break;
    case PlanEdit::Stretch:
      task.Finish += 3;
      task.DurationHours += 24;
      Expect(expected, uid, {TaskField::Finish, TaskField::Duration});
      break;
    case PlanEdit::Rename:
      task.Name += " (revised)";
      Expect(expected, uid, {TaskField::Name});
      break;
    case PlanEdit::Move:
      ++task.OutlineLevel;
      Expect(expected, uid, {TaskField::Parent});
      break;
    case PlanEdit::Progress:
      task.PercentComplete = task.PercentComplete == 50 ? 60 : 50;
      Expect(expected, uid, {TaskField::PercentComplete});
      break;
    case PlanEdit::Relink:
      Relink(plan, index);
      Expect(expected, uid, {TaskField::Predecessors});
      break;
    case PlanEdit::Reassign:
      Reassign(plan, index);
      Expect(expected, uid, {TaskField::Assignments});
      break;
    case PlanEdit::Add:
      Add(plan, index);
      expected[TaskAt(plan, index + 1).UID] = {ChangeKind::Added, {}};
      return index + 1;
    case PlanEdit::Remove: {
      const auto found = expected.find(uid);
      const bool added = found != expected.end() && found->second.Kind == ChangeKind::Added;
      Remove(plan, index);
      // A task added and removed again was never there.
      if (added) {
        expected.erase(uid);
      } else {
        expected[uid] = {ChangeKind::Removed, {}};
      }
      break;
    }
  }
  return index;
}

ExpectedChanges ApplySpreadEdits(Plan& plan, std::int64_t stride) {
  ExpectedChanges expected;
  if (stride < 3) stride = 3;
  std::size_t kind = 0;
  for (std::int64_t index = plan.TaskCount - 2; index > 0; index -= stride) {
    ApplyEdit(plan, static_cast<PlanEdit>(kind % PLAN_EDIT_COUNT), index, expected);
    ++kind;
  }
  return expected;
}

}  // namespace nerin
