// SPDX-License-Identifier: MIT
// The viewer's one window: toolbar, status line and the three views on tabs. It turns the
// toolkit's events into session events and the session's effects into widget calls; plans are
// read off its thread by the PlanLoader.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "app/chart_canvas.h"
#include "app/main_window_controls.h"
#include "app/plan_loader.h"
#include "app/plan_watcher.h"
#include "app/print_dialogs.h"
#include "app/toolbar_icon_set.h"
#include "app/viewer_settings.h"
#include "app/window_geometry.h"
#include "views/page_layout.h"
#include "views/viewer_session.h"

class QPrinter;

namespace nerin {

class ResourceListModel;
class TaskListModel;

class MainWindow : public QWidget {
 public:
  explicit MainWindow(const ChartFonts& fonts);
  ~MainWindow() override;

  // Start-up. BuildMainWindow creates every control and key; false, after telling the user,
  // when the toolbar icons do not decode.
  bool BuildMainWindow();
  // Opens the plan the program's parameters name, if any.
  void OpenFromCommandLine(const std::vector<std::string>& arguments);
  // Opens a path or an address, as the given way in would; the load runs in the background.
  void Open(const std::string& source, OpenOrigin origin = OpenOrigin::Dialog);

  void LayoutMainWindow();
  // The page area of the tab panel as it stands now.
  ControlSize PageSize() const;

  // An event of the window, handed to the session with the clock's time; its effects shown.
  void Send(const SessionEvent& event);
  // A command as the keys and buttons run it: Find takes the search field's text, Copy the
  // selected rows.
  void RunCommand(Command command);

  // The remembered settings: taken at start (window, chart scale, last folder, recent plans),
  // written at close and whenever the recent plans change. An empty path keeps nothing.
  void UseSettings(const ViewerSettings& settings, const QString& path);
  ViewerSettings CurrentSettings() const;
  const ViewerSettings& Settings() const { return settings_; }
  const PlanWatcher& Watcher() const { return watcher_; }
  // The chart as the window shows it, comparison included: the window, the PNG and every page
  // draw from it (print_commands.cpp).
  ChartFrame ShownFrame() const;

  const MainWindowControls& Controls() const { return controls_; }
  // The viewer's state, read only: the session changes it, through Send.
  const ViewerSession& Session() const { return session_; }
  const ChartFonts& Fonts() const { return fonts_; }
  const ToolbarIconSet& Icons() const { return icons_; }
  const QTimer& Timer(SessionTimer timer) const { return timers_[static_cast<std::size_t>(timer)]; }
  const WindowKeys& Keys() const { return keys_; }
  // Whether a load runs in the background, as the session knows it.
  bool Loading() const { return session_.Loading(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  SessionClock Clock() const;
  // Shows what the session decided (main_window_effects.cpp).
  void ShowEffects(const SessionEffects& effects);
  void RunRequest(const SessionRequest& request);
  void RunDialog(const DialogRequest& request);
  void DrawChartContent(ChartPainter& painter, std::int64_t w, std::int64_t h);
  // Opening (main_window_opening.cpp): the recent plans, the file watch, the status line.
  void FollowSources(const SourceEffects& sources);
  void ComposeStatus();
  void SaveSettings();
  void FillRecentMenu();
  // The chart on paper and as PDF (print_commands.cpp).
  void PrintChart();
  void PrintPreviewChart();
  void ExportChartPdfFile(const std::string& path);
  QPrinter& Printer();

  ViewerSession session_;
  TaskListModel* taskListModel_ = nullptr;
  ResourceListModel* resourceListModel_ = nullptr;
  ChartFonts fonts_;
  ToolbarIconSet icons_;
  MainWindowControls controls_;
  std::array<QTimer, 4> timers_;  // by SessionTimer
  QElapsedTimer clock_;
  // Set while effects are shown: list selections made then are the session's own, not news.
  bool showingEffects_ = false;
  WindowKeys keys_;
  // The printer, its paper and orientation as last chosen, kept for the session; made on
  // first use. PDF, printer and preview share it and the scale.
  std::shared_ptr<QPrinter> printer_;
  PrintScale printScale_;
  PlanLoader loader_;
  PlanWatcher watcher_;
  ViewerSettings settings_;
  QString settingsPath_;
};

}  // namespace nerin
