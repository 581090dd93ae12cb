// SPDX-License-Identifier: MIT
// The chart as a PDF, from the library and from nerin-cli pdf, read back with poppler-utils.
#include "views/qt/chart_pdf.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "export_test_support.h"
#include "model/message_log.h"

namespace nerin {
namespace {

using test::DEMO_PLAN;
using test::LONG_PLAN;
using test::ProcessResult;

const std::string CLI = NERIN_BIN_DIR "/nerin-cli";
const std::string PDFTOTEXT = "/usr/bin/pdftotext";
const std::string PDFFONTS = "/usr/bin/pdffonts";
const std::string PDFTOPPM = "/usr/bin/pdftoppm";

bool HavePoppler() {
  return std::filesystem::exists(PDFTOTEXT) && std::filesystem::exists(PDFFONTS) &&
         std::filesystem::exists(PDFTOPPM);
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A plan of one summary-free task per name, one week each from March 2026, or from `first`
// to `last` for the first task.
std::string PlanXml(const std::vector<std::string>& names, const std::string& first = "2026-03-02",
                    const std::string& last = "2026-03-06") {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project xmlns=\"http://schemas.microsoft.com/project\">\n"
      "<Name>Odd names</Name><StartDate>" + first + "T08:00:00</StartDate><FinishDate>" + last +
      "T17:00:00</FinishDate>\n<Tasks>\n";
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    xml += "<Task><UID>" + id + "</UID><ID>" + id + "</ID><Name>" + names[i] +
           "</Name><OutlineLevel>1</OutlineLevel><Start>" + first + "T08:00:00</Start><Finish>" + last +
           "T17:00:00</Finish></Task>\n";
  }
  return xml + "</Tasks>\n</Project>\n";
}

// A plan loaded as the window loads it, with every row unfolded; its today is fixed, for the
// footers.
struct Chart : test::LoadedChart {
  using test::LoadedChart::LoadedChart;
  ChartFrame Screen() const { return test::LoadedChart::Screen(OrdinalFromDate(2026, 12, 7)); }
};

PageOptions A4Landscape() {
  return PageOptions{};
}

// The ligature characters U+FB00 to U+FB06 ("ff", "fi", "fl", "ffi", "ffl", "st"): a text
// that holds one copies and searches as a word the plan does not have.
bool HasLigature(const std::string& text) {
  for (const char* ligature : {"\uFB00", "\uFB01", "\uFB02", "\uFB03", "\uFB04", "\uFB05", "\uFB06"}) {
    if (text.find(ligature) != std::string::npos) return true;
  }
  return false;
}

TEST(ChartPdf, OddPlansAreWrittenWholeOrNotAtAll) {
  test::TempDir dir;
  const std::string longName(4000, 'x');
  const std::string oddPlan = dir.Write(
      "odd.xml", PlanXml({longName, "\u05E9\u05DC\u05D1 \u05D4\u05EA\u05DB\u05E0\u05D5\u05DF",
                          "\u0645\u0631\u062D\u0644\u0629 \u0627\u0644\u062A\u0635\u0645\u064A\u0645",
                          "Quay \U0001F6A2 crane \U0001F3D7\uFE0F"}));
  const std::string onePlan = dir.Write("one.xml", PlanXml({"Only task"}));
  const std::string agesPlan = dir.Write("ages.xml", PlanXml({"Long haul"}, "1700-01-04", "8900-12-29"));
  struct Row {
    const char* what;
    std::string plan;
    bool criticalOnly;  // the filter forced on a plan without critical tasks: no rows at all
    PdfStatus status;
    std::int64_t pages;
  };
  const std::vector<Row> rows = {
      {"one row", onePlan, false, PdfStatus::Saved, 1},
      {"no rows", onePlan, true, PdfStatus::Saved, 1},
      {"long, right-to-left and emoji names", oddPlan, false, PdfStatus::Saved, 1},
      {"thousands of years", agesPlan, false, PdfStatus::TooManyPages, -1},
  };
  for (const Row& row : rows) {
    Chart chart(row.plan);
    if (row.criticalOnly) {
      chart.rows.CriticalFilter = true;
      RebuildRows(chart.rows, *chart.plan);
      ASSERT_EQ(chart.rows.RowCount, 0);
    }
    const std::string path = dir.File("chart.pdf");
    std::filesystem::remove(path);
    const PdfResult result = ExportChartPdf(chart.Screen(), chart.fonts, path, A4Landscape());
    EXPECT_EQ(result.Status, row.status) << row.what;
    EXPECT_EQ(std::filesystem::exists(path), row.status == PdfStatus::Saved) << row.what;
    if (row.pages > 0) {
      EXPECT_EQ(result.PageCount, row.pages) << row.what;
    } else {
      EXPECT_GT(result.PageCount, MAX_PDF_PAGES) << row.what;
      const std::string text = PdfReportText(result);
      EXPECT_NE(text.find(std::to_string(result.PageCount) + " pages"), std::string::npos) << text;
      EXPECT_NE(text.find("fit width"), std::string::npos) << text;
    }
    // The view the pages were drawn from is the caller's, untouched.
    EXPECT_EQ(chart.view.ScrollX, 40);
    EXPECT_EQ(chart.view.ScrollY, 44);
  }
  // Nothing but the plans and the last document: no temporary file stays behind.
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"ages.xml", "odd.xml", "one.xml"}));

  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  Chart odd(oddPlan);
  const std::string path = dir.File("odd.pdf");
  ASSERT_EQ(ExportChartPdf(odd.Screen(), odd.fonts, path, A4Landscape()).Status, PdfStatus::Saved);
  const ProcessResult text = test::RunProgram(PDFTOTEXT, {"-raw", path, "-"}, dir);
  // Of a name far longer than the column only the beginning is laid out.
  EXPECT_NE(text.out.find(longName.substr(0, 100)), std::string::npos);
  EXPECT_NE(text.out.find("crane"), std::string::npos);
  // Right-to-left letters come out one by one, in reading or display order by poppler's
  // version: each of them is there. (Arabic comes out as its joined presentation forms.)
  for (const std::string letter : {"\u05E9", "\u05DC", "\u05D1", "\u05EA", "\u05DF"}) {
    EXPECT_NE(text.out.find(letter), std::string::npos) << letter;
  }
}

TEST(ChartPdf, CancelledOrUnwritableLeavesTheTargetAsItWas) {
  test::TempDir dir;
  Chart chart(DEMO_PLAN);
  const std::string target = dir.Write("chart.pdf", "the earlier document");
  std::int64_t calls = 0;
  const PdfResult cancelled = ExportChartPdf(chart.Screen(), chart.fonts, target, A4Landscape(),
                                             [&calls](std::int64_t done, std::int64_t total) {
                                               ++calls;
                                               EXPECT_GT(total, 2);
                                               return done < 2;
                                             });
  EXPECT_EQ(cancelled.Status, PdfStatus::Cancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(test::ReadWholeFile(target), "the earlier document");
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"chart.pdf"}));

  struct Row {
    const char* what;
    std::string path;
  };
  const Row rows[] = {
      {"missing folder", dir.File("no/such/folder/chart.pdf")},
      {"a folder as the target", dir.path()},
      {"a folder where nothing can be created", "/proc/nerin-chart.pdf"},
      {"no name", ""},
  };
  for (const Row& row : rows) {
    const PdfResult result = ExportChartPdf(chart.Screen(), chart.fonts, row.path, A4Landscape());
    EXPECT_EQ(result.Status, PdfStatus::NotWritten) << row.what;
    EXPECT_EQ(PdfReportText(result), PdfNotWrittenText(row.path)) << row.what;
  }
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"chart.pdf"}));
  EXPECT_EQ(test::ReadWholeFile(target), "the earlier document");
}

TEST(ChartPdf, ReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  test::TempDir dir;
  Chart chart(LONG_PLAN);
  const std::string folder = dir.File("locked");
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const PdfResult result = ExportChartPdf(chart.Screen(), chart.fonts, folder + "/chart.pdf", A4Landscape());
  EXPECT_EQ(result.Status, PdfStatus::NotWritten);
  EXPECT_TRUE(Entries(folder).empty());
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

ProcessResult Cli(const std::vector<std::string>& arguments, const test::TempDir& scratch) {
  return test::RunProgram(CLI, arguments, scratch);
}

TEST(CliPdf, UsageErrorsAndExitStatus) {
  test::TempDir dir;
  const std::string out = dir.File("out.pdf");
  const std::string agesPlan = dir.Write("ages.xml", PlanXml({"Long haul"}, "1700-01-04", "8900-12-29"));
  struct Row {
    std::vector<std::string> arguments;
    int status;
    std::string onStderr;  // empty: nothing at all
  };
  const std::vector<Row> rows = {
      {{"pdf", LONG_PLAN, "-o", out, "--paper", "letter", "--portrait", "--scale", "80%"}, 0, ""},
      {{"pdf", LONG_PLAN, "-o", out, "--fit-width", "--landscape", "--day-width", "20", "--collapse"}, 0, ""},
      {{"pdf", LONG_PLAN, "-o", out, "--critical"}, 0, "This plan has no task flagged as critical.\n"},
      {{"pdf", dir.File("missing.xml"), "-o", out}, 1, "ERROR: File does not exist or cannot be read."},
      {{"pdf", LONG_PLAN, "-o", dir.File("no/such/dir/out.pdf")}, 1, "The PDF could not be written to"},
      {{"pdf", agesPlan, "-o", out, "--scale", "400"}, 1, "pages at this scale"},
      {{"pdf", LONG_PLAN}, 2, "pdf needs -o FILE."},
      {{"pdf", LONG_PLAN, "-o", out, "--paper", "A5"}, 2, "--paper needs A4, A3, A2, Letter, Legal or Tabloid."},
      {{"pdf", LONG_PLAN, "-o", out, "--scale", "9"}, 2, "--scale needs a percentage from 10 to 400."},
      {{"pdf", LONG_PLAN, "-o", out, "--scale", "401"}, 2, "--scale needs a percentage from 10 to 400."},
      {{"pdf", LONG_PLAN, "-o", out, "--scale", "abc"}, 2, "--scale needs a percentage from 10 to 400."},
      {{"pdf", LONG_PLAN, "-o", out, "--scale"}, 2, "option '--scale' requires an argument"},
      {{"pdf", LONG_PLAN, "-o", out, "--scale", "50", "--fit-width"}, 2, "exclude each other"},
      {{"pdf", LONG_PLAN, "-o", "-"}, 2, "pdf writes to a file"},
      {{"pdf", LONG_PLAN, "-o", out, "--size", "100x100"}, 2, "unrecognized option '--size'"},
      {{"pdf", LONG_PLAN, "-o", out, "--day-width", "0.5"}, 2, "--day-width needs"},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "0"}, 0, ""},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "25.5", "--paper", "A3"}, 0, ""},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "-1"}, 2, "--margin needs millimetres from 0 to 100."},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "100.5"}, 2, "--margin needs millimetres from 0 to 100."},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "nan"}, 2, "--margin needs millimetres from 0 to 100."},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "10mm"}, 2, "--margin needs millimetres from 0 to 100."},
      {{"pdf", LONG_PLAN, "-o", out, "--margin", "100", "--paper", "A4", "--portrait"}, 1, "The paper is too small"},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(out);
    const ProcessResult result = Cli(row.arguments, dir);
    std::string all;
    for (const std::string& argument : row.arguments) all += argument + " ";
    EXPECT_EQ(result.status, row.status) << all << "\n" << result.err;
    EXPECT_NE(result.err.find(row.onStderr), std::string::npos) << all << "\n" << result.err;
    EXPECT_EQ(result.err.empty(), row.onStderr.empty()) << all << "\n" << result.err;
    EXPECT_EQ(result.err.find("Try 'nerin-cli --help'.") != std::string::npos, row.status == 2) << result.err;
    EXPECT_EQ(std::filesystem::exists(out), row.status == 0) << all;
  }
}

TEST(CliPdf, FullDiskLeavesNoFile) {
  test::TempDir dir;
  const std::string target = dir.File("chart.pdf");
  // A file size limit stands in for a full disk: writes past it fail with EFBIG once the
  // signal the kernel would send is ignored.
  const std::string command =
      "ulimit -f 4; trap '' XFSZ; exec '" + CLI + "' pdf '" + DEMO_PLAN + "' -o '" + target + "'";
  const ProcessResult result = test::RunProgram("/bin/sh", {"-c", command}, dir);
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.err.find("The PDF could not be written to " + target), std::string::npos) << result.err;
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"process.err", "process.out"}));
}

TEST(CliPdf, DemoPlanTextIsSearchableAndFontsEmbedded) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  test::TempDir dir;
  const std::string pdf = dir.File("demo.pdf");
  ASSERT_EQ(Cli({"pdf", DEMO_PLAN, "-o", pdf, "--today", "2026-12-07"}, dir).status, 0);
  // In drawing order: a name runs on under the date columns, where its end is clipped from
  // view but still found by a search, and a text extractor in layout order would mix the two.
  const std::string text = test::RunProgram(PDFTOTEXT, {"-raw", pdf, "-"}, dir).out;
  EXPECT_FALSE(HasLigature(text));
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(ReadFileSource(plan, log, DEMO_PLAN));
  ASSERT_GT(plan.TaskCount(), 50);
  for (std::int64_t task = 0; task < plan.TaskCount(); ++task) {
    const std::string& name = plan.Tasks[static_cast<std::size_t>(task)].Name;
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
  EXPECT_NE(text.find("Harbour Terminal Expansion \u00B7 page 1 of "), std::string::npos);

  // pdffonts: two heading lines, then a line per font with "yes" in the embedded column.
  const std::string fonts = test::RunProgram(PDFFONTS, {pdf}, dir).out;
  std::istringstream lines(fonts);
  std::string line;
  int fontLines = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("name", 0) == 0 || line.rfind("----", 0) == 0 || line.empty()) continue;
    ++fontLines;
    std::istringstream words(line);
    std::vector<std::string> columns;
    for (std::string word; words >> word;) columns.push_back(word);
    // name, type words, encoding, emb, sub, uni, object, generation: emb is the fifth from the end.
    ASSERT_GE(columns.size(), 6U) << line;
    EXPECT_EQ(columns[columns.size() - 5], "yes") << line;
  }
  EXPECT_GE(fontLines, 2) << fonts;
}

// The margins given are the margins on paper: the chart's top-left corner and the footer's
// baseline move with them (96 dots per inch: 3.78 dots a millimetre).
TEST(CliPdf, MarginsAreTheOnesGiven) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  test::TempDir dir;
  struct Row {
    const char* margin;
    int corner;  // the first dark pixel of the title band, across and down
  };
  const Row rows[] = {{nullptr, 38}, {"10", 38}, {"30", 114}, {"0", 0}};
  for (const Row& row : rows) {
    const std::string pdf = dir.File("margin.pdf");
    std::vector<std::string> arguments = {"pdf", LONG_PLAN, "-o", pdf, "--paper", "A4", "--today", "2026-03-02"};
    if (row.margin != nullptr) arguments.insert(arguments.end(), {"--margin", row.margin});
    ASSERT_EQ(Cli(arguments, dir).status, 0);
    ASSERT_EQ(test::RunProgram(PDFTOPPM, {"-r", "96", "-singlefile", "-png", pdf, dir.File("page")}, dir).status, 0);
    const RgbaImage page = test::ReadPng(dir.File("page.png"));
    ASSERT_GT(page.width, 200);
    const Rgb dark{16, 42, 67};
    int first = -1;
    for (int x = 0; x < page.width / 2 && first < 0; ++x) {
      if (test::PixelAt(page, x, row.corner + 10) != Rgb{255, 255, 255}) first = x;
    }
    EXPECT_EQ(first, row.corner) << (row.margin ? row.margin : "default");
    EXPECT_EQ(test::PixelAt(page, row.corner + 2, row.corner + 2), dark) << (row.margin ? row.margin : "default");
    if (row.corner > 1) {
      EXPECT_EQ(test::PixelAt(page, row.corner - 1, row.corner + 2), (Rgb{255, 255, 255}));
    }
  }
}

// Every name comes out of the pages as the plan spells it, letter for letter: no "fi" or "fl"
// turned into one ligature character, in the chart or in the footer.
TEST(CliPdf, TextCopiesAsThePlanSpellsIt) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  test::TempDir dir;
  const std::vector<std::string> names = {
      "Interior fit-out", "TOS configuration", "Go-live: first vessel call",
      "Office floor",     "Traffic offices",   "Baffle walls",
      "Muffled fans"};
  std::string xml = PlanXml(names);
  xml.replace(xml.find("Odd names"), 9, "Official fit-out");
  const std::string plan = dir.Write("fit.xml", xml);
  const std::string pdf = dir.File("fit.pdf");
  ASSERT_EQ(Cli({"pdf", plan, "-o", pdf, "--today", "2026-03-02"}, dir).status, 0);
  const std::string text = test::RunProgram(PDFTOTEXT, {"-raw", pdf, "-"}, dir).out;
  EXPECT_FALSE(HasLigature(text)) << text;
  for (const std::string& name : names) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
  EXPECT_NE(text.find("Nerin Plan Viewer - Official fit-out"), std::string::npos) << text;
  EXPECT_NE(text.find("Official fit-out \u00B7 page 1 of 1"), std::string::npos) << text;
}

// Page 2 of the demo plan at 96 dots per inch is the PNG export of the same tile, shifted by
// the margin: all but the smoothed edges of the glyphs agree.
TEST(CliPdf, RasterisedPageMatchesThePngOfItsTile) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  test::TempDir dir;
  const std::string pdf = dir.File("demo.pdf");
  ASSERT_EQ(Cli({"pdf", DEMO_PLAN, "-o", pdf, "--paper", "A4", "--today", "2026-12-07"}, dir).status, 0);
  ASSERT_EQ(test::RunProgram(PDFTOPPM, {"-r", "96", "-f", "2", "-l", "2", "-png", pdf, dir.File("page")}, dir).status,
            0);
  const RgbaImage page = test::ReadPng(dir.File("page-02.png"));
  ASSERT_GT(page.width, 0);

  Chart chart(DEMO_PLAN);
  chart.view = ChartView{};
  const PageLayout layout = LayOutChart(chart.Screen(), SheetOf(PageLayoutOf(A4Landscape())), 100, false);
  const PageTile tile = TileOf(layout, 1);
  ASSERT_EQ(tile.Column, 0);
  const std::string png = dir.File("tile.png");
  ASSERT_EQ(Cli({"png", DEMO_PLAN, "-o", png, "--today", "2026-12-07", "--size",
                 std::to_string(tile.Width) + "x" + std::to_string(tile.Height), "--scroll",
                 "0," + std::to_string(tile.ScrollY)},
                dir)
                .status,
            0);
  const RgbaImage image = test::ReadPng(png);
  ASSERT_EQ(image.width, tile.Width);
  // 96 dots per inch are 4/3 dots per point.
  const int left = static_cast<int>(layout.OriginXPoints * 4 / 3 + 0.5);
  const int top = static_cast<int>(layout.OriginYPoints * 4 / 3 + 0.5);
  ASSERT_GE(page.width, left + image.width);
  ASSERT_GE(page.height, top + image.height);
  std::int64_t differing = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb a = test::PixelAt(image, x, y);
      const Rgb b = test::PixelAt(page, left + x, top + y);
      const int most = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      differing += most > 64 ? 1 : 0;
    }
  }
  const std::int64_t pixels = std::int64_t{image.width} * image.height;
  EXPECT_LT(differing * 100, pixels) << differing << " of " << pixels << " pixels differ";
  // Outside the chart the page is blank up to the footer.
  EXPECT_EQ(test::PixelAt(page, left / 2, top / 2), (Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace nerin
