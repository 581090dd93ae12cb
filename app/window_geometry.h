// SPDX-License-Identifier: MIT
// Where the main window and its controls go, as plain values.
#pragma once

#include <cstdint>
#include <vector>

#include <QList>
#include <QRect>

namespace nerin {

struct ControlRect {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t w = 0;
  std::int64_t h = 0;

  friend constexpr bool operator==(const ControlRect&, const ControlRect&) = default;
};

struct ControlSize {
  std::int64_t w = 0;
  std::int64_t h = 0;

  friend constexpr bool operator==(const ControlSize&, const ControlSize&) = default;
};

inline constexpr std::int64_t MIN_WINDOW_WIDTH = 720;
inline constexpr std::int64_t MIN_WINDOW_HEIGHT = 460;
inline constexpr std::int64_t TOOLBAR_BUTTON_SIZE = 32;
inline constexpr std::int64_t TOOLBAR_BUTTON_Y = 3;
inline constexpr std::int64_t TOOLBAR_ICON_SIZE = 24;

// The inner size of the main window on a desktop of that size (0 or less: unknown).
ControlSize MainWindowSize(std::int64_t desktopWidth, std::int64_t desktopHeight);

// The page area of the tab panel from what the panel reports for its pages (0 or less when
// it cannot tell yet) and the panel's own size; each side at least 56.
ControlSize TabPageSize(std::int64_t reportedWidth, std::int64_t reportedHeight, std::int64_t panelWidth,
                        std::int64_t panelHeight);

// The controls that move with the window size W x H.
struct MainWindowLayout {
  ControlRect StatusField;
  ControlRect MessagesButton;
  ControlRect ToolbarRule;
  ControlRect AccentRule;
  ControlRect ViewTabs;
  ControlRect HelpButton;
  ControlRect AboutButton;
};
MainWindowLayout MainWindowLayoutFor(std::int64_t w, std::int64_t h);

// The controls inside a tab page of PW x PH.
struct TabPageLayout {
  ControlRect ChartCanvas;
  ControlRect ChartHScroll;
  ControlRect ChartVScroll;
  ControlRect TaskList;
  ControlRect ResourceList;
};
TabPageLayout TabPageLayoutFor(std::int64_t pw, std::int64_t ph);

// The room a window manager's frame takes around a window's inner area.
struct FrameMargins {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
};

// Where a window of a fixed inner size goes in the screen's available area: at its size,
// centred, when the area has room for it and its frame; else each side as large as fits, with
// the frame's top-left corner kept inside the area so that the title bar can be reached. At
// least 1 x 1.
ControlRect FittedWindowRect(ControlSize requested, const ControlRect& available, const FrameMargins& frame);

// The frame a window manager is taken to add before the window is shown and its real frame
// can be measured: a title bar and thin borders.
inline constexpr FrameMargins USUAL_WINDOW_FRAME{4, 30, 4, 4};

// Where a window remembered at this inner rectangle opens on the screens of now (their
// available areas): on the screen that holds most of it (the first when none holds any of it),
// shrunk to that screen's room less the frame, but never below the window's minimum size, and
// moved as little as needed to stand inside the screen with its frame (its title bar kept on
// the screen when the window cannot fit). A window that fits stays as it was.
ControlRect WindowOnScreen(const ControlRect& window, const std::vector<ControlRect>& screens,
                           const FrameMargins& frame);
// The same between Qt rectangles, at the place the window is restored.
QRect WindowOnScreen(const QRect& window, const QList<QRect>& screens,
                     const FrameMargins& frame = USUAL_WINDOW_FRAME);

}  // namespace nerin
