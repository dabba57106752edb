// TScannerLink on a pseudo-terminal: the line settings, raw bytes, opening and closing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <thread>

#include "link/scanner_link.h"
#include "pty/link_pty.h"

namespace qd718::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class LinkOnPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.Ok()); }

  Pty pty;
  TScannerLink link;
};

TEST_F(LinkOnPty, OpensWithTheScannersLineSettings) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(link.DevicePath(), pty.Path());
  termios t{};
  ASSERT_EQ(::tcgetattr(pty.ScannerEnd(), &t), 0);
  EXPECT_EQ(::cfgetospeed(&t), B115200);
  EXPECT_EQ(::cfgetispeed(&t), B115200);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u) << "parity, two stop bits, RTS/CTS";
  EXPECT_NE(t.c_cflag & CREAD, 0u);
  EXPECT_NE(t.c_cflag & CLOCAL, 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), 0u) << "software flow control";
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IGNBRK | BRKINT | PARMRK), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
}

TEST_F(LinkOnPty, EveryByteValueCrossesUnchangedBothWays) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  std::vector<std::uint8_t> all;
  for (int v = 0; v < 256; ++v) all.push_back(static_cast<std::uint8_t>(v));

  for (const auto b : all) ASSERT_EQ(link.WriteByte(b), 1);
  EXPECT_EQ(pty.Receive(all.size()), all);

  pty.Send(all);
  std::vector<std::uint8_t> got(all.size());
  EXPECT_EQ(link.ReadBytes(got.data(), static_cast<int>(got.size())), 256);
  EXPECT_EQ(got, all);
}

TEST_F(LinkOnPty, MissingDeviceDoesNotOpenAndCloseThenDoesNothing) {
  EXPECT_FALSE(link.OpenPort("/dev/qd718-no-such-device"));
  EXPECT_FALSE(link.IsOpen());
  const auto start = Clock::now();
  link.ClosePort();
  EXPECT_LT(Since(start), 20ms);
  std::uint8_t b = 0;
  EXPECT_EQ(link.WriteByte(0x01), 0);
  EXPECT_EQ(link.ReadBytes(&b, 1), 0);
}

TEST_F(LinkOnPty, CloseSetsBreakClosesAndPauses) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  auto start = Clock::now();
  link.ClosePort();
  EXPECT_GE(Since(start), ClosePause);
  EXPECT_FALSE(link.IsOpen());
  std::uint8_t b = 0;
  EXPECT_EQ(link.WriteByte(0x01), 0);
  start = Clock::now();
  EXPECT_EQ(link.ReadBytes(&b, 1), 0);
  EXPECT_LT(Since(start), 20ms);
  // A second close finds nothing to close and does not pause.
  start = Clock::now();
  link.ClosePort();
  EXPECT_LT(Since(start), 20ms);
  // And the same device opens again.
  EXPECT_TRUE(link.OpenPort(pty.Path()));
}

TEST_F(LinkOnPty, ASecondLinkCannotOpenTheSameDevice) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  TScannerLink second;
  EXPECT_FALSE(second.OpenPort(pty.Path()));
  EXPECT_FALSE(second.IsOpen());
  // The first link is unharmed.
  ASSERT_EQ(link.WriteByte(0x42), 1);
  EXPECT_EQ(pty.Receive(1), std::vector<std::uint8_t>{0x42});
  link.ClosePort();
  EXPECT_TRUE(second.OpenPort(pty.Path()));
}

TEST_F(LinkOnPty, ASecondNameForTheSameDeviceDoesNotGetAround) {
  // An engineer's link such as /dev/serial/by-id/usb-... leads to the same device.
  const std::string byId = "/tmp/qd718-test-by-id-" + std::to_string(::getpid());
  ASSERT_EQ(::symlink(pty.Path().c_str(), byId.c_str()), 0);
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  TScannerLink second;
  EXPECT_FALSE(second.OpenPort(byId));
  ::unlink(byId.c_str());
}

TEST_F(LinkOnPty, AStationInAnotherProcessCannotOpenTheSameDevice) {
  int ready[2];
  int done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The other station: holds the port until told to let go.
    TScannerLink other;
    const char opened = other.OpenPort(pty.Path()) ? 1 : 0;
    (void)!::write(ready[1], &opened, 1);
    char go = 0;
    (void)!::read(done[0], &go, 1);
    other.ClosePort();
    ::_exit(0);
  }
  char opened = 0;
  ASSERT_EQ(::read(ready[0], &opened, 1), 1);
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(link.OpenPort(pty.Path()));

  const char go = 1;
  (void)!::write(done[1], &go, 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(link.OpenPort(pty.Path())) << "the lock goes with the other station";
  for (const int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

TEST_F(LinkOnPty, OpeningAnotherPortReleasesTheOldOneFirst) {
  Pty other;
  ASSERT_TRUE(other.Ok());
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  ASSERT_TRUE(link.OpenPort(other.Path()));
  TScannerLink second;
  EXPECT_TRUE(second.OpenPort(pty.Path())) << "the first port is free again";
  second.ClosePort();

  // Even when the new port cannot be opened.
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  EXPECT_FALSE(link.OpenPort("/dev/qd718-no-such-device"));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_TRUE(second.OpenPort(pty.Path()));
}

TEST_F(LinkOnPty, ReopeningTheSamePortWorks) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  ASSERT_EQ(link.WriteByte(0x42), 1);
  EXPECT_EQ(pty.Receive(1), std::vector<std::uint8_t>{0x42});
}

// The purge lets written request bytes go out and drops only what came in.

TEST_F(LinkOnPty, PurgeNeverDropsBytesAlreadyWritten) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  constexpr int Requests = 200;
  const std::vector<std::uint8_t> startScan{0x01, 0x8C, 0x81, 0x80};
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < Requests; ++i) {
    for (const auto b : startScan) ASSERT_EQ(link.WriteByte(b), 1);
    link.PurgeBuffers();
    expected.insert(expected.end(), startScan.begin(), startScan.end());
  }
  EXPECT_EQ(pty.Receive(expected.size()), expected);
}

TEST_F(LinkOnPty, PurgeDropsWhatWasReceivedAndNotRead) {
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  pty.Send({1, 2, 3, 4, 5});
  std::uint8_t b = 0;
  // Some of the stale reply may already sit in Qt's own buffer.
  ASSERT_EQ(link.ReadBytes(&b, 1), 1);
  pty.Send({6, 7});
  std::this_thread::sleep_for(20ms);
  link.PurgeBuffers();
  pty.Send({0x42});
  std::uint8_t reply[2] = {};
  EXPECT_EQ(link.ReadBytes(reply, 1), 1);
  EXPECT_EQ(reply[0], 0x42);
}

}  // namespace
}  // namespace qd718::test
