// SPDX-License-Identifier: MIT
// The window made and connected: its controls, timers and keys, each turned into session
// events; the toolkit's window events (size, keys, drops, close).
#include "app/main_window.h"

#include <QApplication>
#include <QCollator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "app/command_input.h"
#include "app/list_models.h"
#include "app/modal_windows.h"
#include "app/status_text.h"
#include "app/window_dialogs.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// The platform's lower case, for Find's names and notes beyond ASCII.
std::string PlatformLowerCase(std::string_view text) {
  return FromQString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower());
}

// Names in the lists sort as the user's language orders them.
TextCollation PlatformCollation() {
  auto collator = std::make_shared<QCollator>();
  collator->setNumericMode(true);
  return [collator](std::string_view a, std::string_view b) {
    return collator->compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                             QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())));
  };
}

}  // namespace

MainWindow::MainWindow(const ChartFonts& fonts)
    : fonts_(fonts),
      loader_([this](LoadResult& result) { Send(TakeLoadResult(result)); }),
      watcher_([this] { Send(FileChangedEvent{QApplication::activeModalWidget() != nullptr ||
                                              QApplication::activePopupWidget() != nullptr}); }) {
  clock_.start();
  SetUpSessionTimers(timers_);
  for (const SessionTimer timer : {SessionTimer::Redraw, SessionTimer::Feedback, SessionTimer::Hover}) {
    connect(&Timer(timer), &QTimer::timeout, this, [this, timer] { Send(TimerEvent{timer}); });
  }
  connect(&Timer(SessionTimer::Progress), &QTimer::timeout, this,
          [this] { Send(LoadProgressEvent{loader_.BytesRead()}); });
  StartEvent start;
  start.Lower = PlatformLowerCase;
  start.Collate = PlatformCollation();
  Send(start);
}

MainWindow::~MainWindow() {
  // The lists and the chart read the plan and the rows the session holds, and a widget may still
  // lay itself out while it is taken down: they go before the session, which the members' end
  // would otherwise free first.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
  delete taskListModel_;
  delete resourceListModel_;
}

bool MainWindow::BuildMainWindow() {
  if (!LoadToolbarIcons(DisplayScaleFactor(), icons_)) {
    ShowMessageBox(this, "Nerin Viewer", "The toolbar icons could not be decoded.", BoxIcon::Error);
    return false;
  }
  taskListModel_ = new TaskListModel(session_.ShownPlan(), session_.State().ListRows, this);
  resourceListModel_ = new ResourceListModel(session_.ShownPlan(), &session_.State().ResourceOrder, this);
  controls_ = BuildControls(this, icons_, fonts_, taskListModel_, resourceListModel_);
  FillRecentMenu();
  ShowStatusLine(controls_.StatusField, READY_STATUS_TEXT, STATUS_READY_BACKGROUND);
  controls_.ChartCanvas->SetListener([this](const SessionEvent& event) { Send(event); });
  controls_.ChartCanvas->SetDrawFunction(
      [this](ChartPainter& painter, std::int64_t cw, std::int64_t ch) { DrawChartContent(painter, cw, ch); });
  ConnectControls();
  keys_.Register(
      this, [this](Command command) { RunCommand(command); },
      [this](NavigationKey key) { Send(KeyEvent{key}); });
  return true;
}

void MainWindow::ConnectControls() {
  MainWindowControls& c = controls_;
  for (const auto& [button, command] : ButtonCommands(c)) {
    connect(button, &QAbstractButton::clicked, this, [this, command = command] { RunCommand(command); });
  }
  connect(c.ViewTabs, &QTabWidget::currentChanged, this, [this](int index) { Send(TabEvent{ViewKindOf(index)}); });
  for (QScrollBar* bar : {c.ChartHScroll, c.ChartVScroll}) {
    connect(bar, &QScrollBar::valueChanged, this,
            [this, horizontal = bar == c.ChartHScroll](int value) { Send(ScrollBarEvent{horizontal, value}); });
  }
  for (const ViewKind view : {ViewKind::Tasks, ViewKind::Resources}) {
    QTreeView* list = ListOf(c, view);
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, view](const QModelIndex& current) {
              // The session's own selections and refills are no news to it.
              if (!showingEffects_) Send(ListSelectEvent{view, current.isValid() ? current.row() : -1});
            });
    // A header click sorts the list; the session decides the order and the indicator.
    connect(list->header(), &QHeaderView::sectionClicked, this,
            [this, view](int column) { Send(HeaderEvent{view, column}); });
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& at) { ShowListMenu(*this, view, at); });
  }
  connect(c.TaskList, &QAbstractItemView::doubleClicked, this, [this] { Send(ListDoubleClickEvent{}); });
  c.SearchField->installEventFilter(this);
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
  Send(ResizeEvent{c.ChartCanvas->width(), c.ChartCanvas->height(), c.TaskList->height()});
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutMainWindow();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // A key press reaches the window when no control took it: the search field keeps + and -
  // for typing and passes Enter on, and the chart canvas passes every key on.
  if (const std::optional<Command> command = KeypadCommand(*event, session_.State().NavigationKeysMode)) {
    event->accept();
    RunCommand(*command);
    return;
  }
  QWidget::keyPressEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFilePaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  // Open after the drop has finished, so that the file manager is not kept waiting while a
  // message is shown.
  const std::string path = FirstDroppedPath(LocalFilePaths(event->mimeData()));
  QTimer::singleShot(0, this, [this, path] { Open(path, OpenOrigin::Drop); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == controls_.SearchField) {
    // Ctrl+D and Ctrl+U are editing keys of a text field here; the window's commands win.
    if (event->type() == QEvent::ShortcutOverride) {
      if (keys_.IsCommandKey(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()))) {
        event->ignore();
        return true;
      }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
      Send(SearchFocusEvent{event->type() == QEvent::FocusIn});
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace nerin
