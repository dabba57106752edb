#include "support/fake_window.h"

#include <sstream>

namespace qd718::test {

namespace {

std::string Name(Ctl control) {
  return std::string(ControlName(control));
}
std::string Name(Ser series) {
  return std::string(SeriesName(series));
}

}  // namespace

FakeWindow::FakeWindow() {
  for (int i = 0; i < ControlCount; ++i) {
    const auto control = static_cast<Ctl>(i);
    visible[control] = true;
    enabled[control] = true;
    itemIndex[control] = -1;
  }
  for (Ctl label : {Ctl::TipLbl, Ctl::ModifLbl, Ctl::SerLbl, Ctl::DiapazLbl}) text[label] = "non";
  text[Ctl::ComboBox1] = "COM1";
  text[Ctl::ConnBtn] = "Connect";
  text[Ctl::DisconnBtn] = "DisconnBtn";
  text[Ctl::ConnectBtn] = "Parameters";
  text[Ctl::dxEdit5] = "51";
  text[Ctl::dxEdit6] = "9";
  text[Ctl::dxEdit7] = "9";
  for (Ctl box : {Ctl::CheckBox1, Ctl::CheckBox3, Ctl::CheckBox4, Ctl::CheckBox6})
    checked[box] = true;
  for (Ctl hidden :
       {Ctl::DisconnBtn, Ctl::WriteFlashBtn, Ctl::BitBtn3,    Ctl::Label34,      Ctl::Label8,
        Ctl::Label16,    Ctl::Label6,        Ctl::Label28,    Ctl::Label29,      Ctl::Label66,
        Ctl::Label9,     Ctl::AngleEdit,     Ctl::AngleEdit2, Ctl::XBegEdit,     Ctl::XBegEdit2,
        Ctl::YBegEdit,   Ctl::YBegEdit2,     Ctl::CyclEdit,   Ctl::CyclEdit2,    Ctl::CheckBox2,
        Ctl::dxEdit6,    Ctl::CheckBox5,     Ctl::dxEdit7,    Ctl::CheckBox3,    Ctl::dxEdit5,
        Ctl::CheckBox6,  Ctl::cxButton1,     Ctl::Label31,    Ctl::EtalComboBox, Ctl::cxButton8}) {
    visible[hidden] = false;
  }
  for (Ctl disabled : {Ctl::ConnectBtn, Ctl::cxButton3, Ctl::EtalComboBox})
    enabled[disabled] = false;
}

void FakeWindow::SetText(Ctl control, const std::string& value) {
  text[control] = value;
  calls.push_back("SetText " + Name(control) + " " + value);
}

void FakeWindow::SetVisible(Ctl control, bool value) {
  visible[control] = value;
  calls.push_back("SetVisible " + Name(control) + " " + (value ? "1" : "0"));
}

void FakeWindow::SetEnabled(Ctl control, bool value) {
  enabled[control] = value;
  calls.push_back("SetEnabled " + Name(control) + " " + (value ? "1" : "0"));
}

void FakeWindow::ClearSeries(Ser which) {
  series[which].clear();
  calls.push_back("ClearSeries " + Name(which));
}

void FakeWindow::AddPoint(Ser which, double x, double y, const std::string& label, Color color) {
  // Points of a series are kept in ascending order of x, a point after those with equal x.
  auto& points = series[which];
  auto at = points.end();
  while (at != points.begin() && std::prev(at)->x > x) --at;
  points.insert(at, RecordedPoint{x, y, label, color});
}

void FakeWindow::SetGaugeMax(int maximum) {
  gaugeMax = maximum;
  calls.push_back("SetGaugeMax " + std::to_string(maximum));
}

void FakeWindow::SetGaugeProgress(int progress) {
  gaugeProgress = progress;
}

void FakeWindow::SetApplicationTitle(const std::string& title) {
  applicationTitle = title;
  calls.push_back("SetApplicationTitle " + title);
}

void FakeWindow::SetCaption(const std::string& value) {
  caption = value;
  calls.push_back("SetCaption " + value);
}

void FakeWindow::CenterWindow() {
  centred = true;
  calls.push_back("CenterWindow");
}

void FakeWindow::AddMaximizeBox() {
  maximizeBox = true;
  calls.push_back("AddMaximizeBox");
}

void FakeWindow::FillWorkArea() {
  fillsWorkArea = true;
  calls.push_back("FillWorkArea");
}

void FakeWindow::ProcessMessages() {
  ++processMessagesCalls;
}

void FakeWindow::MessageBox(const std::string& boxText, const std::string& title, MsgIcon icon) {
  boxes.push_back({boxText, title, icon});
  calls.push_back("MessageBox " + title + " " + boxText);
}

std::optional<std::string> FakeWindow::SaveFileDialog(const SaveDialogSettings& settings) {
  saveDialogs.push_back(settings);
  calls.push_back("SaveFileDialog");
  if (saveDialogAnswers.empty()) return std::nullopt;
  auto answer = saveDialogAnswers.front();
  saveDialogAnswers.pop_front();
  return answer;
}

std::optional<std::string> FakeWindow::OtherComPortDialog() {
  calls.push_back("OtherComPortDialog");
  if (comPortDialogAnswers.empty()) return std::nullopt;
  auto answer = comPortDialogAnswers.front();
  comPortDialogAnswers.pop_front();
  return answer;
}

void FakeWindow::Beep() {
  ++beeps;
}

void FakeWindow::CloseWindow() {
  closed = true;
  calls.push_back("CloseWindow");
}

}  // namespace qd718::test
