#include "station/handlers.h"

#include "calib/calibration_run.h"
#include "calib/table_transfer.h"
#include "measure/pipeline.h"
#include "params/edit_conversion.h"
#include "params/param_buttons.h"
#include "refprof/ref_profile.h"
#include "refprof/template_overlay.h"

namespace qd718 {

void ReadBtnClick(Station& station, Window& window) {
  ReadBtnClick(static_cast<ScannerState&>(station), window);
}

void WriteBtnClick(Station& station, Window& window) {
  WriteBtnClick(static_cast<ScannerState&>(station), window);
}

void RestoreBtnClick(Station& station, Window& window) {
  RestoreBtnClick(static_cast<ScannerState&>(station), window);
}

void WriteFlashBtnClick(Station& station, Window& window) {
  WriteFlashBtnClick(static_cast<ScannerState&>(station), window);
}

void BitBtn3Click(Station& station, Window& window) {
  BitBtn3Click(static_cast<ScannerState&>(station), window);
}

void ParamEditChange(Station& station, Ctl edit, const std::string& text) {
  ParamEditChange(static_cast<ScannerState&>(station), edit, text);
}

void Button1Click(Station& station, Window& window) {
  MeasureContext context = station.Measure();
  Button1Click(context, window);
}

void cxButton5Click(Station& station, Window& window) {
  MeasureContext context = station.Measure();
  cxButton5Click(context, window);
}

void cxButton2Click(Station& station, Window& window) {
  CalibrationContext context = station.Calibration();
  cxButton2Click(context, window);
}

void cxButton3Click(Station& station, Window& window) {
  cxButton3Click(static_cast<ScannerState&>(station), *station.table, window);
}

void cxButton4Click(Station& station, Window& window) {
  cxButton4Click(static_cast<ScannerState&>(station), *station.table, window);
}

void EtCheckBoxClick(Station& /*station*/, Window& window) {
  EtCheckBoxClick(window);
}

void EtalComboBoxChange(Station& station, Window& window) {
  LoadReference(*station.ref, station.programFolder, window.Text(Ctl::EtalComboBox));
  DrawTemplate(window);
}

void cxButton7Click(Station& station, Window& window) {
  ReferenceLoaded();
  PlotChannel(*station.store, window, 1);
  DrawTemplate(window);
}

void cxButton8Click(Station& station, Window& window) {
  cxButton8Click(*station.store, window);
}

}  // namespace qd718
