#pragma once

// A window for tests: records every call, keeps control texts, states and series, and
// answers dialogs from a script.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "station/window.h"

namespace qd718::test {

struct RecordedPoint {
  double x;
  double y;
  std::string label;
  Color color;
};

struct RecordedBox {
  std::string text;
  std::string title;
  MsgIcon icon;
};

class FakeWindow : public Window {
 public:
  FakeWindow();

  std::string Text(Ctl control) override { return text[control]; }
  void SetText(Ctl control, const std::string& value) override;
  bool Checked(Ctl control) override { return checked[control]; }
  int ItemIndex(Ctl control) override { return itemIndex[control]; }
  void SetVisible(Ctl control, bool value) override;
  void SetEnabled(Ctl control, bool value) override;
  void ClearSeries(Ser series) override;
  void AddPoint(Ser series, double x, double y, const std::string& label, Color color) override;
  void SetGaugeMax(int maximum) override;
  void SetGaugeProgress(int progress) override;
  int GaugeProgress() override { return gaugeProgress; }
  void SetApplicationTitle(const std::string& title) override;
  std::string ApplicationTitle() override { return applicationTitle; }
  void SetCaption(const std::string& value) override;
  void CenterWindow() override;
  void AddMaximizeBox() override;
  void FillWorkArea() override;
  void ProcessMessages() override;
  void MessageBox(const std::string& text, const std::string& title, MsgIcon icon) override;
  std::optional<std::string> SaveFileDialog(const SaveDialogSettings& settings) override;
  std::optional<std::string> OtherComPortDialog() override;
  void Beep() override;
  void CloseWindow() override;

  // State, as the real window would show it; starts as the main window does at start-up.
  std::map<Ctl, std::string> text;
  std::map<Ctl, bool> checked;
  std::map<Ctl, int> itemIndex;
  std::map<Ctl, bool> visible;
  std::map<Ctl, bool> enabled;
  std::map<Ser, std::vector<RecordedPoint>> series;
  int gaugeMax = 100;
  int gaugeProgress = 0;
  std::string applicationTitle = "QD718";
  std::string caption = "QD718";
  std::vector<RecordedBox> boxes;
  std::vector<SaveDialogSettings> saveDialogs;
  int beeps = 0;
  int processMessagesCalls = 0;
  bool centred = false;
  bool maximizeBox = false;
  bool fillsWorkArea = false;
  bool closed = false;

  // Scripted answers, taken in order; an empty script answers "cancelled".
  std::deque<std::optional<std::string>> saveDialogAnswers;
  std::deque<std::optional<std::string>> comPortDialogAnswers;

  // Every call, one line each ("SetText DiskrEdit 500"), for order checks.
  std::vector<std::string> calls;
};

}  // namespace qd718::test
