// SPDX-License-Identifier: MIT
// Opening plans as the session decides: a source handed to the session, the recent plans, the
// file watch and the remembered settings, and the status line and messages button that report
// the last open. A load's end is taken in by TakeLoadResult (plan_loader.h).
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/command_input.h"
#include "app/main_window.h"
#include "sources/plan_source.h"
#include "app/status_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

void MainWindow::OpenFromCommandLine(const std::vector<std::string>& arguments) {
  const std::string source = CommandLineSource(JoinArguments(arguments));
  if (ClassifySource(source) != SourceKind::Nothing) Open(source, OpenOrigin::CommandLine);
}

void MainWindow::Open(const std::string& source, OpenOrigin origin) {
  Send(OpenSourceFor(source, origin));
}

void MainWindow::FollowSources(const SourceEffects& sources) {
  if (sources.StopLoad) loader_.Stop();
  if (sources.Remember) RememberPlan(settings_, *sources.Remember);
  const bool forgotten = sources.Forget && ForgetPlan(settings_, *sources.Forget);
  if (sources.Remember || forgotten) {
    SaveSettings();
    FillRecentMenu();
  }
  if (sources.Watch && sources.Watch->empty()) watcher_.Stop();
  if (sources.Watch && !sources.Watch->empty()) watcher_.Follow(LocalPath(*sources.Watch));
}

void MainWindow::ComposeStatus() {
  const SessionState& s = session_.State();
  const StatusFieldContent content = ComposeStatusField(*s.Shown, s.MessagesMatchPlan, *s.Log);
  ShowStatusLine(controls_.StatusField, session_.StatusLineText(content.text), content.background, content.tooltip);
  const MessagesButtonContent button =
      ComposeMessagesButton(*s.Shown, s.MessagesMatchPlan, *s.Log, !s.Opening.FailedReload.empty());
  controls_.MessagesButton->setText(ToQString(button.label));
  controls_.MessagesButton->setVisible(button.visible && !controls_.StopButton->isVisible());
}

void MainWindow::UseSettings(const ViewerSettings& settings, const QString& path) {
  settings_ = settings;
  settingsPath_ = path;
  Send(StartEvent{.Lower = session_.State().Lower,
                  .Collate = session_.State().Collate,
                  .DayWidth = settings.DayWidth,
                  .TaskColumnWidth = settings.TaskColumnWidth,
                  .LastFolder = settings.LastFolder,
                  .LastAddress = session_.State().Opening.LastAddress});
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
  if (const std::optional<QRect> placed = PlacedWindowGeometry(settings.WindowGeometry, screens)) {
    setGeometry(WindowOnScreen(*placed, screens));
  }
  FillRecentMenu();
}

ViewerSettings MainWindow::CurrentSettings() const {
  ViewerSettings current = settings_;
  current.WindowGeometry = normalGeometry().isValid() ? normalGeometry() : geometry();
  current.Maximised = isMaximized();
  current.DayWidth = session_.State().View.DayWidth;
  current.TaskColumnWidth = session_.State().View.TaskColumnWidth;
  current.LastFolder = session_.State().Opening.LastFolder;
  return current;
}

void MainWindow::SaveSettings() {
  if (settingsPath_.isEmpty()) return;
  settings_ = CurrentSettings();
  // A settings file that cannot be written costs only what it would remember.
  SaveViewerSettings(settingsPath_, settings_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A load under way is dropped, not waited for (see RunViewer).
  loader_.Stop();
  SaveSettings();
  QWidget::closeEvent(event);
}

void MainWindow::FillRecentMenu() {
  nerin::FillRecentMenu(controls_.RecentMenu, settings_.RecentPlans,
                        [this](const std::string& source) { Open(source, OpenOrigin::Recent); });
}

}  // namespace nerin
