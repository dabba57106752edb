#pragma once

// The calibration table's block transfer to and from the scanner, and its drawing. A channel's
// table travels in six blocks of 512 values, numbered on the wire from 41; every value goes
// as four nibble bytes, least significant first.

#include <array>
#include <cstdint>

#include "calib/calibr_table.h"
#include "params/scanner_state.h"
#include "station/window.h"

namespace qd718 {

inline constexpr Millis CalibrBlockPause{100};

// The four wire bytes of a table value, least significant nibble first.
std::array<std::uint8_t, CalibrValueBytes> EncodeCalibrValue(std::int16_t value);
// A value from four received bytes; only their low nibbles count.
std::int16_t DecodeCalibrValue(const std::uint8_t* bytes);
// The wire number of block k (0 to 5) as its two bytes, low nibble first.
std::array<std::uint8_t, 2> EncodeCalibrBlock(int block);

// Sends the channel's six blocks; a block whose acknowledgement is not 0xAA shows
// "Error writing calibr table .Block N" and ends that channel's write. The table is unchanged.
void WriteCalibrTable(ScannerState& state, const TCalibrTable& table, Window& window, int channel);
// Reads the channel's six blocks into the table, block by block; a short block shows
// "Error reading calibr table .Block N" and leaves that block and the later ones as they were.
void ReadCalibrTable(ScannerState& state, TCalibrTable& table, Window& window, int channel);
// Channel 1's table on Series7 (blue), channel 2's on Series8 (green), x in micrometres.
void PlotCalibrTables(const ScannerState& state, const TCalibrTable& table, Window& window);

void cxButton3Click(ScannerState& state, const TCalibrTable& table,
                    Window& window);                                            // "Save Table"
void cxButton4Click(ScannerState& state, TCalibrTable& table, Window& window);  // "Read Table"

}  // namespace qd718
