// SPDX-License-Identifier: MIT
// The window as the session's adapter: toolkit events become session events with the clock's
// time, and the session's effects become widget calls. Nothing is decided here.
#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "app/chart_canvas.h"
#include "app/list_models.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "app/print_dialogs.h"
#include "app/status_text.h"
#include "app/task_details_window.h"
#include "calendar/local_today.h"
#include "calendar/narrow.h"
#include "calendar/path_text.h"
#include "views/chart_colours.h"
#include "views/chart_export.h"
#include "views/empty_chart.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_image.h"
#include "views/qt/qt_text.h"

namespace nerin {

SessionEvent MainWindow::Event(EventKind kind) const {
  SessionEvent event;
  event.Kind = kind;
  event.Now = clock_.elapsed();
  event.Today = LocalToday();
  return event;
}

void MainWindow::Send(SessionEvent event) {
  event.Now = clock_.elapsed();
  event.Today = LocalToday();
  if (event.Kind == EventKind::Command && event.Cmd == Command::FindNext) {
    event.SearchText = FromQString(controls_.SearchField->text());
  }
  if (event.Kind == EventKind::Command && event.Cmd == Command::Copy) event.Rows = SelectedListRows();
  ShowEffects(Apply(session_, event));
}

void MainWindow::RunCommand(Command command) {
  SessionEvent event = Event(EventKind::Command);
  event.Cmd = command;
  Send(event);
}

void MainWindow::RunKey(NavigationKey key) {
  SessionEvent event = Event(EventKind::NavigationKey);
  event.Key = key;
  Send(event);
}

void MainWindow::SwitchView(ViewKind view) {
  SessionEvent event = Event(EventKind::TabChanged);
  event.View = view;
  Send(event);
}

void MainWindow::RequestRelayout() {
  ShowEffects(RelayoutSoon(session_));
}

void MainWindow::CanvasPointerMoved(std::int64_t x, std::int64_t y, bool leftHeld) {
  Send(PointerEvent(EventKind::PointerMove, x, y, leftHeld));
}

void MainWindow::CanvasLeftPressed(std::int64_t x, std::int64_t y) {
  Send(PointerEvent(EventKind::Press, x, y));
}

void MainWindow::CanvasLeftReleased(std::int64_t x, std::int64_t y) {
  Send(PointerEvent(EventKind::Release, x, y));
}

void MainWindow::CanvasDoubleClicked(std::int64_t x, std::int64_t y) {
  Send(PointerEvent(EventKind::DoubleClick, x, y));
}

void MainWindow::CanvasWheel(std::int64_t notches, bool shift, std::int64_t x) {
  Send(WheelEvent(notches, shift, x));
}

void MainWindow::CanvasLeft(bool leftHeld) {
  Send(PointerEvent(EventKind::Leave, 0, 0, leftHeld));
}

void MainWindow::ShowEffects(const SessionEffects& effects) {
  const bool nested = showingEffects_;
  showingEffects_ = true;
  // A refill starts a list at its top; the rows that were in view come back into view.
  const ListSelection* keep = effects.Select && effects.Select->KeepTopRow ? &*effects.Select : nullptr;
  const std::int64_t topRow = keep != nullptr ? ListOf(keep->List)->indexAt(QPoint(0, 0)).row() : -1;
  if (effects.EmptyLists) {
    taskListModel_->Clear();
    resourceListModel_->Clear();
  }
  if (effects.FillTaskList) taskListModel_->ShowRows();
  if (effects.FillResourceList) resourceListModel_->Fill();
  for (const SortIndicator& indicator : effects.SortIndicators) {
    const bool sorted = indicator.Sort.Direction != SortDirection::PlanOrder;
    ListOf(indicator.List)->header()->setSortIndicator(
        sorted ? NarrowToInt(indicator.Sort.Column, -1) : -1,
        indicator.Sort.Direction == SortDirection::Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
  if (keep != nullptr && topRow >= 0 && topRow < ListOf(keep->List)->model()->rowCount()) {
    ListOf(keep->List)->scrollTo(ListOf(keep->List)->model()->index(NarrowToInt(topRow), 0),
                                 QAbstractItemView::PositionAtTop);
  }
  if (effects.ShowScrollBars) {
    ShowScrollBar(controls_.ChartHScroll, session_.View.HBar);
    ShowScrollBar(controls_.ChartVScroll, session_.View.VBar);
  }
  if (effects.CriticalChecked) controls_.CriticalButton->setChecked(*effects.CriticalChecked);
  ShowComparisonEffects(effects);
  if (effects.ShowTab) {
    const QSignalBlocker blocker(controls_.ViewTabs);
    controls_.ViewTabs->setCurrentIndex(static_cast<int>(*effects.ShowTab));
  }
  if (effects.Draw) controls_.ChartCanvas->DrawNow();
  if (effects.Select) ShowListSelection(controls_, *effects.Select);
  if (effects.ResizePointer) controls_.ChartCanvas->ShowResizePointer(*effects.ResizePointer);
  if (effects.NavigationKeys) SetNavigationKeys(*effects.NavigationKeys);
  RunTimer(hoverTimer_, effects.HoverTimer);
  RunTimer(redrawTimer_, effects.RedrawTimer);
  RunTimer(feedbackTimer_, effects.FeedbackTimer);
  for (const ButtonIcon& icon : effects.ButtonIcons) {
    if (QToolButton* button = ButtonOfIcon(controls_, icon.Button)) button->setIcon(ToolbarIcon(icon.Icon));
  }
  if (effects.FeedbackMessage) SetStatusLine(*effects.FeedbackMessage, STATUS_WARNING_BACKGROUND);
  if (effects.RestoreStatus) UpdateStatusField();
  showingEffects_ = nested;
  if (effects.Relayout) LayoutMainWindow();
  if (effects.Box) {
    ShowMessageBox(this, effects.Box->Title, effects.Box->Text,
                   effects.Box->Error ? BoxIcon::Error : BoxIcon::Information);
  }
  if (effects.OpenDetails >= 0) OpenTaskDetails(effects.OpenDetails);
  if (effects.Clipboard) QGuiApplication::clipboard()->setText(ToQString(*effects.Clipboard));
  OpenWindow(effects.Open);
  if (effects.ReloadSource) ReloadShownPlan();
}

void MainWindow::OpenWindow(WindowAction action) {
  switch (action) {
    case WindowAction::None:
      return;
    case WindowAction::OpenFileDialog:
      OpenPlanFile();
      return;
    case WindowAction::OpenAddressDialog:
      OpenPlanAddress();
      return;
    case WindowAction::SaveModelDump:
      SaveModelDump();
      return;
    case WindowAction::ExportChart:
      ExportChartImage();
      return;
    case WindowAction::Help:
      ShowHelp();
      return;
    case WindowAction::About:
      ShowAbout();
      return;
    case WindowAction::MessagesWindow:
      ShowMessagesFromButton();
      return;
    case WindowAction::Print:
      PrintChart();
      return;
    case WindowAction::PrintPreview:
      PrintPreviewChart();
      return;
    case WindowAction::Compare:
      CompareWithFile();
      return;
    case WindowAction::CompareAddress:
      CompareWithAddress();
      return;
    case WindowAction::StopComparing:
      // The session stops comparing itself.
      return;
    case WindowAction::ExportList:
      ExportListCsv();
      return;
  }
}

void MainWindow::DrawChartContent(ChartPainter& painter, std::int64_t w, std::int64_t h) {
  if (!state_.plan.ProjectLoaded) {
    // While a plan is being opened, "No project loaded" would be wrong: the status line says
    // what is happening, the chart stays blank.
    if (opening_) {
      painter.FillRect(0, 0, w, h, ChartBackground);
    } else {
      DrawEmptyChart(painter, w, h);
    }
    return;
  }
  ChartFrame frame = ShownFrame();
  frame.Width = w;
  frame.Height = h;
  DrawChart(painter, frame);
}

void MainWindow::OpenTaskDetails(std::int64_t task) {
  // Following a link moves the chart behind the details window, which stays open.
  const auto goTo = [this](std::int64_t target) {
    SessionEvent event = Event(EventKind::FollowLink);
    event.Row = target;
    Send(event);
  };
  TaskDetailsWindow window(state_.plan, task, goTo, this, Comparing() ? &state_.comparison : nullptr);
  window.exec();
  activateWindow();
}

void MainWindow::ExportChartImage() {
  const std::optional<ChartFileChoice> choice = AskForChartFile(this, DialogFolder(), state_.plan.ProjectName);
  if (!choice) {
    return;
  }
  RememberFolder(choice->File);
  const std::string chosen = PathFromQString(choice->File);
  if (ExportAsPdf(chosen, choice->PdfChosen)) {
    ExportChartPdfFile(WithPdfExtension(chosen));
    return;
  }
  const std::string path = WithPngExtension(chosen);
  ExportResult result;
  {
    // The export blocks the window for a moment on a large chart.
    const BusyPointer busy;
    // The image shows what the chart shows, a comparison included.
    result = ExportWholeChart(ShownFrame(), fonts_, path);
  }
  ShowEffects(ReportChartSaved(session_, std::string(EXPORT_DIALOG_TITLE), ExportReportText(result),
                               result.Status == ExportStatus::Saved, false));
}

void MainWindow::ShowFeedback(std::int64_t buttonIcon, std::int64_t feedbackIcon, std::int64_t flashes,
                              const std::string& message) {
  ShowEffects(nerin::ShowFeedback(session_, static_cast<FeedbackButton>(buttonIcon), feedbackIcon, flashes, message));
}

void MainWindow::HideHoverSummary() {
  ShowEffects(PutHoverAway(session_));
}

void MainWindow::RequestRedraw() {
  ShowEffects(RedrawSoon(session_, clock_.elapsed()));
}

}  // namespace nerin
