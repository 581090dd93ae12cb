// SPDX-License-Identifier: MIT
#include "app/main_window_controls.h"

#include <algorithm>
#include <iterator>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "app/help_items.h"
#include "app/list_models.h"
#include "app/status_text.h"
#include "calendar/narrow.h"
#include "views/chart_colours.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// The status line cut in the middle when it is wider than its field, so that both the outcome
// at its start and the counts at its end stay readable; the whole line is its tooltip then.
class StatusLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(indent(), 0, -indent(), 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, std::max(area.width(), 0)));
  }
};
// Far inside the int range, so that the toolkit's own sums of place and size never overflow.
constexpr std::int64_t kPlaceLimit = 1000000000;

void Place(QWidget* widget, const ControlRect& rect) {
  widget->setGeometry(NarrowToInt(rect.x, -kPlaceLimit, kPlaceLimit),
                      NarrowToInt(rect.y, -kPlaceLimit, kPlaceLimit), NarrowToInt(rect.w, 0, kPlaceLimit),
                      NarrowToInt(rect.h, 0, kPlaceLimit));
}

QToolButton* CreateImageButton(QWidget* parent, const ToolbarIconSet& icons, std::int64_t x, ToolbarIcon icon,
                               const char* tooltip) {
  auto* button = new QToolButton(parent);
  button->setIcon(QIcon(icons[static_cast<std::size_t>(IconIndex(icon))]));
  button->setIconSize(QSize(TOOLBAR_ICON_SIZE, TOOLBAR_ICON_SIZE));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  Place(button, {x, TOOLBAR_BUTTON_Y, TOOLBAR_BUTTON_SIZE, TOOLBAR_BUTTON_SIZE});
  button->setToolTip(QString::fromUtf8(tooltip));
  return button;
}

QWidget* CreateBand(QWidget* parent, const ControlRect& rect, Rgb colour) {
  auto* band = new QWidget(parent);
  QPalette palette = band->palette();
  palette.setColor(QPalette::Window, ToQColor(colour));
  band->setPalette(palette);
  band->setAutoFillBackground(true);
  Place(band, rect);
  return band;
}

void CreateViewTabs(QWidget* parent, const ControlRect& rect, const ChartFonts& fonts, PlanListModel* taskModel,
                    PlanListModel* resourceModel, MainWindowControls& c) {
  c.ViewTabs = new QTabWidget(parent);
  QPalette palette = c.ViewTabs->palette();
  palette.setColor(QPalette::Window, ToQColor(VIEW_TABS_BACKGROUND));
  c.ViewTabs->setPalette(palette);
  c.ViewTabs->setAutoFillBackground(true);
  Place(c.ViewTabs, rect);

  // Each page's contents are made while that page is the current one.
  auto* ganttPage = new QWidget;
  c.ViewTabs->addTab(ganttPage, QStringLiteral("Gantt"));
  c.ViewTabs->setCurrentIndex(0);
  const ControlSize page = TabPanelPageSize(*c.ViewTabs);
  const TabPageLayout pageLayout = TabPageLayoutFor(page.w, page.h);
  c.ChartCanvas = new ChartCanvasWidget(fonts, ganttPage);
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
  c.TaskList = CreatePlanList(tasksPage, taskModel);
  Place(c.TaskList, pageLayout.TaskList);

  auto* resourcesPage = new QWidget;
  c.ViewTabs->addTab(resourcesPage, QStringLiteral("Resources"));
  c.ViewTabs->setCurrentIndex(2);
  c.ResourceList = CreatePlanList(resourcesPage, resourceModel);
  Place(c.ResourceList, pageLayout.ResourceList);

  for (QTreeView* list : {c.TaskList, c.ResourceList}) {
    // A header click sorts the list, in the order the window is told; none at first.
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
  }

  c.ViewTabs->setCurrentIndex(0);
  // The keyboard starts on the chart, where the navigation keys scroll.
  c.ChartCanvas->setFocus();
}

// A recent plan as its menu item reads: a file by its name and folder, an address as it is.
QString RecentMenuText(const std::string& source, std::size_t index) {
  QString text = ToQString(source);
  // The menu reads "&" as the mark of a key; doubled it stands for itself.
  text.replace(QLatin1Char('&'), QStringLiteral("&&"));
  const QString number = index < 9 ? QStringLiteral("&%1  ").arg(index + 1) : QStringLiteral("1&0  ");
  return number + text;
}

constexpr NavigationBinding kNavigationKeys[] = {
    {Qt::Key_Up, NavigationKey::Up},         {Qt::Key_Down, NavigationKey::Down},
    {Qt::Key_Left, NavigationKey::Left},     {Qt::Key_Right, NavigationKey::Right},
    {Qt::Key_PageUp, NavigationKey::PageUp}, {Qt::Key_PageDown, NavigationKey::PageDown},
    {Qt::Key_Home, NavigationKey::Home},     {Qt::Key_End, NavigationKey::End},
};

}  // namespace

MainWindowControls BuildControls(QWidget* parent, const ToolbarIconSet& icons, const ChartFonts& fonts,
                                 PlanListModel* taskModel, PlanListModel* resourceModel) {
  const MainWindowLayout layout = MainWindowLayoutFor(parent->width(), parent->height());
  MainWindowControls c;
  const auto button = [&](std::int64_t x, ToolbarIcon icon, const char* tooltip) {
    return CreateImageButton(parent, icons, x, icon, tooltip);
  };

  c.OpenButton = button(8, ToolbarIcon::Open, ToolbarToolTip(ToolbarButton::Open));
  // The arrow beside Open offers the recent plans.
  c.RecentMenu = new QMenu(c.OpenButton);
  c.OpenButton->setMenu(c.RecentMenu);
  c.OpenButton->setPopupMode(QToolButton::MenuButtonPopup);
  c.ZoomOutButton = button(44, ToolbarIcon::ZoomOut, ToolbarToolTip(ToolbarButton::ZoomOut));
  c.ZoomInButton = button(80, ToolbarIcon::ZoomIn, ToolbarToolTip(ToolbarButton::ZoomIn));
  c.FitButton = button(116, ToolbarIcon::Fit, ToolbarToolTip(ToolbarButton::Fit));
  c.SearchField = new QLineEdit(parent);
  Place(c.SearchField, {156, 6, 170, 26});
  c.SearchField->setToolTip(QString::fromUtf8(SEARCH_FIELD_TOOLTIP));
  c.FindButton = button(330, ToolbarIcon::Find, ToolbarToolTip(ToolbarButton::Find));
  c.TodayButton = button(366, ToolbarIcon::Today, ToolbarToolTip(ToolbarButton::Today));
  c.CriticalButton = button(402, ToolbarIcon::Critical, ToolbarToolTip(ToolbarButton::Critical));
  c.CriticalButton->setCheckable(true);
  c.CollapseButton = button(438, ToolbarIcon::Collapse, ToolbarToolTip(ToolbarButton::Collapse));
  c.ExpandButton = button(474, ToolbarIcon::Expand, ToolbarToolTip(ToolbarButton::Expand));
  c.ExportButton = button(510, ToolbarIcon::Export, ToolbarToolTip(ToolbarButton::Export));
  c.CompareButton = button(546, ToolbarIcon::Compare, COMPARE_BUTTON_TOOLTIP);
  c.CompareButton->setCheckable(true);
  c.HelpButton = button(layout.HelpButton.x, ToolbarIcon::Help, ToolbarToolTip(ToolbarButton::Help));
  c.AboutButton = button(layout.AboutButton.x, ToolbarIcon::About, ToolbarToolTip(ToolbarButton::About));

  c.StatusField = new StatusLabel(parent);
  c.StatusField->setTextFormat(Qt::PlainText);
  c.StatusField->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  c.StatusField->setIndent(10);
  c.StatusField->setAutoFillBackground(true);
  Place(c.StatusField, layout.StatusField);

  c.MessagesButton = new QPushButton(QStringLiteral("View warnings"), parent);
  Place(c.MessagesButton, layout.MessagesButton);
  c.MessagesButton->hide();
  c.StopButton = new QPushButton(QStringLiteral("Stop"), parent);
  c.StopButton->setToolTip(QStringLiteral("Stop opening the plan (Esc)"));
  Place(c.StopButton, layout.MessagesButton);
  c.StopButton->hide();

  c.ToolbarRule = CreateBand(parent, layout.ToolbarRule, TOOLBAR_RULE_COLOUR);
  c.AccentRule = CreateBand(parent, layout.AccentRule, ACCENT_RULE_COLOUR);

  CreateViewTabs(parent, layout.ViewTabs, fonts, taskModel, resourceModel, c);
  return c;
}

ControlSize TabPanelPageSize(const QTabWidget& tabs) {
  std::int64_t reportedWidth = 0;
  std::int64_t reportedHeight = 0;
  // A hidden tab panel has not laid out its pages yet; what they report then is stale.
  if (tabs.isVisible() && tabs.currentWidget() != nullptr && tabs.currentWidget()->parentWidget() != nullptr) {
    const QWidget* pages = tabs.currentWidget()->parentWidget();
    reportedWidth = pages->width();
    reportedHeight = pages->height();
  }
  return TabPageSize(reportedWidth, reportedHeight, tabs.width(), tabs.height());
}

void PlaceControls(const MainWindowControls& c, std::int64_t w, std::int64_t h) {
  const MainWindowLayout layout = MainWindowLayoutFor(w, h);
  Place(c.StatusField, layout.StatusField);
  Place(c.MessagesButton, layout.MessagesButton);
  Place(c.StopButton, layout.MessagesButton);
  Place(c.ToolbarRule, layout.ToolbarRule);
  Place(c.AccentRule, layout.AccentRule);
  Place(c.ViewTabs, layout.ViewTabs);
  const ControlSize page = TabPanelPageSize(*c.ViewTabs);
  const TabPageLayout pageLayout = TabPageLayoutFor(page.w, page.h);
  Place(c.ChartCanvas, pageLayout.ChartCanvas);
  Place(c.ChartHScroll, pageLayout.ChartHScroll);
  Place(c.ChartVScroll, pageLayout.ChartVScroll);
  Place(c.TaskList, pageLayout.TaskList);
  Place(c.ResourceList, pageLayout.ResourceList);
  Place(c.HelpButton, layout.HelpButton);
  Place(c.AboutButton, layout.AboutButton);
}

void ShowScrollBar(QScrollBar* bar, const ScrollBarState& state) {
  // Moving the bar here is not the user's scroll.
  const QSignalBlocker blocker(bar);
  bar->setEnabled(state.Maximum > 0);
  const int page = std::max(NarrowToInt(state.Page, 0), 1);
  // The bar's own range excludes the page: its last position shows the content's end.
  bar->setRange(0, std::max(NarrowToInt(state.Maximum, 0) - page, 0));
  bar->setPageStep(page);
  bar->setSingleStep(std::max(page / 10, 1));
  bar->setValue(NarrowToInt(state.Position, 0));
}

void ShowListSelection(const MainWindowControls& controls, const ListSelection& selection) {
  QTreeView* list = ListOf(controls, selection.List);
  if (selection.Row >= 0) {
    SelectListRow(list, selection.Row,
                  selection.AtTop ? QAbstractItemView::PositionAtTop : QAbstractItemView::EnsureVisible);
  }
  if (selection.Focus) {
    list->setFocus();
  }
}

void RunTimers(std::span<QTimer, 4> timers, const TimerEffects& effects) {
  for (const auto& [timer, action] : {std::pair{SessionTimer::Hover, effects.Hover}, {SessionTimer::Redraw, effects.Redraw},
                                      {SessionTimer::Feedback, effects.Feedback}, {SessionTimer::Progress, effects.Progress}}) {
    if (action == TimerAction::Start) {
      timers[static_cast<std::size_t>(timer)].start();
    } else if (action == TimerAction::Stop) {
      timers[static_cast<std::size_t>(timer)].stop();
    }
  }
}

void SetUpSessionTimers(std::span<QTimer, 4> timers) {
  const struct {
    SessionTimer Timer;
    int Interval;
    bool SingleShot;
  } kinds[] = {
      {SessionTimer::Hover, HOVER_DELAY_MS, true},
      {SessionTimer::Feedback, FEEDBACK_TIMER_MS, false},
      {SessionTimer::Redraw, REDRAW_TIMER_MS, true},
      {SessionTimer::Progress, PROGRESS_TIMER_MS, false},
  };
  for (const auto& kind : kinds) {
    QTimer& timer = timers[static_cast<std::size_t>(kind.Timer)];
    timer.setInterval(kind.Interval);
    timer.setSingleShot(kind.SingleShot);
  }
}

void ShowStatusLine(QLabel* field, const std::string& text, Rgb background, const std::string& report) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Window, ToQColor(background));
  palette.setColor(QPalette::WindowText, ToQColor(STATUS_TEXT_COLOUR));
  field->setPalette(palette);
  field->setText(ToQString(text));
  field->setToolTip(StatusToolTip(text, report));
}

QString StatusToolTip(const std::string& line, const std::string& report) {
  // Both as plain text, never read as markup: the line wraps where the screen is narrower than
  // it, the report keeps its lines in a fixed-pitch font, so that its right-aligned column of
  // milliseconds lines up.
  QString tooltip = QStringLiteral("<p>") + ToQString(line).toHtmlEscaped() + QStringLiteral("</p>");
  if (!report.empty()) {
    QString plain = ToQString(report);
    plain.remove(QLatin1Char('\r'));
    tooltip += QStringLiteral("<pre>") + plain.toHtmlEscaped() + QStringLiteral("</pre>");
  }
  return tooltip;
}

void ShowWindowTitle(QWidget* window, const Plan& plan) {
  QString title = ToQString(WindowTitleText(plan));
  // The toolkit reads "[*]" as the modified mark; doubled it stands for itself.
  title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  window->setWindowTitle(title);
}

void FillRecentMenu(QMenu* menu, const std::vector<std::string>& plans,
                    const std::function<void(const std::string&)>& open) {
  if (menu == nullptr) return;
  menu->clear();
  for (std::size_t i = 0; i < plans.size(); ++i) {
    QObject::connect(menu->addAction(RecentMenuText(plans[i], i)), &QAction::triggered, menu,
                     [open, source = plans[i]] { open(source); });
  }
  if (plans.empty()) menu->addAction(QStringLiteral("No recent plans"))->setEnabled(false);
}

std::vector<std::string> LocalFilePaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.push_back(PathFromQString(url.toLocalFile()));
  }
  return paths;
}

QString LocalPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QToolButton* ButtonOfIcon(const MainWindowControls& c, ToolbarIcon icon) {
  QToolButton* const buttons[] = {c.OpenButton,   c.ZoomOutButton, c.ZoomInButton,   c.FitButton,
                                  c.FindButton,   c.TodayButton,   c.CriticalButton, c.CollapseButton,
                                  c.ExpandButton, c.ExportButton,  c.HelpButton,     c.AboutButton};
  const int index = IconIndex(icon);
  if (index < 0 || index >= std::ssize(buttons)) {
    return nullptr;
  }
  return buttons[static_cast<std::size_t>(index)];
}

QTreeView* ListOf(const MainWindowControls& c, ViewKind view) {
  return view == ViewKind::Resources ? c.ResourceList : c.TaskList;
}

std::vector<std::pair<QAbstractButton*, Command>> ButtonCommands(const MainWindowControls& c) {
  return {
      {c.OpenButton, Command::OpenFile},     {c.HelpButton, Command::Help},
      {c.AboutButton, Command::About},       {c.MessagesButton, Command::Messages},
      {c.CriticalButton, Command::Critical}, {c.FindButton, Command::FindNext},
      {c.TodayButton, Command::Today},       {c.ExportButton, Command::Export},
      {c.ZoomInButton, Command::ZoomIn},     {c.ZoomOutButton, Command::ZoomOut},
      {c.FitButton, Command::FitButton},     {c.CollapseButton, Command::CollapseAll},
      {c.ExpandButton, Command::ExpandAll},  {c.CompareButton, Command::Compare},
      {c.StopButton, Command::Stop},
  };
}

std::span<const CommandKey> CommandKeys() {
  static const CommandKey keys[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_O), Command::OpenFile},
      {QKeySequence(Qt::CTRL | Qt::Key_U), Command::OpenAddress},
      {QKeySequence(Qt::Key_F5), Command::FitOrRefresh},
      {QKeySequence(Qt::Key_F3), Command::FindNext},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), Command::ModelDump},
      {QKeySequence(Qt::CTRL | Qt::Key_D), Command::ModelDump},
      {QKeySequence(Qt::CTRL | Qt::Key_P), Command::Print},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), Command::PrintPreview},
      {QKeySequence(Qt::CTRL | Qt::Key_K), Command::Compare},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), Command::CompareAddress},
      {QKeySequence(Qt::CTRL | Qt::Key_R), Command::Reload},
  };
  return keys;
}

std::span<const NavigationBinding> NavigationBindings() {
  return kNavigationKeys;
}

std::optional<Command> KeypadCommand(const QKeyEvent& key, bool navigationKeys) {
  if (key.modifiers() != Qt::KeypadModifier) {
    return std::nullopt;
  }
  switch (key.key()) {
    case Qt::Key_Plus:
      return Command::ZoomIn;
    case Qt::Key_Minus:
      return Command::ZoomOut;
    case Qt::Key_Enter:
      return navigationKeys ? std::nullopt : std::optional<Command>(Command::FindNext);
    default:
      return std::nullopt;
  }
}

QShortcut* AddWindowShortcut(QWidget* window, const QKeySequence& key, const std::function<void()>& action) {
  auto* shortcut = new QShortcut(key, window);
  shortcut->setContext(Qt::WindowShortcut);
  shortcut->setAutoRepeat(true);
  QObject::connect(shortcut, &QShortcut::activated, window, action);
  return shortcut;
}

void WindowKeys::Register(QWidget* window, std::function<void(Command)> run,
                          std::function<void(NavigationKey)> navigate) {
  window_ = window;
  run_ = std::move(run);
  navigate_ = std::move(navigate);
  for (const CommandKey& command : CommandKeys()) {
    AddWindowShortcut(window_, command.Key, [this, command = command.Run] { run_(command); });
    commandKeys_.push_back(command.Key);
  }
  // Copy is no command key: the search field keeps Ctrl+C for its own text.
  AddWindowShortcut(window_, QKeySequence(Qt::CTRL | Qt::Key_C), [this] { run_(Command::Copy); });
  // The keypad keys are no shortcuts: on X11 the toolkit never matches a shortcut with the
  // keypad modifier, so the window takes them as key presses instead (KeypadCommand).
  SetNavigation(true);
}

void WindowKeys::SetNavigation(bool on) {
  if (window_ == nullptr || !(on ? navigation_ : enter_).empty()) return;
  for (QShortcut* shortcut : on ? enter_ : navigation_) delete shortcut;
  (on ? enter_ : navigation_).clear();
  if (on) {
    for (const NavigationBinding& key : NavigationBindings()) {
      navigation_.push_back(AddWindowShortcut(window_, QKeySequence(key.Key),
                                              [this, navigation = key.Navigation] { navigate_(navigation); }));
    }
  } else {
    // Enter on the main keys; the keypad's Enter arrives as a key press.
    enter_.push_back(AddWindowShortcut(window_, QKeySequence(Qt::Key_Return), [this] { run_(Command::FindNext); }));
  }
}

void WindowKeys::SetEscape(bool on) {
  if (window_ == nullptr || on == (escape_ != nullptr)) return;
  delete escape_;
  escape_ = on ? AddWindowShortcut(window_, QKeySequence(Qt::Key_Escape), [this] { run_(Command::Escape); }) : nullptr;
}

bool WindowKeys::IsCommandKey(const QKeySequence& key) const {
  return std::find(commandKeys_.begin(), commandKeys_.end(), key) != commandKeys_.end();
}

}  // namespace nerin
