// The "Parameters" handshake, the parameter buttons and the table transfer against the
// virtual scanner: the station's encodings meet a device written on its own.
#include <gtest/gtest.h>

#include "calib/table_transfer.h"
#include "params/edit_conversion.h"
#include "params/param_buttons.h"
#include "params/scan_params_io.h"
#include "sim/virtual_scanner.h"
#include "station/connection.h"
#include "support/fake_window.h"
#include "support/loopback_link.h"

namespace qd718 {
namespace {

int RegisterWord(const sim::VirtualScanner& scanner, int channel, int reg) {
  return scanner.Register(channel, reg) | (scanner.Register(channel, reg + 1) << 8);
}

class LoopbackTest : public ::testing::Test {
 protected:
  explicit LoopbackTest(sim::ScannerOptions options = {})
      : scanner(std::move(options)), link(scanner), station(link) {
    FormCreate(station, window);
  }

  void Type(Ctl edit, const std::string& text) {
    window.SetText(edit, text);
    ParamEditChange(station, edit, text);
  }

  sim::VirtualScanner scanner;
  test::LoopbackLink link;
  test::FakeWindow window;
  Station station;
};

TEST_F(LoopbackTest, HandshakeBringsTheScannersIdentityParametersAndTables) {
  scanner.SetTableEntry(1, 0, -17);
  scanner.SetTableEntry(2, 3071, 1000);
  scanner.SetTableEntry(2, 1024, -1);
  ConnectBtnClick(station, window);
  EXPECT_TRUE(window.boxes.empty());
  EXPECT_EQ(window.text[Ctl::TipLbl], std::to_string(scanner.Tip()));
  EXPECT_EQ(window.text[Ctl::ModifLbl], std::to_string(scanner.Modif()));
  EXPECT_EQ(window.text[Ctl::SerLbl], std::to_string(scanner.Serial()));
  EXPECT_EQ(window.text[Ctl::DiapazLbl], std::to_string(scanner.Range(1)));
  EXPECT_EQ(station.Info.DiapazOf(2), scanner.Range(2));
  EXPECT_EQ(window.caption, "QD718 " + std::to_string(scanner.Serial()));
  for (int channel : {1, 2}) {
    const TScanParams& p = station.ParamsOf(channel);
    EXPECT_EQ(p.BeginPos, RegisterWord(scanner, channel, RegBeginPos));
    EXPECT_EQ(p.EndPos, RegisterWord(scanner, channel, RegEndPos));
    EXPECT_EQ(p.Diskr, static_cast<float>(RegisterWord(scanner, channel, RegDiskr)));
    EXPECT_EQ(p.TimeM, scanner.Register(channel, RegTimeM));
    EXPECT_EQ(p.TimeM1, scanner.Register(channel, RegTimeM1));
    for (int i = 0; i < CalibrPoints; ++i)
      ASSERT_EQ(station.table->Entry(channel, i), scanner.TableEntry(channel, i)) << i;
  }
  EXPECT_EQ(station.table->Entry(2, 1024), -1);
  EXPECT_TRUE(window.fillsWorkArea);
}

TEST_F(LoopbackTest, TypedParametersAreWrittenStoredInFlashAndReadBack) {
  ConnectBtnClick(station, window);
  Type(Ctl::BeginPosEdit, "1234");
  Type(Ctl::EndPosEdit2, "54321");
  Type(Ctl::DiskrEdit2, "12.9");
  Type(Ctl::TimeMEdit21, "7");
  WriteBtnClick(station, window);
  EXPECT_TRUE(window.boxes.empty());
  EXPECT_EQ(RegisterWord(scanner, 1, RegBeginPos), 1234);
  EXPECT_EQ(RegisterWord(scanner, 2, RegEndPos), 54321);
  EXPECT_EQ(RegisterWord(scanner, 2, RegDiskr), 12);
  EXPECT_EQ(scanner.FlashRegister(2, RegTimeM1), 7);
  EXPECT_EQ(scanner.FlashRegister(1, RegBeginPos), 1234 & 0xFF);
  ReadBtnClick(station, window);
  EXPECT_EQ(window.text[Ctl::DiskrEdit2], "12");
  EXPECT_EQ(window.text[Ctl::EndPosEdit2], "54321");
}

TEST_F(LoopbackTest, LoadDefaultBringsBackTheInitialParameters) {
  ConnectBtnClick(station, window);
  const int initial = RegisterWord(scanner, 1, RegEndPos);
  Type(Ctl::EndPosEdit, std::to_string(initial + 1));
  WriteBtnClick(station, window);
  ASSERT_EQ(RegisterWord(scanner, 1, RegEndPos), initial + 1);
  RestoreBtnClick(station, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Initial parameters recovered .");
  EXPECT_EQ(window.text[Ctl::EndPosEdit], std::to_string(RegisterWord(scanner, 1, RegEndPos)));
}

TEST_F(LoopbackTest, SaveTableWritesBothChannelsIntoTheScanner) {
  for (int i = 0; i < CalibrPoints; ++i) {
    station.table->At(1, i) = static_cast<std::int16_t>(i * 11 - 16000);
    station.table->At(2, i) = static_cast<std::int16_t>(-i);
  }
  cxButton3Click(station, *station.table, window);
  EXPECT_TRUE(window.boxes.empty());
  for (int i = 0; i < CalibrPoints; ++i) {
    ASSERT_EQ(scanner.TableEntry(1, i), station.table->Entry(1, i)) << i;
    ASSERT_EQ(scanner.TableEntry(2, i), station.table->Entry(2, i)) << i;
  }
}

class FaultyScannerTest : public LoopbackTest {
 protected:
  static sim::ScannerOptions Silent(int channel) {
    sim::ScannerOptions options;
    options.faults.silent = {channel};
    return options;
  }
  static sim::ScannerOptions BadAck(int channel, int block) {
    sim::ScannerOptions options;
    options.faults.badAckBlock[channel] = block;
    return options;
  }
  explicit FaultyScannerTest(sim::ScannerOptions options) : LoopbackTest(std::move(options)) {}
};

class SilentChannel2Test : public FaultyScannerTest {
 protected:
  SilentChannel2Test() : FaultyScannerTest(Silent(2)) {}
};

TEST_F(SilentChannel2Test, HandshakeShowsChannel1AndFailsChannel2sParameters) {
  ConnectBtnClick(station, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Read parameters 2 Erorr!");
  EXPECT_EQ(window.caption, "QD718 " + std::to_string(scanner.Serial()));
  EXPECT_FALSE(window.fillsWorkArea);
}

class BadAckTest : public FaultyScannerTest {
 protected:
  BadAckTest() : FaultyScannerTest(BadAck(1, 3)) {}
};

TEST_F(BadAckTest, SaveTableStopsChannel1AtTheRejectedBlockAndWritesChannel2) {
  for (int i = 0; i < CalibrPoints; ++i) {
    station.table->At(1, i) = 5;
    station.table->At(2, i) = 6;
  }
  cxButton3Click(station, *station.table, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Error writing calibr table .Block N3");
  EXPECT_EQ(scanner.TableEntry(1, 0), 5);
  EXPECT_NE(scanner.TableEntry(1, 3 * CalibrBlockValues), 5);  // block 4 was never sent
  EXPECT_EQ(scanner.TableEntry(2, CalibrPoints - 1), 6);
}

}  // namespace
}  // namespace qd718
