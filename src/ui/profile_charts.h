#pragma once

// The chart panel Panel5 with both profile charts: Chart1 (channel 1) above Chart2
// (channel 2), each with its five series, fixed axes, rubber-band zoom and the x and z under
// the mouse. The window and qd718 --plot draw through this one class, so that the charting
// library could be replaced in one place.

#include <QWidget>
#include <array>
#include <vector>

#include "station/controls.h"

class QChartView;
class QXYSeries;
class QString;

namespace qd718 {

struct ChartPoint {
  double x;
  double y;
  Color color;
};

// The fixed axes of both charts, in micrometres.
inline constexpr double AxisXMin = -1000;
inline constexpr double AxisXMax = 150000;
inline constexpr double AxisZMin = -1000;
inline constexpr double AxisZMax = 6000;

// Panel5Resize: Chart2 gets (h - 44) / 2 + 20 of the panel's height h, Chart1 what is left.
// The formula goes below zero for panels under 3 pixels; heights are then kept within the
// panel, never negative.
inline constexpr int ChartSplitReserve = 44;
inline constexpr int Chart2Extra = 20;
struct ChartHeights {
  int chart1;
  int chart2;
};
ChartHeights Panel5Heights(int panelHeight);

class ChartView;

class ProfileCharts : public QWidget {
  Q_OBJECT

 public:
  explicit ProfileCharts(QWidget* parent = nullptr);
  ~ProfileCharts() override;

  void ClearSeries(Ser series);
  // Adds points as the series' own add does, one after the other: each lands after every
  // point whose x is not greater, so the series stays in ascending x. One redraw for all.
  void AddPoints(Ser series, const std::vector<ChartPoint>& points);
  void AddPoint(Ser series, double x, double y, Color color);
  // Clears the series and adds the points, in one redraw.
  void ReplacePoints(Ser series, const std::vector<ChartPoint>& points);
  // The points of a series in drawing order.
  const std::vector<ChartPoint>& Points(Ser series) const;

  // Chart1 (channel 1) or Chart2 (channel 2).
  QChartView* Chart(int channel) const;
  QXYSeries* Series(Ser series) const;
  // Back to the fixed axes after a zoom.
  void ResetZoom();

  // Draws the panel at the given size into a PNG or SVG file, chosen by the file's
  // extension. Works offscreen; returns false when the file could not be written.
  bool RenderToFile(const QString& path, QSize size);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Show(Ser series);
  void Panel5Resize();

  std::array<ChartView*, 2> charts_{};
  std::array<QXYSeries*, SeriesCount> series_{};
  std::array<std::vector<ChartPoint>, SeriesCount> points_{};
};

}  // namespace qd718
