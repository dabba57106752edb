// PrepareScan: start each channel's scan and poll its status until it is no longer busy.

#include <gtest/gtest.h>

#include <functional>

#include "link/protocol.h"
#include "link/scanner_link.h"
#include "unit/protocol_scripted_link.h"

namespace qd718::test {
namespace {

constexpr int Busy = 0x01;
constexpr int Idle = 0x02;  // other bits set, busy bit clear
constexpr Millis StatusTimeOut = ReadTotalTimeout(StatusReplyBytes);

Bytes StatusReply(int status) {
  return {
      static_cast<std::uint8_t>(status & 0x0F), static_cast<std::uint8_t>(status >> 4), 0, 0, 0, 0};
}
const Bytes Silent{};

LineLog StartScanRequest(int channel) {
  return Exchange({channel, 0x8C, 0x81, 0x80});
}
LineLog StatusRequests(int channel, int times) {
  LineLog log;
  for (int i = 0; i < times; ++i) log = Concat({log, Exchange({channel, 0x8B})});
  return log;
}

// A scanner whose channels answer the k-th status query after a scan start by a rule.
class PrepareScanTest : public ::testing::Test {
 protected:
  using StatusRule = std::function<Bytes(int query)>;

  void SetUp() override {
    link.responder = [this](const Bytes& request) {
      const int channel = request.at(0);
      return rules[channel - 1](queries[channel - 1]++);
    };
  }

  // When the first byte of channel 2's scan start went out.
  Micros Channel2Start() const {
    const LineLog start = StartScanRequest(2);
    const auto at = std::search(link.log.begin(), link.log.end(), start.begin(), start.end());
    const auto bytesBefore = std::count_if(link.log.begin(), at, [](int b) { return b >= 0; });
    return link.writeTimes.at(static_cast<std::size_t>(bytesBefore));
  }

  ScriptedLink link;
  StatusRule rules[2];
  int queries[2] = {0, 0};
  int scanStatus = 0;
};

TEST_F(PrepareScanTest, PollsEachChannelUntilIdleThenQueriesOnceMore) {
  rules[0] = [](int q) { return StatusReply(q < 2 ? Busy : Idle); };
  rules[1] = [](int) { return StatusReply(Idle); };
  PrepareScan(link, scanStatus);
  EXPECT_EQ(link.log, Concat({StartScanRequest(1), StatusRequests(1, 4), StartScanRequest(2),
                              StatusRequests(2, 2)}));
  EXPECT_EQ(scanStatus, Idle);
}

TEST_F(PrepareScanTest, SilentChannelCostsOneTimeOutPlusTheFinalQuery) {
  rules[0] = [](int) { return Silent; };
  rules[1] = [](int) { return StatusReply(Idle); };
  PrepareScan(link, scanStatus);
  EXPECT_EQ(link.log, Concat({StartScanRequest(1), StatusRequests(1, 2), StartScanRequest(2),
                              StatusRequests(2, 2)}));
  EXPECT_GE(Channel2Start(), 2 * StatusTimeOut);
  EXPECT_LT(Channel2Start(), 2 * StatusTimeOut + Millis{10});
}

TEST_F(PrepareScanTest, SilentChannelLeavesTheStatusAtBusy) {
  rules[0] = [](int) { return StatusReply(Idle); };
  rules[1] = [](int) { return Silent; };
  PrepareScan(link, scanStatus);
  EXPECT_EQ(scanStatus, 1);
}

TEST_F(PrepareScanTest, IncompleteStatusEndsThePolling) {
  rules[0] = [](int q) { return q == 1 ? Bytes{0x01, 0x00, 0x00} : StatusReply(Busy); };
  rules[1] = [](int) { return StatusReply(Idle); };
  PrepareScan(link, scanStatus);
  EXPECT_EQ(queries[0], 3);  // busy, incomplete, the final query
}

TEST_F(PrepareScanTest, ChannelThatStaysBusyIsLeftAfterTheBound) {
  rules[0] = [](int) { return StatusReply(Busy); };
  rules[1] = [](int) { return StatusReply(Idle); };
  PrepareScan(link, scanStatus);
  EXPECT_GE(Channel2Start(), BusyPollLimit);
  EXPECT_LT(Channel2Start(), BusyPollLimit + Millis{100});
  EXPECT_EQ(queries[1], 2);
}

TEST_F(PrepareScanTest, StopCancelsTheBusyPolling) {
  rules[0] = [this](int q) {
    if (q == 5) link.Cancel();
    return StatusReply(Busy);
  };
  rules[1] = [](int) { return StatusReply(Idle); };
  EXPECT_THROW(PrepareScan(link, scanStatus), OperationCancelled);
  EXPECT_EQ(queries[1], 0);
}

}  // namespace
}  // namespace qd718::test
