#pragma once

// The calibration table's block transfer to and from the scanner, and its drawing.

#include "calib/calibr_table.h"
#include "params/scanner_state.h"
#include "station/window.h"

namespace qd718 {

inline constexpr Millis CalibrBlockPause{100};

void WriteCalibrTable(ScannerState& state, const TCalibrTable& table, Window& window, int channel);
void ReadCalibrTable(ScannerState& state, TCalibrTable& table, Window& window, int channel);
void PlotCalibrTables(const ScannerState& state, const TCalibrTable& table, Window& window);

void cxButton3Click(ScannerState& state, const TCalibrTable& table,
                    Window& window);                                            // "Save Table"
void cxButton4Click(ScannerState& state, TCalibrTable& table, Window& window);  // "Read Table"

}  // namespace qd718
