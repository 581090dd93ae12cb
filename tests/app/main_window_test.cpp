// SPDX-License-Identifier: MIT
// Start-up, the controls, opening plans and what the window reports about them.
#include <QHeaderView>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "app/chart_canvas.h"
#include "app/toolbar_icon_set.h"
#include "main_window_fixture.h"
#include "views/empty_chart.h"

namespace nerin {
namespace {

using test::AppData;
using test::ColourOf;
using test::ModalWatcher;
using test::WaitUntil;

class StartupTest : public test::MainWindowTest {};

TEST_F(StartupTest, WithoutPlanShowsReadyLineAndEmptyChart) {
  Start();
  EXPECT_EQ(StatusText(), "READY | Open or drag an MS Project plan (.xml or .mpp)");
  EXPECT_EQ(StatusBackground(), QColor(232, 238, 243));
  EXPECT_EQ(C().StatusField->palette().color(QPalette::WindowText), QColor(36, 59, 83));
  EXPECT_TRUE(C().StatusField->toolTip().contains("READY"));
  EXPECT_TRUE(C().MessagesButton->isHidden());
  EXPECT_EQ(Title(), "Nerin Plan Viewer");
  EXPECT_EQ(State().CurrentView, ViewKind::Gantt);
  EXPECT_EQ(C().ViewTabs->currentIndex(), 0);
  EXPECT_FALSE(ShownPlan().ProjectLoaded);
  EXPECT_TRUE(State().NavigationKeysMode);
}

TEST_F(StartupTest, WindowTakesDropsAndKeepsItsMinimumSize) {
  Start();
  EXPECT_TRUE(Window().acceptDrops());
  EXPECT_EQ(Window().minimumSize(), QSize(720, 460));
  Window().resize(500, 300);
  EXPECT_EQ(Window().size(), QSize(720, 460));
}

struct ButtonCase {
  const char* name;
  QToolButton* MainWindowControls::*button;
  int x;
  const char* tooltip;
};

// ctest lists each case by this name.
void PrintTo(const ButtonCase& c, std::ostream* out) {
  *out << c.name;
}

class ToolbarButtonTest : public test::MainWindowTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ToolbarButtonTest, PlacedWithIconAndTooltip) {
  Start();
  const ButtonCase& c = GetParam();
  Window().resize(1000, 600);
  const QToolButton* button = C().*c.button;
  EXPECT_EQ(button->geometry(), QRect(c.x, 3, 32, 32));
  EXPECT_EQ(button->toolTip().toStdString(), c.tooltip);
  EXPECT_EQ(button->iconSize(), QSize(24, 24));
  EXPECT_FALSE(button->icon().isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Toolbar, ToolbarButtonTest,
    ::testing::Values(
        ButtonCase{"Open", &MainWindowControls::OpenButton, 8, "Open an MS Project plan, XML or .mpp (Ctrl+O)"},
        ButtonCase{"ZoomOut", &MainWindowControls::ZoomOutButton, 44, "Shrink the timeline (keypad -)"},
        ButtonCase{"ZoomIn", &MainWindowControls::ZoomInButton, 80, "Stretch the timeline (keypad +)"},
        ButtonCase{"Fit", &MainWindowControls::FitButton, 116, "Fit the visible task bars into the view (F5)"},
        ButtonCase{"Find", &MainWindowControls::FindButton, 330, "Find the next matching task (F3)"},
        ButtonCase{"Today", &MainWindowControls::TodayButton, 366, "Centre the timeline on today"},
        ButtonCase{"Critical", &MainWindowControls::CriticalButton, 402,
                   "Only critical tasks; stays pressed while the filter is on"},
        ButtonCase{"Collapse", &MainWindowControls::CollapseButton, 438, "Collapse all summary tasks"},
        ButtonCase{"Expand", &MainWindowControls::ExpandButton, 474, "Expand all summary tasks"},
        ButtonCase{"Export", &MainWindowControls::ExportButton, 510, "Save the chart as a PNG image or PDF document"},
        ButtonCase{"Compare", &MainWindowControls::CompareButton, 546,
                   "Compare with another version (Ctrl+K); stays pressed while comparing"},
        ButtonCase{"Help", &MainWindowControls::HelpButton, 924, "How to use the viewer"},
        ButtonCase{"About", &MainWindowControls::AboutButton, 960, "Version and contact"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, LayoutFollowsWindowSize) {
  Start();
  Window().resize(1000, 600);
  EXPECT_EQ(C().StatusField->geometry(), QRect(0, 568, 850, 32));
  EXPECT_EQ(C().MessagesButton->geometry(), QRect(850, 568, 150, 32));
  EXPECT_EQ(C().ToolbarRule->geometry(), QRect(0, 38, 1000, 2));
  EXPECT_EQ(C().AccentRule->geometry(), QRect(0, 40, 1000, 6));
  EXPECT_EQ(C().ViewTabs->geometry(), QRect(0, 46, 1000, 522));
  EXPECT_EQ(C().SearchField->geometry(), QRect(156, 6, 170, 26));
  EXPECT_TRUE(C().CriticalButton->isCheckable());

  const ControlSize page = Window().PageSize();
  EXPECT_LE(page.w, 1000);
  EXPECT_LE(page.h, 522 - 10);  // the tab bar takes its share
  EXPECT_EQ(C().ChartCanvas->geometry(), QRect(0, 0, int(page.w - 16), int(page.h - 16)));
  EXPECT_EQ(C().ChartHScroll->geometry(), QRect(0, int(page.h - 16), int(page.w - 16), 16));
  EXPECT_EQ(C().ChartVScroll->geometry(), QRect(int(page.w - 16), 0, 16, int(page.h - 16)));
  EXPECT_EQ(C().TaskList->geometry(), QRect(0, 0, int(page.w), int(page.h)));
  EXPECT_EQ(C().ResourceList->geometry(), QRect(0, 0, int(page.w), int(page.h)));
}

TEST_F(StartupTest, ListsHaveTheirColumns) {
  Start();
  const std::vector<std::pair<std::string, int>> tasks = {
      {"ID", 50},       {"Outline", 70}, {"Task", 240},     {"Start", 85},    {"Finish", 85},
      {"Duration", 70}, {"%", 50},       {"Slack (d)", 70}, {"Critical", 60}, {"Resources", 280},
      {"WBS", 90},      {"Actual Start", 85}, {"Actual Finish", 85}, {"% Work", 60}};
  const std::vector<std::pair<std::string, int>> resources = {
      {"Name", 200}, {"Type", 90}, {"Initials", 80}, {"Email", 200}, {"Max. Units", 80}, {"Tasks", 420}};
  for (const auto& [list, columns] :
       {std::pair{C().TaskList, tasks}, std::pair{C().ResourceList, resources}}) {
    ASSERT_EQ(list->model()->columnCount(), int(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
      EXPECT_EQ(list->model()->headerData(int(i), Qt::Horizontal).toString().toStdString(), columns[i].first);
      // The last column takes the rest of the list's width once the window is laid out.
      if (i + 1 < columns.size()) {
        EXPECT_EQ(list->columnWidth(int(i)), columns[i].second);
      } else {
        EXPECT_GE(list->columnWidth(int(i)), columns[i].second);
      }
    }
    // Several rows for Copy.
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(list->header()->isSortIndicatorShown());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->model()->rowCount(), 0);
  }
  EXPECT_EQ(C().ViewTabs->count(), 3);
  EXPECT_EQ(C().ViewTabs->tabText(0), "Gantt");
  EXPECT_EQ(C().ViewTabs->tabText(1), "Tasks");
  EXPECT_EQ(C().ViewTabs->tabText(2), "Resources");
}

TEST_F(StartupTest, CommandLinePathOpensBeforeTheFirstEvent) {
  Start({AppData("bridge.xml"), AppData("second.xml")});
  EXPECT_TRUE(ShownPlan().ProjectLoaded);
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
  EXPECT_EQ(Title(), "Bridge Works - Nerin Plan Viewer");
}

TEST_F(StartupTest, CommandLineSwitchNamesThePlan) {
  Start({AppData("bridge.xml"), "/O", AppData("second.xml")});
  EXPECT_EQ(ShownPlan().ProjectName, "Second Plan");
}

TEST_F(StartupTest, CommandLinePlanThatFailsStillStarts) {
  ModalWatcher watcher;
  Start({AppData("missing.xml")});
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "missing.xml not loaded");
  EXPECT_EQ(watcher.seen[0].text, "ERROR: File does not exist or cannot be read.\n");
  EXPECT_EQ(StatusText(), "FAILED | 1 error(s)");
  EXPECT_TRUE(Window().isVisible());
}

// The messages window of a failed command-line plan is shown before the event loop runs: the
// Gantt page must already be laid out for the page the tab panel really has.
TEST_F(StartupTest, CommandLineFailureShowsOverALaidOutWindow) {
  std::vector<QRect> pages;
  std::vector<QRect> bars;
  ModalWatcher watcher([&](QWidget* window) {
    // The viewer is still starting: it is reached through the window's parent.
    const auto* main = dynamic_cast<const MainWindow*>(window->parentWidget());
    ASSERT_NE(main, nullptr);
    for (const QScrollBar* bar : {main->Controls().ChartHScroll, main->Controls().ChartVScroll}) {
      pages.push_back(bar->parentWidget()->rect());
      bars.push_back(bar->geometry());
    }
    qobject_cast<QDialog*>(window)->reject();
  });
  Start({AppData("broken.xml")});
  ASSERT_EQ(watcher.seen.size(), 1u);
  ASSERT_EQ(pages.size(), 2u);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_TRUE(pages[i].contains(bars[i]))
        << "page " << pages[i].width() << " x " << pages[i].height() << ", bar at " << bars[i].x() << ","
        << bars[i].y() << " " << bars[i].width() << " x " << bars[i].height();
  }
  EXPECT_EQ(bars[0].bottom(), pages[0].bottom());  // ChartHScroll closes the page at the bottom
  EXPECT_EQ(bars[1].right(), pages[1].right());    // ChartVScroll at the right
}

TEST_F(StartupTest, ToolbarIconsAre24LogicalPixelsAtEveryScale) {
  for (const double scale : {1.0, 1.34, 1.35, 2.0}) {
    ToolbarIconSet icons;
    ASSERT_TRUE(LoadToolbarIcons(scale, icons)) << scale;
    for (const QPixmap& icon : icons) {
      EXPECT_EQ(icon.deviceIndependentSize(), QSizeF(24, 24)) << scale;
    }
  }
}

TEST_F(StartupTest, EmptyChartIsDrawnOnTheCanvas) {
  Start();
  Window().resize(1000, 600);
  const QImage image = C().ChartCanvas->grab().toImage();
  ASSERT_GT(image.height(), 100);
  EXPECT_EQ(image.pixelColor(2, 2), QColor(16, 42, 67));
  EXPECT_EQ(image.pixelColor(2, 70), QColor(238, 243, 247));
  EXPECT_EQ(image.pixelColor(2, image.height() - 3), QColor(16, 42, 67));
}

TEST(ChartImageTest, ShortCanvasHasNoFooter) {
  const ChartFonts fonts = LoadChartFonts();
  const QImage image = RenderChartImage(
      fonts, 300, 78, [](ChartPainter& p, std::int64_t w, std::int64_t h) { DrawEmptyChart(p, w, h); });
  EXPECT_EQ(image.pixelColor(299, 53), QColor(16, 42, 67));
  EXPECT_EQ(image.pixelColor(299, 54), QColor(238, 243, 247));
  EXPECT_EQ(image.pixelColor(299, 77), QColor(238, 243, 247));
}

TEST(ChartImageTest, RectanglesFarOutsideAreCutNotWrapped) {
  const ChartFonts fonts = LoadChartFonts();
  const QImage image = RenderChartImage(fonts, 100, 100, [](ChartPainter& p, std::int64_t, std::int64_t) {
    p.FillRect(0, 0, 100, 100, Rgb{255, 255, 255});
    p.FillRect(-5000000000LL, 10, 10000000000LL, 10, Rgb{1, 2, 3});  // spans the whole width
    p.FillRect(INT64_MAX - 5, 40, 100, 10, Rgb{9, 9, 9});            // right of everything
    p.FillRect(10, 60, 0, 10, Rgb{9, 9, 9});                         // empty
    p.Text(INT64_MIN + 10, 80, "far left", ChartFont::Text, Rgb{9, 9, 9}, Rgb{9, 9, 9});
  });
  EXPECT_EQ(image.pixelColor(0, 15), QColor(1, 2, 3));
  EXPECT_EQ(image.pixelColor(99, 15), QColor(1, 2, 3));
  EXPECT_EQ(image.pixelColor(50, 45), QColor(255, 255, 255));
  EXPECT_EQ(image.pixelColor(10, 65), QColor(255, 255, 255));
  EXPECT_EQ(image.pixelColor(0, 85), QColor(255, 255, 255));
}

TEST(ChartImageTest, OpaqueTextFillsItsCell) {
  const ChartFonts fonts = LoadChartFonts();
  std::int64_t width = 0;
  const QImage image = RenderChartImage(fonts, 200, 40, [&](ChartPainter& p, std::int64_t, std::int64_t) {
    p.FillRect(0, 0, 200, 40, Rgb{255, 255, 255});
    p.Text(10, 5, "Deck", ChartFont::Bold, Rgb{0, 0, 0}, Rgb{255, 236, 153});
    width = p.TextWidth("Deck", ChartFont::Bold);
    EXPECT_GT(p.TextHeight(ChartFont::Text), p.TextHeight(ChartFont::Small) - 1);
  });
  ASSERT_GT(width, 10);
  EXPECT_EQ(image.pixelColor(10, 5), QColor(255, 236, 153));
  EXPECT_EQ(image.pixelColor(int(10 + width + 1), 5), QColor(255, 255, 255));
}

class OpenReportTest : public test::MainWindowTest {};

TEST_F(OpenReportTest, PlanWithWarningsShowsWarningLineAndButton) {
  Start();
  EXPECT_TRUE(Open("quay-warnings.xml").empty());
  const std::int64_t warnings = CountMessages(ShownLog(), MessageLevel::Warning);
  ASSERT_EQ(warnings, 2);
  const std::int64_t infos = CountMessages(ShownLog(), MessageLevel::Info);
  const std::string expected = "WARNING | loaded | 3 tasks | 1 resources | 2 dependencies | 2 warning(s)" +
                               (infos > 0 ? " | " + std::to_string(infos) + " message(s)" : std::string()) +
                               " | loaded in ";
  EXPECT_EQ(StatusText().substr(0, expected.size()), expected);
  EXPECT_EQ(StatusBackground(), QColor(255, 224, 150));
  EXPECT_FALSE(C().MessagesButton->isHidden());
  EXPECT_EQ(C().MessagesButton->text(), "View warnings (2)");
  // The load report in a fixed-pitch block, so that its column of times lines up.
  EXPECT_TRUE(C().StatusField->toolTip().contains("</p><pre>"));
  EXPECT_TRUE(C().StatusField->toolTip().contains("quay-warnings.xml"));
  EXPECT_EQ(Title(), "Quay Wall - Nerin Plan Viewer");
  // The busy pointer of the read is gone once the plan is shown.
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OpenReportTest, CleanPlanShowsOkLineAndMessagesButton) {
  Start();
  Open("bridge.xml");
  const std::int64_t infos = CountMessages(ShownLog(), MessageLevel::Info);
  ASSERT_GT(infos, 0);
  const std::string expected = "OK | loaded | 3 tasks | 1 resources | 2 dependencies | " +
                               std::to_string(infos) + " message(s) | loaded in ";
  EXPECT_EQ(StatusText().substr(0, expected.size()), expected);
  EXPECT_EQ(StatusBackground(), QColor(198, 232, 205));
  EXPECT_EQ(C().MessagesButton->text().toStdString(), "View messages (" + std::to_string(infos) + ")");
}

TEST_F(OpenReportTest, BrokenFileKeepsTheShownPlan) {
  Start();
  Open("bridge.xml");
  const std::vector<ModalWatcher::Seen> seen = Open("broken.xml");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "broken.xml not loaded");
  EXPECT_EQ(seen[0].text,
            "ERROR: XML is syntactically invalid.\n"
            "INFO: The XML parser stopped at line 3, column 1: no element found.\n");
  const std::string expected = "FAILED | 1 error(s) | previous project is still displayed | loaded in ";
  EXPECT_EQ(StatusText().substr(0, expected.size()), expected);
  EXPECT_EQ(StatusBackground(), QColor(245, 190, 190));
  EXPECT_TRUE(C().MessagesButton->isHidden());
  EXPECT_TRUE(ShownPlan().ProjectLoaded);
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
  EXPECT_EQ(Title(), "Bridge Works - Nerin Plan Viewer");
}

TEST_F(OpenReportTest, PlanThatFailsLateEmptiesTheViews) {
  Start();
  Open("bridge.xml");
  Window().Send(TabEvent{ViewKind::Tasks});
  Window().Send(TabEvent{ViewKind::Resources});
  ASSERT_GT(C().TaskList->model()->rowCount(), 0);
  ASSERT_GT(C().ResourceList->model()->rowCount(), 0);
  Window().Send(TabEvent{ViewKind::Gantt});
  const std::vector<ModalWatcher::Seen> seen = Open("late-failure.xml");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "late-failure.xml not loaded");
  EXPECT_NE(seen[0].text.find("ERROR: Invalid project finish date.\n"),
            std::string::npos);
  EXPECT_FALSE(ShownPlan().ProjectLoaded);
  EXPECT_EQ(StatusText(), "FAILED | 1 error(s)");
  EXPECT_EQ(Title(), "Nerin Plan Viewer");
  EXPECT_EQ(C().TaskList->model()->rowCount(), 0);
  EXPECT_EQ(C().ResourceList->model()->rowCount(), 0);
  EXPECT_FALSE(State().TaskListFilled);
  EXPECT_FALSE(State().ResourceListFilled);
  EXPECT_TRUE(C().MessagesButton->isHidden());
}

// The reset in depth is the session's (viewer_session_test); here the Critical button follows.
TEST_F(OpenReportTest, NewPlanResetsTheFilters) {
  Start();
  Open("linked-phases.xml");
  C().SearchField->setText(QStringLiteral("a"));
  Window().RunCommand(Command::FindNext);
  C().CriticalButton->click();
  ASSERT_TRUE(State().Rows.CriticalFilter);
  ASSERT_GE(State().FindHighlight, 0);
  Open("second.xml");
  EXPECT_EQ(State().FindHighlight, -1);
  EXPECT_FALSE(State().Rows.CriticalFilter);
  EXPECT_FALSE(C().CriticalButton->isChecked());
  EXPECT_EQ(Title(), "Second Plan - Nerin Plan Viewer");
}

TEST_F(OpenReportTest, TitleFollowsTheProjectName) {
  Start();
  Open("bridge.xml");
  EXPECT_EQ(Title(), "Bridge Works - Nerin Plan Viewer");
  // A plan with neither Name nor Title goes by its file's name.
  Open("unnamed.xml");
  EXPECT_TRUE(ShownPlan().ProjectLoaded);
  EXPECT_EQ(Title(), "unnamed - Nerin Plan Viewer");
}

TEST_F(OpenReportTest, LoadedPlanShowsItsNameOnTheCanvasForNow) {
  Start();
  Window().resize(1000, 600);
  const QImage empty = C().ChartCanvas->grab().toImage();
  Open("bridge.xml");
  const QImage image = C().ChartCanvas->grab().toImage();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(16, 42, 67));
  EXPECT_TRUE(ShownPlan().ProjectLoaded);
  // The second line of the title band names the plan instead of "No project loaded".
  ASSERT_EQ(image.size(), empty.size());
  EXPECT_NE(image.copy(0, 27, image.width(), 20), empty.copy(0, 27, empty.width(), 20));
}

class DropTest : public test::MainWindowTest {
 protected:
  // Drops the files on the window as a file manager does and waits, asserting, until the drop
  // has been handled as `handled` says.
  std::vector<ModalWatcher::Seen> Drop(const QList<QUrl>& urls, const std::function<bool(const ModalWatcher&)>& handled) {
    ModalWatcher watcher;
    QMimeData data;
    data.setUrls(urls);
    // A drop reaches the window that accepted the drag when it entered.
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Window(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Window(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(WaitUntil([&] { return handled(watcher); }, 20000));
    Settle();
    return watcher.seen;
  }

  bool AcceptsDrag(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&Window(), &enter);
    return enter.isAccepted();
  }
};

TEST_F(DropTest, XmlInCapitalsLoads) {
  Start();
  EXPECT_TRUE(Drop({QUrl::fromLocalFile(QString::fromStdString(AppData("dropped-plan.XML")))},
                   [this](const ModalWatcher&) { return ShownPlan().ProjectLoaded; })
                  .empty());
  EXPECT_TRUE(ShownPlan().ProjectLoaded);
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
}

TEST_F(DropTest, TextFileIsRefusedAndThePlanStays) {
  Start();
  Open("bridge.xml");
  const std::string status = StatusText();
  const std::vector<ModalWatcher::Seen> seen =
      Drop({QUrl::fromLocalFile(QString::fromStdString(AppData("notes.txt")))},
           [](const ModalWatcher& watcher) { return !watcher.seen.empty(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "File not loaded");
  EXPECT_EQ(seen[0].text, "Only MS Project plans (.xml or .mpp files) are supported.");
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
  EXPECT_EQ(StatusText(), status);
}

TEST_F(DropTest, OnlyTheFirstOfTwoFilesLoads) {
  Start();
  Drop({QUrl::fromLocalFile(QString::fromStdString(AppData("bridge.xml"))),
        QUrl::fromLocalFile(QString::fromStdString(AppData("second.xml")))},
       [this](const ModalWatcher&) { return ShownPlan().ProjectLoaded; });
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
}

TEST_F(DropTest, DragOfLocalFilesIsOfferedWebLinksAreNot) {
  Start();
  EXPECT_TRUE(AcceptsDrag({QUrl::fromLocalFile("/tmp/plan.xml")}));
  EXPECT_TRUE(AcceptsDrag({QUrl::fromLocalFile("/tmp/notes.txt")}));
  EXPECT_FALSE(AcceptsDrag({QUrl("https://example.org/plan.xml")}));
}

}  // namespace
}  // namespace nerin
