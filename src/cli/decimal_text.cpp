#include "cli/decimal_text.h"

#include <charconv>

namespace qd718::cli {

std::optional<std::int64_t> ParseDecimal(std::string_view text) {
  // from_chars takes a leading "-" but neither "+" nor spaces, which is what we want.
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseDecimalIn(std::string_view text, std::int64_t low,
                                           std::int64_t high) {
  const auto value = ParseDecimal(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

}  // namespace qd718::cli
