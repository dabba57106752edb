#pragma once

// Strict decimal integers for qd718's own inputs (option values, CSV and raw files): an
// optional "-", then digits, nothing else.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qd718::cli {

std::optional<std::int64_t> ParseDecimal(std::string_view text);
// The value when it is a decimal integer within [low, high].
std::optional<std::int64_t> ParseDecimalIn(std::string_view text, std::int64_t low,
                                           std::int64_t high);

}  // namespace qd718::cli
