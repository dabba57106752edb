#pragma once

// A Link that records everything the station does on the line and plays back canned replies:
// exact request bytes, purges and their times on a virtual clock, and replies that are short
// or missing on purpose. Reads and writes cost what the serial link would make them cost.

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "link/clock.h"
#include "link/link.h"

namespace qd718::test {

// One entry of the line log: a request byte, or a purge.
inline constexpr int PurgeMark = -1;
using LineLog = std::vector<int>;
using Bytes = std::vector<std::uint8_t>;

class ScriptedLink final : public Link {
 public:
  bool OpenPort(const std::string&) override { return true; }
  void ClosePort() override {}
  bool IsOpen() const override { return true; }
  void PurgeBuffers() override;
  int WriteByte(std::uint8_t byte) override;
  int ReadBytes(std::uint8_t* buffer, int count) override;
  Clock& GetClock() override { return clock_; }

  // Replies handed out one per read, in order; an empty queue is a silent line.
  std::deque<Bytes> replies;
  // When set, answers each read instead: it sees the request bytes since the last purge.
  std::function<Bytes(const Bytes& request)> responder;
  // Writes fail (return 0) after this many more bytes; -1 never.
  int failWritesAfter = -1;

  // Everything written (and purged), and when each byte went out.
  LineLog log;
  std::vector<Micros> writeTimes;
  // When each read ended, and how many bytes it asked for.
  std::vector<Micros> readTimes;
  std::vector<int> readSizes;

  Micros Now() const { return clock_.Now(); }

 private:
  VirtualClock clock_;
  Bytes request_;
};

// The log of one exchange: a purge, then the bytes.
LineLog Exchange(std::initializer_list<int> bytes);
LineLog Concat(std::initializer_list<LineLog> parts);

}  // namespace qd718::test
