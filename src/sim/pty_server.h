#pragma once

// The virtual scanner on a pseudo-terminal: request bytes are fed to the scanner as they
// arrive, its replies go back at once or, paced, at the line rate of 115200 baud 8N1.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

#include "sim/virtual_scanner.h"

namespace qd718::sim {

// Ten bits a byte (start, eight data, stop) at 115200 baud.
inline constexpr std::chrono::nanoseconds PacedByteTime{86806};

class PtyServer {
 public:
  PtyServer(VirtualScanner& scanner, bool pace);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Opens the pseudo-terminal, raw and without echo on both ends; throws std::runtime_error.
  void Open();
  // The device end, for the station.
  const std::string& DevicePath() const { return devicePath_; }
  // Serves until stop becomes true; notices it within StopLatency.
  void Run(const std::atomic<bool>& stop);

  static constexpr std::chrono::milliseconds StopLatency{50};

 private:
  void ReadRequests();
  void WriteReplies();
  // The station threw away what it had received: what is still queued here is stale too.
  void DropReplies();
  std::chrono::nanoseconds NextWriteDelay() const;

  VirtualScanner& scanner_;
  bool pace_;
  int master_ = -1;
  int keepSlave_ = -1;  // keeps the pty alive while the station has its port closed
  std::string devicePath_;
  std::deque<std::uint8_t> pending_;
  // Paced sending: a burst of reply bytes is scheduled from its start, so the average rate
  // stays exact however late each wake-up comes.
  std::chrono::steady_clock::time_point burstStart_{};
  long long burstSent_ = 0;
  bool stalled_ = false;  // the last write did not take every byte offered
};

}  // namespace qd718::sim
