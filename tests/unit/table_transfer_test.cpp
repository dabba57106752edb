// The calibration table's block transfer and its drawing, against a scripted scanner.
#include <gtest/gtest.h>

#include "calib/table_transfer.h"
#include "params_scripted_link.h"
#include "support/fake_window.h"

namespace qd718 {
namespace {

using test::Bytes;

constexpr std::uint8_t ReadBlockByte = 0x89;
constexpr std::uint8_t WriteBlockByte = 0x8A;

TEST(CalibrEncoding, ValuesGoLeastSignificantNibbleFirst) {
  struct Case {
    std::int16_t value;
    Bytes wire;
  };
  for (const Case& c : {Case{0x1234, {0x84, 0x83, 0x82, 0x81}}, Case{-1, {0x8F, 0x8F, 0x8F, 0x8F}},
                        Case{1000, {0x88, 0x8E, 0x83, 0x80}}, Case{0, {0x80, 0x80, 0x80, 0x80}},
                        Case{-32768, {0x80, 0x80, 0x80, 0x88}}}) {
    const auto wire = EncodeCalibrValue(c.value);
    EXPECT_EQ(Bytes(wire.begin(), wire.end()), c.wire) << c.value;
    EXPECT_EQ(DecodeCalibrValue(c.wire.data()), c.value);
  }
}

TEST(CalibrEncoding, OnlyTheLowNibblesOfReceivedBytesCount) {
  const Bytes noMarkers{0x0F, 0x0F, 0x0F, 0x0F};
  const Bytes noise{0x78, 0xFE, 0x43, 0xD0};
  EXPECT_EQ(DecodeCalibrValue(noMarkers.data()), -1);
  EXPECT_EQ(DecodeCalibrValue(noise.data()), 1000);
}

TEST(CalibrEncoding, BlocksAreNumberedFrom41) {
  const Bytes expected[] = {{0x89, 0x82}, {0x8A, 0x82}, {0x8B, 0x82},
                            {0x8C, 0x82}, {0x8D, 0x82}, {0x8E, 0x82}};
  for (int block = 0; block < CalibrBlockCount; ++block) {
    const auto wire = EncodeCalibrBlock(block);
    EXPECT_EQ(Bytes(wire.begin(), wire.end()), expected[block]);
  }
}

class TableTransferTest : public ::testing::Test {
 protected:
  TableTransferTest() : state(link) {
    for (int i = 0; i < CalibrPoints; ++i) {
      table.At(1, i) = static_cast<std::int16_t>(i - 1500);
      table.At(2, i) = static_cast<std::int16_t>(-3 * i);
      link.table[0][i] = static_cast<std::int16_t>(7 * i);
      link.table[1][i] = static_cast<std::int16_t>(1000 - i);
    }
  }

  // The wire number of every request with this command, in order.
  std::vector<std::pair<int, int>> BlocksRequested(std::uint8_t command, std::size_t at) const {
    std::vector<std::pair<int, int>> blocks;
    for (const Bytes& r : link.RequestsWith(command))
      blocks.push_back({r[0], (r[at] & 0x0F) | ((r[at + 1] & 0x0F) << 4)});
    return blocks;
  }

  test::ScriptedLink link;
  test::FakeWindow window;
  ScannerState state;
  TCalibrTable table;
};

TEST_F(TableTransferTest, WriteSendsSixBlocksOfTheChannelAndLeavesTheTable) {
  const TCalibrTable before = table;
  WriteCalibrTable(state, table, window, 2);
  const auto requests = link.RequestsWith(WriteBlockByte);
  ASSERT_EQ(requests.size(), 6u);
  for (const Bytes& r : requests) {
    ASSERT_EQ(r.size(), 2054u);
    EXPECT_EQ(r[0], 0x02);
    EXPECT_EQ(Bytes(r.end() - 2, r.end()), (Bytes{0x8A, 0x8A}));
  }
  EXPECT_EQ(Bytes(requests[1].begin() + 2, requests[1].begin() + 6), test::TableValueBytes(-1536));
  EXPECT_EQ(
      BlocksRequested(WriteBlockByte, 2050),
      (std::vector<std::pair<int, int>>{{2, 41}, {2, 42}, {2, 43}, {2, 44}, {2, 45}, {2, 46}}));
  for (int i = 0; i < CalibrPoints; ++i) {
    EXPECT_EQ(link.table[1][i], table.Entry(2, i));
    EXPECT_EQ(link.table[0][i], 7 * i);  // channel 1's table in the scanner untouched
  }
  for (int i = 0; i < CalibrPoints; ++i) {
    ASSERT_EQ(table.Entry(1, i), before.Entry(1, i));
    ASSERT_EQ(table.Entry(2, i), before.Entry(2, i));
  }
  EXPECT_EQ(window.gaugeMax, 3072);
  EXPECT_EQ(window.gaugeProgress, 3072);
  EXPECT_TRUE(window.boxes.empty());
}

struct AckCase {
  Bytes ack;
  bool accepted;
};

class TableAckTest : public TableTransferTest, public ::testing::WithParamInterface<AckCase> {};

TEST_P(TableAckTest, OnlyTheLowNibblesOfTheAcknowledgementCount) {
  const AckCase& c = GetParam();
  link.answer = [&c](const Bytes& request) -> std::optional<Bytes> {
    if (request[1] == WriteBlockByte) return c.ack;
    return std::nullopt;
  };
  WriteCalibrTable(state, table, window, 1);
  if (c.accepted) {
    EXPECT_EQ(link.RequestsWith(WriteBlockByte).size(), 6u);
    EXPECT_TRUE(window.boxes.empty());
  } else {
    EXPECT_EQ(link.RequestsWith(WriteBlockByte).size(), 1u);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, "Error writing calibr table .Block N1");
    EXPECT_EQ(window.boxes[0].title, "QD718.");
    EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  }
  EXPECT_EQ(window.gaugeProgress, 3072);
}

INSTANTIATE_TEST_SUITE_P(Acks, TableAckTest,
                         ::testing::Values(AckCase{{0x8A, 0x8A}, true}, AckCase{{0x0A, 0x0A}, true},
                                           AckCase{{0xFA, 0xFA}, true},
                                           AckCase{{0x8A, 0x85}, false}, AckCase{{0x8A}, false},
                                           AckCase{{}, false}));

TEST_F(TableTransferTest, ARejectedBlockStopsThatChannelButNotTheOther) {
  link.answer = [](const Bytes& request) -> std::optional<Bytes> {
    if (request.size() != 2054) return std::nullopt;
    const int wireBlock = (request[2050] & 0x0F) | ((request[2051] & 0x0F) << 4);
    if (request[1] == WriteBlockByte && request[0] == 1 && wireBlock == 44)
      return Bytes{0x8A, 0x85};
    return std::nullopt;
  };
  cxButton3Click(state, table, window);
  EXPECT_EQ(BlocksRequested(WriteBlockByte, 2050), (std::vector<std::pair<int, int>>{{1, 41},
                                                                                     {1, 42},
                                                                                     {1, 43},
                                                                                     {1, 44},
                                                                                     {2, 41},
                                                                                     {2, 42},
                                                                                     {2, 43},
                                                                                     {2, 44},
                                                                                     {2, 45},
                                                                                     {2, 46}}));
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Error writing calibr table .Block N4");
}

TEST_F(TableTransferTest, WithNoPortSaveTableOnlyResetsTheGauge) {
  link.ClosePort();
  window.SetGaugeProgress(55);
  cxButton3Click(state, table, window);
  EXPECT_TRUE(link.written.empty());
  EXPECT_TRUE(window.boxes.empty());
  EXPECT_EQ(window.gaugeMax, 3072);
  EXPECT_EQ(window.gaugeProgress, 0);
}

TEST_F(TableTransferTest, ReadFillsTheChannelFromItsSixBlocks) {
  ReadCalibrTable(state, table, window, 1);
  EXPECT_EQ(link.RequestsWith(ReadBlockByte), (std::vector<Bytes>{{0x01, 0x89, 0x89, 0x82},
                                                                  {0x01, 0x89, 0x8A, 0x82},
                                                                  {0x01, 0x89, 0x8B, 0x82},
                                                                  {0x01, 0x89, 0x8C, 0x82},
                                                                  {0x01, 0x89, 0x8D, 0x82},
                                                                  {0x01, 0x89, 0x8E, 0x82}}));
  for (int i = 0; i < CalibrPoints; ++i) {
    ASSERT_EQ(table.Entry(1, i), link.table[0][i]) << i;
    ASSERT_EQ(table.Entry(2, i), -3 * i) << i;  // channel 2 untouched
  }
  EXPECT_EQ(window.gaugeProgress, 3072);
}

TEST_F(TableTransferTest, AShortBlockKeepsItAndTheLaterOnesAndTheOtherChannelIsStillRead) {
  link.answer = [this](const Bytes& request) -> std::optional<Bytes> {
    if (request == Bytes{0x02, 0x89, 0x8B, 0x82}) {
      Bytes shortBlock;
      for (int i = 0; i < 512; ++i) {
        const Bytes value = test::TableValueBytes(link.table[1][1024 + i]);
        shortBlock.insert(shortBlock.end(), value.begin(), value.end());
      }
      shortBlock.pop_back();  // 2047 bytes
      return shortBlock;
    }
    return std::nullopt;
  };
  cxButton4Click(state, table, window);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text, "Error reading calibr table .Block N3");
  EXPECT_EQ(window.boxes[0].title, "QD718.");
  EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  for (int i = 0; i < CalibrPoints; ++i) {
    ASSERT_EQ(table.Entry(1, i), link.table[0][i]) << i;
    ASSERT_EQ(table.Entry(2, i), i < 1024 ? 1000 - i : -3 * i) << i;
  }
  EXPECT_EQ(link.RequestsWith(ReadBlockByte).size(), 6u + 3u);
  EXPECT_EQ(window.series[Ser::Series8].size(), 3072u);  // the drawing follows
}

TEST_F(TableTransferTest, WithNoPortReadTableReportsBlock1OfEachChannelAndDraws) {
  link.ClosePort();
  cxButton4Click(state, table, window);
  ASSERT_EQ(window.boxes.size(), 2u);
  EXPECT_EQ(window.boxes[0].text, "Error reading calibr table .Block N1");
  EXPECT_EQ(window.boxes[1].text, "Error reading calibr table .Block N1");
  EXPECT_EQ(table.Entry(1, 0), -1500);
  EXPECT_EQ(window.series[Ser::Series7].size(), 3072u);
}

TEST_F(TableTransferTest, DrawingPutsEveryEntryAtItsDistanceAlongTheScan) {
  state.ParamsOf(1).Diskr = 500;
  state.ParamsOf(2).Diskr = 12.9f;
  table.Clear();
  table.At(1, 10) = -20;
  table.At(2, 3071) = 7;
  window.AddPoint(Ser::Series7, 1, 1, "", 0);  // left from an earlier drawing
  PlotCalibrTables(state, table, window);
  const auto& ch1 = window.series[Ser::Series7];
  const auto& ch2 = window.series[Ser::Series8];
  ASSERT_EQ(ch1.size(), 3072u);
  ASSERT_EQ(ch2.size(), 3072u);
  EXPECT_EQ(ch1[10].x, 500.0);
  EXPECT_EQ(ch1[10].y, -20);
  EXPECT_EQ(ch1[11].y, 0);  // zero entries are drawn too
  EXPECT_EQ(ch1[10].color, clBlue);
  EXPECT_EQ(ch1[10].label, "");
  EXPECT_EQ(ch2[3071].x, 3071 * static_cast<double>(12.9f) * 0.1);
  EXPECT_EQ(ch2[3071].y, 7);
  EXPECT_EQ(ch2[3071].color, clGreen);
}

}  // namespace
}  // namespace qd718
