#pragma once

// The station's Link wired straight to a VirtualScanner on a virtual clock: exact bytes, no
// real time. A read that finds fewer bytes than asked for costs the time the serial link's
// time-out rule would cost.

#include <set>
#include <string>

#include "link/clock.h"
#include "link/link.h"
#include "sim/virtual_scanner.h"

namespace qd718::test {

class LoopbackLink final : public Link {
 public:
  explicit LoopbackLink(sim::VirtualScanner& scanner);

  // Ports that open; "COM1" and "\\.\COM1" by default. An empty set makes every open fail.
  std::set<std::string> availablePorts{"COM1", "\\\\.\\COM1"};
  // Starts open, as if a port had been chosen.
  bool OpenPort(const std::string& name) override;
  void ClosePort() override;
  bool IsOpen() const override { return open_; }
  void PurgeBuffers() override;
  int WriteByte(std::uint8_t byte) override;
  int ReadBytes(std::uint8_t* buffer, int count) override;
  Clock& GetClock() override { return clock_; }

  VirtualClock& Virtual() { return clock_; }
  // The names OpenPort was called with, and how often ClosePort closed an open port.
  std::vector<std::string> opened;
  int closes = 0;
  // Every request byte written, in order (the scanner sees the same bytes).
  std::vector<std::uint8_t> written;
  // Writes fail (return 0) after this many more bytes; -1 never.
  int failWritesAfter = -1;

 private:
  sim::VirtualScanner& scanner_;
  VirtualClock clock_;
  bool open_ = true;
};

}  // namespace qd718::test
