#pragma once

// One profile chart as the engineer handles it: drag a rectangle to zoom into it,
// double-click to return to the fixed axes, and read the x and z under the mouse.

#include <QChartView>

class QGraphicsSimpleTextItem;

namespace qd718 {

class ChartView : public QChartView {
  Q_OBJECT

 public:
  explicit ChartView(QChart* chart, QWidget* parent = nullptr);

  // Back to the fixed axes.
  void ResetZoom();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QGraphicsSimpleTextItem* position_;
};

}  // namespace qd718
