// SPDX-License-Identifier: MIT
#include "tools/cli/chart_setup.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "calendar/local_today.h"
#include "calendar/value_text.h"
#include "views/chart_export.h"
#include "views/chart_view.h"

namespace nerin::cli {

namespace {

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

// The toolkit's notes about its own set-up (a missing runtime folder and the like) would mix
// with the tool's messages on stderr.
void ToolkitMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "nerin-cli: %s\n", message.toLocal8Bit().constData());
  }
}

}  // namespace

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
  if (const auto value = invocation.Value("baseline")) {
    const std::optional<std::int64_t> number = WholeInteger(*value);
    if (!number || *number < 0 || *number >= BASELINE_COUNT) return "--baseline needs a number from 0 to 10.";
    chart.baseline = *number;
  }
  chart.collapse = invocation.Has("collapse");
  chart.critical = invocation.Has("critical");
  return {};
}

void PrepareRows(RowModel& rows, const Plan& plan, const ChartOptions& chart) {
  ResetFolding(rows, plan);
  rows.CriticalFilter = false;
  RebuildRows(rows, plan);
  if (chart.collapse) {
    for (std::int64_t task = 0; task < plan.TaskCount(); ++task) {
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

bool LoadChart(const std::string& source, const ChartOptions& options, LoadedChart& chart) {
  if (!LoadCliSource(chart.plan, chart.log, source)) {
    ReportNotLoaded(source, chart.log);
    return false;
  }
  if (options.baseline && !SelectBaseline(chart.plan, *options.baseline)) {
    std::fprintf(stderr, "The plan has no dates in Baseline %lld; the chart compares with its default baseline.\n",
                 static_cast<long long>(*options.baseline));
  }
  PrepareRows(chart.rows, chart.plan, options);
  chart.view.DayWidth = options.dayWidth;
  chart.view.TaskColumnWidth = options.taskColumn;
  chart.view.ScrollX = options.scrollX;
  chart.view.ScrollY = options.scrollY;
  return true;
}

DayOrdinal ChartToday(const ChartOptions& chart) {
  return chart.today.value_or(LocalToday());
}

ProgressLine::ProgressLine() : shown_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Show(const std::string& text) {
  if (!shown_) return;
  std::fprintf(stderr, "\r%s", text.c_str());
  open_ = true;
}

void ProgressLine::End() {
  if (open_) std::fputc('\n', stderr);
  open_ = false;
}

int OffscreenGui::PrepareArguments() {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(ToolkitMessage);
  return 1;
}

OffscreenGui::OffscreenGui() : argc_(PrepareArguments()), application_(argc_, argv_) {}

}  // namespace nerin::cli
