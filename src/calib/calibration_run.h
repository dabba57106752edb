#pragma once

// "Calibration": builds both channels' tables from a scan of a reference object.

#include <functional>

#include "calib/calibr_table.h"
#include "measure/pipeline.h"

namespace qd718 {

inline constexpr int CalibrPasses = 1;
// The minimum search of the normalisation starts here, so entries all above it are lowered
// by this much only.
inline constexpr int CalibrMinimumStart = 10000;

struct CalibrationContext {
  ScannerState& scanner;
  TProfileStore& store;
  TCalibrTable& table;
  int scanReplyBytes;
  // Called right after a channel's flank search (or its failed readout), for qd718's JSON.
  std::function<void(int channel, bool scanned)> afterChannel;
};

// Adds the low 16 bits of the channel's working heights from SpanFirst up to, not including,
// SpanLast to its table entries; entries wrap at 16 bits.
void AccumulateSpan(const TProfileStore& store, TCalibrTable& table, int channel);
// Divides every entry by CalibrPasses, then lowers each channel's entries between its first
// and last non-zero entry by its smallest non-zero entry (at most CalibrMinimumStart).
void AverageAndNormalise(TCalibrTable& table);

void cxButton2Click(CalibrationContext& context, Window& window);

}  // namespace qd718
