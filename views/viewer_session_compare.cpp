// SPDX-License-Identifier: MIT
// The session's Compare with…: asking for the reference, showing what changed since it,
// stopping, and matching it again against a plan read anew.
#include <memory>

#include "views/viewer_session_step.h"

namespace nerin::session {

// The toggle, the Tasks list's change column, the status line and the chart as the comparison
// stands.
void ShowComparison(Step& step) {
  step.out.Toolbar.CompareChecked = Comparing(step.s);
  step.out.Lists.ShowChanges = true;
  if (step.Loaded()) step.out.Status.Compose = true;
  if (GanttWithPlan(step.s)) RequestRedraw(step);
}

void StopComparing(Step& step) {
  SessionState& s = step.s;
  const bool was = Comparing(s);
  s.Comparison = ChartComparison{};
  s.Changes.reset();
  s.Reference.reset();
  if (was) ShowComparison(step);
}

// The reference is asked for only once a plan is there to compare it with.
void StartComparing(Step& step, WindowAction dialog) {
  ShowComparison(step);  // the button stays unchecked until a comparison is there
  if (!step.Loaded()) {
    step.out.Request =
        MessageBoxRequest{"Compare with", "Open a plan first; it is then compared with another version of it.", false};
    return;
  }
  step.out.Request = Dialog(step.s, dialog);
}

void CompareAgain(Step& step) {
  SessionState& s = step.s;
  if (!s.Reference || !step.Loaded()) {
    StopComparing(step);
    return;
  }
  s.Changes = std::make_shared<const PlanChanges>(ComparePlans(*s.Reference, *s.Shown));
  s.Comparison.Changes = s.Changes.get();
  ShowComparison(step);
}

void CompareFinished(Step& step, const CompareFinishedEvent& event) {
  SessionState& s = step.s;
  const std::optional<LoadUnderWay>& load = s.Opening.Load;
  if (!load || !load->Reference() || load->Source != event.Source) return;
  const std::string name = load->Name;
  s.Opening.Load.reset();
  step.out.Timers.Progress = TimerAction::Stop;
  step.out.Status.Compose = true;
  // A reference that does not load, or arrives without a plan shown, leaves the plan shown and
  // its comparison as they were.
  if (!event.Reference || !step.Loaded()) {
    if (!event.Reference) step.out.Request = MessagesWindowRequest{OpenFailedTitle(name), event.Messages};
    ShowComparison(step);
    return;
  }
  s.Reference = event.Reference;
  s.Comparison.ReferenceName = name;
  CompareAgain(step);
}

bool EscapeWanted(const SessionState& s) {
  return Loading(s) || Comparing(s);
}

}  // namespace nerin::session
