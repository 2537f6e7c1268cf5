#include "optimise/part_poses.h"

#include <cmath>

namespace tarn {
namespace {

int orientationCount(int rotationNumber, bool allowTurnover) {
  if (rotationNumber < 1) {
    return 0;
  }
  return allowTurnover ? 2 * rotationNumber : rotationNumber;
}

// Turning by a zero angle would still round the vertices: the first pose is the
// part exactly as it lies.
void turnTo(Part& part, int rotationNumber, bool allowTurnover, int orientation) {
  const int k = allowTurnover ? orientation / 2 : orientation;
  if (k != 0) {
    const double step = 2.0 * std::acos(-1.0) / rotationNumber;
    rotate(part, part.refPoint, k * step);
  }
  if (allowTurnover && orientation % 2 == 1) {
    turnOver(part, part.refPoint);
  }
}

}  // namespace

StripItem MakeStripItem(const Part& part, int rotationNumber, bool allowTurnover) {
  StripItem item;
  const int count = orientationCount(rotationNumber, allowTurnover);
  for (int o = 0; o < count; ++o) {
    Part posed = part;
    turnTo(posed, rotationNumber, allowTurnover, o);
    ItemOrientation orientation;
    orientation.outer = posed.outer;
    for (const Region& hole : posed.holes) {
      orientation.holes.push_back(hole);
    }
    item.orientations.push_back(std::move(orientation));
  }
  return item;
}

void ApplyItemPose(Part& part, int rotationNumber, bool allowTurnover, const ItemPose& pose) {
  if (pose.orientation < 0 || pose.orientation >= orientationCount(rotationNumber, allowTurnover)) {
    return;
  }
  turnTo(part, rotationNumber, allowTurnover, pose.orientation);
  translate(part, pose.dx, pose.dy);
}

}  // namespace tarn
