#pragma once

// The built-in reference outline drawn over both profile charts.

#include <array>

#include "station/window.h"

namespace qd718 {

struct TemplatePoint {
  float x;  // millimetres
  float z;
};
inline constexpr std::array<TemplatePoint, 6> TemplateProfile = {{
    {0.0f, 5.0f},
    {1.5f, 5.0f},
    {1.5f, 0.0f},
    {136.5f, 0.0f},
    {136.5f, 5.0f},
    {146.5f, 5.0f},
}};

void DrawTemplate(Window& window);
void EtCheckBoxClick(Window& window);  // "Compare"

}  // namespace qd718
