#pragma once

// --plot: both charts drawn by the window's own chart code from the series the station
// drew into the console window, rendered offscreen into a PNG or SVG file.

#include <string>

#include "cli/console_window.h"

namespace qd718::cli {

// Needs a QApplication (on the offscreen platform). False when the file was not written.
bool WritePlot(ConsoleWindow& window, const std::string& fileName);

}  // namespace qd718::cli
