#pragma once

#include <cstdint>

namespace qd718 {

// One channel's scan parameters. The device-backed fields live in registers of the
// scanner's parameter memory, least significant byte at the lower register number.
struct TScanParams {
  std::int32_t BeginPos = 0;
  std::int32_t EndPos = 0;
  std::int32_t TimeM = 0;
  std::int32_t TimeM1 = 0;
  float Diskr = 0;  // the scan step in tenths of a micrometre; the device holds a uint16
  std::int16_t Angle = 0;
  std::int16_t XBeg = 0;
  std::int16_t YBeg = 0;
  std::int32_t Cycl = 0;
  std::int32_t BegAngle = 0;
};

// Register numbers and widths.
inline constexpr int RegTimeM = 54;
inline constexpr int RegTimeM1 = 55;
inline constexpr int RegBeginPos = 56;
inline constexpr int RegEndPos = 58;
inline constexpr int RegDiskr = 60;
inline constexpr int RegAngle = 66;

// Values that every parameter read sets.
inline constexpr std::int16_t XBegAfterRead = 5000;
inline constexpr std::int16_t AngleAfterRead = 100;
inline constexpr std::int32_t CyclAfterRead = 0;

}  // namespace qd718
