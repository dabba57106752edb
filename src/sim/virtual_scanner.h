#pragma once

// A virtual QD718: the device side of the wire protocol, written on its own. It shares only
// the command codes with the station, so an encoding mistake cannot hide on both sides.
// Bytes go in one at a time as the line delivers them; reply bytes come out as the device
// would send them. No clock: busy periods are counted in status queries.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qd718::sim {

struct ShortReply {
  int channel;
  std::uint8_t command;  // the command byte, 0x81 .. 0x8D
  int bytes;             // how many reply bytes the channel sends
};

struct Faults {
  std::vector<int> silent;               // channels that never answer
  std::vector<ShortReply> shortReplies;  // a channel answering a command with too few bytes
  std::map<int, int> busyCount;          // channel -> status queries answered busy after a start
  std::map<int, int> badAckBlock;        // channel -> table write block (1-6) acknowledged wrong
};

struct ScannerOptions {
  std::string scene = "groove";  // what lies under the heads: groove, ridge, step, plate
  std::uint32_t seed = 1;
  Faults faults;
};

class VirtualScanner {
 public:
  // Throws std::invalid_argument for a scene name that is not one.
  explicit VirtualScanner(ScannerOptions options = {});
  ~VirtualScanner();
  VirtualScanner(const VirtualScanner&) = delete;
  VirtualScanner& operator=(const VirtualScanner&) = delete;

  // One request byte from the station.
  void Receive(std::uint8_t byte);
  // Reply bytes waiting to go out, in order; TakeOutput removes them.
  std::size_t PendingOutput() const { return output_.size(); }
  std::vector<std::uint8_t> TakeOutput(std::size_t maxBytes = SIZE_MAX);
  // The station purged: a half-received request is forgotten.
  void DropPartialRequest();

  // Inspection and set-up for tests.
  std::uint8_t Register(int channel, int reg) const;
  void SetRegister(int channel, int reg, std::uint8_t value);
  std::uint8_t FlashRegister(int channel, int reg) const;
  std::uint8_t FactoryRegister(int channel, int reg) const;
  std::int16_t TableEntry(int channel, int index) const;
  void SetTableEntry(int channel, int index, std::int16_t value);
  // The raw samples of the channel's last scan, as the readout sends them.
  const std::vector<std::uint16_t>& LastScan(int channel) const;
  // Every byte received, in order.
  const std::vector<std::uint8_t>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }
  // The identity that the scanner reports.
  int Tip() const;
  int Modif() const;
  int Serial() const;
  int Range(int channel) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::deque<std::uint8_t> output_;
  std::vector<std::uint8_t> received_;
};

}  // namespace qd718::sim
