#pragma once

// Reading and writing one channel's scan parameters, and the parameter-store commands.

#include "params/scanner_state.h"
#include "station/window.h"

namespace qd718 {

// What the parameter buttons show for a channel whose parameters could not be read.
inline constexpr const char* ReadParamsFailedText = "Read parameters Erorr!";
inline constexpr const char* ReadFailedTitle = "Error.";

// Reads the five device registers into the channel's parameters and shows each value in the
// channel's edit, advancing the gauge (8 steps; 7 after a complete read). Each value is
// stored before it is tested, so a failing field holds NoReply while its edit keeps its text.
bool ReadScanParams(ScannerState& state, Window& window, int channel);
// Writes the device-backed fields (EndPos before BeginPos), then saves them to flash. A
// channel whose last read failed part-way is not written: it shows the read failure instead.
void WriteScanParams(ScannerState& state, Window& window, int channel);

// The parameter-store commands; a mismatching echo shows its message and counts in ErrorCount.
void SaveToFlash(ScannerState& state, Window& window, int channel);
void RestoreDefaults(ScannerState& state, Window& window, int channel);
void SaveAsFactory(ScannerState& state, Window& window, int channel);

// The edit of a channel's parameter (channel 1's column, any other channel the second's).
struct ChannelEdits {
  Ctl BeginPos, EndPos, TimeM, TimeM1, Diskr, Angle, XBeg, YBeg, Cycl;
};
const ChannelEdits& EditsOf(int channel);

}  // namespace qd718
