#include "cli/profile_csv.h"

#include <ostream>

namespace qd718::cli {

void WriteProfileCsv(const std::array<ChannelResult, 2>& channels, std::ostream& out) {
  out << ProfileCsvHeader << '\n';
  for (const ChannelResult& result : channels) {
    for (const TPointXZ& point : result.points) {
      out << result.channel << ';' << point.x << ';' << point.z << '\n';
    }
  }
}

}  // namespace qd718::cli
