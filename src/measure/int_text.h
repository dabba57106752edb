#pragma once

// The toolkit's string-to-integer conversion, as the hidden filter edits and the .ref loader
// use it: an optional sign and decimal digits, within 32 bits.

#include <cstdint>
#include <limits>
#include <string>

#include "station/app_error.h"

namespace qd718 {

// Throws ConversionError ("'%s' is not a valid integer value") for anything else.
inline std::int32_t StrToInt(const std::string& text) {
  const auto fail = [&text]() {
    return ConversionError("'" + text + "' is not a valid integer value");
  };
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
    negative = text[at] == '-';
    ++at;
  }
  if (at == text.size()) throw fail();
  // Accumulated as a negative number, whose range reaches one further than the positive one.
  constexpr std::int64_t Lowest = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c < '0' || c > '9') throw fail();
    value = value * 10 - (c - '0');
    if (value < Lowest) throw fail();
  }
  if (!negative) {
    value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) throw fail();
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace qd718
