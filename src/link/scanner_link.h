#pragma once

// The serial link to the scanner on QSerialPort, in blocking mode: no event loop, every call
// waits for its own bytes. It lives on the scanner thread; the QSerialPort is made by the
// first OpenPort, so it belongs to the thread that uses it.

#include <memory>
#include <string>

#include "link/link.h"

class QSerialPort;

namespace qd718 {

inline constexpr int BaudRate = 115200;
// Read time-outs: a read ends when more than ReadIntervalTimeout passes between two bytes
// after the first, or at the latest ReadTotalTimeoutConstant + n * ReadTotalTimeoutMultiplier
// after the call.
inline constexpr Millis ReadIntervalTimeout{100};
inline constexpr Millis ReadTotalTimeoutMultiplier{100};
inline constexpr Millis ReadTotalTimeoutConstant{500};
inline constexpr Millis WriteTotalTimeoutMultiplier{100};
inline constexpr Millis WriteTotalTimeoutConstant{100};
inline constexpr Millis ClosePause{100};

// The longest a read of count bytes may take.
constexpr Millis ReadTotalTimeout(int count) {
  return ReadTotalTimeoutConstant + ReadTotalTimeoutMultiplier * count;
}

class TScannerLink final : public Link {
 public:
  TScannerLink();
  ~TScannerLink() override;

  // Exclusive: a second link, in this process or another, cannot open the same device.
  bool OpenPort(const std::string& name) override;
  void ClosePort() override;
  bool IsOpen() const override;
  void PurgeBuffers() override;
  int WriteByte(std::uint8_t byte) override;
  int ReadBytes(std::uint8_t* buffer, int count) override;
  Clock& GetClock() override { return clock_; }

  // The device that the open port (or the last name tried) leads to.
  std::string DevicePath() const { return devicePath_; }

 private:
  // Sets break and closes, without the pause.
  void ReleasePort();
  // Waits until Qt's own write buffer and the driver's transmit queue are empty, at most
  // limit; false when the bytes did not leave.
  bool DrainOutput(Millis limit);
  // Waits for incoming bytes at most until deadline (one cancellable slice); false when the
  // device is gone.
  bool WaitForInput(Micros deadline);

  std::unique_ptr<QSerialPort> port_;
  SystemClock clock_;
  std::string devicePath_;
};

}  // namespace qd718
