#include "app/chart_canvas.h"

#include <QPaintEvent>

#include "views/chart_colours.h"

namespace nerin {

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

void ChartCanvasWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QtChartPainter chart(painter, fonts_, width(), height());
  if (draw_) {
    draw_(chart, width(), height());
  } else {
    chart.FillRect(0, 0, width(), height(), ChartBackground);
  }
}

}  // namespace nerin
