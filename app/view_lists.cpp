// The Tasks and Resources lists and Find.
#include "app/main_window.h"

namespace nerin {

void MainWindow::FillTaskList() {}

void MainWindow::FillResourceList() {}

void MainWindow::FitOrRefresh() {
  if (state_.CurrentView == VIEW_GANTT && state_.plan.ProjectLoaded) {
    FitVisibleBars();
  }
}

void MainWindow::FindNext() {}

void MainWindow::NavigateList(std::int64_t /*command*/) {}

}  // namespace nerin
