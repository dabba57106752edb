#pragma once

// Every window event handler, on the station's state: the window and qd718 only call these.

#include "station/connection.h"
#include "station/station.h"

namespace qd718 {

// "Parameters" page.
void ReadBtnClick(Station& station, Window& window);
void WriteBtnClick(Station& station, Window& window);
void RestoreBtnClick(Station& station, Window& window);
void WriteFlashBtnClick(Station& station, Window& window);
void BitBtn3Click(Station& station, Window& window);
// BeginPosEditChange and its 17 twins: the edit whose text changed, and that text.
void ParamEditChange(Station& station, Ctl edit, const std::string& text);

// "Profile" page.
void Button1Click(Station& station, Window& window);        // "Measurement"
void cxButton5Click(Station& station, Window& window);      // "Re-Calculate"
void cxButton2Click(Station& station, Window& window);      // "Calibration"
void cxButton3Click(Station& station, Window& window);      // "Save Table"
void cxButton4Click(Station& station, Window& window);      // "Read Table"
void EtCheckBoxClick(Station& station, Window& window);     // "Compare"
void EtalComboBoxChange(Station& station, Window& window);  // reference choice
void cxButton7Click(Station& station, Window& window);      // "Calculate"
void cxButton8Click(Station& station, Window& window);      // "Save"

}  // namespace qd718
