// TScannerLink's read time-outs, cancellation and a scanner that goes away, in real time.

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "link/scanner_link.h"
#include "pty/link_pty.h"

namespace qd718::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Lower bounds are tight; upper bounds leave room for a busy machine.
constexpr auto Early = 5ms;
constexpr auto Slack = 250ms;

class LinkTiming : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(link.OpenPort(pty.Path()));
  }
  void TearDown() override {
    if (scanner.joinable()) scanner.join();
  }

  // The scanner end sends each group of bytes after its delay from the previous one.
  void Play(std::vector<std::pair<std::chrono::milliseconds, std::vector<std::uint8_t>>> script) {
    scanner = std::thread([this, script] {
      for (const auto& [delay, bytes] : script) {
        std::this_thread::sleep_for(delay);
        pty.Send(bytes);
      }
    });
  }

  Pty pty;
  TScannerLink link;
  std::thread scanner;
  std::uint8_t buffer[64] = {};
};

TEST_F(LinkTiming, SilentLineEndsAfterTheTotalTimeOut) {
  for (const int count : {2, 6}) {
    const auto start = Clock::now();
    EXPECT_EQ(link.ReadBytes(buffer, count), 0);
    const auto took = Since(start);
    EXPECT_GE(took, ReadTotalTimeout(count) - Early) << count << " bytes";
    EXPECT_LT(took, ReadTotalTimeout(count) + Slack) << count << " bytes";
  }
}

TEST_F(LinkTiming, FullReplyEndsTheReadAtOnce) {
  Play({{50ms, {1, 2, 3, 4, 5, 6}}});
  const auto start = Clock::now();
  EXPECT_EQ(link.ReadBytes(buffer, 6), 6);
  EXPECT_LT(Since(start), 50ms + Slack);
}

TEST_F(LinkTiming, ReplyThatStopsHalfWayEndsAnIntervalAfterItsLastByte) {
  Play({{200ms, {1, 2, 3}}});
  const auto start = Clock::now();
  EXPECT_EQ(link.ReadBytes(buffer, 6), 3);
  const auto took = Since(start);
  EXPECT_GE(took, 200ms + ReadIntervalTimeout - Early);
  EXPECT_LT(took, 200ms + ReadIntervalTimeout + Slack);
  EXPECT_EQ(buffer[2], 3);
}

TEST_F(LinkTiming, BytesCloserThanTheIntervalKeepTheReadGoing) {
  Play({{0ms, {1}}, {60ms, {2}}, {60ms, {3}}, {60ms, {4}}});
  EXPECT_EQ(link.ReadBytes(buffer, 4), 4);
}

TEST_F(LinkTiming, AGapLongerThanTheIntervalEndsTheRead) {
  Play({{0ms, {1}}, {250ms, {2}}});
  EXPECT_EQ(link.ReadBytes(buffer, 2), 1);
}

TEST_F(LinkTiming, LateBytesStillEndAtTheTotalTimeOut) {
  // The first byte comes late; the second would come within the interval, but after the
  // total time-out of the read.
  Play({{620ms, {1}}, {95ms, {2}}});
  const auto start = Clock::now();
  EXPECT_EQ(link.ReadBytes(buffer, 2), 1);
  EXPECT_LT(Since(start), ReadTotalTimeout(2) + Slack);
}

TEST_F(LinkTiming, StopEndsALongReadWithinASlice) {
  std::promise<Clock::time_point> cancelledAt;
  std::thread stopper([&] {
    std::this_thread::sleep_for(300ms);
    cancelledAt.set_value(Clock::now());
    link.Cancel();
  });
  EXPECT_THROW(link.ReadBytes(buffer, 16), OperationCancelled);
  const auto ended = Clock::now();
  stopper.join();
  EXPECT_LT(ended - cancelledAt.get_future().get(), CancelSlice + 100ms);

  // The port stays usable once the flag is reset, and closing works while cancelled.
  link.ResetCancel();
  EXPECT_EQ(link.WriteByte(0x42), 1);
  link.Cancel();
  link.ClosePort();
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(LinkTiming, ScannerVanishingMidReplyGivesAShortReplyAndCloseStillWorks) {
  scanner = std::thread([this] {
    pty.Send({1, 2});
    std::this_thread::sleep_for(50ms);
    pty.CloseScannerEnd();
    pty.ReleaseDeviceEnd();
  });
  const auto start = Clock::now();
  EXPECT_EQ(link.ReadBytes(buffer, 6), 2);
  EXPECT_LT(Since(start), ReadTotalTimeout(6) + Slack);
  scanner.join();

  // Every later exchange finds no scanner, within the time-outs.
  for (int i = 0; i < 3; ++i) {
    link.PurgeBuffers();
    link.WriteByte(0x01);
    const auto t = Clock::now();
    EXPECT_EQ(link.ReadBytes(buffer, 2), 0);
    EXPECT_LT(Since(t), ReadTotalTimeout(2) + Slack);
  }
  link.ClosePort();
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace qd718::test
