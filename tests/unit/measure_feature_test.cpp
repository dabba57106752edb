// Tilt correction, the flank search and the extremes on small hand-made profiles.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "measure/feature_search.h"
#include "measure/profile_store.h"
#include "params/scan_params.h"

namespace qd718::test {
namespace {

constexpr std::int16_t NoTilt = 100;

struct ProfileFixture : ::testing::Test {
  std::unique_ptr<TProfileStore> store = std::make_unique<TProfileStore>();
  TScanParams params;

  ProfileFixture() { params.Angle = NoTilt; }

  void Load(int channel, const std::vector<int>& xs, const std::vector<int>& zs) {
    store->PointCount[ChannelIndex(channel)] = static_cast<int>(zs.size());
    for (std::size_t i = 0; i < zs.size(); ++i) {
      store->X(channel, static_cast<int>(i)) = xs[i];
      store->Z(channel, static_cast<int>(i)) = zs[i];
    }
  }
  // Heights at x = 100 * i + 7.
  void LoadHeights(const std::vector<int>& zs) {
    std::vector<int> xs;
    for (std::size_t i = 0; i < zs.size(); ++i) xs.push_back(100 * static_cast<int>(i) + 7);
    Load(1, xs, zs);
  }
  std::vector<int> Heights(int channel = 1) const {
    std::vector<int> zs;
    for (int i = 0; i < store->CountOf(channel); ++i) zs.push_back(store->Z(channel, i));
    return zs;
  }
  std::vector<int> Xs(int channel = 1) const {
    std::vector<int> xs;
    for (int i = 0; i < store->CountOf(channel); ++i) xs.push_back(store->X(channel, i));
    return xs;
  }
};

std::vector<int> Repeat(int count, int value) {
  return std::vector<int>(static_cast<std::size_t>(count), value);
}
std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

using RotateProfileTest = ProfileFixture;

TEST_F(RotateProfileTest, WithoutTiltOnlyLevelsTheProfileTo5000) {
  LoadHeights(Repeat(10, 3000));
  const auto xs = Xs();
  RotateProfile(*store, params, 1);
  EXPECT_EQ(Heights(), Repeat(10, 5000));
  EXPECT_EQ(Xs(), xs);
}

TEST_F(RotateProfileTest, BaselineIsTheMeanOverTheLast2000Micrometres) {
  // Points at x 8000, 9000 and 10000 lie within 2000 of the last x.
  Load(1, {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000},
       {0, 0, 0, 0, 0, 0, 0, 0, 1000, 1000, 1000});
  RotateProfile(*store, params, 1);
  EXPECT_EQ(Heights(), Join({Repeat(8, 4000), Repeat(3, 5000)}));
}

TEST_F(RotateProfileTest, ShortProfileUsesAllItsPointsForTheBaseline) {
  Load(1, {0, 500, 1000, 1500}, {0, 0, 1000, 1000});
  RotateProfile(*store, params, 1);
  EXPECT_EQ(Heights(), (std::vector<int>{4500, 4500, 5500, 5500}));
}

TEST_F(RotateProfileTest, TurnsByAngleLessBegAngle) {
  // A quarter turn, given once by Angle and once by BegAngle, lifts a point on the x axis
  // to a height; the baseline then levels both points to a mean of 5000.
  for (const auto& [angle, begAngle] : {std::pair{NoTilt + 15708, 0}, std::pair{100, -15708}}) {
    Load(1, {0, 1000}, {0, 0});
    params.Angle = static_cast<std::int16_t>(angle);
    params.BegAngle = begAngle;
    RotateProfile(*store, params, 1);
    EXPECT_EQ(Xs(), (std::vector<int>{0, 0}));
    EXPECT_EQ(Heights(), (std::vector<int>{4501, 5500}));
  }
}

TEST_F(RotateProfileTest, EmptyProfileStaysEmpty) {
  store->Z(1, 0) = 123;
  RotateProfile(*store, params, 1);
  EXPECT_EQ(store->Z(1, 0), 123);
}

using AutoAngleTest = ProfileFixture;

TEST_F(AutoAngleTest, TailAboveHeadRaisesBegAngleAndLevelsTheProfile) {
  // Ten points at height 0 near x 0 and fifty at 700 near x 100000: a tilt of 0.007 rad.
  std::vector<int> xs;
  for (int i = 0; i < 10; ++i) xs.push_back(i);
  for (int j = 0; j < 50; ++j) xs.push_back(100000 + j);
  Load(1, xs, Join({Repeat(10, 0), Repeat(50, 700)}));

  AutoAngle(*store, params, 1);

  // The first pass adds (700 - 0) / 10; after that the rotated profile is level.
  EXPECT_EQ(params.BegAngle, 70);
  EXPECT_EQ(Heights(), Repeat(60, 5000));
  // The heights are rotated once from the originals; x carries all four rotations.
  EXPECT_EQ(store->X(1, 9), 6);
  EXPECT_EQ(store->X(1, 10), 100006);
}

TEST_F(AutoAngleTest, FewerThanFiftyPointsAreLeftAlone) {
  std::vector<int> xs;
  for (int i = 0; i < 49; ++i) xs.push_back(1000 * i);
  Load(1, xs, Join({Repeat(10, 0), Repeat(39, 700)}));
  AutoAngle(*store, params, 1);
  EXPECT_EQ(params.BegAngle, 0);
  EXPECT_EQ(Heights(), Join({Repeat(10, 0), Repeat(39, 700)}));
  EXPECT_EQ(Xs(), xs);
}

// A groove: top 9000, a fall over three points to a floor of 1000, a rise back.
const std::vector<int> Groove = Join(
    {Repeat(12, 9000), {7000, 5000, 3000}, Repeat(20, 1000), {3000, 5000, 7000}, Repeat(12, 9000)});
const std::vector<int> Ridge = Join(
    {Repeat(12, 1000), {3000, 5000, 7000}, Repeat(6, 9000), {7000, 5000, 3000}, Repeat(12, 1000)});
// A V whose difference changes sign once between the flanks and is never 0 there.
const std::vector<int> Vee = Join({Repeat(12, 9000),
                                   {8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000, 1500, 2500,
                                    3500, 4500, 5500, 6500, 7500, 8500},
                                   Repeat(12, 9000)});
const std::vector<int> StepUp = Join({Repeat(20, 1000), Repeat(20, 9000)});

struct FlankCase {
  const char* name;
  std::vector<int> heights;
  int previousFirst;
  int previousLast;
  int spanFirst;
  int spanLast;
};

class FindFlanksTest : public ProfileFixture, public ::testing::WithParamInterface<FlankCase> {};

TEST_P(FindFlanksTest, FindsTheSpanBetweenTheFlanks) {
  const FlankCase& c = GetParam();
  LoadHeights(c.heights);
  store->SpanFirst = c.previousFirst;
  store->SpanLast = c.previousLast;
  FindFlanks(*store, 1, false);
  EXPECT_EQ(store->SpanFirst, c.spanFirst);
  EXPECT_EQ(store->SpanLast, c.spanLast);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, FindFlanksTest,
    ::testing::Values(
        // Below 10 points there is no difference at all: the span stays.
        FlankCase{"FewerThanTenPoints", Repeat(9, 1000), 5, 7, 5, 7},
        FlankCase{"FlatProfile", Repeat(40, 1000), 3, 30, 3, 30},
        // No fall: the rise moves SpanFirst, SpanLast keeps its old value.
        FlankCase{"StepUp", StepUp, 0, 35, 20, 35},
        // Narrowed to the floor: first D <= 0 after the fall, last D >= 0 before the rise.
        FlankCase{"Groove", Groove, 0, 0, 19, 31}, FlankCase{"Ridge", Ridge, 0, 0, 13, 22},
        FlankCase{"VeeLeavesAnEmptySpan", Vee, 0, 0, 20, 19}),
    [](const auto& info) { return std::string(info.param.name); });

using FeatureFixture = ProfileFixture;

TEST_F(FeatureFixture, GrooveFloorIsBothExtremesAndItsFallMovesTo1500) {
  LoadHeights(Groove);
  FindFlanks(*store, 1, true);
  // The steepest fall, index 13 at x 1307, now sits at 1500; the difference keeps the old x.
  EXPECT_EQ(store->X(1, 13), 1500);
  EXPECT_EQ(store->X(1, 0), 7 + 193);
  EXPECT_EQ(store->Derivative[13].x, 1307);

  FindExtremes(*store, 1);
  EXPECT_EQ(store->Extremes.ZMin[0], 1000);
  EXPECT_EQ(store->Extremes.ZMax[0], 1000);
  // The first of equal heights wins.
  EXPECT_EQ(store->Extremes.XMin[0], 1900 + 7 + 193);
  EXPECT_EQ(store->Extremes.XMax[0], 1900 + 7 + 193);
}

TEST_F(FeatureFixture, GrooveStaysInPlaceWithoutTheShift) {
  LoadHeights(Groove);
  const auto xs = Xs();
  FindFlanks(*store, 1, false);
  EXPECT_EQ(Xs(), xs);
}

TEST_F(FeatureFixture, RidgeIsNotShiftedAndItsTopIsTheHighest) {
  LoadHeights(Ridge);
  const auto xs = Xs();
  FindFlanks(*store, 1, true);
  EXPECT_EQ(Xs(), xs);
  FindExtremes(*store, 1);
  EXPECT_EQ(store->Extremes.ZMax[0], 9000);
  EXPECT_EQ(store->Extremes.XMax[0], 1507);
  EXPECT_EQ(store->Extremes.ZMin[0], 5000);
  EXPECT_EQ(store->Extremes.XMin[0], 1307);
}

TEST_F(FeatureFixture, EmptySpanGivesTheStartValuesAtXZero) {
  LoadHeights(Vee);
  FindFlanks(*store, 1, false);
  FindExtremes(*store, 1);
  EXPECT_EQ(store->Extremes.ZMin[0], 100000);
  EXPECT_EQ(store->Extremes.ZMax[0], -100000);
  EXPECT_EQ(store->Extremes.XMin[0], 0);
  EXPECT_EQ(store->Extremes.XMax[0], 0);
}

TEST_F(FeatureFixture, ChannelTwoSearchStartsFromChannelOnesSpan) {
  LoadHeights(Ridge);
  FindFlanks(*store, 1, false);
  // Channel 2 has a step up only: SpanLast stays where channel 1's search left it.
  std::vector<int> xs;
  for (int i = 0; i < 40; ++i) xs.push_back(100 * i);
  Load(2, xs, StepUp);
  FindFlanks(*store, 2, false);
  EXPECT_EQ(store->SpanFirst, 20);
  EXPECT_EQ(store->SpanLast, 22);
  FindExtremes(*store, 2);
  EXPECT_EQ(store->Extremes.ZMax[1], 9000);
  EXPECT_EQ(store->Extremes.ZMin[0], 0);  // channel 1's extremes are not touched
}

}  // namespace
}  // namespace qd718::test
