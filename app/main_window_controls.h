// SPDX-License-Identifier: MIT
// The main window's controls and keys: made and placed here, so that the window itself only
// connects them to the session.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <QKeySequence>
#include <QString>

#include "app/chart_canvas.h"
#include "app/help_items.h"
#include "app/toolbar_icon_set.h"
#include "app/window_geometry.h"
#include "model/plan.h"
#include "views/viewer_session.h"

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollBar;
class QShortcut;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;
class QWidget;

namespace nerin {

class PlanListModel;

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
  QToolButton* CompareButton = nullptr;
  QToolButton* HelpButton = nullptr;
  QToolButton* AboutButton = nullptr;
  QLabel* StatusField = nullptr;
  QPushButton* MessagesButton = nullptr;
  // In the messages button's place while a load runs.
  QPushButton* StopButton = nullptr;
  QWidget* ToolbarRule = nullptr;
  QWidget* AccentRule = nullptr;
  QTabWidget* ViewTabs = nullptr;
  ChartCanvasWidget* ChartCanvas = nullptr;
  QScrollBar* ChartHScroll = nullptr;
  QScrollBar* ChartVScroll = nullptr;
  QTreeView* TaskList = nullptr;
  QTreeView* ResourceList = nullptr;
  // The recent plans, behind the arrow beside Open; empty until filled.
  QMenu* RecentMenu = nullptr;
};

inline constexpr const char* COMPARE_BUTTON_TOOLTIP = ToolbarToolTip(ToolbarButton::Compare);
inline constexpr const char* STOP_COMPARING_TOOLTIP = "Stop comparing (Esc)";

// Every control of a window of `parent`'s size, as children of `parent`, the Gantt page current
// and the chart holding the keyboard. The lists show the two models given.
MainWindowControls BuildControls(QWidget* parent, const ToolbarIconSet& icons, const ChartFonts& fonts,
                                 PlanListModel* taskModel, PlanListModel* resourceModel);
// The controls placed for a window of `w` x `h`.
void PlaceControls(const MainWindowControls& controls, std::int64_t w, std::int64_t h);
// The page area of the tab panel as it stands now.
ControlSize TabPanelPageSize(const QTabWidget& tabs);

// The session's scroll bar state shown, without telling the session of it again; a bar with
// nothing to scroll (no plan) shows no thumb.
void ShowScrollBar(QScrollBar* bar, const ScrollBarState& state);
// The session's list selection shown: the row selected and in view, the list focused if asked.
void ShowListSelection(const MainWindowControls& controls, const ListSelection& selection);
// The session's timers by SessionTimer, each with its interval and, for the hover box and the
// redraw, as single shots; then each started, stopped or left as it runs, as the session says.
void SetUpSessionTimers(std::span<QTimer, 4> timers);
void RunTimers(std::span<QTimer, 4> timers, const TimerEffects& effects);

// The status line in its colours, its whole text (and the load report, if any) as its tooltip.
void ShowStatusLine(QLabel* field, const std::string& text, Rgb background, const std::string& report = {});
QString StatusToolTip(const std::string& line, const std::string& report);
// The window's title: the plan's name, if any, and the program's.
void ShowWindowTitle(QWidget* window, const Plan& plan);
// The recent plans behind the arrow beside Open, numbered, each opening through `open`.
void FillRecentMenu(QMenu* menu, const std::vector<std::string>& plans,
                    const std::function<void(const std::string&)>& open);
// The local files of a drag or a drop, as paths; web links are none.
std::vector<std::string> LocalFilePaths(const QMimeData* data);
// A path as the file system names it.
QString LocalPath(const std::string& path);

// The toolbar button whose normal picture is `icon`, or none.
QToolButton* ButtonOfIcon(const MainWindowControls& controls, ToolbarIcon icon);
QTreeView* ListOf(const MainWindowControls& controls, ViewKind view);
// The buttons and the commands their clicks run.
std::vector<std::pair<QAbstractButton*, Command>> ButtonCommands(const MainWindowControls& controls);

struct CommandKey {
  QKeySequence Key;
  Command Run;
};
// The window's command keys, which the search field gives up rather than keep for editing.
std::span<const CommandKey> CommandKeys();

struct NavigationBinding {
  int Key;
  NavigationKey Navigation;
};
// The keys that move through the views while the navigation keys are on.
std::span<const NavigationBinding> NavigationBindings();

// The command of a key of the numeric keypad pressed without Ctrl, Alt or Shift: + and - zoom,
// and Enter finds while the navigation keys are off (the search field has the focus); else none.
std::optional<Command> KeypadCommand(const QKeyEvent& key, bool navigationKeys);

// A repeating shortcut of `window` that runs `action`.
QShortcut* AddWindowShortcut(QWidget* window, const QKeySequence& key, const std::function<void()>& action);

// The window's shortcuts as the session has them: the command keys and Ctrl+C always, the
// navigation keys or Enter by where the keyboard is, Esc while a load runs or a plan is compared.
class WindowKeys {
 public:
  // The command keys of `window` and the navigation keys on; the keys run `run` and `navigate`.
  void Register(QWidget* window, std::function<void(Command)> run, std::function<void(NavigationKey)> navigate);
  // The navigation keys as shortcuts (on), or Enter finding from the search field (off).
  void SetNavigation(bool on);
  void SetEscape(bool on);
  // A key of the window's commands, which the search field gives up rather than keep for editing.
  bool IsCommandKey(const QKeySequence& key) const;

 private:
  QWidget* window_ = nullptr;
  std::function<void(Command)> run_;
  std::function<void(NavigationKey)> navigate_;
  std::vector<QKeySequence> commandKeys_;
  std::vector<QShortcut*> navigation_;
  std::vector<QShortcut*> enter_;
  QShortcut* escape_ = nullptr;
};

}  // namespace nerin
