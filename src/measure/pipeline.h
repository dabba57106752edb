#pragma once

// The measurement pipeline: "Measurement" and "Re-Calculate" on the "Profile" page.

#include <functional>

#include "measure/calibr_correction.h"
#include "measure/profile_store.h"
#include "params/scanner_state.h"
#include "station/window.h"

namespace qd718 {

// The three hidden filter settings, read from dxEdit5, dxEdit6 and dxEdit7.
struct FilterSettings {
  int medianWindow = 51;
  int movingWindow = 9;
  int recursiveFactor = 9;
};
// Reads the settings from the window's edits as decimal integers (ConversionError otherwise).
FilterSettings ReadFilterSettings(Window& window);

// Everything the pipeline works on.
struct MeasureContext {
  ScannerState& scanner;
  TProfileStore& store;
  const CalibrCorrection& table;
  int scanReplyBytes;
  // Called right after a channel's processing (or its failed readout), for qd718's JSON;
  // Re-Calculate calls it after each channel with scanned true.
  std::function<void(int channel, bool scanned)> afterChannel;
};

// The filters whose check boxes are checked, in the order median ("Mediana"), moving average
// ("Smooth Line"), recursive smoothing ("Smooth Recurs"). Shared with the calibration run.
void ApplyFilters(TProfileStore& store, Window& window, int channel,
                  const FilterSettings& settings);

// The channel's profile from RawPoints, corrected, filtered, levelled, searched and shown.
void ProcessChannel(MeasureContext& context, Window& window, int channel,
                    const FilterSettings& settings);
// The channel's working profile and extremes on its chart, and "Min" and "Max" in its edits.
void PlotChannel(const TProfileStore& store, Window& window, int channel);

void Button1Click(MeasureContext& context, Window& window);    // "Measurement"
void cxButton5Click(MeasureContext& context, Window& window);  // "Re-Calculate"

}  // namespace qd718
