#include "optimise/strip_layout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geometry/predicates.h"

namespace tarn {

Part PosedPart(const StripItem& item, const ItemPose& pose) {
  const ItemOrientation& o = item.orientations[static_cast<std::size_t>(pose.orientation)];
  RegionList holes;
  for (const Region& hole : o.holes) {
    holes.insert(hole);
  }
  Part part;
  setGeometry(part, o.outer, holes);
  // The predicates read the stored boxes: never trust a caller's.
  computePartBBox(part);
  for (Region& hole : part.holes) {
    computeBBox(hole);
  }
  translate(part, pose.dx, pose.dy);
  return part;
}

double PackedLength(const StripProblem& problem, const std::vector<ItemPose>& poses) {
  double length = 0.0;
  for (std::size_t i = 0; i < poses.size() && i < problem.items.size(); ++i) {
    const ItemOrientation& o =
        problem.items[i].orientations[static_cast<std::size_t>(poses[i].orientation)];
    for (const Point& p : o.outer.points) {
      length = std::max(length, p.x + poses[i].dx);
    }
  }
  return length;
}

bool LayoutFeasible(const StripProblem& problem, const std::vector<ItemPose>& poses) {
  if (poses.size() != problem.items.size()) {
    return false;
  }
  std::vector<Part> parts;
  parts.reserve(poses.size());
  for (std::size_t i = 0; i < poses.size(); ++i) {
    const ItemPose& pose = poses[i];
    const StripItem& item = problem.items[i];
    if (pose.orientation < 0 || pose.orientation >= static_cast<int>(item.orientations.size()) ||
        !std::isfinite(pose.dx) || !std::isfinite(pose.dy) ||
        item.orientations[static_cast<std::size_t>(pose.orientation)].outer.points.empty()) {
      return false;
    }
    parts.push_back(PosedPart(item, pose));
    if (!withinRect(parts.back(), 0.0, problem.maxLength, 0.0, problem.width)) {
      return false;
    }
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    for (std::size_t j = i + 1; j < parts.size(); ++j) {
      if (!partsDisjoint(parts[i], parts[j])) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace tarn
