#pragma once

#include <cstdint>

namespace qd718 {

// The calibration table as the measurement sees it: the correction of a channel's point i.
class CalibrCorrection {
 public:
  virtual ~CalibrCorrection() = default;
  virtual std::int16_t Entry(int channel, int index) const = 0;
};

}  // namespace qd718
