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

constexpr Rgb kToolbarRuleColour{16, 42, 67};
constexpr Rgb kAccentRuleColour{0, 184, 169};
constexpr Rgb kViewTabsBackground{217, 229, 238};

int ToInt(std::int64_t value) {
  return NarrowToInt(value, -1000000000, 1000000000);
}

void Place(QWidget* widget, const ControlRect& rect) {
  widget->setGeometry(ToInt(rect.x), ToInt(rect.y), ToInt(std::max<std::int64_t>(rect.w, 0)),
                      ToInt(std::max<std::int64_t>(rect.h, 0)));
}

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

QToolButton* MainWindow::CreateImageButton(std::int64_t x, int icon, const char* tooltip) {
  auto* button = new QToolButton(this);
  button->setIcon(ToolbarIcon(icon));
  button->setIconSize(QSize(TOOLBAR_ICON_SIZE, TOOLBAR_ICON_SIZE));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  Place(button, {x, TOOLBAR_BUTTON_Y, TOOLBAR_BUTTON_SIZE, TOOLBAR_BUTTON_SIZE});
  button->setToolTip(QString::fromUtf8(tooltip));
  return button;
}

QWidget* MainWindow::CreateBand(const ControlRect& rect, Rgb colour) {
  auto* band = new QWidget(this);
  QPalette palette = band->palette();
  palette.setColor(QPalette::Window, ToQColor(colour));
  band->setPalette(palette);
  band->setAutoFillBackground(true);
  Place(band, rect);
  return band;
}

bool MainWindow::BuildMainWindow() {
  if (!LoadToolbarIcons(DisplayScaleFactor(), icons_)) {
    ShowMessageBox(this, "Nerin Viewer", "The toolbar icons could not be decoded.", BoxIcon::Error);
    return false;
  }
  const MainWindowLayout layout = MainWindowLayoutFor(width(), height());
  MainWindowControls& c = controls_;

  c.OpenButton = CreateImageButton(8, ICON_OPEN, "Open MS Project XML");
  // The arrow beside Open offers the recent plans.
  recentMenu_ = new QMenu(c.OpenButton);
  c.OpenButton->setMenu(recentMenu_);
  c.OpenButton->setPopupMode(QToolButton::MenuButtonPopup);
  FillRecentMenu();
  c.ZoomOutButton = CreateImageButton(44, ICON_ZOOM_OUT, "Zoom out");
  c.ZoomInButton = CreateImageButton(80, ICON_ZOOM_IN, "Zoom in");
  c.FitButton = CreateImageButton(116, ICON_FIT, "Zoom the visible task bars into the Gantt view");
  c.SearchField = new QLineEdit(this);
  Place(c.SearchField, {156, 6, 170, 26});
  c.SearchField->setToolTip(QStringLiteral("Find a task by name or ID; Enter or F3 finds the next match"));
  c.FindButton = CreateImageButton(330, ICON_FIND, "Find the next matching task");
  c.TodayButton = CreateImageButton(366, ICON_TODAY, "Centre the timeline on today");
  c.CriticalButton = CreateImageButton(402, ICON_CRITICAL, "Show only critical tasks, or all tasks again");
  c.CriticalButton->setCheckable(true);
  c.CollapseButton = CreateImageButton(438, ICON_COLLAPSE, "Collapse all summary tasks");
  c.ExpandButton = CreateImageButton(474, ICON_EXPAND, "Expand all summary tasks");
  c.ExportButton = CreateImageButton(510, ICON_EXPORT, "Save the Gantt chart as an image file");
  c.CompareButton = CreateImageButton(546, ICON_COMPARE, COMPARE_BUTTON_TOOLTIP);
  c.CompareButton->setCheckable(true);
  c.HelpButton = CreateImageButton(layout.HelpButton.x, ICON_HELP, "Show the help window");
  c.AboutButton = CreateImageButton(layout.AboutButton.x, ICON_ABOUT, "About this viewer");

  c.StatusField = new QLabel(this);
  c.StatusField->setTextFormat(Qt::PlainText);
  c.StatusField->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  c.StatusField->setIndent(10);
  c.StatusField->setAutoFillBackground(true);
  Place(c.StatusField, layout.StatusField);
  SetStatusLine(READY_STATUS_TEXT, STATUS_READY_BACKGROUND);

  c.MessagesButton = new QPushButton(QStringLiteral("View warnings"), this);
  Place(c.MessagesButton, layout.MessagesButton);
  c.MessagesButton->hide();

  c.ToolbarRule = CreateBand(layout.ToolbarRule, kToolbarRuleColour);
  c.AccentRule = CreateBand(layout.AccentRule, kAccentRuleColour);

  CreateViewTabs(layout.ViewTabs);
  ConnectControls();
  return true;
}

void MainWindow::CreateViewTabs(const ControlRect& rect) {
  MainWindowControls& c = controls_;
  c.ViewTabs = new QTabWidget(this);
  QPalette palette = c.ViewTabs->palette();
  palette.setColor(QPalette::Window, ToQColor(kViewTabsBackground));
  c.ViewTabs->setPalette(palette);
  c.ViewTabs->setAutoFillBackground(true);
  Place(c.ViewTabs, rect);

  // Each page's contents are made while that page is the current one.
  auto* ganttPage = new QWidget;
  c.ViewTabs->addTab(ganttPage, QStringLiteral("Gantt"));
  c.ViewTabs->setCurrentIndex(0);
  const ControlSize page = PageSize();
  const TabPageLayout pageLayout = TabPageLayoutFor(page.w, page.h);
  c.ChartCanvas = new ChartCanvasWidget(fonts_, ganttPage);
  c.ChartCanvas->SetListener(this);
  c.ChartCanvas->SetDrawFunction(
      [this](ChartPainter& painter, std::int64_t cw, std::int64_t ch) { DrawChartContent(painter, cw, ch); });
  Place(c.ChartCanvas, pageLayout.ChartCanvas);
  c.ChartHScroll = new QScrollBar(Qt::Horizontal, ganttPage);
  c.ChartVScroll = new QScrollBar(Qt::Vertical, ganttPage);
  for (QScrollBar* bar : {c.ChartHScroll, c.ChartVScroll}) {
    bar->setRange(0, 1);
    bar->setPageStep(1);
    bar->setValue(0);
  }
  Place(c.ChartHScroll, pageLayout.ChartHScroll);
  Place(c.ChartVScroll, pageLayout.ChartVScroll);

  auto* tasksPage = new QWidget;
  c.ViewTabs->addTab(tasksPage, QStringLiteral("Tasks"));
  c.ViewTabs->setCurrentIndex(1);
  taskListModel_ = new TaskListModel(state_.plan, session_.ListRows, this);
  c.TaskList = CreatePlanList(tasksPage, taskListModel_);
  Place(c.TaskList, pageLayout.TaskList);

  auto* resourcesPage = new QWidget;
  c.ViewTabs->addTab(resourcesPage, QStringLiteral("Resources"));
  c.ViewTabs->setCurrentIndex(2);
  resourceListModel_ = new ResourceListModel(state_.plan, &session_.ResourceOrder, this);
  c.ResourceList = CreatePlanList(resourcesPage, resourceListModel_);
  Place(c.ResourceList, pageLayout.ResourceList);

  c.ViewTabs->setCurrentIndex(0);
  // The keyboard starts on the chart, where the navigation keys scroll.
  c.ChartCanvas->setFocus();
}

ControlSize MainWindow::PageSize() const {
  const QTabWidget* tabs = controls_.ViewTabs;
  std::int64_t reportedWidth = 0;
  std::int64_t reportedHeight = 0;
  // A hidden tab panel has not laid out its pages yet; what they report then is stale.
  if (tabs->isVisible() && tabs->currentWidget() != nullptr &&
      tabs->currentWidget()->parentWidget() != nullptr) {
    const QWidget* pages = tabs->currentWidget()->parentWidget();
    reportedWidth = pages->width();
    reportedHeight = pages->height();
  }
  return TabPageSize(reportedWidth, reportedHeight, tabs->width(), tabs->height());
}

void MainWindow::LayoutMainWindow() {
  MainWindowControls& c = controls_;
  if (c.ViewTabs == nullptr) {
    return;
  }
  const MainWindowLayout layout = MainWindowLayoutFor(width(), height());
  Place(c.StatusField, layout.StatusField);
  Place(c.MessagesButton, layout.MessagesButton);
  Place(c.ToolbarRule, layout.ToolbarRule);
  Place(c.AccentRule, layout.AccentRule);
  Place(c.ViewTabs, layout.ViewTabs);
  const ControlSize page = PageSize();
  const TabPageLayout pageLayout = TabPageLayoutFor(page.w, page.h);
  Place(c.ChartCanvas, pageLayout.ChartCanvas);
  Place(c.ChartHScroll, pageLayout.ChartHScroll);
  Place(c.ChartVScroll, pageLayout.ChartVScroll);
  Place(c.TaskList, pageLayout.TaskList);
  Place(c.ResourceList, pageLayout.ResourceList);
  Place(c.HelpButton, layout.HelpButton);
  Place(c.AboutButton, layout.AboutButton);

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
