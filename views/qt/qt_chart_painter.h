// SPDX-License-Identifier: MIT
// ChartPainter on a QPainter: the screen canvas or an off-screen image.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

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

// The one of three things that goes with a chart font: a face, its metrics, a cache.
template <typename T>
const T& ForChartFont(ChartFont font, const T& text, const T& bold, const T& small) {
  switch (font) {
    case ChartFont::Bold:
      return bold;
    case ChartFont::Small:
      return small;
    case ChartFont::Text:
      break;
  }
  return text;
}

// "Segoe UI" 9, 9 bold and 8 points; where that face is not installed the same sizes and
// weights of the system's default face.
ChartFonts LoadChartFonts();
// The viewer's one face, "Segoe UI", or the system's default face where it is not installed:
// every window and the chart take their fonts in this face.
QString ViewerFontFamily();

// Texts drawn once into small images and kept from one chart draw to the next: a chart shows
// the same names, dates and labels frame after frame, and laying out and rasterising a text
// costs several times more than copying its image. The owner keeps one per drawing surface;
// a painter works without one too.
class ChartTextCache {
 public:
  struct Sprite {
    QRgb colour = 0;
    QImage image;   // the text's glyphs on transparent ground
    QPoint offset;  // where the image's top-left corner lies from the text's
  };
  struct Entry {
    QString line;
    int width = 0;
    std::vector<Sprite> sprites;  // one per colour the text was drawn in
  };
  static constexpr int GLYPH_MARGIN = 3;

  // The entry of a text in a font, measured on first use.
  Entry& Find(const std::string& text, ChartFont font, const QFontMetrics& metrics);
  // The image of an entry's text in a colour, drawn on first use.
  const Sprite& SpriteOf(Entry& entry, ChartFont font, const QFont& face, const QFontMetrics& metrics,
                         QRgb colour);
  // Everything is drawn anew when the fonts or the resolution differ from last time.
  void Prepare(const ChartFonts& fonts, int dotsPerInch, qreal pixelRatio);

 private:
  using Map = std::unordered_map<std::string, Entry>;
  // Two generations per font: when the newer one is full it becomes the older one and the
  // oldest texts go, so that scrolling through a large plan keeps the cache bounded.
  std::array<Map, 3> recent_;
  std::array<Map, 3> older_;
  std::array<std::size_t, 3> recentBytes_{};
  std::array<QFont, 3> faces_;
  int dotsPerInch_ = -1;
  qreal pixelRatio_ = 0;
};

class QtChartPainter : public ChartPainter {
 public:
  // w x h: the size of the surface, in drawing pixels.
  QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t h,
                 ChartTextCache* cache = nullptr);
  // A horizontal band of a taller chart: the painter's device holds the chart's rows
  // bandTop .. bandTop + bandHeight - 1; everything is drawn in chart coordinates and what
  // falls outside the band is dropped.
  QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t bandTop,
                 std::int64_t bandHeight, ChartTextCache* cache = nullptr);

  void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) override;
  void Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
            std::optional<Rgb> background) override;
  std::int64_t TextWidth(const std::string& text, ChartFont font) override;
  std::int64_t TextHeight(ChartFont font) override;
  void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) override;
  void ClearClip() override;

 private:
  // A rectangle of device pixels, [x0, x1) x [y0, y1); empty when x1 <= x0 or y1 <= y0.
  struct Box {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    friend bool operator==(const Box&, const Box&) = default;
  };

  const QFont& FontOf(ChartFont font) const;
  const QFontMetrics& MetricsOf(ChartFont font) const;
  // The part of a chart rectangle within the clip, in device pixels; with grow, the rectangle
  // is first widened by that much on every side.
  Box Visible(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, int grow = 0) const;
  // Sets pixels_ when fills may write the device's pixels themselves.
  void FindPixels();

  QPainter& painter_;
  const ChartFonts& fonts_;
  std::unique_ptr<ChartTextCache> ownCache_;
  ChartTextCache* cache_;
  // Measured once per painter: a chart draw asks for the sizes of many texts.
  QFontMetrics textMetrics_;
  QFontMetrics boldMetrics_;
  QFontMetrics smallMetrics_;
  std::int64_t width_;
  std::int64_t bandTop_ = 0;
  std::int64_t bandHeight_;
  Box clip_;  // what SetClip asked for, within the device; everything is cut to it here
  // The pixels of an image device that fills may write directly, else null.
  uchar* pixels_ = nullptr;
  qsizetype bytesPerLine_ = 0;
};

using ChartDrawFunction = std::function<void(ChartPainter&, std::int64_t w, std::int64_t h)>;

// Draws into a new image of w x h pixels (RGB32).
QImage RenderChartImage(const ChartFonts& fonts, int w, int h, const ChartDrawFunction& draw);

inline QColor ToQColor(Rgb colour) {
  return QColor(colour.r, colour.g, colour.b);
}

}  // namespace nerin
