// SPDX-License-Identifier: MIT
// A square picture designed on a grid of units and painted at any pixel size, with the straight
// edges of strokes and fills placed on whole pixels so that they stay crisp at every size.
#pragma once

#include <QColor>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <initializer_list>

namespace nerin::icons {

class IconCanvas {
 public:
  // image: square, ARGB32 premultiplied, cleared to transparent.
  IconCanvas(QImage& image, double units);
  // Any square paint device `pixels` wide, such as a drawing that scales (an SVG file).
  IconCanvas(QPaintDevice& device, int pixels, double units);

  int Pixels() const { return pixels_; }
  double Scale() const { return scale_; }
  QPainter& Painter() { return painter_; }

  // Width in pixels of a stroke `units` wide: whole pixels, at least one.
  double Weight(double units) const;
  // Pixel position of the centre of a stroke of `width` pixels at unit coordinate u.
  double Line(double u, double width) const;
  // Pixel position of the edge of a filled area at unit coordinate u.
  double Edge(double u) const;
  // Unsnapped pixel position, for curves and their control points.
  QPointF Free(double x, double y) const { return {x * scale_, y * scale_}; }

  // A polyline or polygon through points given in units, vertices snapped for the stroke width.
  QPainterPath StrokePath(std::initializer_list<QPointF> points, double width, bool closed) const;
  // A polygon for filling, vertices snapped to pixel edges.
  QPainterPath FillPath(std::initializer_list<QPointF> points) const;

  void Stroke(const QPainterPath& path, const QColor& colour, double width);
  void Fill(const QPainterPath& path, const QColor& colour);
  // Paints a gap of `width` along the path in the background colour (transparent clears), to set a
  // shape off from what lies under it.
  void Gap(const QPainterPath& path, double width, const QColor& background);

  void StrokeLine(double x1, double y1, double x2, double y2, const QColor& colour, double width);
  void StrokeRoundRect(double x0, double y0, double x1, double y1, double radius, const QColor& colour,
                       double width, const QColor& fill = Qt::transparent);
  void FillRoundRect(double x0, double y0, double x1, double y1, double radius, const QColor& colour);
  void StrokeCircle(double cx, double cy, double r, const QColor& colour, double width,
                    const QColor& fill = Qt::transparent);
  void FillCircle(double cx, double cy, double r, const QColor& colour);

 private:
  double Snap(double pixel, double offset) const;
  void SetPen(const QColor& colour, double width);

  QPainter painter_;
  int pixels_;
  double scale_;
};

}  // namespace nerin::icons
