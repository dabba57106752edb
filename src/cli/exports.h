#pragma once

// The files besides the report: --profile-csv, --table-csv, --raw and --plot, written from
// the station as the command left it.

#include "cli/invocation.h"
#include "cli/session.h"

namespace qd718::cli {

// A file that cannot be written is reported on standard error and fails the run.
void WriteExports(const Exports& exports, Session& session);

}  // namespace qd718::cli
