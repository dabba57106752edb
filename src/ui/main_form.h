#pragma once

// The main window MainForm: every control under its own name, the wiring of every event to
// its handler, the guard that keeps two scanner exchanges from overlapping, and the close
// that waits for the running handler.

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "station/controls.h"
#include "station/station.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qd718 {

class ProfileCharts;
class QtWindow;
class ScannerThread;
class TOKBottomDlg;

inline constexpr QSize MainFormSize{1830, 892};
inline constexpr const char* StopButtonName = "StopBtn";

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  using Handler = void (*)(Station&, Window&);

  // Without a link the window talks through its own serial link; tests hand in theirs.
  explicit TMainForm(Link* link = nullptr, QWidget* parent = nullptr);
  ~TMainForm() override;

  QWidget* Control(Ctl control) const { return controls_[static_cast<int>(control)]; }
  template <typename T>
  T* ControlAs(Ctl control) const {
    return qobject_cast<T*>(Control(control));
  }
  ProfileCharts& Charts() const { return *charts_; }
  QProgressBar& Gauge() const { return *CGauge1; }
  QPushButton& StopButton() const { return *StopBtn; }
  TOKBottomDlg& OKBottomDlg() const { return *okBottomDlg_; }
  QtWindow& GetWindow() const { return *window_; }
  Station& GetStation() const { return *station_; }

  // A handler of the scanner thread is running.
  bool Busy() const;
  // What the station last set for a control, whatever the guard shows meanwhile.
  bool StationEnabled(Ctl control) const { return enabled_[static_cast<int>(control)]; }
  void SetStationEnabled(Ctl control, bool enabled);

  // Runs a handler on the scanner thread; ignored while one runs or the window closes.
  void RunOnScanner(Handler handler);
  // Runs a handler on the window thread, with the error display for what escapes it.
  template <typename F>
  void RunHere(F&& handler);
  // The application's error display: the message with its full stop, titled with the
  // application title, with the error icon.
  void ShowApplicationError(const std::string& message);

  // Sets an edit's or label's text without running a change handler.
  void SetControlText(Ctl control, const std::string& text);
  std::string ControlText(Ctl control) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTopPanel(QWidget* panel);
  void BuildParametersPage(QWidget* page);
  void BuildProfilePage(QWidget* page);
  void WireEvents();
  QLineEdit* ParamEdit(Ctl control, QWidget* parent);
  template <typename T>
  T* Make(Ctl control, QWidget* parent);
  void Register(Ctl control, QWidget* widget);
  void SetGuard(bool busy);
  void HandlerEnded();
  void ReleasePortAndClose();
  QString ConnectionTooltip() const;

  std::unique_ptr<ScannerThread> scanner_;
  std::unique_ptr<Station> station_;
  std::unique_ptr<QtWindow> window_;
  std::array<QWidget*, ControlCount> controls_{};
  std::array<bool, ControlCount> enabled_{};
  ProfileCharts* charts_ = nullptr;
  QProgressBar* CGauge1 = nullptr;
  QPushButton* StopBtn = nullptr;
  TOKBottomDlg* okBottomDlg_ = nullptr;
  QTimer* redrawTick_ = nullptr;

  bool closing_ = false;        // close asked for: cancel, then release the port
  bool releasingPort_ = false;  // FormClose is running on the scanner thread
  bool portReleased_ = false;   // the window may close now
};

template <typename F>
void TMainForm::RunHere(F&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowApplicationError(error.what());
  } catch (...) {
    ShowApplicationError(std::string());
  }
}

}  // namespace qd718
