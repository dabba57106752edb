#pragma once

// The way from a closed port to an identified scanner: port choice, connect, disconnect,
// the "Parameters" handshake, and the release of the port on close.

#include <string>

#include "station/station.h"

namespace qd718 {

inline constexpr int GreetingAttempts = 3;
inline constexpr int ComListEntries = 4;  // "COM1" to "COM4"; entry 4 is "More COM"
inline constexpr int MoreComIndex = 4;
// The digit of "COM1" to "COM4" in the combo box's text (the fourth character).
inline constexpr std::size_t ComDigitPosition = 3;
// What an empty spin edit in the "Other COM port" dialog stands for.
inline constexpr int DefaultComNumber = 1;

// "\\.\COM" + n.
std::string ComPortName(int number);

// Opens the port, showing the open-failure message, then updates the connection buttons.
bool OpenPort(Station& station, Window& window, const std::string& name);
// Closes the port and, when one was open, updates the connection buttons.
void ClosePort(Station& station, Window& window);

void FormCreate(Station& station, Window& window);
void FormClose(Station& station, Window& window);
void ComboBox1Change(Station& station, Window& window);
void ConnBtnClick(Station& station, Window& window);
void DisconnBtnClick(Station& station, Window& window);
// The handshake's greeting: Identify of channel 1 up to three times, then channel 2 once.
// False after "Hello Erorr!", with the port closed.
bool Greeting(Station& station, Window& window);
void ConnectBtnClick(Station& station, Window& window);  // "Parameters"
void BitBtn4_Click(Station& station, Window& window);    // "Exit"

// The "Other COM port" dialog's OK button: the spin edit's text, converted without the spin
// edit's own range check, becomes ComNumber (empty gives 1); then Accepted. A text that is no
// number throws ConversionError with Accepted still false.
void OKBtnClick(Station& station, const std::string& spinText);

}  // namespace qd718
