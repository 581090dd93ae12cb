// SPDX-License-Identifier: MIT
// nerin-cli: the viewer's plan loading without the window, for scripts, comparisons and git
// diffs; with Qt at hand also the Gantt chart as a PNG image, drawn without a display.
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/sources/plan_source.h"
#include "calendar/day_ordinal.h"
#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/message_log.h"
#include "model/model_dump.h"
#include "model/plan.h"
#include "tools/cli_diff.h"
#include "views/chart_export.h"
#include "views/chart_view.h"

#if NERIN_CLI_PNG
#include <QGuiApplication>

#include "views/gantt_chart.h"
#include "views/qt/chart_image.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"
#endif

#ifndef NERIN_VERSION
#error "NERIN_VERSION, the program's version number, comes from the build"
#endif

namespace nerin {
namespace {

constexpr int EXIT_LOADED = 0;
constexpr int EXIT_NOT_LOADED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_WRITE_FAILED = 3;

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

struct Arguments {
  std::string source;
  std::string outputPath;  // empty: standard output
  ChartOptions chart;
};

struct Command {
  std::string_view name;
  // The form after "nerin-cli "; a line feed starts a continuation line, indented when shown.
  std::string_view synopsis;
  std::string_view summary;
  bool takesOutput;  // accepts -o FILE
  bool needsOutput;  // -o FILE must be given
  bool takesChartOptions;
  // The source is a file name used exactly as given: never trimmed, never downloaded.
  bool sourceIsFile;
  int (*run)(const Arguments& arguments);
};

int RunDump(const Arguments& arguments);
int RunReport(const Arguments& arguments);
int RunTextconv(const Arguments& arguments);
#if NERIN_CLI_PNG
int RunPng(const Arguments& arguments);
#endif

constexpr Command COMMANDS[] = {
    {"dump", "dump SOURCE [-o FILE]", "write the model dump of the plan (CR LF lines) to FILE or stdout",
     true, false, false, false, RunDump},
    {"report", "report SOURCE", "print the load report, an empty line and the messages", false, false, false,
     false, RunReport},
    {"textconv", "textconv FILE",
     "for git diff: the model dump of the plan file; for a file that does not load, its\n"
     "      messages, an empty line and the file's own text. Exit status 0 whether it loads or not",
     false, false, false, true, RunTextconv},
#if NERIN_CLI_PNG
    {"png",
     "png SOURCE -o FILE [--size WxH] [--day-width F] [--task-column N]\n"
     "[--scroll X,Y] [--today YYYY-MM-DD] [--collapse] [--critical]",
     "write the Gantt chart as a PNG image: the whole chart (at most 30000 pixels a side),\n"
     "      or with --size the W x H view at the --scroll offsets. Day width 1 to 20 pixels\n"
     "      (default 4), task column 260 to 650 (default 390), today the local date;\n"
     "      --collapse folds every summary, --critical shows only critical tasks",
     true, true, true, false, RunPng},
#endif
};

// The command's form after `lead`, its continuation lines lined up under the first.
std::string Synopsis(const Command& command, std::string_view lead) {
  std::string text(lead);
  for (const char c : command.synopsis) {
    text += c;
    if (c == '\n') text.append(lead.size(), ' ');
  }
  return text + "\n";
}

std::string UsageText() {
  std::string text = "Usage:\n";
  for (const Command& command : COMMANDS) {
    text += Synopsis(command, "  nerin-cli ");
    text += "      ";
    text += command.summary;
    text += "\n";
  }
  text += std::string("  nerin-cli ") + DIFF_SYNOPSIS +
          "\n      what changed from REFERENCE (the older version) to SUBJECT; exit status 0 no\n"
          "      differences, 1 differences, 2 trouble\n";
  text +=
      "  nerin-cli --help\n"
      "      print this text\n"
      "  nerin-cli --version\n"
      "      print the version\n"
      "\n"
      "SOURCE is a file path or an http:// or https:// address.\n"
      "Exit status: 0 the plan loaded, 1 it did not load (png: or the image was not written),\n"
      "2 wrong usage, 3 the output could not be written.\n";
  return text;
}

// As the About window writes it.
std::string VersionText() {
  return std::string("nerin-cli Version ") + NERIN_VERSION + "\n";
}

bool WriteAll(std::FILE* out, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

int PrintText(const std::string& text) {
  return WriteAll(stdout, text) ? EXIT_LOADED : EXIT_WRITE_FAILED;
}

// What is wrong, then the form of the command that was misused, or the whole usage when no
// command was recognised.
int UsageError(std::string_view problem, const Command* command = nullptr) {
  std::string text = "nerin-cli: " + std::string(problem) + "\n";
  if (command == nullptr) {
    text += "\n" + UsageText();
  } else {
    text += Synopsis(*command, "Usage: nerin-cli ");
    text += "Run \"nerin-cli --help\" for all commands and options.\n";
  }
  std::fputs(text.c_str(), stderr);
  return EXIT_USAGE;
}

// Writes the bytes unchanged, so CR LF stays CR LF.
int WriteOutput(const std::string& bytes, const std::string& path, int status) {
  if (path.empty()) {
    if (WriteAll(stdout, bytes)) return status;
    std::fprintf(stderr, "nerin-cli: the output could not be written.\n");
    return EXIT_WRITE_FAILED;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr && WriteAll(file, bytes);
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (written) return status;
  std::fprintf(stderr, "nerin-cli: the file could not be written: %s\n", path.c_str());
  return EXIT_WRITE_FAILED;
}

// The same road as an open in the window: an address is downloaded, anything else is a path.
bool LoadFromSource(Plan& plan, MessageLog& log, const std::string& source) {
  if (ClassifySource(source) == SOURCE_ADDRESS) return FetchAddressSource(plan, log, source);
  return ReadFileSource(plan, log, source);
}

int RunDump(const Arguments& arguments) {
  Plan plan;
  MessageLog log;
  const bool loaded = LoadFromSource(plan, log, arguments.source);
  return WriteOutput(ModelDumpText(plan, log, plan.ProjectLoaded), arguments.outputPath,
                     loaded ? EXIT_LOADED : EXIT_NOT_LOADED);
}

std::string WithLineFeeds(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

int RunReport(const Arguments& arguments) {
  Plan plan;
  MessageLog log;
  const bool loaded = LoadFromSource(plan, log, arguments.source);
  // A load rejected before the report was built leaves it empty: then only the messages.
  std::string text;
  if (!plan.LoadReport.empty()) text = WithLineFeeds(plan.LoadReport) + "\n\n";
  text += MessageListText(log);
  return WriteOutput(text, arguments.outputPath, loaded ? EXIT_LOADED : EXIT_NOT_LOADED);
}

// The file's bytes as they are, or nothing when it cannot be read.
std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// git diff runs this on both sides of a change and compares the texts, and a failing driver
// makes the whole diff fail: so the exit status is 0 whether the plan loads or not. A file
// that does not load keeps its own text after the messages, or two different broken
// versions (or any other XML file the attribute happens to cover) would compare as equal
// and their changes would vanish from the diff.
int RunTextconv(const Arguments& arguments) {
  Plan plan;
  MessageLog log;
  if (ReadFileSource(plan, log, arguments.source)) {
    return WriteOutput(ModelDumpText(plan, log, plan.ProjectLoaded), {}, EXIT_LOADED);
  }
  std::string text = MessageListText(log);
  const std::string bytes = FileBytes(arguments.source);
  if (!bytes.empty()) text += "\n" + bytes;
  return WriteOutput(text, {}, EXIT_LOADED);
}

#if NERIN_CLI_PNG
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

int RunPng(const Arguments& arguments) {
  Plan plan;
  MessageLog log;
  if (!LoadFromSource(plan, log, arguments.source)) {
    const std::string messages = MessageListText(log);
    std::fprintf(stderr, "%s", messages.c_str());
    return EXIT_NOT_LOADED;
  }
  const ChartOptions& chart = arguments.chart;
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
  const ExportResult result = chart.width ? ExportChartFrame(frame, fonts, arguments.outputPath, options)
                                          : ExportWholeChart(frame, fonts, arguments.outputPath, options);
  progress.End();
  if (result.Status != ExportStatus::Saved) {
    std::fprintf(stderr, "nerin-cli: %s\n", WithLineFeeds(ExportReportText(result)).c_str());
    // A chart that could not be saved is no picture at all: the same as a plan that did not load.
    return EXIT_NOT_LOADED;
  }
  if (result.CutOff) std::fprintf(stderr, "%s\n", WithLineFeeds(EXPORT_CUT_OFF_TEXT).c_str());
  return EXIT_LOADED;
}
#endif

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

// One chart option and its value; an empty text when it was taken, else what is wrong.
std::string ChartOption(std::string_view option, std::string_view value, ChartOptions& chart) {
  if (option == "--size") {
    std::int64_t w = 0, h = 0;
    const std::int64_t largest = MAX_EXPORT_IMAGE_SIDE;
    if (!IntegerPair(value, 'x', w, h) || w < 1 || h < 1 || w > largest || h > largest) {
      return "--size needs WxH, each side 1 to 30000 pixels.";
    }
    chart.width = w;
    chart.height = h;
  } else if (option == "--day-width") {
    float width = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), width);
    // Written so that a NaN fails too.
    if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
        !(width >= MIN_DAY_WIDTH) || !(width <= MAX_DAY_WIDTH)) {
      return "--day-width needs a number of pixels from 1 to 20.";
    }
    chart.dayWidth = width;
  } else if (option == "--task-column") {
    const std::optional<std::int64_t> column = WholeInteger(value);
    if (!column || *column < MIN_TASK_COLUMN_WIDTH || *column > MAX_TASK_COLUMN_WIDTH) {
      return "--task-column needs a width from 260 to 650.";
    }
    chart.taskColumn = *column;
  } else if (option == "--scroll") {
    if (!IntegerPair(value, ',', chart.scrollX, chart.scrollY)) return "--scroll needs X,Y in pixels.";
  } else {
    DayOrdinal today = 0;
    if (value.size() != 10 || !ParseIsoDate(value, today)) return "--today needs a date YYYY-MM-DD.";
    chart.today = today;
  }
  return {};
}

bool IsChartValueOption(std::string_view argument) {
  return argument == "--size" || argument == "--day-width" || argument == "--task-column" ||
         argument == "--scroll" || argument == "--today";
}

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h";
}

// The arguments after the command name into `arguments`: nothing when they were all taken,
// else the exit status to end with (the usage printed for --help, or a usage error reported).
std::optional<int> ParseArguments(const Command& command, const std::vector<std::string>& argv,
                                  Arguments& arguments) {
  const std::string source(command.sourceIsFile ? "FILE" : "SOURCE");
  bool haveSource = false;
  bool optionsEnded = false;
  for (std::size_t i = 2; i < argv.size(); ++i) {
    const std::string& argument = argv[i];
    // git names a file in the working tree as it is, "-draft.xml" too: a command that takes
    // a file and no options reads such a name as the file.
    const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-' &&
                        (!command.sourceIsFile || IsHelp(argument));
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (option && command.takesOutput && argument == "-o") {
      if (i + 1 >= argv.size() || argv[i + 1].empty()) return UsageError("-o needs a file name.", &command);
      arguments.outputPath = argv[++i];
    } else if (option && command.takesChartOptions && IsChartValueOption(argument)) {
      if (i + 1 >= argv.size()) return UsageError(argument + " needs a value.", &command);
      const std::string problem = ChartOption(argument, argv[++i], arguments.chart);
      if (!problem.empty()) return UsageError(problem, &command);
    } else if (option && command.takesChartOptions && argument == "--collapse") {
      arguments.chart.collapse = true;
    } else if (option && command.takesChartOptions && argument == "--critical") {
      arguments.chart.critical = true;
    } else if (option && IsHelp(argument)) {
      return PrintText(UsageText());
    } else if (option) {
      return UsageError("unknown option \"" + argument + "\".", &command);
    } else if (haveSource) {
      return UsageError("only one " + source + " can be given.", &command);
    } else {
      // git hands the textconv driver a file name that must be opened exactly as given.
      arguments.source = command.sourceIsFile ? argument : std::string(TrimSpaces(argument));
      haveSource = true;
    }
  }
  const bool sourceGiven =
      command.sourceIsFile ? !arguments.source.empty() : ClassifySource(arguments.source) != SOURCE_NOTHING;
  if (!haveSource || !sourceGiven) return UsageError(source + " is missing.", &command);
  if (command.needsOutput && arguments.outputPath.empty()) {
    return UsageError(std::string(command.name) + " needs -o FILE.", &command);
  }
  return std::nullopt;
}

int Main(const std::vector<std::string>& argv) {
  if (argv.size() < 2) return UsageError("a command is missing.");
  if (IsHelp(argv[1])) return PrintText(UsageText());
  if (argv[1] == "--version") return PrintText(VersionText());
  if (argv[1] == "diff") {
    DiffOptions options;
    const std::optional<int> status =
        ParseDiffArguments(std::vector<std::string>(argv.begin() + 2, argv.end()), options);
    return status ? *status : RunDiff(options);
  }
  const Command* command = nullptr;
  for (const Command& candidate : COMMANDS) {
    if (candidate.name == argv[1]) command = &candidate;
  }
  if (command == nullptr) {
    const bool option = argv[1].size() > 1 && argv[1][0] == '-';
    return UsageError((option ? "unknown option \"" : "unknown command \"") + argv[1] + "\".");
  }
  Arguments arguments;
  if (const std::optional<int> status = ParseArguments(*command, argv, arguments)) return *status;
  return command->run(arguments);
}

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  return nerin::Main(std::vector<std::string>(argv, argv + argc));
}
