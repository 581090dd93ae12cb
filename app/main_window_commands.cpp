// SPDX-License-Identifier: MIT
// What the controls, the keyboard shortcuts and the opens of the main window do.
#include <algorithm>
#include <functional>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

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

namespace nerin {

namespace {

struct KeyCommand {
  Qt::Key key;
  std::int64_t command;
};

constexpr KeyCommand kNavigationKeys[] = {
    {Qt::Key_Up, CMD_KEY_UP},       {Qt::Key_Down, CMD_KEY_DOWN},      {Qt::Key_Left, CMD_KEY_LEFT},
    {Qt::Key_Right, CMD_KEY_RIGHT}, {Qt::Key_PageUp, CMD_KEY_PAGE_UP}, {Qt::Key_PageDown, CMD_KEY_PAGE_DOWN},
    {Qt::Key_Home, CMD_KEY_HOME},   {Qt::Key_End, CMD_KEY_END},
};

// Reading a file or downloading an address blocks the window until it ends. While it does, the
// window shows the busy pointer, and it is painted whole first: a dialog just closed over it,
// or a window just opened for a command-line address, would otherwise stay unpainted until
// the download ends.
class BusyWindow {
 public:
  explicit BusyWindow(QWidget* window) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer clock;
    clock.start();
    // A newly opened window is mapped by the display server in its own time.
    while (window->isVisible() && window->windowHandle() != nullptr && !window->windowHandle()->isExposed() &&
           clock.elapsed() < kExposeWaitMs) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    if (window->isVisible()) {
      window->repaint();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~BusyWindow() { QApplication::restoreOverrideCursor(); }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  static constexpr qint64 kExposeWaitMs = 1000;
};

// The file the user chose, or empty when the dialog was cancelled.
QString ChosenFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return dialog.selectedFiles().constFirst();
}

}  // namespace

void MainWindow::ConnectControls() {
  MainWindowControls& c = controls_;
  // Every control event but the canvas's puts the hover summary away first.
  const auto onClick = [this](QAbstractButton* button, const std::function<void()>& action) {
    connect(button, &QAbstractButton::clicked, this, [this, action] {
      HideHoverSummary();
      action();
    });
  };
  onClick(c.OpenButton, [this] { OpenPlanFile(); });
  onClick(c.HelpButton, [this] { ShowHelp(); });
  onClick(c.AboutButton, [this] { ShowAbout(); });
  onClick(c.MessagesButton, [this] { ShowMessagesFromButton(); });
  onClick(c.CriticalButton, [this] { ToggleCriticalFilter(); });
  onClick(c.FindButton, [this] { FindNext(); });
  onClick(c.TodayButton, [this] { CentreOnToday(); });
  onClick(c.ExportButton, [this] { ExportChartImage(); });
  onClick(c.ZoomInButton, [this] { ZoomGantt(ZOOM_IN_FACTOR); });
  onClick(c.ZoomOutButton, [this] { ZoomGantt(ZOOM_OUT_FACTOR); });
  onClick(c.FitButton, [this] {
    if (GanttWithPlan()) {
      FitVisibleBars();
    }
  });
  onClick(c.CollapseButton, [this] { SetAllFolded(true); });
  onClick(c.ExpandButton, [this] { SetAllFolded(false); });
  connect(c.ViewTabs, &QTabWidget::currentChanged, this, [this](int index) {
    HideHoverSummary();
    SwitchView(index);
  });
  connect(c.ChartHScroll, &QScrollBar::valueChanged, this,
          [this](int value) { ScrollBarMoved(true, value); });
  connect(c.ChartVScroll, &QScrollBar::valueChanged, this,
          [this](int value) { ScrollBarMoved(false, value); });
  connect(c.TaskList, &QAbstractItemView::doubleClicked, this, [this] {
    HideHoverSummary();
    if (state_.plan.ProjectLoaded) {
      OpenTaskDetailsFromList();
    }
  });
  c.SearchField->installEventFilter(this);
}

QShortcut* MainWindow::AddShortcut(const QKeySequence& key, std::int64_t command) {
  auto* shortcut = new QShortcut(key, this);
  shortcut->setContext(Qt::WindowShortcut);
  shortcut->setAutoRepeat(true);
  connect(shortcut, &QShortcut::activated, this, [this, command] { RunCommand(command); });
  return shortcut;
}

void MainWindow::RegisterShortcuts() {
  const std::pair<QKeySequence, std::int64_t> commands[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_O), CMD_OPEN_FILE},
      {QKeySequence(Qt::CTRL | Qt::Key_U), CMD_OPEN_ADDRESS},
      {QKeySequence(Qt::Key_F5), CMD_FIT_OR_REFRESH},
      {QKeySequence(Qt::Key_F3), CMD_FIND_NEXT},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), CMD_MODEL_DUMP},
      {QKeySequence(Qt::CTRL | Qt::Key_D), CMD_MODEL_DUMP},
  };
  for (const auto& [key, command] : commands) {
    AddShortcut(key, command);
    commandKeys_.push_back(key);
  }
  // The keypad keys still type into the search field.
  AddShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), CMD_ZOOM_IN);
  AddShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), CMD_ZOOM_OUT);
}

bool MainWindow::IsCommandKey(const QKeyEvent& key) const {
  const QKeySequence pressed(key.keyCombination());
  return std::find(commandKeys_.begin(), commandKeys_.end(), pressed) != commandKeys_.end();
}

void MainWindow::SetNavigationKeys(bool on) {
  if (state_.NavigationKeysMode == on) {
    return;
  }
  state_.NavigationKeysMode = on;
  if (on) {
    for (QShortcut* shortcut : enterShortcuts_) {
      delete shortcut;
    }
    enterShortcuts_.clear();
    for (const KeyCommand& key : kNavigationKeys) {
      navigationShortcuts_.push_back(AddShortcut(QKeySequence(key.key), key.command));
    }
  } else {
    for (QShortcut* shortcut : navigationShortcuts_) {
      delete shortcut;
    }
    navigationShortcuts_.clear();
    // Enter on the main keys and on the keypad.
    enterShortcuts_.push_back(AddShortcut(QKeySequence(Qt::Key_Return), CMD_FIND_NEXT_ENTER));
    enterShortcuts_.push_back(
        AddShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_Enter), CMD_FIND_NEXT_ENTER));
  }
}

void MainWindow::RunCommand(std::int64_t command) {
  HideHoverSummary();
  switch (command) {
    case CMD_OPEN_FILE:
      OpenPlanFile();
      return;
    case CMD_FIT_OR_REFRESH:
      FitOrRefresh();
      return;
    case CMD_FIND_NEXT:
    case CMD_FIND_NEXT_ENTER:
      FindNext();
      return;
    case CMD_ZOOM_IN:
      ZoomGantt(ZOOM_IN_FACTOR);
      return;
    case CMD_ZOOM_OUT:
      ZoomGantt(ZOOM_OUT_FACTOR);
      return;
    case CMD_MODEL_DUMP:
      SaveModelDump();
      return;
    case CMD_OPEN_ADDRESS:
      OpenPlanAddress();
      return;
    default:
      break;
  }
  if (command >= CMD_KEY_UP && command <= CMD_KEY_END && state_.plan.ProjectLoaded) {
    if (state_.CurrentView == VIEW_GANTT) {
      ScrollByKey(command);
    } else {
      NavigateList(command);
    }
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

void MainWindow::OpenFile(const std::string& path) {
  bool loaded = false;
  {
    const BusyWindow busy(this);
    loaded = ReadFileSource(state_.plan, state_.log, path);
  }
  FinishOpen(loaded, "File");
}

void MainWindow::OpenAddress(const std::string& address) {
  state_.LastAddress = address;
  SetStatusLine(LoadingStatusText(address), STATUS_READY_BACKGROUND);
  bool loaded = false;
  {
    const BusyWindow busy(this);
    loaded = FetchAddressSource(state_.plan, state_.log, address);
  }
  FinishOpen(loaded, "Address");
}

void MainWindow::OpenPlanFile() {
  QFileDialog dialog(this, QStringLiteral("Open MS Project XML"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name that does not exist is passed on, and reported by the read.
  dialog.setFileMode(QFileDialog::AnyFile);
  // File names on this system are case-sensitive; the extension test is not.
  dialog.setNameFilters({QStringLiteral("XML (*.xml *.XML)"), QStringLiteral("All files (*)")});
  const QString path = ChosenFile(dialog);
  if (path.isEmpty()) {
    return;
  }
  OpenFile(PathFromQString(path));
}

void MainWindow::OpenPlanAddress() {
  QInputDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Open from a web address"));
  dialog.setLabelText(QStringLiteral("Address of the MS Project XML file:"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(ToQString(state_.LastAddress));
  dialog.resize(560, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  const std::string address = FromQString(dialog.textValue());
  if (address.empty()) {
    return;
  }
  OpenAddress(address);
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
  if (!state_.plan.ProjectLoaded) {
    ShowMessageBox(this, "Model dump", "No project is loaded, so there is nothing to dump.",
                   BoxIcon::Information);
    return;
  }
  QFileDialog dialog(this, QStringLiteral("Save model dump"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setNameFilter(QStringLiteral("Text (*.txt)"));
  dialog.selectFile(ToQString(ModelDumpDefaultName(state_.plan.ProjectName)));
  const QString path = ChosenFile(dialog);
  if (path.isEmpty()) {
    return;
  }
  // A full disk shows only when the data is written out; that is no success either, and the
  // file that was there stays as it was.
  const std::string text = ModelDumpText(state_.plan, state_.log, state_.plan.ProjectLoaded);
  if (!WriteFileAtomically(PathFromQString(path), text)) {
    ShowMessageBox(this, "Model dump", "The file could not be written.", BoxIcon::Error);
    return;
  }
  ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, 2,
               "Model dump written to " + PathFileName(FromQString(path)));
}

void MainWindow::SwitchView(std::int64_t view) {
  if (view < VIEW_GANTT || view > VIEW_RESOURCES) {
    view = VIEW_GANTT;
  }
  const bool loaded = state_.plan.ProjectLoaded;
  // Leaving the Tasks list for the chart: the task selected in the list becomes the top row.
  if (loaded && view == VIEW_GANTT && state_.CurrentView == VIEW_TASKS &&
      ShowListTaskAtChartTop(state_.rows, state_.view, state_.plan, state_.listRows,
                             SelectedRow(controls_.TaskList))) {
    controls_.CriticalButton->setChecked(false);
  }
  // And the other way: the list shows the chart's top task at its top.
  const std::int64_t chartTopTask = ChartTopTask(state_.view, state_.rows);
  state_.CurrentView = view;
  {
    const QSignalBlocker blocker(controls_.ViewTabs);
    controls_.ViewTabs->setCurrentIndex(static_cast<int>(view));
  }
  if (!loaded) {
    if (view == VIEW_GANTT) {
      DrawChart();
    }
    return;
  }
  if (view == VIEW_GANTT) {
    UpdateScrollMetrics();
    DrawChart();
  } else if (view == VIEW_TASKS) {
    if (!state_.TaskListFilled) {
      FillTaskList();
      state_.TaskListFilled = true;
    }
    // Looked up in the rows the list shows now: a list filled just above has new rows.
    SelectListRow(controls_.TaskList, TaskListRowOf(state_.listRows, chartTopTask),
                  QAbstractItemView::PositionAtTop);
  } else if (!state_.ResourceListFilled) {
    FillResourceList();
    state_.ResourceListFilled = true;
  }
}

bool MainWindow::GanttWithPlan() const {
  return state_.CurrentView == VIEW_GANTT && state_.plan.ProjectLoaded;
}

void MainWindow::ZoomGantt(float factor) {
  if (GanttWithPlan()) {
    ZoomAroundMiddle(factor);
  }
}

QToolButton* MainWindow::ButtonOfIcon(int icon) const {
  const MainWindowControls& c = controls_;
  QToolButton* const buttons[] = {c.OpenButton,   c.ZoomOutButton, c.ZoomInButton,   c.FitButton,
                                  c.FindButton,   c.TodayButton,   c.CriticalButton, c.CollapseButton,
                                  c.ExpandButton, c.ExportButton,  c.HelpButton,     c.AboutButton};
  if (icon < 0 || icon >= static_cast<int>(std::size(buttons))) {
    return nullptr;
  }
  return buttons[icon];
}

}  // namespace nerin
