// SPDX-License-Identifier: MIT
// Saving the Gantt chart as an image: how big the image of the whole chart is, what the file
// is called, and what the user is told. The drawing and the PNG writing live in views/qt/.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/plan.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/row_model.h"

namespace nerin {

// The largest image side the export writes. A bigger chart is saved cut off at the
// bottom or the right, and the user is told so.
inline constexpr std::int64_t MAX_EXPORT_IMAGE_SIDE = 30000;

inline constexpr std::string_view EXPORT_NO_PLAN_TEXT = "Open a plan before exporting the chart.";
inline constexpr std::string_view EXPORT_NOT_GANTT_TEXT =
    "The export draws the Gantt chart; switch to the Gantt tab first.";
inline constexpr std::string_view EXPORT_DIALOG_TITLE = "Export Gantt chart";
inline constexpr std::string_view EXPORT_CUT_OFF_TEXT =
    "The chart is larger than the maximum image size and was cut off.\r\n"
    "Collapse branches or zoom out for the whole chart.";
inline constexpr std::string_view EXPORT_NOT_CREATED_TEXT =
    "The image could not be created; the chart is too large.";

// The image of the whole chart: every row and every day, capped at maxSide per side.
struct ExportSize {
  std::int64_t Width = 1;
  std::int64_t Height = 1;
  bool CutOff = false;  // the chart is larger than the image
};

// TaskColumnWidth + the timeline's length (TimelineDays at the day width) wide and
// RowGeometry::ChartHeight of the rows high (at least one row, so that a chart without rows
// still shows its headers and legend); each side at most maxSide.
ExportSize WholeChartSize(const Plan& plan, const RowModel& rows, const ChartView& view,
                          std::int64_t maxSide = MAX_EXPORT_IMAGE_SIDE);

// The whole chart from its top-left corner on an image of the given size: both scroll offsets
// 0, the scale and the task column as on screen, no hover box (see OutputFrame).
OutputArea WholeChartArea(const ExportSize& size);

// The path with ".png" appended when its file name has no extension (a leading dot, as in
// ".chart", does not start one). A name with any extension is kept as typed.
std::string WithPngExtension(std::string_view path);

enum class ExportStatus {
  Saved,
  NotCreated,  // the image (or one band of it) could not be made
  NotWritten,  // the file could not be written; nothing was left at the path
};

struct ExportResult {
  ExportStatus Status = ExportStatus::NotWritten;
  std::string Path;     // the file written, or that could not be written
  bool CutOff = false;  // the image holds only the top-left part of the chart
};

// "The image could not be written to " + path + "." + CR LF + "Check that ...".
std::string ExportNotWrittenText(std::string_view path);
// "Gantt chart saved as " + path.
std::string ExportSavedText(std::string_view path);
// What the user is told after an export: the saved text, followed on a new line (CR LF) by the
// cut-off text when the image holds only part of the chart; or the failure text.
std::string ExportReportText(const ExportResult& result);

// The chart as a PDF document and on paper. A chart that needs more pages is refused rather
// than sent to a printer or a file by the thousand.
inline constexpr std::int64_t MAX_PDF_PAGES = 2000;
inline constexpr std::string_view EXPORT_PDF_FILE_PATTERN = "PDF document (*.pdf)|*.pdf";
inline constexpr std::string_view PRINT_NO_PLAN_TEXT = "Open a plan before printing the chart.";
inline constexpr std::string_view PRINT_NOT_GANTT_TEXT =
    "Printing draws the Gantt chart; switch to the Gantt tab first.";
inline constexpr std::string_view PRINT_DIALOG_TITLE = "Print Gantt chart";
inline constexpr std::string_view PRINT_PREVIEW_TITLE = "Print preview - Gantt chart";
inline constexpr std::string_view EXPORT_PDF_SETTINGS_TITLE = "Export Gantt chart as PDF";
inline constexpr std::string_view PRINT_CANCELLED_TEXT = "Printing was cancelled; nothing was printed.";
inline constexpr std::string_view PRINT_SHEET_TOO_SMALL_TEXT =
    "The paper is too small for the chart: not even one row and the task column fit on a page.";
// Whether a name chosen in the export's save dialog is saved as PDF: a name ending in ".pdf"
// or ".png" (any case) is saved as that type, any other name as the type of the chosen filter.
bool ExportAsPdf(std::string_view path, bool pdfFilterChosen);
// The path with ".pdf" appended when its file name has no extension, as WithPngExtension.
std::string WithPdfExtension(std::string_view path);
// "The chart needs N pages at this scale; at most M pages are written." + CR LF + what helps.
std::string TooManyPagesText(std::int64_t pageCount);
// "The PDF could not be written to " + path + "." + CR LF + "Check that ...".
std::string PdfNotWrittenText(std::string_view path);

}  // namespace nerin
