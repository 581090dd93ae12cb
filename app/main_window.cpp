// SPDX-License-Identifier: MIT
#include "app/main_window.h"

#include <algorithm>

#include <QCollator>
#include <QDragEnterEvent>
#include <QMenu>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "app/chart_canvas.h"
#include "app/list_models.h"
#include "app/modal_windows.h"
#include "views/qt/qt_text.h"
#include "app/status_text.h"
#include "calendar/narrow.h"
#include "views/empty_chart.h"

namespace nerin {

namespace {

// The platform's lower case, for Find's names and notes beyond ASCII.
std::string PlatformLowerCase(std::string_view text) {
  return FromQString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower());
}

}  // namespace

MainWindow::MainWindow(AppState& state, const ChartFonts& fonts)
    : state_(state), session_(state.session), fonts_(fonts), watcher_([this] { FileChangedOnDisk(); }) {
  session_.Lower = PlatformLowerCase;
  // Names in the lists sort as the user's language orders them.
  auto collator = std::make_shared<QCollator>();
  collator->setNumericMode(true);
  session_.Collate = [collator](std::string_view a, std::string_view b) {
    return collator->compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                             QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())));
  };
  clock_.start();
  redrawTimer_.setSingleShot(true);
  redrawTimer_.setInterval(REDRAW_TIMER_MS);
  feedbackTimer_.setInterval(FEEDBACK_TIMER_MS);
  hoverTimer_.setSingleShot(true);
  hoverTimer_.setInterval(HOVER_DELAY_MS);
  const std::pair<QTimer*, EventKind> timers[] = {{&redrawTimer_, EventKind::RedrawTimer},
                                                  {&feedbackTimer_, EventKind::FeedbackTimer},
                                                  {&hoverTimer_, EventKind::HoverTimer}};
  for (const auto& [timer, kind] : timers) {
    connect(timer, &QTimer::timeout, this, [this, kind = kind] { Send(Event(kind)); });
  }
}

MainWindow::~MainWindow() = default;

QIcon MainWindow::ToolbarIcon(std::int64_t icon) const {
  return QIcon(icons_[static_cast<std::size_t>(icon)]);
}

bool MainWindow::BuildMainWindow() {
  if (!LoadToolbarIcons(DisplayScaleFactor(), icons_)) {
    ShowMessageBox(this, "Nerin Viewer", "The toolbar icons could not be decoded.", BoxIcon::Error);
    return false;
  }
  taskListModel_ = new TaskListModel(state_.plan, session_.ListRows, this);
  resourceListModel_ = new ResourceListModel(state_.plan, &session_.ResourceOrder, this);
  controls_ = BuildControls(this, icons_, fonts_, taskListModel_, resourceListModel_);
  FillRecentMenu();
  SetStatusLine(READY_STATUS_TEXT, STATUS_READY_BACKGROUND);
  controls_.ChartCanvas->SetListener(this);
  controls_.ChartCanvas->SetDrawFunction(
      [this](ChartPainter& painter, std::int64_t cw, std::int64_t ch) { DrawChartContent(painter, cw, ch); });
  ConnectControls();
  return true;
}

ControlSize MainWindow::PageSize() const {
  return TabPanelPageSize(*controls_.ViewTabs);
}

void MainWindow::LayoutMainWindow() {
  const MainWindowControls& c = controls_;
  if (c.ViewTabs == nullptr) {
    return;
  }
  PlaceControls(c, width(), height());
  Send(ResizeEvent(c.ChartCanvas->width(), c.ChartCanvas->height(), c.TaskList->height()));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutMainWindow();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data != nullptr && data->hasUrls()) {
    for (const QUrl& url : data->urls()) {
      if (url.isLocalFile()) {
        event->acceptProposedAction();
        return;
      }
    }
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  std::vector<std::string> paths;
  if (data != nullptr) {
    for (const QUrl& url : data->urls()) {
      if (url.isLocalFile()) {
        paths.push_back(PathFromQString(url.toLocalFile()));
      }
    }
  }
  event->acceptProposedAction();
  // Open after the drop has finished, so that the file manager is not kept waiting while the
  // plan loads or a message is shown.
  QTimer::singleShot(0, this, [this, paths] { OpenDroppedPaths(paths); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == controls_.SearchField) {
    // Ctrl+D and Ctrl+U are editing keys of a text field here; the window's commands win.
    if (event->type() == QEvent::ShortcutOverride && IsCommandKey(*static_cast<QKeyEvent*>(event))) {
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
      SessionEvent focus = Event(EventKind::SearchFocus);
      focus.Focused = event->type() == QEvent::FocusIn;
      Send(focus);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace nerin
