#pragma once

// The profile buffers that measurement, calibration and reference files share. Fixed arrays
// only: created zero-filled with the station, never freed or reallocated.

#include <array>
#include <cstdint>

namespace qd718 {

inline constexpr int ProfileCapacity = 3072;
// The median filter sorts its window here, so its window length lies between 1 and this.
inline constexpr int MedianWindowCapacity = 1000;

struct TPointXZ {
  std::int32_t x = 0;
  std::int32_t z = 0;
};

// Point i of both channels: element 0 belongs to channel 1.
struct TDualPoint {
  std::int32_t x[2] = {0, 0};
  std::int32_t z[2] = {0, 0};
};

struct TProfileExtremes {
  std::int32_t XMin[2] = {0, 0};
  std::int32_t ZMin[2] = {0, 0};
  std::int32_t XMax[2] = {0, 0};
  std::int32_t ZMax[2] = {0, 0};
};

inline constexpr int ChannelIndex(int channel) {
  return channel == 1 ? 0 : 1;
}

struct TProfileStore {
  std::array<TDualPoint, ProfileCapacity> RawPoints{};
  std::array<TDualPoint, ProfileCapacity> WorkPoints{};
  std::int32_t PointCount[2] = {0, 0};
  // Shared by both channels: they hold the result of the last operation, whichever channel
  // it served. The span of channel 1's search is where channel 2's search starts.
  std::array<TPointXZ, ProfileCapacity> ScanScratch{};
  std::array<TPointXZ, ProfileCapacity> FilterScratch{};
  std::array<TPointXZ, ProfileCapacity> Derivative{};
  std::array<std::int32_t, MedianWindowCapacity> MedianWindow{};
  std::int32_t SpanFirst = 0;
  std::int32_t SpanLast = 0;
  TProfileExtremes Extremes;

  // The channel's count, kept within the arrays even if a count was set from outside (a saved
  // raw scan for Re-Calculate).
  int CountOf(int channel) const {
    const std::int32_t count = PointCount[ChannelIndex(channel)];
    return count < 0 ? 0 : (count > ProfileCapacity ? ProfileCapacity : count);
  }
  std::int32_t& X(int channel, int i) { return WorkPoints[i].x[ChannelIndex(channel)]; }
  std::int32_t& Z(int channel, int i) { return WorkPoints[i].z[ChannelIndex(channel)]; }

  // x and z of the channel in all of WorkPoints, and all of ScanScratch, become 0.
  void ClearChannel(int channel);
  // Points below the channel's count come back from RawPoints into WorkPoints.
  void RestoreWorking(int channel);
  // z of the channel from all 3072 working points, in index order.
  std::array<std::int32_t, ProfileCapacity> HeightsOf(int channel) const;
};

}  // namespace qd718
