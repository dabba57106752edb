#pragma once

// The handlers of the parameter buttons on the "Parameters" page.

#include "params/scanner_state.h"
#include "station/window.h"

namespace qd718 {

void ReadBtnClick(ScannerState& state, Window& window);        // "Read parameters"
void WriteBtnClick(ScannerState& state, Window& window);       // "Write parameters"
void WriteFlashBtnClick(ScannerState& state, Window& window);  // "Write to Flash"
void BitBtn3Click(ScannerState& state, Window& window);        // "Write to factory"
void RestoreBtnClick(ScannerState& state, Window& window);     // "Load default"

}  // namespace qd718
