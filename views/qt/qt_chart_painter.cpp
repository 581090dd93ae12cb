#include "views/qt/qt_chart_painter.h"

#include <algorithm>
#include <cstdint>

#include <QFontDatabase>

#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// Coordinates far outside the surface are brought in to this margin, so that the toolkit's
// fixed-point rasteriser never sees values it cannot hold.
constexpr std::int64_t kMargin = 64;

// The part of [start, start + length) that lies within [-kMargin, limit + kMargin], after
// moving it by -origin.
bool ClampSpan(std::int64_t start, std::int64_t length, std::int64_t limit, int& outStart, int& outLength,
               std::int64_t origin = 0) {
  if (__builtin_sub_overflow(start, origin, &start)) {
    return false;
  }
  if (length <= 0) {
    return false;
  }
  std::int64_t end = 0;
  if (__builtin_add_overflow(start, length, &end)) {
    end = INT64_MAX;
  }
  const std::int64_t lo = std::max(start, -kMargin);
  const std::int64_t hi = std::min(end, limit + kMargin);
  if (hi <= lo) {
    return false;
  }
  outStart = static_cast<int>(lo);
  outLength = static_cast<int>(hi - lo);
  return true;
}

QFont ChartFontFace(const QString& family, int points, bool bold) {
  QFont font(family, points, bold ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace

ChartFonts LoadChartFonts() {
  QString family = QStringLiteral("Segoe UI");
  if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
    family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }
  return ChartFonts{ChartFontFace(family, 9, false), ChartFontFace(family, 9, true),
                    ChartFontFace(family, 8, false)};
}

QtChartPainter::QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t h)
    : painter_(painter),
      fonts_(fonts),
      textMetrics_(fonts.text, painter.device()),
      boldMetrics_(fonts.bold, painter.device()),
      smallMetrics_(fonts.small, painter.device()),
      width_(w),
      bandHeight_(h) {}

QtChartPainter::QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t bandTop,
                               std::int64_t bandHeight)
    : QtChartPainter(painter, fonts, w, bandHeight) {
  bandTop_ = bandTop;
}

const QFont& QtChartPainter::FontOf(ChartFont font) const {
  switch (font) {
    case ChartFont::Bold:
      return fonts_.bold;
    case ChartFont::Small:
      return fonts_.small;
    case ChartFont::Text:
      break;
  }
  return fonts_.text;
}

const QFontMetrics& QtChartPainter::MetricsOf(ChartFont font) const {
  switch (font) {
    case ChartFont::Bold:
      return boldMetrics_;
    case ChartFont::Small:
      return smallMetrics_;
    case ChartFont::Text:
      break;
  }
  return textMetrics_;
}

void QtChartPainter::FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) {
  int qx = 0, qy = 0, qw = 0, qh = 0;
  if (ClampSpan(x, w, width_, qx, qw) && ClampSpan(y, h, bandHeight_, qy, qh, bandTop_)) {
    painter_.fillRect(qx, qy, qw, qh, ToQColor(colour));
  }
}

void QtChartPainter::Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
                          std::optional<Rgb> background) {
  if (text.empty() || x > width_ + kMargin || y - bandTop_ > bandHeight_ + kMargin) {
    return;
  }
  const QString line = ToQString(text);
  const QFontMetrics& metrics = MetricsOf(font);
  const std::int64_t w = metrics.horizontalAdvance(line);
  if (x + w < -kMargin || y - bandTop_ + metrics.height() < -kMargin) {
    return;
  }
  if (background) {
    FillRect(x, y, w, metrics.height(), *background);
  }
  painter_.setFont(FontOf(font));
  painter_.setPen(ToQColor(colour));
  painter_.drawText(QPointF(static_cast<double>(x), static_cast<double>(y - bandTop_ + metrics.ascent())), line);
}

std::int64_t QtChartPainter::TextWidth(const std::string& text, ChartFont font) {
  return MetricsOf(font).horizontalAdvance(ToQString(text));
}

std::int64_t QtChartPainter::TextHeight(ChartFont font) {
  return MetricsOf(font).height();
}

void QtChartPainter::SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  int qx = 0, qy = 0, qw = 0, qh = 0;
  if (ClampSpan(x, w, width_, qx, qw) && ClampSpan(y, h, bandHeight_, qy, qh, bandTop_)) {
    painter_.setClipRect(qx, qy, qw, qh);
  } else {
    painter_.setClipRect(0, 0, 0, 0);  // an empty clip shows nothing
  }
}

void QtChartPainter::ClearClip() {
  painter_.setClipping(false);
}

QImage RenderChartImage(const ChartFonts& fonts, int w, int h, const ChartDrawFunction& draw) {
  QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtChartPainter chart(painter, fonts, w, h);
  draw(chart, w, h);
  return image;
}

}  // namespace nerin
