#pragma once

// Splits the byte stream from the station into requests. An address byte (bit 7 clear)
// always starts a new frame, so a request cut short by a purge or a closed port is dropped
// as soon as the next one begins; the sim can never get stuck in the middle of a frame.

#include <cstdint>
#include <optional>
#include <vector>

namespace qd718::sim {

struct Request {
  int channel = 0;
  std::uint8_t command = 0;
  std::vector<std::uint8_t> nibbles;  // the payload, one data nibble per byte
};

// Payload bytes that follow the command byte, or nullopt for a byte that is no command.
std::optional<std::size_t> PayloadLength(std::uint8_t command);

class RequestParser {
 public:
  // One byte from the line; a request when this byte completed one.
  std::optional<Request> Feed(std::uint8_t byte);
  // Forgets a half-received request.
  void Reset();

 private:
  enum class Stage { Idle, Command, Payload };
  Stage stage_ = Stage::Idle;
  Request request_;
  std::size_t payloadLength_ = 0;
};

}  // namespace qd718::sim
