#pragma once

#include <chrono>

namespace qd718 {

using Millis = std::chrono::milliseconds;
using Micros = std::chrono::microseconds;

// The protocol's pauses and time-outs go through a clock, so that tests can run the
// station on virtual time: a missing 16-byte reply then costs 2.1 virtual seconds.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(Micros duration) = 0;
  virtual Micros Now() const = 0;
};

// Real time on the steady clock.
class SystemClock final : public Clock {
 public:
  void Sleep(Micros duration) override;
  Micros Now() const override;
};

// Time that only moves when someone sleeps or advances it.
class VirtualClock final : public Clock {
 public:
  void Sleep(Micros duration) override { now_ += duration; }
  Micros Now() const override { return now_; }
  void Advance(Micros duration) { now_ += duration; }

 private:
  Micros now_{0};
};

}  // namespace qd718
