// SPDX-License-Identifier: MIT
// The viewer's one set of state: the plan, its messages, the comparison and the session over
// them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "compare/plan_changes.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "views/change_texts.h"
#include "views/viewer_session.h"

namespace nerin {

// The views by the names the window's commands used before the session held them.
inline constexpr ViewKind VIEW_GANTT = ViewKind::Gantt;
inline constexpr ViewKind VIEW_TASKS = ViewKind::Tasks;
inline constexpr ViewKind VIEW_RESOURCES = ViewKind::Resources;

struct AppState {
  Plan plan;
  MessageLog log;
  // Everything the window shows and decides: chart, lists, Find, hover, feedback, opening.
  ViewerSession session{plan};

  // The session's state by the names the print, compare and reload commands use; they are the
  // session's own fields, not copies.
  RowModel& rows = session.Rows;
  ChartView& view = session.View;
  HoverState& hover = session.Hover;
  TaskListRows& listRows = session.ListRows;
  ViewKind& CurrentView = session.CurrentView;
  bool& TaskListFilled = session.TaskListFilled;
  bool& ResourceListFilled = session.ResourceListFilled;
  bool& TaskListCritical = session.TaskListCritical;
  std::int64_t& FindHighlight = session.FindHighlight;
  bool& NavigationKeysMode = session.NavigationKeysMode;
  std::shared_ptr<const PlanChanges>& changes = session.Changes;
  ChartComparison& comparison = session.Comparison;
};

}  // namespace nerin
