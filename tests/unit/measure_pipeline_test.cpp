// "Measurement" and "Re-Calculate": what the window shows after each, on a scripted scanner.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "calib/calibr_table.h"
#include "measure/pipeline.h"
#include "measure_scripted_link.h"
#include "station/app_error.h"
#include "support/fake_window.h"

namespace qd718::test {
namespace {

// Diapaz 16384 makes a raw sample worth 1000 micrometres; Diskr 1000 spaces samples 100 apart.
constexpr int RawMillimetre = 16384;
constexpr int TopRaw = 9;
constexpr int FloorRaw = 1;

// A window that also keeps every gauge position.
class GaugeWindow : public FakeWindow {
 public:
  std::vector<int> progress;
  void SetGaugeProgress(int value) override {
    FakeWindow::SetGaugeProgress(value);
    progress.push_back(value);
  }
};

// Raw samples of a groove: 200 at the top, a fall, 200 on the floor, a rise, 200 at the top.
std::vector<int> GrooveScan() {
  std::vector<int> raw(200, TopRaw);
  for (int v : {7, 5, 3}) raw.push_back(v);
  raw.insert(raw.end(), 200, FloorRaw);
  for (int v : {3, 5, 7}) raw.push_back(v);
  raw.insert(raw.end(), 200, TopRaw);
  return raw;
}

struct PipelineFixture : ::testing::Test {
  ScriptedScanLink link;
  ScannerState state{link};
  std::unique_ptr<TProfileStore> store = std::make_unique<TProfileStore>();
  TCalibrTable table;
  GaugeWindow window;
  std::vector<std::pair<int, bool>> notified;
  MeasureContext context{
      state, *store, table, DefaultScanReplyBytes,
      [this](int channel, bool scanned) { notified.emplace_back(channel, scanned); }};

  PipelineFixture() {
    for (int channel = 1; channel <= 2; ++channel) {
      state.Info.DiapazOf(channel) = RawMillimetre;
      state.ParamsOf(channel).Diskr = 1000;
      state.ParamsOf(channel).XBeg = 5000;
      state.ParamsOf(channel).Angle = 100;  // as every parameter read leaves it
    }
  }

  // Channel 1's raw points without a scan: the heights at x = 100 * i.
  void LoadRaw(int channel, const std::vector<int>& heights) {
    const int c = ChannelIndex(channel);
    store->PointCount[c] = static_cast<int>(heights.size());
    for (std::size_t i = 0; i < heights.size(); ++i) {
      store->RawPoints[i].x[c] = 100 * static_cast<int>(i);
      store->RawPoints[i].z[c] = heights[i];
    }
  }
  std::vector<double> SeriesY(Ser series) {
    std::vector<double> ys;
    for (const RecordedPoint& point : window.series[series]) ys.push_back(point.y);
    return ys;
  }
};

std::vector<int> Ridge() {
  std::vector<int> heights(100, 1000);
  heights.insert(heights.end(), 100, 9000);
  heights.insert(heights.end(), 100, 1000);
  return heights;
}

TEST_F(PipelineFixture, RecalculateBeforeAnyMeasurementShowsZeros) {
  cxButton5Click(context, window);
  for (Ctl edit : {Ctl::dxEdit1, Ctl::dxEdit2, Ctl::dxEdit3, Ctl::dxEdit4}) {
    EXPECT_EQ(window.Text(edit), "0") << ControlName(edit);
  }
  for (Ser extremes : {Ser::Series5, Ser::Series6}) {
    ASSERT_EQ(window.series[extremes].size(), 2u);
    for (const RecordedPoint& point : window.series[extremes]) {
      EXPECT_EQ(point.x, 0);
      EXPECT_EQ(point.y, 0);
      EXPECT_EQ(point.color, clYellow);
      EXPECT_EQ(point.label, "");
    }
  }
  EXPECT_TRUE(window.series[Ser::Series1].empty());
  EXPECT_TRUE(window.series[Ser::Series2].empty());
  EXPECT_TRUE(link.written.empty());
  EXPECT_EQ(notified, (std::vector<std::pair<int, bool>>{{1, true}, {2, true}}));
}

TEST_F(PipelineFixture, MeasurementWithOnlyChannelTwoAnsweringLeavesChannelOneAsItWas) {
  link.scanReplies[2] = ScanReply(GrooveScan());
  window.SetText(Ctl::dxEdit1, "11");
  window.SetText(Ctl::dxEdit2, "22");
  window.AddPoint(Ser::Series1, 1, 2, "", clBlue);

  Button1Click(context, window);

  EXPECT_EQ(window.gaugeMax, 3);
  EXPECT_EQ(window.progress, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(notified, (std::vector<std::pair<int, bool>>{{1, false}, {2, true}}));
  EXPECT_EQ(window.Text(Ctl::dxEdit1), "11");
  EXPECT_EQ(window.Text(Ctl::dxEdit2), "22");
  EXPECT_EQ(window.series[Ser::Series1].size(), 1u);
  EXPECT_TRUE(window.series[Ser::Series5].empty());

  // The top is levelled to 5000, so the floor, 8 mm below it, reads -3000.
  EXPECT_EQ(window.Text(Ctl::dxEdit3), "-3000");
  EXPECT_EQ(window.Text(Ctl::dxEdit4), "-3000");
  ASSERT_EQ(window.series[Ser::Series2].size(), static_cast<std::size_t>(store->CountOf(2)));
  bool fallAt1500 = false;
  for (const RecordedPoint& point : window.series[Ser::Series2]) {
    EXPECT_EQ(point.color, clGreen);
    fallAt1500 = fallAt1500 || point.x == 1500;
  }
  EXPECT_TRUE(fallAt1500);
  EXPECT_EQ(window.series[Ser::Series6].size(), 2u);
}

TEST_F(PipelineFixture, PlotClearsTheProfileThenTheExtremesAndFillsTheEdits) {
  LoadRaw(1, Ridge());
  cxButton5Click(context, window);
  std::vector<std::string> clears;
  for (const std::string& call : window.calls) {
    if (call.rfind("ClearSeries", 0) == 0) clears.push_back(call);
  }
  EXPECT_EQ(clears, (std::vector<std::string>{"ClearSeries Series1", "ClearSeries Series5",
                                              "ClearSeries Series2", "ClearSeries Series6"}));
  EXPECT_EQ(window.Text(Ctl::dxEdit2), "13000");
  EXPECT_EQ(window.series[Ser::Series1].size(), 300u);
  EXPECT_EQ(window.series[Ser::Series1].front().color, clBlue);
}

TEST_F(PipelineFixture, CalibrTableIsSubtractedOnlyWhileChecked) {
  LoadRaw(1, Ridge());
  for (int i = 100; i < 200; ++i) table.entries[i].value[0] = 500;

  cxButton5Click(context, window);
  EXPECT_EQ(window.Text(Ctl::dxEdit2), "12500");
  window.checked[Ctl::CheckBox1] = false;
  cxButton5Click(context, window);
  EXPECT_EQ(window.Text(Ctl::dxEdit2), "13000");
  window.checked[Ctl::CheckBox1] = true;
  cxButton5Click(context, window);
  EXPECT_EQ(window.Text(Ctl::dxEdit2), "12500");
}

TEST_F(PipelineFixture, WithoutAutoAngleTheProfileIsNeitherRotatedNorLevelled) {
  // A tilted ridge: without the tilt correction the heights are drawn as measured.
  std::vector<int> heights = Ridge();
  for (std::size_t i = 0; i < heights.size(); ++i) heights[i] += 3 * static_cast<int>(i);
  LoadRaw(1, heights);
  state.ParamsOf(1).Angle = 150;
  window.checked[Ctl::CheckBox3] = false;  // the median would round the ridge's corners

  window.checked[Ctl::CheckBox4] = false;
  cxButton5Click(context, window);
  EXPECT_EQ(SeriesY(Ser::Series1), std::vector<double>(heights.begin(), heights.end()));
  EXPECT_EQ(state.ParamsOf(1).BegAngle, 0);

  window.checked[Ctl::CheckBox4] = true;
  cxButton5Click(context, window);
  EXPECT_NE(SeriesY(Ser::Series1), std::vector<double>(heights.begin(), heights.end()));
  EXPECT_NE(state.ParamsOf(1).BegAngle, 0);
}

TEST_F(PipelineFixture, RecursiveSmoothingWorksOnEachChannelsOwnProfile) {
  LoadRaw(1, std::vector<int>(20, 9000));
  LoadRaw(2, {900, 0, 0, 0});
  window.checked[Ctl::CheckBox3] = false;
  window.checked[Ctl::CheckBox4] = false;
  window.checked[Ctl::CheckBox5] = true;
  cxButton5Click(context, window);
  EXPECT_EQ(SeriesY(Ser::Series2), (std::vector<double>{900, 800, 711, 632}));
  EXPECT_EQ(SeriesY(Ser::Series1), std::vector<double>(20, 9000));
}

TEST_F(PipelineFixture, RecalculateTwiceGivesTheSameResult) {
  link.scanReplies[1] = ScanReply(GrooveScan());
  link.scanReplies[2] = ScanReply(GrooveScan());
  Button1Click(context, window);
  cxButton5Click(context, window);
  const auto first = window.series;
  const auto edits = std::vector<std::string>{window.Text(Ctl::dxEdit1), window.Text(Ctl::dxEdit2),
                                              window.Text(Ctl::dxEdit3), window.Text(Ctl::dxEdit4)};
  cxButton5Click(context, window);
  for (Ser series : {Ser::Series1, Ser::Series2, Ser::Series5, Ser::Series6}) {
    ASSERT_EQ(window.series[series].size(), first.at(series).size());
    for (std::size_t i = 0; i < first.at(series).size(); ++i) {
      EXPECT_EQ(window.series[series][i].x, first.at(series)[i].x);
      EXPECT_EQ(window.series[series][i].y, first.at(series)[i].y);
    }
  }
  EXPECT_EQ(edits,
            (std::vector<std::string>{window.Text(Ctl::dxEdit1), window.Text(Ctl::dxEdit2),
                                      window.Text(Ctl::dxEdit3), window.Text(Ctl::dxEdit4)}));
}

TEST_F(PipelineFixture, FilterSettingThatIsNotAnIntegerEndsTheRunAfterTheScans) {
  link.scanReplies[1] = ScanReply(GrooveScan());
  for (const char* text : {"5.5", "", "abc", " 51", "99999999999"}) {
    window.SetText(Ctl::dxEdit5, text);
    window.progress.clear();
    link.written.clear();
    try {
      Button1Click(context, window);
      ADD_FAILURE() << "no error for '" << text << "'";
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
    EXPECT_EQ(window.progress, (std::vector<int>{0, 1}));
    EXPECT_FALSE(link.ReadoutRequested(1));
    EXPECT_THROW(cxButton5Click(context, window), ConversionError);
  }
}

TEST(ReadFilterSettings, ReadsTheThreeHiddenEdits) {
  FakeWindow window;
  window.SetText(Ctl::dxEdit5, "-3");
  window.SetText(Ctl::dxEdit6, "+12");
  window.SetText(Ctl::dxEdit7, "2147483647");
  const FilterSettings settings = ReadFilterSettings(window);
  EXPECT_EQ(settings.medianWindow, -3);
  EXPECT_EQ(settings.movingWindow, 12);
  EXPECT_EQ(settings.recursiveFactor, 2147483647);
}

}  // namespace
}  // namespace qd718::test
