#include "station/connection.h"

#include "calib/table_transfer.h"
#include "params/edit_conversion.h"
#include "params/scan_params_io.h"

namespace qd718 {

namespace {

const std::string ComPrefix = "\\\\.\\COM";
const std::string ErrorTitle = "Error.";

std::string NumberedCaption(const std::string& action, int number) {
  return action + " [COM" + std::to_string(number) + ":]";
}

// The fourth character of the combo box's text, whole even when it takes several bytes.
std::string ComDigitOf(const std::string& text) {
  if (text.size() <= ComDigitPosition) return "";
  std::size_t length = 1;
  while (ComDigitPosition + length < text.size() &&
         (static_cast<unsigned char>(text[ComDigitPosition + length]) & 0xC0) == 0x80) {
    ++length;
  }
  return text.substr(ComDigitPosition, length);
}

void ShowIdentity(const TSensorInfo& info, Window& window) {
  window.SetText(Ctl::TipLbl, std::to_string(info.Tip));
  window.SetText(Ctl::ModifLbl, std::to_string(info.Modif));
  window.SetText(Ctl::SerLbl, std::to_string(info.Ser));
  window.SetText(Ctl::DiapazLbl, std::to_string(info.DiapazOf(1)));
}

// Reads a channel's parameters and then its calibration table; false when the parameters
// could not be read (the table's own failures are reported by the table read).
bool LoadChannel(Station& station, Window& window, int channel) {
  if (!ReadScanParams(station, window, channel)) {
    window.MessageBox("Read parameters " + std::to_string(channel) + " Erorr!", ErrorTitle,
                      MsgIcon::Error);
    return false;
  }
  ReadCalibrTable(station, *station.table, window, channel);
  return true;
}

}  // namespace

std::string ComPortName(int number) {
  return ComPrefix + std::to_string(number);
}

bool OpenPort(Station& station, Window& window, const std::string& name) {
  const bool opened = station.GetLink().OpenPort(name);
  // The buttons always carry ComNumber, even when a list entry's own name was opened.
  const int number = station.ComNumber;
  if (opened) {
    window.SetVisible(Ctl::DisconnBtn, true);
    window.SetText(Ctl::DisconnBtn, NumberedCaption("Disconnect", number));
    window.SetVisible(Ctl::ConnBtn, false);
    window.SetText(Ctl::ConnBtn, NumberedCaption("Connect", number));
    window.SetEnabled(Ctl::ConnectBtn, true);
  } else {
    window.MessageBox("Error opening " + name + "\rPort is already in use or not available!",
                      "LQT7.", MsgIcon::Error);
    window.SetVisible(Ctl::DisconnBtn, false);
    window.SetText(Ctl::ConnBtn, NumberedCaption("Connect", number));
    window.SetEnabled(Ctl::ConnectBtn, false);
  }
  return opened;
}

void ClosePort(Station& station, Window& window) {
  Link& link = station.GetLink();
  if (!link.IsOpen()) return;
  link.ClosePort();
  window.SetVisible(Ctl::DisconnBtn, false);
  window.SetVisible(Ctl::ConnBtn, true);
  window.SetEnabled(Ctl::ConnectBtn, false);
}

void FormCreate(Station& station, Window& /*window*/) {
  station.ComNumber = DefaultComNumber;
  station.ScanReplyBytes = DefaultScanReplyBytes;
}

void FormClose(Station& station, Window& /*window*/) {
  // The window is going away: only the port is released, the buttons are left as they are.
  station.GetLink().ClosePort();
}

void OKBtnClick(Station& station, const std::string& spinText) {
  station.ComNumber = spinText.empty() ? DefaultComNumber : TextToInt(spinText);
  station.Accepted = true;
}

void ComboBox1Change(Station& station, Window& window) {
  ClosePort(station, window);
  const int index = window.ItemIndex(Ctl::ComboBox1);
  if (index < ComListEntries) {
    // A list entry, or text typed with no entry selected: only the fourth character counts
    // for the number, and the text itself names the port.
    const std::string text = window.Text(Ctl::ComboBox1);
    station.ComNumber = TextToInt(ComDigitOf(text));
    OpenPort(station, window, text);
  } else if (index == MoreComIndex) {
    station.Accepted = false;
    const auto spinText = window.OtherComPortDialog();
    if (spinText) OKBtnClick(station, *spinText);
    if (station.Accepted) OpenPort(station, window, ComPortName(station.ComNumber));
  }
}

void ConnBtnClick(Station& station, Window& window) {
  OpenPort(station, window, ComPortName(station.ComNumber));
}

void DisconnBtnClick(Station& station, Window& window) {
  window.SetEnabled(Ctl::ConnectBtn, false);
  ClosePort(station, window);
}

bool Greeting(Station& station, Window& window) {
  Link& link = station.GetLink();
  bool greeted = false;
  for (int attempt = 0; attempt < GreetingAttempts && !greeted; ++attempt) {
    greeted = Identify(link, 1, station.Info);
  }
  if (!greeted) {
    window.SetEnabled(Ctl::ConnectBtn, false);
    window.MessageBox("Hello Erorr!", ErrorTitle, MsgIcon::Error);
    ClosePort(station, window);
    return false;
  }
  // Channel 2's answer is not checked: when it is silent the identity stays channel 1's.
  Identify(link, 2, station.Info);
  return true;
}

void ConnectBtnClick(Station& station, Window& window) {
  if (!Greeting(station, window)) return;

  ShowIdentity(station.Info, window);
  const std::string title = "QD718 " + std::to_string(station.Info.Ser);
  window.SetCaption(title);
  window.SetApplicationTitle(title);
  window.SetVisible(Ctl::CGauge1, true);
  window.CenterWindow();
  window.SetEnabled(Ctl::ConnectBtn, true);

  if (!LoadChannel(station, window, 1)) return;
  if (!LoadChannel(station, window, 2)) return;

  window.AddMaximizeBox();
  window.CenterWindow();
  window.FillWorkArea();
}

void BitBtn4_Click(Station& /*station*/, Window& window) {
  // The window's close event (FormClose) releases the port.
  window.CloseWindow();
}

}  // namespace qd718
