// SPDX-License-Identifier: MIT
// Opening plans as the session decides: a source handed to the session, the load's end taken
// in on the window's thread, the recent plans, the file watch and the remembered settings, and
// the status line and messages button that report the last open.
#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include "app/command_input.h"
#include "app/main_window.h"
#include "app/sources/plan_source.h"
#include "app/status_text.h"
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

// The whole status line and the load report as a tooltip: plain text (never read as markup) in
// a fixed-pitch font, so that the report's right-aligned column of milliseconds lines up.
QString StatusToolTip(const std::string& line, const std::string& report) {
  QString plain = ToQString(report.empty() ? line : line + "\n\n" + report);
  plain.remove(QLatin1Char('\r'));
  return QStringLiteral("<pre>") + plain.toHtmlEscaped() + QStringLiteral("</pre>");
}

}  // namespace

void MainWindow::OpenFromCommandLine(const std::vector<std::string>& arguments) {
  const std::string source = CommandLineSource(JoinArguments(arguments));
  if (ClassifySource(source) != SourceKind::Nothing) Open(source, OpenOrigin::CommandLine);
}

void MainWindow::Open(const std::string& source, OpenOrigin origin) {
  OpenSourceEvent event;
  event.Origin = origin;
  event.Address = ClassifySource(source) == SourceKind::Address;
  event.Supported = origin != OpenOrigin::Drop || IsPlanFileName(source);
  if (event.Address) {
    event.Source = source;
    event.Name = AddressDisplayName(source);
  } else if (!source.empty()) {
    const QFileInfo file(LocalPath(source));
    event.Source = PathFromQString(file.absoluteFilePath());
    event.Name = PathFileName(source);
    event.Folder = PathFromQString(file.absolutePath());
  }
  Send(event);
}

// On the window's thread: the new plan and messages take the shown ones' place when the load
// reached its model; a load rejected before that leaves the plan shown, with the attempt's
// messages.
void MainWindow::LoadEnded(LoadResult& result) {
  const std::string messages = MessageListText(result.Log);
  const std::vector<Message>& all = result.Log.messages;
  const auto error = std::find_if(all.begin(), all.end(), [](const Message& m) { return m.level == LEVEL_ERROR; });
  const std::string firstError = error != all.end() ? error->text : std::string();
  if (result.Reference) {
    std::shared_ptr<const Plan> reference;
    if (result.Loaded) reference = std::move(result.PlanRead);
    Send(CompareFinishedEvent{result.Source, std::move(reference), messages});
    return;
  }
  if (result.ReachedModel()) {
    std::swap(state_.plan, *result.PlanRead);
  } else if (result.TextRead()) {
    state_.plan.MessagesMatchPlan = false;
  }
  // The plan that was shown goes now, not with the next load.
  result.PlanRead.reset();
  state_.log = std::move(result.Log);
  Send(OpenFinishedEvent{result.Source, result.Loaded, state_.plan.ProjectLoaded, messages, firstError});
}

void MainWindow::FollowSources(const SourceEffects& sources) {
  if (sources.StopLoad) loader_.Stop();
  bool recentChanged = false;
  if (sources.Remember) {
    RememberPlan(settings_, *sources.Remember);
    recentChanged = true;
  }
  if (sources.Forget) recentChanged = ForgetPlan(settings_, *sources.Forget);
  if (recentChanged) {
    SaveSettings();
    FillRecentMenu();
  }
  if (sources.Watch) {
    if (sources.Watch->empty()) {
      watcher_.Stop();
    } else {
      watcher_.Follow(LocalPath(*sources.Watch));
    }
  }
}

void MainWindow::SetStatusLine(const std::string& text, Rgb background) {
  QLabel* field = controls_.StatusField;
  QPalette palette = field->palette();
  palette.setColor(QPalette::Window, ToQColor(background));
  palette.setColor(QPalette::WindowText, ToQColor(STATUS_TEXT_COLOUR));
  field->setPalette(palette);
  field->setText(ToQString(text));
  field->setToolTip(StatusToolTip(text, {}));
}

void MainWindow::ComposeStatus() {
  const StatusFieldContent content = ComposeStatusField(state_.plan, state_.log);
  const std::string line = StatusLineText(session_, content.text);
  SetStatusLine(line, content.background);
  controls_.StatusField->setToolTip(StatusToolTip(line, content.tooltip));
  const MessagesButtonContent button =
      ComposeMessagesButton(state_.plan, state_.log, !session_.Opening.FailedReload.empty());
  controls_.MessagesButton->setText(ToQString(button.label));
  controls_.MessagesButton->setVisible(button.visible && !controls_.StopButton->isVisible());
}

void MainWindow::UseSettings(const ViewerSettings& settings, const QString& path) {
  settings_ = settings;
  settingsPath_ = path;
  StartEvent start;
  start.Lower = session_.Lower;
  start.Collate = session_.Collate;
  start.DayWidth = settings.DayWidth;
  start.TaskColumnWidth = settings.TaskColumnWidth;
  start.LastFolder = settings.LastFolder;
  start.LastAddress = session_.Opening.LastAddress;
  Send(start);
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
  current.LastFolder = session_.Opening.LastFolder;
  return current;
}

void MainWindow::SaveSettings() {
  if (settingsPath_.isEmpty()) return;
  settings_ = CurrentSettings();
  // A settings file that cannot be written costs only what it would remember.
  SaveViewerSettings(settingsPath_, settings_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A load under way is dropped, not waited for.
  loader_.Stop();
  SaveSettings();
  QWidget::closeEvent(event);
}

void MainWindow::FillRecentMenu() {
  if (controls_.RecentMenu == nullptr) return;
  controls_.RecentMenu->clear();
  for (std::size_t i = 0; i < settings_.RecentPlans.size(); ++i) {
    const std::string source = settings_.RecentPlans[i];
    QAction* action = controls_.RecentMenu->addAction(RecentMenuText(source, i));
    connect(action, &QAction::triggered, this, [this, source] { Open(source, OpenOrigin::Recent); });
  }
  if (settings_.RecentPlans.empty()) {
    controls_.RecentMenu->addAction(QStringLiteral("No recent plans"))->setEnabled(false);
  }
}

}  // namespace nerin
