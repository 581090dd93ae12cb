// SPDX-License-Identifier: MIT
// The drawing surface of the Gantt tab. It draws what it is given and passes its pointer
// events on, in drawing pixels; what they do is the window's business.
#pragma once

#include <cstdint>

#include <QWidget>

#include "views/qt/qt_chart_painter.h"

namespace nerin {

class ChartCanvasListener {
 public:
  virtual ~ChartCanvasListener() = default;
  virtual void CanvasPointerMoved(std::int64_t x, std::int64_t y, bool leftHeld) = 0;
  virtual void CanvasLeftPressed(std::int64_t x, std::int64_t y) = 0;
  virtual void CanvasLeftReleased(std::int64_t x, std::int64_t y) = 0;
  virtual void CanvasDoubleClicked(std::int64_t x, std::int64_t y) = 0;
  // Whole notches, positive away from the user; x is -1 when the pointer position is unknown.
  virtual void CanvasWheel(std::int64_t notches, bool shift, std::int64_t x) = 0;
  virtual void CanvasLeft(bool leftHeld) = 0;
};

class ChartCanvasWidget : public QWidget {
 public:
  ChartCanvasWidget(const ChartFonts& fonts, QWidget* parent);

  // What the canvas shows; called with the canvas size each time it is painted.
  void SetDrawFunction(ChartDrawFunction draw);
  void SetListener(ChartCanvasListener* listener) { listener_ = listener; }
  // Paints at once when the canvas is on screen.
  void DrawNow();
  void ShowResizePointer(bool resize);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  const ChartFonts& fonts_;
  ChartDrawFunction draw_;
  ChartCanvasListener* listener_ = nullptr;
  // Texts laid out once and kept across frames: scrolling redraws the same names and dates.
  ChartTextCache texts_;
  // Wheel angles below one notch (fine-grained wheels and touchpads) add up to notches.
  int wheelRemainder_ = 0;
  bool resizePointer_ = false;
};

}  // namespace nerin
