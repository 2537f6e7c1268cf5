#include "output/placement.h"

namespace tarn {

namespace {

// Part and PartSource share the transform names, so one rule serves both.
template <class Shape>
void applyPlacement(Shape& copy, const Part& workingCopy) {
  if (workingCopy.turnedOver) {
    // A copy of the pivot: turning over rewrites the refPoint it is read from.
    const Point pivot = copy.refPoint;
    turnOver(copy, pivot);
  }
  translate(copy, workingCopy.refPoint.x - copy.refPoint.x,
            workingCopy.refPoint.y - copy.refPoint.y);
  rotate(copy, workingCopy.refPoint, workingCopy.rotation);
}

}  // namespace

const Part* findWorkingCopy(const PackingJob& job, int id) {
  for (const Part& part : job.workingParts) {
    if (part.id == id) {
      return &part;
    }
  }
  return nullptr;
}

const PartSource* findSource(const PackingJob& job, int id) {
  for (const PartSource& source : job.sources) {
    if (source.id == id) {
      return &source;
    }
  }
  return nullptr;
}

Part placedPart(const Part& truePart, const Part& workingCopy) {
  Part copy(truePart);
  applyPlacement(copy, workingCopy);
  copy.selected = workingCopy.selected;
  return copy;
}

PartSource placedSource(const PartSource& source, const Part& workingCopy) {
  PartSource copy(source);
  applyPlacement(copy, workingCopy);
  return copy;
}

}  // namespace tarn
