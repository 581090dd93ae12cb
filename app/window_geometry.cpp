// SPDX-License-Identifier: MIT
#include "app/window_geometry.h"

#include <algorithm>

#include "calendar/narrow.h"

namespace nerin {

namespace {

constexpr std::int64_t kRequestedWidth = 1400;
constexpr std::int64_t kRequestedHeight = 860;
constexpr std::int64_t kMinPageSide = 56;
constexpr std::int64_t kTabBarAllowance = 24;
constexpr std::int64_t kStatusHeight = 32;
constexpr std::int64_t kMessagesButtonWidth = 150;
constexpr std::int64_t kScrollBarThickness = 16;
// Below the toolbar and its two rules.
constexpr std::int64_t kTabsTop = 46;
// The height the tab panel does not get.
constexpr std::int64_t kChromeHeight = kTabsTop + kStatusHeight;

}  // namespace

ControlSize MainWindowSize(std::int64_t desktopWidth, std::int64_t desktopHeight) {
  ControlSize size{kRequestedWidth, kRequestedHeight};
  // Leave room for the frame and the task bar when the desktop is not much larger.
  if (desktopWidth >= 1 && size.w >= desktopWidth - 39) {
    size.w = desktopWidth - 40;
  }
  if (desktopHeight >= 1 && size.h >= desktopHeight - 79) {
    size.h = desktopHeight - 80;
  }
  size.w = std::max(size.w, MIN_WINDOW_WIDTH);
  size.h = std::max(size.h, MIN_WINDOW_HEIGHT);
  return size;
}

ControlSize TabPageSize(std::int64_t reportedWidth, std::int64_t reportedHeight, std::int64_t panelWidth,
                        std::int64_t panelHeight) {
  ControlSize page{reportedWidth, reportedHeight};
  if (page.w <= 0) {
    page.w = panelWidth;
  }
  if (page.h <= 0) {
    page.h = panelHeight - kTabBarAllowance;
  }
  page.w = std::max(page.w, kMinPageSide);
  page.h = std::max(page.h, kMinPageSide);
  return page;
}

MainWindowLayout MainWindowLayoutFor(std::int64_t w, std::int64_t h) {
  MainWindowLayout layout;
  layout.StatusField = {0, h - kStatusHeight, w - kMessagesButtonWidth, kStatusHeight};
  layout.MessagesButton = {w - kMessagesButtonWidth, h - kStatusHeight, kMessagesButtonWidth, kStatusHeight};
  layout.ToolbarRule = {0, 38, w, 2};
  layout.AccentRule = {0, 40, w, 6};
  layout.ViewTabs = {0, kTabsTop, w, h - kChromeHeight};
  layout.HelpButton = {w - 76, TOOLBAR_BUTTON_Y, TOOLBAR_BUTTON_SIZE, TOOLBAR_BUTTON_SIZE};
  layout.AboutButton = {w - 40, TOOLBAR_BUTTON_Y, TOOLBAR_BUTTON_SIZE, TOOLBAR_BUTTON_SIZE};
  return layout;
}

TabPageLayout TabPageLayoutFor(std::int64_t pw, std::int64_t ph) {
  const std::int64_t s = kScrollBarThickness;
  TabPageLayout layout;
  layout.ChartCanvas = {0, 0, pw - s, ph - s};
  layout.ChartHScroll = {0, ph - s, pw - s, s};
  layout.ChartVScroll = {pw - s, 0, s, ph - s};
  layout.TaskList = {0, 0, pw, ph};
  layout.ResourceList = {0, 0, pw, ph};
  return layout;
}

ControlRect FittedWindowRect(ControlSize requested, const ControlRect& available, const FrameMargins& frame) {
  const std::int64_t frameWidth = frame.left + frame.right;
  const std::int64_t frameHeight = frame.top + frame.bottom;
  ControlRect rect;
  rect.w = std::max<std::int64_t>(std::min(requested.w, available.w - frameWidth), 1);
  rect.h = std::max<std::int64_t>(std::min(requested.h, available.h - frameHeight), 1);
  // Centred with its frame; never above or left of the area.
  rect.x = std::max(available.x + (available.w - rect.w - frameWidth) / 2, available.x) + frame.left;
  rect.y = std::max(available.y + (available.h - rect.h - frameHeight) / 2, available.y) + frame.top;
  return rect;
}

namespace {

std::int64_t OverlapArea(const ControlRect& a, const ControlRect& b) {
  const std::int64_t w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
  const std::int64_t h = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

// One side of the window within one side of the screen: shrunk to the room, then moved as
// little as needed, the near edge (left, top: the title bar) winning when it cannot fit.
void FitSide(std::int64_t& start, std::int64_t& length, std::int64_t areaStart, std::int64_t areaLength,
             std::int64_t nearFrame, std::int64_t farFrame, std::int64_t minimum) {
  length = std::max(std::min(length, areaLength - nearFrame - farFrame), minimum);
  start = std::min(start, areaStart + areaLength - farFrame - length);
  start = std::max(start, areaStart + nearFrame);
}

}  // namespace

ControlRect WindowOnScreen(const ControlRect& window, const std::vector<ControlRect>& screens,
                           const FrameMargins& frame) {
  if (screens.empty()) return window;
  const ControlRect outer{window.x - frame.left, window.y - frame.top, window.w + frame.left + frame.right,
                          window.h + frame.top + frame.bottom};
  const ControlRect* screen = &screens.front();
  std::int64_t most = 0;
  for (const ControlRect& candidate : screens) {
    const std::int64_t area = OverlapArea(outer, candidate);
    if (area > most) {
      most = area;
      screen = &candidate;
    }
  }
  if (screen->w <= 0 || screen->h <= 0) return window;
  ControlRect placed = window;
  FitSide(placed.x, placed.w, screen->x, screen->w, frame.left, frame.right, MIN_WINDOW_WIDTH);
  FitSide(placed.y, placed.h, screen->y, screen->h, frame.top, frame.bottom, MIN_WINDOW_HEIGHT);
  return placed;
}

QRect WindowOnScreen(const QRect& window, const QList<QRect>& screens, const FrameMargins& frame) {
  std::vector<ControlRect> areas;
  for (const QRect& screen : screens)
    areas.push_back({screen.x(), screen.y(), screen.width(), screen.height()});
  const ControlRect placed =
      WindowOnScreen({window.x(), window.y(), window.width(), window.height()}, areas, frame);
  return {NarrowToInt(placed.x), NarrowToInt(placed.y), NarrowToInt(placed.w), NarrowToInt(placed.h)};
}

}  // namespace nerin
