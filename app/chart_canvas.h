// SPDX-License-Identifier: MIT
// The drawing surface of the Gantt tab. It draws what it is given and passes its pointer
// events on, in drawing pixels; what they do is the window's business.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include <QWidget>

#include "views/qt/qt_chart_painter.h"
#include "views/viewer_session_events.h"

namespace nerin {

// The canvas's pointer events as the session takes them: pointer moves, left-button presses,
// releases and double-clicks, leaving, and whole wheel notches (positive away from the user).
using ChartCanvasListener = std::function<void(const SessionEvent&)>;

class ChartCanvasWidget : public QWidget {
 public:
  ChartCanvasWidget(const ChartFonts& fonts, QWidget* parent);

  // What the canvas shows; called with the canvas size each time it is painted.
  void SetDrawFunction(ChartDrawFunction draw);
  void SetListener(ChartCanvasListener listener) { listener_ = std::move(listener); }
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
  ChartCanvasListener listener_;
  // Texts laid out once and kept across frames: scrolling redraws the same names and dates.
  ChartTextCache texts_;
  // Wheel angles below one notch (fine-grained wheels and touchpads) add up to notches.
  int wheelRemainder_ = 0;
  bool resizePointer_ = false;
};

}  // namespace nerin
