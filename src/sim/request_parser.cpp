#include "sim/request_parser.h"

#include "link/commands.h"
#include "sim/scanner_layout.h"
#include "sim/wire_format.h"

namespace qd718::sim {

namespace {

constexpr std::size_t ByteNibbles = 2;
// A table block write: the block's values, its number, and the closing pair 0x8A 0x8A.
constexpr std::size_t TableWritePayload =
    TableBlockDataBytes + TableBlockNumberBytes + TableBlockClosingBytes;

bool IsChannel(std::uint8_t byte) {
  return byte >= FirstChannel && byte <= LastChannel;
}

}  // namespace

std::optional<std::size_t> PayloadLength(std::uint8_t command) {
  switch (static_cast<Command>(command)) {
    case Command::Identify:
    case Command::ReadStatus:
    case Command::ScanReadout:
      return 0;
    case Command::ReadRegister:    // register number
    case Command::ParamStore:      // action byte
    case Command::StartScan:       // argument byte
    case Command::ReadTableBlock:  // block number
      return ByteNibbles;
    case Command::WriteRegister:  // register number, value byte
      return 2 * ByteNibbles;
    case Command::WriteTableBlock:
      return TableWritePayload;
  }
  return std::nullopt;
}

std::optional<Request> RequestParser::Feed(std::uint8_t byte) {
  if ((byte & MarkerBit) == 0) {
    // Any byte without the marker ends what came before; only a channel number starts a frame.
    Reset();
    if (IsChannel(byte)) {
      request_.channel = byte;
      stage_ = Stage::Command;
    }
    return std::nullopt;
  }
  switch (stage_) {
    case Stage::Idle:
      return std::nullopt;  // payload of a request that was dropped
    case Stage::Command: {
      const auto length = PayloadLength(byte);
      if (!length) {
        Reset();
        return std::nullopt;
      }
      request_.command = byte;
      payloadLength_ = *length;
      stage_ = Stage::Payload;
      break;
    }
    case Stage::Payload:
      request_.nibbles.push_back(byte & NibbleMask);
      break;
  }
  if (stage_ == Stage::Payload && request_.nibbles.size() == payloadLength_) {
    Request done = std::move(request_);
    Reset();
    return done;
  }
  return std::nullopt;
}

void RequestParser::Reset() {
  stage_ = Stage::Idle;
  request_ = Request{};
  payloadLength_ = 0;
}

}  // namespace qd718::sim
