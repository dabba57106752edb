#pragma once

#include <array>
#include <cstdint>

#include "measure/calibr_correction.h"
#include "measure/profile_store.h"

namespace qd718 {

inline constexpr int CalibrPoints = ProfileCapacity;
inline constexpr int CalibrBlockCount = 6;
inline constexpr int CalibrBlockValues = 512;
inline constexpr int CalibrFirstBlock = 41;
inline constexpr int CalibrValueBytes = 4;
inline constexpr int CalibrBlockBytes = CalibrBlockValues * CalibrValueBytes;
inline constexpr std::uint8_t CalibrAck = 0xAA;
inline constexpr int CalibrAckBytes = 2;

// Both channels' calibration tables, interleaved by point index: record i holds channel 1's
// correction, then channel 2's.
struct TCalibrTable final : CalibrCorrection {
  struct Record {
    std::int16_t value[2] = {0, 0};
  };
  std::array<Record, CalibrPoints> entries{};

  std::int16_t Entry(int channel, int index) const override {
    return entries[index].value[ChannelIndex(channel)];
  }
  std::int16_t& At(int channel, int index) { return entries[index].value[ChannelIndex(channel)]; }
  void Clear() { entries.fill({}); }
};

}  // namespace qd718
