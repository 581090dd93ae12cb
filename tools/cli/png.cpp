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
#include "tools/cli/cli.h"
#include "views/chart_export.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_image.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin::cli {

namespace {

// The chart as the png command draws it; the defaults are those of a fresh start.
struct ChartOptions {
  std::optional<std::int64_t> width;  // --size: a W x H view instead of the whole chart
  std::int64_t height = 0;
  float dayWidth = 4.0f;
  std::int64_t taskColumn = 390;
  std::int64_t scrollX = 0;
  std::int64_t scrollY = 0;
  std::optional<DayOrdinal> today;  // the local date when not given
  bool collapse = false;
  bool critical = false;
};

// The whole text as one decimal integer, or nothing.
std::optional<std::int64_t> WholeInteger(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "A<separator>B" as two whole integers.
bool IntegerPair(std::string_view text, char separator, std::int64_t& first, std::int64_t& second) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return false;
  const std::optional<std::int64_t> a = WholeInteger(text.substr(0, at));
  const std::optional<std::int64_t> b = WholeInteger(text.substr(at + 1));
  if (!a || !b) return false;
  first = *a;
  second = *b;
  return true;
}

// The chart options given into `chart`: an empty text when they were all taken, else what
// is wrong with the first that was not.
std::string ReadChartOptions(const Invocation& invocation, ChartOptions& chart) {
  if (const auto value = invocation.Value("size")) {
    std::int64_t w = 0, h = 0;
    const std::int64_t largest = MAX_EXPORT_IMAGE_SIDE;
    if (!IntegerPair(*value, 'x', w, h) || w < 1 || h < 1 || w > largest || h > largest) {
      return "--size needs WxH, each side 1 to 30000 pixels.";
    }
    chart.width = w;
    chart.height = h;
  }
  if (const auto value = invocation.Value("day-width")) {
    float width = 0;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), width);
    // Written so that a NaN fails too.
    if (value->empty() || error != std::errc() || end != value->data() + value->size() ||
        !(width >= MIN_DAY_WIDTH) || !(width <= MAX_DAY_WIDTH)) {
      return "--day-width needs a number of pixels from 1 to 20.";
    }
    chart.dayWidth = width;
  }
  if (const auto value = invocation.Value("task-column")) {
    const std::optional<std::int64_t> column = WholeInteger(*value);
    if (!column || *column < MIN_TASK_COLUMN_WIDTH || *column > MAX_TASK_COLUMN_WIDTH) {
      return "--task-column needs a width from 260 to 650.";
    }
    chart.taskColumn = *column;
  }
  if (const auto value = invocation.Value("scroll")) {
    if (!IntegerPair(*value, ',', chart.scrollX, chart.scrollY)) return "--scroll needs X,Y in pixels.";
  }
  if (const auto value = invocation.Value("today")) {
    DayOrdinal today = 0;
    if (value->size() != 10 || !ParseIsoDate(*value, today)) return "--today needs a date YYYY-MM-DD.";
    chart.today = today;
  }
  chart.collapse = invocation.Has("collapse");
  chart.critical = invocation.Has("critical");
  return {};
}

// The toolkit's notes about its own set-up (a missing runtime folder and the like) would mix
// with the tool's messages on stderr; only its serious errors get through.
void ToolkitMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "nerin-cli: %s\n", message.toLocal8Bit().constData());
  }
}

DayOrdinal LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return OrdinalFromDate(std::int64_t{local.tm_year} + 1900, std::int64_t{local.tm_mon} + 1, local.tm_mday);
}

// The row model as the window has it after a load, then folded and filtered as asked.
void PrepareRows(RowModel& rows, const Plan& plan, const ChartOptions& chart) {
  ResetFolding(rows, plan);
  rows.CriticalFilter = false;
  RebuildRows(rows, plan);
  if (chart.collapse) {
    for (std::int64_t task = 0; task < plan.TaskCount && task < MAX_TASKS; ++task) {
      const auto index = static_cast<std::size_t>(task);
      rows.TaskFolded[index] = rows.TaskHasChildren[index];
    }
    RebuildRows(rows, plan);
  }
  if (chart.critical) {
    if (CountCriticalTasks(plan) == 0) {
      // As the Critical path button: the filter stays off and every row is drawn.
      std::fprintf(stderr, "This plan has no task flagged as critical.\n");
    } else {
      rows.CriticalFilter = true;
      RebuildRows(rows, plan);
    }
  }
}

// How far the writing of a chart has got, as one line on a terminal that is rewritten after
// each band. A chart written in one band is quick and shows nothing; a log file or a pipe
// never gets the carriage returns.
class ProgressLine {
 public:
  explicit ProgressLine(bool shown) : shown_(shown) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine() { End(); }

  void Update(std::int64_t done, std::int64_t total) {
    if (!shown_ || total <= 0 || (!open_ && done >= total)) return;
    std::fprintf(stderr, "\rWriting chart: %lld %%", static_cast<long long>(done * 100 / total));
    open_ = true;
    if (done >= total) End();
  }
  // Ends the line, so that whatever follows on stderr starts on a line of its own.
  void End() {
    if (open_) std::fputc('\n', stderr);
    open_ = false;
  }

 private:
  bool shown_;
  bool open_ = false;
};

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
  const std::string& source = invocation.operands[0];
  Plan plan;
  MessageLog log;
  if (!LoadCliSource(plan, log, source)) {
    ReportNotLoaded(source, log);
    return EXIT_NOT_LOADED;
  }
  RowModel rows;
  PrepareRows(rows, plan, chart);

  ChartView view;
  view.DayWidth = chart.dayWidth;
  view.TaskColumnWidth = chart.taskColumn;
  view.ScrollX = chart.scrollX;
  view.ScrollY = chart.scrollY;
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

  // Drawing text needs a GUI application; without a display it draws off-screen, unless the
  // caller chose a platform.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(ToolkitMessage);
  int qtArgc = 1;
  char programName[] = "nerin-cli";
  char* qtArgv[] = {programName, nullptr};
  QGuiApplication application(qtArgc, qtArgv);
  const ChartFonts fonts = LoadChartFonts();

  const ChartFrame frame{plan, rows,   view, view.Width, view.Height, chart.today.value_or(LocalToday()),
                         -1,   nullptr};
  ProgressLine progress(::isatty(STDERR_FILENO) == 1);
  ChartImageOptions options;
  options.Progress = [&progress](std::int64_t done, std::int64_t total) { progress.Update(done, total); };
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
