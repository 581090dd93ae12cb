// SPDX-License-Identifier: MIT
// Reload, the remembered settings and the recent plans, and the lists handed to other
// programs (the clipboard, CSV files): the window's part, which runs dialogs and reads and
// writes files; the session decides when.
#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QTreeView>

#include "app/command_input.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "app/sources/plan_source.h"
#include "app/toolbar_icon_set.h"
#include "calendar/path_text.h"
#include "model/atomic_file.h"
#include "views/list_csv.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

QString LocalPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// A recent plan as its menu item reads: a file by its name and folder, an address as it is.
QString RecentMenuText(const std::string& source, std::size_t index) {
  QString text = ToQString(source);
  // The menu reads "&" as the mark of a key; doubled it stands for itself.
  text.replace(QLatin1Char('&'), QStringLiteral("&&"));
  const QString number = index < 9 ? QStringLiteral("&%1  ").arg(index + 1) : QStringLiteral("1&0  ");
  return number + text;
}

}  // namespace

void MainWindow::UseSettings(const ViewerSettings& settings, const QString& path) {
  settings_ = settings;
  settingsPath_ = path;
  session_.View.DayWidth = settings.DayWidth;
  session_.View.TaskColumnWidth = settings.TaskColumnWidth;
  if (!settings.LastFolder.empty()) lastFolder_ = LocalPath(settings.LastFolder);
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
  if (const std::optional<QRect> placed = PlacedWindowGeometry(settings.WindowGeometry, screens)) {
    setGeometry(*placed);
  }
  FillRecentMenu();
}

ViewerSettings MainWindow::CurrentSettings() const {
  ViewerSettings current = settings_;
  current.WindowGeometry = normalGeometry().isValid() ? normalGeometry() : geometry();
  current.Maximised = isMaximized();
  current.DayWidth = session_.View.DayWidth;
  current.TaskColumnWidth = session_.View.TaskColumnWidth;
  current.LastFolder = PathFromQString(lastFolder_);
  return current;
}

void MainWindow::SaveSettings() {
  if (settingsPath_.isEmpty()) return;
  settings_ = CurrentSettings();
  // A settings file that cannot be written costs only what it would remember.
  SaveViewerSettings(settingsPath_, settings_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  SaveSettings();
  QWidget::closeEvent(event);
}

void MainWindow::FillRecentMenu() {
  if (controls_.RecentMenu == nullptr) return;
  controls_.RecentMenu->clear();
  for (std::size_t i = 0; i < settings_.RecentPlans.size(); ++i) {
    const std::string source = settings_.RecentPlans[i];
    QAction* action = controls_.RecentMenu->addAction(RecentMenuText(source, i));
    connect(action, &QAction::triggered, this, [this, source] { OpenRecent(source); });
  }
  if (settings_.RecentPlans.empty()) {
    controls_.RecentMenu->addAction(QStringLiteral("No recent plans"))->setEnabled(false);
  }
}

void MainWindow::OpenRecent(const std::string& source) {
  openingRecent_ = true;
  // A plan that is gone does not move the dialogs to its folder.
  const QString folder = lastFolder_;
  if (ClassifySource(source) == SOURCE_ADDRESS) {
    OpenAddress(source);
  } else {
    OpenFile(source);
  }
  if (shownSource_ != source) lastFolder_ = folder;
  openingRecent_ = false;
}

void MainWindow::NoteOpened(bool loaded, const std::string& source, bool address, bool reload) {
  const bool takes = loaded && !reload;
  const AfterOpen after = DecideAfterOpen({loaded, reload, openingRecent_, state_.plan.ProjectLoaded,
                                           takes ? address : shownIsAddress_, !watcher_.Path().isEmpty()});
  if (after.TakeSource) {
    shownSource_ = source;
    shownIsAddress_ = address;
  }
  bool recentChanged = after.Recent == RecentChange::Remember;
  if (recentChanged) {
    RememberPlan(settings_, source);
  } else if (after.Recent == RecentChange::Forget) {
    recentChanged = ForgetPlan(settings_, source);
  }
  if (recentChanged) {
    SaveSettings();
    FillRecentMenu();
  }
  if (after.DropSource) shownSource_.clear();
  if (after.Watch == WatchChange::Stop) {
    watcher_.Stop();
  } else if (after.Watch == WatchChange::Follow) {
    // A plan from a file; the watch follows the plan shown.
    watcher_.Follow(LocalPath(shownSource_));
  }
}

void MainWindow::ReloadShownPlan() {
  if (shownSource_.empty()) {
    // Kept by the session for a reload that cannot run: let it go again.
    ShowEffects(ReloadFinished(session_, false, Event(EventKind::Command)));
    return;
  }
  const std::string source = shownSource_;
  if (shownIsAddress_) {
    OpenAddress(source, true);
  } else {
    OpenFile(source, true);
  }
}

void MainWindow::FileChangedOnDisk() {
  // Not while a plan is read or a dialog is open: the reload waits until they are done.
  if (opening_ || QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr) {
    QTimer::singleShot(PLAN_QUIET_MILLISECONDS, this, [this] {
      if (!watcher_.Path().isEmpty()) FileChangedOnDisk();
    });
    return;
  }
  Send(Event(EventKind::FileChanged));
}

std::vector<std::int64_t> MainWindow::SelectedListRows() const {
  std::vector<std::int64_t> rows;
  if (session_.CurrentView == ViewKind::Gantt) return rows;
  const QItemSelectionModel* selection = ListOf(session_.CurrentView)->selectionModel();
  if (selection == nullptr) return rows;
  for (const QModelIndex& index : selection->selectedRows()) rows.push_back(index.row());
  return rows;
}

void MainWindow::ShowListMenu(ViewKind view, const QPoint& at) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("Copy"));
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  copy->setEnabled(!SelectedListRows().empty());
  QAction* exportList = menu.addAction(QStringLiteral("Export list\u2026"));
  exportList->setEnabled(state_.plan.ProjectLoaded);
  QAction* chosen = menu.exec(ListOf(view)->viewport()->mapToGlobal(at));
  if (chosen == copy) {
    RunCommand(Command::Copy);
  } else if (chosen == exportList) {
    RunCommand(Command::ExportList);
  }
}

void MainWindow::ExportListCsv() {
  const ViewKind view = session_.CurrentView;
  if (view == ViewKind::Gantt) return;
  const bool tasks = view == ViewKind::Tasks;
  const std::string proposed = SafeFileName(state_.plan.ProjectName, "plan") + (tasks ? "-tasks.csv" : "-resources.csv");
  std::string path = AskForFile(this, {"Export list", true, {"CSV file (*.csv)"}, proposed, true,
                                       PathFromQString(DialogFolder())});
  if (path.empty()) return;
  RememberFolder(LocalPath(path));
  if (QFileInfo(LocalPath(path)).suffix().isEmpty()) path += ".csv";
  const std::vector<std::int64_t> records = ListRecords(session_, view);
  const std::string text = ListCsv(state_.plan, tasks ? PlanList::Tasks : PlanList::Resources, records);
  // Written whole or not at all: a file that was there stays as it was on failure.
  if (!WriteFileAtomically(path, text)) {
    ShowMessageBox(this, "Export list", "The file could not be written.", BoxIcon::Error);
    return;
  }
  ShowFeedback(ICON_EXPORT, ICON_EXPORT_FEEDBACK, 2, "List written to " + std::string(PathNamePart(path)));
}

}  // namespace nerin
