#pragma once

// Everything the station does with its window, and nothing else. Three windows implement
// it: QtWindow (the real one), ConsoleWindow (qd718) and FakeWindow (tests). No operation
// of the station includes a widget header; it works through this interface.

#include <optional>
#include <string>

#include "station/controls.h"

namespace qd718 {

enum class MsgIcon { None, Error };

struct SaveDialogSettings {
  std::string defaultExt;  // "ref"
  std::string fileName;    // "Model.ref"
  std::string filter;      // "REF files (*.ref)|*.ref"
};

class Window {
 public:
  virtual ~Window() = default;

  // Text of an edit, of the combo box's edit field, or a label's or button's caption.
  virtual std::string Text(Ctl control) = 0;
  // Setting an edit's text programmatically does not run its change handler: every caller
  // stores the field itself (the handler would store the same value again).
  virtual void SetText(Ctl control, const std::string& text) = 0;
  virtual bool Checked(Ctl control) = 0;
  // Selected index of a combo box; -1 when the text matches no selected entry.
  virtual int ItemIndex(Ctl control) = 0;
  virtual void SetVisible(Ctl control, bool visible) = 0;
  virtual void SetEnabled(Ctl control, bool enabled) = 0;

  virtual void ClearSeries(Ser series) = 0;
  virtual void AddPoint(Ser series, double x, double y, const std::string& label, Color color) = 0;

  virtual void SetGaugeMax(int maximum) = 0;
  virtual void SetGaugeProgress(int progress) = 0;
  virtual int GaugeProgress() = 0;
  virtual void AdvanceGauge() { SetGaugeProgress(GaugeProgress() + 1); }

  virtual void SetApplicationTitle(const std::string& title) = 0;
  virtual std::string ApplicationTitle() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void CenterWindow() = 0;
  virtual void AddMaximizeBox() = 0;
  virtual void FillWorkArea() = 0;
  // Lets the window repaint; the one point where the station pumps waiting messages.
  virtual void ProcessMessages() = 0;

  virtual void MessageBox(const std::string& text, const std::string& title, MsgIcon icon) = 0;
  // The file-save dialog; the chosen file name, or nothing when cancelled.
  virtual std::optional<std::string> SaveFileDialog(const SaveDialogSettings& settings) = 0;
  // The "Other COM port" dialog shown modally: the spin edit's text when OK closed it,
  // nothing when Cancel did.
  virtual std::optional<std::string> OtherComPortDialog() = 0;
  virtual void Beep() = 0;
  // Closes the main window (its close event then releases the port).
  virtual void CloseWindow() = 0;
};

}  // namespace qd718
