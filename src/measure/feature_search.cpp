#include "measure/feature_search.h"

#include <cmath>

#include "measure/int_arith.h"

namespace qd718 {

namespace {

// Angle and BegAngle count 0.0001 rad; Angle 100 means a head mounted without tilt.
constexpr std::int64_t AngleZero = 100;
constexpr double AngleUnit = 0.0001;

// The eight-point difference of point i: the four heights before it minus the four from it
// on. Defined only well inside the profile.
std::int32_t FlankDifference(TProfileStore& store, int channel, int i, int n) {
  if (!(DifferenceBlock < i && i < n - DifferenceBlock)) return 0;
  std::int64_t before = 0;
  std::int64_t after = 0;
  for (int k = 1; k <= DifferenceBlock; ++k) before += store.Z(channel, i - k);
  for (int k = 0; k < DifferenceBlock; ++k) after += store.Z(channel, i + k);
  return ClampToInt32(before - after);
}

std::int64_t SumOfHeights(TProfileStore& store, int channel, int from, int count) {
  std::int64_t sum = 0;
  for (int i = from; i < from + count; ++i) sum += store.Z(channel, i);
  return sum;
}

}  // namespace

void RotateProfile(TProfileStore& store, const TScanParams& params, int channel) {
  const int n = store.CountOf(channel);
  if (n == 0) return;

  const std::int64_t units = std::int64_t{params.Angle} - AngleZero - params.BegAngle;
  // The angle is held in single precision; sine and cosine are taken in double.
  const auto angle = static_cast<float>(static_cast<double>(units) * AngleUnit);
  const double c = std::cos(static_cast<double>(angle));
  const double s = std::sin(static_cast<double>(angle));
  for (int i = 0; i < n; ++i) {
    const double x = store.X(channel, i);
    const double z = store.Z(channel, i);
    store.ScanScratch[i].x = TruncToInt32(c * x - s * z);
    store.ScanScratch[i].z = TruncToInt32(s * x + c * z);
  }
  for (int i = 0; i < n; ++i) {
    store.X(channel, i) = store.ScanScratch[i].x;
    store.Z(channel, i) = store.ScanScratch[i].z;
  }

  // Level the profile on its last stretch, so that heights read from a common baseline.
  const std::int64_t stretchStart = std::int64_t{store.X(channel, n - 1)} - BaselineStretch;
  std::int64_t sum = 0;
  int count = 0;
  for (int i = n - 1; i >= 0 && store.X(channel, i) >= stretchStart; --i) {
    sum += store.Z(channel, i);
    ++count;
  }
  const std::int64_t lift = BaselineLevel - sum / count;
  for (int i = 0; i < n; ++i) store.Z(channel, i) = ClampToInt32(store.Z(channel, i) + lift);
}

void AutoAngle(TProfileStore& store, TScanParams& params, int channel) {
  const int n = store.CountOf(channel);
  if (n < AutoAngleMinPoints) return;

  std::array<std::int32_t, ProfileCapacity> kept{};
  for (int i = 0; i < n; ++i) kept[i] = store.Z(channel, i);

  RotateProfile(store, params, channel);
  for (int pass = 0; pass < AutoAnglePasses; ++pass) {
    const std::int64_t head = SumOfHeights(store, channel, 0, AutoAngleHead) / AutoAngleHead;
    const std::int64_t tail =
        SumOfHeights(store, channel, n - AutoAngleTail, AutoAngleTail) / AutoAngleTail;
    params.BegAngle = ClampToInt32(params.BegAngle + (tail - head) / AutoAngleDivisor);
    // Only the heights go back: x keeps every rotation so far, and the next rotation turns
    // the rotated x with the original heights.
    for (int i = 0; i < n; ++i) store.Z(channel, i) = kept[i];
    RotateProfile(store, params, channel);
  }
}

void FindFlanks(TProfileStore& store, int channel, bool grooveShift) {
  const int n = store.CountOf(channel);
  store.Derivative.fill({});
  for (int i = 0; i < n; ++i) {
    store.Derivative[i].x = store.X(channel, i);
    store.Derivative[i].z = FlankDifference(store, channel, i, n);
  }
  const auto D = [&store](int i) { return store.Derivative[i].z; };

  // The steepest rise and the steepest fall; the first of equal extremes wins. A search that
  // finds no rise (or no fall) leaves that end of the span where the last search put it.
  std::int32_t highest = 0;
  std::int32_t lowest = 0;
  for (int i = 0; i < n; ++i) {
    if (D(i) > highest) {
      highest = D(i);
      store.SpanLast = i;
    }
    if (D(i) < lowest) {
      lowest = D(i);
      store.SpanFirst = i;
    }
  }

  const int rise = store.SpanFirst;
  const int fall = store.SpanLast;
  if (fall <= rise) {
    // A groove: the fall comes first. Narrow the span to the floor between the flanks.
    for (int j = fall; j <= rise; ++j) {
      if (D(j) <= 0) {
        store.SpanFirst = j;
        break;
      }
    }
    for (int j = rise; j >= fall; --j) {
      if (D(j) >= 0) {
        store.SpanLast = j;
        break;
      }
    }
  }

  if (grooveShift && rise > fall) {
    // Put the groove's steepest fall where the reference outline has its first step.
    const std::int64_t shift = std::int64_t{store.X(channel, fall)} - GrooveFallX;
    for (int i = 0; i < n; ++i) store.X(channel, i) = ClampToInt32(store.X(channel, i) - shift);
  }
}

void FindExtremes(TProfileStore& store, int channel) {
  std::int32_t highest = ExtremeStartHigh;
  std::int32_t lowest = ExtremeStartLow;
  std::int32_t xHighest = 0;
  std::int32_t xLowest = 0;
  for (int i = store.SpanFirst; i <= store.SpanLast; ++i) {
    const std::int32_t z = store.Z(channel, i);
    if (z > highest) {
      highest = z;
      xHighest = store.X(channel, i);
    }
    if (z < lowest) {
      lowest = z;
      xLowest = store.X(channel, i);
    }
  }
  const int c = ChannelIndex(channel);
  store.Extremes.XMin[c] = xLowest;
  store.Extremes.ZMin[c] = lowest;
  store.Extremes.XMax[c] = xHighest;
  store.Extremes.ZMax[c] = highest;
}

}  // namespace qd718
