// SPDX-License-Identifier: MIT
#include "app/chart_canvas.h"

#include <cmath>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWheelEvent>

#include "views/chart_colours.h"

namespace nerin {

namespace {

// One notch of an ordinary mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;

// Qt's painter works in the canvas's own units and scales for the screen itself, so drawing
// pixels and canvas units are the same here.
std::int64_t Pixel(double coordinate) {
  return static_cast<std::int64_t>(std::floor(coordinate));
}

}  // namespace

ChartCanvasWidget::ChartCanvasWidget(const ChartFonts& fonts, QWidget* parent)
    : QWidget(parent), fonts_(fonts) {
  // Every draw covers the whole canvas.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
}

void ChartCanvasWidget::SetDrawFunction(ChartDrawFunction draw) {
  draw_ = std::move(draw);
}

void ChartCanvasWidget::DrawNow() {
  if (isVisible()) {
    repaint();
  }
}

void ChartCanvasWidget::ShowResizePointer(bool resize) {
  if (resize == resizePointer_) {
    return;
  }
  resizePointer_ = resize;
  if (resize) {
    setCursor(Qt::SplitHCursor);
  } else {
    unsetCursor();
  }
}

void ChartCanvasWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QtChartPainter chart(painter, fonts_, width(), height(), &texts_);
  if (draw_) {
    draw_(chart, width(), height());
  } else {
    chart.FillRect(0, 0, width(), height(), ChartBackground);
  }
}

void ChartCanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  if (listener_) {
    listener_(PointerEvent{PointerAction::Move, Pixel(event->position().x()), Pixel(event->position().y()),
                           (event->buttons() & Qt::LeftButton) != 0});
  }
}

void ChartCanvasWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && listener_) {
    listener_(PointerEvent{PointerAction::Press, Pixel(event->position().x()), Pixel(event->position().y()), true});
  }
}

void ChartCanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && listener_) {
    listener_(PointerEvent{PointerAction::Release, Pixel(event->position().x()), Pixel(event->position().y()), false});
  }
}

void ChartCanvasWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && listener_) {
    listener_(PointerEvent{PointerAction::DoubleClick, Pixel(event->position().x()), Pixel(event->position().y()),
                           true});
  }
}

void ChartCanvasWidget::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (!listener_) {
    return;
  }
  // Shift turns some wheels sideways; either axis counts.
  const QPoint angle = event->angleDelta();
  wheelRemainder_ += angle.y() != 0 ? angle.y() : angle.x();
  const int notches = wheelRemainder_ / kWheelNotch;
  wheelRemainder_ -= notches * kWheelNotch;
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  listener_(WheelEvent{notches, shift, Pixel(event->position().x())});
}

void ChartCanvasWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (listener_) {
    listener_(PointerEvent{PointerAction::Leave, 0, 0, (QApplication::mouseButtons() & Qt::LeftButton) != 0});
  }
}

}  // namespace nerin
