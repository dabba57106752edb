#include "unit/protocol_scripted_link.h"

#include <algorithm>

#include "link/scanner_link.h"

namespace qd718::test {

namespace {

// One byte at 115200 baud 8N1: ten bits.
constexpr Micros ByteTime{87};

}  // namespace

void ScriptedLink::PurgeBuffers() {
  ThrowIfCancelled();
  log.push_back(PurgeMark);
  request_.clear();
}

int ScriptedLink::WriteByte(std::uint8_t byte) {
  ThrowIfCancelled();
  if (failWritesAfter == 0) return 0;
  if (failWritesAfter > 0) --failWritesAfter;
  clock_.Sleep(ByteTime);
  log.push_back(byte);
  writeTimes.push_back(clock_.Now());
  request_.push_back(byte);
  return 1;
}

int ScriptedLink::ReadBytes(std::uint8_t* buffer, int count) {
  ThrowIfCancelled();
  Bytes reply;
  if (responder) {
    reply = responder(request_);
  } else if (!replies.empty()) {
    reply = replies.front();
    replies.pop_front();
  }
  const int got = std::min(count, static_cast<int>(reply.size()));
  std::copy_n(reply.begin(), got, buffer);
  clock_.Sleep(ByteTime * got);
  // The serial link's time-out rule: a silent line costs the whole read time-out, a reply
  // that stops short costs the interval time-out after its last byte.
  if (got == 0) {
    clock_.Sleep(ReadTotalTimeout(count));
  } else if (got < count) {
    clock_.Sleep(ReadIntervalTimeout);
  }
  readTimes.push_back(clock_.Now());
  readSizes.push_back(count);
  return got;
}

LineLog Exchange(std::initializer_list<int> bytes) {
  LineLog log{PurgeMark};
  log.insert(log.end(), bytes);
  return log;
}

LineLog Concat(std::initializer_list<LineLog> parts) {
  LineLog all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace qd718::test
