#pragma once

#include <array>

#include "link/link.h"
#include "params/scan_params.h"
#include "params/sensor_info.h"

namespace qd718 {

// The part of the station's state that talks to the scanner: the link, the identity, both
// channels' parameters, the store-command error counter and the last scan status.
struct ScannerState {
  explicit ScannerState(Link& link) : link(&link) {}

  Link* link;
  TSensorInfo Info;
  std::array<TScanParams, 2> Params{};  // element 0 belongs to channel 1
  int ErrorCount = 0;
  int ScanStatus = 0;

  Link& GetLink() { return *link; }
  TScanParams& ParamsOf(int channel) { return Params[channel == 1 ? 0 : 1]; }
  const TScanParams& ParamsOf(int channel) const { return Params[channel == 1 ? 0 : 1]; }
};

}  // namespace qd718
