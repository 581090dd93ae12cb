// SPDX-License-Identifier: MIT
// The viewer's one window: toolbar, status line and the three views on tabs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>

#include "app/app_state.h"
#include "app/chart_canvas.h"
#include "app/main_window_controls.h"
#include "app/plan_watcher.h"
#include "app/viewer_settings.h"
#include "app/print_dialogs.h"
#include "views/qt/qt_chart_painter.h"
#include "app/toolbar_icon_set.h"
#include "app/window_geometry.h"
#include "calendar/local_today.h"
#include "views/page_layout.h"
#include "views/viewer_session.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
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

  // Events of the window, handed to the session with the clock's time; its effects shown.
  void Send(SessionEvent event);
  void RunCommand(Command command);
  void RunKey(NavigationKey key);
  void SwitchView(ViewKind view);
  void RequestRelayout();
  // `reload`: the shown plan's source read again, its view kept; else a new plan.
  void OpenFile(const std::string& path, bool reload = false);
  // The remembered settings: taken at start (window, chart scale, last folder, recent plans),
  // written at close and whenever the recent plans change. An empty path keeps nothing.
  void UseSettings(const ViewerSettings& settings, const QString& path);
  ViewerSettings CurrentSettings() const;
  const ViewerSettings& Settings() const { return settings_; }
  void OpenRecent(const std::string& source);
  // The shown plan's source read again (Ctrl+R, a change of its file on disk).
  void ReloadShownPlan();
  const PlanWatcher& Watcher() const { return watcher_; }
  // The dialogs of Open, Open address and the model dump, as their commands run them.
  void OpenPlanFile();
  void OpenPlanAddress();
  void SaveModelDump();
  // The drop procedure: only the first path is opened, and only an .xml file.
  void OpenDroppedPaths(const std::vector<std::string>& paths);
  void ShowMessagesFromButton();
  // Reading the reference version to compare with (compare_commands.cpp), from a file or a
  // web address, once the session has asked for it; the session decides the rest.
  bool Comparing() const { return nerin::Comparing(session_); }
  // The chart as the window shows it, comparison included: the window, the PNG and every page
  // draw from it (print_commands.cpp).
  ChartFrame ShownFrame() const;
  void CompareWithFile();
  void CompareWithAddress();
  void CompareWithSource(const std::string& source, const std::string& displayName, bool address);

  // Reporting the last open.
  void FinishOpen(bool loaded, const std::string& sourceKind, bool reload = false);
  void UpdateStatusField();
  void ShowMessagesWindow(const std::string& title, const std::string& body);

  // The chart canvas's pointer events, in drawing pixels.
  void CanvasPointerMoved(std::int64_t x, std::int64_t y, bool leftHeld) override;
  void CanvasLeftPressed(std::int64_t x, std::int64_t y) override;
  void CanvasLeftReleased(std::int64_t x, std::int64_t y) override;
  void CanvasDoubleClicked(std::int64_t x, std::int64_t y) override;
  void CanvasWheel(std::int64_t notches, bool shift, std::int64_t x) override;
  void CanvasLeft(bool leftHeld) override;

  const MainWindowControls& Controls() const { return controls_; }
  AppState& State() { return state_; }
  const ChartFonts& Fonts() const { return fonts_; }
  const QTimer& RedrawTimer() const { return redrawTimer_; }
  const QTimer& FeedbackTimer() const { return feedbackTimer_; }
  const QTimer& HoverTimer() const { return hoverTimer_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  QShortcut* AddShortcut(const QKeySequence& key, const std::function<void()>& action) {
    return AddWindowShortcut(this, key, action);
  }
  bool IsCommandKey(const QKeyEvent& key) const;
  QIcon ToolbarIcon(std::int64_t icon) const;
  QTreeView* ListOf(ViewKind view) const { return nerin::ListOf(controls_, view); }
  void SetStatusLine(const std::string& text, Rgb background);
  void DrawChartContent(ChartPainter& painter, std::int64_t w, std::int64_t h);
  SessionEvent Event(EventKind kind) const;
  // Shows what the session decided (main_window_effects.cpp).
  void ShowEffects(const SessionEffects& effects);
  void OpenWindow(WindowAction action);
  void ShowComparisonEffects(const SessionEffects& effects);
  // What the print and compare commands ask of the session: a flash and message, the hover
  // box away, a redraw soon.
  void ShowFeedback(std::int64_t buttonIcon, std::int64_t feedbackIcon, std::int64_t flashes,
                    const std::string& message);
  void HideHoverSummary();
  void RequestRedraw();
  bool GanttWithPlan() const { return nerin::GanttWithPlan(session_); }
  // The file dialogs start in the folder of the plan shown, else in the last folder used in
  // this run. RememberFolder takes a file's folder as the last one used and returns it.
  QString DialogFolder() const;
  QString RememberFolder(const QString& file);

  // The dialogs and windows the session asks for.
  void OpenAddress(const std::string& address, bool reload = false);
  // After an open: the recent plans and the watcher follow the plan shown.
  void NoteOpened(bool loaded, const std::string& source, bool address, bool reload);
  void SaveSettings();
  void FillRecentMenu();
  void FileChangedOnDisk();
  // The lists: the selected rows for Copy, the clipboard, the context menu and the CSV export.
  std::vector<std::int64_t> SelectedListRows() const;
  void ShowListMenu(ViewKind view, const QPoint& at);
  void ExportListCsv();
  void ExportChartImage();
  void OpenTaskDetails(std::int64_t task);
  void UpdateWindowTitle();
  void ShowHelp();
  void ShowAbout();
  // The chart on paper and as PDF (print_commands.cpp).
  void PrintChart();
  void PrintPreviewChart();
  void ExportChartPdfFile(const std::string& path);
  QPrinter& Printer();

  AppState& state_;
  ViewerSession& session_;
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
  // Set while effects are shown: list selections made then are the session's own, not news.
  bool showingEffects_ = false;
  std::vector<QShortcut*> navigationShortcuts_;
  std::vector<QShortcut*> enterShortcuts_;
  // On while a file is read or an address downloads.
  bool opening_ = false;
  QString planFolder_;  // of the plan shown, when it came from a file
  QString lastFolder_;
  QShortcut* stopComparingShortcut_ = nullptr;  // Esc, only while comparing
  // Keys of the window commands that the search field would otherwise keep for editing.
  std::vector<QKeySequence> commandKeys_;
  // The printer, its paper and orientation as last chosen, kept for the session; made on
  // first use. PDF, printer and preview share it and the scale.
  std::shared_ptr<QPrinter> printer_;
  PrintScale printScale_;
  // The source of the plan shown (a path or an address) and the file watch on it.
  std::string shownSource_;
  bool shownIsAddress_ = false;
  PlanWatcher watcher_;
  ViewerSettings settings_;
  QString settingsPath_;
  // Set while a plan from the recent menu opens: one that fails leaves the list.
  bool openingRecent_ = false;
};

}  // namespace nerin
