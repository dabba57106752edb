#include "ui/profile_charts.h"

#include <QApplication>
#include <QChart>
#include <QFileInfo>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/chart_view.h"

namespace qd718 {

namespace {

enum class Kind { Line, Point };

// How one series looks before any point gives it a colour of its own.
struct SeriesLook {
  Ser series;
  int channel;
  Kind kind;
  Color color;
  int lineWidth;
  bool pointers;
  qreal markerSize;
};

constexpr int NormalLine = 1;
constexpr int WideLine = 2;
constexpr qreal ProfilePointer = 4;  // circles 2 by 2 around the point
constexpr qreal ExtremePointer = 9;  // circles of the default pointer size
constexpr qreal NoPointer = 0;

// Per chart in drawing order: later series are drawn over earlier ones.
constexpr SeriesLook Looks[] = {
    {Ser::Series1, 1, Kind::Line, clRed, NormalLine, true, ProfilePointer},
    {Ser::Series3, 1, Kind::Line, clGreen, WideLine, false, NoPointer},
    {Ser::Series5, 1, Kind::Point, clYellow, NormalLine, true, ExtremePointer},
    {Ser::Series7, 1, Kind::Line, clBlue, NormalLine, false, NoPointer},
    {Ser::Series9, 1, Kind::Line, clWhite, NormalLine, false, NoPointer},
    {Ser::Series2, 2, Kind::Line, clRed, NormalLine, true, ProfilePointer},
    {Ser::Series4, 2, Kind::Line, clGreen, WideLine, false, NoPointer},
    {Ser::Series6, 2, Kind::Point, clYellow, NormalLine, true, ExtremePointer},
    {Ser::Series8, 2, Kind::Line, clBlue, NormalLine, false, NoPointer},
    {Ser::Series10, 2, Kind::Line, clWhite, NormalLine, false, NoPointer},
};

// Axis ticks: the charts' own increment of 10 would crowd the labels into a solid bar.
constexpr double XTickInterval = 10000;
constexpr double ZTickInterval = 1000;
// Margins of 2 per cent (1 at the top) of a chart of about this size.
constexpr int ChartMargin = 8;
constexpr int ChartTopMargin = 4;

const SeriesLook& LookOf(Ser series) {
  for (const SeriesLook& look : Looks) {
    if (look.series == series) return look;
  }
  return Looks[0];
}

QColor ToQColor(Color color) {
  // Blue-green-red byte order.
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

// Orders by x; a NaN sorts after every number so the order stays a strict weak order.
double SortKey(double x) {
  return std::isnan(x) ? std::numeric_limits<double>::infinity() : x;
}

bool XBefore(const ChartPoint& a, const ChartPoint& b) {
  return SortKey(a.x) < SortKey(b.x);
}

QValueAxis* MakeAxis(double low, double high, double interval, bool reversed) {
  auto* axis = new QValueAxis;
  axis->setRange(low, high);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(interval);
  axis->setLabelFormat(QStringLiteral("%.0f"));
  axis->setReverse(reversed);
  return axis;
}

void SetSeriesColor(QXYSeries* series, Kind kind, QColor color, int lineWidth) {
  if (kind == Kind::Point) {
    auto* scatter = static_cast<QScatterSeries*>(series);
    scatter->setColor(color);
    scatter->setBorderColor(color);
    return;
  }
  QPen pen(color);
  pen.setWidth(lineWidth);
  series->setPen(pen);
}

}  // namespace

ChartHeights Panel5Heights(int panelHeight) {
  const int h = std::max(panelHeight, 0);
  // Integer division truncates toward zero: 43 gives (-1) / 2 = 0, so Chart2 gets 20.
  const int chart2 = std::clamp((panelHeight - ChartSplitReserve) / 2 + Chart2Extra, 0, h);
  return ChartHeights{h - chart2, chart2};
}

ProfileCharts::ProfileCharts(QWidget* parent) : QWidget(parent) {
  for (int channel = 1; channel <= 2; ++channel) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(QString());
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(ChartMargin, ChartTopMargin, ChartMargin, ChartMargin));
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setAnimationOptions(QChart::NoAnimation);

    QValueAxis* bottom = MakeAxis(AxisXMin, AxisXMax, XTickInterval, false);
    // Channel 1's heights grow downward, as the head sees them.
    QValueAxis* left = MakeAxis(AxisZMin, AxisZMax, ZTickInterval, channel == 1);
    chart->addAxis(bottom, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);

    for (const SeriesLook& look : Looks) {
      if (look.channel != channel) continue;
      QXYSeries* series = nullptr;
      if (look.kind == Kind::Point) {
        auto* scatter = new QScatterSeries;
        scatter->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        series = scatter;
      } else {
        series = new QLineSeries;
        series->setPointsVisible(look.pointers);
      }
      series->setName(QString::fromLatin1(SeriesName(look.series)));
      series->setObjectName(series->name());
      series->setUseOpenGL(false);
      series->setPointLabelsVisible(false);
      chart->addSeries(series);
      series->attachAxis(bottom);
      series->attachAxis(left);
      if (look.markerSize > 0) series->setMarkerSize(look.markerSize);
      SetSeriesColor(series, look.kind, ToQColor(look.color), look.lineWidth);
      series_[static_cast<int>(look.series)] = series;
    }

    auto* view = new ChartView(chart, this);
    chart->setMinimumSize(0, 0);  // the panel decides the heights, however small
    view->setMinimumSize(0, 0);
    view->setObjectName(channel == 1 ? QStringLiteral("Chart1") : QStringLiteral("Chart2"));
    charts_[channel - 1] = view;
  }
  Panel5Resize();
}

ProfileCharts::~ProfileCharts() = default;

void ProfileCharts::ClearSeries(Ser series) {
  ReplacePoints(series, {});
}

void ProfileCharts::AddPoint(Ser series, double x, double y, Color color) {
  AddPoints(series, {ChartPoint{x, y, color}});
}

void ProfileCharts::AddPoints(Ser series, const std::vector<ChartPoint>& points) {
  if (points.empty()) return;
  auto& held = points_[static_cast<int>(series)];
  const std::size_t before = held.size();
  held.insert(held.end(), points.begin(), points.end());
  // A stable sort of the points in the order they were added puts each one after every
  // earlier point of equal x: exactly what adding them one by one does. Points arriving
  // in ascending x, as profiles do, need no sorting at all.
  const bool ordered =
      std::is_sorted(held.begin() + static_cast<std::ptrdiff_t>(before), held.end(), XBefore) &&
      (before == 0 || !XBefore(held[before], held[before - 1]));
  if (!ordered) std::stable_sort(held.begin(), held.end(), XBefore);
  Show(series);
}

void ProfileCharts::ReplacePoints(Ser series, const std::vector<ChartPoint>& points) {
  points_[static_cast<int>(series)].clear();
  if (points.empty()) {
    Show(series);
    return;
  }
  AddPoints(series, points);
}

const std::vector<ChartPoint>& ProfileCharts::Points(Ser series) const {
  return points_[static_cast<int>(series)];
}

QChartView* ProfileCharts::Chart(int channel) const {
  return charts_[channel == 1 ? 0 : 1];
}

QXYSeries* ProfileCharts::Series(Ser series) const {
  return series_[static_cast<int>(series)];
}

void ProfileCharts::ResetZoom() {
  for (ChartView* view : charts_) view->ResetZoom();
}

void ProfileCharts::Show(Ser which) {
  const SeriesLook& look = LookOf(which);
  QXYSeries* series = Series(which);
  const auto& held = Points(which);

  QList<QPointF> drawn;
  drawn.reserve(static_cast<qsizetype>(held.size()));
  for (const ChartPoint& p : held) drawn.append(QPointF(p.x, p.y));
  series->clearPointsConfiguration();
  series->replace(drawn);

  if (held.empty()) {
    SetSeriesColor(series, look.kind, ToQColor(look.color), look.lineWidth);
    return;
  }
  const Color first = held.front().color;
  const bool shared = std::all_of(held.begin(), held.end(),
                                  [first](const ChartPoint& p) { return p.color == first; });
  // One colour for all points is the series' pen; painting points one by one is slow.
  SetSeriesColor(series, look.kind, ToQColor(first), look.lineWidth);
  if (shared) return;
  QHash<int, QHash<QXYSeries::PointConfiguration, QVariant>> configuration;
  for (int i = 0; i < static_cast<int>(held.size()); ++i) {
    if (held[i].color == first) continue;
    configuration[i][QXYSeries::PointConfiguration::Color] = ToQColor(held[i].color);
  }
  series->setPointsConfiguration(configuration);
}

void ProfileCharts::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Panel5Resize();
}

void ProfileCharts::Panel5Resize() {
  const ChartHeights heights = Panel5Heights(height());
  // Chart2 sits at the bottom; Chart1 fills what it leaves.
  charts_[0]->setGeometry(0, 0, width(), heights.chart1);
  charts_[1]->setGeometry(0, heights.chart1, width(), heights.chart2);
}

bool ProfileCharts::RenderToFile(const QString& path, QSize size) {
  if (isWindow()) {
    // Laid out and shown once before drawing, or the charts come out blank. Nothing
    // appears on the screen.
    setAttribute(Qt::WA_DontShowOnScreen, true);
    resize(size);
    show();
    QApplication::processEvents();
  }
  const QSize drawn = this->size();
  if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(drawn);
    generator.setViewBox(QRect(QPoint(0, 0), drawn));
    QPainter painter;
    if (!painter.begin(&generator)) return false;
    render(&painter);
    return painter.end();
  }
  QImage image(drawn, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    render(&painter);
  }
  return image.save(path);
}

}  // namespace qd718
