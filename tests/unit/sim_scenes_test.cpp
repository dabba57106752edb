// What the heads see: each scene's object between empty samples, and a head error that stays
// put from scan to scan while the noise does not.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "sim/scan_generator.h"
#include "sim_wire.h"

namespace qd718::sim::test {
namespace {

constexpr double MicronsPerRaw = 10000.0 / 16384;  // Diapaz 10

const std::vector<std::uint16_t>& Scan(VirtualScanner& scanner, int channel) {
  Exchange(scanner, Frame(channel, 0x8C, {0x81, 0x80}));
  return scanner.LastScan(channel);
}

int FirstNonEmpty(const std::vector<std::uint16_t>& samples) {
  return static_cast<int>(
      std::find_if(samples.begin(), samples.end(), [](auto s) { return s != 0; }) -
      samples.begin());
}

int LastNonEmpty(const std::vector<std::uint16_t>& samples) {
  return static_cast<int>(
             std::find_if(samples.rbegin(), samples.rend(), [](auto s) { return s != 0; }).base() -
             samples.begin()) -
         1;
}

class EveryScene : public ::testing::TestWithParam<std::string> {};

TEST_P(EveryScene, ObjectLiesBetweenEmptySamplesAndIsNeverEmptyInside) {
  VirtualScanner scanner(ScannerOptions{GetParam(), 1, {}});
  const auto& samples = Scan(scanner, 1);
  const int first = FirstNonEmpty(samples);
  const int last = LastNonEmpty(samples);
  EXPECT_GT(first, 0);
  EXPECT_LT(last, 3071);
  for (int s = first; s <= last; ++s) ASSERT_NE(samples[s], 0) << "sample " << s;
}

INSTANTIATE_TEST_SUITE_P(Scenes, EveryScene, ::testing::Values("groove", "ridge", "step", "plate"));

TEST(Scenes, UnknownNameIsRefused) {
  EXPECT_THROW(VirtualScanner(ScannerOptions{"ditch", 1, {}}), std::invalid_argument);
}

// The default groove at 50 um a sample: 2 mm of nothing, 1.5 mm of top, a 5 mm fall, 135 mm of
// floor, the rise, 10 mm of top, nothing.
TEST(GrooveScene, ShapeAtTheDefaultStep) {
  VirtualScanner scanner;
  const auto& s = Scan(scanner, 1);
  const int first = FirstNonEmpty(s);
  EXPECT_EQ(first, 40);
  EXPECT_EQ(LastNonEmpty(s), 40 + 2930 - 1);
  const auto at = [&](int i) { return s[first + i] * MicronsPerRaw; };
  EXPECT_NEAR(at(29) - at(30), 5000, 100) << "the fall, one sample wide";
  EXPECT_NEAR(at(2730) - at(2729), 5000, 100) << "the rise";
  EXPECT_NEAR(at(35), 1000, 50) << "floor before the head error starts";
}

TEST(GrooveScene, DiskrSetsTheSampleSpacing) {
  VirtualScanner scanner;
  scanner.SetRegister(1, 60, 0xE8);  // Diskr 1000: 100 um a sample
  scanner.SetRegister(1, 61, 0x03);
  EXPECT_EQ(FirstNonEmpty(Scan(scanner, 1)), 20);
  EXPECT_EQ(FirstNonEmpty(Scan(scanner, 2)), 40) << "channel 2 keeps its own step";
}

// The head error repeats exactly; only the noise (and the odd spike) differs between scans.
TEST(GrooveScene, HeadErrorRepeatsWhileNoiseChanges) {
  VirtualScanner scanner;
  const auto a = Scan(scanner, 1);
  const auto b = Scan(scanner, 1);
  const int first = FirstNonEmpty(a);
  ASSERT_EQ(FirstNonEmpty(b), first);
  int differing = 0;
  int beyondNoise = 0;
  double floorLow = 1e9;
  double floorHigh = -1e9;
  for (int i = 40; i < 2690; ++i) {
    const double za = a[first + i] * MicronsPerRaw;
    const double diff = std::abs(za - b[first + i] * MicronsPerRaw);
    if (diff > 0) ++differing;
    if (diff > 30) ++beyondNoise;
    floorLow = std::min(floorLow, za);
    floorHigh = std::max(floorHigh, za);
  }
  EXPECT_GT(differing, 1000) << "each scan has its own noise";
  EXPECT_LE(beyondNoise, 8) << "only spikes stand out";
  EXPECT_GT(floorHigh - floorLow, HeadErrorAmplitude) << "head error plus tilt along the floor";
}

TEST(GrooveScene, SeedPicksNoiseAndSerialNumber) {
  VirtualScanner one(ScannerOptions{"groove", 5, {}});
  VirtualScanner same(ScannerOptions{"groove", 5, {}});
  VirtualScanner other(ScannerOptions{"groove", 6, {}});
  EXPECT_EQ(Scan(one, 1), Scan(same, 1));
  EXPECT_NE(Scan(one, 1), Scan(other, 1));
  EXPECT_NE(Scan(one, 1), Scan(one, 2)) << "each channel has its own noise";
  EXPECT_NE(one.Serial(), other.Serial());
}

TEST(GrooveScene, SpikesStandOutOfTheFloor) {
  VirtualScanner scanner;
  const auto& s = Scan(scanner, 1);
  int spikes = 0;
  for (std::size_t i = 1; i + 1 < s.size(); ++i) {
    const double up = (s[i] - std::max(s[i - 1], s[i + 1])) * MicronsPerRaw;
    if (s[i - 1] != 0 && s[i + 1] != 0 && up > 1000) ++spikes;
  }
  EXPECT_GE(spikes, 1);
  EXPECT_LE(spikes, 4);
}

}  // namespace
}  // namespace qd718::sim::test
