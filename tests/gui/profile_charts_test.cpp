// The chart panel: splitting its height, the series' point order and colours, and drawing
// to files offscreen.

#include <gtest/gtest.h>

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QWidget>

#include "ui/profile_charts.h"

namespace qd718 {
namespace {

struct SplitCase {
  int panel;
  int chart2;
};

class Panel5ResizeTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Panel5ResizeTest, Chart2TakesItsShareAndChart1TheRest) {
  const SplitCase c = GetParam();
  const ChartHeights heights = Panel5Heights(c.panel);
  EXPECT_EQ(heights.chart2, c.chart2);
  EXPECT_EQ(heights.chart1 + heights.chart2, std::max(c.panel, 0));
  EXPECT_GE(heights.chart1, 0);
}

INSTANTIATE_TEST_SUITE_P(Heights, Panel5ResizeTest,
                         ::testing::Values(SplitCase{700, 348}, SplitCase{45, 20},
                                           SplitCase{43, 20},  // (43 - 44) / 2 truncates to 0
                                           SplitCase{41, 19}, SplitCase{20, 8}, SplitCase{3, 0},
                                           SplitCase{2, 0},  // the formula gives -1
                                           SplitCase{0, 0}, SplitCase{-5, 0}));

TEST(ProfileChartsTest, ResizingThePanelSplitsItBetweenTheCharts) {
  QWidget window;  // a child, as Panel5 is: a top-level window has a minimum height
  window.resize(1000, 800);
  auto& charts = *new ProfileCharts(&window);
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  charts.resize(900, 700);
  EXPECT_EQ(charts.Chart(2)->height(), 348);
  EXPECT_EQ(charts.Chart(1)->height(), 352);
  EXPECT_EQ(charts.Chart(2)->y(), 352);
  charts.resize(900, 43);
  EXPECT_EQ(charts.Chart(2)->height(), 20);
  EXPECT_EQ(charts.Chart(1)->height(), 23);
}

TEST(ProfileChartsTest, AxesAreFixedAndOnlyChannelOnesHeightsGrowDownward) {
  ProfileCharts charts;
  for (int channel = 1; channel <= 2; ++channel) {
    QChart* chart = charts.Chart(channel)->chart();
    EXPECT_FALSE(chart->legend()->isVisible());
    EXPECT_TRUE(chart->title().isEmpty());
    auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
    auto* z = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(x && z);
    EXPECT_EQ(chart->axes().size(), 2);
    EXPECT_DOUBLE_EQ(x->min(), -1000);
    EXPECT_DOUBLE_EQ(x->max(), 150000);
    EXPECT_DOUBLE_EQ(z->min(), -1000);
    EXPECT_DOUBLE_EQ(z->max(), 6000);
    EXPECT_EQ(z->isReverse(), channel == 1);
    EXPECT_FALSE(x->isReverse());
  }
}

TEST(ProfileChartsTest, SeriesSitOnTheirChartsInDrawingOrder) {
  ProfileCharts charts;
  const auto names = [&](int channel) {
    QStringList list;
    for (QAbstractSeries* s : charts.Chart(channel)->chart()->series()) list << s->name();
    return list;
  };
  EXPECT_EQ(names(1), (QStringList{"Series1", "Series3", "Series5", "Series7", "Series9"}));
  EXPECT_EQ(names(2), (QStringList{"Series2", "Series4", "Series6", "Series8", "Series10"}));
  EXPECT_NE(qobject_cast<QScatterSeries*>(charts.Series(Ser::Series5)), nullptr);
  EXPECT_NE(qobject_cast<QScatterSeries*>(charts.Series(Ser::Series6)), nullptr);
  EXPECT_EQ(charts.Series(Ser::Series3)->pen().width(), 2);
  EXPECT_TRUE(charts.Series(Ser::Series1)->pointsVisible());
  EXPECT_FALSE(charts.Series(Ser::Series7)->pointsVisible());
  EXPECT_EQ(charts.Series(Ser::Series1)->color(), QColor(Qt::red));
  EXPECT_EQ(charts.Series(Ser::Series7)->color(), QColor(Qt::blue));
  for (int i = 0; i < SeriesCount; ++i) EXPECT_FALSE(charts.Series(Ser(i))->useOpenGL());
}

std::vector<double> Xs(const ProfileCharts& charts, Ser series) {
  std::vector<double> xs;
  for (const QPointF& p : charts.Series(series)->points()) xs.push_back(p.x());
  return xs;
}

TEST(ProfileChartsTest, PointsStayInAscendingXAndEqualXGoesAfterEarlierOnes) {
  ProfileCharts charts;
  charts.AddPoint(Ser::Series1, 30, 1, clBlue);
  charts.AddPoint(Ser::Series1, 10, 2, clBlue);
  charts.AddPoints(Ser::Series1, {{20, 3, clBlue}, {10, 4, clBlue}, {40, 5, clBlue}});
  EXPECT_EQ(Xs(charts, Ser::Series1), (std::vector<double>{10, 10, 20, 30, 40}));
  const QList<QPointF> drawn = charts.Series(Ser::Series1)->points();
  EXPECT_EQ(drawn[0].y(), 2);  // the earlier of the two points at x 10 first
  EXPECT_EQ(drawn[1].y(), 4);
}

TEST(ProfileChartsTest, ClearAndReplaceStartTheSeriesAgain) {
  ProfileCharts charts;
  charts.AddPoints(Ser::Series8, {{1, 1, clGreen}, {2, 2, clGreen}});
  charts.ReplacePoints(Ser::Series8, {{5, 1, clGreen}});
  EXPECT_EQ(Xs(charts, Ser::Series8), std::vector<double>{5});
  charts.ClearSeries(Ser::Series8);
  EXPECT_TRUE(charts.Series(Ser::Series8)->points().isEmpty());
  EXPECT_TRUE(charts.Points(Ser::Series8).empty());
}

TEST(ProfileChartsTest, AWholeProfileReachesTheSeriesInOneReplace) {
  ProfileCharts charts;
  int replaced = 0;
  int added = 0;
  QObject::connect(charts.Series(Ser::Series2), &QXYSeries::pointsReplaced, [&] { ++replaced; });
  QObject::connect(charts.Series(Ser::Series2), &QXYSeries::pointAdded, [&] { ++added; });
  std::vector<ChartPoint> profile;
  for (int i = 0; i < 3072; ++i) profile.push_back({i * 45.0, 5000.0 + i % 7, clGreen});
  charts.ReplacePoints(Ser::Series2, profile);
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(charts.Series(Ser::Series2)->count(), 3072);
}

TEST(ProfileChartsTest, APointsOwnColourIsDrawnInsteadOfTheSeriesColour) {
  ProfileCharts charts;
  QXYSeries* s1 = charts.Series(Ser::Series1);
  charts.ReplacePoints(Ser::Series1, {{0, 0, clBlue}, {1, 1, clBlue}});
  EXPECT_EQ(s1->color(), QColor(Qt::blue));  // shared colour: the pen
  EXPECT_TRUE(s1->pointsConfiguration().isEmpty());

  charts.AddPoint(Ser::Series1, 2, 2, clGreen);
  EXPECT_EQ(s1->pointsConfiguration().size(), 1);
  EXPECT_EQ(s1->pointConfiguration(2).value(QXYSeries::PointConfiguration::Color).value<QColor>(),
            QColor(0, 0x80, 0));

  charts.ClearSeries(Ser::Series1);
  EXPECT_EQ(s1->color(), QColor(Qt::red));  // back to the series' own colour
  EXPECT_TRUE(s1->pointsConfiguration().isEmpty());

  charts.AddPoint(Ser::Series5, 0, 0, clYellow);
  EXPECT_EQ(charts.Series(Ser::Series5)->color(), QColor(Qt::yellow));
}

TEST(ProfileChartsTest, NotANumberDoesNotUpsetTheOrder) {
  ProfileCharts charts;
  charts.AddPoints(Ser::Series7, {{std::nan(""), 0, clBlue}, {3, 0, clBlue}, {1, 0, clBlue}});
  const auto xs = Xs(charts, Ser::Series7);
  ASSERT_EQ(xs.size(), 3u);
  EXPECT_EQ(xs[0], 1);
  EXPECT_EQ(xs[1], 3);
}

TEST(ProfileChartsTest, DrawsBothChartsIntoPngAndSvg) {
  QTemporaryDir dir;
  ProfileCharts charts;
  std::vector<ChartPoint> profile;
  for (int i = 0; i < 100; ++i) profile.push_back({i * 1400.0, (i % 20) * 200.0, clBlue});
  charts.ReplacePoints(Ser::Series1, profile);

  const QString png = dir.filePath("plot.png");
  ASSERT_TRUE(charts.RenderToFile(png, QSize(800, 600)));
  QImage image(png);
  ASSERT_EQ(image.size(), QSize(800, 600));
  // Something besides the white background was drawn: the profile's blue.
  bool blue = false;
  for (int y = 0; y < image.height() && !blue; y += 2) {
    for (int x = 0; x < image.width() && !blue; x += 2) {
      const QColor c = image.pixelColor(x, y);
      blue = c.blue() > 200 && c.red() < 60 && c.green() < 60;
    }
  }
  EXPECT_TRUE(blue);

  const QString svg = dir.filePath("plot.svg");
  ASSERT_TRUE(charts.RenderToFile(svg, QSize(800, 600)));
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<svg"));

  EXPECT_FALSE(charts.RenderToFile(dir.filePath("missing/plot.png"), QSize(800, 600)));
  EXPECT_FALSE(charts.RenderToFile(dir.filePath("missing/plot.svg"), QSize(800, 600)));
}

TEST(ProfileChartsTest, DoubleClickGoesBackToTheFixedAxes) {
  ProfileCharts charts;
  QChart* chart = charts.Chart(1)->chart();
  auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
  x->setRange(100, 200);
  charts.ResetZoom();
  EXPECT_DOUBLE_EQ(x->min(), AxisXMin);
  EXPECT_DOUBLE_EQ(x->max(), AxisXMax);
}

}  // namespace
}  // namespace qd718
