// Drawing the Gantt view and the redraw timer, and the commands of the chart, the lists, Find
// and the help windows.
#include "app/chart_canvas.h"
#include "app/main_window.h"

#include <QToolButton>

namespace nerin {

namespace {

// A burst of scroll or zoom events draws at most once in this many milliseconds.
constexpr std::int64_t kRedrawThresholdMs = 15;

}  // namespace

void MainWindow::RequestRedraw() {
  if (clock_.elapsed() - state_.LastDrawTime > kRedrawThresholdMs) {
    redrawTimer_.stop();
    DrawNow();
  } else if (!redrawTimer_.isActive()) {
    redrawTimer_.start();
  }
}

void MainWindow::DrawNow() {
  if (state_.CurrentView != VIEW_GANTT) {
    return;
  }
  if (state_.plan.ProjectLoaded) {
    DrawChart();
  } else {
    DrawEmptyChart();
  }
  state_.LastDrawTime = clock_.elapsed();
}

void MainWindow::RequestRelayout() {
  state_.RelayoutPending = true;
  if (!redrawTimer_.isActive()) {
    redrawTimer_.start();
  }
}

void MainWindow::RedrawTimerTick() {
  redrawTimer_.stop();
  if (state_.RelayoutPending) {
    state_.RelayoutPending = false;
    LayoutMainWindow();
  } else {
    DrawNow();
  }
}

// The canvas decides by the plan whether it shows the chart or the placeholder.
void MainWindow::DrawEmptyChart() {
  controls_.ChartCanvas->DrawNow();
}

void MainWindow::DrawChart() {
  controls_.ChartCanvas->DrawNow();
}

// ---------------------------------------------------------------------------------------------
// Not built yet: each of these does nothing until its view arrives (row model, timeline
// navigation, lists, Find, hover summary, task details, image export, help and about).
// ---------------------------------------------------------------------------------------------

void MainWindow::ResetFolding() {}

void MainWindow::RebuildRows() {}

void MainWindow::UpdateScrollMetrics() {}

void MainWindow::ZoomAroundMiddle(float /*factor*/) {}

void MainWindow::FitVisibleBars() {}

void MainWindow::CentreOnToday() {}

// The button stays as the filter is: off.
void MainWindow::ToggleCriticalFilter() {
  controls_.CriticalButton->setChecked(state_.rows.CriticalFilter);
}

void MainWindow::SetAllFolded(bool /*fold*/) {}

void MainWindow::ExportChartImage() {}

void MainWindow::ScrollByKey(std::int64_t /*command*/) {}

}  // namespace nerin
