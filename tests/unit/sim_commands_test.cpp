// The device model answers each command with the exact bytes a QD718 puts on the line.

#include <gtest/gtest.h>

#include "sim_wire.h"

namespace qd718::sim::test {
namespace {

struct ReplyCase {
  const char* name;
  Bytes request;
  Bytes reply;
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
  *os << c.name;
}

class ReplyBytes : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyBytes, AreExact) {
  VirtualScanner scanner;  // seed 1: serial number 1001
  EXPECT_EQ(Exchange(scanner, GetParam().request), GetParam().reply);
}

const Bytes Zeros2048(2048, 0x80);

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, ReplyBytes,
    ::testing::Values(
        // Tip 7, Modif 18, Ser 1001 (0x3E9), spare word 0x0103, Diapaz 10.
        ReplyCase{"Identify",
                  Frame(1, 0x81),
                  {0x87, 0x80, 0x82, 0x81, 0x89, 0x8E, 0x83, 0x80, 0x83, 0x80, 0x81, 0x80, 0x8A,
                   0x80, 0x80, 0x80}},
        ReplyCase{"IdentifyChannel2",
                  Frame(2, 0x81),
                  {0x87, 0x80, 0x82, 0x81, 0x89, 0x8E, 0x83, 0x80, 0x83, 0x80, 0x81, 0x80, 0x8A,
                   0x80, 0x80, 0x80}},
        // BeginPos 100 = 0x0064 in registers 56 and 57.
        ReplyCase{"ReadRegisterBeginPosLow", Frame(1, 0x82, {0x88, 0x83}), {0x84, 0x86}},
        ReplyCase{"ReadRegisterBeginPosHigh", Frame(1, 0x82, {0x89, 0x83}), {0x80, 0x80}},
        // Diskr 500 = 0x01F4 in registers 60 and 61.
        ReplyCase{"ReadRegisterDiskrLow", Frame(1, 0x82, {0x8C, 0x83}), {0x84, 0x8F}},
        ReplyCase{"ReadRegisterDiskrHigh", Frame(2, 0x82, {0x8D, 0x83}), {0x81, 0x80}},
        ReplyCase{"ReadRegisterTimeM", Frame(1, 0x82, {0x86, 0x83}), {0x84, 0x81}},
        ReplyCase{"ReadRegisterAngleLow", Frame(1, 0x82, {0x82, 0x84}), {0x84, 0x86}},
        ReplyCase{"WriteRegisterHasNoReply", Frame(1, 0x83, {0x88, 0x83, 0x8F, 0x8F}), {}},
        ReplyCase{"SaveToFlashEcho", Frame(1, 0x84, {0x8A, 0x8A}), {0x8A, 0x8A}},
        ReplyCase{"RestoreDefaultsEcho", Frame(1, 0x84, {0x89, 0x86}), {0x89, 0x86}},
        ReplyCase{"SaveAsFactoryEcho", Frame(2, 0x84, {0x86, 0x89}), {0x86, 0x89}},
        ReplyCase{"UnknownActionEchoed", Frame(1, 0x84, {0x83, 0x81}), {0x83, 0x81}},
        ReplyCase{"StatusIdle", Frame(1, 0x8B), {0x80, 0x80, 0x80, 0x80, 0x80, 0x80}},
        ReplyCase{"StartScanHasNoReply", Frame(1, 0x8C, {0x81, 0x80}), {}},
        ReplyCase{"ReadEmptyTableBlock41", Frame(1, 0x89, {0x89, 0x82}), Zeros2048},
        ReplyCase{"ReadEmptyTableBlock46", Frame(2, 0x89, {0x8E, 0x82}), Zeros2048},
        ReplyCase{"ReadTableBlockOutOfRange", Frame(1, 0x89, {0x88, 0x82}), {}},
        ReplyCase{"WriteTableBlockAck",
                  TableBlockWrite(1, 41, std::vector<std::int16_t>(512, 0)),
                  {0x8A, 0x8A}},
        ReplyCase{"WriteTableBlockOutOfRange",
                  TableBlockWrite(1, 47, std::vector<std::int16_t>(512, 0)),
                  {0x8A, 0x85}},
        ReplyCase{"UnknownCommandIgnored", Frame(1, 0x85), {}},
        ReplyCase{"ChannelThreeIgnored", Frame(3, 0x81), {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The frame: an address byte always starts a new request, whatever came before it.
TEST(RequestFrame, AddressByteAbandonsAHalfReceivedRequest) {
  VirtualScanner scanner;
  Bytes request{0x01, 0x82, 0x88};  // register read cut short after one nibble
  const Bytes identify = Frame(2, 0x81);
  request.insert(request.end(), identify.begin(), identify.end());
  EXPECT_EQ(Exchange(scanner, request).size(), 16u);
}

TEST(RequestFrame, PayloadBytesWithoutAFrameAreIgnored) {
  VirtualScanner scanner;
  EXPECT_TRUE(Exchange(scanner, {0x8B, 0x8A, 0x8A, 0x81}).empty());
  EXPECT_EQ(Exchange(scanner, Frame(1, 0x8B)).size(), 6u);
}

TEST(RequestFrame, DropPartialRequestForgetsTheStartedFrame) {
  VirtualScanner scanner;
  Exchange(scanner, {0x01, 0x82, 0x88});
  scanner.DropPartialRequest();
  EXPECT_TRUE(Exchange(scanner, {0x83}).empty());
}

TEST(RequestFrame, RecordsEveryByteReceived) {
  VirtualScanner scanner;
  Exchange(scanner, Frame(1, 0x8C, {0x81, 0x80}));
  EXPECT_EQ(scanner.Received(), (Bytes{0x01, 0x8C, 0x81, 0x80}));
}

TEST(Registers, WriteThenReadBackPerChannel) {
  VirtualScanner scanner;
  Exchange(scanner, Frame(2, 0x83, {0x88, 0x83, 0x8D, 0x8F}));  // reg 56 := 0xFD
  EXPECT_EQ(Exchange(scanner, Frame(2, 0x82, {0x88, 0x83})), (Bytes{0x8D, 0x8F}));
  EXPECT_EQ(scanner.Register(2, 56), 0xFD);
  EXPECT_EQ(scanner.Register(1, 56), 100) << "channel 1 keeps its own memory";
}

TEST(Registers, EveryRegisterNumberIsAddressable) {
  VirtualScanner scanner;
  Exchange(scanner, Frame(1, 0x83, {0x8F, 0x8F, 0x85, 0x8A}));  // reg 255 := 0xA5
  EXPECT_EQ(Exchange(scanner, Frame(1, 0x82, {0x8F, 0x8F})), (Bytes{0x85, 0x8A}));
}

// The three copies of the parameter memory: working registers, flash and factory.
TEST(ParamStore, FlashRestoreAndFactoryCopies) {
  VirtualScanner scanner;
  const auto write = [&](std::uint8_t value) {
    Exchange(scanner, Frame(1, 0x83,
                            Bytes{0x86, 0x83, static_cast<std::uint8_t>(0x80 | (value & 0x0F)),
                                  static_cast<std::uint8_t>(0x80 | (value >> 4))}));
  };
  const std::uint8_t initial = scanner.Register(1, 54);

  write(0x33);
  Exchange(scanner, Frame(1, 0x84, {0x8A, 0x8A}));  // save to flash
  EXPECT_EQ(scanner.FlashRegister(1, 54), 0x33);
  EXPECT_EQ(scanner.FactoryRegister(1, 54), initial);

  write(0x44);
  Exchange(scanner, Frame(1, 0x84, {0x89, 0x86}));  // restore the initial parameters
  EXPECT_EQ(scanner.Register(1, 54), initial) << "restored from the factory copy, not flash";
  EXPECT_EQ(scanner.FlashRegister(1, 54), 0x33);

  write(0x55);
  Exchange(scanner, Frame(1, 0x84, {0x86, 0x89}));  // store as factory settings
  EXPECT_EQ(scanner.FactoryRegister(1, 54), 0x55);
  write(0x66);
  Exchange(scanner, Frame(1, 0x84, {0x89, 0x86}));
  EXPECT_EQ(scanner.Register(1, 54), 0x55);
  EXPECT_EQ(scanner.Register(2, 54), initial) << "channel 2 untouched";
}

TEST(Status, BusyForAFewQueriesAfterAScanStart) {
  VirtualScanner scanner;
  Exchange(scanner, Frame(1, 0x8C, {0x81, 0x80}));
  int busy = 0;
  Bytes reply;
  for (; busy < 100; ++busy) {
    reply = Exchange(scanner, Frame(1, 0x8B));
    ASSERT_EQ(reply.size(), 6u);
    if ((reply[0] & 0x01) == 0) break;
  }
  EXPECT_EQ(busy, 3);
  EXPECT_EQ(NibblesValue(reply, 2, 4), 1u) << "the word counts the scans started";
  EXPECT_EQ(Exchange(scanner, Frame(2, 0x8B))[0], 0x80) << "channel 2 was not started";
}

// The scan readout: 3072 samples of four nibble bytes, least significant first, every byte
// marked with 0x80; empty samples before and after the object.
TEST(ScanReadout, LayoutOfTheReply) {
  VirtualScanner scanner;
  Exchange(scanner, Frame(1, 0x8C, {0x81, 0x80}));
  const Bytes reply = Exchange(scanner, Frame(1, 0x8D));
  ASSERT_EQ(reply.size(), 12288u);
  for (const auto b : reply) ASSERT_EQ(b & 0xF0, 0x80);
  const auto& samples = scanner.LastScan(1);
  ASSERT_EQ(samples.size(), 3072u);
  for (std::size_t s = 0; s < samples.size(); ++s) {
    ASSERT_EQ(NibblesValue(reply, 4 * s, 4), samples[s]) << "sample " << s;
  }
  EXPECT_EQ(samples.front(), 0) << "leading empty samples";
  EXPECT_EQ(samples.back(), 0) << "trailing empty samples";
}

TEST(ScanReadout, AvailableBeforeTheFirstScanStart) {
  VirtualScanner scanner;
  EXPECT_EQ(Exchange(scanner, Frame(2, 0x8D)).size(), 12288u);
}

// Table blocks: what goes in by 0x8A comes back by 0x89, value for value.
TEST(CalibrTable, WriteThenReadRoundTrip) {
  VirtualScanner scanner;
  std::vector<std::int16_t> values(512);
  for (int i = 0; i < 512; ++i) values[i] = static_cast<std::int16_t>(i * 37 - 9000);
  values[0] = 1000;
  values[1] = -1;
  values[511] = -32768;
  EXPECT_EQ(Exchange(scanner, TableBlockWrite(2, 43, values)), (Bytes{0x8A, 0x8A}));

  const Bytes block = Exchange(scanner, Frame(2, 0x89, {0x8B, 0x82}));
  ASSERT_EQ(block.size(), 2048u);
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 4), (Bytes{0x88, 0x8E, 0x83, 0x80}));  // 1000
  EXPECT_EQ(Bytes(block.begin() + 4, block.begin() + 8), (Bytes{0x8F, 0x8F, 0x8F, 0x8F}));
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(static_cast<std::int16_t>(NibblesValue(block, 4 * i, 4)), values[i]) << i;
    ASSERT_EQ(scanner.TableEntry(2, 2 * 512 + i), values[i]);
  }
  EXPECT_EQ(scanner.TableEntry(1, 2 * 512), 0) << "channel 1's table untouched";
  EXPECT_EQ(scanner.TableEntry(2, 2 * 512 - 1), 0) << "neighbouring block untouched";
}

TEST(CalibrTable, BlockWithWrongClosingBytesIsRefusedAndNotStored) {
  VirtualScanner scanner;
  Bytes request = TableBlockWrite(1, 41, std::vector<std::int16_t>(512, 7));
  request.back() = 0x85;
  EXPECT_EQ(Exchange(scanner, request), (Bytes{0x8A, 0x85}));
  EXPECT_EQ(scanner.TableEntry(1, 0), 0);
}

}  // namespace
}  // namespace qd718::sim::test
