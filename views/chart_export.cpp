// SPDX-License-Identifier: MIT
#include "views/chart_export.h"

#include "calendar/path_text.h"

#include <algorithm>

namespace nerin {

namespace {

// Keeps the side arithmetic far from the 64-bit limits, whatever cap a caller passes.
constexpr std::int64_t kLargestCap = std::int64_t{1} << 30;

// A wanted side limited to 1..cap; cut is set when the wanted side did not fit.
std::int64_t LimitSide(std::int64_t wanted, std::int64_t cap, bool& cut) {
  if (wanted > cap) {
    cut = true;
    return cap;
  }
  return std::max<std::int64_t>(wanted, 1);
}

}  // namespace

ExportSize WholeChartSize(const Plan& plan, const RowModel& rows, const ChartView& view,
                          std::int64_t maxSide) {
  const std::int64_t cap = std::clamp<std::int64_t>(maxSide, 1, kLargestCap);
  ExportSize size;

  // A timeline wider than the cap cannot fit.
  const std::int64_t column = std::clamp<std::int64_t>(view.TaskColumnWidth, 0, cap);
  const std::int64_t timeline =
      TimelineScale::Of(view, plan, 0).Length(std::max<std::int64_t>(plan.TimelineDays, 0));
  const std::int64_t wantedWidth = timeline > cap ? cap + 1 : column + timeline;
  size.Width = LimitSide(wantedWidth, cap, size.CutOff);

  // An empty chart keeps one empty row: below 113 pixels the chart draws nothing at all.
  const std::int64_t rowCount = std::max<std::int64_t>(rows.RowCount, 1);
  const std::int64_t wantedHeight =
      rowCount > RowGeometry::RowsIn(cap) ? cap + 1 : RowGeometry::ChartHeight(rowCount);
  size.Height = LimitSide(wantedHeight, cap, size.CutOff);
  return size;
}

OutputArea WholeChartArea(const ExportSize& size) {
  return OutputArea{0, 0, size.Width, size.Height, false};
}

namespace {

// The path with the extension appended when its file name has none.
std::string WithExtension(std::string_view path, std::string_view extension) {
  const std::string_view name = PathNamePart(path);
  // No file name at all, or one that names a folder: the write reports it as it is.
  if (name.empty() || name == "." || name == "..") {
    return std::string(path);
  }
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    return std::string(path) + "." + std::string(extension);
  }
  // "chart." was meant to get an extension and did not get one.
  if (dot + 1 == name.size()) {
    return std::string(path) + std::string(extension);
  }
  return std::string(path);
}

}  // namespace

std::string WithPngExtension(std::string_view path) {
  return WithExtension(path, "png");
}

std::string WithPdfExtension(std::string_view path) {
  return WithExtension(path, "pdf");
}

bool ExportAsPdf(std::string_view path, bool pdfFilterChosen) {
  const auto endsWith = [path](std::string_view extension) {
    if (path.size() < extension.size()) return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
      return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
  };
  if (endsWith(".pdf")) return true;
  if (endsWith(".png")) return false;
  return pdfFilterChosen;
}

std::string TooManyPagesText(std::int64_t pageCount) {
  std::string text = "The chart needs " + std::to_string(pageCount) + " pages at this scale; at most " +
                     std::to_string(MAX_PDF_PAGES) + " pages are written.\r\n";
  text += "Choose fit width, collapse branches or pick a smaller day width, then try again.";
  return text;
}

std::string PdfNotWrittenText(std::string_view path) {
  std::string text = "The PDF could not be written to ";
  text += path;
  text += ".\r\nCheck that the folder exists and has room.";
  return text;
}

std::string ExportNotWrittenText(std::string_view path) {
  std::string text = "The image could not be written to ";
  text += path;
  text += ".\r\nCheck that the folder exists and has room.";
  return text;
}

std::string ExportSavedText(std::string_view path) {
  std::string text = "Gantt chart saved as ";
  text += path;
  return text;
}

std::string ExportReportText(const ExportResult& result) {
  switch (result.Status) {
    case ExportStatus::Saved: {
      std::string text = ExportSavedText(result.Path);
      if (result.CutOff) {
        text += "\r\n";
        text += EXPORT_CUT_OFF_TEXT;
      }
      return text;
    }
    case ExportStatus::NotCreated:
      return std::string(EXPORT_NOT_CREATED_TEXT);
    case ExportStatus::NotWritten:
      break;
  }
  return ExportNotWrittenText(result.Path);
}

}  // namespace nerin
