#pragma once

// "Calibration": builds both channels' tables from a scan of a reference object.

#include <functional>

#include "calib/calibr_table.h"
#include "measure/pipeline.h"

namespace qd718 {

inline constexpr int CalibrPasses = 1;
inline constexpr int CalibrMinimumStart = 10000;

struct CalibrationContext {
  ScannerState& scanner;
  TProfileStore& store;
  TCalibrTable& table;
  int scanReplyBytes;
  // Called right after a channel's flank search (or its failed readout), for qd718's JSON.
  std::function<void(int channel, bool scanned)> afterChannel;
};

void cxButton2Click(CalibrationContext& context, Window& window);

}  // namespace qd718
