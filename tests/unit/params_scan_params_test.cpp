// Reading and writing a channel's scan parameters, the parameter-store commands and the
// buttons of the "Parameters" page, against a scripted scanner.
#include <gtest/gtest.h>

#include "link/protocol.h"
#include "params/param_buttons.h"
#include "params/scan_params_io.h"
#include "params_scripted_link.h"
#include "support/fake_window.h"

namespace qd718 {
namespace {

using test::Bytes;

constexpr std::uint8_t ReadRegisterByte = 0x82;
constexpr std::uint8_t WriteRegisterByte = 0x83;
constexpr std::uint8_t StoreByte = 0x84;

class ScanParamsTest : public ::testing::Test {
 protected:
  ScanParamsTest() : state(link) {
    for (int channel : {1, 2}) {
      link.SetRegisterWord(channel, RegBeginPos, 1200 + channel);
      link.SetRegisterWord(channel, RegEndPos, 40000 + channel);
      link.SetRegisterWord(channel, RegDiskr, 500 + channel);
      link.registers[channel - 1][RegTimeM] = static_cast<std::uint8_t>(20 + channel);
      link.registers[channel - 1][RegTimeM1] = static_cast<std::uint8_t>(30 + channel);
    }
  }

  // Edits as the engineer left them before a read.
  void FillEdits(int channel, const std::string& text) {
    const ChannelEdits& e = EditsOf(channel);
    for (Ctl edit :
         {e.BeginPos, e.EndPos, e.TimeM, e.TimeM1, e.Diskr, e.Angle, e.XBeg, e.YBeg, e.Cycl})
      window.text[edit] = text;
  }

  // The value bytes of every register write (register, value byte) in order.
  std::vector<std::pair<int, int>> RegisterWrites() const {
    std::vector<std::pair<int, int>> writes;
    for (const Bytes& r : link.RequestsWith(WriteRegisterByte)) {
      writes.push_back(
          {(r[2] & 0x0F) | ((r[3] & 0x0F) << 4), (r[4] & 0x0F) | ((r[5] & 0x0F) << 4)});
    }
    return writes;
  }

  test::ScriptedLink link;
  test::FakeWindow window;
  ScannerState state;
};

TEST_F(ScanParamsTest, ReadShowsEveryValueAndResetsTheStationSideFields) {
  TScanParams& p = state.ParamsOf(2);
  p.XBeg = -7;
  p.Angle = 9;
  p.Cycl = 3;
  p.YBeg = 42;
  ASSERT_TRUE(ReadScanParams(state, window, 2));
  EXPECT_EQ(p.BeginPos, 1202);
  EXPECT_EQ(p.EndPos, 40002);
  EXPECT_EQ(p.Diskr, 502.0f);
  EXPECT_EQ(p.TimeM, 22);
  EXPECT_EQ(p.TimeM1, 32);
  EXPECT_EQ(p.XBeg, 5000);
  EXPECT_EQ(p.Angle, 100);
  EXPECT_EQ(p.Cycl, 0);
  EXPECT_EQ(p.YBeg, 42);  // only the engineer changes YBeg
  const ChannelEdits& e = EditsOf(2);
  EXPECT_EQ(window.text[e.BeginPos], "1202");
  EXPECT_EQ(window.text[e.EndPos], "40002");
  EXPECT_EQ(window.text[e.Diskr], "502");
  EXPECT_EQ(window.text[e.XBeg], "5000");
  EXPECT_EQ(window.text[e.TimeM], "22");
  EXPECT_EQ(window.text[e.TimeM1], "32");
  EXPECT_EQ(window.text[e.Angle], "100");
  EXPECT_EQ(window.text[e.Cycl], "0");
  EXPECT_EQ(window.text[e.YBeg], "");
  EXPECT_EQ(window.text[EditsOf(1).BeginPos], "");  // channel 1's edits untouched
  EXPECT_EQ(window.gaugeMax, 8);
  EXPECT_EQ(window.gaugeProgress, 7);
  EXPECT_GE(window.processMessagesCalls, 6);  // the gauge repaints between the steps
}

TEST_F(ScanParamsTest, ReadAsksTheRegistersInItsOrder) {
  ASSERT_TRUE(ReadScanParams(state, window, 1));
  std::vector<int> asked;
  for (const Bytes& r : link.RequestsWith(ReadRegisterByte)) {
    EXPECT_EQ(r[0], 1);
    asked.push_back((r[2] & 0x0F) | ((r[3] & 0x0F) << 4));
  }
  EXPECT_EQ(asked, (std::vector<int>{56, 57, 58, 59, 60, 61, 54, 55}));
}

TEST_F(ScanParamsTest, ASilentChannelLeavesItsEditsAndTheGaugeAtZero) {
  link.silent.insert(1);
  FillEdits(1, "old");
  EXPECT_FALSE(ReadScanParams(state, window, 1));
  EXPECT_EQ(state.ParamsOf(1).BeginPos, NoReply);
  const ChannelEdits& e = EditsOf(1);
  for (Ctl edit : {e.BeginPos, e.EndPos, e.TimeM, e.TimeM1, e.Diskr, e.Angle, e.XBeg, e.Cycl})
    EXPECT_EQ(window.text[edit], "old");
  EXPECT_EQ(window.gaugeMax, 8);
  EXPECT_EQ(window.gaugeProgress, 0);
}

TEST_F(ScanParamsTest, AMissingTimeM1KeepsBothMicrostepEdits) {
  link.registerRepliesLeft[1] = 7;  // everything up to TimeM answers
  FillEdits(1, "old");
  state.ParamsOf(1).TimeM = 9;
  EXPECT_FALSE(ReadScanParams(state, window, 1));
  const ChannelEdits& e = EditsOf(1);
  EXPECT_EQ(window.text[e.BeginPos], "1201");
  EXPECT_EQ(window.text[e.EndPos], "40001");
  EXPECT_EQ(window.text[e.Diskr], "501");
  EXPECT_EQ(window.text[e.XBeg], "5000");
  EXPECT_EQ(window.text[e.TimeM], "old");
  EXPECT_EQ(window.text[e.TimeM1], "old");
  EXPECT_EQ(window.text[e.Angle], "old");
  EXPECT_EQ(state.ParamsOf(1).TimeM, 21);  // stored before the failure
  EXPECT_EQ(state.ParamsOf(1).TimeM1, NoReply);
  EXPECT_EQ(window.gaugeProgress, 4);
}

TEST_F(ScanParamsTest, AMissingDiskrLeavesTheStepAtNoReply) {
  link.registerRepliesLeft[1] = 5;  // Diskr's second register byte goes unanswered
  EXPECT_FALSE(ReadScanParams(state, window, 1));
  EXPECT_EQ(state.ParamsOf(1).Diskr, -5555.0f);
  EXPECT_EQ(state.ParamsOf(1).EndPos, 40001);
  EXPECT_EQ(window.gaugeProgress, 2);
}

TEST_F(ScanParamsTest, WriteSendsTheDeviceFieldsEndPosFirstThenSavesToFlash) {
  TScanParams& p = state.ParamsOf(1);
  p.EndPos = 0x1234;
  p.BeginPos = 0x0102;
  p.Angle = -3;
  p.Diskr = 12.9f;
  p.TimeM = 5;
  p.TimeM1 = 6;
  WriteScanParams(state, window, 1);
  EXPECT_EQ(RegisterWrites(), (std::vector<std::pair<int, int>>{{58, 0x34},
                                                                {59, 0x12},
                                                                {56, 0x02},
                                                                {57, 0x01},
                                                                {66, 0xFD},
                                                                {67, 0xFF},
                                                                {60, 12},
                                                                {61, 0},
                                                                {54, 5},
                                                                {55, 6}}));
  // The step goes as its whole number, the angle as its two's complement.
  EXPECT_EQ(link.RegisterWord(1, RegDiskr), 12);
  EXPECT_EQ(link.RegisterWord(1, RegAngle), 0xFFFD);
  const auto stores = link.RequestsWith(StoreByte);
  ASSERT_EQ(stores.size(), 1u);
  EXPECT_EQ(stores[0], (Bytes{0x01, 0x84, 0x8A, 0x8A}));
  EXPECT_EQ(window.gaugeMax, 6);
  EXPECT_EQ(window.gaugeProgress, 6);
  EXPECT_TRUE(window.boxes.empty());
}

TEST_F(ScanParamsTest, AStepBeyondTheIntegerRangeIsSentSaturated) {
  struct Case {
    float diskr;
    int sent;
  };
  for (const Case c : {Case{-1234.0f, 0xFB2E}, Case{1e30f, 0xFFFF}, Case{-1e30f, 0x0000},
                       Case{-0.9f, 0}, Case{65535.9f, 0xFFFF}}) {
    state.ParamsOf(2).Diskr = c.diskr;
    WriteScanParams(state, window, 2);
    EXPECT_EQ(link.RegisterWord(2, RegDiskr), c.sent) << c.diskr;
  }
}

TEST_F(ScanParamsTest, ARequestThatCannotBeSentEndsTheWriteSilentlyWithoutFlash) {
  link.failWritesAfter = 6 * 2;  // EndPos's two register bytes go out, BeginPos's do not
  WriteScanParams(state, window, 1);
  EXPECT_TRUE(link.RequestsWith(StoreByte).empty());
  EXPECT_EQ(window.gaugeProgress, 1);
  EXPECT_TRUE(window.boxes.empty());
}

// After a read that failed part-way the failing field holds NoReply while its edit shows the
// old text: writing would put a value the engineer never saw into the scanner's flash.
TEST_F(ScanParamsTest, AChannelWhoseReadFailedIsNotWritten) {
  struct Case {
    const char* name;
    int repliesBeforeSilence;  // register reads answered before the channel falls silent
  };
  for (const Case& c : {Case{"BeginPos", 0}, Case{"Diskr", 5}, Case{"TimeM1", 7}}) {
    SCOPED_TRACE(c.name);
    link.requests.clear();
    window.boxes.clear();
    link.registerRepliesLeft[1] = c.repliesBeforeSilence;
    ASSERT_FALSE(ReadScanParams(state, window, 1));
    link.registerRepliesLeft.erase(1);
    WriteBtnClick(state, window);
    EXPECT_TRUE(link.RequestsWith(WriteRegisterByte).size() > 0);
    for (const Bytes& r : link.RequestsWith(WriteRegisterByte)) EXPECT_EQ(r[0], 2);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, "Read parameters Erorr!");
    EXPECT_EQ(window.boxes[0].title, "Error.");
    EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  }
  // A complete read makes the channel writable again.
  ASSERT_TRUE(ReadScanParams(state, window, 1));
  link.requests.clear();
  WriteScanParams(state, window, 1);
  EXPECT_FALSE(link.RequestsWith(WriteRegisterByte).empty());
}

TEST_F(ScanParamsTest, WriteButtonSavesEachChannelToFlashAfterItsOwnRegisters) {
  WriteBtnClick(state, window);
  std::vector<std::pair<int, std::uint8_t>> order;  // channel and command, collapsed
  for (const Bytes& r : link.requests) {
    if (order.empty() || order.back() != std::pair<int, std::uint8_t>{r[0], r[1]})
      order.push_back({r[0], r[1]});
  }
  EXPECT_EQ(order,
            (std::vector<std::pair<int, std::uint8_t>>{
                {1, WriteRegisterByte}, {1, StoreByte}, {2, WriteRegisterByte}, {2, StoreByte}}));
  EXPECT_TRUE(window.boxes.empty());
}

TEST_F(ScanParamsTest, AFlashEchoMismatchDuringWriteShowsItsMessage) {
  link.answer = [](const Bytes& request) -> std::optional<Bytes> {
    if (request[1] == StoreByte) return Bytes{0x0A, 0x0B};
    return std::nullopt;
  };
  WriteScanParams(state, window, 2);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Error of recording of parameters in FLASH.");
  EXPECT_EQ(window.boxes[0].title, "QD718.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(state.ErrorCount, 1);
}

struct BatchCase {
  const char* name;
  void (*click)(ScannerState&, Window&);
  Bytes request;  // the store request after the address byte
  std::string success;
  std::string failure;
  Bytes wrongEcho;
};

class StoreBatchTest : public ScanParamsTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(StoreBatchTest, ShowsSuccessOnlyWhenBothChannelsEcho) {
  const BatchCase& c = GetParam();
  c.click(state, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, c.success);
  EXPECT_EQ(window.boxes[0].title, "QD718.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::None);
  const auto stores = link.RequestsWith(StoreByte);
  ASSERT_EQ(stores.size(), 2u);
  EXPECT_EQ(stores[0], (Bytes{0x01, 0x84, c.request[0], c.request[1]}));
  EXPECT_EQ(stores[1], (Bytes{0x02, 0x84, c.request[0], c.request[1]}));
}

TEST_P(StoreBatchTest, AnEchoInTheWrongOrderFailsThatChannelOnly) {
  const BatchCase& c = GetParam();
  link.answer = [&c](const Bytes& request) -> std::optional<Bytes> {
    if (request[0] == 1 && request[1] == StoreByte) return c.wrongEcho;
    return std::nullopt;
  };
  c.click(state, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, c.failure);
  EXPECT_EQ(window.boxes[0].title, "QD718.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(state.ErrorCount, 1);
  EXPECT_EQ(link.RequestsWith(StoreByte).size(), 2u);  // channel 2 still asked
}

TEST_P(StoreBatchTest, TwoSilentChannelsShowTwoFailuresAndNoSuccess) {
  const BatchCase& c = GetParam();
  link.silent = {1, 2};
  c.click(state, window);
  ASSERT_EQ(window.boxes.size(), 2u);
  EXPECT_EQ(window.boxes[0].text, c.failure);
  EXPECT_EQ(window.boxes[1].text, c.failure);
  EXPECT_EQ(state.ErrorCount, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, StoreBatchTest,
    ::testing::Values(BatchCase{"Flash",
                                WriteFlashBtnClick,
                                {0x8A, 0x8A},
                                "Parameters is saved to FLASH.",
                                "Error of recording of parameters in FLASH.",
                                {0x8A, 0x85}},
                      BatchCase{"Factory",
                                BitBtn3Click,
                                {0x86, 0x89},
                                "Parameters is saved to Factory.",
                                "Error of recording of parameters.",
                                {0x89, 0x86}},
                      BatchCase{"Restore",
                                RestoreBtnClick,
                                {0x89, 0x86},
                                "Initial parameters recovered .",
                                "Error in restoring the initial parameters.",
                                {0x86, 0x89}}),  // the nibbles 6 then 9 are no echo of 0x69
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanParamsTest, LoadDefaultReReadsBothChannelsIntoTheirEdits) {
  int gaugeResets = 0;
  RestoreBtnClick(state, window);
  for (const std::string& call : window.calls) gaugeResets += call == "SetGaugeMax 8";
  EXPECT_EQ(gaugeResets, 2);
  EXPECT_EQ(window.gaugeProgress, 7);
  EXPECT_EQ(window.text[EditsOf(1).BeginPos], "1201");
  EXPECT_EQ(window.text[EditsOf(2).BeginPos], "1202");
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Initial parameters recovered .");
}

TEST_F(ScanParamsTest, LoadDefaultWithAFailedReadBackCountsItWithoutAMessage) {
  link.registerRepliesLeft[2] = 0;  // channel 2 echoes the restore but reads nothing back
  RestoreBtnClick(state, window);
  EXPECT_EQ(state.ErrorCount, 1);
  EXPECT_TRUE(window.boxes.empty());
}

TEST_F(ScanParamsTest, ReadButtonReportsEachFailingChannelAndReadsBoth) {
  link.silent.insert(1);
  ReadBtnClick(state, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Read parameters Erorr!");
  EXPECT_EQ(window.boxes[0].title, "Error.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(state.ParamsOf(2).BeginPos, 1202);
}

}  // namespace
}  // namespace qd718
