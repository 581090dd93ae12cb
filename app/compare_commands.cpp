// SPDX-License-Identifier: MIT
// Compare with…: the plan shown (the subject) against a reference version read from a file or
// a web address. The reference is read into a plan of its own and dropped once compared, so a
// reference that does not load never touches the plan shown or its messages.
#include <iterator>
#include <memory>

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
#include "views/list_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

void MainWindow::CompareWithFile() {
  const std::string path = AskForReferenceFile(this);
  if (!path.empty()) {
    CompareWithSource(path, PathFileName(path), false);
  }
}

void MainWindow::CompareWithAddress() {
  const std::optional<std::string> address = AskForReferenceAddress(this, state_.LastAddress);
  if (!address) {
    return;
  }
  if (ClassifySource(*address) != SOURCE_ADDRESS) {
    ShowMessageBox(this, "Address not loaded", "Only http and https addresses can be opened.",
                   BoxIcon::Error);
    return;
  }
  CompareWithSource(*address, AddressDisplayName(*address), true);
}

void MainWindow::CompareWithSource(const std::string& source, const std::string& displayName, bool address) {
  // A plan holds all its records at full capacity: on the heap, and only while it is read.
  auto reference = std::make_unique<Plan>();
  MessageLog log;
  SessionEvent event = Event(EventKind::CompareFailed);
  SessionEffects effects;
  bool loaded = false;
  {
    const BusyPointer busy;
    loaded = address ? FetchAddressSource(*reference, log, source) : ReadFileSource(*reference, log, source);
    if (loaded) {
      event.Kind = EventKind::CompareLoaded;
      event.Reference = reference.get();
      event.ReferenceName = displayName;
      effects = Apply(session_, event);
    }
    reference.reset();
  }
  if (!loaded) {
    ShowMessagesWindow(NotLoadedTitle(address ? "Address" : "File"), MessageListText(log));
    effects = Apply(session_, event);
  }
  ShowEffects(effects);
}

void MainWindow::ShowComparisonEffects(const SessionEffects& effects) {
  if (effects.StopComparingKey) {
    delete stopComparingShortcut_;
    stopComparingShortcut_ = nullptr;
    if (*effects.StopComparingKey) {
      stopComparingShortcut_ =
          AddShortcut(QKeySequence(Qt::Key_Escape), [this] { RunCommand(Command::StopComparing); });
    }
  }
  MainWindowControls& c = controls_;
  if (c.CompareButton == nullptr) {
    return;
  }
  if (effects.CompareChecked) {
    c.CompareButton->setChecked(*effects.CompareChecked);
    c.CompareButton->setToolTip(
        QString::fromUtf8(*effects.CompareChecked ? STOP_COMPARING_TOOLTIP : COMPARE_BUTTON_TOOLTIP));
  }
  if (effects.ShowChanges && taskListModel_ != nullptr) {
    taskListModel_->SetChanges(session_.Comparison.Changes);
    if (Comparing()) {
      const int column = static_cast<int>(std::ssize(TASK_LIST_COLUMNS));
      c.TaskList->setColumnWidth(column, static_cast<int>(taskListModel_->ColumnWidth(column)));
    }
  }
  if (effects.UpdateStatus) {
    UpdateStatusField();
  }
}

}  // namespace nerin
