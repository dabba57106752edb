#pragma once

// A link that counts what the wire-time floor of a run is made of: the reply bytes that
// actually arrived and the protocol's fixed pauses (including the pause of the close). It
// passes every call on to the real link unchanged.

#include "link/link.h"

namespace qd718::cli {

// Time on the wire of one byte at 115200 baud, 8N1: ten bits.
inline constexpr double ByteMicros = 1e6 * 10 / 115200;

class MeteredLink final : public Link {
 public:
  explicit MeteredLink(Link& inner) : inner_(inner), clock_(inner.GetClock()) {}

  bool OpenPort(const std::string& name) override { return inner_.OpenPort(name); }
  void ClosePort() override;
  bool IsOpen() const override { return inner_.IsOpen(); }
  void PurgeBuffers() override { inner_.PurgeBuffers(); }
  int WriteByte(std::uint8_t byte) override { return inner_.WriteByte(byte); }
  int ReadBytes(std::uint8_t* buffer, int count) override;
  // Protocol pauses (Link::Pause) sleep on this clock, which adds them up.
  Clock& GetClock() override { return clock_; }

  long long ReplyBytes() const { return replyBytes_; }
  Micros Pauses() const { return clock_.slept + closePauses_; }
  // Reply bytes at the line rate plus the pauses.
  Micros Floor() const;

 private:
  class CountingClock final : public Clock {
   public:
    explicit CountingClock(Clock& inner) : inner_(inner) {}
    void Sleep(Micros duration) override {
      slept += duration;
      inner_.Sleep(duration);
    }
    Micros Now() const override { return inner_.Now(); }
    Micros slept{0};

   private:
    Clock& inner_;
  };

  Link& inner_;
  CountingClock clock_;
  long long replyBytes_ = 0;
  Micros closePauses_{0};
};

}  // namespace qd718::cli
