// SPDX-License-Identifier: MIT
#include "views/empty_chart.h"

#include "views/chart_colours.h"

namespace nerin {

namespace {

constexpr std::int64_t kHeaderHeight = 54;
constexpr std::int64_t kFooterHeight = 24;
// Header band plus footer band: below this the footer would cover the header.
constexpr std::int64_t kFrameHeight = kHeaderHeight + kFooterHeight;

void DrawFrame(ChartPainter& painter, std::int64_t w, std::int64_t h, const std::string& secondLine) {
  painter.FillRect(0, 0, w, h, ChartBackground);
  painter.FillRect(0, 0, w, kHeaderHeight, ChartBandColour);
  if (h > kFrameHeight) {
    painter.FillRect(0, h - kFooterHeight, w, kFooterHeight, ChartBandColour);
  }
  painter.Text(8, 6, "Nerin Plan Viewer", ChartFont::Bold, ChartWhite);
  painter.Text(8, 27, secondLine, ChartFont::Text, ChartWhite);
  if (h > kFrameHeight) {
    painter.Text(8, h - 19, "Ctrl+O / Open | read-only", ChartFont::Small, ChartWhite);
  }
}

}  // namespace

void DrawEmptyChart(ChartPainter& painter, std::int64_t w, std::int64_t h) {
  DrawFrame(painter, w, h, "No project loaded");
  if (h - kFrameHeight > kFooterHeight) {
    const std::string hint = "Use Open, or drag an MS Project plan (.xml or .mpp) onto this window.";
    const std::int64_t x = (w - painter.TextWidth(hint, ChartFont::Text)) / 2;
    const std::int64_t y = (h - kFrameHeight) / 2 - painter.TextHeight(ChartFont::Text) / 2 + kHeaderHeight;
    painter.Text(x, y, hint, ChartFont::Text, ChartBandColour);
  }
}

}  // namespace nerin
