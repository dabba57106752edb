#pragma once

// How the station's port names ("COM1", "\\.\COM17", "/dev/ttyUSB0") lead to devices on Linux.
// A name starting with "/" is a device path. COMn and \\.\COMn lead first to the alias COMn
// in the user's port folder (a symbolic link, made by qd718-sim --alias or by the engineer),
// then to the conventional device: COM1-32 to /dev/ttyS0-31, COM33-64 to /dev/ttyUSB0-31,
// COM65-96 to /dev/ttyACM0-31. Messages always show the name as given.

#include <optional>
#include <string>

namespace qd718 {

// $XDG_RUNTIME_DIR/qd718/ports, else /tmp/qd718-<uid>/ports. Not created here.
std::string PortFolder();

// Whether the folder belongs to the user and no one else can write to it; aliases in any
// other folder are ignored.
bool PortFolderIsSafe(const std::string& folder);

// The port number of "COMn" or "\\.\COMn" (case-insensitive "COM"), if the name has that form.
std::optional<int> ComPortNumber(const std::string& name);

// The device path that a port name leads to, or the name itself when it names no COM port.
std::string DevicePathFor(const std::string& name);

// "COM1 → /dev/pts/4" for a tooltip; the name alone when it is its own device path.
std::string PortDescription(const std::string& name, const std::string& devicePath);

}  // namespace qd718
