#pragma once

// The scanner's side of the nibble encoding. Request payload bytes carry one nibble each
// (0x80 + nibble); reply bytes carry one nibble in the low four bits and the marker 0x80 in
// the high four. Multi-nibble values go least significant nibble first, both ways.

#include <cstdint>
#include <vector>

namespace qd718::sim {

inline constexpr std::uint8_t MarkerBit = 0x80;
inline constexpr std::uint8_t NibbleMask = 0x0F;
inline constexpr int NibbleBits = 4;

// Appends value as `nibbles` reply bytes, least significant nibble first.
inline void AppendNibbles(std::vector<std::uint8_t>& reply, std::uint32_t value, int nibbles) {
  for (int i = 0; i < nibbles; ++i) {
    reply.push_back(
        static_cast<std::uint8_t>(MarkerBit | ((value >> (NibbleBits * i)) & NibbleMask)));
  }
}

// The value carried by `count` request nibbles starting at `first`, least significant first.
inline std::uint32_t NibbleValue(const std::vector<std::uint8_t>& nibbles, std::size_t first,
                                 int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) {
    value |= static_cast<std::uint32_t>(nibbles[first + i] & NibbleMask) << (NibbleBits * i);
  }
  return value;
}

}  // namespace qd718::sim
