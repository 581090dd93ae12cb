// ChartPainter on a QPainter: the screen canvas or an off-screen image.
#pragma once

#include <functional>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "views/chart_painter.h"

namespace nerin {

struct ChartFonts {
  QFont text;
  QFont bold;
  QFont small;
};

// "Segoe UI" 9, 9 bold and 8 points; where that face is not installed the same sizes and
// weights of the system's default face.
ChartFonts LoadChartFonts();

class QtChartPainter : public ChartPainter {
 public:
  // w x h: the size of the surface, in drawing pixels.
  QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t h);
  // A horizontal band of a taller chart: the painter's device holds the chart's rows
  // bandTop .. bandTop + bandHeight - 1; everything is drawn in chart coordinates and what
  // falls outside the band is dropped.
  QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t bandTop,
                 std::int64_t bandHeight);

  void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) override;
  void Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
            std::optional<Rgb> background) override;
  std::int64_t TextWidth(const std::string& text, ChartFont font) override;
  std::int64_t TextHeight(ChartFont font) override;
  void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) override;
  void ClearClip() override;

 private:
  const QFont& FontOf(ChartFont font) const;
  const QFontMetrics& MetricsOf(ChartFont font) const;

  QPainter& painter_;
  const ChartFonts& fonts_;
  // Measured once per painter: a chart draw asks for the sizes of many texts.
  QFontMetrics textMetrics_;
  QFontMetrics boldMetrics_;
  QFontMetrics smallMetrics_;
  std::int64_t width_;
  std::int64_t bandTop_ = 0;
  std::int64_t bandHeight_;
};

using ChartDrawFunction = std::function<void(ChartPainter&, std::int64_t w, std::int64_t h)>;

// Draws into a new image of w x h pixels (RGB32).
QImage RenderChartImage(const ChartFonts& fonts, int w, int h, const ChartDrawFunction& draw);

inline QColor ToQColor(Rgb colour) {
  return QColor(colour.r, colour.g, colour.b);
}

}  // namespace nerin
