#include "refprof/template_overlay.h"

namespace qd718 {

namespace {

// The outline is kept in millimetres and drawn in micrometres.
constexpr double MicronsPerMillimetre = 1000.0;

void ClearTemplate(Window& window) {
  window.ClearSeries(Ser::Series3);
  window.ClearSeries(Ser::Series4);
}

}  // namespace

void DrawTemplate(Window& window) {
  ClearTemplate(window);
  for (const TemplatePoint& point : TemplateProfile) {
    const double x = static_cast<double>(point.x) * MicronsPerMillimetre;
    const double z = static_cast<double>(point.z) * MicronsPerMillimetre;
    window.AddPoint(Ser::Series3, x, z, "", clRed);
    window.AddPoint(Ser::Series4, x, z, "", clRed);
  }
}

void EtCheckBoxClick(Window& window) {
  if (window.Checked(Ctl::EtCheckBox)) {
    DrawTemplate(window);
  } else {
    ClearTemplate(window);
  }
}

}  // namespace qd718
