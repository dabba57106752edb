#pragma once

// Integer helpers for the profile arithmetic: heights are summed and multiplied in 64 bits so
// that nothing overflows, and the results are brought back into 32 bits by saturation.

#include <cmath>
#include <cstdint>
#include <limits>

namespace qd718 {

inline constexpr std::int32_t ClampToInt32(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// Truncates toward zero; values beyond the int32 range saturate, NaN gives 0.
inline std::int32_t TruncToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// The low 16 bits of a value, as the signed 16-bit table entries hold them.
inline constexpr std::int16_t Low16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

}  // namespace qd718
