// The three smoothing filters: one table of cases each, and what none of them may touch.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "measure/filters.h"
#include "measure/profile_store.h"

namespace qd718::test {
namespace {

constexpr int Big = 2000000000;  // sums of two such heights overflow 32 bits

struct FilterCase {
  const char* name;
  int parameter;  // window length or factor
  std::vector<std::int32_t> heights;
  std::vector<std::int32_t> expected;
};

std::string CaseName(const ::testing::TestParamInfo<FilterCase>& info) {
  return info.param.name;
}

// A store holding the heights as channel 1's working profile.
std::unique_ptr<TProfileStore> StoreWith(const std::vector<std::int32_t>& heights) {
  auto store = std::make_unique<TProfileStore>();
  store->PointCount[0] = static_cast<std::int32_t>(heights.size());
  for (std::size_t i = 0; i < heights.size(); ++i) store->WorkPoints[i].z[0] = heights[i];
  return store;
}

std::vector<std::int32_t> HeightsAfter(const TProfileStore& store, std::size_t n) {
  std::vector<std::int32_t> heights;
  for (std::size_t i = 0; i < n; ++i) heights.push_back(store.WorkPoints[i].z[0]);
  return heights;
}

class MedianFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(MedianFilterTest, ReplacesEachHeightByTheMedianOfItsWindow) {
  const FilterCase& c = GetParam();
  auto store = StoreWith(c.heights);
  MedianFilter(*store, 1, c.parameter, store->HeightsOf(1));
  EXPECT_EQ(HeightsAfter(*store, c.heights.size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MedianFilterTest,
    ::testing::Values(FilterCase{"Spike", 3, {10, 100, 10, 10}, {10, 10, 10, 10}},
                      // The last height is repeated beyond the end: 0, 90, 90.
                      FilterCase{"EndRepeated", 3, {0, 0, 90}, {0, 0, 90}},
                      // Even window: one more point before; the upper middle value.
                      FilterCase{"EvenWindow", 4, {1, 2, 3, 4}, {1, 2, 3, 4}},
                      FilterCase{"WindowOne", 1, {5, -3, 9}, {5, -3, 9}},
                      FilterCase{"NegativeHeights", 3, {-5, -100, -7}, {-5, -7, -7}},
                      FilterCase{"FullCapacityWindow", 1000, {3, 1, 2}, {3, 3, 2}},
                      FilterCase{"NoPoints", 51, {}, {}},
                      // Outside 1-1000 the profile is left as it is.
                      FilterCase{"WindowZero", 0, {1, 50, 2}, {1, 50, 2}},
                      FilterCase{"WindowNegative", -3, {1, 50, 2}, {1, 50, 2}},
                      FilterCase{"WindowAboveCapacity", 1001, {1, 50, 2}, {1, 50, 2}}),
    CaseName);

TEST(MedianFilter, EvenWindowTakesTheUpperMiddleOfTheSortedWindow) {
  // Point 0's window is 1, 1, 1, 2; point 3's is 2, 3, 4, 4.
  std::int32_t first[] = {1, 1, 2, 1};
  EXPECT_EQ(SortedMiddle(4, first), 1);
  EXPECT_EQ(std::vector<std::int32_t>(first, first + 4), (std::vector<std::int32_t>{1, 1, 1, 2}));
  std::int32_t last[] = {4, 3, 4, 2};
  EXPECT_EQ(SortedMiddle(4, last), 4);
}

class MovingAverageTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(MovingAverageTest, AveragesTheWindowInsideTheProfile) {
  const FilterCase& c = GetParam();
  auto store = StoreWith(c.heights);
  MovingAverage(*store, 1, c.parameter);
  EXPECT_EQ(HeightsAfter(*store, c.heights.size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MovingAverageTest,
    ::testing::Values(FilterCase{"ShrinkingEnds", 3, {0, 3, 9}, {1, 4, 6}},
                      // Truncation toward zero: -7 / 2 is -3.
                      FilterCase{"TruncatesTowardZero", 2, {-3, -4}, {-3, -3}},
                      FilterCase{"WindowOne", 1, {5, -3, 9}, {5, -3, 9}},
                      // The mean passes through single precision.
                      FilterCase{"AboveSinglePrecision", 1, {16777217}, {16777216}},
                      FilterCase{"NoOverflow", 2, {Big, Big}, {Big, Big}},
                      FilterCase{"WindowWiderThanProfile", 1000000000, {2, 4, 9}, {5, 5, 5}},
                      FilterCase{"NoPoints", 9, {}, {}},
                      FilterCase{"WindowZero", 0, {1, 50, 2}, {1, 50, 2}},
                      FilterCase{"WindowNegative", -9, {1, 50, 2}, {1, 50, 2}}),
    CaseName);

class RecursiveSmoothTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(RecursiveSmoothTest, WeighsEachHeightWithThePreviousOutput) {
  const FilterCase& c = GetParam();
  auto store = StoreWith(c.heights);
  RecursiveSmooth(*store, 1, c.parameter);
  EXPECT_EQ(HeightsAfter(*store, c.heights.size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecursiveSmoothTest,
    ::testing::Values(FilterCase{"FactorNine", 9, {900, 0, 0}, {900, 800, 711}},
                      FilterCase{"FactorOne", 1, {5, -3, 9}, {5, -3, 9}},
                      FilterCase{"TruncatesTowardZero", 2, {-7, 0}, {-7, -3}},
                      FilterCase{"NoOverflow", 9, {Big, Big}, {Big, Big}},
                      FilterCase{"NoPoints", 9, {}, {}},
                      // No division by zero: the profile is left as it is.
                      FilterCase{"FactorZero", 0, {1, 50, 2}, {1, 50, 2}},
                      FilterCase{"FactorNegative", -2, {1, 50, 2}, {1, 50, 2}}),
    CaseName);

TEST(Filters, TouchOnlyTheChannelsHeightsBelowItsCount) {
  auto store = std::make_unique<TProfileStore>();
  store->PointCount[0] = 5;
  store->PointCount[1] = 5;
  for (int i = 0; i < 8; ++i) {
    store->WorkPoints[i] = TDualPoint{{i, 100 + i}, {i % 2 ? 900 : 0, 7 * i}};
  }
  const auto before = store->WorkPoints;

  MedianFilter(*store, 1, 3, store->HeightsOf(1));
  MovingAverage(*store, 1, 3);
  RecursiveSmooth(*store, 1, 9);

  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(store->WorkPoints[i].x[0], before[i].x[0]) << i;
    EXPECT_EQ(store->WorkPoints[i].x[1], before[i].x[1]) << i;
    EXPECT_EQ(store->WorkPoints[i].z[1], before[i].z[1]) << i;
    if (i >= 5) {
      EXPECT_EQ(store->WorkPoints[i].z[0], before[i].z[0]) << i;
    }
  }
}

}  // namespace
}  // namespace qd718::test
