// SPDX-License-Identifier: MIT
// The viewer's one set of state: the plan, its messages and the state of the views.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "compare/plan_changes.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "views/change_texts.h"
#include "views/chart_view.h"
#include "views/find.h"
#include "views/hover_summary.h"
#include "views/list_navigation.h"
#include "views/row_model.h"

namespace nerin {

inline constexpr std::int64_t VIEW_GANTT = 0;
inline constexpr std::int64_t VIEW_TASKS = 1;
inline constexpr std::int64_t VIEW_RESOURCES = 2;

struct AppState {
  Plan plan;
  MessageLog log;

  std::int64_t CurrentView = VIEW_GANTT;
  // Last address opened from the command line or the web-address dialog.
  std::string LastAddress;
  bool TaskListFilled = false;
  bool ResourceListFilled = false;
  // The rows of the Tasks list as it was last filled, and whether the critical filter was on
  // then: a list filled under the other setting is refilled when it is next shown.
  TaskListRows listRows;
  bool TaskListCritical = false;
  std::int64_t FindHighlight = -1;
  // The search text of the previous Find, for the whole run; and the plan's names and notes in
  // lower case, made by the first Find after a load.
  std::string LastFindText;
  FindTexts findTexts;
  // On while the search field does not have the keyboard focus.
  bool NavigationKeysMode = false;

  // The Gantt chart: its rows, its view (scale, offsets, task column, scroll bars, splitter
  // drag) and the hover box. The scale and the task column survive loads; a newly loaded plan
  // starts scrolled to its first row and first day (FinishOpen).
  RowModel rows;
  ChartView view;
  HoverState hover;

  // Redraw throttle: elapsed milliseconds of the last chart draw, and whether the next tick of
  // the redraw timer lays the window out again instead of drawing.
  std::int64_t LastDrawTime = 0;
  bool RelayoutPending = false;

  // Feedback flashing on a toolbar button; the button is named by its normal icon, -1 none.
  // Compare with…: what changed since the reference version, while the plan is compared
  // (comparison.Changes points into `changes` then, else it is null).
  std::unique_ptr<PlanChanges> changes;
  ChartComparison comparison;

  std::int64_t FeedbackButton = -1;
  std::int64_t FeedbackIcon = -1;
  std::int64_t FeedbackFlashTicks = 0;
  std::int64_t FeedbackMessageTicks = 0;
  bool FeedbackShowsMessage = false;
};

}  // namespace nerin
