#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace qd718 {

// A float truncated toward zero into 32 bits. Values beyond the int32 range saturate (and NaN
// gives 0) instead of being undefined, as a plain cast would be.
inline std::int32_t SaturatingTrunc(double value) {
  constexpr double Lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double Highest = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(value)) return 0;
  if (value <= Lowest) return std::numeric_limits<std::int32_t>::min();
  if (value >= Highest) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

}  // namespace qd718
