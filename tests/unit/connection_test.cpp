// The connection workflow: port choice, the "Other COM port" dialog, connect and disconnect,
// and the "Parameters" handshake, against a scripted scanner.
#include <gtest/gtest.h>

#include <functional>

#include "params/scan_params_io.h"
#include "params_scripted_link.h"
#include "station/app_error.h"
#include "station/connection.h"
#include "support/fake_window.h"

namespace qd718 {
namespace {

using test::Bytes;

constexpr std::uint8_t IdentifyByte = 0x81;
constexpr std::uint8_t ReadBlockByte = 0x89;
constexpr std::uint8_t ReadRegisterByte = 0x82;

class ConnectionTest : public ::testing::Test {
 protected:
  ConnectionTest() : station(link) {
    FormCreate(station, window);
    for (int channel : {1, 2}) {
      link.SetRegisterWord(channel, RegBeginPos, 100 * channel);
      link.SetRegisterWord(channel, RegDiskr, 500);
      link.table[channel - 1][0] = static_cast<std::int16_t>(-11 * channel);
    }
  }

  void ExpectOpenShown(int number) {
    const std::string n = std::to_string(number);
    EXPECT_TRUE(window.visible[Ctl::DisconnBtn]);
    EXPECT_FALSE(window.visible[Ctl::ConnBtn]);
    EXPECT_EQ(window.text[Ctl::DisconnBtn], "Disconnect [COM" + n + ":]");
    EXPECT_EQ(window.text[Ctl::ConnBtn], "Connect [COM" + n + ":]");
    EXPECT_TRUE(window.enabled[Ctl::ConnectBtn]);
  }

  void ExpectClosedShown() {
    EXPECT_FALSE(window.visible[Ctl::DisconnBtn]);
    EXPECT_TRUE(window.visible[Ctl::ConnBtn]);
    EXPECT_FALSE(window.enabled[Ctl::ConnectBtn]);
  }

  void ChooseInList(int index, const std::string& text) {
    window.itemIndex[Ctl::ComboBox1] = index;
    window.text[Ctl::ComboBox1] = text;
    ComboBox1Change(station, window);
  }

  void ExpectConversionError(const std::string& text, const std::function<void()>& action) {
    try {
      action();
      ADD_FAILURE() << "no conversion error";
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.what(), "'" + text + "' is not a valid integer value");
    }
  }

  test::ScriptedLink link;
  test::FakeWindow window;
  Station station;
};

TEST_F(ConnectionTest, ChoosingCom2ClosesTheOpenPortAndOpensCom2) {
  link.availablePorts.insert("COM2");
  ChooseInList(1, "COM2");
  EXPECT_EQ(link.closes, 1);
  EXPECT_EQ(link.opened, (std::vector<std::string>{"COM2"}));
  EXPECT_EQ(station.ComNumber, 2);
  ExpectOpenShown(2);
}

TEST_F(ConnectionTest, APortThatCannotBeOpenedShowsItsNameAndLeavesTheStationClosed) {
  ChooseInList(2, "COM3");
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Error opening COM3\rPort is already in use or not available!");
  EXPECT_EQ(window.boxes[0].title, "LQT7.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(window.text[Ctl::ConnBtn], "Connect [COM3:]");
  ExpectClosedShown();
}

TEST_F(ConnectionTest, TypedTextCountsOnlyItsFourthCharacter) {
  ChooseInList(-1, "COM12");
  EXPECT_EQ(station.ComNumber, 1);
  EXPECT_EQ(link.opened, (std::vector<std::string>{"COM12"}));
  EXPECT_EQ(window.boxes.at(0).text,
            "Error opening COM12\rPort is already in use or not available!");
  EXPECT_EQ(window.text[Ctl::ConnBtn], "Connect [COM1:]");
}

TEST_F(ConnectionTest, TypedTextWithoutADigitInPlaceIsAConversionErrorAfterTheClose) {
  struct Case {
    std::string typed;
    std::string shown;  // what the message quotes
  };
  for (const Case& c : {Case{"COM", ""}, Case{"COMx", "x"}, Case{"CO", ""}, Case{"COM-1", "-"},
                        Case{"COMé", "é"}}) {
    station.ComNumber = 3;
    link.opened.clear();
    window.itemIndex[Ctl::ComboBox1] = -1;
    window.text[Ctl::ComboBox1] = c.typed;
    ExpectConversionError(c.shown, [this] { ComboBox1Change(station, window); });
    EXPECT_EQ(station.ComNumber, 3);
    EXPECT_TRUE(link.opened.empty());
    EXPECT_FALSE(link.IsOpen());
  }
}

TEST_F(ConnectionTest, MoreComOpensTheNumberEnteredInTheDialog) {
  link.availablePorts.insert("\\\\.\\COM17");
  window.comPortDialogAnswers.push_back("17");
  ChooseInList(4, "More COM");
  EXPECT_EQ(station.ComNumber, 17);
  EXPECT_TRUE(station.Accepted);
  EXPECT_EQ(link.opened, (std::vector<std::string>{"\\\\.\\COM17"}));
  ExpectOpenShown(17);
}

TEST_F(ConnectionTest, AnEmptySpinEditStandsForCom1) {
  station.ComNumber = 5;
  window.comPortDialogAnswers.push_back("");
  ChooseInList(4, "More COM");
  EXPECT_EQ(station.ComNumber, 1);
  EXPECT_EQ(link.opened, (std::vector<std::string>{"\\\\.\\COM1"}));
}

TEST_F(ConnectionTest, CancelInTheDialogLeavesThePortClosed) {
  station.ComNumber = 5;
  station.Accepted = true;  // left from an earlier showing
  window.comPortDialogAnswers.push_back(std::nullopt);
  ChooseInList(4, "More COM");
  EXPECT_EQ(station.ComNumber, 5);
  EXPECT_FALSE(station.Accepted);
  EXPECT_TRUE(link.opened.empty());
  EXPECT_FALSE(link.IsOpen());
  ExpectClosedShown();
}

TEST_F(ConnectionTest, ASpinTextThatIsNoNumberOpensNothing) {
  station.ComNumber = 5;
  window.comPortDialogAnswers.push_back("1x");
  window.itemIndex[Ctl::ComboBox1] = 4;
  ExpectConversionError("1x", [this] { ComboBox1Change(station, window); });
  EXPECT_EQ(station.ComNumber, 5);
  EXPECT_FALSE(station.Accepted);
  EXPECT_TRUE(link.opened.empty());
}

TEST_F(ConnectionTest, ConnectOpensTheNumberedPortAndDisconnectClosesIt) {
  link.ClosePort();
  ConnBtnClick(station, window);
  EXPECT_EQ(link.opened, (std::vector<std::string>{"\\\\.\\COM1"}));
  ExpectOpenShown(1);
  DisconnBtnClick(station, window);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(window.text[Ctl::ConnBtn], "Connect [COM1:]");  // the caption stays
  ExpectClosedShown();
}

TEST_F(ConnectionTest, ClosingAClosedPortLeavesTheButtonsAlone) {
  link.ClosePort();
  window.calls.clear();
  DisconnBtnClick(station, window);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"SetEnabled ConnectBtn 0"}));
}

TEST_F(ConnectionTest, ExitClosesTheWindowAndClosingReleasesThePort) {
  BitBtn4_Click(station, window);
  EXPECT_TRUE(window.closed);
  FormClose(station, window);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.closes, 1);
  FormClose(station, window);  // nothing left to close
  EXPECT_EQ(link.closes, 1);
}

TEST_F(ConnectionTest, HandshakeIdentifiesReadsBothChannelsAndFillsTheWorkArea) {
  ConnectBtnClick(station, window);
  EXPECT_TRUE(window.boxes.empty());
  // Tip, Modif and Ser are those of channel 2, the last to answer; the range is channel 1's.
  EXPECT_EQ(window.text[Ctl::TipLbl], "8");
  EXPECT_EQ(window.text[Ctl::ModifLbl], "4");
  EXPECT_EQ(window.text[Ctl::SerLbl], "4661");
  EXPECT_EQ(window.text[Ctl::DiapazLbl], "250");
  EXPECT_EQ(station.Info.DiapazOf(2), 300);
  EXPECT_EQ(window.caption, "QD718 4661");
  EXPECT_EQ(window.applicationTitle, "QD718 4661");
  EXPECT_EQ(window.text[Ctl::BeginPosEdit], "100");
  EXPECT_EQ(window.text[Ctl::BeginPosEdit2], "200");
  EXPECT_EQ(station.table->Entry(1, 0), -11);
  EXPECT_EQ(station.table->Entry(2, 0), -22);
  EXPECT_TRUE(window.visible[Ctl::CGauge1]);
  EXPECT_TRUE(window.enabled[Ctl::ConnectBtn]);
  EXPECT_TRUE(window.maximizeBox);
  EXPECT_TRUE(window.fillsWorkArea);
  // Parameters, then the table, of channel 1 and then of channel 2.
  std::vector<std::pair<int, std::uint8_t>> order;
  for (const Bytes& r : link.requests) {
    if (order.empty() || order.back() != std::pair<int, std::uint8_t>{r[0], r[1]})
      order.push_back({r[0], r[1]});
  }
  EXPECT_EQ(order, (std::vector<std::pair<int, std::uint8_t>>{{1, IdentifyByte},
                                                              {2, IdentifyByte},
                                                              {1, ReadRegisterByte},
                                                              {1, ReadBlockByte},
                                                              {2, ReadRegisterByte},
                                                              {2, ReadBlockByte}}));
}

TEST_F(ConnectionTest, AChannel1ThatAnswersOnlyTheThirdGreetingIsIdentified) {
  link.unansweredGreetings[1] = 2;
  ConnectBtnClick(station, window);
  EXPECT_EQ(link.RequestsWith(IdentifyByte).size(), 4u);  // three to channel 1, one to 2
  EXPECT_TRUE(window.boxes.empty());
  EXPECT_TRUE(window.fillsWorkArea);
}

TEST_F(ConnectionTest, AChannel1ThatNeverAnswersCostsThreeTimeOutsAndClosesThePort) {
  link.silent.insert(1);
  const Micros before = link.Virtual().Now();
  ConnectBtnClick(station, window);
  const Micros spent = link.Virtual().Now() - before;
  // Each greeting waits out the 16-byte reply's time-out: 500 + 16 * 100 ms.
  EXPECT_GE(spent, 3 * Millis{2100});
  EXPECT_LT(spent, 3 * Millis{2100} + Millis{200});
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Hello Erorr!");
  EXPECT_EQ(window.boxes[0].title, "Error.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(link.RequestsWith(IdentifyByte).size(), 3u);
  EXPECT_FALSE(link.IsOpen());
  ExpectClosedShown();
  EXPECT_EQ(window.text[Ctl::TipLbl], "non");
  EXPECT_EQ(window.caption, "QD718");
}

TEST_F(ConnectionTest, ASilentChannel2LeavesChannel1sIdentityAndFailsItsParameterRead) {
  link.silent.insert(2);
  station.Info.DiapazOf(2) = 123;
  ConnectBtnClick(station, window);
  EXPECT_EQ(window.caption, "QD718 4660");
  EXPECT_EQ(window.text[Ctl::TipLbl], "7");
  EXPECT_EQ(station.Info.DiapazOf(2), 123);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Read parameters 2 Erorr!");
  EXPECT_EQ(window.boxes[0].title, "Error.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(station.table->Entry(1, 0), -11);  // channel 1 was read completely
  EXPECT_TRUE(link.IsOpen());
  EXPECT_FALSE(window.fillsWorkArea);
}

TEST_F(ConnectionTest, AFailedParameterReadOfChannel1EndsTheHandshakeThere) {
  link.registerRepliesLeft[1] = 3;
  ConnectBtnClick(station, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Read parameters 1 Erorr!");
  EXPECT_EQ(window.caption, "QD718 4661");  // the identity is shown
  EXPECT_TRUE(link.RequestsWith(ReadBlockByte).empty());
  for (const Bytes& r : link.requests) EXPECT_FALSE(r[0] == 2 && r[1] != IdentifyByte);
  EXPECT_TRUE(link.IsOpen());
  EXPECT_TRUE(window.enabled[Ctl::ConnectBtn]);
  EXPECT_FALSE(window.maximizeBox);
  EXPECT_FALSE(window.fillsWorkArea);
}

TEST_F(ConnectionTest, AFailingTableReadIsReportedAndTheHandshakeGoesOn) {
  link.answer = [](const Bytes& request) -> std::optional<Bytes> {
    if (request[0] == 1 && request[1] == ReadBlockByte) return Bytes{};
    return std::nullopt;
  };
  ConnectBtnClick(station, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Error reading calibr table .Block N1");
  EXPECT_EQ(station.table->Entry(2, 0), -22);
  EXPECT_TRUE(window.fillsWorkArea);
}

}  // namespace
}  // namespace qd718
