// SPDX-License-Identifier: MIT
// The controls and keyboard shortcuts as session events, and the opens and the dump, which
// run dialogs and read files.
#include <algorithm>
#include <functional>

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "app/command_input.h"
#include "app/list_models.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "views/qt/qt_text.h"
#include "app/sources/plan_source.h"
#include "app/status_text.h"
#include "calendar/day_ordinal.h"
#include "model/atomic_file.h"
#include "model/model_dump.h"
#include "calendar/path_text.h"

namespace nerin {

void MainWindow::ConnectControls() {
  MainWindowControls& c = controls_;
  for (const auto& [button, command] : ButtonCommands(c)) {
    connect(button, &QAbstractButton::clicked, this, [this, command = command] { RunCommand(command); });
  }
  connect(c.ViewTabs, &QTabWidget::currentChanged, this, [this](int index) { SwitchView(ViewKindOf(index)); });
  for (QScrollBar* bar : {c.ChartHScroll, c.ChartVScroll}) {
    connect(bar, &QScrollBar::valueChanged, this, [this, horizontal = bar == c.ChartHScroll](int value) {
      SessionEvent event = Event(EventKind::ScrollBar);
      event.Horizontal = horizontal;
      event.Position = value;
      Send(event);
    });
  }
  for (const ViewKind view : {ViewKind::Tasks, ViewKind::Resources}) {
    connect(ListOf(view)->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, view](const QModelIndex& current) {
              // The session's own selections and refills are no news to it.
              if (showingEffects_) return;
              SessionEvent event = Event(EventKind::ListSelected);
              event.View = view;
              event.Row = current.isValid() ? current.row() : -1;
              Send(event);
            });
  }
  for (const ViewKind view : {ViewKind::Tasks, ViewKind::Resources}) {
    QTreeView* list = ListOf(view);
    // A header click sorts the list; the session decides the order and the indicator.
    connect(list->header(), &QHeaderView::sectionClicked, this, [this, view](int column) {
      SessionEvent event = Event(EventKind::HeaderClicked);
      event.View = view;
      event.Row = column;
      Send(event);
    });
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& at) { ShowListMenu(view, at); });
  }
  connect(c.TaskList, &QAbstractItemView::doubleClicked, this, [this] { Send(Event(EventKind::ListDoubleClick)); });
  c.SearchField->installEventFilter(this);
}

void MainWindow::RegisterShortcuts() {
  for (const CommandKey& command : CommandKeys()) {
    AddShortcut(command.Key, [this, run = command.Run] { RunCommand(run); });
    commandKeys_.push_back(command.Key);
  }
  // Copy is no command key: the search field keeps Ctrl+C for its own text.
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), [this] { RunCommand(Command::Copy); });
  // The keypad keys are no shortcuts: on X11 the toolkit never matches a shortcut with the
  // keypad modifier, so they are taken as key presses instead (keyPressEvent).
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // A key press reaches the window when no control took it: the search field keeps + and -
  // for typing and passes Enter on, and the chart canvas passes every key on.
  if (const std::optional<Command> command = KeypadCommand(*event, session_.NavigationKeysMode)) {
    event->accept();
    RunCommand(*command);
    return;
  }
  QWidget::keyPressEvent(event);
}

bool MainWindow::IsCommandKey(const QKeyEvent& key) const {
  const QKeySequence pressed(key.keyCombination());
  return std::find(commandKeys_.begin(), commandKeys_.end(), pressed) != commandKeys_.end();
}

// The shortcuts as the session's navigation-key mode has them; the session decides when.
void MainWindow::SetNavigationKeys(bool on) {
  session_.NavigationKeysMode = on;
  if (on ? !navigationShortcuts_.empty() : !enterShortcuts_.empty()) {
    return;
  }
  for (QShortcut* shortcut : on ? enterShortcuts_ : navigationShortcuts_) {
    delete shortcut;
  }
  (on ? enterShortcuts_ : navigationShortcuts_).clear();
  if (on) {
    for (const NavigationBinding& key : NavigationBindings()) {
      navigationShortcuts_.push_back(
          AddShortcut(QKeySequence(key.Key), [this, navigation = key.Navigation] { RunKey(navigation); }));
    }
  } else {
    // Enter on the main keys; the keypad's Enter arrives as a key press (keyPressEvent).
    enterShortcuts_.push_back(AddShortcut(QKeySequence(Qt::Key_Return), [this] { RunCommand(Command::FindNext); }));
  }
}

void MainWindow::OpenFromCommandLine(const std::vector<std::string>& arguments) {
  const std::string source = CommandLineSource(JoinArguments(arguments));
  switch (ClassifySource(source)) {
    case SOURCE_ADDRESS:
      OpenAddress(source);
      break;
    case SOURCE_PATH:
      OpenFile(source);
      break;
    default:
      break;
  }
}

void MainWindow::OpenFile(const std::string& path, bool reload) {
  const QString folder = RememberFolder(QFile::decodeName(QByteArray::fromStdString(path)));
  SetStatusLine(OpeningStatusText(std::string(PathNamePart(path))), STATUS_READY_BACKGROUND);
  bool loaded = false;
  {
    opening_ = true;
    const BusyWindow busy(this);
    loaded = ReadFileSource(state_.plan, state_.log, path);
    opening_ = false;
  }
  if (loaded) {
    planFolder_ = folder;
  }
  NoteOpened(loaded, PathFromQString(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath()),
             false, reload);
  FinishOpen(loaded, "File", reload);
}

void MainWindow::OpenAddress(const std::string& address, bool reload) {
  state_.LastAddress = address;
  SetStatusLine(DownloadingStatusText(address), STATUS_READY_BACKGROUND);
  bool loaded = false;
  {
    opening_ = true;
    const BusyWindow busy(this);
    loaded = FetchAddressSource(state_.plan, state_.log, address);
    opening_ = false;
  }
  if (loaded) {
    planFolder_.clear();  // a plan from the web has no folder here
  }
  NoteOpened(loaded, address, true, reload);
  FinishOpen(loaded, "Address", reload);
}

void MainWindow::OpenPlanFile() {
  // File names on this system are case-sensitive; the extension test is not.
  const std::string path =
      AskForFile(this, {"Open MS Project XML", false, {"Plans (*.xml *.mpp *.XML *.MPP)", "All files (*)"}, "", true,
                        PathFromQString(DialogFolder())});
  if (!path.empty()) OpenFile(path);
}

void MainWindow::OpenPlanAddress() {
  const std::string address = AskForAddress(this, state_.LastAddress);
  if (!address.empty()) OpenAddress(address);
}

void MainWindow::OpenDroppedPaths(const std::vector<std::string>& paths) {
  const std::string path = FirstDroppedPath(paths);
  if (!IsPlanFileName(path)) {
    ShowMessageBox(this, "File not loaded", "Only MS-Project XML files are supported.", BoxIcon::Error);
    return;
  }
  OpenFile(path);
}

void MainWindow::SaveModelDump() {
  const std::string path = AskForFile(
      this, {"Save model dump", true, {"Text (*.txt)"}, ModelDumpDefaultName(state_.plan.ProjectName), false,
             PathFromQString(DialogFolder())});
  if (path.empty()) {
    return;
  }
  RememberFolder(QFile::decodeName(QByteArray::fromStdString(path)));
  // A full disk shows only when the data is written out; that is no success either, and the
  // file that was there stays as it was.
  const std::string text = ModelDumpText(state_.plan, state_.log, state_.plan.ProjectLoaded);
  if (!WriteFileAtomically(path, text)) {
    ShowMessageBox(this, "Model dump", "The file could not be written.", BoxIcon::Error);
    return;
  }
  ShowEffects(nerin::ShowFeedback(session_, FeedbackButton::Export, ICON_EXPORT_FEEDBACK, 2,
                           "Model dump written to " + std::string(PathNamePart(path))));
}

QString MainWindow::RememberFolder(const QString& file) {
  lastFolder_ = QFileInfo(file).absolutePath();
  return lastFolder_;
}

QString MainWindow::DialogFolder() const {
  return planFolder_.isEmpty() ? lastFolder_ : planFolder_;
}

}  // namespace nerin
