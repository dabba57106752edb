#include "cli/plot_export.h"

#include <QString>

#include "ui/profile_charts.h"

namespace qd718::cli {

namespace {

// The chart panel at the size it has in the window on a common screen.
constexpr int PlotWidth = 1600;
constexpr int PlotHeight = 900;

}  // namespace

bool WritePlot(ConsoleWindow& window, const std::string& fileName) {
  ProfileCharts charts;
  for (int i = 0; i < SeriesCount; ++i) {
    const auto series = static_cast<Ser>(i);
    std::vector<ChartPoint> points;
    for (const SeriesPoint& point : window.Series(series)) {
      points.push_back(ChartPoint{point.x, point.y, point.color});
    }
    // Added as the window adds them, so the series keeps the window's order of points.
    charts.ClearSeries(series);
    charts.AddPoints(series, points);
  }
  return charts.RenderToFile(QString::fromStdString(fileName), QSize(PlotWidth, PlotHeight));
}

}  // namespace qd718::cli
