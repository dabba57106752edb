// The scan readout: the exchange, the conversion into micrometres, and what a failed or
// empty readout leaves in the profile store.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "measure/profile_store.h"
#include "measure/scan_acquisition.h"
#include "measure_scripted_link.h"
#include "params/scanner_state.h"

namespace qd718::test {
namespace {

constexpr int Samples = DefaultScanReplyBytes / SampleBytes;

struct ScanFixture : ::testing::Test {
  ScriptedScanLink link;
  ScannerState state{link};
  std::unique_ptr<TProfileStore> store = std::make_unique<TProfileStore>();

  void SetChannel(int channel, int diapaz, float diskr, std::int16_t xBeg) {
    state.Info.DiapazOf(channel) = diapaz;
    state.ParamsOf(channel).Diskr = diskr;
    state.ParamsOf(channel).XBeg = xBeg;
  }
  bool Scan(int channel, const std::vector<int>& raw, int bytes = DefaultScanReplyBytes) {
    link.scanReplies[channel] = ScanReply(raw, bytes);
    return ReadScan(state, *store, channel);
  }
  TPointXZ Raw(int channel, int i) const {
    const TDualPoint& p = store->RawPoints[i];
    return {p.x[ChannelIndex(channel)], p.z[ChannelIndex(channel)]};
  }
};

// Samples: `leading` empty ones, then the given raw values, then empty ones to the end.
std::vector<int> Profile(int leading, const std::vector<int>& values) {
  std::vector<int> raw(static_cast<std::size_t>(leading), 0);
  raw.insert(raw.end(), values.begin(), values.end());
  return raw;
}

TEST_F(ScanFixture, WorkedExampleKeepsFourPoints) {
  SetChannel(1, 50, 500, 5000);
  state.Params[0].BegAngle = 12;
  state.Params[1].BegAngle = -7;
  ASSERT_TRUE(Scan(1, Profile(100, {8192, 4096, 0, 0, 4096, 0})));

  // The request is the address byte and the readout command, after a purge.
  EXPECT_EQ(link.written, (std::vector<std::uint8_t>{1, 0x8D}));
  EXPECT_EQ(link.purges, 1);
  EXPECT_EQ(state.Params[0].BegAngle, 0);
  EXPECT_EQ(state.Params[1].BegAngle, 0);

  ASSERT_EQ(store->CountOf(1), 4);
  const std::vector<std::pair<int, int>> expected = {
      {5000, 25000}, {5050, 12500}, {5100, 0}, {5150, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Raw(1, i).x, expected[i].first) << i;
    EXPECT_EQ(Raw(1, i).z, expected[i].second) << i;
  }
  // The sample that reached the length limit stays in the scratch.
  EXPECT_EQ(store->ScanScratch[2860].x, 148000);
  // WorkPoints are cleared for the processing that follows.
  EXPECT_EQ(store->WorkPoints[0].z[0], 0);
}

struct CountCase {
  const char* name;
  std::vector<int> raw;
  float diskr;
  int expectedCount;
};

class ScanCountTest : public ScanFixture, public ::testing::WithParamInterface<CountCase> {};

TEST_P(ScanCountTest, KeepsThePointsBeforeTheTrailingZeros) {
  SetChannel(1, 50, GetParam().diskr, 5000);
  ASSERT_TRUE(Scan(1, GetParam().raw));
  EXPECT_EQ(store->CountOf(1), GetParam().expectedCount);
}

std::vector<int> Filled(int samples, int value) {
  return std::vector<int>(static_cast<std::size_t>(samples), value);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ScanCountTest,
    ::testing::Values(CountCase{"AllEmpty", {}, 500, 0},
                      CountCase{"OnlyTheLastSample", Profile(Samples - 1, {100}), 500, 0},
                      // Without the limit every sample converts, and the last one is never kept.
                      CountCase{"NoEmptySampleDiskrZero", Filled(Samples, 100), 0, Samples - 1},
                      CountCase{"NoEmptySampleShortStep", Filled(Samples, 100), 10, Samples - 1},
                      // Diskr 500: the sample at x + 143000 is sample 2860, so m = 2859.
                      CountCase{"LimitStopsAt2860", Filled(Samples, 100), 500, 2859},
                      // A zero inside the profile is kept; the last non-zero height before the
                      // trailing zeros is not.
                      CountCase{"ZeroInsideKept", Profile(0, {5, 0, 5, 7, 0, 0}), 500, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanFixture, AllEmptyReplyClearsWorkingPointsButNotRawPoints) {
  SetChannel(1, 50, 500, 5000);
  ASSERT_TRUE(Scan(1, Profile(0, {100, 200, 300, 0})));
  ASSERT_EQ(store->CountOf(1), 2);
  store->WorkPoints[5].z[0] = 77;

  ASSERT_TRUE(Scan(1, {}));
  EXPECT_EQ(store->CountOf(1), 0);
  EXPECT_EQ(store->WorkPoints[5].z[0], 0);
  EXPECT_EQ(Raw(1, 1).z, 200 * 50 * 1000 / 16384);
}

TEST_F(ScanFixture, DiskrZeroPutsEveryPointAtTheOrigin) {
  SetChannel(1, 50, 0, 5200);
  ASSERT_TRUE(Scan(1, Profile(10, {100, 100, 100, 0})));
  ASSERT_EQ(store->CountOf(1), 2);
  EXPECT_EQ(Raw(1, 0).x, 200);
  EXPECT_EQ(Raw(1, 1).x, 200);
}

TEST_F(ScanFixture, XIsTheSampleIndexTimesDiskrInDoublePrecision) {
  // In single precision 100 * 333.3f * 0.1 would come out 3333.
  SetChannel(1, 50, 333.3f, 5000);
  ASSERT_TRUE(Scan(1, Profile(100, {100, 100, 100, 0})));
  EXPECT_EQ(Raw(1, 0).x, 3332);
}

TEST_F(ScanFixture, FullScaleHeightDoesNotOverflow) {
  SetChannel(1, 65535, 500, 5000);
  ASSERT_TRUE(Scan(1, Profile(0, {65535, 65535, 65535})));
  EXPECT_EQ(Raw(1, 0).z, 262136000);
}

TEST_F(ScanFixture, ShortReplyChangesNothingButBegAngle) {
  SetChannel(1, 50, 500, 5000);
  ASSERT_TRUE(Scan(1, Profile(0, {100, 200, 300, 0})));
  store->WorkPoints[0].z[0] = 4242;
  state.Params[0].BegAngle = 5;
  state.Params[1].BegAngle = 6;

  EXPECT_FALSE(Scan(1, Profile(0, {900, 900, 900, 0}), DefaultScanReplyBytes - 1));
  EXPECT_EQ(store->CountOf(1), 2);
  EXPECT_EQ(Raw(1, 0).z, 100 * 50 * 1000 / 16384);
  EXPECT_EQ(store->WorkPoints[0].z[0], 4242);
  EXPECT_EQ(state.Params[0].BegAngle, 0);
  EXPECT_EQ(state.Params[1].BegAngle, 0);

  link.scanReplies.erase(1);
  EXPECT_FALSE(ReadScan(state, *store, 1));
  EXPECT_EQ(store->CountOf(1), 2);
}

TEST_F(ScanFixture, ShorterScanLeavesOldRawPointsBeyondItsCount) {
  SetChannel(1, 50, 10, 5000);
  ASSERT_TRUE(Scan(1, Filled(2001, 100)));
  ASSERT_EQ(store->CountOf(1), 2000);
  ASSERT_TRUE(Scan(1, Filled(1501, 200)));
  ASSERT_EQ(store->CountOf(1), 1500);
  EXPECT_EQ(Raw(1, 1700).z, 100 * 50 * 1000 / 16384);
  EXPECT_EQ(store->WorkPoints[1700].z[0], 0);
  // HeightsOf returns all 3072 working heights.
  store->RestoreWorking(1);
  const auto heights = store->HeightsOf(1);
  EXPECT_EQ(heights[1499], 200 * 50 * 1000 / 16384);
  EXPECT_EQ(heights[1500], 0);
}

TEST_F(ScanFixture, ScanOfChannelTwoLeavesChannelOneAlone) {
  SetChannel(1, 50, 500, 5000);
  SetChannel(2, 60, 400, 5000);
  ASSERT_TRUE(Scan(1, Profile(0, {100, 200, 300, 0})));
  store->RestoreWorking(1);

  ASSERT_TRUE(Scan(2, Profile(3, {400, 500, 600, 700, 0})));
  EXPECT_EQ(store->CountOf(1), 2);
  EXPECT_EQ(store->CountOf(2), 3);
  EXPECT_EQ(Raw(1, 1).z, 200 * 50 * 1000 / 16384);
  EXPECT_EQ(store->WorkPoints[1].z[0], 200 * 50 * 1000 / 16384);
  // The shared scratch now holds channel 2's conversion.
  EXPECT_EQ(store->ScanScratch[0].z, 400 * 60 * 1000 / 16384);
  EXPECT_EQ(Raw(2, 0).x, 120);
}

}  // namespace
}  // namespace qd718::test
