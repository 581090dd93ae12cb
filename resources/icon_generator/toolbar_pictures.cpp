// SPDX-License-Identifier: MIT
#include <QPainterPath>

#include "resources/icon_generator/palette.h"
#include "resources/icon_generator/pictures.h"

namespace nerin::icons {
namespace {

// Every outline has the same weight; the magnifier handle is the one heavier stroke.
constexpr double kStroke = 2.0;
constexpr double kHandle = 3.0;

void DrawFolder(IconCanvas& c) {
  const double w = c.Weight(kStroke);
  c.Stroke(c.StrokePath({{3, 19}, {3, 5}, {9, 5}, {11, 7}, {18, 7}, {18, 10}}, w, false), kNavy, w);
  const QPainterPath flap = c.StrokePath({{3, 19}, {6.5, 11}, {21, 11}, {17.5, 19}}, w, true);
  c.Fill(flap, kTeal);
  c.Stroke(flap, kNavy, w);
}

void DrawMagnifier(IconCanvas& c, const QColor& lens) {
  c.StrokeLine(14.5, 14.5, 20, 20, kNavy, c.Weight(kHandle));
  c.StrokeCircle(10, 10, 6, kNavy, c.Weight(kStroke), lens);
}

void DrawZoom(IconCanvas& c, bool in) {
  const double w = c.Weight(kStroke);
  DrawMagnifier(c, kTealTint);
  c.StrokeLine(7.5, 10, 12.5, 10, kNavy, w);
  if (in) c.StrokeLine(10, 7.5, 10, 12.5, kNavy, w);
}

void DrawFind(IconCanvas& c) {
  DrawMagnifier(c, kTeal);
  QPainterPath glint;
  const QPointF centre = c.Free(10, 10);
  const double r = 3.4 * c.Scale();
  glint.arcMoveTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 105);
  glint.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 105, 60);
  c.Stroke(glint, kWhite, c.Weight(1.5));
}

void DrawFindFailed(IconCanvas& c) {
  const double w = c.Weight(kStroke);
  DrawMagnifier(c, kWhite);
  c.StrokeLine(8, 8, 12, 12, kRed, w);
  c.StrokeLine(12, 8, 8, 12, kRed, w);
}

void DrawFit(IconCanvas& c) {
  const double w = c.Weight(kStroke);
  c.Stroke(c.StrokePath({{3, 8}, {3, 4}, {7, 4}}, w, false), kNavy, w);
  c.Stroke(c.StrokePath({{17, 4}, {21, 4}, {21, 8}}, w, false), kNavy, w);
  c.Stroke(c.StrokePath({{3, 16}, {3, 20}, {7, 20}}, w, false), kNavy, w);
  c.Stroke(c.StrokePath({{17, 20}, {21, 20}, {21, 16}}, w, false), kNavy, w);
  c.FillRoundRect(6, 8, 14, 11, 1, kTeal);
  c.FillRoundRect(10, 13, 18, 16, 1, kBlue);
}

void DrawCalendar(IconCanvas& c, const QColor& day) {
  const double w = c.Weight(kStroke);
  c.StrokeRoundRect(3, 5, 21, 21, 2, kNavy, w, kWhite);
  c.Fill(c.FillPath({{3, 5}, {21, 5}, {21, 10}, {3, 10}}), kNavy);
  c.StrokeLine(8, 2.5, 8, 6, kNavy, w);
  c.StrokeLine(16, 2.5, 16, 6, kNavy, w);
  const double columns[] = {6, 11, 16};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (row == 1 && column == 2) continue;
      const double x = columns[column];
      const double y = 12 + row * 4;
      c.FillRoundRect(x, y, x + 2, y + 2, 0, kNavy);
    }
  }
  c.FillRoundRect(15, 15, 19, 19, 1, day);
}

// The critical chain: red tasks linked finish to start, ending in a milestone.
void DrawCritical(IconCanvas& c) {
  const double w = c.Weight(kStroke);
  c.Stroke(c.StrokePath({{9, 5}, {12, 5}, {12, 10}}, w, false), kNavy, w);
  c.Stroke(c.StrokePath({{16, 12}, {19, 12}, {19, 15}}, w, false), kNavy, w);
  c.FillRoundRect(2, 3, 10, 7, 1, kRed);
  c.FillRoundRect(8, 10, 17, 14, 1, kRed);
  c.Fill(c.FillPath({{19, 14.5}, {22.5, 18}, {19, 21.5}, {15.5, 18}}), kRed);
}

void DrawFold(IconCanvas& c, bool collapse) {
  const double w = c.Weight(kStroke);
  const double outer_top = collapse ? 3 : 7;
  const double inner_top = collapse ? 7 : 3;
  c.Stroke(c.StrokePath({{7, outer_top}, {12, inner_top}, {17, outer_top}}, w, false), kNavy, w);
  c.Stroke(c.StrokePath({{7, 24 - outer_top}, {12, 24 - inner_top}, {17, 24 - outer_top}}, w, false), kNavy,
           w);
  c.FillRoundRect(4, 10.5, 20, 13.5, 1.5, kTeal);
}

// The arrow leaves the picture through its corner; a gap in the colour of what lies under the
// arrow keeps the two apart.
void DrawExport(IconCanvas& c, const QColor& background) {
  const double w = c.Weight(kStroke);
  QPainterPath arrow = c.StrokePath({{11, 13}, {20, 4}}, w, false);
  arrow.addPath(c.StrokePath({{13, 4}, {20, 4}, {20, 11}}, w, false));
  const double gap = w + 2 * c.Weight(1);

  c.StrokeRoundRect(3, 8, 16, 21, 2, kNavy, w);
  c.Gap(arrow, gap, background);
  QPainter& p = c.Painter();
  p.save();
  p.setClipRect(QRectF(QPointF(c.Edge(4), c.Edge(9)), QPointF(c.Edge(15), c.Edge(20))));
  p.fillRect(QRectF(0, 0, c.Pixels(), c.Pixels()), kWhite);
  c.Fill(c.FillPath({{4, 20}, {7.5, 15}, {10, 18}, {11.5, 16.5}, {15, 20}}), kTeal);
  c.FillCircle(6.5, 11.5, 1.5, kBlue);
  c.Gap(arrow, gap, kWhite);
  p.restore();
  c.Stroke(arrow, kBlue, w);
}

void DrawQuestion(IconCanvas& c) {
  const double w = c.Weight(kStroke);
  c.StrokeCircle(12, 12, 9, kNavy, w);
  QPainterPath mark;
  mark.moveTo(c.Free(9, 9.5));
  mark.cubicTo(c.Free(9, 7.6), c.Free(10.4, 6.5), c.Free(12, 6.5));
  mark.cubicTo(c.Free(13.7, 6.5), c.Free(15, 7.6), c.Free(15, 9.2));
  mark.cubicTo(c.Free(15, 10.7), c.Free(13.9, 11.3), c.Free(13, 11.9));
  mark.cubicTo(c.Free(12.3, 12.4), c.Free(12, 12.9), c.Free(12, 14));
  c.Stroke(mark, kBlue, w);
  c.FillCircle(12, 17.2, 1.3, kBlue);
}

void DrawInfo(IconCanvas& c) {
  const double w = c.Weight(kStroke);
  c.StrokeCircle(12, 12, 9, kNavy, w);
  c.FillCircle(12, 7.6, 1.4, kBlue);
  c.StrokeLine(12, 11, 12, 17, kBlue, w);
}

// Feedback pictures stand on the same amber as the status line's feedback message.
void DrawFeedbackTile(IconCanvas& c) {
  c.FillRoundRect(0, 0, 24, 24, 4.5, kAmber);
  c.StrokeRoundRect(0.5, 0.5, 23.5, 23.5, 4, kAmberEdge, 1);
}

// Compare with another version: each row's thin bar is the older version's dates, in the
// chart's colour for them, above the bar as it stands now.
void DrawCompare(IconCanvas& c) {
  const QColor reference(196, 48, 160);
  c.FillRoundRect(3, 3.5, 13, 6, 1, reference);
  c.FillRoundRect(8, 7.5, 21, 12, 1.5, kTeal);
  c.FillRoundRect(3, 14, 13, 16.5, 1, reference);
  c.FillRoundRect(3, 18, 11, 22.5, 1.5, kBlue);
}

const char* const kNames[TOOLBAR_PICTURE_COUNT] = {
    "00-open",          "01-zoom-out",       "02-zoom-in",         "03-fit",    "04-find", "05-today",
    "06-critical",      "07-collapse",       "08-expand",          "09-export", "10-help", "11-about",
    "12-find-feedback", "13-today-feedback", "14-export-feedback", "15-compare"};

}  // namespace

const char* ToolbarPictureName(int index) {
  return index >= 0 && index < TOOLBAR_PICTURE_COUNT ? kNames[index] : nullptr;
}

void DrawToolbarPicture(int index, IconCanvas& canvas) {
  switch (index) {
    case 0:
      DrawFolder(canvas);
      break;
    case 1:
      DrawZoom(canvas, false);
      break;
    case 2:
      DrawZoom(canvas, true);
      break;
    case 3:
      DrawFit(canvas);
      break;
    case 4:
      DrawFind(canvas);
      break;
    case 5:
      DrawCalendar(canvas, kTeal);
      break;
    case 6:
      DrawCritical(canvas);
      break;
    case 7:
      DrawFold(canvas, true);
      break;
    case 8:
      DrawFold(canvas, false);
      break;
    case 9:
      DrawExport(canvas, Qt::transparent);
      break;
    case 10:
      DrawQuestion(canvas);
      break;
    case 11:
      DrawInfo(canvas);
      break;
    case 12:
      DrawFeedbackTile(canvas);
      DrawFindFailed(canvas);
      break;
    case 13:
      DrawFeedbackTile(canvas);
      DrawCalendar(canvas, kRed);
      break;
    case 14:
      DrawFeedbackTile(canvas);
      DrawExport(canvas, kAmber);
      break;
    case 15:
      DrawCompare(canvas);
      break;
    default:
      break;
  }
}

}  // namespace nerin::icons
