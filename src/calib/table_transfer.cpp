#include "calib/table_transfer.h"

#include <string>

#include "link/protocol.h"

namespace qd718 {

namespace {

constexpr int Channels[] = {1, 2};
constexpr int NibbleBits = 4;
constexpr double StepToMicrometres = 0.1;  // Diskr counts tenths of a micrometre
const std::string TableTitle = "QD718.";

std::uint8_t Byte(Command command) {
  return static_cast<std::uint8_t>(command);
}

void SendBlockNumber(Link& link, int block) {
  for (std::uint8_t byte : EncodeCalibrBlock(block)) link.WriteByte(byte);
}

// The acknowledgement is 0xAA in two nibble bytes; the high nibbles are not looked at.
bool BlockAcknowledged(Link& link) {
  std::uint8_t reply[CalibrAckBytes] = {};
  if (link.ReadBytes(reply, CalibrAckBytes) < CalibrAckBytes) return false;
  const int ack = Nibble(reply[0]) | (Nibble(reply[1]) << NibbleBits);
  return ack == CalibrAck;
}

void ShowBlockError(Window& window, const std::string& text, int block) {
  // The number follows the "N" (the number sign) directly; blocks are counted from 1 for the
  // engineer, not by their wire numbers.
  window.MessageBox(text + std::to_string(block + 1), TableTitle, MsgIcon::Error);
}

}  // namespace

std::array<std::uint8_t, CalibrValueBytes> EncodeCalibrValue(std::int16_t value) {
  const auto pattern = static_cast<std::uint16_t>(value);
  std::array<std::uint8_t, CalibrValueBytes> bytes{};
  for (int i = 0; i < CalibrValueBytes; ++i) {
    bytes[i] = static_cast<std::uint8_t>(0x80 | ((pattern >> (NibbleBits * i)) & 0x0F));
  }
  return bytes;
}

std::int16_t DecodeCalibrValue(const std::uint8_t* bytes) {
  std::uint16_t pattern = 0;
  for (int i = 0; i < CalibrValueBytes; ++i) {
    pattern |= static_cast<std::uint16_t>(Nibble(bytes[i]) << (NibbleBits * i));
  }
  return static_cast<std::int16_t>(pattern);
}

std::array<std::uint8_t, 2> EncodeCalibrBlock(int block) {
  const auto number = static_cast<std::uint8_t>(CalibrFirstBlock + block);
  return {NibbleLo(number), NibbleHi(number)};
}

void WriteCalibrTable(ScannerState& state, const TCalibrTable& table, Window& window, int channel) {
  Link& link = state.GetLink();
  link.PurgeBuffers();
  window.SetGaugeMax(CalibrPoints);
  window.SetGaugeProgress(0);
  for (int block = 0; block < CalibrBlockCount; ++block) {
    // Only the address byte's result is looked at: with no port nothing at all goes out.
    if (link.WriteByte(static_cast<std::uint8_t>(channel)) == 0) return;
    link.WriteByte(Byte(Command::WriteTableBlock));
    const int first = block * CalibrBlockValues;
    for (int i = first; i < first + CalibrBlockValues; ++i) {
      for (std::uint8_t byte : EncodeCalibrValue(table.Entry(channel, i))) link.WriteByte(byte);
      window.AdvanceGauge();
    }
    SendBlockNumber(link, block);
    link.WriteByte(NibbleLo(CalibrAck));
    link.WriteByte(NibbleHi(CalibrAck));
    link.Pause(CalibrBlockPause);
    if (!BlockAcknowledged(link)) {
      ShowBlockError(window, "Error writing calibr table .Block N", block);
      break;
    }
  }
  window.SetGaugeProgress(CalibrPoints);
}

void ReadCalibrTable(ScannerState& state, TCalibrTable& table, Window& window, int channel) {
  Link& link = state.GetLink();
  window.SetGaugeMax(CalibrPoints);
  window.SetGaugeProgress(0);
  link.PurgeBuffers();
  std::array<std::uint8_t, CalibrBlockBytes> reply{};
  for (int block = 0; block < CalibrBlockCount; ++block) {
    // The scanner answers a block request with the data alone, no acknowledgement.
    SendHeader(link, channel, Command::ReadTableBlock);
    SendBlockNumber(link, block);
    if (link.ReadBytes(reply.data(), CalibrBlockBytes) < CalibrBlockBytes) {
      ShowBlockError(window, "Error reading calibr table .Block N", block);
      break;
    }
    const int first = block * CalibrBlockValues;
    for (int g = 0; g < CalibrBlockValues; ++g) {
      table.At(channel, first + g) = DecodeCalibrValue(&reply[g * CalibrValueBytes]);
      window.AdvanceGauge();
    }
  }
  window.SetGaugeProgress(CalibrPoints);
}

void PlotCalibrTables(const ScannerState& state, const TCalibrTable& table, Window& window) {
  window.ClearSeries(Ser::Series7);
  window.ClearSeries(Ser::Series8);
  // x: the point index times the channel's scan step, in micrometres from the first index.
  const double diskr1 = state.ParamsOf(1).Diskr;
  const double diskr2 = state.ParamsOf(2).Diskr;
  for (int i = 0; i < CalibrPoints; ++i) {
    window.AddPoint(Ser::Series7, i * diskr1 * StepToMicrometres, table.Entry(1, i), "", clBlue);
    window.AddPoint(Ser::Series8, i * diskr2 * StepToMicrometres, table.Entry(2, i), "", clGreen);
  }
}

void cxButton3Click(ScannerState& state, const TCalibrTable& table, Window& window) {
  // The second channel is written whatever happened to the first.
  for (int channel : Channels) WriteCalibrTable(state, table, window, channel);
}

void cxButton4Click(ScannerState& state, TCalibrTable& table, Window& window) {
  for (int channel : Channels) ReadCalibrTable(state, table, window, channel);
  PlotCalibrTables(state, table, window);
}

}  // namespace qd718
