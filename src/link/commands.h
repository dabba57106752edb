#pragma once

// The scanner's command bytes: the one thing that the station and the virtual scanner share.

#include <cstdint>

namespace qd718 {

enum class Command : std::uint8_t {
  Identify = 0x81,
  ReadRegister = 0x82,
  WriteRegister = 0x83,
  ParamStore = 0x84,
  ReadTableBlock = 0x89,
  WriteTableBlock = 0x8A,
  ReadStatus = 0x8B,
  StartScan = 0x8C,
  ScanReadout = 0x8D,
};

// Parameter-store actions, sent as the payload of ParamStore and echoed by the scanner.
enum class StoreAction : std::uint8_t {
  SaveToFlash = 0xAA,
  RestoreDefaults = 0x69,
  SaveAsFactory = 0x96,
};

}  // namespace qd718
