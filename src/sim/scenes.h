#pragma once

// What lies under the heads: an object made of flat stretches, in micrometres along the scan
// (from where the head starts) and in height above the head's zero.

#include <optional>
#include <string>
#include <vector>

namespace qd718::sim {

struct SceneStretch {
  double from;    // micrometres along the scan, inclusive
  double to;      // exclusive
  double height;  // micrometres
};

class Scene {
 public:
  explicit Scene(std::vector<SceneStretch> stretches) : stretches_(std::move(stretches)) {}

  // The object's height at a position, or nothing where the head sees no object.
  std::optional<double> Height(double position) const;
  // Whether the object is flat over position +- reach (a spike there cannot merge with an edge).
  bool FlatAround(double position, double reach) const;
  const std::vector<SceneStretch>& Stretches() const { return stretches_; }

 private:
  const SceneStretch* StretchAt(double position) const;
  std::vector<SceneStretch> stretches_;
};

inline constexpr const char* DefaultScene = "groove";
// groove, ridge, step, plate.
const std::vector<std::string>& SceneNames();
// The scene of that name, or nothing for a name that is not one.
std::optional<Scene> MakeScene(const std::string& name);

}  // namespace qd718::sim
