// SPDX-License-Identifier: MIT
// The Gantt chart as a PNG file: drawn band by band into a small off-screen image and handed
// to libpng row by row, so that memory stays bounded however tall the chart is. The file is
// written under a temporary name beside the target and renamed only once it is complete.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "views/chart_export.h"
#include "views/gantt_chart.h"
#include "views/qt/qt_chart_painter.h"

namespace nerin {

struct ChartImageOptions {
  using ProgressFunction = std::function<void(std::int64_t done, std::int64_t total)>;

  ChartImageOptions() = default;
  // Written {MaxSide, BandHeight} or {MaxSide, BandHeight, Progress}.
  ChartImageOptions(std::int64_t maxSide, std::int64_t bandHeight, ProgressFunction progress = {})
      : MaxSide(maxSide), BandHeight(bandHeight), Progress(std::move(progress)) {}

  // The largest image side; a larger chart is cut off at the right or the bottom.
  std::int64_t MaxSide = MAX_EXPORT_IMAGE_SIDE;
  // Chart rows drawn per band; 0 picks a band of about 32 MiB (at least 64 rows).
  std::int64_t BandHeight = 0;
  // When set, called after each band has gone to the file with the image rows done so far
  // and the image's height, so that a long export can show how far it has got: done grows
  // with each call and reaches total with the last band, before the file is finished. Never
  // called when the file cannot be started.
  ProgressFunction Progress;
};

// What DrawChart draws on a target of frame.Width x frame.Height at drawing ratio 1, with the
// frame's view as it is, written as PNG to the path exactly as given. A side beyond
// options.MaxSide is cut to it (result.CutOff). The hover summary is drawn when frame.Hover
// shows one.
ExportResult ExportChartFrame(const ChartFrame& frame, const ChartFonts& fonts, const std::string& path,
                              const ChartImageOptions& options = {});

// The whole chart (every row, the whole timeline), drawn from its top-left corner with the
// hover summary hidden, from a copy of the screen frame's view: the caller's view, rows and
// plan are left as they are. screen.Width, screen.Height and screen.Hover are not read. The
// path is used exactly as given (see WithPngExtension for a name typed in a dialog).
ExportResult ExportWholeChart(const ChartFrame& screen, const ChartFonts& fonts, const std::string& path,
                              const ChartImageOptions& options = {});

}  // namespace nerin
