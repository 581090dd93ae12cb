// SPDX-License-Identifier: MIT
// nerin-cli pdf: the whole Gantt chart as a PDF document of pages, drawn without a display.
#include <unistd.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "model/message_log.h"
#include "model/plan.h"
#include "tools/cli/chart_setup.h"
#include "tools/cli/cli.h"
#include "views/chart_export.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/page_layout.h"
#include "views/qt/chart_pdf.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin::cli {

namespace {

// The paper, orientation, scale and margins given into `page`: an empty text when they were all
// taken, else what is wrong with the first that was not.
std::string ReadPageOptions(const Invocation& invocation, PageOptions& page) {
  if (const auto value = invocation.Value("paper")) {
    const std::optional<PaperName> paper = PaperFromName(*value);
    if (!paper) return "--paper needs A4, A3, A2, Letter, Legal or Tabloid.";
    page.Paper = *paper;
  } else {
    std::setlocale(LC_PAPER, "");
    page.Paper = LocalePaper();
  }
  if (invocation.Has("portrait") && invocation.Has("landscape")) {
    return "--portrait and --landscape exclude each other.";
  }
  page.Landscape = !invocation.Has("portrait");
  if (const auto value = invocation.Value("scale")) {
    if (invocation.Has("fit-width")) return "--scale and --fit-width exclude each other.";
    // "80" or "80%".
    std::string_view digits = *value;
    if (!digits.empty() && digits.back() == '%') digits.remove_suffix(1);
    std::int64_t percent = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), percent);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        percent < MIN_SCALE_PERCENT || percent > MAX_SCALE_PERCENT) {
      return "--scale needs a percentage from 10 to 400.";
    }
    page.ScalePercent = percent;
  }
  page.FitWidth = invocation.Has("fit-width");
  if (const auto value = invocation.Value("margin")) {
    double millimetres = 0;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), millimetres);
    // Written so that a NaN fails too.
    if (value->empty() || error != std::errc() || end != value->data() + value->size() || !(millimetres >= 0) ||
        !(millimetres <= MAX_PAGE_MARGIN_MM)) {
      return "--margin needs millimetres from 0 to 100.";
    }
    page.MarginMm = millimetres;
  }
  return {};
}

}  // namespace

int RunPdf(const Invocation& invocation) {
  ChartOptions chart;
  PageOptions page;
  std::string problem = ReadChartOptions(invocation, chart);
  if (problem.empty()) problem = ReadPageOptions(invocation, page);
  if (!problem.empty()) return UsageError(problem);

  const std::string output = invocation.Output();
  if (IsStandardOutput(output)) return UsageError("pdf writes to a file: -o - is for dump and png.");

  LoadedChart loaded;
  if (!LoadChart(invocation.operands[0], chart, loaded)) return EXIT_NOT_LOADED;

  const OffscreenGui gui;
  const ChartFonts fonts = LoadChartFonts();
  const ChartFrame frame = ShownChartFrame(loaded.plan, loaded.rows, loaded.view, ChartToday(chart));
  ProgressLine progress;
  const PdfResult result =
      ExportChartPdf(frame, fonts, output, page, [&progress](std::int64_t done, std::int64_t total) {
        // A handful of pages is quick: only a long run shows how far it has got.
        if (total > 20 && (done % 10 == 0 || done == total)) {
          progress.Show("Writing PDF: page " + std::to_string(done) + " of " + std::to_string(total));
        }
        return true;
      });
  progress.End();
  if (result.Status != PdfStatus::Saved) {
    ReportProblem(output, WithLineFeeds(PdfReportText(result)));
    // A chart that could not be saved is no document at all: the same as a plan that did not load.
    return EXIT_NOT_LOADED;
  }
  return EXIT_LOADED;
}

}  // namespace nerin::cli
