// SPDX-License-Identifier: MIT
// What the chart commands (png, pdf) share: their chart options, the rows as the window has
// them after a load, today's date and the toolkit started without a display.
#pragma once

#include <QGuiApplication>
#include <cstdint>
#include <optional>
#include <string>

#include "calendar/day_ordinal.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "tools/cli/cli.h"
#include "views/chart_view.h"
#include "views/row_model.h"

namespace nerin::cli {

// The chart as png and pdf draw it; the defaults are those of a fresh start.
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
  std::optional<std::int64_t> baseline;  // --baseline: 0 to 10 instead of the plan's default
};

// The chart options given into `chart`: an empty text when they were all taken, else what
// is wrong with the first that was not. --size and --scroll are read only where the command
// takes them.
std::string ReadChartOptions(const Invocation& invocation, ChartOptions& chart);
// The row model as the window has it after a load, then folded and filtered as asked.
void PrepareRows(RowModel& rows, const Plan& plan, const ChartOptions& chart);

// A plan loaded for drawing: its rows prepared and its view set as the options ask.
struct LoadedChart {
  Plan plan;
  MessageLog log;
  RowModel rows;
  ChartView view;
};
// Loads the source into `chart`; on failure reports the load's messages and returns false.
bool LoadChart(const std::string& source, const ChartOptions& options, LoadedChart& chart);
// The date of the today line: --today, else the local date.
DayOrdinal ChartToday(const ChartOptions& chart);

// How far the writing of a chart has got, as one line on a terminal that is rewritten in
// place; a log file or a pipe never gets the carriage returns.
class ProgressLine {
 public:
  ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine() { End(); }

  void Show(const std::string& text);
  bool Open() const { return open_; }
  // Ends the line, so that whatever follows on stderr starts on a line of its own.
  void End();

 private:
  bool shown_;
  bool open_ = false;
};

// Drawing text needs a GUI application; without a display it draws off-screen, unless the
// caller chose a platform. Only the toolkit's serious errors reach stderr.
class OffscreenGui {
 public:
  OffscreenGui();
  OffscreenGui(const OffscreenGui&) = delete;
  OffscreenGui& operator=(const OffscreenGui&) = delete;

 private:
  static int PrepareArguments();
  int argc_;
  char programName_[10] = "nerin-cli";
  char* argv_[2] = {programName_, nullptr};
  QGuiApplication application_;
};

}  // namespace nerin::cli
