#pragma once

// --profile-csv: the working profile of both channels as text, a header line
// "channel;x;z", then one line "c;x;z" per point, channel 1's points before channel 2's.
// A channel whose readout failed contributes no lines.

#include <array>
#include <iosfwd>

#include "cli/channel_result.h"

namespace qd718::cli {

inline constexpr const char* ProfileCsvHeader = "channel;x;z";

void WriteProfileCsv(const std::array<ChannelResult, 2>& channels, std::ostream& out);

}  // namespace qd718::cli
