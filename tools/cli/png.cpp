// SPDX-License-Identifier: MIT
// nerin-cli png: the Gantt chart as a PNG image, drawn without a display by the window's own
// painter.
#include <unistd.h>

#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "calendar/day_ordinal.h"
#include "calendar/value_text.h"
#include "tools/cli/chart_setup.h"
#include "tools/cli/cli.h"
#include "views/chart_export.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_image.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin::cli {

namespace {

// A folder of our own for an image on its way to standard output; removed with everything
// in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "nerin-cli-XXXXXX").string();
    if (!error && ::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

int RunPng(const Invocation& invocation) {
  ChartOptions chart;
  if (const std::string problem = ReadChartOptions(invocation, chart); !problem.empty()) {
    return UsageError(problem);
  }
  LoadedChart loaded;
  if (!LoadChart(invocation.operands[0], chart, loaded)) return EXIT_NOT_LOADED;
  const Plan& plan = loaded.plan;
  const RowModel& rows = loaded.rows;
  ChartView& view = loaded.view;
  if (chart.width) {
    view.Width = *chart.width;
    view.Height = chart.height;
  } else {
    const ExportSize whole = WholeChartSize(plan, rows, view);
    view.Width = whole.Width;
    view.Height = whole.Height;
  }
  UpdateScrollMetrics(view, plan, rows);

  // The image is written in bands to a file and renamed when complete; for standard output
  // it is written in a scratch folder first and then copied out whole.
  const std::string output = invocation.Output();
  const bool toStandardOutput = IsStandardOutput(output);
  ScratchFolder scratch;
  if (toStandardOutput && scratch.path().empty()) {
    ReportProblem(OutputName(output), "no temporary folder for the image could be made.");
    return EXIT_WRITE_FAILED;
  }
  const std::string imagePath = toStandardOutput ? scratch.path() + "/chart.png" : output;

  const OffscreenGui gui;
  const ChartFonts fonts = LoadChartFonts();

  // The chart as the window would show it at this size; the export derives the image's frame.
  const ChartFrame frame = ShownChartFrame(plan, rows, view, ChartToday(chart));
  ProgressLine progress;
  ChartImageOptions options;
  options.Progress = [&progress](std::int64_t done, std::int64_t total) {
    // A chart written in one band is quick and shows nothing.
    if (total <= 0 || (!progress.Open() && done >= total)) return;
    progress.Show("Writing chart: " + std::to_string(done * 100 / total) + " %");
    if (done >= total) progress.End();
  };
  const ExportResult result = chart.width ? ExportChartFrame(frame, fonts, imagePath, options)
                                          : ExportWholeChart(frame, fonts, imagePath, options);
  progress.End();
  if (result.Status != ExportStatus::Saved) {
    if (toStandardOutput) {
      ReportProblem(OutputName(output), "the image could not be drawn.");
      return EXIT_WRITE_FAILED;
    }
    ReportProblem(output, WithLineFeeds(ExportReportText(result)));
    // A chart that could not be saved is no picture at all: the same as a plan that did not load.
    return EXIT_NOT_LOADED;
  }
  if (result.CutOff) std::fprintf(stderr, "%s\n", WithLineFeeds(EXPORT_CUT_OFF_TEXT).c_str());
  if (!toStandardOutput) return EXIT_LOADED;
  std::ifstream image(imagePath, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(image)), std::istreambuf_iterator<char>());
  if (!image.good() && !image.eof()) {
    ReportProblem(OutputName(output), "the image could not be read back.");
    return EXIT_WRITE_FAILED;
  }
  return WriteOutput(bytes, output, EXIT_LOADED);
}

}  // namespace nerin::cli
