#pragma once

// One scan of a scene as a head sees it: the object's heights sampled at the scan step, with
// the head's mounting tilt, its per-position error, a little noise and a few spikes.

#include <cstdint>
#include <random>
#include <vector>

#include "sim/scenes.h"

namespace qd718::sim {

struct ScanConditions {
  double stepMicrons = 50;  // distance between samples (Diskr / 10)
  int range = 10;           // measuring range in millimetres (Diapaz)
};

// The head's error at sample index i counted from the first sample that sees the object:
// smooth bumps of up to HeadErrorAmplitude along the groove's floor, zero elsewhere. It is
// the same in every scan, so a calibration table removes it.
double HeadError(int index);
inline constexpr double HeadErrorAmplitude = 300;

// ScanSamples raw heights: 0 where nothing is under the head, otherwise at least 1.
std::vector<std::uint16_t> GenerateScan(const Scene& scene, const ScanConditions& conditions,
                                        std::mt19937& random);

}  // namespace qd718::sim
