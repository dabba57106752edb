#pragma once

// The station's window for qd718: controls held in memory with the main window's start-up
// state, message boxes as lines on standard error, the gauge as a progress bar there, and
// every series kept for --plot.

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/progress_bar.h"
#include "station/window.h"

namespace qd718::cli {

struct SeriesPoint {
  double x;
  double y;
  std::string label;
  Color color;
};

class ConsoleWindow final : public Window {
 public:
  explicit ConsoleWindow(std::FILE* messages = stderr);

  std::string Text(Ctl control) override;
  void SetText(Ctl control, const std::string& text) override { text_[control] = text; }
  bool Checked(Ctl control) override { return checked_[control]; }
  int ItemIndex(Ctl control) override;
  void SetVisible(Ctl control, bool visible) override { visible_[control] = visible; }
  void SetEnabled(Ctl control, bool enabled) override { enabled_[control] = enabled; }

  void ClearSeries(Ser series) override { series_[series].clear(); }
  void AddPoint(Ser series, double x, double y, const std::string& label, Color color) override;

  void SetGaugeMax(int maximum) override { gauge_.SetMax(maximum); }
  void SetGaugeProgress(int progress) override { gauge_.SetProgress(progress); }
  int GaugeProgress() override { return gauge_.Progress(); }

  void SetApplicationTitle(const std::string& title) override { applicationTitle_ = title; }
  std::string ApplicationTitle() override { return applicationTitle_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  // There is no window to move or enlarge.
  void CenterWindow() override {}
  void AddMaximizeBox() override {}
  void FillWorkArea() override {}
  void ProcessMessages() override {}

  // One line on standard error: the title, one space, the text.
  void MessageBox(const std::string& text, const std::string& title, MsgIcon icon) override;
  // Answers with the file named on the command line (ref save FILE), once.
  std::optional<std::string> SaveFileDialog(const SaveDialogSettings& settings) override;
  // qd718 names its port on the command line; the dialog is never shown.
  std::optional<std::string> OtherComPortDialog() override { return std::nullopt; }
  void Beep() override {}
  void CloseWindow() override { closed_ = true; }

  // Changing a control as the engineer would (PROC options, parameter values).
  void SetChecked(Ctl control, bool checked) { checked_[control] = checked; }
  void AnswerSaveDialog(const std::string& fileName) { saveAnswer_ = fileName; }
  // A line of qd718's own on standard error (not a station box), clear of the gauge.
  void Say(const std::string& line);
  // Ends the gauge's line before the program prints its results or exits.
  void EndGauge() { gauge_.Clear(); }

  const std::vector<SeriesPoint>& Series(Ser series) { return series_[series]; }
  bool Visible(Ctl control) { return visible_[control]; }
  bool Enabled(Ctl control) { return enabled_[control]; }
  bool Closed() const { return closed_; }
  Outcome& GetOutcome() { return outcome_; }

 private:
  std::FILE* messages_;
  ProgressBar gauge_;
  Outcome outcome_;
  std::map<Ctl, std::string> text_;
  std::map<Ctl, bool> checked_;
  std::map<Ctl, bool> visible_;
  std::map<Ctl, bool> enabled_;
  std::map<Ser, std::vector<SeriesPoint>> series_;
  std::string applicationTitle_ = "QD718";
  std::string caption_ = "QD718";
  std::optional<std::string> saveAnswer_;
  bool closed_ = false;
};

// A message text on one line: a CR LF, CR or LF inside it becomes one space.
std::string OneLine(const std::string& text);

}  // namespace qd718::cli
