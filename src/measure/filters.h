#pragma once

// Smoothing filters on the heights of one channel's working profile. Integer arithmetic
// truncating toward zero; outputs go to FilterScratch first, so every output is computed
// from unfiltered input.

#include <array>
#include <cstdint>

#include "measure/profile_store.h"

namespace qd718 {

// The smallest window length and recursive factor; a filter given less (or a median window
// above MedianWindowCapacity) leaves the profile as it is.
inline constexpr int MinFilterWindow = 1;

// Sorts w values in place (insertion sort, ascending) and returns the element at w / 2.
std::int32_t SortedMiddle(int w, std::int32_t* values);

// Median of the w heights around each point, the ends extended by repeating the first and
// the last height. snapshot is HeightsOf the channel taken just before the call. The window
// is sorted in the store's MedianWindow.
void MedianFilter(TProfileStore& store, int channel, int w,
                  const std::array<std::int32_t, ProfileCapacity>& snapshot);
// Mean of the heights in a window of w points around each point; the window shrinks at the
// ends.
void MovingAverage(TProfileStore& store, int channel, int w);
// output i = (height i + (a - 1) * output (i - 1)) / a.
void RecursiveSmooth(TProfileStore& store, int channel, int a);

}  // namespace qd718
