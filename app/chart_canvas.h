// The drawing surface of the Gantt tab.
#pragma once

#include <QWidget>

#include "views/qt/qt_chart_painter.h"

namespace nerin {

class ChartCanvasWidget : public QWidget {
 public:
  ChartCanvasWidget(const ChartFonts& fonts, QWidget* parent);

  // What the canvas shows; called with the canvas size each time it is painted.
  void SetDrawFunction(ChartDrawFunction draw);
  // Paints at once when the canvas is on screen.
  void DrawNow();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ChartFonts& fonts_;
  ChartDrawFunction draw_;
};

}  // namespace nerin
