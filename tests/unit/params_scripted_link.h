#pragma once

// A tiny scanner behind a Link, for the parameter, connection and table tests: it answers the
// identify, register, parameter-store and table-block requests from a few fields, and lets a
// test replace any answer with exact odd bytes (a wrong echo, an acknowledgement 0x8A 0x85, a
// block one byte short). Time runs on a virtual clock; a short read costs the link's time-out.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/link.h"

namespace qd718::test {

using Bytes = std::vector<std::uint8_t>;

struct ScriptedIdentity {
  int Tip = 0;
  int Modif = 0;
  int Ser = 0;
  int Diapaz = 0;
};

class ScriptedLink final : public Link {
 public:
  ScriptedLink();

  // --- the device ---
  std::array<ScriptedIdentity, 2> identity{};
  std::array<std::array<std::uint8_t, 256>, 2> registers{};
  std::array<std::array<std::int16_t, 3072>, 2> table{};
  std::set<int> silent;  // channels that answer nothing
  // Identify requests of a channel that go unanswered before it starts answering.
  std::map<int, int> unansweredGreetings;
  // Register reads of a channel answered before it falls silent (absent: no limit).
  std::map<int, int> registerRepliesLeft;
  // Replaces the answer to a request: gets the whole request (address byte first) and returns
  // the reply bytes, or nothing to let the device answer.
  std::function<std::optional<Bytes>(const Bytes& request)> answer;

  void SetRegisterWord(int channel, int reg, int value);
  int RegisterWord(int channel, int reg) const;

  // --- the line ---
  std::set<std::string> availablePorts{"COM1", "\\\\.\\COM1"};
  std::vector<std::string> opened;
  int closes = 0;
  Bytes written;                // every request byte, in order
  std::vector<Bytes> requests;  // each request as the device saw it at its reply
  int failWritesAfter = -1;     // writes fail (send 0 bytes) after this many more; -1 never

  bool OpenPort(const std::string& name) override;
  void ClosePort() override;
  bool IsOpen() const override { return open_; }
  void PurgeBuffers() override;
  int WriteByte(std::uint8_t byte) override;
  int ReadBytes(std::uint8_t* buffer, int count) override;
  Clock& GetClock() override { return clock_; }
  VirtualClock& Virtual() { return clock_; }

  // Requests whose command byte (second byte) is the given one.
  std::vector<Bytes> RequestsWith(std::uint8_t command) const;

 private:
  Bytes Respond(const Bytes& request);
  // Requests that carry no reply (register writes, scan start) are settled as they complete.
  void SettleWrites();

  VirtualClock clock_;
  bool open_ = true;
  Bytes pending_;
};

// The four nibble bytes of a 16-bit table value, least significant first, marker bits set.
Bytes TableValueBytes(std::int16_t value);

}  // namespace qd718::test
