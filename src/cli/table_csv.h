#pragma once

// The calibration table as text: a header line "index;channel1;channel2", then one line
// "i;c1;c2" for each of the 3072 entries. --table-csv writes it; table write --from reads
// exactly this and nothing looser, since a table sent to the scanner must be the one meant.

#include <iosfwd>
#include <string>

#include "calib/calibr_table.h"

namespace qd718::cli {

inline constexpr const char* TableCsvHeader = "index;channel1;channel2";

void WriteTableCsv(const TCalibrTable& table, std::ostream& out);
// Throws UsageError naming the file and the line when the text is not a whole table;
// table is left unchanged then.
void ReadTableCsv(std::istream& in, const std::string& fileName, TCalibrTable& table);

}  // namespace qd718::cli
