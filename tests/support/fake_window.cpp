#include "support/fake_window.h"

#include <sstream>

#include "station/start_state.h"

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
  for (const auto& [control, startText] : StartTexts) text[control] = startText;
  for (Ctl box : StartChecked) checked[box] = true;
  for (Ctl hidden : StartHidden) visible[hidden] = false;
  for (Ctl disabled : StartDisabled) enabled[disabled] = false;
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
