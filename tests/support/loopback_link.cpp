#include "support/loopback_link.h"

#include <algorithm>

#include "link/scanner_link.h"

namespace qd718::test {

namespace {

// One byte at 115200 baud 8N1: ten bits.
constexpr Micros ByteTime{87};

}  // namespace

LoopbackLink::LoopbackLink(sim::VirtualScanner& scanner) : scanner_(scanner) {}

bool LoopbackLink::OpenPort(const std::string& name) {
  open_ = false;  // a port left open is closed first, without the pause
  opened.push_back(name);
  open_ = availablePorts.count(name) > 0;
  return open_;
}

void LoopbackLink::ClosePort() {
  if (!open_) return;
  open_ = false;
  ++closes;
  clock_.Sleep(ClosePause);
}

void LoopbackLink::PurgeBuffers() {
  ThrowIfCancelled();
  if (!open_) return;
  scanner_.TakeOutput();
}

int LoopbackLink::WriteByte(std::uint8_t byte) {
  ThrowIfCancelled();
  if (!open_) return 0;
  if (failWritesAfter == 0) return 0;
  if (failWritesAfter > 0) --failWritesAfter;
  written.push_back(byte);
  clock_.Sleep(ByteTime);
  scanner_.Receive(byte);
  return 1;
}

int LoopbackLink::ReadBytes(std::uint8_t* buffer, int count) {
  ThrowIfCancelled();
  if (!open_ || count <= 0) return 0;
  const auto reply = scanner_.TakeOutput(static_cast<std::size_t>(count));
  std::copy(reply.begin(), reply.end(), buffer);
  const int got = static_cast<int>(reply.size());
  clock_.Sleep(ByteTime * got);
  if (got == 0) {
    clock_.Sleep(ReadTotalTimeoutConstant + ReadTotalTimeoutMultiplier * count);
  } else if (got < count) {
    clock_.Sleep(ReadIntervalTimeout);
  }
  return got;
}

}  // namespace qd718::test
