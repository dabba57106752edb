#include "link/protocol.h"

namespace qd718 {

namespace {

constexpr std::uint8_t Byte(Command command) {
  return static_cast<std::uint8_t>(command);
}
constexpr int BusyBit = 0x01;

}  // namespace

int SendHeader(Link& link, int channel, Command command) {
  const int sent = link.WriteByte(static_cast<std::uint8_t>(channel));
  return sent + link.WriteByte(Byte(command));
}

bool Identify(Link& link, int channel, IdentifyReply& reply) {
  link.PurgeBuffers();
  SendHeader(link, channel, Command::Identify);
  std::array<std::uint8_t, IdentifyReplyBytes> received{};
  if (link.ReadBytes(received.data(), IdentifyReplyBytes) != IdentifyReplyBytes) return false;
  for (int i = 0; i < IdentifyReplyBytes; ++i) reply[i] = Nibble(received[i]);
  return true;
}

int ReadRegister(Link& link, int channel, int reg, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    const auto address = static_cast<std::uint8_t>(reg + i);  // a register number is one byte
    link.PurgeBuffers();
    SendHeader(link, channel, Command::ReadRegister);
    link.WriteByte(NibbleLo(address));
    link.WriteByte(NibbleHi(address));
    std::uint8_t reply[RegisterReplyBytes] = {};
    if (link.ReadBytes(reply, RegisterReplyBytes) < RegisterReplyBytes) return NoReply;
    const int byte = Nibble(reply[0]) + 16 * Nibble(reply[1]);
    value += byte << (8 * i);
  }
  return value;
}

bool WriteRegister(Link& link, int channel, int reg, int count, std::int32_t value) {
  for (int i = 0; i < count; ++i) {
    const auto address = static_cast<std::uint8_t>(reg + i);
    link.PurgeBuffers();
    if (link.WriteByte(static_cast<std::uint8_t>(channel)) == 0) return false;
    if (link.WriteByte(Byte(Command::WriteRegister)) == 0) return false;
    if (link.WriteByte(NibbleLo(address)) == 0) return false;
    if (link.WriteByte(NibbleHi(address)) == 0) return false;
    const auto byte = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    // The scanner takes each value nibble in its own time; it sends no acknowledgement.
    link.WriteByte(NibbleLo(byte));
    link.Pause(RegisterValuePause);
    link.WriteByte(NibbleHi(byte));
    link.Pause(RegisterValuePause);
  }
  link.Pause(RegisterWriteTail);
  return true;
}

bool ParamStore(Link& link, int channel, StoreAction action) {
  const auto actionByte = static_cast<std::uint8_t>(action);
  link.PurgeBuffers();
  SendHeader(link, channel, Command::ParamStore);
  link.WriteByte(NibbleLo(actionByte));
  link.WriteByte(NibbleHi(actionByte));
  link.Pause(StoreReplyPause);
  std::uint8_t reply[StoreReplyBytes] = {};
  if (link.ReadBytes(reply, StoreReplyBytes) < StoreReplyBytes) return false;
  const int echo = Nibble(reply[0]) + 16 * Nibble(reply[1]);
  return echo == actionByte;
}

bool ReadStatus(Link& link, int channel, int& scanStatus) {
  link.PurgeBuffers();
  SendHeader(link, channel, Command::ReadStatus);
  std::uint8_t reply[StatusReplyBytes] = {};
  if (link.ReadBytes(reply, StatusReplyBytes) != StatusReplyBytes) return false;
  // Bytes 2 to 5 carry a word that the station does not use.
  scanStatus = Nibble(reply[0]) + 16 * Nibble(reply[1]);
  return true;
}

void StartScan(Link& link, int channel, std::uint8_t argument) {
  link.PurgeBuffers();
  SendHeader(link, channel, Command::StartScan);
  link.WriteByte(NibbleLo(argument));
  link.WriteByte(NibbleHi(argument));
}

void PrepareScan(Link& link, int& scanStatus) {
  for (int channel = 1; channel <= 2; ++channel) {
    scanStatus = 1;
    StartScan(link, channel, ScanStartArgument);
    const Micros started = link.GetClock().Now();
    while (ReadStatus(link, channel, scanStatus) && (scanStatus & BusyBit) != 0) {
      link.ThrowIfCancelled();
      if (link.GetClock().Now() - started >= BusyPollLimit) break;
    }
    ReadStatus(link, channel, scanStatus);  // one more query; its result is not used
  }
}

}  // namespace qd718
