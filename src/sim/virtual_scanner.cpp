#include "sim/virtual_scanner.h"

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <stdexcept>

#include "sim/request_parser.h"
#include "sim/scanner_channel.h"
#include "sim/scenes.h"

namespace qd718::sim {

namespace {

// The identity of the virtual QD718.
constexpr int VirtualTip = 7;
constexpr int VirtualModif = 18;
constexpr int SerialBase = 1000;
constexpr int SerialSpan = 9000;  // serial numbers 1000..9999, picked by the seed
constexpr int FirmwareWord = 0x0103;
constexpr int VirtualRange = 10;  // millimetres: heights up to 10000 micrometres

ChannelFaults FaultsOf(const Faults& faults, int channel) {
  ChannelFaults mine;
  mine.silent =
      std::find(faults.silent.begin(), faults.silent.end(), channel) != faults.silent.end();
  for (const auto& cut : faults.shortReplies) {
    if (cut.channel == channel) mine.shortReplies[cut.command] = cut.bytes;
  }
  if (const auto it = faults.busyCount.find(channel); it != faults.busyCount.end()) {
    mine.busyCount = it->second;
  }
  if (const auto it = faults.badAckBlock.find(channel); it != faults.badAckBlock.end()) {
    mine.badAckBlock = it->second;
  }
  return mine;
}

std::uint32_t ChannelSeed(std::uint32_t seed, int channel) {
  std::seed_seq sequence{seed, static_cast<std::uint32_t>(channel)};
  std::uint32_t out = 0;
  sequence.generate(&out, &out + 1);
  return out;
}

}  // namespace

struct VirtualScanner::Impl {
  Scene scene;
  RequestParser parser;
  std::vector<ScannerChannel> channels;

  explicit Impl(const ScannerOptions& options) : scene(SceneOrThrow(options.scene)) {
    channels.reserve(ChannelCount);
    const int serial = SerialBase + static_cast<int>(options.seed % SerialSpan);
    for (int channel = FirstChannel; channel <= LastChannel; ++channel) {
      const ChannelIdentity identity{VirtualTip, VirtualModif, serial, FirmwareWord, VirtualRange};
      channels.emplace_back(identity, scene, ChannelSeed(options.seed, channel),
                            FaultsOf(options.faults, channel));
    }
  }

  static Scene SceneOrThrow(const std::string& name) {
    auto scene = MakeScene(name);
    if (!scene) throw std::invalid_argument("unknown scene: " + name);
    return *scene;
  }

  ScannerChannel& Channel(int channel) {
    if (channel < FirstChannel || channel > LastChannel) {
      throw std::out_of_range("no channel " + std::to_string(channel));
    }
    return channels[channel - FirstChannel];
  }
};

VirtualScanner::VirtualScanner(ScannerOptions options) : impl_(std::make_unique<Impl>(options)) {}

VirtualScanner::~VirtualScanner() = default;

void VirtualScanner::Receive(std::uint8_t byte) {
  received_.push_back(byte);
  const auto request = impl_->parser.Feed(byte);
  if (!request) return;
  const auto reply = impl_->Channel(request->channel).Answer(*request);
  output_.insert(output_.end(), reply.begin(), reply.end());
}

std::vector<std::uint8_t> VirtualScanner::TakeOutput(std::size_t maxBytes) {
  const std::size_t count = std::min(maxBytes, output_.size());
  std::vector<std::uint8_t> out(output_.begin(), output_.begin() + static_cast<long>(count));
  output_.erase(output_.begin(), output_.begin() + static_cast<long>(count));
  return out;
}

void VirtualScanner::DropPartialRequest() {
  impl_->parser.Reset();
}

std::uint8_t VirtualScanner::Register(int channel, int reg) const {
  return impl_->Channel(channel).Registers().at(reg);
}

void VirtualScanner::SetRegister(int channel, int reg, std::uint8_t value) {
  impl_->Channel(channel).Registers().at(reg) = value;
}

std::uint8_t VirtualScanner::FlashRegister(int channel, int reg) const {
  return impl_->Channel(channel).Flash().at(reg);
}

std::uint8_t VirtualScanner::FactoryRegister(int channel, int reg) const {
  return impl_->Channel(channel).Factory().at(reg);
}

std::int16_t VirtualScanner::TableEntry(int channel, int index) const {
  return impl_->Channel(channel).Table().at(index);
}

void VirtualScanner::SetTableEntry(int channel, int index, std::int16_t value) {
  impl_->Channel(channel).Table().at(index) = value;
}

const std::vector<std::uint16_t>& VirtualScanner::LastScan(int channel) const {
  return impl_->Channel(channel).LastScan();
}

int VirtualScanner::Tip() const {
  return impl_->channels.front().Identity().tip;
}
int VirtualScanner::Modif() const {
  return impl_->channels.front().Identity().modif;
}
int VirtualScanner::Serial() const {
  return impl_->channels.front().Identity().serial;
}
int VirtualScanner::Range(int channel) const {
  return impl_->Channel(channel).Identity().range;
}

}  // namespace qd718::sim
