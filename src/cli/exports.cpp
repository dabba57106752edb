#include "cli/exports.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>

#include "cli/plot_export.h"
#include "cli/profile_csv.h"
#include "cli/raw_file.h"
#include "cli/table_csv.h"

namespace qd718::cli {

namespace {

void Failed(Session& session, const std::string& fileName, const std::string& why) {
  session.window.Say("qd718: cannot write " + fileName + ": " + why);
  session.window.GetOutcome().Note(ExitStatus::Refused);
}

void WriteText(Session& session, const std::string& fileName,
               const std::function<void(std::ostream&)>& write) {
  if (fileName.empty()) return;
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (out) write(out);
  out.close();
  if (!out) Failed(session, fileName, std::strerror(errno));
}

}  // namespace

void WriteExports(const Exports& exports, Session& session) {
  WriteText(session, exports.profileCsv,
            [&](std::ostream& out) { WriteProfileCsv(session.results, out); });
  WriteText(session, exports.tableCsv,
            [&](std::ostream& out) { WriteTableCsv(*session.station.table, out); });
  WriteText(session, exports.raw, [&](std::ostream& out) { WriteRawFile(session.station, out); });
  if (!exports.plot.empty() && !WritePlot(session.window, exports.plot)) {
    Failed(session, exports.plot, "the charts could not be drawn into it");
  }
}

}  // namespace qd718::cli
