// SPDX-License-Identifier: MIT
// The Gantt chart in the window: drawing and the redraw timer, the chart's commands and its
// pointer events. What each command does to the view is decided in views/; here it is shown.
#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/chart_canvas.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "calendar/local_today.h"
#include "calendar/narrow.h"
#include "calendar/path_text.h"
#include "calendar/text_units.h"
#include "views/chart_export.h"
#include "views/empty_chart.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_image.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// A burst of scroll or zoom events draws at most once in this many milliseconds.
constexpr std::int64_t kRedrawThresholdMs = 15;

int BarValue(std::int64_t value) {
  return NarrowToInt(value, 0);
}

void SetScrollBar(QScrollBar* bar, const ScrollBarState& state) {
  // Moving the bar here is not the user's scroll.
  const QSignalBlocker blocker(bar);
  const int page = std::max(BarValue(state.Page), 1);
  // The bar's own range excludes the page: its last position shows the content's end.
  bar->setRange(0, std::max(BarValue(state.Maximum) - page, 0));
  bar->setPageStep(page);
  bar->setSingleStep(std::max(page / 10, 1));
  bar->setValue(BarValue(state.Position));
}


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
    DrawChart();
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
void MainWindow::DrawChart() {
  controls_.ChartCanvas->DrawNow();
}

void MainWindow::DrawChartContent(ChartPainter& painter, std::int64_t w, std::int64_t h) {
  if (!state_.plan.ProjectLoaded) {
    nerin::DrawEmptyChart(painter, w, h);
    return;
  }
  state_.view.Width = w;
  state_.view.Height = h;
  const ChartFrame frame{state_.plan, state_.rows,        state_.view, w, h, LocalToday(),
                         state_.FindHighlight, &state_.hover};
  nerin::DrawChart(painter, frame);
}

void MainWindow::MeasureChart() {
  state_.view.Width = std::max(controls_.ChartCanvas->width(), 1);
  state_.view.Height = std::max(controls_.ChartCanvas->height(), 1);
}

void MainWindow::ResetFolding() {
  nerin::ResetFolding(state_.rows, state_.plan);
}

void MainWindow::RebuildRows() {
  nerin::RebuildRows(state_.rows, state_.plan);
}

void MainWindow::UpdateScrollMetrics() {
  MeasureChart();
  nerin::UpdateScrollMetrics(state_.view, state_.plan, state_.rows);
  ShowScrollBars();
}

void MainWindow::ShowScrollBars() {
  SetScrollBar(controls_.ChartHScroll, state_.view.HBar);
  SetScrollBar(controls_.ChartVScroll, state_.view.VBar);
}

void MainWindow::ShowViewUpdate(ViewUpdate update) {
  if (update == ViewUpdate::None) {
    return;
  }
  ShowScrollBars();
  if (update == ViewUpdate::DrawNow) {
    DrawNow();
  } else {
    RequestRedraw();
  }
}

void MainWindow::ZoomAroundMiddle(float factor) {
  MeasureChart();
  ShowViewUpdate(ZoomBy(state_.view, state_.plan, state_.rows, factor, TimelineMiddle(state_.view)));
}

void MainWindow::FitVisibleBars() {
  MeasureChart();
  ShowViewUpdate(nerin::FitVisibleBars(state_.view, state_.plan, state_.rows));
}

void MainWindow::CentreOnToday() {
  if (!GanttWithPlan()) {
    return;
  }
  MeasureChart();
  const TodayResult result = nerin::CentreOnToday(state_.view, state_.plan, state_.rows, LocalToday());
  if (result.OutsideMessage) {
    ShowFeedback(ICON_TODAY, ICON_TODAY_FEEDBACK, 3, *result.OutsideMessage);
    return;
  }
  ShowViewUpdate(result.Update);
}

void MainWindow::ToggleCriticalFilter() {
  if (!state_.plan.ProjectLoaded || state_.CurrentView == VIEW_RESOURCES) {
    controls_.CriticalButton->setChecked(state_.rows.CriticalFilter);
    return;
  }
  if (!state_.rows.CriticalFilter && CountCriticalTasks(state_.plan) == 0) {
    controls_.CriticalButton->setChecked(false);
    ShowMessageBox(this, "Critical path", "This plan has no task flagged as critical.", BoxIcon::Information);
    return;
  }
  MeasureChart();
  nerin::SetCriticalFilter(state_.rows, state_.view, state_.plan, !state_.rows.CriticalFilter);
  controls_.CriticalButton->setChecked(state_.rows.CriticalFilter);
  ShowScrollBars();
  if (state_.CurrentView == VIEW_GANTT) {
    DrawChart();
  } else if (state_.CurrentView == VIEW_TASKS) {
    FillTaskList();
    state_.TaskListFilled = true;
  }
}

void MainWindow::SetAllFolded(bool fold) {
  if (!GanttWithPlan()) {
    return;
  }
  MeasureChart();
  ShowViewUpdate(nerin::SetAllFolded(state_.rows, state_.view, state_.plan, fold));
}

void MainWindow::ScrollByKey(std::int64_t command) {
  static constexpr NavigationKey kKeys[] = {NavigationKey::Up,     NavigationKey::Down,     NavigationKey::Left,
                                            NavigationKey::Right,  NavigationKey::PageUp,   NavigationKey::PageDown,
                                            NavigationKey::Home,   NavigationKey::End};
  if (!GanttWithPlan() || command < CMD_KEY_UP || command > CMD_KEY_END) {
    return;
  }
  MeasureChart();
  ShowViewUpdate(nerin::ScrollByKey(state_.view, state_.plan, state_.rows, kKeys[command - CMD_KEY_UP]));
}

void MainWindow::ScrollBarMoved(bool horizontal, int position) {
  HideHoverSummary();
  if (nerin::ScrollBarMoved(state_.view, horizontal, position) != ViewUpdate::None) {
    RequestRedraw();
  }
}

void MainWindow::CanvasPointerMoved(std::int64_t x, std::int64_t y, bool leftHeld) {
  if (!GanttWithPlan()) {
    return;
  }
  controls_.ChartCanvas->ShowResizePointer(NearSplitter(state_.view, x));
  HoverTrack(x, y);
  if (state_.view.SplitterDrag && !leftHeld) {
    EndSplitterDrag();
  } else if (state_.view.SplitterDrag) {
    MeasureChart();
    ShowViewUpdate(SplitterMove(state_.view, state_.plan, state_.rows, x));
  }
}

void MainWindow::CanvasLeftPressed(std::int64_t x, std::int64_t y) {
  if (!GanttWithPlan()) {
    return;
  }
  HideHoverSummary();
  MeasureChart();
  if (ToggleFoldAt(state_.rows, state_.view, state_.plan, x, y)) {
    ShowViewUpdate(ViewUpdate::DrawNow);
  }
  SplitterPress(state_.view, x);
}

void MainWindow::CanvasLeftReleased(std::int64_t x, std::int64_t /*y*/) {
  if (state_.CurrentView != VIEW_GANTT || !state_.view.SplitterDrag) {
    return;
  }
  EndSplitterDrag();
  controls_.ChartCanvas->ShowResizePointer(NearSplitter(state_.view, x));
}

void MainWindow::CanvasDoubleClicked(std::int64_t x, std::int64_t y) {
  if (!GanttWithPlan()) {
    return;
  }
  HideHoverSummary();
  DoubleClickChart(x, y);
}

void MainWindow::CanvasWheel(std::int64_t notches, bool shift, std::int64_t x) {
  if (!GanttWithPlan()) {
    return;
  }
  HideHoverSummary();
  MeasureChart();
  if (shift) {
    ShowViewUpdate(WheelZoom(state_.view, state_.plan, state_.rows, notches, x));
  } else {
    ShowViewUpdate(WheelScroll(state_.view, state_.plan, state_.rows, notches));
  }
}

void MainWindow::CanvasLeft(bool leftHeld) {
  HideHoverSummary();
  if (state_.view.SplitterDrag && !leftHeld) {
    EndSplitterDrag();
  }
}

void MainWindow::EndSplitterDrag() {
  MeasureChart();
  ShowViewUpdate(SplitterEnd(state_.view, state_.plan, state_.rows));
  // Without a plan or off the Gantt view there is nothing to draw; the drag still ends.
}

void MainWindow::ExportChartImage() {
  if (!state_.plan.ProjectLoaded || state_.CurrentView != VIEW_GANTT) {
    const std::string_view refusal = state_.plan.ProjectLoaded ? EXPORT_NOT_GANTT_TEXT : EXPORT_NO_PLAN_TEXT;
    ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, 3, std::string(refusal));
    return;
  }
  QFileDialog dialog(this, ToQString(std::string(EXPORT_DIALOG_TITLE)));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("PNG image (*.png)"));
  dialog.setDefaultSuffix(QString());
  dialog.selectFile(ToQString(SafeFileName(state_.plan.ProjectName, "gantt-chart") + ".png"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return;
  }
  const std::string path = WithPngExtension(PathFromQString(dialog.selectedFiles().constFirst()));
  MeasureChart();
  ExportResult result;
  {
    // The export blocks the window for a moment on a large chart.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ChartFrame frame{state_.plan,          state_.rows, state_.view, state_.view.Width, state_.view.Height,
                           LocalToday(),         state_.FindHighlight,     nullptr};
    result = ExportWholeChart(frame, fonts_, path);
    QApplication::restoreOverrideCursor();
  }
  const std::string report = ExportReportText(result);
  // One line fits the status line; the two-line reports need a box of their own.
  if (report.find('\n') == std::string::npos) {
    const std::int64_t flashes = result.Status == ExportStatus::Saved ? 2 : 3;
    ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, flashes, report);
  } else {
    ShowMessageBox(this, std::string(EXPORT_DIALOG_TITLE), report,
                   result.Status == ExportStatus::Saved ? BoxIcon::Information : BoxIcon::Error);
  }
}

}  // namespace nerin
