// SPDX-License-Identifier: MIT
// Compare with…: the plan shown (the subject) against a reference version read from a file or
// a web address. The reference is read into a plan of its own and dropped once compared, so a
// reference that does not load never touches the plan shown or its messages.
#include <iterator>
#include <memory>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QShortcut>
#include <QToolButton>
#include <QTreeView>

#include "app/list_models.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "app/sources/plan_source.h"
#include "app/status_text.h"
#include "calendar/text_units.h"
#include "compare/plan_changes.h"
#include "views/list_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

void MainWindow::CompareButtonPressed() {
  if (Comparing()) {
    StopComparing();
  } else {
    CompareWithFile();
  }
}

void MainWindow::CompareWithFile() {
  ShowComparisonState();  // the button stays unchecked until a comparison is there
  if (!state_.plan.ProjectLoaded) {
    ShowMessageBox(this, "Compare with", "Open a plan first; it is then compared with another version of it.",
                   BoxIcon::Information);
    return;
  }
  QFileDialog dialog(this, QStringLiteral("Compare with an earlier version"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({QStringLiteral("XML (*.xml *.XML)"), QStringLiteral("All files (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return;
  }
  const std::string path = PathFromQString(dialog.selectedFiles().constFirst());
  CompareWithSource(path, PathFileName(path), false);
}

void MainWindow::CompareWithAddress() {
  ShowComparisonState();
  if (!state_.plan.ProjectLoaded) {
    ShowMessageBox(this, "Compare with", "Open a plan first; it is then compared with another version of it.",
                   BoxIcon::Information);
    return;
  }
  QInputDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Compare with an earlier version from a web address"));
  dialog.setLabelText(QStringLiteral("Address of the MS Project XML file:"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(ToQString(state_.LastAddress));
  dialog.resize(560, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  const std::string address(TrimSpaces(FromQString(dialog.textValue())));
  if (ClassifySource(address) != SOURCE_ADDRESS) {
    ShowMessageBox(this, "Address not loaded", "Only http and https addresses can be opened.",
                   BoxIcon::Error);
    return;
  }
  CompareWithSource(address, AddressDisplayName(address), true);
}

void MainWindow::CompareWithSource(const std::string& source, const std::string& displayName, bool address) {
  // A plan holds all its records at full capacity: on the heap, and only while it is read.
  auto reference = std::make_unique<Plan>();
  MessageLog log;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool loaded =
      address ? FetchAddressSource(*reference, log, source) : ReadFileSource(*reference, log, source);
  std::unique_ptr<PlanChanges> changes;
  if (loaded) {
    changes = std::make_unique<PlanChanges>(ComparePlans(*reference, state_.plan));
  }
  reference.reset();
  QApplication::restoreOverrideCursor();
  if (!loaded) {
    ShowMessagesWindow(NotLoadedTitle(address ? "Address" : "File"), MessageListText(log));
    ShowComparisonState();
    return;
  }
  state_.changes = std::move(changes);
  state_.comparison.Changes = state_.changes.get();
  state_.comparison.ReferenceName = displayName;
  if (stopComparingShortcut_ == nullptr) {
    stopComparingShortcut_ = AddShortcut(QKeySequence(Qt::Key_Escape), [this] { RunCommand(Command::StopComparing); });
  }
  ShowComparisonState();
}

void MainWindow::StopComparing() {
  const bool was = Comparing();
  state_.comparison = ChartComparison{};
  state_.changes.reset();
  delete stopComparingShortcut_;
  stopComparingShortcut_ = nullptr;
  if (was) {
    ShowComparisonState();
  }
}

// The button, the Tasks list's column, the status line and the chart as the comparison stands.
void MainWindow::ShowComparisonState() {
  MainWindowControls& c = controls_;
  if (c.CompareButton == nullptr) {
    return;
  }
  c.CompareButton->setChecked(Comparing());
  c.CompareButton->setToolTip(
      QString::fromUtf8(Comparing() ? STOP_COMPARING_TOOLTIP : COMPARE_BUTTON_TOOLTIP));
  if (taskListModel_ != nullptr) {
    taskListModel_->SetChanges(state_.comparison.Changes);
    if (Comparing()) {
      const int column = static_cast<int>(std::ssize(TASK_LIST_COLUMNS));
      c.TaskList->setColumnWidth(column, static_cast<int>(taskListModel_->ColumnWidth(column)));
    }
  }
  if (state_.plan.ProjectLoaded) {
    UpdateStatusField();
  }
  if (GanttWithPlan()) {
    RequestRedraw();
  }
}

}  // namespace nerin
