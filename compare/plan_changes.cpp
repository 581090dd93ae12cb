// SPDX-License-Identifier: MIT
#include "compare/plan_changes.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "calendar/day_ordinal.h"
#include "calendar/value_text.h"

namespace nerin {
namespace {

constexpr std::array<std::string_view, TASK_FIELD_COUNT> FIELD_KEYS = {
    "name",      "parent",   "start",          "finish",          "duration",     "percent_complete",
    "milestone", "critical", "baseline_start", "baseline_finish", "predecessors", "assignments",
    "note"};
constexpr std::array<std::string_view, TASK_FIELD_COUNT> FIELD_LABELS = {
    "Name",     "Parent",         "Start",           "Finish",       "Duration",    "% complete", "Milestone",
    "Critical", "Baseline start", "Baseline finish", "Predecessors", "Assignments", "Note"};

// Floats are compared in hundredths, the precision every output shows; rounding through
// TruncateToInteger keeps infinities and NaNs read from a file well-defined.
std::int64_t Hundredths(float value) {
  const double scaled = static_cast<double>(value) * 100.0;
  return TruncateToInteger(scaled + (scaled < 0 ? -0.5 : 0.5));
}

std::string HundredthsText(std::int64_t hundredths) {
  const bool negative = hundredths < 0;
  // Unsigned, so that the most negative value has a magnitude too.
  const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(hundredths)
                                           : static_cast<std::uint64_t>(hundredths);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 100);
  const std::uint64_t fraction = magnitude % 100;
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

// A predecessor link as compared: who, how, and how long after.
struct LinkKey {
  std::int64_t uid;
  LinkType type;
  std::int64_t lag;  // hundredths of an hour
  auto operator<=>(const LinkKey&) const = default;
};

struct AssignmentKey {
  std::int64_t resource;
  std::int64_t percent;
  auto operator<=>(const AssignmentKey&) const = default;
};

template <typename Key>
struct KeyList {
  std::vector<Key> keys;
  std::size_t count = 0;
  bool operator==(const KeyList& other) const { return keys == other.keys; }
  void Sort() { std::sort(keys.begin(), keys.end()); }
};

KeyList<LinkKey> LinksOf(const Task& task) {
  KeyList<LinkKey> list;
  list.keys.reserve(task.Links.size());
  for (const TaskLink& link : task.Links) list.keys.push_back({link.PredecessorUID, link.Type, Hundredths(link.LagHours)});
  list.count = list.keys.size();
  return list;
}

KeyList<AssignmentKey> AssignmentsOf(const Task& task) {
  KeyList<AssignmentKey> list;
  list.keys.reserve(task.Assigned.size());
  for (const TaskAssignment& assigned : task.Assigned) {
    list.keys.push_back({assigned.ResourceUID, Hundredths(assigned.Units)});
  }
  list.count = list.keys.size();
  return list;
}

std::string LinksText(KeyList<LinkKey> list) {
  list.Sort();
  std::string text;
  for (std::size_t i = 0; i < list.count; ++i) {
    const LinkKey& key = list.keys[i];
    if (i > 0) text += ';';
    text += IntegerText(key.uid) + LinkTypeName(key.type);
    if (key.lag > 0) text += '+';
    if (key.lag != 0) text += HundredthsText(key.lag) + "h";
  }
  return text;
}

std::string AssignmentsText(KeyList<AssignmentKey> list) {
  list.Sort();
  std::string text;
  for (std::size_t i = 0; i < list.count; ++i) {
    if (i > 0) text += ';';
    text += IntegerText(list.keys[i].resource) + "*" + IntegerText(list.keys[i].percent) + "%";
  }
  return text;
}

// Parent UID (0 at the top) of every task, from the outline levels in file order: the
// nearest task above with a lower level, as the chart nests them.
std::vector<std::int64_t> ParentUids(const Plan& plan) {
  const auto count = plan.Tasks.size();
  // -1 for a top-level task: 0 is a UID like any other, which a tool may give a real task.
  std::vector<std::int64_t> parents(count, -1);
  std::vector<std::size_t> open;  // the chain of tasks that can still take children
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t level = plan.Tasks[i].OutlineLevel;
    while (!open.empty() && plan.Tasks[open.back()].OutlineLevel >= level) open.pop_back();
    if (!open.empty()) parents[i] = plan.Tasks[open.back()].UID;
    open.push_back(i);
  }
  return parents;
}

std::string ParentText(std::int64_t parentUid, std::int64_t level) {
  return (parentUid >= 0 ? IntegerText(parentUid) : std::string("-")) + " (level " + IntegerText(level) + ")";
}

std::string FlagText(std::uint8_t flag) {
  return flag != 0 ? "1" : "0";
}

std::int64_t TaskCountOf(const Plan& plan) {
  return plan.ProjectLoaded ? plan.TaskCount() : 0;
}

std::int64_t ResourceCountOf(const Plan& plan) {
  return plan.ProjectLoaded ? plan.ResourceCount() : 0;
}

class TaskComparer {
 public:
  TaskComparer(const Plan& reference, const Plan& subject)
      : reference_(reference),
        subject_(subject),
        referenceParents_(ParentUids(reference)),
        subjectParents_(ParentUids(subject)) {}

  // The differing fields of one matched task, in field order; `change` stays without
  // fields when the task is unchanged.
  void Compare(std::size_t r, std::size_t s, TaskChange& change) const {
    const Task& a = reference_.Tasks[r];
    const Task& b = subject_.Tasks[s];
    if (a.Name != b.Name) Add(change, TaskField::Name, a.Name, b.Name);
    if (referenceParents_[r] != subjectParents_[s] || a.OutlineLevel != b.OutlineLevel) {
      Add(change, TaskField::Parent, ParentText(referenceParents_[r], a.OutlineLevel),
          ParentText(subjectParents_[s], b.OutlineLevel));
    }
    CompareDay(change, TaskField::Start, a.Start, b.Start);
    CompareDay(change, TaskField::Finish, a.Finish, b.Finish);
    if (Hundredths(a.DurationHours) != Hundredths(b.DurationHours)) {
      Add(change, TaskField::Duration, HoursText(a.DurationHours), HoursText(b.DurationHours));
      change.Fields.back().OldShown = TaskDurationText(reference_, static_cast<std::int64_t>(r));
      change.Fields.back().NewShown = TaskDurationText(subject_, static_cast<std::int64_t>(s));
    }
    if (a.PercentComplete != b.PercentComplete) {
      Add(change, TaskField::PercentComplete, IntegerText(a.PercentComplete), IntegerText(b.PercentComplete));
    }
    if (a.Milestone != b.Milestone)
      Add(change, TaskField::Milestone, FlagText(a.Milestone), FlagText(b.Milestone));
    if (a.Critical != b.Critical)
      Add(change, TaskField::Critical, FlagText(a.Critical), FlagText(b.Critical));
    CompareDay(change, TaskField::BaselineStart, a.BaselineStart, b.BaselineStart);
    CompareDay(change, TaskField::BaselineFinish, a.BaselineFinish, b.BaselineFinish);
    CompareSets(change, TaskField::Predecessors, LinksOf(a), LinksOf(b), LinksText);
    CompareSets(change, TaskField::Assignments, AssignmentsOf(a), AssignmentsOf(b), AssignmentsText);
    if (a.Notes != b.Notes) Add(change, TaskField::Note, a.Notes, b.Notes);
    if (a.Start > 0 && b.Start > 0) change.StartShiftDays = b.Start - a.Start;
    if (a.Finish > 0 && b.Finish > 0) change.FinishShiftDays = b.Finish - a.Finish;
  }

 private:
  static void Add(TaskChange& change, TaskField field, std::string old, std::string now) {
    change.Fields.push_back(FieldChange{field, std::move(old), std::move(now), 0, 0});
  }

  static void CompareDay(TaskChange& change, TaskField field, DayOrdinal a, DayOrdinal b) {
    // Every date below 1 means "no date", whatever its value.
    const DayOrdinal old = a > 0 ? a : 0;
    const DayOrdinal now = b > 0 ? b : 0;
    if (old == now) return;
    change.Fields.push_back(FieldChange{field, IsoDateText(old), IsoDateText(now), old, now});
  }

  template <typename Key, typename Text>
  static void CompareSets(TaskChange& change, TaskField field, KeyList<Key> a, KeyList<Key> b, Text text) {
    if (a == b) return;  // the common case: the same list in the same order
    a.Sort();
    b.Sort();
    if (a == b) return;
    Add(change, field, text(a), text(b));
  }

  const Plan& reference_;
  const Plan& subject_;
  std::vector<std::int64_t> referenceParents_;
  std::vector<std::int64_t> subjectParents_;
};

void CountTask(PlanChanges& changes, const TaskChange& change) {
  switch (change.Kind) {
    case ChangeKind::Added:
      ++changes.AddedCount;
      break;
    case ChangeKind::Removed:
      ++changes.RemovedCount;
      break;
    case ChangeKind::Changed:
      if (change.Moved()) ++changes.MovedCount;
      if (change.Has(TaskField::Name)) ++changes.RenamedCount;
      if (!change.Moved() && !change.Has(TaskField::Name)) ++changes.OtherCount;
      break;
  }
}

void CompareResources(const Plan& reference, const Plan& subject, PlanChanges& changes) {
  const std::int64_t subjectCount = ResourceCountOf(subject);
  for (std::int64_t s = 0; s < subjectCount; ++s) {
    const Resource& now = subject.Resources[static_cast<std::size_t>(s)];
    const std::int64_t r = reference.ProjectLoaded ? ResourceIndex(reference, now.UID) : -1;
    if (r < 0) {
      changes.Resources.push_back({ChangeKind::Added, now.UID, now.ID, {}, now.Name});
      ++changes.ResourcesAdded;
    } else if (const Resource& old = reference.Resources[static_cast<std::size_t>(r)]; old.Name != now.Name) {
      changes.Resources.push_back({ChangeKind::Changed, now.UID, now.ID, old.Name, now.Name});
      ++changes.ResourcesRenamed;
    }
  }
  const std::int64_t referenceCount = ResourceCountOf(reference);
  for (std::int64_t r = 0; r < referenceCount; ++r) {
    const Resource& old = reference.Resources[static_cast<std::size_t>(r)];
    if (subject.ProjectLoaded && ResourceIndex(subject, old.UID) >= 0) continue;
    changes.Resources.push_back({ChangeKind::Removed, old.UID, old.ID, old.Name, {}});
    ++changes.ResourcesRemoved;
  }
}

}  // namespace

std::string_view TaskFieldKey(TaskField field) {
  return FIELD_KEYS[static_cast<std::size_t>(field)];
}

std::string_view TaskFieldLabel(TaskField field) {
  return FIELD_LABELS[static_cast<std::size_t>(field)];
}

bool TaskChange::Has(TaskField field) const {
  return Find(field) != nullptr;
}

const FieldChange* TaskChange::Find(TaskField field) const {
  for (const FieldChange& f : Fields) {
    if (f.Field == field) return &f;
  }
  return nullptr;
}

RowMark MarkOf(const TaskChange& change) {
  if (change.Kind == ChangeKind::Added) return RowMark::Added;
  if (change.Kind == ChangeKind::Removed) return RowMark::None;
  const std::int64_t shift = change.FinishShiftDays != 0 ? change.FinishShiftDays : change.StartShiftDays;
  if (shift > 0) return RowMark::Later;
  if (shift < 0) return RowMark::Earlier;
  return change.Fields.empty() ? RowMark::None : RowMark::Other;
}

const TaskChange* PlanChanges::ChangeOf(std::int64_t subjectIndex) const {
  if (subjectIndex < 0 || static_cast<std::size_t>(subjectIndex) >= ChangeOfSubjectTask.size())
    return nullptr;
  const std::int64_t entry = ChangeOfSubjectTask[static_cast<std::size_t>(subjectIndex)];
  return entry < 0 ? nullptr : &Tasks[static_cast<std::size_t>(entry)];
}

PlanChanges ComparePlans(const Plan& reference, const Plan& subject) {
  PlanChanges changes;
  if (reference.ProjectLoaded) {
    changes.ReferenceStart = std::max<DayOrdinal>(reference.ProjectStart, 0);
    changes.ReferenceFinish = std::max<DayOrdinal>(reference.ProjectFinish, 0);
  }
  if (subject.ProjectLoaded) {
    changes.SubjectStart = std::max<DayOrdinal>(subject.ProjectStart, 0);
    changes.SubjectFinish = std::max<DayOrdinal>(subject.ProjectFinish, 0);
  }
  const std::int64_t subjectCount = TaskCountOf(subject);
  const std::int64_t referenceCount = TaskCountOf(reference);
  changes.ChangeOfSubjectTask.assign(static_cast<std::size_t>(subjectCount), -1);
  changes.ReferenceDatesOfSubjectTask.assign(static_cast<std::size_t>(subjectCount), ReferenceDates{});

  const TaskComparer comparer(reference, subject);
  TaskChange change;
  for (std::int64_t s = 0; s < subjectCount; ++s) {
    const Task& task = subject.Tasks[static_cast<std::size_t>(s)];
    const std::int64_t r = referenceCount > 0 ? TaskIndex(reference, task.UID) : -1;
    change = TaskChange{};
    change.UID = task.UID;
    change.ID = task.ID;
    change.SubjectIndex = s;
    if (r < 0 || r >= referenceCount) {
      change.Kind = ChangeKind::Added;
    } else {
      const Task& old = reference.Tasks[static_cast<std::size_t>(r)];
      changes.ReferenceDatesOfSubjectTask[static_cast<std::size_t>(s)] = {old.Start, old.Finish};
      change.ReferenceIndex = r;
      comparer.Compare(static_cast<std::size_t>(r), static_cast<std::size_t>(s), change);
      if (change.Fields.empty()) continue;
    }
    change.Name = task.Name;
    CountTask(changes, change);
    changes.ChangeOfSubjectTask[static_cast<std::size_t>(s)] =
        static_cast<std::int64_t>(changes.Tasks.size());
    changes.Tasks.push_back(std::move(change));
  }
  for (std::int64_t r = 0; r < referenceCount; ++r) {
    const Task& old = reference.Tasks[static_cast<std::size_t>(r)];
    if (subjectCount > 0 && TaskIndex(subject, old.UID) >= 0) continue;
    TaskChange removed;
    removed.Kind = ChangeKind::Removed;
    removed.UID = old.UID;
    removed.ID = old.ID;
    removed.Name = old.Name;
    removed.ReferenceIndex = r;
    CountTask(changes, removed);
    changes.Tasks.push_back(std::move(removed));
  }
  CompareResources(reference, subject, changes);
  return changes;
}

std::string HoursText(float hours) {
  return HundredthsText(Hundredths(hours));
}

std::string ShiftDaysText(std::int64_t days) {
  std::string text = days > 0 ? "+" : "";
  text += IntegerText(days);
  text += (days == 1 || days == -1) ? " day" : " days";
  return text;
}

}  // namespace nerin
