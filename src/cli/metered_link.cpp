#include "cli/metered_link.h"

#include "link/scanner_link.h"

namespace qd718::cli {

void MeteredLink::ClosePort() {
  // The real link waits after closing on its own clock; that wait is a fixed pause too.
  if (inner_.IsOpen()) closePauses_ += ClosePause;
  inner_.ClosePort();
}

int MeteredLink::ReadBytes(std::uint8_t* buffer, int count) {
  const int received = inner_.ReadBytes(buffer, count);
  replyBytes_ += received;
  return received;
}

Micros MeteredLink::Floor() const {
  return Micros(static_cast<long long>(static_cast<double>(replyBytes_) * ByteMicros)) + Pauses();
}

}  // namespace qd718::cli
