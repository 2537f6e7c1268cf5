#include "job/placed_part.h"

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

// The first record in walk order with this id, or nullptr.
template <class T>
const T* firstWithId(const SentinelList<T>& list, int id) {
  for (const T& item : list) {
    if (item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

// The first record of each id in walk order.
template <class T>
void indexFirsts(const SentinelList<T>& list, std::unordered_map<int, const T*>& map) {
  map.reserve(static_cast<std::size_t>(list.count()));
  for (const T& item : list) {
    map.emplace(item.id, &item);  // a later record of the same id is not taken
  }
}

}  // namespace

PartLookup::PartLookup(const PackingJob& job) {
  indexFirsts(job.workingParts, working_);
  indexFirsts(job.sources, sources_);
  indexFirsts(job.trueParts, trueParts_);
}

const Part* findWorkingCopy(const PackingJob& job, int id) {
  return firstWithId(job.workingParts, id);
}

const PartSource* findSource(const PackingJob& job, int id) {
  return firstWithId(job.sources, id);
}

const Part* findTruePart(const PackingJob& job, int id) {
  return firstWithId(job.trueParts, id);
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
