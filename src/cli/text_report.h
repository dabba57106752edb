#pragma once

// The report without --json: the same facts as plain aligned text, one section per part of
// the JSON object (identity, params, channels, table), channels side by side in columns.

#include <string>

#include "cli/json_facts.h"

namespace qd718::cli {

std::string TextReport(const Json& report);

}  // namespace qd718::cli
