// Faults: a channel told to misbehave does so on its own, and the other channel is unaffected.

#include <gtest/gtest.h>

#include "sim/fault_options.h"
#include "sim_wire.h"

namespace qd718::sim::test {
namespace {

TEST(Faults, SilentChannelAnswersNothingAtAll) {
  Faults faults;
  faults.silent = {2};
  VirtualScanner scanner(ScannerOptions{"groove", 1, faults});
  for (const auto& request :
       {Frame(2, 0x81), Frame(2, 0x82, {0x88, 0x83}), Frame(2, 0x8B), Frame(2, 0x84, {0x8A, 0x8A}),
        Frame(2, 0x8D), Frame(2, 0x89, {0x89, 0x82})}) {
    EXPECT_TRUE(Exchange(scanner, request).empty());
  }
  EXPECT_EQ(Exchange(scanner, Frame(1, 0x81)).size(), 16u);
}

struct ShortCase {
  const char* name;
  std::uint8_t command;
  Bytes request;
  std::size_t fullLength;
};

class ShortReplies : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortReplies, SendOnlyTheGivenBytes) {
  const auto& c = GetParam();
  Faults faults;
  faults.shortReplies = {{1, c.command, 1}};
  VirtualScanner scanner(ScannerOptions{"groove", 1, faults});
  const Bytes full = [&] {
    VirtualScanner healthy;
    return Exchange(healthy, c.request);
  }();
  ASSERT_EQ(full.size(), c.fullLength);
  const Bytes cut = Exchange(scanner, c.request);
  EXPECT_EQ(cut, Bytes(full.begin(), full.begin() + 1));

  Bytes toChannel2 = c.request;
  toChannel2[0] = 2;
  EXPECT_EQ(Exchange(scanner, toChannel2).size(), c.fullLength);
}

INSTANTIATE_TEST_SUITE_P(
    EachReplyingCommand, ShortReplies,
    ::testing::Values(ShortCase{"Identify", 0x81, Frame(1, 0x81), 16},
                      ShortCase{"ReadRegister", 0x82, Frame(1, 0x82, {0x88, 0x83}), 2},
                      ShortCase{"ParamStore", 0x84, Frame(1, 0x84, {0x89, 0x86}), 2},
                      ShortCase{"ReadStatus", 0x8B, Frame(1, 0x8B), 6},
                      ShortCase{"ScanReadout", 0x8D, Frame(1, 0x8D), 12288},
                      ShortCase{"ReadTableBlock", 0x89, Frame(1, 0x89, {0x8A, 0x82}), 2048},
                      ShortCase{"WriteTableBlock", 0x8A,
                                TableBlockWrite(1, 41, std::vector<std::int16_t>(512, 0)), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Faults, ShortScanReadoutOfOneByteLessThanFull) {
  Faults faults;
  faults.shortReplies = {{1, 0x8D, 12287}};
  VirtualScanner scanner(ScannerOptions{"groove", 1, faults});
  EXPECT_EQ(Exchange(scanner, Frame(1, 0x8D)).size(), 12287u);
}

TEST(Faults, BusyCountReplacesTheUsualBusyPeriod) {
  Faults faults;
  faults.busyCount = {{2, 10}, {1, 0}};
  VirtualScanner scanner(ScannerOptions{"groove", 1, faults});
  for (int channel : {1, 2}) Exchange(scanner, Frame(channel, 0x8C, {0x81, 0x80}));
  EXPECT_EQ(Exchange(scanner, Frame(1, 0x8B))[0], 0x80) << "never busy";
  for (int i = 0; i < 10; ++i) ASSERT_EQ(Exchange(scanner, Frame(2, 0x8B))[0], 0x81) << i;
  EXPECT_EQ(Exchange(scanner, Frame(2, 0x8B))[0], 0x80);
}

TEST(Faults, BadAckRefusesOnlyThatBlockOfThatChannel) {
  Faults faults;
  faults.badAckBlock = {{1, 3}};  // the third block, wire number 43
  VirtualScanner scanner(ScannerOptions{"groove", 1, faults});
  const std::vector<std::int16_t> values(512, 250);
  for (int block = 41; block <= 46; ++block) {
    const Bytes expected = block == 43 ? Bytes{0x8A, 0x85} : Bytes{0x8A, 0x8A};
    EXPECT_EQ(Exchange(scanner, TableBlockWrite(1, block, values)), expected) << block;
    EXPECT_EQ(Exchange(scanner, TableBlockWrite(2, block, values)), (Bytes{0x8A, 0x8A}));
  }
  EXPECT_EQ(scanner.TableEntry(1, 2 * 512), 0) << "a refused block is not stored";
  EXPECT_EQ(scanner.TableEntry(1, 3 * 512), 250);
}

}  // namespace
}  // namespace qd718::sim::test

namespace qd718::sim::test {
namespace {

// The command byte of --short may be written in hexadecimal or in decimal.
TEST(FaultOptions, ShortReplyCommandInEitherNotation) {
  for (const char* text : {"1:0x8D:100", "1:0X8d:100", "1:141:100"}) {
    const ShortReply cut = ParseShortReply(text);
    EXPECT_EQ(cut.channel, 1) << text;
    EXPECT_EQ(cut.command, 0x8D) << text;
    EXPECT_EQ(cut.bytes, 100) << text;
  }
  EXPECT_EQ(ParseBusy("2:0"), std::make_pair(2, 0));
  EXPECT_EQ(ParseBadAck("2:6"), std::make_pair(2, 6));
}

TEST(FaultOptions, MalformedTextsAreRefused) {
  for (const char* text :
       {"", "1", "1:141", "1:141:5:5", "x:141:5", "1:0x:5", "1:141:5x", "3:141:5", "1:0x80:5"}) {
    EXPECT_THROW(ParseShortReply(text), std::invalid_argument) << text;
  }
  EXPECT_THROW(ParseBusy("1:-2"), std::invalid_argument);
  EXPECT_THROW(ParseBadAck("2:0"), std::invalid_argument);
}

}  // namespace
}  // namespace qd718::sim::test
