// SPDX-License-Identifier: MIT
// The viewer's one window: toolbar, status line and the three views on tabs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>

#include "app/app_state.h"
#include "calendar/local_today.h"
#include "app/chart_canvas.h"
#include "views/qt/qt_chart_painter.h"
#include "app/toolbar_icon_set.h"
#include "app/window_geometry.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QShortcut;
class QTabWidget;
class QToolButton;
class QTreeView;
class QTreeWidget;

namespace nerin {

class ResourceListModel;
class TaskListModel;

// Keyboard commands.
inline constexpr std::int64_t CMD_OPEN_FILE = 1001;
inline constexpr std::int64_t CMD_FIT_OR_REFRESH = 1002;
inline constexpr std::int64_t CMD_FIND_NEXT = 1003;
inline constexpr std::int64_t CMD_FIND_NEXT_ENTER = 1004;
inline constexpr std::int64_t CMD_ZOOM_IN = 1005;
inline constexpr std::int64_t CMD_ZOOM_OUT = 1006;
inline constexpr std::int64_t CMD_MODEL_DUMP = 1007;
inline constexpr std::int64_t CMD_OPEN_ADDRESS = 1008;
inline constexpr std::int64_t CMD_KEY_UP = 2001;
inline constexpr std::int64_t CMD_KEY_DOWN = 2002;
inline constexpr std::int64_t CMD_KEY_LEFT = 2003;
inline constexpr std::int64_t CMD_KEY_RIGHT = 2004;
inline constexpr std::int64_t CMD_KEY_PAGE_UP = 2005;
inline constexpr std::int64_t CMD_KEY_PAGE_DOWN = 2006;
inline constexpr std::int64_t CMD_KEY_HOME = 2007;
inline constexpr std::int64_t CMD_KEY_END = 2008;

inline constexpr int REDRAW_TIMER_MS = 16;
inline constexpr int FEEDBACK_TIMER_MS = 350;

struct MainWindowControls {
  QToolButton* OpenButton = nullptr;
  QToolButton* ZoomOutButton = nullptr;
  QToolButton* ZoomInButton = nullptr;
  QToolButton* FitButton = nullptr;
  QLineEdit* SearchField = nullptr;
  QToolButton* FindButton = nullptr;
  QToolButton* TodayButton = nullptr;
  QToolButton* CriticalButton = nullptr;
  QToolButton* CollapseButton = nullptr;
  QToolButton* ExpandButton = nullptr;
  QToolButton* ExportButton = nullptr;
  QToolButton* HelpButton = nullptr;
  QToolButton* AboutButton = nullptr;
  QLabel* StatusField = nullptr;
  QPushButton* MessagesButton = nullptr;
  QWidget* ToolbarRule = nullptr;
  QWidget* AccentRule = nullptr;
  QTabWidget* ViewTabs = nullptr;
  ChartCanvasWidget* ChartCanvas = nullptr;
  QScrollBar* ChartHScroll = nullptr;
  QScrollBar* ChartVScroll = nullptr;
  QTreeView* TaskList = nullptr;
  QTreeView* ResourceList = nullptr;
};

class MainWindow : public QWidget, public ChartCanvasListener {
 public:
  MainWindow(AppState& state, const ChartFonts& fonts);
  ~MainWindow() override;

  // Start-up. BuildMainWindow creates every control; false, after telling the user, when the
  // toolbar icons do not decode.
  bool BuildMainWindow();
  void RegisterShortcuts();
  // Opens the plan the program's parameters name, if any.
  void OpenFromCommandLine(const std::vector<std::string>& arguments);

  void LayoutMainWindow();
  void SetNavigationKeys(bool on);
  // The page area of the tab panel as it stands now.
  ControlSize PageSize() const;

  // Commands.
  void RunCommand(std::int64_t command);
  void OpenPlanFile();
  void OpenPlanAddress();
  // The drop procedure: only the first path is opened, and only an .xml file.
  void OpenDroppedPaths(const std::vector<std::string>& paths);
  void OpenFile(const std::string& path);
  void SaveModelDump();
  void ShowMessagesFromButton();
  void SwitchView(std::int64_t view);

  // Reporting the last open.
  void FinishOpen(bool loaded, const std::string& sourceKind);
  void UpdateStatusField();
  void UpdateMessagesButton();
  void ShowMessagesWindow(const std::string& title, const std::string& body);
  void UpdateWindowTitle();
  void ClearViews();

  // The chart canvas's pointer events, in drawing pixels.
  void CanvasPointerMoved(std::int64_t x, std::int64_t y, bool leftHeld) override;
  void CanvasLeftPressed(std::int64_t x, std::int64_t y) override;
  void CanvasLeftReleased(std::int64_t x, std::int64_t y) override;
  void CanvasDoubleClicked(std::int64_t x, std::int64_t y) override;
  void CanvasWheel(std::int64_t notches, bool shift, std::int64_t x) override;
  void CanvasLeft(bool leftHeld) override;

  // Drawing and the redraw timer.
  void RequestRedraw();
  void DrawNow();
  void RequestRelayout();
  void RedrawTimerTick();

  // Flashes the button whose normal icon is `buttonIcon` with `feedbackIcon` and, when the
  // message is not empty, holds it in the status line for a while.
  void ShowFeedback(int buttonIcon, int feedbackIcon, std::int64_t flashes, const std::string& message);
  void FeedbackTick();

  const MainWindowControls& Controls() const { return controls_; }
  AppState& State() { return state_; }
  const ChartFonts& Fonts() const { return fonts_; }
  const QTimer& RedrawTimer() const { return redrawTimer_; }
  const QTimer& FeedbackTimer() const { return feedbackTimer_; }
  const QTimer& HoverTimer() const { return hoverTimer_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QToolButton* CreateImageButton(std::int64_t x, int icon, const char* tooltip);
  QWidget* CreateBand(const ControlRect& rect, Rgb colour);
  void CreateViewTabs(const ControlRect& rect);
  void ConnectControls();
  QShortcut* AddShortcut(const QKeySequence& key, std::int64_t command);
  bool IsCommandKey(const QKeyEvent& key) const;
  QToolButton* ButtonOfIcon(int icon) const;
  void SetStatusLine(const std::string& text, Rgb background);
  void DrawChartContent(ChartPainter& painter, std::int64_t w, std::int64_t h);
  void DrawChart();
  // Takes the chart's size from the canvas into the view state.
  void MeasureChart();
  // The scroll bars as the view state has them; the view's own change, not the user's.
  void ShowScrollBars();
  void ShowViewUpdate(ViewUpdate update);
  void EndSplitterDrag();
  bool GanttWithPlan() const;
  // The zoom buttons and keys act only on the Gantt view with a plan.
  void ZoomGantt(float factor);
  void OpenAddress(const std::string& address);
  QIcon ToolbarIcon(int icon) const;
  void ScrollBarMoved(bool horizontal, int position);

  // Operations of the chart, the lists, Find and the help windows; they join as those views
  // are built, and until then do nothing (view_commands.cpp).
  void HideHoverSummary();
  void ResetFolding();
  void RebuildRows();
  void UpdateScrollMetrics();
  void FillTaskList();
  void FillResourceList();
  // Both lists without rows, as with no plan.
  void EmptyLists();
  void ZoomAroundMiddle(float factor);
  void FitVisibleBars();
  void FitOrRefresh();
  void FindNext();
  void CentreOnToday();
  void ToggleCriticalFilter();
  void SetAllFolded(bool fold);
  void ExportChartImage();
  void ScrollByKey(std::int64_t command);
  void NavigateList(std::int64_t command);
  void OpenTaskDetailsFromList();
  // Hover summary and task details (view_details.cpp).
  void HoverTrack(std::int64_t x, std::int64_t y);
  void HoverTimerTick();
  void DoubleClickChart(std::int64_t x, std::int64_t y);
  void OpenTaskDetails(std::int64_t task);
  void ShowHelp();
  void ShowAbout();

  AppState& state_;
  TaskListModel* taskListModel_ = nullptr;
  ResourceListModel* resourceListModel_ = nullptr;
  ChartFonts fonts_;
  ToolbarIconSet icons_;
  MainWindowControls controls_;
  QTimer redrawTimer_;
  QTimer feedbackTimer_;
  // Single-shot, HOVER_DELAY_MS; set up in the constructor with the other two.
  QTimer hoverTimer_;
  QElapsedTimer clock_;
  std::vector<QShortcut*> navigationShortcuts_;
  std::vector<QShortcut*> enterShortcuts_;
  // Keys of the window commands that the search field would otherwise keep for editing.
  std::vector<QKeySequence> commandKeys_;
};

}  // namespace nerin
