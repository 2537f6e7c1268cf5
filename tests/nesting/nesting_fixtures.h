#pragma once

#include <initializer_list>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "app/packing_job.h"
#include "geometry/part.h"
#include "geometry/predicates.h"
#include "geometry/region.h"
#include "library/nest_params.h"

namespace tarn::test {

using Outline = std::vector<std::pair<double, double>>;

inline Region outlineRegion(const Outline& outline) {
  std::vector<Point> points;
  for (const auto& [x, y] : outline) {
    Point p;
    p.x = x;
    p.y = y;
    points.push_back(p);
  }
  Region region;
  setPoints(region, points);
  return region;
}

inline Part makePart(const Outline& outer, std::initializer_list<Outline> holes = {}) {
  RegionList holeList;
  for (const Outline& hole : holes) {
    holeList.insert(outlineRegion(hole));
  }
  Part part;
  setGeometry(part, outlineRegion(outer), holeList);
  return part;
}

inline Outline rectangle(double x, double y, double w, double h) {
  return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
}

inline Part rectanglePart(double x, double y, double w, double h) {
  return makePart(rectangle(x, y, w, h));
}

inline Point at(double x, double y) {
  Point p;
  p.x = x;
  p.y = y;
  return p;
}

// A job on a plate of the given size with its own error stream.
struct TestJob {
  explicit TestJob(double length = 6000.0, double width = 4000.0, double distance = 30.0)
      : job(std::make_unique<PackingJob>(report)) {
    job->params.plateLength = length;
    job->params.plateWidth = width;
    setPlateSize(*job, length, width);
    resetPlateExtents(*job);
    job->params.packingPointDistance = distance;
  }

  // The parts are walked in the order given.
  void add(std::initializer_list<Part> parts) {
    std::vector<Part> ordered(parts);
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) {
      job->workingParts.insert(*it);
    }
  }

  Part& part(int index) {
    auto it = job->workingParts.begin();
    std::advance(it, index);
    return *it;
  }

  bool laidOut(const Part& p) const { return withinRect(p, job->plateExtents); }

  std::ostringstream report;
  std::unique_ptr<PackingJob> job;
};

}  // namespace tarn::test
