#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <string>

#include "link/clock.h"

namespace qd718 {

// Thrown from the next wait of a link whose operation the engineer stopped ("Stop", or
// closing the window). It unwinds the running handler silently: no message box, and what
// the handler had changed stays changed, as after a failure at that point.
class OperationCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "operation cancelled"; }
};

// Waits and pauses are cut into slices of at most this length, so a cancel takes effect
// within one slice.
inline constexpr Millis CancelSlice{50};

// The station's only connection to the scanner. All protocol traffic is built from
// PurgeBuffers, WriteByte and ReadBytes; callers judge success by byte counts alone.
class Link {
 public:
  virtual ~Link() = default;

  // Opens the named port with the scanner's line settings, closing a port left open first.
  // Returns false when the device cannot be opened; the caller shows the message.
  virtual bool OpenPort(const std::string& name) = 0;
  // Sets break, closes, waits 100 ms; does nothing (and does not wait) when closed.
  virtual void ClosePort() = 0;
  virtual bool IsOpen() const = 0;

  // Drops what was received and not read, after the bytes already written have left.
  virtual void PurgeBuffers() = 0;
  // One byte; returns 1, or 0 on failure, time-out or a closed port.
  virtual int WriteByte(std::uint8_t byte) = 0;
  // Reads up to count bytes under the read time-out rule; returns how many arrived.
  virtual int ReadBytes(std::uint8_t* buffer, int count) = 0;

  virtual Clock& GetClock() = 0;

  // A protocol pause, cut into cancellable slices.
  void Pause(Millis duration);

  // Cancellation, safe to call from any thread.
  void Cancel() { cancelled_.store(true); }
  void ResetCancel() { cancelled_.store(false); }
  bool IsCancelled() const { return cancelled_.load(); }
  void ThrowIfCancelled() const {
    if (IsCancelled()) throw OperationCancelled{};
  }

 private:
  std::atomic<bool> cancelled_{false};
};

}  // namespace qd718
