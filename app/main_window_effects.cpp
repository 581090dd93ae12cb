// SPDX-License-Identifier: MIT
// The window as the session's adapter: events go to the session with the clock's time, and
// the session's effects become widget calls and the dialogs and windows it asks for. Nothing
// is decided here.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "app/list_models.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "app/status_text.h"
#include "app/task_details_window.h"
#include "app/window_dialogs.h"
#include "calendar/local_today.h"
#include "calendar/narrow.h"
#include "views/chart_colours.h"
#include "views/empty_chart.h"
#include "views/gantt_chart.h"
#include "views/list_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

void ShowListEffects(const MainWindowControls& c, TaskListModel& tasks, ResourceListModel& resources,
                     const ListEffects& lists, const ViewerSession& session) {
  // A refill starts a list at its top; the rows that were in view come back into view.
  const ListSelection* keep = lists.Select && lists.Select->KeepTopRow ? &*lists.Select : nullptr;
  const std::int64_t topRow = keep != nullptr ? ListOf(c, keep->List)->indexAt(QPoint(0, 0)).row() : -1;
  if (lists.Empty) {
    tasks.Clear();
    resources.Clear();
  }
  if (lists.FillTasks) tasks.ShowRows();
  if (lists.FillResources) resources.Fill();
  for (const SortIndicator& indicator : lists.SortIndicators) {
    const bool sorted = indicator.Sort.Direction != SortDirection::PlanOrder;
    ListOf(c, indicator.List)
        ->header()
        ->setSortIndicator(sorted ? NarrowToInt(indicator.Sort.Column, -1) : -1,
                           indicator.Sort.Direction == SortDirection::Descending ? Qt::DescendingOrder
                                                                                 : Qt::AscendingOrder);
  }
  if (keep != nullptr && topRow >= 0 && topRow < ListOf(c, keep->List)->model()->rowCount()) {
    ListOf(c, keep->List)
        ->scrollTo(ListOf(c, keep->List)->model()->index(NarrowToInt(topRow), 0), QAbstractItemView::PositionAtTop);
  }
  if (lists.ShowChanges) {
    tasks.SetChanges(session.State().Comparison.Changes);
    const int column = static_cast<int>(std::ssize(TASK_LIST_COLUMNS));
    if (session.Comparing()) FitLastColumn(c.TaskList, tasks.ColumnWidth(column));
  }
}

void ShowToolbarEffects(const MainWindowControls& c, const ToolbarIconSet& icons, const ToolbarEffects& toolbar) {
  if (toolbar.CriticalChecked) c.CriticalButton->setChecked(*toolbar.CriticalChecked);
  if (toolbar.CompareChecked) {
    c.CompareButton->setChecked(*toolbar.CompareChecked);
    c.CompareButton->setToolTip(
        QString::fromUtf8(*toolbar.CompareChecked ? STOP_COMPARING_TOOLTIP : COMPARE_BUTTON_TOOLTIP));
  }
  for (const ButtonIcon& icon : toolbar.Icons) {
    if (QToolButton* button = ButtonOfIcon(c, icon.Button)) {
      button->setIcon(QIcon(icons[static_cast<std::size_t>(IconIndex(icon.Icon))]));
    }
  }
  if (toolbar.ExportTooltip) c.ExportButton->setToolTip(ToQString(*toolbar.ExportTooltip));
  if (toolbar.StopButton) {
    c.StopButton->setVisible(*toolbar.StopButton);
    // The messages button comes back when the status line is composed after the load.
    if (*toolbar.StopButton) c.MessagesButton->hide();
  }
}

}  // namespace

SessionClock MainWindow::Clock() const {
  return SessionClock{clock_.elapsed(), LocalToday()};
}

void MainWindow::Send(const SessionEvent& event) {
  ShowEffects(session_.Apply(event, Clock()));
}

void MainWindow::RunCommand(Command command) {
  if (command == Command::FindNext) {
    Send(FindEvent{FromQString(controls_.SearchField->text())});
  } else if (command == Command::Copy) {
    Send(CopyEvent{SelectedListRows(*this)});
  } else {
    Send(CommandEvent{command});
  }
}

void MainWindow::ShowEffects(const SessionEffects& effects) {
  const MainWindowControls& c = controls_;
  if (c.ViewTabs == nullptr) return;  // not built yet: the session's state is all there is
  const bool nested = showingEffects_;
  showingEffects_ = true;
  // The lists read the plan the session shows now; the one before may be gone.
  taskListModel_->SetPlan(session_.ShownPlan());
  resourceListModel_->SetPlan(session_.ShownPlan());
  FollowSources(effects.Sources);
  ShowListEffects(c, *taskListModel_, *resourceListModel_, effects.Lists, session_);
  if (effects.Chart.ShowScrollBars) {
    ShowScrollBar(c.ChartHScroll, session_.State().View.HBar);
    ShowScrollBar(c.ChartVScroll, session_.State().View.VBar);
  }
  ShowToolbarEffects(c, icons_, effects.Toolbar);
  if (effects.Toolbar.EscapeKey) keys_.SetEscape(*effects.Toolbar.EscapeKey);
  if (effects.Toolbar.NavigationKeys) keys_.SetNavigation(*effects.Toolbar.NavigationKeys);
  if (effects.Chart.ShowTab) {
    const QSignalBlocker blocker(c.ViewTabs);
    c.ViewTabs->setCurrentIndex(static_cast<int>(*effects.Chart.ShowTab));
  }
  if (effects.Chart.Draw) c.ChartCanvas->DrawNow();
  if (effects.Lists.Select) ShowListSelection(c, *effects.Lists.Select);
  if (effects.Chart.ResizePointer) c.ChartCanvas->ShowResizePointer(*effects.Chart.ResizePointer);
  RunTimers(timers_, effects.Timers);
  const StatusEffects& status = effects.Status;
  if (status.Title) ShowWindowTitle(this, session_.ShownPlan());
  if (status.Compose) ComposeStatus();
  for (const auto& [line, background] : {std::pair{&status.Note, STATUS_READY_BACKGROUND},
                                         {&status.Progress, STATUS_READY_BACKGROUND},
                                         {&status.Feedback, status.FeedbackSucceeded ? STATUS_READY_BACKGROUND
                                                                                     : STATUS_WARNING_BACKGROUND}}) {
    if (*line) ShowStatusLine(c.StatusField, **line, background);
  }
  showingEffects_ = nested;
  if (effects.Chart.Relayout) LayoutMainWindow();
  RunRequest(effects.Request);
}

void MainWindow::RunRequest(const SessionRequest& request) {
  if (const auto* read = std::get_if<ReadRequest>(&request)) {
    loader_.Start(read->Source, read->Address, read->Reference);
    return;
  }
  if (const auto* clipboard = std::get_if<ClipboardRequest>(&request)) {
    QGuiApplication::clipboard()->setText(ToQString(clipboard->Text));
    return;
  }
  if (std::holds_alternative<std::monostate>(request)) return;
  // The rest are modal: the session hears when they have closed.
  if (const auto* dialog = std::get_if<DialogRequest>(&request)) {
    RunDialog(*dialog);
    return;
  }
  if (const auto* box = std::get_if<MessageBoxRequest>(&request)) {
    ShowMessageBox(this, box->Title, box->Text, box->Error ? BoxIcon::Error : BoxIcon::Information);
  } else if (const auto* messages = std::get_if<MessagesWindowRequest>(&request)) {
    RunMessagesWindow(this, messages->Title, messages->Body);
  } else if (const auto* details = std::get_if<DetailsRequest>(&request)) {
    // Following a link moves the chart behind the details window, which stays open. The
    // window holds the plan and the comparison it shows, whatever the session does meanwhile.
    const std::shared_ptr<const Plan> plan = session_.HeldPlan();
    const std::shared_ptr<const PlanChanges> changes = session_.State().Changes;
    const ChartComparison comparison = session_.State().Comparison;
    TaskDetailsWindow window(*plan, details->Task, [this](std::int64_t task) { Send(FollowLinkEvent{task}); }, this,
                             session_.Comparing() ? &comparison : nullptr);
    window.exec();
  }
  activateWindow();
  Send(DialogClosedEvent{});
}

void MainWindow::RunDialog(const DialogRequest& request) {
  std::string folder;
  switch (request.Dialog) {
    case WindowAction::Print:
      PrintChart();
      break;
    case WindowAction::PrintPreview:
      PrintPreviewChart();
      break;
    case WindowAction::ExportChart:
      if (const std::optional<std::string> pdf = ExportChartImage(*this, request.Folder, folder)) {
        ExportChartPdfFile(*pdf);
      }
      break;
    default:
      folder = RunWindowDialog(*this, request);
      break;
  }
  activateWindow();
  Send(DialogClosedEvent{folder});
}

void MainWindow::DrawChartContent(ChartPainter& painter, std::int64_t w, std::int64_t h) {
  if (!session_.ShownPlan().ProjectLoaded) {
    // While a plan is being opened, "No project loaded" would be wrong: the status line says
    // what is happening, the chart stays blank.
    if (Loading()) {
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

}  // namespace nerin
