#pragma once

// The facts that qd718 prints, as JSON objects in the order the contract lists their fields:
// the identity, P (a channel's parameters), C (a channel of a measurement), K (a channel of
// a calibration run) and the calibration table.

#include <nlohmann/json.hpp>

#include "calib/calibr_table.h"
#include "cli/channel_result.h"
#include "cli/channels.h"
#include "params/scanner_state.h"

namespace qd718::cli {

using Json = nlohmann::ordered_json;

Json IdentityJson(const TSensorInfo& info);
Json ParamsJson(const TScanParams& params, int channel);
Json BothParamsJson(const ScannerState& state);
Json MeasuredChannelJson(const ChannelResult& result);    // C
Json CalibratedChannelJson(const ChannelResult& result);  // K
Json TableJson(const TCalibrTable& table);

// A float in its shortest decimal form (0.1f prints as 0.1, not 0.10000000149011612).
double ShortestDouble(float value);

}  // namespace qd718::cli
