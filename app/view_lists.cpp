// The Tasks and Resources lists, Find, the task details window and the hover summary.
#include "app/main_window.h"

namespace nerin {

void MainWindow::HideHoverSummary() {}

void MainWindow::FillTaskList() {}

void MainWindow::FillResourceList() {}

void MainWindow::FitOrRefresh() {
  if (state_.CurrentView == VIEW_GANTT && state_.plan.ProjectLoaded) {
    FitVisibleBars();
  }
}

void MainWindow::FindNext() {}

void MainWindow::NavigateList(std::int64_t /*command*/) {}

void MainWindow::OpenTaskDetailsFromList() {}

}  // namespace nerin
