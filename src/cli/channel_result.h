#pragma once

// What qd718 reports of one channel of a measurement or calibration run, taken right after
// that channel's processing: the flank span is shared by both channels in the store, so it
// must be read before the other channel's search moves it.

#include <cstdint>
#include <vector>

#include "measure/profile_store.h"
#include "params/scan_params.h"

namespace qd718::cli {

struct ChannelResult {
  int channel = 1;
  // False when the channel's scan readout failed (or was never reached); nothing else is
  // filled then.
  bool scanned = false;
  std::int32_t PointCount = 0;
  std::int32_t SpanFirst = 0;
  std::int32_t SpanLast = 0;
  std::int32_t BegAngle = 0;
  std::int32_t XMin = 0;
  std::int32_t ZMin = 0;
  std::int32_t XMax = 0;
  std::int32_t ZMax = 0;
  std::vector<TPointXZ> points;  // the working profile, PointCount points
};

ChannelResult TakeChannelResult(const TProfileStore& store, const TScanParams& params, int channel,
                                bool scanned);

}  // namespace qd718::cli
