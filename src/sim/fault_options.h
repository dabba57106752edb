#pragma once

// The fault options of qd718-sim, from their command-line text. Each parser throws
// std::invalid_argument with a message that names what is wrong.

#include <string>
#include <utility>

#include "sim/virtual_scanner.h"

namespace qd718::sim {

// "1" or "2".
int ParseChannel(const std::string& text);
// "N:CMD:BYTES", CMD written as 0x8D or 141.
ShortReply ParseShortReply(const std::string& text);
// "N:COUNT": channel and the number of busy status replies after a scan start.
std::pair<int, int> ParseBusy(const std::string& text);
// "N:BLOCK": channel and the table block (1-6) whose write is acknowledged wrong.
std::pair<int, int> ParseBadAck(const std::string& text);

}  // namespace qd718::sim
