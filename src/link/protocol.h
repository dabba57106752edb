#pragma once

// The scanner's command protocol: an address byte (the channel), a command byte with bit 7
// set, then payload bytes carrying one nibble each (0x80 + nibble, least significant first).
// Replies carry one nibble per byte in the low four bits; the high nibble is ignored.

#include <array>
#include <cstdint>

#include "link/clock.h"
#include "link/commands.h"
#include "link/link.h"

namespace qd718 {

// What ReadRegister returns when a reply is missing or short. Register values are unsigned,
// so a value read never equals it.
inline constexpr int NoReply = -5555;

inline constexpr int IdentifyReplyBytes = 16;
inline constexpr int RegisterReplyBytes = 2;
inline constexpr int StoreReplyBytes = 2;
inline constexpr int StatusReplyBytes = 6;

inline constexpr Millis RegisterValuePause{100};
inline constexpr Millis RegisterWriteTail{100};
inline constexpr Millis StoreReplyPause{1000};
// A channel that keeps reporting busy is left after this long, as one that stopped answering.
inline constexpr Millis BusyPollLimit{120000};
inline constexpr std::uint8_t ScanStartArgument = 1;

// The two payload bytes of a byte value: low nibble first.
constexpr std::uint8_t NibbleLo(std::uint8_t value) {
  return 0x80 | (value & 0x0F);
}
constexpr std::uint8_t NibbleHi(std::uint8_t value) {
  return 0x80 | ((value >> 4) & 0x0F);
}
// The data nibble of a reply byte.
constexpr std::uint8_t Nibble(std::uint8_t replyByte) {
  return replyByte & 0x0F;
}

// The identify reply, every byte masked to its nibble.
using IdentifyReply = std::array<std::uint8_t, IdentifyReplyBytes>;

bool Identify(Link& link, int channel, IdentifyReply& reply);
int ReadRegister(Link& link, int channel, int reg, int count);
bool WriteRegister(Link& link, int channel, int reg, int count, std::int32_t value);
bool ParamStore(Link& link, int channel, StoreAction action);
// Sets scanStatus from a complete reply; leaves it alone otherwise.
bool ReadStatus(Link& link, int channel, int& scanStatus);
void StartScan(Link& link, int channel, std::uint8_t argument);
// Starts the scan on channel 1 and waits until it is no longer busy, then channel 2.
void PrepareScan(Link& link, int& scanStatus);

// Sends the address byte and a command byte; the counts of both writes.
int SendHeader(Link& link, int channel, Command command);

}  // namespace qd718
