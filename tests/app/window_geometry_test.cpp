// SPDX-License-Identifier: MIT
// Window size, control placement and the tab page size, for given window sizes.
#include <gtest/gtest.h>

#include "app/window_geometry.h"

namespace nerin {
namespace {

struct DesktopCase {
  std::int64_t desktopW, desktopH;
  std::int64_t w, h;
};

// ctest lists each case by this name.
void PrintTo(const DesktopCase& c, std::ostream* out) {
  *out << "desktop_" << c.desktopW << "x" << c.desktopH;
}

class MainWindowSizeTest : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(MainWindowSizeTest, FitsTheDesktop) {
  const DesktopCase& c = GetParam();
  EXPECT_EQ(MainWindowSize(c.desktopW, c.desktopH), (ControlSize{c.w, c.h}))
      << c.desktopW << " x " << c.desktopH;
}

INSTANTIATE_TEST_SUITE_P(Desktops, MainWindowSizeTest,
                         ::testing::Values(DesktopCase{1920, 1080, 1400, 860},
                                           DesktopCase{1280, 800, 1240, 720},
                                           DesktopCase{1024, 768, 984, 688}, DesktopCase{800, 600, 760, 520},
                                           DesktopCase{700, 480, 720, 460}, DesktopCase{1440, 900, 1400, 820},
                                           // 1400 is not below 1439 - 39: the width shrinks by one.
                                           DesktopCase{1439, 1080, 1399, 860},
                                           // 860 is not below 939 - 79.
                                           DesktopCase{1920, 939, 1400, 859},
                                           DesktopCase{1920, 940, 1400, 860},
                                           // An unknown desktop keeps the requested size.
                                           DesktopCase{0, 0, 1400, 860}, DesktopCase{-5, 600, 1400, 520}));

TEST(MainWindowLayoutTest, ControlsFollowWidthAndHeight) {
  const MainWindowLayout layout = MainWindowLayoutFor(1000, 600);
  EXPECT_EQ(layout.HelpButton, (ControlRect{924, 3, 32, 32}));
  EXPECT_EQ(layout.AboutButton, (ControlRect{960, 3, 32, 32}));
  EXPECT_EQ(layout.StatusField, (ControlRect{0, 568, 850, 32}));
  EXPECT_EQ(layout.MessagesButton, (ControlRect{850, 568, 150, 32}));
  EXPECT_EQ(layout.ToolbarRule, (ControlRect{0, 38, 1000, 2}));
  EXPECT_EQ(layout.AccentRule, (ControlRect{0, 40, 1000, 6}));
  EXPECT_EQ(layout.ViewTabs, (ControlRect{0, 46, 1000, 522}));
}

TEST(MainWindowLayoutTest, ControlsAtMinimumSizeStayInside) {
  const MainWindowLayout layout = MainWindowLayoutFor(720, 460);
  EXPECT_EQ(layout.AboutButton.x + layout.AboutButton.w, 712);
  EXPECT_EQ(layout.MessagesButton.x + layout.MessagesButton.w, 720);
  EXPECT_EQ(layout.ViewTabs.y + layout.ViewTabs.h, layout.StatusField.y);
}

struct PageCase {
  const char* name;
  std::int64_t reportedW, reportedH, panelW, panelH;
  std::int64_t pw, ph;
};

// ctest lists each case by this name.
void PrintTo(const PageCase& c, std::ostream* out) {
  *out << c.name;
}

class TabPageSizeTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(TabPageSizeTest, UsesReportedSizeOrPanelWithMinimum) {
  const PageCase& c = GetParam();
  EXPECT_EQ(TabPageSize(c.reportedW, c.reportedH, c.panelW, c.panelH), (ControlSize{c.pw, c.ph}));
}

INSTANTIATE_TEST_SUITE_P(Pages, TabPageSizeTest,
                         ::testing::Values(PageCase{"Reported", 996, 490, 1000, 522, 996, 490},
                                           PageCase{"NothingReported", 0, 0, 1000, 522, 1000, 498},
                                           PageCase{"NegativeReported", -1, -7, 800, 300, 800, 276},
                                           PageCase{"HeightZeroPanel60", 900, 0, 900, 60, 900, 56},
                                           PageCase{"TinyReported", 10, 20, 1000, 522, 56, 56},
                                           PageCase{"TinyPanel", 0, 0, 30, 30, 56, 56}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TabPageLayoutTest, ScrollBarsFrameTheCanvas) {
  const TabPageLayout page = TabPageLayoutFor(996, 490);
  EXPECT_EQ(page.ChartCanvas, (ControlRect{0, 0, 980, 474}));
  EXPECT_EQ(page.ChartHScroll, (ControlRect{0, 474, 980, 16}));
  EXPECT_EQ(page.ChartVScroll, (ControlRect{980, 0, 16, 474}));
  EXPECT_EQ(page.TaskList, (ControlRect{0, 0, 996, 490}));
  EXPECT_EQ(page.ResourceList, (ControlRect{0, 0, 996, 490}));
}

// Fixed-size windows on screens large and small: the whole window, frame included, stays in
// the available area, and its size is kept whenever there is room.
TEST(FittedWindowRectTest, KeepsTheSizeWithRoomAndFitsTheAreaWithout) {
  struct Case {
    const char* name;
    ControlSize requested;
    ControlRect available;
    FrameMargins frame;
    ControlRect expected;
  };
  const Case cases[] = {
      {"room to spare", {760, 620}, {0, 0, 1280, 800}, {1, 24, 1, 1}, {260, 101, 760, 620}},
      {"details at 1024x600", {760, 620}, {0, 0, 1024, 600}, {1, 24, 1, 1}, {132, 24, 760, 575}},
      {"help at 800x600", {800, 760}, {0, 0, 800, 600}, {1, 24, 1, 1}, {1, 24, 798, 575}},
      {"a panel above", {640, 380}, {0, 30, 800, 570}, {1, 24, 1, 1}, {80, 136, 640, 380}},
      {"exactly fits", {798, 575}, {0, 0, 800, 600}, {1, 24, 1, 1}, {1, 24, 798, 575}},
      {"second screen", {900, 620}, {1920, 0, 1024, 600}, {0, 0, 0, 0}, {1982, 0, 900, 600}},
      {"no room at all", {900, 620}, {0, 0, 10, 10}, {8, 30, 8, 8}, {8, 30, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ControlRect rect = FittedWindowRect(c.requested, c.available, c.frame);
    EXPECT_EQ(rect, c.expected);
    if (rect.w > 1 && rect.h > 1) {
      EXPECT_GE(rect.x - c.frame.left, c.available.x);
      EXPECT_GE(rect.y - c.frame.top, c.available.y);
      EXPECT_LE(rect.x + rect.w + c.frame.right, c.available.x + c.available.w);
      EXPECT_LE(rect.y + rect.h + c.frame.bottom, c.available.y + c.available.h);
    }
  }
}

TEST(WindowOnScreenTest, ARestoredWindowFitsTheScreenItOpensOn) {
  const FrameMargins frame{4, 30, 4, 4};
  const std::vector<ControlRect> large = {{0, 0, 1600, 1000}};
  const std::vector<ControlRect> small = {{0, 0, 1024, 600}};
  const std::vector<ControlRect> two = {{0, 0, 1600, 1000}, {1600, 0, 1024, 600}};
  struct Case {
    const char* name;
    ControlRect remembered;
    std::vector<ControlRect> screens;
    ControlRect expected;
  };
  const Case cases[] = {
      {"fits: stays", {100, 70, 1400, 860}, large, {100, 70, 1400, 860}},
      {"1600x1000 window on 1024x600", {100, 70, 1400, 860}, small, {4, 30, 1016, 566}},
      {"800x600: shrunk to the screen", {100, 70, 1400, 860}, {{0, 0, 800, 600}}, {4, 30, 792, 566}},
      {"too far right: moved left", {600, 100, 900, 500}, small, {120, 96, 900, 500}},
      {"title bar above the screen", {100, 5, 800, 500}, small, {100, 30, 800, 500}},
      {"left of the screen", {-300, 100, 720, 460}, small, {4, 100, 720, 460}},
      {"a panel at the top", {10, 10, 800, 500}, {{0, 40, 1024, 560}}, {10, 70, 800, 500}},
      {"most on the second screen", {1700, 50, 1400, 860}, two, {1604, 30, 1016, 566}},
      {"on no screen: the first", {5000, 5000, 800, 500}, two, {796, 496, 800, 500}},
      {"smaller than the window's minimum: the title bar kept",
       {0, 0, 1400, 860},
       {{0, 0, 640, 400}},
       {4, 30, MIN_WINDOW_WIDTH, MIN_WINDOW_HEIGHT}},
      {"no screens: unchanged", {100, 70, 1400, 860}, {}, {100, 70, 1400, 860}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WindowOnScreen(c.remembered, c.screens, frame), c.expected);
  }
  // The Qt form at the restore site agrees.
  EXPECT_EQ(WindowOnScreen(QRect(100, 70, 1400, 860), {QRect(0, 0, 1024, 600)}, frame),
            QRect(4, 30, 1016, 566));
}

}  // namespace
}  // namespace nerin
