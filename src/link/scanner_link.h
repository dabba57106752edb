#pragma once

// The serial link to the scanner on QSerialPort, in blocking mode. It lives on the scanner
// thread, which also owns the QSerialPort.

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

class TScannerLink final : public Link {
 public:
  TScannerLink();
  ~TScannerLink() override;

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
  std::unique_ptr<QSerialPort> port_;
  SystemClock clock_;
  std::string devicePath_;
};

}  // namespace qd718
