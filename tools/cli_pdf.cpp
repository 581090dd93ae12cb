// SPDX-License-Identifier: MIT
#include "tools/cli_pdf.h"

#include <unistd.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <ctime>

#include <QGuiApplication>

#include "app/sources/plan_source.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "views/chart_export.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/qt/chart_pdf.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin {

namespace {

constexpr int kWritten = 0;
constexpr int kNotWritten = 1;

// Only the toolkit's serious errors reach stderr; its notes about its own set-up would mix
// with the tool's messages.
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

// Messages end in CR LF for the window's boxes; a terminal wants plain line feeds.
std::string WithLineFeeds(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

// The row model as the window has it after a load, then folded and filtered as asked.
void PrepareRows(RowModel& rows, const Plan& plan, const PdfCommandOptions& options) {
  ResetFolding(rows, plan);
  rows.CriticalFilter = false;
  RebuildRows(rows, plan);
  if (options.collapse) {
    for (std::int64_t task = 0; task < plan.TaskCount && task < MAX_TASKS; ++task) {
      const auto index = static_cast<std::size_t>(task);
      rows.TaskFolded[index] = rows.TaskHasChildren[index];
    }
    RebuildRows(rows, plan);
  }
  if (options.critical) {
    if (CountCriticalTasks(plan) == 0) {
      // As the Critical path button: the filter stays off and every row is drawn.
      std::fprintf(stderr, "This plan has no task flagged as critical.\n");
    } else {
      rows.CriticalFilter = true;
      RebuildRows(rows, plan);
    }
  }
}

// "Writing PDF: page N of M" on a terminal, rewritten after each page; nothing in a pipe.
class PageCounter {
 public:
  explicit PageCounter(bool shown) : shown_(shown) {}
  PageCounter(const PageCounter&) = delete;
  PageCounter& operator=(const PageCounter&) = delete;
  ~PageCounter() { End(); }

  bool Update(std::int64_t done, std::int64_t total) {
    // A handful of pages is quick: only a long run shows how far it has got.
    if (shown_ && total > 20 && (done % 10 == 0 || done == total)) {
      std::fprintf(stderr, "\rWriting PDF: page %lld of %lld", static_cast<long long>(done),
                   static_cast<long long>(total));
      open_ = true;
    }
    return true;
  }
  void End() {
    if (open_) std::fputc('\n', stderr);
    open_ = false;
  }

 private:
  bool shown_;
  bool open_ = false;
};

}  // namespace

bool IsPdfSwitch(std::string_view argument) {
  return argument == "--portrait" || argument == "--landscape" || argument == "--fit-width";
}

bool IsPdfValueOption(std::string_view argument) {
  return argument == "--paper" || argument == "--scale";
}

std::string PdfOption(std::string_view option, std::string_view value, PdfCommandOptions& options) {
  if (option == "--portrait" || option == "--landscape") {
    options.landscape = option == "--landscape";
  } else if (option == "--fit-width") {
    options.fitWidth = true;
  } else if (option == "--paper") {
    const std::optional<PaperName> paper = PaperFromName(value);
    if (!paper) return "--paper needs A4, A3, A2, Letter, Legal or Tabloid.";
    options.paper = paper;
  } else if (option == "--scale") {
    // "80" or "80%".
    std::string_view digits = value;
    if (!digits.empty() && digits.back() == '%') digits.remove_suffix(1);
    std::int64_t percent = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), percent);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        percent < MIN_SCALE_PERCENT || percent > MAX_SCALE_PERCENT) {
      return "--scale needs a percentage from 10 to 400.";
    }
    options.scalePercent = percent;
  } else {
    return "unknown option \"" + std::string(option) + "\".";
  }
  return {};
}

int RunPdfCommand(const PdfCommandOptions& options) {
  Plan plan;
  MessageLog log;
  const bool loaded = ClassifySource(options.source) == SOURCE_ADDRESS
                          ? FetchAddressSource(plan, log, options.source)
                          : ReadFileSource(plan, log, options.source);
  if (!loaded) {
    std::fprintf(stderr, "%s", MessageListText(log).c_str());
    return kNotWritten;
  }
  RowModel rows;
  PrepareRows(rows, plan, options);
  ChartView view;
  view.DayWidth = options.dayWidth;
  view.TaskColumnWidth = options.taskColumn;

  PageOptions page;
  if (options.paper) {
    page.Paper = *options.paper;
  } else {
    std::setlocale(LC_PAPER, "");
    page.Paper = LocalePaper();
  }
  page.Landscape = options.landscape;
  page.ScalePercent = options.scalePercent;
  page.FitWidth = options.fitWidth;

  // Text needs a GUI application; without a display it draws off-screen, unless the caller
  // chose a platform.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(ToolkitMessage);
  int qtArgc = 1;
  char programName[] = "nerin-cli";
  char* qtArgv[] = {programName, nullptr};
  QGuiApplication application(qtArgc, qtArgv);
  const ChartFonts fonts = LoadChartFonts();

  const ChartFrame frame{plan, rows, view, 0, 0, options.today.value_or(LocalToday()), -1, nullptr};
  PageCounter counter(::isatty(STDERR_FILENO) == 1);
  const PdfResult result =
      ExportChartPdf(frame, fonts, options.outputPath, page,
                     [&counter](std::int64_t done, std::int64_t total) { return counter.Update(done, total); });
  counter.End();
  if (result.Status != PdfStatus::Saved) {
    std::fprintf(stderr, "nerin-cli: %s\n", WithLineFeeds(PdfReportText(result)).c_str());
    return kNotWritten;
  }
  return kWritten;
}

}  // namespace nerin
