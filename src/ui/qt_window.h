#pragma once

// The real window behind the station's Window interface. The station calls it from the
// scanner thread (and, for the few handlers that run there, from the window thread); every
// call is carried to the window thread: blocking where the station needs an answer or must
// see its change made, queued and coalesced for chart points and the gauge, so a whole
// profile reaches its chart in one update.

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "station/window.h"
#include "ui/profile_charts.h"

namespace qd718 {

class TMainForm;

// Answers for the modal boxes and dialogs, for tests; each runs on the window thread in
// place of the real box or dialog.
struct WindowHooks {
  std::function<void(const std::string& text, const std::string& title, MsgIcon icon)> messageBox;
  std::function<std::optional<std::string>(const SaveDialogSettings&)> saveFile;
  std::function<std::optional<std::string>()> otherComPort;
};

inline constexpr int InitialGaugeMax = 100;
inline const std::string ApplicationTitleText = "QD718";

class QtWindow final : public Window {
 public:
  explicit QtWindow(TMainForm& form);

  std::string Text(Ctl control) override;
  void SetText(Ctl control, const std::string& text) override;
  bool Checked(Ctl control) override;
  int ItemIndex(Ctl control) override;
  void SetVisible(Ctl control, bool visible) override;
  void SetEnabled(Ctl control, bool enabled) override;

  void ClearSeries(Ser series) override;
  void AddPoint(Ser series, double x, double y, const std::string& label, Color color) override;

  void SetGaugeMax(int maximum) override;
  void SetGaugeProgress(int progress) override;
  int GaugeProgress() override { return gaugeProgress_.load(); }

  void SetApplicationTitle(const std::string& title) override;
  std::string ApplicationTitle() override;
  void SetCaption(const std::string& caption) override;
  void CenterWindow() override;
  void AddMaximizeBox() override;
  void FillWorkArea() override;
  void ProcessMessages() override;

  void MessageBox(const std::string& text, const std::string& title, MsgIcon icon) override;
  std::optional<std::string> SaveFileDialog(const SaveDialogSettings& settings) override;
  std::optional<std::string> OtherComPortDialog() override;
  void Beep() override;
  void CloseWindow() override;

  WindowHooks hooks;
  int Beeps() const { return beeps_.load(); }
  int GaugeMax() const { return gaugeMax_.load(); }
  // Once the window is closing, boxes are no longer shown: the engineer asked to leave.
  void SetClosing() { closing_.store(true); }

  // Draws what is waiting for the charts and the gauge now (window thread only).
  void Flush();

 private:
  template <typename F>
  auto OnWindowThread(F&& call) -> decltype(call());
  void PostSeriesFlush();
  void PostGaugeUpdate();
  void FlushSeries();
  void UpdateGauge();

  TMainForm& form_;

  struct PendingSeries {
    bool touched = false;
    bool cleared = false;
    std::vector<ChartPoint> points;
  };
  std::mutex seriesMutex_;
  std::array<PendingSeries, SeriesCount> pending_;
  bool seriesFlushPosted_ = false;

  std::atomic<int> gaugeMax_{InitialGaugeMax};
  std::atomic<int> gaugeProgress_{0};
  std::atomic<bool> gaugeUpdatePosted_{false};

  std::mutex titleMutex_;
  std::string applicationTitle_ = ApplicationTitleText;
  std::atomic<int> beeps_{0};
  std::atomic<bool> closing_{false};
};

}  // namespace qd718
