// SPDX-License-Identifier: MIT
#include "resources/icon_generator/icon_canvas.h"

#include <QPen>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace nerin::icons {

IconCanvas::IconCanvas(QImage& image, double units) : IconCanvas(image, image.width(), units) {}

IconCanvas::IconCanvas(QPaintDevice& device, int pixels, double units)
    : painter_(&device), pixels_(pixels), scale_(pixels / units) {
  painter_.setRenderHint(QPainter::Antialiasing, true);
}

double IconCanvas::Weight(double units) const {
  return std::max(1.0, std::round(units * scale_));
}

// The nearest position with the given fraction; a tie goes toward the middle of the picture, so
// that shapes symmetric in units stay symmetric in pixels.
double IconCanvas::Snap(double pixel, double offset) const {
  const double k = pixel - offset;
  const double lo = std::floor(k);
  const double hi = std::ceil(k);
  if (lo == hi) return k + offset;
  const double to_lo = k - lo;
  const double to_hi = hi - k;
  if (std::abs(to_lo - to_hi) > 1e-6) return (to_lo < to_hi ? lo : hi) + offset;
  const double middle = pixels_ / 2.0;
  return std::abs(lo + offset - middle) < std::abs(hi + offset - middle) ? lo + offset : hi + offset;
}

double IconCanvas::Line(double u, double width) const {
  const bool odd = static_cast<long>(std::lround(width)) % 2 == 1;
  return Snap(u * scale_, odd ? 0.5 : 0.0);
}

double IconCanvas::Edge(double u) const {
  return Snap(u * scale_, 0.0);
}

namespace {

// A path through the points, each placed by `snap`.
template <typename PlaceFn>
QPainterPath PathThrough(std::initializer_list<QPointF> points, bool closed, PlaceFn snap) {
  QPainterPath path;
  bool first = true;
  for (const QPointF& p : points) {
    const QPointF q(snap(p.x()), snap(p.y()));
    if (first) {
      path.moveTo(q);
    } else {
      path.lineTo(q);
    }
    first = false;
  }
  if (closed) path.closeSubpath();
  return path;
}

}  // namespace

QPainterPath IconCanvas::StrokePath(std::initializer_list<QPointF> points, double width, bool closed) const {
  return PathThrough(points, closed, [&](double u) { return Line(u, width); });
}

QPainterPath IconCanvas::FillPath(std::initializer_list<QPointF> points) const {
  return PathThrough(points, true, [&](double u) { return Edge(u); });
}

void IconCanvas::SetPen(const QColor& colour, double width) {
  QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter_.setPen(pen);
}

void IconCanvas::Stroke(const QPainterPath& path, const QColor& colour, double width) {
  SetPen(colour, width);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPath(path);
}

void IconCanvas::Fill(const QPainterPath& path, const QColor& colour) {
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(colour);
  painter_.drawPath(path);
}

void IconCanvas::Gap(const QPainterPath& path, double width, const QColor& background) {
  if (background.alpha() != 0) {
    Stroke(path, background, width);
    return;
  }
  painter_.setCompositionMode(QPainter::CompositionMode_Clear);
  Stroke(path, Qt::black, width);
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void IconCanvas::StrokeLine(double x1, double y1, double x2, double y2, const QColor& colour, double width) {
  Stroke(StrokePath({{x1, y1}, {x2, y2}}, width, false), colour, width);
}

void IconCanvas::StrokeRoundRect(double x0, double y0, double x1, double y1, double radius,
                                 const QColor& colour, double width, const QColor& fill) {
  const QRectF rect(QPointF(Line(x0, width), Line(y0, width)), QPointF(Line(x1, width), Line(y1, width)));
  SetPen(colour, width);
  painter_.setBrush(fill.alpha() == 0 ? QBrush(Qt::NoBrush) : QBrush(fill));
  painter_.drawRoundedRect(rect, radius * scale_, radius * scale_);
}

void IconCanvas::FillRoundRect(double x0, double y0, double x1, double y1, double radius,
                               const QColor& colour) {
  const QRectF rect(QPointF(Edge(x0), Edge(y0)), QPointF(Edge(x1), Edge(y1)));
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(colour);
  painter_.drawRoundedRect(rect, radius * scale_, radius * scale_);
}

void IconCanvas::StrokeCircle(double cx, double cy, double r, const QColor& colour, double width,
                              const QColor& fill) {
  const QRectF rect(QPointF(Line(cx - r, width), Line(cy - r, width)),
                    QPointF(Line(cx + r, width), Line(cy + r, width)));
  SetPen(colour, width);
  painter_.setBrush(fill.alpha() == 0 ? QBrush(Qt::NoBrush) : QBrush(fill));
  painter_.drawEllipse(rect);
}

void IconCanvas::FillCircle(double cx, double cy, double r, const QColor& colour) {
  const QRectF rect(QPointF(cx - r, cy - r) * scale_, QPointF(cx + r, cy + r) * scale_);
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(colour);
  painter_.drawEllipse(rect);
}

}  // namespace nerin::icons
