#pragma once

// The station's state: what the main window owns. The handlers work on it and on a Window.

#include <functional>
#include <memory>
#include <string>

#include "calib/calibr_table.h"
#include "calib/calibration_run.h"
#include "measure/pipeline.h"
#include "measure/profile_store.h"
#include "measure/scan_acquisition.h"
#include "params/scanner_state.h"
#include "refprof/ref_profile.h"

namespace qd718 {

class Station : public ScannerState {
 public:
  explicit Station(Link& link);

  // Created zero-filled with the station and never reallocated.
  std::unique_ptr<TProfileStore> store;
  std::unique_ptr<TCalibrTable> table;
  std::unique_ptr<TRefProfile> ref;

  int ComNumber = 1;
  int ScanReplyBytes = DefaultScanReplyBytes;
  // The "Other COM port" dialog's own member: true only after its OK ran in this showing.
  bool Accepted = false;
  // Where LoadReference looks: the folder of the running program.
  std::string programFolder;
  // Called right after each channel's processing in a measurement or calibration run.
  std::function<void(int channel, bool scanned)> afterChannel;

  MeasureContext Measure();
  CalibrationContext Calibration();
};

}  // namespace qd718
