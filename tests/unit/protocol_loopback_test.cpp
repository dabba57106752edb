// The protocol against the virtual scanner: what the station sends is what the device does.

#include <gtest/gtest.h>

#include <algorithm>

#include "link/protocol.h"
#include "link/scanner_link.h"
#include "support/loopback_link.h"

namespace qd718::test {
namespace {

class ProtocolOnScanner : public ::testing::Test {
 protected:
  explicit ProtocolOnScanner(sim::ScannerOptions options = {})
      : scanner(std::move(options)), link(scanner) {}

  Micros Now() { return link.Virtual().Now(); }
  // How often a channel was sent a command.
  int Requests(int channel, Command command) const {
    const auto& bytes = scanner.Received();
    int n = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
      if (bytes[i] == channel && bytes[i + 1] == static_cast<std::uint8_t>(command)) ++n;
    }
    return n;
  }

  sim::VirtualScanner scanner;
  LoopbackLink link;
};

TEST_F(ProtocolOnScanner, IdentifyReadsEachChannelsIdentity) {
  for (const int channel : {1, 2}) {
    IdentifyReply reply{};
    ASSERT_TRUE(Identify(link, channel, reply));
    EXPECT_EQ(reply[0] + 16 * reply[1], scanner.Tip());
    EXPECT_EQ(reply[2] + 16 * reply[3], scanner.Modif());
    EXPECT_EQ(reply[4] + 16 * reply[5] + 256 * reply[6] + 4096 * reply[7], scanner.Serial());
    EXPECT_EQ(reply[12] + 16 * reply[13] + 256 * reply[14] + 4096 * reply[15],
              scanner.Range(channel));
  }
}

TEST_F(ProtocolOnScanner, RegistersReadBackLowByteFirst) {
  scanner.SetRegister(1, 56, 0x34);
  scanner.SetRegister(1, 57, 0x12);
  scanner.SetRegister(2, 56, 0xCD);
  scanner.SetRegister(2, 57, 0xAB);
  EXPECT_EQ(ReadRegister(link, 1, 56, 2), 0x1234);
  EXPECT_EQ(ReadRegister(link, 2, 56, 2), 0xABCD);
  EXPECT_EQ(ReadRegister(link, 2, 57, 1), 0xAB);
}

TEST_F(ProtocolOnScanner, WrittenValuesReadBack) {
  for (const std::int32_t value : {0, 1, 0x7F, 0x80, 0x1234, 0x7FFF, 0xFFFF}) {
    ASSERT_TRUE(WriteRegister(link, 2, 58, 2, value));
    EXPECT_EQ(ReadRegister(link, 2, 58, 2), value) << value;
  }
}

TEST_F(ProtocolOnScanner, MinusOneFillsBothRegisterBytes) {
  const Micros before = Now();
  ASSERT_TRUE(WriteRegister(link, 1, 66, 2, -1));
  EXPECT_EQ(scanner.Register(1, 66), 0xFF);
  EXPECT_EQ(scanner.Register(1, 67), 0xFF);
  EXPECT_GE(Now() - before, Millis{500});  // 200 ms a register byte, 100 ms at the end
}

TEST_F(ProtocolOnScanner, EveryStoreActionIsEchoed) {
  for (const auto action :
       {StoreAction::SaveToFlash, StoreAction::RestoreDefaults, StoreAction::SaveAsFactory}) {
    EXPECT_TRUE(ParamStore(link, 1, action)) << int(action);
    EXPECT_TRUE(ParamStore(link, 2, action)) << int(action);
  }
}

TEST_F(ProtocolOnScanner, ScanStartsAndEndsOnBothChannels) {
  int status = -1;
  PrepareScan(link, status);
  EXPECT_EQ(status & 0x01, 0);
  EXPECT_EQ(Requests(1, Command::StartScan), 1);
  EXPECT_EQ(Requests(2, Command::StartScan), 1);
  EXPECT_GE(Requests(1, Command::ReadStatus), 2);
}

sim::ScannerOptions WithFaults(void (*set)(sim::Faults&)) {
  sim::ScannerOptions options;
  set(options.faults);
  return options;
}

class SilentChannel1 : public ProtocolOnScanner {
 protected:
  SilentChannel1() : ProtocolOnScanner(WithFaults([](sim::Faults& f) { f.silent = {1}; })) {}
};

TEST_F(SilentChannel1, EveryExchangeFailsWithinItsTimeOut) {
  IdentifyReply reply{};
  Micros before = Now();
  EXPECT_FALSE(Identify(link, 1, reply));
  EXPECT_GE(Now() - before, ReadTotalTimeout(IdentifyReplyBytes));
  EXPECT_EQ(ReadRegister(link, 1, 56, 2), NoReply);
  EXPECT_FALSE(ParamStore(link, 1, StoreAction::SaveToFlash));
  int status = 7;
  EXPECT_FALSE(ReadStatus(link, 1, status));
  EXPECT_EQ(status, 7);
  EXPECT_TRUE(Identify(link, 2, reply));
}

TEST_F(SilentChannel1, PrepareScanMovesOnToChannel2) {
  int status = -1;
  const Micros before = Now();
  PrepareScan(link, status);
  EXPECT_EQ(Requests(1, Command::ReadStatus), 2);  // one time-out, then the final query
  EXPECT_EQ(Requests(2, Command::StartScan), 1);
  EXPECT_GE(Now() - before, 2 * ReadTotalTimeout(StatusReplyBytes));
  EXPECT_EQ(status & 0x01, 0);
}

class ShortRegisterReply : public ProtocolOnScanner {
 protected:
  ShortRegisterReply()
      : ProtocolOnScanner(WithFaults([](sim::Faults& f) {
          f.shortReplies = {{1, 0x82, 1}};
        })) {}
};

TEST_F(ShortRegisterReply, GivesNoReply) {
  EXPECT_EQ(ReadRegister(link, 1, 56, 2), NoReply);
  EXPECT_NE(ReadRegister(link, 2, 56, 2), NoReply);
}

class BusyChannel2 : public ProtocolOnScanner {
 protected:
  static constexpr int BusyReplies = 4;
  BusyChannel2()
      : ProtocolOnScanner(WithFaults([](sim::Faults& f) {
          f.busyCount = {{2, BusyReplies}};
        })) {}
};

TEST_F(BusyChannel2, PollsUntilTheScanEnds) {
  int status = -1;
  PrepareScan(link, status);
  // Every busy reply, the one that says done, and the final query.
  EXPECT_EQ(Requests(2, Command::ReadStatus), BusyReplies + 2);
  EXPECT_EQ(status & 0x01, 0);
}

}  // namespace
}  // namespace qd718::test
