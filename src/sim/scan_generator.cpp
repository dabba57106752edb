#include "sim/scan_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/scanner_layout.h"

namespace qd718::sim {

namespace {

// The head is mounted with a small tilt: heights grow by this much per micrometre of scan.
constexpr double TiltSlope = 0.001;
// Noise of a single sample, in micrometres (standard deviation).
constexpr double NoiseSigma = 3;

// Spikes: stray reflections, one sample wide, well inside flat stretches of the object so
// that the station's 51-point median removes them.
constexpr int SpikesPerScan = 4;
constexpr int SpikePlacementTries = 50;
constexpr double SpikeMin = 1500;
constexpr double SpikeMax = 3000;
constexpr int SpikeClearSamples = 40;  // beyond the median's reach of 25 samples

// The head error lives on these sample indices (counted from the first non-empty sample);
// with the default step they lie inside the groove's floor, away from both flanks, and the
// bumps rise at the start and fall at the end, so the floor's ends stay where they are.
constexpr int HeadErrorFirst = 40;
constexpr int HeadErrorLast = 2690;
constexpr int HeadErrorBumps = 6;

constexpr double MaxRaw = 0xFFFF;

std::uint16_t ToRaw(double height, int range) {
  const double fullScale = static_cast<double>(range) * MicronsPerRangeUnit;
  if (fullScale <= 0) return 1;
  const double raw = std::round(height * RawFullRange / fullScale);
  // 0 is reserved for "nothing seen": an object never reads as empty.
  return static_cast<std::uint16_t>(std::clamp(raw, 1.0, MaxRaw));
}

}  // namespace

double HeadError(int index) {
  if (index < HeadErrorFirst || index > HeadErrorLast) return 0;
  const double t = static_cast<double>(index - HeadErrorFirst) / (HeadErrorLast - HeadErrorFirst);
  const double s = std::sin(std::numbers::pi * HeadErrorBumps * t);
  return HeadErrorAmplitude * s * s;
}

std::vector<std::uint16_t> GenerateScan(const Scene& scene, const ScanConditions& conditions,
                                        std::mt19937& random) {
  std::vector<std::uint16_t> samples(ScanSamples, 0);
  std::vector<double> heights(ScanSamples, 0);
  std::vector<bool> seen(ScanSamples, false);
  std::normal_distribution<double> noise(0.0, NoiseSigma);
  int first = -1;
  for (int s = 0; s < ScanSamples; ++s) {
    const double position = s * conditions.stepMicrons;
    const auto height = scene.Height(position);
    if (!height) continue;
    if (first < 0) first = s;
    seen[s] = true;
    heights[s] = *height + TiltSlope * position + HeadError(s - first) + noise(random);
  }
  if (first < 0) return samples;

  std::uniform_int_distribution<int> where(first, ScanSamples - 1);
  std::uniform_real_distribution<double> spike(SpikeMin, SpikeMax);
  const double clearance = SpikeClearSamples * conditions.stepMicrons;
  for (int placed = 0, tries = 0; placed < SpikesPerScan && tries < SpikePlacementTries; ++tries) {
    const int s = where(random);
    if (!seen[s] || !scene.FlatAround(s * conditions.stepMicrons, clearance)) continue;
    heights[s] += spike(random);
    ++placed;
  }

  for (int s = 0; s < ScanSamples; ++s) {
    if (seen[s]) samples[s] = ToRaw(heights[s], conditions.range);
  }
  return samples;
}

}  // namespace qd718::sim
