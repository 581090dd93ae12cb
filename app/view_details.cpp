// SPDX-License-Identifier: MIT
// The task details window and the hover summary.
#include <algorithm>

#include <QToolButton>
#include <QTreeView>

#include "app/list_models.h"
#include "app/main_window.h"
#include "app/task_details_window.h"
#include "views/task_details_text.h"

namespace nerin {

void MainWindow::HoverTrack(std::int64_t x, std::int64_t y) {
  MeasureChart();
  const std::int64_t task =
      GanttWithPlan() ? HoverTaskAt(state_.plan, state_.rows, state_.view, x, y) : std::int64_t{-1};
  const HoverActions actions = HoverMoved(state_.hover, task, x, y);
  if (actions.StopTimer) {
    hoverTimer_.stop();
  }
  if (actions.DrawChart) {
    DrawChart();
  }
  if (actions.StartTimer) {
    hoverTimer_.start();
  }
}

void MainWindow::HoverTimerTick() {
  const HoverActions actions = HoverTimerRanOut(state_.hover, state_.plan, GanttWithPlan());
  if (actions.StopTimer) {
    hoverTimer_.stop();
  }
  if (actions.DrawChart) {
    DrawChart();
  }
}

void MainWindow::HideHoverSummary() {
  const HoverActions actions = HideHover(state_.hover);
  if (actions.StopTimer) {
    hoverTimer_.stop();
  }
  if (actions.DrawChart && GanttWithPlan()) {
    DrawChart();
  }
}

void MainWindow::DoubleClickChart(std::int64_t x, std::int64_t y) {
  if (!GanttWithPlan()) {
    return;
  }
  MeasureChart();
  const std::int64_t task = DetailsTaskAt(state_.plan, state_.rows, state_.view, x, y);
  if (task >= 0) {
    OpenTaskDetails(task);
  }
}

void MainWindow::OpenTaskDetails(std::int64_t task) {
  if (!state_.plan.ProjectLoaded || task < 0 || task >= std::min(state_.plan.TaskCount, MAX_TASKS)) {
    return;
  }
  HideHoverSummary();
  // Following a link brings the chart to the linked task: its summaries unfolded, the critical
  // filter off when that hid it, its row in the middle.
  const auto goTo = [this](std::int64_t target) {
    if (RevealAndOpenTask(state_.rows, state_.plan, target)) {
      controls_.CriticalButton->setChecked(false);
      if (state_.CurrentView == VIEW_TASKS) {
        FillTaskList();
        state_.TaskListFilled = true;
      } else {
        // The Tasks list follows the filter when it is next shown.
        state_.TaskListFilled = false;
      }
    }
    MeasureChart();
    ScrollToTask(state_.view, state_.plan, state_.rows, target);
    UpdateScrollMetrics();
    DrawNow();
  };
  TaskDetailsWindow window(state_.plan, task, goTo, this, Comparing() ? &state_.comparison : nullptr);
  window.exec();
  activateWindow();
}

void MainWindow::OpenTaskDetailsFromList() {
  OpenTaskDetails(ListRowTaskAt(state_.listRows, SelectedRow(controls_.TaskList)));
}

}  // namespace nerin
