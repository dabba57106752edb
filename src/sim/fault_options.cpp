#include "sim/fault_options.h"

#include <charconv>
#include <limits>
#include <stdexcept>
#include <vector>

#include "sim/request_parser.h"
#include "sim/scanner_layout.h"

namespace qd718::sim {

namespace {

constexpr int DecimalBase = 10;
constexpr int HexBase = 16;

std::vector<std::string> Fields(const std::string& text, std::size_t expected,
                                const std::string& form) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const auto colon = text.find(':', start);
    fields.push_back(text.substr(start, colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  if (fields.size() != expected) {
    throw std::invalid_argument("'" + text + "' is not of the form " + form);
  }
  return fields;
}

// A whole non-negative number: decimal, or hexadecimal after 0x.
long long Number(const std::string& text, const std::string& what) {
  std::string_view digits = text;
  int base = DecimalBase;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
    base = HexBase;
  }
  long long value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || value < 0) {
    throw std::invalid_argument(what + " '" + text + "' is not a number of 0 or more");
  }
  return value;
}

int Bounded(const std::string& text, const std::string& what, long long low, long long high) {
  const long long value = Number(text, what);
  if (value < low || value > high) {
    throw std::invalid_argument(what + " " + text + " is outside " + std::to_string(low) + ".." +
                                std::to_string(high));
  }
  return static_cast<int>(value);
}

}  // namespace

int ParseChannel(const std::string& text) {
  return Bounded(text, "channel", FirstChannel, LastChannel);
}

ShortReply ParseShortReply(const std::string& text) {
  const auto f = Fields(text, 3, "N:CMD:BYTES");
  const int command = Bounded(f[1], "command byte", 0, std::numeric_limits<std::uint8_t>::max());
  if (!PayloadLength(static_cast<std::uint8_t>(command))) {
    throw std::invalid_argument("command byte " + f[1] + " is not one the scanner knows");
  }
  return ShortReply{ParseChannel(f[0]), static_cast<std::uint8_t>(command),
                    Bounded(f[2], "byte count", 0, std::numeric_limits<int>::max())};
}

std::pair<int, int> ParseBusy(const std::string& text) {
  const auto f = Fields(text, 2, "N:COUNT");
  return {ParseChannel(f[0]), Bounded(f[1], "busy count", 0, std::numeric_limits<int>::max())};
}

std::pair<int, int> ParseBadAck(const std::string& text) {
  const auto f = Fields(text, 2, "N:BLOCK");
  return {ParseChannel(f[0]), Bounded(f[1], "table block", 1, TableBlocks)};
}

}  // namespace qd718::sim
