#include "measure/filters.h"

#include <algorithm>

#include "measure/int_arith.h"

namespace qd718 {

namespace {

// Outputs are collected in FilterScratch and copied back only when all are computed, so
// every output sees unfiltered heights.
void CopyBackHeights(TProfileStore& store, int channel, int n) {
  for (int i = 0; i < n; ++i) store.Z(channel, i) = store.FilterScratch[i].z;
}

// The first index of point i's window: h = w / 2 points before it, so an even window has one
// more point before i than after it.
std::int64_t WindowStart(int i, int w) {
  return std::int64_t{i} - w / 2;
}

}  // namespace

std::int32_t SortedMiddle(int w, std::int32_t* values) {
  for (int i = 1; i < w; ++i) {
    const std::int32_t value = values[i];
    int j = i;
    for (; j > 0 && values[j - 1] > value; --j) values[j] = values[j - 1];
    values[j] = value;
  }
  return values[w / 2];
}

void MedianFilter(TProfileStore& store, int channel, int w,
                  const std::array<std::int32_t, ProfileCapacity>& snapshot) {
  if (w < MinFilterWindow || w > MedianWindowCapacity) return;
  const int n = store.CountOf(channel);
  for (int i = 0; i < n; ++i) {
    const std::int64_t start = WindowStart(i, w);
    for (int t = 0; t < w; ++t) {
      // The ends are extended by repeating the first and the last height.
      const auto index = static_cast<int>(std::clamp<std::int64_t>(start + t, 0, n - 1));
      store.MedianWindow[t] = snapshot[index];
    }
    store.FilterScratch[i].z = SortedMiddle(w, store.MedianWindow.data());
  }
  CopyBackHeights(store, channel, n);
}

void MovingAverage(TProfileStore& store, int channel, int w) {
  if (w < MinFilterWindow) return;
  const int n = store.CountOf(channel);
  for (int i = 0; i < n; ++i) {
    // The window shrinks at both ends: only indices inside the profile are added.
    const std::int64_t start = WindowStart(i, w);
    const auto from = static_cast<int>(std::max<std::int64_t>(start, 0));
    const auto to = static_cast<int>(std::min<std::int64_t>(start + w - 1, n - 1));
    std::int64_t sum = 0;
    for (int k = from; k <= to; ++k) sum += store.Z(channel, k);
    const std::int64_t mean = sum / (to - from + 1);
    // The mean passes through single precision on its way back.
    store.FilterScratch[i].z = TruncToInt32(static_cast<float>(mean));
  }
  CopyBackHeights(store, channel, n);
}

void RecursiveSmooth(TProfileStore& store, int channel, int a) {
  if (a < MinFilterWindow) return;
  const int n = store.CountOf(channel);
  if (n == 0) return;
  // Each output is a weighted mean of a height and the previous output, so it stays within
  // 32 bits; only the product needs the wider type.
  std::int64_t previous = store.Z(channel, 0);
  store.FilterScratch[0].z = store.Z(channel, 0);
  for (int i = 1; i < n; ++i) {
    previous = (store.Z(channel, i) + (std::int64_t{a} - 1) * previous) / a;
    store.FilterScratch[i].z = ClampToInt32(previous);
  }
  CopyBackHeights(store, channel, n);
}

}  // namespace qd718
