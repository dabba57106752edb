#include "params/param_buttons.h"

#include <string>

#include "params/scan_params_io.h"

namespace qd718 {

namespace {

constexpr int Channels[] = {1, 2};
const std::string StoreTitle = "QD718.";

// A batch over both channels shows its success message only when neither channel failed;
// the failures have shown their own messages as they happened.
void StoreBatch(ScannerState& state, Window& window, void (*operation)(ScannerState&, Window&, int),
                const std::string& success) {
  state.ErrorCount = 0;
  for (int channel : Channels) operation(state, window, channel);
  if (state.ErrorCount == 0) window.MessageBox(success, StoreTitle, MsgIcon::None);
}

}  // namespace

void ReadBtnClick(ScannerState& state, Window& window) {
  for (int channel : Channels) {
    if (!ReadScanParams(state, window, channel)) {
      window.MessageBox(ReadParamsFailedText, ReadFailedTitle, MsgIcon::Error);
    }
  }
}

void WriteBtnClick(ScannerState& state, Window& window) {
  for (int channel : Channels) WriteScanParams(state, window, channel);
}

void WriteFlashBtnClick(ScannerState& state, Window& window) {
  StoreBatch(state, window, SaveToFlash, "Parameters is saved to FLASH.");
}

void BitBtn3Click(ScannerState& state, Window& window) {
  StoreBatch(state, window, SaveAsFactory, "Parameters is saved to Factory.");
}

void RestoreBtnClick(ScannerState& state, Window& window) {
  StoreBatch(state, window, RestoreDefaults, "Initial parameters recovered .");
}

}  // namespace qd718
