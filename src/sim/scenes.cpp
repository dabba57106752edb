#include "sim/scenes.h"

#include <algorithm>

namespace qd718::sim {

namespace {

// Every object starts a little after the head, so each scan begins with empty samples.
constexpr double ObjectStart = 2000;

// The groove: the comparison outline of the station, a 5 mm deep groove with a 135 mm floor,
// 1.5 mm of top before it and 10 mm after it. The floor is kept well above the head's zero
// so that the head error and the noise never make a floor sample look empty.
constexpr double GrooveTop = 6000;
constexpr double GrooveFloor = 1000;
constexpr double GrooveLeadingTop = 1500;
constexpr double GrooveFloorLength = 135000;
constexpr double GrooveTrailingTop = 10000;

// The other objects are 140 mm long, so their trailing empty samples lie inside the part of
// the scan that the station converts (143 mm).
constexpr double ShortObjectLength = 140000;
constexpr double RidgeBase = 1000;
constexpr double RidgeTop = 6000;
constexpr double RidgeFrom = 40000;
constexpr double RidgeTo = 100000;
constexpr double StepLow = 1000;
constexpr double StepHigh = 5000;
constexpr double StepAt = 70000;
constexpr double PlateHeight = 3000;

Scene Groove() {
  const double fall = ObjectStart + GrooveLeadingTop;
  const double rise = fall + GrooveFloorLength;
  return Scene({{ObjectStart, fall, GrooveTop},
                {fall, rise, GrooveFloor},
                {rise, rise + GrooveTrailingTop, GrooveTop}});
}

Scene Ridge() {
  const double end = ObjectStart + ShortObjectLength;
  return Scene({{ObjectStart, ObjectStart + RidgeFrom, RidgeBase},
                {ObjectStart + RidgeFrom, ObjectStart + RidgeTo, RidgeTop},
                {ObjectStart + RidgeTo, end, RidgeBase}});
}

Scene Step() {
  const double end = ObjectStart + ShortObjectLength;
  return Scene(
      {{ObjectStart, ObjectStart + StepAt, StepLow}, {ObjectStart + StepAt, end, StepHigh}});
}

Scene Plate() {
  return Scene({{ObjectStart, ObjectStart + ShortObjectLength, PlateHeight}});
}

}  // namespace

const SceneStretch* Scene::StretchAt(double position) const {
  const auto it = std::find_if(stretches_.begin(), stretches_.end(), [&](const SceneStretch& s) {
    return position >= s.from && position < s.to;
  });
  return it == stretches_.end() ? nullptr : &*it;
}

std::optional<double> Scene::Height(double position) const {
  const SceneStretch* stretch = StretchAt(position);
  if (stretch == nullptr) return std::nullopt;
  return stretch->height;
}

bool Scene::FlatAround(double position, double reach) const {
  const SceneStretch* here = StretchAt(position);
  return here != nullptr && StretchAt(position - reach) == here &&
         StretchAt(position + reach) == here;
}

const std::vector<std::string>& SceneNames() {
  static const std::vector<std::string> names{"groove", "ridge", "step", "plate"};
  return names;
}

std::optional<Scene> MakeScene(const std::string& name) {
  if (name == "groove") return Groove();
  if (name == "ridge") return Ridge();
  if (name == "step") return Step();
  if (name == "plate") return Plate();
  return std::nullopt;
}

}  // namespace qd718::sim
