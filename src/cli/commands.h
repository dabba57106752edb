#pragma once

// Each qd718 command as the station's own handlers, run in the station's order on one
// session, and the report the contract gives for it.

#include "cli/invocation.h"
#include "cli/json_facts.h"
#include "cli/session.h"

namespace qd718::cli {

// Reads the command's input file into the station before any port is opened (table write
// --from, recalc --raw); throws UsageError when the file cannot be used.
void LoadInputs(const Invocation& invocation, Session& session);

// Opens the port (except for recalc), runs the command, closes the port. The report is the
// JSON object of the contract, or null when the station went no further (the port did not
// open, the scanner did not answer). The exit status is in the window's Outcome.
Json RunCommand(const Invocation& invocation, Session& session);

// The station as it stands after the command: what --profile-csv, --table-csv, --raw and
// --plot need is written by WriteExports (exports.h).

}  // namespace qd718::cli
