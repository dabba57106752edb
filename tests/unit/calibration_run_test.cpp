// "Calibration": the table built from the heights between the flanks, its 16-bit arithmetic
// and normalisation, and a whole run on a scripted scanner.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "calib/calibration_run.h"
#include "measure_scripted_link.h"
#include "station/app_error.h"
#include "support/fake_window.h"

namespace qd718::test {
namespace {

struct TableCase {
  const char* name;
  int firstIndex;  // where the heights lie in channel 1's working profile
  std::vector<std::int32_t> heights;
  int spanFirst;
  int spanLast;                        // not included
  std::vector<std::int16_t> expected;  // entries from firstIndex on; all others stay 0
};

class CalibrTableTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(CalibrTableTest, EntriesAreTheSpanHeightsLessTheirSmallestNonZeroHeight) {
  const TableCase& c = GetParam();
  auto store = std::make_unique<TProfileStore>();
  for (std::size_t k = 0; k < c.heights.size(); ++k) {
    store->WorkPoints[c.firstIndex + k].z[0] = c.heights[k];
  }
  store->SpanFirst = c.spanFirst;
  store->SpanLast = c.spanLast;
  TCalibrTable table;
  AccumulateSpan(*store, table, 1);
  AverageAndNormalise(table);

  for (int i = 0; i < CalibrPoints; ++i) {
    const int k = i - c.firstIndex;
    const std::int16_t expected =
        k >= 0 && k < static_cast<int>(c.expected.size()) ? c.expected[k] : 0;
    ASSERT_EQ(table.Entry(1, i), expected) << "entry " << i;
    ASSERT_EQ(table.Entry(2, i), 0) << "channel 2 entry " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Spans, CalibrTableTest,
    ::testing::Values(
        TableCase{"Worked", 700, {1200, 1500, 1300}, 700, 703, {0, 300, 100}},
        // A zero inside the span becomes minus the minimum.
        TableCase{"ZeroInside", 100, {5, 0, 7}, 100, 103, {0, -5, 2}},
        TableCase{"SingleEntry", 50, {250}, 50, 51, {0}},
        // A negative entry is the smallest non-zero value.
        TableCase{"NegativeEntry", 10, {-30, 10, 20}, 10, 13, {0, 40, 50}},
        // The minimum starts at 10000, so entries all above it are lowered by 10000 only.
        TableCase{"AllAboveStart", 0, std::vector<std::int32_t>(3072, 12000), 0, 3071,
                  [] {
                    std::vector<std::int16_t> entries(3071, 2000);
                    return entries;
                  }()},
        // The point at SpanLast is not included.
        TableCase{"SpanLastExcluded", 200, {400, 900, 700}, 200, 202, {0, 500}},
        TableCase{"EmptySpan", 300, {1000, 2000, 3000}, 302, 300, {}},
        TableCase{"EqualEnds", 300, {1000, 2000, 3000}, 301, 301, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AccumulateSpan, AddsTheLow16BitsOfEachHeight) {
  auto store = std::make_unique<TProfileStore>();
  store->WorkPoints[5].z[1] = 70000;
  store->WorkPoints[6].z[1] = -70000;
  store->SpanFirst = 5;
  store->SpanLast = 7;
  TCalibrTable table;
  table.At(2, 6) = 32767;
  AccumulateSpan(*store, table, 2);
  EXPECT_EQ(table.Entry(2, 5), 4464);
  // 32767 + low 16 bits of -70000 (-4464) wraps nowhere; the sum stays in 16 bits.
  EXPECT_EQ(table.Entry(2, 6), 32767 - 4464);
  table.At(2, 5) = 32767;
  store->WorkPoints[5].z[1] = 1;
  AccumulateSpan(*store, table, 2);
  EXPECT_EQ(table.Entry(2, 5), -32768);
}

// A whole run: Diapaz 16384 makes a raw sample worth 1000 micrometres.
struct CalibrationFixture : ::testing::Test {
  ScriptedScanLink link;
  ScannerState state{link};
  std::unique_ptr<TProfileStore> store = std::make_unique<TProfileStore>();
  TCalibrTable table;
  FakeWindow window;
  std::vector<std::pair<int, bool>> notified;
  CalibrationContext context{
      state, *store, table, DefaultScanReplyBytes,
      [this](int channel, bool scanned) { notified.emplace_back(channel, scanned); }};

  CalibrationFixture() {
    for (int channel = 1; channel <= 2; ++channel) {
      state.Info.DiapazOf(channel) = 16384;
      state.ParamsOf(channel).Diskr = 1000;
      state.ParamsOf(channel).XBeg = 5000;
      state.ParamsOf(channel).Angle = 100;
    }
    table.At(1, 3) = 99;  // whatever a run finds, the old table is gone
  }

  int NonZeroEntries(int channel) const {
    int count = 0;
    for (int i = 0; i < CalibrPoints; ++i) count += table.Entry(channel, i) != 0;
    return count;
  }
};

// A groove of raw samples whose floor has a bump of 1 mm in its middle.
std::vector<int> GrooveWithBump() {
  std::vector<int> raw(200, 9);
  for (int v : {7, 5, 3}) raw.push_back(v);
  raw.insert(raw.end(), 100, 2);
  raw.insert(raw.end(), 60, 3);
  raw.insert(raw.end(), 100, 2);
  for (int v : {5, 7}) raw.push_back(v);
  raw.insert(raw.end(), 200, 9);
  return raw;
}

TEST_F(CalibrationFixture, FailedFirstReadoutGivesAFlatZeroTableAndEnablesSaveTable) {
  cxButton2Click(context, window);
  EXPECT_EQ(NonZeroEntries(1), 0);
  EXPECT_EQ(NonZeroEntries(2), 0);
  EXPECT_FALSE(link.ReadoutRequested(2));
  EXPECT_EQ(notified, (std::vector<std::pair<int, bool>>{{1, false}}));
  EXPECT_EQ(window.series[Ser::Series7].size(), static_cast<std::size_t>(CalibrPoints));
  EXPECT_EQ(window.series[Ser::Series8].size(), static_cast<std::size_t>(CalibrPoints));
  EXPECT_TRUE(window.enabled[Ctl::cxButton3]);
  EXPECT_TRUE(window.boxes.empty());
}

TEST_F(CalibrationFixture, BothChannelsBuildTheirTablesFromTheFloor) {
  link.scanReplies[1] = ScanReply(GrooveWithBump());
  link.scanReplies[2] = ScanReply(GrooveWithBump());
  window.SetText(Ctl::dxEdit1, "keep");
  cxButton2Click(context, window);

  EXPECT_EQ(notified, (std::vector<std::pair<int, bool>>{{1, true}, {2, true}}));
  for (int channel = 1; channel <= 2; ++channel) {
    // The bump stands 1000 above the floor; the floor itself becomes 0.
    int highest = 0;
    for (int i = 0; i < CalibrPoints; ++i)
      highest = std::max<int>(highest, table.Entry(channel, i));
    EXPECT_EQ(highest, 1000) << channel;
    EXPECT_GT(NonZeroEntries(channel), 0) << channel;
    EXPECT_EQ(table.Entry(channel, 0), 0);
  }
  EXPECT_TRUE(window.enabled[Ctl::cxButton3]);
  // The profile charts and result edits are not the calibration's.
  EXPECT_TRUE(window.series[Ser::Series1].empty());
  EXPECT_TRUE(window.series[Ser::Series5].empty());
  EXPECT_EQ(window.Text(Ctl::dxEdit1), "keep");
}

TEST_F(CalibrationFixture, FailedSecondReadoutKeepsChannelOnesTable) {
  link.scanReplies[1] = ScanReply(GrooveWithBump());
  cxButton2Click(context, window);
  EXPECT_EQ(notified, (std::vector<std::pair<int, bool>>{{1, true}, {2, false}}));
  EXPECT_GT(NonZeroEntries(1), 0);
  EXPECT_EQ(NonZeroEntries(2), 0);
}

TEST_F(CalibrationFixture, LevelsTheProfileEvenWithAutoAngleCleared) {
  // A tilted plate, 10 mm high at its start and 13 mm at its end: the calibration turns it
  // and levels its end to 5000, whatever "Auto angle" says.
  std::vector<int> raw;
  for (int i = 0; i < 600; ++i) raw.push_back(10 + i / 200);
  link.scanReplies[1] = ScanReply(raw);
  window.checked[Ctl::CheckBox4] = false;
  cxButton2Click(context, window);
  const int last = store->CountOf(1) - 1;
  ASSERT_GT(last, 0);
  EXPECT_NEAR(store->Z(1, last), 5000, 200);
  EXPECT_NEAR(store->Z(1, 0), 5000, 500);
}

TEST_F(CalibrationFixture, FilterSettingThatIsNotAnIntegerStopsBeforeTheTableIsTouched) {
  window.SetText(Ctl::dxEdit7, "9a");
  EXPECT_THROW(cxButton2Click(context, window), ConversionError);
  EXPECT_EQ(table.Entry(1, 3), 99);
  EXPECT_TRUE(link.written.empty());
  EXPECT_FALSE(window.enabled[Ctl::cxButton3]);
}

}  // namespace
}  // namespace qd718::test
