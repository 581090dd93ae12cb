// SPDX-License-Identifier: MIT
// nerin-cli pdf: the whole Gantt chart as a PDF document of pages, drawn without a display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/day_ordinal.h"
#include "views/page_layout.h"

namespace nerin {

// The pdf command's parsed options; the chart's defaults are those of a fresh start.
struct PdfCommandOptions {
  std::string source;
  std::string outputPath;
  std::optional<PaperName> paper;  // the locale's paper when not given
  bool landscape = true;
  std::int64_t scalePercent = 100;
  bool fitWidth = false;
  float dayWidth = 4.0f;
  std::int64_t taskColumn = 390;
  std::optional<DayOrdinal> today;  // the local date when not given
  bool collapse = false;
  bool critical = false;
};

// The options only the pdf command has: those without a value and those with one.
bool IsPdfSwitch(std::string_view argument);
bool IsPdfValueOption(std::string_view argument);
// A switch, or an option and its value: an empty text when it was taken, else what is wrong.
std::string PdfOption(std::string_view option, std::string_view value, PdfCommandOptions& options);

// Loads the source and writes the PDF. Exit status 0 when written; 1 when the plan did not
// load or the document was not written (too many pages too); messages go to stderr.
int RunPdfCommand(const PdfCommandOptions& options);

}  // namespace nerin
