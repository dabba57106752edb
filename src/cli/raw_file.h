#pragma once

// The --raw file: everything that "Re-Calculate" reads, as JSON. Both channels' raw points
// and counts, their parameters, the calibration table, and the flank span the last run
// left (the next flank search starts from it), so that recalc repeats the processing of
// the run that saved it without a port.

#include <iosfwd>
#include <string>

#include "station/station.h"

namespace qd718::cli {

inline constexpr const char* RawFormatName = "qd718-raw";
inline constexpr int RawFormatVersion = 1;

void WriteRawFile(const Station& station, std::ostream& out);
// Loads a raw file into the station; throws UsageError naming the file and what is wrong,
// and leaves the station unchanged then.
void ReadRawFile(std::istream& in, const std::string& fileName, Station& station);

}  // namespace qd718::cli
