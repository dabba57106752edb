#pragma once

// Tilt correction and feature search on one channel's working profile.

#include "measure/profile_store.h"
#include "params/scan_params.h"

namespace qd718 {

inline constexpr std::int32_t BaselineStretch = 2000;
inline constexpr std::int32_t BaselineLevel = 5000;
inline constexpr int AutoAnglePasses = 3;
inline constexpr int AutoAngleHead = 10;
inline constexpr int AutoAngleTail = 50;
inline constexpr int AutoAngleDivisor = 10;
// AutoAngle reads the last 50 heights; on fewer points it does nothing.
inline constexpr int AutoAngleMinPoints = 50;
inline constexpr int DifferenceBlock = 4;
inline constexpr std::int32_t GrooveFallX = 1500;
inline constexpr std::int32_t ExtremeStartHigh = -100000;
inline constexpr std::int32_t ExtremeStartLow = 100000;

// Turns the profile by (Angle - 100 - BegAngle) * 0.0001 rad, then levels its last 2000 µm
// to 5000.
void RotateProfile(TProfileStore& store, const TScanParams& params, int channel);
// Estimates the tilt in three passes, adjusting params.BegAngle, rotating after each.
void AutoAngle(TProfileStore& store, TScanParams& params, int channel);
// Finds the steepest rise (SpanFirst) and fall (SpanLast), narrows a groove to its floor,
// and with grooveShift moves a groove's steepest fall to x = 1500 (CheckBox6).
void FindFlanks(TProfileStore& store, int channel, bool grooveShift);
// Lowest and highest height between SpanFirst and SpanLast, both included.
void FindExtremes(TProfileStore& store, int channel);

}  // namespace qd718
