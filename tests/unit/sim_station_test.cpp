// The default groove, measured and calibrated by the station itself: it must land on the
// comparison outline, and a calibration run must take the head error out of its floor.

#include <gtest/gtest.h>

#include "sim/virtual_scanner.h"
#include "station/connection.h"
#include "station/handlers.h"
#include "support/fake_window.h"
#include "support/loopback_link.h"

namespace qd718 {
namespace {

constexpr int OutlineTop = 5000;
constexpr int OutlineFloor = 0;
constexpr int OutlineFall = 1500;  // x of the first floor point after the flank search
constexpr int HeightTolerance = 60;

class GrooveOnTheStation : public ::testing::TestWithParam<std::uint32_t> {
 protected:
  GrooveOnTheStation()
      : scanner(sim::ScannerOptions{"groove", GetParam(), {}}), link(scanner), station(link) {
    FormCreate(station, window);
    ConnectBtnClick(station, window);
  }

  int FloorSpread(int channel) const {
    const auto& e = station.store->Extremes;
    const int c = ChannelIndex(channel);
    return e.ZMax[c] - e.ZMin[c];
  }

  sim::VirtualScanner scanner;
  test::LoopbackLink link;
  test::FakeWindow window;
  Station station;
};

TEST_P(GrooveOnTheStation, SitsOnTheComparisonOutline) {
  ASSERT_TRUE(window.boxes.empty());
  Button1Click(station, window);
  for (int channel : {1, 2}) {
    SCOPED_TRACE(channel);
    TProfileStore& store = *station.store;
    const int n = store.CountOf(channel);
    ASSERT_GT(n, 2800);
    EXPECT_NEAR(store.X(channel, 0), 0, 100) << "1.5 mm of top before the fall";
    EXPECT_NEAR(store.Z(channel, 0), OutlineTop, HeightTolerance);
    EXPECT_NEAR(store.Z(channel, n - 1), OutlineTop, HeightTolerance);
    int fall = 0;
    while (fall < n && store.X(channel, fall) < OutlineFall) ++fall;
    ASSERT_LT(fall, n);
    EXPECT_EQ(store.X(channel, fall), OutlineFall);
    EXPECT_NEAR(store.Z(channel, fall - 1), OutlineTop, HeightTolerance);
    EXPECT_LT(store.Z(channel, fall), OutlineFloor + 2 * HeightTolerance);
    EXPECT_NEAR(store.Extremes.ZMin[ChannelIndex(channel)], OutlineFloor, HeightTolerance);
    EXPECT_GT(FloorSpread(channel), 200) << "the head error shows before a calibration";
  }
}

TEST_P(GrooveOnTheStation, CalibrationTakesTheHeadErrorOutOfTheFloor) {
  Button1Click(station, window);
  const int before[2] = {FloorSpread(1), FloorSpread(2)};
  cxButton2Click(station, window);  // "Calibration"
  cxButton3Click(station, window);  // "Save Table"
  ASSERT_TRUE(window.boxes.empty());
  EXPECT_NE(scanner.TableEntry(1, 1000), 0) << "the table reached the scanner";

  Button1Click(station, window);
  for (int channel : {1, 2}) {
    SCOPED_TRACE(channel);
    EXPECT_LE(FloorSpread(channel) * 3, before[ChannelIndex(channel)]);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GrooveOnTheStation, ::testing::Values(1u, 2u, 77u));

}  // namespace
}  // namespace qd718
