// SPDX-License-Identifier: MIT
// The Tasks and Resources lists and Find. What a command means is decided in views/; here the
// lists are filled and the result is shown.
#include <QLineEdit>
#include <QToolButton>
#include <QTreeView>

#include "app/list_models.h"
#include "app/main_window.h"
#include "views/find.h"
#include "views/list_navigation.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// Find compares names and notes in the platform's lower case.
std::string LowerCase(std::string_view text) {
  return FromQString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower());
}

FindView FindViewOf(std::int64_t view) {
  switch (view) {
    case VIEW_TASKS:
      return FindView::Tasks;
    case VIEW_RESOURCES:
      return FindView::Resources;
    default:
      return FindView::Gantt;
  }
}

}  // namespace

void MainWindow::FillTaskList() {
  taskListModel_->Fill(state_.rows.CriticalFilter);
}

void MainWindow::FillResourceList() {
  resourceListModel_->Fill();
}

void MainWindow::EmptyLists() {
  taskListModel_->Clear();
  resourceListModel_->Clear();
}

void MainWindow::FitOrRefresh() {
  if (!state_.plan.ProjectLoaded) {
    return;
  }
  if (state_.CurrentView == VIEW_GANTT) {
    FitVisibleBars();
    return;
  }
  const bool tasks = state_.CurrentView == VIEW_TASKS;
  QTreeView* list = tasks ? controls_.TaskList : controls_.ResourceList;
  const std::int64_t selected = SelectedRow(list);
  // A refill starts the list at its top; the rows in view stay in view.
  const std::int64_t topRow = list->indexAt(QPoint(0, 0)).row();
  if (tasks) {
    FillTaskList();
    state_.TaskListFilled = true;
  } else {
    FillResourceList();
    state_.ResourceListFilled = true;
  }
  if (topRow >= 0 && topRow < list->model()->rowCount()) {
    list->scrollTo(list->model()->index(static_cast<int>(topRow), 0), QAbstractItemView::PositionAtTop);
  }
  SelectListRow(list, selected);
  list->setFocus();
}

void MainWindow::FindNext() {
  const FindView view = FindViewOf(state_.CurrentView);
  FindRequest request;
  request.View = view;
  const std::string fieldText = FromQString(controls_.SearchField->text());
  request.FieldText = fieldText;
  request.Highlight = state_.FindHighlight;
  if (view == FindView::Tasks) {
    request.SelectedRow = SelectedRow(controls_.TaskList);
  } else if (view == FindView::Resources) {
    request.SelectedRow = SelectedRow(controls_.ResourceList);
  }
  const FindResult result =
      FindNextRecord(state_.plan, state_.listRows, state_.findTexts, state_.LastFindText, request, LowerCase);
  if (result.Outcome == FindOutcome::NoMatch) {
    ShowFeedback(ICON_FIND, ICON_FIND_FEEDBACK, 3, NoMatchMessage(result.Text));
    return;
  }
  if (result.Outcome != FindOutcome::Found) {
    return;
  }
  const std::int64_t found = result.Record;
  if (view == FindView::Resources) {
    SelectListRow(controls_.ResourceList, found);
    controls_.ResourceList->setFocus();
    return;
  }
  state_.FindHighlight = found;
  if (view == FindView::Tasks) {
    if (TaskListRowOf(state_.listRows, found) < 0) {
      // Only the critical filter keeps a task out of the list.
      state_.rows.CriticalFilter = false;
      RebuildRows();
      controls_.CriticalButton->setChecked(false);
      FillTaskList();
    }
    if (SelectListRow(controls_.TaskList, TaskListRowOf(state_.listRows, found))) {
      controls_.TaskList->setFocus();
    }
    return;
  }
  if (state_.rows.TaskRow[static_cast<std::size_t>(found)] < 0 &&
      nerin::RevealTask(state_.rows, state_.plan, found)) {
    controls_.CriticalButton->setChecked(false);
  }
  HideHoverSummary();
  MeasureChart();  // the chart's size, for centring the row
  nerin::ScrollToTask(state_.view, state_.plan, state_.rows, found);
  UpdateScrollMetrics();
  DrawChart();
}

void MainWindow::NavigateList(std::int64_t command) {
  if (!state_.plan.ProjectLoaded || state_.CurrentView == VIEW_GANTT) {
    return;
  }
  QTreeView* list = state_.CurrentView == VIEW_TASKS ? controls_.TaskList : controls_.ResourceList;
  const auto key = static_cast<NavigationKey>(command - CMD_KEY_UP);
  const std::int64_t target = ListNavigationTarget(key, SelectedRow(list), list->model()->rowCount(),
                                                   ListPageRows(list->height()));
  if (SelectListRow(list, target)) {
    list->setFocus();
  }
}

}  // namespace nerin
