#pragma once

// qd718 [--port NAME] [--json] COMMAND [OPTIONS], on CLI11.

#include <optional>

#include "cli/invocation.h"

namespace qd718::cli {

// The invocation, or the exit status when there is nothing to run: 0 after --help, 2 after
// a bad command line (its message already on standard error).
struct ParsedCommandLine {
  std::optional<Invocation> invocation;
  int exitStatus = 0;
};

ParsedCommandLine ParseCommandLine(int argc, char** argv);

// A PROC value "N" within [low, high], or "off"; throws UsageError naming the option.
std::optional<int> ParseProcValue(const std::string& option, const std::string& text, int low,
                                  int high);
// "F=V" of --ch1 or --ch2: the field and the text its edit would hold, checked as the edit
// would convert it; throws UsageError naming the field.
ParamAssignment ParseAssignment(int channel, const std::string& text);

}  // namespace qd718::cli
