#pragma once

namespace qd718::cli {

// The scanner's two channels, in the order every output lists them.
inline constexpr int Channels[] = {1, 2};

}  // namespace qd718::cli
