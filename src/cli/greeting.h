#pragma once

// The greeting that opens the "Parameters" handshake, on its own for `qd718 identify`:
// Identify of channel 1 up to three times, then channel 2 once, with the handshake's own
// failure when channel 1 never answers.

#include "station/station.h"

namespace qd718::cli {

// False after the failure ("Hello Erorr!", the port closed).
bool Greeting(Station& station, Window& window);

}  // namespace qd718::cli
