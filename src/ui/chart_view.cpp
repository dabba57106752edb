#include "ui/chart_view.h"

#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <QValueAxis>

#include "ui/profile_charts.h"

namespace qd718 {

namespace {

// Where the x and z under the mouse are written, from the plot area's top-left corner.
constexpr QPointF PositionOffset{6, 4};

}  // namespace

ChartView::ChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent), position_(new QGraphicsSimpleTextItem(chart)) {
  setRubberBand(QChartView::RectangleRubberBand);
  setRenderHint(QPainter::Antialiasing, false);
  setMouseTracking(true);
  position_->setZValue(1000);  // over every series
  position_->setVisible(false);
}

void ChartView::ResetZoom() {
  QChart* c = chart();
  for (QAbstractAxis* axis : c->axes(Qt::Horizontal)) axis->setRange(AxisXMin, AxisXMax);
  for (QAbstractAxis* axis : c->axes(Qt::Vertical)) axis->setRange(AxisZMin, AxisZMax);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
  QChart* c = chart();
  const QPointF scenePos = mapToScene(event->position().toPoint());
  const QPointF chartPos = c->mapFromScene(scenePos);
  if (c->plotArea().contains(chartPos)) {
    const QPointF value = c->mapToValue(chartPos);
    position_->setText(QStringLiteral("x %1  z %2")
                           .arg(static_cast<long long>(value.x()))
                           .arg(static_cast<long long>(value.y())));
    position_->setPos(c->plotArea().topLeft() + PositionOffset);
    position_->setVisible(true);
  } else {
    position_->setVisible(false);
  }
  QChartView::mouseMoveEvent(event);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  ResetZoom();
  event->accept();
}

void ChartView::leaveEvent(QEvent* event) {
  position_->setVisible(false);
  QChartView::leaveEvent(event);
}

}  // namespace qd718
