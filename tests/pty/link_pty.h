#pragma once

// A pseudo-terminal for the serial link to open: the link opens the device end by its path,
// the test plays the scanner on the other end.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace qd718::test {

class Pty {
 public:
  Pty() {
    char name[128] = {};
    if (::openpty(&master_, &device_, name, nullptr, nullptr) == 0) path_ = name;
    // The device end stays open here too, so the scanner end never sees a hang-up while the
    // link closes and reopens.
  }
  ~Pty() {
    CloseScannerEnd();
    if (device_ >= 0) ::close(device_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool Ok() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  // The scanner's end; tcgetattr on it reads the device end's line settings.
  int ScannerEnd() const { return master_; }

  void Send(const std::vector<std::uint8_t>& bytes) const {
    if (!bytes.empty()) (void)!::write(master_, bytes.data(), bytes.size());
  }

  // What the link sent, as far as it arrives within the wait.
  std::vector<std::uint8_t> Receive(std::size_t expected,
                                    std::chrono::milliseconds wait = std::chrono::milliseconds{
                                        500}) const {
    std::vector<std::uint8_t> got;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (got.size() < expected) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t buffer[4096];
      const auto n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  // The scanner goes away: its end closes.
  void CloseScannerEnd() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  // Nothing of the device end stays open here.
  void ReleaseDeviceEnd() {
    if (device_ >= 0) ::close(device_);
    device_ = -1;
  }

 private:
  int master_ = -1;
  int device_ = -1;
  std::string path_;
};

// Real time, for the timing rules of the line.
inline std::chrono::milliseconds Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

}  // namespace qd718::test
