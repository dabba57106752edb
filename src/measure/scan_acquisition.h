#pragma once

#include "measure/profile_store.h"
#include "params/scanner_state.h"

namespace qd718 {

// Length of the scan readout reply: 3072 samples of four nibble bytes.
inline constexpr int DefaultScanReplyBytes = 12288;
inline constexpr int SampleBytes = 4;
// A conversion stops at the sample whose x reaches x of the first point plus this.
inline constexpr std::int32_t ScanLengthLimit = 143000;

// Fetches the last scan of a channel (command 0x8D) and converts it into points in
// micrometres. Resets BegAngle of both channels first, whatever happens next. Returns false,
// changing nothing in the store, when fewer than replyBytes bytes arrived.
bool ReadScan(ScannerState& state, TProfileStore& store, int channel,
              int replyBytes = DefaultScanReplyBytes);

// The conversion alone, over a complete reply already masked to nibbles (for tests and
// for Re-Calculate of saved raw scans).
void ConvertScan(const std::uint8_t* nibbles, int replyBytes, std::int32_t diapaz, float diskr,
                 std::int16_t xBeg, TProfileStore& store, int channel);

}  // namespace qd718
