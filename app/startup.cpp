// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include <QApplication>
#include <QFontInfo>
#include <QScreen>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/modal_windows.h"
#include "sources/viewer_arguments.h"
#include "views/qt/qt_text.h"
#include "app/status_text.h"
#include "app/toolbar_icon_set.h"
#include "resources/toolbar_icons.h"

namespace nerin {

namespace {

bool FontLoaded(const QFont& font) {
  return !QFontInfo(font).family().isEmpty();
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : PROGRAM_ICON_SIZES) {
    const QImage image = DecodeEmbeddedPng(ProgramIconPng(size));
    if (!image.isNull()) {
      icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  return icon;
}

}  // namespace

std::unique_ptr<MainWindow> StartViewer(const std::vector<std::string>& arguments,
                                        const ViewerSettings& settings, const QString& settingsPath) {
  QRect desktop;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    desktop = screen->availableGeometry();
  }
  const ControlSize size = MainWindowSize(desktop.width(), desktop.height());

  const ChartFonts fonts = LoadChartFonts();
  auto window = std::make_unique<MainWindow>(fonts);
  const QSize inner(static_cast<int>(size.w), static_cast<int>(size.h));
  window->setGeometry(desktop.isValid()
                          ? QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, inner, desktop)
                          : QRect(QPoint(0, 0), inner));
  window->setWindowTitle(QString::fromUtf8(APP_TITLE));
  window->setAcceptDrops(true);
  window->setMinimumSize(static_cast<int>(MIN_WINDOW_WIDTH), static_cast<int>(MIN_WINDOW_HEIGHT));

  if (!FontLoaded(fonts.text) || !FontLoaded(fonts.bold) || !FontLoaded(fonts.small)) {
    ShowMessageBox(window.get(), "Startup error", "At least one font could not be loaded.", BoxIcon::Error);
    return nullptr;
  }
  if (!window->BuildMainWindow()) {
    ShowMessageBox(window.get(), "Startup error", "The user interface could not be created.", BoxIcon::Error);
    return nullptr;
  }
  window->UseSettings(settings, settingsPath);
  if (settings.Maximised) {
    window->showMaximized();
  } else {
    window->show();
  }
  // The tab panel knows its page area only once it is shown. A plan named on the command line
  // opens in the background while the window already answers.
  window->LayoutMainWindow();

  window->OpenFromCommandLine(arguments);
  window->Send(TabEvent{ViewKind::Gantt});
  window->Send(RelayoutEvent{});
  return window;
}

namespace {

// Help, version or a misuse, answered on the terminal: the exit status, or nothing when the
// window is to open.
std::optional<int> AnswerOnTerminal(const ViewerRequest& request) {
  switch (request.action) {
    case ViewerAction::Help:
      return std::fputs(ViewerHelpText().c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    case ViewerAction::Version:
      return std::fputs(ViewerVersionText().c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    case ViewerAction::Misuse:
      std::fprintf(stderr, "nerin-viewer: %s\n%s\n", request.problem.c_str(), VIEWER_HELP_HINT.data());
      return 2;
    case ViewerAction::Open:
      break;
  }
  return std::nullopt;
}

}  // namespace

int RunViewer(int argc, char** argv) {
  // Before the toolkit starts, so that --help and --version need no display.
  const std::vector<std::string> given(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  if (const std::optional<int> status = AnswerOnTerminal(ReadViewerArguments(given, false))) return *status;

  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(APP_TITLE));
  QApplication::setWindowIcon(ProgramIcon());

  // The toolkit has taken its own options out of the list; what is left is ours.
  std::vector<std::string> parameters;
  const QStringList remaining = QCoreApplication::arguments();
  for (qsizetype i = 1; i < remaining.size(); ++i) {
    parameters.push_back(FromQString(remaining[i]));
  }
  const ViewerRequest request = ReadViewerArguments(parameters, true);
  if (const std::optional<int> status = AnswerOnTerminal(request)) return *status;

  const QString settingsPath = ViewerSettingsPath();
  std::unique_ptr<MainWindow> window =
      StartViewer(request.planArguments, StartupSettings(settingsPath, request.resetSettings), settingsPath);
  if (window != nullptr) {
    QApplication::exec();
  }
  window.reset();
  // Closing the window drops a load under way without waiting for it: a download may wait up to
  // its 30-second connection limit. Its thread must then not meet what the end of the program
  // tears down: the destructors of static objects and the libraries' exit handlers (the TLS
  // library frees its global state while a handshake may still use it). The settings are
  // written and nothing else is left to save, so the program ends here without them.
  if (PlanLoader::ThreadsAlive()) {
    std::fflush(nullptr);
    std::_Exit(0);
  }
  return 0;
}

}  // namespace nerin
