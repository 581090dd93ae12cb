// SPDX-License-Identifier: MIT
// The Help and About windows: word wrap, the place of each item, the thumb and the wheel without
// a window; then both windows opened from the toolbar as a user would.
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <limits>

#include "app/text_layout.h"
#include "app/text_window.h"
#include "main_window_fixture.h"

namespace nerin {
namespace {

using test::ModalWatcher;

// Every byte 10 pixels wide, in every font.
std::int64_t TenPerByte(const std::string& text, TextFont /*font*/) {
  return static_cast<std::int64_t>(text.size()) * 10;
}

struct WrapCase {
  const char* name;
  std::string text;
  std::int64_t width;
  std::vector<std::string> lines;
};

TEST(TextWrapTest, BreaksAtSpacesOnly) {
  const WrapCase cases[] = {
      {"empty text has no line", "", 100, {}},
      {"fits exactly", "one two", 70, {"one two"}},
      {"one pixel short", "one two", 69, {"one", "two"}},
      {"three lines", "aa bb cc dd ee", 50, {"aa bb", "cc dd", "ee"}},
      {"long word alone, never broken", "a extraordinarily b", 50, {"a", "extraordinarily", "b"}},
      {"long first word", "extraordinarily", 20, {"extraordinarily"}},
      {"double space kept inside a line", "a  b", 100, {"a  b"}},
  };
  for (const WrapCase& c : cases) {
    EXPECT_EQ(WrapText(c.text, c.width, TextFont::Body, TenPerByte), c.lines) << c.name;
  }
}

struct AdvanceCase {
  const char* name;
  HelpItem item;
  std::int64_t advance;
};

TEST(TextLayoutTest, EachKindAdvancesByItsRule) {
  // W = 800: paragraphs wrap at 728 pixels (72 bytes), key descriptions at 546 (54 bytes),
  // notes at 746 (74 bytes).
  const std::string words40(39, 'w');  // with a space: two of these make 79 bytes
  const std::string twoLines = words40 + " " + words40;
  const std::string threeKeyLines =
      std::string(50, 'k') + " " + std::string(50, 'k') + " " + std::string(50, 'k');
  const AdvanceCase cases[] = {
      {"heading", {HelpItemKind::Heading, "Toolbar", "", -1}, 45},
      {"paragraph, one line", {HelpItemKind::Paragraph, "short", "", -1}, 22 + 3},
      {"paragraph, two lines", {HelpItemKind::Paragraph, twoLines, "", -1}, 44 + 3},
      {"key row, one line", {HelpItemKind::KeyRow, "F3", "Find the next match", -1}, 27},
      {"key row, two lines", {HelpItemKind::KeyRow, "F5", twoLines, -1}, 49},
      {"key row, three lines", {HelpItemKind::KeyRow, "F5", threeKeyLines, -1}, 71},
      {"note, two lines", {HelpItemKind::Note, twoLines, "", -1}, 4 + 38 + 2},
      {"spacer", {HelpItemKind::Spacer, "", "", -1}, 10},
      {"legend row", {HelpItemKind::LegendRow, "FS", "finish to start", 0x6B6A61}, 25},
      // Descriptions from x 122 wrap at 646 pixels (64 bytes).
      {"legend row, description of two lines", {HelpItemKind::MarkLegendRow, "other", twoLines, 0x6B6A61}, 44 + 3},
      {"title", {HelpItemKind::Title, "Nerin Plan Viewer", "", -1}, 40},
      {"centred line", {HelpItemKind::CentredLine, "Version 1", "", -1}, 26},
      {"toolbar row", {HelpItemKind::ToolbarRow, "Open", "Open a file", 0}, 30},
      // From x 152 they wrap at 616 pixels (61 bytes), below the text's first line at y + 3.
      {"toolbar row, description of two lines", {HelpItemKind::ToolbarRow, "Export", twoLines, 9}, 3 + 44 + 5},
      {"small note, one line", {HelpItemKind::SmallNote, "credits", "", -1}, 3 + 17 + 2},
  };
  for (const AdvanceCase& c : cases) {
    std::vector<TextOp> ops;
    EXPECT_EQ(LayOutItem(c.item, 100, 800, TenPerByte, ops) - 100, c.advance) << c.name;
  }
}

TEST(TextLayoutTest, WrappedLinesStackUnderEachOther) {
  const std::string words40(39, 'w');
  std::vector<TextOp> ops;
  LayOutItem({HelpItemKind::KeyRow, "F5", words40 + " " + words40, -1}, 100, 800, TenPerByte, ops);
  ASSERT_EQ(ops.size(), 4u);
  EXPECT_EQ(ops[0], (TextOp{TextOp::Kind::Fill, 22, 98, 756, 25, "", TextFont::Body, TEXT_KEY_BAND, -1}));
  EXPECT_EQ(ops[1], (TextOp{TextOp::Kind::Text, 30, 100, 0, 0, "F5", TextFont::Key, TEXT_DARK, -1}));
  EXPECT_EQ(ops[2], (TextOp{TextOp::Kind::Text, 222, 100, 0, 0, words40, TextFont::Body, TEXT_DARK, -1}));
  EXPECT_EQ(ops[3], (TextOp{TextOp::Kind::Text, 222, 122, 0, 0, words40, TextFont::Body, TEXT_DARK, -1}));
}

TEST(TextLayoutTest, LegendDrivingLinkIsABarOthersALine) {
  for (const auto& [colour, lineY, lineHeight] :
       {std::tuple{Rgb{255, 0, 0}, 107, 3}, std::tuple{Rgb{97, 106, 107}, 108, 1}}) {
    std::vector<TextOp> ops;
    LayOutItem({HelpItemKind::LegendRow, "FS", "finish to start", ColourValue(colour)}, 100, 800, TenPerByte, ops);
    ASSERT_EQ(ops.size(), 7u);
    EXPECT_EQ(ops[0],
              (TextOp{TextOp::Kind::Fill, 30, lineY, 30, lineHeight, "", TextFont::Body, colour, -1}));
    for (int i = 0; i < 4; ++i) {  // the arrow head narrows to a point at the line's middle
      EXPECT_EQ(ops[1 + i],
                (TextOp{TextOp::Kind::Fill, 60 + i, 105 + i, 1, 7 - 2 * i, "", TextFont::Body, colour, -1}));
    }
  }
}

TEST(TextLayoutTest, LegendSamplesAreDrawnAsTheChartDrawsThem) {
  const Rgb colour{196, 48, 160};
  const struct {
    const char* name;
    HelpItemKind kind;
    std::vector<TextOp> sample;
  } cases[] = {
      {"the earlier version's dates: a thin bar",
       HelpItemKind::BarLegendRow,
       {{TextOp::Kind::Fill, 30, 107, 34, 2, "", TextFont::Body, colour, -1}}},
      {"a changed row: the mark at the row's left edge",
       HelpItemKind::MarkLegendRow,
       {{TextOp::Kind::Fill, 30, 101, 4, 16, "", TextFont::Body, colour, -1}}},
  };
  for (const auto& c : cases) {
    std::vector<TextOp> ops;
    EXPECT_EQ(LayOutItem({c.kind, "bar", "what it means", ColourValue(colour)}, 100, 800, TenPerByte, ops), 125);
    ops.resize(std::min(ops.size(), c.sample.size()));
    EXPECT_EQ(ops, c.sample) << c.name;
  }
}

// The x of every description (Body text right of a name) in a laid-out document.
std::vector<std::int64_t> DescriptionXs(const std::vector<HelpItem>& items) {
  std::vector<std::int64_t> xs;
  for (const TextOp& op : LayOutDocument(items, 800, TenPerByte).ops) {
    if (op.kind == TextOp::Kind::Text && op.font == TextFont::Body) xs.push_back(op.x);
  }
  return xs;
}

TEST(TextLayoutTest, RowsOfOneSortStandInColumns) {
  const struct {
    const char* name;
    std::vector<HelpItem> items;
    std::vector<std::int64_t> xs;
  } cases[] = {
      {"short link names keep the usual column",
       {{HelpItemKind::LegendRow, "FS", "finish to start", 0}, {HelpItemKind::LegendRow, "red", "driving", 0}},
       {122, 122}},
      // "earlier" is 70 pixels wide: 78 + 70 + 14.
      {"one long name moves the whole run, whatever its samples",
       {{HelpItemKind::BarLegendRow, "bar", "dates", 0},
        {HelpItemKind::MarkLegendRow, "earlier", "finishes earlier", 0},
        {HelpItemKind::MarkLegendRow, "other", "another change", 0}},
       {162, 162, 162}},
      {"each run has its own column",
       {{HelpItemKind::LegendRow, "FS", "finish to start", 0},
        {HelpItemKind::Heading, "between", "", -1},
        {HelpItemKind::MarkLegendRow, "earlier", "finishes earlier", 0}},
       {122, 162}},
      // "Page Up / Page Down" is 190 pixels wide: 30 + 190 + 14.
      {"key rows", {{HelpItemKind::KeyRow, "F3", "find", -1}, {HelpItemKind::KeyRow, "Page Up / Page Down", "page", -1}}, {234, 234}},
      {"toolbar rows", {{HelpItemKind::ToolbarRow, "Compare", "compare", 15}, {HelpItemKind::ToolbarRow, "Help", "help", 10}},
       {152, 152}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DescriptionXs(c.items), c.xs) << c.name;
  }
}

struct ThumbCase {
  const char* name;
  std::int64_t content;
  std::int64_t offset;
  ScrollThumb thumb;
};

TEST(TextLayoutTest, ThumbGeometry) {
  // The Help surface: 800 x 708, so 658 pixels of items are visible.
  const ThumbCase cases[] = {
      {"at the top", 1500, 0, {true, 793, 50, 4, 288}},
      {"at the end", 1500, 842, {true, 793, 50 + 370, 4, 288}},
      {"very long content, smallest thumb", 100000, 0, {true, 793, 50, 4, 24}},
      {"content that fits", 658, 0, {false, 0, 0, 0, 0}},
      {"longer only by the margin below the items", 672, 0, {false, 0, 0, 0, 0}},
      {"the last item one pixel below the surface", 673, 1, {true, 793, 50 + 1, 4, 643}},
  };
  for (const ThumbCase& c : cases) {
    const ScrollThumb t = ThumbGeometry(800, 708, c.content, c.offset);
    EXPECT_EQ(std::tie(t.shown, t.x, t.y, t.w, t.h),
              std::tie(c.thumb.shown, c.thumb.x, c.thumb.y, c.thumb.w, c.thumb.h))
        << c.name;
  }
}

struct WheelCase {
  const char* name;
  std::int64_t offset;
  std::int64_t notches;
  std::int64_t content;
  std::int64_t expected;
};

TEST(TextLayoutTest, WheelStaysWithinTheContent) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  // Surface 708 high: content 1500 scrolls up to 1500 - 708 + 50 = 842.
  const WheelCase cases[] = {
      {"one notch toward the user scrolls down", 0, -1, 1500, 54},
      {"one notch away from the user scrolls up", 108, 1, 1500, 54},
      {"far past the end", 0, -1000000, 1500, 842},
      {"far past the top", 842, 1000000, 1500, 0},
      {"extreme spin down", 0, kMin, 1500, 842},
      {"extreme spin up", 842, kMax, 1500, 0},
      {"content that fits does not scroll", 0, -3, 600, 0},
      {"items that end on the surface do not scroll", 0, -3, 672, 0},
      {"the last item one pixel below the surface", 0, -3, 673, 15},
  };
  for (const WheelCase& c : cases) {
    EXPECT_EQ(WheelScroll(c.offset, c.notches, c.content, 708), c.expected) << c.name;
  }
}

TEST(HelpDocumentTest, HelpAndAboutRefillTheSameList) {
  HelpDocument document;
  FillAboutDocument(document, "1.2.3", "someone@example.org");
  FillHelpDocument(document);
  FillHelpDocument(document);
  EXPECT_EQ(document.caption, "Help");
  ASSERT_EQ(document.items.size(), 72u);
  EXPECT_EQ(document.items[66].text, "Ctrl+P");
  EXPECT_EQ(document.items[67].text, "Ctrl+Shift+P");
  EXPECT_EQ(document.items[68].text, "+  /  -");
  // The toolbar rows show their pictures in toolbar order: Compare follows Export.
  const int pictures[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 10, 11};
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(document.items[static_cast<std::size_t>(10 + i)].kind, HelpItemKind::ToolbarRow);
    EXPECT_EQ(document.items[static_cast<std::size_t>(10 + i)].value, pictures[i]);
  }
  // Legend colours are held as 0xBBGGRR.
  EXPECT_EQ(document.items[31].value, 0x6B6A61);
  EXPECT_EQ(document.items[35].value, 0x0000FF);

  FillAboutDocument(document, "1.2.3", "someone@example.org");
  EXPECT_EQ(document.caption, "About");
  ASSERT_EQ(document.items.size(), 12u);
  EXPECT_EQ(document.items[3].text, "Version 1.2.3");
  EXPECT_EQ(ColourOfValue(document.items[3].value), (Rgb{85, 85, 85}));
  // Under the makers, where to reach them.
  EXPECT_EQ(document.items[5].text, "The Nerin Plan Viewer developers");
  EXPECT_EQ(document.items[6].kind, HelpItemKind::CentredLine);
  EXPECT_EQ(document.items[6].text, "Contact: someone@example.org");
  // The maker's notice and the licence the program is released under, both in grey.
  for (const std::size_t i : {std::size_t{8}, std::size_t{9}}) {
    EXPECT_EQ(document.items[i].kind, HelpItemKind::CentredLine);
    EXPECT_EQ(ColourOfValue(document.items[i].value), (Rgb{85, 85, 85}));
  }
  EXPECT_EQ(document.items[8].text, "Copyright \u00A9 2026 The Nerin Plan Viewer developers");
  EXPECT_EQ(document.items[9].text, "Released under the MIT License.");
  EXPECT_EQ(document.items[11].kind, HelpItemKind::SmallNote);  // the icons' credits end it
}

const HelpItem* ToolbarRowOf(const HelpDocument& help, const char* name) {
  for (const HelpItem& item : help.items) {
    if (item.kind == HelpItemKind::ToolbarRow && item.text == name) return &item;
  }
  return nullptr;
}

// What Help promises of the toolbar holds: hovering over a button shows Help's wording, and
// About gives what Help's About row says it gives.
TEST(HelpDocumentTest, TooltipsSayWhatHelpSays) {
  HelpDocument help;
  FillHelpDocument(help);
  for (const ToolbarText& button : TOOLBAR_TEXTS) {
    const HelpItem* row = ToolbarRowOf(help, button.Name);
    ASSERT_NE(row, nullptr) << button.Name;
    EXPECT_EQ(row->value, button.Picture) << button.Name;
    if (button.Button != ToolbarButton::Export) {
      for (const ViewKind view : {ViewKind::Gantt, ViewKind::Tasks, ViewKind::Resources}) {
        EXPECT_EQ(ToolbarToolTip(button.Button, view), row->text2) << button.Name;
      }
    }
  }
  EXPECT_EQ(ToolbarRowOf(help, "About")->text2, "Version and contact");
  HelpDocument about;
  FillAboutDocument(about, "1.2.3", "someone@example.org");
  const auto aboutSays = [&](const std::string& start) {
    return std::any_of(about.items.begin(), about.items.end(),
                       [&](const HelpItem& item) { return item.text.rfind(start, 0) == 0; });
  };
  EXPECT_TRUE(aboutSays("Version "));
  EXPECT_TRUE(aboutSays("Contact: "));
}

// Export writes the chart on the Gantt tab and the list on the others, and its tooltip says so
// in Help's words: the chart's part of Help's row, and the list's own name.
TEST(HelpDocumentTest, ExportTooltipNamesWhatTheTabSaves) {
  const struct {
    ViewKind view;
    const char* tooltip;
  } cases[] = {
      {ViewKind::Gantt, "Save the chart as a PNG image or PDF document"},
      {ViewKind::Tasks, "Save the Tasks list as a CSV file"},
      {ViewKind::Resources, "Save the Resources list as a CSV file"},
      {static_cast<ViewKind>(7), "Save the chart as a PNG image or PDF document"},
  };
  HelpDocument help;
  FillHelpDocument(help);
  const std::string row = ToolbarRowOf(help, "Export")->text2;
  for (const auto& c : cases) {
    EXPECT_STREQ(ToolbarToolTip(ToolbarButton::Export, c.view), c.tooltip);
  }
  EXPECT_EQ(row.rfind(cases[0].tooltip, 0), 0u) << row;
  EXPECT_NE(row.find("a list as a CSV file"), std::string::npos) << row;
}

// Texts that once said something untrue.
TEST(HelpDocumentTest, HelpDescribesWhatTheViewerDraws) {
  HelpDocument help;
  FillHelpDocument(help);
  std::string all;
  for (const HelpItem& item : help.items) all += item.text + "\n" + item.text2 + "\n";
  const struct {
    const char* text;
    bool present;
  } cases[] = {
      {"A yellow square in the task column marks rows that carry a note.", true},
      {"small dot", false},
      {"(- key)", false},
      {"Save the chart as a PNG image\n", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(all.find(c.text) != std::string::npos, c.present) << c.text;
  }
}

// ---------------------------------------------------------------------------------------------
// The windows, opened from the toolbar with the main window at its smallest.

struct SeenWindow {
  std::string title;
  QSize size;
  QRect surface;
  QRect close;
  std::int64_t offsetAtOpen = -1;
  std::int64_t content = 0;
  std::vector<std::int64_t> offsets;  // after each wheel turn
  QImage image;
  std::string version;  // the fourth item
  std::string contact;  // the seventh
};

// The colour at a point given in the window's units; on a scaled screen the grabbed image has
// more pixels than the window has units.
QColor PixelAt(const QImage& image, int x, int y) {
  const double ratio = image.devicePixelRatio();
  return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
}

void Turn(TextSurfaceWidget* surface, int angle) {
  const QPointF middle(surface->width() / 2.0, surface->height() / 2.0);
  QWheelEvent wheel(middle, surface->mapToGlobal(middle), QPoint(), QPoint(0, angle), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(surface, &wheel);
}

class TextWindowTest : public test::MainWindowTest {
 protected:
  // Opens the window with the button, turns the wheel by each angle and closes it with the
  // Close button or the close box.
  SeenWindow OpenWith(QToolButton* button, const std::vector<int>& angles, bool closeBox) {
    SeenWindow result;
    ModalWatcher watcher([&](QWidget* window) {
      auto* surface = window->findChild<TextSurfaceWidget*>(QStringLiteral("textSurface"));
      auto* close = window->findChild<QPushButton*>();
      if (surface == nullptr || close == nullptr) {
        window->close();
        return;
      }
      result.title = window->windowTitle().toStdString();
      result.size = window->size();
      result.surface = surface->geometry();
      result.close = close->geometry();
      result.offsetAtOpen = surface->Offset();
      result.content = surface->ContentHeight();
      for (const int angle : angles) {
        Turn(surface, angle);
        result.offsets.push_back(surface->Offset());
      }
      result.image = surface->grab().toImage();
      if (surface->Document().items.size() > 6) {
        result.version = surface->Document().items[3].text;
        result.contact = surface->Document().items[6].text;
      }
      if (closeBox) {
        window->close();
      } else {
        close->click();
      }
    });
    button->click();
    EXPECT_EQ(watcher.seen.size(), 1u);
    return result;
  }
};

TEST_F(TextWindowTest, HelpScrollsWithinItsContentAndClosesWithTheButton) {
  Start();
  Window().resize(720, 460);
  const SeenWindow help = OpenWith(C().HelpButton, {-120, -60, -60, 240, -120 * 1000, 120 * 1000}, false);
  EXPECT_EQ(help.title, "Nerin Plan Viewer - Help");
  EXPECT_EQ(help.size, QSize(800, 760));
  EXPECT_EQ(help.surface, QRect(0, 0, 800, 708));
  EXPECT_EQ(help.close, QRect(700, 718, 88, 30));
  EXPECT_EQ(help.offsetAtOpen, 0);
  ASSERT_GT(help.content, 708);  // Help is longer than its window
  const std::int64_t limit = help.content - 708 + 50;
  // Half notches add up to a whole one.
  EXPECT_EQ(help.offsets, (std::vector<std::int64_t>{54, 54, 108, 0, limit, 0}));
  // Header band, accent line, white page, and the thumb at the top of the right edge.
  EXPECT_EQ(PixelAt(help.image, 5, 5), QColor(16, 42, 67));
  EXPECT_EQ(PixelAt(help.image, 5, 47), QColor(0, 184, 169));
  EXPECT_EQ(PixelAt(help.image, 5, 300), QColor(255, 255, 255));
  EXPECT_EQ(PixelAt(help.image, 795, 52), QColor(199, 213, 224));

  // Usable again: the main window takes the next click, and Help opens at the top again.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(Window().isEnabled());
  const SeenWindow again = OpenWith(C().HelpButton, {}, true);
  EXPECT_EQ(again.offsetAtOpen, 0);
}

// Opened and scrolled again and again: each opening starts at the top, and nothing piles up
// (the sanitizer build checks for leaks).
TEST_F(TextWindowTest, HelpOpenedAHundredTimesStartsAtTheTopEachTime) {
  Start();
  for (int i = 0; i < 100; ++i) {
    const SeenWindow help = OpenWith(C().HelpButton, {-120 * 50}, i % 2 == 0);
    ASSERT_EQ(help.offsetAtOpen, 0) << "opening " << i;
    ASSERT_GT(help.offsets.at(0), 0);
  }
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(TextWindowTest, AboutFitsWithoutScrollingAndClosesWithTheCloseBox) {
  Start();
  Window().resize(720, 460);
  const SeenWindow about = OpenWith(C().AboutButton, {-120}, true);
  EXPECT_EQ(about.title, "About Nerin Plan Viewer");
  EXPECT_EQ(about.size, QSize(640, 380));
  EXPECT_EQ(about.surface, QRect(0, 0, 640, 328));
  EXPECT_EQ(about.close, QRect(540, 338, 88, 30));
  // Every item ends on the surface, with no scrolling for the margin below them.
  EXPECT_LE(about.content + 36, 328);
  EXPECT_EQ(about.offsets, (std::vector<std::int64_t>{0}));
  EXPECT_EQ(PixelAt(about.image, 635, 52), QColor(255, 255, 255));  // no thumb
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // The version of the build and the address the package names reach the window.
  EXPECT_EQ(about.version, "Version " NERIN_VERSION);
  EXPECT_EQ(about.contact, "Contact: " NERIN_CONTACT);
}

}  // namespace
}  // namespace nerin
