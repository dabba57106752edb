#include "sim/scanner_channel.h"

#include <algorithm>

#include "link/commands.h"
#include "sim/scan_generator.h"
#include "sim/wire_format.h"

namespace qd718::sim {

namespace {

constexpr int ByteBits = 8;
constexpr std::uint32_t ByteMask = 0xFF;

// Identify reply: Tip, Modif, Ser, a spare word, Diapaz; nibbles least significant first.
constexpr int TipNibbles = 2;
constexpr int ModifNibbles = 2;
constexpr int SerialNibbles = 4;
constexpr int SpareNibbles = 4;
constexpr int RangeNibbles = 4;

// Defaults of the parameter memory, as a new channel leaves the factory.
constexpr int DefaultBeginPos = 100;
constexpr int DefaultEndPos = 3172;
constexpr int DefaultTimeM = 20;
constexpr int DefaultTimeM1 = 40;
constexpr int DefaultDiskr = 500;  // 50 micrometres per sample
constexpr int DefaultAngle = 100;  // no rotation

// Diskr counts tenths of a micrometre.
constexpr double DiskrPerMicron = 10;

void PutWord(RegisterMemory& memory, int reg, int value) {
  memory[reg] = static_cast<std::uint8_t>(value & ByteMask);
  memory[reg + 1] = static_cast<std::uint8_t>((value >> ByteBits) & ByteMask);
}

RegisterMemory DefaultRegisters() {
  RegisterMemory memory{};
  PutWord(memory, RegBeginPos, DefaultBeginPos);
  PutWord(memory, RegEndPos, DefaultEndPos);
  memory[RegTimeM] = DefaultTimeM;
  memory[RegTimeM1] = DefaultTimeM1;
  PutWord(memory, RegDiskr, DefaultDiskr);
  PutWord(memory, RegAngle, DefaultAngle);
  return memory;
}

}  // namespace

ScannerChannel::ScannerChannel(ChannelIdentity identity, const Scene& scene, std::uint32_t seed,
                               ChannelFaults faults)
    : identity_(identity), scene_(scene), random_(seed), faults_(std::move(faults)) {
  factory_ = DefaultRegisters();
  flash_ = factory_;
  registers_ = flash_;  // at power-up the channel loads its parameters from flash
  Scan();               // a readout before the first start finds the power-up scan
}

std::vector<std::uint8_t> ScannerChannel::Answer(const Request& request) {
  if (faults_.silent) return {};
  std::vector<std::uint8_t> reply;
  switch (static_cast<Command>(request.command)) {
    case Command::Identify:
      reply = IdentifyReply();
      break;
    case Command::ReadRegister:
      reply = ReadRegisterReply(request);
      break;
    case Command::WriteRegister:
      WriteRegister(request);
      break;
    case Command::ParamStore:
      reply = ParamStoreReply(request);
      break;
    case Command::ReadStatus:
      reply = StatusReply();
      break;
    case Command::StartScan:
      StartScan();
      break;
    case Command::ScanReadout:
      reply = ScanReadoutReply();
      break;
    case Command::ReadTableBlock:
      reply = ReadTableBlockReply(request);
      break;
    case Command::WriteTableBlock:
      reply = WriteTableBlockReply(request);
      break;
  }
  const auto cut = faults_.shortReplies.find(request.command);
  if (cut != faults_.shortReplies.end()) {
    reply.resize(std::min(reply.size(), static_cast<std::size_t>(std::max(cut->second, 0))));
  }
  return reply;
}

std::vector<std::uint8_t> ScannerChannel::IdentifyReply() const {
  std::vector<std::uint8_t> reply;
  AppendNibbles(reply, identity_.tip, TipNibbles);
  AppendNibbles(reply, identity_.modif, ModifNibbles);
  AppendNibbles(reply, identity_.serial, SerialNibbles);
  AppendNibbles(reply, identity_.spare, SpareNibbles);
  AppendNibbles(reply, identity_.range, RangeNibbles);
  return reply;
}

std::vector<std::uint8_t> ScannerChannel::ReadRegisterReply(const Request& request) const {
  const auto reg = NibbleValue(request.nibbles, 0, RegisterNibbles);
  std::vector<std::uint8_t> reply;
  AppendNibbles(reply, registers_[reg], RegisterNibbles);
  return reply;
}

void ScannerChannel::WriteRegister(const Request& request) {
  const auto reg = NibbleValue(request.nibbles, 0, RegisterNibbles);
  const auto value = NibbleValue(request.nibbles, RegisterNibbles, RegisterNibbles);
  registers_[reg] = static_cast<std::uint8_t>(value);
}

std::vector<std::uint8_t> ScannerChannel::ParamStoreReply(const Request& request) {
  const auto action = static_cast<std::uint8_t>(NibbleValue(request.nibbles, 0, StoreEchoNibbles));
  switch (static_cast<StoreAction>(action)) {
    case StoreAction::SaveToFlash:
      flash_ = registers_;
      break;
    case StoreAction::RestoreDefaults:
      registers_ = factory_;
      break;
    case StoreAction::SaveAsFactory:
      factory_ = registers_;
      break;
  }
  // Whatever arrived is echoed, an action the channel does not know included.
  std::vector<std::uint8_t> reply;
  AppendNibbles(reply, action, StoreEchoNibbles);
  return reply;
}

std::vector<std::uint8_t> ScannerChannel::StatusReply() {
  std::uint8_t status = 0;
  if (busyLeft_ > 0) {
    status |= StatusBusyBit;
    --busyLeft_;
  }
  std::vector<std::uint8_t> reply;
  AppendNibbles(reply, status, StatusByteNibbles);
  // The word counts the scans started since power-up; the station does not use it.
  AppendNibbles(reply, static_cast<std::uint32_t>(scansTaken_), StatusWordNibbles);
  return reply;
}

void ScannerChannel::StartScan() {
  busyLeft_ = faults_.busyCount >= 0 ? faults_.busyCount : DefaultBusyQueries;
  ++scansTaken_;
  Scan();
}

void ScannerChannel::Scan() {
  ScanConditions conditions;
  conditions.stepMicrons = RegisterWord(RegDiskr) / DiskrPerMicron;
  conditions.range = identity_.range;
  scan_ = GenerateScan(scene_, conditions, random_);
}

std::vector<std::uint8_t> ScannerChannel::ScanReadoutReply() const {
  std::vector<std::uint8_t> reply;
  reply.reserve(static_cast<std::size_t>(ScanSamples) * SampleNibbles);
  for (const auto sample : scan_) AppendNibbles(reply, sample, SampleNibbles);
  return reply;
}

std::vector<std::uint8_t> ScannerChannel::ReadTableBlockReply(const Request& request) const {
  const int block = static_cast<int>(NibbleValue(request.nibbles, 0, RegisterNibbles));
  const int k = block - TableFirstBlock;
  // A block that the channel does not have gets no answer.
  if (k < 0 || k >= TableBlocks) return {};
  std::vector<std::uint8_t> reply;
  reply.reserve(TableBlockDataBytes);
  for (int i = 0; i < TableBlockValues; ++i) {
    const auto value = static_cast<std::uint16_t>(table_[k * TableBlockValues + i]);
    AppendNibbles(reply, value, TableValueNibbles);
  }
  return reply;
}

std::vector<std::uint8_t> ScannerChannel::WriteTableBlockReply(const Request& request) {
  const auto& n = request.nibbles;
  const int block = static_cast<int>(NibbleValue(n, TableBlockDataBytes, RegisterNibbles));
  const auto closing = NibbleValue(n, TableBlockDataBytes + TableBlockNumberBytes, RegisterNibbles);
  const int k = block - TableFirstBlock;
  const bool faulty = faults_.badAckBlock == k + 1;
  const bool valid = k >= 0 && k < TableBlocks && closing == TableBlockClose;
  std::vector<std::uint8_t> reply;
  if (!valid || faulty) {
    // A block refused is not stored.
    AppendNibbles(reply, TableBlockBadAck, AckNibbles);
    return reply;
  }
  for (int i = 0; i < TableBlockValues; ++i) {
    const auto value =
        NibbleValue(n, static_cast<std::size_t>(i) * TableValueNibbles, TableValueNibbles);
    table_[k * TableBlockValues + i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  }
  AppendNibbles(reply, TableBlockAck, AckNibbles);
  return reply;
}

int ScannerChannel::RegisterWord(int reg) const {
  return registers_[reg] | (registers_[reg + 1] << ByteBits);
}

}  // namespace qd718::sim
